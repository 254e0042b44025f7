#include "NewsTab.h"

NewsTab::NewsTab(QWidget* parent)
    : UserDefinedTemplateTab(QStringLiteral("UserDefinedNewsTemplate"), GenericErrorText, parent)
{
}
