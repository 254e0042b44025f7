#include "TestSupport.h"

#include <QAction>
#include <QCheckBox>
#include <QCoreApplication>
#include <QMenu>
#include <QPushButton>
#include <QDir>
#include <QMutex>
#include <QMutexLocker>
#include <QStandardPaths>

#include "SettingsStore.h"
#include "StartUp.h"

namespace {
TestEnvironment* currentEnvironment = nullptr;

QMutex captureMutex;
MessageCapture* activeCapture = nullptr;
QList<QPair<QtMsgType, QString>>* capturedEntries = nullptr;
}

TestEnvironment::TestEnvironment()
    : m_dir(QDir::tempPath() + "/tarnquill-test-XXXXXX")
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
