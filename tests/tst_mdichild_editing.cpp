// Editor behaviour: the read-only warning and Insert, Control+wheel zoom, the
// current line and paragraph highlights, symbols, font, background, line
// spacing, paragraph formatting, the atom reference of the context menu, the log
// view, and typing into files through a real main window.

#include <QMdiSubWindow>
#include <QMenu>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextCodec>

#include "GlobalActions.h"
#include "MainWindow.h"
#include "MdiArea.h"
#include "MdiChild.h"
#include "StartUp.h"
#include "TestSupport.h"

namespace {

void wheel(QWidget* target, int delta, Qt::KeyboardModifiers modifiers)
{
    const QPoint pos(5, 5);
    QWheelEvent event(pos, target->mapToGlobal(pos), QPoint(), QPoint(0, delta), Qt::NoButton, modifiers,
                      Qt::NoScrollPhase, false);
    QApplication::sendEvent(target, &event);
}

// Right-clicks the editor at a document position and returns the menu's texts.
QStringList contextMenuAt(MdiChild& child, ScriptedPrompt& prompt, int position)
{
    QTextCursor cursor(child.document());
    cursor.setPosition(position);
    const QRect rect = child.cursorRect(cursor);
    const QPoint at(rect.left() + 1, rect.center().y());
    QContextMenuEvent event(QContextMenuEvent::Mouse, at, child.viewport()->mapToGlobal(at));
    QApplication::sendEvent(child.viewport(), &event);
    return prompt.menus.isEmpty() ? QStringList() : prompt.menus.last();
}

} // namespace

class MdiChildEditingTest : public QObject
{
    Q_OBJECT

    QScopedPointer<QTemporaryDir> dir;
    QString path(const QString& name) const { return dir->filePath(name); }

private slots:
    void init()
    {
        Settings().clear();
        resetStartUpState();
        zoomLevel = 1;
        currentTemplateType = 0;
        highlightCurrentLineEnabled = false;
        highlightCurrentParagraphEnabled = false;
        dir.reset(new QTemporaryDir(TestEnvironment::instance()->workDir() + "/edit-XXXXXX"));
        QVERIFY(dir->isValid());
    }

    void readOnlyWarning_data()
    {
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("modifiers");
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("warns");
        QTest::newRow("letter") << int(Qt::Key_A) << int(Qt::NoModifier) << "a" << true;
        QTest::newRow("space") << int(Qt::Key_Space) << int(Qt::NoModifier) << " " << true;
        QTest::newRow("Chinese input") << 0 << int(Qt::NoModifier) << "中" << true;
        QTest::newRow("shifted letter") << int(Qt::Key_A) << int(Qt::ShiftModifier) << "A" << true;
        QTest::newRow("Ctrl+C") << int(Qt::Key_C) << int(Qt::ControlModifier) << "\x03" << false;
        QTest::newRow("Ctrl+A") << int(Qt::Key_A) << int(Qt::ControlModifier) << "\x01" << false;
        QTest::newRow("Meta+a") << int(Qt::Key_A) << int(Qt::MetaModifier) << "a" << false;
        QTest::newRow("Shift alone") << int(Qt::Key_Shift) << int(Qt::ShiftModifier) << "" << false;
        QTest::newRow("Control alone") << int(Qt::Key_Control) << int(Qt::ControlModifier) << "" << false;
        QTest::newRow("arrow") << int(Qt::Key_Left) << int(Qt::NoModifier) << "" << false;
        QTest::newRow("Enter") << int(Qt::Key_Return) << int(Qt::NoModifier) << "\r" << false;
    }
    void readOnlyWarning()
    {
        QFETCH(int, key);
        QFETCH(int, modifiers);
        QFETCH(QString, text);
        QFETCH(bool, warns);
        ScriptedPrompt prompt;
        MdiChild child;
        child.newFile();
        child.setPlainText("fixed");
        child.setReadOnly(true);
        QKeyEvent press(QEvent::KeyPress, key, Qt::KeyboardModifiers(modifiers), text);
        QApplication::sendEvent(&child, &press);
        QCOMPARE(prompt.texts.size(), warns ? 1 : 0);
        if (warns) {
            QCOMPARE(prompt.titles.first(), QString("警告"));
            QCOMPARE(prompt.texts.first(), QString("当前文档为只读模式, 请取消只读模式后再修改!"));
        }
        QCOMPARE(child.toPlainText(), QString("fixed"));
        // The same keys in a writable document never warn.
        child.setReadOnly(false);
        QApplication::sendEvent(&child, &press);
        QCOMPARE(prompt.texts.size(), warns ? 1 : 0);
    }

    void insertKey()
    {
        ScriptedPrompt prompt;
        MdiChild child;
        child.newFile();
        QVERIFY(!child.overwriteMode());
        QTest::keyClick(&child, Qt::Key_Insert);
        QVERIFY(child.overwriteMode());
        child.setReadOnly(true);
        QTest::keyClick(&child, Qt::Key_Insert);
        QVERIFY(!child.overwriteMode());
        QCOMPARE(prompt.texts.size(), 0);

        // Inside the main window the window switches the mode and its status bar.
        MainWindow window(nullptr, MainWindow::NoStartUpTimers);
        window.newFile();
        MdiChild* document = window.activeMdiChild();
        QCOMPARE(window.insertOverwriteButton->text(), QString("INS"));
        QTest::keyClick(document, Qt::Key_Insert);
        QVERIFY(document->overwriteMode());
        QCOMPARE(window.insertOverwriteButton->text(), QString("OVR"));
        QTest::keyClicks(document, "ab");
        document->moveCursor(QTextCursor::Start);
        QTest::keyClicks(document, "x");
        QCOMPARE(document->toPlainText(), QString("xb"));
        QTest::keyClick(document, Qt::Key_Insert);
        QVERIFY(!document->overwriteMode());
        QCOMPARE(window.insertOverwriteButton->text(), QString("INS"));
    }

    void controlWheelZoomsAllDocuments()
    {
        MainWindow window(nullptr, MainWindow::NoStartUpTimers);
        window.newFile();
        window.newFile();
        const QList<QMdiSubWindow*> windows = window.mdiArea->subWindowList();
        QCOMPARE(windows.size(), 2);
        auto* first = qobject_cast<MdiChild*>(windows[0]->widget());
        auto* second = qobject_cast<MdiChild*>(windows[1]->widget());
        const qreal size = first->font().pointSizeF();
        QCOMPARE(second->font().pointSizeF(), size);

        for (int i = 0; i < 17; ++i)
            wheel(first->viewport(), 120, Qt::ControlModifier);
        QCOMPARE(zoomLevel, 16);
        QCOMPARE(first->font().pointSizeF(), size + 30);
        QCOMPARE(second->font().pointSizeF(), size + 30);

        // Control+Shift and plain wheels do not zoom.
        wheel(first->viewport(), -120, Qt::ControlModifier | Qt::ShiftModifier);
        wheel(first->viewport(), -120, Qt::NoModifier);
        QCOMPARE(zoomLevel, 16);

        for (int i = 0; i < 40; ++i)
            wheel(second->viewport(), -120, Qt::ControlModifier);
        QCOMPARE(zoomLevel, -9);
        QCOMPARE(first->font().pointSizeF(), second->font().pointSizeF());
        QVERIFY(first->font().pointSizeF() < size);
    }

    void controlWheelInReadOnlyDocument()
    {
        MdiChild child;
        child.newFile();
        child.setReadOnly(true);
        const qreal size = child.font().pointSizeF();
        // Over the text the editor zooms itself; the shared level does not move.
        wheel(child.viewport(), 120, Qt::ControlModifier);
        QCOMPARE(zoomLevel, 1);
        QVERIFY(child.font().pointSizeF() > size);
        // Over the scroll bar the shared zoom acts.
        wheel(child.verticalScrollBar(), 120, Qt::ControlModifier);
        QCOMPARE(zoomLevel, 2);
    }

    void highlightColours_data()
    {
        QTest::addColumn<QColor>("base");
        QTest::addColumn<QColor>("paragraph");
        QTest::addColumn<QColor>("line");
        QTest::newRow("light grey") << QColor(239, 239, 239) << QColor(239, 239, 209) << QColor(139, 239, 239);
        QTest::newRow("dark") << QColor(20, 30, 40) << QColor(20, 30, 70) << QColor(120, 30, 40);
        QTest::newRow("wrap at 256") << QColor(156, 0, 226) << QColor(156, 0, 196) << QColor(56, 0, 226);
        QTest::newRow("just below") << QColor(155, 0, 225) << QColor(155, 0, 255) << QColor(255, 0, 225);
        QTest::newRow("alpha becomes opaque") << QColor(10, 10, 10, 40) << QColor(10, 10, 40) << QColor(110, 10, 10);
    }
    void highlightColours()
    {
        QFETCH(QColor, base);
        QFETCH(QColor, paragraph);
        QFETCH(QColor, line);
        QCOMPARE(MdiChild::paragraphHighlightColor(base), paragraph);
        QCOMPARE(MdiChild::lineHighlightColor(base), line);
    }

    void currentLineAndParagraph()
    {
        MdiChild child;
        child.newFile();
        child.setPlainText("first paragraph\nsecond paragraph");
        const QColor base = child.palette().color(QPalette::Active, QPalette::Window);

        highlightCurrentLineEnabled = true;
        highlightCurrentParagraphEnabled = true;
        child.moveCursor(QTextCursor::End);
        QList<QTextEdit::ExtraSelection> selections = child.extraSelections();
        QCOMPARE(selections.size(), 2);
        QCOMPARE(selections[0].format.background().color(), MdiChild::paragraphHighlightColor(base));
        QCOMPARE(selections[0].cursor.selectedText(), QString("second paragraph"));
        QVERIFY(selections[0].format.property(QTextFormat::FullWidthSelection).toBool());
        QCOMPARE(selections[1].format.background().color(), MdiChild::lineHighlightColor(base));
        QVERIFY(!selections[1].cursor.hasSelection());

        child.setReadOnly(true);
        child.moveCursor(QTextCursor::Start);
        selections = child.extraSelections();
        QCOMPARE(selections.size(), 1);
        QCOMPARE(selections[0].format.background().color(), MdiChild::lineHighlightColor(base));

        highlightCurrentLineEnabled = false;
        child.moveCursor(QTextCursor::End);
        QVERIFY(child.extraSelections().isEmpty());
    }

    // With the current line highlighted, typing lines into a new document left
    // a pixel row of the highlight under earlier lines, still there after
    // Ctrl+Home: the screen showed what a fresh paint of the view does not.
    void currentLineLeavesNoStripes()
    {
        MainWindow window(nullptr, MainWindow::NoStartUpTimers);
        window.resize(800, 600);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        window.highlightCurrentLineAct->setChecked(true);
        window.highlightCurrentLine();
        window.newFile();
        MdiChild* child = window.activeMdiChild();
        QVERIFY(child);
        // No caret, which blinks.
        child->clearFocus();
        QApplication::processEvents();
        for (const char* line : {"first line", "second line", "third line"}) {
            QTest::keyClicks(child, line);
            QTest::keyClick(child, Qt::Key_Return);
            // Painted as the user sees it, one change after the other.
            QApplication::processEvents();
        }
        QTest::keyClick(child, Qt::Key_Home, Qt::ControlModifier);
        QApplication::processEvents();
        const QImage fresh = child->viewport()->grab().toImage();
        const QPoint at = child->viewport()->mapTo(&window, QPoint(0, 0));
        const QImage shown =
            window.screen()->grabWindow(window.winId(), at.x(), at.y(), fresh.width(), fresh.height()).toImage();
        QCOMPARE(shown.convertToFormat(fresh.format()), fresh);
    }

    void symbols()
    {
        Settings().setValue("ShowSymbol", 19);
        MdiChild child;
        child.setShowSymbol(true);
        QCOMPARE(int(child.document()->defaultTextOption().flags()), 19);
        child.setShowSymbol(false);
        QCOMPARE(int(child.document()->defaultTextOption().flags()), 0);
        QCOMPARE(child.document()->defaultTextOption().wrapMode(), QTextOption().wrapMode());
    }

    void editorFont()
    {
        Settings settings;
        settings.setValue("EditorFontType", 1);
        settings.setValue("EditorFontFamily", "DejaVu Sans");
        settings.setValue("EditorFontSize", 13.5);
        MdiChild child;
        QCOMPARE(child.font().family(), QString("DejaVu Sans"));
        QCOMPARE(child.font().pointSizeF(), 13.5);

        settings.setValue("EditorFontType", 0);
        MdiChild plain;
        QCOMPARE(plain.font(), QTextEdit().font());
    }

    void background_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<QString>("color");
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("styleSheet");
        QTest::newRow("none") << 0 << "#112233" << "a.png" << "";
        QTest::newRow("colour value") << 1 << "#112233" << "a.png" << "MdiChild { background-color: #112233; }";
        QTest::newRow("picture value") << 2 << "#112233" << "/pics/a b.png" << "MdiChild { background-image: url(\"/pics/a b.png\"); }";
        QTest::newRow("colour without # is a path") << 1 << "paper.png" << "" << "MdiChild { background-image: url(\"paper.png\"); }";
        QTest::newRow("quote escaped") << 2 << "" << "a\"); } * { color: red" << "MdiChild { background-image: url(\"a\\\"); } * { color: red\"); }";
        QTest::newRow("not a colour") << 1 << "#12; } * { x" << "" << "";
        QTest::newRow("empty colour") << 1 << "" << "" << "";
    }
    void background()
    {
        QFETCH(int, type);
        QFETCH(QString, color);
        QFETCH(QString, file);
        QFETCH(QString, styleSheet);
        Settings settings;
        settings.setValue("EditorBackgroundType", type);
        settings.setValue("EditorBackgroundColor", color);
        settings.setValue("EditorBackgroundFileName", file);
        // A new document takes the configured value, not the key's name.
        MdiChild child;
        QCOMPARE(child.styleSheet(), styleSheet);
    }

    void backgroundChangeSignal()
    {
        MainWindow window(nullptr, MainWindow::NoStartUpTimers);
        window.newFile();
        MdiChild* child = window.activeMdiChild();
        emit window.backgroundChange("#abcdef");
        QCOMPARE(child->styleSheet(), QString("MdiChild { background-color: #abcdef; }"));
        emit window.backgroundChange(QString());
        QCOMPARE(child->styleSheet(), QString());

        MessageCapture capture;
        Settings().setValue("EditorBackgroundType", 7);
        MdiChild unknown;
        QVERIFY(capture.contains("Unknown background type = 7"));
        QCOMPARE(unknown.styleSheet(), QString());
    }

    void lineSpacing_data()
    {
        QTest::addColumn<QVariant>("spacing");
        QTest::addColumn<QVariant>("fixed");
        QTest::addColumn<int>("type");
        QTest::addColumn<double>("height");
        QTest::newRow("1.5") << QVariant(1.5) << QVariant() << int(QTextBlockFormat::ProportionalHeight) << 150.0;
        QTest::newRow("2") << QVariant(2) << QVariant(20) << int(QTextBlockFormat::ProportionalHeight) << 200.0;
        QTest::newRow("1.0") << QVariant(1.0) << QVariant() << int(QTextBlockFormat::ProportionalHeight) << 100.0;
        QTest::newRow("fixed 20") << QVariant(0) << QVariant(20) << int(QTextBlockFormat::FixedHeight) << 20.0;
        QTest::newRow("fixed 40 is out of range") << QVariant(0) << QVariant(40) << int(QTextBlockFormat::FixedHeight) << 15.0;
        QTest::newRow("fixed 9 is out of range") << QVariant(0.5) << QVariant(9) << int(QTextBlockFormat::FixedHeight) << 15.0;
        QTest::newRow("absent") << QVariant() << QVariant() << int(QTextBlockFormat::FixedHeight) << 15.0;
    }
    void lineSpacing()
    {
        QFETCH(QVariant, spacing);
        QFETCH(QVariant, fixed);
        QFETCH(int, type);
        QFETCH(double, height);
        Settings settings;
        if (spacing.isValid())
            settings.setValue("LineSpacing", spacing);
        if (fixed.isValid())
            settings.setValue("LineSpacingFixedValue", fixed);

        // On load: every block, alignment kept, not modified, nothing to undo.
        const QString file = path("spacing.tqd");
        writeAll(file, "<html><body><p align=\"center\">居中</p><p align=\"right\">右</p><p>三</p></body></html>");
        MdiChild child;
        QVERIFY(child.loadFile(file));
        QCOMPARE(child.document()->blockCount(), 3);
        for (QTextBlock block = child.document()->begin(); block.isValid(); block = block.next()) {
            QCOMPARE(block.blockFormat().lineHeightType(), type);
            QCOMPARE(block.blockFormat().lineHeight(), height);
        }
        QCOMPARE(child.document()->firstBlock().blockFormat().alignment(), Qt::AlignHCenter);
        QVERIFY(!child.document()->isModified());
        QVERIFY(!child.isWindowModified());
        QVERIFY(!child.document()->isUndoAvailable());

        // Plain text gets the same spacing on every paragraph.
        const QString plainFile = path("spacing.txt");
        writeAll(plainFile, "one\r\ntwo\rthree\n\nfive");
        MdiChild plain;
        QVERIFY(plain.loadFile(plainFile));
        QCOMPARE(plain.document()->blockCount(), 5);
        for (QTextBlock block = plain.document()->begin(); block.isValid(); block = block.next()) {
            QCOMPARE(block.blockFormat().lineHeightType(), type);
            QCOMPARE(block.blockFormat().lineHeight(), height);
        }
        QVERIFY(!plain.document()->isModified());
        QVERIFY(!plain.document()->isUndoAvailable());
        QCOMPARE(plain.textCursor().position(), 0);

        // On apply: the modified flag stays what it was, either way.
        settings.setValue("LineSpacing", 3);
        child.setLineSpacing();
        QVERIFY(!child.document()->isModified());
        QVERIFY(!child.isWindowModified());
        QTest::keyClicks(&child, "x");
        settings.setValue("LineSpacing", 1.5);
        child.setLineSpacing();
        QVERIFY(child.document()->isModified());
        QVERIFY(child.isWindowModified());
        QCOMPARE(child.document()->lastBlock().blockFormat().lineHeight(), 150.0);
        QCOMPARE(child.document()->firstBlock().blockFormat().alignment(), Qt::AlignHCenter);

        // A picture's paragraph keeps the normal height under a fixed spacing.
        QImage picture(40, 60, QImage::Format_RGB32);
        picture.fill(Qt::blue);
        child.document()->addResource(QTextDocument::ImageResource, QUrl("data:picture"), picture);
        QTextCursor end(child.document());
        end.movePosition(QTextCursor::End);
        end.insertBlock();
        end.insertImage("data:picture");
        settings.setValue("LineSpacing", 0.5);
        settings.setValue("LineSpacingFixedValue", 20);
        child.setLineSpacing();
        QCOMPARE(child.document()->lastBlock().blockFormat().lineHeightType(), int(QTextBlockFormat::SingleHeight));
        QCOMPARE(child.document()->firstBlock().blockFormat().lineHeightType(), int(QTextBlockFormat::FixedHeight));
    }

    void autoFormat_data()
    {
        QTest::addColumn<QString>("input");
        QTest::addColumn<QString>("output");
        QTest::newRow("A B empty C") << "A\nB\n\nC" << "  AB\n  C";
        QTest::newRow("A two empties C") << "A\n\n\nC" << "  A\n\n  C";
        QTest::newRow("one space gains one") << " A" << "  A";
        QTest::newRow("two spaces kept") << "  A\nB" << "  AB";
        QTest::newRow("spaces count as text") << "A\n   \nB" << "  A   B";
        QTest::newRow("empty document") << "" << "";
        QTest::newRow("last line not joined on") << "A\n" << "  A";
        QTest::newRow("Chinese") << "第一句\n第二句\n\n第二段" << "  第一句第二句\n  第二段";
    }
    void autoFormat()
    {
        QFETCH(QString, input);
        QFETCH(QString, output);
        MdiChild child;
        child.newFile();
        child.setPlainText(input);
        child.autoFormat();
        QCOMPARE(child.toPlainText(), output);
        QCOMPARE(child.document()->isModified(), input != output);
        // One command, one undo step.
        if (input != output) {
            child.undo();
            QCOMPARE(child.toPlainText(), input);
        }
    }

    void atomReference_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("pos");
        QTest::addColumn<QString>("name");
        const QString one = "写[春天]的诗";
        QTest::newRow("inside") << one << 3 << "春天";
        QTest::newRow("just after [") << one << 2 << "春天";
        QTest::newRow("just before ]") << one << 4 << "春天";
        QTest::newRow("start of text") << one << 0 << QString();
        QTest::newRow("just before [") << one << 1 << QString();
        QTest::newRow("just after ]") << one << 5 << QString();
        const QString two = "[春天] 和 [秋天]";
        QTest::newRow("second of two") << two << 8 << "秋天";
        QTest::newRow("first of two") << two << 1 << "春天";
        QTest::newRow("between") << two << 5 << QString();
        QTest::newRow("unbalanced [") << "[a [b] c" << 4 << "a b";
        QTest::newRow("no closing") << "[abc" << 2 << QString();
        QTest::newRow("spans lines") << QString("[a") + QChar(0x2029) + "b]" << 1 << QString("a") + QChar(0x2029) + "b";
        QTest::newRow("empty brackets") << "x[]y" << 2 << "";
    }
    void atomReference()
    {
        QFETCH(QString, text);
        QFETCH(int, pos);
        QFETCH(QString, name);
        const QString found = MdiChild::atomReferenceAt(text, pos);
        QCOMPARE(found, name);
        QCOMPARE(found.isNull(), name.isNull());
    }

    void contextMenu()
    {
        ScriptedPrompt prompt;
        MainWindow window(nullptr, MainWindow::NoStartUpTimers);
        window.resize(800, 600);
        window.show();
        window.newFile();
        MdiChild* child = window.activeMdiChild();
        child->setPlainText("写[春天]的诗");
        QVERIFY(politicsSensitiveWordHighlightAct && openAtomTemplateUnderCursorAct);

        const QStringList inside = contextMenuAt(*child, prompt, 3);
        QVERIFY(!inside.isEmpty());
        QCOMPARE(inside.last(), QString("打开原子模板: 春天"));
        QCOMPARE(openDatabaseTemplateUnderCursorAct->text(), QString("打开数据库模板: 春天"));
        const int separator = inside.lastIndexOf("-");
        const QStringList ours = inside.mid(separator + 1);
        const QStringList expected = {"黑名单 + 白名单模式校对", "白名单模式校对", "黑名单模式校对", "自定义词校对",
                                      "政治词汇标记", "涉黄词汇标记", "添加选中单词到白名单", "添加选中单词到黑名单",
                                      "添加选中内容到当前目标", "加入为内容条目", "扩写标记", "近义词标记", "反义词标记",
                                      "打开原子模板: 春天"};
        QCOMPARE(ours, expected);
        // The two renamed actions get their short texts back.
        QCOMPARE(politicsSensitiveWordHighlightAct->text(), QString("政治"));
        QCOMPARE(eroticismSensitiveWordHighlightAct->text(), QString("涉黄"));

        const QStringList before = contextMenuAt(*child, prompt, 1);
        QVERIFY(!before.last().startsWith("打开原子模板"));
        const QStringList after = contextMenuAt(*child, prompt, 6);
        QVERIFY(!after.last().startsWith("打开原子模板"));
        QCOMPARE(prompt.menus.size(), 3);
    }

    void logLines_data()
    {
        QTest::addColumn<bool>("superUser");
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("isLog");
        const QString line = "2019.01.22 14:14:19.189: [WARNING ] x";
        QTest::newRow("log line") << true << line << true;
        QTest::newRow("super user off") << false << line << false;
        QTest::newRow("exactly 35 characters") << true << line.left(35) << false;
        QTest::newRow("36 characters") << true << line.left(36) << true;
        QTest::newRow("no bracket at 25") << true << QString(line).replace(25, 1, "(") << false;
        QTest::newRow("no bracket at 34") << true << QString(line).replace(34, 1, ")") << false;
    }
    void logLines()
    {
        QFETCH(bool, superUser);
        QFETCH(QString, text);
        QFETCH(bool, isLog);
        superUserMode = superUser;
        QCOMPARE(MdiChild::isTqLogFile(text), isLog);
    }

    void logToHtml()
    {
        const QString stamp = "2019.01.22 14:14:19.189: ";
        const QString text = stamp + "[CRITICAL] a\n" + stamp + "[DEBUG   ] b <i>&\n" + stamp + "[FATAL   ] c\n" + stamp
            + "[INFO    ] d\n" + stamp + "[WARNING ] e\n" + stamp + "[OTHER   ] <f>\nshort <g>";
        MessageCapture capture;
        const QStringList parts = MdiChild::str2LogStr(text).split("<p/>");
        QCOMPARE(parts.size(), 7);
        QCOMPARE(parts[0], stamp + "<font color=\"red\">[CRITICAL]</font> a");
        QCOMPARE(parts[1], stamp + "<font color=\"blue\">[DEBUG&nbsp;&nbsp;&nbsp;]</font> b &lt;i&gt;&amp;");
        QCOMPARE(parts[2], stamp + "<font color=\"red\">[FATAL&nbsp;&nbsp;&nbsp;]</font> c");
        QCOMPARE(parts[3], stamp + "<font color=\"green\">[INFO&nbsp;&nbsp;&nbsp;&nbsp;]</font> d");
        QCOMPARE(parts[4], stamp + "<font color=\"yellow\">[WARNING&nbsp;]</font> e");
        QCOMPARE(parts[5], stamp + "[OTHER   ] &lt;f&gt;");
        QCOMPARE(parts[6], QString("short &lt;g&gt;\n"));
        QVERIFY(capture.contains("Unknown type log line, s ="));
        QVERIFY(capture.contains("Log line too short, s ="));
    }

    // As a user would: open a UTF-8 and a GB18030 file, type, save, close;
    // the files hold exactly the typed text in their own encodings.
    void typingIntoFilesThroughMainWindow_data()
    {
        QTest::addColumn<QString>("codec");
        QTest::addColumn<QByteArray>("mark");
        QTest::newRow("UTF-8") << "UTF-8" << QByteArray();
        QTest::newRow("UTF-8 with mark") << "UTF-8" << QByteArray("\xEF\xBB\xBF");
        QTest::newRow("GB18030") << "GB18030" << QByteArray();
    }
    void typingIntoFilesThroughMainWindow()
    {
        QFETCH(QString, codec);
        QFETCH(QByteArray, mark);
        QTextCodec* c = QTextCodec::codecForName(codec.toLatin1());
        ScriptedPrompt prompt;
        MainWindow window(nullptr, MainWindow::NoStartUpTimers);
        window.resize(800, 600);
        window.show();
        const QString file = path("typed.txt");
        writeAll(file, mark + c->fromUnicode("原有的第一行\r\n"));
        window.open(file);
        MdiChild* child = window.activeMdiChild();
        QVERIFY(child);
        QCOMPARE(child->encoding, codec);
        child->moveCursor(QTextCursor::End);
        typeText(child, "新打的字");
        QTest::keyClicks(child, " abc");
        QTest::keyClick(child, Qt::Key_Return);
        typeText(child, "第三行");
        QVERIFY(child->isWindowModified());
        QCOMPARE(child->save(true), 0);
        window.mdiArea->closeAllSubWindows();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QCOMPARE(window.mdiArea->subWindowList().size(), 0);
        QCOMPARE(prompt.texts, QStringList());
        QCOMPARE(readAll(file), mark + c->fromUnicode("原有的第一行\r\n新打的字 abc\r\n第三行"));
    }
};

TQ_TEST_MAIN(MdiChildEditingTest)
#include "tst_mdichild_editing.moc"
