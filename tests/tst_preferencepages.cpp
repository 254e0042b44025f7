// The preference pages on their own: defaults on an empty store, stored values out
// of range, colours and fonts going round, the background choices, the font
// preview, the unshown embellishing page and the user-defined template lists.

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFontComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTableWidget>
#include <QToolBar>

#include "AutoGenTab.h"
#include "EditorTab.h"
#include "EmbellishTab.h"
#include "GeneralTab.h"
#include "LogTab.h"
#include "MainWindow.h"
#include "MdiChild.h"
#include "NewsTab.h"
#include "PluginsTab.h"
#include "PreferencesDialog.h"
#include "SaveTab.h"
#include "SearchTab.h"
#include "SettingsStore.h"
#include "TemplateTab.h"
#include "TestSupport.h"
#include "UpdateTab.h"
#include "VeldmarkTab.h"

namespace {

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
        rows << (settings.contains("TemplateTitle") ? settings.value("TemplateTitle").toString() + "|"
                         + settings.value("TemplateFileName").toString()
                                                    : QString("-"));
    }
    settings.endArray();
    return rows;
}

} // namespace

class PreferencePagesTest : public QObject
{
    Q_OBJECT

private slots:
    void init() { Settings().clear(); }

    void emptyStoreDefaults()
    {
        ScriptedPrompt prompt;
        PreferencesDialog dialog(nullptr, nullptr, languages);
        GeneralTab* general = dialog.generalTab;
        QCOMPARE(general->languageComboBox->currentText(), QString("简体中文"));
        QCOMPARE(general->fontSizeComboBox->currentText(), QString::number(QApplication::font().pointSize()));
        for (QCheckBox* box : {general->showStatusBarCheckBox, general->showDateInStatusBarCheckBox,
                               general->showTimeInStatusBarCheckBox})
            QVERIFY(box->isChecked());
        for (QCheckBox* box : {general->showTipOfTheDayCheckBox, general->showPromoteBannerCheckBox,
                               general->showSpellingResultMessageBoxCheckBox})
            QVERIFY(!box->isChecked());
        EditorTab* editor = dialog.editorTab;
        QVERIFY(editor->systemFontRadioButton->isChecked());
        QVERIFY(!editor->fontComboBox->isEnabled() && !editor->fontSizeComboBox->isEnabled());
        QCOMPARE(editor->fontSizeComboBox->currentText(), QString::number(editor->font().pointSize()));
        QCOMPARE(editor->lineSpacingComboBox->currentText(), QString("1倍"));
        QVERIFY(!editor->lineSpacingSpinBox->isEnabled());
        QCOMPARE(editor->lineSpacingSpinBox->value(), 10);
        QCOMPARE(editor->backgroundTypeComboBox->currentText(), QString("无"));
        QVERIFY(!editor->selectBackgroundPushButton->isEnabled());
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

        QCOMPARE(PluginsTab().findChild<QLabel*>()->text(), QString("插件列表"));
        QCOMPARE(TemplateTab().findChild<QLabel*>()->text(), QString("模板"));
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
        QCOMPARE(storedTemplates("UserDefinedNewsTemplate").size(), 60);
        QCOMPARE(storedTemplates("UserDefinedNewsTemplate").first(), QString("旧0|旧0.tqw"));
        page.tableWidget->item(5, 1)->setText("对.tqw");
        page.tableWidget->item(49, 0)->setText("");
        page.tableWidget->item(49, 1)->setText("");
        page.apply();
        const QStringList rows = storedTemplates("UserDefinedNewsTemplate");
        QCOMPARE(rows.size(), 49);
        QCOMPARE(rows.mid(0, 6), QStringList({"新|旧0.tqw", "旧1|旧1.tqw", "旧2|旧2.tqw", "旧3|旧3.tqw",
                                              "旧4|旧4.tqw", "旧5|对.tqw"}));
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

TQ_TEST_MAIN(PreferencePagesTest)
#include "tst_preferencepages.moc"
