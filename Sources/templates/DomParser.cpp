#include "DomParser.h"

#include <QApplication>
#include <QDebug>
#include <QDomProcessingInstruction>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QLabel>
#include <QProgressBar>
#include <QProgressDialog>
#include <QPushButton>
#include <QTreeWidgetItem>
#include <QVBoxLayout>
#include <QXmlStreamReader>

#include <algorithm>
#include <memory>

#include "RandomSource.h"

namespace {

const QString kTemplateTag = QStringLiteral("template");
const QString kEntryTag = QStringLiteral("entry");
const QString kContentTag = QStringLiteral("content");
const QString kTitleAttribute = QStringLiteral("title");

struct ParsedTemplate
{
    QDomDocument document;
    QVector<QDomElement> entries;
    QVector<int> entryContentCounts;
};

struct ParseFailure
{
    qint64 line = 0;
    qint64 column = 0;
    QString message;
    // The text is well-formed as far as it went but breaks one of our own
    // limits; it is XML, so decoding it as Base64 makes no sense.
    bool limit = false;
};

bool isXmlWhitespace(const QString& text)
{
    for (const QChar c : text) {
        const ushort u = c.unicode();
        if (u != ' ' && u != '\t' && u != '\n' && u != '\r')
            return false;
    }
    return true;
}

// Builds the DOM straight from a stream reader: one pass, well-formedness as
// QXmlStreamReader judges it, whitespace-only text dropped, no namespace
// processing. Depth is bounded because the DOM (and everything that walks it)
// recurses; entity declarations are refused because the reader expands every
// reference in full, so a few kilobytes could expand to gigabytes.
bool parseTemplateXml(const QByteArray& data, ParsedTemplate& out, ParseFailure& failure)
{
    QXmlStreamReader reader(data);
    reader.setNamespaceProcessing(false);

    QDomDocument document;
    QVector<QDomElement> stack;
    stack.reserve(64);
    QVector<int> entryOfLevel;         // entry index of each open element, -1 for others
    QVector<int> contentsBeforeEntry;  // content count when each open entry started
    QVector<QDomElement> entries;
    QVector<int> entryContentCounts;
    int contentsSeen = 0;
    QString pendingText;
    bool limitHit = false;

    auto appendNode = [&](const QDomNode& node) {
        if (stack.isEmpty())
            document.appendChild(node);
        else
            stack.last().appendChild(node);
    };
    auto flushText = [&]() {
        if (pendingText.isEmpty())
            return;
        if (!stack.isEmpty() && !isXmlWhitespace(pendingText))
            stack.last().appendChild(document.createTextNode(pendingText));
        pendingText.clear();
    };
    auto refuse = [&](const QString& message) {
        limitHit = true;
        reader.raiseError(message);
    };

    while (!reader.atEnd()) {
        switch (reader.readNext()) {
        case QXmlStreamReader::StartDocument:
            if (!reader.documentVersion().isEmpty()) {
                QString declaration = QStringLiteral("version=\"%1\"").arg(reader.documentVersion().toString());
                if (!reader.documentEncoding().isEmpty())
                    declaration += QStringLiteral(" encoding=\"%1\"").arg(reader.documentEncoding().toString());
                if (reader.isStandaloneDocument())
                    declaration += QStringLiteral(" standalone=\"yes\"");
                document.appendChild(document.createProcessingInstruction(QStringLiteral("xml"), declaration));
            }
            break;
        case QXmlStreamReader::DTD:
            if (!reader.entityDeclarations().isEmpty())
                refuse(QStringLiteral("entity declarations are not allowed in a template"));
            break;
        case QXmlStreamReader::StartElement: {
            flushText();
            if (stack.size() >= DomParser::MaximumNestingDepth) {
                refuse(QStringLiteral("elements nested deeper than %1 levels").arg(DomParser::MaximumNestingDepth));
                break;
            }
            const QString name = reader.qualifiedName().toString();
            QDomElement element = document.createElement(name);
            const QXmlStreamAttributes attributes = reader.attributes();
            for (const QXmlStreamAttribute& attribute : attributes)
                element.setAttribute(attribute.qualifiedName().toString(), attribute.value().toString());
            appendNode(element);
            stack.append(element);
            if (name == kEntryTag) {
                entryOfLevel.append(entries.size());
                contentsBeforeEntry.append(contentsSeen);
                entries.append(element);
                entryContentCounts.append(0);
            } else {
                entryOfLevel.append(-1);
                if (name == kContentTag)
                    ++contentsSeen;
            }
            break;
        }
        case QXmlStreamReader::EndElement: {
            flushText();
            stack.removeLast();
            const int entry = entryOfLevel.takeLast();
            if (entry >= 0)
                entryContentCounts[entry] = contentsSeen - contentsBeforeEntry.takeLast();
            break;
        }
        case QXmlStreamReader::Characters:
            if (reader.isCDATA()) {
                flushText();
                if (!stack.isEmpty())
                    stack.last().appendChild(document.createCDATASection(reader.text().toString()));
            } else {
                pendingText += reader.text();
            }
            break;
        case QXmlStreamReader::Comment:
            flushText();
            appendNode(document.createComment(reader.text().toString()));
            break;
        case QXmlStreamReader::ProcessingInstruction:
            flushText();
            appendNode(document.createProcessingInstruction(reader.processingInstructionTarget().toString(),
                                                            reader.processingInstructionData().toString()));
            break;
        default:
            // Unresolved entity references and the end of the document add nothing.
            break;
        }
    }

    if (reader.hasError()) {
        failure.line = reader.lineNumber();
        failure.column = reader.columnNumber() + 1;
        failure.message = reader.errorString();
        failure.limit = limitHit;
        return false;
    }
    out.document = document;
    out.entries = entries;
    out.entryContentCounts = entryContentCounts;
    return true;
}

} // namespace

DomParser::DomParser()
{
    qDebug() << Q_FUNC_INFO;
}

DomParser::DomParser(QTreeWidget* tree)
    : m_tree(tree)
{
    qDebug() << Q_FUNC_INFO << ", tree =" << tree;
}

DomParser::~DomParser()
{
    qDebug() << Q_FUNC_INFO;
    QObject::disconnect(m_resetConnection);
    QObject::disconnect(m_removeConnection);
}

const QRegularExpression& DomParser::atomMarkerExpression()
{
    qDebug() << Q_FUNC_INFO;
    // QRegularExpression needs \x{...}: "\x4e00" would mean "N00" and nothing Chinese would match.
    static const QRegularExpression expression(QStringLiteral("\\[[A-Z|a-z|0-9|\\x{4e00}-\\x{9fa5}]+\\]"));
    return expression;
}

bool DomParser::readFile(const QString& fileName)
{
    qDebug() << Q_FUNC_INFO << ", fileName =" << fileName;

    QString path;
    for (const QString& candidate : {fileName, fileName.toLower(), fileName.toUpper()}) {
        if (!candidate.isEmpty() && QFileInfo(candidate).isFile()) {
            path = candidate;
            break;
        }
    }
    if (path.isEmpty()) {
        m_errorString = fileName + QStringLiteral(" does not exist.");
        qCritical().noquote() << m_errorString;
        return false;
    }

    // Read as bytes: the XML parser normalises line ends itself, and dropping
    // CR bytes (text mode) would corrupt any file in a 16-bit encoding.
    QFile file(path);
    QByteArray data;
    if (file.open(QIODevice::ReadOnly))
        data = file.readAll();
    if (!file.isOpen() || file.error() != QFileDevice::NoError) {
        m_errorString = QStringLiteral("Error: Cannot read file ") + path + QStringLiteral(": ") + file.errorString();
        qCritical().noquote() << m_errorString;
        return false;
    }
    file.close();
    return readData(data);
}

bool DomParser::readData(const QByteArray& data)
{
    qDebug() << Q_FUNC_INFO << ", size =" << data.size();

    ParsedTemplate parsed;
    ParseFailure failure;
    bool loaded = parseTemplateXml(data, parsed, failure);
    if (!loaded && !failure.limit) {
        // Not XML: the Base64 form. Characters outside the alphabet (line
        // breaks among them) are skipped, and the error, if any, then refers
        // to the decoded text.
        failure = ParseFailure();
        loaded = parseTemplateXml(QByteArray::fromBase64(data), parsed, failure);
    }
    if (!loaded) {
        m_errorString = QStringLiteral("Error: Parse error at line %1, column %2: %3")
                            .arg(failure.line)
                            .arg(failure.column)
                            .arg(failure.message);
        qCritical().noquote() << m_errorString;
        return false;
    }

    m_document = parsed.document;
    m_entries = parsed.entries;
    m_entryContentCounts = parsed.entryContentCounts;
    m_entryChildren.clear();
    m_drawsPrepared = false;
    m_entryCursor = 0;
    m_errorString.clear();
    return true;
}

bool DomParser::buildTree()
{
    qDebug() << Q_FUNC_INFO;

    const QDomElement root = m_document.documentElement();
    if (root.tagName() != kTemplateTag) {
        qCritical() << "Error: Not a template file";
        return false;
    }
    const QString previousTitle = title;
    const QString previousHeader = header;
    title = root.attribute(kTitleAttribute);
    m_entryCursor = 0;
    m_treeLost = false;
    m_cancelled = false;
    QObject::disconnect(m_resetConnection);
    QObject::disconnect(m_removeConnection);
    if (m_tree) {
        m_tree->clear();
        // Pending events run while large entries are parsed; if something
        // removes rows meanwhile, the items in hand may be deleted.
        QAbstractItemModel* model = m_tree->model();
        m_resetConnection = QObject::connect(model, &QAbstractItemModel::modelAboutToBeReset,
                                             [this]() { m_treeLost = true; });
        m_removeConnection = QObject::connect(model, &QAbstractItemModel::rowsAboutToBeRemoved,
                                              [this]() { m_treeLost = true; });
    }
    parseChildren(root);
    QObject::disconnect(m_resetConnection);
    QObject::disconnect(m_removeConnection);
    if (m_cancelled) {
        // Nothing half-built is shown.
        title = previousTitle;
        header = previousHeader;
        if (m_tree)
            m_tree->clear();
        m_errorString = tr("模板解析已取消");
        qWarning().noquote() << m_errorString;
        return false;
    }
    // Hidden once the items are in place: hiding rows while others are still
    // being appended makes every later insertion slower.
    if (treeUsable())
        hideContents(m_tree, m_tree->invisibleRootItem(), QModelIndex());
    return true;
}

void DomParser::hideContents(QTreeWidget* tree, QTreeWidgetItem* item, const QModelIndex& index)
{
    if (!tree || !item)
        return;
    // Rows are found through the model: looking an item's row up from the item
    // can mean a search through all its siblings.
    const QAbstractItemModel* model = tree->model();
    const int rows = item->childCount();
    bool visibleChild = false;
    for (int row = 0; row < rows; ++row) {
        QTreeWidgetItem* child = item->child(row);
        if (child->text(1) == kContentTag) {
            if (!tree->isRowHidden(row, index))
                tree->setRowHidden(row, index, true);
        } else {
            visibleChild = true;
        }
        if (child->childCount() > 0)
            hideContents(tree, child, model->index(row, 0, index));
    }
    // An item whose children are all hidden offers nothing to expand. Saying
    // so also spares the view a look at every hidden child whenever the item changes.
    if (item != tree->invisibleRootItem() && rows > 0) {
        if (!visibleChild && item->childIndicatorPolicy() != QTreeWidgetItem::DontShowIndicator)
            item->setChildIndicatorPolicy(QTreeWidgetItem::DontShowIndicator);
        else if (visibleChild && item->childIndicatorPolicy() == QTreeWidgetItem::DontShowIndicator)
            item->setChildIndicatorPolicy(QTreeWidgetItem::DontShowIndicatorWhenChildless);
    }
}

void DomParser::parseChildren(const QDomElement& root)
{
    qDebug() << Q_FUNC_INFO << ", root =" << root.tagName();

    header.clear();
    QDomNode child = root.firstChild();
    if (child.isElement() && child.toElement().tagName() == kContentTag) {
        header = child.toElement().text();
        child = child.nextSibling();
    }
    QTreeWidgetItem* top = m_tree ? m_tree->invisibleRootItem() : nullptr;
    for (; !child.isNull() && !m_cancelled; child = child.nextSibling()) {
        if (!child.isElement())
            continue;
        const QDomElement element = child.toElement();
        const QString tag = element.tagName();
        if (tag == kEntryTag)
            parseEntryElement(element, treeUsable() ? top : nullptr);
        else if (tag == kContentTag)
            parseContentElement(element, treeUsable() ? top : nullptr);
    }
}

void DomParser::parseEntryElement(const QDomElement& element, QTreeWidgetItem* parent)
{
    qDebug() << Q_FUNC_INFO << ", title =" << element.attribute(kTitleAttribute) << ", parent =" << parent;

    QTreeWidgetItem* item = newItem(parent, element.attribute(kTitleAttribute), kEntryTag, QStringLiteral("title"));
    const int contents = contentCountOf(element);

    // Application-modal: nothing may start another generation or close the
    // tab while pending events are processed in the middle of building.
    std::unique_ptr<QProgressDialog> progress;
    if (contents > ProgressThreshold && qobject_cast<QApplication*>(QCoreApplication::instance())) {
        progress.reset(new QProgressDialog);
        progress->setWindowModality(Qt::ApplicationModal);
        progress->setWindowTitle(tr("正在解析模板"));
        auto* label = new QLabel(tr("正在准备..."));
        auto* bar = new QProgressBar;
        auto* cancel = new QPushButton(tr("取消"));
        progress->setLabel(label);
        progress->setBar(bar);
        progress->setCancelButton(cancel);
        auto* layout = new QVBoxLayout(progress.get());
        layout->addWidget(label);
        layout->addWidget(bar);
        layout->addWidget(cancel);
        progress->setRange(0, contents);
        progress->show();
    }

    int i = 0;
    for (QDomNode child = element.firstChild(); !child.isNull() && !m_cancelled; child = child.nextSibling()) {
        ++i;
        if (progress && progress->isVisible() && (i % 100 == 0 || i == contents)) {
            progress->setValue(i);
            progress->setLabelText(tr("正在处理模板条目 %1, 共 %2...").arg(i).arg(contents));
            QCoreApplication::processEvents();
            if (!treeUsable())
                item = nullptr;
        }
        if (progress && progress->wasCanceled()) {
            m_cancelled = true;
            break;
        }
        parseChildElement(child, item);
    }
}

// No log line per content or item: a large template has tens of thousands of them.
void DomParser::parseContentElement(const QDomElement& element, QTreeWidgetItem* parent)
{
    QTreeWidgetItem* item = newItem(parent, element.text(), kContentTag, QStringLiteral("content"));
    for (QDomNode child = element.firstChild(); !child.isNull() && !m_cancelled; child = child.nextSibling()) {
        parseChildElement(child, item);
    }
}

void DomParser::parseChildElement(const QDomNode& child, QTreeWidgetItem*& item)
{
    if (!child.isElement())
        return;
    const QDomElement childElement = child.toElement();
    const QString tag = childElement.tagName();
    if (tag == kEntryTag)
        parseEntryElement(childElement, item);
    else if (tag == kContentTag)
        parseContentElement(childElement, item);
    if (!treeUsable())
        item = nullptr;
}

QTreeWidgetItem* DomParser::newItem(QTreeWidgetItem* parent, const QString& text, const QString& tag,
                                    const QString& kind)
{
    if (!parent || !treeUsable())
        return nullptr;
    // Filled before it joins the tree, so the model reports one insertion only.
    // Added one at a time to a parent that is already in the tree: each item
    // then knows its row, which every later change of the item looks up.
    auto* item = new QTreeWidgetItem(QStringList{text, kind});
    item->setData(0, Qt::UserRole, tag);
    parent->addChild(item);
    return item;
}

int DomParser::contentCountOf(const QDomElement& entry)
{
    qDebug() << Q_FUNC_INFO << ", cursor =" << m_entryCursor;
    // Entries are visited in document order, so one cursor finds each in turn.
    for (int index = m_entryCursor; index < m_entries.size(); ++index) {
        if (m_entries.at(index) == entry) {
            m_entryCursor = index + 1;
            return m_entryContentCounts.at(index);
        }
    }
    return entry.elementsByTagName(kContentTag).count();
}

void DomParser::prepareDraws()
{
    qDebug() << Q_FUNC_INFO << ", prepared =" << m_drawsPrepared;
    if (m_drawsPrepared)
        return;
    m_entryChildren.resize(m_entries.size());
    for (int index = 0; index < m_entries.size(); ++index) {
        QVector<QDomNode>& children = m_entryChildren[index];
        for (QDomNode child = m_entries.at(index).firstChild(); !child.isNull(); child = child.nextSibling())
            children.append(child);
    }
    m_drawsPrepared = true;
}

bool DomParser::pickRandomContents(QStringList& texts, int& entryCount, QList<QList<int>>& positions)
{
    qDebug() << Q_FUNC_INFO << ", entries =" << m_entries.size();

    prepareDraws();
    entryCount = m_entries.size();
    for (int entry = 0; entry < entryCount; ++entry) {
        const QVector<QDomNode>& children = m_entryChildren.at(entry);
        if (children.isEmpty())
            continue;
        const int child = RandomSource::bounded(children.size());
        positions.append(QList<int>{entry, child});
        texts.append(children.at(child).toElement().text());
    }
    return true;
}

bool DomParser::pickRandomContentsOfFirstEntry(QStringList& texts, QList<QList<int>>& positions, int count)
{
    qDebug() << Q_FUNC_INFO << ", count =" << count;

    prepareDraws();
    if (m_entries.isEmpty() || count <= 0)
        return true;

    // The themes: the first entry itself with the contents that stand in it,
    // then every entry inside it (they follow it in document order).
    struct Theme
    {
        int entry;
        QVector<int> lines; // child indices of the contents
    };
    QVector<Theme> themes;
    const int inner = m_entries.first().elementsByTagName(kEntryTag).count();
    for (int entry = 0; entry <= inner && entry < m_entries.size(); ++entry) {
        Theme theme{entry, {}};
        const QVector<QDomNode>& children = m_entryChildren.at(entry);
        for (int child = 0; child < children.size(); ++child) {
            if (children.at(child).isElement() && children.at(child).toElement().tagName() != kEntryTag)
                theme.lines.append(child);
        }
        if (!theme.lines.isEmpty())
            themes.append(theme);
    }
    if (themes.isEmpty())
        return true;

    // Themes in a random order; as many of them as the count needs, or all.
    for (int i = 0; i + 1 < themes.size(); ++i)
        std::swap(themes[i], themes[i + RandomSource::bounded(themes.size() - i)]);
    int stanzas = 0;
    int available = 0;
    while (stanzas < themes.size() && available < count)
        available += themes.at(stanzas++).lines.size();
    if (available < count)
        qWarning() << "The poem has" << available << "lines without repeats," << count << "were asked for";

    // The lines spread as evenly over the stanzas as their themes allow.
    QVector<int> sizes(stanzas, 0);
    int left = qMin(count, available);
    while (left > 0) {
        int open = 0;
        for (int s = 0; s < stanzas; ++s)
            open += sizes.at(s) < themes.at(s).lines.size() ? 1 : 0;
        const int share = qMax(1, left / open);
        for (int s = 0; s < stanzas && left > 0; ++s) {
            const int add = std::min({share, int(themes.at(s).lines.size()) - sizes.at(s), left});
            sizes[s] += add;
            left -= add;
        }
    }

    for (int s = 0; s < stanzas; ++s) {
        Theme& theme = themes[s];
        if (s > 0) {
            // An empty line between stanzas, tagged with the entry of the theme that follows.
            texts.append(QString());
            positions.append(QList<int>{theme.entry});
        }
        // Drawn without replacement: the front of the list is shuffled line by line.
        const QVector<QDomNode>& children = m_entryChildren.at(theme.entry);
        for (int i = 0; i < sizes.at(s); ++i) {
            std::swap(theme.lines[i], theme.lines[i + RandomSource::bounded(theme.lines.size() - i)]);
            const int child = theme.lines.at(i);
            positions.append(QList<int>{theme.entry, child});
            texts.append(children.at(child).toElement().text());
        }
    }
    return true;
}

// ---- Name generation -----------------------------------------------------------

namespace {

int alienNameSeedCount = 123;

// Characters as a reader counts them: a surrogate pair is one.
int characterCount(const QString& text)
{
    int count = 0;
    for (const QChar c : text) {
        if (!c.isLowSurrogate())
            ++count;
    }
    return count;
}

// Expands the atom markers of one name part, each occurrence with its own draw
// from "Templates/Atom/<name>.tqw". Atom files are read once per run. False
// when one does not load; boundHit is set when the part still holds markers
// after the replacement bound.
bool expandNamePart(QString& part, const QRegularExpression& marker,
                    QHash<QString, std::shared_ptr<DomParser>>& atoms, bool& boundHit)
{
    int replacements = 0;
    while (part.contains(QLatin1Char('['))) {
        const QRegularExpressionMatch match = marker.match(part);
        if (!match.hasMatch())
            return true;
        const QString found = match.captured();
        int at = match.capturedStart();
        while (at >= 0) {
            if (replacements == DomParser::MaximumAtomReplacementsPerPart) {
                boundHit = true;
                return true;
            }
            std::shared_ptr<DomParser>& atom = atoms[found];
            if (!atom) {
                QString name = found;
                name.remove(QLatin1Char('[')).remove(QLatin1Char(']'));
                auto parser = std::make_shared<DomParser>();
                if (!parser->readFile(QStringLiteral("Templates/Atom/") + name + QStringLiteral(".tqw"))) {
                    atoms.remove(found);
                    return false;
                }
                atom = parser;
            }
            QStringList texts;
            QList<QList<int>> positions;
            int entryCount = 0;
            atom->pickRandomContents(texts, entryCount, positions);
            // An atom without anything to draw leaves nothing in place of its marker.
            part.replace(at, found.size(), texts.isEmpty() ? QString() : texts.first());
            ++replacements;
            at = part.indexOf(found);
        }
    }
    return true;
}

} // namespace

int DomParser::alienNameSeedCounter()
{
    return alienNameSeedCount;
}

void DomParser::resetAlienNameSeedCounter()
{
    qDebug() << Q_FUNC_INFO;
    alienNameSeedCount = 123;
}

bool DomParser::generateNames(const QString& str1, int selection1, const QString& str2, int selection2,
                              const QString& str3, int selection3, int count, int type, QStringList* names,
                              const QString& str4, int selection4, const QString& str5, int selection5)
{
    qDebug() << Q_FUNC_INFO << ", str1 =" << str1 << ", selection1 =" << selection1 << ", str2 =" << str2
             << ", selection2 =" << selection2 << ", str3 =" << str3 << ", selection3 =" << selection3
             << ", count =" << count << ", type =" << type << ", str4 =" << str4 << ", selection4 =" << selection4
             << ", str5 =" << str5 << ", selection5 =" << selection5;

    if (count < 1 || !names)
        return true;

    const int modes[5] = {selection1, selection2, selection3, selection4, selection5};
    const QString fixedTexts[5] = {str1, str2, str3, str4, str5};
    const bool personal = type == 58 || type == 59;
    const bool alien = type == 64;

    // The candidates of every entry, read once for the whole run.
    prepareDraws();
    const int entryCount = m_entryChildren.size();
    QVector<QStringList> candidates(entryCount);
    for (int entry = 0; entry < entryCount; ++entry) {
        for (const QDomNode& child : m_entryChildren.at(entry))
            candidates[entry].append(child.toElement().text());
    }

    // A surname of one or two characters comes from the candidates of that
    // length; when there are none, from all of them.
    QVector<int> surnames;
    const bool surnameByLength = personal && entryCount > 0
                                 && (selection1 == NamePartOneCharacter || selection1 == NamePartTwoCharacters);
    if (surnameByLength) {
        for (int child = 0; child < candidates.first().size(); ++child) {
            if (characterCount(candidates.first().at(child)) == selection1)
                surnames.append(child);
        }
        if (surnames.isEmpty() && !candidates.first().isEmpty()) {
            qWarning() << "No surname of" << selection1 << "characters in the template; any surname is taken";
            for (int child = 0; child < candidates.first().size(); ++child)
                surnames.append(child);
        }
    }

    const QRegularExpression& marker = atomMarkerExpression();
    QHash<QString, std::shared_ptr<DomParser>> atoms;
    bool boundHit = false;
    const int firstHalf = count / 2;
    bool finished = true;
    for (int index = 0; index < count && finished; ++index) {
        QString name;
        for (int entry = 0; entry < entryCount; ++entry) {
            const QStringList& texts = candidates.at(entry);
            if (texts.isEmpty())
                continue;
            const int child = (entry == 0 && surnameByLength) ? surnames.at(RandomSource::bounded(surnames.size()))
                                                             : RandomSource::bounded(texts.size());
            QString part = texts.at(child);
            if (!expandNamePart(part, marker, atoms, boundHit)) {
                finished = false;
                break;
            }
            const int mode = entry < 5 ? modes[entry] : NamePartRandom;
            if (alien && entry >= 2 && entry <= 4 && mode != NamePartFixed) {
                if (alienNameSeedCount == 123) {
                    RandomSource::seed(123);
                    alienNameSeedCount = 124;
                }
                if (RandomSource::next() & 1u)
                    part.clear();
            }
            if (mode == NamePartFixed)
                part = fixedTexts[entry];
            if (personal) {
                // The given name of one character comes from the second character alone.
                if (entry == 1
                    && (selection2 == NamePartOneCharacter || (selection2 == NamePartRandom && index < firstHalf)))
                    continue;
                // A fixed given name stands alone.
                if (entry == 2 && selection2 == NamePartFixed)
                    continue;
            }
            name += part;
        }
        if (finished)
            names->append(name);
    }
    if (boundHit)
        qWarning() << "Atom markers in the name template expand without end; the expansion stopped after"
                   << MaximumAtomReplacementsPerPart << "replacements in a part";
    return finished;
}
