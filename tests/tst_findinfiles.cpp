// Find in files: the history boxes, include and exclude words, the encoding
// guess of each file, Base64 templates, the directory walk, paging, the length
// filter, the count line and the escaped highlighting of hits.

#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QRandomGenerator>
#include <QSpinBox>
#include <QTableWidget>
#include <QTextCodec>

#include <unistd.h>

#include "FileSearch.h"
#include "LineSlicer.h"
#include "SearchComboBox.h"
#include "SearchDialog.h"
#include "SearchResultHeader.h"
#include "SettingsStore.h"
#include "TestSupport.h"
#include "TextEncoding.h"
#include "TextPainter.h"

namespace {

QByteArray u8(const QString& text)
{
    return text.toUtf8();
}

// "line:text" of each hit, joined by "|".
QString describe(const QList<SearchResult>& results)
{
    QStringList parts;
    for (const SearchResult& result : results)
        parts << QString::number(result.lineNumber) + QLatin1Char(':') + result.text;
    return parts.join(QLatin1Char('|'));
}

QList<SearchResult> searchOne(const QString& path, const QString& include, const QString& exclude = QString(),
                              const QString& box = QStringLiteral("GB18030"))
{
    FileSearch engine(FileSearch::splitWords(include), FileSearch::splitWords(exclude), box);
    QList<SearchResult> results;
    engine.searchFile(path, path, &results);
    return results;
}

template<typename T>
T* child(QWidget* parent, const char* name)
{
    T* widget = parent->findChild<T*>(QString::fromLatin1(name));
    if (!widget)
        qWarning() << "missing child" << name;
    return widget;
}

void setPageSize(const QVariant& size)
{
    Settings settings;
    if (size.isValid())
        settings.setValue(QStringLiteral("SearchResultsPerPage"), size);
    else
        settings.remove(QStringLiteral("SearchResultsPerPage"));
    settings.sync();
}

// Runs a search on the page as a user would: fill the boxes, press "查找".
void runSearch(SearchDialog& page, const QString& directory, const QString& patterns, const QString& include,
               const QString& exclude = QString())
{
    child<QComboBox>(&page, "directoryComboBox")->setEditText(directory);
    child<QComboBox>(&page, "fileComboBox")->setEditText(patterns);
    child<QComboBox>(&page, "includeComboBox")->setEditText(include);
    child<QComboBox>(&page, "excludeComboBox")->setEditText(exclude);
    QTest::mouseClick(child<QPushButton>(&page, "findButton"), Qt::LeftButton);
}

// The bytes of text in an encoding; UTF-16 with its byte-order mark.
QByteArray encoded(const QString& text, const QString& encoding)
{
    if (encoding.startsWith(QLatin1String("UTF-16")))
        return utf16Bytes(text, encoding.endsWith(QLatin1String("LE")));
    return QTextCodec::codecForName(encoding.toLatin1())->fromUnicode(text);
}

// The hit's text is where its column says in the line, made of whole characters.
void checkSnippet(const SearchResult& hit, const QString& line)
{
    QVERIFY(!hit.text.isEmpty());
    QCOMPARE(line.mid(int(hit.column), hit.text.size()), hit.text);
    QVERIFY2(!hit.text.front().isLowSurrogate() && !hit.text.back().isHighSurrogate(),
             "a hit's text begins or ends inside a surrogate pair");
    QVERIFY(!hit.text.contains(QChar::ReplacementCharacter));
}
} // namespace

class TestFindInFiles : public QObject
{
    Q_OBJECT

private:
    QString m_dir;
private slots:
    void init()
    {
        setPageSize(QVariant());
        Settings settings;
        settings.remove(QStringLiteral("RecentSearchNumberMax"));
        settings.remove(QStringLiteral("SearchDialogCharacterCountEnabled"));
    }

    // ---- History boxes -------------------------------------------------------------

    void updateComboBoxKeepsOrderAndEvicts()
    {
        Settings settings;
        settings.setValue(QStringLiteral("RecentSearchNumberMax"), 3);
        settings.sync();
        std::unique_ptr<QComboBox> box(createSearchComboBox());
        QVERIFY(box->isEditable());
        QCOMPARE(box->maxCount(), 3);
        const QString group = QStringLiteral("HistoryTest");
        for (const QString text : {"a", "b", "c", "b"}) {
            box->setEditText(text);
            updateComboBox(box.get(), group);
        }
        // "b" was already there: not moved to the top.
        QCOMPARE(box->itemText(0), QString("c"));
        QCOMPARE(box->itemText(1), QString("b"));
        QCOMPARE(box->itemText(2), QString("a"));
        box->setEditText("d");
        updateComboBox(box.get(), group);
        QCOMPARE(box->count(), 3);
        QCOMPARE(box->itemText(0), QString("d"));
        QCOMPARE(box->itemText(2), QString("b")); // "a", the last, was dropped
        Settings check;
        check.beginGroup(group);
        QCOMPARE(check.childKeys(), QStringList({"0", "1", "2"}));
        QCOMPARE(check.value("0").toString(), QString("d"));
        check.endGroup();

        // An empty text is an item and is kept as one.
        box->setEditText(QString());
        updateComboBox(box.get(), group);
        QCOMPARE(box->itemText(0), QString());
        Settings again;
        again.beginGroup(group);
        QCOMPARE(again.childKeys(), QStringList({"0", "1", "2"}));
        QCOMPARE(again.value("1").toString(), QString("d"));
    }

    // A box left empty comes back empty and does not narrow the next search, also from earlier versions' store.
    void emptyBoxesStayEmpty()
    {
        const QString dir = freshTempFolder("emptyboxes");
        writeBytes(dir + "/a.txt", u8("万物 生长\n生长 之时\n"));
        SearchDialog first;
        runSearch(first, dir, "*.txt", "生长", "万物");
        runSearch(first, dir, "", "生长", "");
        for (const bool earlierVersion : {false, true}) {
            if (earlierVersion)
                for (const char* key : {"SearchDialogExcludeText/0", "SearchDialogFile/0"})
                    Settings().remove(key);
            SearchDialog page;
            QCOMPARE(child<QComboBox>(&page, "excludeComboBox")->itemText(1), QString("万物"));
            QCOMPARE(child<QComboBox>(&page, "fileComboBox")->currentText(), QString());
            QTest::mouseClick(child<QPushButton>(&page, "findButton"), Qt::LeftButton);
            QCOMPARE(page.results().size(), 2);
        }
    }

    void updateComboBoxWithMaximumZeroKeepsNothing()
    {
        Settings settings;
        settings.setValue(QStringLiteral("RecentSearchNumberMax"), 0);
        settings.setValue(QStringLiteral("ZeroTest/0"), "old");
        settings.sync();
        std::unique_ptr<QComboBox> box(createSearchComboBox());
        box->setEditText("x");
        updateComboBox(box.get(), "ZeroTest");
        QCOMPARE(box->count(), 0);
        Settings check;
        check.beginGroup("ZeroTest");
        QVERIFY(check.childKeys().isEmpty());
    }

    void historiesLoadInKeyOrderCutAndDefaulted()
    {
        Settings settings;
        settings.remove("SearchDialogIncludeText");
        settings.remove("SearchDialogFile");
        settings.remove("SearchDialogDirectory");
        for (int i = 0; i < 12; ++i)
            settings.setValue(QStringLiteral("SearchDialogIncludeText/%1").arg(i), QStringLiteral("v%1").arg(i));
        settings.setValue(QStringLiteral("SearchDialogExcludeText/0"), QString(100, QChar(0x5F20)));
        settings.sync();
        SearchDialog page;
        auto* include = child<QComboBox>(&page, "includeComboBox");
        QCOMPARE(include->count(), 10);
        // The store lists keys in string order: "10" before "2".
        QCOMPARE(include->itemText(0), QString("v0"));
        QCOMPARE(include->itemText(1), QString("v1"));
        QCOMPARE(include->itemText(2), QString("v10"));
        QCOMPARE(include->itemText(3), QString("v11"));
        QCOMPARE(include->itemText(4), QString("v2"));
        QCOMPARE(child<QComboBox>(&page, "excludeComboBox")->itemText(0).size(), 80);
        QCOMPARE(child<QComboBox>(&page, "fileComboBox")->currentText(), QString("*.*"));
        QCOMPARE(child<QComboBox>(&page, "directoryComboBox")->currentText(), QDir::currentPath());
        Settings cleanup;
        cleanup.remove("SearchDialogIncludeText");
        cleanup.remove("SearchDialogExcludeText");
    }

    // ---- Include and exclude words ---------------------------------------------------

    void words_data()
    {
        QTest::addColumn<QString>("include");
        QTest::addColumn<QString>("exclude");
        QTest::addColumn<QString>("expected");
        QTest::addColumn<bool>("noPosition");
        QTest::newRow("duplicates dropped, all required") << "a b a" << "" << "1:a b c|4:a and b and x" << false;
        QTest::newRow("exclude") << "a b" << "x" << "1:a b c" << false;
        QTest::newRow("case-sensitive") << "A" << "" << "3:A and B" << false;
        QTest::newRow("spaces only include: every line")
            << "   " << "" << "1:a b c|2:b only|3:A and B|4:a and b and x" << true;
        QTest::newRow("spaces only exclude: nothing excluded") << "b" << "   " << "1:a b c|2:b only|4:a and b and x"
                                                                 << false;
    }

    void words()
    {
        QFETCH(QString, include);
        QFETCH(QString, exclude);
        QFETCH(QString, expected);
        QFETCH(bool, noPosition);
        const QString dir = freshTempFolder("words");
        writeBytes(dir + "/w.txt", "a b c\nb only\nA and B\na and b and x\n");
        SearchDialog page;
        runSearch(page, dir, "*.txt", "dummy"); // sets the search directory
        const QList<SearchResult> results = page.findFiles({dir + "/w.txt"}, include, exclude);
        QCOMPARE(describe(results), expected);
        for (const SearchResult& result : results)
            QCOMPARE(result.position == -1, noPosition);
    }

    void positionIsLineOffsetPlusIndex()
    {
        const QString dir = freshTempFolder("position");
        const QByteArray first = gb18030("第一行\n");
        writeBytes(dir + "/p.txt", first + gb18030("你好世界 张三\n"));
        const QList<SearchResult> results = searchOne(dir + "/p.txt", "张三");
        QCOMPARE(results.size(), 1);
        QCOMPARE(results.first().position, qint64(first.size() + 5));
        QCOMPARE(results.first().lineNumber, 2);
    }

    // ---- Encodings -------------------------------------------------------------------

    void encodings_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("box");
        QTest::addColumn<QString>("include");
        QTest::addColumn<QString>("expected");
        const QString text = QStringLiteral("第一行\n你好世界 张三\n第三行\n");
        const QString expected = QStringLiteral("2:你好世界 张三");
        QTest::newRow("GB18030") << gb18030(text) << "GB18030" << "张三" << expected;
        QTest::newRow("UTF-8, box GB18030") << u8(text) << "GB18030" << "张三" << expected;
        QTest::newRow("UTF-8 with BOM") << QByteArray("\xEF\xBB\xBF") + u8(text) << "GB18030" << "张三" << expected;
        QTest::newRow("GB18030, box UTF-8") << gb18030(text) << "UTF-8" << "张三" << expected;
        QTest::newRow("Big5 box, UTF-8 file") << u8(text) << "Big5-HKSCS" << "张三" << expected;
        QTest::newRow("ASCII first line, then UTF-8") << u8("hello\n张三来了\n") << "GB18030" << "张三"
                                                       << "2:张三来了";
        QTest::newRow("ASCII first line, then GB18030") << gb18030("hello\n张三来了\n") << "UTF-8" << "张三"
                                                         << "2:张三来了";
        // 一 is D2 BB in GB18030, which alone is also valid UTF-8: the lines after it decide.
        QTest::newRow("first line valid in both") << gb18030("一\n张三\n") << "GB18030" << "张三" << "2:张三";
        QTest::newRow("CR LF") << gb18030("第一行\r\n张三\r\n") << "GB18030" << "张三" << "2:张三";
        // 上 is U+4E0A: its UTF-16LE bytes are 0A 4E.
        QTest::newRow("UTF-16LE") << utf16Bytes("第一行\n上海张三\n第三行上\n", true) << "GB18030" << "上"
                                  << "2:上海张三|3:第三行上";
        QTest::newRow("UTF-16BE") << utf16Bytes("上\n下\n上下\n", false) << "GB18030" << "上" << "1:上|3:上下";
        QTest::newRow("UTF-16 without line end") << utf16Bytes("上海", true) << "UTF-16" << "海" << "1:上海";
    }

    void encodings()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, box);
        QFETCH(QString, include);
        QFETCH(QString, expected);
        const QString path = freshTempFolder("enc") + "/f.txt";
        writeBytes(path, bytes);
        QCOMPARE(describe(searchOne(path, include, QString(), box)), expected);
    }

    void utf16PositionsAreByteOffsets()
    {
        const QString path = freshTempFolder("enc16") + "/f.txt";
        writeBytes(path, utf16Bytes("ab\ncd上\n", true));
        const QList<SearchResult> results = searchOne(path, "上");
        QCOMPARE(results.size(), 1);
        // BOM (2) + "ab\n" (6) + index 2 of the line.
        QCOMPARE(results.first().position, qint64(2 + 6 + 2));
    }

    // The first line begins at the file's start whatever mark the file begins with: a hit on
    // line 1 lies at its word's index in the line as the editor reads it, one on line 2 at the
    // line's byte offset (the mark counted) plus the index. GB18030 has no mark the program
    // takes away: 84 31 95 33 is read as the character U+FEFF, in the search as in the editor.
    void positionsAfterAByteOrderMark_data()
    {
        QTest::addColumn<QByteArray>("mark");
        QTest::addColumn<QString>("encoding");
        QTest::newRow("UTF-16LE") << QByteArray("\xFF\xFE") << "UTF-16LE";
        QTest::newRow("UTF-16BE") << QByteArray("\xFE\xFF") << "UTF-16BE";
        QTest::newRow("UTF-8 with BOM") << QByteArray("\xEF\xBB\xBF") << "UTF-8";
        QTest::newRow("UTF-8") << QByteArray() << "UTF-8";
        QTest::newRow("GB18030") << QByteArray() << "GB18030";
        QTest::newRow("GB18030 with its mark") << QByteArray("\x84\x31\x95\x33") << "GB18030";
    }
    void positionsAfterAByteOrderMark()
    {
        QFETCH(QByteArray, mark);
        QFETCH(QString, encoding);
        const QString first = QStringLiteral("ab张三cd\n"), second = QStringLiteral("第二行张三\n");
        QTextCodec* codec = QTextCodec::codecForName(encoding.toLatin1());
        const auto bytesOf = [codec](const QString& text) {
            QTextCodec::ConverterState state(QTextCodec::IgnoreHeader);
            return codec->fromUnicode(text.constData(), text.size(), &state);
        };
        const QByteArray bytes = mark + bytesOf(first) + bytesOf(second);
        const QString path = freshTempFolder("marked") + "/f.txt";
        writeBytes(path, bytes);
        const QStringList shown = TextEncoding::detectAndDecode(bytes, nullptr).split('\n');
        const QList<SearchResult> hits = searchOne(path, "张三", QString(), encoding);
        QCOMPARE(describe(hits), "1:" + shown.at(0).trimmed() + "|2:第二行张三");
        QCOMPARE(hits.at(0).position, qint64(shown.at(0).indexOf("张三")));
        QCOMPARE(hits.at(1).position, qint64(mark.size() + bytesOf(first).size() + 3));
        QCOMPARE(shown.at(0).indexOf("张三"), mark.size() == 4 ? 3 : 2);
    }

    void detectEncodingOrder_data()
    {
        QTest::addColumn<QByteArray>("line");
        QTest::addColumn<QString>("box");
        QTest::addColumn<QString>("expected");
        QTest::newRow("BOM") << QByteArray("\xEF\xBB\xBF") + gb18030("张") << "GB18030" << "UTF-8";
        QTest::newRow("strict UTF-8") << u8("张三") << "GB18030" << "UTF-8";
        QTest::newRow("box codec") << gb18030("张三") << "GB18030" << "GB18030";
        QTest::newRow("UTF-8 box falls to GB18030") << gb18030("张三") << "UTF-8" << "GB18030";
        QTest::newRow("ASCII takes the box") << QByteArray("plain\n") << "Big5-HKSCS" << "Big5-HKSCS";
        // Invalid everywhere and equally implausible: the tie goes to the box.
        QTest::newRow("nothing fits") << QByteArray("\xFF\xFF\xFF\n") << "GB18030" << "GB18030";
        QTest::newRow("mostly UTF-8") << u8("张三李四王五") + "\xFF\n" << "GB18030" << "UTF-8";
        QTest::newRow("Big5") << QTextCodec::codecForName("Big5")->fromUnicode("繁體中文，測試。") << "GB18030"
                              << "Big5";
    }

    void detectEncodingOrder()
    {
        QFETCH(QByteArray, line);
        QFETCH(QString, box);
        QFETCH(QString, expected);
        QCOMPARE(FileSearch::detectEncoding(line, box), expected);
    }

    // ---- Base64 templates --------------------------------------------------------------

    void templates()
    {
        const QString dir = freshTempFolder("tqw");
        const QByteArray xml = u8("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<root>\n<item>张三</item>\n</root>\n");
        writeBytes(dir + "/plain.tqw", xml);
        writeBytes(dir + "/coded.tqw", xml.toBase64(QByteArray::Base64Encoding));
        writeBytes(dir + "/bom.tqw", QByteArray("\xEF\xBB\xBF") + xml);

        // Plain XML is always UTF-8, whatever the box says.
        QCOMPARE(describe(searchOne(dir + "/plain.tqw", "张三", QString(), "GB18030")), QString("3:<item>张三</item>"));
        const QList<SearchResult> coded = searchOne(dir + "/coded.tqw", "张三");
        QCOMPARE(describe(coded), QString("3:<item>张三</item>"));
        // Position: an offset into the decoded bytes.
        QCOMPARE(coded.first().position, qint64(xml.indexOf("<item>") + 6));
        // A mark in front of the XML sends it down the Base64 branch: nothing sensible is found.
        QVERIFY(searchOne(dir + "/bom.tqw", "张三").isEmpty());
    }

    // ---- Walk ----------------------------------------------------------------------

    void walk_data()
    {
        QTest::addColumn<QString>("patterns");
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("case-insensitive") << "*.txt" << QStringList({"B.TXT", "a.txt", "sub/d.txt"});
        QTest::newRow("two patterns") << "*.md a.*" << QStringList({"a.txt", "c.md"});
        QTest::newRow("question mark and set") << "?.[tm]*" << QStringList({"B.TXT", "a.txt", "c.md", "sub/d.txt"});
        QTest::newRow("empty means everything") << "" << QStringList({"B.TXT", "a.txt", "c.md", "sub/d.txt"});
    }

    void walk()
    {
        QFETCH(QString, patterns);
        QFETCH(QStringList, expected);
        const QString outside = freshTempFolder("outside");
        writeBytes(outside + "/f.txt", "x");
        const QString root = freshTempFolder("walk");
        for (const char* name : {"a.txt", "B.TXT", "c.md", "sub/d.txt", ".hidden.txt", ".hiddendir/e.txt"})
            writeBytes(root + QLatin1Char('/') + QLatin1String(name), "x");
        QDir().mkpath(root + "/folder.txt"); // a folder matching the pattern
        QVERIFY(QFile::link(outside, root + "/link"));
        const QStringList files =
            FileSearch::listFiles(root, patterns.split(' ', Qt::SkipEmptyParts));
        QStringList relative;
        for (const QString& file : files)
            relative << QDir(root).relativeFilePath(file);
        relative.sort();
        QCOMPARE(relative, expected);
    }

    void walkOnThePage()
    {
        const QString root = freshTempFolder("pagewalk");
        writeBytes(root + "/a.txt", gb18030("张三\n"));
        QDir().mkpath(root + "/matching.txt");
        writeBytes(root + "/matching.txt/b.txt", u8("又见张三\n"));

        // A relative directory text is resolved once, against the current folder.
        const QString previous = QDir::currentPath();
        QDir::setCurrent(QFileInfo(root).absolutePath());
        ScriptedPrompt prompt;
        SearchDialog page;
        runSearch(page, "pagewalk", "*.txt", "张三");
        QDir::setCurrent(previous);
        // Folders matching the pattern are not files that failed to open.
        QCOMPARE(prompt.texts, QStringList());
        QStringList lines;
        for (const SearchResult& result : page.results()) {
            QVERIFY(QFileInfo(result.fileName).isAbsolute());
            QVERIFY(QFileInfo::exists(result.fileName));
            lines << result.text;
        }
        lines.sort();
        QCOMPARE(lines, QStringList({"又见张三", "张三"}));
        QCOMPARE(page.searchDirectory().absolutePath(), QDir::cleanPath(root));
    }

    void unreadableFilesReportedOnce()
    {
        const QString dir = freshTempFolder("unreadable");
        writeBytes(dir + "/ok.txt", "hit\n");
        QStringList files = {dir + "/missing1.txt", dir + "/ok.txt", dir + "/missing2.txt"};
        if (geteuid() != 0) {
            writeBytes(dir + "/locked.txt", "hit\n");
            QFile::setPermissions(dir + "/locked.txt", QFileDevice::Permissions());
            files << dir + "/locked.txt";
        }
        ScriptedPrompt prompt;
        SearchDialog page;
        const QList<SearchResult> results = page.findFiles(files, "hit", QString());
        QCOMPARE(results.size(), 1);
        QCOMPARE(prompt.titles, QStringList({"错误!"}));
        QVERIFY(prompt.texts.first().startsWith("打开模板失败: "));
        QVERIFY(prompt.texts.first().contains("missing1.txt"));
        QVERIFY(prompt.texts.first().contains("missing2.txt"));
    }

    void binaryAndLongLines()
    {
        const QString dir = freshTempFolder("binary");
        QByteArray binary("\x7F" "ELF\0\0\0\0", 8);
        binary += gb18030("张三\n");
        writeBytes(dir + "/bin.dat", binary);
        QVERIFY(searchOne(dir + "/bin.dat", "张三").isEmpty());

        // A file without line ends is searched in bounded slices, all line 1.
        QByteArray longLine(3 * FileSearch::LineCap + 100, 'x');
        longLine += "needle";
        writeBytes(dir + "/long.txt", longLine + "\nneedle again\n");
        const QList<SearchResult> results = searchOne(dir + "/long.txt", "needle");
        QCOMPARE(results.size(), 2);
        QCOMPARE(results.at(0).lineNumber, 1);
        QVERIFY(results.at(0).text.size() <= FileSearch::LineCap);
        QCOMPARE(results.at(0).position, qint64(3 * FileSearch::LineCap + 100));
        QCOMPARE(results.at(1).lineNumber, 2);
        QCOMPARE(results.at(1).text, QString("needle again"));

        // Every line is a hit with spaces only; a block boundary in a long file keeps numbering right.
        QByteArray many;
        for (int i = 1; i <= 200000; ++i)
            many += "line " + QByteArray::number(i) + (i % 50000 == 0 ? " 张三" : "") + "\n";
        many = gb18030(QString::fromUtf8(many));
        writeBytes(dir + "/many.txt", many);
        QCOMPARE(describe(searchOne(dir + "/many.txt", "张三")),
                 QString("50000:line 50000 张三|100000:line 100000 张三|150000:line 150000 张三|"
                         "200000:line 200000 张三"));
    }

    // ---- Long lines ---------------------------------------------------------------------

    // A line longer than a slice: a word across the end of a slice (whether slices are cut in
    // bytes or in characters) is found once, with its line, position and column.
    void wordAcrossASliceEnd_data()
    {
        QTest::addColumn<QString>("encoding");
        QTest::addColumn<QString>("head"); // the line's text before the word
        QTest::addColumn<QString>("first"); // the lines before the long one
        const QString sky = QStringLiteral("天"), pair = QStringLiteral("\U00020000");
        QTest::newRow("GB18030, the reported line") << "GB18030" << sky.repeated(32767) << "前言\n";
        QTest::newRow("GB18030, at the 64 Ki character") << "GB18030" << sky.repeated(65535) << "前言\n";
        QTest::newRow("GB18030, after four-byte characters") << "GB18030" << "x" + pair.repeated(16383) << "前言\n";
        QTest::newRow("UTF-8, across the 64 KiB byte") << "UTF-8" << sky.repeated(21845) << "前言\n";
        QTest::newRow("UTF-8, at the 64 Ki character") << "UTF-8" << sky.repeated(65535) << "前言\n";
        QTest::newRow("Big5-HKSCS") << "Big5-HKSCS" << sky.repeated(32767) << "前言\n";
        QTest::newRow("UTF-16LE") << "UTF-16LE" << sky.repeated(65535) << "前言\n";
        QTest::newRow("UTF-16BE, after surrogate pairs") << "UTF-16BE" << "x" + pair.repeated(32767) << "前言\n";
        // Files are read 4 MiB at a time: a line that fills a read goes on being decoded in the next.
        QTest::newRow("GB18030, across the 4 MiB read") << "GB18030" << "x" + sky.repeated(2097151) << "";
        QTest::newRow("UTF-8, across the 4 MiB read") << "UTF-8" << sky.repeated(1398101) << "";
        QTest::newRow("UTF-16LE, across the 4 MiB read") << "UTF-16LE" << sky.repeated(2097151) << "";
    }

    void wordAcrossASliceEnd()
    {
        QFETCH(QString, encoding);
        QFETCH(QString, head);
        QFETCH(QString, first);
        const QString word = encoding.startsWith(QLatin1String("Big5")) ? QStringLiteral("讀書") : QStringLiteral("读书");
        const QString line = head + word + QStringLiteral("天").repeated(40000);
        const QString path = freshTempFolder("straddle") + "/f.txt";
        writeBytes(path, encoded(first + line + "\n", encoding));
        const QList<SearchResult> results = searchOne(path, word, QString(), encoding);
        QCOMPARE(results.size(), 1);
        const SearchResult& hit = results.first();
        QCOMPARE(hit.lineNumber, 1 + first.count(QLatin1Char('\n')));
        // The line's byte offset (0 for the first, whatever mark it begins with) plus the
        // word's index in the decoded line.
        QCOMPARE(hit.position, qint64((first.isEmpty() ? 0 : encoded(first, encoding).size()) + head.size()));
        checkSnippet(hit, line);
        QCOMPARE(hit.text.mid(head.size() - int(hit.column), word.size()), word);
    }

    // A slice holds 64 Ki characters however many bytes they take: an exclude word 60,000 four-byte
    // characters after the word is in its slice, and the line going on long after changes nothing.
    void excludeWordLateInTheSlice()
    {
        const QString path = freshTempFolder("lateexclude") + "/f.txt";
        writeBytes(path, gb18030("读书" + QStringLiteral("À").repeated(60000) + "排除" + QString("天").repeated(300000)));
        QCOMPARE(searchOne(path, "读书", "排除").size(), 0);
        QCOMPARE(searchOne(path, "读书", "除外").size(), 1);
    }

    // The slicer alone, on random text handed over in random pieces: the slices' own parts make up
    // the line, each slice's text is the line at its column followed by the overlap, and no slice
    // or own part begins or ends inside a surrogate pair. A line no longer than a slice is one slice.
    void lineSlicerTilesTheLine()
    {
        QRandomGenerator random(20261208);
        const QStringList pieces = {"a", "文", "\U00020000", "\U0001F600"};
        for (int round = 0; round < 500; ++round) {
            QString line;
            for (const int length = random.bounded(200); line.size() < length;)
                line += pieces.at(random.bounded(pieces.size()));
            const int sliceLength = 2 + random.bounded(12);
            const int overlap = random.bounded(5);
            LineSlicer slicer(sliceLength, overlap);
            slicer.startLine();
            QList<LineSlicer::Slice> slices;
            LineSlicer::Slice slice;
            for (int from = 0, size = 0; from < line.size(); from += size) {
                size = 1 + random.bounded(20);
                slicer.addText(line.mid(from, size));
                while (slicer.nextSlice(&slice))
                    slices << slice;
            }
            slicer.endLine();
            while (slicer.nextSlice(&slice))
                slices << slice;
            int column = 0;
            for (const LineSlicer::Slice& each : slices) {
                const int ownEnd = column + each.ownLength;
                const int end = column + each.text.size();
                // The overlap reaches one further where it would end inside a pair.
                const int overlapEnd = qMin(line.size(), ownEnd + overlap);
                const bool last = ownEnd == line.size();
                const bool sound =
                    each.column == column && each.text == line.mid(column, each.text.size())
                    && each.ownLength <= sliceLength && (last || each.ownLength >= sliceLength - 1)
                    && (end == overlapEnd || (end == overlapEnd + 1 && line.at(end - 2).isHighSurrogate()))
                    && !line.at(column).isLowSurrogate() && (last || !line.at(ownEnd - 1).isHighSurrogate())
                    && (end == line.size() || !line.at(end - 1).isHighSurrogate())
                    && each.wholeLine == (slices.size() == 1);
                QVERIFY2(sound, qPrintable(QStringLiteral("round %1, column %2").arg(round).arg(column)));
                column = ownEnd;
            }
            QCOMPARE(column, line.size());
            QCOMPARE(slices.size() == 1, !line.isEmpty() && line.size() <= sliceLength);
        }
    }

    // Words planted at random in long lines, many across where a slice ends and some twice in a row:
    // each one is one hit, at its place, whose text is whole characters of the line and finds the
    // word first from the hit's column (where opening the hit looks for it). Every other round a long
    // exclude word that never occurs makes slices share more. Without an include word each slice is a
    // hit, and none begins or ends with half a surrogate pair either.
    void randomWordsOnLongLinesFoundOnce()
    {
        QRandomGenerator random(20261207);
        const QStringList encodings = {"GB18030", "UTF-8", "Big5-HKSCS", "UTF-16LE", "UTF-16BE"};
        for (int round = 0; round < 20; ++round) {
            const QString encoding = encodings.at(round % encodings.size());
            const bool big5 = encoding.startsWith(QLatin1String("Big5"));
            const QString word = big5 ? QStringLiteral("讀書") : QStringLiteral("读书");
            const QStringList fillers = QStringList{"天", "地", "a", "。", "文字", "\U00020000", "é"}.mid(0, big5 ? 5 : 7);
            QStringList lines = {"前言", "", ""}, planted, found;
            for (int n = 1; n < lines.size(); ++n) {
                for (const int length = 150000 + random.bounded(150000); lines[n].size() < length;) {
                    const bool nearSliceEnd = FileSearch::LineCap - lines[n].size() % FileSearch::LineCap <= 3;
                    const bool plant = (nearSliceEnd && random.bounded(2)) || random.bounded(20000) == 0;
                    lines[n] += plant ? word.repeated(1 + random.bounded(2)) : fillers[random.bounded(fillers.size())];
                }
                for (int at = lines[n].indexOf(word); at >= 0; at = lines[n].indexOf(word, at + word.size()))
                    planted << QStringLiteral("%1:%2").arg(n + 1).arg(at);
            }
            const QString path = freshTempFolder("planted") + "/f.txt";
            writeBytes(path, encoded(lines.join('\n') + "\n", encoding));
            for (const SearchResult& hit : searchOne(path, word, round % 2 ? "一句不在文中的很长的话" : "", encoding)) {
                const int n = hit.lineNumber - 1;
                QVERIFY(n > 0 && n < lines.size());
                const int at = int(hit.position - encoded(lines.mid(0, n).join('\n') + "\n", encoding).size());
                found << QStringLiteral("%1:%2").arg(n + 1).arg(at);
                checkSnippet(hit, lines.at(n));
                QCOMPARE(lines.at(n).indexOf(word, int(hit.column)), at);
            }
            QCOMPARE(found, planted);
            for (const SearchResult& hit : searchOne(path, QString(), "排除", encoding))
                checkSnippet(hit, lines.at(hit.lineNumber - 1));
        }
    }

    // ---- Paging, filter and count line ---------------------------------------------------

    void paging_data()
    {
        QTest::addColumn<int>("hits");
        QTest::addColumn<QString>("pages"); // next-button state on each page, "1" enabled
        QTest::newRow("200") << 200 << "10";
        QTest::newRow("201") << 201 << "110";
        QTest::newRow("100") << 100 << "0";
    }

    void paging()
    {
        QFETCH(int, hits);
        QFETCH(QString, pages);
        const QString dir = freshTempFolder("paging");
        QByteArray text;
        for (int i = 0; i < hits; ++i)
            text += gb18030(QStringLiteral("张三 %1\n").arg(i));
        writeBytes(dir + "/p.txt", text);
        SearchDialog page;
        runSearch(page, dir, "*.txt", "张三");
        auto* prev = child<QPushButton>(&page, "prevButton");
        auto* next = child<QPushButton>(&page, "nextButton");
        auto* table = child<QTableWidget>(&page, "filesTable");
        QCOMPARE(prev->text(), QString("前100个结果"));
        for (int p = 0; p < pages.size(); ++p) {
            QCOMPARE(prev->isEnabled(), p > 0);
            QCOMPARE(next->isEnabled(), pages.at(p) == QLatin1Char('1'));
            QCOMPARE(table->rowCount(), qMin(100, hits - 100 * p));
            QCOMPARE(table->item(0, 6)->text(), QString::number(100 * p));
            if (next->isEnabled())
                QTest::mouseClick(next, Qt::LeftButton);
        }
    }

    void pageSizeChangedBetweenPages()
    {
        const QString dir = freshTempFolder("pagesize");
        QByteArray text;
        for (int i = 0; i < 250; ++i)
            text += "hit\n";
        writeBytes(dir + "/p.txt", text);
        SearchDialog page;
        runSearch(page, dir, "*", "hit");
        page.nextPage();
        QCOMPARE(page.firstIndex(), 100);
        setPageSize(500);
        page.prevPage(); // 100 - 500 must not go below zero
        QCOMPARE(page.firstIndex(), 0);
        setPageSize(10);
        page.nextPage();
        page.nextPage();
        QCOMPARE(page.firstIndex(), 20);
        setPageSize(200);
        page.nextPage(); // 220 snaps to the page boundary 200
        QCOMPARE(page.firstIndex(), 200);
        QCOMPARE(child<QTableWidget>(&page, "filesTable")->rowCount(), 50);
        setPageSize(200);
        page.nextPage(); // past the end: stays on the last page
        QCOMPARE(page.firstIndex(), 200);
    }

    void resultsPerPage_data()
    {
        QTest::addColumn<QVariant>("value");
        QTest::addColumn<int>("expected");
        QTest::newRow("absent") << QVariant() << 100;
        QTest::newRow("allowed") << QVariant(500) << 500;
        QTest::newRow("not allowed") << QVariant(7) << 100;
        QTest::newRow("text") << QVariant("abc") << 100;
        QTest::newRow("largest") << QVariant(10000) << 10000;
    }

    void resultsPerPage()
    {
        QFETCH(QVariant, value);
        QFETCH(int, expected);
        setPageSize(value);
        SearchDialog page;
        QCOMPARE(page.resultsPerPage(), expected);
    }

    void lengthFilterAndCountLine()
    {
        const QString dir = freshTempFolder("filter");
        QByteArray text;
        for (int i = 0; i < 100; ++i)
            text += gb18030(QStringLiteral("张三%1\n").arg(i % 10)); // 3 characters
        for (int i = 0; i < 20; ++i)
            text += gb18030(QStringLiteral("很长很长的一行里也有张三\n")); // 12 characters
        writeBytes(dir + "/f.txt", text);
        SearchDialog page;
        runSearch(page, dir, "*.txt", "张三");
        auto* label = child<QLabel>(&page, "countLabel");
        QCOMPARE(label->text(), QString("共查找到120个结果, 其中过滤掉0个, 剩余120个 (双击打开相应文件)"));
        QVERIFY(child<QPushButton>(&page, "nextButton")->isEnabled());
        QTest::mouseClick(child<QPushButton>(&page, "nextButton"), Qt::LeftButton);
        QCOMPARE(page.firstIndex(), 100);

        auto* check = child<QCheckBox>(&page, "characterCountCheckBox");
        auto* minimum = child<QSpinBox>(&page, "minSpinBox");
        auto* maximum = child<QSpinBox>(&page, "maxSpinBox");
        maximum->setValue(10);
        minimum->setValue(0);
        check->setChecked(true);
        QVERIFY(minimum->isEnabled());
        QCOMPARE(label->text(), QString("共查找到120个结果, 其中过滤掉20个, 剩余100个 (双击打开相应文件)"));
        // A filter change shows the first page again.
        QCOMPARE(page.firstIndex(), 0);
        QVERIFY(!child<QPushButton>(&page, "prevButton")->isEnabled());
        QVERIFY(!child<QPushButton>(&page, "nextButton")->isEnabled());

        maximum->setValue(3);
        minimum->setValue(3);
        QCOMPARE(page.shownResults().size(), 100);
        maximum->setValue(10);
        minimum->setValue(4);
        QCOMPARE(page.shownResults().size(), 0);
        QCOMPARE(minimum->maximum(), 10);
        QCOMPARE(maximum->minimum(), 4);

        Settings settings;
        QCOMPARE(settings.value("SearchDialogCharacterCountEnabled").toBool(), true);
        QCOMPARE(settings.value("SearchDialogCharacterCountMin").toInt(), 4);
        QCOMPARE(settings.value("SearchDialogCharacterCountMax").toInt(), 10);
        // The next page restores the stored state and shows zero counts from the start.
        SearchDialog restored;
        QVERIFY(child<QCheckBox>(&restored, "characterCountCheckBox")->isChecked());
        QCOMPARE(child<QLabel>(&restored, "countLabel")->text(),
                 QString("共查找到0个结果, 其中过滤掉0个, 剩余0个 (双击打开相应文件)"));
    }

    void hitsAreCappedWithANotice()
    {
        const QString dir = freshTempFolder("cap");
        writeBytes(dir + "/many.txt", QByteArray(SearchDialog::MaxResults + 10, '\n'));
        SearchDialog page;
        runSearch(page, dir, "*.txt", "  "); // every line is a hit
        QCOMPARE(page.results().size(), SearchDialog::MaxResults);
        QCOMPARE(page.results().last().position, qint64(-1));
        QVERIFY(child<QLabel>(&page, "countLabel")->text().endsWith(
            QStringLiteral(" (结果过多, 只保留了前%1个)").arg(SearchDialog::MaxResults)));
    }

    // ---- Highlighting -----------------------------------------------------------------

    void highlight_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QStringList>("words");
        QTest::addColumn<QString>("expected");
        const QString open = "<font style=\"background-color:#3399FF\">";
        const QString close = "</font>";
        QTest::newRow("markup is literal") << "<b>x</b> & y" << QStringList({"y"})
                                           << "&lt;b&gt;x&lt;/b&gt; &amp; " + open + "y" + close;
        QTest::newRow("word font") << "a font" << QStringList({"a", "font"})
                                   << open + "a" + close + " " + open + "font" + close;
        QTest::newRow("word style") << "style a" << QStringList({"a", "style"})
                                    << open + "style" + close + " " + open + "a" + close;
        QTest::newRow("earliest first") << "abc" << QStringList({"bc", "ab"}) << open + "ab" + close + "c";
        QTest::newRow("list order on ties") << "abc" << QStringList({"a", "ab"}) << open + "a" + close + "bc";
        QTest::newRow("no words") << "<i>" << QStringList() << "&lt;i&gt;";
    }

    void highlight()
    {
        QFETCH(QString, text);
        QFETCH(QStringList, words);
        QFETCH(QString, expected);
        QCOMPARE(FileSearch::highlight(text, words), expected);
    }

    // A hit's markup shows as text, and its highlighted line is drawn within a row one text line high.
    void hitCellsShowMarkupLiterally()
    {
        const QString dir = freshTempFolder("markup");
        writeBytes(dir + "/m.txt", u8("  <b>张三</b> & <img src=\"x.png\">  \n"));
        SearchDialog page;
        runSearch(page, dir, "*.txt", "张三");
        auto* table = child<QTableWidget>(&page, "filesTable");
        QCOMPARE(table->rowCount(), 1);
        QCOMPARE(table->item(0, 4)->text(), QString("<b>张三</b> & <img src=\"x.png\">"));
        const TextPainter painter = table->item(0, 3)->data(Qt::DisplayRole).value<TextPainter>();
        QVERIFY(!painter.html().contains("<img"));
        QVERIFY(!painter.html().contains("<b>"));
        QVERIFY(painter.html().contains("&lt;img"));
        QCOMPARE(table->item(0, 2)->text(), QString("1"));
        QVERIFY(!(table->item(0, 1)->flags() & Qt::ItemIsEditable));
        QVERIFY(table->item(0, 0)->flags() & Qt::ItemIsUserCheckable);
        const int line = table->fontMetrics().height();
        QCOMPARE(table->rowHeight(0), line);
        QStyleOptionViewItem option;
        option.font = table->font();
        option.rect = QRect(0, 0, 400, 3 * line);
        QImage image(option.rect.size(), QImage::Format_RGB32);
        image.fill(Qt::white);
        const QImage blank = image;
        QPainter imagePainter(&image);
        painter.paint(&imagePainter, option);
        imagePainter.end();
        QVERIFY(image.copy(0, 0, 400, line) != blank.copy(0, 0, 400, line));
        QCOMPARE(image.copy(0, line, 400, 2 * line), blank.copy(0, line, 400, 2 * line));
    }

    // ---- The page itself -------------------------------------------------------------

    void emptyIncludeAndEscape()
    {
        ScriptedPrompt prompt;
        SearchDialog page;
        page.show();
        runSearch(page, freshTempFolder("empty"), "*", QString());
        QCOMPARE(prompt.titles, QStringList({"错误"}));
        QCOMPARE(prompt.texts, QStringList({"请输入要搜索的字符串！"}));
        QVERIFY(child<QPushButton>(&page, "findButton")->isEnabled());
        QVERIFY(!child<QPushButton>(&page, "nextButton")->isEnabled());
        QTest::keyClick(&page, Qt::Key_Escape);
        QVERIFY(page.isVisible());

        // A folder that does not exist is said so, and nothing is searched.
        runSearch(page, freshTempFolder("empty") + "/nowhere", "*", "x");
        QCOMPARE(prompt.texts.last(), "目录不存在: " + freshTempFolder("empty") + "/nowhere");
        QVERIFY(child<QPushButton>(&page, "findButton")->isEnabled());

        // Enter in the include box runs the default button.
        const QString dir = freshTempFolder("enter");
        writeBytes(dir + "/e.txt", "enter key\n");
        child<QComboBox>(&page, "directoryComboBox")->setEditText(dir);
        auto* include = child<QComboBox>(&page, "includeComboBox");
        include->setEditText("key");
        include->setFocus();
        QTest::keyClick(include->lineEdit(), Qt::Key_Return);
        QCOMPARE(page.results().size(), 1);
    }

    void headerAndSelection()
    {
        const QString dir = freshTempFolder("header");
        writeBytes(dir + "/h.txt", "hit 1\nhit 2\nhit 3\n");
        SearchDialog page;
        page.resize(1400, 400);
        page.show();
        QVERIFY(QTest::qWaitForWindowExposed(&page));
        auto* table = child<QTableWidget>(&page, "filesTable");
        auto* header = qobject_cast<SearchResultHeader*>(table->horizontalHeader());
        QVERIFY(header);
        // No rows: not "all selected".
        page.filesTableSelectionChanged(QItemSelection(), QItemSelection());
        QVERIFY(!header->isChecked());

        runSearch(page, dir, "*.txt", "hit");
        QCOMPARE(table->rowCount(), 3);
        QVERIFY(!header->isChecked());
        qRegisterMetaType<Qt::CheckState>("Qt::CheckState");
        QSignalSpy spy(header, SIGNAL(stateChanged(Qt::CheckState)));
        const QPoint section0(header->sectionViewportPosition(0) + 10, header->height() / 2);
        QTest::mouseClick(header->viewport(), Qt::LeftButton, Qt::NoModifier, section0);
        QTest::mouseClick(header->viewport(), Qt::LeftButton, Qt::NoModifier, section0);
        QCOMPARE(spy.count(), 2);
        QCOMPARE(spy.at(0).at(0).value<Qt::CheckState>(), Qt::Checked);
        QCOMPARE(spy.at(1).at(0).value<Qt::CheckState>(), Qt::Unchecked);

        // A press on the edge of column 1 neither resizes nor emits.
        const int width1 = header->sectionSize(1);
        const int edge = header->sectionViewportPosition(1) + width1 - 1;
        QTest::mousePress(header->viewport(), Qt::LeftButton, Qt::NoModifier, QPoint(edge, 5));
        QTest::mouseMove(header->viewport(), QPoint(edge + 60, 5));
        QTest::mouseRelease(header->viewport(), Qt::LeftButton, Qt::NoModifier, QPoint(edge + 60, 5));
        QCOMPARE(header->sectionSize(1), width1);
        QCOMPARE(spy.count(), 2);

        // Selecting every row sets the flag and checks the rows; a search clears it.
        table->selectAll();
        QVERIFY(header->isChecked());
        QCOMPARE(table->item(2, 0)->checkState(), Qt::Checked);
        page.copySelectedItems();
        QCOMPARE(QApplication::clipboard()->text(),
                 QString("hit 1") + QChar(0x2029) + "hit 2" + QChar(0x2029) + "hit 3" + QChar(0x2029));

        // The delegate paints the selected rich-text cells over a highlight fill.
        const QImage image = table->viewport()->grab().toImage();
        const QRect cell = table->visualRect(table->model()->index(0, 3));
        QCOMPARE(image.pixelColor(cell.right() - 2, cell.center().y()),
                 table->palette().color(QPalette::Active, QPalette::Highlight));

        table->item(1, 0)->setCheckState(Qt::Unchecked);
        page.deleteSelectedItems();
        QCOMPARE(table->rowCount(), 1);
        QCOMPARE(table->item(0, 4)->text(), QString("hit 2"));
        QCOMPARE(page.shownResults().size(), 3); // the lists stay

        QTest::mouseClick(child<QPushButton>(&page, "findButton"), Qt::LeftButton);
        QVERIFY(!header->isChecked());
    }

    void browseAndClearHistory()
    {
        ScriptedPrompt prompt;
        prompt.directoryAnswers << "/some/where";
        SearchDialog page;
        page.browse();
        QCOMPARE(child<QComboBox>(&page, "directoryComboBox")->currentText(), QString("/some/where"));
        QCOMPARE(prompt.directoryQuestions, QStringList({"在文件中查找|" + QDir::currentPath()}));
        page.browse(); // cancelled: unchanged
        QCOMPARE(child<QComboBox>(&page, "directoryComboBox")->currentText(), QString("/some/where"));
        page.clearHistory();
        for (const char* name : {"directoryComboBox", "fileComboBox", "includeComboBox", "excludeComboBox"}) {
            QCOMPARE(child<QComboBox>(&page, name)->count(), 0);
            QCOMPARE(child<QComboBox>(&page, name)->currentText(), QString());
        }
    }
};

TQ_TEST_MAIN(TestFindInFiles)
#include "tst_findinfiles.moc"
