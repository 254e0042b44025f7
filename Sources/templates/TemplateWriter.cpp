#include "TemplateWriter.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QDebug>
#include <QDir>
#include <QDomDocument>
#include <QFileInfo>
#include <QSaveFile>
#include <QTextStream>
#include <QTreeWidget>
#include <QTreeWidgetItem>

#include "DomParser.h"
#include "SettingsStore.h"

namespace {

const QString kEntryTag = QStringLiteral("entry");
const QString kContentTag = QStringLiteral("content");
const QString kTitleAttribute = QStringLiteral("title");

bool isXmlCharacter(uint code)
{
    return code == 0x9 || code == 0xA || code == 0xD || (code >= 0x20 && code <= 0xD7FF)
        || (code >= 0xE000 && code <= 0xFFFD) || (code >= 0x10000 && code <= 0x10FFFF);
}

// Drops what XML 1.0 cannot hold (control characters, lone surrogates,
// U+FFFE/U+FFFF). Written as they are, they would make the whole file
// unreadable, and the template with it.
QString xmlSafe(const QString& text)
{
    const int size = text.size();
    int i = 0;
    for (; i < size; ++i) {
        const QChar c = text.at(i);
        if (c.isHighSurrogate() && i + 1 < size && text.at(i + 1).isLowSurrogate()) {
            ++i;
            continue;
        }
        if (c.isSurrogate() || !isXmlCharacter(c.unicode()))
            break;
    }
    if (i == size)
        return text;

    QString safe;
    safe.reserve(size);
    safe.append(text.constData(), i);
    for (; i < size; ++i) {
        const QChar c = text.at(i);
        if (c.isHighSurrogate() && i + 1 < size && text.at(i + 1).isLowSurrogate()) {
            safe.append(c);
            safe.append(text.at(++i));
        } else if (!c.isSurrogate() && isXmlCharacter(c.unicode())) {
            safe.append(c);
        }
    }
    return safe;
}

QString tagOf(const QTreeWidgetItem* item)
{
    return item->data(0, Qt::UserRole).toString();
}

} // namespace

TemplateWriter::TemplateWriter(QTreeWidget* tree)
    : m_tree(tree)
{
    qDebug() << Q_FUNC_INFO << ", tree =" << tree;
    setAutoFormatting(true);
}

TemplateWriter::~TemplateWriter()
{
    qDebug() << Q_FUNC_INFO;
}

bool TemplateWriter::writeFile(QIODevice* device, const QString& title)
{
    qDebug() << Q_FUNC_INFO << ", device =" << device << ", title =" << title;

    m_errorString.clear();
    if (!device || !device->isOpen() || !device->isWritable()) {
        m_errorString = QStringLiteral("the device is not open for writing");
        qCritical().noquote() << "Error: Cannot write template:" << m_errorString;
        return false;
    }

    bool base64 = m_form == Form::Base64;
    if (m_form == Form::FromSettings)
        base64 = Settings().value(QStringLiteral("EncryptTemplate"), 1u).toUInt() != 0;

    QBuffer buffer;
    if (base64) {
        buffer.open(QIODevice::ReadWrite);
        setDevice(&buffer);
    } else {
        setDevice(device);
    }

    writeStartDocument();
    writeStartElement(QStringLiteral("template"));
    writeAttribute(kTitleAttribute, xmlSafe(title));
    // The reader skips a content that stands first under the root: put the
    // kept header there, or an empty placeholder when the outline itself
    // starts with a content, so that no content of the outline is lost.
    const QString header = xmlSafe(m_header);
    if (!header.isEmpty())
        writeTextElement(kContentTag, header);
    else if (firstWrittenItemIsContent())
        writeEmptyElement(kContentTag);
    if (m_tree) {
        QTreeWidgetItem* top = m_tree->invisibleRootItem();
        for (int index = 0; index < top->childCount(); ++index)
            writeItem(top->child(index));
    }
    writeEndDocument();

    bool written = !hasError();
    setDevice(nullptr);
    if (written && base64) {
        const QByteArray encoded = buffer.data().toBase64();
        written = device->write(encoded) == encoded.size();
    }
    if (written) {
        if (auto* file = qobject_cast<QFileDevice*>(device))
            written = file->flush() && file->error() == QFileDevice::NoError;
    }
    if (!written) {
        m_errorString = device->errorString();
        qCritical().noquote() << "Error: Cannot write template:" << m_errorString;
    }
    return written;
}

bool TemplateWriter::writeFile(const QString& fileName, const QString& title)
{
    qDebug() << Q_FUNC_INFO << ", fileName =" << fileName << ", title =" << title;

    QSaveFile file(fileName);
    if (!file.open(QIODevice::WriteOnly)) {
        m_errorString = file.errorString();
        qCritical().noquote() << "Error: Cannot write file" << fileName + QStringLiteral(":") << m_errorString;
        return false;
    }
    if (!writeFile(&file, title)) {
        file.cancelWriting();
        return false;
    }
    if (!file.commit()) {
        m_errorString = file.errorString();
        qCritical().noquote() << "Error: Cannot write file" << fileName + QStringLiteral(":") << m_errorString;
        return false;
    }
    return true;
}

bool TemplateWriter::writeFileWithBackup(const QString& fileName, const QString& title)
{
    // The previous file stays as the ".bak" copy; the new one replaces the
    // file only once it was written completely.
    const QString backup = fileName + QStringLiteral(".bak");
    if (QFileInfo::exists(fileName)) {
        QFile::remove(backup);
        if (!QFile::copy(fileName, backup))
            qWarning() << "Cannot copy the template to its backup:" << backup;
    }
    return writeFile(fileName, title);
}

void TemplateWriter::writeItem(QTreeWidgetItem* item)
{
    qDebug() << Q_FUNC_INFO << ", item =" << item;

    if (!item)
        return;
    const QString tag = tagOf(item);
    if (tag == kEntryTag) {
        writeStartElement(kEntryTag);
        writeAttribute(kTitleAttribute, xmlSafe(item->text(0)));
        for (int index = 0; index < item->childCount(); ++index)
            writeItem(item->child(index));
        writeEndElement();
    } else if (tag == kContentTag || tag.isEmpty()) {
        const QString text = xmlSafe(item->text(0));
        if (!text.isEmpty())
            writeTextElement(kContentTag, text);
    }
    // Any other tag: the item and everything below it are not template data.
}

bool TemplateWriter::firstWrittenItemIsContent() const
{
    qDebug() << Q_FUNC_INFO;

    if (!m_tree)
        return false;
    QTreeWidgetItem* top = m_tree->invisibleRootItem();
    for (int index = 0; index < top->childCount(); ++index) {
        const QTreeWidgetItem* item = top->child(index);
        const QString tag = tagOf(item);
        if (tag == kEntryTag)
            return false;
        if ((tag == kContentTag || tag.isEmpty()) && !xmlSafe(item->text(0)).isEmpty())
            return true;
    }
    return false;
}

bool addAtomTemplateContent(const QString& name)
{
    qDebug() << Q_FUNC_INFO << ", name =" << name;

    const QString indexPath = QStringLiteral("./Templates/Atom/原子模板库.tqw");
    QDomDocument document;
    if (QFileInfo::exists(indexPath)) {
        DomParser parser;
        if (!parser.readFile(indexPath)) {
            qCritical().noquote() << QStringLiteral("QDomDocument.setContent failed: ") + parser.errorString();
            return false;
        }
        document = parser.document();
    } else {
        // Never leave an empty file behind: a new index is a valid template
        // whose one entry collects the atom references.
        if (!QFileInfo(QFileInfo(indexPath).path()).isDir()) {
            qCritical().noquote() << "Error: Cannot create" << indexPath + QStringLiteral(": the folder does not exist");
            return false;
        }
        qWarning().noquote() << indexPath << "does not exist; a new atom index is created";
        document.appendChild(document.createProcessingInstruction(QStringLiteral("xml"),
                                                                  QStringLiteral("version=\"1.0\" encoding=\"UTF-8\"")));
        QDomElement root = document.createElement(QStringLiteral("template"));
        root.setAttribute(kTitleAttribute, QCoreApplication::translate("TemplateWriter", "原子模板库"));
        document.appendChild(root);
        QDomElement entry = document.createElement(kEntryTag);
        entry.setAttribute(kTitleAttribute, QCoreApplication::translate("TemplateWriter", "原子模板"));
        root.appendChild(entry);
    }

    // The first entry under the root; a content standing first is the kept
    // header, not a place for references.
    QDomElement target = document.documentElement().firstChildElement(kEntryTag);
    if (target.isNull()) {
        qCritical().noquote() << "Error:" << indexPath << "has no entry to add" << name << "to";
        return false;
    }
    // Written as UTF-8 with a declaration that says so.
    if (!document.firstChild().isProcessingInstruction() || document.firstChild().nodeName() != QLatin1String("xml"))
        document.insertBefore(document.createProcessingInstruction(QStringLiteral("xml"),
                                                                   QStringLiteral("version=\"1.0\" encoding=\"UTF-8\"")),
                              document.firstChild());
    QDomElement content = document.createElement(kContentTag);
    content.appendChild(document.createTextNode(QLatin1Char('[') + xmlSafe(name) + QLatin1Char(']')));
    target.appendChild(content);

    QSaveFile file(indexPath);
    if (!file.open(QIODevice::WriteOnly)) {
        qCritical().noquote() << "Error: Cannot write file" << indexPath + QStringLiteral(":") << file.errorString();
        return false;
    }
    {
        QTextStream stream(&file);
        stream.setCodec("UTF-8");
        document.save(stream, 2);
        stream.flush();
        if (stream.status() != QTextStream::Ok) {
            qCritical().noquote() << "Error: Cannot write file" << indexPath + QStringLiteral(":") << file.errorString();
            file.cancelWriting();
            return false;
        }
    }
    if (!file.commit()) {
        qCritical().noquote() << "Error: Cannot write file" << indexPath + QStringLiteral(":") << file.errorString();
        return false;
    }
    return true;
}
