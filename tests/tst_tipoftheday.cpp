// The tip-of-the-day wizard: which lines become tips, its pages, and the
// "以后不再提示" box that writes ShowTipOfTheDay at once.

#include <QCheckBox>

#include "SettingsStore.h"
#include "TestSupport.h"
#include "TipOfTheDayWizard.h"
#include "TipWizardPage.h"

namespace {

QList<TipWizardPage*> tipPages(const QWizard& wizard)
{
    QList<TipWizardPage*> pages;
    for (int id : wizard.pageIds())
        if (auto* page = qobject_cast<TipWizardPage*>(wizard.page(id)))
            pages << page;
    return pages;
}

int storedShowTip()
{
    return Settings().value("ShowTipOfTheDay", -1).toInt();
}

} // namespace

class TipOfTheDayTest : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        QVERIFY(enterTestWorkFolder());
        Settings().remove("ShowTipOfTheDay");
    }
    void cleanup() { QDir::setCurrent(TestEnvironment::instance()->workDir()); }

    void whichLinesAreTips_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QStringList>("tips");
        QTest::newRow("comment, short, long") << QByteArray("# 注释行也足够长了吧\n12345\n12345678\n")
                                             << QStringList{"12345678"};
        QTest::newRow("characters, not bytes") << QByteArray("一二三四五六七\n一二三四五六七八\n")
                                              << QStringList{"一二三四五六七八"};
        QTest::newRow("blanks do not count") << QByteArray("   一二三四五六七   \n\t一二三四五六七八\t\r\n")
                                            << QStringList{"一二三四五六七八"};
        QTest::newRow("indented comment") << QByteArray("        #一二三四五六七八九十\n") << QStringList{};
        QTest::newRow("hash inside a tip") << QByteArray("用 # 开头的行是注释\n") << QStringList{"用 # 开头的行是注释"};
        QTest::newRow("NUL cuts a line") << QByteArray("abc\0defghijkl\nabcdefgh\0x\n", 25) << QStringList{"abcdefgh"};
        QTest::newRow("no usable line") << QByteArray("#\n\n短\n") << QStringList{};
    }
    void whichLinesAreTips()
    {
        QFETCH(QByteArray, content);
        QFETCH(QStringList, tips);
        writeAll(TIP_OF_THE_DAY_FILE_NAME, content);
        TipOfTheDayWizard wizard;
        QCOMPARE(wizard.windowTitle(), QString("每日一贴"));
        QCOMPARE(wizard.tips(), tips);
        const QList<TipWizardPage*> pages = tipPages(wizard);
        QCOMPARE(wizard.pageIds().size(), tips.size());
        QCOMPARE(pages.size(), tips.size());
        for (int i = 0; i < pages.size(); ++i) {
            QCOMPARE(pages.at(i)->title(), QString("你是否知道? (第%1贴 / 共%2贴)").arg(i + 1).arg(tips.size()));
            QCOMPARE(pages.at(i)->tipText(), tips.at(i));
        }
        // Even without pages the wizard opens and closes.
        wizard.show();
        wizard.next();
        wizard.close();
    }

    void doNotShowAgain()
    {
        writeAll(TIP_OF_THE_DAY_FILE_NAME, "第一条提示的内容\n第二条提示的内容\n第三条提示的内容\n");
        TipOfTheDayWizard wizard;
        wizard.show();
        const QList<TipWizardPage*> pages = tipPages(wizard);
        QCOMPARE(pages.size(), 3);
        wizard.next();
        QCOMPARE(wizard.currentPage(), pages.at(1));
        QCOMPARE(storedShowTip(), -1);
        QCOMPARE(pages.at(1)->doNotShowAgainCheckBox()->text(), QString("以后不再提示"));
        QTest::mouseClick(pages.at(1)->doNotShowAgainCheckBox(), Qt::LeftButton, {}, QPoint(5, 13));
        QCOMPARE(storedShowTip(), 0);
        // The next page shows the same choice.
        wizard.next();
        QVERIFY(pages.at(2)->doNotShowAgainCheckBox()->isChecked());
        QCOMPARE(storedShowTip(), 0);
        pages.at(2)->doNotShowAgainCheckBox()->click();
        QCOMPARE(storedShowTip(), 2);
        wizard.back();
        QVERIFY(!pages.at(1)->doNotShowAgainCheckBox()->isChecked());
        // Closing writes nothing more.
        Settings().setValue("ShowTipOfTheDay", 7);
        wizard.close();
        QCOMPARE(storedShowTip(), 7);
    }

    void missingAndShippedFile()
    {
        {
            MessageCapture capture;
            TipOfTheDayWizard wizard;
            QVERIFY(capture.messages().contains("Failed to open tipOfTheDay file: TipOfTheDayVeldmark.txt"));
            // The form's two empty pages stay.
            QCOMPARE(wizard.pageIds().size(), 2);
            QVERIFY(tipPages(wizard).isEmpty());
            wizard.show();
            wizard.next();
        }
        // The shipped file: about ten tips after a comment and a line too short to count.
        QVERIFY(QFile::copy(TestEnvironment::programDir() + "/TipOfTheDayVeldmark.txt", TIP_OF_THE_DAY_FILE_NAME));
        const QStringList lines = QString::fromUtf8(readAll(TIP_OF_THE_DAY_FILE_NAME)).split('\n', Qt::SkipEmptyParts);
        TipOfTheDayWizard wizard;
        QVERIFY(lines.first().startsWith("#"));
        QVERIFY(wizard.tips().size() >= 8 && wizard.tips().size() <= lines.size() - 2);
    }
};

TQ_TEST_MAIN(TipOfTheDayTest)
#include "tst_tipoftheday.moc"
