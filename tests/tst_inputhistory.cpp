// Input history of the generation dialogs: the saving rule, its stored arrays,
// and the one key spelling that readers, writers and Reset share.

#include <QComboBox>
#include <QRandomGenerator>
#include <QSettings>

#include "InputHistory.h"
#include "InputListModel.h"
#include "SettingsStore.h"
#include "TestSupport.h"

namespace {

void store(const QString& key, const QStringList& values)
{
    Settings settings;
    settings.beginWriteArray(key, values.size());
    for (int i = 0; i < values.size(); ++i) {
        settings.setArrayIndex(i);
        settings.setValue("Key", values.at(i));
    }
    settings.endArray();
}

QStringList stored(const QString& key)
{
    Settings settings;
    QStringList values;
    const int size = settings.beginReadArray(key);
    for (int i = 0; i < size; ++i) {
        settings.setArrayIndex(i);
        values << settings.value("Key").toString();
    }
    settings.endArray();
    return values;
}

// A box laid out as the dialogs build it: history, separator, word list.
void fill(QComboBox& box, const QString& key, const QStringList& list)
{
    box.setEditable(true);
    box.insertSeparator(InputHistory::load(key, &box));
    box.addItems(list);
}

// "history|list": the items before and after the first empty one.
QString layout(const QComboBox& box)
{
    QStringList items;
    for (int i = 0; i < box.count(); ++i)
        items << box.itemText(i);
    int separator = items.indexOf(QString());
    if (separator < 0)
        separator = items.size();
    return items.mid(0, separator).join(',') + '|' + items.mid(separator + 1).join(',');
}

} // namespace

class TestInputHistory : public QObject
{
    Q_OBJECT
private slots:
    void init()
    {
        Settings().clear();
    }

    void savingRule_data()
    {
        QTest::addColumn<QStringList>("history");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QStringList>("expected");
        QTest::addColumn<QString>("expectedLayout");
        const QStringList five{"A", "B", "C", "D", "E"};
        QTest::newRow("new value") << five << "W" << QStringList{"W", "A", "B", "C", "D"} << "W,A,B,C,D|x,y";
        QTest::newRow("repeated") << five << "C" << QStringList{"C", "A", "B", "D", "E"} << "C,A,B,D,E|x,y";
        QTest::newRow("case") << QStringList{"ABC"} << "abc" << QStringList{"abc", "ABC"} << "abc,ABC|x,y";
        QTest::newRow("prompt") << QStringList{"A"} << InputHistory::prompt() << QStringList{"A"} << "A|x,y";
        QTest::newRow("empty") << QStringList{"A"} << "" << QStringList{"A"} << "A|x,y";
        QTest::newRow("from list") << QStringList{"A"} << "x" << QStringList{"x", "A"} << "x,A|x,y";
        QTest::newRow("first") << QStringList{} << "W" << QStringList{"W"} << "W|x,y";
        const QStringList seven{"A", "B", "C", "D", "E", "F", "G"};
        QTest::newRow("seven, new") << seven << "W" << QStringList{"W", "A", "B", "C", "D"} << "W,A,B,C,D|x,y";
        QTest::newRow("seven, last") << seven << "G" << QStringList{"G", "A", "B", "C", "D"} << "G,A,B,C,D|x,y";
    }
    void savingRule()
    {
        QFETCH(QStringList, history);
        QFETCH(QString, typed);
        QFETCH(QStringList, expected);
        QFETCH(QString, expectedLayout);
        store("AutoGen/Scene1", history);
        QComboBox box;
        fill(box, "AutoGen/Scene1", {"x", "y"});
        QCOMPARE(box.count(), history.size() + 3); // a long history loads whole
        box.setEditText(typed);
        Settings settings;
        InputHistory::save(&box, "autogen/Scene1", settings);
        QCOMPARE(stored("AutoGen/Scene1"), expected);
        QCOMPARE(layout(box), expectedLayout);
    }

    // Random saves against a model of the rule: newest first, no repeats, five at
    // most; in a box of the dialogs' own model, whose separator follows the history.
    void savingRuleMatchesModel()
    {
        const QStringList pool{"A", "a", "B", "C", "D", "E", "F", "G", "x", "y", "", InputHistory::prompt()};
        QRandomGenerator random(20260301);
        QComboBox box;
        box.setModel(new InputListModel(&box));
        fill(box, "Advertisement/Price", {"x", "y"});
        QStringList model;
        Settings settings;
        for (int step = 0; step < 300; ++step) {
            const QString value = pool.at(random.bounded(pool.size()));
            box.setEditText(value);
            InputHistory::save(&box, "advertisement/Price", settings);
            if (!value.isEmpty() && value != InputHistory::prompt()) {
                model.removeAll(value);
                model.prepend(value);
                model = model.mid(0, 5);
            }
            QCOMPARE(stored("Advertisement/Price"), model);
            QCOMPARE(layout(box), model.join(',') + "|x,y");
            for (int row = 0; row < box.count(); ++row) {
                const QModelIndex index = box.model()->index(row, 0);
                const bool separator = row == model.size();
                QCOMPARE(index.data(Qt::AccessibleDescriptionRole).toString() == "separator", separator);
                QCOMPARE(index.flags() == Qt::NoItemFlags, separator);
            }
        }
    }

    // Written as "autogen/…" and "Autogen/…", read as "AutoGen/…", removed as "autogen".
    void spellingsMeetInOneGroup()
    {
        Settings settings;
        QComboBox story, hero, brand;
        for (QComboBox* box : {&story, &hero, &brand})
            fill(*box, "unused/x", {});
        story.setEditText("勇敢");
        hero.setEditText("林远");
        brand.setEditText("青山");
        InputHistory::save(&story, "autogen/Man1Character", settings);
        InputHistory::save(&hero, "Autogen/Man1Name", settings);
        InputHistory::save(&brand, "advertisement/BrandName", settings);
        settings.sync();

        QSettings plain; // keys exactly as written to the file
        QCOMPARE(plain.childGroups(), (QStringList{"Advertisement", "AutoGen"}));
        QComboBox loaded;
        QCOMPARE(InputHistory::load("AutoGen/Man1Character", &loaded), 1);
        QCOMPARE(InputHistory::load("Autogen/Man1Name", &loaded), 1);
        QCOMPARE(InputHistory::load("ADVERTISEMENT/brandname", &loaded), 1);
        QCOMPARE(layout(loaded), QString("勇敢,林远,青山|"));

        InputHistory::removeGroup("autogen");
        QCOMPARE(QSettings().childGroups(), QStringList{"Advertisement"});
        InputHistory::removeGroup("Advertisement");
        QVERIFY(QSettings().allKeys().isEmpty());
        QCOMPARE(InputHistory::key("other/Key"), QString("other/Key"));
    }
};

TQ_TEST_MAIN(TestInputHistory)
#include "tst_inputhistory.moc"
