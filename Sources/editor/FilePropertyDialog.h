#pragma once
// Shows what the file system knows about one file: name, type, folder, size,
// times and the read-only and hidden attributes (display only).

#include <QDialog>
#include <QString>

namespace Ui {
class FilePropertyDialog;
}

class FilePropertyDialog : public QDialog
{
    Q_OBJECT
public:
    explicit FilePropertyDialog(QWidget* parent = nullptr);
    ~FilePropertyDialog() override;

    void setFileName(const QString& fileName);
    // Fills the form from the stored file name; the argument is only logged.
    void setFileInfos(const QString& fileName);

    Ui::FilePropertyDialog* ui;
    QString fileName;
};
