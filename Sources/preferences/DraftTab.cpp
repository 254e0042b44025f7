#include "DraftTab.h"

DraftTab::DraftTab(QWidget* parent)
    : UserDefinedTemplateTab(QStringLiteral("UserDefinedDraftTemplate"), GenericErrorText, parent)
{
}
