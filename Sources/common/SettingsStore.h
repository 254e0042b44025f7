#pragma once
// The program's settings store: one readable INI-like text file whose keys
// compare without regard to letter case, so that "autogen/x" and "AutoGen/x"
// are the same key. install() makes it the default format, so every
// default-constructed QSettings of the program uses it.
//
// Qt 5 ignores the case sensitivity given to QSettings::registerFormat: a plain
// QSettings looks keys up exactly as spelled. The file itself folds case (a key
// spelled two ways is read and written as one key), and SettingsStore::Settings
// is a QSettings whose lookups also fold case; use it wherever a key may be
// spelled differently from how it was written.

#include <QSettings>
#include <QString>
#include <QStringList>
#include <QVector>

#include <functional>

namespace SettingsStore {

// Registers the format (once) and returns it.
QSettings::Format format();

// Registers the format and makes it the default of every default-constructed QSettings.
void install();

// Path of the user-scope settings file for the current organization and application.
QString fileName();

// Called when the settings file could not be written (a folder that takes no
// files, a full disk), once until a later write succeeds, on the thread of the
// settings object that found it; the failure is logged as well. An empty
// function removes the handler.
using WriteFailureHandler = std::function<void(const QString& message)>;
void setWriteFailureHandler(const WriteFailureHandler& handler);

// The codec-free text form used in the file (exposed for tests and tools).
bool readFile(QIODevice& device, QSettings::SettingsMap& map);
bool writeFile(QIODevice& device, const QSettings::SettingsMap& map);

// A QSettings whose keys and groups compare without regard to letter case.
// A key keeps the spelling it was first written with; any other spelling finds
// it. Use it through its own type: QSettings' members are not virtual.
class Settings : public QSettings
{
public:
    // The program's store (the default format, user scope).
    explicit Settings(QObject* parent = nullptr);
    // A settings file of this format at the given path.
    explicit Settings(const QString& fileName, QObject* parent = nullptr);
    // Writes what is pending and reports a file that could not be written.
    ~Settings() override;

    void beginGroup(const QString& prefix);
    int beginReadArray(const QString& prefix);
    void beginWriteArray(const QString& prefix, int size = -1);

    void setValue(const QString& key, const QVariant& value);
    QVariant value(const QString& key, const QVariant& defaultValue = QVariant()) const;
    bool contains(const QString& key) const;
    void remove(const QString& key);

    QStringList allKeys() const;
    QStringList childKeys() const;
    QStringList childGroups() const;

    // The spelling under which a key (or, with asGroup, a group) relative to the
    // current group is stored; the given spelling when nothing matches yet.
    QString storedSpelling(const QString& key, bool asGroup = false) const;

protected:
    bool event(QEvent* event) override;

private:
    // After a write reached the file (or failed to): reports a failure once.
    void checkWritten();
    bool m_wrote = false;
    // QSettings starts in error without an organization name (and keeps its first
    // error): only a store that started without one can tell a failed write.
    bool m_startedClean = true;

    // The stored keys of the current group split at "/", kept while the keys stay
    // the same (whoever writes them: this object, another one or another program)
    // and the group does not change: most lookups of absent keys scan them.
    const QVector<QStringList>& storedKeys() const;
    mutable QVector<QStringList> m_storedKeys;
    mutable QStringList m_storedKeysRaw;
    mutable QString m_storedKeysGroup;
    mutable bool m_storedKeysValid = false;
};

} // namespace SettingsStore

// Every settings object of the program is one of these.
using Settings = SettingsStore::Settings;
