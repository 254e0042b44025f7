#pragma once
// Preferences page "搜索": how many recent searches the find-in-files page keeps,
// and a button that forgets them at once.

#include "PreferencesPage.h"

class QPushButton;
class QSpinBox;

class SearchTab : public PreferencesPage
{
    Q_OBJECT
public:
    explicit SearchTab(QWidget* parent = nullptr);

    void apply() override;

    QSpinBox* recentSearchNumberMaxSpinBox = nullptr;
    QPushButton* clearSearchHistoryPushButton = nullptr;

public slots:
    // Removes the stored histories and asks for the find-in-files boxes to be emptied.
    void clearSearchHistory();

signals:
    void searchHistoryCleared();
};
