// Word-database tables as template tabs, on real SQLite files: what opens and
// what does not, saving one and two columns with awkward texts, a stale work
// table and a save that fails half-way, which database a tab saves to and which
// table it shows, the selection dialog of the atom database, renaming an atom
// table through the tab's title, word-list views and the spelling lists.

#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QUuid>

#include "DatabaseTemplate.h"
#include "DatabaseTemplateSelectionDialog.h"
#include "GlobalActions.h"
#include "MdiChild.h"
#include "SharedCodes.h"
#include "TemplateWindowTest.h"
#include "TreeWidget.h"

namespace {

// Runs statements on a database file through a connection of its own; the
// rows selected, their values joined by separator.
QStringList sql(const QString& file, const QStringList& statements, const QString& separator = " | ")
{
    QStringList rows;
    const QString name = QUuid::createUuid().toString();
    {
        QSqlDatabase db = QSqlDatabase::addDatabase("QSQLITE", name);
        db.setDatabaseName(file);
        QSqlQuery query(db);
        for (const QString& statement : statements) {
            if (!db.open() || !query.exec(statement))
                qFatal("%s: %s", qPrintable(statement), qPrintable(query.lastError().text()));
            while (query.isSelect() && query.next()) {
                QStringList row;
                for (int i = 0; i < query.record().count(); ++i)
                    row << query.value(i).toString();
                rows << row.join(separator);
            }
        }
    }
    QSqlDatabase::removeDatabase(name);
    return rows;
}

const QString kAtoms = "Dictionary/原子模板.db";
// Texts that glued SQL would break on, the row separator among them.
const QStringList kAwkward{"它's", "say \"hi\"", "a; DROP TABLE x", "-- not a comment", "左 -> 右", "="};

} // namespace

class DatabaseTemplatesTest : public TemplateWindowTest
{
    Q_OBJECT



private slots:
    void init()
    {
        QVERIFY(startWindow());
        QDir().mkpath("Dictionary");
        sql(kAtoms, {"CREATE TABLE 季节 (content text)", "INSERT INTO 季节 VALUES ('春'), ('夏')",
                     "CREATE INDEX 季节_content ON 季节 (content COLLATE NOCASE)", "CREATE TABLE 天气 (content text)"});
    }
    void cleanup() { stopWindow(); }

    void opening()
    {
        sql("Dictionary/近义词.db", {"CREATE TABLE 近义词 (Word01 text, Word02 text)",
                                   "INSERT INTO 近义词 VALUES ('美丽', '漂亮'), ('美丽', '好看')"});
        sql("empty.db", {"PRAGMA user_version = 1"});
        sql("three.db", {"CREATE TABLE t (a, b, c)"});
        sql("pairs.db", {"CREATE TABLE 对 (a, b)", "INSERT INTO 对 VALUES ('甲', '乙')"});
        const struct {
            QString name;
            uint type;
            int result;
            QString text;
        } failures[] = {
            {"empty.db", TEMPLATE_TYPE_SQLITE_DB_FILE, ERROR_CODE_DB_NO_TABLE, "数据库里没有表!\nempty.db"},
            {"无此表", TEMPLATE_TYPE_SQLITE_DB_ATOM, ERROR_CODE_DB_TABLE_NOT_FOUND, "数据库模板表格未找到:\n无此表"},
            {"three.db", TEMPLATE_TYPE_SQLITE_DB_FILE, ERROR_CODE_DB_COLUMN_COUNT_MISMATCH,
             "目前只支持一列或两列的表，当前表格列数为:3\nthree.db"},
        };
        for (const auto& failure : failures) {
            QCOMPARE(m_window->openTemplate(failure.name, QString(), -1, false, failure.type), failure.result);
            QCOMPARE(m_prompt->texts.last(), failure.text);
        }
        QCOMPARE(m_window->templateDialogs.size(), 0);

        QCOMPARE(m_window->openTemplate("季节", QString(), -1, false, TEMPLATE_TYPE_SQLITE_DB_ATOM), 0);
        QCOMPARE(rows(current()), QStringList({"春", "夏"}));
        QCOMPARE(m_window->mainTabWidget->tabText(m_window->mainTabWidget->currentIndex()), QString("季节"));
        QVERIFY(current()->getTreeWidget()->topLevelItem(0)->child(0)->isHidden());
        // A file chosen in the open dialog.
        m_prompt->openFileNames << "pairs.db";
        QCOMPARE(m_window->openTemplate(), 0);
        QCOMPARE(rows(current()), QStringList({"甲 -> 乙"}));
        // The old English name still finds the synonym table; the synonym database joins with " = ".
        m_window->openSynonymTemplate();
        QCOMPARE(current()->tableName(), QString("近义词"));
        QCOMPARE(rows(current()), QStringList({"美丽 = 漂亮", "美丽 = 好看"}));
    }

    // Saving writes exactly the tab's rows, whatever they hold, keeps the
    // table's indexes, and what a fresh window opens is what was saved.
    void roundTrips()
    {
        sql("Dictionary/黑名单.db", {"CREATE TABLE 黑名单 (TypoWord text, Correction text)"});
        QCOMPARE(m_window->openTemplate("季节", QString(), -1, false, TEMPLATE_TYPE_SQLITE_DB_ATOM), 0);
        m_window->newTemplateContentFromStringList(kAwkward);
        m_window->saveTemplateAct->trigger();
        QCOMPARE(m_prompt->texts, QStringList());
        const QStringList expected = QStringList({"春"}) + kAwkward + QStringList({"夏"});
        QCOMPARE((sql(kAtoms, {"SELECT content FROM 季节"})), expected);
        // The index stays; no work table is left.
        QCOMPARE(sql(kAtoms, {"SELECT type FROM sqlite_master WHERE name LIKE '季节%' ORDER BY type"}),
                 QStringList({"index", "table"}));

        QCOMPARE(m_window->openTemplate("./Dictionary/黑名单.db"), 0);
        QStringList pairs;
        for (const QString& text : kAwkward.mid(0, 4))
            pairs << text + " -> " + text + "!";
        pairs << "甲 -> 乙 -> 丙" << "空 -> ";
        m_window->newTemplateContentFromStringList(pairs);
        m_window->saveTemplateAct->trigger();
        QCOMPARE(m_prompt->texts, QStringList());
        QCOMPARE(sql("Dictionary/黑名单.db", {"SELECT * FROM 黑名单"}, " -> "), pairs);

        newWindow();
        QCOMPARE(m_window->openTemplate("季节", QString(), -1, false, TEMPLATE_TYPE_SQLITE_DB_ATOM), 0);
        QCOMPARE(rows(current()), expected);
        QCOMPARE(m_window->openTemplate("./Dictionary/黑名单.db"), 0);
        QCOMPARE(rows(current()), pairs);
    }

    // Saving keeps the user's table as it was made (keys, constraints,
    // defaults, collation, indexes) and leaves every other table alone, even
    // ones named like work tables; a failure half-way keeps the old rows whole;
    // a row without its arrow is shown, not saved.
    void failures()
    {
        const QStringList neighbours{"CREATE TABLE 季节New (content text)", "INSERT INTO 季节New VALUES ('旧的')",
                                     "CREATE VIEW 季节Bak AS SELECT 1"};
        sql(kAtoms, QStringList{"DROP TABLE 季节",
                                "CREATE TABLE 季节 (content TEXT PRIMARY KEY NOT NULL COLLATE NOCASE "
                                "DEFAULT '春' CHECK (length(content) < 20))",
                                "CREATE INDEX 季节_content ON 季节 (content)",
                                "INSERT INTO 季节 (content) VALUES ('春'), ('夏')"}
                        + neighbours);
        const QString schema = "SELECT type || ' ' || name || ': ' || ifnull(sql, '') FROM sqlite_master ORDER BY name";
        const QStringList before = sql(kAtoms, {schema});
        QCOMPARE(m_window->openTemplate("季节", QString(), -1, false, TEMPLATE_TYPE_SQLITE_DB_ATOM), 0);
        TemplateDialog* tab = current();
        m_window->newTemplateContent("秋", QString(), false);
        QVERIFY(m_window->saveTemplateFinal(false, tab, m_window->mainTabWidget->indexOf(tab)));
        QCOMPARE((sql(kAtoms, {"SELECT content FROM 季节 ORDER BY rowid"})), QStringList({"春", "秋", "夏"}));
        QCOMPARE(sql(kAtoms, {schema}), before);
        QCOMPARE(sql(kAtoms, {"SELECT * FROM 季节New"}), QStringList({"旧的"}));
        QVERIFY(!m_window->mainTabWidget->tabText(m_window->mainTabWidget->indexOf(tab)).startsWith('*'));

        // The table's CHECK refuses a long row: the save fails and nothing is lost.
        m_window->newTemplateContent(QString(25, QChar(0x51AC)), QString(), false);
        QVERIFY(!m_window->saveTemplateFinal(false, tab, m_window->mainTabWidget->indexOf(tab)));
        QVERIFY(m_prompt->texts.last().startsWith("SQLite 错误.\n表名 = 季节\nSQL = INSERT INTO \"季节\""));
        QCOMPARE((sql(kAtoms, {"SELECT content FROM 季节 ORDER BY rowid"})), QStringList({"春", "秋", "夏"}));
        QCOMPARE(sql(kAtoms, {schema}), before);
        QVERIFY(m_window->mainTabWidget->tabText(m_window->mainTabWidget->indexOf(tab)).startsWith('*'));

        // An emptied table saves as an empty table.
        tab->getListWidget()->selectAll();
        yes();
        m_window->removeTemplateContent();
        QVERIFY(m_window->saveTemplateFinal(false, tab, m_window->mainTabWidget->indexOf(tab)));
        QCOMPARE(sql(kAtoms, {"SELECT count(*) FROM 季节"}), QStringList({"0"}));

        sql("pairs.db", {"CREATE TABLE 对 (a, b)", "INSERT INTO 对 VALUES ('甲', '乙'), ('丙', '丁')"});
        QCOMPARE(m_window->openTemplate("pairs.db"), 0);
        TemplateDialog* pairs = current();
        pairs->getListWidget()->setCurrentRow(0);
        m_window->newTemplateContent("没有箭头", QString(), false);
        QVERIFY(!m_window->saveTemplateFinal(false, pairs, m_window->mainTabWidget->indexOf(pairs)));
        QCOMPARE(m_prompt->texts.last(), QString("模板格式错误，请修正焦点所在条目。"));
        QCOMPARE(pairs->getListWidget()->currentRow(), 1);
        QCOMPARE(sql("pairs.db", {"SELECT count(*) FROM 对"}), QStringList({"2"}));

        // The file went away while its tab was open: saving says so and makes no
        // new, empty database in its place.
        pairs->getListWidget()->setCurrentRow(1);
        yes();
        m_window->removeTemplateContent();
        QVERIFY(!rows(pairs).join('\n').contains("没有箭头"));
        QVERIFY(QFile::remove("pairs.db"));
        QVERIFY(!m_window->saveTemplateFinal(false, pairs, m_window->mainTabWidget->indexOf(pairs)));
        QVERIFY2(m_prompt->texts.last().contains("数据库文件不存在"), qPrintable(m_prompt->texts.last()));
        QVERIFY(!QFileInfo::exists("pairs.db"));
        QVERIFY(m_window->mainTabWidget->tabText(m_window->mainTabWidget->indexOf(pairs)).startsWith('*'));
    }

    // The tab's type names the database; old English names only when the type does not.
    void databaseOfTab()
    {
        QCOMPARE(DatabaseTemplate::databaseCodeFor(TEMPLATE_TYPE_SQLITE_DB_SENSITIVE_WORD, "敏感词"),
                 uint(TEMPLATE_TYPE_SQLITE_DB_SENSITIVE_WORD));
        QCOMPARE(DatabaseTemplate::databaseCodeFor(TEMPLATE_TYPE_SQLITE_DB_FILE, "Synonym"),
                 uint(TEMPLATE_TYPE_SQLITE_DB_FILE));
        QCOMPARE(DatabaseTemplate::databaseCodeFor(255, "Synonym"), uint(TEMPLATE_TYPE_SQLITE_DB_SYNONYM));
        QCOMPARE(DatabaseTemplate::databaseCodeFor(255, "其它"), uint(TEMPLATE_TYPE_SQLITE_DB_ATOM));

        sql("Dictionary/敏感词.db", {"CREATE TABLE 敏感词 (Word text)", "INSERT INTO 敏感词 VALUES ('甲')"});
        QCOMPARE(m_window->openTemplate("敏感词", QString(), -1, false, TEMPLATE_TYPE_SQLITE_DB_SENSITIVE_WORD), 0);
        m_window->newTemplateContent("乙", QString(), false);
        m_window->saveTemplate();
        QCOMPARE((sql("Dictionary/敏感词.db", {"SELECT * FROM 敏感词"})), QStringList({"甲", "乙"}));
        QCOMPARE((sql(kAtoms, {"SELECT name FROM sqlite_master WHERE type = 'table'"})),
                 QStringList({"季节", "天气"}));
    }

    // The table a tab shows: the first of a database file, else the one named
    // (or behind its English name); the rows hang below the item of the table.
    void tableOfTab()
    {
        const QString synonyms = DatabaseTemplate::tableOfEnglishName("Synonym");
        QVERIFY(!synonyms.isEmpty());
        const QStringList tables{"乙", "甲", synonyms};
        QCOMPARE(DatabaseTemplate::tableToShow(tables, "甲", TEMPLATE_TYPE_SQLITE_DB_FILE), QString("乙"));
        QCOMPARE(DatabaseTemplate::tableToShow({}, "甲", TEMPLATE_TYPE_SQLITE_DB_FILE), QString());
        QCOMPARE(DatabaseTemplate::tableToShow(tables, "甲", TEMPLATE_TYPE_SQLITE_DB_ATOM), QString("甲"));
        QCOMPARE(DatabaseTemplate::tableToShow(tables, "Synonym", TEMPLATE_TYPE_SQLITE_DB_SYNONYM), synonyms);
        QCOMPARE(DatabaseTemplate::tableToShow(tables, "丙", TEMPLATE_TYPE_SQLITE_DB_ATOM), QString());

        QTreeWidget tree;
        QVERIFY(!DatabaseTemplate::topItem(&tree, "甲"));
        tree.addTopLevelItems({new QTreeWidgetItem({"乙"}), new QTreeWidgetItem({"甲"})});
        QCOMPARE(DatabaseTemplate::topItem(&tree, "甲"), tree.topLevelItem(1));
        QCOMPARE(DatabaseTemplate::topItem(&tree, "丙"), tree.topLevelItem(0));
    }

    // Creating, renaming and removing tables with awkward names; a cancelled
    // new row leaves no table and does not turn the next rename into a creation.
    void selectionDialog()
    {
        m_window->openDatabaseTemplateAct->trigger();
        DatabaseTemplateSelectionDialog* dialog = m_window->findChild<DatabaseTemplateSelectionDialog*>();
        QVERIFY(dialog && dialog->isVisible());
        QTreeWidget* tree = dialog->templateTreeWidget();
        QCOMPARE(tree->topLevelItemCount(), 2);
        QCOMPARE(dialog->findChild<QLabel*>("templateNumberLabel")->text(), QString("2 / 共: 2"));
        auto type = [tree](const QString& text, Qt::Key key) {
            auto* editor = tree->viewport()->findChild<QLineEdit*>();
            QVERIFY(editor);
            editor->setText(text);
            QTest::keyClick(editor, key);
            QCoreApplication::processEvents();
            QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        };
        auto tables = []() { return (sql(kAtoms, {"SELECT name FROM sqlite_master WHERE type = 'table' ORDER BY name"})); };

        const QString odd = "a \"b\" c";
        dialog->findChild<QPushButton*>("createTemplateButton")->click();
        type(odd, Qt::Key_Return);
        QVERIFY(tables().contains(odd));
        dialog->findChild<QPushButton*>("createTemplateButton")->click();
        type("不要", Qt::Key_Escape);
        QCOMPARE(tree->topLevelItemCount(), 3);
        tree->setCurrentItem(tree->findItems(odd, Qt::MatchExactly).first());
        dialog->findChild<QPushButton*>("renameTemplateButton")->click();
        const QString odder = "x'y; -- z";
        type(odder, Qt::Key_Return);
        QCOMPARE(tables(), QStringList({odder, "天气", "季节"}));
        dialog->findChild<QLineEdit*>("locateLineEdit")->setText("X'");
        QCOMPARE(dialog->findChild<QLabel*>("templateNumberLabel")->text(), QString("1 / 共: 3"));
        dialog->findChild<QPushButton*>("removeTemplateButton")->click();
        QCOMPARE(tables(), QStringList({"天气", "季节"}));
        QCOMPARE(tree->topLevelItemCount(), 2);

        // Open: the current table as an atom-database tab.
        dialog->findChild<QLineEdit*>("locateLineEdit")->clear();
        tree->setCurrentItem(tree->findItems("季节", Qt::MatchExactly).first());
        dialog->openButton()->click();
        QCOMPARE(current()->tableName(), QString("季节"));
        QCOMPARE(current()->type(), uint(TEMPLATE_TYPE_SQLITE_DB_ATOM));
        QVERIFY(!dialog->isVisible());
    }

    // The title of an atom table's tab renames the table, or changes nothing.
    void renamingThroughTitle()
    {
        QCOMPARE(m_window->openTemplate("季节", QString(), -1, false, TEMPLATE_TYPE_SQLITE_DB_ATOM), 0);
        TemplateDialog* tab = current();
        m_prompt->textAnswers << "天气";
        m_window->editTemplateTitle(m_window->mainTabWidget->currentIndex());
        QVERIFY(m_prompt->texts.last().startsWith("重命名数据库模板失败: 季节 -> 天气"));
        QCOMPARE(tab->tableName(), QString("季节"));
        m_prompt->textAnswers << "四\"季";
        m_window->editTemplateTitle(m_window->mainTabWidget->currentIndex());
        QCOMPARE(tab->tableName(), QString("四\"季"));
        QCOMPARE(tab->fileName(), QDir::cleanPath(QDir::current().absoluteFilePath("四\"季")));
        QCOMPARE(m_window->mainTabWidget->tabText(m_window->mainTabWidget->currentIndex()), QString("*四\"季"));
        m_window->saveTemplate();
        QCOMPARE((sql(kAtoms, {"SELECT content FROM \"四\"\"季\""})), QStringList({"春", "夏"}));
        // The same table again is the same tab.
        QCOMPARE(m_window->openTemplate("四\"季", QString(), -1, false, TEMPLATE_TYPE_SQLITE_DB_ATOM), 0);
        QCOMPARE(m_window->templateDialogs.size(), 1);
    }

    // Word-list views are read-only and refuse saving; the white list takes
    // the selection and saves it; the black list asks for the correction.
    void wordListsAndSpellingLists()
    {
        sql("Dictionary/近义词.db", {"CREATE TABLE 近义词 (Word01 text, Word02 text)",
                                   "INSERT INTO 近义词 VALUES ('美丽', '漂亮'), ('美丽', '好看')"});
        sql("Dictionary/白名单.db", {"CREATE TABLE 白名单 (Word text)", "INSERT INTO 白名单 VALUES ('天空')"});
        sql("Dictionary/黑名单.db", {"CREATE TABLE 黑名单 (TypoWord text, Correction text)"});
        QCOMPARE(m_window->openTemplate("Synonym", "美丽", -1, false, TEMPLATE_TYPE_SQLITE_DB_SYNONYM), 0);
        TemplateDialog* view = current();
        QVERIFY(view->property("ReadOnly").toBool());
        QVERIFY(rows(view).contains("漂亮") && rows(view).contains("好看"));
        QVERIFY(!m_window->saveTemplateFinal(false, view, m_window->mainTabWidget->currentIndex()));
        QCOMPARE(m_prompt->texts.last(), QString("词表视图只能查看，不能保存。"));

        m_window->newFile();
        MdiChild* editor = m_window->activeMdiChild();
        editor->setPlainText("错别字和新词");
        selectText(editor, 4, 6);
        addSelectedWordToWhiteListAct->trigger();
        QCOMPARE(current()->tableName(), QString("白名单"));
        QCOMPARE(rows(current()), QStringList({"天空", "新词"}));
        m_window->saveTemplate();
        QCOMPARE((sql("Dictionary/白名单.db", {"SELECT * FROM 白名单"})), QStringList({"天空", "新词"}));

        selectText(editor, 0, 3);
        m_prompt->textAnswers << "错别字 -> 正字";
        addSelectedWordToBlackListAct->trigger();
        QVERIFY(m_prompt->textQuestions.last().endsWith("|错别字 -> "));
        m_window->saveTemplate();
        QCOMPARE((sql("Dictionary/黑名单.db", {"SELECT * FROM 黑名单"})), QStringList({"错别字 | 正字"}));
    }

    // Words the user puts on the shipped black list are marked where their
    // characters belong to no other word (这次|聚会|很|热闹), never where they
    // do (这家|俱乐部), also in a window started afresh.
    void userBlackListWordsAreMarked()
    {
        for (const QString file : {"Dictionary/黑名单.db", "Dictionary/白名单.db", "Dictionary/高频字.db"})
            QVERIFY(QFile::copy(TestEnvironment::programDir() + '/' + file, file)
                    && QFile::setPermissions(file, QFile::ReadOwner | QFile::WriteOwner));
        for (const bool restarted : {false, true}) {
            m_window->newFile();
            MdiChild* editor = m_window->activeMdiChild();
            editor->setPlainText("这次聚会很热闹。这家俱乐部很大。");
            for (const auto& [from, answer] : restarted ? QList<QPair<int, QString>>()
                                                        : QList<QPair<int, QString>>{{2, "聚会 -> 集会"}, {9, "家俱 -> 家具"}}) {
                selectText(editor, from, from + 2);
                m_prompt->textAnswers << answer;
                addSelectedWordToBlackListAct->trigger();
                m_window->saveTemplate();
            }
            blackListSpellingCheckAct->trigger();
            QCOMPARE(marksOfBlocks(editor->document()).join('\n'),
                     QString("这次[聚会|聚会#0|#ff0000]很热闹。这家俱乐部很大。"));
            newWindow();
        }
    }
};

TQ_TEST_MAIN(DatabaseTemplatesTest)
#include "tst_databasetemplates.moc"
