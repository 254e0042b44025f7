#pragma once
// Output console shown as a page of the bottom tab widget: the log window and
// the companion tools' command output. A read-only rich-text view with pause,
// clear, auto scroll, wrap, last-output-only and a line limit.

#include <QDialog>

#include "SettingsStore.h"

class QTextEdit;
namespace Ui {
class OutputDialogEx;
}

class OutputDialogEx : public QDialog
{
    Q_OBJECT
public:
    explicit OutputDialogEx(QWidget* parent = nullptr);
    ~OutputDialogEx() override;

    // Appends one rich-text line. Logs nothing: it runs inside the log handler.
    void appendLog(const QString& html);
    void clearOutput();
    // Keeps the newest maxLines display lines (a wrapped paragraph counts as several).
    // With slack, nothing is cut until the text is more than slack lines over the limit.
    void trimToLineCount(int maxLines, int slack = 0);
    void scrollToLastLine();

    QTextEdit* textEdit() const;

public slots:
    // Shown as a tab page: Esc must not hide it and leave a blank tab.
    void reject() override;

private slots:
    void on_clearPushButton_clicked();
    void on_pauseContinuePushButton_toggled(bool checked);
    void on_autoScrollCheckBox_stateChanged(int arg1);
    void on_wrapLineCheckBox_stateChanged(int arg1);
    void on_lastOutputOnlyCheckBox_stateChanged(int arg1);
    void on_unlimitedCheckBox_stateChanged(int arg1);
    void on_maxHistoryLineCountSpinBox_valueChanged(int arg1);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    Settings settings;
    Ui::OutputDialogEx* ui;
    // Display lines of the text as last counted; each block keeps its own share in
    // its user state, so an append only counts the blocks it added. -1: count again.
    int displayLineCount = -1;
};
