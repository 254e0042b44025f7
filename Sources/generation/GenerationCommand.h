#pragma once
// The generation commands as data: every command that fixes a generation
// template, with the template it fixes, the generation type it passes on and
// what follows (an input dialog, the poem dialog, a run at once, or opening
// the template in a tab). The main window's slots look their command up here,
// and the data checks walk the same table.

#include <QString>
#include <QVector>

struct GenerationCommand
{
    enum Kind {
        Genre,         // autoGenGeneric(type): story input dialog
        Story,         // a story slot: story input dialog of type (0, 53 for war)
        Advertisement, // advertisement (type 2) or advertorial (type 3) input dialog
        AtOnce,        // news, official documents, love letter: generates without a dialog
        Poem,          // poem settings dialog; the rhyme picks the template
        Design,        // opens the template in a template tab
    };

    const char* text;         // the action's untranslated text
    const char* templatePath; // relative to the program folder
    int type;                 // generation type code
    Kind kind;

    QString path() const { return QString::fromUtf8(templatePath); }

    static const QVector<GenerationCommand>& all();
    // The command of an action text (untranslated), or null.
    static const GenerationCommand* ofText(const QString& text);
    // The template of a genre code (4 to 29, 32 to 52), empty for any other code.
    static QString genreTemplate(int type);
};
