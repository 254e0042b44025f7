#include "EvaluateDialog.h"

#include <QCheckBox>
#include <QDebug>
#include <QDialogButtonBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>

#include "Prompt.h"

EvaluateDialog::EvaluateDialog(QWidget* parent)
    : QDialog(parent)
{
}

void EvaluateDialog::attach(const Widgets& widgets)
{
    m_widgets = widgets;
    connect(m_widgets.widthSpinBox, SIGNAL(valueChanged(int)), this, SLOT(mirrorWidth(int)));
    connect(m_widgets.directoryRadioButton, SIGNAL(toggled(bool)), this, SLOT(updateDirectoryField()));
    connect(m_widgets.currentFileRadioButton, SIGNAL(toggled(bool)), this, SLOT(updateDirectoryField()));
    connect(m_widgets.buttonBox, SIGNAL(accepted()), this, SLOT(accept()));
    connect(m_widgets.buttonBox, SIGNAL(rejected()), this, SLOT(reject()));
    mirrorWidth(m_widgets.widthSpinBox->value());
    updateDirectoryField();
}

int EvaluateDialog::topCount() const
{
    return m_widgets.charCountSpinBox->value();
}

int EvaluateDialog::chartSize() const
{
    return m_widgets.widthSpinBox->value();
}

bool EvaluateDialog::isBarChart() const
{
    return m_widgets.barChartRadioButton->isChecked();
}

bool EvaluateDialog::isPieChart() const
{
    return m_widgets.pieChartRadioButton->isChecked();
}

bool EvaluateDialog::includeNonChinese() const
{
    return m_widgets.includeNonChineseCheckBox->isChecked();
}

QString EvaluateDialog::directory() const
{
    return m_widgets.directoryNameLineEdit->text();
}

bool EvaluateDialog::isDirectoryTarget() const
{
    return m_widgets.directoryRadioButton->isChecked();
}

void EvaluateDialog::accept()
{
    qDebug() << Q_FUNC_INFO << ", directoryTarget =" << isDirectoryTarget() << ", directory =" << directory();
    if (isDirectoryTarget() && directory().trimmed().isEmpty()) {
        m_widgets.directoryNameLineEdit->setFocus();
        return;
    }
    QDialog::accept();
}

QString EvaluateDialog::askDirectory()
{
    return Prompt::current().getExistingDirectory(nullptr, QString(), QString());
}

void EvaluateDialog::mirrorWidth(int width)
{
    m_widgets.heightSpinBox->setValue(width);
}

void EvaluateDialog::updateDirectoryField()
{
    m_widgets.directoryNameLineEdit->setEnabled(m_widgets.directoryRadioButton->isChecked());
}
