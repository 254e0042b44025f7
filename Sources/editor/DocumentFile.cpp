#include "DocumentFile.h"

#include <QDebug>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QFileSystemWatcher>
#include <QMessageBox>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextDocumentFragment>

#include "DocumentHost.h"
#include "MarkFormat.h"
#include "MdiChild.h"
#include "ProgramState.h"
#include "Prompt.h"
#include "RecoveryFile.h"
#include "SafeSave.h"
#include "SaveQuestions.h"
#include "SettingsStore.h"
#include "SharedCodes.h"
#include "TextEncoding.h"
#include "TextFileReader.h"

namespace {

// A warning in plain text (file names may hold markup characters), answered with OK.
void warn(QWidget* parent, const QString& title, const QString& text)
{
    QMessageBox box(QMessageBox::Warning, title, text, QMessageBox::Ok, parent);
    box.setTextFormat(Qt::PlainText);
    Prompt::current().exec(box);
}

} // namespace

DocumentFile::DocumentFile(MdiChild* editor) : m_editor(editor) {}

DocumentFile::~DocumentFile()
{
    // The recovery copy of an untitled document is only for a program that did
    // not get here; a normal close has asked the user already.
    if (!recoveryFile.isEmpty())
        QFile::remove(recoveryFile);
}

// ---- Loading -------------------------------------------------------------------------

bool DocumentFile::fail(const QString& fileName, const QString& reason) const
{
    qWarning() << "Load file failed, fileName =" << fileName << ", reason =" << reason;
    warn(m_editor, tr("塔泉笔"), tr("读取 %1 失败:\n%2.").arg(fileName, reason));
    return false;
}

bool DocumentFile::readBytes(const QString& fileName, QByteArray* bytes, QDateTime* modified) const
{
    // A FIFO or a device would block or never end, and a folder has no text.
    const QFileInfo info(fileName);
    if (info.exists() && !info.isFile())
        return fail(fileName, tr("这不是一个普通文件"));
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly))
        return fail(fileName, file.errorString());
    *modified = info.lastModified();
    // A file too large to be read whole is refused, not shown empty (saving
    // that would lose it).
    const TextFileReader::Outcome read = TextFileReader::readWhole(file, bytes);
    if (read != TextFileReader::Text)
        return fail(fileName, file.error() != QFileDevice::NoError ? file.errorString() : TextFileReader::problem(read));
    return true;
}

bool DocumentFile::load(const QString& fileName, const QString& enc, bool undoable)
{
    qDebug() << Q_FUNC_INFO << ", fileName =" << fileName << ", enc =" << enc << ", undoable =" << undoable;
    QByteArray bytes;
    QDateTime modified;
    if (!readBytes(fileName, &bytes, &modified))
        return false;
    if (!enc.isEmpty() && !TextEncoding::isKnown(enc))
        return fail(fileName, tr("不支持的编码 %1").arg(enc));

    DocumentDecoder::Result decoded = DocumentDecoder::decode(fileName, bytes, enc);
    // Filling the editor is not an edit of the user's.
    m_editor->trackModifications(false);
    m_editor->writeBom = false;
    if (undoable)
        fillReplacingUndoably(decoded);
    else
        fillAfresh(decoded);
    m_editor->setCurrentFile(fileName);
    stamp(fileName, bytes, modified);
    m_editor->showSubWindowIcon(false);
    m_editor->trackModifications(true);

    lossyLoad = !decoded.lossless;
    if (lossyLoad)
        warnLossy(fileName, decoded.encoding);
    return true;
}

void DocumentFile::fillReplacingUndoably(DocumentDecoder::Result& decoded)
{
    // A reload replaces the text in one step the user can undo.
    QTextCursor cursor(m_editor->document());
    cursor.beginEditBlock();
    cursor.select(QTextCursor::Document);
    cursor.removeSelectedText();
    if (decoded.kind == DocumentDecoder::Plain) {
        m_editor->encoding = decoded.encoding;
        m_editor->writeBom = decoded.bomLength > 0;
        m_editor->setShowSymbol(true);
        cursor.insertText(TextEncoding::normalizeLineEnds(decoded.content));
        cursor.select(QTextCursor::Document);
        cursor.setBlockFormat(MdiChild::lineSpacingFormat());
    } else {
        if (decoded.kind == DocumentDecoder::Log)
            m_editor->encoding = decoded.encoding;
        else
            m_editor->setShowSymbol(false);
        cursor.insertFragment(QTextDocumentFragment::fromHtml(decoded.content));
        if (decoded.kind == DocumentDecoder::Rich)
            MarkFormat::recognise(m_editor->document());
        cursor.select(QTextCursor::Document);
        cursor.mergeBlockFormat(MdiChild::lineSpacingFormat());
        if (decoded.kind == DocumentDecoder::Log)
            m_editor->setReadOnly(true);
    }
    cursor.endEditBlock();
    decoded.content.clear();
    // As after a first load, the cursor stands at the start.
    m_editor->setTextCursor(QTextCursor(m_editor->document()));
}

void DocumentFile::fillAfresh(DocumentDecoder::Result& decoded)
{
    QTextDocument* document = m_editor->document();
    document->setUndoRedoEnabled(false);
    switch (decoded.kind) {
    case DocumentDecoder::Rich:
        m_editor->setShowSymbol(false);
        m_editor->setHtml(decoded.content);
        MarkFormat::recognise(document);
        break;
    case DocumentDecoder::Log:
        m_editor->encoding = decoded.encoding;
        m_editor->setHtml(decoded.content);
        m_editor->setReadOnly(true);
        break;
    case DocumentDecoder::Plain:
        m_editor->encoding = decoded.encoding;
        m_editor->writeBom = decoded.bomLength > 0;
        m_editor->setShowSymbol(true);
        m_editor->fillPlainText(decoded.content);
        break;
    }
    decoded.content.clear();
    // Plain text got its line spacing in fillPlainText.
    if (decoded.kind != DocumentDecoder::Plain)
        m_editor->setLineSpacing();
    document->setUndoRedoEnabled(true);
}

void DocumentFile::warnLossy(const QString& fileName, const QString& encoding) const
{
    qWarning() << "Lossy decoding, fileName =" << fileName << ", encoding =" << encoding;
    warn(m_editor, tr("警告"),
         tr("文件 %1 含有不符合 %2 编码的字节, 部分文字可能显示为乱码.\n"
            "如果直接保存, 这些字节将无法还原; 请先在\"编码\"菜单中选择正确的编码.")
             .arg(fileName, encoding));
}

void DocumentFile::stamp(const QString& fileName, const QByteArray& bytes, const QDateTime& modified)
{
    qDebug() << Q_FUNC_INFO << ", fileName =" << fileName << ", bytes.size() =" << bytes.size();
    fileStamp.size = bytes.size();
    fileStamp.modified = modified;
    fileStamp.hash = qHashBits(bytes.constData(), size_t(bytes.size()));
}

bool DocumentFile::unchangedOnDisk() const
{
    const QString& curFile = m_editor->curFile;
    qDebug() << Q_FUNC_INFO << ", curFile =" << curFile;
    if (m_editor->isUntitled || fileStamp.size < 0)
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

bool DocumentFile::reloadWithEncoding(const QString& enc)
{
    qDebug() << Q_FUNC_INFO << ", enc =" << enc;
    if (m_editor->isUntitled) {
        m_editor->setEncoding(enc);
        return true;
    }
    // Reading the file again replaces the text: unsaved edits must not go unasked.
    if (m_editor->document()->isModified()) {
        const int answer = SaveQuestions::askSaveDiscardCancel(m_editor, MdiChild::strippedName(m_editor->curFile));
        if (answer == SaveQuestions::AnswerSave) {
            if (save(true) != ERROR_CODE_SUCCESS)
                return false;
        } else if (answer != SaveQuestions::AnswerDiscard) {
            return false;
        }
    }
    return load(m_editor->curFile, enc, false);
}

void DocumentFile::reloadFilePath(const QString& path)
{
    qDebug() << Q_FUNC_INFO << ", path =" << path;
    if (m_editor->isUntitled || path != m_editor->curFile)
        return;
    // Encodings that detection never yields were chosen by the user; keep them.
    const QString& encoding = m_editor->encoding;
    const bool detectable = encoding == TextEncoding::defaultEncoding() || TextEncoding::isUtf8(encoding)
        || TextEncoding::isUtf16(encoding);
    const QString forced = detectable ? QString() : encoding;
    if (!load(m_editor->curFile, forced, true)) {
        // The file went away or cannot be read: the text on screen is now the only
        // copy, so closing must ask.
        m_editor->document()->setModified(true);
        m_editor->setWindowModified(true);
        m_editor->showSubWindowIcon(true);
    }
    // Replacing a file (as editors save) drops it from the watcher; watch it again.
    if (QFileInfo::exists(path))
        watch(QFileInfo(path).absoluteFilePath(), true);
}

// ---- Saving --------------------------------------------------------------------------

int DocumentFile::save(bool askName)
{
    qDebug() << Q_FUNC_INFO << ", askName =" << askName;
    if (m_editor->isUntitled)
        return askName ? saveAs() : saveFile(QString(), true);
    return saveFile(m_editor->curFile, false);
}

int DocumentFile::saveAs()
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
    const QString proposed = m_editor->isUntitled ? directory + QDir::separator() + m_editor->curFile : m_editor->curFile;

    QFileDialog dialog(m_editor, tr("保存文件"), proposed, tr("txt 文件 (*.txt);;tqd 文件 (*.tqd);;所有文件 (*)"));
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
                        QMessageBox::Ok | QMessageBox::Cancel, m_editor);
        box.setTextFormat(Qt::PlainText);
        if (Prompt::current().exec(box) != QMessageBox::Ok)
            return ERROR_CODE_SAVE_AS_CANCELLED;
    }

    settings.setValue(QStringLiteral("LastOpenFilePath"), info.path());
    const QString previous = m_editor->isUntitled ? QString() : m_editor->curFile;
    // The document takes the new name only once the file is really written.
    const int result = saveFile(fileName, false);
    if (result == ERROR_CODE_SUCCESS && !previous.isEmpty() && previous != m_editor->curFile)
        watch(QFileInfo(previous).absoluteFilePath(), false);
    return result;
}

bool DocumentFile::encodeForSave(const QString& fileName, QByteArray* bytes)
{
    QString& encoding = m_editor->encoding;
    if (fileName.endsWith(QLatin1String(".tqd"))) {
        QString content;
        for (;;) {
            content = m_editor->document()->toHtml(encoding.toLatin1());
            const QString before = encoding;
            if (!chooseEncodableEncoding(content, TextEncoding::firstUnencodable(content, encoding)))
                return false;
            // The rich text names its encoding inside; build it again for the new one.
            if (encoding == before)
                break;
        }
        *bytes = TextEncoding::encode(content, encoding, TextEncoding::isUtf16(encoding));
        return true;
    }
    // Line ends and encoding in one pass over the document's text.
    const QString raw = m_editor->document()->toRawText();
    int unencodable = -1;
    *bytes = TextEncoding::encodeDocumentText(raw, encoding, m_editor->writeBom || TextEncoding::isUtf16(encoding),
                                              &unencodable);
    if (unencodable < 0)
        return true;
    if (!chooseEncodableEncoding(raw, unencodable))
        return false;
    const bool withBom = m_editor->writeBom || TextEncoding::isUtf16(encoding);
    *bytes = TextEncoding::encodeDocumentText(raw, encoding, withBom, &unencodable);
    // Only a lone surrogate, which no encoding holds, is left: it is written as "?".
    if (unencodable >= 0)
        *bytes = TextEncoding::encode(TextEncoding::plainTextWithCrLf(raw), encoding, withBom);
    return true;
}

int DocumentFile::saveFile(const QString& fileName, bool temp)
{
    qDebug() << Q_FUNC_INFO << ": fileName =" << fileName << "temp =" << (temp ? "true" : "false");
    if (temp)
        return writeRecoveryFile();
    if (lossyLoad && !confirmLossySave(fileName))
        return ERROR_CODE_SAVE_AS_CANCELLED;
    QByteArray bytes;
    if (!encodeForSave(fileName, &bytes))
        return ERROR_CODE_WRITE_FAILED;

    const QString watched = QFileInfo(fileName).absoluteFilePath();
    watch(watched, false);
    const bool backup = Settings().value(QStringLiteral("BackupFileBeforeSave")).toInt() != 0;
    QString error;
    const bool written = SafeSave::write(fileName, bytes, backup, &error);
    if (QFileInfo::exists(watched))
        watch(watched, true);

    if (!written) {
        qCritical() << "Save file failed, fileName =" << fileName << ", error =" << error;
        warn(m_editor, tr("警告"), tr("保存 %1 失败:\n%2.").arg(fileName, error));
        return ERROR_CODE_WRITE_FAILED;
    }

    m_editor->document()->setModified(false);
    m_editor->showSubWindowIcon(false);
    if (!recoveryFile.isEmpty()) {
        QFile::remove(recoveryFile);
        recoveryFile.clear();
    }
    m_editor->setCurrentFile(fileName);
    stamp(m_editor->curFile, bytes, QFileInfo(m_editor->curFile).lastModified());
    lossyLoad = false;
    return ERROR_CODE_SUCCESS;
}

bool DocumentFile::confirmLossySave(const QString& fileName)
{
    qDebug() << Q_FUNC_INFO << ", fileName =" << fileName;
    // Only writing over the file that was read loses its undecodable bytes.
    if (m_editor->isUntitled || QFileInfo(fileName).canonicalFilePath() != m_editor->curFile)
        return true;
    return SaveQuestions::confirmLossySave(m_editor, fileName, m_editor->encoding);
}

int DocumentFile::writeRecoveryFile()
{
    qDebug() << Q_FUNC_INFO;
    const QString& encoding = m_editor->encoding;
    const bool withBom = m_editor->writeBom || TextEncoding::isUtf16(encoding);
    return RecoveryFile::write(&recoveryFile, m_editor->document()->toRawText(), encoding, withBom)
        ? ERROR_CODE_SUCCESS
        : ERROR_CODE_WRITE_FAILED;
}

bool DocumentFile::chooseEncodableEncoding(const QString& text, int index)
{
    qDebug() << Q_FUNC_INFO << ", encoding =" << m_editor->encoding << ", index =" << index;
    if (index < 0)
        return true;
    const QString chosen = SaveQuestions::askEncodableEncoding(m_editor, m_editor->encoding, text, index);
    if (chosen.isEmpty())
        return false;
    m_editor->setEncoding(chosen);
    return true;
}

// ---- Closing -------------------------------------------------------------------------

bool DocumentFile::maybeSave()
{
    qDebug() << "bool MdiChild::maybeSave()";
    if (!m_editor->document()->isModified())
        return true;
    switch (SaveQuestions::askSaveDiscardCancel(m_editor, MdiChild::strippedName(m_editor->curFile))) {
    case SaveQuestions::AnswerDiscard:
        return true;
    case SaveQuestions::AnswerSave:
        return save(true) == ERROR_CODE_SUCCESS;
    default:
        return false;
    }
}

void DocumentFile::watch(const QString& path, bool on) const
{
    qDebug() << Q_FUNC_INFO << ", path =" << path << ", on =" << on;
    if (!fileSystemWatcher || path.isEmpty())
        return;
    const bool watched = fileSystemWatcher->files().contains(path);
    if (on && !watched) {
        fileSystemWatcher->addPath(path);
    } else if (!on && watched && !fileSystemWatcher->removePath(path)) {
        qWarning() << "FileSystemWatcher removePath failed, path =" << path;
    }
}
