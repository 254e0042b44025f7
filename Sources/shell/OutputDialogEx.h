#pragma once
// Output console shown as a page of the bottom tab widget.
// Interim: only the text view and the two entries other code calls exist yet;
// the buttons, options and their settings come with the output window itself.

#include <QDialog>

class QTextEdit;

class OutputDialogEx : public QDialog
{
    Q_OBJECT
public:
    explicit OutputDialogEx(QWidget* parent = nullptr);

    // Appends one rich-text line. Logs nothing: it runs inside the log handler.
    void appendLog(const QString& html);
    void clearOutput();

    QTextEdit* textEdit() const { return m_textEdit; }

public slots:
    // Shown as a tab page: Esc must not hide it and leave a blank tab.
    void reject() override;

private:
    QTextEdit* m_textEdit;
};
