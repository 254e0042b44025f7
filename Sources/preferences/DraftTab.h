#pragma once
// The user's own 草稿 templates ("UserDefinedDraftTemplate"). No dialog shows this page.

#include "UserDefinedTemplateTab.h"

class DraftTab : public UserDefinedTemplateTab
{
public:
    explicit DraftTab(QWidget* parent = nullptr);
};
