// The text cipher of the remembered accounts: round trips, known ciphertexts,
// tampering, the flag byte, compressed payloads and a seeded mutation run.

#include <QLoggingCategory>
#include <QRandomGenerator>

#include "TestSupport.h"
#include "TextCipher.h"

namespace {

constexpr quint64 Key = Q_UINT64_C(0x0123456789ABCDEF);

QByteArray repetitive(int size)
{
    QByteArray bytes;
    while (bytes.size() < size)
        bytes += "塔泉笔写作助手 ";
    return bytes.left(size);
}

// A ciphertext whose CRC covers `payload` but whose flag byte also claims it is
// compressed: the flag byte stands outside the chained body.
QByteArray forgedCompressed(const QByteArray& payload)
{
    TextCipher cipher(Key);
    cipher.setCompressionMode(TextCipher::CompressNever);
    QByteArray bytes = cipher.encryptBytes(payload);
    bytes[1] = char(TextCipher::FlagCompressed | TextCipher::FlagChecksum);
    return bytes;
}

QByteArray bigEndian(quint32 value)
{
    return QByteArray(1, char(value >> 24)) + char(value >> 16) + char(value >> 8) + char(value);
}

} // namespace

class TextCipherTest : public QObject
{
    Q_OBJECT

private slots:
    void roundTrips_data()
    {
        QTest::addColumn<QByteArray>("plain");
        QTest::addColumn<int>("flags");
        QByteArray binary;
        for (int i = 0; i < 600; ++i)
            binary += char(i * 7 % 256);
        QByteArray random(1024 * 1024, Qt::Uninitialized);
        QRandomGenerator(7).fillRange(reinterpret_cast<quint32*>(random.data()), random.size() / 4);
        QTest::newRow("empty") << QByteArray() << 0x02;
        QTest::newRow("one digit") << QByteArray("1") << 0x02;
        QTest::newRow("ASCII name") << QByteArray("writer_2019") << 0x02;
        QTest::newRow("Chinese") << QString("塔泉笔：写作助手").toUtf8() << 0x02;
        QTest::newRow("long repetitive") << repetitive(5000) << 0x03;
        QTest::newRow("binary with NULs") << binary << 0x03;
        QTest::newRow("1 MiB random") << random << 0x02;
        QTest::newRow("1 MiB repetitive") << repetitive(1024 * 1024) << 0x03;
        QTest::newRow("over 1 MiB stays plain") << repetitive(1024 * 1024 + 1) << 0x02;
    }
    void roundTrips()
    {
        QFETCH(QByteArray, plain);
        QFETCH(int, flags);
        TextCipher cipher(Key);
        const QByteArray first = cipher.encryptBytes(plain);
        QCOMPARE(cipher.lastError(), TextCipher::CipherNoError);
        QCOMPARE(quint8(first.at(0)), quint8(0x03));
        QCOMPARE(int(first.at(1)), flags);
        QCOMPARE(cipher.decryptBytes(first), plain);
        QCOMPARE(cipher.lastError(), TextCipher::CipherNoError);
        // The text form, and a second ciphertext with another lead byte.
        cipher.setFixedLeadByte(quint8(first.at(2) ^ char(Key & 0xFF)) ^ 1);
        const QString text = cipher.encryptText(plain);
        QVERIFY(QByteArray::fromBase64(text.toLatin1()) != first);
        QCOMPARE(cipher.decryptText(text), QString::fromUtf8(plain));
        if (plain.isEmpty())
            QCOMPARE(text.size(), 8);
    }

    void knownAnswers_data()
    {
        QTest::addColumn<quint64>("key");
        QTest::addColumn<int>("lead");
        QTest::addColumn<int>("integrity");
        QTest::addColumn<QByteArray>("plain");
        QTest::addColumn<QByteArray>("cipherHex");
        QTest::newRow("empty") << Key << 0x5A << int(TextCipher::IntegrityChecksum) << QByteArray() << QByteArray("0302b578d3");
        QTest::newRow("abc") << Key << 0x5A << int(TextCipher::IntegrityChecksum) << QByteArray("abc")
                             << QByteArray("0302b5e6688085a3");
        QTest::newRow("Chinese") << Key << 0x5A << int(TextCipher::IntegrityChecksum) << QString("塔泉").toUtf8()
                                 << QByteArray("0302b5b2167abc6da81a7c");
        QTest::newRow("SHA-1") << Key << 0xA5 << int(TextCipher::IntegritySha1) << QByteArray("abc")
                               << QByteArray("03044a2e1cabfaf8dd5dd8af3a9680bdce0d8edfa4f50f2b6a08");
        QTest::newRow("key 0, no check") << quint64(0) << 0 << int(TextCipher::IntegrityNone) << QByteArray("abc")
                                         << QByteArray("030000610360");
    }
    void knownAnswers()
    {
        QFETCH(quint64, key);
        QFETCH(int, lead);
        QFETCH(int, integrity);
        QFETCH(QByteArray, plain);
        QFETCH(QByteArray, cipherHex);
        TextCipher cipher(key);
        cipher.setFixedLeadByte(lead);
        cipher.setIntegrityProtectionMode(TextCipher::IntegrityProtectionMode(integrity));
        QCOMPARE(cipher.encryptBytes(plain).toHex(), cipherHex);
        QCOMPARE(cipher.decryptBytes(QByteArray::fromHex(cipherHex)), plain);
        QCOMPARE(cipher.lastError(), TextCipher::CipherNoError);
        // Base64 is read leniently: characters outside the alphabet are skipped.
        QString text = QString::fromLatin1(QByteArray::fromHex(cipherHex).toBase64());
        text.insert(3, QStringLiteral(" \n*"));
        QCOMPARE(cipher.decryptBytes(text), plain);
    }

    void tamperingAndFailures()
    {
        TextCipher cipher(Key);
        const QByteArray good = cipher.encryptBytes(QByteArray("a user name"));
        for (int position = 0; position < good.size(); ++position) {
            if (position == 1)
                continue; // the flag byte is outside the check (see flagsAndCompressedPayloads)
            QByteArray bad = good;
            bad[position] = char(bad.at(position) ^ 0x20);
            MessageCapture capture;
            QVERIFY2(cipher.decryptBytes(bad).isEmpty(), qPrintable(QString::number(position)));
            QCOMPARE(int(cipher.lastError()), position == 0 ? 2 : 3);
            QCOMPARE(capture.contains("Invalid version or not a cyphertext."), position == 0);
        }
        TextCipher otherKey(Key + 1);
        QVERIFY(otherKey.decryptBytes(good).isEmpty());
        QCOMPARE(otherKey.lastError(), TextCipher::CipherIntegrityFailed);

        // Under three bytes: empty, lastError kept, nothing logged.
        {
            MessageCapture capture;
            QVERIFY(otherKey.decryptText(QStringLiteral("AwI=")).isEmpty());
            QCOMPARE(otherKey.lastError(), TextCipher::CipherIntegrityFailed);
            QVERIFY(capture.entries().isEmpty());
        }
        // No key: both directions fail with a warning; a key of 0 is a key.
        TextCipher noKey;
        MessageCapture capture;
        QVERIFY(noKey.encryptBytes(QByteArray("x")).isEmpty());
        QCOMPARE(noKey.lastError(), TextCipher::CipherNoKey);
        QVERIFY(noKey.decryptBytes(good).isEmpty());
        QCOMPARE(noKey.lastError(), TextCipher::CipherNoKey);
        QCOMPARE(capture.messages().count("No key set."), 2);
        noKey.setKey(0);
        QCOMPARE(noKey.decryptBytes(noKey.encryptBytes(QByteArray("x"))), QByteArray("x"));
    }

    void flagsAndCompressedPayloads()
    {
        TextCipher cipher(Key);
        cipher.setCompressionMode(TextCipher::CompressNever);
        // Both integrity flags: the checksum alone is checked.
        QByteArray both = cipher.encryptBytes(QByteArray("abc"));
        both[1] = char(TextCipher::FlagChecksum | TextCipher::FlagSha1);
        QCOMPARE(cipher.decryptBytes(both), QByteArray("abc"));
        // The SHA-1 flag with a body too short for a digest.
        cipher.setIntegrityProtectionMode(TextCipher::IntegrityNone);
        QByteArray shortSha1 = cipher.encryptBytes(QByteArray("abc"));
        shortSha1[1] = char(TextCipher::FlagSha1);
        QVERIFY(cipher.decryptBytes(shortSha1).isEmpty());
        QCOMPARE(cipher.lastError(), TextCipher::CipherIntegrityFailed);

        // Compressed payloads that pass the checksum but are not qCompress output.
        const QByteArray exact = qCompress(repetitive(4096), 9);
        const QList<QPair<const char*, QByteArray>> bad{
            {"corrupt stream", exact.left(4) + QByteArray(exact.size() - 4, 'x')},
            {"short stream", exact.left(exact.size() / 2)},
            {"length only", bigEndian(100)},
            {"claims 1 MiB + 1", bigEndian(1024 * 1024 + 1) + exact.mid(4)},
            {"claims 4 GiB", bigEndian(0xFFFFFFFFu) + exact.mid(4)},
            {"claims less than it holds", bigEndian(100) + exact.mid(4)},
            {"claims more than it holds", bigEndian(8192) + exact.mid(4)},
            {"bomb", bigEndian(1024 * 1024) + qCompress(QByteArray(64 * 1024 * 1024, 'a'), 9).mid(4)},
        };
        for (const auto& row : bad) {
            QVERIFY2(cipher.decryptBytes(forgedCompressed(row.second)).isEmpty(), row.first);
            QCOMPARE(cipher.lastError(), TextCipher::CipherIntegrityFailed);
        }
        // What qCompress makes of an empty text is an empty text.
        QCOMPARE(cipher.decryptBytes(forgedCompressed(qCompress(QByteArray()))), QByteArray());
        QCOMPARE(cipher.lastError(), TextCipher::CipherNoError);
        QCOMPARE(cipher.decryptBytes(forgedCompressed(exact)), repetitive(4096));
    }

    // 100,000 damaged ciphertexts and random strings: never a crash, and an empty
    // result whenever decryption reports a failure.
    void seededMutations()
    {
        QLoggingCategory::setFilterRules(QStringLiteral("default.warning=false"));
        QRandomGenerator random(20190723);
        TextCipher cipher(Key);
        QList<QByteArray> seeds;
        for (const QByteArray& plain : {QByteArray(), QByteArray("1"), QByteArray("name"), repetitive(3000)}) {
            for (int mode = 0; mode < 3; ++mode) {
                cipher.setIntegrityProtectionMode(TextCipher::IntegrityProtectionMode(mode));
                seeds << cipher.encryptBytes(plain);
            }
        }
        seeds << forgedCompressed(bigEndian(0x7FFFFFFF) + QByteArray(40, 'z'));
        cipher.setIntegrityProtectionMode(TextCipher::IntegrityChecksum);

        int failures = 0;
        for (int round = 0; round < 100000; ++round) {
            QByteArray bytes = seeds.at(random.bounded(seeds.size()));
            switch (random.bounded(6)) {
            case 0:
                for (int flips = 1 + random.bounded(3); flips > 0; --flips) {
                    const int position = random.bounded(bytes.size());
                    bytes[position] = char(bytes.at(position) ^ (1 << random.bounded(8)));
                }
                break;
            case 1:
                bytes.truncate(random.bounded(bytes.size() + 1));
                break;
            case 2:
                for (int extra = 1 + random.bounded(16); extra > 0; --extra)
                    bytes += char(random.bounded(256));
                break;
            case 3:
                bytes[1] = char(random.bounded(256));
                break;
            case 4: {
                bytes = QByteArray(random.bounded(64), Qt::Uninitialized);
                for (char& byte : bytes)
                    byte = char(random.bounded(256));
                if (!bytes.isEmpty() && random.bounded(2))
                    bytes[0] = 0x03;
                break;
            }
            default: {
                QString text;
                for (int length = random.bounded(48); length > 0; --length)
                    text += QChar(random.bounded(32, 127));
                const QString plain = cipher.decryptText(text);
                if (cipher.lastError() != TextCipher::CipherNoError)
                    QVERIFY(plain.isEmpty());
                continue;
            }
            }
            const int before = cipher.lastError();
            const QByteArray plain = cipher.decryptBytes(bytes);
            QVERIFY(cipher.lastError() >= 0 && cipher.lastError() <= 3);
            if (bytes.size() < 3)
                QCOMPARE(int(cipher.lastError()), before);
            else if (cipher.lastError() != TextCipher::CipherNoError)
                ++failures;
            if (cipher.lastError() != TextCipher::CipherNoError || bytes.size() < 3)
                QVERIFY(plain.isEmpty());
            QVERIFY(plain.size() <= int(TextCipher::MaxUncompressedSize));
        }
        QLoggingCategory::setFilterRules(QString());
        QVERIFY(failures > 50000);
    }
};

TQ_TEST_MAIN(TextCipherTest)
#include "tst_textcipher.moc"
