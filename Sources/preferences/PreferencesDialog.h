#pragma once
// The preferences dialog "首选项". Interim: the apply signal and the general
// page's spelling-result box exist; the pages come with the preferences.

#include <QDialog>

class QCheckBox;

class PreferencesDialog : public QDialog
{
    Q_OBJECT
public:
    explicit PreferencesDialog(QWidget* parent = nullptr);

    // The general page's box for "ShowSpellingResultMessageBox".
    QCheckBox* showSpellingResultMessageBoxCheckBox() const { return m_showSpellingResult; }

public slots:
    void apply();

signals:
    void Apply(const uint index);

private:
    QCheckBox* m_showSpellingResult;
};
