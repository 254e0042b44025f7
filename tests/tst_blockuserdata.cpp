// Block user data: what generated paragraphs carry, who owns it, shared
// records that outlive one block and die with the last, the path named by a
// reference, and model indexes that cannot dangle.

#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextEdit>
#include <QTreeWidget>
#include <QTreeWidgetItem>

#include <memory>

#include "SharedCodes.h"
#include "TestSupport.h"
#include "TextBlockUserData.h"

namespace {

TemplateItemRefPointer makeRef(const QString& ref, int entry, int child)
{
    return TemplateItemRefPointer(new TemplateItemRef(TEMPLATE_TYPE_TQW_FILE, ref, {entry, child}));
}

// Types paragraphs into an editor the way a user would.
void typeParagraphs(QTextEdit& editor, const QStringList& paragraphs)
{
    editor.setFocus();
    for (int i = 0; i < paragraphs.size(); ++i) {
        if (i > 0)
            QTest::keyClick(&editor, Qt::Key_Return);
        QTest::keyClicks(&editor, paragraphs[i]);
    }
}

QTextBlock blockNumber(QTextEdit& editor, int number)
{
    return editor.document()->findBlockByNumber(number);
}

} // namespace

class BlockUserDataTest : public QObject
{
    Q_OBJECT

private slots:
    void emptyByDefault()
    {
        TextBlockUserData data;
        QVERIFY(data.items.isEmpty());
        TemplateItemRef record;
        QCOMPARE(record.kind, quint32(TEMPLATE_TYPE_NONE));
        QVERIFY(!record.index.isValid());
        QVERIFY(record.position.isEmpty());
    }

    void recordFields()
    {
        const TemplateItemRefPointer record = makeRef("Templates/新闻.tqw", 3, 1);
        QCOMPARE(record->kind, quint32(1));
        QCOMPARE(record->ref, QString("Templates/新闻.tqw"));
        QCOMPARE(record->position, (QList<int>{3, 1}));
        QVERIFY(!record->index.isValid());
        QCOMPARE(record->index.row(), -1);
        QCOMPARE(record->index.column(), -1);
    }

    void pathOfReference_data()
    {
        QTest::addColumn<QString>("ref");
        QTest::addColumn<QString>("path");
        QTest::newRow("drive letter stays") << "C:\\x.tqw" << "C:\\x.tqw";
        QTest::newRow("drive letter and a later colon") << "C:\\模板\\x.tqw:12" << "C:\\模板\\x.tqw";
        QTest::newRow("atom path with a number") << "Templates/Atom/x.tqw:3" << "Templates/Atom/x.tqw";
        QTest::newRow("relative path") << "Templates/新闻.tqw" << "Templates/新闻.tqw";
        QTest::newRow("table name") << "Synonym" << "Synonym";
        QTest::newRow("colon at index 1 only") << "a:b" << "a:b";
        QTest::newRow("colon at index 2") << "ab:c" << "ab";
        QTest::newRow("leading colon") << ":abc:d" << ":abc";
        QTest::newRow("empty") << "" << "";
    }
    void pathOfReference()
    {
        QFETCH(QString, ref);
        QFETCH(QString, path);
        QCOMPARE(TemplateItemRef::pathOf(ref), path);
        QCOMPARE(TemplateItemRef(TEMPLATE_TYPE_TQW_FILE, ref, {0, 0}).path(), path);
    }

    // One record listed by two paragraphs (a spliced atom keeps the records of
    // its enclosing content): deleting one paragraph leaves the other's intact;
    // the records go with the last paragraph that lists them.
    void sharedRecordsOutliveOneBlock()
    {
        QTextEdit editor;
        editor.show();
        typeParagraphs(editor, {"first", "second", "third"});
        QCOMPARE(editor.document()->blockCount(), 3);

        QWeakPointer<const TemplateItemRef> outer;
        QWeakPointer<const TemplateItemRef> atom;
        {
            const TemplateItemRefPointer outerRecord = makeRef("Templates/春游.tqw", 0, 2);
            const TemplateItemRefPointer atomRecord = makeRef("Templates/Atom/季节.tqw", 0, 1);
            outer = outerRecord;
            atom = atomRecord;
            blockNumber(editor, 0).setUserData(new TextBlockUserData({outerRecord}));
            blockNumber(editor, 1).setUserData(new TextBlockUserData({outerRecord, atomRecord}));
        }
        QVERIFY(outer && atom);

        // Delete the first paragraph the way a user would.
        QTextCursor cursor(blockNumber(editor, 0));
        editor.setTextCursor(cursor);
        QTest::keyClick(&editor, Qt::Key_Down, Qt::ShiftModifier);
        QTest::keyClick(&editor, Qt::Key_Delete);
        QCOMPARE(editor.document()->blockCount(), 2);
        QCOMPARE(blockNumber(editor, 0).text(), QString("second"));

        TextBlockUserData* data = TextBlockUserData::of(blockNumber(editor, 0));
        QVERIFY(data);
        QCOMPARE(data->items.size(), 2);
        QVERIFY(outer);
        QCOMPARE(data->items[0]->ref, QString("Templates/春游.tqw"));
        QCOMPARE(data->items[0]->position, (QList<int>{0, 2}));
        QCOMPARE(data->items[1]->path(), QString("Templates/Atom/季节.tqw"));

        // Replacing the paragraph's data releases the last references.
        blockNumber(editor, 0).setUserData(new TextBlockUserData);
        QVERIFY(!outer);
        QVERIFY(!atom);
        QVERIFY(TextBlockUserData::of(blockNumber(editor, 0))->items.isEmpty());
    }

    void recordsFreedWithTheDocument()
    {
        QWeakPointer<const TemplateItemRef> record;
        {
            QTextDocument document("一\n二");
            const TemplateItemRefPointer shared = makeRef("Templates/x.tqw", 1, 0);
            record = shared;
            document.firstBlock().setUserData(new TextBlockUserData({shared}));
            document.lastBlock().setUserData(new TextBlockUserData({shared}));
        }
        QVERIFY(!record);
    }

    // Title and batch generation make block data that never reaches a
    // document; its owner drops it and the records go with it.
    void unattachedDataFreesItsRecords()
    {
        QWeakPointer<const TemplateItemRef> record;
        {
            auto data = std::make_unique<TextBlockUserData>();
            const TemplateItemRefPointer made = makeRef("Templates/标题.tqw", 0, 4);
            record = made;
            data->items << made;
        }
        QVERIFY(!record);
    }

    void otherUserDataIsNotOurs()
    {
        QTextDocument document("段落");
        QVERIFY(!TextBlockUserData::of(document.firstBlock()));
        document.firstBlock().setUserData(new QTextBlockUserData);
        QVERIFY(!TextBlockUserData::of(document.firstBlock()));
        QVERIFY(!TextBlockUserData::of(QTextBlock()));
        document.firstBlock().setUserData(new TextBlockUserData);
        QVERIFY(TextBlockUserData::of(document.firstBlock()));
    }

    // A record outlives the template tab it points into: its index turns
    // invalid instead of pointing into a deleted model.
    void indexInvalidWhenTheTabGoes_data()
    {
        QTest::addColumn<bool>("deleteTree");
        QTest::newRow("tree deleted") << true;
        QTest::newRow("item removed") << false;
    }
    void indexInvalidWhenTheTabGoes()
    {
        QFETCH(bool, deleteTree);
        auto* tree = new QTreeWidget;
        auto* entry = new QTreeWidgetItem(tree, QStringList{"条目"});
        auto* content = new QTreeWidgetItem(entry, QStringList{"内容"});
        const QModelIndex index = tree->model()->index(0, 0, tree->model()->index(0, 0));
        QCOMPARE(index.data().toString(), QString("内容"));
        const TemplateItemRefPointer record(new TemplateItemRef(TEMPLATE_TYPE_TQW_FILE, "Templates/x.tqw", {0, 0}, index));
        QVERIFY(record->index.isValid());
        QCOMPARE(record->index.data().toString(), QString("内容"));
        if (deleteTree) {
            delete tree;
        } else {
            delete content;
        }
        QVERIFY(!record->index.isValid());
        if (!deleteTree)
            delete tree;
    }
};

TQ_TEST_MAIN(BlockUserDataTest)
#include "tst_blockuserdata.moc"
