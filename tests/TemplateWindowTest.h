#pragma once
// The base of the template command tests: fresh settings and start-up state,
// a work folder of the test's own as the current folder, a scripted prompt and
// a main window without start-up timers.

#include <QTabWidget>

#include <memory>

#include "ListWidget.h"
#include "MainWindow.h"
#include "SettingsStore.h"
#include "StartUp.h"
#include "TemplateDialog.h"
#include "TestSupport.h"

class TemplateWindowTest : public QObject
{
protected:
    // For init(): false when the work folder cannot be made.
    bool startWindow()
    {
        Settings().clear();
        resetStartUpState();
        templateModified = false;
        if (!makeTestWorkFolder(m_folder))
            return false;
        m_current.reset(new CurrentDir(m_folder));
        m_prompt.reset(new ScriptedPrompt);
        newWindow();
        return true;
    }
    void newWindow()
    {
        m_window.reset();
        m_window.reset(new MainWindow(nullptr, MainWindow::NoStartUpTimers));
    }
    void stopWindow()
    {
        m_window.reset();
        m_prompt.reset();
        m_current.reset();
    }

    TemplateDialog* current() const { return qobject_cast<TemplateDialog*>(m_window->mainTabWidget->currentWidget()); }
    // The texts of a tab's contents list.
    static QStringList rows(const TemplateDialog* tab)
    {
        QStringList texts;
        for (int i = 0; tab && i < tab->getListWidget()->count(); ++i)
            texts << tab->getListWidget()->item(i)->text();
        return texts;
    }

    QString m_folder;
    std::unique_ptr<CurrentDir> m_current;
    std::unique_ptr<ScriptedPrompt> m_prompt;
    std::unique_ptr<MainWindow> m_window;
};
