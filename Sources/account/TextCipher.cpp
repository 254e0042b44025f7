#include "TextCipher.h"

#include <QCryptographicHash>
#include <QDebug>
#include <QRandomGenerator>

#include <zlib.h>

namespace {

constexpr int ChecksumSize = 2;
constexpr int Sha1Size = 20;
constexpr int CompressedLengthSize = 4;

quint16 checksum(const QByteArray& data)
{
    return qChecksum(data.constData(), uint(data.size()));
}

// Undoes qCompress: a 4-byte big-endian length, then a zlib stream. Unlike
// qUncompress it never trusts the claimed length beyond MaxUncompressedSize and
// never grows its buffer, so a crafted payload cannot make it allocate much or
// inflate past the claim. `ok` is false for anything qCompress cannot have made.
QByteArray uncompress(const QByteArray& payload, bool& ok)
{
    ok = false;
    if (payload.size() < CompressedLengthSize)
        return QByteArray();
    const auto* bytes = reinterpret_cast<const uchar*>(payload.constData());
    const quint32 claimed = (quint32(bytes[0]) << 24) | (quint32(bytes[1]) << 16) | (quint32(bytes[2]) << 8)
                            | quint32(bytes[3]);
    if (claimed > TextCipher::MaxUncompressedSize)
        return QByteArray();
    if (claimed == 0) {
        // qCompress writes an empty input as the bare length.
        ok = payload.size() == CompressedLengthSize;
        return QByteArray();
    }

    QByteArray result(int(claimed), Qt::Uninitialized);
    z_stream stream = {};
    if (inflateInit(&stream) != Z_OK)
        return QByteArray();
    stream.next_in = const_cast<Bytef*>(bytes + CompressedLengthSize);
    stream.avail_in = uInt(payload.size() - CompressedLengthSize);
    stream.next_out = reinterpret_cast<Bytef*>(result.data());
    stream.avail_out = uInt(claimed);
    const int status = inflate(&stream, Z_FINISH);
    const uLong produced = stream.total_out;
    inflateEnd(&stream);
    if (status != Z_STREAM_END || produced != claimed)
        return QByteArray();
    ok = true;
    return result;
}

} // namespace

TextCipher::TextCipher() = default;

TextCipher::TextCipher(quint64 key)
    : m_key(key)
{
    fillKeyBytes();
}

void TextCipher::setKey(quint64 key)
{
    m_key = key;
    fillKeyBytes();
}

void TextCipher::fillKeyBytes()
{
    m_keyBytes.clear();
    m_keyBytes.resize(8);
    for (int i = 0; i < 8; ++i)
        m_keyBytes[i] = char((m_key >> (8 * i)) & 0xFF);
}

quint8 TextCipher::leadByte() const
{
    if (m_fixedLeadByte >= 0)
        return quint8(m_fixedLeadByte);
    return quint8(QRandomGenerator::global()->generate() & 0xFF);
}

QByteArray TextCipher::encryptBytes(const QByteArray& plain)
{
    if (m_keyBytes.isEmpty()) {
        qWarning() << "No key set.";
        m_lastError = CipherNoKey;
        return QByteArray();
    }

    QByteArray payload = plain;
    char flags = 0;
    // Larger texts stay uncompressed: their compressed form would be refused
    // when read back.
    const bool compressible = quint32(plain.size()) <= MaxUncompressedSize;
    if (m_compressionMode == CompressAlways && compressible) {
        payload = qCompress(plain, 9);
        flags |= FlagCompressed;
    } else if (m_compressionMode == CompressAuto && compressible) {
        const QByteArray compressed = qCompress(plain, 9);
        if (compressed.size() < plain.size()) {
            payload = compressed;
            flags |= FlagCompressed;
        }
    }

    QByteArray prefix;
    if (m_integrityMode == IntegrityChecksum) {
        flags |= FlagChecksum;
        const quint16 sum = checksum(payload);
        prefix.append(char(sum >> 8)).append(char(sum & 0xFF));
    } else if (m_integrityMode == IntegritySha1) {
        flags |= FlagSha1;
        prefix = QCryptographicHash::hash(payload, QCryptographicHash::Sha1);
    }

    QByteArray body;
    body.reserve(1 + prefix.size() + payload.size());
    body.append(char(leadByte())).append(prefix).append(payload);

    QByteArray result;
    result.reserve(2 + body.size());
    result.append(char(Version)).append(flags);
    char previous = 0;
    for (int i = 0; i < body.size(); ++i) {
        previous = char(body.at(i) ^ m_keyBytes.at(i % 8) ^ previous);
        result.append(previous);
    }
    m_lastError = CipherNoError;
    return result;
}

QByteArray TextCipher::encryptBytes(const QString& plain)
{
    return encryptBytes(plain.toUtf8());
}

QString TextCipher::encryptText(const QString& plain)
{
    return encryptText(plain.toUtf8());
}

QString TextCipher::encryptText(const QByteArray& plain)
{
    return QString::fromLatin1(encryptBytes(plain).toBase64());
}

QByteArray TextCipher::decryptBytes(const QByteArray& cipher)
{
    if (m_keyBytes.isEmpty()) {
        qWarning() << "No key set.";
        m_lastError = CipherNoKey;
        return QByteArray();
    }
    if (cipher.size() < 3)
        return QByteArray();
    if (quint8(cipher.at(0)) != Version) {
        m_lastError = CipherBadVersion;
        qWarning() << "Invalid version or not a cyphertext.";
        return QByteArray();
    }

    const quint8 flags = quint8(cipher.at(1));
    QByteArray body(cipher.size() - 3, Qt::Uninitialized);
    char previous = 0;
    for (int i = 2; i < cipher.size(); ++i) {
        const char chained = cipher.at(i);
        const int position = i - 2;
        if (position > 0) // the lead byte itself is dropped
            body[position - 1] = char(chained ^ m_keyBytes.at(position % 8) ^ previous);
        previous = chained;
    }

    QByteArray payload;
    if (flags & FlagChecksum) {
        if (body.size() < ChecksumSize) {
            m_lastError = CipherIntegrityFailed;
            return QByteArray();
        }
        const quint16 stored = quint16((quint8(body.at(0)) << 8) | quint8(body.at(1)));
        payload = body.mid(ChecksumSize);
        if (checksum(payload) != stored) {
            m_lastError = CipherIntegrityFailed;
            return QByteArray();
        }
    } else if (flags & FlagSha1) {
        if (body.size() < Sha1Size) {
            m_lastError = CipherIntegrityFailed;
            return QByteArray();
        }
        payload = body.mid(Sha1Size);
        if (QCryptographicHash::hash(payload, QCryptographicHash::Sha1) != body.left(Sha1Size)) {
            m_lastError = CipherIntegrityFailed;
            return QByteArray();
        }
    } else {
        payload = body;
    }

    if (flags & FlagCompressed) {
        bool ok = false;
        payload = uncompress(payload, ok);
        if (!ok) {
            // Counted as a failed check, so that it cannot pass for an empty text.
            m_lastError = CipherIntegrityFailed;
            return QByteArray();
        }
    }
    m_lastError = CipherNoError;
    return payload;
}

QByteArray TextCipher::decryptBytes(const QString& cipherText)
{
    return decryptBytes(QByteArray::fromBase64(cipherText.toLatin1()));
}

QString TextCipher::decryptText(const QString& cipherText)
{
    return QString::fromUtf8(decryptBytes(cipherText));
}

QString TextCipher::decryptText(const QByteArray& cipher)
{
    return QString::fromUtf8(decryptBytes(cipher));
}
