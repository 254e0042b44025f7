#include "TipWizardPage.h"

#include "ui_TipWizardPage.h"

TipWizardPage::TipWizardPage(QWidget* parent)
    : QWizardPage(parent)
    , ui(new Ui::TipWizardPage)
{
    ui->setupUi(this);
}

TipWizardPage::~TipWizardPage()
{
    delete ui;
}

void TipWizardPage::setTipText(const QString& text)
{
    ui->tipTextEdit->setText(text);
}

QString TipWizardPage::tipText() const
{
    return ui->tipTextEdit->toPlainText();
}

QCheckBox* TipWizardPage::doNotShowAgainCheckBox() const
{
    return ui->doNotShowAgainCheckBox;
}
