#pragma once
// GB18030 through tables taken once from the system codec: decoding checks
// every sequence in the same pass (the codec itself reports nothing and drops a
// truncated last sequence), and both directions run without per-call overhead.

#include <QByteArray>
#include <QString>

class QTextCodec;

class Gb18030Codec
{
public:
    // The tables could be built from the system codec. When not, GB18030 goes
    // through the codec itself and decode and encode must not be used.
    static bool usable();
    // The codec is GB18030's and the tables are usable: decode and encode stand in for it.
    static bool handles(QTextCodec* codec);

    // Decodes size bytes; invalid sequences become U+FFFD and clear *lossless.
    static QString decode(const char* data, qint64 size, bool* lossless);
    // Encodes size characters. A lone surrogate becomes '?'. With documentText
    // set, the characters are a document's raw text: paragraph ends become
    // CR LF, and a lone surrogate stops the encoding (*unencodable gets its
    // index and the result is empty).
    static QByteArray encode(const QChar* data, int size, bool documentText = false, int* unencodable = nullptr);

    // The linear index of a four-byte code whose bytes have the shape of one.
    static quint32 linear(const unsigned char* p)
    {
        return ((quint32(p[0] - 0x81) * 10 + quint32(p[1] - 0x30)) * 126 + quint32(p[2] - 0x81)) * 10
            + quint32(p[3] - 0x30);
    }
    // Four-byte codes map U+0080..U+FFFF (linear 0..39419) and U+10000..U+10FFFF
    // (linear 189000..1237575); everything else decodes to U+FFFD.
    static bool isAssigned(quint32 linear) { return linear <= 39419u || (linear >= 189000u && linear <= 1237575u); }
};
