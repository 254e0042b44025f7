#pragma once
// Which encoding plain text without a byte-order mark is in: each candidate's
// decoding is judged by how plausible its characters are as Chinese text of the
// encoding's script, strictly valid decodings first.

#include <QByteArray>
#include <QString>
#include <QStringList>

#include "TextEncoding.h"

class EncodingDetector
{
public:
    // The share of the characters that are ASCII, common CJK punctuation or
    // common characters of the encoding's script.
    static TextEncoding::Plausibility plausibility(const QString& text, const QString& name);
    // GB18030 (the default), UTF-8, Big5, Big5-HKSCS: the order that wins a tie.
    static QStringList candidateEncodings();
    // The most plausible of the candidates, judged on a sample from the first
    // non-ASCII byte on (see TextEncoding::guess).
    static QString guess(const QByteArray& data, const QStringList& candidates);
    // A UTF-8 or UTF-16 mark decides; otherwise guess().
    static TextEncoding::Detection detect(const QByteArray& data);
};
