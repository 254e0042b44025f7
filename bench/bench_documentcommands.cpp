// Document commands and the output window, against baselines measured in the same run:
// - a keystroke in the middle of a 5 MB document opened in the main window with the
//   status bar showing (line, column, count), against the same keystroke in a plain
//   QTextEdit holding the same text, typed alternately; then the same with the find
//   dialog open, whose match count follows the document's edits once typing pauses
//   (what one count costs the GUI thread, and when it is shown, is printed too);
// - appending lines to the output window with a 10,000-line limit: 10,000 and then
//   100,000 appends past the limit, whose time per line must stay the same (linear);
// - the clipboard history (粘贴自剪贴板历史, Ctrl+Shift+B) with a multi-megabyte text
//   in it, until the list is painted, against a plain QListWidget showing the same
//   rows cut the same way; and, once, a plain QListWidget given the whole texts.
//
// Usage: bench_documentcommands [lines appended, default 100000]

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QElapsedTimer>
#include <QFile>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTextBlock>
#include <QTextCodec>
#include <QTextEdit>

#include <algorithm>
#include <cstdio>

#include "ContextListWidget.h"
#include "FindReplaceDialogEx.h"
#include "GlobalActions.h"
#include "MainWindow.h"
#include "MdiChild.h"
#include "OutputDialogEx.h"
#include "SettingsStore.h"
#include "WordPopup.h"

#include "BenchSupport.h"

namespace {

QString chineseText(qint64 bytesWanted)
{
    QString text;
    BenchRandom random(12345);
    qint64 bytes = 0;
    while (bytes < bytesWanted) {
        const int length = 20 + int(random.next() % 81);
        for (int i = 0; i < length; ++i)
            text += QChar(0x4E00 + int(random.next()) % 0x51A5);
        text += QChar(0x3002);
        text += QLatin1String("\r\n");
        bytes += qint64(length + 1) * 2 + 2;
    }
    return text;
}

void putCursorInTheMiddle(QTextEdit* edit)
{
    QTextCursor middle(edit->document());
    middle.setPosition(edit->document()->characterCount() / 2);
    edit->setTextCursor(middle);
}

// Fills a plain list with the history's rows as given, shows and paints it. Milliseconds.
double plainListMilliseconds(QListWidget& list, const QStringList& rows)
{
    return milliseconds([&] {
        list.clear();
        const QIcon icon(QStringLiteral(":/Images/Clipboard_48x48.png"));
        for (const QString& row : rows)
            list.addItem(new QListWidgetItem(icon, row));
        list.setCurrentRow(0);
        list.show();
        list.repaint();
        QApplication::processEvents();
    });
}

double appendLines(OutputDialogEx& dialog, int from, int count)
{
    QElapsedTimer timer;
    timer.start();
    for (int i = from; i < from + count; ++i)
        dialog.appendLog(QStringLiteral("<font color=gray>2026.01.01 10:00:00.000: [DEBUG   ] </font>line %1").arg(i));
    return seconds(timer);
}

} // namespace

int main(int argc, char** argv)
{
    BenchProgram program(argc, argv);
    const QTemporaryDir& home = program.home();
    const int appended = program.count(1, 100000);

    // ---- Typing with the status bar showing ---------------------------------------
    {
        const QString file = home.filePath("keys.txt");
        {
            QFile out(file);
            out.open(QIODevice::WriteOnly);
            out.write(QTextCodec::codecForName("GB18030")->fromUnicode(chineseText(5 << 20)));
        }
        // The baseline: a plain QTextEdit holding the same text, typed into alternately.
        QTextEdit plain;
        plain.resize(900, 700);
        plain.show();
        plain.setPlainText(chineseText(5 << 20).remove(QLatin1Char('\r')));

        MainWindow window(nullptr, MainWindow::NoStartUpTimers);
        window.resize(1200, 900);
        window.show();
        window.open(file);
        MdiChild* child = window.activeMdiChild();
        const bool barShown = window.statusBar()->isVisible() && window.charactersCountLabel;
        putCursorInTheMiddle(child);
        putCursorInTheMiddle(&plain);
        QApplication::processEvents();
        QVector<double> ours, theirs;
        for (int i = 0; i < 80; ++i) {
            ours << keystrokeMilliseconds(child, i);
            theirs << keystrokeMilliseconds(&plain, i);
        }
        std::sort(ours.begin(), ours.end());
        std::sort(theirs.begin(), theirs.end());
        std::printf("keystroke in a 5 MB document: plain QTextEdit median %.2f ms (95th %.2f); the program's "
                    "editor in the main window with status bar%s median %.2f ms (95th %.2f); ratio %.2f "
                    "(goal <= 1.2)\n",
                    median(theirs), theirs[theirs.size() * 95 / 100], barShown ? "" : " (NOT SHOWN)", median(ours),
                    ours[ours.size() * 95 / 100], median(ours) / median(theirs));
        if (window.charactersCountLabel)
            std::printf("  status bar: %s\n", qPrintable(window.charactersCountLabel->text()));

        // The find dialog open on the same document, counting a character that occurs.
        window.find();
        FindReplaceDialogEx* dialog = window.findChild<FindReplaceDialogEx*>();
        auto* findBox = dialog ? dialog->findChild<QComboBox*>(QStringLiteral("findComboBox")) : nullptr;
        auto* countLabel = dialog ? dialog->findChild<QLabel*>(QStringLiteral("resultLabel")) : nullptr;
        if (findBox && countLabel) {
            findBox->setEditText(QString(QChar(0x4E2D)));
            child->setFocus();
            QApplication::processEvents();
            ours.clear();
            theirs.clear();
            for (int i = 0; i < 80; ++i) {
                ours << keystrokeMilliseconds(child, i);
                theirs << keystrokeMilliseconds(&plain, i);
            }
            std::sort(ours.begin(), ours.end());
            std::sort(theirs.begin(), theirs.end());
            // One count after a pause: what the GUI thread spends starting it, and
            // the time until the label shows it (the count runs on a worker).
            double arrival = 1e100;
            const double count = best(3, [&] {
                QElapsedTimer wait;
                wait.start();
                const double started = milliseconds([&] { dialog->updateSearchResultCount(); });
                while (dialog->isCounting() && wait.elapsed() < 60000)
                    QApplication::processEvents(QEventLoop::WaitForMoreEvents);
                arrival = std::min(arrival, wait.nsecsElapsed() / 1e6);
                return started;
            });
            std::printf("keystroke with the find dialog open: plain QTextEdit median %.2f ms (95th %.2f); the "
                        "program's editor median %.2f ms (95th %.2f); ratio %.2f (goal <= 1.2); one count of "
                        "the 5 MB document after a pause: %.1f ms on the GUI thread, shown after %.1f ms (%s)\n",
                        median(theirs), theirs[theirs.size() * 95 / 100], median(ours),
                        ours[ours.size() * 95 / 100], median(ours) / median(theirs), count, arrival,
                        qPrintable(countLabel->text()));
            dialog->hide();
        }
        window.settings.setValue("RecentFileList", QStringList());
        child->document()->setModified(false);
    }

    // ---- Clipboard history with a long text -----------------------------------------
    {
        MainWindow window(nullptr, MainWindow::NoStartUpTimers);
        window.resize(1200, 900);
        window.show();
        window.newFile();
        MdiChild* child = window.activeMdiChild();
        // Copied as the user copies: the window keeps the history.
        const QString big = chineseText(8 << 20);
        QApplication::clipboard()->setText(big);
        for (int i = 0; i < 9; ++i)
            QApplication::clipboard()->setText(QStringLiteral("第%1段复制的文字").arg(i));
        const QStringList history = clipboardHistory;
        QStringList cut;
        for (const QString& text : history)
            cut << ContextListWidget::rowText(text);

        QListWidget plain;
        plain.resize(640, 400);
        QApplication::processEvents();
        QVector<double> ours, theirs;
        bool shown = true;
        for (int i = 0; i < 9 && child; ++i) {
            child->setFocus();
            ours << milliseconds([&] {
                pasteFromClipboardHistoryAct->trigger();
                child->listWidget->repaint();
                QApplication::processEvents();
            });
            shown = shown && child->listWidget->isVisible() && child->listWidget->count() == history.size();
            child->listWidget->hide();
            theirs << plainListMilliseconds(plain, cut);
        }
        plain.hide();
        const double whole = plainListMilliseconds(plain, history);
        std::printf("clipboard history of %d texts, one of %d characters: plain QListWidget with the same cut rows "
                    "median %.2f ms; the program's Ctrl+Shift+B%s median %.2f ms; ratio %.2f (goal <= 1.5); a plain "
                    "QListWidget given the whole texts, once: %.0f ms\n",
                    int(history.size()), int(big.size()), median(theirs), shown ? "" : " (NOT SHOWN)", median(ours),
                    median(ours) / median(theirs), whole);
        clipboardHistory.clear();
    }

    // ---- Output window with a line limit ------------------------------------------
    {
        Settings settings;
        settings.setValue("LogOutputDialogLineCountUnlimited", 0);
        settings.setValue("LogOutputDialogLineCountMax", 10000);
        settings.setValue("LogOutputDialogWrapMode", 1);
        OutputDialogEx dialog;
        dialog.resize(900, 400);
        dialog.show();
        QApplication::processEvents();
        const double fill = appendLines(dialog, 0, 10000);
        const double tenK = appendLines(dialog, 10000, 10000);
        const double many = appendLines(dialog, 20000, appended);
        const int blocks = dialog.textEdit()->document()->blockCount();
        const QString first = dialog.textEdit()->document()->firstBlock().text();
        std::printf("output window, 10,000-line limit: first 10,000 lines %.3f s (%.1f us/line); next 10,000 "
                    "%.3f s (%.1f us/line); next %d %.3f s (%.1f us/line)\n",
                    fill, fill * 1e6 / 10000, tenK, tenK * 1e6 / 10000, appended, many, many * 1e6 / appended);
        std::printf("  ratio %d vs 10,000 appends past the limit: %.2f (linear: %.2f); kept %d lines, first \"%s\"\n",
                    appended, many / tenK, appended / 10000.0, blocks, qPrintable(first.right(12)));
    }
    return 0;
}
