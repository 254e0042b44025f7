#pragma once
// The system report for problem reports: the program, its runtime, this system
// and this machine, built once when the dialog is made (the commands it runs
// may take a while), shown read-only and copied to the clipboard on request.

#include <QDateTime>
#include <QDialog>
#include <QString>

namespace Ui {
class SystemInformationDialog;
}

class SystemInformationDialog : public QDialog
{
    Q_OBJECT
public:
    // startTime and elapsedMilliseconds describe the running program since start-up.
    SystemInformationDialog(const QDateTime& startTime, qint64 elapsedMilliseconds, QWidget* parent = nullptr);
    ~SystemInformationDialog() override;

    // The whole report, every line ended by "\n"; runs the installed command table.
    static QString buildReport(const QDateTime& startTime, qint64 elapsedMilliseconds);

    QString reportText() const;

private slots:
    void on_cancelPushButton_clicked();
    void on_copyToClipBoardPushButton_clicked();

private:
    Ui::SystemInformationDialog* ui;
};
