#pragma once
// Word export through LibreOffice: "soffice --headless --convert-to" with the
// Writer HTML import forced and a private profile of this process, so it works
// while the user has LibreOffice open. The conversion is given a time limit and
// its output is checked before the target is replaced.

#include <QString>
#include <QStringList>

#include "WordAutomation.h"

class LibreOfficeWordAutomation : public WordAutomation
{
public:
    LibreOfficeWordAutomation();
    ~LibreOfficeWordAutomation() override;

    bool start() override;
    bool documents() override;
    void open(const QString& fileName) override;
    bool activeDocument() override;
    bool saveAs(const QString& fileName, int format, bool lockComments, const QString& password,
                bool addToRecentFiles, const QString& writePassword, bool readOnlyRecommended) override;
    void closeActive(bool saveChanges) override;
    void quit() override;
    QString errorString() const override { return m_error; }

    // "soffice" or "libreoffice" from PATH, or empty.
    static QString findProgram();
    // The command line converting input into outputFolder in the given Word format.
    static QStringList conversionArguments(const QString& profileFolder, int format, const QString& input,
                                           const QString& outputFolder);
    // The private profile folder of this process (made on first use).
    static QString profileFolder();
    // Milliseconds a conversion may take before it is killed.
    static int timeout();
    static void setTimeout(int milliseconds);

private:
    QString m_program;
    QString m_input;
    bool m_documentOpen = false;
    QString m_error;
};
