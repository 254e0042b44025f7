#include "PluginsTab.h"

#include <QLabel>
#include <QListWidget>
#include <QVBoxLayout>

PluginsTab::PluginsTab(QWidget* parent)
    : QWidget(parent)
{
    auto* layout = new QVBoxLayout;
    layout->addWidget(new QLabel(tr("插件列表"), this));
    layout->addWidget(new QListWidget(this));
    setLayout(layout);
}
