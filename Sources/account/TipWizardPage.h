#pragma once
// One page of the tip-of-the-day wizard: the tip and the "以后不再提示" box.

#include <QWizardPage>

class QCheckBox;

namespace Ui {
class TipWizardPage;
}

class TipWizardPage : public QWizardPage
{
    Q_OBJECT
public:
    explicit TipWizardPage(QWidget* parent = nullptr);
    ~TipWizardPage() override;

    // Plain text or rich text, as the tip itself says.
    void setTipText(const QString& text);
    QString tipText() const;
    QCheckBox* doNotShowAgainCheckBox() const;

private:
    Ui::TipWizardPage* ui;
};
