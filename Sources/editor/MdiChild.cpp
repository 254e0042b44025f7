#include "MdiChild.h"

#include <QAction>
#include <QAbstractTextDocumentLayout>
#include <QContextMenuEvent>
#include <QDebug>
#include <QFile>
#include <QFileInfo>
#include <QListWidgetItem>
#include <QIcon>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QMdiSubWindow>
#include <QMessageBox>
#include <QMouseEvent>
#include <QResizeEvent>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextLayout>
#include <QTextOption>
#include <QWheelEvent>
#include <QtMath>

#include "ContextListWidget.h"
#include "DocumentFile.h"
#include "DocumentHost.h"
#include "EditorContextMenu.h"
#include "GlobalActions.h"
#include "LayoutGuard.h"
#include "LogFileView.h"
#include "MarkTyping.h"
#include "MarkFormat.h"
#include "ProgramState.h"
#include "Prompt.h"
#include "SettingsStore.h"
#include "SharedCodes.h"
#include "TextEncoding.h"
#include "VeldmarkHighlighter.h"

int zoomLevel = 1;
const int zoomStep = 5;
bool highlightCurrentLineEnabled = false;
bool highlightCurrentParagraphEnabled = false;
int currentTemplateType = 0;

namespace {

// Number of the next untitled document; never restarts while the program runs.
int sequenceNumber = 1;

} // namespace

MdiChild::MdiChild(DocumentHost* host, QWidget* parent)
    : QTextEdit(parent)
    , owner(host)
    , ownerObject(host ? host->hostObject() : nullptr)
{
    qDebug() << Q_FUNC_INFO;
    setProperty("SubWindowType", 1);

    Settings settings;
    const int backgroundType = settings.value(QStringLiteral("EditorBackgroundType")).toInt();
    switch (backgroundType) {
    case 0:
        break;
    case 1:
        changeBackground(settings.value(QStringLiteral("EditorBackgroundColor")).toString());
        break;
    case 2:
        changeBackground(settings.value(QStringLiteral("EditorBackgroundFileName")).toString());
        break;
    default:
        qWarning() << "Unknown background type =" << backgroundType;
        break;
    }

    setAttribute(Qt::WA_DeleteOnClose);
    setAutoFormatting(QTextEdit::AutoAll);
    encoding = TextEncoding::defaultEncoding();
    setMouseTracking(true);
    viewport()->setMouseTracking(true);

    listWidget = new ContextListWidget(this);
    listWidget->hide();
    listWidget->setAlternatingRowColors(true);
    connect(listWidget, SIGNAL(itemActivated(QListWidgetItem*)), this, SLOT(itemActivated(QListWidgetItem*)));
    popups.reset(new WordPopup(this));
    file.reset(new DocumentFile(this));
    layoutGuard = new LayoutGuard(this);

    connect(this, SIGNAL(cursorPositionChanged()), this, SLOT(highlightCurrentLineAndParagraph()));
    // A new document shows the highlight before its cursor first moves.
    highlightCurrentLineAndParagraph();
    if (QObject* window = ownerObject.data()) {
        connect(window, SIGNAL(fileChange(QString)), this, SLOT(reloadFilePath(QString)));
        connect(window, SIGNAL(backgroundChange(QString)), this, SLOT(changeBackground(QString)));
    }

    setEditorFont();
    setLineSpacing();
}

MdiChild::~MdiChild()
{
    qDebug() << Q_FUNC_INFO << ", curFile =" << curFile;
}

// ---- Names ---------------------------------------------------------------------------

void MdiChild::newFile()
{
    qDebug() << Q_FUNC_INFO;
    isUntitled = true;
    curFile = tr("文档%1").arg(sequenceNumber++);
    setWindowTitle(QStringLiteral("[*]") + curFile);
    trackModifications(true);
}

void MdiChild::setCurrentFile(const QString& fileName)
{
    qDebug() << Q_FUNC_INFO << ", fileName =" << fileName;
    curFile = QFileInfo(fileName).canonicalFilePath();
    isUntitled = false;
    document()->setModified(false);
    setWindowModified(false);
    setWindowTitle(QStringLiteral("[*]") + strippedName(curFile));
}

QString MdiChild::strippedName(const QString& fullFileName)
{
    qDebug() << Q_FUNC_INFO << ", fullFileName =" << fullFileName;
    return QFileInfo(fullFileName).fileName();
}

QString MdiChild::userFriendlyCurrentFile() const
{
    qDebug() << Q_FUNC_INFO;
    return strippedName(curFile);
}

void MdiChild::setEncoding(const QString& enc)
{
    qDebug() << Q_FUNC_INFO << ", enc =" << enc;
    encoding = enc;
    emit encodingChanged(enc);
}

// ---- The file -----------------------------------------------------------------------

bool MdiChild::loadFile(const QString& fileName, const QString& enc)
{
    return file->load(fileName, enc, false);
}

bool MdiChild::reloadWithEncoding(const QString& enc)
{
    return file->reloadWithEncoding(enc);
}

void MdiChild::reloadFilePath(QString path)
{
    file->reloadFilePath(path);
}

int MdiChild::save(bool askName)
{
    return file->save(askName);
}

int MdiChild::saveAs()
{
    return file->saveAs();
}

int MdiChild::saveFile(const QString& fileName, bool temp)
{
    return file->saveFile(fileName, temp);
}

bool MdiChild::maybeSave()
{
    return file->maybeSave();
}

QString MdiChild::recoveryFileName() const
{
    return file->recoveryFileName();
}

bool MdiChild::loadedLossily() const
{
    return file->loadedLossily();
}

bool MdiChild::fileUnchangedOnDisk() const
{
    return file->unchangedOnDisk();
}

void MdiChild::closeEvent(QCloseEvent* event)
{
    qDebug() << Q_FUNC_INFO;
    if (maybeSave())
        event->accept();
    else
        event->ignore();
}

// ---- Modified state ------------------------------------------------------------------

void MdiChild::trackModifications(bool on)
{
    qDebug() << Q_FUNC_INFO << ", on =" << on;
    if (on)
        connect(document(), SIGNAL(contentsChanged()), this, SLOT(documentWasModified()), Qt::UniqueConnection);
    else
        disconnect(document(), SIGNAL(contentsChanged()), this, SLOT(documentWasModified()));
}

void MdiChild::documentWasModified()
{
    qDebug() << Q_FUNC_INFO;
    const bool modified = document()->isModified();
    setWindowModified(modified);
    showSubWindowIcon(modified);
}

void MdiChild::showSubWindowIcon(bool modified)
{
    qDebug() << Q_FUNC_INFO << ", modified =" << modified;
    // Called on every keystroke: only touch the icon when it changes.
    auto* subWindow = qobject_cast<QMdiSubWindow*>(parentWidget());
    if (!subWindow || iconState == int(modified))
        return;
    subWindow->setWindowIcon(QIcon(modified ? QStringLiteral(":/Images/DocModified_512x512.png")
                                            : QStringLiteral(":/Images/Doc_512x512.png")));
    iconState = int(modified);
}

// ---- Widget overrides ----------------------------------------------------------------

// No log line here: it runs for every frame drawn.
void MdiChild::paintEvent(QPaintEvent* event)
{
    layoutGuard->aboutToPaint();
    if (layoutGuard->paintAhead(event))
        return;
    QTextEdit::paintEvent(event);
    layoutGuard->paintBelowLimit(event);
}

void MdiChild::resizeEvent(QResizeEvent* event)
{
    qDebug() << Q_FUNC_INFO << ", size =" << event->size();
    layoutGuard->resized(
        event, [&] { QTextEdit::resizeEvent(event); }, [&] { QAbstractScrollArea::resizeEvent(event); });
}

void MdiChild::setWrapping(bool wrap)
{
    layoutGuard->setWrapping(wrap);
}

void MdiChild::showCursor()
{
    layoutGuard->showCursor();
}

// The base class would scroll to the cursor on the first show; a document opens at its top.
void MdiChild::showEvent(QShowEvent*)
{
    qDebug() << Q_FUNC_INFO;
}

// A new skin or background changes the palette the current-line and paragraph
// bands are worked out from: they take the new colours at once.
void MdiChild::changeEvent(QEvent* event)
{
    QTextEdit::changeEvent(event);
    if (event->type() == QEvent::PaletteChange || event->type() == QEvent::StyleChange)
        highlightCurrentLineAndParagraph();
}

void MdiChild::keyPressEvent(QKeyEvent* event)
{
    qDebug() << Q_FUNC_INFO << ", key =" << event->key() << ", modifiers =" << event->modifiers();
    if (isReadOnly() && MarkTyping::isPrintableInput(event)) {
        QMessageBox box(QMessageBox::Warning, tr("警告"), tr("当前文档为只读模式, 请取消只读模式后再修改!"),
                        QMessageBox::Ok, this);
        Prompt::current().exec(box);
    }
    if (event->key() == Qt::Key_Insert) {
        if (DocumentHost* window = host())
            window->toggleInsertOverwriteMode();
        else
            setOverwriteMode(!overwriteMode());
    }
    if (!isReadOnly() && MarkTyping::writesText(event))
        MarkTyping::typeWithoutMark(this, textCursor().charFormat(), [&] { QTextEdit::keyPressEvent(event); });
    else
        QTextEdit::keyPressEvent(event);
    // The end of a document still being laid out lies beyond the scroll range
    // the editor knows of.
    if (event->matches(QKeySequence::MoveToEndOfDocument) || event->matches(QKeySequence::SelectEndOfDocument))
        showCursor();
}

void MdiChild::inputMethodEvent(QInputMethodEvent* event)
{
    if (isReadOnly() || event->commitString().isEmpty()) {
        QTextEdit::inputMethodEvent(event);
        return;
    }
    // The committed text goes where the selection starts.
    QTextCursor at = textCursor();
    at.setPosition(at.selectionStart());
    MarkTyping::typeWithoutMark(this, at.charFormat(), [&] { QTextEdit::inputMethodEvent(event); });
}

void MdiChild::insertFromMimeData(const QMimeData* source)
{
    MarkTyping::paste(this, source, [&] { QTextEdit::insertFromMimeData(source); });
}

void MdiChild::mouseMoveEvent(QMouseEvent* event)
{
    qDebug() << Q_FUNC_INFO << ", pos =" << event->pos();
    if (event->buttons() == Qt::NoButton && currentTemplateType != 0 && popups->hover(event->pos()))
        return;
    QTextEdit::mouseMoveEvent(event);
}

// Logs only the Control+wheel it acts on: every event of the scroll bars passes here.
bool MdiChild::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::Wheel) {
        auto* wheel = static_cast<QWheelEvent*>(event);
        if (wheel->modifiers() == Qt::ControlModifier) {
            qDebug() << Q_FUNC_INFO << ", zoomLevel =" << zoomLevel << ", delta =" << wheel->angleDelta();
            const QPoint angle = wheel->angleDelta();
            const int delta = angle.y() != 0 ? angle.y() : angle.x();
            QList<MdiChild*> children;
            if (DocumentHost* window = host())
                children = window->documents();
            if (!children.contains(this))
                children << this;
            if (delta > 0) {
                if (zoomLevel <= 15) {
                    ++zoomLevel;
                    for (MdiChild* child : children)
                        child->zoomBy(2);
                }
            } else if (zoomLevel >= -8) {
                --zoomLevel;
                for (MdiChild* child : children)
                    child->zoomBy(-2);
            }
            // The scroll bar still gets the wheel.
            return false;
        }
    }
    return QTextEdit::eventFilter(watched, event);
}

QString MdiChild::atomReferenceAt(const QString& text, int pos)
{
    qDebug() << Q_FUNC_INFO << ", text.size() =" << text.size() << ", pos =" << pos;
    int from = 0;
    for (;;) {
        const int start = text.indexOf(QLatin1Char('['), from);
        if (start < 0 || start >= pos)
            return QString();
        const int end = text.indexOf(QLatin1Char(']'), start + 1);
        if (end < 0)
            return QString();
        const int length = end - start + 1;
        if (start + length > pos) {
            QString name = text.mid(start, length);
            name.remove(QLatin1Char('['));
            name.remove(QLatin1Char(']'));
            return name;
        }
        from = start + length;
    }
}

void MdiChild::contextMenuEvent(QContextMenuEvent* event)
{
    qDebug() << Q_FUNC_INFO << ", pos =" << event->pos();
    EditorContextMenu::exec(this, event->pos(), event->globalPos(), anyHost());
}

// ---- Highlights, symbols, font, background, spacing ------------------------------------

namespace {

// A colour component moved by step, downwards when upwards would leave 0..255.
int shiftedComponent(int value, int step)
{
    return value + step >= 256 ? value - step : value + step;
}

} // namespace

QColor MdiChild::paragraphHighlightColor(const QColor& base)
{
    qDebug() << Q_FUNC_INFO << ", base =" << base;
    QColor color = base;
    color.setBlue(shiftedComponent(base.blue(), 30));
    color.setAlpha(255);
    return color;
}

QColor MdiChild::lineHighlightColor(const QColor& base)
{
    qDebug() << Q_FUNC_INFO << ", base =" << base;
    QColor color = base;
    color.setRed(shiftedComponent(base.red(), 100));
    color.setAlpha(255);
    return color;
}

void MdiChild::highlightCurrentLineAndParagraph()
{
    qDebug() << Q_FUNC_INFO;
    QList<QTextEdit::ExtraSelection> selections;
    const QColor base = palette().color(QPalette::Active, QPalette::Window);
    const auto fullWidthSelection = [this](const QColor& background) {
        QTextEdit::ExtraSelection selection;
        selection.format.setBackground(background);
        selection.format.setProperty(QTextFormat::FullWidthSelection, true);
        selection.cursor = textCursor();
        return selection;
    };
    if (!isReadOnly() && highlightCurrentParagraphEnabled) {
        QTextEdit::ExtraSelection selection = fullWidthSelection(paragraphHighlightColor(base));
        selection.cursor.movePosition(QTextCursor::StartOfBlock);
        selection.cursor.movePosition(QTextCursor::EndOfBlock, QTextCursor::KeepAnchor);
        selections.append(selection);
    }
    if (highlightCurrentLineEnabled) {
        QTextEdit::ExtraSelection selection = fullWidthSelection(lineHighlightColor(base));
        selection.cursor.clearSelection();
        selections.append(selection);
    }
    if (selections.isEmpty() && extraSelections().isEmpty())
        return;
    setExtraSelections(selections);
    // The editor repaints a highlight only as high as its line's place, and
    // where the line was before typing moved it: the band a highlight painted
    // is repainted here.
    const QRectF band = selections.isEmpty() ? QRectF() : highlightBand();
    repaintBand(highlightedBand);
    repaintBand(band);
    highlightedBand = band;
}

QRectF MdiChild::highlightBand() const
{
    const QTextCursor cursor = textCursor();
    const QTextLayout* layout = cursor.block().layout();
    // A paragraph not laid out yet has painted nothing.
    if (!layout || layout->lineCount() == 0)
        return QRectF();
    QTextLine first = layout->lineForTextPosition(cursor.positionInBlock());
    QTextLine last = first;
    if (highlightCurrentParagraphEnabled) {
        first = layout->lineAt(0);
        last = layout->lineAt(layout->lineCount() - 1);
    }
    if (!first.isValid() || !last.isValid())
        return QRectF();
    const qreal top = document()->documentLayout()->blockBoundingRect(cursor.block()).top();
    return QRectF(0, top + first.y(), 1, last.y() + last.height() - first.y());
}

void MdiChild::repaintBand(const QRectF& band)
{
    if (band.isNull())
        return;
    const int top = qFloor(band.top()) - verticalScrollBar()->value() - 1;
    const int bottom = qCeil(band.bottom()) - verticalScrollBar()->value() + 1;
    const QRect rect = QRect(0, top, viewport()->width(), bottom - top).intersected(viewport()->rect());
    if (!rect.isEmpty())
        viewport()->update(rect);
}

void MdiChild::setShowSymbol(bool show)
{
    qDebug() << Q_FUNC_INFO << ", show =" << show;
    QTextOption option;
    if (show)
        option.setFlags(QTextOption::Flags(Settings().value(QStringLiteral("ShowSymbol")).toInt()));
    // Every change of the option lays the whole document out again.
    const QTextOption current = document()->defaultTextOption();
    if (current.flags() == option.flags() && current.wrapMode() == option.wrapMode()
        && current.alignment() == option.alignment() && current.textDirection() == option.textDirection()
        && current.tabStopDistance() == option.tabStopDistance() && current.tabs() == option.tabs()
        && current.useDesignMetrics() == option.useDesignMetrics())
        return;
    document()->setDefaultTextOption(option);
}

void MdiChild::setEditorFont()
{
    qDebug() << Q_FUNC_INFO;
    Settings settings;
    if (settings.value(QStringLiteral("EditorFontType")).toInt() != 1) {
        // The system font: whatever font was set before goes.
        setFont(QFont());
        return;
    }
    QFont font(settings.value(QStringLiteral("EditorFontFamily")).toString());
    const double size = settings.value(QStringLiteral("EditorFontSize")).toDouble();
    if (size > 0)
        font.setPointSizeF(size);
    setFont(font);
}

void MdiChild::changeBackground(const QString& colorFileName)
{
    qDebug() << Q_FUNC_INFO << ": colorFileName =" << colorFileName;
    if (colorFileName.isEmpty()) {
        setStyleSheet(QString());
        return;
    }
    if (colorFileName.startsWith(QLatin1Char('#'))) {
        // Only a real colour goes into the style sheet.
        if (!QColor::isValidColor(colorFileName)) {
            qWarning() << "Invalid background colour, colorFileName =" << colorFileName;
            setStyleSheet(QString());
            return;
        }
        setStyleSheet(QStringLiteral("MdiChild { background-color: ") + colorFileName + QStringLiteral("; }"));
        return;
    }
    QString quoted = colorFileName;
    quoted.replace(QLatin1Char('\\'), QLatin1String("\\\\")).replace(QLatin1Char('"'), QLatin1String("\\\""));
    setStyleSheet(QStringLiteral("MdiChild { background-image: url(\"") + quoted + QStringLiteral("\"); }"));
}

QTextBlockFormat MdiChild::lineSpacingFormat()
{
    qDebug() << Q_FUNC_INFO;
    Settings settings;
    const double spacing = settings.value(QStringLiteral("LineSpacing")).toDouble();
    QTextBlockFormat format;
    if (spacing >= 1.0) {
        format.setLineHeight(spacing * 100, QTextBlockFormat::ProportionalHeight);
    } else {
        int fixed = settings.value(QStringLiteral("LineSpacingFixedValue")).toInt();
        if (fixed < 10 || fixed > 30)
            fixed = 15;
        format.setLineHeight(fixed, QTextBlockFormat::FixedHeight);
    }
    return format;
}

void MdiChild::setLineSpacing()
{
    qDebug() << Q_FUNC_INFO;
    const bool modified = document()->isModified();
    // Only the line height changes: every other block property (alignment,
    // margins, indent) stays as it is.
    QTextCursor cursor(document());
    cursor.beginEditBlock();
    cursor.select(QTextCursor::Document);
    cursor.mergeBlockFormat(lineSpacingFormat());
    // A fixed line height would cut a picture to one line: blocks holding
    // pictures (charts, word clouds) keep the normal height.
    QTextBlockFormat pictureBlock;
    pictureBlock.setLineHeight(0, QTextBlockFormat::SingleHeight);
    for (QTextBlock block = document()->begin(); block.isValid(); block = block.next()) {
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            if (it.fragment().charFormat().isImageFormat()) {
                QTextCursor pictureCursor(block);
                pictureCursor.mergeBlockFormat(pictureBlock);
                break;
            }
        }
    }
    cursor.endEditBlock();
    document()->setModified(modified);
    setWindowModified(modified);
    if (iconState >= 0)
        showSubWindowIcon(modified);
}

void MdiChild::fillPlainText(const QString& text)
{
    qDebug() << Q_FUNC_INFO << ", text.size() =" << text.size();
    // setPlainText keeps the layout lazy (only what is shown is laid out) and
    // takes CR LF and lone CR as paragraph ends. Fresh plain text has the default
    // block format everywhere, so setting the spacing format is the same as
    // merging it, at a third of the cost. In one edit with the text, the layout
    // sees one change: a paragraph is laid out once, not once for the text and
    // once more for its spacing.
    QTextCursor cursor(document());
    cursor.beginEditBlock();
    setPlainText(text);
    cursor.select(QTextCursor::Document);
    cursor.setBlockFormat(lineSpacingFormat());
    cursor.endEditBlock();
}

void MdiChild::zoomBy(int points)
{
    qDebug() << Q_FUNC_INFO << ", points =" << points << ", zoomedPoints =" << zoomedPoints;
    // QTextEdit ignores a step that would take the size to zero or below; this
    // one stops at one point and remembers what it really did.
    const qreal size = font().pointSizeF();
    if (size <= 0)
        return;
    const qreal applied = qMax(qreal(1), size + points) - size;
    if (qFuzzyIsNull(applied))
        return;
    zoomInF(float(applied));
    zoomedPoints += applied;
}

void MdiChild::resetZoom()
{
    qDebug() << Q_FUNC_INFO << ", zoomedPoints =" << zoomedPoints;
    if (!qFuzzyIsNull(zoomedPoints))
        zoomInF(float(-zoomedPoints));
    zoomedPoints = 0;
}

void MdiChild::autoFormat()
{
    qDebug() << Q_FUNC_INFO;
    QTextDocument* doc = document();
    QTextCursor cursor(doc);
    // One undo step for the whole command.
    cursor.beginEditBlock();
    for (int number = doc->blockCount() - 2; number >= 0; --number) {
        const QTextBlock block = doc->findBlockByNumber(number);
        if (block.text().isEmpty())
            continue;
        cursor.setPosition(block.position() + block.length() - 1);
        cursor.deleteChar();
    }
    for (QTextBlock block = doc->begin(); block.isValid(); block = block.next()) {
        const QString text = block.text();
        if (text.isEmpty() || text.startsWith(QLatin1String("  ")))
            continue;
        cursor.setPosition(block.position());
        cursor.insertText(text.startsWith(QLatin1Char(' ')) ? QStringLiteral(" ") : QStringLiteral("  "));
    }
    cursor.endEditBlock();
}

// ---- User word-list highlighter --------------------------------------------------------

void MdiChild::resetHighlighter()
{
    qDebug() << Q_FUNC_INFO;
    if (highlighter)
        return;
    // The characters come through the GUI thread's word-database connection.
    DocumentHost* window = anyHost();
    highlighter = new VeldmarkHighlighter(document(), window ? window->wordEngine() : nullptr);
}

void MdiChild::toggleHighlighter()
{
    qDebug() << Q_FUNC_INFO;
    if (highlighter) {
        // Detaching takes the painting away again.
        delete highlighter;
        highlighter = nullptr;
    } else {
        resetHighlighter();
    }
    if (userDefinedWordSpellingCheckAct)
        userDefinedWordSpellingCheckAct->setChecked(highlighter != nullptr);
}

// ---- Log view ------------------------------------------------------------------------

bool MdiChild::isTqLogFile(const QString& text)
{
    return LogFileView::isTqLogFile(text);
}

QString MdiChild::str2LogStr(const QString& text)
{
    return LogFileView::str2LogStr(text);
}

// ---- Word pop-ups and clipboard history ------------------------------------------------

void MdiChild::pasteFromClipboardHistory()
{
    popups->pasteFromClipboardHistory();
}

void MdiChild::newWordList(const QString& word, const QPoint& pos)
{
    popups->newWordList(word, pos);
}

void MdiChild::magicLamp(const QString& word, const QPoint& pos)
{
    popups->magicLamp(word, pos);
}

void MdiChild::itemActivated(QListWidgetItem* item, QAction* senderAct)
{
    popups->itemActivated(item, senderAct);
}

DocumentHost* MdiChild::host() const
{
    return ownerObject ? owner : nullptr;
}

DocumentHost* MdiChild::anyHost() const
{
    DocumentHost* window = host();
    return window ? window : DocumentHost::current();
}
