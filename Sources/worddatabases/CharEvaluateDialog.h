#pragma once
// Options of the character frequency tools: "统计当前字频" (tool 16, the current
// text) and "统计目录字频" (tool 1, every file of a directory).

#include "EvaluateDialog.h"

namespace Ui {
class CharEvaluateDialog;
}

class CharEvaluateDialog : public EvaluateDialog
{
    Q_OBJECT

public:
    explicit CharEvaluateDialog(QWidget* parent = nullptr);
    ~CharEvaluateDialog() override;

    // 16 while the current text is the target, else 1 (a directory).
    int target() const;
    // Tool 1 makes a directory the target; any other tool the current text.
    void setTarget(int toolId);

    Ui::CharEvaluateDialog* ui;

private slots:
    // Puts the chosen directory into the field; a cancelled chooser empties it.
    void on_chooseDirectoryPushButton_clicked();
};
