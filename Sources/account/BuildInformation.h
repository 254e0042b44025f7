#pragma once
// Five facts about the build, read from "BuildInfo.ini" beside the program
// (written when the build is configured): "key=value" lines with the keys below,
// "#" comments and blank lines; keys compare case-sensitively and a later line
// wins over an earlier one with the same key.

#include <QString>

constexpr const char BUILD_INFORMATION_FILE_NAME[] = "BuildInfo.ini";

struct BuildInformation
{
    QString buildTimeStamp; // "BuildTimeStamp"
    QString compilerInfo;   // "CompilerInfo"
    QString hwInfo;         // "HWInfo"
    QString osInfo;         // "OSInfo"
    QString buildHash;      // "BuildHash"
};

// Reads BuildInfo.ini from the current folder into the record; a line that is
// not exactly one known key, "=" and a value is logged and skipped. False (with
// a warning) when the file cannot be opened.
bool getBuildInformation(BuildInformation& information);
