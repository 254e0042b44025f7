// The preferences dialog: the apply sequence, cancelling, opening it from the main
// window, and the effect of applied settings on the open documents, auto-save,
// backups and the find-in-files history.

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QFontComboBox>
#include <QLineEdit>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QScreen>
#include <QSpinBox>
#include <QTabWidget>
#include <QTextBlock>

#include "EditorTab.h"
#include "GeneralTab.h"
#include "LogTab.h"
#include "MainWindow.h"
#include "MdiArea.h"
#include "MdiChild.h"
#include "PreferencesDialog.h"
#include "SaveTab.h"
#include "SearchComboBox.h"
#include "SearchDialog.h"
#include "SearchTab.h"
#include "SettingsStore.h"
#include "StartUp.h"
#include "TestSupport.h"
#include "VeldmarkTab.h"

namespace {

// Records each box in the same list as the dialog's signals, to check their order.
class OrderedPrompt : public ScriptedPrompt
{
public:
    explicit OrderedPrompt(QStringList& log) : m_log(log) {}
    int exec(QMessageBox& box) override
    {
        m_log << QStringLiteral("box ") + box.windowTitle();
        return ScriptedPrompt::exec(box);
    }

private:
    QStringList& m_log;
};

// The pages whose apply ran, in order, from the log lines of their apply steps.
QStringList appliedPages(const MessageCapture& capture)
{
    static const QRegularExpression applyLine(QStringLiteral("(\\w+Tab)::apply\\(\\)"));
    QStringList pages;
    for (const QString& message : capture.messages()) {
        const QRegularExpressionMatch match = applyLine.match(message);
        if (match.hasMatch())
            pages << match.captured(1);
    }
    return pages;
}

} // namespace

class PreferencesTest : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        Settings().clear();
        resetStartUpState();
    }

    void applyRunsEveryPageInTabOrder()
    {
        QStringList log;
        OrderedPrompt prompt(log);
        PreferencesDialog dialog;
        connect(&dialog, &PreferencesDialog::readSettingsRequested, [&] { log << "readSettings"; });
        connect(&dialog, &PreferencesDialog::Apply, [&](uint index) { log << QString("Apply(%1)").arg(index); });
        connect(&dialog, &PreferencesDialog::shortcutsRebindRequested, [&] { log << "shortcuts"; });
        QCOMPARE(dialog.tabWidget->count(), 8);
        QCOMPARE(dialog.tabWidget->tabText(4), QString("快捷键"));

        for (int tab : {4, 7}) {
            log.clear();
            dialog.tabWidget->setCurrentIndex(tab);
            MessageCapture capture;
            QTest::mouseClick(dialog.applyPushButton, Qt::LeftButton);
            QCOMPARE(appliedPages(capture), QStringList({"GeneralTab", "EditorTab", "SaveTab", "SearchTab",
                                                         "VeldmarkTab", "LogTab", "UpdateTab"}));
            QCOMPARE(log, QStringList({"readSettings", "readSettings", QString("Apply(%1)").arg(tab), "box 提示!",
                                       "shortcuts"}));
        }
        QCOMPARE(prompt.texts.last(), QString("部分偏好设置修改后, 需要重启程序才能生效!"));
        // Nothing changed, yet every key of every page is written.
        const Settings settings;
        for (const char* key : {"CustomFontPointSize", "ShowSpellingResultMessageBox", "EditorFontFamily",
                                "HighlightAutoGenContentColor", "DefaultFileFormat", "BackupFileBeforeSave",
                                "RecentSearchNumberMax", "MaxWordLength", "LogOutputTo", "LogLevel",
                                "AutoUpdateInterval"})
            QVERIFY2(settings.contains(key), key);
    }

    void cancelWritesNothingAndKeepsTheEdits()
    {
        ScriptedPrompt prompt;
        PreferencesDialog dialog;
        dialog.show();
        dialog.saveTab->autoSaveFileIntervalSpinBox->setValue(33);
        dialog.veldmarkTab->maxWordLengthSpinBox->setValue(9);
        QTest::mouseClick(dialog.cancelPushButton, Qt::LeftButton);
        QVERIFY(!dialog.isVisible());
        QVERIFY(Settings().allKeys().isEmpty());

        // The cancelled edits are still there and the next OK stores them.
        dialog.show();
        QCOMPARE(dialog.saveTab->autoSaveFileIntervalSpinBox->value(), 33);
        QTest::mouseClick(dialog.okPushButton, Qt::LeftButton);
        QVERIFY(!dialog.isVisible());
        QCOMPARE(Settings().value("AutoSaveFileInterval").toInt(), 33);
        QCOMPARE(Settings().value("MaxWordLength").toInt(), 9);
    }

    void sizedOnceWithinTheScreen()
    {
        PreferencesDialog dialog;
        dialog.show();
        const QSize first = dialog.size();
        dialog.hide();
        dialog.show();
        QCOMPARE(dialog.size(), first);
        const QSize available = QGuiApplication::primaryScreen()->availableGeometry().size();
        QVERIFY(first.width() <= qMax(available.width(), dialog.minimumSizeHint().width()));
    }

    void openedFromTheMainWindow()
    {
        ScriptedPrompt prompt;
        MainWindow window(nullptr, MainWindow::NoStartUpTimers);
        window.preferencesAct->trigger();
        PreferencesDialog* dialog = window.preferencesDialog;
        QVERIFY(dialog);
        QCOMPARE(dialog->generalTab->languageComboBox->count(), languageMap.size());

        // Only the check-result box follows the store between openings.
        Settings settings;
        settings.setValue("ShowSpellingResultMessageBox", 2);
        settings.setValue("MaxWordLength", 9);
        const int shownLength = dialog->veldmarkTab->maxWordLengthSpinBox->value();
        window.preferencesAct->trigger();
        QCOMPARE(window.preferencesDialog, dialog);
        QCOMPARE(prompt.dialogs, QStringList({"PreferencesDialog", "PreferencesDialog"}));
        QVERIFY(dialog->showSpellingResultMessageBoxCheckBox()->isChecked());
        QCOMPARE(dialog->veldmarkTab->maxWordLengthSpinBox->value(), shownLength);
    }

    void applyReachesDocumentsAutoSaveAndSearch()
    {
        ScriptedPrompt prompt;
        MainWindow window(nullptr, MainWindow::NoStartUpTimers);
        window.newFile();
        window.newFile();
        for (int i = 0; i < 4; ++i) {
            window.searchDialog->includeComboBox()->setEditText(QString("词%1").arg(i));
            updateComboBox(window.searchDialog->includeComboBox(), "SearchDialogIncludeText");
        }
        window.preferencesAct->trigger();
        PreferencesDialog* dialog = window.preferencesDialog;
        EditorTab* editor = dialog->editorTab;
        editor->customFontRadioButton->setChecked(true);
        const QString family = editor->fontComboBox->itemText(editor->fontComboBox->count() / 2);
        editor->fontComboBox->setCurrentFont(QFont(family));
        editor->fontSizeComboBox->setCurrentText("20");
        editor->lineSpacingComboBox->setCurrentIndex(3); // 2倍
        dialog->saveTab->autoSaveFileIntervalSpinBox->setValue(7);
        dialog->saveTab->autoSaveTemplateIntervalSpinBox->setValue(9);
        dialog->searchTab->recentSearchNumberMaxSpinBox->setValue(2);
        QTest::mouseClick(dialog->applyPushButton, Qt::LeftButton);

        for (QMdiSubWindow* sub : window.mdiArea->subWindowList()) {
            auto* child = qobject_cast<MdiChild*>(sub->widget());
            QCOMPARE(QFontInfo(child->font()).family(), QFontInfo(QFont(family)).family());
            QCOMPARE(child->font().pointSize(), 20);
            const QTextBlockFormat format = child->document()->firstBlock().blockFormat();
            QCOMPARE(format.lineHeightType(), int(QTextBlockFormat::ProportionalHeight));
            QCOMPARE(format.lineHeight(), 200.0);
        }
        QCOMPARE(window.autoSaveFileInterval, 7u);
        QCOMPARE(window.autoSaveTemplateInterval, 9u);
        QCOMPARE(window.searchDialog->includeComboBox()->count(), 2);

        // Back to the system font: the documents drop the chosen one.
        editor->systemFontRadioButton->setChecked(true);
        QTest::mouseClick(dialog->applyPushButton, Qt::LeftButton);
        auto* child = qobject_cast<MdiChild*>(window.mdiArea->subWindowList().first()->widget());
        QCOMPARE(child->font(), window.mdiArea->font());
    }

    void backupFollowsTheSaveTab()
    {
        ScriptedPrompt prompt;
        MainWindow window(nullptr, MainWindow::NoStartUpTimers);
        window.newFile();
        window.preferencesAct->trigger();
        QCheckBox* backup = window.preferencesDialog->saveTab->backupFileBeforeSaveCheckBox;
        MdiChild* child = window.activeMdiChild();
        child->setPlainText("第一版");
        const QString path = freshTempFolder("backup") + "/doc.txt";
        for (bool on : {false, true}) {
            backup->setChecked(on);
            QTest::mouseClick(window.preferencesDialog->applyPushButton, Qt::LeftButton);
            QCOMPARE(child->saveFile(path, false), 0);
            QCOMPARE(child->saveFile(path, false), 0);
            QCOMPARE(QFile::exists(path + ".bak"), on);
        }
    }

    void clearingTheSearchHistory()
    {
        ScriptedPrompt prompt;
        MainWindow window(nullptr, MainWindow::NoStartUpTimers);
        {
            Settings settings;
            for (const char* group :
                 {"SearchDialogIncludeText", "SearchDialogExcludeText", "SearchDialogFile", "SearchDialogDirectory"})
                settings.setValue(QString(group) + "/0", "值");
            settings.setValue("RecentSearchNumberMax", 7);
            settings.setValue("SearchDialogCharacterCountMin", 3);
        }
        window.searchDialog->includeComboBox()->addItem("旧词");
        window.preferencesAct->trigger();
        PreferencesDialog* dialog = window.preferencesDialog;
        QTest::mouseClick(dialog->searchTab->clearSearchHistoryPushButton, Qt::LeftButton);
        QTest::mouseClick(dialog->cancelPushButton, Qt::LeftButton);
        const Settings settings;
        QVERIFY(settings.allKeys()
                    .filter(QRegularExpression("^SearchDialog(IncludeText|ExcludeText|File|Directory)/"))
                    .isEmpty());
        QCOMPARE(settings.value("RecentSearchNumberMax").toInt(), 7);
        QCOMPARE(settings.value("SearchDialogCharacterCountMin").toInt(), 3);
        QCOMPARE(window.searchDialog->includeComboBox()->count(), 0);
    }

    void openLogDirHandsOverTheFolder()
    {
        ScriptedPrompt prompt;
        PreferencesDialog dialog;
        QVERIFY(dialog.logTab->logDirLineEdit->isReadOnly());
        QTest::mouseClick(dialog.logTab->openLogDirPushButton, Qt::LeftButton);
        QCOMPARE(prompt.openedUrls.size(), 1);
        QVERIFY(prompt.openedUrls.first().isLocalFile());
        QCOMPARE(prompt.openedUrls.first().toLocalFile(), dialog.logTab->logDirLineEdit->text());
        QVERIFY(QFileInfo(dialog.logTab->logDirLineEdit->text()).isDir());
    }
};

TQ_TEST_MAIN(PreferencesTest)
#include "tst_preferences.moc"
