#include "EmbellishRun.h"

#include <QAtomicInt>
#include <QCheckBox>
#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QDebug>
#include <QEventLoop>
#include <QMessageBox>
#include <QProgressDialog>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextLayout>
#include <QTextDocument>
#include <QTextEdit>
#include <QThread>
#include <QTimer>
#include <algorithm>
#include <memory>
#include <vector>

#include "Logging.h"
#include "MarkFormat.h"
#include "Prompt.h"
#include "RandomSource.h"
#include "SettingsStore.h"
#include "SharedCodes.h"
#include "WordDatabaseCatalogue.h"
#include "WordLookupTable.h"

// What the GUI thread and the workers share during one run. The workers only
// read the lines and pieces; each writes the results of the pieces it took,
// and the GUI thread reads them once every worker has been waited for.
struct EmbellishRun::State
{
    uint code = 0;
    SegmentationSettings settings;
    QStringList lines;
    QVector<Piece> pieces;
    QList<uint> tables;
    quint32 seed = 0;
    std::function<void(int)> beforeItem;
    // The index of the last piece handed to a worker, -1 before the first.
    QAtomicInt taken{-1};
    QAtomicInt stop{0};
    std::vector<SegmentList> marked;
    std::vector<SegmentList> embellished;
    QVector<QThread*> workers;
    int finished = 0;
};

namespace {

inline bool runLogging()
{
    return logTargets != LOG_TARGET_NONE && logLevel <= QtDebugMsg;
}

} // namespace

EmbellishRun::EmbellishRun(QObject* parent)
    : QObject(parent)
{
    qDebug() << Q_FUNC_INFO;
}

EmbellishRun::~EmbellishRun()
{
    qDebug() << Q_FUNC_INFO;
    abort();
}

QProgressDialog* EmbellishRun::progressDialog() const
{
    return m_progress;
}

void EmbellishRun::setRunning(bool running)
{
    if (m_running == running)
        return;
    m_running = running;
    emit runningChanged(running);
}

// ---- Texts -----------------------------------------------------------------------

QString EmbellishRun::timeText(qint64 seconds)
{
    QString text = tr("%1秒").arg(seconds % 60, 2, 10, QLatin1Char('0'));
    if (seconds / 60 > 0)
        text.prepend(tr("%1分钟").arg((seconds / 60) % 60, 2, 10, QLatin1Char('0')));
    if (seconds / 3600 > 0)
        text.prepend(tr("%1小时").arg((seconds / 3600) % 24, 2, 10, QLatin1Char('0')));
    if (seconds / 86400 > 0)
        text.prepend(tr("%1天").arg(seconds / 86400));
    return text;
}

QString EmbellishRun::countMessage(uint code, const MarkingRenderer::Counts& counts)
{
    switch (code) {
    case TEMPLATE_TYPE_SQLITE_DB_ANTONYM:
        return tr("标记反义词 %1 处").arg(counts.marks);
    case TEMPLATE_TYPE_SQLITE_DB_SPELLING_BLACK_LIST:
    case TEMPLATE_TYPE_SQLITE_DB_SPELLING_WHITE_LIST:
    case TEMPLATE_TYPE_SQLITE_DB_SPELLING_PUNCTUATION:
        return tr("本次检查发现错误及疑点共 %1 处").arg(counts.marks);
    case TEMPLATE_TYPE_SPELLING_BLACK_WHITE_LIST:
        return tr("本次检查发现错误及疑点共 %1 处, 其中\n").arg(counts.marks)
            + tr("黑名单检出 %1 处,\n").arg(counts.blackList) + tr("白名单检出 %1 处.").arg(counts.whiteList);
    case TEMPLATE_TYPE_SQLITE_DB_HIGH_FREQ_CHARACTER:
        return tr("标记高频词 %1 处").arg(counts.marks);
    case TEMPLATE_TYPE_SQLITE_DB_SYNONYM:
        return tr("标记近义词 %1 处").arg(counts.marks);
    case TEMPLATE_TYPE_TQW_FILE_ATOM_TOC:
        return tr("标记扩写 %1 处").arg(counts.marks);
    default:
        return tr("标记 %1 处").arg(counts.marks);
    }
}

qint64 EmbellishRun::estimate(qint64 elapsed, int lineCount, int line)
{
    return qRound64(double(elapsed) * double(lineCount) / double(std::max(line, 1)));
}

QString EmbellishRun::progressText(int line, int lineCount, qint64 elapsed, qint64 estimate)
{
    return tr("工作进行中... 第%1行 / 共%2行.\n").arg(line).arg(lineCount) + tr("已用时: ") + timeText(elapsed)
        + QStringLiteral(",\t") + tr("估计总用时: ") + timeText(estimate);
}

// ---- Work ------------------------------------------------------------------------

QStringList EmbellishRun::documentLines(const QTextDocument* document)
{
    // The blocks' own text: toPlainText() would turn no-break spaces into
    // spaces and line separators into paragraph breaks. A picture's
    // placeholder character is dropped; the run keeps no formatting.
    QStringList lines;
    lines.reserve(document->blockCount());
    for (QTextBlock block = document->begin(); block.isValid(); block = block.next()) {
        QString text = block.text();
        text.remove(QChar::ObjectReplacementCharacter);
        lines << text;
    }
    return lines;
}

QList<uint> EmbellishRun::tableCodes(uint code)
{
    // The black list's hits are judged against the white list (Embellish::readsAsWrongForm).
    if (code == TEMPLATE_TYPE_SPELLING_BLACK_WHITE_LIST || code == TEMPLATE_TYPE_SQLITE_DB_SPELLING_BLACK_LIST)
        return {TEMPLATE_TYPE_SQLITE_DB_SPELLING_BLACK_LIST, TEMPLATE_TYPE_SQLITE_DB_SPELLING_WHITE_LIST};
    switch (WordDatabaseCatalogue::lookupKind(code)) {
    case WordDatabaseCatalogue::ListLookup:
    case WordDatabaseCatalogue::PairLookup:
    case WordDatabaseCatalogue::CorrectionLookup:
        return {code};
    default:
        return {};
    }
}

namespace {

// Does a word of the category lie across position at of text (take in
// text[at - 1] and text[at])?
bool wordAcross(Embellish& probe, const QString& text, int at, uint code, int longest)
{
    QString newWord;
    for (int from = std::max(0, at - longest + 1); from < at; ++from)
        for (int to = at; to < text.size() && to - from < longest; ++to)
            if (probe.getNewWord(text.mid(from, to - from + 1), &newWord, code, nullptr))
                return true;
    return false;
}

} // namespace

QVector<EmbellishRun::Piece> EmbellishRun::pieces(const QStringList& lines, uint code,
                                                  const SegmentationSettings& settings, int chunkLength,
                                                  Embellish* probe)
{
    qDebug() << Q_FUNC_INFO << ", lines =" << lines.size() << ", code =" << code << ", chunkLength =" << chunkLength;
    // Code 34 starts with the black list; both lists have the same delimiters.
    const uint delimiterCode =
        code == TEMPLATE_TYPE_SPELLING_BLACK_WHITE_LIST ? TEMPLATE_TYPE_SQLITE_DB_SPELLING_BLACK_LIST : code;
    const bool delimiters = SegmentationSettings::hasDelimiters(delimiterCode);
    const bool cut = chunkLength > 0 && (delimiters || probe);
    const int longest = settings.longestCandidate(code);
    // Where a piece may end: after a run of delimiters and before a word
    // character, the scan starts afresh on either side; without delimiters,
    // where no word lies across, neither side ever finds anything the other
    // would have needed.
    auto cutsAt = [&](const QString& text, int at) {
        if (delimiters)
            return settings.isDelimiter(text, at - 1, delimiterCode)
                && !settings.isDelimiter(text, at, delimiterCode);
        return !wordAcross(*probe, text, at, code, longest);
    };
    QVector<Piece> result;
    result.reserve(lines.size());
    for (int line = 0; line < lines.size(); ++line) {
        const QString& text = lines.at(line);
        const int length = text.size();
        int start = 0;
        while (cut && length - start > 2 * chunkLength) {
            int at = start + chunkLength;
            while (at < length && !cutsAt(text, at))
                ++at;
            if (at >= length)
                break;
            result.append(Piece{line, start, at - start});
            start = at;
        }
        result.append(Piece{line, start, length - start});
    }
    return result;
}

void EmbellishRun::segmentText(Embellish& embellish, const QString& text, uint code,
                               const SegmentationSettings& settings, SegmentList* marked, SegmentList* embellished)
{
    if (code != TEMPLATE_TYPE_SPELLING_BLACK_WHITE_LIST) {
        embellish.embellishString(text, marked, embellished, code, settings);
        return;
    }
    SegmentList blackMarked;
    SegmentList blackEmbellished;
    embellish.embellishString(text, &blackMarked, &blackEmbellished, TEMPLATE_TYPE_SQLITE_DB_SPELLING_BLACK_LIST,
                              settings);
    for (int j = 0; j < blackMarked.size(); ++j) {
        if (blackMarked.at(j).matched) {
            marked->append(blackMarked.at(j));
            embellished->append(blackEmbellished.at(j));
            continue;
        }
        SegmentList whiteMarked;
        SegmentList whiteEmbellished;
        embellish.embellishString(blackMarked.at(j).text, &whiteMarked, &whiteEmbellished,
                                  TEMPLATE_TYPE_SQLITE_DB_SPELLING_WHITE_LIST, settings);
        *marked += whiteMarked;
        *embellished += whiteEmbellished;
    }
}

void EmbellishRun::appendPiece(SegmentList& line, const SegmentList& piece)
{
    int from = 0;
    if (!line.isEmpty() && !piece.isEmpty() && !line.last().matched && !piece.first().matched) {
        line.last().text += piece.first().text;
        from = 1;
    }
    for (int k = from; k < piece.size(); ++k)
        line.append(piece.at(k));
}

void EmbellishRun::work(State* state)
{
    qDebug() << Q_FUNC_INFO << ", code =" << state->code;
    Embellish embellish(nullptr);
    for (uint table : qAsConst(state->tables))
        embellish.loadWordTable(table);
    const int count = state->pieces.size();
    while (!state->stop.loadAcquire()) {
        const int index = state->taken.fetchAndAddOrdered(1) + 1;
        if (index >= count)
            break;
        if (runLogging())
            qDebug() << "currentEmbellishStringIndex =" << index;
        if (state->beforeItem)
            state->beforeItem(index);
        const Piece& piece = state->pieces.at(index);
        const QString& line = state->lines.at(piece.line);
        // Every piece draws from its own sequence, so replacements do not
        // depend on which worker took which piece.
        embellish.seedRandom(state->seed ^ (quint32(index) * 2654435761u));
        const QString text = piece.length == line.size() ? line : line.mid(piece.start, piece.length);
        segmentText(embellish, text, state->code, state->settings, &state->marked[size_t(index)],
                    &state->embellished[size_t(index)]);
        if (QThread::currentThread()->isInterruptionRequested())
            break;
    }
}

void EmbellishRun::stopWorkers()
{
    if (!m_state)
        return;
    qDebug() << Q_FUNC_INFO << ", workers =" << m_state->workers.size();
    m_state->stop.storeRelease(1);
    for (QThread* worker : qAsConst(m_state->workers)) {
        if (!worker)
            continue;
        worker->requestInterruption();
        qDebug() << (worker->wait() ? "true" : "false");
    }
}

void EmbellishRun::cancel()
{
    if (!m_running)
        return;
    qDebug() << Q_FUNC_INFO;
    m_cancelRequested = true;
    // Workers finish the piece they hold and take no other.
    if (m_state)
        m_state->stop.storeRelease(1);
    if (m_loop)
        m_loop->quit();
}

void EmbellishRun::abort()
{
    if (!m_running)
        return;
    qDebug() << Q_FUNC_INFO;
    m_aborted = true;
    stopWorkers();
    if (m_loop)
        m_loop->quit();
}

// ---- The run ---------------------------------------------------------------------

int EmbellishRun::run(QTextEdit* editor, uint code, bool dryRun, QWidget* window)
{
    qDebug() << Q_FUNC_INFO << ": embellishType =" << templateType2String(code) << ", dryRun = " << int(dryRun);
    if (!editor)
        return NoDocument;
    if (m_running) {
        qWarning() << "A marking run is still going; the new one is refused.";
        return Busy;
    }
    // Held for the whole run.
    QVector<WordLookupTable::Pointer> tables;
    if (!loadTables(code, window, &tables))
        return TableUnavailable;

    const QPointer<QTextEdit> target(editor);
    m_aborted = false;
    m_cancelRequested = false;
    m_counts = MarkingRenderer::Counts();
    m_message.clear();
    setRunning(true);
    const bool wasReadOnly = editor->isReadOnly();
    editor->setReadOnly(true);
    const int revision = editor->document()->revision();

    State state;
    prepare(state, editor->document(), code);
    const int result = cutInWorkers(state, target, window);
    if (!releaseEditor(target, wasReadOnly, revision))
        return Cancelled;
    const Collected collected = collect(state, result);
    qDebug() << "Embellish ended.";
    showResult(target, state.lines, collected, code, dryRun);
    setRunning(false);
    reportCounts(code);
    return result;
}

bool EmbellishRun::loadTables(uint code, QWidget* window, QVector<WordLookupTable::Pointer>* tables)
{
    // Loaded once here, before the document is touched; every worker's
    // Embellish then shares the same tables. A table that cannot be read
    // stops the run: a check that never looked must not report "0 处".
    QList<uint> needed = tableCodes(code);
    // The white-list check judges single characters by the high-frequency list.
    if (code == TEMPLATE_TYPE_SQLITE_DB_SPELLING_WHITE_LIST || code == TEMPLATE_TYPE_SPELLING_BLACK_WHITE_LIST)
        needed << TEMPLATE_TYPE_SQLITE_DB_HIGH_FREQ_CHARACTER;
    for (uint table : qAsConst(needed)) {
        QString error;
        WordLookupTable::Pointer loaded = WordLookupTable::shared(table, &error);
        if (loaded && loaded->rowCount() == 0) {
            // A table without rows would make the check report "0 处" as well.
            error = tr("词库文件 %1 的数据表“%2”没有任何词条")
                        .arg(QDir::toNativeSeparators(QFileInfo(WordDatabaseCatalogue::fileName(table)).absoluteFilePath()),
                             WordDatabaseCatalogue::tableName(table));
            loaded.reset();
        }
        if (!loaded) {
            qWarning().noquote() << "Word table not loaded:" << error;
            m_message.clear();
            m_counts = MarkingRenderer::Counts();
            QMessageBox box(QMessageBox::Warning, tr("警告"),
                            tr("词库无法读取，本次操作没有进行，文档未作改动。\n\n%1").arg(error), QMessageBox::Ok,
                            window);
            Prompt::current().exec(box);
            return false;
        }
        tables->append(loaded);
    }
    return true;
}

void EmbellishRun::prepare(State& state, const QTextDocument* document, uint code) const
{
    state.code = code;
    state.settings = SegmentationSettings::read();
    state.lines = documentLines(document);
    state.tables = tableCodes(code);
    {
        // Codes without delimiters cut long lines where no word lies across,
        // which takes lookups.
        std::unique_ptr<Embellish> probe;
        const bool longLine = std::any_of(state.lines.cbegin(), state.lines.cend(),
                                          [this](const QString& line) { return line.size() > 2 * options.chunkLength; });
        if (longLine && !SegmentationSettings::hasDelimiters(code)) {
            probe = std::make_unique<Embellish>(nullptr);
            for (uint table : qAsConst(state.tables))
                probe->loadWordTable(table);
        }
        state.pieces = pieces(state.lines, code, state.settings, options.chunkLength, probe.get());
    }
    state.seed = RandomSource::next();
    state.beforeItem = options.beforeItem;
    state.marked.resize(size_t(state.pieces.size()));
    state.embellished.resize(size_t(state.pieces.size()));
}

int EmbellishRun::cutInWorkers(State& state, const QPointer<QTextEdit>& target, QWidget* window)
{
    const int lineCount = state.lines.size();
    // Guarded: it goes with its window.
    m_progress = new QProgressDialog(QString(), tr("中止"), 0, lineCount, window);
    m_progress->setWindowModality(Qt::WindowModal);
    m_progress->setAutoReset(false);
    m_progress->setAutoClose(false);
    m_progress->setMinimumDuration(options.progressDelay);
    m_progress->setValue(0);
    const qint64 start = QDateTime::currentSecsSinceEpoch();

    QEventLoop loop;
    m_loop = &loop;
    m_state = &state;
    // Connections die with it, so nothing queued reaches a finished run.
    auto guard = std::make_unique<QObject>();
    connect(m_progress.data(), &QProgressDialog::canceled, guard.get(), [this] { cancel(); });
    connect(target.data(), &QObject::destroyed, guard.get(), [&state, &loop] {
        // Nothing more is worth cutting; the workers are waited for below.
        state.stop.storeRelease(1);
        loop.quit();
    });
    startWorkers(state, loop, guard.get());
    const int result = poll(state, loop, target, start);

    stopWorkers();
    guard.reset();
    for (QThread* worker : qAsConst(state.workers))
        delete worker;
    state.workers.clear();
    m_state = nullptr;
    m_loop = nullptr;
    if (m_progress)
        m_progress->setValue(lineCount);
    delete m_progress.data();
    return result;
}

void EmbellishRun::startWorkers(State& state, QEventLoop& loop, QObject* guard)
{
    int workerCount = options.workerCount > 0 ? options.workerCount : QThread::idealThreadCount();
    workerCount = std::max(1, std::min(workerCount, int(state.pieces.size())));
    qDebug() << "idealThreadCount =" << workerCount;
    for (int w = 0; w < workerCount; ++w) {
        QThread* worker = QThread::create([&state] { work(&state); });
        worker->setObjectName(QStringLiteral("EmbellishWorker%1").arg(w));
        state.workers << worker;
        connect(worker, &QThread::finished, guard, [&state, &loop, w] {
            // Released as soon as it is done.
            if (QThread* done = state.workers.at(w)) {
                done->wait();
                delete done;
                state.workers[w] = nullptr;
            }
            if (++state.finished == state.workers.size())
                loop.quit();
        });
        worker->start();
    }
}

int EmbellishRun::poll(State& state, QEventLoop& loop, const QPointer<QTextEdit>& target, qint64 start)
{
    QTimer pace;
    pace.setSingleShot(true);
    connect(&pace, &QTimer::timeout, &loop, &QEventLoop::quit);
    auto gone = [&] { return m_aborted || !target; };
    for (;;) {
        const bool done = state.finished == state.workers.size();
        if (!done && !m_cancelRequested && !gone()) {
            pace.start(options.pollInterval);
            loop.exec();
            pace.stop();
        }
        if (gone())
            break;
        showProgress(state, start);
        if (options.afterPoll)
            options.afterPoll();
        if (gone())
            break;
        if (m_cancelRequested || (m_progress && m_progress->wasCanceled())) {
            stopWorkers();
            return Cancelled;
        }
        if (state.finished == state.workers.size())
            return Completed;
    }
    m_aborted = true;
    return Cancelled;
}

void EmbellishRun::showProgress(const State& state, qint64 start)
{
    if (!m_progress)
        return;
    // The line of the last piece handed out; past the last piece, every line.
    const int pieceCount = state.pieces.size();
    const int lineCount = state.lines.size();
    const int taken = state.taken.loadAcquire();
    const int line = taken < 0 ? 0 : taken >= pieceCount ? lineCount : state.pieces.at(taken).line;
    const qint64 elapsed = QDateTime::currentSecsSinceEpoch() - start;
    m_progress->setLabelText(progressText(line, lineCount, elapsed, estimate(elapsed, lineCount, line)));
    // Once shown, the dialog handles pending events here.
    m_progress->setValue(line);
}

bool EmbellishRun::releaseEditor(const QPointer<QTextEdit>& target, bool wasReadOnly, int revision)
{
    if (m_aborted || !target) {
        qDebug() << "Embellish aborted.";
        if (target)
            target->setReadOnly(wasReadOnly);
        setRunning(false);
        return false;
    }
    target->setReadOnly(wasReadOnly);
    if (target->document()->revision() != revision) {
        // Something changed the text meanwhile (the editor was read-only, but
        // commands such as Undo still reach it); the marks would not fit.
        qWarning() << "The document changed during the run; its result is dropped.";
        setRunning(false);
        QMessageBox box(QMessageBox::Warning, tr("警告"), tr("标记期间文档已被修改, 未应用标记结果."),
                        QMessageBox::Ok);
        Prompt::current().exec(box);
        return false;
    }
    return true;
}

EmbellishRun::Collected EmbellishRun::collect(const State& state, int result)
{
    // Lines whose pieces were all handed out before the last one taken are
    // complete; after a cancel the line of that piece onward stays plain.
    const int pieceCount = state.pieces.size();
    const int lineCount = state.lines.size();
    const int taken = std::min(state.taken.loadAcquire(), pieceCount);
    Collected collected;
    collected.lines = result == Completed || taken >= pieceCount ? lineCount : state.pieces.at(std::max(taken, 0)).line;
    int piece = 0;
    for (int line = 0; line < collected.lines; ++line) {
        SegmentList markedLine;
        SegmentList embellishedLine;
        for (; piece < pieceCount && state.pieces.at(piece).line == line; ++piece) {
            appendPiece(markedLine, state.marked[size_t(piece)]);
            appendPiece(embellishedLine, state.embellished[size_t(piece)]);
        }
        collected.marked += markedLine;
        collected.embellished += embellishedLine;
        if (line + 1 < collected.lines) {
            collected.marked << MarkingRenderer::lineEnd();
            collected.embellished << MarkingRenderer::lineEnd();
        }
    }
    return collected;
}

void EmbellishRun::showResult(QTextEdit* target, const QStringList& lines, const Collected& collected, uint code,
                              bool dryRun)
{
    const MarkingRenderer::Counts found = MarkingRenderer::count(collected.marked, code);
    if (found.marks == 0 && found.blackList == 0 && found.whiteList == 0) {
        // Nothing new to show: the text and its formatting stay. Only marks
        // an earlier run left go, in one step Undo takes back; a document
        // without marks keeps its modified flag and Undo history untouched.
        MarkFormat::removeMarks(target->document());
        m_counts = found;
        return;
    }
    if (dryRun && options.prepareDryRunView)
        options.prepareDryRunView();
    QTextCursor cursor(target->document());
    cursor.beginEditBlock();
    cursor.select(QTextCursor::Document);
    cursor.removeSelectedText();
    // The block left over keeps the lines of its old layout, which every
    // insertion would walk: a one-paragraph document would cost its length
    // once per mark.
    cursor.block().layout()->clearLayout();
    cursor.setBlockFormat(QTextBlockFormat());
    cursor.setBlockCharFormat(QTextCharFormat());
    m_counts = insertMarked(cursor, collected, code, dryRun);
    if (collected.lines < lines.size())
        appendPlainLines(cursor, lines, collected.lines);
    cursor.endEditBlock();
    // The editor's own cursor went along with the insertions; the reader starts at the top.
    target->moveCursor(QTextCursor::Start);
}

MarkingRenderer::Counts EmbellishRun::insertMarked(QTextCursor& cursor, const Collected& collected, uint code,
                                                   bool dryRun)
{
    const MarkingRenderer::LineSpacing spacing = MarkingRenderer::LineSpacing::fromSettings();
    // Both lists carry the same flags, so the marked text counts the same.
    if (dryRun)
        return MarkingRenderer::insert(cursor, collected.marked, code, spacing);
    if (Settings().value(QStringLiteral("EmbellishVerbose"), 0).toInt() == 0)
        return MarkingRenderer::insert(cursor, collected.embellished, code, spacing);
    const QString twoBreaks(2, QChar::LineSeparator);
    cursor.insertText(tr("原文 >>>"), QTextCharFormat());
    cursor.insertBlock(QTextBlockFormat(), QTextCharFormat());
    MarkingRenderer::insert(cursor, collected.marked, code, spacing);
    cursor.insertBlock(QTextBlockFormat(), QTextCharFormat());
    cursor.insertText(twoBreaks + tr("润色 >>>"), QTextCharFormat());
    cursor.insertBlock(QTextBlockFormat(), QTextCharFormat());
    const MarkingRenderer::Counts counts = MarkingRenderer::insert(cursor, collected.embellished, code, spacing);
    cursor.insertBlock(QTextBlockFormat(), QTextCharFormat());
    cursor.insertText(twoBreaks, QTextCharFormat());
    return counts;
}

void EmbellishRun::appendPlainLines(QTextCursor& cursor, const QStringList& lines, int from)
{
    // The lines not marked, as plain text with a plain format.
    if (!cursor.atStart())
        cursor.insertBlock(cursor.blockFormat(), QTextCharFormat());
    for (int line = from; line < lines.size(); ++line) {
        if (line > from)
            cursor.insertBlock(cursor.blockFormat(), QTextCharFormat());
        if (!lines.at(line).isEmpty())
            cursor.insertText(lines.at(line), QTextCharFormat());
    }
}

void EmbellishRun::reportCounts(uint code)
{
    m_message = countMessage(code, m_counts);
    Settings settings;
    if (settings.value(QStringLiteral("ShowSpellingResultMessageBox"), 0).toInt() != 0 && !m_message.isEmpty()) {
        QMessageBox box(QMessageBox::NoIcon, tr("提示"), m_message, QMessageBox::Ok);
        box.setCheckBox(new QCheckBox(tr("不再显示此提示框")));
        Prompt::current().exec(box);
        if (box.checkBox()->isChecked())
            settings.setValue(QStringLiteral("ShowSpellingResultMessageBox"), false);
    }
}
