// Text decoding companion of Tarnquill, for the companions that are no C++
// programs (JieBa): it decodes files exactly as the editor does when it opens
// them, with the editor's own code.
//
//     TextDecoder <file>...
//
// Writes, for each file in order, a line "<state> <size>" and then <size>
// bytes in UTF-8 followed by a line end. The state is "text" (decoded without
// loss: the bytes are its text) or why the file is left out, the bytes then
// saying so in words for the user ("无法无损解码，未计入" and the like):
// "lossy" (bytes that do not fit the detected encoding), "toolarge" (more
// than can be read whole), "incomplete" (the reading stopped short) or
// "unreadable". One file is read at a time, and its text is written as it is
// encoded, so that the reader can take one file at a time too.

#include <QByteArray>
#include <QString>

#include <cstdio>

#include "QuietMessages.h"
#include "TextFileReader.h"

namespace {

void write(const QByteArray& bytes)
{
    std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stdout);
}

const char* stateName(TextFileReader::Outcome outcome)
{
    switch (outcome) {
    case TextFileReader::Text:
        return "text";
    case TextFileReader::Lossy:
        return "lossy";
    case TextFileReader::TooLarge:
        return "toolarge";
    case TextFileReader::Incomplete:
        return "incomplete";
    case TextFileReader::Unreadable:
        break;
    }
    return "unreadable";
}

// Hands the UTF-8 of text to consume in pieces: the whole of it may be more
// than one byte array holds. A piece never ends between the two halves of a
// surrogate pair.
template<typename Consume>
void forEachUtf8Piece(const QString& text, Consume consume)
{
    const int pieceLength = 1 << 20;
    for (int start = 0; start < text.size();) {
        int end = qMin(text.size(), start + pieceLength);
        if (end < text.size() && text.at(end - 1).isHighSurrogate())
            --end;
        consume(text.midRef(start, end - start).toUtf8());
        start = end;
    }
}

void writeFile(const QString& path)
{
    const TextFileReader::Result read = TextFileReader::read(path);
    if (read.outcome != TextFileReader::Text) {
        const QByteArray why = TextFileReader::leftOut(read.outcome).toUtf8();
        write(QByteArray(stateName(read.outcome)) + ' ' + QByteArray::number(why.size()) + '\n' + why + '\n');
        return;
    }
    qint64 size = 0;
    forEachUtf8Piece(read.text, [&size](const QByteArray& piece) { size += piece.size(); });
    write("text " + QByteArray::number(size) + '\n');
    forEachUtf8Piece(read.text, [](const QByteArray& piece) { write(piece); });
    write("\n");
}

} // namespace

int main(int argc, char** argv)
{
    installQuietMessageHandler();
    if (argc < 2) {
        std::fputs("用法: TextDecoder <文件>...\n", stderr);
        return 2;
    }
    for (int i = 1; i < argc; ++i)
        writeFile(QString::fromLocal8Bit(argv[i]));
    return std::fflush(stdout) == 0 ? 0 : 1;
}
