#pragma once
// The input history of the generation input dialogs: one settings array per
// field, newest first, at most five values, each element holding "Key".
//
// A history combo box holds its history values, then one separator item with
// empty text, then its word list; the saving rule finds the end of the history
// at the first empty item. Every key passes through key(), which folds the
// group to one spelling ("AutoGen", "Advertisement"), so readers, writers and
// Reset meet in one group however the key was spelled.

#include <QCoreApplication>
#include <QString>

#include "SettingsStore.h"

class QComboBox;

class InputHistory
{
    Q_DECLARE_TR_FUNCTIONS(InputHistory)

public:
    enum { MaxValues = 5 };

    // The grey prompt of a box without history; never an item, never a value.
    static QString prompt();

    // The history key with its group folded: "autogen/Man1Name", "Autogen/Man1Name"
    // and "AutoGen/Man1Name" all give "AutoGen/Man1Name"; "advertisement/Url"
    // gives "Advertisement/Url". Other keys are returned unchanged.
    static QString key(const QString& spelledKey);
    static QString key(const QString& group, const QString& field) { return key(group + '/' + field); }

    // Appends the stored values of the array to the box and returns their number.
    static int load(const QString& key, QComboBox* comboBox);

    // The saving rule: moves the box's current text to the front of its history
    // (dropping a copy among the history values, never one in the word list),
    // keeps at most five values and writes them as the array. The prompt and the
    // empty text change nothing. A longer history, which the program never
    // writes, is cut back to five values in the box as well.
    static void save(QComboBox* comboBox, const QString& key, Settings& settings);

    // Removes a whole history group ("autogen", "advertisement", in any spelling).
    static void removeGroup(const QString& group);
};
