// Main window: menus and toolbars.

#include "MainWindow.h"

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDebug>
#include <QFontComboBox>
#include <QFontDatabase>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPixmap>
#include <QPushButton>
#include <QStyle>
#include <QStyleOptionComboBox>
#include <QToolBar>
#include <initializer_list>

#include "GlobalActions.h"
#include "ProgramState.h"

// ---- Menus and toolbars --------------------------------------------------------

namespace {

// Keeps the font box wide enough for the whole name of the default font (the
// application's), in the box's own font, whenever that font changes.
class FontBoxWidth : public QObject
{
public:
    explicit FontBoxWidth(QFontComboBox* box) : QObject(box), m_box(box)
    {
        fit();
        box->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() == QEvent::FontChange)
            fit();
        return false;
    }

private:
    void fit()
    {
        const QFontMetrics metrics = m_box->fontMetrics();
        const int name = qMax(metrics.horizontalAdvance(QFontInfo(QApplication::font()).family()),
                              metrics.horizontalAdvance(m_box->currentText()));
        QStyleOptionComboBox option;
        option.initFrom(m_box);
        option.editable = true;
        // The edit field keeps a margin of a few pixels on each side of its text.
        const QSize contents(name + 6, metrics.height());
        const int width = m_box->style()->sizeFromContents(QStyle::CT_ComboBox, &option, contents, m_box).width();
        m_box->setMinimumWidth(width);
        m_box->setMaximumWidth(qMax(width, 120));
    }

    QFontComboBox* m_box;
};

} // namespace

namespace {

void place(QWidget* widget, std::initializer_list<QAction*> actions)
{
    for (QAction* action : actions) {
        if (action)
            widget->addAction(action);
        else if (auto* menu = qobject_cast<QMenu*>(widget))
            menu->addSeparator(); // null stands for a separator
    }
}

QToolBar* makeToolBar(const QString& title, const char* objectName, QWidget* parent)
{
    auto* toolBar = new QToolBar(title, parent);
    toolBar->setObjectName(QLatin1String(objectName));
    return toolBar;
}

} // namespace

void MainWindow::createMenus()
{
    qDebug() << Q_FUNC_INFO;
    QMenuBar* bar = menuBar();

    fileMenu = bar->addMenu(tr("文件(&F)"));
    place(fileMenu, {newAct, openAct});
    recentFilesMenu = fileMenu->addMenu(tr("最近打开文档(&R)"));
    for (QAction* action : recentFileActs)
        recentFilesMenu->addAction(action);
    emptyRecentFilesListAct = new QAction(tr("清空最近打开文档列表"), this);
    connect(emptyRecentFilesListAct, SIGNAL(triggered()), this, SLOT(emptyRecentFilesList()));
    recentFilesMenu->addAction(emptyRecentFilesListAct);
    updateRecentFileActions();
    place(fileMenu, {saveAct, saveAsAct, saveAllAct, nullptr, printPreviewAct, printAct, nullptr});
    if (superUserMode)
        fileMenu->addAction(filePropertyAct);
    place(fileMenu,
               {nullptr, filePrintDocAct, filePrintDocxAct, filePrintPdfAct, filePrintOdtAct, nullptr, exitAct});

    templateMenu = bar->addMenu(tr("模板(&M)"));
    place(templateMenu, {openTemplateAct, saveTemplateAct, openDatabaseTemplateAct});
    connect(templateMenu, SIGNAL(aboutToHide()), this, SLOT(aboutToHideTemplateMenu()));
    connect(templateMenu, SIGNAL(aboutToShow()), this, SLOT(aboutToShowTemplateMenu()));
    placeAtomTemplateUnderCursorAction();
    updateRecentTemplates(QString());

    editMenu = bar->addMenu(tr("编辑(&E)"));
    place(editMenu, {undoAct, redoAct, nullptr, cutAct, copyAct, pasteAct, pasteAsPlainTextAct,
                          pasteFromClipboardHistoryAct, deleteSelectedTextAct, nullptr, selectAllAct, nullptr,
                          addTemplateMarkerAct, nullptr, findAct, replaceAct, gotoCharacterAct, gotoLineAct, nullptr,
                          setTextEditReadOnlyAct, nullptr, autoFormatAct, nullptr, preferencesAct});
    if (superUserMode)
        editMenu->addAction(preferencesExAct);

    // The Format menu and its toolbar share the actions made here.
    formatMenu = new QMenu(tr("格式(&O)"), this);
    bar->addMenu(formatMenu);
    QToolBar* styleToolBar = makeToolBar(tr("格式"), "StyleToolBar", this);
    toolBars[StyleToolBarIndex] = styleToolBar;
    auto addFormatAction = [&](QAction* action) {
        styleToolBar->addAction(action);
        formatMenu->addAction(action);
    };

    // Bold, italic and underline show their own style in the menu.
    auto addStyleAction = [&](const char* icon, const QString& text, int key, void (QFont::*setStyle)(bool),
                              const char* slot) {
        auto* action = new QAction(QIcon(imageFolder + QLatin1String(icon)), text, this);
        action->setShortcut(Qt::CTRL | key);
        QFont font;
        (font.*setStyle)(true);
        action->setFont(font);
        action->setCheckable(true);
        connect(action, SIGNAL(triggered()), this, slot);
        addFormatAction(action);
        return action;
    };
    textBoldAct = addStyleAction("/TextBold.png", tr("粗体"), Qt::Key_B, &QFont::setBold, SLOT(textBold()));
    textItalicAct = addStyleAction("/TextItalic.png", tr("斜体"), Qt::Key_I, &QFont::setItalic, SLOT(textItalic()));
    textUnderlineAct =
        addStyleAction("/TextUnder.png", tr("下划线"), Qt::Key_U, &QFont::setUnderline, SLOT(textUnderline()));

    formatMenu->addSeparator();

    auto* alignGroup = new QActionGroup(this);
    connect(alignGroup, SIGNAL(triggered(QAction*)), this, SLOT(textAlign(QAction*)));
    auto makeAlignAction = [&](const char* icon, const QString& text, int key) {
        auto* action = new QAction(QIcon(imageFolder + QLatin1String(icon)), text, alignGroup);
        action->setShortcut(Qt::CTRL | key);
        action->setCheckable(true);
        return action;
    };
    if (QApplication::isLeftToRight()) {
        alignLeftAct = makeAlignAction("/TextLeft.png", tr("左对齐"), Qt::Key_L);
        alignCenterAct = makeAlignAction("/TextCenter.png", tr("居中"), Qt::Key_E);
        alignRightAct = makeAlignAction("/TextRight.png", tr("右对齐"), Qt::Key_R);
    } else {
        alignRightAct = makeAlignAction("/TextRight.png", tr("右对齐"), Qt::Key_R);
        alignCenterAct = makeAlignAction("/TextCenter.png", tr("居中"), Qt::Key_E);
        alignLeftAct = makeAlignAction("/TextLeft.png", tr("左对齐"), Qt::Key_L);
    }
    alignJustifyAct = makeAlignAction("/TextJustify.png", tr("校正"), Qt::Key_J);
    styleToolBar->addActions(alignGroup->actions());
    formatMenu->addActions(alignGroup->actions());

    formatMenu->addSeparator();

    QPixmap swatch(16, 16);
    swatch.fill(Qt::black);
    textColorAct = new QAction(QIcon(swatch), tr("颜色"), this);
    connect(textColorAct, SIGNAL(triggered()), this, SLOT(textColor()));
    addFormatAction(textColorAct);

    formatMenu->addSeparator();

    toPlainTextAct = new QAction(tr("设为纯文本"), this);
    connect(toPlainTextAct, SIGNAL(triggered()), this, SLOT(toPlainText()));
    formatMenu->addAction(toPlainTextAct);

    // The Font toolbar.
    QToolBar* fontToolBar = makeToolBar(tr("字体"), "FontToolBar", this);
    toolBars[FontToolBarIndex] = fontToolBar;
    fontToolBar->setAllowedAreas(Qt::TopToolBarArea | Qt::BottomToolBarArea);
    comboFont = new QFontComboBox(fontToolBar);
    new FontBoxWidth(comboFont);
    fontToolBar->addWidget(comboFont);
    connect(comboFont, SIGNAL(textActivated(QString)), this, SLOT(textFamily(QString)));
    comboSize = new QComboBox(fontToolBar);
    comboSize->setObjectName(QStringLiteral("comboSize"));
    comboSize->setEditable(true);
    fontToolBar->addWidget(comboSize);
    for (int size : QFontDatabase::standardSizes())
        comboSize->addItem(QString::number(size));
    connect(comboSize, SIGNAL(textActivated(QString)), this, SLOT(textSize(QString)));
    comboSize->setCurrentIndex(comboSize->findText(QString::number(QApplication::font().pointSize()),
                                                   Qt::MatchExactly | Qt::MatchCaseSensitive));

    // Filled later in construction, together with the docks.
    viewMenu = bar->addMenu(tr("查看(&V)"));

    windowMenu = bar->addMenu(tr("窗口(&W)"));
    updateWindowMenu();
    connect(windowMenu, SIGNAL(aboutToShow()), this, SLOT(updateWindowMenu()));

    evaluationMenu = bar->addMenu(tr("测评"));
    place(evaluationMenu->addMenu(tr("字频")), {charFreqCounterForTextSelectionAct, charFreqCounterForDirectoryAct});
    place(evaluationMenu->addMenu(tr("词频")),
               {jieBaWordFreqCounterForTextSelectionAct, jieBaWordFreqCounterForDirectoryAct});
    place(evaluationMenu->addMenu(tr("分词")),
               {jieBaNotCutAllForTextSelectionAct, jieBaPartOfSpeechTaggingForTextSelectionAct});
    place(evaluationMenu->addMenu(tr("按词类高亮统计")),
               {politicsSensitiveWordHighlightAct, eroticismSensitiveWordHighlightAct, vulgarSensitiveWordHighlightAct,
                idiomHighlightAct, internetSensitiveWordHighlightAct, surnameSensitiveWordHighlightAct,
                placeNameSensitiveWordHighlightAct, englishCharHighlightAct, numberHighlightAct, quantifierHighlightAct,
                polyphoneHighlightAct, userDefinedCategoryHighlightAct});
    evaluationMenu->addAction(partOfSpeechHighlightAct);

    toolsMenu = bar->addMenu(tr("工具(&T)"));
    place(toolsMenu, {nullptr, searchAct, nullptr, blackWhiteListSpellingCheckAct, whiteListSpellingCheckAct,
                           blackListSpellingCheckAct, userDefinedWordSpellingCheckAct, addSelectedWordToWhiteListAct,
                           addSelectedWordToBlackListAct, addSelectedContentToCurrentTemplateAct, expandMarkAct,
                           synonymMarkAct, antonymMarkAct, nullptr, statisticsAct, nullptr, logOutputAct,
                           wordCloudAct});
    if (superUserMode) {
        toolsMenu->addSeparator();
        place(toolsMenu->addMenu(tr("崩溃测试")),
                   {divisionByZeroAct, segmentationFaultAct, stackOverflowAct, bufferOverflowAct, memoryLeakAct,
                    abortFuncAct, assertFalseAct, throwExceptionAct, freeUninitializedPointerAct,
                    deleteUninitializedPointerAct});
    }

    if (developerSwitch != 0) {
        turingMenu = bar->addMenu(tr("图灵"));
        place(turingMenu, {wordEditAct, grammarEditAct, grammarCheckAct});
    }

    helpMenu = bar->addMenu(tr("帮助(&H)"));
    helpMenu->setObjectName(QStringLiteral("helpMenu"));
    if (superUserMode)
        helpMenu->addAction(systemInformationAct);
    place(helpMenu, {bugReportAct, userFeedbackAct, recommendToAct, nullptr, showReleaseNotesAct, aboutAct});
}

void MainWindow::createToolBars()
{
    qDebug() << Q_FUNC_INFO;
    toolBars[FileToolBarIndex] = makeToolBar(tr("文档"), "FileToolBar", this);
    toolBars[EditToolBarIndex] = makeToolBar(tr("编辑"), "EditToolBar", this);
    toolBars[PrintToolBarIndex] = makeToolBar(tr("打印"), "PrintToolBar", this);
    toolBars[DictToolBarIndex] = makeToolBar(tr("词典"), "DictToolBar", this);
    toolBars[SearchToolBarIndex] = makeToolBar(tr("搜索"), "SearchToolBar", this);

    const ToolBarIndex placement[] = {FileToolBarIndex,  EditToolBarIndex, PrintToolBarIndex, StyleToolBarIndex,
                                      FontToolBarIndex, DictToolBarIndex, SearchToolBarIndex};
    for (ToolBarIndex index : placement)
        addToolBar(Qt::TopToolBarArea, toolBars[index]);

    place(toolBars[FileToolBarIndex], {newAct, openAct, saveAct});
    place(toolBars[EditToolBarIndex], {undoAct, redoAct, cutAct, copyAct, pasteAct});
    place(toolBars[PrintToolBarIndex], {printAct});

    QToolBar* dictToolBar = toolBars[DictToolBarIndex];
    dictToolBar->addWidget(new QLabel(tr("词典 "), dictToolBar));
    dictLineEdit = new QLineEdit(dictToolBar);
    dictLineEdit->setClearButtonEnabled(true);
    dictLineEdit->setFixedWidth(100);
    dictToolBar->addWidget(dictLineEdit);
    connect(dictLineEdit, SIGNAL(textChanged(QString)), this, SLOT(dictTextChanged(QString)));
    connect(dictLineEdit, SIGNAL(returnPressed()), this, SLOT(dictReturnPressed()));

    QToolBar* searchToolBar = toolBars[SearchToolBarIndex];
    searchEngineComboBox = new QComboBox(searchToolBar);
    searchEngineComboBox->addItem(QIcon(QStringLiteral(":/Images/Baidu.png")), tr("百度"));
    searchEngineComboBox->addItem(QIcon(QStringLiteral(":/Images/Bing.png")), tr("必应"));
    searchEngineComboBox->addItem(QIcon(QStringLiteral(":/Images/Google.png")), tr("谷歌"));
    searchEngineComboBox->addItem(QIcon(QStringLiteral(":/Images/Wikipedia.png")), tr("维基百科"));
    searchToolBar->addWidget(searchEngineComboBox);
    searchLineEdit = new QLineEdit(searchToolBar);
    searchLineEdit->setClearButtonEnabled(true);
    searchLineEdit->setFixedWidth(100);
    searchToolBar->addWidget(searchLineEdit);
    connect(searchLineEdit, SIGNAL(returnPressed()), this, SLOT(searchReturnPressed()));
    auto* searchButton = new QPushButton(searchToolBar);
    searchButton->setFlat(true);
    searchButton->setFixedSize(24, 24);
    searchButton->setIcon(QIcon(QStringLiteral(":/Images/Magnifier.png")));
    searchToolBar->addWidget(searchButton);
    connect(searchButton, SIGNAL(clicked()), this, SLOT(searchReturnPressed()));
    searchToolBar->addSeparator();

    // A toolbar hidden or shown by other means than its visibility action (the main
    // window's own context menu) carries the change over to the action and the box.
    for (int i = 0; i < ToolBarCount; ++i) {
        connect(toolBars[i], &QToolBar::visibilityChanged, this, [this, i](bool visible) {
            QAction* action = toggleToolBarActs[i];
            if (!action || action->isChecked() == visible)
                return;
            action->setChecked(visible);
            setToggleAllToolbarActsCheckBoxState();
        });
    }
}

void MainWindow::toggleToolBars()
{
    qDebug() << Q_FUNC_INFO;
    auto* action = qobject_cast<QAction*>(sender());
    if (!action)
        return;
    const int index = action->data().toInt();
    if (index < 0 || index >= ToolBarCount || !toolBars[index])
        return;
    toolBars[index]->setVisible(action->isChecked());
    setToggleAllToolbarActsCheckBoxState();
}

void MainWindow::toggleAllToolbarActs(int state)
{
    qDebug() << Q_FUNC_INFO << ": state =" << state;
    if (state == Qt::Unchecked) {
        // The actions first, so that the toolbars' own visibility reports find them in step.
        for (int i = 0; i < ToolBarCount; ++i) {
            if (toggleToolBarActs[i])
                toggleToolBarActs[i]->setChecked(false);
            if (toolBars[i])
                toolBars[i]->hide();
        }
        toggleAllToolbarActsCheckBoxGuard = false;
        return;
    }
    if (toggleAllToolbarActsCheckBoxGuard) {
        // The program moved the box to the partial state itself.
        toggleAllToolbarActsCheckBoxGuard = false;
        return;
    }
    for (int i = 0; i < ToolBarCount; ++i) {
        if (toggleToolBarActs[i])
            toggleToolBarActs[i]->setChecked(true);
        if (toolBars[i])
            toolBars[i]->show();
    }
    setToggleAllToolbarActsCheckBoxState();
    toggleAllToolbarActsCheckBoxGuard = false;
}

void MainWindow::setToggleAllToolbarActsCheckBoxState()
{
    qDebug() << Q_FUNC_INFO;
    if (!toggleAllToolbarActsCheckBox)
        return;
    int checked = 0;
    for (QAction* action : toggleToolBarActs)
        if (action && action->isChecked())
            ++checked;
    if (checked == ToolBarCount) {
        toggleAllToolbarActsCheckBox->setCheckState(Qt::Checked);
    } else if (checked == 0) {
        toggleAllToolbarActsCheckBox->setCheckState(Qt::Unchecked);
    } else if (toggleAllToolbarActsCheckBox->checkState() != Qt::PartiallyChecked) {
        toggleAllToolbarActsCheckBoxGuard = true;
        toggleAllToolbarActsCheckBox->setCheckState(Qt::PartiallyChecked);
    }
}

void MainWindow::setToolBarsIconSize()
{
    auto* action = qobject_cast<QAction*>(sender());
    if (!action)
        return;
    int index = action->data().toInt();
    QSize size(24, 24);
    if (index == 1)
        size = QSize(16, 16);
    else if (index == 2)
        size = QSize(32, 32);
    else
        index = 0;
    for (QToolBar* toolBar : toolBars)
        if (toolBar)
            toolBar->setIconSize(size);
    settings.setValue(QStringLiteral("ToolBarIconSize"), index);
}
