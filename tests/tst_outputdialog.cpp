// The output console: line limit, last output only, pause, wrap and their settings.

#include <QCheckBox>
#include <QPushButton>
#include <QSpinBox>
#include <QTextEdit>

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
        QCOMPARE(logTargets, int(LOG_TARGET_FILE));
        QCOMPARE(pause->text(), QString("继续"));
        pause->click();
        QCOMPARE(logTargets, LOG_TARGET_FILE | LOG_TARGET_OUTPUT_WINDOW);
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
};

TQ_TEST_MAIN(OutputDialogTest)
#include "tst_outputdialog.moc"
