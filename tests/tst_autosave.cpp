// Auto-save: the minutes it writes on, what it leaves alone, the recovery copy of an
// untitled document, and that it writes nothing while a question or any modal dialog
// is open (the user's answer decides what the file holds).

#include <QAbstractButton>
#include <QAction>
#include <QDateTime>
#include <QMessageBox>
#include <QTimer>

#include <functional>

#include "DocumentTestSupport.h"
#include "ListWidget.h"
#include "ModalResponder.h"
#include "TemplateDialog.h"

namespace {

QDateTime fixedNow;
QDateTime fixedClock()
{
    return fixedNow;
}

// The window's auto-save on the test's clock, standing at 9:15, every five minutes.
void autoSaveAtQuarterPast(MainWindow& window, int templateInterval)
{
    window.autoSaveClock = &fixedClock;
    window.autoSaveFileInterval = 5;
    window.autoSaveTemplateInterval = uint(templateInterval);
    fixedNow = QDateTime(QDate(2026, 3, 1), QTime(9, 15));
}

} // namespace

class TestAutoSave : public QObject
{
    Q_OBJECT

    QString dir;

private slots:
    void init()
    {
        prepareDocumentTest(dir);
    }

    void autoSaveMinutes_data()
    {
        QTest::addColumn<int>("interval");
        QTest::addColumn<int>("minute");
        QTest::addColumn<bool>("saved");
        QTest::newRow("5 at 0") << 5 << 0 << true;
        QTest::newRow("5 at 10") << 5 << 10 << true;
        QTest::newRow("5 at 11") << 5 << 11 << false;
        QTest::newRow("7 at 56") << 7 << 56 << true;
        QTest::newRow("7 at 57") << 7 << 57 << false;
        QTest::newRow("7 at 0") << 7 << 0 << true;
        QTest::newRow("60 at 0") << 60 << 0 << true;
        QTest::newRow("60 at 30") << 60 << 30 << false;
    }
    void autoSaveMinutes()
    {
        QFETCH(int, interval);
        QFETCH(int, minute);
        QFETCH(bool, saved);
        ScriptedPrompt prompt;
        MainWindow window(nullptr, MainWindow::NoStartUpTimers);
        window.autoSaveClock = &fixedClock;
        window.autoSaveFileInterval = uint(interval);
        window.autoSaveTemplateInterval = 61; // templates never, except at minute 0
        fixedNow = QDateTime(QDate(2026, 3, 1), QTime(14, minute, 30));
        const QString a = createFile(dir + "/a.txt", "a");
        const QString b = createFile(dir + "/b.txt", "b");
        window.open(a);
        typeInto(window.activeMdiChild(), "A");
        window.open(b);
        typeInto(window.activeMdiChild(), "B");
        window.autoSaveCheck();
        // Only the active document is saved.
        QCOMPARE(fileBytes(b), saved ? QByteArray("Bb") : QByteArray("b"));
        QCOMPARE(fileBytes(a), QByteArray("a"));
        QVERIFY(prompt.texts.isEmpty());
        QVERIFY(prompt.dialogs.isEmpty());
    }

    void autoSaveLeavesAlone_data()
    {
        QTest::addColumn<QString>("state");
        QTest::newRow("unmodified") << "unmodified";
        QTest::newRow("waiting for the reload question") << "queued";
        QTest::newRow("read with undecodable bytes") << "lossy";
    }
    void autoSaveLeavesAlone()
    {
        QFETCH(QString, state);
        ScriptedPrompt prompt;
        MainWindow window(nullptr, MainWindow::NoStartUpTimers);
        window.autoSaveClock = &fixedClock;
        window.autoSaveFileInterval = 5;
        fixedNow = QDateTime(QDate(2026, 3, 1), QTime(9, 15));
        const QString a = createFile(dir + "/a.txt", state == "lossy" ? QByteArray("a\xFF") : QByteArray("a"));
        window.open(a);
        const QFileInfo before(a);
        if (state == "lossy") {
            QCOMPARE(prompt.texts.size(), 1); // the warning on opening
            prompt.texts.clear();
            typeInto(window.activeMdiChild(), "mine ");
        }
        if (state == "queued") {
            typeInto(window.activeMdiChild(), "mine ");
            createFile(a, "theirs");
            window.fileChanged(window.activeMdiChild()->currentFile()); // not active: queued
            QCOMPARE(window.changedFileQueue.size(), 1);
        }
        const QByteArray content = fileBytes(a);
        window.autoSaveCheck();
        QCOMPARE(fileBytes(a), content);
        QVERIFY(prompt.texts.isEmpty());
    }

    void autoSaveUntitledKeepsOneRecoveryFile()
    {
        ScriptedPrompt prompt;
        MainWindow window(nullptr, MainWindow::NoStartUpTimers);
        window.autoSaveClock = &fixedClock;
        window.autoSaveFileInterval = 5;
        fixedNow = QDateTime(QDate(2026, 3, 1), QTime(9, 15));
        window.newFile();
        MdiChild* child = window.activeMdiChild();
        window.autoSaveCheck(); // unmodified: nothing written
        QVERIFY(child->recoveryFileName().isEmpty());
        typeInto(child, "first");
        window.autoSaveCheck();
        const QString recovery = child->recoveryFileName();
        QVERIFY(QFile::exists(recovery));
        typeInto(child, " second");
        fixedNow = fixedNow.addSecs(300);
        window.autoSaveCheck();
        QCOMPARE(child->recoveryFileName(), recovery);
        QVERIFY(fileBytes(recovery).endsWith("first second"));
        QVERIFY(prompt.dialogs.isEmpty());
        // Closing the document (discarding it) removes its recovery copy.
        prompt.answers << ScriptedPrompt::Answer{2, false}; // "不保存"
        window.mdiArea->closeAllSubWindows();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(documents(window).isEmpty());
        QVERIFY(!QFile::exists(recovery));
    }

    // A modal dialog runs an event loop in which the auto-save clock goes on striking.
    // While one is open nothing is written: above all while the program asks whether to
    // save the very document or template, since "不保存" (or "确定" for the templates) must
    // leave the file as it was. After the dialog the next turn saves again.
    void autoSaveWaitsWhileAModalDialogIsOpen_data()
    {
        QTest::addColumn<QString>("dialog");
        QTest::addColumn<QString>("button"); // the button of the box that answers it
        QTest::newRow("close question") << "close" << "不保存";
        QTest::newRow("quit question") << "quit" << "不保存";
        QTest::newRow("quit, template question") << "quit template" << "确定";
        QTest::newRow("go to line") << "go to line" << "";
    }
    void autoSaveWaitsWhileAModalDialogIsOpen()
    {
        QFETCH(QString, dialog);
        QFETCH(QString, button);
        Settings().setValue(QStringLiteral("ShowExitWarning"), false);
        ModalResponder responder; // real boxes and dialogs, answered from the event loop
        MainWindow window(nullptr, MainWindow::NoStartUpTimers);
        autoSaveAtQuarterPast(window, 5);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));

        const bool withDocument = dialog != "quit template";
        const bool withTemplate = dialog == "quit template" || dialog == "go to line";
        const QByteArray document("saved\r\n");
        const QByteArray xml("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<template title=\"t\"><entry title=\"e\">"
                             "<content>mine</content></entry></template>\n");
        const QString a = createFile(dir + "/a.txt", document);
        QString t;
        if (withTemplate) {
            QCOMPARE(window.openTemplate(createFile(dir + "/t.tqw", xml)), 0);
            t = qobject_cast<TemplateDialog*>(window.mainTabWidget->currentWidget())->fileName();
            window.setTemplateModified(true, window.mainTabWidget->currentIndex());
        }
        if (withDocument) {
            window.open(a);
            MdiChild* child = window.activeMdiChild();
            child->moveCursor(QTextCursor::End);
            typeInto(child, "added line");
            QVERIFY(child->document()->isModified());
        }

        int ticks = 0;
        connect(window.autoSaveTimer, &QTimer::timeout, [&] { ++ticks; });
        QByteArray documentWhileAsked, templateWhileAsked;
        QString seen;
        responder.enqueue([&](QWidget* modal) {
            seen = modal->metaObject()->className();
            // Several turns of the clock while the dialog is open.
            window.autoSaveTimer->start(5);
            QTRY_VERIFY(ticks >= 5);
            window.autoSaveTimer->stop();
            documentWhileAsked = fileBytes(a);
            templateWhileAsked = t.isEmpty() ? xml : fileBytes(t);
            QAbstractButton* answer = nullptr;
            if (auto* box = qobject_cast<QMessageBox*>(modal))
                for (QAbstractButton* each : box->buttons())
                    if (each->text() == button)
                        answer = each;
            if (answer)
                answer->click();
            else
                ModalResponder::answer(modal);
        });
        if (dialog == "close")
            window.closeAct->trigger();
        else if (dialog == "go to line")
            window.gotoLineAct->trigger();
        else
            window.close();
        QCOMPARE(responder.count(), 1);
        QCOMPARE(seen, QString(dialog == "go to line" ? "QInputDialog" : "QMessageBox"));
        QVERIFY(ticks >= 5);
        QCOMPARE(documentWhileAsked, document);
        QCOMPARE(templateWhileAsked, xml);
        if (dialog == "go to line") {
            // The dialog is gone: the next turn saves both.
            window.autoSaveCheck();
            QVERIFY(fileBytes(a).endsWith("added line"));
            QVERIFY(fileBytes(t) != xml);
        } else {
            // Answered "不保存" (or "确定"): the document is closed, or the window with it,
            // and the files are what they were before the question.
            QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
            QVERIFY(documents(window).isEmpty());
            QCOMPARE(window.isVisible(), dialog == "close");
            if (dialog == "close")
                window.autoSaveCheck();
            QCOMPARE(fileBytes(a), document);
            if (withTemplate)
                QCOMPARE(fileBytes(t), xml);
        }
    }

    // While the reload question is on screen its box runs an event loop in which the
    // auto-save timer keeps firing: the other program's file must stay as it wrote it
    // until the user has answered, for documents and templates alike.
    void autoSaveWaitsForTheReloadAnswer_data()
    {
        QTest::addColumn<bool>("isTemplate");
        QTest::newRow("document") << false;
        QTest::newRow("template") << true;
    }
    void autoSaveWaitsForTheReloadAnswer()
    {
        QFETCH(bool, isTemplate);
        struct SpinningPrompt : ScriptedPrompt
        {
            std::function<void()> whileAsked;
            int exec(QMessageBox& box) override
            {
                if (whileAsked)
                    whileAsked();
                return ScriptedPrompt::exec(box);
            }
        } prompt;
        MainWindow window(nullptr, MainWindow::NoStartUpTimers);
        autoSaveAtQuarterPast(window, 5);
        window.show();
        QApplication::setActiveWindow(&window);
        QVERIFY(QTest::qWaitForWindowActive(&window));

        const auto templateOf = [](const char* content) -> QByteArray {
            return QByteArray("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<template title=\"t\"><entry title=\"e\">"
                              "<content>") + content + "</content></entry></template>\n";
        };
        QString path;
        if (isTemplate) {
            QCOMPARE(window.openTemplate(createFile(dir + "/t.tqw", templateOf("mine"))), 0);
            path = qobject_cast<TemplateDialog*>(window.mainTabWidget->currentWidget())->fileName();
            window.setTemplateModified(true, window.mainTabWidget->currentIndex());
        } else {
            window.open(createFile(dir + "/a.txt", "a"));
            path = window.activeMdiChild()->currentFile();
            typeInto(window.activeMdiChild(), "mine ");
        }
        fileSystemWatcher->removePath(path);
        const QByteArray theirs = isTemplate ? templateOf("theirs") : QByteArray("theirs");
        createFile(path, theirs);

        int ticks = 0;
        QByteArray whileAsked;
        prompt.whileAsked = [&] {
            // Several auto-save intervals pass while the box is open.
            connect(window.autoSaveTimer, &QTimer::timeout, [&] { ++ticks; });
            window.autoSaveTimer->start(5);
            QTRY_VERIFY(ticks >= 5);
            whileAsked = fileBytes(path);
        };
        prompt.answers << ScriptedPrompt::Answer{QMessageBox::Yes, false};
        window.fileChanged(path);
        window.autoSaveTimer->stop();
        QCOMPARE(prompt.texts.size(), 1);
        QCOMPARE(whileAsked, theirs);
        QCOMPARE(fileBytes(path), theirs);
        // Reloaded: the other program's text is what the user now sees.
        const QString shown = isTemplate
            ? qobject_cast<TemplateDialog*>(window.mainTabWidget->currentWidget())->getListWidget()->item(0)->text()
            : window.activeMdiChild()->toPlainText();
        QCOMPARE(shown, QString("theirs"));
    }
};

TQ_TEST_MAIN(TestAutoSave)
#include "tst_autosave.moc"
