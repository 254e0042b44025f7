#include "PersonalNames.h"

#include <QDebug>
#include <QFile>
#include <QXmlStreamReader>

namespace {

// The name generator's templates, relative to the program folder.
const char* const kNameTemplates[] = {"Templates/男名.tqw", "Templates/女名.tqw"};
constexpr int kLongestName = 4;

// 小侯, 老陶, 阿乔: what a surname takes in front when people are close.
bool isFamiliarPrefix(QChar c)
{
    return c == QChar(0x5C0F) || c == QChar(0x8001) || c == QChar(0x963F); // 小 老 阿
}

// The one-character contents of every entry of a template, entry by entry in
// document order. False when the data is no well-formed template; a document
// type declaration is refused, so no entity can blow the text up.
bool readEntries(const QByteArray& data, QVector<QSet<QChar>>& entries)
{
    QXmlStreamReader reader(data);
    int entry = -1;
    while (!reader.atEnd()) {
        const auto token = reader.readNext();
        if (token == QXmlStreamReader::DTD)
            return false;
        if (token != QXmlStreamReader::StartElement)
            continue;
        if (reader.name() == QLatin1String("entry")) {
            entries.append(QSet<QChar>());
            entry = entries.size() - 1;
        } else if (reader.name() == QLatin1String("content") && entry >= 0) {
            const QString text = reader.readElementText(QXmlStreamReader::SkipChildElements).trimmed();
            if (text.size() == 1)
                entries[entry].insert(text.at(0));
        }
    }
    return !reader.hasError() && !entries.isEmpty();
}

} // namespace

PersonalNames PersonalNames::load(WordLookupTable::Pointer surnames)
{
    qDebug() << Q_FUNC_INFO << ", surnames =" << (surnames ? surnames->rowCount() : 0);
    PersonalNames names;
    names.m_surnames = std::move(surnames);
    for (const char* path : kNameTemplates) {
        QFile file(QString::fromUtf8(path));
        if (!file.open(QIODevice::ReadOnly) || !names.addTemplate(file.readAll()))
            qWarning().noquote() << "No given names read from" << file.fileName();
    }
    return names;
}

bool PersonalNames::addTemplate(const QByteArray& data)
{
    qDebug() << Q_FUNC_INFO << ", size =" << data.size();
    QVector<QSet<QChar>> entries;
    // A template saved by the program may be in its Base64 form.
    if (!readEntries(data, entries)) {
        entries.clear();
        if (!readEntries(QByteArray::fromBase64(data), entries))
            return false;
    }
    // The first entry holds the surnames, the next two the given name's first
    // and second characters.
    if (entries.size() < 3 || entries.at(1).isEmpty() || entries.at(2).isEmpty())
        return false;
    m_given.append(GivenNames{entries.at(1), entries.at(2)});
    return true;
}

bool PersonalNames::isSurname(const QChar* text, int length) const
{
    return m_surnames && m_surnames->contains(QString::fromRawData(text, length));
}

bool PersonalNames::isGivenName(const QChar* text, int length) const
{
    for (const GivenNames& given : m_given) {
        if (length == 1 ? given.second.contains(text[0])
                        : length == 2 && given.first.contains(text[0]) && given.second.contains(text[1]))
            return true;
    }
    return false;
}

bool PersonalNames::isName(const QChar* text, int length) const
{
    // Hot path of the black-list check: no logging.
    if (length < 2 || length > kLongestName)
        return false;
    if (length == 2 && ((isFamiliarPrefix(text[0]) && isSurname(text + 1, 1)) || isGivenName(text, 2)))
        return true;
    // A surname of one or two characters, then a given name of one or two.
    for (int surname = 1; surname <= 2 && surname < length; ++surname) {
        if (length - surname <= 2 && isSurname(text, surname) && isGivenName(text + surname, length - surname))
            return true;
    }
    return false;
}
