#include "DocumentDecoder.h"

#include <QFileInfo>
#include <QRegularExpression>
#include <QTextCodec>
#include <QTextDocument>

#include "LogFileView.h"
#include "TextEncoding.h"

namespace {

bool declaresRichText(const QString& head)
{
    static const QRegularExpression meta(QStringLiteral("<meta[^>]*(charset\\s*=|qrichtext)"),
                                         QRegularExpression::CaseInsensitiveOption);
    return meta.match(head).hasMatch();
}

} // namespace

DocumentDecoder::Result DocumentDecoder::decode(const QString& fileName, const QByteArray& bytes, const QString& enc)
{
    const bool forced = !enc.isEmpty();
    // The head of the file tells rich text and log files apart from plain text.
    const QByteArray head = bytes.left(65536);
    const QString headEncoding = forced ? enc : TextEncoding::detect(head).encoding;
    QTextCodec* htmlCodec = QTextCodec::codecForHtml(head, TextEncoding::codec(headEncoding));
    const QString probe = htmlCodec->toUnicode(head);

    const QString suffix = QFileInfo(fileName).suffix().toLower();
    const bool richName = suffix == QLatin1String("tqd") || suffix == QLatin1String("htm")
        || suffix == QLatin1String("html");
    const bool rich = !forced && (richName || declaresRichText(probe)) && Qt::mightBeRichText(probe);

    Result result;
    if (rich) {
        result.kind = Rich;
        // Without a mark or charset the whole file's plain-text encoding applies, not Latin-1.
        htmlCodec = QTextCodec::codecForHtml(bytes, TextEncoding::codec(TextEncoding::detect(bytes).encoding));
        result.content = htmlCodec->toUnicode(bytes);
        return result;
    }
    const QString logEncoding = forced ? enc : TextEncoding::logEncoding();
    const int headSkip = TextEncoding::bomLengthFor(head, logEncoding);
    if (fileName.endsWith(QLatin1String(".log"))
        && LogFileView::isTqLogFile(TextEncoding::decode(head, logEncoding, headSkip))) {
        result.kind = Log;
        result.encoding = logEncoding;
        const int skip = TextEncoding::bomLengthFor(bytes, logEncoding);
        result.content = LogFileView::str2LogStr(
            TextEncoding::normalizeLineEnds(TextEncoding::decode(bytes, logEncoding, skip)));
    } else if (forced) {
        result.encoding = enc;
        result.bomLength = TextEncoding::bomLengthFor(bytes, enc);
        result.content = TextEncoding::decode(bytes, enc, result.bomLength, &result.lossless);
    } else {
        TextEncoding::Detection detected;
        result.content = TextEncoding::detectAndDecode(bytes, &detected, &result.lossless);
        result.encoding = detected.encoding;
        result.bomLength = detected.bomLength;
    }
    return result;
}
