#pragma once
// The poem settings dialog: the number of lines and the rhyme group of the next
// poem. It restores the last choices ("Poem/LineNumbers", "Poem/FinalSound")
// when it is built; the generation commands write them.

#include <QDialog>
#include <QStringList>

class QDialogButtonBox;

namespace Ui {
class PoemConfigDialog;
}

class PoemConfigDialog : public QDialog
{
    Q_OBJECT
public:
    explicit PoemConfigDialog(QWidget* parent = nullptr);
    ~PoemConfigDialog() override;

    int lineNumbers() const;   // 4 to 100
    QString finalSound() const; // the rhyme group as shown, for example "ang=ang-iang-uang"
    QString title() const;     // the hidden title box's text: always empty
    QDialogButtonBox* buttonBox() const; // Ok and Cancel

    // The 18 rhyme groups in list order: the final, "=", and the group's finals.
    static const QStringList& rhymeGroups();

    Ui::PoemConfigDialog* ui;
};
