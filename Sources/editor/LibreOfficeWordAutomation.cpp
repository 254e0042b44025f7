#include "LibreOfficeWordAutomation.h"

#include <QDebug>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QScopeGuard>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QUrl>

#include <memory>

#include "SafeSave.h"

namespace {

int conversionTimeout = 60000;

std::unique_ptr<QTemporaryDir>& sharedProfile()
{
    // One profile for the process: a fresh profile costs LibreOffice seconds of
    // set-up, and exports run one at a time.
    static std::unique_ptr<QTemporaryDir> profile;
    return profile;
}

// Word files begin with a ZIP header (".docx") or the OLE compound-file header (".doc").
bool looksLikeWordFile(const QString& fileName, int format)
{
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    const QByteArray head = file.read(4);
    if (format == WordAutomation::FormatDocument)
        return head == QByteArray("\xD0\xCF\x11\xE0", 4);
    return head == QByteArray("PK\x03\x04", 4);
}

} // namespace

LibreOfficeWordAutomation::LibreOfficeWordAutomation()
{
    qDebug() << Q_FUNC_INFO;
}

LibreOfficeWordAutomation::~LibreOfficeWordAutomation()
{
    qDebug() << Q_FUNC_INFO;
}

QString LibreOfficeWordAutomation::findProgram()
{
    qDebug() << Q_FUNC_INFO;
    for (const char* name : {"soffice", "libreoffice"}) {
        const QString program = QStandardPaths::findExecutable(QString::fromLatin1(name));
        if (!program.isEmpty())
            return program;
    }
    return QString();
}

QStringList LibreOfficeWordAutomation::conversionArguments(const QString& profileFolder, int format,
                                                           const QString& input, const QString& outputFolder)
{
    qDebug() << Q_FUNC_INFO << ", format =" << format << ", input =" << input;
    const QString target = format == FormatDocument ? QStringLiteral("doc:MS Word 97")
                                                    : QStringLiteral("docx:MS Word 2007 XML");
    // Without the forced import filter HTML opens in Writer/Web, whose export filters differ.
    return {QStringLiteral("--headless"),
            QStringLiteral("--norestore"),
            QStringLiteral("--nologo"),
            QStringLiteral("--nolockcheck"),
            QStringLiteral("-env:UserInstallation=") + QUrl::fromLocalFile(profileFolder).toString(QUrl::FullyEncoded),
            QStringLiteral("--infilter=HTML (StarWriter)"),
            QStringLiteral("--convert-to"),
            target,
            QStringLiteral("--outdir"),
            outputFolder,
            input};
}

QString LibreOfficeWordAutomation::profileFolder()
{
    qDebug() << Q_FUNC_INFO;
    std::unique_ptr<QTemporaryDir>& profile = sharedProfile();
    if (!profile || !profile->isValid())
        profile = std::make_unique<QTemporaryDir>(QDir::tempPath() + QStringLiteral("/tarnquill-office-XXXXXX"));
    return profile->isValid() ? profile->path() : QString();
}

int LibreOfficeWordAutomation::timeout()
{
    return conversionTimeout;
}

void LibreOfficeWordAutomation::setTimeout(int milliseconds)
{
    qDebug() << Q_FUNC_INFO << ", milliseconds =" << milliseconds;
    conversionTimeout = milliseconds;
}

bool LibreOfficeWordAutomation::start()
{
    qDebug() << Q_FUNC_INFO;
    m_program = findProgram();
    if (m_program.isEmpty()) {
        m_error = QStringLiteral("LibreOffice (soffice) not found on PATH");
        qWarning() << Q_FUNC_INFO << m_error;
        return false;
    }
    return true;
}

bool LibreOfficeWordAutomation::documents()
{
    qDebug() << Q_FUNC_INFO;
    if (m_program.isEmpty() || profileFolder().isEmpty()) {
        m_error = QStringLiteral("no private LibreOffice profile folder");
        qWarning() << Q_FUNC_INFO << m_error;
        return false;
    }
    return true;
}

void LibreOfficeWordAutomation::open(const QString& fileName)
{
    qDebug() << Q_FUNC_INFO << ", fileName =" << fileName;
    m_input = fileName;
    m_documentOpen = QFileInfo(fileName).isFile();
}

bool LibreOfficeWordAutomation::activeDocument()
{
    qDebug() << Q_FUNC_INFO << ", open =" << m_documentOpen;
    if (!m_documentOpen)
        m_error = QStringLiteral("the HTML to convert is missing: ") + m_input;
    return m_documentOpen;
}

bool LibreOfficeWordAutomation::saveAs(const QString& fileName, int format, bool lockComments,
                                       const QString& password, bool addToRecentFiles,
                                       const QString& writePassword, bool readOnlyRecommended)
{
    qDebug() << Q_FUNC_INFO << ", fileName =" << fileName << ", format =" << format
             << ", lockComments =" << lockComments << ", password set =" << !password.isEmpty()
             << ", addToRecentFiles =" << addToRecentFiles << ", writePassword set =" << !writePassword.isEmpty()
             << ", readOnlyRecommended =" << readOnlyRecommended;
    if (!m_documentOpen) {
        m_error = QStringLiteral("no document to save");
        return false;
    }
    // LibreOffice writes the document's relative links relative to where it
    // writes the file, so it writes into the target's folder: there they
    // point where they pointed in the document. The file is named after the
    // temporary HTML, which no file of the user's is; it goes on every path.
    const QString outputFolder = QFileInfo(fileName).absolutePath();
    const QString converted = outputFolder + QLatin1Char('/') + QFileInfo(m_input).completeBaseName()
        + (format == FormatDocument ? QStringLiteral(".doc") : QStringLiteral(".docx"));
    if (QFileInfo::exists(converted)) {
        m_error = QStringLiteral("a file is in the way of the conversion: ") + converted;
        qWarning() << Q_FUNC_INFO << m_error;
        return false;
    }
    const auto removeConverted = qScopeGuard([&converted] { QFile::remove(converted); });

    QProcess process;
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(m_program, conversionArguments(profileFolder(), format, m_input, outputFolder));
    if (!process.waitForStarted(conversionTimeout)) {
        m_error = QStringLiteral("cannot start ") + m_program + QStringLiteral(": ") + process.errorString();
        qWarning() << Q_FUNC_INFO << m_error;
        return false;
    }
    if (!process.waitForFinished(conversionTimeout)) {
        process.kill();
        process.waitForFinished(5000);
        m_error = QStringLiteral("conversion took longer than %1 ms and was stopped").arg(conversionTimeout);
        qWarning() << Q_FUNC_INFO << m_error;
        return false;
    }
    const QString output = QString::fromLocal8Bit(process.readAll()).trimmed();
    qDebug() << Q_FUNC_INFO << "exit code =" << process.exitCode() << ", output =" << output;

    if (process.exitStatus() != QProcess::NormalExit || !looksLikeWordFile(converted, format)) {
        m_error = QStringLiteral("LibreOffice wrote no Word file (exit code %1): %2").arg(process.exitCode()).arg(output);
        qWarning() << Q_FUNC_INFO << m_error;
        return false;
    }
    QFile convertedFile(converted);
    if (!convertedFile.open(QIODevice::ReadOnly)) {
        m_error = convertedFile.errorString();
        return false;
    }
    QString saveError;
    if (!SafeSave::write(fileName, convertedFile.readAll(), false, &saveError)) {
        m_error = saveError;
        qWarning() << Q_FUNC_INFO << m_error;
        return false;
    }
    return true;
}

void LibreOfficeWordAutomation::closeActive(bool saveChanges)
{
    qDebug() << Q_FUNC_INFO << ", saveChanges =" << saveChanges;
    m_documentOpen = false;
    m_input.clear();
}

void LibreOfficeWordAutomation::quit()
{
    qDebug() << Q_FUNC_INFO;
    // Each conversion is its own process, which has ended by now.
    m_program.clear();
}
