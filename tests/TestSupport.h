#pragma once
// Shared scaffolding of the Qt Test executables: every test process gets its own
// settings store, data location, temporary folder and working folder, and can
// capture the Qt messages the code under test emits.

#include <QDir>
#include <QList>
#include <QPair>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <QUrl>
#include <QVariant>
#include <QtTest>

#include <functional>

#include "Application.h"
#include "Prompt.h"

class TestEnvironment
{
public:
    // Must run before the application object exists.
    TestEnvironment();
    ~TestEnvironment();

    // Finishes what needs the application object (resources, settings format).
    void afterApplication();

    QString root() const { return m_dir.path(); }
    QString configDir() const { return root() + "/config"; }
    QString dataDir() const { return root() + "/data"; }
    QString workDir() const { return root() + "/work"; }
    QString tempDir() const { return root() + "/tmp"; }

    // The folder with the built program and its run-time data.
    static QString programDir();
    // The top of the source tree.
    static QString sourceDir();

    static TestEnvironment* instance();

private:
    QTemporaryDir m_dir;
};

// Collects every Qt message emitted while it is alive and restores the previous
// handler afterwards. Messages are still counted when they are filtered by the
// program's own log level.
class MessageCapture
{
public:
    MessageCapture();
    ~MessageCapture();

    QStringList messages() const;
    QList<QPair<QtMsgType, QString>> entries() const;
    bool contains(const QString& fragment) const;
    void clear();

private:
    static void handler(QtMsgType type, const QMessageLogContext& context, const QString& message);
    QtMessageHandler m_previous;
    MessageCapture* m_outer;
};

// Answers the program's modal boxes, dialogs and menus without a person: each box
// takes the next queued answer (the box's default button when none is queued),
// optionally ticking its check box, and everything asked is recorded. Installed
// for its lifetime.
class ScriptedPrompt : public Prompt
{
public:
    ScriptedPrompt();
    ~ScriptedPrompt() override;

    int exec(QMessageBox& box) override;
    int execDialog(QDialog& dialog) override;
    QAction* execMenu(QMenu& menu, const QPoint& position) override;
    int getInt(QWidget* parent, const QString& title, const QString& label, int value, int minimum, int maximum,
               int step, bool* ok) override;
    QColor getColor(const QColor& initial, QWidget* parent) override;
    QString getExistingDirectory(QWidget* parent, const QString& caption, const QString& dir) override;
    QString getSaveFileName(QWidget* parent, const QString& caption, const QString& dir,
                            const QString& filter) override;
    bool openUrl(const QUrl& url) override;

    struct Answer
    {
        int button;
        bool tickCheckBox;
    };
    QList<Answer> answers;
    int dialogResult = 0;
    QString menuChoice; // text of the menu action to choose, empty for none

    QStringList titles;
    QStringList texts;
    QList<Qt::TextFormat> textFormats; // of each box asked
    QStringList dialogs;               // object names or class names of the dialogs run
    // Text input dialogs: each takes the next queued text (a null string, or none queued, cancels).
    QStringList textAnswers;
    QStringList textQuestions;         // "title|label|initial text" of each text asked
    QList<QStringList> menus;          // texts of the actions of each menu, separators as "-"

    // Open dialogs: each takes the next queued name (empty, i.e. cancelled, when none is queued).
    QString getOpenFileName(QWidget* parent, const QString& caption, const QString& dir,
                            const QString& filter) override;
    QStringList openFileNames;
    QStringList openDialogs; // caption, start folder and filter of each open dialog, joined by "|"

    // Number and colour questions: the next queued answer; none queued means cancelled.
    QList<int> intAnswers;
    QList<QColor> colorAnswers;
    QStringList intQuestions;          // "title|label|value|minimum|maximum" of each number asked
    QList<QColor> colorQuestions;      // the initial colour of each colour asked
    QStringList directoryAnswers;      // answers of getExistingDirectory, empty for cancel
    QStringList directoryQuestions;    // caption|start folder of each directory asked

    // Item choosers: the next queued answer; none queued means cancelled.
    QString getItem(QWidget* parent, const QString& title, const QString& label, const QStringList& items,
                    int current, bool* ok) override;
    QStringList itemAnswers;
    QList<QStringList> itemQuestions; // title, label, then the items offered

    // Save-file questions: the next queued name; none queued means cancelled.
    QStringList saveFileNames;
    QStringList saveFileQuestions;     // "caption|dir|filter" of each save dialog
    // URLs handed to the desktop; nothing is opened. openUrlResult is what the desktop answers.
    QList<QUrl> openedUrls;
    bool openUrlResult = true;
};

#define TQ_TEST_MAIN(TestObject)                                  \
    int main(int argc, char** argv)                               \
    {                                                             \
        TestEnvironment tqTestEnvironment;                        \
        Application tqApplication(argc, argv);                    \
        tqTestEnvironment.afterApplication();                     \
        TestObject tqTestObject;                                  \
        QTEST_SET_MAIN_SOURCE_PATH                                \
        return QTest::qExec(&tqTestObject, argc, argv);           \
    }

// ---- Helpers shared by the tests ------------------------------------------------------

class QAction;
class QTextDocument;
class QTextEdit;
class QTreeWidget;
class QTreeWidgetItem;

// The bytes of a file, or `ifUnreadable` when it cannot be opened.
QByteArray fileBytes(const QString& path, const QByteArray& ifUnreadable = QByteArray());
// The bytes of a file, or "<unreadable>".
QByteArray readAll(const QString& path);
// Writes the bytes over the file; the open and the full write are checked.
void writeAll(const QString& path, const QByteArray& bytes);
// writeAll after making the file's folder.
void writeBytes(const QString& path, const QByteArray& bytes);
// Writes the bytes over the file; only the open is checked.
void writeFile(const QString& path, const QByteArray& bytes);

// Text in GB18030, and in UTF-16 with its byte-order mark.
QByteArray gb18030(const QString& text);
QByteArray utf16Bytes(const QString& text, bool littleEndian);

// Types text as key presses carrying it (QTest's key clicks take Latin-1 only).
void typeText(QWidget* widget, const QString& text);
// Selects from one position to another in an editor.
void selectText(QTextEdit* edit, int from, int to);

// Each block's own text, as the editor holds it, one line per block.
QString rawText(const QTextDocument* document);
// One line per block; a link as [text|target|colour]; with withBlockFormats each
// line starts with {line height, its type, top margin}.
QStringList marksOfBlocks(const QTextDocument* document, bool withBlockFormats = false);

// The first action below the owner with this text, or null.
QAction* actionByText(const QObject* owner, const QString& text);

// An emptied folder of this name in the temporary folder.
QString freshTempFolder(const QString& name);
// Sets `path` to an emptied folder in the work folder named after the running
// test function (and data row); false when it cannot be made.
bool makeTestWorkFolder(QString& path);
// The same folder, made the current directory.
bool enterTestWorkFolder();

// One line per tree item in pre-order: two spaces of indent per level and what
// `describe` says of the item.
QStringList treeLines(const QTreeWidget& tree, const std::function<QString(const QTreeWidgetItem*)>& describe);

// Switches the current folder for one test and puts it back.
class CurrentDir
{
public:
    explicit CurrentDir(const QString& path) : m_previous(QDir::currentPath()) { QDir::setCurrent(path); }
    ~CurrentDir() { QDir::setCurrent(m_previous); }

private:
    QString m_previous;
};

// A temporary folder with a Dictionary/ of word tables made for one test; it is
// the current folder while the object lives.
class TemporaryDictionary
{
public:
    explicit TemporaryDictionary(const QString& folderPrefix);
    ~TemporaryDictionary();

    QString path() const { return m_dir.path(); }

    // A table of TEXT columns; a null value is stored as SQL NULL. With
    // keyIndexes, the key columns get NOCASE indexes like the shipped databases.
    void add(uint code, const QStringList& columns, const QList<QVariantList>& rows, bool keyIndexes);

private:
    QTemporaryDir m_dir;
    QString m_previous;
};
