// Main window: article generation (engine, template walks, genre, news and name commands).

#include "MainWindow.h"

#include <QAction>
#include <QDebug>
#include <QDialogButtonBox>
#include <QDockWidget>
#include <QListWidget>
#include <QMessageBox>
#include <QPointer>
#include <QProgressDialog>
#include <QPushButton>
#include <QTabWidget>
#include <QTextCursor>
#include <QTreeWidget>

#include "AutoGenInputDialog.h"
#include "AutoGenInputDialog4Advertisement.h"
#include "AutoGenInputDialog4AdvertisementSoft.h"
#include "GenerationBatch.h"
#include "GenerationCommand.h"
#include "GenerationEngine.h"
#include "GenerationSession.h"
#include "InputHistory.h"
#include "MdiChild.h"
#include "PoemConfigDialog.h"
#include "ProgramState.h"
#include "Prompt.h"
#include "SharedCodes.h"
#include "TemplateDialog.h"
#include "TemplateWalk.h"

namespace {

// The input dialog whose values fill the placeholders of a template.
AutoGenInputDialogBase* inputDialogOf(MainWindow& window, const QString& templatePath)
{
    switch (GenerationEngine::branchOf(templatePath)) {
    case GenerationEngine::AdvertisementBranch:
        return window.advertisementInputDialog();
    case GenerationEngine::AdvertorialBranch:
        return window.advertorialInputDialog();
    case GenerationEngine::StoryBranch:
        break;
    }
    return window.storyInputDialog();
}

// One run of the engine for the current template. A document run ignores batch mode.
GenerationEngine::Outcome generate(MainWindow& window, QString& result, const QString& outputFileName,
                                   bool documentOnly)
{
    if (window.currentAutoGenTemplate.isEmpty())
        window.currentAutoGenTemplate = outputFileName;
    GenerationEngine::Request request;
    request.templatePath = window.currentAutoGenTemplate;
    request.outputFileName = outputFileName;
    request.values = GenerationEngine::valuesOf(*inputDialogOf(window, request.templatePath));
    if (GenerationEngine::isPoemTemplate(request.templatePath))
        request.poemLines = window.poemSettingsDialog()->lineNumbers();
    request.batchMode = autoGenBatchMode && !documentOnly;
    request.editor = window.activeMdiChild();
    request.highlight = window.highlightAutoGenContent;
    request.highlightColor = window.highlightAutoGenContentColor;
    request.cursorTracking = &window.cursorTrackingEnabled;
    request.parent = &window;
    return GenerationEngine(request).run(result);
}

MdiChild* activeOrNewDocument(MainWindow& window)
{
    if (!window.activeMdiChild())
        window.newFile();
    return window.activeMdiChild();
}

// "是否自动换行?": Yes, No or Cancel.
int askLineBreaks(MainWindow& window)
{
    QMessageBox box(QMessageBox::Information, MainWindow::tr("提示!"), MainWindow::tr("是否自动换行?"),
                    QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel, &window);
    return Prompt::current().exec(box);
}

void showBox(MainWindow& window, QMessageBox::Icon icon, const QString& text, QMessageBox::StandardButton button)
{
    QMessageBox box(icon, MainWindow::tr("错误"), text, button, &window);
    Prompt::current().exec(box);
}

void reportWalkLimit(MainWindow& window, const TemplateWalk& walk)
{
    if (walk.limitReached()) {
        QMessageBox box(QMessageBox::Warning, MainWindow::tr("警告"),
                        MainWindow::tr("模板层次过深或条目过多，生成已在第 %1 条内容处停止。").arg(walk.inserted()),
                        QMessageBox::Ok, &window);
        Prompt::current().exec(box);
    }
}

// Inserts the chosen content of a walk as its own undo step and tags its block.
bool insertWalkContent(MainWindow& window, const QString& fileName, QTreeWidgetItem* content, int answer,
                       const QString& tag)
{
    MdiChild* child = activeOrNewDocument(window);
    if (!child)
        return false;
    QTextCursor cursor = child->textCursor();
    cursor.beginEditBlock();
    cursor.insertText(content->text(0));
    window.setBlockUserData(fileName + tag, TemplateWalk::indexOf(content), QList<int>());
    if (answer == QMessageBox::Yes)
        cursor.insertBlock();
    cursor.endEditBlock();
    return true;
}

TemplateDialog* frontTemplateTab(MainWindow& window)
{
    QWidget* page = window.mainTabWidget ? window.mainTabWidget->currentWidget() : nullptr;
    if (!page || page->objectName() != QLatin1String("TemplateDialog"))
        return nullptr;
    return qobject_cast<TemplateDialog*>(page);
}

// A command of the table: fixes its template and goes on as the command says.
void startCommand(MainWindow& window, const char* text)
{
    const GenerationCommand* command = GenerationCommand::ofText(QString::fromUtf8(text));
    if (!command) {
        qCritical() << "no generation command" << text;
        return;
    }
    switch (command->kind) {
    case GenerationCommand::Design:
        window.openTemplate(QStringLiteral("./") + command->path(), QString(), -1, false, 128, false);
        return;
    case GenerationCommand::Genre:
        window.autoGenGeneric(command->type);
        return;
    case GenerationCommand::AtOnce:
        window.currentAutoGenTemplate = command->path();
        window.autoGenStart();
        return;
    case GenerationCommand::Story:
        window.currentAutoGenTemplate = command->path();
        window.showAutoGenInputDialog(command->type);
        return;
    case GenerationCommand::Advertisement:
    case GenerationCommand::Poem:
        window.currentAutoGenTemplate = command->path();
        window.autoGenInit(command->type);
        return;
    }
}

} // namespace

// Saves the inputs as history, then generates a title list, a batch of files
// or one text into the active document, as the current template asks.
void MainWindow::autoGenStart()
{
    qDebug() << Q_FUNC_INFO;
    qDebug() << "currentAutoGenTemplate =" << currentAutoGenTemplate;
    if (!activeMdiChild())
        newFile();

    AutoGenInputDialogBase* dialog = inputDialogOf(*this, currentAutoGenTemplate);
    if (currentAutoGenTemplate == GenerationEngine::poemCommandTemplate) {
        PoemConfigDialog* poem = poemSettingsDialog();
        currentAutoGenTemplate = GenerationEngine::poemTemplate(poem->finalSound());
        settings.setValue(QStringLiteral("Poem/LineNumbers"), poem->lineNumbers());
        settings.setValue(QStringLiteral("Poem/FinalSound"), poem->finalSound());
        settings.setValue(QStringLiteral("Poem/Title"), poem->title());
    } else {
        for (const AutoGenInput& input : dialog->inputs())
            saveComboBoxHistory(input.comboBox, input.historyKey);
    }

    GenerationSession session(this);
    if (GenerationEngine::isTitleTemplate(currentAutoGenTemplate)) {
        dictDock->hide();
        accessoryDock->show();
        accessoryListWidget->clear();
        for (int i = 0; i < storyInputDialog()->generationCount(); ++i) {
            QString result;
            if (!autoGenFromTemplate(result, QString()))
                break;
            accessoryListWidget->addItem(result);
        }
        return;
    }
    if (autoGenBatchMode) {
        GenerationBatch batch(dialog->outputDirectory(), dialog->outputFileName(), dialog->generationCount(), this);
        if (!batch.prepare())
            return;
        batch.run([this](const QString& file) {
            QString result;
            return generate(*this, result, file, false);
        });
        batch.openDirectory();
        return;
    }
    QString result;
    autoGenFromTemplate(result, QString());
}

void MainWindow::resetAutoGenInputs()
{
    qDebug() << Q_FUNC_INFO;
    storyInputDialog()->resetAllSettings();
}

void MainWindow::resetAutoGenInputDialog4AdvertisementInputs()
{
    qDebug() << Q_FUNC_INFO;
    advertisementInputDialog()->resetAllSettings();
}

void MainWindow::resetAutoGenInputDialog4AdvertisementSoftInputs()
{
    qDebug() << Q_FUNC_INFO;
    advertorialInputDialog()->resetAllSettings();
}

// ---- Input dialogs -------------------------------------------------------------
// Made on first use, so a command that runs before the deferred start-up work
// finds its dialog; acceptance starts the generation, Reset forgets the history.

namespace {
template <typename Dialog>
Dialog* makeInputDialog(MainWindow* window, Dialog*& member, const char* resetSlot)
{
    if (!member) {
        member = new Dialog(window);
        QObject::connect(member, SIGNAL(accepted()), window, SLOT(autoGenStart()));
        if (resetSlot)
            QObject::connect(member->buttonBox()->button(QDialogButtonBox::Reset), SIGNAL(clicked()), window,
                             resetSlot);
    }
    return member;
}
} // namespace

AutoGenInputDialog* MainWindow::storyInputDialog()
{
    return makeInputDialog(this, autoGenInputDialog, SLOT(resetAutoGenInputs()));
}

AutoGenInputDialog4Advertisement* MainWindow::advertisementInputDialog()
{
    return makeInputDialog(this, autoGenInputDialog4Advertisement,
                           SLOT(resetAutoGenInputDialog4AdvertisementInputs()));
}

AutoGenInputDialog4AdvertisementSoft* MainWindow::advertorialInputDialog()
{
    return makeInputDialog(this, autoGenInputDialog4AdvertisementSoft,
                           SLOT(resetAutoGenInputDialog4AdvertisementSoftInputs()));
}

PoemConfigDialog* MainWindow::poemSettingsDialog()
{
    return makeInputDialog(this, poemConfigDialog, nullptr);
}

// ---- Generation engine ---------------------------------------------------------

bool MainWindow::autoGenFromTemplate(QString& result, const QString& outputFileName)
{
    qDebug() << Q_FUNC_INFO << ", outputFileName =" << outputFileName;
    return generate(*this, result, outputFileName, false) == GenerationEngine::Generated;
}

bool MainWindow::isAdvertisementTemplate()
{
    qDebug() << Q_FUNC_INFO;
    return GenerationEngine::isAdvertisementTemplate(currentAutoGenTemplate);
}

// ---- Template walks and fixed contents -----------------------------------------

void MainWindow::autoGen(int startRow)
{
    qDebug() << Q_FUNC_INFO << ", startRow =" << startRow;
    TemplateDialog* tab = frontTemplateTab(*this);
    if (!tab) {
        showBox(*this, QMessageBox::Information, tr("请先选择模板!"), QMessageBox::Ok);
        return;
    }
    const int answer = askLineBreaks(*this);
    if (answer == QMessageBox::Cancel)
        return;
    if (!activeOrNewDocument(*this))
        return;
    const QString fileName = tab->fileName();
    TemplateWalk walk([this, fileName, answer](QTreeWidgetItem* content, const QString& tag) {
        return insertWalkContent(*this, fileName, content, answer, tag);
    });
    walk.walk(tab->outlineTreeWidget(), startRow);
    reportWalkLimit(*this, walk);
}

void MainWindow::autoGen()
{
    qDebug() << Q_FUNC_INFO;
    autoGen(0);
}

void MainWindow::autoGenFromCurrentItem()
{
    qDebug() << Q_FUNC_INFO;
    TemplateDialog* tab = frontTemplateTab(*this);
    autoGen(tab ? tab->outlineTreeWidget()->currentIndex().row() : 0);
}

void MainWindow::autoGenParseItem(QTreeWidgetItem* item, int answer, int level, QString tag)
{
    qDebug() << Q_FUNC_INFO << ", answer =" << answer << ", level =" << level << ", tag =" << tag;
    if (!item)
        return;
    TemplateDialog* tab = frontTemplateTab(*this);
    const QString fileName = tab ? tab->fileName() : QString();
    TemplateWalk walk([this, fileName, answer](QTreeWidgetItem* content, const QString& contentTag) {
        return insertWalkContent(*this, fileName, content, answer, contentTag);
    });
    walk.walkItem(item, tag);
    reportWalkLimit(*this, walk);
}

void MainWindow::autoGenAll()
{
    qDebug() << Q_FUNC_INFO;
    MdiChild* child = activeOrNewDocument(*this);
    auto* tab = qobject_cast<TemplateDialog*>(mainTabWidget ? mainTabWidget->currentWidget() : nullptr);
    if (!tab) {
        showBox(*this, QMessageBox::Critical, tr("请首先打开需要使用的模板!"), QMessageBox::Yes);
        return;
    }
    const QTreeWidget* tree = tab->outlineTreeWidget();
    if (tree->topLevelItemCount() > TemplateWalk::MaximumTopLevelEntries) {
        showBox(*this, QMessageBox::Critical, tr("段落太多(最多五个段落)"), QMessageBox::Yes);
        return;
    }
    const qint64 count = TemplateWalk::combinationCount(tree);
    if (count > TemplateWalk::CombinationLimit) {
        showBox(*this, QMessageBox::Critical,
                tr("组合数超过 %1 个，无法全部生成。请减少各段落的条目。").arg(TemplateWalk::CombinationLimit),
                QMessageBox::Yes);
        return;
    }
    if (count > TemplateWalk::CombinationQuestionThreshold) {
        QMessageBox box(QMessageBox::Question, tr("提示!"),
                        tr("将生成 %1 个组合，可能需要较长时间。是否继续?").arg(count),
                        QMessageBox::Yes | QMessageBox::No, this);
        if (Prompt::current().exec(box) != QMessageBox::Yes)
            return;
    }
    const int answer = askLineBreaks(*this);
    if (answer == QMessageBox::Cancel || !child)
        return;
    QTextCursor cursor = child->textCursor();
    if (cursor.isNull())
        return;
    // Many combinations take a while: a progress dialog that can stop the
    // run; what was inserted before the stop stays, one undo step with the rest.
    QPointer<QProgressDialog> progress;
    if (count > TemplateWalk::CombinationQuestionThreshold) {
        progress = new QProgressDialog(tr("正在生成全部组合..."), tr("取消"), 0, int(count), this);
        progress->setObjectName(QStringLiteral("autoGenAllProgressDialog"));
        progress->setWindowModality(Qt::WindowModal);
        progress->setMinimumDuration(0);
        progress->setAutoClose(false);
        progress->setAutoReset(false);
    }
    const QPointer<MdiChild> document(child);
    qint64 done = 0;
    cursor.beginEditBlock();
    TemplateWalk::forEachCombination(tree, [&](const QString& text) {
        cursor.insertText(text);
        if (answer == QMessageBox::Yes)
            cursor.insertBlock();
        if (progress && ++done % 256 == 0) {
            progress->setValue(int(done));
            return !progress->wasCanceled();
        }
        return !document.isNull();
    });
    cursor.endEditBlock();
    delete progress.data();
}

// Inserts the "content" of the sending action: plain runs as they stand, every
// atom run generated from its atom template into the document.
void MainWindow::autoGenFinal()
{
    qDebug() << Q_FUNC_INFO;
    auto* action = qobject_cast<QAction*>(sender());
    if (!action)
        return;
    GenerationSession session(this);
    for (const QString& run : splitByMarkers(action->property("content").toString())) {
        currentAutoGenTemplate.clear();
        if (TemplateWalk::isAtomRun(run)) {
            QString result;
            generate(*this, result, GenerationEngine::atomPath(run.mid(1, run.size() - 2)), true);
            continue;
        }
        MdiChild* child = activeMdiChild();
        QTextCursor cursor = child ? child->textCursor() : QTextCursor();
        if (cursor.isNull())
            return;
        cursor.beginEditBlock();
        if (!cursor.atStart())
            cursor.insertBlock();
        cursor.insertText(run);
        cursor.endEditBlock();
    }
}

QStringList MainWindow::splitByMarkers(const QString& text)
{
    qDebug() << Q_FUNC_INFO << ", text =" << text;
    return TemplateWalk::splitByMarkers(text);
}

// ---- Generation commands -------------------------------------------------------

void MainWindow::autoGenInit(int type)
{
    qDebug() << Q_FUNC_INFO << ", type =" << type;
    switch (type) {
    case 2:
        advertisementInputDialog()->show();
        break;
    case 3:
        advertorialInputDialog()->show();
        break;
    case 55:
        poemSettingsDialog()->show();
        break;
    default:
        showAutoGenInputDialog(type);
        break;
    }
}

void MainWindow::autoGenGeneric(int type)
{
    qDebug() << Q_FUNC_INFO << ", type =" << type;
    const QString path = GenerationCommand::genreTemplate(type);
    if (!path.isEmpty())
        currentAutoGenTemplate = path;
    autoGenInit(type);
}

void MainWindow::showAutoGenInputDialog(int type)
{
    qDebug() << Q_FUNC_INFO << ", type =" << type;
    AutoGenInputDialog* dialog = storyInputDialog();
    dialog->setType(type);
    dialog->show();
}

// The template comes from the untranslated name the action carries, so a
// translated interface still finds it.
void MainWindow::advertisement()
{
    qDebug() << Q_FUNC_INFO;
    auto* action = qobject_cast<QAction*>(sender());
    if (!action)
        return;
    const GenerationCommand* command = GenerationCommand::ofText(action->data().toString());
    if (!command || command->kind != GenerationCommand::Advertisement) {
        qWarning() << "no advertisement template for" << action->data();
        return;
    }
    startCommand(*this, command->text);
}

void MainWindow::skeleton()
{
    qDebug() << Q_FUNC_INFO;
    startCommand(*this, "梗概");
}

void MainWindow::chapter()
{
    qDebug() << Q_FUNC_INFO;
    startCommand(*this, "开头");
}

void MainWindow::accost()
{
    qDebug() << Q_FUNC_INFO;
    startCommand(*this, "搭讪");
}

void MainWindow::conversation()
{
    qDebug() << Q_FUNC_INFO;
    startCommand(*this, "对话");
}

void MainWindow::loving()
{
    qDebug() << Q_FUNC_INFO;
    startCommand(*this, "相爱");
}

void MainWindow::figure()
{
    qDebug() << Q_FUNC_INFO;
    startCommand(*this, "人物");
}

void MainWindow::story()
{
    qDebug() << Q_FUNC_INFO;
    startCommand(*this, "故事");
}

void MainWindow::war()
{
    qDebug() << Q_FUNC_INFO;
    startCommand(*this, "战争");
}

void MainWindow::poem()
{
    qDebug() << Q_FUNC_INFO;
    startCommand(*this, "诗歌");
}

void MainWindow::loveLetter()
{
    qDebug() << Q_FUNC_INFO;
    startCommand(*this, "情书");
}

void MainWindow::characterDesignDummy()
{
    qDebug() << Q_FUNC_INFO;
    startCommand(*this, "人物设计");
}

void MainWindow::storyDesignDummy()
{
    qDebug() << Q_FUNC_INFO;
    startCommand(*this, "故事设计");
}

void MainWindow::news()
{
    qDebug() << Q_FUNC_INFO;
    startCommand(*this, "新闻");
}

void MainWindow::worldNews()
{
    qDebug() << Q_FUNC_INFO;
    startCommand(*this, "国际新闻");
}

void MainWindow::domesticNews()
{
    qDebug() << Q_FUNC_INFO;
    startCommand(*this, "国内新闻");
}

void MainWindow::cultureNews()
{
    qDebug() << Q_FUNC_INFO;
    startCommand(*this, "文化新闻");
}

void MainWindow::entertainmentNews()
{
    qDebug() << Q_FUNC_INFO;
    startCommand(*this, "娱乐新闻");
}

void MainWindow::sportsNews()
{
    qDebug() << Q_FUNC_INFO;
    startCommand(*this, "体育新闻");
}

void MainWindow::technologyNews()
{
    qDebug() << Q_FUNC_INFO;
    startCommand(*this, "科技新闻");
}

void MainWindow::houseNews()
{
    qDebug() << Q_FUNC_INFO;
    startCommand(*this, "房产新闻");
}

void MainWindow::carNews()
{
    qDebug() << Q_FUNC_INFO;
    startCommand(*this, "汽车新闻");
}

void MainWindow::politics()
{
    qDebug() << Q_FUNC_INFO;
    startCommand(*this, "政治");
}

void MainWindow::partyAffairs()
{
    qDebug() << Q_FUNC_INFO;
    startCommand(*this, "党务");
}

void MainWindow::diplomacy()
{
    qDebug() << Q_FUNC_INFO;
    startCommand(*this, "外交");
}

void MainWindow::industry()
{
    qDebug() << Q_FUNC_INFO;
    startCommand(*this, "工业");
}

void MainWindow::economy()
{
    qDebug() << Q_FUNC_INFO;
    startCommand(*this, "经济");
}

void MainWindow::agriculture()
{
    qDebug() << Q_FUNC_INFO;
    startCommand(*this, "农业");
}

void MainWindow::culture()
{
    qDebug() << Q_FUNC_INFO;
    startCommand(*this, "文化");
}

void MainWindow::education()
{
    qDebug() << Q_FUNC_INFO;
    startCommand(*this, "教育");
}

void MainWindow::publicWelfare()
{
    qDebug() << Q_FUNC_INFO;
    startCommand(*this, "公益");
}

void MainWindow::ethnicGroups()
{
    qDebug() << Q_FUNC_INFO;
    startCommand(*this, "民族");
}

void MainWindow::religions()
{
    qDebug() << Q_FUNC_INFO;
    startCommand(*this, "宗教");
}

void MainWindow::disasterPrevention()
{
    qDebug() << Q_FUNC_INFO;
    startCommand(*this, "防灾");
}

void MainWindow::environmentalProtection()
{
    qDebug() << Q_FUNC_INFO;
    startCommand(*this, "环保");
}

void MainWindow::diary()
{
    qDebug() << Q_FUNC_INFO;
    startCommand(*this, "日记");
}

void MainWindow::prose()
{
    qDebug() << Q_FUNC_INFO;
    startCommand(*this, "散文");
}

void MainWindow::letter()
{
    qDebug() << Q_FUNC_INFO;
    startCommand(*this, "书信");
}

// ---- Input history -------------------------------------------------------------

void MainWindow::saveComboBoxHistory(QComboBox* comboBox, const QString& key)
{
    qDebug() << Q_FUNC_INFO << ", key =" << key;
    InputHistory::save(comboBox, key, settings);
}

// ---- Name generation -----------------------------------------------------------

#include <QDockWidget>
#include <QListWidget>
#include <QMessageBox>

#include "AutoGenNameDialog.h"
#include "DomParser.h"
#include "Prompt.h"

void MainWindow::autoGenNameGeneric(int type)
{
    qDebug() << Q_FUNC_INFO << ", type =" << type;
    if (!autoGenNameDialog) {
        autoGenNameDialog = new AutoGenNameDialog(this);
        connect(autoGenNameDialog, &AutoGenNameDialog::Ok, this, &MainWindow::autoGenNameGenericStart);
    }
    autoGenNameDialog->setType(type);
    autoGenNameDialog->adjustSize();
    autoGenNameDialog->show();
    autoGenNameDialog->raise();
    autoGenNameDialog->activateWindow();
}

void MainWindow::autoGenNameGenericStart(int selection1, QString str1, int selection2, QString str2, int selection3,
                                         QString str3, int count, int type, int selection4, QString str4,
                                         int selection5, QString str5)
{
    qDebug() << Q_FUNC_INFO << ", count =" << count << ", type =" << type;

    currentAutoGenTemplate = AutoGenNameDialog::templateOf(type);
    DomParser parser;
    if (!parser.readFile(currentAutoGenTemplate)) {
        QMessageBox box(QMessageBox::Warning, tr("错误"), currentAutoGenTemplate + tr(" 未找到或格式错误!"),
                        QMessageBox::Ok, this);
        Prompt::current().exec(box);
        return;
    }
    parser.buildTree();
    accessoryDock->show();

    QStringList names;
    parser.generateNames(str1, selection1, str2, selection2, str3, selection3, count, type, &names, str4,
                         selection4, str5, selection5);
    accessoryListWidget->clear();
    for (int i = 0; i < qMin(count, names.size()); ++i)
        accessoryListWidget->addItem(names.at(i));
}
