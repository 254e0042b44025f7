#pragma once
// One editor document: the widget of one sub-window of the document area.
// Interim: names, untitled numbering and the encoding field only; loading,
// saving and the editor behaviour come with the editor document itself.

#include <QTextEdit>

class MdiChild : public QTextEdit
{
    Q_OBJECT
public:
    explicit MdiChild(QWidget* parent = nullptr);

    void newFile();
    // Interim: records the file name only.
    bool loadFile(const QString& fileName);

    QString userFriendlyCurrentFile() const;
    QString currentFile() const { return curFile; }

    QString curFile;
    QString encoding = QStringLiteral("GB18030");
    bool isUntitled = true;
    bool hasBom = false;

signals:
    void encodingChanged(const QString& encoding);
};
