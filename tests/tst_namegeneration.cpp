// Name generation: the generator over small templates (the given-name split,
// surname lengths and their fallback, fixed parts, alien parts left out and the
// one reseed, atoms with their failure and cycle cases), the options dialog, and
// the seven name actions driven as a click would, into the accessory list.

#include <QAction>
#include <QDockWidget>
#include <QGroupBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QSpinBox>

#include "AutoGenNameDialog.h"
#include "DomParser.h"
#include "MainWindow.h"
#include "RandomSource.h"
#include "TestSupport.h"

namespace {

QByteArray templateXml(const QList<QStringList>& entries)
{
    QString xml = "<template title=\"名字\">";
    for (const QStringList& candidates : entries)
        xml += "<entry title=\"部分\"><content>" + candidates.join("</content><content>") + "</content></entry>";
    return xml.replace("<content></content>", "").append("</template>").toUtf8();
}

// Names from a template written for the call; modes and texts of parts 1 to 5.
QStringList generate(const QList<QStringList>& entries, int type, int count, QVector<int> m = {},
                     QStringList t = {}, bool* ok = nullptr)
{
    m.resize(5);
    while (t.size() < 5)
        t << QString();
    writeBytes("Templates/名字.tqw", templateXml(entries));
    DomParser parser;
    QStringList names;
    const bool result = parser.readFile("Templates/名字.tqw")
                        && parser.generateNames(t[0], m[0], t[1], m[1], t[2], m[2], count, type, &names, t[3], m[3],
                                                t[4], m[4]);
    if (ok)
        *ok = result;
    return names;
}

QStringList times(int n, const QString& text) { return QVector<QString>(n, text).toList(); }

bool allMatch(const QStringList& names, const QString& pattern)
{
    const QRegularExpression expression("^(" + pattern + ")$");
    return std::all_of(names.begin(), names.end(), [&](const QString& n) { return expression.match(n).hasMatch(); });
}

int distinct(const QStringList& names) { return QSet<QString>(names.begin(), names.end()).size(); }

void clickOption(QRadioButton* button) // on its circle, as a user would
{
    QTest::mouseClick(button, Qt::LeftButton, Qt::NoModifier, QPoint(6, button->height() / 2));
}

void clickOk(AutoGenNameDialog* dialog)
{
    QTest::mouseClick(dialog->findChild<QPushButton*>("okPushButton"), Qt::LeftButton);
}

} // namespace

class NameGenerationTest : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        QVERIFY(enterTestWorkFolder());
        RandomSource::seed(4711);
    }

    void personalNames_data()
    {
        QTest::addColumn<int>("count");
        QTest::addColumn<QVector<int>>("modes");
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("random, 10") << 10 << QVector<int>() << times(5, "甲二") + times(5, "甲一二");
        QTest::newRow("random, 11") << 11 << QVector<int>() << times(5, "甲二") + times(6, "甲一二");
        QTest::newRow("one character") << 11 << QVector<int>{0, 1} << times(11, "甲二");
        QTest::newRow("two characters") << 11 << QVector<int>{0, 2} << times(11, "甲一二");
        QTest::newRow("fixed") << 4 << QVector<int>{3, 3} << times(4, "司徒星河");
    }

    void personalNames()
    {
        QFETCH(int, count);
        QFETCH(QVector<int>, modes);
        QFETCH(QStringList, expected);
        for (int type : {58, 59})
            QCOMPARE(generate({{"甲"}, {"一"}, {"二"}}, type, count, modes, {"司徒", "星河"}), expected);
        QCOMPARE(generate({{"甲"}, {"一"}, {"二"}}, 60, 2), times(2, "甲一二")); // other kinds join every part
    }

    void surnameLengths()
    {
        const QList<QStringList> entries{{"欧阳", "李", "司马", "王"}, {"一"}, {"二"}};
        const QStringList two = generate(entries, 59, 300, {2});
        QVERIFY(allMatch(two, "(欧阳|司马)一?二") && two.join("").contains("欧阳") && two.join("").contains("司马"));
        QVERIFY(allMatch(generate(entries, 58, 300, {1}), "(李|王)一?二"));
        // None of the length: any surname, a warning, no endless redraw.
        MessageCapture capture;
        QVERIFY(allMatch(generate({{"欧阳", "司马"}, {"一"}, {"二"}}, 58, 30, {1}), "(欧阳|司马)一?二"));
        QVERIFY(capture.contains("No surname of 1 characters"));
    }

    // The shipped name templates: two-character surnames come up about as rarely
    // as in life (at most one name in 30, but some), and "两字" still finds them.
    void shippedSurnamesAreMostlySingle()
    {
        CurrentDir cwd(TestEnvironment::programDir()); // atoms are found from the program folder
        for (const auto& kind : QVector<QPair<QString, int>>{{"男名", 58}, {"女名", 59}, {"称谓", 60}}) {
            DomParser parser;
            QVERIFY(parser.readFile("Templates/" + kind.first + ".tqw"));
            QStringList doubles;
            const QDomNodeList surnames = parser.document().elementsByTagName("entry").item(0).childNodes();
            for (int i = 0; i < surnames.count(); ++i) {
                if (surnames.item(i).toElement().text().size() == 2)
                    doubles << surnames.item(i).toElement().text();
            }
            QVERIFY2(!doubles.isEmpty(), qPrintable(kind.first));
            QStringList names;
            for (int run = 0; run < 100; ++run)
                QVERIFY(parser.generateNames({}, 0, {}, 0, {}, 0, 30, kind.second, &names, {}, 0, {}, 0));
            const QRegularExpression compound("^(" + doubles.join('|') + ")");
            const int found = int(std::count_if(names.begin(), names.end(),
                                                [&](const QString& name) { return compound.match(name).hasMatch(); }));
            QVERIFY2(found > 0 && found * 30 <= names.size(),
                     qPrintable(QString("%1: %2 of %3").arg(kind.first).arg(found).arg(names.size())));
            if (kind.second != 60) {
                names.clear();
                QVERIFY(parser.generateNames({}, 2, {}, 0, {}, 0, 30, kind.second, &names, {}, 0, {}, 0));
                QVERIFY(std::all_of(names.begin(), names.end(), [&](const QString& name) { return compound.match(name).hasMatch(); }));
            }
        }
    }

    void fixedAndEmptyParts()
    {
        const QStringList org = generate({{"华夏", "东方", "长江"}, {"科技", "文化"}, {"集团", "协会"}}, 62, 100,
                                         {0, 3}, {"", "远航"});
        QVERIFY(allMatch(org, "(华夏|东方|长江)远航(集团|协会)") && distinct(org) > 3);
        QCOMPARE(generate({{"甲"}, {}, {"丙"}}, 63, 1, {0, 3}, {"", "乙"}), QStringList("甲丙")); // no candidates
        QVERIFY(generate({{"甲"}}, 60, 0).isEmpty());

        const QList<QStringList> alien{{"克"}, {"拉"}, {"斯"}, {"·阿隆"}, {"星"}};
        DomParser::resetAlienNameSeedCounter();
        RandomSource::seed(1);
        const QStringList first = generate(alien, 64, 200);
        QCOMPARE(DomParser::alienNameSeedCounter(), 124);
        QVERIFY(allMatch(first, "克拉(斯)?(·阿隆)?(星)?"));
        QCOMPARE(distinct(first), 8); // parts 3 to 5 each left out at random
        DomParser::resetAlienNameSeedCounter(); // the first decision reseeds with 123 ...
        RandomSource::seed(987654);
        QCOMPARE(generate(alien, 64, 200), first);
        RandomSource::seed(987654); // ... once only
        QVERIFY(generate(alien, 64, 200) != first);
        QVERIFY(allMatch(generate(alien, 64, 50, {0, 0, 3, 3}, {"", "", "纳", "·伊奥"}), "克拉纳·伊奥(星)?"));
    }

    void atoms()
    {
        writeBytes("Templates/Atom/姓氏.tqw", templateXml({{"李"}}));
        writeBytes("Templates/Atom/方位.tqw", templateXml({{"东"}, {"西"}})); // the first drawn text counts
        writeBytes("Templates/Atom/空.tqw", templateXml({{}}));
        writeBytes("Templates/Atom/嵌套.tqw", templateXml({{"[方位]山"}}));
        writeBytes("Templates/Atom/环.tqw", templateXml({{"环[环]"}}));
        writeBytes("Templates/Atom/来.tqw", templateXml({{"[往]"}}));
        writeBytes("Templates/Atom/往.tqw", templateXml({{"[来]"}}));
        QCOMPARE(generate({{"[姓氏]老师"}, {"[方位][方位]"}}, 60, 1), QStringList("李老师东东"));
        QCOMPARE(generate({{"[嵌套]"}, {"[空]村"}, {"[a b][Ｘ]"}}, 61, 1), QStringList("东山村[a b][Ｘ]"));

        MessageCapture capture;
        bool ok = false;
        const QString loop = QString("环").repeated(DomParser::MaximumAtomReplacementsPerPart) + "[环]";
        QCOMPARE(generate({{"[环]"}, {"[来]"}}, 61, 2, {}, {}, &ok), times(2, loop + "[来]"));
        QVERIFY(ok && capture.contains("expand without end"));

        RandomSource::seed(3); // a missing atom ends the run; the names before it stay
        const QStringList partial = generate({{"好", "[缺失]"}, {"人"}}, 60, 30, {}, {}, &ok);
        QVERIFY(!ok && partial.size() < 30 && partial == times(partial.size(), "好人"));
        QVERIFY(capture.contains("Templates/Atom/缺失.tqw does not exist."));
    }

    void dialog()
    {
        AutoGenNameDialog dialog;
        const QVector<int> parts{2, 2, 2, 2, 3, 3, 5};
        for (int type = 58; type <= 64; ++type) {
            for (int previous : {64, 58}) {
                dialog.setType(previous);
                dialog.setType(type);
                QCOMPARE(dialog.windowTitle(), AutoGenNameDialog::titleOf(type));
                for (int part = 1; part <= 5; ++part) {
                    const bool shown = part <= parts[type - 58];
                    QCOMPARE(!dialog.partGroup(part)->isHidden(), shown);
                    QCOMPARE(shown && !dialog.twoCharButton(part)->isHidden(), shown && type <= 59);
                    QCOMPARE(shown && !dialog.oneCharButton(part)->isHidden(), shown && type <= 59);
                    QCOMPARE(dialog.randomButton(part)->text(), QString(type == 64 && part >= 3 ? "随机 (可能为空)" : "随机"));
                }
            }
        }
        QSpinBox* spin = dialog.countSpinBox();
        QCOMPARE(spin->toolTip(), QString("10 - 30"));
        dialog.show();
        for (const auto& typed : QVector<QPair<QString, int>>{{"9", 10}, {"31", 10}, {"30", 30}}) {
            spin->selectAll();
            QTest::keyClicks(spin, typed.first);
            spin->interpretText();
            QCOMPARE(spin->value(), typed.second);
        }
        QVERIFY(!dialog.fixedEdit(1)->isEnabled());
        for (int part : {1, 3, 5}) {
            clickOption(dialog.fixedButton(part));
            typeText(dialog.fixedEdit(part), QString("定%1").arg(part));
        }
        QSignalSpy ok(&dialog, &AutoGenNameDialog::Ok);
        dialog.setType(64); // the same kind keeps everything
        clickOk(&dialog);
        QVERIFY(dialog.isHidden());
        QCOMPARE(ok.at(0), QVariantList({3, "定1", 0, "", 3, "定3", 30, 64, 0, "", 3, "定5"}));
        dialog.setType(58); // another kind: parts 1 to 3 random, the texts and parts 4 and 5 kept
        dialog.show();
        QVERIFY(!dialog.fixedEdit(1)->isEnabled());
        clickOption(dialog.twoCharButton(1));
        clickOption(dialog.oneCharButton(2));
        clickOk(&dialog);
        QCOMPARE(ok.at(1), QVariantList({2, "定1", 1, "", 0, "定3", 30, 58, 0, "", 3, "定5"}));
    }

    void actions()
    {
        for (const QString folder : {"Templates/", "Templates/Atom/"}) {
            QDir().mkpath(folder);
            const QString shipped = TestEnvironment::programDir() + '/' + folder;
            for (const QString& file : QDir(shipped).entryList({"*.tqw"}, QDir::Files))
                QVERIFY(QFile::copy(shipped + file, folder + file));
        }
        MainWindow window(nullptr, MainWindow::NoStartUpTimers);
        window.accessoryDock->hide();
        auto listed = [&]() {
            QStringList names;
            for (int row = 0; row < window.accessoryListWidget->count(); ++row)
                names << window.accessoryListWidget->item(row)->text();
            return names;
        };
        const QList<QAction*> actions{window.manNameAct,   window.womanNameAct,        window.appellationAct,
                                      window.placeNameAct, window.organizationNameAct, window.mediaNameAct,
                                      window.planetNameAct};
        for (int type = 58; type <= 64; ++type) {
            QVERIFY(!actions[type - 58]->icon().isNull() && !actions[type - 58]->statusTip().isEmpty());
            actions[type - 58]->trigger();
            AutoGenNameDialog* dialog = window.autoGenNameDialog;
            QVERIFY(dialog->isVisible() && dialog->type() == type);
            dialog->countSpinBox()->setValue(20);
            clickOk(dialog);
            QVERIFY(!window.accessoryDock->isHidden());
            QCOMPARE(window.currentAutoGenTemplate, AutoGenNameDialog::templateOf(type));
            QVERIFY(listed().size() == 20 && allMatch(listed(), "[^\\[\\]]+")); // atoms expanded
        }
        AutoGenNameDialog* dialog = window.autoGenNameDialog; // kept: a fixed surname, one-character given names
        window.manNameAct->trigger();
        clickOption(dialog->fixedButton(1));
        dialog->fixedEdit(1)->setText("司徒");
        clickOption(dialog->oneCharButton(2));
        clickOk(dialog);
        QVERIFY(allMatch(listed(), "司徒.") && listed().size() == 20);
        window.manNameAct->trigger(); // two-character surnames and given names
        clickOption(dialog->twoCharButton(1));
        clickOption(dialog->twoCharButton(2));
        clickOk(dialog);
        QVERIFY(allMatch(listed(), "...."));

        QFile::remove("Templates/外星.tqw"); // gone: the error box, the list untouched
        const QString shown = window.accessoryListWidget->item(0)->text();
        ScriptedPrompt prompt;
        window.planetNameAct->trigger();
        clickOk(window.autoGenNameDialog);
        QCOMPARE(prompt.titles + prompt.texts, QStringList({"错误", "Templates/外星.tqw 未找到或格式错误!"}));
        QCOMPARE(window.accessoryListWidget->item(0)->text(), shown);
    }
};

TQ_TEST_MAIN(NameGenerationTest)
#include "tst_namegeneration.moc"
