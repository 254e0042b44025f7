#pragma once
// The user's own 梗概 templates ("UserDefinedSkeletonTemplate"). No dialog shows this page.

#include "UserDefinedTemplateTab.h"

class SkeletonTab : public UserDefinedTemplateTab
{
public:
    explicit SkeletonTab(QWidget* parent = nullptr);
};
