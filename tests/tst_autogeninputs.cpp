// The inputs of generation: the input history (its saving rule and the one key
// spelling that readers, writers and Reset share), the input dialogs and the
// poem dialog (field table, box layout, batch widgets, shared history, Reset),
// and the main window's dialogs as the generation commands use them.

#include <QAction>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QDir>
#include <QLineEdit>
#include <QRandomGenerator>
#include <QPushButton>
#include <QSettings>
#include <QSpinBox>
#include <QStackedWidget>
#include <QTextEdit>
#include <QCheckBox>
#include <QLabel>

#include "AutoGenInputDialog.h"
#include "AutoGenInputDialog4Advertisement.h"
#include "AutoGenInputDialog4AdvertisementSoft.h"
#include "InputHistory.h"
#include "InputListModel.h"
#include "MainWindow.h"
#include "PoemConfigDialog.h"
#include "SettingsStore.h"
#include "StartUp.h"
#include "TestSupport.h"

namespace {

template <typename T = QWidget>
T* widget(const QObject& dialog, const QString& name)
{
    T* found = dialog.findChild<T*>(name);
    if (!found)
        qFatal("no widget %s", qPrintable(name));
    return found;
}

QComboBox* box(const QObject& dialog, const QString& name)
{
    return widget<QComboBox>(dialog, "comboBox" + name);
}

// "history|list" of a box, split at its first empty item.
QString layout(const QComboBox* comboBox)
{
    QStringList items;
    for (int i = 0; i < comboBox->count(); ++i)
        items << comboBox->itemText(i);
    const int separator = items.indexOf(QString());
    if (separator < 0)
        return "no separator";
    return items.mid(0, separator).join(',') + '|' + items.mid(separator + 1).join(',');
}

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

// A program folder holding the given word lists, current while the object lives.
class ProgramFolder
{
public:
    explicit ProgramFolder(const QMap<QString, QByteArray>& lists = {})
    {
        for (auto it = lists.begin(); it != lists.end(); ++it)
            writeBytes(m_dir.path() + "/List/" + it.key(), it.value());
        QDir::setCurrent(m_dir.path());
    }
    ~ProgramFolder() { QDir::setCurrent(m_previous); }

private:
    QString m_previous = QDir::currentPath();
    QTemporaryDir m_dir;
};

struct Expected
{
    QString field, placeholder, list;
};

QVector<Expected> storyFields()
{
    QVector<Expected> fields;
    const QList<QStringList> rows{{"Name", "NAME__", ""},
                                  {"Occupation", "OCCUPATION1_NAME__", "职业.txt"},
                                  {"Character", "CHARACTER1_NAME__", "特长.txt"},
                                  {"Defect", "DEFECT1_NAME__", "弱点.txt"},
                                  {"Habit", "HABIT1_NAME__", "习惯.txt"},
                                  {"Behavior", "BEHAVIOR1_NAME__", "目标.txt"},
                                  {"Props", "PROPS1_NAME__", "道具.txt"},
                                  {"Weapon", "WEAPON1_NAME__", "兵器.txt"}};
    for (const QString person : {"Man1", "Woman1", "Opponent1", "Opponent2", "Opponent3"}) {
        for (const QStringList& row : rows)
            fields.append({person + row[0], "__" + person.toUpper() + '_' + row[1], row[2]});
    }
    const QList<QStringList> groups{{"MaleSupportRole", "__MALE_SUPPORT_ROLE%1_NAME__", ""},
                                    {"FemaleSupportRole", "__FEMALE_SUPPORT_ROLE%1_NAME__", ""},
                                    {"Region", "__REGION%1_NAME__", "地区.txt"},
                                    {"Scene", "__SCENE%1_NAME__", "场景.txt"},
                                    {"Industry", "__INDUSTRY%1_NAME__", "行业.txt"},
                                    {"Animal", "__ANIMAL%1_NAME__", "动物.txt"},
                                    {"Vehicle", "__VEHICLE%1_NAME__", "交通工具.txt"},
                                    {"CommunicationTool", "__COMMUNICATION%1_TOOL_NAME__", "通讯工具.txt"}};
    for (const QStringList& group : groups) {
        for (int n = 1; n <= 4; ++n)
            fields.append({group[0] + QString::number(n), group[1].arg(n), group[2]});
    }
    return fields;
}

// Rows "field:placeholder:list" (list without ".txt").
QVector<Expected> expectedRows(const QString& rows)
{
    QVector<Expected> fields;
    for (const QString& row : rows.split(' ', Qt::SkipEmptyParts)) {
        const QStringList parts = row.split(':');
        fields.append({parts[0], parts[1], parts[2] + ".txt"});
    }
    return fields;
}

QVector<Expected> advertisementFields(bool advertorial)
{
    QString rows = "Url:__ADVERTISEMENT_URL__:网址 ";
    if (advertorial)
        rows += "Man1:__MAN1_NAME__:男主人公 Man1Occupation:__MAN1_OCCUPATION__:男主人公职业 Man1Age:__MAN1_AGE__:年龄 "
                "Woman1:__WOMAN1_NAME__:女主人公 Woman1Occupation:__WOMAN1_OCCUPATION__:女主人公职业 "
                "Woman1Age:__WOMAN1_AGE__:年龄 Scene1:__SCENE1_NAME__:场景 Scene2:__SCENE2_NAME__:场景 ";
    rows += "ProductName:__PRODUCT_NAME__:产品名 BrandName:__BRAND_NAME__:品牌名 "
            "ManufactureName:__MANUFACTURE_NAME__:生产商 DistributorName:__DISTRIBUTOR_NAME__:销售商 "
            "Price:__PRICE_VALUE__:价格 Media:__MEDIA_NAME__:媒体 Administrator:__ADMINISTRATOR_NAME__:机构 "
            "Expert:__EXPERT_NAME__:专家 Prize:__PRIZE_NAME__:荣誉 AdaptName:__ADAPT_NAME__:适应症状 "
            "AdaptPeopleName:__ADAPT_PEOPLE_NAME__:适应人群 Time:__TIME_VALUE__:时间 "
            "SalePlaceName:__SALE_PLACE_NAME__:销售地 MadePlaceName:__MADE_PLACE_NAME__:原产地 "
            "MeritName:__MERIT_NAME__:产品优点 Property:__PROPERTY_NAME__:产品属性 Theory:__THEORY_NAME__:产品原理 "
            "Material:__MATERIAL_NAME__:材料 Process:__PROCESS_NAME__:工艺 "
            "Keyword1:__KEYWORD1_NAME__:关键词 Keyword2:__KEYWORD2_NAME__:关键词 Keyword3:__KEYWORD3_NAME__:关键词 "
            "Keyword4:__KEYWORD4_NAME__:关键词 Customer1Name:__CUSTOMER1_NAME__:顾客姓名 "
            "Customer2Name:__CUSTOMER2_NAME__:顾客姓名 Customer3Name:__CUSTOMER3_NAME__:顾客姓名";
    return expectedRows(rows);
}

void checkFields(const AutoGenInputDialogBase& dialog, const QVector<Expected>& expected, const QString& group)
{
    QCOMPARE(dialog.inputs().size(), expected.size());
    QStringList linked;
    for (int i = 0; i < expected.size(); ++i) {
        const AutoGenInput& input = dialog.inputs().at(i);
        QCOMPARE(input.comboBox->objectName(), "comboBox" + expected[i].field);
        QCOMPARE(input.historyKey, group + '/' + expected[i].field);
        QCOMPARE(input.placeholder(), expected[i].placeholder);
        QCOMPARE(QString::fromUtf8(input.field->wordList), expected[i].list);
        QVERIFY(input.comboBox->isEditable());
        QCOMPARE(dialog.input(expected[i].placeholder), &input);
        if (input.field->linked)
            linked << expected[i].field;
    }
    // The other boxes are the news page's eight, which the generator never reads.
    const QList<QComboBox*> boxes = dialog.findChildren<QComboBox*>();
    QCOMPARE(boxes.size(), expected.size() + (group == "AutoGen" ? 8 : 0));
    for (QComboBox* comboBox : boxes)
        QVERIFY(comboBox->lineEdit()->isClearButtonEnabled());
    if (group == "Advertisement")
        QCOMPARE(linked.join(','), QString("ProductName,BrandName,ManufactureName,SalePlaceName,Keyword1,Keyword2,Keyword3,Keyword4"));
    else
        QVERIFY(linked.isEmpty());
}

bool shown(const QWidget* w)
{
    return !w->isHidden();
}

} // namespace

class TestAutoGenInputs : public QObject
{
    Q_OBJECT
private slots:
    void init()
    {
        Settings().clear();
        autoGenBatchMode = false;
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
        QCOMPARE(layout(&box), expectedLayout);
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
        for (int step = 0; step < 120; ++step) {
            const QString value = pool.at(random.bounded(pool.size()));
            box.setEditText(value);
            InputHistory::save(&box, "advertisement/Price", settings);
            if (!value.isEmpty() && value != InputHistory::prompt()) {
                model.removeAll(value);
                model.prepend(value);
                model = model.mid(0, 5);
            }
            QCOMPARE(stored("Advertisement/Price"), model);
            QCOMPARE(layout(&box), model.join(',') + "|x,y");
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
        loaded.addItem(QString());
        QCOMPARE(layout(&loaded), QString("勇敢,林远,青山|"));

        InputHistory::removeGroup("autogen");
        QCOMPARE(QSettings().childGroups(), QStringList{"Advertisement"});
        InputHistory::removeGroup("Advertisement");
        QVERIFY(QSettings().allKeys().isEmpty());
        QCOMPARE(InputHistory::key("other/Key"), QString("other/Key"));
    }

    void fieldTables()
    {
        ProgramFolder folder;
        AutoGenInputDialog story;
        checkFields(story, storyFields(), "AutoGen");
        QCOMPARE(widget<QLabel>(story, "labelOpponent2Habit")->text(), QString("习惯"));
        QCOMPARE(widget<QLabel>(story, "labelCommunicationTool3")->text(), QString("通讯工具3"));
        AutoGenInputDialog4Advertisement advertisement;
        checkFields(advertisement, advertisementFields(false), "Advertisement");
        QCOMPARE(widget<QLabel>(advertisement, "labelProperty")->text(), QString("产品性能"));
        AutoGenInputDialog4AdvertisementSoft advertorial;
        checkFields(advertorial, advertisementFields(true), "Advertisement");
        QVERIFY(!advertorial.findChild<QCheckBox*>());
    }

    void storyBoxLayout()
    {
        ProgramFolder folder({{"场景.txt", "湖边\n\n山顶\n"}, {"兵器.txt", "剑\r\n刀"}});
        store("autogen/Scene2", {"甲", "乙", "丙"}); // written under another spelling
        AutoGenInputDialog dialog;
        QCOMPARE(layout(box(dialog, "Scene2")), QString("甲,乙,丙|湖边,,山顶"));
        QCOMPARE(box(dialog, "Scene2")->currentText(), QString("甲"));
        QVERIFY(box(dialog, "Scene2")->lineEdit()->placeholderText().isEmpty());
        QCOMPARE(layout(box(dialog, "Scene1")), QString("|湖边,,山顶"));
        for (const QString person : {"Man1", "Woman1", "Opponent1", "Opponent2", "Opponent3"})
            QCOMPARE(layout(box(dialog, person + "Weapon")), QString("|剑,刀"));
        // The prompt: boxes without a list, and list boxes whose list was read.
        for (const QString name : {"Scene1", "Man1Weapon", "Opponent3Name", "MaleSupportRole4"}) {
            QCOMPARE(box(dialog, name)->lineEdit()->placeholderText(), InputHistory::prompt());
            QCOMPARE(box(dialog, name)->currentText(), QString());
        }
        QCOMPARE(layout(box(dialog, "Man1Occupation")), QString("|")); // list missing
        QVERIFY(box(dialog, "Man1Occupation")->lineEdit()->placeholderText().isEmpty());
        QCOMPARE(box(dialog, "Man1Weapon_2")->count(), 0);
        QCOMPARE(dialog.outputDirectory(), QDir::homePath());
        QCOMPARE(dialog.outputFileName(), QString("tmp"));
    }

    void advertisementBoxLayout()
    {
        ProgramFolder folder({{"广告/关键词.txt", "实惠\n健康\n"}, {"广告/顾客姓名.txt", "张伟\n"},
                              {"广告/年龄.txt", "三十岁\n"}, {"广告/场景.txt", "海边\n公园\n"}});
        AutoGenInputDialog4Advertisement advertisement;
        AutoGenInputDialog4AdvertisementSoft advertorial;
        for (const AutoGenInputDialogBase* dialog : {static_cast<AutoGenInputDialogBase*>(&advertisement),
                                                      static_cast<AutoGenInputDialogBase*>(&advertorial)}) {
            for (int n = 1; n <= 4; ++n)
                QCOMPARE(layout(box(*dialog, QString("Keyword%1").arg(n))), QString("|实惠,健康"));
            for (int n = 1; n <= 3; ++n)
                QCOMPARE(layout(box(*dialog, QString("Customer%1Name").arg(n))), QString("|张伟"));
            // Every box without history shows the prompt, its list read or not.
            QCOMPARE(layout(box(*dialog, "Url")), QString("|"));
            QCOMPARE(box(*dialog, "Url")->lineEdit()->placeholderText(), InputHistory::prompt());
        }
        QCOMPARE(layout(box(advertorial, "Man1Age")), QString("|三十岁"));
        QCOMPARE(layout(box(advertorial, "Woman1Age")), QString("|三十岁"));
        QCOMPARE(layout(box(advertorial, "Scene1")), QString("|海边,公园"));
        QCOMPARE(layout(box(advertorial, "Scene2")), QString("|海边,公园"));
    }

    void setTypeMatrix_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<bool>("batch");
        QTest::addColumn<int>("page");
        QTest::addColumn<bool>("frame");
        QTest::addColumn<bool>("count");
        QTest::addColumn<QString>("range"); // minimum-maximum:value
        QTest::newRow("story") << 0 << false << 0 << false << false << "10-30:10";
        QTest::newRow("story, batch") << 0 << true << 0 << true << true << "1-1000:1000";
        QTest::newRow("war, batch") << 53 << true << 0 << true << true << "1-1000:1000";
        QTest::newRow("news") << 1 << false << 1 << false << false << "10-30:10";
        QTest::newRow("news, batch") << 1 << true << 1 << true << true << "1-1000:1000";
        QTest::newRow("titles") << 4 << false << 0 << false << false << "10-30:10";
        QTest::newRow("titles, batch") << 4 << true << 0 << true << true << "10-30:10";
    }
    void setTypeMatrix()
    {
        QFETCH(int, type);
        QFETCH(bool, batch);
        QFETCH(int, page);
        QFETCH(bool, frame);
        QFETCH(bool, count);
        QFETCH(QString, range);
        ProgramFolder folder;
        AutoGenInputDialog dialog;
        autoGenBatchMode = batch;
        dialog.setType(type);
        auto* spinBox = widget<QSpinBox>(dialog, "spinBoxGenCount");
        QCOMPARE(widget<QStackedWidget>(dialog, "stackedWidget")->currentIndex(), page);
        QCOMPARE(shown(widget(dialog, "frameAutoGenBatch")), frame);
        QCOMPARE(shown(spinBox), count);
        QCOMPARE(shown(widget(dialog, "labelGenCount")), count);
        QCOMPARE(QString("%1-%2:%3").arg(spinBox->minimum()).arg(spinBox->maximum()).arg(spinBox->value()), range);

        if (batch) {
            // The count chosen for one run is set back by the next batch preparation,
            // but kept by a title list.
            spinBox->setValue(12);
            dialog.setType(4);
            QCOMPARE(spinBox->value(), 12);
            dialog.setType(0);
            QCOMPARE(spinBox->value(), 1000);
        }
    }

    void advertisementBatch()
    {
        ProgramFolder folder;
        AutoGenInputDialog4Advertisement off;
        auto* check = widget<QCheckBox>(off, "batchGenCheckBox");
        QVERIFY(!check->isChecked()); // as the flag, not as the form
        QVERIFY(!shown(widget(off, "frameAutoGenBatch")));
        check->click();
        QVERIFY(autoGenBatchMode);
        QVERIFY(shown(widget(off, "frameAutoGenBatch")));
        // Ticked: fields that an OK accepts, set once; the user's name stays.
        QCOMPARE(off.outputDirectory(), QDir::homePath());
        QCOMPARE(off.outputFileName(), QString("tmp"));
        QCOMPARE(off.generationCount(), 1000);
        widget<QTextEdit>(off, "textEditName")->setPlainText("我的广告");
        check->click();
        QVERIFY(!autoGenBatchMode);
        QVERIFY(!shown(widget(off, "frameAutoGenBatch")));
        check->click();
        QCOMPARE(off.outputFileName(), QString("我的广告"));
        check->click();

        // The advertorial frame follows the flag each time the dialog shows.
        AutoGenInputDialog4AdvertisementSoft advertorial;
        QVERIFY(!shown(widget(advertorial, "frameAutoGenBatch")));
        check->click();
        advertorial.show();
        QVERIFY(shown(widget(advertorial, "frameAutoGenBatch")));
        QCOMPARE(advertorial.outputDirectory(), QDir::homePath());
        QCOMPARE(advertorial.outputFileName(), QString("tmp"));
        QCOMPARE(advertorial.generationCount(), 1000);
        widget<QTextEdit>(advertorial, "textEditName")->setPlainText(" 广告 \n");
        QCOMPARE(advertorial.outputFileName(), QString("广告"));
        advertorial.hide();
        advertorial.show(); // the user's name stays
        QCOMPARE(advertorial.outputFileName(), QString("广告"));

        AutoGenInputDialog4Advertisement on;
        QVERIFY(widget<QCheckBox>(on, "batchGenCheckBox")->isChecked());
        QCOMPARE(on.outputDirectory(), QDir::homePath());
        QCOMPARE(on.outputFileName(), QString("tmp"));
        QCOMPARE(on.generationCount(), 10);
        QCOMPARE(widget<QSpinBox>(on, "spinBoxGenCount")->maximum(), 1000);
        AutoGenInputDialog4AdvertisementSoft advertorialOn;
        QCOMPARE(advertorialOn.generationCount(), 1000);
    }

    // Both advertisement dialogs read and Reset one history.
    void sharedHistoryAndReset()
    {
        ProgramFolder folder({{"广告/品牌名.txt", "青山\n晨露\n"}});
        Settings settings;
        {
            AutoGenInputDialog4AdvertisementSoft advertorial;
            box(advertorial, "BrandName")->setCurrentIndex(2); // "晨露" from the list
            InputHistory::save(box(advertorial, "BrandName"), advertorial.input("__BRAND_NAME__")->historyKey, settings);
        }
        AutoGenInputDialog4Advertisement advertisement;
        QCOMPARE(layout(box(advertisement, "BrandName")), QString("晨露|青山,晨露"));
        box(advertisement, "ProductName")->setEditText("竹韵凉席");
        InputHistory::save(box(advertisement, "ProductName"), "advertisement/ProductName", settings);
        AutoGenInputDialog4AdvertisementSoft advertorial;
        QCOMPARE(layout(box(advertorial, "ProductName")), QString("竹韵凉席|"));

        advertorial.resetAllSettings();
        for (const AutoGenInput& input : advertorial.inputs())
            QCOMPARE(input.text(), QString());
        QCOMPARE(layout(box(advertorial, "BrandName")), QString("晨露|青山,晨露"));
        QVERIFY(QSettings().allKeys().isEmpty());
    }

    void poemSettings_data()
    {
        QTest::addColumn<QVariant>("lines");
        QTest::addColumn<QVariant>("rhyme");
        QTest::addColumn<int>("shownLines");
        QTest::addColumn<QString>("shownRhyme");
        QTest::newRow("nothing stored") << QVariant() << QVariant() << 4 << "a=a-ia-ua";
        QTest::newRow("too few") << QVariant(2) << QVariant("ang=ang-iang-uang") << 4 << "ang=ang-iang-uang";
        QTest::newRow("too many") << QVariant(250) << QVariant("un=un") << 100 << "un=un";
        QTest::newRow("upper case") << QVariant(8) << QVariant("ANG=ANG-IANG-UANG") << 8 << "a=a-ia-ua";
        QTest::newRow("not a number") << QVariant("eight") << QVariant("") << 4 << "a=a-ia-ua";
    }
    void poemSettings()
    {
        QFETCH(QVariant, lines);
        QFETCH(QVariant, rhyme);
        QFETCH(int, shownLines);
        QFETCH(QString, shownRhyme);
        if (lines.isValid()) {
            Settings().setValue("Poem/LineNumbers", lines);
            Settings().setValue("poem/finalsound", rhyme);
        }
        PoemConfigDialog dialog;
        QCOMPARE(dialog.lineNumbers(), shownLines);
        QCOMPARE(dialog.finalSound(), shownRhyme);
        QCOMPARE(dialog.title(), QString());
        QVERIFY(!shown(widget(dialog, "titleComboBox")) && !shown(widget(dialog, "titleLabel")));
        auto* rhymes = widget<QComboBox>(dialog, "finalSoundComboBox");
        QCOMPARE(rhymes->count(), 18);
        QCOMPARE(rhymes->itemText(3), QString("ang=ang-iang-uang"));
        QCOMPARE(rhymes->itemText(17), QString("un=un"));
        widget<QSpinBox>(dialog, "lineNumbersSpinBox")->setValue(101);
        QCOMPARE(dialog.lineNumbers(), 100);
    }

    // As the generation commands use them: made on first use, shown by a genre
    // action, typed into, accepted, their inputs saved by the generation; after a restart the values come first; Reset forgets them.
    void mainWindowDialogs()
    {
        ProgramFolder folder;
        QVERIFY(QDir().mkpath("List"));
        for (const QString& file : QDir(TestEnvironment::programDir() + "/List").entryList(QDir::Files))
            QVERIFY(QFile::copy(TestEnvironment::programDir() + "/List/" + file, "List/" + file));
        const int scenes = fileBytes("List/场景.txt").count('\n');
        QVERIFY(scenes >= 20);
        ScriptedPrompt prompt;
        {
            MainWindow window(nullptr, MainWindow::NoStartUpTimers);
            QVERIFY(!window.autoGenInputDialog && !window.poemConfigDialog);
            AutoGenInputDialog* dialog = window.storyInputDialog();
            QCOMPARE(window.storyInputDialog(), dialog);
            QCOMPARE(window.autoGenInputDialog, dialog);
            QCOMPARE(dialog->parent(), &window);
            QCOMPARE(box(*dialog, "Scene1")->count(), 1 + scenes);
            actionByText(&window, "美女")->trigger();
            QVERIFY(dialog->isVisible());
            typeText(box(*dialog, "Man1Name")->lineEdit(), "林远");
            box(*dialog, "Scene1")->setCurrentIndex(3);
            const QString scene = box(*dialog, "Scene1")->currentText();
            MessageCapture capture;
            QTest::mouseClick(dialog->buttonBox()->button(QDialogButtonBox::Ok), Qt::LeftButton);
            QVERIFY(dialog->isHidden());
            QVERIFY(capture.contains("void MainWindow::autoGenStart()"));
            // The generation saved the inputs (the template itself is missing here).
            QCOMPARE(prompt.texts, QStringList({"Templates/美女.tqw 未找到或格式错误!"}));
            QCOMPARE(layout(box(*dialog, "Scene1")).section('|', 0, 0), scene);

            QCOMPARE(window.advertisementInputDialog()->parent(), &window);
            AutoGenInputDialog4AdvertisementSoft* advertorial = window.advertorialInputDialog();
            QCOMPARE(window.autoGenInputDialog4AdvertisementSoft, advertorial);
            QCOMPARE(window.poemSettingsDialog(), window.poemSettingsDialog());
            QCOMPARE(widget<QComboBox>(*window.advertisementInputDialog(), "comboBoxKeyword4")->count(),
                     1 + fileBytes("List/广告/关键词.txt").count('\n'));
        }
        MainWindow window(nullptr, MainWindow::NoStartUpTimers);
        AutoGenInputDialog* dialog = window.storyInputDialog();
        QCOMPARE(layout(box(*dialog, "Man1Name")), QString("林远|"));
        QCOMPARE(box(*dialog, "Man1Name")->currentText(), QString("林远"));
        QCOMPARE(box(*dialog, "Scene1")->count(), 2 + scenes); // the list keeps its copy
        dialog->show();
        QTest::mouseClick(dialog->buttonBox()->button(QDialogButtonBox::Reset), Qt::LeftButton);
        QVERIFY(dialog->isVisible());
        QCOMPARE(box(*dialog, "Man1Name")->currentText(), QString());
        QCOMPARE(box(*dialog, "Man1Name")->count(), 2);
        QVERIFY(!QSettings().childGroups().contains("autogen", Qt::CaseInsensitive));
    }
};

TQ_TEST_MAIN(TestAutoGenInputs)
#include "tst_autogeninputs.moc"
