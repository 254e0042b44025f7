// Preferences: the dialog's apply sequence, cancelling and opening it from the main
// window; the effect of applied settings on the open documents, auto-save, backups
// and the find-in-files history; and the pages on their own (defaults, stored values
// out of range, colours and fonts going round, backgrounds, the font preview, the
// unshown embellishing page and the user-defined template lists).

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFontComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QScreen>
#include <QSpinBox>
#include <QTabWidget>
#include <QTableWidget>
#include <QTextBlock>
#include <QToolBar>

#include "AutoGenTab.h"
#include "EditorTab.h"
#include "EmbellishTab.h"
#include "GeneralTab.h"
#include "LogTab.h"
#include "MainWindow.h"
#include "MdiArea.h"
#include "MdiChild.h"
#include "NewsTab.h"
#include "PluginsTab.h"
#include "PreferencesDialog.h"
#include "SaveTab.h"
#include "SearchComboBox.h"
#include "SearchDialog.h"
#include "SearchTab.h"
#include "SettingsStore.h"
#include "StartUp.h"
#include "TemplateTab.h"
#include "TestSupport.h"
#include "UpdateTab.h"
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

const QMap<QString, QString> languages{{"简体中文", "zh_CN"}, {"繁体中文", "zh_TW"}};

void store(const QVariantMap& values)
{
    Settings settings;
    for (auto it = values.cbegin(); it != values.cend(); ++it)
        settings.setValue(it.key(), it.value());
}

QString stored(const QString& key)
{
    return Settings().value(key).toString();
}

// Writes an array of (title, file name) pairs.
void storeTemplates(const QString& array, int count)
{
    Settings settings;
    settings.beginWriteArray(array, count);
    for (int i = 0; i < count; ++i) {
        settings.setArrayIndex(i);
        settings.setValue("TemplateTitle", QString("旧%1").arg(i));
        settings.setValue("TemplateFileName", QString("旧%1.tqw").arg(i));
    }
    settings.endArray();
}

QStringList storedTemplates(const QString& array)
{
    QStringList rows;
    Settings settings;
    const int size = settings.beginReadArray(array);
    for (int i = 0; i < size; ++i) {
        settings.setArrayIndex(i);
        rows << (settings.contains("TemplateTitle")
                     ? settings.value("TemplateTitle").toString() + "|" + settings.value("TemplateFileName").toString()
                     : QString("-"));
    }
    settings.endArray();
    return rows;
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
        QCOMPARE(stored("AutoSaveFileInterval") + stored("MaxWordLength"), QString("339"));
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

    // The stored highlight of the current line and paragraph paints at
    // start-up, and follows the editor page when it applies.
    void currentLineHighlightFollowsTheSettings()
    {
        ScriptedPrompt prompt;
        Settings().setValue("HighlightCurrentLine", 2);
        MainWindow window(nullptr, MainWindow::NoStartUpTimers);
        window.newFile();
        MdiChild* child = window.activeMdiChild();
        auto painted = [&] {
            QStringList kinds;
            for (const QTextEdit::ExtraSelection& selection : child->extraSelections())
                if (selection.format.property(QTextFormat::FullWidthSelection).toBool())
                    kinds << (selection.cursor.hasSelection() ? "paragraph" : "line");
            return kinds;
        };
        QCOMPARE(painted(), QStringList{"line"});

        window.preferencesAct->trigger();
        EditorTab* editor = window.preferencesDialog->editorTab;
        child->setPlainText("第一段\n第二段");
        editor->highlightCurrentLineCheckBox->setChecked(false);
        editor->highlightCurrentParagraphCheckBox->setChecked(true);
        QTest::mouseClick(window.preferencesDialog->applyPushButton, Qt::LeftButton);
        QCOMPARE(painted(), QStringList{"paragraph"});
        editor->highlightCurrentParagraphCheckBox->setChecked(false);
        QTest::mouseClick(window.preferencesDialog->applyPushButton, Qt::LeftButton);
        QCOMPARE(painted(), QStringList());
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

    void emptyStoreDefaults()
    {
        ScriptedPrompt prompt;
        PreferencesDialog dialog(nullptr, nullptr, languages);
        GeneralTab* general = dialog.generalTab;
        QCOMPARE(general->languageComboBox->currentText(), QString("简体中文"));
        for (QCheckBox* box : {general->showStatusBarCheckBox, general->showDateInStatusBarCheckBox,
                               general->showTimeInStatusBarCheckBox, general->showTipOfTheDayCheckBox,
                               general->showPromoteBannerCheckBox, general->showSpellingResultMessageBoxCheckBox})
            QCOMPARE(box->isChecked(), box->text().contains("状态栏"));
        EditorTab* editor = dialog.editorTab;
        QVERIFY(editor->systemFontRadioButton->isChecked());
        QVERIFY(!editor->fontComboBox->isEnabled() && !editor->fontSizeComboBox->isEnabled());
        QCOMPARE(editor->fontSizeComboBox->currentText(), QString::number(editor->font().pointSize()));
        QCOMPARE(editor->lineSpacingComboBox->currentText() + editor->backgroundTypeComboBox->currentText(),
                 QString("1倍无"));
        QVERIFY(!editor->lineSpacingSpinBox->isEnabled() && !editor->selectBackgroundPushButton->isEnabled());
        QVERIFY(editor->highlightAutoGenContentCheckBox->isChecked());
        QCOMPARE(editor->highlightAutoGenContentPushButton->styleSheet(), QString("background-color:red;"));

        QTest::mouseClick(dialog.applyPushButton, Qt::LeftButton);
        const QVariantMap expected{
            {"CustomLocale", "zh_CN"}, {"ShowStatusBar", 2}, {"ShowTipOfTheDay", 0}, {"EditorFontType", 0},
            {"LineSpacing", 1}, {"LineSpacingFixedValue", 10}, {"EditorBackgroundType", 0},
            {"EditorBackgroundColor", ""}, {"HighlightAutoGenContent", 2}, {"HighlightAutoGenContentColor", "red"},
            {"DefaultFileFormat", 0}, {"AutoSaveFileInterval", 1}, {"AutoSaveTemplateInterval", 1},
            {"BackupFileBeforeSave", 0}, {"RecentSearchNumberMax", 10}, {"MaxWordLength", 4}, {"LogOutputTo", 0},
            {"LogLevel", 0}, {"AutoUpdateInterval", 1}};
        for (auto it = expected.cbegin(); it != expected.cend(); ++it)
            QCOMPARE(stored(it.key()), it.value().toString());
    }

    void storedValuesOutOfRange()
    {
        store({{"MaxWordLength", 20}, {"RecentSearchNumberMax", 60}, {"LineSpacing", 0},
               {"LineSpacingFixedValue", 31}, {"LogOutputTo", 5}, {"LogLevel", 9}, {"DefaultFileFormat", 5}});
        {
            PreferencesDialog dialog;
            QCOMPARE(dialog.veldmarkTab->maxWordLengthSpinBox->value(), 12);
            QCOMPARE(dialog.searchTab->recentSearchNumberMaxSpinBox->value(), 50);
            QCOMPARE(dialog.editorTab->lineSpacingComboBox->currentText(), QString("固定值"));
            QVERIFY(dialog.editorTab->lineSpacingSpinBox->isEnabled());
            QCOMPARE(dialog.editorTab->lineSpacingSpinBox->value(), 10);
            // The output-window bit has no entry: the file entry shows, and stays stored.
            QCOMPARE(dialog.logTab->logOutputToComboBox->currentText(), QString("文件"));
            QCOMPARE(dialog.logTab->logLevelComboBox->currentIndex(), -1);
            QCOMPARE(dialog.saveTab->defaultFileFormatComboBox->currentIndex(), 0);
            dialog.logTab->apply();
            QCOMPARE(stored("LogOutputTo"), QString("1"));
            QCOMPARE(stored("LogLevel"), QString("0"));
        }
        store({{"MaxWordLength", 1}, {"LineSpacing", 1.75}, {"LineSpacingFixedValue", 30}, {"LogOutputTo", 4}});
        VeldmarkTab veldmark;
        QCOMPARE(veldmark.maxWordLengthSpinBox->value(), 2);
        EditorTab editor(nullptr);
        QCOMPARE(editor.lineSpacingComboBox->currentIndex(), 0);
        QCOMPARE(editor.lineSpacingSpinBox->value(), 30);
        LogTab log;
        QCOMPARE(log.logOutputToComboBox->currentText(), QString("关闭"));
    }

    void fontSizeNotInTheListBecomesAnEntry()
    {
        const QFont original = QApplication::font();
        for (int size : {15, 9}) {
            QFont font = original;
            font.setPointSize(size);
            QApplication::setFont(font);
            GeneralTab general(languages);
            QCOMPARE(general.fontSizeComboBox->count(), size == 15 ? 11 : 10);
            QCOMPARE(general.fontSizeComboBox->currentText(), QString::number(size));
            QCOMPARE(general.fontSizeComboBox->currentIndex(), size == 15 ? 8 : 2); // in order
            general.apply();
            QCOMPARE(stored("CustomFontPointSize"), QString::number(size));
        }
        QApplication::setFont(original);
    }

    void coloursGoRound_data()
    {
        QTest::addColumn<QString>("highlight");
        QTest::addColumn<QString>("highlightAfter");
        QTest::addColumn<QString>("background");
        QTest::addColumn<QString>("backgroundAfter");
        QTest::newRow("names") << "red" << "red" << "#00ff00" << "#00ff00";
        QTest::newRow("hex") << "#12ab34" << "#12ab34" << "#abcdef" << "#abcdef";
        QTest::newRow("style sheet injection") << "red;} * {color:blue" << "red" << "#000;} *{" << "";
        QTest::newRow("empty") << "" << "red" << "" << "";
    }
    void coloursGoRound()
    {
        QFETCH(QString, highlight);
        QFETCH(QString, highlightAfter);
        QFETCH(QString, background);
        QFETCH(QString, backgroundAfter);
        store({{"HighlightAutoGenContent", 2}, {"HighlightAutoGenContentColor", highlight},
               {"EditorBackgroundType", 1}, {"EditorBackgroundColor", background}});
        EditorTab editor(nullptr);
        QVERIFY(!editor.backgroundColorPushButton->styleSheet().contains("}"));
        editor.apply();
        QCOMPARE(stored("HighlightAutoGenContentColor"), highlightAfter);
        QCOMPARE(stored("EditorBackgroundColor"), backgroundAfter);
    }

    void fontFamilyGoesRound()
    {
        QFontComboBox families;
        const QString family = families.itemText(families.count() - 1);
        store({{"EditorFontType", 1}, {"EditorFontFamily", QFont(family, 13).toString()}, {"EditorFontSize", "14"}});
        EditorTab editor(nullptr);
        QCOMPARE(editor.fontComboBox->currentFont().family(), family);
        QCOMPARE(editor.fontSizeComboBox->currentText(), QString("14"));
        editor.apply();
        QVERIFY(stored("EditorFontFamily").startsWith(family + ","));
        QCOMPARE(EditorTab(nullptr).fontComboBox->currentFont().family(), family);
    }

    void backgroundChoices_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<int>("index");
        QTest::addColumn<bool>("selectEnabled");
        QTest::addColumn<bool>("swatchShown");
        QTest::addColumn<bool>("fileShown");
        QTest::newRow("none") << 0 << 0 << false << true << false;
        QTest::newRow("colour") << 1 << 1 << true << true << false;
        QTest::newRow("picture") << 2 << 2 << true << false << true;
        QTest::newRow("unknown") << 7 << 0 << false << true << false;
    }
    void backgroundChoices()
    {
        QFETCH(int, type);
        QFETCH(int, index);
        QFETCH(bool, selectEnabled);
        QFETCH(bool, swatchShown);
        QFETCH(bool, fileShown);
        store({{"EditorBackgroundType", type}});
        ScriptedPrompt prompt;
        prompt.colorAnswers << QColor("#abcdef");
        prompt.openFileNames << "/图片/背景.png";
        MessageCapture capture;
        EditorTab editor(nullptr);
        QVERIFY(!capture.contains("Unknown background type"));
        QCOMPARE(editor.backgroundTypeComboBox->currentIndex(), index);
        QCOMPARE(editor.selectBackgroundPushButton->isEnabled(), selectEnabled);
        QCOMPARE(!editor.backgroundColorPushButton->isHidden(), swatchShown);
        QCOMPARE(!editor.backgroundFileLineEdit->isHidden(), fileShown);

        // "选择" stores its choice at once, before any apply.
        editor.selectBackgroundPushButtonClicked();
        QCOMPARE(stored("EditorBackgroundColor"), QString(type == 1 ? "#abcdef" : ""));
        QCOMPARE(stored("EditorBackgroundFileName"), QString(type == 2 ? "/图片/背景.png" : ""));
        if (type == 2)
            QCOMPARE(prompt.openDialogs.first().section('|', 0, 1), "选择图片|" + QDir::homePath());
    }

    void fontPreviewOnlyWhileCustomFontIsChosen()
    {
        QFontComboBox families;
        const QString stored = families.itemText(1);
        const QString chosen = families.itemText(2);
        store({{"EditorFontType", 1}, {"EditorFontFamily", QFont(stored).toString()}, {"EditorFontSize", "24"}});
        QMdiArea area;
        QList<MdiChild*> documents{new MdiChild, new MdiChild};
        for (MdiChild* child : documents)
            area.addSubWindow(child);
        const QFont before = documents.first()->font();
        EditorTab editor(&area);
        // Building the page changes no document.
        QCOMPARE(documents.first()->font(), before);

        editor.systemFontRadioButton->setChecked(true);
        editor.fontComboBox->setCurrentFont(QFont(chosen));
        QCOMPARE(documents.first()->font(), before);

        editor.customFontRadioButton->setChecked(true);
        editor.fontSizeComboBox->setCurrentText("18");
        for (MdiChild* child : documents) {
            QCOMPARE(child->font().family(), chosen);
            QCOMPARE(child->font().pointSize(), 18);
        }
        QCOMPARE(Settings().value("EditorFontFamily").toString(), QFont(stored).toString());
    }

    void embellishPageStoresBoolsAndCheckStates()
    {
        ScriptedPrompt prompt;
        {
            EmbellishTab page;
            for (QCheckBox* box : page.findChildren<QCheckBox*>())
                QVERIFY(!box->isChecked());
            QCOMPARE(page.maxWordLengthSpinBox->value(), 2);
            page.apply();
        }
        QCOMPARE(stored("EmbellishAlphaAsSymbol"), QString("false"));
        QCOMPARE(stored("EmbellishTryMaxNewWordLength"), QString("0"));
        store({{"EmbellishAlphaAsSymbol", true}, {"EmbellishVerbose", 2}});
        EmbellishTab page;
        QVERIFY(page.alphaAsSymbolCheckBox->isChecked() && page.verboseCheckBox->isChecked());
        // The spin box follows "最长同义词匹配" only once the box is toggled.
        QVERIFY(page.maxWordLengthSpinBox->isEnabled());
        page.tryMaxNewWordLengthCheckBox->setChecked(true);
        page.tryMaxNewWordLengthCheckBox->setChecked(false);
        QVERIFY(!page.maxWordLengthSpinBox->isEnabled());
        page.apply();
        QCOMPARE(stored("EmbellishAlphaAsSymbol"), QString("true"));
        QCOMPARE(stored("EmbellishVerbose"), QString("2"));

        QCOMPARE(PluginsTab().findChild<QLabel*>()->text() + TemplateTab().findChild<QLabel*>()->text(),
                 QString("插件列表模板"));
    }

    void templateRowChecks_data()
    {
        QTest::addColumn<QString>("title"); // a null string: no item
        QTest::addColumn<QString>("fileName");
        QTest::addColumn<QString>("storedRow"); // empty: the row is refused
        QTest::newRow("simplified") << "  自建   模板 " << " 文件.tqw" << "自建 模板|文件.tqw";
        QTest::newRow("extension alone") << "题" << ".tqw" << "题|.tqw";
        QTest::newRow("upper-case extension") << "题" << "a.TQW" << "";
        QTest::newRow("further extension") << "题" << "x.tqw.bak" << "";
        QTest::newRow("title without file item") << "" << QString() << "";
        QTest::newRow("file without title") << "  " << "a.tqw" << "";
        QTest::newRow("both blank") << "  " << "" << "|";
    }
    void templateRowChecks()
    {
        QFETCH(QString, title);
        QFETCH(QString, fileName);
        QFETCH(QString, storedRow);
        storeTemplates("UserDefinedNewsTemplate", 3);
        ScriptedPrompt prompt;
        NewsTab page;
        QCOMPARE(page.tableWidget->item(2, 1)->text(), QString("旧2.tqw"));
        page.tableWidget->clearContents();
        page.tableWidget->setItem(0, 0, new QTableWidgetItem(title));
        if (!fileName.isNull())
            page.tableWidget->setItem(0, 1, new QTableWidgetItem(fileName));
        page.tableWidget->setItem(1, 0, new QTableWidgetItem("尾"));
        page.tableWidget->setItem(1, 1, new QTableWidgetItem("尾.tqw"));
        page.apply();
        if (storedRow.isEmpty()) {
            QCOMPARE(prompt.titles, QStringList("错误!"));
            QCOMPARE(prompt.texts.first(), QString("自建模板输入错误！自建模板不能为空，自建模板文件名必须以 .tqw 结尾!"));
            QCOMPARE(storedTemplates("UserDefinedNewsTemplate"),
                     QStringList({"旧0|旧0.tqw", "旧1|旧1.tqw", "旧2|旧2.tqw"}));
        } else {
            QVERIFY(prompt.titles.isEmpty());
            QCOMPARE(storedTemplates("UserDefinedNewsTemplate"), QStringList({storedRow, "尾|尾.tqw"}));
        }
    }

    void templateListSize()
    {
        ScriptedPrompt prompt;
        {
            NewsTab page;
            page.tableWidget->setItem(3, 0, new QTableWidgetItem("三"));
            page.tableWidget->setItem(3, 1, new QTableWidgetItem("三.tqw"));
            page.apply();
        }
        // Size: the last filled row plus one; rows without items store nothing.
        QCOMPARE(storedTemplates("UserDefinedNewsTemplate"), QStringList({"-", "-", "-", "三|三.tqw"}));

        storeTemplates("UserDefinedNewsTemplate", 60);
        NewsTab page;
        QCOMPARE(page.tableWidget->rowCount(), 50);
        QCOMPARE(page.tableWidget->item(49, 0)->text(), QString("旧49"));
        page.tableWidget->item(0, 0)->setText("新");
        page.tableWidget->item(5, 1)->setText("错");
        page.apply();
        QCOMPARE(storedTemplates("UserDefinedNewsTemplate").first(), QString("旧0|旧0.tqw")); // nothing written
        page.tableWidget->item(5, 1)->setText("对.tqw");
        page.tableWidget->item(49, 0)->setText("");
        page.tableWidget->item(49, 1)->setText("");
        page.apply();
        const QStringList rows = storedTemplates("UserDefinedNewsTemplate");
        QCOMPARE(rows.size(), 49);
        QCOMPARE(rows.at(0) + rows.at(5), QString("新|旧0.tqw旧5|对.tqw"));
    }

    void autoGenTabWithoutToolBar()
    {
        ScriptedPrompt prompt;
        MainWindow window(nullptr, MainWindow::NoStartUpTimers);
        QVERIFY(!window.autoGenToolBar);
        for (int style : {7, 0}) {
            Settings().setValue("AutoGenToolBarButtonStyle", style);
            AutoGenTab page;
            QCOMPARE(page.toolBarStyleComboBox->currentIndex(), style == 7 ? 2 : 0);
        }
        Settings().remove("AutoGenToolBarButtonStyle");
        AutoGenTab page;
        QCOMPARE(page.toolBarStyleComboBox->currentText(), QString("文字在图标右侧 "));
        connect(&page, &AutoGenTab::toolBarStyleChanged, &window, &MainWindow::changeToolBarStyle);
        page.toolBarStyleComboBox->setCurrentIndex(1); // no tool bar: nothing to restyle

        QToolBar bar;
        const QList<QToolBar*> inner{new QToolBar(&bar), new QToolBar(&bar)};
        window.autoGenToolBar = &bar;
        page.toolBarStyleComboBox->setCurrentIndex(3);
        window.autoGenToolBar = nullptr;
        for (const QToolBar* toolBar : inner)
            QCOMPARE(toolBar->toolButtonStyle(), Qt::ToolButtonTextUnderIcon);
        page.apply();
        QCOMPARE(stored("AutoGenToolBarButtonStyle"), QString("3"));
    }
};

TQ_TEST_MAIN(PreferencesTest)
#include "tst_preferences.moc"
