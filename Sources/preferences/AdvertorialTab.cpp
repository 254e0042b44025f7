#include "AdvertorialTab.h"

AdvertorialTab::AdvertorialTab(QWidget* parent)
    : UserDefinedTemplateTab(QStringLiteral("UserDefinedAdvertorialTemplate"), GenericErrorText, parent)
{
}
