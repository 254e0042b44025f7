#pragma once
// The user's own 公文 templates ("UserDefinedOfficialDocumentTemplate"). No dialog shows this page.

#include "UserDefinedTemplateTab.h"

class OfficialDocumentTab : public UserDefinedTemplateTab
{
public:
    explicit OfficialDocumentTab(QWidget* parent = nullptr);
};
