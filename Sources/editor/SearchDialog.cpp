#include "SearchDialog.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QDebug>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QItemSelection>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QProgressDialog>
#include <QPushButton>
#include <QSpinBox>
#include <QTableWidget>
#include <QTextCodec>
#include <QTextDecoder>

#include "FileSearch.h"
#include "Prompt.h"
#include "SearchComboBox.h"
#include "SearchResultHeader.h"
#include "TextDelegate.h"
#include "TextEncoding.h"
#include "TextPainter.h"

namespace {

const int MaxWordBoxLength = 80;
const int CharacterCountLimit = 300;
const int ColumnCount = 7;
// Progress is redrawn and events are processed at most this often (ms); the
// cancel flag itself is looked at for every file.
const int ProgressInterval = 30;

QElapsedTimer& progressClock()
{
    static QElapsedTimer clock;
    return clock;
}

} // namespace

SearchDialog::SearchDialog(QWidget* parent)
    : QDialog(parent)
{
    qDebug() << Q_FUNC_INFO << ", parent =" << parent;
    qRegisterMetaType<TextPainter>("TextPainter");
    qRegisterMetaType<SearchResult>("SearchResult");
    setObjectName(QStringLiteral("SearchDialog"));

    m_browseButton = new QPushButton(tr("浏览"), this);
    connect(m_browseButton, SIGNAL(clicked()), this, SLOT(browse()));
    m_findButton = new QPushButton(tr("查找"), this);
    m_findButton->setDefault(true);
    connect(m_findButton, SIGNAL(clicked()), this, SLOT(find()));
    const int pageSize = resultsPerPage();
    m_prevButton = new QPushButton(tr("前") + QString::number(pageSize) + tr("个结果"), this);
    m_prevButton->setEnabled(false);
    connect(m_prevButton, SIGNAL(clicked()), this, SLOT(prevPage()));
    m_nextButton = new QPushButton(tr("后") + QString::number(pageSize) + tr("个结果"), this);
    m_nextButton->setEnabled(false);
    connect(m_nextButton, SIGNAL(clicked()), this, SLOT(nextPage()));

    m_directoryComboBox = createSearchComboBox(this);
    m_fileComboBox = createSearchComboBox(this);
    m_includeComboBox = createSearchComboBox(this);
    m_excludeComboBox = createSearchComboBox(this);
    for (QComboBox* box : {m_includeComboBox, m_excludeComboBox}) {
        box->lineEdit()->setMaxLength(MaxWordBoxLength);
        box->setToolTip(tr("最长: %1字符").arg(MaxWordBoxLength));
    }

    m_encodingComboBox = new QComboBox(this);
    m_encodingComboBox->addItems({QStringLiteral("GB18030"), QStringLiteral("UTF-8"), QStringLiteral("UTF-16"),
                                  QStringLiteral("Big5-HKSCS")});
    m_encodingComboBox->setCurrentIndex(0);
    m_encodingComboBox->setSizePolicy(QSizePolicy::Minimum, QSizePolicy::Preferred);

    m_countLabel = new QLabel(this);

    m_characterCountCheckBox = new QCheckBox(tr("忽略字符数超出"), this);
    connect(m_characterCountCheckBox, SIGNAL(stateChanged(int)), this, SLOT(characterCountLimitStateChanged(int)));
    const bool limitEnabled = m_settings.value(QStringLiteral("SearchDialogCharacterCountEnabled"), false).toBool();
    m_minSpinBox = new QSpinBox(this);
    m_minSpinBox->setRange(0, CharacterCountLimit);
    m_minSpinBox->setToolTip(tr("最小值: %1").arg(0));
    m_minSpinBox->setEnabled(limitEnabled);
    m_minSpinBox->setValue(m_settings.value(QStringLiteral("SearchDialogCharacterCountMin"), 0).toInt());
    m_maxSpinBox = new QSpinBox(this);
    m_maxSpinBox->setRange(0, CharacterCountLimit);
    m_maxSpinBox->setToolTip(tr("最大值: %1").arg(CharacterCountLimit));
    m_maxSpinBox->setEnabled(limitEnabled);
    m_maxSpinBox->setValue(m_settings.value(QStringLiteral("SearchDialogCharacterCountMax"), 0).toInt());
    connect(m_minSpinBox, SIGNAL(valueChanged(int)), this, SLOT(characterCountLimitValueChanged(int)));
    connect(m_maxSpinBox, SIGNAL(valueChanged(int)), this, SLOT(characterCountLimitValueChanged(int)));
    m_characterCountCheckBox->setChecked(limitEnabled);

    loadComboBoxHistory(m_includeComboBox, QStringLiteral("SearchDialogIncludeText"), MaxWordBoxLength);
    loadComboBoxHistory(m_excludeComboBox, QStringLiteral("SearchDialogExcludeText"), MaxWordBoxLength);
    loadComboBoxHistory(m_fileComboBox, QStringLiteral("SearchDialogFile"));
    loadComboBoxHistory(m_directoryComboBox, QStringLiteral("SearchDialogDirectory"));
    // Defaults only where nothing was kept: a box the user left empty stays so.
    if (m_fileComboBox->count() == 0) {
        m_fileComboBox->addItem(QStringLiteral("*.*"));
        m_fileComboBox->setEditText(QStringLiteral("*.*"));
    }
    if (m_directoryComboBox->count() == 0) {
        m_directoryComboBox->addItem(QDir::currentPath());
        m_directoryComboBox->setEditText(QDir::currentPath());
    }

    auto* directoryLabel = new QLabel(tr("目录:"), this);
    auto* fileLabel = new QLabel(tr("文件名:"), this);
    auto* includeLabel = new QLabel(tr("包含内容:"), this);
    auto* excludeLabel = new QLabel(tr("不包含内容:"), this);
    auto* encodingLabel = new QLabel(tr("当编码未知时, 尝试使用:"), this);
    auto* toLabel = new QLabel(tr("到"), this);
    auto* resultLabel = new QLabel(tr("的结果"), this);

    createFilesTable();

    // The form on the left, compact: the four boxes with the three buttons in
    // a column beside them, the options on one row below, the count line at
    // the bottom. The results on the right take the page's whole height, so
    // that a dock at the bottom of the window shows many hits without taking
    // the editor's room.
    auto* form = new QGridLayout;
    form->setVerticalSpacing(3);
    form->setHorizontalSpacing(4);
    form->addWidget(directoryLabel, 0, 0);
    form->addWidget(m_directoryComboBox, 0, 1);
    form->addWidget(m_browseButton, 0, 2);
    const QList<QPair<QLabel*, QComboBox*>> listRows = {
        {fileLabel, m_fileComboBox}, {includeLabel, m_includeComboBox}, {excludeLabel, m_excludeComboBox}};
    for (int row = 1; row <= listRows.size(); ++row) {
        form->addWidget(listRows.at(row - 1).first, row, 0);
        form->addWidget(listRows.at(row - 1).second, row, 1);
        form->addWidget(new QLabel(tr("(空格分隔)"), this), row, 2);
    }
    form->addWidget(m_findButton, 0, 3);
    form->addWidget(m_prevButton, 1, 3);
    form->addWidget(m_nextButton, 2, 3);
    auto* optionsLayout = new QHBoxLayout;
    optionsLayout->setSpacing(4);
    optionsLayout->addWidget(encodingLabel);
    optionsLayout->addWidget(m_encodingComboBox);
    optionsLayout->addSpacing(15);
    optionsLayout->addWidget(m_characterCountCheckBox);
    optionsLayout->addWidget(m_minSpinBox);
    optionsLayout->addWidget(toLabel);
    optionsLayout->addWidget(m_maxSpinBox);
    optionsLayout->addWidget(resultLabel);
    optionsLayout->addStretch();
    form->addLayout(optionsLayout, 4, 0, 1, 4);
    form->addWidget(m_countLabel, 5, 0, 1, 4, Qt::AlignBottom);
    form->setRowStretch(5, 1);
    form->setColumnStretch(1, 1);

    // The table's width follows the page, whatever its columns would like: the
    // page (and the dock holding it) stays as narrow as the form.
    m_filesTable->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Expanding);

    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(6, 2, 6, 2);
    layout->addLayout(form, 2);
    layout->addWidget(m_filesTable, 5);

    // Names for style sheets and tests.
    const QList<QPair<QObject*, const char*>> named = {
        {m_findButton, "findButton"}, {m_prevButton, "prevButton"}, {m_nextButton, "nextButton"},
        {m_directoryComboBox, "directoryComboBox"}, {m_fileComboBox, "fileComboBox"},
        {m_includeComboBox, "includeComboBox"}, {m_excludeComboBox, "excludeComboBox"},
        {m_encodingComboBox, "encodingComboBox"}, {m_characterCountCheckBox, "characterCountCheckBox"},
        {m_minSpinBox, "minSpinBox"}, {m_maxSpinBox, "maxSpinBox"}, {m_countLabel, "countLabel"},
        {m_filesTable, "filesTable"},
    };
    for (const auto& entry : named)
        entry.first->setObjectName(QLatin1String(entry.second));

    setWindowTitle(tr("在文件中查找"));
}

int SearchDialog::heightShowingRows(int rows) const
{
    // The header as the table lays it out: its hint within its bounds.
    const int header = qMin(qMax(m_header->minimumHeight(), m_header->sizeHint().height()), m_header->maximumHeight());
    const int table = header + rows * m_filesTable->verticalHeader()->defaultSectionSize() + 2 * m_filesTable->frameWidth();
    const auto* page = static_cast<QBoxLayout*>(layout());
    const int form = page->itemAt(0)->layout()->minimumSize().height();
    const QMargins margins = page->contentsMargins();
    return qMax(form, table) + margins.top() + margins.bottom();
}

SearchDialog::~SearchDialog()
{
    qDebug() << Q_FUNC_INFO;
    m_cancelRequested = true;
}

void SearchDialog::createFilesTable()
{
    qDebug() << Q_FUNC_INFO;
    m_filesTable = new QTableWidget(0, ColumnCount, this);
    m_filesTable->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_filesTable->setShowGrid(false);
    m_filesTable->setSizeAdjustPolicy(QAbstractScrollArea::AdjustToContentsOnFirstShow);
    m_filesTable->setItemDelegate(new TextDelegate(this));
    m_header = new SearchResultHeader(Qt::Horizontal, m_filesTable);
    m_filesTable->setHorizontalHeader(m_header);
    m_header->setSectionsMovable(true);
    m_filesTable->setHorizontalHeaderLabels({QString(), tr("文件名"), tr("行号"), tr("内容"), tr("实际内容"),
                                             tr("位置"), tr("序号")});
    m_header->setSectionResizeMode(0, QHeaderView::Fixed);
    m_header->resizeSection(0, 60);
    m_header->setSectionResizeMode(1, QHeaderView::Interactive);
    m_header->setSectionResizeMode(2, QHeaderView::ResizeToContents);
    m_header->setSectionResizeMode(3, QHeaderView::Stretch);
    m_header->resizeSection(3, 640);
    for (int column = 4; column < ColumnCount; ++column) {
        m_header->setSectionResizeMode(column, QHeaderView::Fixed);
        m_filesTable->setColumnHidden(column, true);
    }
    // Column 2's size to contents would look at every row of a large page.
    m_header->setResizeContentsPrecision(100);
    // Rows as high as a line of text and a header hardly higher, so that many
    // hits show at once, whatever font the table gets; a path too long for its
    // column loses its start, not the file's name.
    fitRowsToFont();
    m_filesTable->installEventFilter(this);
    m_header->installEventFilter(this);
    m_filesTable->setWordWrap(false);
    m_filesTable->setTextElideMode(Qt::ElideLeft);

    m_copyAct = new QAction(tr("复制"), this);
    connect(m_copyAct, SIGNAL(triggered()), this, SLOT(copySelectedItems()));
    m_deleteAct = new QAction(tr("删除"), this);
    connect(m_deleteAct, SIGNAL(triggered()), this, SLOT(deleteSelectedItems()));
    m_saveAsAtomTemplateAct = new QAction(tr("所选条目另存为原子模板"), this);
    m_filesTable->addActions({m_copyAct, m_deleteAct, m_saveAsAtomTemplateAct});
    m_filesTable->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(m_filesTable, &QWidget::customContextMenuRequested, this, [this](const QPoint& pos) {
        QMenu menu(this);
        menu.addActions(m_filesTable->actions());
        Prompt::current().execMenu(menu, m_filesTable->viewport()->mapToGlobal(pos));
    });

    connectSelection(true);
    connect(m_header, SIGNAL(stateChanged(Qt::CheckState)), this, SLOT(headerCheckBoxStateChanged(Qt::CheckState)));
    connect(m_findButton, SIGNAL(clicked()), m_header, SLOT(clearSelectAll()));
}

void SearchDialog::connectSelection(bool on)
{
    qDebug() << Q_FUNC_INFO << ", on =" << on;
    if (on)
        connect(m_filesTable->selectionModel(), SIGNAL(selectionChanged(const QItemSelection&, const QItemSelection&)),
                this, SLOT(filesTableSelectionChanged(const QItemSelection&, const QItemSelection&)),
                Qt::UniqueConnection);
    else
        disconnect(m_filesTable->selectionModel(),
                   SIGNAL(selectionChanged(const QItemSelection&, const QItemSelection&)), this,
                   SLOT(filesTableSelectionChanged(const QItemSelection&, const QItemSelection&)));
}

void SearchDialog::clearTable()
{
    qDebug() << Q_FUNC_INFO;
    m_filesTable->clearContents();
    m_filesTable->setRowCount(0);
}

QProgressDialog* SearchDialog::openProgress(int maximum)
{
    qDebug() << Q_FUNC_INFO << ", maximum =" << maximum;
    if (!m_progress) {
        m_progress = new QProgressDialog(this);
        m_progress->setWindowModality(Qt::NonModal);
        m_progress->setCancelButtonText(tr("取消"));
        m_progress->setWindowTitle(tr("在文件中查找"));
        m_progress->setAutoClose(false);
        m_progress->setAutoReset(false);
        m_progress->setMinimumDuration(0);
    }
    m_progress->setRange(0, maximum);
    m_progress->setValue(0);
    m_progress->show();
    QCoreApplication::processEvents();
    progressClock().start();
    return m_progress;
}

bool SearchDialog::progressGoesOn()
{
    if (progressClock().elapsed() >= ProgressInterval) {
        QCoreApplication::processEvents();
        progressClock().restart();
    }
    return !m_cancelRequested && m_progress && !m_progress->wasCanceled();
}

void SearchDialog::cancelSearch()
{
    qDebug() << Q_FUNC_INFO << ", searching =" << m_searching;
    m_cancelRequested = true;
}

void SearchDialog::fitRowsToFont()
{
    const int line = m_filesTable->fontMetrics().height();
    m_filesTable->verticalHeader()->setMinimumSectionSize(line);
    m_filesTable->verticalHeader()->setDefaultSectionSize(line);
    m_header->setFixedHeight(m_header->fontMetrics().height() + 4);
}

bool SearchDialog::eventFilter(QObject* watched, QEvent* event)
{
    if ((watched == m_filesTable || watched == m_header) && event->type() == QEvent::FontChange)
        fitRowsToFont();
    // The window closing while a search runs stops it, so the program can end.
    if (m_searching && watched == window() && event->type() == QEvent::Hide && !window()->isVisible())
        cancelSearch();
    return QDialog::eventFilter(watched, event);
}

void SearchDialog::find()
{
    qDebug() << Q_FUNC_INFO;
    if (m_searching)
        return;
    m_findButton->setEnabled(false);
    m_prevButton->setEnabled(false);
    m_nextButton->setEnabled(false);
    connectSelection(false);
    clearTable();
    connectSelection(true);
    m_includeWords.clear();
    m_excludeWords.clear();

    const QString fileText = m_fileComboBox->currentText();
    const QString includeText = m_includeComboBox->currentText();
    const QString excludeText = m_excludeComboBox->currentText();
    const QString directoryText = m_directoryComboBox->currentText();

    if (includeText.isEmpty()) {
        QMessageBox box(QMessageBox::Warning, tr("错误"), tr("请输入要搜索的字符串！"), QMessageBox::Ok, this);
        Prompt::current().exec(box);
        m_findButton->setEnabled(true);
        return;
    }

    updateComboBox(m_fileComboBox, QStringLiteral("SearchDialogFile"));
    updateComboBox(m_includeComboBox, QStringLiteral("SearchDialogIncludeText"));
    updateComboBox(m_excludeComboBox, QStringLiteral("SearchDialogExcludeText"));
    updateComboBox(m_directoryComboBox, QStringLiteral("SearchDialogDirectory"));

    // Made absolute once: the listed paths are then absolute and open as they are.
    const QFileInfo directoryInfo(directoryText.isEmpty() ? QDir::currentPath() : directoryText);
    if (!directoryInfo.isDir()) {
        QMessageBox box(QMessageBox::Warning, tr("错误"), tr("目录不存在: ") + directoryText, QMessageBox::Ok, this);
        box.setTextFormat(Qt::PlainText);
        Prompt::current().exec(box);
        m_findButton->setEnabled(true);
        return;
    }
    m_searchDirectory = QDir(QDir::cleanPath(directoryInfo.absoluteFilePath()));

    QString patternText = fileText;
    if (patternText.isEmpty())
        patternText = QStringLiteral("*");
    const QStringList patterns = patternText.split(QLatin1Char(' '), Qt::SkipEmptyParts);

    m_searching = true;
    m_cancelRequested = false;
    QWidget* top = window();
    if (top != this)
        top->installEventFilter(this);

    openProgress(0);
    m_progress->setLabelText(tr("正在列出文件..."));
    bool cancelled = false;
    const QStringList files = FileSearch::listFiles(
        m_searchDirectory.absolutePath(), patterns,
        [this](int count) {
            if (m_progress && progressClock().elapsed() >= ProgressInterval)
                m_progress->setLabelText(tr("正在列出文件, 已找到%1个文件...").arg(count));
            return progressGoesOn();
        },
        &cancelled);
    m_truncated = false;
    if (cancelled)
        m_results.clear();
    else
        m_results = findFiles(files, includeText, excludeText);
    delete m_progress;

    if (top != this)
        top->removeEventFilter(this);
    m_searching = false;

    filterResults();
    m_first = 0;
    showResults(0);
    m_findButton->setEnabled(true);
}

QList<SearchResult> SearchDialog::findFiles(const QStringList& files, const QString& includeText,
                                            const QString& excludeText)
{
    qDebug() << Q_FUNC_INFO << ", files.size() =" << files.size() << ", includeText =" << includeText
             << ", excludeText =" << excludeText;
    openProgress(files.size());
    m_includeWords = FileSearch::splitWords(includeText);
    m_excludeWords.clear();
    if (!excludeText.trimmed().isEmpty())
        m_excludeWords = FileSearch::splitWords(excludeText);

    FileSearch engine(m_includeWords, m_excludeWords, m_encodingComboBox->currentText());
    engine.setMaxResults(MaxResults);
    engine.setKeepGoing([this] { return progressGoesOn(); });
    QList<SearchResult> results;
    QStringList failed;
    const QString labelText = tr("正在查找,第%1个文件,共%2个文件...");
    for (int j = 0; j < files.size(); ++j) {
        if (m_progress && progressClock().elapsed() >= ProgressInterval) {
            m_progress->setValue(j);
            m_progress->setLabelText(labelText.arg(j).arg(files.size()));
        }
        if (!progressGoesOn())
            break;
        const QString path = m_searchDirectory.absoluteFilePath(files.at(j));
        const FileSearch::Status status = engine.searchFile(path, files.at(j), &results);
        if (status == FileSearch::OpenFailed) {
            qWarning() << Q_FUNC_INFO << "cannot open" << path;
            failed << path;
        } else if (status == FileSearch::Cancelled) {
            break;
        } else if (status == FileSearch::ResultLimitReached) {
            m_truncated = true;
            break;
        }
    }
    delete m_progress;

    if (!failed.isEmpty()) {
        // One box for all of them, not one per file.
        const int shown = qMin(failed.size(), 20);
        QString text = tr("打开模板失败: ") + QStringList(failed.mid(0, shown)).join(QLatin1Char('\n'));
        if (failed.size() > shown)
            text += QLatin1Char('\n') + tr("……共%1个文件无法打开").arg(failed.size());
        QMessageBox box(QMessageBox::Warning, tr("错误!"), text, QMessageBox::Ok, this);
        box.setTextFormat(Qt::PlainText);
        Prompt::current().exec(box);
    }
    return results;
}

QTextDecoder* SearchDialog::detectCodec(const QByteArray& line)
{
    qDebug() << Q_FUNC_INFO << ", line.size() =" << line.size();
    QTextCodec* codec = TextEncoding::codec(FileSearch::detectEncoding(line, m_encodingComboBox->currentText()));
    if (!codec)
        codec = QTextCodec::codecForName("UTF-8");
    return codec->makeDecoder(QTextCodec::IgnoreHeader);
}

int SearchDialog::resultsPerPage() const
{
    qDebug() << Q_FUNC_INFO;
    static const QList<int> sizes = {10, 20, 50, 100, 200, 500, 1000, 2000, 5000, 10000};
    bool ok = false;
    const int size = m_settings.value(QStringLiteral("SearchResultsPerPage")).toInt(&ok);
    return ok && sizes.contains(size) ? size : 100;
}

void SearchDialog::updateCountLine()
{
    qDebug() << Q_FUNC_INFO;
    QString text = tr("共查找到%1个结果").arg(m_results.size()) + tr(", 其中过滤掉%1").arg(m_results.size() - m_shown.size())
        + tr("个") + tr(", 剩余%1").arg(m_shown.size()) + tr("个") + tr(" (双击打开相应文件)");
    if (m_truncated)
        text += tr(" (结果过多, 只保留了前%1个)").arg(MaxResults);
    m_countLabel->setText(text);
    m_countLabel->show();
}

void SearchDialog::filterResults()
{
    qDebug() << Q_FUNC_INFO;
    m_shown.clear();
    if (m_characterCountCheckBox->isChecked()) {
        const int minimum = m_minSpinBox->value();
        const int maximum = m_maxSpinBox->value();
        for (const SearchResult& result : qAsConst(m_results))
            if (result.text.size() >= minimum && result.text.size() <= maximum)
                m_shown << result;
    } else {
        m_shown = m_results;
    }
    m_prevButton->setEnabled(false);
    m_nextButton->setEnabled(resultsPerPage() < m_shown.size());
    updateCountLine();
}

void SearchDialog::showResults(int first)
{
    qDebug() << Q_FUNC_INFO << ", first =" << first;
    if (!m_filesTable || first < 0 || first >= m_shown.size())
        return;
    clearTable();
    const int pageSize = resultsPerPage();
    const int count = qMin(pageSize, m_shown.size() - first);
    m_filesTable->setRowCount(count);
    for (int k = 0; k < count; ++k) {
        if (k % 100 == 0) // keep painting; user input waits until the page is complete
            QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
        const SearchResult& result = m_shown.at(first + k);
        auto* check = new QTableWidgetItem(QString());
        check->setFlags(Qt::ItemIsSelectable | Qt::ItemIsUserCheckable | Qt::ItemIsEnabled);
        check->setCheckState(Qt::Unchecked);
        m_filesTable->setItem(k, 0, check);
        const QString text = result.text.trimmed();
        auto* fileItem = new QTableWidgetItem(result.fileName);
        fileItem->setData(EncodingRole, result.encoding);
        auto* lineItem = new QTableWidgetItem(QString::number(result.lineNumber));
        lineItem->setData(ColumnRole, result.column);
        auto* content = new QTableWidgetItem;
        content->setData(Qt::DisplayRole, QVariant::fromValue(TextPainter(FileSearch::highlight(text, m_includeWords))));
        const QList<QPair<int, QTableWidgetItem*>> cells = {
            {1, fileItem},
            {2, lineItem},
            {3, content},
            {4, new QTableWidgetItem(text)},
            {5, new QTableWidgetItem(QString::number(result.position))},
            {6, new QTableWidgetItem(QString::number(first + k))},
        };
        for (const auto& cell : cells) {
            cell.second->setFlags(cell.second->flags() & ~Qt::ItemIsEditable);
            m_filesTable->setItem(k, cell.first, cell.second);
        }
    }
    // The file column as wide as the page's longest path, up to a third of the
    // table, yet never narrower than the longest file name with an ellipsis.
    const QFontMetrics metrics = m_filesTable->fontMetrics();
    int name = 0;
    for (int k = 0; k < count; ++k)
        name = qMax(name, metrics.horizontalAdvance(QStringLiteral("\u2026/")
                                                    + QFileInfo(m_filesTable->item(k, 1)->text()).fileName()));
    const int limit = qMax(m_filesTable->viewport()->width() / 3, name + 2 * TextPainter::textMargin(m_filesTable) + 1);
    m_filesTable->resizeColumnToContents(1);
    if (m_header->sectionSize(1) > limit)
        m_header->resizeSection(1, limit);
}

void SearchDialog::nextPage()
{
    qDebug() << Q_FUNC_INFO << ", first =" << m_first;
    turnPage(1);
}

void SearchDialog::prevPage()
{
    qDebug() << Q_FUNC_INFO << ", first =" << m_first;
    turnPage(-1);
}

void SearchDialog::turnPage(int direction)
{
    connectSelection(false);
    clearTable();
    const int pageSize = resultsPerPage();
    // The page size may have changed since the last page: stay inside the list
    // and on a page boundary.
    m_first = qBound(0, m_first + direction * pageSize, qMax(0, m_shown.size() - 1));
    m_first -= m_first % pageSize;
    showResults(m_first);
    m_prevButton->setEnabled(m_first > 0);
    m_nextButton->setEnabled(m_first + pageSize < m_shown.size());
    applyHeaderCheckState();
    connectSelection(true);
}

void SearchDialog::characterCountLimitValueChanged(int value)
{
    qDebug() << Q_FUNC_INFO << ", value =" << value;
    m_minSpinBox->setMaximum(m_maxSpinBox->value());
    m_maxSpinBox->setMinimum(m_minSpinBox->value());
    filterResults();
    m_first = 0;
    showResults(0);
    m_settings.setValue(QStringLiteral("SearchDialogCharacterCountMin"), m_minSpinBox->value());
    m_settings.setValue(QStringLiteral("SearchDialogCharacterCountMax"), m_maxSpinBox->value());
}

void SearchDialog::characterCountLimitStateChanged(int state)
{
    qDebug() << Q_FUNC_INFO << ", state =" << state;
    m_minSpinBox->setEnabled(state == Qt::Checked);
    m_maxSpinBox->setEnabled(state == Qt::Checked);
    filterResults();
    m_first = 0;
    showResults(0);
    m_settings.setValue(QStringLiteral("SearchDialogCharacterCountEnabled"), m_characterCountCheckBox->isChecked());
}

void SearchDialog::headerCheckBoxStateChanged(Qt::CheckState state)
{
    qDebug() << Q_FUNC_INFO << ", state =" << state;
    const int rows = m_filesTable->rowCount();
    for (int row = 0; row < rows; ++row)
        if (QTableWidgetItem* item = m_filesTable->item(row, 0))
            item->setCheckState(state);
    if (rows > 0)
        m_filesTable->setRangeSelected(QTableWidgetSelectionRange(0, 0, rows - 1, ColumnCount - 1),
                                       state == Qt::Checked);
}

void SearchDialog::applyHeaderCheckState()
{
    qDebug() << Q_FUNC_INFO;
    headerCheckBoxStateChanged(m_header->isChecked() ? Qt::Checked : Qt::Unchecked);
}

void SearchDialog::filesTableSelectionChanged(const QItemSelection& selected, const QItemSelection& deselected)
{
    qDebug() << Q_FUNC_INFO << ", selected =" << selected.size() << ", deselected =" << deselected.size();
    for (const QModelIndex& index : selected.indexes())
        if (index.column() == 0)
            if (QTableWidgetItem* item = m_filesTable->item(index.row(), 0))
                item->setCheckState(Qt::Checked);
    for (const QModelIndex& index : deselected.indexes())
        if (index.column() == 0)
            if (QTableWidgetItem* item = m_filesTable->item(index.row(), 0))
                item->setCheckState(Qt::Unchecked);
    // An empty table is not "all selected".
    const int rows = m_filesTable->rowCount();
    m_header->setCheckState(rows > 0
                            && m_filesTable->selectionModel()->selectedIndexes().size() / ColumnCount == rows);
}

void SearchDialog::copySelectedItems()
{
    qDebug() << Q_FUNC_INFO;
    QString text;
    for (int row = 0; row < m_filesTable->rowCount(); ++row) {
        const QTableWidgetItem* check = m_filesTable->item(row, 0);
        if (check && check->checkState() != Qt::Unchecked) {
            const QTableWidgetItem* plain = m_filesTable->item(row, 4);
            text += (plain ? plain->text() : QString()) + QChar(QChar::ParagraphSeparator);
        }
    }
    QApplication::clipboard()->setText(text);
}

void SearchDialog::deleteSelectedItems()
{
    qDebug() << Q_FUNC_INFO;
    for (int row = m_filesTable->rowCount() - 1; row >= 0; --row) {
        const QTableWidgetItem* check = m_filesTable->item(row, 0);
        if (check && check->checkState() == Qt::Checked)
            m_filesTable->removeRow(row);
    }
}

void SearchDialog::browse()
{
    qDebug() << Q_FUNC_INFO;
    const QString directory = Prompt::current().getExistingDirectory(this, tr("在文件中查找"), QDir::currentPath());
    if (!directory.isEmpty())
        m_directoryComboBox->setEditText(QDir::toNativeSeparators(directory));
}

void SearchDialog::clearHistory()
{
    qDebug() << Q_FUNC_INFO;
    for (QComboBox* box : {m_directoryComboBox, m_fileComboBox, m_includeComboBox, m_excludeComboBox}) {
        box->clear();
        box->clearEditText();
    }
}

void SearchDialog::applyHistoryLimit()
{
    const int maximum = recentSearchNumberMax();
    qDebug() << Q_FUNC_INFO << ", maximum =" << maximum;
    for (QComboBox* box : {m_directoryComboBox, m_fileComboBox, m_includeComboBox, m_excludeComboBox}) {
        // Dropping items may change the edit text; the user's text stays.
        const QString text = box->currentText();
        box->setMaxCount(maximum);
        box->setEditText(text);
    }
}

QString SearchDialog::currentSearchText() const
{
    qDebug() << Q_FUNC_INFO;
    return m_includeComboBox->currentText();
}

void SearchDialog::keyPressEvent(QKeyEvent* event)
{
    qDebug() << Q_FUNC_INFO << ", key =" << event->key();
    if (event->key() == Qt::Key_Escape) {
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

void SearchDialog::reject()
{
    qDebug() << Q_FUNC_INFO;
}
