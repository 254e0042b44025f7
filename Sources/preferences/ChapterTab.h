#pragma once
// The user's own 章节 templates ("UserDefinedChapterTemplate"). No dialog shows this page.

#include "UserDefinedTemplateTab.h"

class ChapterTab : public UserDefinedTemplateTab
{
public:
    explicit ChapterTab(QWidget* parent = nullptr);
};
