#pragma once
// Editable history combo boxes shared by the find-in-files page and the
// template pages: recent entries are kept in a settings group under keys
// "0", "1", ... in item order.

#include <QString>

class QComboBox;
class QWidget;

// A new editable history box holding at most "RecentSearchNumberMax" (10 when absent) items.
QComboBox* createSearchComboBox(QWidget* parent = nullptr);
// How many items a history box holds: "RecentSearchNumberMax", 10 when absent.
int recentSearchNumberMax();

// Puts the box's current text at the top unless an item already has it (dropping
// the last item when the box is full), then rewrites the settings group `name`
// with every item, an empty one included.
void updateComboBox(QComboBox* box, const QString& name);

// Appends the values of settings group `name` (keys in the store's order, or with
// numericOrder in the order of their numbers) until the box is full; values longer
// than maxLength (when positive) are cut. Empty values are items too; a group of
// item numbers without "0" (an empty top item, as earlier versions stored it)
// starts with an empty item.
void loadComboBoxHistory(QComboBox* box, const QString& name, int maxLength = 0, bool numericOrder = false);
