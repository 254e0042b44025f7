#pragma once
// The help menu's information views and links: the about and credits boxes,
// the online help page, the three prepared mails and the release notes.

#include <QCoreApplication>
#include <QString>
#include <QUrl>

class QMessageBox;
class QWidget;

constexpr const char RELEASE_NOTES_FILE_NAME[] = "ReleaseNotes_Tarnquill_Veldmark.txt";

class HelpCommands
{
    Q_DECLARE_TR_FUNCTIONS(HelpCommands)
public:
    // Shows the about box (object name "About") over the parent without
    // waiting; the box deletes itself when closed. Version and date are trimmed.
    static QMessageBox* showAbout(QWidget* parent, const QString& version, const QString& date);
    // Shows the credits box (object name "Credits") the same way.
    static QMessageBox* showCredits(QWidget* parent);

    // The online help page of the maker's site.
    static QUrl helpUrl();
    // Asks first; true when the user agreed to write a bug report.
    static bool confirmBugReport(QWidget* parent);
    // The prepared mails; subjects and bodies are percent-encoded.
    static QUrl bugReportUrl();
    static QUrl userFeedbackUrl();
    static QUrl recommendationUrl();

    // Reads the release notes: the newest section (every line up to the first
    // line beginning "----", line ends kept) and the whole file. False when the
    // file cannot be opened.
    static bool readReleaseNotes(const QString& fileName, QString& newest, QString& whole);
    // Shows the newest section of the release notes beside the program, with
    // the whole file as the box's detail text; only logs when the file is missing.
    static void showReleaseNotes();
};
