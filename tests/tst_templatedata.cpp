// The templates shipped beside the program: every generation command finds its
// template under its exact name, every file parses, every atom marker resolves
// without cycles, placeholders belong to the dialog of their template, and
// random draws come out as finished text; every generation command of the
// command table generates finished text through the engine with its dialog
// filled. Also checks that Templates/ is what data/templates/generate.py makes
// of its tables, and the atom database.

#include <QDir>
#include <QDirIterator>
#include <QProcess>
#include <QSet>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QComboBox>
#include <QTextEdit>
#include <algorithm>
#include <cstdio>
#include <functional>

#include "AutoGenInputDialog.h"
#include "AutoGenInputDialog4Advertisement.h"
#include "AutoGenInputDialog4AdvertisementSoft.h"
#include "DomParser.h"
#include "GenerationCommand.h"
#include "GenerationEngine.h"
#include "GenerationSession.h"
#include "PoemConfigDialog.h"
#include "RandomSource.h"
#include "TestSupport.h"

namespace {

const QStringList kStoryTemplates = QString(
    "标题 美女 帅哥 职业 装束 爱好 特长 道具 兵器 宠物 经历 秘密 个性 恋人 伤病 思想 愿望 误会 对手 配角 "
    "习惯 死亡 语言 恋爱 关系 景观 自建语段 打斗 场景 台词 巧合 情绪 都市言情 武侠 冒险 复仇 爱情 励志 商战 "
    "职场 人物设计 故事设计 悬疑 校园爱情 科幻 宫斗 童话 梗概 开头 搭讪 对话 相爱 人物 故事 战争 情书")
    .split(' ');
const QStringList kAdvertisements = QString("广告 服装 保健 美容 旅游 餐饮 食品").split(' ');
// Commands that generate at once, without a dialog: their templates use no placeholders.
const QStringList kAtOnce = QString(
    "新闻 新闻/国际新闻 新闻/国内新闻 新闻/文化新闻 新闻/娱乐新闻 新闻/体育新闻 新闻/科技新闻 新闻/房产新闻 "
    "新闻/汽车新闻 政治 党务 外交 工业 经济 农业 文化 教育 公益 民族 宗教 防灾 环保 日记 散文 书信")
    .split(' ');
const QStringList kRhymes = QString("a=a-ia-ua ai=ai-uai an=an-ian-uan ang=ang-iang-uang ao=ao-iao e=e-ie-ue "
                                    "ei=ei-ui en=en eng=eng er=er i=i in=in ing=ing o=o-uo ong=ong-iong ou=ou-iu "
                                    "u=u-v un=un")
                                .split(' ');
const QMap<QString, int> kNameParts{{"男名", 3}, {"女名", 3}, {"称谓", 2}, {"地名", 2},
                                    {"机构", 3}, {"媒体名称", 3}, {"外星", 5}};

// The template of every generation command, each rhyme group's poem in place of the poem command's.
QStringList generationTemplates()
{
    QStringList paths;
    for (const GenerationCommand& command : GenerationCommand::all())
        if (command.kind != GenerationCommand::Poem)
            paths << command.path();
    for (const QString& rhyme : PoemConfigDialog::rhymeGroups())
        paths << GenerationEngine::poemTemplate(rhyme);
    return paths;
}

QSet<QString> storyPlaceholders()
{
    QSet<QString> set;
    for (const QString p : {"MAN1", "WOMAN1", "OPPONENT1", "OPPONENT2", "OPPONENT3"}) {
        set << "__" + p + "_NAME__";
        for (const QString a : {"OCCUPATION", "CHARACTER", "DEFECT", "HABIT", "BEHAVIOR", "PROPS", "WEAPON"})
            set << "__" + p + "_" + a + "1_NAME__";
    }
    for (int n = 1; n <= 4; ++n) {
        for (const QString g : {"MALE_SUPPORT_ROLE", "FEMALE_SUPPORT_ROLE", "REGION", "SCENE", "INDUSTRY", "ANIMAL", "VEHICLE"})
            set << QString("__%1%2_NAME__").arg(g).arg(n);
        set << QString("__COMMUNICATION%1_TOOL_NAME__").arg(n);
    }
    return set;
}

QSet<QString> advertisementPlaceholders(bool advertorial)
{
    QStringList names = QString("ADVERTISEMENT_URL PRODUCT_NAME BRAND_NAME MANUFACTURE_NAME DISTRIBUTOR_NAME "
                                "PRICE_VALUE MEDIA_NAME ADMINISTRATOR_NAME EXPERT_NAME PRIZE_NAME ADAPT_NAME "
                                "ADAPT_PEOPLE_NAME TIME_VALUE SALE_PLACE_NAME MADE_PLACE_NAME MERIT_NAME PROPERTY_NAME "
                                "THEORY_NAME MATERIAL_NAME PROCESS_NAME KEYWORD1_NAME KEYWORD2_NAME KEYWORD3_NAME "
                                "KEYWORD4_NAME CUSTOMER1_NAME CUSTOMER2_NAME CUSTOMER3_NAME")
                            .split(' ');
    if (advertorial)
        names << QString("MAN1_NAME MAN1_OCCUPATION MAN1_AGE WOMAN1_NAME WOMAN1_OCCUPATION WOMAN1_AGE "
                         "SCENE1_NAME SCENE2_NAME").split(' ');
    QSet<QString> set;
    for (const QString& name : names)
        set << "__" + name + "__";
    return set;
}

// Placeholders the input dialog of a template (path relative to Templates/, no suffix) fills.
QSet<QString> placeholdersFor(const QString& name)
{
    if (kAdvertisements.contains(name))
        return advertisementPlaceholders(false);
    if (name == "软文")
        return advertisementPlaceholders(true);
    if (kStoryTemplates.contains(name) || name == "春游" || name == "小说大纲")
        return storyPlaceholders();
    return {};
}

QStringList contentsOf(const DomParser& parser)
{
    QStringList texts;
    const QDomNodeList nodes = parser.document().elementsByTagName("content");
    for (int i = 0; i < nodes.count(); ++i)
        texts << nodes.item(i).toElement().text();
    return texts;
}

const QRegularExpression kPlaceholder("__[A-Z0-9_]+?__");

} // namespace

class TemplateDataTest : public QObject
{
    Q_OBJECT

    QString m_templates = TestEnvironment::programDir() + "/Templates";
    QString m_atoms = m_templates + "/Atom";

    // Exact-case existence: the reader would fall back to other cases.
    bool existsExactly(const QString& relative) const
    {
        const QFileInfo info(m_templates + '/' + relative + ".tqw");
        return info.dir().entryList(QDir::Files).contains(info.fileName());
    }

    // Splices every marker of text with one draw of its atom, as generation does.
    QString expand(QString text, int depth = 0) const
    {
        if (depth > 16)
            return text;
        QRegularExpressionMatch match;
        while ((match = DomParser::atomMarkerExpression().match(text)).hasMatch()) {
            DomParser atom;
            if (!atom.readFile(m_atoms + '/' + match.captured().mid(1).chopped(1) + ".tqw"))
                return text;
            QStringList pieces;
            int entries = 0;
            QList<QList<int>> positions;
            atom.pickRandomContents(pieces, entries, positions);
            text.replace(match.capturedStart(), match.capturedLength(), expand(pieces.join(QString()), depth + 1));
        }
        return text;
    }

private slots:
    void generatorReproducesTheShippedFiles()
    {
        QProcess generator;
        generator.start("/usr/bin/python3", {TestEnvironment::sourceDir() + "/data/templates/generate.py", "--check"});
        QVERIFY(generator.waitForFinished(60000));
        QVERIFY2(generator.exitStatus() == QProcess::NormalExit && generator.exitCode() == 0,
                 generator.readAllStandardError().constData());
    }

    void everyCommandFindsItsTemplate()
    {
        QStringList wanted = kStoryTemplates + kAdvertisements + kAtOnce + kNameParts.keys();
        wanted << "软文";
        for (const QString& rhyme : kRhymes)
            wanted << "诗歌/诗歌" + rhyme.toUpper();
        for (const QString& name : wanted) {
            QVERIFY2(existsExactly(name), qPrintable(name));
            DomParser parser;
            QVERIFY2(parser.readFile(m_templates + '/' + name + ".tqw") && parser.buildTree(), qPrintable(name));
            const QDomElement first = parser.document().documentElement().firstChildElement();
            const QString firstChild = name.startsWith("诗歌/") ? "entry" : "content";
            QVERIFY2(first.tagName() == "entry" && first.firstChildElement().tagName() == firstChild, qPrintable(name));
        }
        // A poem's first entry holds its themes, each enough for a poem of ten lines.
        for (const QString& rhyme : kRhymes) {
            DomParser poem;
            QVERIFY(poem.readFile(m_templates + "/诗歌/诗歌" + rhyme.toUpper() + ".tqw"));
            int themes = 0;
            for (QDomElement theme = poem.document().documentElement().firstChildElement().firstChildElement();
                 !theme.isNull(); theme = theme.nextSiblingElement(), ++themes)
                QVERIFY2(theme.tagName() == "entry" && theme.elementsByTagName("content").count() >= 10, qPrintable(rhyme));
            QVERIFY2(themes >= 4, qPrintable(rhyme));
        }
        for (auto it = kNameParts.cbegin(); it != kNameParts.cend(); ++it) {
            DomParser names;
            QVERIFY(names.readFile(m_templates + '/' + it.key() + ".tqw"));
            QCOMPARE(names.document().elementsByTagName("entry").count(), it.value());
            if (it.value() == 3 && it.key().endsWith("名")) {
                QSet<int> lengths;
                const QDomNodeList surnames = names.document().elementsByTagName("entry").item(0).childNodes();
                for (int i = 0; i < surnames.count(); ++i)
                    lengths << surnames.item(i).toElement().text().size();
                QVERIFY2(lengths.contains(1) && lengths.contains(2), qPrintable(it.key()));
            }
        }
    }

    // Every shipped file: markers resolve, no cycles, no markup, placeholders of
    // its own dialog; seeded draws with every box filled leave nothing unexpanded.
    void everyTemplateGivesFinishedText()
    {
        QMap<QString, QSet<QString>> atomEdges;
        int files = 0;
        QDirIterator it(m_templates, {"*.tqw"}, QDir::Files, QDirIterator::Subdirectories);
        while (it.hasNext()) {
            const QString path = it.next();
            const QString name = QDir(m_templates).relativeFilePath(path).chopped(4);
            ++files;
            DomParser parser;
            QVERIFY2(parser.readFile(path) && parser.buildTree() && parser.header.isEmpty(), qPrintable(name));
            const QSet<QString> allowed = placeholdersFor(name);
            for (const QString& text : contentsOf(parser)) {
                QVERIFY2(!text.contains('<') && !text.contains('&'), qPrintable(name + ": " + text));
                auto markers = DomParser::atomMarkerExpression().globalMatch(text);
                while (markers.hasNext()) {
                    const QString atom = markers.next().captured().mid(1).chopped(1);
                    QVERIFY2(QFileInfo::exists(m_atoms + '/' + atom + ".tqw"), qPrintable(name + " -> " + atom));
                    if (name.startsWith("Atom/"))
                        atomEdges[name.mid(5)] << atom;
                }
                QVERIFY2(!QString(text).remove(DomParser::atomMarkerExpression()).contains('['), qPrintable(text));
                auto placeholders = kPlaceholder.globalMatch(text);
                while (placeholders.hasNext()) {
                    const QString placeholder = placeholders.next().captured();
                    QVERIFY2(allowed.contains(placeholder), qPrintable(name + ": " + placeholder));
                }
            }
            for (quint32 seed = 1; seed <= 8; ++seed) {
                RandomSource::seed(seed);
                QStringList pieces;
                int entries = 0;
                QList<QList<int>> positions;
                parser.pickRandomContents(pieces, entries, positions);
                QString text = expand(pieces.join(QString()));
                for (const QString& placeholder : allowed)
                    text.replace(placeholder, "甲");
                QVERIFY2(!text.isEmpty() && !text.contains('[') && !text.contains("__"), qPrintable(name + ": " + text));
            }
        }
        QVERIFY2(files > 140, qPrintable(QString::number(files)));
        std::function<bool(const QString&, QStringList)> cyclic = [&](const QString& atom, QStringList path) {
            if (path.contains(atom))
                return true;
            path << atom;
            for (const QString& next : atomEdges.value(atom))
                if (cyclic(next, path))
                    return true;
            return false;
        };
        for (const QString& atom : atomEdges.keys())
            QVERIFY2(!cyclic(atom, {}), qPrintable(atom));
    }

    // The lint of the commands: each command's template exists under its exact
    // name, parses, has an entry with children, and seeded runs through the
    // engine, with every box of its dialog filled, give finished text.
    void everyCommandGeneratesFinishedText()
    {
        CurrentDir cwd(TestEnvironment::programDir());
        AutoGenInputDialog story;
        AutoGenInputDialog4Advertisement advertisement;
        AutoGenInputDialog4AdvertisementSoft advertorial;
        for (AutoGenInputDialogBase* dialog : {(AutoGenInputDialogBase*)&story, (AutoGenInputDialogBase*)&advertisement,
                                               (AutoGenInputDialogBase*)&advertorial}) {
            for (const AutoGenInput& input : dialog->inputs())
                input.comboBox->setEditText(input.placeholder() == GenerationEngine::urlPlaceholder ? "www.example.cn" : "某甲");
        }
        const QStringList paths = generationTemplates();
        QCOMPARE(paths.size(), 47 + 8 + 1 + 8 + 25 + 18);
        QTextEdit editor;
        for (const QString& path : paths) {
            QVERIFY2(existsExactly(path.mid(10).chopped(4)), qPrintable(path));
            DomParser parser;
            QVERIFY2(parser.readFile(path) && parser.buildTree(), qPrintable(path));
            QVERIFY2(parser.document().documentElement().firstChildElement("entry").hasChildNodes(), qPrintable(path));
            GenerationEngine::Request request;
            request.templatePath = path;
            request.editor = &editor;
            request.poemLines = 8;
            const GenerationEngine::Branch branch = GenerationEngine::branchOf(path);
            request.values = GenerationEngine::valuesOf(branch == GenerationEngine::StoryBranch ? (AutoGenInputDialogBase&)story
                                                        : branch == GenerationEngine::AdvertisementBranch
                                                            ? (AutoGenInputDialogBase&)advertisement
                                                            : (AutoGenInputDialogBase&)advertorial);
            for (quint32 seed = 1; seed <= 5; ++seed) {
                RandomSource::seed(seed);
                editor.clear();
                QString title;
                QCOMPARE(GenerationEngine(request).run(title), GenerationEngine::Generated);
                const QString text = GenerationEngine::isTitleTemplate(path) ? title : editor.toPlainText();
                QVERIFY2(!text.trimmed().isEmpty() && !text.contains('[') && !text.contains("__"),
                         qPrintable(path + ": " + text));
            }
        }
    }

    // Generated text read as a reader reads it: hundreds of seeded runs of every
    // command through the engine, each dialog box picked from its word list as
    // a user picks (boxes without a list get a name, boxes of one list
    // different items). No text may keep a placeholder or a marker; no value
    // may stand in a frame that repeats it: a phrase of three characters or
    // more twice in one sentence, one of them in a filled-in value (a title
    // may not repeat one at all), a value that ends in a place word (上, 里,
    // 旁 …) followed by another, or a value whose ending the frame says once
    // more (活动期间 before 暑假期间); no poem repeats a line.
    void generatedTextsReadWell()
    {
        CurrentDir cwd(TestEnvironment::programDir());
        AutoGenInputDialog story;
        AutoGenInputDialog4Advertisement advertisement;
        AutoGenInputDialog4AdvertisementSoft advertorial;
        const QStringList men{"林振华", "周立强", "韩文博", "沈建国", "罗志明", "郭晓东", "唐海涛", "陆子昂"};
        const QStringList women{"苏晓雯", "叶静怡", "何雨桐", "程婉清", "江丽华", "姚梦琪"};
        const auto pick = [&](AutoGenInputDialogBase& dialog) {
            QHash<QString, QSet<int>> taken; // per word list, and per name pool
            for (const AutoGenInput& input : dialog.inputs()) {
                const QString list = QString::fromUtf8(input.field->wordList);
                const int count = input.comboBox->count();
                if (!list.isEmpty() && count > 0) {
                    // The separator between history and list is no item a user picks.
                    int index = RandomSource::bounded(count);
                    while (taken[list].contains(index) || input.comboBox->itemText(index).isEmpty())
                        index = (index + 1) % count;
                    taken[list] << index;
                    input.comboBox->setCurrentIndex(index);
                    continue;
                }
                const bool woman = input.placeholder().contains("WOMAN") || input.placeholder().contains("FEMALE");
                const QStringList& names = woman ? women : men;
                int index = RandomSource::bounded(names.size());
                while (taken[woman ? "女" : "男"].contains(index))
                    index = (index + 1) % names.size();
                taken[woman ? "女" : "男"] << index;
                input.comboBox->setEditText(names.at(index));
            }
            // Every value between two private-use marks, so that the text tells where values stand.
            QVector<PlaceholderValue> values = GenerationEngine::valuesOf(dialog);
            for (PlaceholderValue& value : values) {
                if (value.placeholder != GenerationEngine::urlPlaceholder && !value.value.isEmpty())
                    value.value = QChar(0xE000) + value.value + QChar(0xE001);
            }
            return values;
        };
        // The text without the marks, and for each of its characters whether a value put it there.
        const auto unmark = [](const QString& marked, QVector<bool>& fromValue, QStringList& values) {
            QString text;
            bool inside = false;
            for (const QChar c : marked) {
                if (c.unicode() == 0xE000) {
                    inside = true;
                    values << QString();
                } else if (c.unicode() == 0xE001) {
                    inside = false;
                } else {
                    text += c;
                    fromValue << inside;
                    if (inside)
                        values.last() += c;
                }
            }
            return text;
        };

        const QStringList paths = generationTemplates();

        static const QString locatives = "上里旁边前下中内外";
        static const QString sentenceEnds = "。！？；…\n";
        QStringList problems;
        int texts = 0;
        QTextEdit editor;
        GenerationSession session(nullptr);
        RandomSource::seed(20240611);
        for (const QString& path : paths) {
            const GenerationEngine::Branch branch = GenerationEngine::branchOf(path);
            AutoGenInputDialogBase& dialog = branch == GenerationEngine::StoryBranch ? (AutoGenInputDialogBase&)story
                                             : branch == GenerationEngine::AdvertisementBranch
                                                 ? (AutoGenInputDialogBase&)advertisement
                                                 : (AutoGenInputDialogBase&)advertorial;
            const bool poem = GenerationEngine::isPoemTemplate(path);
            const bool title = GenerationEngine::isTitleTemplate(path);
            const int runs = branch == GenerationEngine::StoryBranch && !poem && !title ? 120 : 300;
            for (int run = 0; run < runs; ++run, ++texts) {
                GenerationEngine::Request request;
                request.templatePath = path;
                request.editor = &editor;
                request.poemLines = QVector<int>{8, 8, 8, 4, 12, 20, 100}.at(run % 7);
                request.values = pick(dialog);
                editor.clear();
                QString result;
                QCOMPARE(GenerationEngine(request).run(result), GenerationEngine::Generated);
                QVector<bool> fromValue;
                QStringList values;
                const QString text = unmark(title ? result : editor.toPlainText(), fromValue, values);
                const auto problem = [&](const QString& what) {
                    problems << path + ": " + what + "\n    " + QString(text).replace('\n', "\n    ");
                };

                if (text.trimmed().isEmpty() || text.contains("__") || text.contains(QRegularExpression("\\[[^\\]]*\\]")))
                    problem("a placeholder or marker is left");
                if (poem) {
                    QStringList lines = text.split('\n');
                    lines.removeAll(QString());
                    if (QSet<QString>(lines.begin(), lines.end()).size() != lines.size())
                        problem("a line stands twice in the poem");
                }
                // Phrases of three ideographs, sentence by sentence.
                QHash<QString, int> at;
                for (int i = 0; i + 3 <= text.size(); ++i) {
                    if (sentenceEnds.contains(text.at(i)))
                        at.clear();
                    const QString phrase = text.mid(i, 3);
                    if (std::any_of(phrase.begin(), phrase.end(),
                                    [](QChar c) { return c.unicode() < 0x4e00 || c.unicode() > 0x9fa5; }))
                        continue;
                    const auto touched = [&](int from) {
                        return fromValue.at(from) || fromValue.at(from + 1) || fromValue.at(from + 2);
                    };
                    const auto seen = at.constFind(phrase);
                    if (seen != at.constEnd() && *seen + 3 <= i && (title || touched(*seen) || touched(i))) {
                        problem("the phrase " + phrase + " stands twice in one sentence");
                        break;
                    }
                    if (seen == at.constEnd())
                        at.insert(phrase, i);
                }
                // The frame around each value.
                for (int i = 0; i < text.size(); ++i) {
                    if (!fromValue.at(i) || (i > 0 && fromValue.at(i - 1)))
                        continue;
                    int end = i;
                    while (end < text.size() && fromValue.at(end))
                        ++end;
                    const QString value = text.mid(i, end - i);
                    const QString before = text.mid(qMax(0, i - 2), qMin(2, i));
                    const QString after = text.mid(end, 2);
                    const QChar last = value.back();
                    if (locatives.contains(last)
                        && (after.startsWith("附近") || after.startsWith("一带") || (!after.isEmpty() && locatives.contains(after.front()))))
                        problem(value + " is followed by another place word");
                    if (value.size() >= 3 && before == value.right(2))
                        problem(value + " has its ending in front of it");
                    if (value.size() >= 2 && after.startsWith(last))
                        problem(value + " has its last character once more after it");
                }
            }
        }
        QVERIFY(texts > 15000);
        // Each kind of problem once, with the first text that shows it.
        QMap<QString, QString> kinds;
        for (const QString& found : qAsConst(problems))
            kinds.insert(found.section('\n', 0, 0), found);
        for (const QString& found : qAsConst(kinds))
            std::fprintf(stderr, "%s\n", qPrintable(found));
        QVERIFY2(problems.isEmpty(), qPrintable(QString("%1 problems of %2 kinds in %3 texts")
                                                    .arg(problems.size()).arg(kinds.size()).arg(texts)));
    }

    void atomIndexListsEveryAtom()
    {
        QStringList atoms = QDir(m_atoms).entryList({"*.tqw"}, QDir::Files);
        atoms.removeAll("原子模板库.tqw");
        atoms.removeAll("常用工具.tqw");
        DomParser index;
        QVERIFY(index.readFile(m_atoms + "/原子模板库.tqw") && index.buildTree());
        QStringList listed;
        for (const QString& text : contentsOf(index))
            listed << text.mid(1).chopped(1) + ".tqw";
        std::sort(atoms.begin(), atoms.end());
        std::sort(listed.begin(), listed.end());
        QCOMPARE(listed, atoms);
        for (const QString prefix : {"形容", "描写", "指代"})
            QVERIFY(std::any_of(listed.cbegin(), listed.cend(), [&](const QString& a) { return a.startsWith(prefix); }));
        QVERIFY(std::any_of(listed.cbegin(), listed.cend(), [](const QString& a) { return a.endsWith("语境.tqw"); }));
    }

    void atomDatabaseHoldsOneColumnTables()
    {
        const QString path = TestEnvironment::programDir() + "/Dictionary/原子模板.db";
        QVERIFY(QFileInfo::exists(path));
        {
            QSqlDatabase db = QSqlDatabase::addDatabase("QSQLITE", "atomdata");
            db.setDatabaseName(path);
            db.setConnectOptions("QSQLITE_OPEN_READONLY");
            QVERIFY(db.open());
            const QStringList tables = db.tables();
            QVERIFY(tables.size() >= 3);
            for (const QString& table : tables) {
                const QSqlRecord record = db.record(table);
                QVERIFY2(record.count() == 1 && record.fieldName(0) == "content", qPrintable(table));
                QSqlQuery count(db);
                QVERIFY(count.exec(QString("SELECT COUNT(*) FROM \"%1\"").arg(table)) && count.next());
                QVERIFY2(count.value(0).toInt() > 0, qPrintable(table));
            }
        }
        QSqlDatabase::removeDatabase("atomdata");
    }
};

TQ_TEST_MAIN(TemplateDataTest)
#include "tst_templatedata.moc"
