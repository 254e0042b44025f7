#pragma once
// A preferences page holding only the heading "模板". No dialog shows it.

#include <QWidget>

class TemplateTab : public QWidget
{
    Q_OBJECT
public:
    explicit TemplateTab(QWidget* parent = nullptr);
};
