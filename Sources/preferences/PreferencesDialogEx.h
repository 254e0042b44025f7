#pragma once
// The second preferences dialog (a page tree beside a page area); it stores nothing.
// Interim: an empty dialog until the preferences are built.

#include <QDialog>

class PreferencesDialogEx : public QDialog
{
    Q_OBJECT
public:
    explicit PreferencesDialogEx(QWidget* parent = nullptr);
};
