#include "TextFileReader.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>

#include <limits>
#include <utility>

#include "TextEncoding.h"

namespace {

const qint64 pieceSize = qint64(1) << 20;

// Exactly size bytes, then nothing more.
TextFileReader::Outcome readKnownSize(QIODevice& device, qint64 size, QByteArray* bytes)
{
    bytes->resize(int(size));
    for (qint64 done = 0; done < size;) {
        const qint64 got = device.read(bytes->data() + done, size - done);
        if (got <= 0)
            return TextFileReader::Incomplete;
        done += got;
    }
    char more;
    return device.read(&more, 1) == 0 ? TextFileReader::Text : TextFileReader::Incomplete;
}

// Whatever comes until the end, piece by piece.
TextFileReader::Outcome readToEnd(QIODevice& device, qint64 limit, QByteArray* bytes)
{
    QByteArray piece(int(pieceSize), Qt::Uninitialized);
    while (true) {
        const qint64 got = device.read(piece.data(), pieceSize);
        if (got == 0)
            return TextFileReader::Text;
        if (got < 0)
            return TextFileReader::Incomplete;
        if (bytes->size() + got > limit)
            return TextFileReader::TooLarge;
        bytes->append(piece.constData(), int(got));
    }
}

} // namespace

qint64 TextFileReader::maxFileSize()
{
    // A string holds at most about 2^30 characters; a little is kept back for
    // the string's own header and a byte-order mark.
    return (qint64(std::numeric_limits<int>::max()) + 1) / 2 - 1024;
}

// Not readAll(): it gives an empty array, and no error, for a file it cannot hold.
TextFileReader::Outcome TextFileReader::readWhole(QIODevice& device, QByteArray* bytes, qint64 limit)
{
    bytes->clear();
    const qint64 size = device.isSequential() ? 0 : device.size() - device.pos();
    if (size > limit)
        return TooLarge;
    // Files that do not know their size (such as those of /proc) say 0.
    const Outcome outcome = size > 0 ? readKnownSize(device, size, bytes) : readToEnd(device, limit, bytes);
    if (outcome != Text)
        bytes->clear();
    return outcome;
}

TextFileReader::Result TextFileReader::read(const QString& path, qint64 limit)
{
    Result result;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return result;
    QByteArray bytes;
    result.outcome = readWhole(file, &bytes, limit);
    if (result.outcome != Text)
        return result;
    bool lossless = true;
    QString text = TextEncoding::detectAndDecode(bytes, nullptr, &lossless);
    if (!lossless)
        result.outcome = Lossy;
    else
        result.text = std::move(text);
    return result;
}

QString TextFileReader::problem(Outcome outcome)
{
    switch (outcome) {
    case Text:
        break;
    case Unreadable:
        return QCoreApplication::translate("TextFileReader", "无法读取");
    case TooLarge:
        return QCoreApplication::translate("TextFileReader", "文件过大，无法整个读入");
    case Incomplete:
        return QCoreApplication::translate("TextFileReader", "读取中途出错");
    case Lossy:
        return QCoreApplication::translate("TextFileReader", "无法无损解码");
    }
    return QString();
}

QString TextFileReader::leftOut(Outcome outcome)
{
    if (outcome == Text)
        return QString();
    // A file that cannot even be opened is passed over; the others were looked at.
    return problem(outcome) + (outcome == Unreadable ? QCoreApplication::translate("TextFileReader", "，已跳过") : QCoreApplication::translate("TextFileReader", "，未计入"));
}

QString TextFileReader::leftOutLine(Outcome outcome, const QString& path)
{
    return leftOut(outcome) + QLatin1String(": ") + QDir::toNativeSeparators(path);
}

QString TextFileReader::leftOutSuffix(Outcome outcome)
{
    return QLatin1String(" (") + leftOut(outcome) + QLatin1Char(')');
}
