#include "FilePropertyDialog.h"

#include <QDateTime>
#include <QDebug>
#include <QDir>
#include <QFileInfo>

#include "ui_FilePropertyDialog.h"

FilePropertyDialog::FilePropertyDialog(QWidget* parent)
    : QDialog(parent)
    , ui(new Ui::FilePropertyDialog)
{
    qDebug() << Q_FUNC_INFO;
    ui->setupUi(this);
    // The attributes are shown, not edited.
    for (QCheckBox* box : {ui->accessReadOnlyCheckBox, ui->accessHiddenCheckBox, ui->accessArchiveCheckBox}) {
        box->setAttribute(Qt::WA_TransparentForMouseEvents);
        box->setFocusPolicy(Qt::NoFocus);
    }
    ui->accessArchiveCheckBox->hide();
}

FilePropertyDialog::~FilePropertyDialog()
{
    qDebug() << Q_FUNC_INFO;
    delete ui;
}

void FilePropertyDialog::setFileName(const QString& name)
{
    qDebug() << Q_FUNC_INFO << ", fileName =" << name;
    fileName = name;
    setFileInfos(name);
}

void FilePropertyDialog::setFileInfos(const QString& name)
{
    qDebug() << Q_FUNC_INFO << ", fileName =" << name;
    const QFileInfo info(fileName);
    setWindowTitle(tr("%1 属性").arg(info.fileName()));
    ui->fileNameLineEdit->setText(info.fileName());

    QString type;
    if (info.isDir())
        type = tr("文件夹");
    else if (info.isSymLink())
        type = tr("快捷方式");
    else
        type = info.suffix().toUpper() + tr("文件");
    ui->fileTypeLabel->setText(type);

    ui->filePathLabel->setText(QDir::toNativeSeparators(info.absolutePath()));
    const QString size = QString::number(info.size());
    ui->fileSizeLabel->setText(tr("%1字节 (%2字节)").arg(size, size));
    ui->lastModifiedLabel->setText(info.lastModified().toString(Qt::TextDate));
    ui->lastReadLabel->setText(info.lastRead().toString(Qt::TextDate));

    ui->accessHiddenCheckBox->setChecked(info.isHidden());
    // The owner's write bit as well as access(): the superuser may write anywhere,
    // but a file nobody may write is still read-only.
    ui->accessReadOnlyCheckBox->setChecked(!info.isWritable()
                                           || !(info.permissions() & QFileDevice::WriteOwner));
}
