#pragma once
// Byte-level steps shared by the validators, the GB18030 decoder and the
// encoding guess: runs of ASCII are stepped over eight bytes at a time.

#include <QByteArray>

#include <cstring>

namespace ByteScan {

inline bool allAscii8(const unsigned char* p)
{
    quint64 word;
    std::memcpy(&word, p, sizeof word);
    return (word & Q_UINT64_C(0x8080808080808080)) == 0;
}

inline bool inRange(unsigned char c, unsigned char low, unsigned char high)
{
    return c >= low && c <= high;
}

// Steps over eight ASCII bytes at once, or over one; false, without moving,
// when the byte at p is not ASCII.
inline bool skipAscii(const unsigned char*& p, const unsigned char* end)
{
    if (end - p >= 8 && allAscii8(p)) {
        p += 8;
        return true;
    }
    if (*p < 0x80) {
        ++p;
        return true;
    }
    return false;
}

// The index of the first byte that is not ASCII, or -1.
inline int firstNonAscii(const QByteArray& data)
{
    const auto* p = reinterpret_cast<const unsigned char*>(data.constData());
    const unsigned char* begin = p;
    const unsigned char* end = p + data.size();
    while (p < end) {
        if (skipAscii(p, end))
            continue;
        return int(p - begin);
    }
    return -1;
}

} // namespace ByteScan
