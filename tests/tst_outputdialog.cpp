// The output console: line limit, last output only, pause, wrap and their settings.

#include <QCheckBox>
#include <QPushButton>
#include <QSpinBox>
#include <QTextBlock>
#include <QTextEdit>
#include <QTextLayout>

#include "Logging.h"
#include "OutputDialogEx.h"
#include "SettingsStore.h"
#include "TestSupport.h"

namespace {

template <class T>
T* child(OutputDialogEx& dialog, const char* name)
{
    T* widget = dialog.findChild<T*>(QLatin1String(name));
    Q_ASSERT(widget);
    return widget;
}

QStringList lines(OutputDialogEx& dialog)
{
    return dialog.textEdit()->toPlainText().split('\n');
}

} // namespace

class OutputDialogTest : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        Settings().clear();
        logTargets = 0;
    }

    void lineLimit()
    {
        OutputDialogEx dialog;
        auto* unlimited = child<QCheckBox>(dialog, "unlimitedCheckBox");
        auto* spinBox = child<QSpinBox>(dialog, "maxHistoryLineCountSpinBox");
        QVERIFY(unlimited->isChecked());
        QVERIFY(!spinBox->isEnabled());

        for (int i = 0; i < 150; ++i)
            dialog.appendLog(QString("line %1").arg(i));
        QCOMPARE(lines(dialog).size(), 150); // unlimited

        unlimited->setChecked(false);
        QVERIFY(spinBox->isEnabled());
        QCOMPARE(lines(dialog).size(), 150); // no trimming until the next line
        dialog.appendLog("line 150");
        const QStringList kept = lines(dialog);
        QCOMPARE(kept.size(), 100);
        QCOMPARE(kept.first(), QString("line 51"));
        QCOMPARE(kept.last(), QString("line 150"));

        spinBox->setValue(120);
        QCOMPARE(lines(dialog).size(), 100);
        QCOMPARE(Settings().value("LogOutputDialogLineCountMax").toInt(), 120);
        QCOMPARE(Settings().value("LogOutputDialogLineCountUnlimited").toInt(), 0);
    }

    void lastOutputOnly()
    {
        OutputDialogEx dialog;
        child<QCheckBox>(dialog, "lastOutputOnlyCheckBox")->setChecked(true);
        dialog.appendLog("first <b>command</b>");
        dialog.appendLog("second command");
        QCOMPARE(dialog.textEdit()->toPlainText(), QString("second command"));
        QCOMPARE(Settings().value("LogOutputDialogLastOutputOnly").toInt(), 2);
    }

    void pauseActsOnTheLogSink()
    {
        OutputDialogEx dialog;
        auto* pause = child<QPushButton>(dialog, "pauseContinuePushButton");
        logTargets = LOG_TARGET_FILE | LOG_TARGET_OUTPUT_WINDOW;
        pause->click();
        QCOMPARE(logTargets.load(), int(LOG_TARGET_FILE));
        QCOMPARE(pause->text(), QString("继续"));
        pause->click();
        QCOMPARE(logTargets.load(), LOG_TARGET_FILE | LOG_TARGET_OUTPUT_WINDOW);
        QCOMPARE(pause->text(), QString("暂停"));
    }

    void restoredSettings_data()
    {
        QTest::addColumn<int>("wrapMode");
        QTest::addColumn<bool>("wrapChecked");
        QTest::addColumn<int>("viewMode");
        QTest::newRow("wrap") << 1 << true << int(QTextEdit::WidgetWidth);
        QTest::newRow("no wrap") << 0 << false << int(QTextEdit::NoWrap);
        // Only 1 means wrapping: other numbers would wrap at a width of 0.
        QTest::newRow("fixed pixel width") << 2 << false << int(QTextEdit::NoWrap);
        QTest::newRow("fixed column width") << 3 << false << int(QTextEdit::NoWrap);
    }
    void restoredSettings()
    {
        QFETCH(int, wrapMode);
        QFETCH(bool, wrapChecked);
        QFETCH(int, viewMode);
        Settings settings;
        settings.setValue("LogOutputDialogWrapMode", wrapMode);
        settings.setValue("LogOutputDialogLineCountUnlimited", 0);
        settings.setValue("LogOutputDialogLineCountMax", 250);
        settings.setValue("LogOutputDialogLastOutputOnly", 2);
        OutputDialogEx dialog;
        QCOMPARE(child<QCheckBox>(dialog, "wrapLineCheckBox")->isChecked(), wrapChecked);
        QCOMPARE(int(dialog.textEdit()->lineWrapMode()), viewMode);
        QVERIFY(!child<QCheckBox>(dialog, "unlimitedCheckBox")->isChecked());
        QVERIFY(child<QSpinBox>(dialog, "maxHistoryLineCountSpinBox")->isEnabled());
        QCOMPARE(child<QSpinBox>(dialog, "maxHistoryLineCountSpinBox")->value(), 250);
        QVERIFY(child<QCheckBox>(dialog, "lastOutputOnlyCheckBox")->isChecked());
    }

    // Long runs of appends: the count follows only the new lines, cuts come in batches
    // of a tenth of the limit, and clearing or another width starts the count afresh.
    void lineLimitOverLongRuns_data()
    {
        QTest::addColumn<bool>("wrap");
        QTest::newRow("no wrap") << false;
        QTest::newRow("wrap") << true;
    }
    void lineLimitOverLongRuns()
    {
        QFETCH(bool, wrap);
        Settings settings;
        settings.setValue("LogOutputDialogLineCountUnlimited", 0);
        settings.setValue("LogOutputDialogLineCountMax", 120);
        settings.setValue("LogOutputDialogWrapMode", wrap ? 1 : 0);
        OutputDialogEx dialog;
        dialog.resize(400, 300);
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        QTextDocument* document = dialog.textEdit()->document();
        auto displayLines = [document] {
            int total = 0;
            for (QTextBlock block = document->begin(); block.isValid(); block = block.next())
                total += qMax(1, block.layout()->lineCount());
            return total;
        };
        const QString longTail = QString(200, QLatin1Char('x'));
        for (int i = 0; i < 1500; ++i) {
            dialog.appendLog(QString("line %1 ").arg(i) + (i % 7 == 0 ? longTail : QString()));
            const int shown = displayLines();
            QVERIFY2(shown <= 132, qPrintable(QString("%1 lines after %2").arg(shown).arg(i)));
            QVERIFY2(shown >= qMin(i + 1, 120), qPrintable(QString("%1 lines after %2").arg(shown).arg(i)));
        }
        QVERIFY(lines(dialog).last().startsWith("line 1499 "));

        // Lowering the limit cuts at once, exactly.
        child<QSpinBox>(dialog, "maxHistoryLineCountSpinBox")->setValue(100);
        QCOMPARE(displayLines(), 100);
        QVERIFY(lines(dialog).last().startsWith("line 1499 "));

        // Another width: the wrapped lines are counted again on the next append.
        dialog.resize(200, 300);
        QApplication::processEvents();
        for (int i = 0; i < 20; ++i) {
            dialog.appendLog(QString("after resize %1").arg(i));
            QVERIFY(displayLines() <= 110);
        }

        dialog.clearOutput();
        for (int i = 0; i < 10; ++i)
            dialog.appendLog(QString("again %1").arg(i));
        QCOMPARE(lines(dialog).size(), 10);
        QCOMPARE(lines(dialog).first(), QString("again 0"));
    }
};

TQ_TEST_MAIN(OutputDialogTest)
#include "tst_outputdialog.moc"
