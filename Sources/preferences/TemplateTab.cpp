#include "TemplateTab.h"

#include <QLabel>
#include <QVBoxLayout>

TemplateTab::TemplateTab(QWidget* parent)
    : QWidget(parent)
{
    auto* layout = new QVBoxLayout;
    layout->addWidget(new QLabel(tr("模板"), this));
    setLayout(layout);
}
