#pragma once
// A page that edits one list of user-defined templates: up to 50 rows of a title
// and a ".tqw" file name, kept in a settings array. The list is written only when
// every row passes its check; the stored size is the last filled row plus one.

#include <QString>

#include "PreferencesPage.h"

class QTableWidget;
class QVBoxLayout;

class UserDefinedTemplateTab : public PreferencesPage
{
    Q_OBJECT
public:
    enum { RowCount = 50 };

    // The error text shared by most lists.
    static const char* const GenericErrorText;

    QString arrayName() const { return m_arrayName; }

    virtual void loadSettings();
    void apply() override;

    QTableWidget* tableWidget = nullptr;

protected:
    // errorText is translated when it is shown.
    UserDefinedTemplateTab(const QString& arrayName, const char* errorText, QWidget* parent);

    void loadTemplates();
    // Writes what a page adds to its list; runs only when every row is valid.
    virtual void applyExtra(Settings& settings);

    QVBoxLayout* pageLayout = nullptr;

private:
    QString m_arrayName;
    const char* m_errorText;
};
