// Main window: log-tab switch, action table, shortcuts, menus, toolbars, status bars, sub-windows, tabs and skins.

#include "MainWindow.h"

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QCursor>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QMdiSubWindow>
#include <QMessageBox>
#include <QMimeData>
#include <QStatusBar>
#include <QTabWidget>
#include <QTextCursor>
#include <QToolButton>
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
#include <QToolBar>
#include <initializer_list>

#include "ActionTable.h"
#include "Logging.h"
#include "MdiArea.h"
#include "MdiChild.h"
#include "Prompt.h"
#include "TemplateDialog.h"
#include "GlobalActions.h"
#include "SharedCodes.h"
#include "StartUp.h"

// ---- Output window -------------------------------------------------------------

void MainWindow::logOutputChanged()
{
    const bool checked = logOutputAct && logOutputAct->isChecked();
    qDebug() << Q_FUNC_INFO << "logOutputAct->isChecked() =" << (checked ? "true" : "false");
    if (checked) {
        logTargets |= LOG_TARGET_OUTPUT_WINDOW;
        showBottomTab(QStringLiteral("LogOutputDialog"));
        return;
    }
    logTargets &= ~LOG_TARGET_OUTPUT_WINDOW;
    for (int i = mainTabWidget->count() - 1; i >= 0; --i)
        if (mainTabWidget->widget(i)->objectName() == QLatin1String("LogOutputDialog"))
            closeTab(i);
}

// ---- Action table --------------------------------------------------------------

void MainWindow::createActions()
{
    qDebug() << Q_FUNC_INFO;
    const bool atomTemplateEmbellish = settings.value(QStringLiteral("EnableAtomTemplateEmbellish"), 0).toInt() != 0;
    ActionTable::build(this, ActionTable::rows(this), superUserMode, atomTemplateEmbellish);
}

// ---- Action shortcuts ----------------------------------------------------------

void MainWindow::setActionsShortcuts()
{
    qDebug() << Q_FUNC_INFO;
    const Settings store;
    ActionTable::applyShortcuts(ActionTable::shortcutRows(this), store);
}

// ---- Menus and toolbars --------------------------------------------------------

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

    textBoldAct = new QAction(QIcon(imageFolder + QStringLiteral("/TextBold.png")), tr("粗体"), this);
    textBoldAct->setShortcut(Qt::CTRL | Qt::Key_B);
    QFont bold;
    bold.setBold(true);
    textBoldAct->setFont(bold);
    textBoldAct->setCheckable(true);
    connect(textBoldAct, SIGNAL(triggered()), this, SLOT(textBold()));
    addFormatAction(textBoldAct);

    textItalicAct = new QAction(QIcon(imageFolder + QStringLiteral("/TextItalic.png")), tr("斜体"), this);
    textItalicAct->setShortcut(Qt::CTRL | Qt::Key_I);
    QFont italic;
    italic.setItalic(true);
    textItalicAct->setFont(italic);
    textItalicAct->setCheckable(true);
    connect(textItalicAct, SIGNAL(triggered()), this, SLOT(textItalic()));
    addFormatAction(textItalicAct);

    textUnderlineAct = new QAction(QIcon(imageFolder + QStringLiteral("/TextUnder.png")), tr("下划线"), this);
    textUnderlineAct->setShortcut(Qt::CTRL | Qt::Key_U);
    QFont underline;
    underline.setUnderline(true);
    textUnderlineAct->setFont(underline);
    textUnderlineAct->setCheckable(true);
    connect(textUnderlineAct, SIGNAL(triggered()), this, SLOT(textUnderline()));
    addFormatAction(textUnderlineAct);

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
    comboFont->setMaximumWidth(120);
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

// ---- Status bars ---------------------------------------------------------------

namespace {

// The date and time show only when their setting holds a checked state.
bool showDateAndTime(const Settings& settings)
{
    return settings.value(QStringLiteral("ShowDateInStatusBar")).toInt() == Qt::Checked;
}

} // namespace

void MainWindow::updateMenusStatusBar(QMdiSubWindow* window)
{
    MdiChild* child = activeMdiChild();
    const bool hasChild = child != nullptr;
    qDebug() << Q_FUNC_INFO << ": window =" << window << "hasMdiChild =" << (hasChild ? "true" : "false");

    auto enable = [](QAction* action, bool enabled) {
        if (action)
            action->setEnabled(enabled);
    };
    enable(saveAct, hasChild);
    enable(saveAsAct, hasChild);

    const QMimeData* clipboard = QApplication::clipboard()->mimeData();
    const bool canPaste = clipboard && hasChild && !QApplication::clipboard()->text().isEmpty();
    for (QAction* action : {pasteAct, pasteAsPlainTextAct, deleteSelectedTextAct})
        enable(action, canPaste);

    for (QAction* action : {pasteFromClipboardHistoryAct, printPreviewAct, printAct, closeAct, closeAllAct,
                            closeOthersAct, closeRightAct, tileAct, cascadeAct, nextAct, previousAct})
        enable(action, hasChild);
    if (separatorAct)
        separatorAct->setVisible(hasChild);

    const bool hasSelection = hasChild && child->textCursor().hasSelection();
    enable(cutAct, hasSelection);
    enable(copyAct, hasSelection);

    updateEncodingActions();

    if (!window || !window->widget()) {
        setStatusBar(nullptr);
        return;
    }
    const int type = window->widget()->property("SubWindowType").toInt();
    switch (type) {
    case 1:
        createEditorStatusBar();
        if (child) {
            const bool readOnly = child->isReadOnly();
            if (setTextEditReadOnlyAct)
                setTextEditReadOnlyAct->setChecked(readOnly);
            if (readOnlyButton) {
                readOnlyButton->setProperty("ReadOnly", readOnly);
                readOnlyButton->setIcon(QIcon(readOnly ? QStringLiteral(":/Images/ReadOnly.png")
                                                       : QStringLiteral(":/Images/ReadWrite.png")));
            }
            if (insertOverwriteButton)
                child->setOverwriteMode(insertOverwriteButton->property("Overwrite").toBool());
        }
        break;
    case 2:
        setStatusBar(nullptr);
        break;
    case 4:
        createBrowserStatusBar();
        break;
    default:
        qWarning() << "Unknown SubWindowType" << type;
        break;
    }

    if (showStatusBarAct && showStatusBarAct->isChecked())
        statusBar()->show();
    updateCharactersCountOnStatusBar();
    updateEncodingLabelOnStatusBar(QString());
    updateLineLabelOnStatusBar();
}

void MainWindow::addDateTimeLabels(QStatusBar* bar)
{
    dateLabel = new QLabel(bar);
    timeLabel = new QLabel(bar);
    bar->addPermanentWidget(dateLabel, 0);
    bar->addPermanentWidget(timeLabel, 0);
}

void MainWindow::createEditorStatusBar()
{
    qDebug() << Q_FUNC_INFO;
    setStatusBar(nullptr);
    QStatusBar* bar = statusBar();
    bar->setObjectName(QStringLiteral("EditorStatusBar"));

    readOnlyButton = new QToolButton(bar);
    readOnlyButton->setIcon(QIcon(QStringLiteral(":/Images/ReadWrite.png")));
    readOnlyButton->setToolTip(tr("切换只读/读写"));
    readOnlyButton->setProperty("ReadOnly", false);
    connect(readOnlyButton, &QToolButton::clicked, this, &MainWindow::toggleReadOnlyButton);
    encodingLabel = new QLabel(bar);
    charactersCountLabel = new QLabel(tr("字数: 0"), bar);
    lineColumnLabel = new QLabel(tr("行: 1, 列: 1"), bar);
    insertOverwriteButton = new QPushButton(QStringLiteral("INS"), bar);
    insertOverwriteButton->setFlat(true);
    insertOverwriteButton->setProperty("Overwrite", false);
    insertOverwriteButton->setSizePolicy(QSizePolicy::Minimum, QSizePolicy::Minimum);
    insertOverwriteButton->setFocusPolicy(Qt::NoFocus);
    connect(insertOverwriteButton, SIGNAL(clicked()), this, SLOT(toggleInsertOverwriteMode()));

    bar->addPermanentWidget(readOnlyButton);
    bar->addPermanentWidget(encodingLabel);
    bar->addPermanentWidget(charactersCountLabel);
    bar->addPermanentWidget(lineColumnLabel);
    bar->addPermanentWidget(insertOverwriteButton);
    if (showDateAndTime(settings))
        addDateTimeLabels(bar);
    bar->showMessage(tr("准备就绪"), 7000);
}

void MainWindow::createBrowserStatusBar()
{
    qDebug() << Q_FUNC_INFO;
    setStatusBar(nullptr);
    QStatusBar* bar = statusBar();
    bar->setObjectName(QStringLiteral("BrowserStatusBar"));
    loadProgressLabel = new QLabel(tr("加载进度: -"), bar);
    bar->addPermanentWidget(loadProgressLabel);
    if (showDateAndTime(settings))
        addDateTimeLabels(bar);
}

MdiChild* MainWindow::editorForStatusBar()
{
    MdiChild* child = activeMdiChild();
    if (child && statusBar()->objectName() != QLatin1String("EditorStatusBar"))
        createEditorStatusBar();
    return child;
}

void MainWindow::updateCharactersCountOnStatusBar()
{
    MdiChild* child = editorForStatusBar();
    if (!child || !charactersCountLabel)
        return;
    // The document keeps its own count (paragraph ends count as one character each,
    // like the line breaks of its plain text), so a keystroke costs no full scan.
    const int count = qMax(0, child->document()->characterCount() - 1);
    charactersCountLabel->setText(tr("字数: %1").arg(count));
}

void MainWindow::updateEncodingLabelOnStatusBar(const QString& encoding)
{
    MdiChild* child = editorForStatusBar();
    if (!child || !encodingLabel)
        return;
    encodingLabel->setText(encoding.isEmpty() ? child->encoding : encoding);
}

void MainWindow::updateLineLabelOnStatusBar()
{
    MdiChild* child = editorForStatusBar();
    if (!child || !lineColumnLabel)
        return;
    const QTextCursor cursor = child->textCursor();
    lineColumnLabel->setText(tr("行: %1, 列: %2").arg(cursor.blockNumber() + 1).arg(cursor.columnNumber() + 1));
}

void MainWindow::updateDateTime()
{
    if (!showDateAndTime(settings))
        return;
    const QDateTime now = QDateTime::currentDateTime();
    QStatusBar* bar = statusBar();
    if (bar->objectName().isEmpty()) {
        bar->setObjectName(QStringLiteral("EmptyStatusBar"));
        addDateTimeLabels(bar);
    } else if (!dateLabel || !timeLabel) {
        // The bar was built while the date was off: give it its labels now.
        addDateTimeLabels(bar);
    }
    dateLabel->setText(now.toString(QStringLiteral("yyyy-MM-dd")));
    timeLabel->setText(now.toString(QStringLiteral("hh:mm:ss")));
}

// ---- Sub-windows and tabs ------------------------------------------------------

void MainWindow::updateWindowMenu()
{
    if (!windowMenu)
        return;
    windowMenu->clear();
    for (QAction* action : {closeAct, closeAllAct, static_cast<QAction*>(nullptr), tileAct, cascadeAct,
                            static_cast<QAction*>(nullptr), nextAct, previousAct, separatorAct}) {
        if (!action)
            windowMenu->addSeparator();
        else
            windowMenu->addAction(action);
    }
    const QList<QMdiSubWindow*> windows = mdiArea->subWindowList();
    if (separatorAct)
        separatorAct->setVisible(!windows.isEmpty());
    MdiChild* active = activeMdiChild();
    for (int i = 0; i < windows.size(); ++i) {
        auto* child = qobject_cast<MdiChild*>(windows.at(i)->widget());
        if (!child)
            continue;
        // A "&" in a file name is shown, not taken as a shortcut marker.
        const QString name = child->userFriendlyCurrentFile().replace(QLatin1Char('&'), QLatin1String("&&"));
        const QString text = i < 9 ? QStringLiteral("&%1 %2").arg(i + 1).arg(name)
                                   : QStringLiteral("%1 %2").arg(i + 1).arg(name);
        QAction* action = windowMenu->addAction(text);
        action->setCheckable(true);
        action->setChecked(child == active);
        connect(action, &QAction::triggered, this, [this, windows, i] { setActiveSubWindow(windows.at(i)); });
    }
}

void MainWindow::setActiveSubWindow(QWidget* window)
{
    if (!window)
        return;
    mdiArea->setActiveSubWindow(qobject_cast<QMdiSubWindow*>(window));
    updateEncodingLabelOnStatusBar(QString());
    updateCharactersCountOnStatusBar();
    updateLineLabelOnStatusBar();
}

void MainWindow::showCustomContextMenu(const QPoint& pos)
{
    qDebug() << Q_FUNC_INFO << ", pos =" << pos;
    MdiChild* child = activeMdiChild();
    if (openContainingDirectoryUsingSystemAppAct)
        openContainingDirectoryUsingSystemAppAct->setEnabled(child && !QDir::isRelativePath(child->currentFile()));
    const QList<QMdiSubWindow*> windows = mdiArea->subWindowList();
    QMenu menu(this);
    auto add = [&menu](QAction* action) {
        if (action)
            menu.addAction(action);
    };
    add(closeAct);
    add(closeAllAct);
    if (windows.size() > 1)
        add(closeOthersAct);
    if (!windows.isEmpty() && mdiArea->currentSubWindow() != windows.last())
        add(closeRightAct);
    menu.addSeparator();
    add(openContainingDirectoryUsingSystemAppAct);
    Prompt::current().execMenu(menu, QCursor::pos());
}

void MainWindow::closeMultiSubWindows()
{
    qDebug() << Q_FUNC_INFO;
    QAction* action = qobject_cast<QAction*>(sender());
    if (!action)
        return;
    QMdiSubWindow* current = mdiArea->currentSubWindow();
    const QList<QMdiSubWindow*> windows = mdiArea->subWindowList();
    if (action == closeOthersAct) {
        for (QMdiSubWindow* window : windows)
            if (window != current)
                window->close();
    } else if (action == closeRightAct) {
        bool right = false;
        for (QMdiSubWindow* window : windows) {
            if (right)
                window->close();
            else if (window == current)
                right = true;
        }
    }
}

bool MainWindow::removeBottomPage(int index, bool askForTemplates)
{
    QWidget* page = mainTabWidget->widget(index);
    if (!page)
        return false;
    auto* templateDialog = qobject_cast<TemplateDialog*>(page);
    if (!templateDialog || page->objectName() != QLatin1String("TemplateDialog")) {
        mainTabWidget->removeTab(index);
        return true;
    }
    if (askForTemplates && mainTabWidget->tabText(index).startsWith(QLatin1Char('*'))) {
        QMessageBox box(QMessageBox::Warning, tr("警告!"), tr("模板已经修改，是否保存修改?"),
                        QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel);
        box.setButtonText(QMessageBox::Save, tr("保存"));
        box.setButtonText(QMessageBox::Discard, tr("不保存"));
        box.setButtonText(QMessageBox::Cancel, tr("取消"));
        const int answer = Prompt::current().exec(box);
        if (answer == QMessageBox::Cancel)
            return false;
        if (answer == QMessageBox::Save) {
            mainTabWidget->setCurrentIndex(index);
            saveTemplate(false, false);
            if (mainTabWidget->tabText(index).startsWith(QLatin1Char('*')))
                return false; // not saved: keep the page
        }
    }
    templateDialogs.removeAll(templateDialog);
    mainTabWidget->removeTab(index);
    templateDialog->deleteLater();
    return true;
}

void MainWindow::recomputeTemplateModified()
{
    bool modified = false;
    for (int i = 0; i < mainTabWidget->count(); ++i)
        if (mainTabWidget->widget(i)->objectName() == QLatin1String("TemplateDialog")
            && mainTabWidget->tabText(i).startsWith(QLatin1Char('*')))
            modified = true;
    templateModified = modified;
}

void MainWindow::closeMultiTabs()
{
    qDebug() << Q_FUNC_INFO;
    QAction* action = qobject_cast<QAction*>(sender());
    if (!action)
        return;
    const int clicked = mainTabWidget->property("clickedWidgetIndex").toInt();
    if (action == closeTabAct) {
        removeBottomPage(clicked, true);
    } else if (action == closeAllTabsAct) {
        for (int i = mainTabWidget->count() - 1; i >= 0; --i)
            removeBottomPage(i, true);
    } else if (action == closeOtherTabsAct) {
        QWidget* keep = mainTabWidget->widget(clicked);
        for (int i = mainTabWidget->count() - 1; i >= 0; --i)
            if (mainTabWidget->widget(i) != keep)
                removeBottomPage(i, true);
    } else if (action == closeRightTabsAct) {
        for (int i = mainTabWidget->count() - 1; i > clicked; --i)
            removeBottomPage(i, true);
    }
    recomputeTemplateModified();
}

void MainWindow::closeTab(int index)
{
    qDebug() << Q_FUNC_INFO << ", index =" << index;
    QWidget* page = mainTabWidget->widget(index);
    if (!page)
        return;
    const bool logPage = page->objectName() == QLatin1String("LogOutputDialog");
    if (!removeBottomPage(index, true))
        return;
    if (logPage && logOutputAct)
        logOutputAct->setChecked(false);
    recomputeTemplateModified();
}

void MainWindow::autoCloseTabs(const QString& keep)
{
    qDebug() << Q_FUNC_INFO << ", keep =" << keep;
    int i = 0;
    while (i < mainTabWidget->count()) {
        auto* templateDialog = qobject_cast<TemplateDialog*>(mainTabWidget->widget(i));
        if (templateDialog && templateDialog->objectName() == QLatin1String("TemplateDialog")
            && templateDialog->autoClose() && !mainTabWidget->tabText(i).startsWith(QLatin1Char('*'))
            && templateDialog->fileName() != keep) {
            removeBottomPage(i, false);
            continue; // the next page has moved into this index
        }
        ++i;
    }
}

// ---- Skins ---------------------------------------------------------------------

void MainWindow::setCustomStyleSheet(int id)
{
    qDebug() << Q_FUNC_INFO << ", id =" << id;
    static const char* const sheets[SkinCount] = {
        ":/Qss/Tarnquill_Default.qss", ":/Qss/Tarnquill_Blue.qss",   ":/Qss/Tarnquill_Dark.qss",
        ":/Qss/Tarnquill_Green.qss",   ":/Qss/Tarnquill_Purple.qss", ":/Qss/Tarnquill_Pink.qss",
        ":/Qss/Tarnquill_Red.qss",     ":/Qss/Tarnquill_Silver.qss", ":/Qss/Tarnquill_Yellow.qss"};
    const int row = (id >= 0 && id < SkinCount) ? id : DefaultSkin;
    if (skinActs[row])
        skinActs[row]->setChecked(true);
    QFile file(QLatin1String(sheets[row]));
    QByteArray bytes;
    if (file.open(QIODevice::ReadOnly))
        bytes = file.readAll();
    const int nul = bytes.indexOf('\0');
    if (nul >= 0)
        bytes.truncate(nul);
    setStyleSheet(QString::fromUtf8(bytes));
    styleId = id;
}
