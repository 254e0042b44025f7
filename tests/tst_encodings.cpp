// The encodings module: codec lookup, marks, strict validators, encodability,
// detection of plain-text files, and decode/encode/line-end handling.

#include <QLoggingCategory>
#include <QTextCodec>

#include <cstdio>

#include "TestSupport.h"
#include "TextEncoding.h"

namespace {

QByteArray big5(const QString& text)
{
    return QTextCodec::codecForName("Big5")->fromUnicode(text);
}

// The characters a codec gives for the two-byte codes from `first` to `last`
// whose trail bytes lie in the ranges given.
QString commonCharacters(const char* codecName, int first, int last, QList<QPair<int, int>> trails)
{
    QByteArray pairs;
    for (int code = first; code <= last; ++code)
        for (const auto& range : trails)
            if ((code & 0xFF) >= range.first && (code & 0xFF) <= range.second)
                pairs.append(char(code >> 8)).append(char(code & 0xFF));
    return QTextCodec::codecForName(codecName)->toUnicode(pairs);
}

// Drops the debug lines of code run many thousand times.
class QuietDebug
{
public:
    QuietDebug()
        : m_previous(qInstallMessageHandler([](QtMsgType type, const QMessageLogContext&, const QString& message) {
            if (type != QtDebugMsg)
                fprintf(stderr, "%s\n", qPrintable(message));
        }))
    {
        QLoggingCategory::setFilterRules(QStringLiteral("default.debug=false"));
    }
    ~QuietDebug()
    {
        QLoggingCategory::setFilterRules(QString());
        qInstallMessageHandler(m_previous);
    }

private:
    QtMessageHandler m_previous;
};

} // namespace

class EncodingsTest : public QObject
{
    Q_OBJECT

private slots:
    // Texts of 1 to 40 characters drawn from the common characters (GB2312 level 1,
    // or Big5 level 1 for traditional text), with and without ASCII and
    // punctuation, with CR LF or LF line ends, written as a save writes them and
    // read back as an open reads them, come back unchanged. Ties go to GB18030, so
    // Big5 text whose every character also spells a common simplified character is
    // read as GB18030: such texts are counted, never more than chance allows.
    void savedTextReopensUnchanged_data()
    {
        QTest::addColumn<QString>("encoding");
        QTest::addColumn<bool>("bom");
        QTest::newRow("GB18030") << "GB18030" << false;
        QTest::newRow("UTF-8") << "UTF-8" << false;
        QTest::newRow("UTF-8 with mark") << "UTF-8" << true;
        QTest::newRow("Big5") << "Big5" << false;
    }
    void savedTextReopensUnchanged()
    {
        QFETCH(QString, encoding);
        QFETCH(bool, bom);
        const bool traditional = encoding == QLatin1String("Big5");
        const QString hanzi = traditional ? commonCharacters("Big5", 0xA440, 0xC67E, {{0x40, 0x7E}, {0xA1, 0xFE}})
                                          : commonCharacters("GB18030", 0xB0A1, 0xD7F9, {{0xA1, 0xFE}});
        QCOMPARE(hanzi.size(), traditional ? 5401 : 3755);
        const QString punctuation = traditional ? QStringLiteral("，。、；：？！「」『』（）—…")
                                                : QStringLiteral("，。、；：？！“”‘’（）《》—…");
        const QString ascii = QStringLiteral("abcxyzABC019 .,;:!?()-_/");
        const int samples = 100000;
        int ambiguous = 0;
        QMap<int, int> ambiguousByLength;
        QStringList oneCharacter;
        QuietDebug quiet;
        quint32 state = 20240611u;
        auto next = [&state](quint32 range) {
            state = state * 1664525u + 1013904223u;
            return (state >> 8) % range;
        };
        for (int i = 0; i < samples; ++i) {
            const int length = 1 + int(next(40));
            const bool withAscii = next(2);
            const bool withPunctuation = next(2);
            const QString lineEnd = next(2) ? QStringLiteral("\r\n") : QStringLiteral("\n");
            QString text;
            for (int k = 0; k < length; ++k) {
                const quint32 kind = next(10);
                if (withAscii && kind == 0)
                    text += ascii.at(int(next(quint32(ascii.size()))));
                else if (withAscii && kind == 1)
                    text += lineEnd;
                else if (withPunctuation && kind == 2)
                    text += punctuation.at(int(next(quint32(punctuation.size()))));
                else
                    text += hanzi.at(int(next(quint32(hanzi.size()))));
            }
            const QByteArray bytes = TextEncoding::encode(text, encoding, bom);
            TextEncoding::Detection detection;
            bool lossless = false;
            const QString read = TextEncoding::normalizeLineEnds(TextEncoding::detectAndDecode(bytes, &detection, &lossless));
            const QString expected = TextEncoding::normalizeLineEnds(text);
            // Pure ASCII is the same in every candidate; it opens in the default.
            const bool sameEncoding = detection.encoding == encoding || bytes.size() == text.size();
            if (read == expected && sameEncoding && lossless)
                continue;
            if (traditional) {
                // Only a text that reads as common simplified characters may be taken for GB18030.
                QCOMPARE(detection.encoding, QString("GB18030"));
                const TextEncoding::Plausibility gb = TextEncoding::plausibility(read, "GB18030");
                QCOMPARE(gb.plausible, gb.total);
                ++ambiguous;
                ++ambiguousByLength[length];
                continue;
            }
            QVERIFY2(length == 1, qPrintable(QStringLiteral("%1 read as %2: %3").arg(QString::fromLatin1(text.toUtf8().toPercentEncoding()), detection.encoding, QString::fromLatin1(read.toUtf8().toPercentEncoding()))));
            oneCharacter << text;
        }
        if (!oneCharacter.isEmpty())
            qInfo() << "one-character texts read otherwise:" << oneCharacter;
        if (traditional) {
            qInfo() << "Big5 texts read as GB18030:" << ambiguous << "of" << samples << ", by length:"
                    << ambiguousByLength;
            QVERIFY(ambiguous < samples / 20);
        }
    }
    void codecLookupIsNullSafe()
    {
        QVERIFY(!TextEncoding::codec(QString()));
        QVERIFY(!TextEncoding::codec(""));
        QVERIFY(!TextEncoding::codec("no-such-encoding"));
        QVERIFY(!TextEncoding::isKnown("no-such-encoding"));
        for (const char* name : {"GB18030", "GB2312", "UTF-8", "Big5", "Big5-HKSCS", "UTF-16LE", "UTF-16BE"})
            QVERIFY2(TextEncoding::codec(name), name);
        // Unknown names never crash the helpers that take a name.
        QVERIFY(TextEncoding::decode("abc", "no-such-encoding").isNull());
        QVERIFY(TextEncoding::encode("abc", "no-such-encoding", true).isEmpty());
        QVERIFY(!TextEncoding::isValid("abc", "no-such-encoding"));
        QCOMPARE(TextEncoding::firstUnencodable("abc", "no-such-encoding"), 0);
        QCOMPARE(TextEncoding::firstUnencodable(QString(), "no-such-encoding"), -1);
    }

    void byteOrderMarks_data()
    {
        QTest::addColumn<QByteArray>("data");
        QTest::addColumn<QString>("encoding");
        QTest::addColumn<int>("length");
        QTest::newRow("UTF-8") << QByteArray("\xEF\xBB\xBFx") << "UTF-8" << 3;
        QTest::newRow("UTF-16LE") << QByteArray("\xFF\xFEx\0", 4) << "UTF-16LE" << 2;
        QTest::newRow("UTF-16BE") << QByteArray("\xFE\xFF\0x", 4) << "UTF-16BE" << 2;
        QTest::newRow("half a UTF-8 mark") << QByteArray("\xEF\xBB") << "" << 0;
        QTest::newRow("none") << QByteArray("abc") << "" << 0;
        QTest::newRow("empty") << QByteArray() << "" << 0;
    }
    void byteOrderMarks()
    {
        QFETCH(QByteArray, data);
        QFETCH(QString, encoding);
        QFETCH(int, length);
        int found = -1;
        QCOMPARE(TextEncoding::bomEncoding(data, &found), encoding);
        QCOMPARE(found, length);
        QCOMPARE(TextEncoding::hasUtf8Bom(data), encoding == "UTF-8");
        if (!encoding.isEmpty()) {
            QCOMPARE(TextEncoding::byteOrderMark(encoding), data.left(length));
            QCOMPARE(TextEncoding::bomLengthFor(data, encoding), length);
        }
        QCOMPARE(TextEncoding::bomLengthFor(data, "GB18030"), 0);
        QVERIFY(TextEncoding::byteOrderMark("GB18030").isEmpty());
        QVERIFY(TextEncoding::byteOrderMark("Big5").isEmpty());
    }

    void utf8Validator_data()
    {
        QTest::addColumn<QByteArray>("data");
        QTest::addColumn<bool>("valid");
        QTest::addColumn<bool>("nonAscii");
        QTest::newRow("empty") << QByteArray() << true << false;
        QTest::newRow("ASCII") << QByteArray("plain text, long enough for the 8-byte path\n") << true << false;
        QTest::newRow("CJK") << QString("中文测试搜索").toUtf8() << true << true;
        QTest::newRow("4-byte U+20000") << QString::fromUcs4(U"\U00020000").toUtf8() << true << true;
        QTest::newRow("U+10FFFF") << QByteArray("\xF4\x8F\xBF\xBF") << true << true;
        QTest::newRow("NBSP") << QByteArray("a\xC2\xA0" "b") << true << true;
        QTest::newRow("overlong slash") << QByteArray("\xC0\xAF") << false << true;
        QTest::newRow("overlong 3-byte") << QByteArray("\xE0\x80\xAF") << false << true;
        QTest::newRow("overlong 4-byte") << QByteArray("\xF0\x80\x80\xAF") << false << true;
        QTest::newRow("surrogate") << QByteArray("\xED\xA0\x80") << false << true;
        QTest::newRow("above U+10FFFF") << QByteArray("\xF4\x90\x80\x80") << false << true;
        QTest::newRow("F5 lead") << QByteArray("\xF5\x80\x80\x80") << false << true;
        QTest::newRow("lone continuation") << QByteArray("ab\x80") << false << true;
        QTest::newRow("truncated at end") << QString("中文").toUtf8().chopped(1) << false << true;
        QTest::newRow("truncated before ASCII") << QByteArray("\xE4\xB8" "abcdefghij") << false << true;
        QTest::newRow("GB18030 bytes") << gb18030("中文测试搜索") << false << true;
        QTest::newRow("non-ASCII after 8-byte ASCII run") << QByteArray("abcdefghijklmnop") + QString("好").toUtf8() << true << true;
    }
    void utf8Validator()
    {
        QFETCH(QByteArray, data);
        QFETCH(bool, valid);
        QFETCH(bool, nonAscii);
        bool sawNonAscii = false;
        QCOMPARE(TextEncoding::isValidUtf8(data, &sawNonAscii), valid);
        if (valid)
            QCOMPARE(sawNonAscii, nonAscii);
        QCOMPARE(TextEncoding::isValid(data, "UTF-8"), valid);
    }

    void gb18030Validator_data()
    {
        QTest::addColumn<QByteArray>("data");
        QTest::addColumn<bool>("gb18030");
        QTest::addColumn<bool>("gbk");
        QTest::newRow("ASCII") << QByteArray("abc") << true << true;
        QTest::newRow("two-byte CJK") << gb18030("中文，测试。") << true << true;
        QTest::newRow("four-byte NBSP") << gb18030(QString(QChar(0x00A0))) << true << false;
        QTest::newRow("four-byte U+20000") << gb18030(QString::fromUcs4(U"\U00020000")) << true << false;
        QTest::newRow("four-byte U+10FFFF") << gb18030(QString::fromUcs4(U"\U0010FFFF")) << true << false;
        QTest::newRow("four-byte past U+10FFFF") << QByteArray("\xE3\x32\x9A\x36") << false << false;
        QTest::newRow("four-byte unassigned gap") << QByteArray("\x85\x30\x81\x30") << false << false;
        QTest::newRow("lone 0x80") << QByteArray("\x80") << false << false;
        QTest::newRow("lone 0xFF") << QByteArray("a\xFF") << false << false;
        QTest::newRow("lead at end") << QByteArray("ab\xD6") << false << false;
        QTest::newRow("bad trail 0x7F") << QByteArray("\xD6\x7F") << false << false;
        QTest::newRow("bad trail 0xFF") << QByteArray("\xD6\xFF") << false << false;
        QTest::newRow("truncated four-byte") << QByteArray("\x81\x30\x81") << false << false;
        // UTF-8 of 中文测试搜 leaves an unpaired byte before the line end.
        QTest::newRow("UTF-8 bytes, odd") << QString("中文测试搜\n").toUtf8() << false << false;
    }
    void gb18030Validator()
    {
        QFETCH(QByteArray, data);
        QFETCH(bool, gb18030);
        QFETCH(bool, gbk);
        QCOMPARE(TextEncoding::isValidGb18030(data.constData(), data.size()), gb18030);
        QCOMPARE(TextEncoding::isValid(data, "GB18030"), gb18030);
        QCOMPARE(TextEncoding::isValidGbk(data.constData(), data.size()), gbk);
        QCOMPARE(TextEncoding::isValid(data, "GB2312"), gbk);
    }

    // Every byte string the validator accepts decodes without a replacement character.
    void gb18030ValidMeansLossless()
    {
        QTextCodec* codec = QTextCodec::codecForName("GB18030");
        int checked = 0;
        for (uint linear = 0; linear < 1300000; linear += 97) {
            uint rest = linear;
            const char b4 = char(0x30 + rest % 10);
            rest /= 10;
            const char b3 = char(0x81 + rest % 126);
            rest /= 126;
            const char b2 = char(0x30 + rest % 10);
            rest /= 10;
            if (rest > 0x7D)
                break;
            const char bytes[4] = {char(0x81 + rest), b2, b3, b4};
            const QByteArray code(bytes, 4);
            const QString text = codec->toUnicode(code);
            const bool replaced = text.contains(QChar(0xFFFD)) && linear != 39417; // 39417 is U+FFFD itself
            QCOMPARE(TextEncoding::isValidGb18030(code.constData(), 4), !replaced);
            ++checked;
        }
        QVERIFY(checked > 10000);
    }

    // The table-driven GB18030 conversion agrees with the system codec on
    // every valid input, both ways.
    void gb18030TablesMatchTheCodec()
    {
        QTextCodec* codec = QTextCodec::codecForName("GB18030");
        QByteArray pairs;
        for (int lead = 0x81; lead <= 0xFE; ++lead)
            for (int trail = 0x40; trail <= 0xFE; ++trail)
                if (trail != 0x7F)
                    pairs.append(char(lead)).append(char(trail)).append('\n');
        bool lossless = false;
        QCOMPARE(TextEncoding::decode(pairs, "GB18030", 0, &lossless), codec->toUnicode(pairs));
        QVERIFY(lossless);

        QString all;
        for (uint u = 1; u <= 0xFFFF; ++u)
            if (u < 0xD800 || u > 0xDFFF)
                all.append(QChar(ushort(u)));
        for (uint u = 0x10000; u <= 0x10FFFF; u += 0x3FF)
            all.append(QString::fromUcs4(&u, 1));
        const QByteArray encoded = TextEncoding::encode(all, "GB18030", false);
        QCOMPARE(encoded, codec->fromUnicode(all));
        QCOMPARE(TextEncoding::decode(encoded, "GB18030", 0, &lossless), all);
        QVERIFY(lossless);
    }

    void gb18030DecodingReportsLoss_data()
    {
        QTest::addColumn<QByteArray>("data");
        QTest::addColumn<QString>("text");
        const QString r(QChar::ReplacementCharacter);
        QTest::newRow("lone 0x80") << QByteArray("a\x80z") << "a" + r + "z";
        QTest::newRow("lone 0xFF") << QByteArray("a\xFFz") << "a" + r + "z";
        QTest::newRow("bad trail keeps the ASCII") << QByteArray("\xD6\x7Fz") << r + "\x7Fz";
        // The system codec silently drops these last bytes.
        QTest::newRow("lead at end") << QByteArray("ab\xD6") << "ab" + r;
        QTest::newRow("truncated four-byte") << QByteArray("\x81\x30\x81") << r + "0" + r;
        QTest::newRow("unassigned four-byte") << QByteArray("\x85\x30\x81\x30z") << r + "z";
    }
    void gb18030DecodingReportsLoss()
    {
        QFETCH(QByteArray, data);
        QFETCH(QString, text);
        bool lossless = true;
        QCOMPARE(TextEncoding::decode(data, "GB18030", 0, &lossless), text);
        QVERIFY(!lossless);
    }

    // detectAndDecode is detect() plus decode(), on fixed and random inputs.
    void detectAndDecodeAgrees()
    {
        QList<QByteArray> inputs = {QByteArray(), "abc", "\xEF\xBB\xBF", QString("中文").toUtf8(), gb18030("中文"),
                                    QByteArray("\xFF\xFE\x2D\x4E", 4), QByteArray("\xFF\xFE\x2D", 3),
                                    QString("中文测试搜").toUtf8().chopped(1)};
        // A long valid prefix with the fault far past the first 64 KiB.
        inputs << QString(30000, QChar(0x4E2D)).toUtf8() + "\xFF";
        inputs << QByteArray(70000, 'a') + QString("好").toUtf8();
        quint32 state = 7;
        for (int i = 0; i < 3000; ++i) {
            QByteArray random;
            const int length = int(state % 12);
            for (int k = 0; k < length; ++k) {
                state = state * 1664525u + 1013904223u;
                const int r = int(state >> 24);
                random.append(char(r % 3 == 0 ? 'a' + r % 26 : 0x80 + r % 128));
            }
            state = state * 1664525u + 1013904223u;
            inputs << random;
        }
        for (const QByteArray& data : inputs) {
            TextEncoding::Detection detection;
            bool lossless = false;
            const QString text = TextEncoding::detectAndDecode(data, &detection, &lossless);
            const TextEncoding::Detection expected = TextEncoding::detect(data);
            QCOMPARE(detection.encoding, expected.encoding);
            QCOMPARE(detection.bomLength, expected.bomLength);
            bool expectedLossless = false;
            QCOMPARE(text, TextEncoding::decode(data, expected.encoding, expected.bomLength, &expectedLossless));
            QCOMPARE(lossless, expectedLossless);
            QCOMPARE(lossless, TextEncoding::isValid(data, expected.encoding));
        }
    }

    // The one-pass encoder of a document's text gives the bytes of the two-pass
    // way (line ends first, then encoding) and finds the same first character the
    // encoding cannot hold, on random texts with paragraph ends, frame marks,
    // surrogates (paired and lone), no-break spaces and CJK.
    void documentTextEncodesInOnePass()
    {
        const QVector<ushort> pool = {'a', ' ', 0x2029, 0xFDD0, 0xFDD1, 0xA0, 0x4E2D, 0x570B, 0x00E9, 0x3002,
                                      0xD840, 0xDC00, 0xFFFD, '\r', 0x2028};
        quint32 state = 5;
        auto next = [&state](int range) {
            state = state * 1664525u + 1013904223u;
            return int((state >> 8) % quint32(range));
        };
        for (int round = 0; round < 3000; ++round) {
            QString raw;
            for (int i = next(30); i > 0; --i) {
                if (next(4) == 0) { // a proper pair
                    raw += QChar(0xD840);
                    raw += QChar(0xDC00 + next(0x400));
                } else {
                    raw += QChar(pool.at(next(pool.size())));
                }
            }
            const QString crlf = TextEncoding::plainTextWithCrLf(raw);
            for (const char* name : {"GB18030", "UTF-8", "Big5"}) {
                for (const bool bom : {false, true}) {
                    int unencodable = -2;
                    const QByteArray bytes = TextEncoding::encodeDocumentText(raw, name, bom, &unencodable);
                    const int expected = TextEncoding::firstUnencodable(crlf, name);
                    if (expected < 0) {
                        QCOMPARE(unencodable, -1);
                        QCOMPARE(bytes, TextEncoding::encode(crlf, name, bom));
                    } else {
                        QVERIFY(bytes.isEmpty());
                        QVERIFY(unencodable >= 0);
                        QCOMPARE(TextEncoding::plainTextWithCrLf(raw.left(unencodable)).size(), expected);
                    }
                }
            }
        }
    }

    void big5Validator_data()
    {
        QTest::addColumn<QByteArray>("data");
        QTest::addColumn<bool>("valid");
        QTest::newRow("traditional") << big5("中國，測試") << true;
        QTest::newRow("ASCII") << QByteArray("abc") << true;
        QTest::newRow("trail 0x80 (GBK only)") << QByteArray("\xA4\x80") << false;
        QTest::newRow("four-byte GB18030") << QByteArray("\x81\x30\x81\x30") << false;
        QTest::newRow("lead at end") << QByteArray("\xA4") << false;
    }
    void big5Validator()
    {
        QFETCH(QByteArray, data);
        QFETCH(bool, valid);
        QCOMPARE(TextEncoding::isValidBig5(data.constData(), data.size()), valid);
        QCOMPARE(TextEncoding::isValid(data, "Big5"), valid);
        QCOMPARE(TextEncoding::isValid(data, "Big5-HKSCS"), valid);
    }

    void utf16Validator_data()
    {
        QTest::addColumn<QByteArray>("data");
        QTest::addColumn<bool>("valid");
        QTest::newRow("LE with mark") << QByteArray("\xFF\xFE\x2D\x4E", 4) << true;
        QTest::newRow("BE with mark") << QByteArray("\xFE\xFF\x4E\x2D", 4) << true;
        QTest::newRow("pair") << QByteArray("\xFF\xFE\x40\xD8\x00\xDC", 6) << true;
        QTest::newRow("no mark") << QByteArray("\x2D\x4E", 2) << false;
        QTest::newRow("odd length") << QByteArray("\xFF\xFE\x2D", 3) << false;
        QTest::newRow("lone high") << QByteArray("\xFF\xFE\x40\xD8", 4) << false;
        QTest::newRow("lone low") << QByteArray("\xFF\xFE\x00\xDC", 4) << false;
    }
    void utf16Validator()
    {
        QFETCH(QByteArray, data);
        QFETCH(bool, valid);
        QCOMPARE(TextEncoding::isValidUtf16WithBom(data), valid);
    }

    void encodability_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("encoding");
        QTest::addColumn<int>("first");
        QTest::newRow("Big5 simplified") << QString("中国") << "Big5" << 1;
        QTest::newRow("Big5 traditional") << QString("中國") << "Big5" << -1;
        QTest::newRow("GBK emoji") << QString::fromUcs4(U"ab\U0001F600") << "GB2312" << 2;
        QTest::newRow("GBK NBSP") << QString("a") + QChar(0xA0) << "GB2312" << 1;
        QTest::newRow("GB18030 emoji") << QString::fromUcs4(U"ab\U0001F600") << "GB18030" << -1;
        QTest::newRow("UTF-8 anything") << QString::fromUcs4(U"中\U00020000") << "UTF-8" << -1;
        QTest::newRow("lone surrogate") << QString("a") + QChar(0xD800) + "b" << "UTF-8" << 1;
        // The search narrows down in chunks: find a late character exactly.
        QTest::newRow("late in a long text") << QString(10000, QChar(0x4E2D)) + QString("国") << "Big5" << 10000;
    }
    void encodability()
    {
        QFETCH(QString, text);
        QFETCH(QString, encoding);
        QFETCH(int, first);
        QCOMPARE(TextEncoding::firstUnencodable(text, encoding), first);
        QCOMPARE(TextEncoding::canEncode(text, encoding), first < 0);
    }

    void detection_data()
    {
        QTest::addColumn<QByteArray>("data");
        QTest::addColumn<QString>("encoding");
        QTest::addColumn<int>("bomLength");
        QTest::newRow("UTF-8 with mark") << QByteArray("\xEF\xBB\xBF") + QString("中文").toUtf8() << "UTF-8" << 3;
        QTest::newRow("UTF-8 mark, ASCII") << QByteArray("\xEF\xBB\xBF" "abc") << "UTF-8" << 3;
        QTest::newRow("UTF-8 without mark") << QString("中文测试搜索").toUtf8() << "UTF-8" << 0;
        QTest::newRow("UTF-8 odd line") << QString("中文测试搜\n中文,测试。\n").toUtf8() << "UTF-8" << 0;
        QTest::newRow("ASCII") << QByteArray("plain\r\n") << "GB18030" << 0;
        QTest::newRow("empty") << QByteArray() << "GB18030" << 0;
        QTest::newRow("GB18030") << gb18030("中文测试搜索") << "GB18030" << 0;
        QTest::newRow("GB18030 four-byte") << gb18030(QString::fromUcs4(U"\U00020000")) << "GB18030" << 0;
        QTest::newRow("UTF-16LE") << QByteArray("\xFF\xFE\x2D\x4E\x0A\x00", 6) << "UTF-16LE" << 2;
        QTest::newRow("UTF-16BE") << QByteArray("\xFE\xFF\x4E\x2D", 4) << "UTF-16BE" << 2;
        QTest::newRow("UTF-16 mark, odd length") << QByteArray("\xFF\xFE\x2D", 3) << "GB18030" << 0;
        QTest::newRow("Latin-1 bytes") << QByteArray("caf\xE9") << "GB18030" << 0;
    }
    void detection()
    {
        QFETCH(QByteArray, data);
        QFETCH(QString, encoding);
        QFETCH(int, bomLength);
        const TextEncoding::Detection detected = TextEncoding::detect(data);
        QCOMPARE(detected.encoding, encoding);
        QCOMPARE(detected.bomLength, bomLength);
        QCOMPARE(detected.hasBom(), bomLength > 0);
    }

    void decodeAndEncodeKeepMarksExplicit_data()
    {
        QTest::addColumn<QString>("encoding");
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("bom");
        const QString sample = QString::fromUcs4(U"中文\U00020000 a") + QChar(0xA0) + QChar(0xFEFF) + "z";
        QTest::newRow("UTF-8 with mark") << "UTF-8" << sample << true;
        QTest::newRow("UTF-8 without mark") << "UTF-8" << sample << false;
        QTest::newRow("GB18030") << "GB18030" << sample << false;
        QTest::newRow("GB18030 never gets a mark") << "GB18030" << sample << true;
        QTest::newRow("UTF-16LE") << "UTF-16LE" << sample << true;
        QTest::newRow("UTF-16BE") << "UTF-16BE" << sample << true;
        QTest::newRow("Big5") << "Big5" << QString("中國") << true;
    }
    void decodeAndEncodeKeepMarksExplicit()
    {
        QFETCH(QString, encoding);
        QFETCH(QString, text);
        QFETCH(bool, bom);
        const QByteArray bytes = TextEncoding::encode(text, encoding, bom);
        const QByteArray mark = TextEncoding::byteOrderMark(encoding);
        QCOMPARE(bytes.startsWith(mark) && !mark.isEmpty(), bom && !mark.isEmpty());
        const int skip = TextEncoding::bomLengthFor(bytes, encoding);
        // A U+FEFF inside the text stays text; only the leading mark is skipped.
        QCOMPARE(TextEncoding::decode(bytes, encoding, skip), text);
        QVERIFY(TextEncoding::isValid(bytes, encoding));
    }

    void lineEnds_data()
    {
        QTest::addColumn<QString>("input");
        QTest::addColumn<QString>("output");
        QTest::newRow("LF") << "a\nb\n" << "a\nb\n";
        QTest::newRow("CR LF") << "a\r\nb\r\n" << "a\nb\n";
        QTest::newRow("CR only") << "a\rb\r" << "a\nb\n";
        QTest::newRow("mixed") << "a\r\r\nb\n\rc" << "a\n\nb\n\nc";
        QTest::newRow("CR at end") << "x\r" << "x\n";
        QTest::newRow("none") << "abc" << "abc";
        QTest::newRow("empty") << "" << "";
    }
    void lineEnds()
    {
        QFETCH(QString, input);
        QFETCH(QString, output);
        QCOMPARE(TextEncoding::normalizeLineEnds(input), output);
    }

    void logAndDefaultEncodings()
    {
        QCOMPARE(TextEncoding::logEncoding(), QString("UTF-8"));
        QCOMPARE(TextEncoding::defaultEncoding(), QString("GB18030"));
        QVERIFY(TextEncoding::isUtf8("utf-8") && TextEncoding::isUtf8("UTF8"));
        QVERIFY(TextEncoding::isUtf16("UTF-16LE") && TextEncoding::isUtf16("utf-16be") && !TextEncoding::isUtf16("UTF-8"));
    }
};

TQ_TEST_MAIN(EncodingsTest)
#include "tst_encodings.moc"
