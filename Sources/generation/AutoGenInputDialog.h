#pragma once
// The story input dialog: the story elements (five characters of eight traits,
// supporting roles, scenes, industries, regions, communication tools, vehicles
// and animals) that the generator puts into every template that is neither an
// advertisement nor an advertorial; in batch mode also the number of texts, the
// output folder and the base file name, and for a title list the number of titles.

#include "AutoGenInputDialogBase.h"

namespace Ui {
class AutoGenInputDialog;
}

class AutoGenInputDialog : public AutoGenInputDialogBase
{
    Q_OBJECT
public:
    explicit AutoGenInputDialog(QWidget* parent = nullptr);
    ~AutoGenInputDialog() override;

    Ui::AutoGenInputDialog* ui; // the form's widgets, by their object names

    // Prepares the page, the count and the batch frame for a generation type:
    // 1 shows the news page, 4 (title list) wants the count, anything else is a
    // story; in batch mode the count is set back to 1000 in 1 to 1000.
    void setType(int type) const;
};
