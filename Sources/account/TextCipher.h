#pragma once
// A small symmetric cipher keyed by one 64-bit number, used to keep the
// remembered accounts unreadable at a glance in the settings file. It is
// obfuscation, not protection: the key is compiled into the program.
//
// Ciphertext: version byte 0x03, a flag byte (0x01 compressed, 0x02 CRC-16
// prefix, 0x04 SHA-1 prefix), then the chained body: a random lead byte, the
// integrity prefix and the payload (the plain bytes or their qCompress form),
// each byte XORed with a key byte and with the previous chained byte. The
// text forms are the Base64 of that byte string.

#include <QByteArray>
#include <QString>
#include <QVector>

class TextCipher
{
public:
    enum CompressionMode { CompressAuto, CompressAlways, CompressNever };
    enum IntegrityProtectionMode { IntegrityNone, IntegrityChecksum, IntegritySha1 };
    enum Error { CipherNoError, CipherNoKey, CipherBadVersion, CipherIntegrityFailed };
    enum Flag : quint8 { FlagCompressed = 0x01, FlagChecksum = 0x02, FlagSha1 = 0x04 };

    static constexpr quint8 Version = 0x03;
    // A compressed payload that claims more than this is refused unread, so
    // larger plain texts are never compressed.
    static constexpr quint32 MaxUncompressedSize = 1024 * 1024;

    TextCipher();
    explicit TextCipher(quint64 key);

    void setKey(quint64 key);
    bool hasKey() const { return !m_keyBytes.isEmpty(); }

    void setCompressionMode(CompressionMode mode) { m_compressionMode = mode; }
    CompressionMode compressionMode() const { return m_compressionMode; }
    void setIntegrityProtectionMode(IntegrityProtectionMode mode) { m_integrityMode = mode; }
    IntegrityProtectionMode integrityProtectionMode() const { return m_integrityMode; }

    Error lastError() const { return m_lastError; }

    // Tests pin the lead byte (0 to 255) to get known ciphertexts; -1 draws it
    // from the process-wide generator again.
    void setFixedLeadByte(int leadByte) { m_fixedLeadByte = leadByte; }

    QByteArray encryptBytes(const QByteArray& plain);
    QByteArray encryptBytes(const QString& plain);
    QString encryptText(const QString& plain);
    QString encryptText(const QByteArray& plain);

    // An empty result on every failure; lastError() tells a failure from an
    // enciphered empty text.
    QByteArray decryptBytes(const QByteArray& cipher);
    QByteArray decryptBytes(const QString& cipherText);
    QString decryptText(const QString& cipherText);
    QString decryptText(const QByteArray& cipher);

private:
    void fillKeyBytes();
    quint8 leadByte() const;

    quint64 m_key = 0;
    QVector<char> m_keyBytes; // empty: no key given yet
    CompressionMode m_compressionMode = CompressAuto;
    IntegrityProtectionMode m_integrityMode = IntegrityChecksum;
    Error m_lastError = CipherNoError;
    int m_fixedLeadByte = -1;
};
