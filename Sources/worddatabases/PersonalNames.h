#pragma once
// People's names, as the black-list check reads them: each name is one piece,
// so the last character of a name is not taken for the start of a wrong form
// (美玲|听完, not 美|玲听). A name is
// - a surname of the 姓氏 table after 小, 老 or 阿 (小侯, 老陶);
// - a given name of two characters, put together as the name generator does:
//   a first character and a second one of the same name template (美玲, 小莹);
// - a surname of 姓氏 followed by such a given name, or by one second
//   character, the generator's given name of one character (张美玲, 陈莹).
// Immutable once loaded.

#include <QSet>
#include <QString>
#include <QVector>

#include "WordLookupTable.h"

class PersonalNames
{
public:
    PersonalNames() = default;
    // Surnames from the given table (may be null: no surnames); given-name
    // characters from the name generator's templates (男名 and 女名) in the
    // program folder, the current folder. A template that cannot be read
    // adds nothing.
    static PersonalNames load(WordLookupTable::Pointer surnames);

    // Is text[0 .. length - 1] one of the names above?
    bool isName(const QChar* text, int length) const;
    // Is text[0 .. length - 1] a surname of the table (欧阳, 亓官)?
    bool isSurname(const QChar* text, int length) const;

private:
    struct GivenNames
    {
        QSet<QChar> first;
        QSet<QChar> second;
    };

    // Reads the given-name characters of one name template (plain XML or its
    // Base64 form): the contents of its second and third entries.
    bool addTemplate(const QByteArray& data);
    bool isGivenName(const QChar* text, int length) const;

    WordLookupTable::Pointer m_surnames;
    QVector<GivenNames> m_given;
};
