#pragma once
// Preferences page "通用": the program's font size and language, the status bar,
// the tip of the day, the promotion label and the check-result box.

#include <QMap>
#include <QString>

#include "PreferencesPage.h"

class QCheckBox;
class QComboBox;

class GeneralTab : public PreferencesPage
{
    Q_OBJECT
public:
    // languages: display name -> locale code, listed in key order.
    explicit GeneralTab(const QMap<QString, QString>& languages, QWidget* parent = nullptr);

    void selectCustomLocale();
    void apply() override;

    QComboBox* fontSizeComboBox = nullptr;
    QComboBox* languageComboBox = nullptr;
    QCheckBox* showStatusBarCheckBox = nullptr;
    QCheckBox* showDateInStatusBarCheckBox = nullptr;
    QCheckBox* showTimeInStatusBarCheckBox = nullptr;
    QCheckBox* showTipOfTheDayCheckBox = nullptr;
    QCheckBox* showPromoteBannerCheckBox = nullptr;
    QCheckBox* showSpellingResultMessageBoxCheckBox = nullptr;

private:
    // The check boxes with their keys, in the order they are loaded and written.
    QList<QPair<QCheckBox*, QString>> checkBoxKeys() const;
};
