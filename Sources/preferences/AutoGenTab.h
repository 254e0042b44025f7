#pragma once
// The user's own paragraph templates for generation ("UserDefinedAutoGenTemplate"),
// with the button style of the generation tool bar. No dialog shows this page.

#include "UserDefinedTemplateTab.h"

class QComboBox;

class AutoGenTab : public UserDefinedTemplateTab
{
    Q_OBJECT
public:
    explicit AutoGenTab(QWidget* parent = nullptr);

    void loadSettings() override;

    QComboBox* toolBarStyleComboBox = nullptr;

signals:
    // A Qt::ToolButtonStyle chosen in the list; the style is stored by apply().
    void toolBarStyleChanged(int style);

protected:
    void applyExtra(Settings& settings) override;

private:
    void selectStoredStyle();
};
