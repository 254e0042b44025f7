#pragma once
// Options of the word tools: "统计当前词频" (tool 35, the current text),
// "统计目录词频" (tool 36, a directory) and "当前文件词性标注" (tool 37), which has
// no use for the two word-only options.

#include "EvaluateDialog.h"

namespace Ui {
class WordEvaluateDialog;
}

class WordEvaluateDialog : public EvaluateDialog
{
    Q_OBJECT

public:
    explicit WordEvaluateDialog(QWidget* parent = nullptr);
    ~WordEvaluateDialog() override;

    // A directory makes it the target and fills the field; an empty one makes
    // the current text the target and empties the field.
    void setDirectory(const QString& directory);
    // Tool 35 shows the two word-only options, 37 hides them; other ids change nothing.
    void setMode(int toolId);

    bool includeOneCharacterWords() const;
    bool includeHighFreqFunctionWords() const;

    Ui::WordEvaluateDialog* ui;

private slots:
    // A chosen directory goes through setDirectory; a cancelled chooser changes nothing.
    void on_chooseDirectoryPushButton_clicked();
};
