// Edit, format and view commands on real documents: the clipboard forwarders,
// character formats on a selection and at the cursor, alignment and the controls
// that follow the cursor, zoom steps and limits, read-only, go to character and
// line, the encoding actions on modified and unmodified documents, symbols,
// line wrap, plain-text conversion and the highlight switches.

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QFontComboBox>
#include <QMdiSubWindow>
#include <QTextBlock>
#include <QTextCodec>
#include <QToolButton>

#include "MainWindow.h"
#include "MdiArea.h"
#include "MdiChild.h"
#include "TestSupport.h"

namespace {

void placeCursor(QTextEdit* edit, int at)
{
    selectText(edit, at, at);
}

QTextCharFormat formatAt(QTextEdit* edit, int position)
{
    QTextCursor cursor(edit->document());
    cursor.setPosition(position + 1); // the format of the character before the cursor
    return cursor.charFormat();
}

} // namespace

class EditCommandsTest : public QObject
{
    Q_OBJECT

    QScopedPointer<MainWindow> window;
    MdiChild* child = nullptr;

    MdiChild* newDocument(const QString& text = QString())
    {
        window->newFile();
        MdiChild* document = window->activeMdiChild();
        if (!text.isNull())
            document->setPlainText(text);
        return document;
    }

    QList<MdiChild*> documents() const
    {
        QList<MdiChild*> list;
        for (QMdiSubWindow* subWindow : window->mdiArea->subWindowList())
            list << qobject_cast<MdiChild*>(subWindow->widget());
        return list;
    }

    void discardAll()
    {
        for (MdiChild* document : documents())
            document->document()->setModified(false);
    }

private slots:
    void init()
    {
        Settings().clear();
        zoomLevel = 1;
        window.reset(new MainWindow(nullptr, MainWindow::NoStartUpTimers));
        child = newDocument("alpha beta gamma");
    }

    void cleanup()
    {
        discardAll();
        window.reset();
        zoomLevel = 1;
    }

    void forwarders()
    {
        selectText(child, 6, 10);
        window->copy();
        QCOMPARE(QApplication::clipboard()->text(), QString("beta"));
        window->cut();
        QCOMPARE(child->toPlainText(), QString("alpha  gamma"));
        placeCursor(child, 0);
        window->paste();
        QCOMPARE(child->toPlainText(), QString("betaalpha  gamma"));
        window->undo();
        QCOMPARE(child->toPlainText(), QString("alpha  gamma"));
        window->redo();
        QCOMPARE(child->toPlainText(), QString("betaalpha  gamma"));
        window->selectAll();
        QCOMPARE(child->textCursor().selectedText(), child->toPlainText());
        selectText(child, 0, 4);
        window->deleteSelectedText();
        QCOMPARE(child->toPlainText(), QString("alpha  gamma"));
        // No selection: nothing deleted.
        window->deleteSelectedText();
        QCOMPARE(child->toPlainText(), QString("alpha  gamma"));
    }

    void pasteAsPlainTextDropsFormatting()
    {
        auto* mime = new QMimeData;
        mime->setHtml("<b>bold</b>");
        mime->setText("bold");
        QApplication::clipboard()->setMimeData(mime);
        child->clear();
        window->pasteAsPlainText();
        QCOMPARE(child->toPlainText(), QString("bold"));
        QCOMPARE(formatAt(child, 1).fontWeight(), int(QFont::Normal));
    }

    void characterFormats_data()
    {
        QTest::addColumn<QString>("command");
        QTest::addColumn<bool>("selection");
        QTest::newRow("bold, selection") << "bold" << true;
        QTest::newRow("bold, word under cursor") << "bold" << false;
        QTest::newRow("italic, selection") << "italic" << true;
        QTest::newRow("italic, word under cursor") << "italic" << false;
        QTest::newRow("underline, selection") << "underline" << true;
        QTest::newRow("underline, word under cursor") << "underline" << false;
        QTest::newRow("size, selection") << "size" << true;
        QTest::newRow("size, word under cursor") << "size" << false;
        QTest::newRow("family, selection") << "family" << true;
        QTest::newRow("family, word under cursor") << "family" << false;
        QTest::newRow("colour, selection") << "colour" << true;
        QTest::newRow("colour, word under cursor") << "colour" << false;
    }

    void characterFormats()
    {
        QFETCH(QString, command);
        QFETCH(bool, selection);
        ScriptedPrompt prompt;
        if (selection)
            selectText(child, 6, 10); // "beta"
        else
            placeCursor(child, 8); // inside "beta"
        auto has = [&](const QTextCharFormat& format) {
            if (command == "bold")
                return format.fontWeight() == 75;
            if (command == "italic")
                return format.fontItalic();
            if (command == "underline")
                return format.underlineStyle() == QTextCharFormat::SingleUnderline;
            if (command == "size")
                return format.fontPointSize() == 23.5;
            if (command == "family")
                return format.fontFamily() == "Serif Test";
            return format.foreground().color() == QColor(Qt::red);
        };
        if (command == "bold") {
            actionByText(window.data(), "粗体")->trigger();
        } else if (command == "italic") {
            actionByText(window.data(), "斜体")->trigger();
        } else if (command == "underline") {
            actionByText(window.data(), "下划线")->trigger();
        } else if (command == "size") {
            window->textSize("23.5");
        } else if (command == "family") {
            window->textFamily("Serif Test");
        } else {
            prompt.colorAnswers << QColor(Qt::red);
            window->textColor();
            QCOMPARE(prompt.colorQuestions.size(), 1);
            QCOMPARE(window->textColorAct->icon().pixmap(16, 16).toImage().pixelColor(8, 8), QColor(Qt::red));
        }
        for (int i = 6; i < 10; ++i)
            QVERIFY2(has(formatAt(child, i)), qPrintable(QString::number(i)));
        QVERIFY(!has(formatAt(child, 4)));
        QVERIFY(!has(formatAt(child, 11)));
        // The editor's current format carries it for what is typed next.
        QVERIFY(has(child->currentCharFormat()));
    }

    void boldAtCursorAppliesToTypedText()
    {
        placeCursor(child, 8);
        window->textBoldAct->setChecked(true);
        window->textBold();
        QTextCursor cursor = child->textCursor();
        QCOMPARE(child->currentCharFormat().fontWeight(), 75);
        cursor.insertText("X", child->currentCharFormat());
        QCOMPARE(formatAt(child, 8).fontWeight(), 75);
        // Turning it off again.
        window->textBoldAct->setChecked(false);
        selectText(child, 6, 11);
        window->textBold();
        QCOMPARE(formatAt(child, 7).fontWeight(), int(QFont::Normal));
    }

    void badSizesChangeNothing_data()
    {
        QTest::addColumn<QString>("size");
        QTest::newRow("letters") << "abc";
        QTest::newRow("zero") << "0";
        QTest::newRow("negative") << "-3";
        QTest::newRow("empty") << "";
    }

    void badSizesChangeNothing()
    {
        QFETCH(QString, size);
        selectText(child, 0, 5);
        const QString before = child->toHtml();
        window->textSize(size);
        QCOMPARE(child->toHtml(), before);
        QVERIFY(!child->document()->isModified());
    }

    void cancelledColourChangesNothing()
    {
        ScriptedPrompt prompt;
        selectText(child, 0, 5);
        const QString before = child->toHtml();
        window->textColor();
        QCOMPARE(prompt.colorQuestions.size(), 1);
        QCOMPARE(child->toHtml(), before);
    }

    void alignment_data()
    {
        QTest::addColumn<QString>("action");
        QTest::addColumn<int>("alignment");
        QTest::newRow("left") << "左对齐" << int(Qt::AlignLeft | Qt::AlignAbsolute);
        QTest::newRow("centre") << "居中" << int(Qt::AlignHCenter);
        QTest::newRow("right") << "右对齐" << int(Qt::AlignRight | Qt::AlignAbsolute);
        QTest::newRow("justify") << "校正" << int(Qt::AlignJustify);
    }

    void alignment()
    {
        QFETCH(QString, action);
        QFETCH(int, alignment);
        placeCursor(child, 3);
        actionByText(window.data(), action)->trigger();
        QCOMPARE(int(child->alignment()), alignment);
        // Moving into a paragraph with that alignment checks the same action.
        for (const char* other : {"左对齐", "居中", "右对齐", "校正"})
            actionByText(window.data(), other)->setChecked(false);
        window->alignmentChanged(Qt::Alignment(alignment));
        QVERIFY(actionByText(window.data(), action)->isChecked());
    }

    void alignmentWithoutHorizontalBitChangesNothing()
    {
        window->alignCenterAct->setChecked(true);
        window->alignmentChanged(Qt::AlignTop);
        QVERIFY(window->alignCenterAct->isChecked());
        window->alignmentChanged(Qt::AlignRight | Qt::AlignLeft);
        QVERIFY(window->alignLeftAct->isChecked());
    }

    void controlsFollowTheFormat()
    {
        QTextCharFormat format;
        QFont font = QApplication::font();
        font.setPointSize(12);
        font.setWeight(QFont::DemiBold); // 63, above 57
        font.setItalic(true);
        font.setUnderline(true);
        format.setFont(font);
        format.setForeground(QColor(Qt::blue));
        window->currentCharFormatChanged(format);
        QVERIFY(window->textBoldAct->isChecked());
        QVERIFY(window->textItalicAct->isChecked());
        QVERIFY(window->textUnderlineAct->isChecked());
        QCOMPARE(window->comboSize->currentText(), QString("12"));
        QCOMPARE(window->comboFont->currentText(), QFontInfo(font).family());
        QCOMPARE(window->textColorAct->icon().pixmap(16, 16).toImage().pixelColor(3, 3), QColor(Qt::blue));

        font.setWeight(QFont::Medium); // 57 is not bold
        font.setItalic(false);
        font.setUnderline(false);
        font.setPointSize(13); // no such entry
        format.setFont(font);
        window->currentCharFormatChanged(format);
        QVERIFY(!window->textBoldAct->isChecked());
        QVERIFY(!window->textItalicAct->isChecked());
        QVERIFY(!window->textUnderlineAct->isChecked());
        QCOMPARE(window->comboSize->currentIndex(), -1);
    }

    void applicationFontSize()
    {
        const QFont before = QApplication::font();
        window->setFontSize(17);
        QCOMPARE(QApplication::font().pointSize(), 17);
        window->setFontSize(0);
        QCOMPARE(QApplication::font().pointSize(), 17);
        QApplication::setFont(before);
    }

    void zoomLevels_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("level");
        QTest::newRow("25%") << "25%" << -4;
        QTest::newRow("50%") << "50%" << -2;
        QTest::newRow("100%") << "100%" << 1;
        QTest::newRow("200%") << "200%" << 2;
        QTest::newRow("400%") << "400%" << 4;
        QTest::newRow("800%") << "800%" << 8;
        QTest::newRow("1600%") << "1600%" << 16;
    }

    void zoomLevels()
    {
        QFETCH(QString, text);
        QFETCH(int, level);
        child->setFont(QFont(child->font().family(), 30));
        actionByText(window.data(), text)->trigger();
        QCOMPARE(zoomLevel, level);
        const int points = level > 1 ? level * zoomStep : level < -1 ? level * zoomStep : 0;
        QCOMPARE(child->font().pointSize(), 30 + points);
    }

    void zoomReZoomsEveryDocument()
    {
        child->setFont(QFont(child->font().family(), 30));
        MdiChild* second = newDocument("second");
        second->setFont(QFont(second->font().family(), 40));
        window->zoom("400%");
        QCOMPARE(child->font().pointSize(), 50);
        QCOMPARE(second->font().pointSize(), 60);
        window->zoom("200%"); // back by 20, in by 10
        QCOMPARE(child->font().pointSize(), 40);
        QCOMPARE(second->font().pointSize(), 50);
        window->zoom("100%");
        QCOMPARE(child->font().pointSize(), 30);
        QCOMPARE(second->font().pointSize(), 40);
        window->zoom("25%");
        window->zoom("50%"); // in by 20, out by 10
        QCOMPARE(child->font().pointSize(), 20);
        QCOMPARE(zoomLevel, -2);
        window->resetZoom();
        QCOMPARE(zoomLevel, 1);
        QCOMPARE(child->font().pointSize(), 30);
        QCOMPARE(second->font().pointSize(), 40);
    }

    void zoomOutOfASmallFontComesBackWhole()
    {
        // 25% takes 20 points; a 9 point font can give only 8 of them.
        child->setFont(QFont(child->font().family(), 9));
        window->zoom("25%");
        QCOMPARE(child->font().pointSize(), 1);
        window->zoom("100%");
        QCOMPARE(child->font().pointSize(), 9);
        window->zoom("25%");
        window->zoom("400%");
        QCOMPARE(child->font().pointSize(), 29);
    }

    // "100%" brings every document back to its base size, however the zoom was
    // reached: wheel steps, menu levels, or both.
    void hundredPercentUndoesAnyZoom_data()
    {
        QTest::addColumn<int>("steps"); // wheel steps, up when positive
        QTest::addColumn<QString>("menu"); // a zoom command first, or empty
        for (int steps : {1, 2, 3, -1, -2, -3})
            QTest::newRow(qPrintable(QStringLiteral("wheel %1").arg(steps))) << steps << QString();
        QTest::newRow("200% then wheel up") << 2 << "200%";
        QTest::newRow("50% then wheel down") << -3 << "50%";
        QTest::newRow("400% then wheel down") << -2 << "400%";
    }
    void hundredPercentUndoesAnyZoom()
    {
        QFETCH(int, steps);
        QFETCH(QString, menu);
        window->show();
        QVERIFY(QTest::qWaitForWindowExposed(window.data()));
        MdiChild* second = newDocument("second");
        child->setFont(QFont(child->font().family(), 12));
        second->setFont(QFont(second->font().family(), 7));
        if (!menu.isEmpty())
            actionByText(window.data(), menu)->trigger();
        for (int i = 0; i < qAbs(steps); ++i) {
            QWheelEvent event(QPointF(5, 5), child->viewport()->mapToGlobal(QPoint(5, 5)), QPoint(),
                              QPoint(0, steps > 0 ? 120 : -120), Qt::NoButton, Qt::ControlModifier,
                              Qt::NoScrollPhase, false);
            QApplication::sendEvent(child->viewport(), &event);
        }
        QVERIFY(child->font().pointSizeF() != 12 || second->font().pointSizeF() != 7);
        actionByText(window.data(), "100%")->trigger();
        QCOMPARE(zoomLevel, 1);
        QCOMPARE(child->font().pointSizeF(), 12.0);
        QCOMPARE(second->font().pointSizeF(), 7.0);
    }

    void badZoomTextChangesNothing()
    {
        window->zoom("200%");
        const int size = child->font().pointSize();
        window->zoom("%");
        window->zoom("0%");
        window->zoom("abc%");
        QCOMPARE(zoomLevel, 2);
        QCOMPARE(child->font().pointSize(), size);
    }

    void readOnly()
    {
        window->setTextEditReadOnlyAct->setChecked(true);
        window->setTextEditReadOnly();
        QVERIFY(child->isReadOnly());
        window->setTextEditReadOnlyAct->setChecked(false);
        window->setTextEditReadOnly();
        QVERIFY(!child->isReadOnly());
    }

    // The window stops following the cursor while the command edits, and follows it again after.
    void autoFormatKeepsCursorTrackingOn()
    {
        child->setPlainText("line one\nline two\n\nnext");
        QList<bool> trackingDuringEdits;
        const QMetaObject::Connection connection = connect(child->document(), &QTextDocument::contentsChange, this,
                                                           [&] { trackingDuringEdits << window->cursorTrackingEnabled; });
        window->autoFormat();
        disconnect(connection);
        QVERIFY(!trackingDuringEdits.isEmpty());
        QVERIFY(!trackingDuringEdits.contains(true));
        QVERIFY(window->cursorTrackingEnabled);
        QCOMPARE(child->toPlainText(), QString("  line oneline two\n  next"));
    }

    void gotoLine_data()
    {
        QTest::addColumn<int>("answer");
        QTest::addColumn<int>("position");
        QTest::newRow("first") << 1 << 0;
        QTest::newRow("second") << 2 << 4;
        QTest::newRow("last") << 4 << 12;
    }

    void gotoLine()
    {
        QFETCH(int, answer);
        QFETCH(int, position);
        child->setPlainText("one\ntwo\nsix\nten");
        child->setLineWrapMode(QTextEdit::NoWrap);
        ScriptedPrompt prompt;
        prompt.intAnswers << answer;
        window->gotoLine();
        QCOMPARE(prompt.intQuestions, QStringList{"到指定行|指定行数(1 - 4): |1|1|4"});
        QCOMPARE(child->textCursor().position(), position);
        QCOMPARE(child->lineWrapMode(), QTextEdit::NoWrap);
    }

    void gotoCharacter()
    {
        child->setPlainText("one\ntwo");
        child->setLineWrapMode(QTextEdit::WidgetWidth);
        ScriptedPrompt prompt;
        prompt.intAnswers << 8 << 5;
        window->gotoCharacter();
        QCOMPARE(prompt.intQuestions, QStringList{"到第...个字符|指定字符数(0 - 8): |0|0|8"});
        QCOMPARE(child->textCursor().position(), 7); // the end
        window->gotoCharacter();
        QCOMPARE(child->textCursor().position(), 5);
        QCOMPARE(child->lineWrapMode(), QTextEdit::WidgetWidth);
        // Cancel leaves the cursor.
        window->gotoCharacter();
        QCOMPARE(child->textCursor().position(), 5);
    }

    void encodingOfUntitledDocument()
    {
        QSignalSpy spy(child, SIGNAL(encodingChanged(QString)));
        window->encodingActs[0]->trigger(); // "Big5"
        QCOMPARE(child->encoding, QString("Big5"));
        QCOMPARE(spy.count(), 1);
        for (int i = 0; i < MainWindow::EncodingActCount; ++i)
            QCOMPARE(window->encodingActs[i]->isChecked(), i == 0);
        // Choosing it again keeps it checked and does nothing.
        window->encodingActs[0]->trigger();
        QVERIFY(window->encodingActs[0]->isChecked());
        QCOMPARE(spy.count(), 1);
        window->encodingActs[1]->trigger();
        QCOMPARE(child->encoding, QString("Big5-HKSCS"));
        QVERIFY(!window->encodingActs[0]->isChecked());
    }

    void encodingActionsShowTheDocument_data()
    {
        QTest::addColumn<QString>("encoding");
        QTest::addColumn<int>("checked");
        QTest::newRow("Big5") << "Big5" << 0;
        QTest::newRow("Big5-HKSCS") << "Big5-HKSCS" << 1;
        QTest::newRow("GB18030") << "GB18030" << 2;
        QTest::newRow("GB2312") << "GB2312" << 3;
        QTest::newRow("UTF-8") << "UTF-8" << -1;
        QTest::newRow("other") << "UTF-16LE" << 2;
        QTest::newRow("case matters") << "big5" << 2;
    }

    void encodingActionsShowTheDocument()
    {
        QFETCH(QString, encoding);
        QFETCH(int, checked);
        child->encoding = encoding;
        window->updateEncodingActions();
        for (int i = 0; i < MainWindow::EncodingActCount; ++i)
            QCOMPARE(window->encodingActs[i]->isChecked(), i == checked);
    }

    void encodingReloadsATitledDocument()
    {
        const QString path = TestEnvironment::instance()->workDir() + "/big5.txt";
        const QString text = QStringLiteral("繁體中文");
        writeFile(path, QTextCodec::codecForName("Big5")->fromUnicode(text));
        ScriptedPrompt prompt;
        window->open(path);
        MdiChild* document = window->activeMdiChild();
        QCOMPARE(document->currentFile(), QFileInfo(path).canonicalFilePath());
        // Ordinary traditional text is recognised as Big5; read as GB18030 it is
        // other characters, and the Big5 command brings it back.
        QCOMPARE(document->toPlainText(), text);
        QCOMPARE(document->encoding, QString("Big5"));
        window->updateEncodingActions();
        QVERIFY(window->encodingActs[0]->isChecked());
        window->encodingActs[2]->trigger();
        QVERIFY(document->toPlainText() != text);
        QCOMPARE(document->encoding, QString("GB18030"));
        window->encodingActs[0]->trigger();
        QCOMPARE(document->toPlainText(), text);
        QCOMPARE(document->encoding, QString("Big5"));

        // A modified document asks first; cancel keeps the edits and the old encoding checked.
        document->textCursor().insertText("新");
        QVERIFY(document->document()->isModified());
        const QString edited = document->toPlainText();
        prompt.answers << ScriptedPrompt::Answer{0, false}; // cancel
        window->encodingActs[2]->trigger();
        QCOMPARE(prompt.texts.size(), 1);
        QCOMPARE(document->toPlainText(), edited);
        QCOMPARE(document->encoding, QString("Big5"));
        QVERIFY(window->encodingActs[0]->isChecked());
        QVERIFY(!window->encodingActs[2]->isChecked());
        // Discard reloads.
        prompt.answers << ScriptedPrompt::Answer{2, false};
        window->encodingActs[0]->setChecked(false);
        window->encodingActs[2]->trigger();
        QCOMPARE(document->encoding, QString("GB18030"));
        QVERIFY(!document->document()->isModified());
    }

    void noDocumentChecksGb18030()
    {
        discardAll();
        window->mdiArea->closeAllSubWindows();
        QCOMPARE(window->activeMdiChild(), static_cast<MdiChild*>(nullptr));
        window->encodingActs[2]->setChecked(false);
        window->updateEncodingActions();
        QVERIFY(window->encodingActs[2]->isChecked());
        // Commands without a document do nothing.
        window->copy();
        window->textBold();
        window->zoom("200%");
        window->gotoLine();
        window->toPlainText();
        QCOMPARE(zoomLevel, 2);
        zoomLevel = 1;
    }

    void symbols_data()
    {
        QTest::addColumn<bool>("spaces");
        QTest::addColumn<bool>("ends");
        QTest::addColumn<int>("flags");
        QTest::newRow("none") << false << false << 0;
        QTest::newRow("spaces") << true << false << 1;
        QTest::newRow("ends") << false << true << 18;
        QTest::newRow("both") << true << true << 19;
    }

    void symbols()
    {
        QFETCH(bool, spaces);
        QFETCH(bool, ends);
        QFETCH(int, flags);
        MdiChild* second = newDocument("second");
        window->showSymbolActs[0]->setChecked(spaces);
        window->showSymbolActs[1]->setChecked(ends);
        window->toggleSymbol();
        QCOMPARE(Settings().value("ShowSymbol").toInt(), flags);
        QCOMPARE(int(child->document()->defaultTextOption().flags()), flags);
        QCOMPARE(int(second->document()->defaultTextOption().flags()), flags);
    }

    void lineWrap()
    {
        window->lineWrapAct->setChecked(false);
        window->lineWrap();
        QCOMPARE(child->lineWrapMode(), QTextEdit::NoWrap);
        window->lineWrapAct->setChecked(true);
        window->lineWrap();
        QCOMPARE(child->lineWrapMode(), QTextEdit::WidgetWidth);
    }

    void toPlainTextDropsFormattingAndStaysModified()
    {
        child->setHtml("<p>plain <b>bold</b> <span style=\"color:#ff0000\">red</span></p>");
        child->document()->setModified(false);
        window->showSymbolActs[0]->setChecked(true);
        window->toPlainText();
        QCOMPARE(child->toPlainText(), QString("plain bold red"));
        QCOMPARE(formatAt(child, 7).fontWeight(), int(QFont::Normal));
        QVERIFY(formatAt(child, 12).foreground().style() == Qt::NoBrush);
        QVERIFY(child->document()->isModified());
        QVERIFY(!child->document()->isUndoAvailable());
        QCOMPARE(int(child->document()->defaultTextOption().flags()), 1);
    }

    void highlights()
    {
        window->highlightCurrentLineAct->setChecked(true);
        window->highlightCurrentLine();
        QVERIFY(highlightCurrentLineEnabled);
        QCOMPARE(Settings().value("HighlightCurrentLine").toInt(), 2);
        window->highlightCurrentParagraphAct->setChecked(false);
        window->highlightCurrentParagraph();
        QVERIFY(!highlightCurrentParagraphEnabled);
        QCOMPARE(Settings().value("HighlightCurrentParagraph").toInt(), 0);
    }

    void blockUserData()
    {
        MessageCapture capture;
        window->setBlockUserData(QString(), QModelIndex(), QList<int>());
        QVERIFY(child->textCursor().block().userData());
        QVERIFY(!capture.contains("!block.isValid()"));
    }
};

TQ_TEST_MAIN(EditCommandsTest)
#include "tst_editcommands.moc"
