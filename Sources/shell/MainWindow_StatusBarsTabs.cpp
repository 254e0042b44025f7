// Main window: status bars, the Window menu, sub-windows and the bottom tabs.

#include "MainWindow.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QCursor>
#include <QDateTime>
#include <QDebug>
#include <QDir>
#include <QLabel>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QStatusBar>
#include <QTabBar>
#include <QTabWidget>
#include <QTextCursor>
#include <QToolButton>

#include "GlobalActions.h"
#include "MdiArea.h"
#include "MdiChild.h"
#include "PluginManager.h"
#include "Prompt.h"
#include "TemplateDialog.h"

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
        discardStatusBar();
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
        discardStatusBar();
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

void MainWindow::discardStatusBar()
{
    // The old bar is deleted later; its widgets must not be mistaken for the new bar's.
    // The plug-in widgets are kept for the next bar.
    if (pluginManager)
        pluginManager->takeWidgetsOutOfStatusBar();
    setStatusBar(nullptr);
    for (QPointer<QLabel>* label : {&encodingLabel, &charactersCountLabel, &lineColumnLabel, &dateLabel, &timeLabel,
                                    &loadProgressLabel})
        *label = nullptr;
    readOnlyButton = nullptr;
    insertOverwriteButton = nullptr;
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
    discardStatusBar();
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
    if (pluginManager)
        pluginManager->putWidgetsIntoStatusBar(bar);
    bar->showMessage(tr("准备就绪"), 7000);
}

void MainWindow::createBrowserStatusBar()
{
    qDebug() << Q_FUNC_INFO;
    discardStatusBar();
    QStatusBar* bar = statusBar();
    bar->setObjectName(QStringLiteral("BrowserStatusBar"));
    loadProgressLabel = new QLabel(tr("加载进度: -"), bar);
    bar->addPermanentWidget(loadProgressLabel);
    if (showDateAndTime(settings))
        addDateTimeLabels(bar);
    if (pluginManager)
        pluginManager->putWidgetsIntoStatusBar(bar);
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
