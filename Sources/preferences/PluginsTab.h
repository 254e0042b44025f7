#pragma once
// A preferences page headed "插件列表" above an empty list. No dialog shows it.

#include <QWidget>

class PluginsTab : public QWidget
{
    Q_OBJECT
public:
    explicit PluginsTab(QWidget* parent = nullptr);
};
