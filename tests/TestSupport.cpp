#include "TestSupport.h"

#include <QTextBlock>
#include <QTextDocument>

#include <QAction>
#include <QCheckBox>
#include <QCoreApplication>
#include <QMenu>
#include <QPushButton>
#include <QDir>
#include <QMutex>
#include <QMutexLocker>
#include <QStandardPaths>
#include <QApplication>
#include <QFileInfo>
#include <QInputDialog>
#include <QKeyEvent>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QTextCodec>
#include <QTextCursor>
#include <QTextEdit>
#include <QTreeWidget>
#include <QUuid>
#include <cstdio>
#include <cstdlib>

#include "SettingsStore.h"
#include "WordDatabaseCatalogue.h"
#include "StartUp.h"

namespace {
TestEnvironment* currentEnvironment = nullptr;

QMutex captureMutex;
MessageCapture* activeCapture = nullptr;
QList<QPair<QtMsgType, QString>>* capturedEntries = nullptr;
}

namespace {

// Stops a test started without the folders CTest names: it would work in,
// and write into, whatever folder it was started from.
QString checkedTemporaryFolder()
{
    const QString program = TestEnvironment::programDir();
    if (program.isEmpty() || TestEnvironment::sourceDir().isEmpty() || !QFileInfo(program).isDir()) {
        std::fprintf(stderr,
                     "This test needs TQ_PROGRAM_DIR (the built program's folder, build/bin) and TQ_SOURCE_DIR "
                     "(the source folder). Run it through ctest in the build folder, or set both.\n");
        std::exit(2);
    }
    return QDir::tempPath() + "/tarnquill-test-XXXXXX";
}

} // namespace

TestEnvironment::TestEnvironment()
    : m_dir(checkedTemporaryFolder())
{
    currentEnvironment = this;
    QDir top(root());
    for (const char* sub : {"config", "data", "work", "tmp", "cache", "runtime"})
        top.mkpath(sub);
    QFile::setPermissions(root() + "/runtime", QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    qputenv("XDG_CONFIG_HOME", configDir().toLocal8Bit());
    qputenv("XDG_DATA_HOME", dataDir().toLocal8Bit());
    qputenv("XDG_CACHE_HOME", (root() + "/cache").toLocal8Bit());
    qputenv("XDG_RUNTIME_DIR", (root() + "/runtime").toLocal8Bit());
    qputenv("TMPDIR", tempDir().toLocal8Bit());
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QCoreApplication::setOrganizationName(QStringLiteral("Quenloft"));
    QCoreApplication::setApplicationName(QStringLiteral("塔泉笔维德马克"));
    SettingsStore::install();
    QSettings::setPath(SettingsStore::format(), QSettings::UserScope, configDir());
    QDir::setCurrent(workDir());
}

TestEnvironment::~TestEnvironment()
{
    QDir::setCurrent(QDir::tempPath());
    currentEnvironment = nullptr;
}

void TestEnvironment::afterApplication()
{
    registerResources();
}

QString TestEnvironment::programDir()
{
    return qEnvironmentVariable("TQ_PROGRAM_DIR");
}

QString TestEnvironment::sourceDir()
{
    return qEnvironmentVariable("TQ_SOURCE_DIR");
}

TestEnvironment* TestEnvironment::instance()
{
    return currentEnvironment;
}

MessageCapture::MessageCapture()
{
    QMutexLocker locker(&captureMutex);
    m_outer = activeCapture;
    activeCapture = this;
    if (!capturedEntries)
        capturedEntries = new QList<QPair<QtMsgType, QString>>;
    capturedEntries->clear();
    m_previous = qInstallMessageHandler(&MessageCapture::handler);
}

MessageCapture::~MessageCapture()
{
    qInstallMessageHandler(m_previous);
    QMutexLocker locker(&captureMutex);
    activeCapture = m_outer;
}

void MessageCapture::handler(QtMsgType type, const QMessageLogContext&, const QString& message)
{
    QMutexLocker locker(&captureMutex);
    if (capturedEntries)
        capturedEntries->append(qMakePair(type, message));
}

QList<QPair<QtMsgType, QString>> MessageCapture::entries() const
{
    QMutexLocker locker(&captureMutex);
    return *capturedEntries;
}

QStringList MessageCapture::messages() const
{
    QStringList result;
    for (const auto& entry : entries())
        result << entry.second;
    return result;
}

bool MessageCapture::contains(const QString& fragment) const
{
    for (const auto& entry : entries())
        if (entry.second.contains(fragment))
            return true;
    return false;
}

void MessageCapture::clear()
{
    QMutexLocker locker(&captureMutex);
    capturedEntries->clear();
}

ScriptedPrompt::ScriptedPrompt()
{
    Prompt::install(this);
}

ScriptedPrompt::~ScriptedPrompt()
{
    Prompt::install(nullptr);
}

int ScriptedPrompt::exec(QMessageBox& box)
{
    titles << box.windowTitle();
    texts << box.text();
    textFormats << box.textFormat();
    if (answers.isEmpty())
        return box.defaultButton() ? box.standardButton(box.defaultButton()) : QMessageBox::Ok;
    const Answer answer = answers.takeFirst();
    if (answer.tickCheckBox && box.checkBox())
        box.checkBox()->setChecked(true);
    return answer.button;
}

int ScriptedPrompt::execDialog(QDialog& dialog)
{
    dialogs << (dialog.objectName().isEmpty() ? QString::fromLatin1(dialog.metaObject()->className())
                                              : dialog.objectName());
    if (auto* input = qobject_cast<QInputDialog*>(&dialog)) {
        textQuestions << input->windowTitle() + "|" + input->labelText() + "|" + input->textValue();
        if (textAnswers.isEmpty())
            return QDialog::Rejected;
        const QString answer = textAnswers.takeFirst();
        if (answer.isNull())
            return QDialog::Rejected;
        input->setTextValue(answer);
        return QDialog::Accepted;
    }
    return dialogResult;
}

QAction* ScriptedPrompt::execMenu(QMenu& menu, const QPoint&)
{
    QStringList entries;
    QAction* chosen = nullptr;
    for (QAction* action : menu.actions()) {
        entries << (action->isSeparator() ? QStringLiteral("-") : action->text());
        if (!menuChoice.isEmpty() && action->text() == menuChoice)
            chosen = action;
    }
    menus << entries;
    if (chosen)
        chosen->trigger();
    return chosen;
}

int ScriptedPrompt::getInt(QWidget*, const QString& title, const QString& label, int value, int minimum,
                           int maximum, int, bool* ok)
{
    intQuestions << QStringLiteral("%1|%2|%3|%4|%5").arg(title, label).arg(value).arg(minimum).arg(maximum);
    const bool answered = !intAnswers.isEmpty();
    if (ok)
        *ok = answered;
    return answered ? intAnswers.takeFirst() : value;
}

QColor ScriptedPrompt::getColor(const QColor& initial, QWidget*)
{
    colorQuestions << initial;
    return colorAnswers.isEmpty() ? QColor() : colorAnswers.takeFirst();
}

QString ScriptedPrompt::getOpenFileName(QWidget*, const QString& caption, const QString& dir, const QString& filter)
{
    openDialogs << caption + QLatin1Char('|') + dir + QLatin1Char('|') + filter;
    return openFileNames.isEmpty() ? QString() : openFileNames.takeFirst();
}

QString ScriptedPrompt::getSaveFileName(QWidget*, const QString& caption, const QString& dir, const QString& filter)
{
    saveFileQuestions << QStringLiteral("%1|%2|%3").arg(caption, dir, filter);
    return saveFileNames.isEmpty() ? QString() : saveFileNames.takeFirst();
}

bool ScriptedPrompt::openUrl(const QUrl& url)
{
    openedUrls << url;
    return openUrlResult;
}

QString ScriptedPrompt::getExistingDirectory(QWidget*, const QString& caption, const QString& dir)
{
    directoryQuestions << caption + QLatin1Char('|') + dir;
    return directoryAnswers.isEmpty() ? QString() : directoryAnswers.takeFirst();
}

QString ScriptedPrompt::getItem(QWidget*, const QString& title, const QString& label, const QStringList& items, int,
                               bool* ok)
{
    itemQuestions << (QStringList() << title << label << items);
    const bool answered = !itemAnswers.isEmpty();
    if (ok)
        *ok = answered;
    return answered ? itemAnswers.takeFirst() : QString();
}

QString rawText(const QTextDocument* document)
{
    QStringList blocks;
    for (QTextBlock block = document->begin(); block.isValid(); block = block.next())
        blocks << block.text();
    return blocks.join('\n');
}

QStringList marksOfBlocks(const QTextDocument* document, bool withBlockFormats)
{
    QStringList lines;
    for (QTextBlock block = document->begin(); block.isValid(); block = block.next()) {
        QString line;
        if (withBlockFormats) {
            const QTextBlockFormat format = block.blockFormat();
            line = QString("{%1 %2 %3}").arg(format.lineHeight()).arg(format.lineHeightType()).arg(format.topMargin());
        }
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextCharFormat chars = it.fragment().charFormat();
            line += chars.isAnchor() ? QString("[%1|%2|%3]").arg(it.fragment().text(), chars.anchorHref(),
                                                                 chars.foreground().color().name())
                                     : it.fragment().text();
        }
        lines << line;
    }
    return lines;
}

QByteArray fileBytes(const QString& path, const QByteArray& ifUnreadable)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : ifUnreadable;
}

QByteArray readAll(const QString& path)
{
    return fileBytes(path, QByteArray("<unreadable>"));
}

void writeAll(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    QVERIFY2(file.open(QIODevice::WriteOnly | QIODevice::Truncate), qPrintable(path));
    QCOMPARE(file.write(bytes), qint64(bytes.size()));
}

void writeBytes(const QString& path, const QByteArray& bytes)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    writeAll(path, bytes);
}

void writeFile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    QVERIFY2(file.open(QIODevice::WriteOnly | QIODevice::Truncate), qPrintable(path));
    file.write(bytes);
}

QByteArray gb18030(const QString& text)
{
    return QTextCodec::codecForName("GB18030")->fromUnicode(text);
}

QByteArray utf16Bytes(const QString& text, bool littleEndian)
{
    QByteArray bytes = littleEndian ? QByteArray("\xFF\xFE") : QByteArray("\xFE\xFF");
    for (const QChar c : text) {
        const char low = char(c.unicode() & 0xFF);
        const char high = char(c.unicode() >> 8);
        bytes.append(littleEndian ? low : high);
        bytes.append(littleEndian ? high : low);
    }
    return bytes;
}

void typeText(QWidget* widget, const QString& text)
{
    for (const QChar c : text) {
        QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, QString(c));
        QApplication::sendEvent(widget, &press);
        QKeyEvent release(QEvent::KeyRelease, 0, Qt::NoModifier, QString(c));
        QApplication::sendEvent(widget, &release);
    }
}

void selectText(QTextEdit* edit, int from, int to)
{
    QTextCursor cursor = edit->textCursor();
    cursor.setPosition(from);
    cursor.setPosition(to, QTextCursor::KeepAnchor);
    edit->setTextCursor(cursor);
}

QAction* actionByText(const QObject* owner, const QString& text)
{
    for (QAction* action : owner->findChildren<QAction*>())
        if (action->text() == text)
            return action;
    return nullptr;
}

QString freshTempFolder(const QString& name)
{
    const QString path = TestEnvironment::instance()->tempDir() + QLatin1Char('/') + name;
    QDir(path).removeRecursively();
    QDir().mkpath(path);
    return path;
}

bool makeTestWorkFolder(QString& path)
{
    path = TestEnvironment::instance()->workDir() + "/" + QString::fromLatin1(QTest::currentTestFunction());
    if (QTest::currentDataTag())
        path += "_" + QString::number(qHash(QString::fromUtf8(QTest::currentDataTag())));
    QDir(path).removeRecursively();
    return QDir().mkpath(path);
}

bool enterTestWorkFolder()
{
    QString path;
    return makeTestWorkFolder(path) && QDir::setCurrent(path);
}

namespace {
void addTreeLines(const QTreeWidgetItem* item, int depth,
                  const std::function<QString(const QTreeWidgetItem*)>& describe, QStringList& lines)
{
    lines << QString(depth * 2, ' ') + describe(item);
    for (int i = 0; i < item->childCount(); ++i)
        addTreeLines(item->child(i), depth + 1, describe, lines);
}
}

QStringList treeLines(const QTreeWidget& tree, const std::function<QString(const QTreeWidgetItem*)>& describe)
{
    QStringList lines;
    for (int i = 0; i < tree.topLevelItemCount(); ++i)
        addTreeLines(tree.topLevelItem(i), 0, describe, lines);
    return lines;
}

TemporaryDictionary::TemporaryDictionary(const QString& folderPrefix)
    : m_dir(TestEnvironment::instance()->tempDir() + "/" + folderPrefix + "-XXXXXX")
    , m_previous(QDir::currentPath())
{
    QDir(m_dir.path()).mkpath("Dictionary");
    QDir::setCurrent(m_dir.path());
}

TemporaryDictionary::~TemporaryDictionary()
{
    QDir::setCurrent(m_previous);
}

void TemporaryDictionary::add(uint code, const QStringList& columns, const QList<QVariantList>& rows,
                              bool keyIndexes)
{
    const QString table = WordDatabaseCatalogue::tableName(code);
    const QString path = m_dir.path() + "/Dictionary/" + table + ".db";
    QFile::remove(path);
    const QString name = QUuid::createUuid().toString();
    {
        QSqlDatabase db = QSqlDatabase::addDatabase("QSQLITE", name);
        db.setDatabaseName(path);
        QVERIFY(db.open());
        QSqlQuery query(db);
        QStringList definitions, marks;
        for (const QString& column : columns) {
            definitions << column + " TEXT";
            marks << "?";
        }
        QVERIFY(query.exec(QString("CREATE TABLE %1 (%2)").arg(table, definitions.join(", "))));
        if (keyIndexes)
            for (const QString& column : columns)
                if (column != "Explanation" && column != "Correction")
                    QVERIFY(query.exec(QString("CREATE INDEX i_%1 ON %2 (%1 COLLATE NOCASE)").arg(column, table)));
        db.transaction();
        QVERIFY(query.prepare(QString("INSERT INTO %1 VALUES (%2)").arg(table, marks.join(','))));
        for (const QVariantList& row : rows) {
            for (int i = 0; i < row.size(); ++i)
                query.bindValue(i, row.at(i).isNull() ? QVariant(QVariant::String) : row.at(i));
            QVERIFY2(query.exec(), qPrintable(query.lastError().text()));
        }
        db.commit();
        query.finish();
        db.close();
    }
    QSqlDatabase::removeDatabase(name);
}
