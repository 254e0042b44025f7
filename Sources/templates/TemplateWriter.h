#pragma once
// Writes the outline tree of an open template back into a template file, as
// plain XML or (the default, setting "EncryptTemplate") one line of Base64 of
// it. Every failure is reported: a save that did not reach the disk must not
// clear the modified mark.

#include <QString>
#include <QXmlStreamWriter>

class QIODevice;
class QTreeWidget;
class QTreeWidgetItem;

class TemplateWriter : public QXmlStreamWriter
{
public:
    enum class Form {
        FromSettings, // "EncryptTemplate": non-zero (or absent) Base64, zero plain
        Plain,
        Base64,
    };

    // The tree is borrowed, never deleted.
    explicit TemplateWriter(QTreeWidget* tree);
    ~TemplateWriter();

    // Writes the whole template to a device already open for writing.
    // False when the device refused any of it.
    bool writeFile(QIODevice* device, const QString& title);
    // Writes the template to a file through a save file: the previous file
    // stays as it was unless the new one was written completely.
    bool writeFile(const QString& fileName, const QString& title);
    // The same, after copying the file as it was (if there is one) to
    // fileName + ".bak"; a copy that fails is only noted in the log.
    bool writeFileWithBackup(const QString& fileName, const QString& title);
    // Writes one item and, for an entry, everything below it.
    void writeItem(QTreeWidgetItem* item);

    // The text kept aside by the reader (DomParser::header), written back
    // first under the root so that it survives the save.
    void setHeader(const QString& header) { m_header = header; }
    QString header() const { return m_header; }

    void setForm(Form form) { m_form = form; }
    Form form() const { return m_form; }

    // Why the last write failed; empty after success.
    QString errorString() const { return m_errorString; }

private:
    bool firstWrittenItemIsContent() const;

    QTreeWidget* m_tree;
    QString m_header;
    Form m_form = Form::FromSettings;
    QString m_errorString;
};

// Records a new atom template in the atom index "./Templates/Atom/原子模板库.tqw":
// "[name]" becomes the last content of the index's first entry. The index is
// read in either form and written back as plain XML; a missing index is made
// anew. False (index untouched) when it cannot be read, has no entry or cannot
// be written.
bool addAtomTemplateContent(const QString& name);
