// Interim body of the second preferences dialog until it is built.

#include "PreferencesDialogEx.h"

PreferencesDialogEx::PreferencesDialogEx(QWidget* parent)
    : QDialog(parent)
{
    setWindowTitle(tr("首选项"));
}
