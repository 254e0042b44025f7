#pragma once
// The base of the template command tests: fresh settings and start-up state,
// a work folder of the test's own as the current folder, a scripted prompt and
// a main window without start-up timers.

#include <QMessageBox>
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

    // A template file of these entries (contents() and entry() write them).
    static void writeTemplate(const QString& path, const QString& body)
    {
        writeBytes(path, ("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<template title=\"t\">" + body
                          + "</template>\n")
                             .toUtf8());
    }
    static QString contents(const QStringList& texts)
    {
        QString body;
        for (const QString& text : texts)
            body += "<content>" + text + "</content>";
        return body;
    }
    static QString entry(const QString& title, const QStringList& texts)
    {
        return "<entry title=\"" + title + "\">" + contents(texts) + "</entry>";
    }
    // Opens Templates/t.tqw written with body; its tab, or null.
    TemplateDialog* open(const QString& body)
    {
        writeTemplate("Templates/t.tqw", body);
        return m_window->openTemplate("Templates/t.tqw") == 0 ? current() : nullptr;
    }
    // The next question box is answered Yes.
    void yes() { m_prompt->answers << ScriptedPrompt::Answer{QMessageBox::Yes, false}; }
    bool marked(const TemplateDialog* tab) const
    {
        return m_window->mainTabWidget->tabText(m_window->mainTabWidget->indexOf(const_cast<TemplateDialog*>(tab)))
            .startsWith('*');
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
