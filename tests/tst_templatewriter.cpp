// Template writer: round trips through the reader in both forms, the exact
// plain layout, what is not written, the kept first content, characters XML
// cannot hold, write failures that must not pass for success, the backup copy
// and additions to the atom index.

#include <QBuffer>
#include <QDir>
#include <QSaveFile>
#include <QTreeWidget>
#include <QTreeWidgetItem>

#include <csignal>
#include <sys/resource.h>
#include <unistd.h>

#include "DomParser.h"
#include "SettingsStore.h"
#include "TemplateWriter.h"
#include "TestSupport.h"

namespace {

// Builds a tree from lines "  E:title" (entry), "C:text" (content), "U:text"
// (no tag), "X:text" (some other tag); two spaces of indent per level.
void buildTree(QTreeWidget& tree, const QStringList& lines)
{
    tree.clear();
    QList<QTreeWidgetItem*> parents{tree.invisibleRootItem()};
    for (const QString& line : lines) {
        int spaces = 0;
        while (spaces < line.size() && line.at(spaces) == ' ')
            ++spaces;
        const int depth = spaces / 2;
        const QString body = line.mid(depth * 2);
        const QChar kind = body.at(0);
        auto* item = new QTreeWidgetItem(parents.at(depth));
        item->setText(0, body.mid(2));
        if (kind == 'E')
            item->setData(0, Qt::UserRole, "entry");
        else if (kind == 'C')
            item->setData(0, Qt::UserRole, "content");
        else if (kind == 'X')
            item->setData(0, Qt::UserRole, "paragraph");
        parents = parents.mid(0, depth + 1);
        parents << item;
    }
}

// The reverse: "E:" for shown entries, "C:" for hidden contents, "?:" otherwise.
QStringList dumpTree(QTreeWidget& tree)
{
    return treeLines(tree, [](const QTreeWidgetItem* item) -> QString {
        const QString tag = item->data(0, Qt::UserRole).toString();
        QString kind = "?";
        if (tag == "entry" && !item->isHidden() && item->text(1) == "title")
            kind = "E";
        else if (tag == "content" && item->isHidden() && item->text(1) == "content")
            kind = "C";
        return kind + ':' + item->text(0);
    });
}

// "absent", or the value to store under "EncryptTemplate".
void setEncrypt(const QString& value)
{
    Settings settings;
    if (value == "absent")
        settings.remove("EncryptTemplate");
    else
        settings.setValue("EncryptTemplate", value.toUInt());
    settings.sync();
}

const QString kIndex = "Templates/Atom/原子模板库.tqw";

const QByteArray kPlainIndex = R"(<?xml version="1.0" encoding="UTF-8"?>
<template title="原子模板库">
    <entry title="原子模板">
        <content>[季节]</content>
        <content>[天气]</content>
    </entry>
    <entry title="其他">
        <content>[时间]</content>
    </entry>
</template>
)";

QStringList indexContents(const QString& path)
{
    DomParser parser;
    if (!parser.readFile(path))
        return {"<unreadable>"};
    QStringList result;
    const QDomNodeList entries = parser.document().elementsByTagName("entry");
    for (int e = 0; e < entries.count(); ++e) {
        QStringList contents;
        for (QDomElement c = entries.item(e).firstChildElement("content"); !c.isNull(); c = c.nextSiblingElement("content"))
            contents << c.text();
        result << entries.item(e).toElement().attribute("title") + '=' + contents.join(',');
    }
    return result;
}

} // namespace

class TemplateWriterTest : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        setEncrypt("absent");
        QDir("Templates").removeRecursively();
    }

    // ---- Round trips ---------------------------------------------------------

    void roundTrip_data()
    {
        QTest::addColumn<QStringList>("tree");
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("encrypt");
        const QList<QPair<const char*, QStringList>> trees{
            {"special characters",
             {"E:& < > \" ' ;", "  C:a & b < c > d \" e ' f", "  C:]]> and &amp; literally", "  C:<content>x</content>"}},
            {"CJK and emoji", {"E:春天 🌸", "  C:桃花盛开 👩‍👩‍👧 😀", "  C:𠀀𪚥 扩展区汉字", "E:夏", "  C:荷"}},
            {"empty titles and entries", {"E:", "  C:无标题条目的内容", "E:空条目", "E:", "E:最后"}},
            {"nesting", {"E:一", "  C:一的内容", "  E:二", "    E:三", "      C:深处", "    C:二的内容", "E:并列"}},
            {"line breaks, tabs and outer spaces", {"E:行一\n行二\t制表", "  C:多行\n内容", "  C: 前后空格 "}},
            {"top-level contents first and later", {"C:开头的顶层内容", "E:条目", "  C:x", "C:后面的顶层内容"}},
        };
        for (const auto& tree : trees)
            for (const QString encrypt : {"absent", "0", "1", "7"})
                QTest::newRow(qPrintable(QString("%1, EncryptTemplate %2").arg(tree.first, encrypt)))
                    << tree.second << QString("标题 & <题目> \"引号\" 🌸") << encrypt;
    }
    void roundTrip()
    {
        QFETCH(QStringList, tree);
        QFETCH(QString, title);
        QFETCH(QString, encrypt);
        setEncrypt(encrypt);
        QTreeWidget source;
        buildTree(source, tree);
        TemplateWriter writer(&source);
        QVERIFY(writer.writeFile(QString("roundtrip.tqw"), title));
        QVERIFY(writer.errorString().isEmpty());

        const QByteArray bytes = fileBytes("roundtrip.tqw", "<missing>");
        const bool base64 = encrypt != "0";
        QCOMPARE(bytes.startsWith("<?xml version=\"1.0\" encoding=\"UTF-8\"?>"), !base64);
        if (base64) {
            // One line, no final line break, and it decodes to the plain form.
            QVERIFY(!bytes.contains('\n') && !bytes.contains('\r'));
            QVERIFY(QRegularExpression("^[A-Za-z0-9+/]+=*$").match(QString::fromLatin1(bytes)).hasMatch());
            setEncrypt("0");
            TemplateWriter plainWriter(&source);
            QBuffer plain;
            plain.open(QIODevice::WriteOnly);
            QVERIFY(plainWriter.writeFile(&plain, title));
            QCOMPARE(QByteArray::fromBase64(bytes), plain.data());
        }

        QTreeWidget target;
        DomParser parser(&target);
        QVERIFY(parser.readFile("roundtrip.tqw"));
        QVERIFY(parser.buildTree());
        QCOMPARE(parser.title, title);
        QCOMPARE(parser.header, QString());
        QCOMPARE(dumpTree(target), tree);
    }

    void exactPlainLayout()
    {
        setEncrypt("0");
        QTreeWidget tree;
        buildTree(tree, {"E:季节", "  C:春天", "  C:夏天", "  E:内", "    C:深", "E:"});
        QBuffer buffer;
        buffer.open(QIODevice::WriteOnly);
        TemplateWriter writer(&tree);
        QVERIFY(writer.writeFile(&buffer, "季节"));
        QCOMPARE(QString::fromUtf8(buffer.data()),
                 QString("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                         "<template title=\"季节\">\n"
                         "    <entry title=\"季节\">\n"
                         "        <content>春天</content>\n"
                         "        <content>夏天</content>\n"
                         "        <entry title=\"内\">\n"
                         "            <content>深</content>\n"
                         "        </entry>\n"
                         "    </entry>\n"
                         "    <entry title=\"\"/>\n"
                         "</template>\n"));
    }

    void formChosenByTheCaller()
    {
        setEncrypt("0");
        QTreeWidget tree;
        buildTree(tree, {"E:e", "  C:c"});
        TemplateWriter writer(&tree);
        writer.setForm(TemplateWriter::Form::Base64);
        QBuffer base64;
        base64.open(QIODevice::WriteOnly);
        QVERIFY(writer.writeFile(&base64, "t"));
        QVERIFY(QByteArray::fromBase64(base64.data()).startsWith("<?xml"));
        setEncrypt("1");
        TemplateWriter plainWriter(&tree);
        plainWriter.setForm(TemplateWriter::Form::Plain);
        QBuffer plain;
        plain.open(QIODevice::WriteOnly);
        QVERIFY(plainWriter.writeFile(&plain, "t"));
        QVERIFY(plain.data().startsWith("<?xml"));
        QCOMPARE(QByteArray::fromBase64(base64.data()), plain.data());
    }

    void itemsThatAreNotWritten_data()
    {
        QTest::addColumn<QStringList>("tree");
        QTest::addColumn<QStringList>("readBack");
        QTest::newRow("empty content dropped") << QStringList{"E:e", "  C:", "  C:x"} << QStringList{"E:e", "  C:x"};
        QTest::newRow("untagged item written as content")
            << QStringList{"E:e", "  U:无标签"} << QStringList{"E:e", "  C:无标签"};
        QTest::newRow("untagged empty item dropped") << QStringList{"E:e", "  U:"} << QStringList{"E:e"};
        QTest::newRow("other tag skipped with its subtree")
            << QStringList{"E:e", "  X:别的", "    E:里面", "      C:也不写", "  C:留下"} << QStringList{"E:e", "  C:留下"};
        QTest::newRow("children of a content are not written")
            << QStringList{"E:e", "  C:内容", "    E:子", "      C:孙"} << QStringList{"E:e", "  C:内容"};
        QTest::newRow("empty entry kept") << QStringList{"E:", "E:"} << QStringList{"E:", "E:"};
        QTest::newRow("only control characters: nothing to write")
            << QStringList{"E:e", QString("  C:\x01\x02")} << QStringList{"E:e"};
    }
    void itemsThatAreNotWritten()
    {
        QFETCH(QStringList, tree);
        QFETCH(QStringList, readBack);
        QTreeWidget source;
        buildTree(source, tree);
        QBuffer buffer;
        buffer.open(QIODevice::WriteOnly);
        TemplateWriter writer(&source);
        QVERIFY(writer.writeFile(&buffer, "t"));
        QTreeWidget target;
        DomParser parser(&target);
        QVERIFY(parser.readData(buffer.data()));
        QVERIFY(parser.buildTree());
        QCOMPARE(dumpTree(target), readBack);
    }

    // A file whose first root child is a content: the reader keeps it aside,
    // the writer puts it back, and it survives any number of saves.
    void firstContentSurvives_data()
    {
        QTest::addColumn<QString>("encrypt");
        QTest::newRow("plain") << "0";
        QTest::newRow("Base64") << "absent";
    }
    void firstContentSurvives()
    {
        QFETCH(QString, encrypt);
        setEncrypt(encrypt);
        writeBytes("header.tqw", "<template title=\"有说明\"><content>本模板的说明 &amp; 用法</content>"
                                 "<content>顶层</content><entry title=\"e\"><content>x</content></entry></template>");
        for (int round = 0; round < 3; ++round) {
            QTreeWidget tree;
            DomParser parser(&tree);
            QVERIFY(parser.readFile("header.tqw"));
            QVERIFY(parser.buildTree());
            QCOMPARE(parser.header, QString("本模板的说明 & 用法"));
            QCOMPARE(dumpTree(tree), (QStringList{"C:顶层", "E:e", "  C:x"}));
            TemplateWriter writer(&tree);
            writer.setHeader(parser.header);
            QVERIFY(writer.writeFile(QString("header.tqw"), parser.title));
        }
    }

    void invalidCharactersDropped()
    {
        QTreeWidget source;
        const QString lone = QString(QChar(0xD800));
        buildTree(source, {QString("E:题\x07目"), QString("  C:a\x01") + "b" + lone + "c" + QChar(0xFFFE) + "d😀",
                           "  C:保留\t制表"});
        TemplateWriter writer(&source);
        QVERIFY(writer.writeFile(QString("controls.tqw"), QString("标\x1f题")));
        QTreeWidget target;
        DomParser parser(&target);
        QVERIFY(parser.readFile("controls.tqw"));
        QVERIFY(parser.buildTree());
        QCOMPARE(parser.title, QString("标题"));
        QCOMPARE(dumpTree(target), (QStringList{"E:题目", "  C:abcd😀", "  C:保留\t制表"}));
    }

    // ---- Failures ----------------------------------------------------------------

    void readOnlyFolder()
    {
        QDir().mkpath("locked");
        writeBytes("locked/old.tqw", "previous");
        QFile::setPermissions("locked", QFileDevice::ReadOwner | QFileDevice::ExeOwner);
        QString target = "locked/old.tqw";
        QFile probe("locked/probe");
        if (probe.open(QIODevice::WriteOnly)) {
            // Permissions do not stop this user (root): use a folder nobody can add files to.
            probe.close();
            probe.remove();
            target = "/proc/tarnquill-template.tqw";
        }
        QTreeWidget tree;
        buildTree(tree, {"E:e", "  C:x"});
        TemplateWriter writer(&tree);
        MessageCapture capture;
        QVERIFY(!writer.writeFile(target, "t"));
        QVERIFY(!writer.errorString().isEmpty());
        bool critical = false;
        for (const auto& entry : capture.entries())
            critical = critical || (entry.first == QtCriticalMsg && entry.second.contains("Cannot write"));
        QVERIFY(critical);
        QFile::setPermissions("locked", QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
        QCOMPARE(fileBytes("locked/old.tqw", "<missing>"), QByteArray("previous"));
        QVERIFY(!QFile::exists("/proc/tarnquill-template.tqw"));
    }

    void deviceFull_data()
    {
        QTest::addColumn<QString>("encrypt");
        QTest::newRow("plain") << "0";
        QTest::newRow("Base64") << "1";
    }
    void deviceFull()
    {
        QFETCH(QString, encrypt);
        setEncrypt(encrypt);
        QTreeWidget tree;
        buildTree(tree, {"E:e", "  C:x"});
        QFile full("/dev/full");
        QVERIFY(full.open(QIODevice::WriteOnly));
        TemplateWriter writer(&tree);
        QVERIFY(!writer.writeFile(&full, "t"));
        QVERIFY(!writer.errorString().isEmpty());

        TemplateWriter notOpen(&tree);
        QBuffer closed;
        QVERIFY(!notOpen.writeFile(&closed, "t"));
        QVERIFY(!notOpen.writeFile(static_cast<QIODevice*>(nullptr), "t"));
    }

    // A save cut short by the disk keeps the previous file whole.
    void failedSaveKeepsThePreviousFile()
    {
        QDir().mkpath("full");
        writeBytes("full/big.tqw", "the previous template");
        QTreeWidget tree;
        QStringList lines{"E:e"};
        for (int i = 0; i < 3000; ++i)
            lines << QString("  C:第%1条很长很长的内容，用来写满限定的文件大小").arg(i);
        buildTree(tree, lines);

        struct rlimit saved;
        QCOMPARE(getrlimit(RLIMIT_FSIZE, &saved), 0);
        auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
        struct rlimit limited = saved;
        limited.rlim_cur = 16 * 1024;
        QCOMPARE(setrlimit(RLIMIT_FSIZE, &limited), 0);
        TemplateWriter writer(&tree);
        const bool written = writer.writeFile(QString("full/big.tqw"), "t");
        setrlimit(RLIMIT_FSIZE, &saved);
        std::signal(SIGXFSZ, previousHandler);

        QVERIFY(!written);
        QVERIFY(!writer.errorString().isEmpty());
        QCOMPARE(fileBytes("full/big.tqw", "<missing>"), QByteArray("the previous template"));
        QCOMPARE(QDir("full").entryList(QDir::Files | QDir::Hidden), QStringList{"big.tqw"});
    }

    // The file as it was goes to ".bak" first; without a file there is no copy.
    void backupBeforeWriting()
    {
        QDir().mkpath("bak");
        QTreeWidget tree;
        buildTree(tree, {"E:新"});
        TemplateWriter writer(&tree);
        writer.setForm(TemplateWriter::Form::Plain);
        QVERIFY(writer.writeFileWithBackup(QString("bak/t.tqw"), "t"));
        QCOMPARE(QDir("bak").entryList(QDir::Files), QStringList{"t.tqw"});
        writeBytes("bak/t.tqw", "old");
        writeBytes("bak/t.tqw.bak", "older");
        QVERIFY(writer.writeFileWithBackup(QString("bak/t.tqw"), "t"));
        QCOMPARE(fileBytes("bak/t.tqw.bak", "<missing>"), QByteArray("old"));
        QVERIFY(fileBytes("bak/t.tqw", "<missing>").contains("新"));
    }

    // ---- The atom index -------------------------------------------------------------

    void atomIndexAddition_data()
    {
        QTest::addColumn<QByteArray>("index");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("plain index: third content of the first entry")
            << kPlainIndex << "新模板" << QStringList{"原子模板=[季节],[天气],[新模板]", "其他=[时间]"};
        QTest::newRow("Base64 index") << kPlainIndex.toBase64() << "新模板"
                                      << QStringList{"原子模板=[季节],[天气],[新模板]", "其他=[时间]"};
        QTest::newRow("line-broken Base64 index") << QByteArray(kPlainIndex.toBase64()).insert(40, "\r\n") << "B"
                                                  << QStringList{"原子模板=[季节],[天气],[B]", "其他=[时间]"};
        QTest::newRow("header content first stays a header")
            << QByteArray("<template title=\"库\"><content>说明</content><entry title=\"e\"/></template>") << "甲"
            << QStringList{"e=[甲]"};
        QTest::newRow("markup in the name") << kPlainIndex << "a&b<c>\"d\""
                                            << QStringList{"原子模板=[季节],[天气],[a&b<c>\"d\"]", "其他=[时间]"};
    }
    void atomIndexAddition()
    {
        QFETCH(QByteArray, index);
        QFETCH(QString, name);
        QFETCH(QStringList, expected);
        writeBytes(kIndex, index);
        QVERIFY(addAtomTemplateContent(name));
        QCOMPARE(indexContents(kIndex), expected);

        // Written back plain, indented by two spaces, whatever EncryptTemplate says.
        const QString text = QString::fromUtf8(fileBytes(kIndex, "<missing>"));
        QVERIFY2(text.startsWith("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<template"), qPrintable(text));
        QVERIFY2(text.contains("\n  <entry title="), qPrintable(text));
        QVERIFY2(text.contains("\n    <content>["), qPrintable(text));
        QVERIFY2(!text.contains("\n      <"), qPrintable(text));
        if (index.startsWith("<template title=\"库\">")) {
            DomParser parser;
            QVERIFY(parser.readFile(kIndex));
            QVERIFY(parser.buildTree());
            QCOMPARE(parser.header, QString("说明"));
        }
    }

    void atomIndexMissing()
    {
        QDir().mkpath("Templates/Atom");
        QVERIFY(addAtomTemplateContent("季节"));
        QVERIFY(QFileInfo(kIndex).size() > 0);
        QTreeWidget tree;
        DomParser parser(&tree);
        QVERIFY(parser.readFile(kIndex));
        QVERIFY(parser.buildTree());
        QCOMPARE(parser.title, QString("原子模板库"));
        QCOMPARE(dumpTree(tree), (QStringList{"E:原子模板", "  C:[季节]"}));
        QVERIFY(addAtomTemplateContent("天气"));
        QCOMPARE(indexContents(kIndex), QStringList{"原子模板=[季节],[天气]"});
    }

    void atomIndexLeftAlone_data()
    {
        QTest::addColumn<QByteArray>("index");
        QTest::addColumn<QString>("log");
        QTest::newRow("unparsable") << QByteArray("<template><entry>broken") << "QDomDocument.setContent failed: Error: Parse error";
        QTest::newRow("no entry") << QByteArray("<template title=\"空\"><content>说明</content></template>") << "has no entry";
        QTest::newRow("no folder") << QByteArray() << "the folder does not exist";
    }
    void atomIndexLeftAlone()
    {
        QFETCH(QByteArray, index);
        QFETCH(QString, log);
        if (!index.isEmpty())
            writeBytes(kIndex, index);
        MessageCapture capture;
        QVERIFY(!addAtomTemplateContent("新"));
        QVERIFY2(capture.contains(log), qPrintable(capture.messages().join('\n')));
        if (index.isEmpty())
            QVERIFY(!QFile::exists(kIndex));
        else
            QCOMPARE(fileBytes(kIndex, "<missing>"), index);
    }

    void shippedIndexTakesAnAddition()
    {
        QDir().mkpath("Templates/Atom");
        QVERIFY(QFile::copy(TestEnvironment::programDir() + "/Templates/Atom/原子模板库.tqw", kIndex));
        QFile::setPermissions(kIndex, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
        const QStringList before = indexContents(kIndex);
        QCOMPARE(before.size(), 1);
        QVERIFY(addAtomTemplateContent("形容大海"));
        QCOMPARE(indexContents(kIndex), QStringList{before.first() + ",[形容大海]"});
    }
};

TQ_TEST_MAIN(TemplateWriterTest)
#include "tst_templatewriter.moc"
