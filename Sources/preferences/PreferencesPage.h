#pragma once
// A page of the preferences dialog: it reads its settings once, when it is built,
// and writes every one of them in apply().

#include <QList>
#include <QWidget>

#include "SettingsStore.h"

class QCheckBox;
class QHBoxLayout;
class QSpinBox;

class PreferencesPage : public QWidget
{
    Q_OBJECT
public:
    explicit PreferencesPage(QWidget* parent = nullptr);

    // Writes the page's widgets to the settings store.
    virtual void apply() = 0;

signals:
    // The page wrote settings that the main window applies in readSettings().
    void readSettingsRequested();

protected:
    // Sets the box from a stored check state (0 or 2) when the key is present.
    static void loadCheckState(const Settings& settings, const QString& key, QCheckBox* box);
    static void storeCheckState(Settings& settings, const QString& key, const QCheckBox* box);
    // A spin box of the page with its range.
    QSpinBox* newSpinBox(int minimum, int maximum);
    // A horizontal row of the widgets, left to right.
    static QHBoxLayout* rowOf(const QList<QWidget*>& widgets);
};
