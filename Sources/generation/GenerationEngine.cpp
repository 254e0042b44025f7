#include "GenerationEngine.h"

#include <QDebug>
#include <QFile>
#include <QMessageBox>
#include <QProgressDialog>
#include <QRegularExpression>
#include <QTextBlock>
#include <QTextCodec>
#include <QTextCursor>
#include <QTextEdit>
#include <QTextStream>

#include "AutoGenInputDialogBase.h"
#include "DomParser.h"
#include "GenerationSession.h"
#include "InputHistory.h"
#include "Prompt.h"
#include "SharedCodes.h"
#include "TextBlockUserData.h"

const QString GenerationEngine::urlPlaceholder = QStringLiteral("__ADVERTISEMENT_URL__");
const QString GenerationEngine::advertorialTemplate = QStringLiteral("Templates/软文.tqw");
const QString GenerationEngine::poemCommandTemplate = QStringLiteral("Templates/诗歌.tqw");

namespace {

TemplateItemRefPointer newRecord(const QString& path, const QList<int>& position)
{
    return TemplateItemRefPointer(new TemplateItemRef(TEMPLATE_TYPE_TQW_FILE, path, position));
}

} // namespace

GenerationEngine::GenerationEngine(const Request& request)
    : m_request(request), m_session(GenerationSession::current())
{
    if (!m_session) {
        m_ownSession.reset(new GenerationSession(request.parent));
        m_session = m_ownSession.get();
    }
}

GenerationEngine::~GenerationEngine() = default;

bool GenerationEngine::isAdvertisementTemplate(const QString& templatePath)
{
    static const QStringList advertisements = {
        QStringLiteral("Templates/广告.tqw"), QStringLiteral("Templates/服装.tqw"),
        QStringLiteral("Templates/保健.tqw"), QStringLiteral("Templates/美容.tqw"),
        QStringLiteral("Templates/旅游.tqw"), QStringLiteral("Templates/餐饮.tqw"),
        QStringLiteral("Templates/食品.tqw"),
    };
    return advertisements.contains(templatePath);
}

GenerationEngine::Branch GenerationEngine::branchOf(const QString& templatePath)
{
    if (isAdvertisementTemplate(templatePath))
        return AdvertisementBranch;
    if (templatePath == advertorialTemplate)
        return AdvertorialBranch;
    return StoryBranch;
}

bool GenerationEngine::isTitleTemplate(const QString& templatePath)
{
    return templatePath == QStringLiteral("Templates/标题.tqw");
}

bool GenerationEngine::isPoemTemplate(const QString& templatePath)
{
    return templatePath.contains(QStringLiteral("Templates/诗歌/诗歌"));
}

QString GenerationEngine::atomPath(const QString& name)
{
    return QStringLiteral("Templates/Atom/") + name + QStringLiteral(".tqw");
}

QString GenerationEngine::poemTemplate(const QString& finalSound)
{
    return QStringLiteral("Templates/诗歌/诗歌") + finalSound.toUpper() + QStringLiteral(".tqw");
}

QVector<PlaceholderValue> GenerationEngine::valuesOf(const AutoGenInputDialogBase& dialog)
{
    QVector<PlaceholderValue> values;
    values.reserve(dialog.inputs().size());
    for (const AutoGenInput& input : dialog.inputs())
        values.append({input.placeholder(), input.text(), input.field->linked});
    return values;
}

GenerationEngine::OutputMode GenerationEngine::outputMode() const
{
    if (isTitleTemplate(m_request.templatePath))
        return TitleOutput;
    return m_request.batchMode ? BatchOutput : DocumentOutput;
}

GenerationEngine::Outcome GenerationEngine::run(QString& result)
{
    qDebug() << Q_FUNC_INFO << ", template =" << m_request.templatePath
             << ", outputFileName =" << m_request.outputFileName;
    QVector<GeneratedPiece> pieces;
    if (!draw(pieces) || !splice(pieces))
        return TemplateFailed;
    fillPlaceholders(pieces, m_request.values, outputMode() == DocumentOutput);
    return write(pieces, result);
}

DomParser* GenerationEngine::load(const QString& path)
{
    DomParser* parser = m_session->parser(path);
    if (!parser) {
        QMessageBox box(QMessageBox::Warning, tr("错误"), path + tr(" 未找到或格式错误!"), QMessageBox::Ok,
                        m_request.parent);
        Prompt::current().exec(box);
    }
    return parser;
}

bool GenerationEngine::draw(QVector<GeneratedPiece>& pieces)
{
    const QString& path = m_request.templatePath;
    DomParser* parser = load(path);
    if (!parser)
        return false;
    QStringList texts;
    QList<QList<int>> positions;
    if (isPoemTemplate(path)) {
        parser->pickRandomContentsOfFirstEntry(texts, positions, m_request.poemLines);
    } else {
        int entries = 0;
        parser->pickRandomContents(texts, entries, positions);
    }
    pieces.reserve(pieces.size() + texts.size());
    for (int i = 0; i < texts.size(); ++i)
        pieces.append({texts.at(i), {newRecord(path, positions.at(i))}});
    return true;
}

bool GenerationEngine::splice(QVector<GeneratedPiece>& pieces)
{
    QProgressDialog* progress = m_session->progressDialog();
    progress->setRange(0, pieces.size());
    progress->setValue(0);

    QVector<GeneratedPiece> spliced;
    spliced.reserve(pieces.size());
    for (int i = 0; i < pieces.size(); ++i) {
        const GeneratedPiece& piece = pieces.at(i);
        if (!expand(piece.text, piece.records, 0, spliced))
            return false;
        progress->setValue(i + 1);
    }
    pieces.swap(spliced);
    return true;
}

// Left to right: the text before a marker keeps the piece's records, every
// atom piece follows with the piece's records plus its own (and is expanded in
// its turn), and the text after the marker goes on with the piece's records.
bool GenerationEngine::expand(const QString& text, const QList<TemplateItemRefPointer>& records, int depth,
                              QVector<GeneratedPiece>& out)
{
    // One pass over the text: separate match() calls would check the whole
    // text again each time, which makes splicing quadratic in the markers.
    static const QRegularExpression& marker = DomParser::atomMarkerExpression();
    QRegularExpressionMatchIterator markers = marker.globalMatch(text);
    int emitFrom = 0;
    while (markers.hasNext()) {
        const QRegularExpressionMatch match = markers.next();
        if (depth >= MaximumAtomDepth || m_splices >= MaximumSplices) {
            qWarning() << "atom expansion stopped at" << match.captured() << ", depth =" << depth
                       << ", splices =" << m_splices;
            m_session->noteLimitReached(match.captured());
            continue;
        }
        const QString path = atomPath(match.captured().remove(QLatin1Char('[')).remove(QLatin1Char(']')));
        DomParser* atom = load(path);
        if (!atom)
            return false;
        ++m_splices;
        QStringList texts;
        QList<QList<int>> positions;
        int entries = 0;
        atom->pickRandomContents(texts, entries, positions);

        if (match.capturedStart() > emitFrom)
            out.append({text.mid(emitFrom, match.capturedStart() - emitFrom), records});
        for (int i = 0; i < texts.size(); ++i) {
            QList<TemplateItemRefPointer> atomRecords = records;
            atomRecords.append(newRecord(path, positions.at(i)));
            if (!expand(texts.at(i), atomRecords, depth + 1, out))
                return false;
        }
        emitFrom = match.capturedEnd();
    }
    // A piece without markers stays whole, even when empty; after a cut only a
    // non-empty rest is kept.
    if (emitFrom == 0)
        out.append({text, records});
    else if (emitFrom < text.size())
        out.append({text.mid(emitFrom), records});
    return true;
}

void GenerationEngine::fillPlaceholders(QVector<GeneratedPiece>& pieces, const QVector<PlaceholderValue>& values,
                                        bool html)
{
    const QString prompt = InputHistory::prompt();
    const QLatin1String underscores("__");
    QString url;
    bool hasUrl = false;
    for (GeneratedPiece& piece : pieces) {
        for (const PlaceholderValue& value : values) {
            // A box at the prompt leaves its placeholder; an empty box removes it.
            if (value.value == prompt)
                continue;
            if (value.placeholder == urlPlaceholder) {
                url = value.value;
                hasUrl = !url.isEmpty();
            }
            if (!piece.text.contains(underscores))
                break;
            if (!piece.text.contains(value.placeholder))
                continue;
            QString replacement = html ? value.value.toHtmlEscaped() : value.value;
            if (value.linked && hasUrl) {
                replacement = QStringLiteral("<a href=\"") + (html ? url.toHtmlEscaped() : url)
                              + QStringLiteral("\">") + replacement + QStringLiteral("</a>");
            }
            piece.text.replace(value.placeholder, replacement);
        }
    }
}

GenerationEngine::Outcome GenerationEngine::write(const QVector<GeneratedPiece>& pieces, QString& result)
{
    const OutputMode mode = outputMode();
    if (mode == TitleOutput) {
        for (const GeneratedPiece& piece : pieces)
            result += piece.text;
        return Generated;
    }

    QTextEdit* editor = m_request.editor;
    QTextCursor cursor = editor ? editor->textCursor() : QTextCursor();
    if (cursor.isNull())
        return NoEditor;

    if (mode == BatchOutput) {
        // New files only: a batch never writes over a file, not even a hidden one.
        QFile file(m_request.outputFileName);
        if (!file.open(QIODevice::WriteOnly | QIODevice::Text | QIODevice::NewOnly)) {
            qWarning() << "cannot create" << m_request.outputFileName << ":" << file.errorString();
            return FileFailed;
        }
        QTextStream stream(&file);
        stream.setCodec(QTextCodec::codecForLocale());
        for (const GeneratedPiece& piece : pieces)
            stream << piece.text;
        stream.flush();
        file.close();
        if (stream.status() != QTextStream::Ok || file.error() != QFileDevice::NoError) {
            qWarning() << "cannot write" << m_request.outputFileName << ":" << file.errorString();
            file.remove();
            return FileFailed;
        }
        return Generated;
    }

    if (m_request.cursorTracking)
        *m_request.cursorTracking = false;
    const QString fontStart = QStringLiteral("<font color=\"") + m_request.highlightColor.toHtmlEscaped()
                              + QStringLiteral("\">");
    for (const GeneratedPiece& piece : pieces) {
        cursor.beginEditBlock();
        if (!cursor.atStart())
            cursor.insertBlock();
        cursor.insertHtml(m_request.highlight ? fontStart + piece.text + QStringLiteral("</font>") : piece.text);
        cursor.block().setUserData(new TextBlockUserData(piece.records));
        cursor.endEditBlock();
    }
    if (m_request.cursorTracking)
        *m_request.cursorTracking = true;
    return Generated;
}
