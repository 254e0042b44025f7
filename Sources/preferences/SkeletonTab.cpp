#include "SkeletonTab.h"

SkeletonTab::SkeletonTab(QWidget* parent)
    : UserDefinedTemplateTab(QStringLiteral("UserDefinedSkeletonTemplate"), GenericErrorText, parent)
{
}
