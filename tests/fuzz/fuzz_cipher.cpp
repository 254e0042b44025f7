// Feeds arbitrary bytes to the text cipher three ways: as a ciphertext; as the
// flag byte and payload of a ciphertext whose integrity prefix is made to fit,
// so that the compressed-payload reader sees arbitrary data; and as a plain text
// that must come back unchanged from a round trip in every mode.

#include <QByteArray>
#include <QtGlobal>

#include <cstdio>
#include <cstdlib>

#include "TextCipher.h"

namespace {

// Any fixed key does: the checksummed paths are reached through the forged inputs.
constexpr quint64 Key = Q_UINT64_C(0x7d3a51c98e06f2b4);

void dropMessage(QtMsgType, const QMessageLogContext&, const QString&)
{
}

[[noreturn]] void fail(const char* what)
{
    std::fprintf(stderr, "fuzz_cipher: %s\n", what);
    std::abort();
}

void checkFailureIsEmpty(const TextCipher& cipher, const QByteArray& plain)
{
    if (cipher.lastError() < TextCipher::CipherNoError || cipher.lastError() > TextCipher::CipherIntegrityFailed)
        fail("lastError out of range");
    if (cipher.lastError() != TextCipher::CipherNoError && !plain.isEmpty())
        fail("a failed decryption returned bytes");
    if (quint32(plain.size()) > TextCipher::MaxUncompressedSize)
        fail("decryption produced more than the cap allows");
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    qInstallMessageHandler(dropMessage);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray input(reinterpret_cast<const char*>(data), int(size));
    TextCipher cipher(Key);

    // 1. The input as a ciphertext.
    checkFailureIsEmpty(cipher, cipher.decryptBytes(input));
    if (size == 0)
        return 0;

    // 2. Byte 0 as the flag byte, the rest as the payload, with a fitting prefix.
    const quint8 flags = data[0];
    const QByteArray payload = input.mid(1);
    cipher.setCompressionMode(TextCipher::CompressNever);
    cipher.setIntegrityProtectionMode(flags & TextCipher::FlagChecksum ? TextCipher::IntegrityChecksum
                                      : flags & TextCipher::FlagSha1   ? TextCipher::IntegritySha1
                                                                       : TextCipher::IntegrityNone);
    QByteArray forged = cipher.encryptBytes(payload);
    forged[1] = char(flags);
    const QByteArray result = cipher.decryptBytes(forged);
    checkFailureIsEmpty(cipher, result);
    if (!(flags & TextCipher::FlagCompressed)
        && (cipher.lastError() != TextCipher::CipherNoError || result != payload))
        fail("an intact uncompressed payload did not come back");

    // 3. A round trip of the rest, in the modes byte 0 names.
    TextCipher roundTrip(Key);
    roundTrip.setCompressionMode(TextCipher::CompressionMode(flags % 3));
    roundTrip.setIntegrityProtectionMode(TextCipher::IntegrityProtectionMode(flags / 3 % 3));
    if (roundTrip.decryptBytes(roundTrip.encryptBytes(payload)) != payload
        || roundTrip.lastError() != TextCipher::CipherNoError)
        fail("round trip changed the text");
    return 0;
}
