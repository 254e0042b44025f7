#pragma once
// The advertorial input dialog: the advertisement's facts plus a hero and a
// heroine (name, occupation, age) and two scenes, for the advertorial template.
// It follows the batch flag each time it is shown.

#include "AutoGenInputDialogBase.h"

namespace Ui {
class AutoGenInputDialog4AdvertisementSoft;
}

class AutoGenInputDialog4AdvertisementSoft : public AutoGenInputDialogBase
{
    Q_OBJECT
public:
    explicit AutoGenInputDialog4AdvertisementSoft(QWidget* parent = nullptr);
    ~AutoGenInputDialog4AdvertisementSoft() override;

    Ui::AutoGenInputDialog4AdvertisementSoft* ui; // the form's widgets, by their object names

protected:
    void showEvent(QShowEvent* event) override;

private:
    // Shows the batch frame while batch mode is on, so a batch never writes to a
    // folder the user could not see; the first time it shows, the frame gets the
    // home folder, "tmp" and 1000 texts.
    void followBatchMode();
    bool m_batchDefaultsSet = false;
};
