// Interim bodies of the template library that the shell needs before the
// template library itself exists. Everything here is replaced by the real classes.

#include "TemplateDialog.h"

#include <QTreeWidget>
#include <QVBoxLayout>

TemplateDialog::TemplateDialog(const QString& fileName, QWidget* parent)
    : QDialog(parent)
    , m_fileName(fileName)
    , m_outline(new QTreeWidget(this))
{
    setObjectName(QStringLiteral("TemplateDialog"));
    setProperty("ReadOnly", false);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_outline);
}

void TemplateDialog::reject()
{
}
