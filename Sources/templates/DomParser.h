#pragma once
// The one reader of template files (".tqw"): plain UTF-8 XML, or one Base64
// block of it. Loads a file into a DOM document, optionally fills an outline
// tree from it, and draws random contents with their positions for generation.
//
// Files are exchanged between writers, so the reader accepts any bytes: it
// never recurses deeper than the nesting limit, refuses entity declarations
// (their expansion could fill memory) and never touches a tree that went away
// while the progress dialog let events through.

#include <QCoreApplication>
#include <QDomDocument>
#include <QDomElement>
#include <QList>
#include <QMetaObject>
#include <QPointer>
#include <QRegularExpression>
#include <QString>
#include <QStringList>
#include <QTreeWidget>
#include <QVector>

class QTreeWidgetItem;

class DomParser
{
    Q_DECLARE_TR_FUNCTIONS(DomParser)

public:
    DomParser();
    explicit DomParser(QTreeWidget* tree);
    ~DomParser();

    DomParser(const DomParser&) = delete;
    DomParser& operator=(const DomParser&) = delete;

    // Loads the file (the name, else its lower-case, else its upper-case form).
    // On failure the previously loaded document stays.
    bool readFile(const QString& fileName);
    // Loads template bytes already in memory, in either form.
    bool readData(const QByteArray& data);

    // Sets title (and header), clears the tree and fills it. False when the
    // root is not "template"; tree, title and header are then left alone. Also
    // false when the user cancels the progress dialog: the tree is then left
    // empty and title and header as they were.
    bool buildTree();
    // The last buildTree() stopped because the user cancelled its progress dialog.
    bool wasCancelled() const { return m_cancelled; }

    // One random content per entry that has children; positions are
    // {entry index in document order, child index}. Out lists are appended to.
    bool pickRandomContents(QStringList& texts, int& entryCount, QList<QList<int>>& positions);
    // The lines of a poem: count contents from the themes of the first entry
    // (the first entry with its own contents, and each entry inside it), never
    // one twice. One theme at random gives its lines in a random order; when
    // it has fewer than count, further themes follow as stanzas, each after
    // an empty text at {theme entry}, until count lines are drawn or every
    // theme is used. Lines are at {theme entry index, child index}.
    bool pickRandomContentsOfFirstEntry(QStringList& texts, QList<QList<int>>& positions, int count);

    // How a part of a generated name is chosen.
    enum NamePartMode { NamePartRandom = 0, NamePartOneCharacter = 1, NamePartTwoCharacters = 2, NamePartFixed = 3 };
    // Appends count names of the kind (58 male, 59 female, 60 forms of address,
    // 61 places, 62 organisations, 63 media, 64 aliens) to names. Entry n of the
    // template is part n + 1 of a name; for 58 and 59 the entries are surname and
    // the two characters of the given name, and part 2 governs the given name.
    // Atom markers in a drawn part are expanded. False when an atom template
    // does not load: the names finished before it stay in the list.
    bool generateNames(const QString& str1, int selection1, const QString& str2, int selection2,
                       const QString& str3, int selection3, int count, int type, QStringList* names,
                       const QString& str4, int selection4, const QString& str5, int selection5);
    // The first alien-name decision of the process seeds the random source with
    // 123, once: the counter is 123 until then and 124 afterwards.
    static int alienNameSeedCounter();
    static void resetAlienNameSeedCounter();
    // Expansions of atom markers within one name part stop here; the marker text stays.
    static constexpr int MaximumAtomReplacementsPerPart = 100;

    const QDomDocument& document() const { return m_document; }
    // Why the last readFile/readData failed; empty after success.
    QString errorString() const { return m_errorString; }

    // "[name]" where name is ASCII letters, digits, '|' or ideographs U+4E00..U+9FA5.
    static const QRegularExpression& atomMarkerExpression();

    // Hides every content row (column 1 "content") below item, whose model
    // index is index (the invisible root item and an invalid index for the
    // whole tree); entries stay visible. Items whose children are all hidden
    // get no expand indicator. buildTree does this for the whole tree.
    static void hideContents(QTreeWidget* tree, QTreeWidgetItem* item, const QModelIndex& index);

    static constexpr int MaximumNestingDepth = 256;
    // Entries with more contents than this show a progress dialog while the tree is built.
    static constexpr int ProgressThreshold = 500;

    // The template's title; set by buildTree.
    QString title;
    // Text of a "content" that stands first under the root. It is not part of
    // the outline, but the writer puts it back so that it survives a save.
    QString header;

private:
    void parseChildren(const QDomElement& root);
    void parseEntryElement(const QDomElement& element, QTreeWidgetItem* parent);
    void parseContentElement(const QDomElement& element, QTreeWidgetItem* parent);
    // An entry or content child goes under item; item becomes null once the tree is gone.
    void parseChildElement(const QDomNode& child, QTreeWidgetItem*& item);

    QTreeWidgetItem* newItem(QTreeWidgetItem* parent, const QString& text, const QString& tag,
                             const QString& kind);
    int contentCountOf(const QDomElement& entry);
    bool treeUsable() const { return m_tree && !m_treeLost; }
    void prepareDraws();

    QDomDocument m_document;
    // Every "entry" element in document order, and the number of "content"
    // elements anywhere inside each, recorded while the file is read.
    QVector<QDomElement> m_entries;
    QVector<int> m_entryContentCounts;
    // Child nodes of every entry, made on the first draw.
    QVector<QVector<QDomNode>> m_entryChildren;
    bool m_drawsPrepared = false;
    int m_entryCursor = 0;

    QPointer<QTreeWidget> m_tree;
    // Set when rows of the tree are removed while it is being filled (events
    // run under the progress dialog): the items in hand may be gone.
    bool m_treeLost = false;
    // The user pressed "取消" on the progress dialog: the parse stops.
    bool m_cancelled = false;
    QMetaObject::Connection m_resetConnection;
    QMetaObject::Connection m_removeConnection;

    QString m_errorString;
};
