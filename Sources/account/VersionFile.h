#pragma once
// The version file beside the program: line 1 the program version (free text),
// line 2 the release date, whose first ten characters read as "yyyy-MM-dd".
// Start-up, the about box, the system report and the update check (for the
// local file and the server's copy alike) all read it with readVersionFile.

#include <QString>

constexpr const char VERSION_FILE_NAME[] = "Version_Tarnquill_Veldmark.ini";

struct VersionInfo
{
    bool found = false;
    QString version; // line 1 as read, line end kept
    QString date;    // line 2 as read, line end kept; empty when there is no line 2
};

// Reads the first two lines of the file, decoded as UTF-8; each is cut at its
// first NUL byte and at 1 KiB, and keeps its line end (LF or CR LF), so callers
// trim before they show or compare. found is false when the file cannot be opened.
VersionInfo readVersionFile(const QString& fileName);
