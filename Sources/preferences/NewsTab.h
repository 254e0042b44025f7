#pragma once
// The user's own 新闻 templates ("UserDefinedNewsTemplate"). No dialog shows this page.

#include "UserDefinedTemplateTab.h"

class NewsTab : public UserDefinedTemplateTab
{
public:
    explicit NewsTab(QWidget* parent = nullptr);
};
