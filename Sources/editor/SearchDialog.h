#pragma once
// The find-in-files page of the bottom tab widget. Interim: an empty page with
// its object name; the search itself comes with find in files.

#include <QDialog>

class SearchDialog : public QDialog
{
    Q_OBJECT
public:
    explicit SearchDialog(QWidget* parent = nullptr);

public slots:
    // Embedded as a tab page: Esc must not hide it and leave a blank tab.
    void reject() override;
};
