#include "ListWidget.h"

#include <QAction>
#include <QCoreApplication>
#include <QDebug>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QKeyEvent>
#include <QMimeData>
#include <QMouseEvent>
#include <QRegularExpression>

#include "MdiChild.h"
#include "SharedCodes.h"
#include "TemplateDialog.h"

namespace {
// Marking mode of the expansion marking (the word list it chose last).
constexpr int kExpansionMarking = TEMPLATE_TYPE_TQW_FILE_ATOM_TOC;
}

ListWidget::ListWidget(QWidget* parent)
    : QListWidget(parent)
    , templateDialog(TemplateDialog::of(parent))
    , m_preModifierAction(new QAction(tr("前置修饰"), this))
    , m_postModifierAction(new QAction(tr("后置修饰"), this))
    , m_replaceAction(new QAction(tr("替换"), this))
    , m_separatorAction(new QAction(this))
{
    qDebug() << Q_FUNC_INFO;
    setMouseTracking(true);
    setDragEnabled(true);
    setAcceptDrops(true);
    setDropIndicatorShown(true);
    setUniformItemSizes(true);
    m_separatorAction->setSeparator(true);
    m_preModifierAction->setProperty("ExpandType", 1);
    m_postModifierAction->setProperty("ExpandType", 2);
    m_replaceAction->setProperty("ExpandType", 0);
    connect(this, SIGNAL(itemEntered(QListWidgetItem*)), this, SLOT(onItemEntered(QListWidgetItem*)));
}

ListWidget::~ListWidget()
{
    qDebug() << Q_FUNC_INFO;
}

QStringList ListWidget::atomTemplateNames(const QString& text)
{
    // A name holds no bracket, so "[][x]" names x alone and "[]" names nothing.
    static const QRegularExpression expression(QStringLiteral("\\[([^\\[\\]]+)\\]"));
    QStringList names;
    QRegularExpressionMatchIterator it = expression.globalMatch(text);
    while (it.hasNext())
        names << it.next().captured(1);
    return names;
}

QString ListWidget::copyActionText()
{
    return QCoreApplication::translate("MainWindow", "复制");
}

QString ListWidget::rowsMimeType()
{
    return QStringLiteral("application/x-tarnquill-template-rows");
}

QMimeData* ListWidget::mimeData(const QList<QListWidgetItem*> items) const
{
    QMimeData* data = QListWidget::mimeData(items);
    if (data)
        data->setData(rowsMimeType(), QByteArray::number(quintptr(this)));
    return data;
}

bool ListWidget::isOwnDrag(const QMimeData* data) const
{
    return data && data->data(rowsMimeType()) == QByteArray::number(quintptr(this));
}

void ListWidget::setContentGenerator(QObject* receiver, const char* member)
{
    m_generator = receiver;
    m_generatorMember = member;
}

MdiChild* ListWidget::activeEditor() const
{
    return m_activeEditor ? m_activeEditor() : nullptr;
}

void ListWidget::onItemEntered(QListWidgetItem* item)
{
    if (!item)
        return;
    const QString text = item->text();
    const QRect area = rect();
    if (fontMetrics().horizontalAdvance(text) >= area.right() - area.left() - 28)
        item->setToolTip(QStringLiteral("<div style=\"width: 300px;\">") + text.toHtmlEscaped()
                         + QStringLiteral("</div>"));
}

void ListWidget::atomMapSlot(QString templateTitle)
{
    qDebug() << Q_FUNC_INFO << ", templateTitle =" << templateTitle;
    emit atomTemplateRequested(templateTitle, currentTemplateType == kExpansionMarking);
}

void ListWidget::expandWithItem()
{
    MdiChild* editor = activeEditor();
    qDebug() << Q_FUNC_INFO << ", editor =" << editor;
    if (!editor)
        return;
    editor->itemActivated(currentItem(), qobject_cast<QAction*>(sender()));
}

void ListWidget::mousePressEvent(QMouseEvent* event)
{
    QAbstractItemView::mousePressEvent(event);
    if (event->button() == Qt::RightButton)
        prepareContextMenu();
}

void ListWidget::prepareContextMenu()
{
    const bool readOnly = templateDialog && templateDialog->property("ReadOnly").toBool();
    qDebug() << Q_FUNC_INFO << ", readOnly =" << readOnly;

    const QString openAtomText = tr("打开原子模板: ");
    const QString generateText = tr("用本条目生成");
    const QString copyText = copyActionText();
    QAction* marker = nullptr;
    const QList<QAction*> snapshot = actions();
    for (QAction* action : snapshot) {
        if (action->text().contains(openAtomText) || action->text().contains(generateText)) {
            removeAction(action);
            if (action->parent() == this)
                action->deleteLater();
            continue;
        }
        if (action->text() != copyText)
            action->setEnabled(!readOnly);
        if (action->data().toInt() == 1)
            marker = action;
    }

    MdiChild* editor = activeEditor();
    const QString anchorWord = editor ? editor->anchor.section(QLatin1Char('#'), 0, 0) : QString();
    const QString itemText = currentItem() ? currentItem()->text() : QString();

    if (currentTemplateType == kExpansionMarking && !anchorWord.isEmpty() && !itemText.isEmpty()
        && !itemText.startsWith(QLatin1Char('['))) {
        m_preModifierAction->setText(tr("前置修饰: %1 %2").arg(itemText, anchorWord));
        m_postModifierAction->setText(tr("后置修饰: %1 %2").arg(anchorWord, itemText));
        m_replaceAction->setText(tr("替换: %1 -> %2").arg(anchorWord, itemText));
        if (!m_expansionConnected) {
            for (QAction* action : {m_preModifierAction, m_postModifierAction, m_replaceAction})
                connect(action, SIGNAL(triggered()), this, SLOT(expandWithItem()));
            m_expansionConnected = true;
        }
        for (QAction* action : {m_preModifierAction, m_postModifierAction, m_replaceAction, m_separatorAction})
            insertAction(marker, action);
    }

    if (!currentItem())
        return;
    QStringList names = atomTemplateNames(itemText);
    names.removeDuplicates();
    for (const QString& name : qAsConst(names)) {
        auto* action = new QAction(openAtomText + name, this);
        action->setStatusTip(openAtomText);
        connect(action, &QAction::triggered, this, [this, name]() { atomMapSlot(name); });
        addAction(action);
    }
    if (names.isEmpty())
        return;
    auto* generate = new QAction(generateText, this);
    generate->setProperty("content", itemText);
    generate->setStatusTip(generateText);
    if (m_generator)
        connect(generate, SIGNAL(triggered()), m_generator, m_generatorMember.constData());
    addAction(generate);
}

void ListWidget::keyReleaseEvent(QKeyEvent* event)
{
    TemplateDialog::requestCommandForKey(this, event->key());
}

void ListWidget::dragEnterEvent(QDragEnterEvent* event)
{
    qDebug() << Q_FUNC_INFO << ", source =" << event->source();
    if (event->source() != this) {
        event->ignore();
        return;
    }
    setDragDropMode(QAbstractItemView::InternalMove);
    event->setDropAction(Qt::MoveAction);
    event->accept();
}

void ListWidget::dropEvent(QDropEvent* event)
{
    qDebug() << Q_FUNC_INFO;
    QListWidget::dropEvent(event);
    emit itemDnD();
}
