#include "FindReplaceDialogEx.h"
#include "ui_FindReplaceDialogEx.h"

#include <QDebug>
#include <QLineEdit>
#include <QTimer>

#include "DocumentHost.h"
#include "MatchCounter.h"
#include "MatchScanner.h"
#include "MdiChild.h"
#include "SettingsStore.h"

namespace {

const char* tabName(int index)
{
    switch (index) {
    case FIND_DIALOG_FIND_TAB:
        return "FIND_DIALOG_FIND_TAB";
    case FIND_DIALOG_REPLACE_TAB:
        return "FIND_DIALOG_REPLACE_TAB";
    default:
        return "Unknown";
    }
}

// Puts text on top of a history box without repeats, keeps at most `limit`
// entries and writes the list under the settings group. Nothing happens when
// the text is on top already.
void pushHistory(QComboBox* box, const QString& text, Settings& settings, const QString& group, int limit)
{
    qDebug() << Q_FUNC_INFO << ", text =" << text << ", group =" << group;
    settings.beginGroup(group);
    const QString top = box->count() > 0 ? box->itemText(0) : QString();
    if (top != text) {
        box->insertItem(0, text);
        if (box->count() > limit)
            box->removeItem(limit);
        for (int i = 1; i < box->count(); ++i) {
            if (box->itemText(i) == text) {
                box->removeItem(i);
                break;
            }
        }
        for (int i = 0; i < box->count(); ++i)
            settings.setValue(QString::number(i), box->itemText(i));
    }
    settings.endGroup();
}

} // namespace

FindReplaceDialogEx::FindReplaceDialogEx(QWidget* parent)
    : QDialog(parent)
    , ui(new Ui::FindReplaceDialogEx)
    , owner(dynamic_cast<DocumentHost*>(parent))
    , countTimer(new QTimer(this))
    , counter(new MatchCounter(this))
{
    qDebug() << Q_FUNC_INFO;
    ui->setupUi(this);
    ui->findComboBox->lineEdit()->setClearButtonEnabled(true);
    ui->replaceComboBox->lineEdit()->setClearButtonEnabled(true);
    // Typing into the box must not add items: the history is kept by the buttons.
    ui->findComboBox->setInsertPolicy(QComboBox::NoInsert);
    ui->replaceComboBox->setInsertPolicy(QComboBox::NoInsert);
    const QStringList help = {
        tr("符号    解释                       例如"),
        tr("|         或                          大|小    : 匹配“大”或“小”"),
        tr("[^xyz] 排除型字符集合        [^走]狗: 匹配所有的x狗，但不包括\"走狗\"和\"狗\"开头的行"),
        tr("\\d       匹配一个阿拉伯数字  \\d        : 等价于[0-9]"),
        tr("()        匹配分割括弧"),
        QString(),
        tr("配合使用:"),
        tr("(牧羊|哈巴)(犬|狗)   匹配前一个括号里的一个词 + 狗或犬, 依次是：牧羊犬 牧羊狗 哈巴犬 哈巴狗"),
        QString(),
        tr("更多帮助请网上搜索正则表达式"),
        QString(),
        tr("注: 正则表达式是极其复杂的(概念)标准，且每个实现的标准都不一定完善，彼此不完全兼容，因此如果您"),
        tr("发现此处使用的的正则表达式不够完善，除非特别严重，否则不提供额外的技术支持和软件改进."),
    };
    ui->regExpCheckBox->setToolTip(help.join(QLatin1Char('\n')));
    // Dark text on the cyan field in every skin, also where the skin writes light text.
    ui->resultLabel->setStyleSheet(QStringLiteral("QLabel { background-color : cyan; color: black; }"));
    // The count follows the options it is counted with.
    connect(ui->caseCheckBox, &QCheckBox::toggled, this, &FindReplaceDialogEx::updateSearchResultCount);
    connect(ui->regExpCheckBox, &QCheckBox::toggled, this, &FindReplaceDialogEx::updateSearchResultCount);
    // And the document's text: once typing pauses, not at every keystroke.
    countTimer->setSingleShot(true);
    countTimer->setInterval(countDelay);
    connect(countTimer, &QTimer::timeout, this, &FindReplaceDialogEx::updateSearchResultCount);
    connect(counter, &MatchCounter::counted, this, &FindReplaceDialogEx::showCount);
    on_tabWidget_currentChanged(ui->tabWidget->currentIndex());
    updateButtons();
}

FindReplaceDialogEx::~FindReplaceDialogEx()
{
    qDebug() << Q_FUNC_INFO;
    delete ui;
}

void FindReplaceDialogEx::setFindString(const QString& str) const
{
    qDebug() << Q_FUNC_INFO << ", str =" << str;
    if (!str.isEmpty())
        ui->findComboBox->setEditText(str);
    updateButtons();
}

void FindReplaceDialogEx::updateButtons() const
{
    const bool enable = !ui->findComboBox->currentText().isEmpty() && owner && owner->activeDocument();
    qDebug() << Q_FUNC_INFO << ", enable =" << enable;
    ui->findPushButton->setEnabled(enable);
    ui->replacePushButton->setEnabled(enable);
    ui->replaceAllPushButton->setEnabled(enable);
}

void FindReplaceDialogEx::on_tabWidget_currentChanged(int index)
{
    qDebug() << Q_FUNC_INFO << ", index =" << index << "(" << tabName(index) << ")";
    QWidget* controls = ui->horizontalLayoutWidget;
    if (index == FIND_DIALOG_FIND_TAB || index == FIND_DIALOG_REPLACE_TAB) {
        // Setting the current tab re-enters here through currentChanged; the
        // second pass finds the controls in place already.
        const QSignalBlocker blocker(ui->tabWidget);
        ui->tabWidget->setCurrentIndex(index);
    }
    const bool replacing = index == FIND_DIALOG_REPLACE_TAB;
    switch (index) {
    case FIND_DIALOG_FIND_TAB:
    case FIND_DIALOG_REPLACE_TAB: {
        QLayout* from = replacing ? ui->findWidgetLayout : ui->replaceWidgetLayout;
        QLayout* to = replacing ? ui->replaceWidgetLayout : ui->findWidgetLayout;
        if (to->indexOf(controls) < 0) {
            from->removeWidget(controls);
            to->addWidget(controls);
            controls->show();
        }
        ui->replacePushButton->setVisible(replacing);
        ui->replaceAllPushButton->setVisible(replacing);
        ui->replaceComboBox->setVisible(replacing);
        ui->replaceLabel->setVisible(replacing);
        break;
    }
    default:
        qCritical() << "Unknown tab index specified.";
        break;
    }
}

// The matches "全部替换" would replace, under the same options. A document's
// text is counted on a worker thread: the label follows when the count arrives.
void FindReplaceDialogEx::updateSearchResultCount()
{
    qDebug() << Q_FUNC_INFO;
    countTimer->stop();
    counter->cancel();
    MdiChild* child = owner ? owner->activeDocument() : nullptr;
    if (isVisible())
        watchDocument(child ? child->document() : nullptr);
    const QString findText = ui->findComboBox->currentText();
    if (!child)
        ui->resultLabel->clear(); // nothing to count in, as before any document was open
    else if (findText.isEmpty())
        showCount(0);
    else
        counter->start(child->document()->toRawText(), findText,
                       ui->caseCheckBox->isChecked() ? Qt::CaseSensitive : Qt::CaseInsensitive,
                       ui->regExpCheckBox->isChecked());
    updateButtons();
}

void FindReplaceDialogEx::showCount(int count)
{
    qDebug() << Q_FUNC_INFO << ", count =" << count;
    if (count == MatchScanner::TooComplex)
        ui->resultLabel->setText(tr("匹配结果: 表达式过于复杂, 无法计数"));
    else
        ui->resultLabel->setText(tr("匹配结果: %1 个").arg(count));
}

bool FindReplaceDialogEx::isCounting() const
{
    return counter->isBusy();
}

// Edits are counted once typing pauses; a closed document leaves its sub-window
// in the window list until it is deleted, so the count looks again after that.
void FindReplaceDialogEx::watchDocument(QTextDocument* document)
{
    if (watchedDocument == document)
        return;
    qDebug() << Q_FUNC_INFO << ", document =" << document;
    if (watchedDocument) {
        disconnect(watchedDocument, nullptr, countTimer, nullptr);
        disconnect(watchedDocument, nullptr, this, nullptr);
    }
    watchedDocument = document;
    if (!document)
        return;
    connect(document, &QTextDocument::contentsChange, countTimer, [this] { countTimer->start(); });
    connect(document, &QObject::destroyed, this, [this] {
        QTimer::singleShot(0, this, &FindReplaceDialogEx::activeDocumentChanged);
    });
}

void FindReplaceDialogEx::activeDocumentChanged()
{
    qDebug() << Q_FUNC_INFO;
    if (isVisible())
        updateSearchResultCount();
}

// While hidden the dialog does not follow the document; shown again, it counts afresh.
void FindReplaceDialogEx::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    updateSearchResultCount();
}

void FindReplaceDialogEx::hideEvent(QHideEvent* event)
{
    QDialog::hideEvent(event);
    watchDocument(nullptr);
    countTimer->stop();
    counter->cancel();
}

void FindReplaceDialogEx::textChanged(QString text)
{
    qDebug() << Q_FUNC_INFO << ", text =" << text;
    on_findComboBox_currentTextChanged(text);
}

void FindReplaceDialogEx::on_findComboBox_currentTextChanged(QString arg1)
{
    qDebug() << Q_FUNC_INFO << ", arg1 =" << arg1;
    updateSearchResultCount();
}

void FindReplaceDialogEx::on_closePushButton_clicked()
{
    qDebug() << Q_FUNC_INFO;
    close();
}

void FindReplaceDialogEx::on_findPushButton_clicked()
{
    qDebug() << Q_FUNC_INFO;
    findReplace(qobject_cast<const QPushButton*>(sender()));
}

void FindReplaceDialogEx::on_replacePushButton_clicked()
{
    qDebug() << Q_FUNC_INFO;
    findReplace(qobject_cast<const QPushButton*>(sender()));
}

void FindReplaceDialogEx::on_replaceAllPushButton_clicked()
{
    qDebug() << Q_FUNC_INFO;
    findReplace(qobject_cast<const QPushButton*>(sender()));
}

void FindReplaceDialogEx::findReplace(const QPushButton* button)
{
    qDebug() << Q_FUNC_INFO << ", button =" << (button ? button->objectName() : QString());
    const QString findStr = ui->findComboBox->currentText();
    const QString replaceStr = ui->replaceComboBox->currentText();
    const bool replaceAll = button == ui->replaceAllPushButton;
    const bool replace = replaceAll || button == ui->replacePushButton;
    emit findReplace(findStr, replaceStr,
                     ui->backwardCheckBox->isChecked() ? QTextDocument::FindBackward : QTextDocument::FindFlag(0),
                     ui->caseCheckBox->isChecked() ? QTextDocument::FindCaseSensitively : QTextDocument::FindFlag(0),
                     ui->wrapAroundCheckBox->isChecked(), replace, replaceAll, ui->regExpCheckBox->isChecked());
    saveHistory(findStr, replaceStr);
    // What is left to find after a replacement.
    if (replace)
        updateSearchResultCount();
}

void FindReplaceDialogEx::saveHistory(const QString& findStr, const QString& replaceStr) const
{
    qDebug() << Q_FUNC_INFO << ", findStr =" << findStr << ", replaceStr =" << replaceStr;
    Settings settings;
    {
        // Inserting items must not pass through the count and button updates twice.
        const QSignalBlocker blocker(ui->findComboBox);
        pushHistory(ui->findComboBox, findStr, settings, QStringLiteral("FindString"), historySize);
    }
    ui->findComboBox->setCurrentIndex(0);
    if (ui->tabWidget->currentIndex() == FIND_DIALOG_REPLACE_TAB) {
        const QSignalBlocker blocker(ui->replaceComboBox);
        pushHistory(ui->replaceComboBox, replaceStr, settings, QStringLiteral("ReplaceString"), historySize);
        ui->replaceComboBox->setCurrentIndex(0);
    }
}
