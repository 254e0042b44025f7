#include "EncodingValidator.h"

#include "ByteScan.h"
#include "Gb18030Codec.h"

using ByteScan::inRange;
using ByteScan::skipAscii;

bool EncodingValidator::isValidDoubleByte(const char* data, qint64 size, bool allowFourByte, bool big5Trail,
                                          unsigned char firstLead, unsigned char lastLead)
{
    const auto* p = reinterpret_cast<const unsigned char*>(data);
    const unsigned char* end = p + size;
    while (p < end) {
        if (skipAscii(p, end))
            continue;
        const unsigned char c = *p;
        if (!inRange(c, firstLead, lastLead))
            return false;
        if (end - p < 2)
            return false;
        const unsigned char t = p[1];
        if (allowFourByte && inRange(t, 0x30, 0x39)) {
            if (end - p < 4 || !inRange(p[2], 0x81, 0xFE) || !inRange(p[3], 0x30, 0x39))
                return false;
            if (!Gb18030Codec::isAssigned(Gb18030Codec::linear(p)))
                return false;
            p += 4;
            continue;
        }
        const bool trailOk = big5Trail ? (inRange(t, 0x40, 0x7E) || inRange(t, 0xA1, 0xFE))
                                       : (inRange(t, 0x40, 0x7E) || inRange(t, 0x80, 0xFE));
        if (!trailOk)
            return false;
        p += 2;
    }
    return true;
}

bool EncodingValidator::isValidUtf8(const char* data, qint64 size, bool* hasNonAscii)
{
    const auto* p = reinterpret_cast<const unsigned char*>(data);
    const unsigned char* end = p + size;
    bool nonAscii = false;
    while (p < end) {
        if (skipAscii(p, end))
            continue;
        const unsigned char c = *p;
        nonAscii = true;
        qint64 need;
        unsigned char low = 0x80, high = 0xBF; // allowed range of the second byte
        if (inRange(c, 0xC2, 0xDF)) {
            need = 1;
        } else if (c == 0xE0) {
            need = 2;
            low = 0xA0; // no overlong forms
        } else if (inRange(c, 0xE1, 0xEC) || c == 0xEE || c == 0xEF) {
            need = 2;
        } else if (c == 0xED) {
            need = 2;
            high = 0x9F; // no surrogates
        } else if (c == 0xF0) {
            need = 3;
            low = 0x90;
        } else if (inRange(c, 0xF1, 0xF3)) {
            need = 3;
        } else if (c == 0xF4) {
            need = 3;
            high = 0x8F; // nothing above U+10FFFF
        } else {
            return false;
        }
        if (end - p <= need)
            return false;
        if (!inRange(p[1], low, high))
            return false;
        for (qint64 i = 2; i <= need; ++i)
            if (!inRange(p[i], 0x80, 0xBF))
                return false;
        p += need + 1;
    }
    if (hasNonAscii)
        *hasNonAscii = nonAscii;
    return true;
}

bool EncodingValidator::isValidGb18030(const char* data, qint64 size)
{
    return isValidDoubleByte(data, size, true, false);
}

bool EncodingValidator::isValidGbk(const char* data, qint64 size)
{
    return isValidDoubleByte(data, size, false, false);
}

bool EncodingValidator::isValidBig5(const char* data, qint64 size)
{
    return isValidDoubleByte(data, size, false, true);
}

bool EncodingValidator::isValidBig5Proper(const char* data, qint64 size)
{
    return isValidDoubleByte(data, size, false, true, 0xA1, 0xF9);
}

bool EncodingValidator::isValidUtf16(const char* data, qint64 size, bool little)
{
    if (size % 2 != 0)
        return false;
    const auto* p = reinterpret_cast<const unsigned char*>(data);
    const qint64 units = size / 2;
    for (qint64 i = 0; i < units; ++i) {
        const quint16 u = little ? quint16(p[2 * i] | (p[2 * i + 1] << 8)) : quint16((p[2 * i] << 8) | p[2 * i + 1]);
        if (u >= 0xD800 && u <= 0xDBFF) {
            if (i + 1 >= units)
                return false;
            ++i;
            const quint16 v = little ? quint16(p[2 * i] | (p[2 * i + 1] << 8)) : quint16((p[2 * i] << 8) | p[2 * i + 1]);
            if (v < 0xDC00 || v > 0xDFFF)
                return false;
        } else if (u >= 0xDC00 && u <= 0xDFFF) {
            return false;
        }
    }
    return true;
}
