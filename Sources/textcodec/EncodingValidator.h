#pragma once
// Strict validators of encoded bytes. They look at structure only where the
// encoding's tables are the codec's business (GB18030/GBK two-byte codes, Big5
// pairs); Debian's ICU-backed codecs for GB18030, GBK and Big5 never report
// invalid input, so a codec's converter state cannot tell.

#include <QtGlobal>

class EncodingValidator
{
public:
    static bool isValidUtf8(const char* data, qint64 size, bool* hasNonAscii = nullptr);
    static bool isValidGb18030(const char* data, qint64 size);
    static bool isValidGbk(const char* data, qint64 size);
    // Big5 with the lead bytes of Big5-HKSCS (81..FE).
    static bool isValidBig5(const char* data, qint64 size);
    // Big5 proper: lead bytes A1..F9 only.
    static bool isValidBig5Proper(const char* data, qint64 size);
    // UTF-16 code units in the given byte order (no mark): an even size and
    // properly paired surrogates.
    static bool isValidUtf16(const char* data, qint64 size, bool littleEndian);

private:
    // Two-byte DBCS structure shared by GBK and Big5-like encodings; lead bytes
    // lie in [firstLead, lastLead].
    static bool isValidDoubleByte(const char* data, qint64 size, bool allowFourByte, bool big5Trail,
                                  unsigned char firstLead = 0x81, unsigned char lastLead = 0xFE);
};
