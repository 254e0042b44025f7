#pragma once
// The program's own log files as a document shows them (in super-user mode): the
// test for a log of the program's line layout and the coloured HTML view of it.

#include <QString>

class LogFileView
{
public:
    // True in super-user mode when text starts with a log line of the program's layout.
    static bool isTqLogFile(const QString& text);
    // The log text as HTML: each level tag coloured, everything else escaped.
    static QString str2LogStr(const QString& text);
};
