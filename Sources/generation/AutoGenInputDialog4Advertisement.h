#pragma once
// The advertisement input dialog: the facts of one product and its campaign for
// the advertisement templates, and the check box that turns batch generation on
// or off for the whole program.

#include "AutoGenInputDialogBase.h"

namespace Ui {
class AutoGenInputDialog4Advertisement;
}

class AutoGenInputDialog4Advertisement : public AutoGenInputDialogBase
{
    Q_OBJECT
public:
    explicit AutoGenInputDialog4Advertisement(QWidget* parent = nullptr);
    ~AutoGenInputDialog4Advertisement() override;

    Ui::AutoGenInputDialog4Advertisement* ui; // the form's widgets, by their object names

private slots:
    void on_batchGenCheckBox_stateChanged(int arg1);

private:
    // The batch fields get their defaults once, the first time they show.
    bool m_batchDefaultsSet = false;
};
