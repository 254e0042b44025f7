#include "OfficialDocumentTab.h"

OfficialDocumentTab::OfficialDocumentTab(QWidget* parent)
    : UserDefinedTemplateTab(QStringLiteral("UserDefinedOfficialDocumentTemplate"), GenericErrorText, parent)
{
}
