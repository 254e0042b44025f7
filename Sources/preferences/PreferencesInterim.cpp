// Interim bodies of the preferences dialogs the main window opens before the
// preferences themselves exist. Replaced by the real dialogs.

#include <QCheckBox>
#include <QDebug>
#include <QDialogButtonBox>
#include <QPushButton>
#include <QVBoxLayout>

#include "PreferencesDialog.h"
#include "PreferencesDialogEx.h"

PreferencesDialog::PreferencesDialog(QWidget* parent)
    : QDialog(parent)
    , m_showSpellingResult(new QCheckBox(tr("显示校对结果对话框"), this))
{
    setWindowTitle(tr("首选项"));
    auto* buttons = new QDialogButtonBox(this);
    connect(buttons->addButton(tr("应用"), QDialogButtonBox::ApplyRole), &QPushButton::clicked, this,
            &PreferencesDialog::apply);
    connect(buttons->addButton(tr("确定"), QDialogButtonBox::AcceptRole), &QPushButton::clicked, this,
            &QDialog::accept);
    connect(buttons->addButton(tr("取消"), QDialogButtonBox::RejectRole), &QPushButton::clicked, this,
            &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_showSpellingResult);
    layout->addWidget(buttons);
}

void PreferencesDialog::apply()
{
    qDebug() << Q_FUNC_INFO << "(interim)";
    emit Apply(0);
}

PreferencesDialogEx::PreferencesDialogEx(QWidget* parent)
    : QDialog(parent)
{
    setWindowTitle(tr("首选项"));
}
