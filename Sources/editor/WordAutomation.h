#pragma once
// The word-processor session behind the ".doc"/".docx" export. The export drives
// it with the same seven steps whatever does the work: start the application,
// reach its documents, open the HTML, take the active document, save it as a
// Word file, close it and quit. The default backend converts with LibreOffice.

#include <QString>

#include <functional>
#include <memory>

class WordAutomation
{
public:
    // Word's own numbers for the file formats passed to saveAs.
    enum Format {
        FormatDocument = 0,    // ".doc"
        FormatXmlDocument = 16 // ".docx"
    };

    virtual ~WordAutomation();

    // Starts the application; false when there is none to start.
    virtual bool start() = 0;
    // Reaches the application's document collection; false when it is missing.
    virtual bool documents() = 0;
    virtual void open(const QString& fileName) = 0;
    // Takes the document just opened; false when there is none.
    virtual bool activeDocument() = 0;
    // Saves the active document; true only when fileName now holds the new file.
    virtual bool saveAs(const QString& fileName, int format, bool lockComments, const QString& password,
                        bool addToRecentFiles, const QString& writePassword, bool readOnlyRecommended) = 0;
    virtual void closeActive(bool saveChanges) = 0;
    virtual void quit() = 0;
    // Why the last step failed, for the log.
    virtual QString errorString() const { return QString(); }

    // A new session of the configured backend.
    static std::unique_ptr<WordAutomation> create();
    using Factory = std::function<std::unique_ptr<WordAutomation>()>;
    // Replaces the backend (an empty function restores LibreOffice).
    static void setFactory(const Factory& factory);
};
