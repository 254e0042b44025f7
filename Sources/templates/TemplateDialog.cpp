#include "TemplateDialog.h"

#include <QBrush>
#include <QComboBox>
#include <QDebug>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QSplitter>
#include <QStringMatcher>
#include <QVBoxLayout>


#include "ListWidget.h"
#include "SearchComboBox.h"
#include "TemplateContents.h"
#include "TemplateItemRef.h"
#include "TreeWidget.h"

namespace {

const QString kSearchHistoryGroup = QStringLiteral("TemplateDialogSearchString");
const QString kReplaceHistoryGroup = QStringLiteral("TemplateDialogReplaceString");

const QBrush& hitBrush()
{
    static const QBrush brush{QColor(QStringLiteral("lightblue"))};
    return brush;
}

bool isPainted(const QVariant& background)
{
    return background.isValid() && background.value<QBrush>() == hitBrush();
}

// Painting goes back to the view's own background, whatever the skin.
void setPainted(QTreeWidgetItem* item, bool painted)
{
    const QVariant background = item->data(0, Qt::BackgroundRole);
    if (painted && !isPainted(background))
        item->setData(0, Qt::BackgroundRole, hitBrush());
    else if (!painted && background.isValid())
        item->setData(0, Qt::BackgroundRole, QVariant());
}

// Calls changed after every change of the model's rows or texts; painting a
// background is no such change.
template <typename F>
void onContentChange(QAbstractItemModel* model, QObject* context, F changed)
{
    QObject::connect(model, &QAbstractItemModel::rowsInserted, context, changed);
    QObject::connect(model, &QAbstractItemModel::rowsRemoved, context, changed);
    QObject::connect(model, &QAbstractItemModel::rowsMoved, context, changed);
    QObject::connect(model, &QAbstractItemModel::modelReset, context, changed);
    QObject::connect(model, &QAbstractItemModel::layoutChanged, context, changed);
    QObject::connect(model, &QAbstractItemModel::dataChanged, context,
                     [changed](const QModelIndex&, const QModelIndex&, const QVector<int>& roles) {
                         if (roles != QVector<int>{Qt::BackgroundRole})
                             changed();
                     });
}

} // namespace

// One search text under the current selectors, prepared once for many contents.
struct TemplateDialog::Matcher
{
    bool oper = false;
    bool user = false;
    int op = MatchAll;
    int flag = MatchStartsWith;
    QStringList words;
    QVector<QStringMatcher> finders;

    bool matches(const QString& text) const
    {
        bool result = false;
        if (oper) {
            if (op == MatchAll)
                result = true;
            else if (op == MatchAny && words.isEmpty())
                return true;
        }
        // The length flags ignore the keywords: one pass stands for them all.
        const int passes = user && flag > MatchAny ? 1 : words.size();
        for (int i = 0; i < passes; ++i) {
            if (user) {
                switch (flag) {
                case MatchStartsWith:
                    if (text.startsWith(words.at(i), Qt::CaseInsensitive))
                        return true;
                    break;
                case MatchEndsWith:
                    if (text.endsWith(words.at(i), Qt::CaseInsensitive))
                        return true;
                    break;
                case MatchOneCharacter:
                case MatchTwoCharacters:
                case MatchThreeCharacters:
                case MatchFourCharacters:
                    if (text.size() == flag - MatchAny)
                        result = true;
                    break;
                case MatchMoreThanFourCharacters:
                    if (text.size() > 4)
                        result = true;
                    break;
                default:
                    break;
                }
            } else if (oper) {
                if (finders.at(i).indexIn(text) >= 0) {
                    if (op == MatchAny)
                        return true;
                } else if (op == MatchAll) {
                    return false;
                }
            }
        }
        return result;
    }
};

TemplateDialog::TemplateDialog(const QString& fileName, QWidget* parent)
    : QDialog(parent)
    , m_fileName(fileName)
{
    qDebug() << Q_FUNC_INFO << ", fileName =" << fileName;
    setObjectName(QStringLiteral("TemplateDialog"));
    setProperty("ReadOnly", false);

    // Every widget is made under its final parent: moving a widget later
    // makes the style sheet be worked out for it again.
    splitter = new QSplitter(this);
    auto* leftPane = new QWidget(splitter);
    auto* rightPane = new QWidget(splitter);
    treeWidget = new TreeWidget(leftPane);
    treeWidget->setObjectName(QStringLiteral("treeWidget"));
    treeWidget->header()->hide();
    treeWidget->setSelectionMode(QAbstractItemView::ExtendedSelection);
    listWidget = new ListWidget(rightPane);
    listWidget->setObjectName(QStringLiteral("listWidget"));
    listWidget->setSelectionMode(QAbstractItemView::ExtendedSelection);
    contentListInfoLabel = new QLabel(rightPane);
    contentListInfoLabel->setObjectName(QStringLiteral("contentListInfoLabel"));

    auto* searchBar = new QWidget(leftPane);
    replaceComboBox = createSearchComboBox(searchBar);
    replaceComboBox->setObjectName(QStringLiteral("replaceComboBox"));
    searchComboBox = createSearchComboBox(searchBar);
    searchComboBox->setObjectName(QStringLiteral("searchComboBox"));
    searchComboBox->setToolTip(tr("多关键词以空格隔开。"));
    for (QComboBox* box : {searchComboBox, replaceComboBox})
        box->setMinimumWidth(80);
    loadComboBoxHistory(searchComboBox, kSearchHistoryGroup, 0, true);
    loadComboBoxHistory(replaceComboBox, kReplaceHistoryGroup, 0, true);
    searchComboBox->clearEditText();
    replaceComboBox->clearEditText();

    const QString operTip = tr("搜索多关键词时，各关键词的组合关系。");
    operRadioButton = new QRadioButton(searchBar);
    operRadioButton->setObjectName(QStringLiteral("operRadioButton"));
    operRadioButton->setToolTip(operTip);
    operRadioButton->setChecked(true);
    matchFlagOperComboBox = new QComboBox(searchBar);
    matchFlagOperComboBox->setObjectName(QStringLiteral("matchFlagOperComboBox"));
    matchFlagOperComboBox->setToolTip(operTip);
    matchFlagOperComboBox->addItem(tr("与"), int(MatchAll));
    matchFlagOperComboBox->addItem(tr("或"), int(MatchAny));
    // Offered by no control: the page searches plain text only.
    regExpRadioButton = new QRadioButton(tr("正则表达式"), this);
    regExpRadioButton->hide();
    userRadioButton = new QRadioButton(searchBar);
    userRadioButton->setObjectName(QStringLiteral("userRadioButton"));
    matchFlagUserComboBox = new QComboBox(searchBar);
    matchFlagUserComboBox->setObjectName(QStringLiteral("matchFlagUserComboBox"));
    matchFlagUserComboBox->addItem(tr("以...开头"), int(MatchStartsWith));
    matchFlagUserComboBox->addItem(tr("以...结尾"), int(MatchEndsWith));
    matchFlagUserComboBox->addItem(tr("单字"), int(MatchOneCharacter));
    matchFlagUserComboBox->addItem(tr("二字"), int(MatchTwoCharacters));
    matchFlagUserComboBox->addItem(tr("三字"), int(MatchThreeCharacters));
    matchFlagUserComboBox->addItem(tr("四字"), int(MatchFourCharacters));
    matchFlagUserComboBox->addItem(tr("四字以上"), int(MatchMoreThanFourCharacters));
    matchFlagUserComboBox->setEnabled(false);

    auto makeButton = [searchBar](const QString& text, const char* name) {
        auto* button = new QPushButton(text, searchBar);
        button->setObjectName(QLatin1String(name));
        // A page is no window: Return in the search box must not press a button.
        button->setAutoDefault(false);
        return button;
    };
    QPushButton* prevPushButton = makeButton(tr("上个"), "prevPushButton");
    QPushButton* nextPushButton = makeButton(tr("下个"), "nextPushButton");
    filterPushButton = makeButton(tr("结果"), "filterPushButton");
    QPushButton* replacePushButton = makeButton(tr("替换"), "replacePushButton");
    QPushButton* replaceAllPushButton = makeButton(tr("全部替换"), "replaceAllPushButton");

    auto* leftColumn = new QGridLayout;
    leftColumn->addWidget(new QLabel(tr("搜索"), searchBar), 0, 0);
    leftColumn->addWidget(searchComboBox, 0, 1);
    leftColumn->addWidget(new QLabel(tr("替换"), searchBar), 1, 0);
    leftColumn->addWidget(replaceComboBox, 1, 1);
    auto* searchRow = new QHBoxLayout;
    for (QWidget* widget : std::initializer_list<QWidget*>{operRadioButton, matchFlagOperComboBox, userRadioButton,
                                                           matchFlagUserComboBox, prevPushButton, nextPushButton,
                                                           filterPushButton})
        searchRow->addWidget(widget);
    auto* replaceRow = new QHBoxLayout;
    replaceRow->addWidget(replacePushButton);
    replaceRow->addWidget(replaceAllPushButton);
    auto* rightColumn = new QVBoxLayout;
    rightColumn->addLayout(searchRow);
    rightColumn->addLayout(replaceRow);
    auto* searchBarLayout = new QHBoxLayout(searchBar);
    searchBarLayout->setContentsMargins(0, 0, 0, 0);
    searchBarLayout->addLayout(leftColumn);
    searchBarLayout->addLayout(rightColumn);

    auto* leftLayout = new QVBoxLayout(leftPane);
    leftLayout->setContentsMargins(0, 0, 0, 0);
    leftLayout->addWidget(treeWidget);
    leftLayout->addWidget(searchBar);
    auto* rightLayout = new QVBoxLayout(rightPane);
    rightLayout->setContentsMargins(0, 0, 0, 0);
    rightLayout->addWidget(listWidget);
    rightLayout->addWidget(contentListInfoLabel);
    splitter->addWidget(leftPane);
    splitter->addWidget(rightPane);
    auto* layout = new QHBoxLayout(this);
    layout->addWidget(splitter);

    connect(listWidget, SIGNAL(currentItemChanged(QListWidgetItem*, QListWidgetItem*)), this,
            SLOT(updateContentListInfoLabel(QListWidgetItem*, QListWidgetItem*)));
    connect(filterPushButton, SIGNAL(clicked()), this, SLOT(filter()));
    for (QRadioButton* radio : {operRadioButton, userRadioButton, regExpRadioButton})
        connect(radio, SIGNAL(toggled(bool)), this, SLOT(matchFlagRadioButtonToggled(bool)));
    connect(matchFlagOperComboBox, SIGNAL(currentIndexChanged(int)), this,
            SLOT(matchFlagOperComboBoxCurrentIndexChanged(int)));
    connect(matchFlagUserComboBox, SIGNAL(currentIndexChanged(int)), this,
            SLOT(matchFlagUserComboBoxCurrentIndexChanged(int)));
    connect(prevPushButton, SIGNAL(clicked()), this, SLOT(searchPrev()));
    connect(nextPushButton, SIGNAL(clicked()), this, SLOT(searchNext()));
    connect(replacePushButton, SIGNAL(clicked()), this, SLOT(replace()));
    connect(replaceAllPushButton, SIGNAL(clicked()), this, SLOT(replaceAll()));
    connect(searchComboBox, SIGNAL(currentTextChanged(const QString&)), this,
            SLOT(onSearchComboBoxCurrentTextChanged(const QString&)));

    // Drops change the template as much as replacing does.
    connect(treeWidget, &TreeWidget::edited, this, &TemplateDialog::templateEdited);
    connect(listWidget, &ListWidget::itemDnD, this, &TemplateDialog::templateEdited);

    // The tree painting is kept until the text or the outline changes; the
    // rows are read again after any change made outside this page.
    onContentChange(treeWidget->model(), this, [this]() { ++m_treeRevision; });
    onContentChange(listWidget->model(), this, [this]() { m_rows.valid = false; });

    m_filterEnabled = true;
    m_type = 255;
}

const TemplateDialog::Outline& TemplateDialog::outline()
{
    if (m_outline.revision == m_treeRevision)
        return m_outline;
    Outline& o = m_outline;
    o.items.clear();
    o.texts.clear();
    o.parents.clear();
    o.entries.clear();
    QVector<QPair<QTreeWidgetItem*, int>> stack;
    QTreeWidgetItem* root = treeWidget->invisibleRootItem();
    for (int i = root->childCount() - 1; i >= 0; --i)
        stack.append({root->child(i), -1});
    while (!stack.isEmpty()) {
        const QPair<QTreeWidgetItem*, int> next = stack.takeLast();
        QTreeWidgetItem* item = next.first;
        const int index = o.items.size();
        o.items.append(item);
        o.texts.append(item->text(0));
        o.parents.append(next.second);
        o.entries.append(TreeWidget::isEntry(item));
        for (int i = item->childCount() - 1; i >= 0; --i)
            stack.append({item->child(i), index});
    }
    o.revision = m_treeRevision;
    return o;
}

TemplateDialog::Rows& TemplateDialog::rows()
{
    if (m_rows.valid)
        return m_rows;
    const int count = listWidget->count();
    m_rows.texts.resize(count);
    m_rows.hidden.resize(count);
    m_rows.painted.resize(count);
    for (int row = 0; row < count; ++row) {
        const QListWidgetItem* item = listWidget->item(row);
        m_rows.texts[row] = item->text();
        m_rows.hidden[row] = listWidget->isRowHidden(row);
        m_rows.painted[row] = isPainted(item->data(Qt::BackgroundRole));
    }
    m_rows.valid = true;
    return m_rows;
}

TemplateDialog::~TemplateDialog()
{
    qDebug() << Q_FUNC_INFO << ", fileName =" << m_fileName;
}

TemplateDialog* TemplateDialog::of(QObject* widget)
{
    for (; widget; widget = widget->parent())
        if (auto* page = qobject_cast<TemplateDialog*>(widget))
            return page;
    return nullptr;
}

QTreeWidget* TemplateDialog::outlineTreeWidget() const
{
    return treeWidget;
}

void TemplateDialog::setSplitterSizes(int width)
{
    qDebug() << Q_FUNC_INFO << ", width =" << width;
    splitter->setSizes({2 * width / 5, 3 * width / 5});
}

void TemplateDialog::setSearchText(const QString& text)
{
    qDebug() << Q_FUNC_INFO << ", text =" << text;
    searchComboBox->setCurrentText(text);
    m_filterEnabled = true;
    search(true, false);
}

void TemplateDialog::reject()
{
}

void TemplateDialog::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Escape) {
        event->ignore();
        return;
    }
    QDialog::keyPressEvent(event);
}

int TemplateDialog::currentFlag() const
{
    return matchFlagUserComboBox->currentData().toInt();
}

int TemplateDialog::currentOperator() const
{
    return matchFlagOperComboBox->currentData().toInt();
}

TemplateDialog::Matcher TemplateDialog::matcherFor(const QString& keywordsText) const
{
    Matcher matcher;
    matcher.oper = operRadioButton->isChecked();
    matcher.user = userRadioButton->isChecked();
    matcher.op = currentOperator();
    matcher.flag = currentFlag();
    matcher.words = keywordsText.trimmed().split(QLatin1Char(' '), Qt::SkipEmptyParts);
    for (const QString& word : qAsConst(matcher.words))
        matcher.finders << QStringMatcher(word, Qt::CaseInsensitive);
    return matcher;
}

bool TemplateDialog::isMatched(const QString& text, const QString& keywordsText) const
{
    return matcherFor(keywordsText).matches(text);
}

// ---- Searching ---------------------------------------------------------------------

void TemplateDialog::onSearchComboBoxCurrentTextChanged(const QString& text)
{
    const QString searchText = text.isNull() ? searchComboBox->currentText() : text;
    qDebug() << Q_FUNC_INFO << ", text =" << searchText;

    // Unpainting and painting the same entries again would change nothing.
    const bool paintTree = !searchText.isEmpty() || currentFlag() > MatchAny;
    const QString treeText = paintTree ? searchText.trimmed() : QString();
    if (treeText != m_treePaintedFor || m_treeRevision != m_treePaintedRevision) {
        clearTreeHighlight();
        highlightSearchResult();
    }
    m_searchResultCount = 0;
    search(false, true);
    updateContentListInfoLabel(nullptr, nullptr);
}

void TemplateDialog::filter()
{
    qDebug() << Q_FUNC_INFO << ", filterEnabled =" << m_filterEnabled;
    m_filterEnabled = !m_filterEnabled;
    search(true, false);
}

void TemplateDialog::recordHistories()
{
    // Only what the user searched for: an empty text is no history, and a text
    // already kept changes nothing (kept items are not moved), so the settings
    // are not written again.
    const QList<QPair<QComboBox*, QString>> boxes{{searchComboBox, kSearchHistoryGroup},
                                                  {replaceComboBox, kReplaceHistoryGroup}};
    for (const auto& box : boxes) {
        const QString text = box.first->currentText();
        if (!text.isEmpty() && box.first->findText(text, Qt::MatchExactly | Qt::MatchCaseSensitive) < 0)
            updateComboBox(box.first, box.second);
    }
}

void TemplateDialog::search(bool recordHistory, bool unpaintOthers)
{
    if (recordHistory)
        recordHistories();
    filterPushButton->setText(m_filterEnabled ? tr("全部") : tr("结果"));

    const QString text = searchComboBox->currentText();
    if (text.isEmpty() && currentFlag() <= MatchAny) {
        showRows(matcherFor(QString()), false, false, unpaintOthers, false);
        return;
    }
    // The rows first: the list is then laid out once, when the current row is
    // scrolled to. Which row becomes current does not depend on what is hidden.
    if (m_filterEnabled)
        showRows(matcherFor(text.trimmed()), true, true, unpaintOthers, true);
    else
        showRows(matcherFor(text), false, !text.isEmpty(), unpaintOthers, !text.isEmpty());
    listWidget->setCurrentRow(0);
    step(true);
    updateContentListInfoLabel();
}

void TemplateDialog::showRows(const Matcher& matcher, bool hideOthers, bool paint, bool unpaintOthers, bool count)
{
    Rows& state = rows();
    const int rowCount = state.texts.size();
    // Every row is shown when nothing is matched for.
    const bool matching = hideOthers || paint || count;
    unsigned int hits = 0;
    const bool updates = listWidget->updatesEnabled();
    listWidget->setUpdatesEnabled(false);
    for (int row = 0; row < rowCount; ++row) {
        const bool matched = !matching || matcher.matches(state.texts.at(row));
        if (matched)
            ++hits;
        const bool hidden = hideOthers && !matched;
        if (state.hidden.at(row) != hidden) {
            listWidget->setRowHidden(row, hidden);
            state.hidden[row] = hidden;
        }
        const bool painted = (matched && paint) || (state.painted.at(row) && !unpaintOthers);
        if (state.painted.at(row) != painted) {
            listWidget->item(row)->setData(Qt::BackgroundRole, painted ? QVariant(hitBrush()) : QVariant());
            state.painted[row] = painted;
        }
    }
    listWidget->setUpdatesEnabled(updates);
    if (count)
        m_searchResultCount = hits;
}

void TemplateDialog::clearTreeHighlight()
{
    if (m_treePainted) {
        const Outline& o = outline();
        for (int i = 0; i < o.items.size(); ++i)
            if (o.entries.at(i))
                setPainted(o.items.at(i), false);
        m_treePainted = false;
    }
    m_treePaintedFor.clear();
    m_treePaintedRevision = m_treeRevision;
}

void TemplateDialog::highlightSearchResult()
{
    const QString text = searchComboBox->currentText().trimmed();
    if (text.isEmpty() || (text == m_treePaintedFor && m_treeRevision == m_treePaintedRevision))
        return;
    paintHits(QStringMatcher(text, Qt::CaseInsensitive));
    m_treePaintedFor = text;
    m_treePaintedRevision = m_treeRevision;
}

void TemplateDialog::paintHits(const QStringMatcher& finder, const QString* searchText, const QString* replacement,
                               bool* changed)
{
    const Outline& o = outline();
    const int count = o.items.size();
    // An item holds a hit when its own text or an item below it does. In
    // pre-order a parent comes first, so marking upwards stops at the first
    // ancestor already marked.
    QVector<bool> hit(count, false);
    // Each changed item would make the view look for it among its rows: the
    // texts change quietly and the view is repainted once afterwards.
    QAbstractItemModel* model = treeWidget->model();
    const bool quiet = searchText && !model->signalsBlocked();
    if (quiet)
        model->blockSignals(true);
    for (int i = 0; i < count; ++i) {
        if (finder.indexIn(o.texts.at(i)) < 0)
            continue;
        for (int j = i; j >= 0 && !hit.at(j); j = o.parents.at(j))
            hit[j] = true;
        if (searchText) {
            QString text = o.texts.at(i);
            text.replace(*searchText, *replacement, Qt::CaseSensitive);
            if (text != o.texts.at(i)) {
                o.items.at(i)->setText(0, text);
                *changed = true;
            }
        }
    }
    if (quiet) {
        model->blockSignals(false);
        if (changed && *changed)
            ++m_treeRevision;
        treeWidget->viewport()->update();
    }
    // Contents are hidden rows of the tree: only their entries show the hit.
    for (int i = 0; i < count; ++i) {
        if (hit.at(i) && o.entries.at(i)) {
            setPainted(o.items.at(i), true);
            m_treePainted = true;
        }
    }
}

bool TemplateDialog::searchNext()
{
    qDebug() << Q_FUNC_INFO;
    recordHistories();
    return step(true);
}

bool TemplateDialog::searchPrev()
{
    qDebug() << Q_FUNC_INFO;
    recordHistories();
    return step(false);
}

bool TemplateDialog::step(bool forward)
{
    const QVector<QString>& texts = this->rows().texts;
    const int rows = texts.size();
    if (rows == 0)
        return false;
    const int start = listWidget->currentRow();
    // The text as written, never a pattern: "1+1" finds "1+1".
    const QString pattern = searchComboBox->currentText().simplified();
    const QStringMatcher finder(pattern, Qt::CaseSensitive);
    int row = start;
    for (int examined = 0; examined < rows; ++examined) {
        if (forward)
            row = row + 1 >= rows ? 0 : qMax(row + 1, 0);
        else
            row = row < 1 ? rows - 1 : row - 1;
        if (pattern.isEmpty() || finder.indexIn(texts.at(row)) >= 0) {
            listWidget->setCurrentRow(row);
            return true;
        }
        if (row == start)
            break;
    }
    return false;
}

// ---- Replacing ---------------------------------------------------------------------

void TemplateDialog::replace()
{
    qDebug() << Q_FUNC_INFO;
    recordHistories();
    const QString searchText = searchComboBox->currentText();
    QListWidgetItem* row = listWidget->currentItem();
    QTreeWidgetItem* entry = treeWidget->currentItem();
    if (!row || searchText.isEmpty() || !entry)
        return;
    QTreeWidgetItem* content = contentItemAt(entry, listWidget->currentRow());
    if (!content)
        return;
    QString text = row->text();
    text.replace(searchText, replaceComboBox->currentText(), Qt::CaseSensitive);
    if (text != row->text()) {
        row->setText(text);
        content->setText(0, text);
        emit templateEdited();
    }
    step(true);
}

void TemplateDialog::replaceAll()
{
    const QString searchText = searchComboBox->currentText();
    const QString replacement = replaceComboBox->currentText();
    qDebug() << Q_FUNC_INFO << ": searchStr =" << searchText << ", replaceStr =" << replacement;
    recordHistories();
    if (listWidget->count() == 0 || searchText.isEmpty())
        return;

    // Found ignoring case (and painted), replaced only where the case agrees.
    bool changed = false;
    paintHits(QStringMatcher(searchText, Qt::CaseInsensitive), &searchText, &replacement, &changed);

    const QStringMatcher sameCase(searchText, Qt::CaseSensitive);
    const int rows = listWidget->count();
    for (int row = 0; row < rows; ++row) {
        QListWidgetItem* item = listWidget->item(row);
        if (sameCase.indexIn(item->text()) < 0)
            continue;
        QString text = item->text();
        text.replace(searchText, replacement, Qt::CaseSensitive);
        item->setText(text);
        changed = true;
    }
    qDebug() << Q_FUNC_INFO << "done.";
    if (changed)
        emit templateEdited();
}

// ---- Information line ----------------------------------------------------------------

void TemplateDialog::updateContentListInfoLabel()
{
    highlightSearchResult();
    updateContentListInfoLabel(nullptr, nullptr);
}

void TemplateDialog::updateContentListInfoLabel(QListWidgetItem*, QListWidgetItem*)
{
    contentListInfoLabel->setText(tr("当前: %1, 搜索结果: %2, 总共: %3")
                                      .arg(listWidget->currentRow() + 1)
                                      .arg(m_searchResultCount)
                                      .arg(listWidget->count()));
}

void TemplateDialog::matchFlagRadioButtonToggled(bool checked)
{
    QObject* radio = sender();
    qDebug() << Q_FUNC_INFO << ", checked =" << checked << ", sender =" << radio;
    if (checked && radio == operRadioButton) {
        searchComboBox->setEnabled(true);
        regExpRadioButton->setChecked(false);
        userRadioButton->setChecked(false);
        matchFlagUserComboBox->setEnabled(false);
        matchFlagOperComboBox->setEnabled(true);
    } else if (checked && radio == userRadioButton) {
        // The length flags need no text.
        searchComboBox->setEnabled(currentFlag() <= MatchAny);
        operRadioButton->setChecked(false);
        regExpRadioButton->setChecked(false);
        matchFlagOperComboBox->setEnabled(false);
        matchFlagUserComboBox->setEnabled(true);
    } else if (!checked) {
        matchFlagOperComboBox->setEnabled(false);
        matchFlagUserComboBox->setEnabled(false);
    }
    onSearchComboBoxCurrentTextChanged(searchComboBox->currentText());
}

void TemplateDialog::matchFlagOperComboBoxCurrentIndexChanged(int index)
{
    qDebug() << Q_FUNC_INFO << ", index =" << index;
    onSearchComboBoxCurrentTextChanged(searchComboBox->currentText());
}

void TemplateDialog::matchFlagUserComboBoxCurrentIndexChanged(int index)
{
    qDebug() << Q_FUNC_INFO << ", index =" << index;
    searchComboBox->setEnabled(currentFlag() <= MatchAny);
    onSearchComboBoxCurrentTextChanged(searchComboBox->currentText());
}

// ---- The contents list of an entry -------------------------------------------------------

void TemplateDialog::showContentsOf(QTreeWidgetItem* entry)
{
    qDebug() << Q_FUNC_INFO << ", entry =" << (entry ? entry->text(0) : QString());
    listWidget->clear();
    if (!entry)
        return;
    QStringList texts;
    const int count = entry->childCount();
    texts.reserve(count);
    for (int i = 0; i < count; ++i) {
        const QTreeWidgetItem* child = entry->child(i);
        if (!TreeWidget::isEntry(child))
            texts << child->text(0);
    }
    // One insertion for all rows, all shown and unpainted.
    listWidget->addItems(texts);
    m_rows.texts = texts.toVector();
    m_rows.hidden.fill(false, texts.size());
    m_rows.painted.fill(false, texts.size());
    m_rows.valid = true;
}

QTreeWidgetItem* TemplateDialog::contentItemAt(QTreeWidgetItem* entry, int row)
{
    if (!entry || row < 0)
        return nullptr;
    const int count = entry->childCount();
    for (int i = 0; i < count; ++i) {
        QTreeWidgetItem* child = entry->child(i);
        if (TreeWidget::isEntry(child))
            continue;
        if (row-- == 0)
            return child;
    }
    return nullptr;
}

int TemplateDialog::listRowOfChild(QTreeWidgetItem* entry, int childIndex)
{
    if (!entry || childIndex < 0 || childIndex >= entry->childCount() || TreeWidget::isEntry(entry->child(childIndex)))
        return -1;
    int row = 0;
    for (int i = 0; i < childIndex; ++i)
        if (!TreeWidget::isEntry(entry->child(i)))
            ++row;
    return row;
}

void TemplateDialog::selectRecord(const TemplateItemRef& record)
{
    QTreeWidgetItem* entry = nullptr;
    int child = -1;
    // An index is only trusted when it belongs to this very tree.
    if (record.index.isValid() && record.index.model() == treeWidget->model()) {
        QTreeWidgetItem* item = treeWidget->itemForIndex(record.index);
        QTreeWidgetItem* remembered = treeWidget->currentItem();
        entry = item ? item->parent() : nullptr;
        treeWidget->setCurrentItem(entry);
        if (!treeWidget->currentItem() && remembered)
            treeWidget->setCurrentItem(remembered);
        if (entry)
            child = entry->indexOfChild(item);
    } else if (record.position.size() >= 2) {
        entry = TemplateContents::entryAt(treeWidget, record.position.at(0));
        if (entry)
            treeWidget->setCurrentItem(entry);
        child = record.position.at(1);
    }
    if (!entry || child < 0 || child >= entry->childCount())
        return;
    if (TreeWidget::isEntry(entry->child(child)))
        treeWidget->setCurrentItem(entry->child(child));
    else
        listWidget->setCurrentRow(listRowOfChild(entry, child));
}

void TemplateDialog::syncContentsFromList(QTreeWidgetItem* entry)
{
    qDebug() << Q_FUNC_INFO << ", entry =" << (entry ? entry->text(0) : QString());
    if (!entry)
        return;
    QList<QTreeWidgetItem*> contents;
    for (int i = 0; i < entry->childCount(); ++i)
        if (!TreeWidget::isEntry(entry->child(i)))
            contents << entry->child(i);
    const int rows = listWidget->count();
    if (contents.size() == rows) {
        // A reorder: the contents keep their places among the child entries
        // and take the texts in the list's new order.
        for (int row = 0; row < rows; ++row) {
            const QString text = listWidget->item(row)->text();
            if (contents.at(row)->text(0) != text)
                contents.at(row)->setText(0, text);
        }
        return;
    }
    for (QTreeWidgetItem* content : qAsConst(contents))
        delete entry->takeChild(entry->indexOfChild(content));
    for (int row = 0; row < rows; ++row) {
        auto* item = new QTreeWidgetItem;
        item->setText(0, listWidget->item(row)->text());
        item->setData(0, Qt::UserRole, QStringLiteral("content"));
        item->setText(1, QStringLiteral("content"));
        entry->insertChild(qMin(row, entry->childCount()), item);
        item->setHidden(true);
    }
}
