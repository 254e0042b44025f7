// The settings store: keys that ignore letter case, values that survive a trip
// through the file, files a person wrote by hand, and where the file lives.

#include <QBuffer>
#include <QColor>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QPointF>
#include <QThread>
#include <QUrl>
#include <QtTest>

#include <atomic>
#include <iterator>
#include <memory>
#include <unistd.h>

#include "SettingsStore.h"
#include "TestSupport.h"

using SettingsStore::Settings;

namespace {

QString storesDir()
{
    const QString dir = TestEnvironment::instance()->root() + QStringLiteral("/stores");
    QDir().mkpath(dir);
    return dir;
}

// A path no QSettings of this process has seen. QSettings keeps the parsed
// contents of every file it opened, so only a new path proves the file is read.
QString freshPath()
{
    static std::atomic<int> counter{0};
    return storesDir() + QStringLiteral("/store-%1.conf").arg(++counter);
}

QString writeFileAt(const QByteArray& content)
{
    const QString path = freshPath();
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(content) != content.size())
        qFatal("cannot write %s", qPrintable(path));
    return path;
}

QByteArray readBytes(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Opens what a settings file holds now, read afresh.
std::unique_ptr<Settings> reopen(const QString& path)
{
    return std::make_unique<Settings>(writeFileAt(readBytes(path)));
}

std::unique_ptr<Settings> reopenProgramStore()
{
    return reopen(SettingsStore::fileName());
}

template <int N>
QByteArray bytesOf(const char (&data)[N])
{
    return QByteArray(data, N - 1);
}

QStringList sorted(QStringList list)
{
    list.sort();
    return list;
}

} // namespace

class TestSettingsStore : public QObject
{
    Q_OBJECT

private slots:
    void init();

    void caseInsensitiveKeys_data();
    void caseInsensitiveKeys();
    void caseInsensitiveGroupsAndArrays_data();
    void caseInsensitiveGroupsAndArrays();
    void plainQSettingsKeepsOneSpellingInFile();
    void earlierObjectSeesAnotherObjectsSpelling();

    void valueRoundTrip_data();
    void valueRoundTrip();
    void keyNameRoundTrip_data();
    void keyNameRoundTrip();

    void handWrittenFile_data();
    void handWrittenFile();
    void emptyMissingAndUnreadableSources();

    void fileLocationAndText();
    void installTwiceIsHarmless();
    void objectsOnWorkerThreads();
};

void TestSettingsStore::init()
{
    QSettings settings;
    settings.clear();
    settings.sync();
    QCOMPARE(settings.status(), QSettings::NoError);
}

// --- keys ignoring letter case ---------------------------------------------------

// An object that looked a key up before it existed finds it once another object
// wrote it in another spelling, and loses it once another object removed it.
void TestSettingsStore::earlierObjectSeesAnotherObjectsSpelling()
{
    Settings earlier;
    QVERIFY(!earlier.contains(QStringLiteral("AutoGen/Name")));
    QCOMPARE(earlier.value(QStringLiteral("AutoGen/Name"), QStringLiteral("none")).toString(), QStringLiteral("none"));

    Settings writer;
    writer.setValue(QStringLiteral("autogen/Name"), QStringLiteral("张三"));
    QVERIFY(earlier.contains(QStringLiteral("AutoGen/Name")));
    QCOMPARE(earlier.value(QStringLiteral("AutoGen/Name")).toString(), QStringLiteral("张三"));
    QCOMPARE(earlier.value(QStringLiteral("AUTOGEN/NAME")).toString(), QStringLiteral("张三"));
    // Written back by the earlier object, the key keeps the other's spelling.
    earlier.setValue(QStringLiteral("AutoGen/Other"), 1);
    QCOMPARE(writer.allKeys(), (QStringList{"autogen/Name", "autogen/Other"}));

    writer.remove(QStringLiteral("AutoGen/name"));
    QVERIFY(!earlier.contains(QStringLiteral("AutoGen/Name")));
    QCOMPARE(earlier.allKeys(), QStringList{"autogen/Other"});
}

void TestSettingsStore::caseInsensitiveKeys_data()
{
    QTest::addColumn<QString>("writeKey");
    QTest::addColumn<QString>("readKey");
    QTest::addColumn<QString>("via");

    const QList<QPair<QString, QString>> spellings = {
        {QStringLiteral("autogen/x"), QStringLiteral("AutoGen/x")},
        {QStringLiteral("advertisement"), QStringLiteral("Advertisement")},
        {QStringLiteral("AutoGen/1/Name"), QStringLiteral("autogen/1/NAME")},
        {QStringLiteral("模板/Name"), QStringLiteral("模板/nAME")},
        {QStringLiteral("Ünïcode/Ä"), QStringLiteral("üNÏCODE/ä")},
    };
    for (const char* via : {"same object", "after sync", "new object", "file read afresh"}) {
        for (const auto& pair : spellings) {
            const QByteArray tag = QByteArray(via) + ": " + pair.first.toUtf8() + " -> " + pair.second.toUtf8();
            QTest::newRow(tag.constData()) << pair.first << pair.second << QString::fromLatin1(via);
        }
    }
}

void TestSettingsStore::caseInsensitiveKeys()
{
    QFETCH(QString, writeKey);
    QFETCH(QString, readKey);
    QFETCH(QString, via);

    Settings writer;
    writer.setValue(writeKey, QStringLiteral("first"));
    if (via != QLatin1String("same object"))
        writer.sync();

    std::unique_ptr<Settings> other;
    if (via == QLatin1String("new object"))
        other = std::make_unique<Settings>();
    else if (via == QLatin1String("file read afresh"))
        other = reopenProgramStore();
    Settings& reader = other ? *other : writer;

    QCOMPARE(reader.value(readKey).toString(), QStringLiteral("first"));
    QVERIFY(reader.contains(readKey));
    QVERIFY(reader.contains(readKey.toUpper()));
    QVERIFY(!reader.contains(readKey + QStringLiteral("-other")));
    // The first spelling is kept.
    QCOMPARE(reader.allKeys(), QStringList{writeKey});

    // Rewriting under another spelling replaces the value; still one key.
    reader.setValue(readKey, QStringLiteral("second"));
    reader.sync();
    QCOMPARE(reader.allKeys(), QStringList{writeKey});
    const auto reread = reopen(reader.fileName());
    QCOMPARE(reread->allKeys(), QStringList{writeKey});
    QCOMPARE(reread->value(writeKey).toString(), QStringLiteral("second"));
    QCOMPARE(reread->value(readKey).toString(), QStringLiteral("second"));
    const QString text = QString::fromUtf8(readBytes(reader.fileName()));
    QCOMPARE(text.count(QStringLiteral("=second")), 1);
    QVERIFY(!text.contains(QStringLiteral("first")));

    reread->remove(readKey.toLower());
    QVERIFY(!reread->contains(writeKey));
    QVERIFY(reread->allKeys().isEmpty());
}

void TestSettingsStore::caseInsensitiveGroupsAndArrays_data()
{
    QTest::addColumn<QString>("written");
    QTest::addColumn<QString>("read");

    QTest::newRow("lower then mixed") << QStringLiteral("autogen") << QStringLiteral("AutoGen");
    QTest::newRow("mixed then lower") << QStringLiteral("AutoGen") << QStringLiteral("autogen");
    QTest::newRow("chinese and latin") << QStringLiteral("自动生成Batch") << QStringLiteral("自动生成BATCH");
}

void TestSettingsStore::caseInsensitiveGroupsAndArrays()
{
    QFETCH(QString, written);
    QFETCH(QString, read);
    const QStringList names = {QStringLiteral("甲"), QStringLiteral("second"), QStringLiteral("third")};

    {
        Settings writer;
        writer.beginWriteArray(written);
        for (int i = 0; i < names.size(); ++i) {
            writer.setArrayIndex(i);
            writer.setValue(QStringLiteral("name"), names.at(i));
            writer.setValue(QStringLiteral("Count"), i);
        }
        writer.endArray();
        writer.beginGroup(read.toUpper());
        writer.setValue(QStringLiteral("Extra"), true);
        writer.endGroup();
    }

    const QString text = QString::fromUtf8(readBytes(SettingsStore::fileName()));
    QVERIFY2(text.contains(QLatin1Char('[') + written + QStringLiteral("]\n")), qPrintable(text));
    QVERIFY2(text.contains(QStringLiteral("1\\name=甲\n")), qPrintable(text));
    QVERIFY2(text.contains(QStringLiteral("size=3\n")), qPrintable(text));
    QCOMPARE(text.count(QLatin1Char('[')), 1);

    Settings sameProcess;
    const auto reread = reopenProgramStore();
    for (Settings* reader : {&sameProcess, reread.get()}) {
        QCOMPARE(reader->childGroups(), QStringList{written});
        QCOMPARE(reader->beginReadArray(read), names.size());
        for (int i = 0; i < names.size(); ++i) {
            reader->setArrayIndex(i);
            QCOMPARE(reader->value(QStringLiteral("NAME")).toString(), names.at(i));
            QCOMPARE(reader->value(QStringLiteral("count")).toInt(), i);
        }
        reader->endArray();

        reader->beginGroup(read);
        QCOMPARE(reader->group(), written);
        QCOMPARE(sorted(reader->childGroups()), (QStringList{"1", "2", "3"}));
        QCOMPARE(sorted(reader->childKeys()), (QStringList{"Extra", "size"}));
        QVERIFY(reader->value(QStringLiteral("extra")).toBool());
        reader->beginGroup(QStringLiteral("2"));
        QCOMPARE(sorted(reader->childKeys()), (QStringList{"Count", "name"}));
        reader->endGroup();
        reader->endGroup();
        QVERIFY(reader->contains(read.toLower() + QStringLiteral("/SIZE")));
    }

    Settings& editor = *reread;
    editor.remove(read + QStringLiteral("/2"));
    QVERIFY(!editor.contains(written + QStringLiteral("/2/name")));
    editor.beginGroup(read.toLower());
    QCOMPARE(sorted(editor.childGroups()), (QStringList{"1", "3"}));
    editor.endGroup();
    editor.remove(read.toUpper());
    QVERIFY(editor.childGroups().isEmpty());
    QVERIFY(editor.allKeys().isEmpty());
    editor.sync();
    QVERIFY(!QString::fromUtf8(readBytes(editor.fileName())).contains(written, Qt::CaseInsensitive));
}

void TestSettingsStore::plainQSettingsKeepsOneSpellingInFile()
{
    // Code that uses QSettings directly still cannot leave two spellings of a
    // key in the file; the later value wins.
    {
        QSettings first;
        first.setValue(QStringLiteral("Theme/Color"), QStringLiteral("red"));
    }
    {
        QSettings second;
        second.setValue(QStringLiteral("theme/color"), QStringLiteral("blue"));
    }
    const QString text = QString::fromUtf8(readBytes(SettingsStore::fileName()));
    QCOMPARE(text, QStringLiteral("[Theme]\nColor=blue\n"));

    const auto reread = reopenProgramStore();
    QCOMPARE(reread->allKeys(), QStringList{"Theme/Color"});
    QCOMPARE(reread->value(QStringLiteral("THEME/COLOR")).toString(), QStringLiteral("blue"));
}

// --- values --------------------------------------------------------------------

void TestSettingsStore::valueRoundTrip_data()
{
    QTest::addColumn<QVariant>("value");
    QTest::addColumn<QVariant>("expected"); // what a reader gets back

    auto same = [](const char* tag, const QVariant& value) { QTest::newRow(tag) << value << value; };
    auto asText = [](const char* tag, const QVariant& value, const QString& text) {
        QTest::newRow(tag) << value << QVariant(text);
    };

    same("empty string", QString(""));
    same("spaces at both ends", QStringLiteral("  padded  "));
    same("ideographic spaces at both ends", QStringLiteral("\u3000全角\u3000"));
    same("newlines and tabs", QStringLiteral("line one\nline two\r\n\ttabbed\r"));
    same("backslashes", QStringLiteral("C:\\dir\\file \\n is not a newline \\"));
    same("equals semicolon hash quote", QStringLiteral("a=b; c # d \"quoted\" ="));
    same("leading quote", QStringLiteral("\"starts with a quote"));
    same("quoted whole", QStringLiteral("\"all quoted\""));
    same("chinese", QStringLiteral("塔泉笔，春眠不觉晓。"));
    same("emoji", QStringLiteral("😀 face"));
    same("at sign", QStringLiteral("@home"));
    same("two at signs", QStringLiteral("@@twice"));
    same("marker look-alike", QStringLiteral("@Point(1 2)"));
    static const char16_t controls[] = u"bell\x07 nul\0 sep\u2028 c1\x85 end";
    same("control characters", QString::fromUtf16(controls, int(std::size(controls)) - 1));
    same("lone surrogate", QString(QString(QChar(0xd800)) + QStringLiteral("x")));

    asText("int", 42, QStringLiteral("42"));
    asText("negative int", -7, QStringLiteral("-7"));
    asText("checked state", 2, QStringLiteral("2"));
    asText("unchecked state", 0, QStringLiteral("0"));
    asText("bool true", true, QStringLiteral("true"));
    asText("bool false", false, QStringLiteral("false"));
    asText("double", 3.14159, QStringLiteral("3.14159"));
    asText("tenth", 0.1, QStringLiteral("0.1"));
    asText("tiny double", 1e-300, QStringLiteral("1e-300"));
    asText("infinity", qInf(), QStringLiteral("inf"));
    asText("long long", Q_INT64_C(9007199254740993), QStringLiteral("9007199254740993"));

    same("string list", QStringList{"a", "b, c", "", " d ", "say \"hi\"", "two\nlines", "\\back", "@at"});
    same("empty string list", QStringList{});
    same("one element", QStringList{"only"});
    same("one empty element", QStringList{""});

    same("binary bytes", bytesOf("\0\x01\xff\xfe\\x41 text\n\xe4\xb8"));
    same("utf-8 bytes", QByteArray("中文 bytes \\ slash"));
    same("overlong and surrogate bytes", QByteArray("\xc0\xaf \xed\xa0\x80 \xf4\x90\x80\x80"));
    same("empty bytes", QByteArray(""));

    same("point", QPoint(-3, 7));
    same("size", QSize(640, 480));
    same("rect", QRect(10, -20, 300, 400));

    QTest::newRow("variant list")
        << QVariant(QVariantList{QStringLiteral("a"), 1, QPoint(1, 2), QStringList{"x", "y"}, QStringLiteral("@b")})
        << QVariant(QVariantList{QStringLiteral("a"), QStringLiteral("1"), QPoint(1, 2), QStringList{"x", "y"},
                                 QStringLiteral("@b")});
    same("empty variant list", QVariantList{});

    same("local date time", QDateTime(QDate(2024, 2, 29), QTime(23, 59, 58, 123)));
    same("utc date time", QDateTime(QDate(2000, 1, 1), QTime(0, 0), Qt::UTC));
    same("offset date time", QDateTime(QDate(2023, 6, 1), QTime(8, 30), Qt::OffsetFromUTC, 8 * 3600));
    same("invalid date time", QDateTime());
    same("date", QDate(2023, 1, 2));
    same("time", QTime(1, 2, 3, 4));

    same("map", QVariantMap{{"k", 1}, {"中", QStringLiteral("文")}});
    same("point f", QPointF(1.5, -2.25));
    same("url", QUrl(QStringLiteral("https://example.com/a b?q=中")));
    same("color", QColor(12, 34, 56));
    same("invalid", QVariant());
}

void TestSettingsStore::valueRoundTrip()
{
    QFETCH(QVariant, value);
    QFETCH(QVariant, expected);

    {
        QSettings writer;
        writer.setValue(QStringLiteral("Group/Value"), value);
        writer.setValue(QStringLiteral("Top"), value);
        QCOMPARE(writer.value(QStringLiteral("Top")), value);
    }
    const auto reader = reopenProgramStore();
    QCOMPARE(reader->status(), QSettings::NoError);
    QCOMPARE(reader->allKeys().size(), 2);
    for (const QString& key : {QStringLiteral("Group/Value"), QStringLiteral("Top")}) {
        QVERIFY(reader->contains(key));
        const QVariant back = reader->value(key);
        QCOMPARE(QMetaType::typeName(back.userType()), QMetaType::typeName(expected.userType()));
        QCOMPARE(back, expected);
        if (expected.userType() == QMetaType::QDateTime)
            QCOMPARE(back.toDateTime().offsetFromUtc(), expected.toDateTime().offsetFromUtc());
        if (back.userType() != value.userType()) {
            // Numbers come back as text and convert on demand.
            QVariant converted = back;
            QVERIFY(converted.convert(value.userType()));
            QCOMPARE(converted, value);
        }
    }
}

void TestSettingsStore::keyNameRoundTrip_data()
{
    QTest::addColumn<QString>("key");

    for (const char* key : {"equals=sign", "semi;colon", "#hash", "[bracket]", "per%cent", "%41 looks escaped",
                            "back\\slash", " edge spaces ", "tab\tkey", "中文/子键", "General/inside", "general",
                            "GENERAL/x", "emoji😀/键", "deep/a/b/c/d", "quote\"d", "@at"})
        QTest::newRow(key) << QString::fromUtf8(key);
}

void TestSettingsStore::keyNameRoundTrip()
{
    QFETCH(QString, key);

    {
        QSettings writer;
        writer.setValue(key, QString(QStringLiteral("value of ") + key));
        writer.setValue(QStringLiteral("Plain"), 1);
    }
    const auto reader = reopenProgramStore();
    QCOMPARE(sorted(reader->allKeys()), sorted(QStringList{key, "Plain"}));
    QCOMPARE(reader->value(key).toString(), QStringLiteral("value of ") + key);
}

// --- files written by hand -------------------------------------------------------

void TestSettingsStore::handWrittenFile_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QString>("key");
    QTest::addColumn<QVariant>("expected");  // invalid: the key is absent
    QTest::addColumn<QVariant>("converted"); // invalid: no conversion to check

    const QVariant none;
    QTest::newRow("spaces around equals") << QByteArray("[General]\nLogLevel = 0\n") << "LogLevel" << QVariant("0") << QVariant(0);
    QTest::newRow("int") << QByteArray("[General]\nLogOutputTo=3\n") << "LogOutputTo" << QVariant("3") << QVariant(3);
    QTest::newRow("bool") << QByteArray("[General]\nSuperUser=true\n") << "SuperUser" << QVariant("true") << QVariant(true);
    QTest::newRow("no section") << QByteArray("Name=x\n") << "Name" << QVariant("x") << none;
    QTest::newRow("general in any case") << QByteArray("[general]\nA=1\n") << "A" << QVariant("1") << none;
    QTest::newRow("subkeys with backslash") << QByteArray("[AutoGen]\n1\\Name=甲\n") << "AutoGen/1/Name" << QVariant("甲") << none;
    QTest::newRow("subkeys with slash") << QByteArray("[AutoGen]\n1/Name=乙\n") << "AutoGen/1/Name" << QVariant("乙") << none;
    QTest::newRow("section path") << QByteArray("[A/B]\nc=1\n") << "A/B/c" << QVariant("1") << none;
    QTest::newRow("spaces inside key") << QByteArray("[ AutoGen ]\n 1 \\ Name =丙\n") << "AutoGen/1/Name" << QVariant("丙") << none;
    QTest::newRow("comment lines") << QByteArray("; about\n# more\n[General]\n;Hidden=1\n  #Also=2\nShown=2\n") << "Hidden" << none << none;
    QTest::newRow("after comments") << QByteArray("; about\n[General]\n;Hidden=1\nShown=2\n") << "Shown" << QVariant("2") << none;
    QTest::newRow("semicolon in value") << QByteArray("Path=a;b # c\n") << "Path" << QVariant("a;b # c") << none;
    QTest::newRow("garbage lines") << QByteArray("[General]\nno equals sign\n=novalue\n]]\n[unterminated\nGood=1\n") << "Good" << QVariant("1") << none;
    QTest::newRow("broken header keeps section") << QByteArray("[Sec]\n[broken\nk=v\n") << "Sec/k" << QVariant("v") << none;
    QTest::newRow("quoted value") << QByteArray("Greeting=\"  hi\\tthere  \"\n") << "Greeting" << QVariant("  hi\tthere  ") << none;
    QTest::newRow("unterminated quote") << QByteArray("Q=\"abc\n") << "Q" << QVariant("\"abc") << none;
    QTest::newRow("windows line ends") << QByteArray("[General]\r\nA=1\r\nB=2\r\n") << "B" << QVariant("2") << none;
    QTest::newRow("byte order mark") << QByteArray("\xef\xbb\xbf" "A=1\n") << "A" << QVariant("1") << none;
    QTest::newRow("invalid utf-8") << QByteArray("A=\xff\xfe\nB=2\n") << "B" << QVariant("2") << none;
    QTest::newRow("binary garbage") << bytesOf("\0\x01\x02\xff[\x80\n\0=\0\nGood=yes\n\xfe\xfe") << "Good" << QVariant("yes") << none;
    QTest::newRow("very long line") << QByteArray(QByteArray("Long=") + QByteArray(1 << 20, 'x')) << "Long" << QVariant(QString(1 << 20, QLatin1Char('x'))) << none;
    QTest::newRow("later line wins") << QByteArray("A=1\nA=2\n") << "A" << QVariant("2") << none;
    QTest::newRow("spellings merge") << QByteArray("[AutoGen]\nX=1\n[autogen]\nx=2\n") << "AutoGen/X" << QVariant("2") << none;
    QTest::newRow("empty value") << QByteArray("E=\n") << "E" << QVariant("") << none;
    QTest::newRow("point marker") << QByteArray("P=@Point(3 4)\n") << "P" << QVariant(QPoint(3, 4)) << none;
    QTest::newRow("damaged marker") << QByteArray("P=@Point(3)\n") << "P" << QVariant("@Point(3)") << none;
    QTest::newRow("unknown marker") << QByteArray("U=@Unknown(1)\n") << "U" << QVariant("@Unknown(1)") << none;
    QTest::newRow("bad variant payload") << QByteArray("V=@Variant(!!!)\n") << "V" << QVariant("@Variant(!!!)") << none;
    QTest::newRow("bare string list") << QByteArray("L=@StringList(a, b c)\n") << "L" << QVariant(QStringList{"a", "b c"}) << none;
    QTest::newRow("qt general group") << QByteArray("[%General]\nx=1\n") << "General/x" << QVariant("1") << none;
}

void TestSettingsStore::handWrittenFile()
{
    QFETCH(QByteArray, content);
    QFETCH(QString, key);
    QFETCH(QVariant, expected);
    QFETCH(QVariant, converted);

    QSettings reader(writeFileAt(content), SettingsStore::format());
    QCOMPARE(reader.status(), QSettings::NoError);
    if (!expected.isValid()) {
        QVERIFY(!reader.contains(key));
        return;
    }
    QVERIFY2(reader.contains(key), qPrintable(reader.allKeys().join(QLatin1Char(' '))));
    QCOMPARE(reader.value(key), expected);
    if (converted.isValid()) {
        QVariant back = reader.value(key);
        QVERIFY(back.convert(converted.userType()));
        QCOMPARE(back, converted);
    }
}

void TestSettingsStore::emptyMissingAndUnreadableSources()
{
    QSettings empty(writeFileAt(QByteArray()), SettingsStore::format());
    QVERIFY(empty.allKeys().isEmpty());
    QCOMPARE(empty.status(), QSettings::NoError);

    QSettings missing(freshPath(), SettingsStore::format());
    QVERIFY(missing.allKeys().isEmpty());
    QCOMPARE(missing.status(), QSettings::NoError);

    QSettings::SettingsMap map;
    QBuffer buffer;
    QVERIFY(!SettingsStore::readFile(buffer, map)); // not open
    QVERIFY(buffer.open(QIODevice::WriteOnly));
    QVERIFY(!SettingsStore::readFile(buffer, map));
    buffer.close();
    QVERIFY(buffer.open(QIODevice::ReadOnly));
    QVERIFY(SettingsStore::readFile(buffer, map));
    QVERIFY(map.isEmpty());
    buffer.close();

    QBuffer out;
    QVERIFY(out.open(QIODevice::WriteOnly));
    QVERIFY(SettingsStore::writeFile(out, QSettings::SettingsMap()));
    QVERIFY(out.data().isEmpty());
}

// --- the file itself -------------------------------------------------------------

void TestSettingsStore::fileLocationAndText()
{
    const QString expectedPath =
        TestEnvironment::instance()->configDir() + QStringLiteral("/Quenloft/塔泉笔维德马克.conf");
    QCOMPARE(SettingsStore::fileName(), expectedPath);
    QCOMPARE(QSettings().fileName(), expectedPath);
    QCOMPARE(Settings().fileName(), expectedPath);

    {
        QSettings settings;
        settings.setValue(QStringLiteral("LogLevel"), 0);
        settings.setValue(QStringLiteral("SuperUser"), true);
        settings.setValue(QStringLiteral("模板/名称"), QStringLiteral("春天"));
        settings.setValue(QStringLiteral("AutoGen/1/Name"), QStringLiteral("@home"));
        settings.setValue(QStringLiteral("AutoGen/1/Note"), QStringLiteral(" two\nlines"));
    }
    const QByteArray bytes = readBytes(expectedPath);
    QVERIFY(!bytes.isEmpty());
    QCOMPARE(QString::fromUtf8(bytes).toUtf8(), bytes); // valid UTF-8
    QCOMPARE(QString::fromUtf8(bytes),
             QStringLiteral("[General]\nLogLevel=0\nSuperUser=true\n\n"
                            "[AutoGen]\n1\\Name=@@home\n1\\Note=\" two\\nlines\"\n\n"
                            "[模板]\n名称=春天\n"));

    // QSettings replaces the file in one step (write aside, then rename): a
    // second name for the old file still shows the old text.
    const QString snapshot = TestEnvironment::instance()->root() + QStringLiteral("/snapshot.conf");
    QFile::remove(snapshot);
    QCOMPARE(::link(QFile::encodeName(expectedPath).constData(), QFile::encodeName(snapshot).constData()), 0);
    {
        QSettings settings;
        settings.setValue(QStringLiteral("LogLevel"), 2);
    }
    QCOMPARE(readBytes(snapshot), bytes);
    QVERIFY(readBytes(expectedPath).contains("LogLevel=2\n"));
    QCOMPARE(QDir(QFileInfo(expectedPath).path()).entryList(QDir::Files | QDir::Hidden),
             QStringList{QFileInfo(expectedPath).fileName()});

    // A person's edit is picked up by the program.
    QFile file(expectedPath);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("[General]\nLogLevel = 1\nExtra=yes\n");
    file.close();
    QSettings edited;
    edited.sync();
    QCOMPARE(edited.value(QStringLiteral("LogLevel")).toInt(), 1);
    QCOMPARE(edited.value(QStringLiteral("Extra")).toString(), QStringLiteral("yes"));
}

void TestSettingsStore::installTwiceIsHarmless()
{
    const QSettings::Format format = SettingsStore::format();
    QVERIFY(format != QSettings::NativeFormat && format != QSettings::IniFormat);
    const QString before = QSettings().fileName();
    QSettings().setValue(QStringLiteral("Kept"), QStringLiteral("yes"));

    SettingsStore::install();
    SettingsStore::install();
    QCOMPARE(SettingsStore::format(), format);
    QCOMPARE(QSettings::defaultFormat(), format);
    QCOMPARE(QSettings().fileName(), before);
    QCOMPARE(QSettings().value(QStringLiteral("Kept")).toString(), QStringLiteral("yes"));
    QCOMPARE(reopenProgramStore()->value(QStringLiteral("kept")).toString(), QStringLiteral("yes"));
}

void TestSettingsStore::objectsOnWorkerThreads()
{
    std::atomic<int> failures{0};
    QList<QThread*> threads;
    for (int t = 0; t < 6; ++t) {
        threads << QThread::create([t, &failures] {
            const QString path = freshPath();
            {
                Settings settings(path);
                settings.beginWriteArray(QStringLiteral("Items"));
                for (int i = 0; i < 200; ++i) {
                    settings.setArrayIndex(i);
                    settings.setValue(QStringLiteral("Name"), QStringLiteral("线程%1-%2").arg(t).arg(i));
                    settings.setValue(QStringLiteral("Data"), QByteArray(i % 7, char(i)));
                }
                settings.endArray();
            }
            Settings reader(writeFileAt(readBytes(path)));
            const int size = reader.beginReadArray(QStringLiteral("items"));
            if (size != 200)
                ++failures;
            for (int i = 0; i < size; ++i) {
                reader.setArrayIndex(i);
                if (reader.value(QStringLiteral("name")).toString() != QStringLiteral("线程%1-%2").arg(t).arg(i)
                    || reader.value(QStringLiteral("data")).toByteArray() != QByteArray(i % 7, char(i)))
                    ++failures;
            }
            reader.endArray();
        });
    }
    for (QThread* thread : qAsConst(threads))
        thread->start();
    for (QThread* thread : qAsConst(threads)) {
        QVERIFY(thread->wait(60000));
        delete thread;
    }
    QCOMPARE(failures.load(), 0);
}

TQ_TEST_MAIN(TestSettingsStore)
#include "tst_settingsstore.moc"
