// The generation commands in the main window, driven by their actions as a
// click would: every command reaches its template and its dialog; one command
// of each kind on the shipped data (text, dock and files); the title list and
// the batch with their failures; the template walks and fixed contents.

#include <QAction>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QMessageBox>
#include <QPushButton>
#include <QDockWidget>
#include <QListWidget>
#include <QSpinBox>
#include <QStackedWidget>
#include <QTabWidget>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextEdit>
#include <QTreeWidget>

#include "AutoGenInputDialog.h"
#include "AutoGenInputDialog4Advertisement.h"
#include "AutoGenInputDialog4AdvertisementSoft.h"
#include "DomParser.h"
#include "GenerationCommand.h"
#include "GenerationEngine.h"
#include "InputHistory.h"
#include "MainWindow.h"
#include "MdiArea.h"
#include "MdiChild.h"
#include "PoemConfigDialog.h"
#include "ProgramState.h"
#include "RandomSource.h"
#include "SettingsStore.h"
#include "StartUp.h"
#include "TemplateDialog.h"
#include "TestSupport.h"
#include "TextBlockUserData.h"
#include "ui_AutoGenInputDialog.h"
#include "ui_PoemConfigDialog.h"

namespace {

// The generation action of a text: the last made, since the marking command
// "政治" was made before the genre of the same name.
QAction* generationAction(MainWindow& window, const QString& text)
{
    QAction* found = nullptr;
    for (QAction* action : window.findChildren<QAction*>())
        if (action->text() == text)
            found = action;
    if (!found)
        qFatal("no action %s", qPrintable(text));
    return found;
}

void trigger(MainWindow& window, const QString& text)
{
    generationAction(window, text)->trigger();
}

void fill(AutoGenInputDialogBase* dialog, const QString& url = QString())
{
    for (const AutoGenInput& input : dialog->inputs())
        input.comboBox->setEditText(input.placeholder() == GenerationEngine::urlPlaceholder ? url : "某甲");
}

void accept(QDialog* dialog)
{
    QVERIFY(dialog->isVisible());
    QTest::mouseClick(dialog->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok), Qt::LeftButton);
    QVERIFY(dialog->isHidden());
}

// The template of the first record of every block from `from` on.
QStringList blockTemplates(MdiChild* child, int from)
{
    QStringList refs;
    for (QTextBlock block = child->document()->findBlockByNumber(from); block.isValid(); block = block.next()) {
        TextBlockUserData* data = TextBlockUserData::of(block);
        refs << (data && !data->items.isEmpty() ? data->items.first()->ref : QString("none"));
    }
    return refs;
}

// Checks that the blocks from `from` on came from path and read as finished
// text; moves `from` past them and returns their number, or -1.
int generatedBlocks(MdiChild* child, int& from, const QString& path)
{
    const QStringList refs = blockTemplates(child, from);
    const QString added = child->toPlainText().split('\n').mid(from).join('\n');
    from = child->document()->blockCount();
    if (refs.isEmpty() || refs.count(path) != refs.size() || added.trimmed().isEmpty() || added.contains('[')
        || added.contains("__")) {
        qWarning() << path << refs << added;
        return -1;
    }
    return refs.size();
}

void writeTemplate(const QString& path, const QList<QStringList>& entries)
{
    QString xml = "<template title=\"t\">";
    for (const QStringList& entry : entries) {
        xml += "<entry title=\"e\">";
        for (const QString& content : entry)
            xml += "<content>" + content + "</content>";
        xml += "</entry>";
    }
    writeBytes(path, (xml + "</template>").toUtf8());
}

// A template tab in front, filled from a file as the template library fills it.
TemplateDialog* showTemplateTab(MainWindow& window, const QString& path)
{
    auto* tab = new TemplateDialog(path);
    DomParser parser(tab->outlineTreeWidget());
    if (!parser.readFile(path) || !parser.buildTree())
        qFatal("cannot load %s", qPrintable(path));
    window.templateDialogs << tab;
    window.mainTabWidget->setCurrentIndex(window.mainTabWidget->addTab(tab, "t"));
    return tab;
}

} // namespace

class GenerationCommandsTest : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        Settings().clear();
        resetStartUpState();
        RandomSource::seed(11);
    }

    // Every command of the table, by its action: the template it fixes and the
    // dialog it opens (or the run it starts at once).
    void everyCommandReachesItsTemplateAndDialog()
    {
        CurrentDir cwd(TestEnvironment::programDir());
        ScriptedPrompt prompt;
        MessageCapture capture;
        MainWindow window(nullptr, MainWindow::NoStartUpTimers);
        const QStringList advertisements = QString("广告 服装 保健 美容 旅游 餐饮 食品").split(' ');
        const QStringList atOnce = QString("新闻 国际新闻 国内新闻 文化新闻 娱乐新闻 体育新闻 科技新闻 房产新闻 汽车新闻 "
                                           "政治 党务 外交 工业 经济 农业 文化 教育 公益 民族 宗教 防灾 环保 日记 散文 书信 情书")
                                       .split(' ');
        QCOMPARE(GenerationCommand::all().size(), 90);
        for (const GenerationCommand& command : GenerationCommand::all()) {
            const QString text = QString::fromUtf8(command.text);
            QString expected = "Templates/" + text + ".tqw";
            if (text.endsWith("新闻") && text != "新闻")
                expected = "Templates/新闻/" + text + ".tqw";
            expected.replace("情感", "情绪").replace("自建", "自建语段");
            QVERIFY2(!generationAction(window, text)->statusTip().isEmpty(), qPrintable(text));
            window.currentAutoGenTemplate = "unchanged";
            int from = window.activeMdiChild() ? window.activeMdiChild()->document()->blockCount() : 0;
            capture.clear();
            trigger(window, text);

            QDialog* shown = nullptr;
            for (QDialog* dialog : {(QDialog*)window.autoGenInputDialog, (QDialog*)window.autoGenInputDialog4Advertisement,
                                    (QDialog*)window.autoGenInputDialog4AdvertisementSoft, (QDialog*)window.poemConfigDialog}) {
                if (dialog && dialog->isVisible()) {
                    QVERIFY2(!shown, qPrintable(text));
                    shown = dialog;
                    dialog->hide();
                }
            }
            if (text == "人物设计" || text == "故事设计") {
                QCOMPARE(window.currentAutoGenTemplate, QString("unchanged"));
                QVERIFY(capture.contains("./" + expected));
                QVERIFY(!shown);
                continue;
            }
            QCOMPARE(window.currentAutoGenTemplate, expected);
            if (atOnce.contains(text)) {
                QVERIFY2(!shown, qPrintable(text));
                QVERIFY2(generatedBlocks(window.activeMdiChild(), from, expected) > 0, qPrintable(text));
            } else if (advertisements.contains(text)) {
                QCOMPARE(shown, (QDialog*)window.autoGenInputDialog4Advertisement);
            } else if (text == "软文") {
                QCOMPARE(shown, (QDialog*)window.autoGenInputDialog4AdvertisementSoft);
            } else if (text == "诗歌") {
                QCOMPARE(shown, (QDialog*)window.poemConfigDialog);
            } else {
                QVERIFY2(shown == window.autoGenInputDialog, qPrintable(text));
                QCOMPARE(window.autoGenInputDialog->ui->stackedWidget->currentIndex(), 0);
            }
        }
        QCOMPARE(generationAction(window, "美女")->statusTip(), QString("自动生成美女描述"));
        QVERIFY(!generationAction(window, "美女")->icon().isNull());
        QCOMPARE(generationAction(window, "国际新闻")->statusTip(), QString("国际新闻模板"));
        QVERIFY(prompt.texts.isEmpty());

        // A translated action text still finds the advertisement's template.
        QAction* clothing = generationAction(window, "服装");
        clothing->setText("服裝");
        clothing->trigger();
        QCOMPARE(window.currentAutoGenTemplate, QString("Templates/服装.tqw"));
        QVERIFY(window.autoGenInputDialog4Advertisement->isVisible());
    }

    // One command of each kind on the shipped data, as a user would run them.
    void commandsOnTheShippedData()
    {
        CurrentDir cwd(TestEnvironment::programDir());
        ScriptedPrompt prompt;
        MainWindow window(nullptr, MainWindow::NoStartUpTimers);
        QVERIFY(!window.autoGenInputDialog);

        // Before the deferred start-up work: the command makes the dialog it needs.
        trigger(window, "新闻");
        QVERIFY(window.autoGenInputDialog);
        MdiChild* child = window.activeMdiChild();
        QVERIFY(child);
        int from = 0;
        auto generated = [&](const QString& path) { return generatedBlocks(child, from, path); };
        QVERIFY(generated("Templates/新闻.tqw") > 0);

        trigger(window, "美女");
        fill(window.autoGenInputDialog);
        accept(window.autoGenInputDialog);
        QVERIFY(generated("Templates/美女.tqw") > 0);
        // The inputs became history.
        QCOMPARE(Settings().value("AutoGen/Man1Name/1/Key").toString(), QString("某甲"));

        trigger(window, "故事");
        accept(window.autoGenInputDialog);
        QVERIFY(generated("Templates/故事.tqw") > 0);

        trigger(window, "诗歌");
        window.poemConfigDialog->ui->lineNumbersSpinBox->setValue(8);
        window.poemConfigDialog->ui->finalSoundComboBox->setCurrentText("ang=ang-iang-uang");
        accept(window.poemConfigDialog);
        QCOMPARE(generated("Templates/诗歌/诗歌ANG=ANG-IANG-UANG.tqw"), 8);
        QCOMPARE(Settings().value("Poem/LineNumbers").toInt(), 8);
        QCOMPARE(Settings().value("Poem/FinalSound").toString(), QString("ang=ang-iang-uang"));

        trigger(window, "政治");
        QVERIFY(generated("Templates/政治.tqw") > 0);

        const QString url = "http://example.cn/店?a=1&b=2";
        trigger(window, "广告");
        fill(window.autoGenInputDialog4Advertisement, url);
        accept(window.autoGenInputDialog4Advertisement);
        QVERIFY(generated("Templates/广告.tqw") > 0);
        int links = 0;
        for (QTextBlock block = child->document()->begin(); block.isValid(); block = block.next()) {
            for (auto it = block.begin(); !it.atEnd(); ++it) {
                if (it.fragment().charFormat().isAnchor()) {
                    QCOMPARE(it.fragment().charFormat().anchorHref(), url);
                    QCOMPARE(it.fragment().text(), QString("某甲"));
                    ++links;
                }
            }
        }
        QVERIFY(links > 0);

        trigger(window, "软文");
        fill(window.autoGenInputDialog4AdvertisementSoft);
        accept(window.autoGenInputDialog4AdvertisementSoft);
        QVERIFY(generated("Templates/软文.tqw") > 0);

        trigger(window, "标题");
        accept(window.autoGenInputDialog);
        QCOMPARE(window.accessoryListWidget->count(), window.autoGenInputDialog->generationCount());
        QVERIFY(!window.accessoryDock->isHidden() && window.dictDock->isHidden());
        for (int i = 0; i < window.accessoryListWidget->count(); ++i)
            QVERIFY(!window.accessoryListWidget->item(i)->text().isEmpty());
        QCOMPARE(child->document()->blockCount(), from);

        // A batch of 20 into a new folder, without a dialog.
        autoGenBatchMode = true;
        const QString folder = freshTempFolder("batch") + "/新建";
        window.autoGenInputDialog->ui->textEditDir->setPlainText(folder + "\n");
        window.autoGenInputDialog->ui->textEditName->setPlainText("news");
        window.autoGenInputDialog->ui->spinBoxGenCount->setValue(20);
        trigger(window, "国内新闻");
        autoGenBatchMode = false;
        const QStringList files = QDir(folder).entryList(QDir::Files);
        QCOMPARE(files.size(), 20);
        QCOMPARE(files.first(), QString("news0000.txt"));
        QCOMPARE(files.last(), QString("news0019.txt"));
        for (const QString& file : files) {
            const QString text = QString::fromUtf8(readAll(folder + '/' + file));
            QVERIFY(!text.isEmpty() && !text.contains('\n') && !text.contains("__") && !text.contains('['));
        }
        QCOMPARE(prompt.openedUrls, QList<QUrl>({QUrl::fromLocalFile(folder)}));
        QCOMPARE(child->document()->blockCount(), from);
        QVERIFY(prompt.texts.isEmpty());
    }

    // A refused batch still keeps the inputs; a title list ignores batch mode and
    // keeps the titles made before a failure; an empty template takes the file.
    void failuresKeepWhatWasDone()
    {
        QString folder;
        QVERIFY(makeTestWorkFolder(folder));
        CurrentDir cwd(folder);
        writeTemplate("Templates/标题.tqw", {{"好", "好", "好", "[无]"}});
        writeTemplate("Templates/Atom/季.tqw", {{"春"}});
        writeTemplate("Templates/情书.tqw", {{"见字如面。"}});
        writeBytes("full/a.txt", "x");
        ScriptedPrompt prompt;
        MainWindow window(nullptr, MainWindow::NoStartUpTimers);

        autoGenBatchMode = true;
        window.storyInputDialog()->ui->textEditDir->setPlainText("full");
        window.storyInputDialog()->ui->comboBoxMan1Name->setEditText("林远");
        trigger(window, "情书");
        QCOMPARE(prompt.texts, QStringList({"请选择空目录，或输入不存在的目录，系统会自动为您创建。"}));
        QCOMPARE(QDir("full").entryList(QDir::Files).size(), 1);
        QCOMPARE(Settings().value("AutoGen/Man1Name/1/Key").toString(), QString("林远"));
        QVERIFY(prompt.openedUrls.isEmpty());

        prompt.texts.clear();
        window.currentAutoGenTemplate = "Templates/标题.tqw";
        window.autoGenStart();
        autoGenBatchMode = false;
        const int titles = window.accessoryListWidget->count();
        QVERIFY2(titles > 0 && titles < 10, qPrintable(QString::number(titles)));
        QCOMPARE(window.accessoryListWidget->item(0)->text(), QString("好"));
        QCOMPARE(prompt.texts, QStringList({"Templates/Atom/无.tqw 未找到或格式错误!"}));
        QCOMPARE(QDir("full").entryList(QDir::Files).size(), 1);

        window.currentAutoGenTemplate.clear();
        QString result;
        QVERIFY(window.autoGenFromTemplate(result, "Templates/Atom/季.tqw"));
        QCOMPARE(window.currentAutoGenTemplate, QString("Templates/Atom/季.tqw"));
        QCOMPARE(window.activeMdiChild()->toPlainText(), QString("春"));
    }

    void walksAndFixedContents()
    {
        QString folder;
        QVERIFY(makeTestWorkFolder(folder));
        CurrentDir cwd(folder);
        writeTemplate("combos.tqw", {{"a", "b"}, {"1", "2", "3"}, {"x"}});
        writeTemplate("six.tqw", {{"a"}, {"b"}, {"c"}, {"d"}, {"e"}, {"f"}});
        const QStringList seven{"1", "2", "3", "4", "5", "6", "7"};
        writeTemplate("many.tqw", {seven, seven, seven, seven, seven});
        const QStringList twenty = QString(20, 'z').split(QString(), Qt::SkipEmptyParts);
        writeTemplate("huge.tqw", {twenty, twenty, twenty, twenty, twenty});
        writeTemplate("Templates/Atom/季.tqw", {{"春"}});
        ScriptedPrompt prompt;
        MainWindow window(nullptr, MainWindow::NoStartUpTimers);
        auto text = [&]() { return window.activeMdiChild()->toPlainText(); };

        window.autoGenAct->trigger();
        QVERIFY(window.autoGenAllAct);
        window.autoGenAllAct->trigger(); // opens a document before it refuses
        QCOMPARE(prompt.texts, QStringList({"请先选择模板!", "请首先打开需要使用的模板!"}));
        QVERIFY(window.activeMdiChild());

        showTemplateTab(window, "combos.tqw");
        prompt.answers = {{QMessageBox::Yes, false}};
        window.autoGenAllAct->trigger();
        QCOMPARE(text(), QString("a1x\na2x\na3x\nb1x\nb2x\nb3x\n"));
        window.activeMdiChild()->clear();

        prompt.answers = {{QMessageBox::No, false}};
        window.autoGenAct->trigger();
        QCOMPARE(text().size(), 3);
        QVERIFY(TextBlockUserData::of(window.activeMdiChild()->document()->begin()));
        prompt.answers = {{QMessageBox::Cancel, false}};
        window.autoGenFromCurrentItemAct->trigger();
        QCOMPARE(text().size(), 3);
        window.activeMdiChild()->clear();

        prompt.texts.clear();
        showTemplateTab(window, "six.tqw");
        window.autoGenAllAct->trigger();
        showTemplateTab(window, "huge.tqw");
        window.autoGenAllAct->trigger();
        showTemplateTab(window, "many.tqw");
        prompt.answers = {{QMessageBox::No, false}};
        window.autoGenAllAct->trigger();
        QCOMPARE(prompt.texts.size(), 3);
        QCOMPARE(prompt.texts[0], QString("段落太多(最多五个段落)"));
        QVERIFY(prompt.texts[1].contains("1000000"));
        QVERIFY(prompt.texts[2].contains("16807"));
        QCOMPARE(text(), QString());

        // Fixed contents: plain runs as paragraphs, atom runs generated, a
        // missing atom reported and skipped, a run that names no atom kept as text;
        // into the document even in batch mode.
        prompt.texts.clear();
        QAction fixed(QString("用本条目生成"), nullptr);
        fixed.setProperty("content", "春天[季]的[无]早晨[a/b]");
        QObject::connect(&fixed, SIGNAL(triggered()), &window, SLOT(autoGenFinal()));
        autoGenBatchMode = true;
        fixed.trigger();
        autoGenBatchMode = false;
        QCOMPARE(text(), QString("春天\n春\n的\n早晨\n[a/b]"));
        QCOMPARE(prompt.texts, QStringList({"Templates/Atom/无.tqw 未找到或格式错误!"}));
        QCOMPARE(window.currentAutoGenTemplate, QString());
    }
};

TQ_TEST_MAIN(GenerationCommandsTest)
#include "tst_generationcommands.moc"
