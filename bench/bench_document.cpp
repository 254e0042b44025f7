// Opening and saving large Chinese documents, against baselines measured in
// the same run: a plain QTextEdit::setPlainText of the same (already decoded)
// text for opening (best of a few), and `cp` of the same file followed by
// `sync` of the copy for saving (medians of five). Also the time of a
// keystroke in the middle of a 5 MB document against a plain QTextEdit holding
// the same text.
//
// Usage: bench_document [sizes in MB...]   (default: 10 50)

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QKeyEvent>
#include <QProcess>
#include <QTemporaryDir>
#include <QTextCodec>
#include <QTextEdit>

#include <algorithm>
#include <cstdio>

#include "MdiChild.h"
#include "SettingsStore.h"

#include "BenchSupport.h"

namespace {

// Deterministic Chinese text: lines of 20 to 100 common ideographs and some punctuation.
QString chineseText(qint64 bytesWanted, int bytesPerChar)
{
    QString text;
    text.reserve(int(bytesWanted / bytesPerChar) + 128);
    BenchRandom random(12345);
    qint64 bytes = 0;
    while (bytes < bytesWanted) {
        const int length = 20 + int(random.next() % 81);
        for (int i = 0; i < length; ++i) {
            const int r = int(random.next());
            if (r % 17 == 0)
                text += QChar(0xFF0C); // full-width comma
            else
                text += QChar(0x4E00 + r % 0x51A5);
        }
        text += QChar(0x3002);
        text += QLatin1String("\r\n");
        bytes += qint64(length + 1) * bytesPerChar + 2;
    }
    return text;
}

} // namespace

int main(int argc, char** argv)
{
    BenchProgram program(argc, argv);
    const QTemporaryDir& home = program.home();
    // The program's defaults for saving: a ".bak" of the previous version.
    Settings().setValue("BackupFileBeforeSave", 2);

    QList<int> sizes;
    for (int i = 1; i < argc; ++i)
        sizes << QString::fromLatin1(argv[i]).toInt();
    if (sizes.isEmpty())
        sizes << 10 << 50;

    std::printf("%-18s %8s %8s %6s %8s %10s %6s\n", "file", "open s", "plain s", "ratio", "save s", "cp+sync s",
                "ratio");
    for (const int megabytes : sizes) {
        for (const char* codecName : {"GB18030", "UTF-8"}) {
            QTextCodec* codec = QTextCodec::codecForName(codecName);
            const int bytesPerChar = QByteArray(codecName) == "UTF-8" ? 3 : 2;
            const QString text = chineseText(qint64(megabytes) << 20, bytesPerChar);
            const QString file = home.filePath(QString("doc-%1-%2.txt").arg(megabytes).arg(codecName));
            {
                QFile out(file);
                out.open(QIODevice::WriteOnly);
                out.write(codec->fromUnicode(text));
            }
            const QString decoded = QString(text).remove(QLatin1Char('\r'));
            const int runs = megabytes > 20 ? 2 : 3;
            const int samples = 5;

            const double plain = best(runs, [&] {
                QTextEdit edit;
                edit.resize(900, 700);
                edit.show();
                QElapsedTimer timer;
                timer.start();
                edit.setPlainText(decoded);
                return seconds(timer);
            });
            MdiChild* kept = nullptr;
            const double open = best(runs, [&] {
                auto* child = new MdiChild;
                child->resize(900, 700);
                child->show();
                QElapsedTimer timer;
                timer.start();
                if (!child->loadFile(file))
                    std::fprintf(stderr, "load failed: %s\n", qPrintable(file));
                const double s = seconds(timer);
                delete kept;
                kept = child;
                return s;
            });
            if (kept->encoding != QLatin1String(codecName) || kept->document()->isModified())
                std::fprintf(stderr, "unexpected state after load: %s\n", qPrintable(kept->encoding));

            // The save is timed against `cp` followed by `sync` of the copy: the
            // program syncs its file (rightly), so the baseline does too.
            QVector<double> saves, copies;
            for (int i = 0; i < samples; ++i) {
                kept->document()->setModified(true);
                QElapsedTimer timer;
                timer.start();
                if (kept->save(true) != 0)
                    std::fprintf(stderr, "save failed\n");
                saves << seconds(timer);
                timer.restart();
                QProcess::execute("sh", {"-c", "cp \"$0\" \"$0.copy\" && sync \"$0.copy\"", file});
                copies << seconds(timer);
                QFile::remove(file + ".copy");
            }
            const double save = median(saves);
            const double copy = median(copies);
            delete kept;

            std::printf("%-18s %8.3f %8.3f %6.2f %8.3f %10.3f %6.2f  (save goal <= 2)\n",
                        qPrintable(QString("%1 MB %2").arg(megabytes).arg(codecName)), open, plain, open / plain, save,
                        copy, save / copy);
            std::fflush(stdout);
            QFile::remove(file);
            QFile::remove(file + ".bak");
        }
    }

    // A keystroke in the middle of a 5 MB document, in the program's editor and in
    // a plain QTextEdit holding the same text, typed alternately in the same run.
    {
        const QString file = home.filePath("keys.txt");
        const QString text = chineseText(5 << 20, 2);
        {
            QFile out(file);
            out.open(QIODevice::WriteOnly);
            out.write(QTextCodec::codecForName("GB18030")->fromUnicode(text));
        }
        MdiChild child;
        child.resize(900, 700);
        child.show();
        child.loadFile(file);
        child.newFile(); // untitled: nothing is saved while typing
        QTextEdit plain;
        plain.resize(900, 700);
        plain.show();
        plain.setPlainText(QString(text).remove(QLatin1Char('\r')));
        for (QTextEdit* edit : {static_cast<QTextEdit*>(&child), &plain}) {
            QTextCursor middle(edit->document());
            middle.setPosition(edit->document()->characterCount() / 2);
            edit->setTextCursor(middle);
        }
        QApplication::processEvents();
        QVector<double> ours, theirs;
        for (int i = 0; i < 80; ++i) {
            ours << keystrokeMilliseconds(&child, i);
            theirs << keystrokeMilliseconds(&plain, i);
        }
        std::sort(ours.begin(), ours.end());
        std::sort(theirs.begin(), theirs.end());
        std::printf("keystroke in a 5 MB document: editor median %.2f ms (95th %.2f), plain QTextEdit median %.2f ms "
                    "(95th %.2f), ratio %.2f (goal <= 1.2)\n",
                    median(ours), ours[ours.size() * 95 / 100], median(theirs), theirs[theirs.size() * 95 / 100],
                    median(ours) / median(theirs));
    }
    return 0;
}
