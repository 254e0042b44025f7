// Saving documents: backups, permissions and links, every failure path (the
// original stays byte-identical, 0xFFFF, the document stays modified),
// characters the encoding cannot hold, save-as, the close question, the
// untitled recovery copy, and the watcher around the program's own writes.

#include <QFileDialog>
#include <QFileSystemWatcher>
#include <QMdiSubWindow>
#include <QProcess>
#include <QTextCodec>

#include <sys/stat.h>
#include <unistd.h>

#include "MainWindow.h"
#include "MdiArea.h"
#include "MdiChild.h"
#include "SafeSave.h"
#include "StartUp.h"
#include <QStandardPaths>

#include "TestSupport.h"

namespace {

// Answers the save dialog with a chosen name and filter, and boxes as ScriptedPrompt does.
class SaveDialogPrompt : public ScriptedPrompt
{
public:
    QString fileName;     // empty: the dialog is cancelled
    QString filter;       // name filter to choose, empty keeps the proposed one
    QString proposed;     // what the dialog proposed
    QString proposedFilter;
    int execDialog(QDialog& dialog) override
    {
        ScriptedPrompt::execDialog(dialog);
        auto* fileDialog = qobject_cast<QFileDialog*>(&dialog);
        if (!fileDialog)
            return QDialog::Rejected;
        proposed = fileDialog->selectedFiles().value(0);
        proposedFilter = fileDialog->selectedNameFilter();
        if (fileName.isEmpty())
            return QDialog::Rejected;
        // A filter chosen after the name would rewrite the name's suffix.
        if (!filter.isEmpty())
            fileDialog->selectNameFilter(filter);
        fileDialog->selectFile(fileName);
        return QDialog::Accepted;
    }
};

// Mounts a small tmpfs for the duration of a test (root only).
class SmallDisk
{
public:
    explicit SmallDisk(const QString& mountPoint, const QString& size)
        : point(mountPoint)
    {
        QDir().mkpath(point);
        if (::geteuid() == 0)
            mounted = QProcess::execute("mount", {"-t", "tmpfs", "-o", "size=" + size, "tmpfs", point}) == 0;
    }
    ~SmallDisk()
    {
        if (mounted)
            QProcess::execute("umount", {"-l", point});
    }
    bool remountReadOnly() { return mounted && QProcess::execute("mount", {"-o", "remount,ro", point}) == 0; }
    QString point;
    bool mounted = false;
};

} // namespace

class MdiChildSaveTest : public QObject
{
    Q_OBJECT

    QScopedPointer<QTemporaryDir> dir;
    QString path(const QString& name) const { return dir->filePath(name); }

    QStringList entries() const { return QDir(dir->path()).entryList(QDir::Files | QDir::Hidden | QDir::System); }

private slots:
    void init()
    {
        Settings().clear();
        resetStartUpState();
        SafeSave::setFaultHook({});
        dir.reset(new QTemporaryDir(TestEnvironment::instance()->workDir() + "/save-XXXXXX"));
        QVERIFY(dir->isValid());
    }
    void cleanup() { SafeSave::setFaultHook({}); }

    void backups_data()
    {
        QTest::addColumn<int>("setting");
        QTest::newRow("backup on (2)") << 2;
        QTest::newRow("backup off (0)") << 0;
    }
    void backups()
    {
        QFETCH(int, setting);
        Settings().setValue("BackupFileBeforeSave", setting);
        const QString file = path("doc.txt");
        writeAll(file, gb18030("v0\r\n"));
        writeAll(file + ".bak", "older backup");
        MdiChild child;
        QVERIFY(child.loadFile(file));
        QTest::keyClicks(&child, "1");
        QCOMPARE(child.save(true), 0);
        QTest::keyClicks(&child, "2");
        QCOMPARE(child.save(true), 0);
        QCOMPARE(readAll(file), gb18030("12v0\r\n"));
        // With backups the ".bak" holds the version before the last save; without,
        // nothing is made or removed.
        QCOMPARE(readAll(file + ".bak"), setting ? gb18030("1v0\r\n") : QByteArray("older backup"));
        QCOMPARE(entries(), QStringList({"doc.txt", "doc.txt.bak"}));
    }

    void permissionsAndLinksAreKept()
    {
        Settings().setValue("BackupFileBeforeSave", 2);
        const QString target = path("real.txt");
        const QString link = path("link.txt");
        writeAll(target, "old\r\n");
        QVERIFY(QFile::setPermissions(target, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadGroup
                                                  | QFileDevice::WriteGroup | QFileDevice::ReadOther));
        const QFileDevice::Permissions before = QFileInfo(target).permissions();
        QVERIFY(QFile::link(target, link));

        MdiChild child;
        child.newFile();
        child.setPlainText("new");
        QCOMPARE(child.saveFile(link, false), 0);
        QVERIFY(QFileInfo(link).isSymLink());
        QCOMPARE(readAll(target), QByteArray("new"));
        QCOMPARE(QFileInfo(target).permissions(), before);
        QCOMPARE(readAll(link + ".bak"), QByteArray("old\r\n"));
    }

    // Any failing stage: 0xFFFF, the original byte for byte, the document modified.
    void failuresKeepTheOriginal_data()
    {
        QTest::addColumn<int>("stage");
        QTest::addColumn<QByteArray>("backupAfter");
        QTest::newRow("temporary file") << int(SafeSave::OpenTemporary) << QByteArray("v0");
        QTest::newRow("write (disk full)") << int(SafeSave::Write) << QByteArray("v0");
        QTest::newRow("backup copy") << int(SafeSave::Backup) << QByteArray("v0");
        // The backup was taken from the previous file before the replace failed.
        QTest::newRow("replace (rename)") << int(SafeSave::Replace) << QByteArray("v1");
    }
    void failuresKeepTheOriginal()
    {
        QFETCH(int, stage);
        QFETCH(QByteArray, backupAfter);
        Settings().setValue("BackupFileBeforeSave", 2);
        ScriptedPrompt prompt;
        MainWindow window(nullptr, MainWindow::NoStartUpTimers);
        const QString file = path("doc.txt");
        writeAll(file, "v0");
        window.open(file);
        MdiChild* child = window.activeMdiChild();
        QVERIFY(child);
        child->selectAll();
        QTest::keyClicks(child, "v1");
        QCOMPARE(child->save(true), 0);
        QCOMPARE(readAll(file + ".bak"), QByteArray("v0"));

        child->selectAll();
        QTest::keyClicks(child, "v2 lost?");
        SafeSave::setFaultHook([stage](SafeSave::Stage at, const QString&) { return at == stage; });
        QCOMPARE(child->save(true), 0xFFFF);
        SafeSave::setFaultHook({});

        QCOMPARE(readAll(file), QByteArray("v1"));
        QCOMPARE(readAll(file + ".bak"), backupAfter);
        QVERIFY(child->document()->isModified());
        QVERIFY(child->isWindowModified());
        QCOMPARE(prompt.texts.size(), 1);
        QVERIFY(prompt.texts.first().startsWith("保存 " + file + " 失败"));
        QCOMPARE(entries(), QStringList({"doc.txt", "doc.txt.bak"})); // no temporary left behind
        QVERIFY(fileSystemWatcher->files().contains(file));
        // Closing still asks.
        prompt.answers << ScriptedPrompt::Answer{0, false};
        QVERIFY(!child->maybeSave());
    }

    void fullDisk()
    {
        SmallDisk disk(path("small"), "64k");
        if (!disk.mounted)
            QSKIP("needs root to mount a small tmpfs; the injected write failure covers this path");
        Settings().setValue("BackupFileBeforeSave", 2);
        const QString file = disk.point + "/doc.txt";
        writeAll(file, "small original");
        ScriptedPrompt prompt;
        MdiChild child;
        QVERIFY(child.loadFile(file));
        child.setPlainText(QString(200000, QChar(0x4E2D)));
        child.document()->setModified(true);
        QCOMPARE(child.save(true), 0xFFFF);
        QCOMPARE(readAll(file), QByteArray("small original"));
        QVERIFY(child.document()->isModified());
        QCOMPARE(QDir(disk.point).entryList(QDir::Files), QStringList({"doc.txt"}));
    }

    // "小说" in GB18030 (D0 A1 CB B5) is valid UTF-8 too ("С˵"): typed, saved,
    // closed and opened again it must still be "小说", and saving again keeps the bytes.
    void xiaoshuoReopensAsTyped()
    {
        const QString file = path("小说.txt");
        {
            MdiChild child;
            child.newFile();
            typeText(&child, "小说");
            QCOMPARE(child.saveFile(file, false), 0);
        }
        QCOMPARE(readAll(file), QByteArray("\xD0\xA1\xCB\xB5"));
        MdiChild reopened;
        QVERIFY(reopened.loadFile(file));
        QCOMPARE(reopened.toPlainText(), QStringLiteral("小说"));
        QCOMPARE(reopened.encoding, QString("GB18030"));
        QVERIFY(!reopened.loadedLossily());
        reopened.document()->setModified(true);
        QCOMPARE(reopened.save(true), 0);
        QCOMPARE(readAll(file), QByteArray("\xD0\xA1\xCB\xB5"));
    }

    // A file read with bytes its encoding cannot hold asks before it is written over:
    // cancel keeps the file, save writes it once, and the question is not asked again.
    void lossilyReadFileAsksBeforeItsFirstSave()
    {
        const QString file = path("bad.txt");
        const QByteArray original = gb18030("好") + "\xFF" + gb18030("字\r\n");
        writeAll(file, original);
        ScriptedPrompt prompt;
        MdiChild child;
        QVERIFY(child.loadFile(file));
        QVERIFY(child.loadedLossily());
        QCOMPARE(prompt.texts.size(), 1); // the warning on opening
        typeText(&child, "新");
        QCOMPARE(child.save(true), 0x101);
        QCOMPARE(prompt.texts.size(), 2);
        QVERIFY2(prompt.texts.last().contains("原来的内容无法还原"), qPrintable(prompt.texts.last()));
        QCOMPARE(prompt.textFormats.last(), Qt::PlainText);
        QCOMPARE(readAll(file), original);
        QVERIFY(child.document()->isModified());

        prompt.answers << ScriptedPrompt::Answer{1, false}; // 保存
        QCOMPARE(child.save(true), 0);
        QCOMPARE(readAll(file), gb18030(QStringLiteral("新好\uFFFD字\r\n")));
        QVERIFY(!child.loadedLossily());
        typeText(&child, "再");
        QCOMPARE(child.save(true), 0);
        QCOMPARE(prompt.texts.size(), 3);
    }

    // A read-only file system: the file cannot be written at all; it stays as it was.
    void readOnlyFileSystem()
    {
        SmallDisk disk(path("ro"), "1m");
        if (!disk.mounted)
            QSKIP("needs root to mount a read-only tmpfs");
        const QString file = disk.point + "/doc.txt";
        writeAll(file, "original");
        QVERIFY(disk.remountReadOnly());
        ScriptedPrompt prompt;
        MdiChild child;
        QVERIFY(child.loadFile(file));
        QTest::keyClicks(&child, "edit ");
        QCOMPARE(child.save(true), 0xFFFF);
        QCOMPARE(readAll(file), QByteArray("original"));
        QVERIFY(child.document()->isModified());
        QCOMPARE(prompt.texts.size(), 1);
        QVERIFY2(prompt.texts.first().contains("只读"), qPrintable(prompt.texts.first()));
    }

    // Every mode (a 0444 file too), owner and group survive a save.
    void modesAreKeptExactly()
    {
        const QString file = path("mode.txt");
        for (const mode_t mode : {0444, 0400, 0640, 0604, 0664, 0755, 0600}) {
            writeAll(file, "old");
            QCOMPARE(::chmod(QFile::encodeName(file).constData(), mode), 0);
            MdiChild child;
            QVERIFY(child.loadFile(file));
            child.setPlainText(QStringLiteral("新的%1").arg(mode, 0, 8));
            child.document()->setModified(true);
            QCOMPARE(child.save(true), 0);
            struct stat after;
            QCOMPARE(::stat(QFile::encodeName(file).constData(), &after), 0);
            QCOMPARE(int(after.st_mode & 07777), int(mode));
            QCOMPARE(after.st_uid, ::geteuid());
            QCOMPARE(QTextCodec::codecForName("GB18030")->toUnicode(readAll(file)), QStringLiteral("新的%1").arg(mode, 0, 8));
            QFile::setPermissions(file, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
        }
    }

    // A folder that takes no new files: a writable file in it is written in place,
    // after its ".bak" copy where one is asked for (which must then exist already).
    void folderThatTakesNoNewFiles_data()
    {
        QTest::addColumn<int>("backup");
        QTest::addColumn<bool>("oldBackup");
        QTest::addColumn<bool>("saved");
        QTest::newRow("no backup") << 0 << false << true;
        QTest::newRow("backup, none yet") << 2 << false << false;
        QTest::newRow("backup over the old one") << 2 << true << true;
    }
    void folderThatTakesNoNewFiles()
    {
        QFETCH(int, backup);
        QFETCH(bool, oldBackup);
        QFETCH(bool, saved);
        Settings().setValue("BackupFileBeforeSave", backup);
        const QString folder = path("closed");
        QVERIFY(QDir().mkpath(folder));
        const QString file = folder + "/doc.txt";
        writeAll(file, gb18030("旧的\r\n"));
        QCOMPARE(::chmod(QFile::encodeName(file).constData(), 0640), 0);
        if (oldBackup)
            writeAll(file + ".bak", "older");
        // Root ignores folder permissions but not the immutable flag.
        const bool root = ::geteuid() == 0;
        if (root) {
            if (QProcess::execute("chattr", {"+i", folder}) != 0)
                QSKIP("root ignores folder permissions and chattr +i is not available here");
        } else {
            QVERIFY(QFile::setPermissions(folder, QFileDevice::ReadOwner | QFileDevice::ExeOwner));
        }
        ScriptedPrompt prompt;
        MdiChild child;
        QVERIFY(child.loadFile(file));
        typeText(&child, "新");
        const int result = child.save(true);
        const QByteArray content = readAll(file);
        const QByteArray backupContent = fileBytes(file + ".bak", "<none>");
        const QStringList files = QDir(folder).entryList(QDir::Files | QDir::Hidden);
        struct stat after;
        ::stat(QFile::encodeName(file).constData(), &after);
        if (root)
            QProcess::execute("chattr", {"-i", folder});
        else
            QFile::setPermissions(folder, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);

        QCOMPARE(result, saved ? 0 : 0xFFFF);
        QCOMPARE(content, saved ? gb18030("新旧的\r\n") : gb18030("旧的\r\n"));
        QCOMPARE(int(after.st_mode & 07777), 0640);
        QCOMPARE(backupContent, oldBackup ? gb18030("旧的\r\n") : QByteArray("<none>"));
        QCOMPARE(files, oldBackup ? QStringList({"doc.txt", "doc.txt.bak"}) : QStringList({"doc.txt"}));
        QCOMPARE(child.document()->isModified(), !saved);
        if (saved) {
            QCOMPARE(prompt.texts.size(), 0);
        } else {
            QCOMPARE(prompt.texts.size(), 1);
            QVERIFY2(prompt.texts.first().contains("无法创建备份文件") && prompt.texts.first().contains("没有权限"),
                     qPrintable(prompt.texts.first()));
        }
    }

    void vanishedFileAndFolder()
    {
        ScriptedPrompt prompt;
        const QString sub = path("sub");
        QVERIFY(QDir().mkpath(sub));
        const QString file = sub + "/doc.txt";
        writeAll(file, "original");
        MdiChild child;
        QVERIFY(child.loadFile(file));
        QTest::keyClicks(&child, "A");

        // The file alone vanished: saving writes it anew.
        QVERIFY(QFile::remove(file));
        QCOMPARE(child.save(true), 0);
        QCOMPARE(readAll(file), QByteArray("Aoriginal"));
        QVERIFY(!child.document()->isModified());

        // Its folder vanished: the save fails and the document stays modified.
        QTest::keyClicks(&child, "B");
        QVERIFY(QDir(sub).removeRecursively());
        QCOMPARE(child.save(true), 0xFFFF);
        QVERIFY(child.document()->isModified());
        QVERIFY(!QFileInfo::exists(sub));
        QCOMPARE(prompt.texts.size(), 1);
    }

    void nonRegularTargetIsRefused()
    {
        ScriptedPrompt prompt;
        const QString fifo = path("pipe.txt");
        QCOMPARE(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
        MdiChild child;
        child.newFile();
        child.setPlainText("text");
        QCOMPARE(child.saveFile(fifo, false), 0xFFFF);
        QVERIFY(QFileInfo(fifo).exists() && !QFileInfo(fifo).isFile());
        QVERIFY(child.isUntitled);
        QCOMPARE(prompt.texts.size(), 1);
    }

    // Characters Big5 cannot hold are never written as "?".
    void unencodableCharacters_data()
    {
        QTest::addColumn<int>("answer");
        QTest::addColumn<QString>("encoding");
        QTest::addColumn<QByteArray>("bytes");
        const QString text = "国中國\r\n";
        QTest::newRow("cancel") << 0 << "Big5" << QTextCodec::codecForName("Big5")->fromUnicode("中國\r\n");
        QTest::newRow("GB18030") << 1 << "GB18030" << gb18030(text);
        QTest::newRow("UTF-8") << 2 << "UTF-8" << text.toUtf8();
    }
    void unencodableCharacters()
    {
        QFETCH(int, answer);
        QFETCH(QString, encoding);
        QFETCH(QByteArray, bytes);
        const QString file = path("big5.txt");
        const QByteArray original = QTextCodec::codecForName("Big5")->fromUnicode("中國\r\n");
        writeAll(file, original);
        ScriptedPrompt prompt;
        MdiChild child;
        QVERIFY(child.loadFile(file, "Big5"));
        QSignalSpy spy(&child, &MdiChild::encodingChanged);
        typeText(&child, "国");
        prompt.answers << ScriptedPrompt::Answer{answer, false};
        QCOMPARE(child.save(true), answer ? 0 : 0xFFFF);
        QCOMPARE(prompt.texts.size(), 1);
        QVERIFY(prompt.texts.first().contains("\"国\""));
        QCOMPARE(readAll(file), bytes);
        QCOMPARE(child.encoding, encoding);
        QCOMPARE(spy.size(), answer ? 1 : 0);
        QCOMPARE(child.document()->isModified(), answer == 0);
        // What was written reads back as typed.
        if (answer) {
            MdiChild again;
            QVERIFY(again.loadFile(file));
            QCOMPARE(again.toPlainText(), QString("国中國\n"));
        }
    }

    // The box names the first character the encoding cannot hold: a character
    // that shows nothing by its code, any other in quotes.
    void unencodableCharacterNamed_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("named");
        QTest::newRow("no-break space") << QString(QChar(0x00A0)) << "(例如 U+00A0)";
        QTest::newRow("combining mark") << QString(QChar(0x0301)) << "(例如 U+0301)";
        QTest::newRow("emoji") << QString::fromUcs4(U"\U0001F600") << "(例如 \"\U0001F600\")";
    }
    void unencodableCharacterNamed()
    {
        QFETCH(QString, typed);
        QFETCH(QString, named);
        const QString file = path("named.txt");
        writeAll(file, QTextCodec::codecForName("Big5")->fromUnicode("中國\r\n"));
        ScriptedPrompt prompt;
        MdiChild child;
        QVERIFY(child.loadFile(file, "Big5"));
        QTextCursor(child.document()).insertText(typed);
        QCOMPARE(child.save(true), 0xFFFF); // cancelled
        QVERIFY2(prompt.texts.value(0).contains(named), qPrintable(prompt.texts.value(0)));
    }

    void unencodableInRichText()
    {
        const QString file = path("rich.tqd");
        ScriptedPrompt prompt;
        MdiChild child;
        child.newFile();
        child.encoding = "Big5";
        child.setHtml("<p><b>简体字</b></p>");
        prompt.answers << ScriptedPrompt::Answer{2, false}; // UTF-8
        QCOMPARE(child.saveFile(file, false), 0);
        const QByteArray bytes = readAll(file);
        QVERIFY(bytes.contains("charset=UTF-8"));
        QVERIFY(bytes.contains(QString("简体字").toUtf8()));
        MdiChild again;
        QVERIFY(again.loadFile(file));
        QCOMPARE(again.toPlainText(), QString("简体字"));
    }

    void saveAsNamesAndFilters_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("filter");
        QTest::addColumn<QString>("written");
        QTest::addColumn<bool>("html");
        QTest::newRow("txt suffix added") << "a" << "txt 文件 (*.txt)" << "a.txt" << false;
        QTest::newRow("txt kept, other case") << "b.TXT" << "txt 文件 (*.txt)" << "b.TXT" << false;
        QTest::newRow("tqd suffix added") << "c" << "tqd 文件 (*.tqd)" << "c.tqd" << true;
        QTest::newRow("TQD in another case is plain") << "d.TQD" << "tqd 文件 (*.tqd)" << "d.TQD" << false;
        QTest::newRow("all files, as typed") << "e.md" << "所有文件 (*)" << "e.md" << false;
    }
    void saveAsNamesAndFilters()
    {
        QFETCH(QString, typed);
        QFETCH(QString, filter);
        QFETCH(QString, written);
        QFETCH(bool, html);
        SaveDialogPrompt prompt;
        prompt.fileName = path(typed);
        prompt.filter = filter;
        MdiChild child;
        child.newFile();
        const QString untitled = child.curFile;
        child.setHtml("<p><b>粗体</b>正文</p>");
        child.document()->setModified(true);
        QCOMPARE(child.saveAs(), 0);
        QCOMPARE(prompt.dialogs, QStringList({"SaveAsFileDialog"}));
        QVERIFY(prompt.proposed.endsWith("/" + untitled));
        QCOMPARE(prompt.proposedFilter, QString("txt 文件 (*.txt)"));
        const QString file = path(written);
        QVERIFY(QFileInfo::exists(file));
        QCOMPARE(readAll(file).startsWith("<!DOCTYPE"), html);
        QVERIFY(!child.isUntitled);
        QCOMPARE(child.curFile, QFileInfo(file).canonicalFilePath());
        QCOMPARE(child.windowTitle(), "[*]" + written);
        QVERIFY(!child.document()->isModified());
        QCOMPARE(Settings().value("LastOpenFilePath").toString(), dir->path());
    }

    void saveAsDialogDefaults()
    {
        Settings().setValue("DefaultFileFormat", 1);
        Settings().setValue("LastOpenFilePath", dir->path());
        SaveDialogPrompt prompt;
        MdiChild child;
        child.newFile();
        QCOMPARE(child.saveAs(), 0x101); // cancelled
        QCOMPARE(prompt.proposedFilter, QString("tqd 文件 (*.tqd)"));
        QCOMPARE(QFileInfo(prompt.proposed).path(), dir->path());
        QVERIFY(child.isUntitled);
        QCOMPARE(entries(), QStringList());

        // A titled document proposes its own file.
        const QString file = path("titled.txt");
        writeAll(file, "x");
        QVERIFY(child.loadFile(file));
        QCOMPARE(child.saveAs(), 0x101);
        QCOMPARE(prompt.proposed, QFileInfo(file).canonicalFilePath());
    }

    void saveAsOverwriteQuestion()
    {
        const QString file = path("exists.txt");
        writeAll(file, "keep me");
        SaveDialogPrompt prompt;
        prompt.fileName = file;
        MdiChild child;
        child.newFile();
        child.setPlainText("other");
        prompt.answers << ScriptedPrompt::Answer{QMessageBox::Cancel, false};
        QCOMPARE(child.saveAs(), 0x101);
        QCOMPARE(readAll(file), QByteArray("keep me"));
        QCOMPARE(prompt.texts.last(), "文件: " + file + " 已经存在，确定要覆盖吗?");
        QVERIFY(child.isUntitled);

        prompt.answers << ScriptedPrompt::Answer{QMessageBox::Ok, false};
        QCOMPARE(child.saveAs(), 0);
        QCOMPARE(readAll(file), QByteArray("other"));
    }

    // A failed write leaves the document under its old name and modified.
    void saveAsFailureKeepsName()
    {
        SaveDialogPrompt prompt;
        prompt.fileName = path("new.txt");
        MdiChild child;
        child.newFile();
        const QString untitled = child.curFile;
        QTest::keyClicks(&child, "text");
        SafeSave::setFaultHook([](SafeSave::Stage, const QString&) { return true; });
        QCOMPARE(child.saveAs(), 0xFFFF);
        QVERIFY(child.isUntitled);
        QCOMPARE(child.curFile, untitled);
        QVERIFY(child.document()->isModified());
        QVERIFY(!QFileInfo::exists(path("new.txt")));
        prompt.answers << ScriptedPrompt::Answer{0, false};
        QVERIFY(!child.maybeSave());
    }

    void closeQuestion()
    {
        SaveDialogPrompt prompt;
        const QString file = path("close.txt");
        writeAll(file, "x");
        MdiChild child;
        QVERIFY(child.loadFile(file));
        QVERIFY(child.maybeSave()); // not modified: no question
        QCOMPARE(prompt.texts.size(), 0);

        QTest::keyClicks(&child, "y");
        prompt.answers << ScriptedPrompt::Answer{0, false}; // 取消
        QVERIFY(!child.maybeSave());
        QCOMPARE(prompt.titles.last(), QString("警告"));
        QCOMPARE(prompt.texts.last(), QString("'close.txt' 已经修改，是否保存?"));
        QVERIFY(!child.maybeSave()); // the default button is 取消
        prompt.answers << ScriptedPrompt::Answer{2, false}; // 不保存
        QVERIFY(child.maybeSave());
        QCOMPARE(readAll(file), QByteArray("x"));
        prompt.answers << ScriptedPrompt::Answer{1, false}; // 保存
        QVERIFY(child.maybeSave());
        QCOMPARE(readAll(file), QByteArray("yx"));

        // An untitled document whose save dialog is cancelled stays open.
        auto* untitled = new MdiChild;
        untitled->newFile();
        QTest::keyClicks(untitled, "z");
        QPointer<MdiChild> guard(untitled);
        prompt.answers << ScriptedPrompt::Answer{1, false};
        QVERIFY(!untitled->close());
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(guard);
        prompt.answers << ScriptedPrompt::Answer{2, false};
        QVERIFY(untitled->close());
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(!guard);
    }

    void untitledNumbering()
    {
        MdiChild first;
        first.newFile();
        const int n = first.curFile.mid(2).toInt();
        QVERIFY(first.curFile.startsWith("文档") && n >= 1);
        QCOMPARE(first.windowTitle(), "[*]" + first.curFile);
        {
            MdiChild second;
            second.newFile();
            QCOMPARE(second.curFile, QString("文档%1").arg(n + 1));
        }
        MdiChild third;
        third.newFile();
        QCOMPARE(third.curFile, QString("文档%1").arg(n + 2));
    }

    // Automatic saves of an untitled document keep one recovery copy.
    void recoveryCopy()
    {
        const QString temp =
            QStandardPaths::writableLocation(QStandardPaths::AppLocalDataLocation) + QStringLiteral("/Recovery");
        const QStringList before = QDir(temp).entryList(QDir::Files);
        SaveDialogPrompt prompt;
        QString recovery;
        {
            MdiChild child;
            child.newFile();
            typeText(&child, "draft 草稿");
            QCOMPARE(child.save(false), 0);
            QTest::keyClicks(&child, " more");
            QCOMPARE(child.save(false), 0);
            recovery = child.recoveryFileName();
            QVERIFY(child.isUntitled);
            QVERIFY(child.document()->isModified());
            const QStringList after = QDir(temp).entryList(QDir::Files);
            QCOMPARE(after.size(), before.size() + 1);
            QCOMPARE(QFileInfo(recovery).absolutePath(), QFileInfo(temp).absoluteFilePath());
            QCOMPARE(readAll(recovery), gb18030("draft 草稿 more"));
            QCOMPARE(QFileInfo(recovery).permissions() & (QFileDevice::ReadOther | QFileDevice::ReadGroup), QFileDevice::Permissions());
            QCOMPARE(prompt.dialogs.size(), 0);

            // Saved under a name, the recovery copy is no longer needed.
            prompt.fileName = path("named.txt");
            QCOMPARE(child.save(true), 0);
            QVERIFY(!QFileInfo::exists(recovery));
            QCOMPARE(child.recoveryFileName(), QString());
        }
        {
            MdiChild child;
            child.newFile();
            QTest::keyClicks(&child, "x");
            QCOMPARE(child.save(false), 0);
            recovery = child.recoveryFileName();
            QVERIFY(QFileInfo::exists(recovery));
        }
        // A document that was closed normally leaves nothing behind.
        QVERIFY(!QFileInfo::exists(recovery));
        QCOMPARE(QDir(temp).entryList(QDir::Files), before);
    }

    // The program's own save raises no "changed by another program" report;
    // another program's atomic save still does, also after ours.
    void watcherAroundOwnSaves()
    {
        ScriptedPrompt prompt;
        MainWindow window(nullptr, MainWindow::NoStartUpTimers);
        const QString file = path("watched.txt");
        writeAll(file, "a");
        window.open(file);
        MdiChild* child = window.activeMdiChild();
        QVERIFY(child);
        QSignalSpy spy(fileSystemWatcher, &QFileSystemWatcher::fileChanged);
        for (int i = 0; i < 3; ++i) {
            QTest::keyClicks(child, "b");
            QCOMPARE(child->save(true), 0);
        }
        QTest::qWait(250);
        QCOMPARE(spy.size(), 0);
        QVERIFY(fileSystemWatcher->files().contains(file));

        QSaveFile other(file);
        QVERIFY(other.open(QIODevice::WriteOnly));
        other.write("changed elsewhere");
        QVERIFY(other.commit());
        QTRY_VERIFY(spy.size() >= 1);

        // Reloading puts the path back (an atomic replace drops it from inotify).
        emit window.fileChange(child->curFile);
        QCOMPARE(child->toPlainText(), QString("changed elsewhere"));
        QVERIFY(fileSystemWatcher->files().contains(file));

        // Opened through a symbolic link, the document's own saves stay quiet too.
        const QString link = path("link.txt");
        QVERIFY(QFile::link(file, link));
        window.open(link);
        // The link names a file that is open already: its document is only activated.
        QCOMPARE(window.mdiArea->subWindowList().size(), 1);
        MdiChild* linked = window.activeMdiChild();
        QCOMPARE(linked, child);
        spy.clear();
        QTest::keyClicks(linked, "L");
        QCOMPARE(linked->save(true), 0);
        QTest::qWait(250);
        QCOMPARE(spy.size(), 0);
        QVERIFY(QFileInfo(link).isSymLink());
        QCOMPARE(readAll(file), QByteArray("Lchanged elsewhere"));

        // Save-as moves the watch to the new file.
        SaveDialogPrompt dialogPrompt;
        dialogPrompt.fileName = path("moved.txt");
        QCOMPARE(child->saveAs(), 0);
        QVERIFY(!fileSystemWatcher->files().contains(file));
        QVERIFY(fileSystemWatcher->files().contains(path("moved.txt")));
    }

    void subWindowIconFollowsModifiedState()
    {
        ScriptedPrompt prompt;
        MainWindow window(nullptr, MainWindow::NoStartUpTimers);
        const QString file = path("icon.txt");
        writeAll(file, "a");
        window.open(file);
        MdiChild* child = window.activeMdiChild();
        auto* subWindow = qobject_cast<QMdiSubWindow*>(child->parentWidget());
        QVERIFY(subWindow);
        const QImage savedImage = QIcon(":/Images/Doc_512x512.png").pixmap(16).toImage();
        const QImage modifiedImage = QIcon(":/Images/DocModified_512x512.png").pixmap(16).toImage();
        QCOMPARE(subWindow->windowIcon().pixmap(16).toImage(), savedImage);
        QTest::keyClicks(child, "x");
        QCOMPARE(subWindow->windowIcon().pixmap(16).toImage(), modifiedImage);
        QVERIFY(child->isWindowModified());
        QCOMPARE(child->save(true), 0);
        QCOMPARE(subWindow->windowIcon().pixmap(16).toImage(), savedImage);
        QVERIFY(!child->isWindowModified());
    }

    // NBSP and line separators are written as they are, not as spaces and newlines.
    void rawTextIsWritten()
    {
        const QString file = path("raw.txt");
        MdiChild child;
        child.newFile();
        child.setPlainText(QString("a") + QChar(0xA0) + "b" + QChar(0x2028) + "c\nd");
        child.encoding = "UTF-8";
        child.writeBom = false;
        QCOMPARE(child.saveFile(file, false), 0);
        QCOMPARE(readAll(file), (QString("a") + QChar(0xA0) + "b" + QChar(0x2028) + "c\r\nd").toUtf8());
    }
};

TQ_TEST_MAIN(MdiChildSaveTest)
#include "tst_mdichild_save.moc"
