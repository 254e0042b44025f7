#pragma once
// What the tests of the document commands share: files written into a test's
// folder, the documents of a window, typing into one, and a fresh folder and
// settings for each test function.

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QList>
#include <QMdiSubWindow>
#include <QTest>

#include "MainWindow.h"
#include "MdiArea.h"
#include "MdiChild.h"
#include "SettingsStore.h"
#include "TestSupport.h"

// Writes bytes to path, making its folder; the path, or a null string on failure.
inline QString createFile(const QString& path, const QByteArray& bytes)
{
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return QString();
    file.write(bytes);
    return path;
}

inline QList<MdiChild*> documents(MainWindow& window)
{
    QList<MdiChild*> result;
    for (QMdiSubWindow* subWindow : window.mdiArea->subWindowList())
        if (auto* child = qobject_cast<MdiChild*>(subWindow->widget()))
            result << child;
    return result;
}

inline void typeInto(MdiChild* child, const QString& text)
{
    child->setFocus();
    QTest::keyClicks(child, text);
}

// No recent files, no remembered folder, no backups, no zoom, and an empty
// folder of the test function's (and data row's) own, whose path goes to dir.
inline void prepareDocumentTest(QString& dir)
{
    Settings settings;
    settings.remove(QStringLiteral("RecentFileList"));
    settings.remove(QStringLiteral("LastOpenFilePath"));
    settings.setValue(QStringLiteral("BackupFileBeforeSave"), 0);
    zoomLevel = 1;
    dir = TestEnvironment::instance()->workDir() + QStringLiteral("/") + QString::fromLatin1(QTest::currentTestFunction())
        + QString::fromLatin1(QTest::currentDataTag());
    QDir(dir).removeRecursively();
    QDir().mkpath(dir);
}
