#include "MdiChild.h"

#include <QAction>
#include <QContextMenuEvent>
#include <QDebug>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QFileSystemWatcher>
#include <QListWidgetItem>
#include <QIcon>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QMdiSubWindow>
#include <QMimeData>
#include <QMessageBox>
#include <QMouseEvent>
#include <QResizeEvent>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextDocumentFragment>
#include <QTextOption>
#include <QWheelEvent>

#include "ContextListWidget.h"
#include "DocumentDecoder.h"
#include "DocumentHost.h"
#include "EditorContextMenu.h"
#include "GlobalActions.h"
#include "LayoutGuard.h"
#include "LogFileView.h"
#include "MarkFormat.h"
#include "ProgramState.h"
#include "Prompt.h"
#include "RecoveryFile.h"
#include "SafeSave.h"
#include "SaveQuestions.h"
#include "SettingsStore.h"
#include "SharedCodes.h"
#include "TextEncoding.h"
#include "TextFileReader.h"
#include "VeldmarkHighlighter.h"

int zoomLevel = 1;
const int zoomStep = 5;
bool highlightCurrentLineEnabled = false;
bool highlightCurrentParagraphEnabled = false;
int currentTemplateType = 0;

namespace {

// Number of the next untitled document; never restarts while the program runs.
int sequenceNumber = 1;

// Printable input: what would change a writable document's text. Shortcuts
// (Ctrl, Meta) and control characters (Enter, Tab, Ctrl+C's \x03) are not.
bool isPrintableInput(const QKeyEvent* event)
{
    if (event->modifiers() & (Qt::ControlModifier | Qt::MetaModifier))
        return false;
    const QString text = event->text();
    if (text.isEmpty())
        return false;
    for (const QChar c : text)
        if (!c.isPrint())
            return false;
    return true;
}

// Keys that write characters into the text: printable input and Tab.
bool writesText(const QKeyEvent* event)
{
    return isPrintableInput(event) || (event->text() == QLatin1String("\t") && event->modifiers() == Qt::NoModifier);
}

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
    // The recovery copy of an untitled document is only for a program that did
    // not get here; a normal close has asked the user already.
    if (!recoveryFile.isEmpty())
        QFile::remove(recoveryFile);
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

// ---- Loading -------------------------------------------------------------------------

bool MdiChild::loadFile(const QString& fileName, const QString& enc)
{
    return loadFile(fileName, enc, false);
}

bool MdiChild::loadFile(const QString& fileName, const QString& enc, bool undoable)
{
    qDebug() << Q_FUNC_INFO << ", fileName =" << fileName << ", enc =" << enc << ", undoable =" << undoable;
    auto fail = [&](const QString& reason) {
        qWarning() << "Load file failed, fileName =" << fileName << ", reason =" << reason;
        QMessageBox box(QMessageBox::Warning, tr("塔泉笔"), tr("读取 %1 失败:\n%2.").arg(fileName, reason),
                        QMessageBox::Ok, this);
        box.setTextFormat(Qt::PlainText);
        Prompt::current().exec(box);
        return false;
    };

    // A FIFO or a device would block or never end, and a folder has no text.
    const QFileInfo info(fileName);
    if (info.exists() && !info.isFile())
        return fail(tr("这不是一个普通文件"));
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly))
        return fail(file.errorString());
    const QDateTime modified = info.lastModified();
    // A file too large to be read whole is refused, not shown empty (saving
    // that would lose it).
    QByteArray bytes;
    const TextFileReader::Outcome read = TextFileReader::readWhole(file, &bytes);
    if (read != TextFileReader::Text)
        return fail(file.error() != QFileDevice::NoError ? file.errorString() : TextFileReader::problem(read));
    file.close();

    const bool forced = !enc.isEmpty();
    if (forced && !TextEncoding::isKnown(enc))
        return fail(tr("不支持的编码 %1").arg(enc));

    DocumentDecoder::Result decoded = DocumentDecoder::decode(fileName, bytes, enc);
    const DocumentDecoder::Kind kind = decoded.kind;
    QString& content = decoded.content;
    const QString& plainEncoding = decoded.encoding;
    const int bomLength = decoded.bomLength;
    const bool lossless = decoded.lossless;

    // Filling the editor is not an edit of the user's.
    trackModifications(false);
    writeBom = false;
    if (undoable) {
        // A reload replaces the text in one step the user can undo.
        QTextCursor cursor(document());
        cursor.beginEditBlock();
        cursor.select(QTextCursor::Document);
        cursor.removeSelectedText();
        if (kind == DocumentDecoder::Plain) {
            encoding = plainEncoding;
            writeBom = bomLength > 0;
            setShowSymbol(true);
            cursor.insertText(TextEncoding::normalizeLineEnds(content));
            cursor.select(QTextCursor::Document);
            cursor.setBlockFormat(lineSpacingFormat());
        } else {
            if (kind == DocumentDecoder::Log)
                encoding = plainEncoding;
            else
                setShowSymbol(false);
            cursor.insertFragment(QTextDocumentFragment::fromHtml(content));
            if (kind == DocumentDecoder::Rich)
                MarkFormat::recognise(document());
            cursor.select(QTextCursor::Document);
            cursor.mergeBlockFormat(lineSpacingFormat());
            if (kind == DocumentDecoder::Log)
                setReadOnly(true);
        }
        cursor.endEditBlock();
        content.clear();
        // As after a first load, the cursor stands at the start.
        setTextCursor(QTextCursor(document()));
    } else {
        document()->setUndoRedoEnabled(false);
        switch (kind) {
        case DocumentDecoder::Rich:
            setShowSymbol(false);
            setHtml(content);
            MarkFormat::recognise(document());
            break;
        case DocumentDecoder::Log:
            encoding = plainEncoding;
            setHtml(content);
            setReadOnly(true);
            break;
        case DocumentDecoder::Plain:
            encoding = plainEncoding;
            writeBom = bomLength > 0;
            setShowSymbol(true);
            fillPlainText(content);
            break;
        }
        content.clear();
        // Plain text got its line spacing in fillPlainText.
        if (kind != DocumentDecoder::Plain)
            setLineSpacing();
        document()->setUndoRedoEnabled(true);
    }
    setCurrentFile(fileName);
    stampFile(fileName, bytes, modified);
    showSubWindowIcon(false);
    trackModifications(true);

    lossyLoad = !lossless;
    if (!lossless) {
        qWarning() << "Lossy decoding, fileName =" << fileName << ", encoding =" << plainEncoding;
        QMessageBox box(QMessageBox::Warning, tr("警告"),
                        tr("文件 %1 含有不符合 %2 编码的字节, 部分文字可能显示为乱码.\n"
                           "如果直接保存, 这些字节将无法还原; 请先在\"编码\"菜单中选择正确的编码.")
                            .arg(fileName, plainEncoding),
                        QMessageBox::Ok, this);
        box.setTextFormat(Qt::PlainText);
        Prompt::current().exec(box);
    }
    return true;
}

void MdiChild::stampFile(const QString& fileName, const QByteArray& bytes, const QDateTime& modified)
{
    qDebug() << Q_FUNC_INFO << ", fileName =" << fileName << ", bytes.size() =" << bytes.size();
    fileStamp.size = bytes.size();
    fileStamp.modified = modified;
    fileStamp.hash = qHashBits(bytes.constData(), size_t(bytes.size()));
}

bool MdiChild::fileUnchangedOnDisk() const
{
    qDebug() << Q_FUNC_INFO << ", curFile =" << curFile;
    if (isUntitled || fileStamp.size < 0)
        return false;
    const QFileInfo info(curFile);
    if (!info.isFile() || info.size() != fileStamp.size || info.lastModified() != fileStamp.modified)
        return false;
    QFile file(curFile);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    const QByteArray bytes = file.readAll();
    return bytes.size() == fileStamp.size && qHashBits(bytes.constData(), size_t(bytes.size())) == fileStamp.hash;
}

bool MdiChild::reloadWithEncoding(const QString& enc)
{
    qDebug() << Q_FUNC_INFO << ", enc =" << enc;
    if (isUntitled) {
        setEncoding(enc);
        return true;
    }
    // Reading the file again replaces the text: unsaved edits must not go unasked.
    if (document()->isModified()) {
        const int answer = SaveQuestions::askSaveDiscardCancel(this, strippedName(curFile));
        if (answer == SaveQuestions::AnswerSave) {
            if (save(true) != ERROR_CODE_SUCCESS)
                return false;
        } else if (answer != SaveQuestions::AnswerDiscard) {
            return false;
        }
    }
    return loadFile(curFile, enc);
}

void MdiChild::reloadFilePath(QString path)
{
    qDebug() << Q_FUNC_INFO << ", path =" << path;
    if (isUntitled || path != curFile)
        return;
    // Encodings that detection never yields were chosen by the user; keep them.
    const bool detectable = encoding == TextEncoding::defaultEncoding() || TextEncoding::isUtf8(encoding)
        || TextEncoding::isUtf16(encoding);
    const QString forced = detectable ? QString() : encoding;
    if (!loadFile(curFile, forced, true)) {
        // The file went away or cannot be read: the text on screen is now the only
        // copy, so closing must ask.
        document()->setModified(true);
        setWindowModified(true);
        showSubWindowIcon(true);
    }
    // Replacing a file (as editors save) drops it from the watcher; watch it again.
    if (QFileInfo::exists(path))
        watchFile(QFileInfo(path).absoluteFilePath(), true);
}

// ---- Saving --------------------------------------------------------------------------

int MdiChild::save(bool askName)
{
    qDebug() << Q_FUNC_INFO << ", askName =" << askName;
    if (isUntitled)
        return askName ? saveAs() : saveFile(QString(), true);
    return saveFile(curFile, false);
}

int MdiChild::saveAs()
{
    qDebug() << Q_FUNC_INFO;
    Settings settings;
    QString directory = settings.value(QStringLiteral("LastOpenFilePath")).toString();
    if (directory.isNull())
        directory = QDir::homePath();
    const QString txtFilter = tr("txt 文件 (*.txt)");
    const QString tqdFilter = tr("tqd 文件 (*.tqd)");
    const QString initialFilter
        = settings.value(QStringLiteral("DefaultFileFormat")).toInt() != 0 ? tqdFilter : txtFilter;
    // A titled document proposes its own file.
    const QString proposed = isUntitled ? directory + QDir::separator() + curFile : curFile;

    QFileDialog dialog(this, tr("保存文件"), proposed, tr("txt 文件 (*.txt);;tqd 文件 (*.tqd);;所有文件 (*)"));
    dialog.setObjectName(QStringLiteral("SaveAsFileDialog"));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.selectNameFilter(initialFilter);
    dialog.selectFile(proposed);
    if (Prompt::current().execDialog(dialog) != QDialog::Accepted)
        return ERROR_CODE_SAVE_AS_CANCELLED;
    QString fileName = dialog.selectedFiles().value(0);
    const QString filter = dialog.selectedNameFilter();
    if (fileName.isEmpty() || QFileInfo(fileName).isDir())
        return ERROR_CODE_SAVE_AS_CANCELLED;

    if (filter == tqdFilter && !fileName.endsWith(QLatin1String(".tqd"), Qt::CaseInsensitive))
        fileName += QStringLiteral(".tqd");
    else if (filter == txtFilter && !fileName.endsWith(QLatin1String(".txt"), Qt::CaseInsensitive))
        fileName += QStringLiteral(".txt");

    const QFileInfo info(fileName);
    if (info.exists() || info.isSymLink()) {
        QMessageBox box(QMessageBox::Warning, tr("警告"), tr("文件: %1 已经存在，确定要覆盖吗?").arg(fileName),
                        QMessageBox::Ok | QMessageBox::Cancel, this);
        box.setTextFormat(Qt::PlainText);
        if (Prompt::current().exec(box) != QMessageBox::Ok)
            return ERROR_CODE_SAVE_AS_CANCELLED;
    }

    settings.setValue(QStringLiteral("LastOpenFilePath"), info.path());
    const QString previous = isUntitled ? QString() : curFile;
    // The document takes the new name only once the file is really written.
    const int result = saveFile(fileName, false);
    if (result == ERROR_CODE_SUCCESS && !previous.isEmpty() && previous != curFile)
        watchFile(QFileInfo(previous).absoluteFilePath(), false);
    return result;
}

int MdiChild::saveFile(const QString& fileName, bool temp)
{
    qDebug() << Q_FUNC_INFO << ": fileName =" << fileName << "temp =" << (temp ? "true" : "false");
    if (temp)
        return writeRecoveryFile();
    if (lossyLoad && !confirmLossySave(fileName))
        return ERROR_CODE_SAVE_AS_CANCELLED;

    const bool richText = fileName.endsWith(QLatin1String(".tqd"));
    QByteArray bytes;
    if (richText) {
        QString content;
        for (;;) {
            content = document()->toHtml(encoding.toLatin1());
            const QString before = encoding;
            if (!chooseEncodableEncoding(content, TextEncoding::firstUnencodable(content, encoding)))
                return ERROR_CODE_WRITE_FAILED;
            // The rich text names its encoding inside; build it again for the new one.
            if (encoding == before)
                break;
        }
        bytes = TextEncoding::encode(content, encoding, TextEncoding::isUtf16(encoding));
    } else {
        // Line ends and encoding in one pass over the document's text.
        const QString raw = document()->toRawText();
        int unencodable = -1;
        bytes = TextEncoding::encodeDocumentText(raw, encoding, writeBom || TextEncoding::isUtf16(encoding),
                                                 &unencodable);
        if (unencodable >= 0) {
            if (!chooseEncodableEncoding(raw, unencodable))
                return ERROR_CODE_WRITE_FAILED;
            const bool withBom = writeBom || TextEncoding::isUtf16(encoding);
            bytes = TextEncoding::encodeDocumentText(raw, encoding, withBom, &unencodable);
            // Only a lone surrogate, which no encoding holds, is left: it is written as "?".
            if (unencodable >= 0)
                bytes = TextEncoding::encode(TextEncoding::plainTextWithCrLf(raw), encoding, withBom);
        }
    }

    const QString watched = QFileInfo(fileName).absoluteFilePath();
    watchFile(watched, false);
    const bool backup = Settings().value(QStringLiteral("BackupFileBeforeSave")).toInt() != 0;
    QString error;
    const bool written = SafeSave::write(fileName, bytes, backup, &error);
    if (QFileInfo::exists(watched))
        watchFile(watched, true);

    if (!written) {
        qCritical() << "Save file failed, fileName =" << fileName << ", error =" << error;
        QMessageBox box(QMessageBox::Warning, tr("警告"), tr("保存 %1 失败:\n%2.").arg(fileName, error),
                        QMessageBox::Ok, this);
        box.setTextFormat(Qt::PlainText);
        Prompt::current().exec(box);
        return ERROR_CODE_WRITE_FAILED;
    }

    document()->setModified(false);
    showSubWindowIcon(false);
    if (!recoveryFile.isEmpty()) {
        QFile::remove(recoveryFile);
        recoveryFile.clear();
    }
    setCurrentFile(fileName);
    stampFile(curFile, bytes, QFileInfo(curFile).lastModified());
    lossyLoad = false;
    return ERROR_CODE_SUCCESS;
}

bool MdiChild::confirmLossySave(const QString& fileName)
{
    qDebug() << Q_FUNC_INFO << ", fileName =" << fileName;
    // Only writing over the file that was read loses its undecodable bytes.
    if (isUntitled || QFileInfo(fileName).canonicalFilePath() != curFile)
        return true;
    return SaveQuestions::confirmLossySave(this, fileName, encoding);
}

int MdiChild::writeRecoveryFile()
{
    qDebug() << Q_FUNC_INFO;
    const bool withBom = writeBom || TextEncoding::isUtf16(encoding);
    return RecoveryFile::write(&recoveryFile, document()->toRawText(), encoding, withBom) ? ERROR_CODE_SUCCESS
                                                                                         : ERROR_CODE_WRITE_FAILED;
}

bool MdiChild::chooseEncodableEncoding(const QString& text, int index)
{
    qDebug() << Q_FUNC_INFO << ", encoding =" << encoding << ", index =" << index;
    if (index < 0)
        return true;
    const QString chosen = SaveQuestions::askEncodableEncoding(this, encoding, text, index);
    if (chosen.isEmpty())
        return false;
    setEncoding(chosen);
    return true;
}

// ---- Closing -------------------------------------------------------------------------

bool MdiChild::maybeSave()
{
    qDebug() << "bool MdiChild::maybeSave()";
    if (!document()->isModified())
        return true;
    switch (SaveQuestions::askSaveDiscardCancel(this, strippedName(curFile))) {
    case SaveQuestions::AnswerDiscard:
        return true;
    case SaveQuestions::AnswerSave:
        return save(true) == ERROR_CODE_SUCCESS;
    default:
        return false;
    }
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

void MdiChild::watchFile(const QString& path, bool watch) const
{
    qDebug() << Q_FUNC_INFO << ", path =" << path << ", watch =" << watch;
    if (!fileSystemWatcher || path.isEmpty())
        return;
    const bool watched = fileSystemWatcher->files().contains(path);
    if (watch && !watched) {
        fileSystemWatcher->addPath(path);
    } else if (!watch && watched && !fileSystemWatcher->removePath(path)) {
        qWarning() << "FileSystemWatcher removePath failed, path =" << path;
    }
}

// ---- Widget overrides ----------------------------------------------------------------

// No log line here: it runs for every frame drawn.
void MdiChild::paintEvent(QPaintEvent* event)
{
    painted = true;
    settleLayout();
    QTextEdit::paintEvent(event);
    layoutGuard->paintBelowLimit(event);
}

void MdiChild::resizeEvent(QResizeEvent* event)
{
    qDebug() << Q_FUNC_INFO << ", size =" << event->size();
    if (event->oldSize().width() == event->size().width()) {
        QTextEdit::resizeEvent(event);
        return;
    }
    // Shown for the first time, the editor takes several widths in a row (its
    // sub-window's, then the maximised one): a long paragraph is laid out once,
    // at the width it is first painted at. The viewport has its size already.
    if (!painted && layoutGuard->hadLongBlocks()) {
        firstLayoutPending = true;
        QAbstractScrollArea::resizeEvent(event);
        return;
    }
    relayOutFromTop([&] { QTextEdit::resizeEvent(event); });
}

void MdiChild::settleLayout()
{
    if (!firstLayoutPending)
        return;
    firstLayoutPending = false;
    // Lays the document out again at the viewport's width.
    setLineWrapColumnOrWidth(lineWrapColumnOrWidth());
    layoutGuard->keepPagesFinite(layoutGuard->estimatedHeight());
}

void MdiChild::relayOutFromTop(const std::function<void()>& relayOut)
{
    // The new layout with an unlimited page is made at once as far as the view
    // shows: from the top, so that no pass reaches the layout's limit before
    // the page is finite again.
    const int offset = verticalScrollBar()->value();
    const int height = verticalScrollBar()->maximum() + viewport()->height();
    verticalScrollBar()->setValue(0);
    relayOut();
    layoutGuard->keepPagesFinite(qMax(qreal(height), layoutGuard->estimatedHeight()));
    if (offset > 0)
        layoutGuard->reachOffset(offset);
}

void MdiChild::setWrapping(bool wrap)
{
    qDebug() << Q_FUNC_INFO << ", wrap =" << wrap;
    const LineWrapMode mode = wrap ? QTextEdit::WidgetWidth : QTextEdit::NoWrap;
    if (lineWrapMode() == mode)
        return;
    relayOutFromTop([&] {
        if (wrap)
            document()->setPageSize(QSizeF(viewport()->width(), -1));
        setLineWrapMode(mode);
    });
}

void MdiChild::showCursor()
{
    qDebug() << Q_FUNC_INFO;
    settleLayout();
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
    if (isReadOnly() && isPrintableInput(event)) {
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
    if (!isReadOnly() && writesText(event))
        typeWithoutMark(textCursor().charFormat(), [&] { QTextEdit::keyPressEvent(event); });
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
    typeWithoutMark(at.charFormat(), [&] { QTextEdit::inputMethodEvent(event); });
}

void MdiChild::typeWithoutMark(const QTextCharFormat& taken, const std::function<void()>& deliver)
{
    if (!MarkFormat::isMark(taken)) {
        deliver();
        return;
    }
    QTextCursor cursor = textCursor();
    const int start = cursor.selectionStart();
    // One step for Undo: the text typed over and what replaced it.
    cursor.beginEditBlock();
    cursor.removeSelectedText();
    cursor.setCharFormat(MarkFormat::plain(taken));
    setTextCursor(cursor);
    deliver();
    // Whichever way the input went in (overwrite mode, an input method),
    // nothing it wrote is part of a mark.
    MarkFormat::removeMarks(document(), start, textCursor().position());
    cursor.endEditBlock();
}

void MdiChild::insertFromMimeData(const QMimeData* source)
{
    const bool rich = acceptRichText() && source->hasHtml();
    const int start = textCursor().selectionStart();
    QTextCursor step(document());
    step.beginEditBlock();
    QTextEdit::insertFromMimeData(source);
    // Marks pasted as HTML have lost what tells them from the user's links;
    // plain text pasted after a mark is not part of it.
    if (rich)
        MarkFormat::recognise(document(), start, textCursor().position());
    else
        MarkFormat::removeMarks(document(), start, textCursor().position());
    step.endEditBlock();
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
