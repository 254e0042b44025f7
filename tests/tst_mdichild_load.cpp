// Loading documents: the encoding detection matrix with byte-exact round trips,
// forced encodings, rich text and the ".txt with a tag" rule, the log view,
// refused non-regular files, lossy readings and reloading a changed file.

#include <QMdiSubWindow>
#include <QTextBlock>
#include <QTextCodec>

#include <sys/stat.h>
#include <sys/types.h>

#include "MainWindow.h"
#include "MdiArea.h"
#include "MdiChild.h"
#include "StartUp.h"
#include "TestSupport.h"
#include "TextEncoding.h"

namespace {

const QString sampleText = QString::fromUcs4(U"第一行 ASCII\n中文，测试。\U00020000 end") + QChar(0xA0) + QStringLiteral("x\n");

} // namespace

class MdiChildLoadTest : public QObject
{
    Q_OBJECT

    QScopedPointer<QTemporaryDir> dir;
    QString path(const QString& name) const { return dir->filePath(name); }

private slots:
    void init()
    {
        Settings().clear();
        resetStartUpState();
        dir.reset(new QTemporaryDir(TestEnvironment::instance()->workDir() + "/load-XXXXXX"));
        QVERIFY(dir->isValid());
    }

    // Load, save unchanged, compare bytes; reload and compare the text.
    void roundTrip_data()
    {
        QTest::addColumn<QByteArray>("input");
        QTest::addColumn<QByteArray>("saved");
        QTest::addColumn<QString>("encoding");
        QTest::addColumn<bool>("bom");
        QTest::addColumn<QString>("text");

        auto crlf = [](QString text) { return text.replace("\n", "\r\n"); };
        auto cr = [](QString text) { return text.replace("\n", "\r"); };
        const QString t = sampleText;
        QTest::newRow("GB18030, CR LF") << gb18030(crlf(t)) << gb18030(crlf(t)) << "GB18030" << false << t;
        QTest::newRow("GB18030, LF") << gb18030(t) << gb18030(crlf(t)) << "GB18030" << false << t;
        QTest::newRow("GB18030, CR only") << gb18030(cr(t)) << gb18030(crlf(t)) << "GB18030" << false << t;
        QTest::newRow("UTF-8, CR LF") << crlf(t).toUtf8() << crlf(t).toUtf8() << "UTF-8" << false << t;
        QTest::newRow("UTF-8, LF") << t.toUtf8() << crlf(t).toUtf8() << "UTF-8" << false << t;
        QTest::newRow("UTF-8, CR only") << cr(t).toUtf8() << crlf(t).toUtf8() << "UTF-8" << false << t;
        const QByteArray mark("\xEF\xBB\xBF");
        QTest::newRow("UTF-8 + mark, CR LF") << mark + crlf(t).toUtf8() << mark + crlf(t).toUtf8() << "UTF-8" << true << t;
        QTest::newRow("UTF-8 + mark, LF") << mark + t.toUtf8() << mark + crlf(t).toUtf8() << "UTF-8" << true << t;
        QTest::newRow("UTF-16LE, CR LF") << utf16Bytes(crlf(t), true) << utf16Bytes(crlf(t), true) << "UTF-16LE" << true << t;
        QTest::newRow("UTF-16LE, CR only") << utf16Bytes(cr(t), true) << utf16Bytes(crlf(t), true) << "UTF-16LE" << true << t;
        QTest::newRow("UTF-16BE, CR LF") << utf16Bytes(crlf(t), false) << utf16Bytes(crlf(t), false) << "UTF-16BE" << true << t;
        QTest::newRow("ASCII stays GB18030") << QByteArray("abc\r\ndef") << QByteArray("abc\r\ndef") << "GB18030" << false << "abc\ndef";
        QTest::newRow("empty") << QByteArray() << QByteArray() << "GB18030" << false << "";
        QTest::newRow("empty lines kept") << QByteArray("\r\n\r\na\r\n\r\n") << QByteArray("\r\n\r\na\r\n\r\n") << "GB18030" << false << "\n\na\n\n";
        const QString separators = QString("a") + QChar(0x2028) + "b" + QChar(0xFEFF) + "c\n";
        QTest::newRow("line separator and ZWNBSP kept") << crlf(separators).toUtf8() << crlf(separators).toUtf8() << "UTF-8" << false
                                                        << separators;
        // The UTF-8 lines that GB18030 decoding would garble.
        const QString odd = "中文测试搜\n中文,测试。\n";
        QTest::newRow("UTF-8 that GB18030 would garble") << odd.toUtf8() << crlf(odd).toUtf8() << "UTF-8" << false << odd;
    }
    void roundTrip()
    {
        QFETCH(QByteArray, input);
        QFETCH(QByteArray, saved);
        QFETCH(QString, encoding);
        QFETCH(bool, bom);
        QFETCH(QString, text);

        const QString file = path("doc.txt");
        writeAll(file, input);
        ScriptedPrompt prompt;
        MdiChild child;
        QVERIFY(child.loadFile(file));
        QVERIFY2(prompt.texts.isEmpty(), qPrintable(prompt.texts.join('|')));
        QCOMPARE(child.encoding, encoding);
        QCOMPARE(child.writeBom, bom);
        QCOMPARE(child.document()->toPlainText(), QString(text).replace(QChar(0xA0), ' ').replace(QChar(0x2028), '\n'));
        QCOMPARE(child.document()->toRawText(), QString(text).replace('\n', QChar(0x2029)));
        QVERIFY(!child.document()->isModified());
        QVERIFY(!child.document()->isUndoAvailable());
        QVERIFY(!child.isUntitled);
        QCOMPARE(child.curFile, QFileInfo(file).canonicalFilePath());
        QCOMPARE(child.windowTitle(), QString("[*]doc.txt"));

        QCOMPARE(child.save(true), 0);
        QCOMPARE(readAll(file), saved);

        MdiChild again;
        QVERIFY(again.loadFile(file));
        QCOMPARE(again.encoding, encoding);
        QCOMPARE(again.document()->toRawText(), child.document()->toRawText());
    }

    void forcedEncodings_data()
    {
        QTest::addColumn<QByteArray>("input");
        QTest::addColumn<QString>("encoding");
        QTest::addColumn<QString>("text");
        QTest::newRow("Big5") << QTextCodec::codecForName("Big5")->fromUnicode("中國\r\n測試") << "Big5" << "中國\n測試";
        QTest::newRow("Big5-HKSCS") << QTextCodec::codecForName("Big5-HKSCS")->fromUnicode("香港\r\n") << "Big5-HKSCS" << "香港\n";
        QTest::newRow("GB2312") << gb18030("简体\r\n") << "GB2312" << "简体\n";
        QTest::newRow("UTF-8 on a mark file") << QByteArray("\xEF\xBB\xBF") + QString("中\r\n").toUtf8() << "UTF-8" << "中\n";
    }
    void forcedEncodings()
    {
        QFETCH(QByteArray, input);
        QFETCH(QString, encoding);
        QFETCH(QString, text);
        const QString file = path("forced.txt");
        writeAll(file, input);
        ScriptedPrompt prompt;
        MdiChild child;
        QVERIFY(child.loadFile(file, encoding));
        QCOMPARE(child.encoding, encoding);
        QCOMPARE(child.toPlainText(), text);
        QVERIFY(prompt.texts.isEmpty());
        // A Big5 file stays Big5: saved back unchanged.
        QCOMPARE(child.save(true), 0);
        QCOMPARE(readAll(file), input);
        // Reloading after another program's change keeps an encoding that
        // detection could never find.
        child.reloadFilePath(child.curFile);
        QCOMPARE(child.encoding, encoding);
        QCOMPARE(child.toPlainText(), text);
    }

    void unknownForcedEncodingIsRefused()
    {
        const QString file = path("x.txt");
        writeAll(file, "abc");
        ScriptedPrompt prompt;
        MdiChild child;
        child.newFile();
        child.setPlainText("kept");
        QVERIFY(!child.loadFile(file, "no-such-encoding"));
        QCOMPARE(prompt.texts.size(), 1);
        QVERIFY(prompt.texts.first().contains("no-such-encoding"));
        QCOMPARE(child.toPlainText(), QString("kept"));
        QVERIFY(child.isUntitled);
    }

    void richText()
    {
        const QString html = "<html><head><meta http-equiv=\"Content-Type\" content=\"text/html; charset=UTF-8\" /></head>"
                             "<body><p align=\"center\"><b>标题</b></p><p>正文</p></body></html>";
        const QString file = path("page.html");
        writeAll(file, html.toUtf8());
        ScriptedPrompt prompt;
        MdiChild child;
        QVERIFY(child.loadFile(file));
        QCOMPARE(child.toPlainText(), QString("标题\n正文"));
        QCOMPARE(child.encoding, QString("GB18030")); // left as it was
        QCOMPARE(child.document()->firstBlock().blockFormat().alignment(), Qt::AlignHCenter);
        QVERIFY(!child.document()->isModified());
        // Forced, the same file shows its source.
        QVERIFY(child.reloadWithEncoding("UTF-8"));
        QVERIFY(child.toPlainText().startsWith("<html>"));
        QCOMPARE(child.encoding, QString("UTF-8"));
    }

    // Without a charset the HTML is read with the plain-text default, not Latin-1.
    void richTextWithoutCharset()
    {
        const QString file = path("page.htm");
        writeAll(file, QString("<p>中文段落</p>").toUtf8());
        MdiChild child;
        QVERIFY(child.loadFile(file));
        QCOMPARE(child.toPlainText(), QString("中文段落"));
    }

    // A ".txt" whose first line holds a tag is still plain text.
    void txtWithTagStaysPlain_data()
    {
        QTest::addColumn<QByteArray>("input");
        QTest::newRow("GB18030") << gb18030("<b>注意</b> 文本\r\n第二行");
        QTest::newRow("UTF-8") << QString("<b>注意</b> 文本\r\n第二行").toUtf8();
        QTest::newRow("paragraph tag") << QByteArray("x <p> y\r\nz");
    }
    void txtWithTagStaysPlain()
    {
        QFETCH(QByteArray, input);
        const QString file = path("note.txt");
        writeAll(file, input);
        MdiChild child;
        QVERIFY(child.loadFile(file));
        QVERIFY(child.toPlainText().contains("<"));
        QCOMPARE(child.save(true), 0);
        QCOMPARE(readAll(file), input);
    }

    void tqdRoundTrip()
    {
        Settings().setValue("LineSpacing", 1.5);
        const QString file = path("rich.tqd");
        MdiChild source;
        source.newFile();
        source.setHtml("<p align=\"center\"><span style=\"color:#ff0000; font-family:'Noto Sans'; font-size:18pt;\">红色标题</span></p>"
                       "<p align=\"right\"><b>粗体</b> <i>斜体</i> 普通 &lt;tag&gt; a&nbsp;b</p>"
                       "<p style=\"margin-left:30px;\">缩进 🌟</p>");
        source.setLineSpacing();
        QCOMPARE(source.saveFile(file, false), 0);
        const QByteArray bytes = readAll(file);
        QVERIFY(bytes.contains("charset=GB18030"));
        QVERIFY(bytes.contains(gb18030("红色标题")));

        MdiChild reloaded;
        QVERIFY(reloaded.loadFile(file));
        QCOMPARE(reloaded.toHtml(), source.toHtml());
        const QTextBlock first = reloaded.document()->firstBlock();
        QCOMPARE(first.blockFormat().alignment(), Qt::AlignHCenter);
        QCOMPARE(first.blockFormat().lineHeight(), 150.0);
        QVERIFY(first.next().blockFormat().alignment() & Qt::AlignRight);
        QVERIFY(!reloaded.document()->isModified());
        // Saving the reloaded document again changes nothing.
        QCOMPARE(reloaded.save(true), 0);
        QCOMPARE(readAll(file), bytes);
    }

    void logView_data()
    {
        QTest::addColumn<bool>("superUser");
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("logView");
        QTest::newRow("super user, .log") << true << "Veldmark_2019.log" << true;
        QTest::newRow("normal user") << false << "Veldmark_2019.log" << false;
        QTest::newRow("other suffix") << true << "Veldmark_2019.txt" << false;
        QTest::newRow("suffix case differs") << true << "Veldmark_2019.LOG" << false;
    }
    void logView()
    {
        QFETCH(bool, superUser);
        QFETCH(QString, name);
        QFETCH(bool, logView);
        superUserMode = superUser;
        const QString log = "2019.01.22 14:14:19.189: [WARNING ] 剪贴板 <b>bold</b> & <img src=\"x.png\">\r\n"
                            "2019.01.22 14:14:19.190: [DEBUG   ] second\r\n";
        const QString file = path(name);
        writeAll(file, log.toUtf8());
        MdiChild child;
        QVERIFY(child.loadFile(file));
        QCOMPARE(child.isReadOnly(), logView);
        if (logView) {
            QVERIFY(child.toPlainText().contains("剪贴板 <b>bold</b> & <img src=\"x.png\">"));
            QVERIFY(child.toHtml().contains("&lt;b&gt;bold"));
            QCOMPARE(child.encoding, QString("UTF-8"));
            QVERIFY(!child.toHtml().contains("<img"));
        } else {
            QCOMPARE(child.toPlainText(), QString(log).remove('\r'));
        }
        QVERIFY(!child.document()->isModified());
    }

    void unreadableFilesAreRefused_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::newRow("folder") << "folder";
        QTest::newRow("FIFO") << "fifo";
        QTest::newRow("device") << "device";
        QTest::newRow("missing") << "missing";
        QTest::newRow("2 GiB") << "large";
    }
    void unreadableFilesAreRefused()
    {
        QFETCH(QString, kind);
        QString target;
        if (kind == "folder") {
            target = path("a folder.txt");
            QVERIFY(QDir().mkpath(target));
        } else if (kind == "fifo") {
            target = path("pipe.txt");
            QCOMPARE(::mkfifo(QFile::encodeName(target).constData(), 0600), 0);
        } else if (kind == "device") {
            target = "/dev/zero";
        } else if (kind == "large") { // sparse: it takes no disk space
            QFile file(target = path("large.txt"));
            QVERIFY(file.open(QIODevice::WriteOnly) && file.resize(qint64(2) << 30));
        } else {
            target = path("nothing here.txt");
        }
        ScriptedPrompt prompt;
        MdiChild child;
        child.newFile();
        QTest::keyClicks(&child, "typed");
        const QString name = child.curFile;
        QVERIFY(!child.loadFile(target));
        QCOMPARE(prompt.texts.size(), 1);
        QVERIFY(prompt.texts.first().startsWith("读取 " + target + " 失败"));
        QVERIFY(kind != "large" || prompt.texts.first().contains("文件过大"));
        QCOMPARE(prompt.titles.first(), QString("塔泉笔"));
        QCOMPARE(child.toPlainText(), QString("typed"));
        QCOMPARE(child.curFile, name);
        QVERIFY(child.isUntitled);
        QVERIFY(child.document()->isModified());
    }

    // The main window's open leaves no empty sub-window behind a refused file.
    void openRefusesThroughMainWindow()
    {
        ScriptedPrompt prompt;
        MainWindow window(nullptr, MainWindow::NoStartUpTimers);
        const QString fifo = path("pipe2.txt");
        QCOMPARE(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
        window.open(fifo);
        window.open(dir->path());
        QCOMPARE(window.mdiArea->subWindowList().size(), 0);
        QCOMPARE(prompt.texts.size(), 2);

        const QString file = path("ok.txt");
        writeAll(file, gb18030("可以\r\n"));
        window.open(file);
        QCOMPARE(window.mdiArea->subWindowList().size(), 1);
        MdiChild* child = window.activeMdiChild();
        QVERIFY(child);
        QCOMPARE(child->toPlainText(), QString("可以\n"));
        QVERIFY(fileSystemWatcher->files().contains(QFileInfo(file).absoluteFilePath()));
    }

    void lossyReadingWarns_data()
    {
        QTest::addColumn<QByteArray>("input");
        QTest::addColumn<QString>("forced");
        QTest::addColumn<bool>("warns");
        QTest::newRow("stray 0xFF") << QByteArray("abc\xFF\r\n") << "" << true;
        QTest::newRow("UTF-8 forced on GB18030") << gb18030("中文\r\n") << "UTF-8" << true;
        QTest::newRow("GB18030 forced on UTF-8 odd line") << QString("中文测试搜\n").toUtf8() << "GB18030" << true;
        QTest::newRow("valid GB18030") << gb18030("中文\r\n") << "" << false;
        QTest::newRow("valid Big5 forced") << QTextCodec::codecForName("Big5")->fromUnicode("中國") << "Big5" << false;
    }
    void lossyReadingWarns()
    {
        QFETCH(QByteArray, input);
        QFETCH(QString, forced);
        QFETCH(bool, warns);
        const QString file = path("lossy.txt");
        writeAll(file, input);
        ScriptedPrompt prompt;
        MdiChild child;
        QVERIFY(child.loadFile(file, forced));
        QCOMPARE(prompt.texts.size(), warns ? 1 : 0);
        if (warns)
            QVERIFY(prompt.texts.first().contains("不符合"));
        QVERIFY(!child.document()->isModified());
    }

    void reloadFilePath()
    {
        const QString file = path("changing.txt");
        writeAll(file, gb18030("第一版\r\n"));
        ScriptedPrompt prompt;
        MdiChild child;
        QVERIFY(child.loadFile(file));

        // Another spelling of the path does nothing.
        child.reloadFilePath(child.curFile.toUpper());
        QCOMPARE(child.toPlainText(), QString("第一版\n"));

        // A changed file is read again (in its new encoding) and is not modified.
        writeAll(file, QByteArray("\xEF\xBB\xBF") + QString("第二版\r\n").toUtf8());
        child.reloadFilePath(child.curFile);
        QCOMPARE(child.toPlainText(), QString("第二版\n"));
        QCOMPARE(child.encoding, QString("UTF-8"));
        QVERIFY(!child.document()->isModified());

        // A vanished file: the text stays and closing must ask.
        QVERIFY(QFile::remove(file));
        child.reloadFilePath(child.curFile);
        QCOMPARE(child.toPlainText(), QString("第二版\n"));
        QVERIFY(child.document()->isModified());
        QVERIFY(child.isWindowModified());
        QCOMPARE(prompt.texts.size(), 1);
        prompt.answers << ScriptedPrompt::Answer{0, false}; // 取消
        QVERIFY(!child.maybeSave());
    }

    void reloadWithEncodingAsksWhenModified()
    {
        const QString file = path("ask.txt");
        const QByteArray bytes = QString("中文\r\n").toUtf8();
        writeAll(file, bytes);
        ScriptedPrompt prompt;
        MdiChild child;
        QVERIFY(child.loadFile(file));
        QTest::keyClicks(&child, "X");
        QVERIFY(child.document()->isModified());

        prompt.answers << ScriptedPrompt::Answer{0, false}; // 取消
        QVERIFY(!child.reloadWithEncoding("GB18030"));
        QCOMPARE(child.encoding, QString("UTF-8"));
        QCOMPARE(child.toPlainText(), QString("X中文\n"));
        QCOMPARE(prompt.texts.last(), QString("'ask.txt' 已经修改，是否保存?"));

        prompt.answers << ScriptedPrompt::Answer{2, false}; // 不保存
        QVERIFY(child.reloadWithEncoding("UTF-8"));
        QCOMPARE(child.toPlainText(), QString("中文\n"));
        QCOMPARE(readAll(file), bytes);

        QTest::keyClicks(&child, "Y");
        prompt.answers << ScriptedPrompt::Answer{1, false}; // 保存
        QVERIFY(child.reloadWithEncoding("UTF-8"));
        QCOMPARE(readAll(file), QString("Y中文\r\n").toUtf8());
        QCOMPARE(child.toPlainText(), QString("Y中文\n"));

        // An unmodified document switches without a question.
        const int asked = prompt.texts.size();
        QVERIFY(child.reloadWithEncoding("GB18030"));
        QCOMPARE(prompt.texts.size(), asked);
        QCOMPARE(child.encoding, QString("GB18030"));
    }

    // An untitled document only records the new encoding and says so.
    void setEncodingOfUntitled()
    {
        MdiChild child;
        child.newFile();
        QSignalSpy spy(&child, &MdiChild::encodingChanged);
        QVERIFY(child.reloadWithEncoding("Big5"));
        QCOMPARE(child.encoding, QString("Big5"));
        QCOMPARE(spy.size(), 1);
        QCOMPARE(spy.first().first().toString(), QString("Big5"));
    }
};

TQ_TEST_MAIN(MdiChildLoadTest)
#include "tst_mdichild_load.moc"
