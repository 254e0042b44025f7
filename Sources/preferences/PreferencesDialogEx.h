#pragma once
// The second preferences dialog: a list of page names beside the pages. It is a
// layout only: nothing in it is read from or written to the settings, and apart
// from the page list none of its widgets is connected to anything.

#include <QDialog>

class QTreeWidgetItem;

namespace Ui {
class PreferencesDialogEx;
}

class PreferencesDialogEx : public QDialog
{
    Q_OBJECT
public:
    explicit PreferencesDialogEx(QWidget* parent = nullptr);
    ~PreferencesDialogEx() override;

private slots:
    // Shows the page whose index the item carries as its user-role data.
    void on_treeWidget_currentItemChanged(QTreeWidgetItem* current, QTreeWidgetItem* previous);

private:
    Ui::PreferencesDialogEx* ui;
};
