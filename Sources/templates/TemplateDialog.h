#pragma once
// The page of one open template in the bottom tab widget.
// Interim: the fields the shell reads (file name, auto-close mark, "ReadOnly"
// property, outline tree); the template editor itself comes with the template library.

#include <QDialog>

class QTreeWidget;

class TemplateDialog : public QDialog
{
    Q_OBJECT
public:
    explicit TemplateDialog(const QString& fileName = QString(), QWidget* parent = nullptr);

    QString fileName() const { return m_fileName; }
    bool autoClose() const { return m_autoClose; }
    void setAutoClose(bool autoClose) { m_autoClose = autoClose; }
    QTreeWidget* outlineTreeWidget() const { return m_outline; }

public slots:
    // Shown as a tab page: Esc must not hide it and leave a blank tab.
    void reject() override;

private:
    QString m_fileName;
    bool m_autoClose = false;
    QTreeWidget* m_outline;
};
