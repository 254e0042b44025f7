#pragma once
// Part-of-speech flags of the word segmentation tool and the texts offered for
// them, read once at start-up from "./Utilities/JieBa/JieBaFlag.ini".
//
// The file is UTF-8 (a byte-order mark is ignored), one "flag = description"
// per line; "#" starts a comment. Every other kind of line is logged and skipped.

#include <QIODevice>
#include <QString>
#include <QStringList>

// Parallel lists: partOfSpeechItems[i] is the text offered for the flag
// partOfSpeechFlags[i] ("flag description"). The items are unique.
extern QStringList partOfSpeechFlags;
extern QStringList partOfSpeechItems;

// Appends the entries of "./Utilities/JieBa/JieBaFlag.ini" to the two lists;
// false, with a log line, when the file cannot be opened.
bool parseJieBaFlagConfigFile();

class PartOfSpeechFlags
{
public:
    static QString configFileName() { return QStringLiteral("./Utilities/JieBa/JieBaFlag.ini"); }

    // Reads the entries of the open device and appends them to flags and items.
    static void parse(QIODevice& device, QStringList& flags, QStringList& items);
    // Opens fileName and parses it; false when it cannot be opened.
    static bool parseFile(const QString& fileName, QStringList& flags, QStringList& items);

    // The text offered for a flag and its description.
    static QString itemText(const QString& flag, const QString& description);
    // The flag of an offered text in the process-wide lists; *found (may be null)
    // tells whether the text is offered at all (a flag may be empty).
    static QString flagOfItem(const QString& item, bool* found = nullptr);
};
