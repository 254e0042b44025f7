#pragma once
// The user's own 软文 templates ("UserDefinedAdvertorialTemplate"). No dialog shows this page.

#include "UserDefinedTemplateTab.h"

class AdvertorialTab : public UserDefinedTemplateTab
{
public:
    explicit AdvertorialTab(QWidget* parent = nullptr);
};
