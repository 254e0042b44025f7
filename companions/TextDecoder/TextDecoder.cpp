// Text decoding companion of Tarnquill, for the companions that are no C++
// programs (JieBa): it decodes files exactly as the editor does when it opens
// them, with the editor's own code.
//
//     TextDecoder <file>...
//
// Writes, for each file in order, a line "<state> <size>" and then <size>
// bytes of its text in UTF-8 followed by a line end. The state is "text"
// (decoded without loss), "lossy" (bytes that do not fit the detected
// encoding: no text, size 0) or "unreadable" (size 0).

#include <QByteArray>
#include <QFile>
#include <QString>

#include <cstdio>

#include "QuietMessages.h"
#include "TextEncoding.h"

namespace {

void write(const QByteArray& bytes)
{
    std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stdout);
}

} // namespace

int main(int argc, char** argv)
{
    installQuietMessageHandler();
    if (argc < 2) {
        std::fputs("用法: TextDecoder <文件>...\n", stderr);
        return 2;
    }
    for (int i = 1; i < argc; ++i) {
        QFile file(QString::fromLocal8Bit(argv[i]));
        QByteArray text;
        const char* state = "unreadable";
        if (file.open(QIODevice::ReadOnly)) {
            bool lossless = true;
            const QString decoded = TextEncoding::detectAndDecode(file.readAll(), nullptr, &lossless);
            state = lossless ? "text" : "lossy";
            if (lossless)
                text = decoded.toUtf8();
        }
        write(QByteArray(state) + ' ' + QByteArray::number(text.size()) + '\n' + text + '\n');
    }
    return std::fflush(stdout) == 0 ? 0 : 1;
}
