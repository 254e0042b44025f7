#include "ActionTable.h"

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QClipboard>
#include <QDebug>
#include <QIcon>
#include <QPair>
#include <QShortcut>

#include "DefaultShortcuts.h"
#include "GlobalActions.h"
#include "MainWindow.h"
#include "MdiArea.h"
#include "SharedCodes.h"
#include "TextAnalysisRunner.h"

namespace {

using Row = ActionTable::Row;

// Fills one row step by step: A(&window->newAct, "新建", SLOT(newFile())).icon(...).tip(...).
class A
{
public:
    A(QAction** store, const char* text, const char* slot)
    {
        r.store = store;
        r.text = text;
        r.slot = slot;
    }
    A& tip(const char* statusTip)
    {
        r.statusTip = statusTip;
        return *this;
    }
    A& sameTip() { return flag(ActionTable::TipIsText); }
    A& icon(const char* path)
    {
        r.icon = path;
        return *this;
    }
    A& flag(unsigned flags)
    {
        r.flags |= flags;
        return *this;
    }
    A& checkable() { return flag(ActionTable::Checkable); }
    A& global() { return flag(ActionTable::ProcessWide); }
    A& data(int value)
    {
        r.data = value;
        return *this;
    }
    A& group(ActionTable::Group group)
    {
        r.group = group;
        return *this;
    }
    A& argument(int value)
    {
        r.argument = value;
        return *this;
    }
    A& kind(ActionTable::Kind kind)
    {
        r.kind = kind;
        return *this;
    }
    A& objectName(const char* name)
    {
        r.objectName = name;
        return *this;
    }
    A& checkedFrom(const char* key)
    {
        r.checkedKey = key;
        return *this;
    }
    A& standardKey(QKeySequence::StandardKey key)
    {
        r.standardKey = key;
        return *this;
    }
    operator Row() const { return r; }

private:
    Row r;
};

// Members of a family: checkable, with their index as data.
void family(QVector<Row>& rows, QAction** members, const QVector<const char*>& texts, const char* slot,
            ActionTable::Group group = ActionTable::NoGroup)
{
    for (int i = 0; i < texts.size(); ++i)
        rows << A(&members[i], texts.at(i), slot).checkable().data(i).group(group);
}

// Recent-item actions: hidden, without text or data.
void recentItems(QVector<Row>& rows, QAction** members, int count, const char* slot)
{
    for (int i = 0; i < count; ++i)
        rows << A(&members[i], nullptr, slot).flag(ActionTable::Hidden);
}

} // namespace

QVector<ActionTable::Row> ActionTable::rows(MainWindow* w)
{
    QVector<Row> t;
    t.reserve(360);

    // Editor markings and word lists
    t << A(&synonymMarkAct, QT_TR_NOOP("近义词标记"), SLOT(synonymMark())).global()
      << A(&expandMarkAct, QT_TR_NOOP("扩写标记"), SLOT(expandMark())).global()
      << A(&antonymMarkAct, QT_TR_NOOP("反义词标记"), SLOT(antonymMark())).global()
      << A(&synonymListAct, QT_TR_NOOP("近义词列表"), SLOT(newWordList())).global()
      << A(&antonymListAct, QT_TR_NOOP("反义词列表"), SLOT(newWordList())).global();

    // Template commands on the selection or the word under the cursor
    t << A(&openDatabaseTemplateUnderCursorAct, nullptr, SLOT(openDatabaseTemplateUnderCursor()))
             .global()
             .tip(QT_TR_NOOP("打开光标所在数据库模板"))
      << A(&openAtomTemplateUnderCursorAct, nullptr, SLOT(openAtomTemplateUnderCursor()))
             .global()
             .tip(QT_TR_NOOP("打开光标所在模板"))
      << A(&newTemplateParagraphFromSelectionAct, QT_TR_NOOP("加入为大纲条目"),
           SLOT(newTemplateParagraphFromSelection()))
             .global()
             .tip(QT_TR_NOOP("将所选内容加入为大纲项目"))
      << A(&newTemplateChildParagraphFromSelectionAct, QT_TR_NOOP("加入为大纲子条目"),
           SLOT(newTemplateChildParagraphFromSelection()))
             .global()
             .tip(QT_TR_NOOP("将所选内容加入为大纲子条目"))
      << A(&newTemplateContentFromSelectionAct, QT_TR_NOOP("加入为内容条目"), SLOT(newTemplateContentFromSelection()))
             .global()
             .tip(QT_TR_NOOP("将所选内容加入为内容条目"))
      << A(&searchAtomTemplateTOCAct, QT_TR_NOOP("在原子模板库中搜索"), SLOT(searchAtomTemplateTOC()))
             .global()
             .tip(QT_TR_NOOP("在原子模板库中搜索所选内容"))
      << A(&addTemplateMarkerAct, QT_TR_NOOP("标识为模板"), SLOT(addTemplateMarker()))
             .global()
             .tip(QT_TR_NOOP("将所选内容标识为模板"));

    // Files
    t << A(&w->newAct, QT_TR_NOOP("新建"), SLOT(newFile())).icon(":/Images/New.png").tip(QT_TR_NOOP("新建文档"))
      << A(nullptr, "Alt+F7", SLOT(dictSearch())).kind(WindowShortcut)
      << A(nullptr, "Alt+F11", SLOT(webSearch())).kind(WindowShortcut)
      << A(&w->openAct, QT_TR_NOOP("打开"), SLOT(open()))
             .icon(":/Images/Open.png")
             .standardKey(QKeySequence::Open)
             .tip(QT_TR_NOOP("打开文档"))
      << A(&w->openContainingDirectoryUsingSystemAppAct, QT_TR_NOOP("系统默认程序打开所在目录"),
           SLOT(openContainingDirectoryUsingSystemApp()))
             .sameTip()
      << A(&w->setCurrentTemplateReadOnlyAct, QT_TR_NOOP("设为只读"), SLOT(setCurrentTemplateReadOnly()))
             .checkable()
             .tip(QT_TR_NOOP("当前模板设为只读."))
      << A(&w->openContainingDirectoryUsingSystemApp4TabWidgetAct, QT_TR_NOOP("系统默认程序打开所在目录"),
           SLOT(openContainingDirectoryUsingSystemApp4TabWidget()))
             .sameTip();
    recentItems(t, w->recentFileActs, MainWindow::MaxRecentFiles, SLOT(openRecentFiles()));
    t << A(&w->saveAct, QT_TR_NOOP("保存"), SLOT(save()))
             .icon(":/Images/Save.png")
             .standardKey(QKeySequence::Save)
             .tip(QT_TR_NOOP("保存文档"))
      << A(&w->saveAsAct, QT_TR_NOOP("另存为"), SLOT(saveAs()))
             .standardKey(QKeySequence::SaveAs)
             .tip(QT_TR_NOOP("文档另存为"))
      << A(&w->saveAllAct, QT_TR_NOOP("保存所有文件"), SLOT(saveAll())).sameTip()
      << A(&w->openContainingDirectoryUsingDirectoryDockAct, QT_TR_NOOP("打开所在目录"),
           SLOT(openContainingDirectoryUsingDirectoryDock()));

    // Template files
    t << A(&w->openTemplateAct, QT_TR_NOOP("打开模板"), SLOT(openTemplate())).sameTip();
    recentItems(t, w->recentTemplateActions, MainWindow::MaxRecentTemplates, SLOT(openRecentTemplates()));
    t << A(&w->openDatabaseTemplateAct, QT_TR_NOOP("打开数据库模板"), SLOT(openDatabaseTemplate())).sameTip()
      << A(&w->saveTemplateAct, QT_TR_NOOP("保存模板"), SLOT(saveTemplate())).sameTip()
      << A(&w->textToTemplateAct, QT_TR_NOOP("文本分拆为模板条目"), SLOT(textToTemplate()))
      << A(&w->newTemplateAct, QT_TR_NOOP("新建模板"), SLOT(newTemplate()))
      << A(&w->utilitiesTemplateAct, QT_TR_NOOP("常用工具"), SLOT(utilitiesTemplate()))
      << A(&w->openAtomTemplateTOCAct, QT_TR_NOOP("原子模板库"), SLOT(openAtomTemplateTOC()))
      << A(&w->saveTemplateAsAct, QT_TR_NOOP("模板另存为"), SLOT(saveTemplateAs()));

    // Printing, export and quitting
    t << A(&w->printPreviewAct, QT_TR_NOOP("打印预览"), SLOT(printPreview()))
             .icon(":/Images/Print.png")
             .tip(QT_TR_NOOP("打印预览当前文档"))
      << A(&w->printAct, QT_TR_NOOP("打印"), SLOT(print())).icon(":/Images/Print.png").tip(QT_TR_NOOP("打印当前文档"))
      << A(&w->filePrintDocAct, QT_TR_NOOP("导出到DOC文件"), SLOT(filePrintDoc()))
             .icon("/ExportPdf.png")
             .tip(QT_TR_NOOP("将当前文档导出为DOC文档"))
      << A(&w->filePrintDocxAct, QT_TR_NOOP("导出到DOCX文件"), SLOT(filePrintDocx()))
             .icon("/ExportPdf.png")
             .tip(QT_TR_NOOP("将当前文档导出为DOCX文档"))
      << A(&w->filePrintPdfAct, QT_TR_NOOP("导出到PDF文件"), SLOT(filePrintPdf()))
             .icon("/ExportPdf.png")
             .tip(QT_TR_NOOP("将当前文档导出为PDF文档"))
      << A(&w->filePrintOdtAct, QT_TR_NOOP("导出到ODT文件"), SLOT(filePrintOdt()))
             .icon("/ExportOdt.png")
             .tip(QT_TR_NOOP("将当前文档导出为ODT文档"))
      << A(&w->exitAct, QT_TR_NOOP("退出"), SLOT(closeAllWindows())).flag(ToApplication).tip(QT_TR_NOOP("退出本程序"))
      << A(&w->filePropertyAct, QT_TR_NOOP("文件属性"), SLOT(fileProperty())).tip(QT_TR_NOOP("显示文件属性"));

    // Editing
    t << A(&w->undoAct, QT_TR_NOOP("撤销"), SLOT(undo())).icon(":/Images/Undo.png").tip(QT_TR_NOOP("撤销当前文档编辑操作"))
      << A(&w->redoAct, QT_TR_NOOP("重做"), SLOT(redo())).icon(":/Images/Redo.png").tip(QT_TR_NOOP("重做当前文档编辑操作"))
      << A(&w->cutAct, QT_TR_NOOP("剪切"), SLOT(cut())).icon(":/Images/Cut.png").tip(QT_TR_NOOP("剪切当前选定内容到剪贴板"))
      << A(&w->copyAct, QT_TR_NOOP("复制"), SLOT(copy())).icon(":/Images/Copy.png").tip(QT_TR_NOOP("复制当前选定内容到剪贴板"))
      << A(&w->pasteAct, QT_TR_NOOP("粘贴"), SLOT(paste())).icon(":/Images/Paste.png").tip(QT_TR_NOOP("粘贴剪贴板内容"))
      << A(&w->pasteAsPlainTextAct, QT_TR_NOOP("粘贴 (纯文本内容)"), SLOT(pasteAsPlainText()))
             .tip(QT_TR_NOOP("粘贴剪贴板纯文本内容"))
      << A(&pasteFromClipboardHistoryAct, QT_TR_NOOP("粘贴自剪贴板历史"), SLOT(pasteFromClipboardHistory()))
             .global()
             .tip(QT_TR_NOOP("选择剪贴板历史内容粘贴"))
      << A(&w->deleteSelectedTextAct, QT_TR_NOOP("删除"), SLOT(deleteSelectedText())).tip(QT_TR_NOOP("删除选定内容"))
      << A(&w->selectAllAct, QT_TR_NOOP("全选"), SLOT(selectAll())).tip(QT_TR_NOOP("全选当前文档内容"))
      << A(nullptr, nullptr, SLOT(clipboardDataChanged())).kind(ClipboardHook)
      << A(&w->setTextEditReadOnlyAct, QT_TR_NOOP("设为只读"), SLOT(setTextEditReadOnly()))
             .checkable()
             .tip(QT_TR_NOOP("当前文档设为只读."))
      << A(&w->autoFormatAct, QT_TR_NOOP("自动排版"), SLOT(autoFormat()))
             .tip(QT_TR_NOOP("当前文档自动排版，换行变成一行，空行变成换行."))
      << A(&w->preferencesAct, QT_TR_NOOP("首选项"), SLOT(preferences())).tip(QT_TR_NOOP("配置首选项"))
      << A(&w->removeFormatAct, QT_TR_NOOP("去除格式"), SLOT(toPlainText()))
      << A(&w->endSpellingCheckAct, QT_TR_NOOP("结束校对"), SLOT(toPlainText()));

    // Windows and tabs
    t << A(&w->closeAct, QT_TR_NOOP("关闭"), SLOT(closeActiveSubWindow()))
             .flag(ToMdiArea)
             .tip(QT_TR_NOOP("关闭当前活动窗口"))
      << A(&w->closeAllAct, QT_TR_NOOP("关闭所有"), SLOT(closeAllSubWindows()))
             .flag(ToMdiArea)
             .tip(QT_TR_NOOP("关闭所有窗口"))
      << A(&w->closeOthersAct, QT_TR_NOOP("关闭其它窗口"), SLOT(closeMultiSubWindows())).sameTip()
      << A(&w->closeRightAct, QT_TR_NOOP("关闭右侧窗口"), SLOT(closeMultiSubWindows())).sameTip()
      << A(&w->closeTabAct, QT_TR_NOOP("关闭"), SLOT(closeMultiTabs())).tip(QT_TR_NOOP("关闭当前分页"))
      << A(&w->closeAllTabsAct, QT_TR_NOOP("关闭所有"), SLOT(closeMultiTabs())).tip(QT_TR_NOOP("关闭所有分页"))
      << A(&w->closeOtherTabsAct, QT_TR_NOOP("关闭其它"), SLOT(closeMultiTabs())).tip(QT_TR_NOOP("关闭其它分页"))
      << A(&w->closeRightTabsAct, QT_TR_NOOP("关闭右侧分页"), SLOT(closeMultiTabs())).sameTip()
      << A(&w->tileAct, QT_TR_NOOP("铺开"), SLOT(tileSubWindows())).flag(ToMdiArea).tip(QT_TR_NOOP("铺开所有文档窗口"))
      << A(&w->cascadeAct, QT_TR_NOOP("层叠"), SLOT(cascadeSubWindows())).flag(ToMdiArea).tip(QT_TR_NOOP("层叠所有窗口"))
      << A(&w->nextAct, QT_TR_NOOP("下一个"), SLOT(activateNextSubWindow()))
             .flag(ToMdiArea)
             .tip(QT_TR_NOOP("移动焦点到下一个窗口"))
      << A(&w->previousAct, QT_TR_NOOP("上一个"), SLOT(activatePreviousSubWindow()))
             .flag(ToMdiArea)
             .tip(QT_TR_NOOP("移动焦点到上一个窗口"))
      << A(&w->separatorAct, nullptr, nullptr).kind(SeparatorAction);

    // Find
    t << A(&w->findAct, QT_TR_NOOP("查找"), SLOT(find())).tip(QT_TR_NOOP("查找替换文本"))
      << A(&w->replaceAct, QT_TR_NOOP("替换"), SLOT(replace())).sameTip()
      << A(&w->findNextAct, QT_TR_NOOP("查找下一个"), nullptr)
      << A(&w->findPreviousAct, QT_TR_NOOP("查找上一个"), nullptr);

    // View
    family(t, w->encodingActs, {"Big5", "Big5 HKSCS", "GB18030", "GB2312"}, SLOT(setEncoding()));
    family(t, w->showSymbolActs, {QT_TR_NOOP("显示空格和制表符"), QT_TR_NOOP("显示回车和换行符")}, SLOT(toggleSymbol()));
    family(t, w->zoomActs, {"25%", "50%", "100%", "200%", "400%", "800%", "1600%"}, SLOT(zoom()), ZoomGroup);
    for (Row& row : t)
        if (row.store == &w->zoomActs[2]) // "100%"
            row.flags |= Checked;
    t << A(&w->lineWrapAct, QT_TR_NOOP("自动换行"), SLOT(lineWrap())).checkable().tip(QT_TR_NOOP("切换换行模式"));
    family(t, w->toggleToolBarActs,
           {QT_TR_NOOP("文件"), QT_TR_NOOP("编辑"), QT_TR_NOOP("打印"), QT_TR_NOOP("词典"), QT_TR_NOOP("搜索"),
            QT_TR_NOOP("格式"), QT_TR_NOOP("字体")},
           SLOT(toggleToolBars()));
    const char* const toolBarKeys[MainWindow::ToolBarCount] = {
        "FileToolBarVisible",   "EditToolBarVisible",  "PrintToolBarVisible", "DictToolBarVisible",
        "SearchToolBarVisible", "StyleToolBarVisible", "FontToolBarVisible"};
    for (Row& row : t)
        for (int i = 0; i < MainWindow::ToolBarCount; ++i)
            if (row.store == &w->toggleToolBarActs[i])
                row.checkedKey = toolBarKeys[i];
    family(t, w->toolBarIconSizeActs, {QT_TR_NOOP("常规尺寸"), QT_TR_NOOP("小图标"), QT_TR_NOOP("大图标")},
           SLOT(setToolBarsIconSize()), IconSizeGroup);
    t << A(&w->showStatusBarAct, QT_TR_NOOP("显示状态栏"), SLOT(showStatusBar()))
             .checkable()
             .tip(QT_TR_NOOP("显示/隐藏状态栏"))
      << A(&w->highlightCurrentLineAct, QT_TR_NOOP("高亮显示当前行"), SLOT(highlightCurrentLine())).checkable().sameTip()
      << A(&w->highlightCurrentParagraphAct, QT_TR_NOOP("高亮显示当前段落"), SLOT(highlightCurrentParagraph()))
             .checkable()
             .sameTip()
      << A(&w->fullScreenAct, QT_TR_NOOP("全屏"), SLOT(fullScreen())).tip(QT_TR_NOOP("全屏显示模式"))
      << A(&w->gotoCharacterAct, QT_TR_NOOP("到第...个字符"), SLOT(gotoCharacter())).sameTip()
      << A(&w->gotoLineAct, QT_TR_NOOP("到第...行"), SLOT(gotoLine())).tip(QT_TR_NOOP("到指定行"));

    // The "图灵" menu: no connection
    t << A(&w->wordEditAct, QT_TR_NOOP("词语编辑"), nullptr).tip(QT_TR_NOOP("编辑词语"))
      << A(&w->grammarEditAct, QT_TR_NOOP("语法/句法 编辑"), nullptr).sameTip()
      << A(&w->grammarCheckAct, QT_TR_NOOP("语法检查"), nullptr).sameTip();

    // Text checking, analysis and highlighting
    t << A(&whiteListSpellingCheckAct, QT_TR_NOOP("白名单模式校对"), SLOT(whiteListSpellingCheck()))
             .global()
             .tip(QT_TR_NOOP("通过白名单模式进行文本校对"))
      << A(&blackListSpellingCheckAct, QT_TR_NOOP("黑名单模式校对"), SLOT(blackListSpellingCheck()))
             .global()
             .tip(QT_TR_NOOP("通过黑名单模式进行文本校对"))
      << A(&blackWhiteListSpellingCheckAct, QT_TR_NOOP("黑名单 + 白名单模式校对"), SLOT(blackWhiteListSpellingCheck()))
             .global()
             .tip(QT_TR_NOOP("通过黑名单 + 白名单模式进行文本校对"))
      << A(&userDefinedWordSpellingCheckAct, QT_TR_NOOP("自定义词校对"), SLOT(userDefinedWordSpellingCheck()))
             .global()
             .checkable()
             .sameTip()
      << A(&w->synonymEmbellishAct, QT_TR_NOOP("近义词润色"), SLOT(synonymEmbellish()))
      << A(&atomTemplateEmbellishAct, QT_TR_NOOP("原子模板润色"), SLOT(atomTemplateEmbellish()))
             .global()
             .flag(AtomTemplateEmbellishOnly)
      << A(&w->autoSpellingCorrectionAct, QT_TR_NOOP("一键校对"), SLOT(autoSpellingCorrection()))
      << A(&w->adjectiveWordMarkAct, QT_TR_NOOP("形容词与成语标记"), SLOT(adjectiveWordMark()))
      << A(&w->sensitiveWordMarkAct, QT_TR_NOOP("敏感词标记"), SLOT(sensitiveWordMark()))
      << A(&w->spellingMarkAct, QT_TR_NOOP("手工校对"), SLOT(spellingMark()))
      << A(&w->miscSpellingCheckAct, QT_TR_NOOP("通用模式"), SLOT(miscSpellingCheck()))
      << A(&w->charFreqCounterForTextSelectionAct, nullptr, SLOT(charFreqCounterForTextSelection()))
             .flag(TitleFromTool)
             .argument(16)
             .tip(QT_TR_NOOP("统计当前字频"))
      << A(&w->charFreqCounterForDirectoryAct, nullptr, SLOT(charFreqCounterForDirectory()))
             .flag(TitleFromTool)
             .argument(1)
             .tip(QT_TR_NOOP("统计目录字频"))
      << A(&w->jieBaWordFreqCounterForTextSelectionAct, nullptr, SLOT(jieBaWordFreqCounterForTextSelection()))
             .flag(TitleFromTool)
             .argument(35)
             .tip(QT_TR_NOOP("统计当前词频"))
      << A(&w->jieBaWordFreqCounterForDirectoryAct, nullptr, SLOT(jieBaWordFreqCounterForDirectory()))
             .flag(TitleFromTool)
             .argument(36)
             .tip(QT_TR_NOOP("统计目录词频"))
      << A(&w->jieBaNotCutAllForTextSelectionAct, nullptr, SLOT(jieBaNotCutAllForTextSelection()))
             .flag(TitleFromTool)
             .argument(33)
             .tip(QT_TR_NOOP("当前文件分词"))
      << A(&w->jieBaPartOfSpeechTaggingForTextSelectionAct, nullptr, SLOT(jieBaPartOfSpeechTaggingForTextSelection()))
             .flag(TitleFromTool)
             .argument(37)
             .tip(QT_TR_NOOP("词性标注"))
      << A(&w->partOfSpeechHighlightAct, QT_TR_NOOP("按词性高亮统计"), SLOT(partOfSpeechHighlight())).sameTip()
      << A(&w->quantifierHighlightAct, QT_TR_NOOP("量词"), SLOT(quantifierHighlight()))
             .tip(QT_TR_NOOP("高亮显示当前文档中的量词"))
      << A(&politicsSensitiveWordHighlightAct, QT_TR_NOOP("政治"), SLOT(politicsSensitiveWordHighlight()))
             .global()
             .tip(QT_TR_NOOP("高亮显示当前文档中的政治常用词"))
      << A(&eroticismSensitiveWordHighlightAct, QT_TR_NOOP("涉黄"), SLOT(eroticismSensitiveWordHighlight()))
             .global()
             .tip(QT_TR_NOOP("高亮显示当前文档中的涉黄常用词"))
      << A(&w->vulgarSensitiveWordHighlightAct, QT_TR_NOOP("粗俗"), SLOT(vulgarSensitiveWordHighlight()))
             .tip(QT_TR_NOOP("高亮显示当前文档中的粗俗常用词"))
      << A(&w->internetSensitiveWordHighlightAct, QT_TR_NOOP("网络语言"), SLOT(internetSensitiveWordHighlight()))
             .tip(QT_TR_NOOP("高亮显示当前文档中的网络语言"))
      << A(&w->surnameSensitiveWordHighlightAct, QT_TR_NOOP("姓氏"), SLOT(surnameSensitiveWordHighlight()))
             .tip(QT_TR_NOOP("高亮显示当前文档中的姓氏常用词"))
      << A(&w->placeNameSensitiveWordHighlightAct, QT_TR_NOOP("地名"), SLOT(placeNameSensitiveWordHighlight()))
             .tip(QT_TR_NOOP("高亮显示当前文档中的地名常用词"))
      << A(&w->englishCharHighlightAct, QT_TR_NOOP("英文"), SLOT(englishCharHighlight()))
             .tip(QT_TR_NOOP("高亮显示当前文档中的英文"))
      << A(&w->numberHighlightAct, QT_TR_NOOP("数字"), SLOT(numberHighlight()))
             .tip(QT_TR_NOOP("高亮显示当前文档中的阿拉伯数字"))
      << A(&w->polyphoneHighlightAct, QT_TR_NOOP("多音字"), SLOT(polyphoneHighlight()))
             .tip(QT_TR_NOOP("高亮显示当前文档中的多音字"))
      << A(&w->userDefinedCategoryHighlightAct, QT_TR_NOOP("自定义"), SLOT(userDefinedCategoryHighlight()))
             .tip(QT_TR_NOOP("高亮显示当前文档中的用户自定义类别"))
      << A(&w->idiomHighlightAct, QT_TR_NOOP("成语"), SLOT(idiomHighlight())).tip(QT_TR_NOOP("高亮显示当前文档中的成语"))
      << A(&addSelectedWordToWhiteListAct, QT_TR_NOOP("添加选中单词到白名单"), SLOT(addSelectedContentToTemplate()))
             .global()
             .objectName("AddSelectedWordToWhiteListAct")
             .sameTip()
      << A(&addSelectedWordToBlackListAct, QT_TR_NOOP("添加选中单词到黑名单"), SLOT(addSelectedContentToTemplate()))
             .global()
             .objectName("AddSelectedWordToBlackListAct")
             .sameTip()
      << A(&addSelectedContentToCurrentTemplateAct, QT_TR_NOOP("添加选中内容到当前目标"),
           SLOT(addSelectedContentToTemplate()))
             .global()
             .objectName("AddSelectedContentToCurrentTemplateAct")
             .sameTip()
      << A(&w->statisticsAct, QT_TR_NOOP("统计信息"), SLOT(statistics())).sameTip()
      << A(&w->logOutputAct, QT_TR_NOOP("实时显示运行日志"), SLOT(logOutputChanged())).checkable().flag(OnChanged).sameTip();

    // Crash tests (super-user mode only)
    const struct {
        QAction** store;
        const char* text;
        const char* slot;
        const char* tip;
    } crashTests[] = {
        {&w->divisionByZeroAct, QT_TR_NOOP("除以零"), SLOT(divisionByZero()), QT_TR_NOOP("除以零: 非0数字除以0")},
        {&w->segmentationFaultAct, QT_TR_NOOP("段错误"), SLOT(segmentationFault()),
         QT_TR_NOOP("段错误: 尝试修改只读内存")},
        {&w->stackOverflowAct, QT_TR_NOOP("栈溢出"), SLOT(stackOverflow()), QT_TR_NOOP("栈溢出: 递归无限调用")},
        {&w->bufferOverflowAct, QT_TR_NOOP("缓冲区溢出"), SLOT(bufferOverflow()),
         QT_TR_NOOP("缓冲区溢出: 超过缓冲区能保存的最大数据量的数据")},
        {&w->memoryLeakAct, QT_TR_NOOP("内存泄漏"), SLOT(memoryLeak()), QT_TR_NOOP("内存泄漏: 申请过多的内存(没有及时释放)")},
        {&w->abortFuncAct, QT_TR_NOOP("abort异常终止"), SLOT(abortFunc()),
         QT_TR_NOOP("abort异常终止: 调用abort函数, 使程序异常终止")},
        {&w->assertFalseAct, QT_TR_NOOP("assert断言为否"), SLOT(assertFalse()),
         QT_TR_NOOP("assert断言为否: 调用assert函数, 但是参数为否(false)")},
        {&w->throwExceptionAct, QT_TR_NOOP("抛异常"), SLOT(throwException()), QT_TR_NOOP("抛异常: 强制抛出一个异常")},
        {&w->freeUninitializedPointerAct, QT_TR_NOOP("释放野指针"), SLOT(freeUninitializedPointer()),
         QT_TR_NOOP("释放野指针: free(uninitialized pointer)")},
        {&w->deleteUninitializedPointerAct, QT_TR_NOOP("删除野指针"), SLOT(deleteUninitializedPointer()),
         QT_TR_NOOP("删除野指针: delete(uninitialized pointer)")},
    };
    for (const auto& crash : crashTests)
        t << A(crash.store, crash.text, crash.slot).tip(crash.tip).flag(SuperUserOnly);

    // Tools and preferences
    t << A(&w->wordCloudAct, QT_TR_NOOP("词云"), SLOT(wordCloud())).tip(QT_TR_NOOP("生成词云"))
      << A(&w->searchAct, QT_TR_NOOP("搜索"), SLOT(search())).tip(QT_TR_NOOP("搜索文件内容"))
      << A(&w->preferencesExAct, QT_TR_NOOP("首选项Ex (只有界面，没实际功能)"), SLOT(preferencesEx()))
             .tip(QT_TR_NOOP("设置首选项"));

    // Skins, in menu order (the skin id is the argument)
    const struct {
        int id;
        const char* text;
        const char* tip;
    } skins[] = {
        {MainWindow::DefaultSkin, QT_TR_NOOP("灰色"), QT_TR_NOOP("使用灰色皮肤")},
        {MainWindow::DarkSkin, QT_TR_NOOP("黑色"), QT_TR_NOOP("使用黑色皮肤")},
        {MainWindow::RedSkin, QT_TR_NOOP("红色"), QT_TR_NOOP("使用红色皮肤")},
        {MainWindow::GreenSkin, QT_TR_NOOP("绿色"), QT_TR_NOOP("使用绿色皮肤")},
        {MainWindow::BlueSkin, QT_TR_NOOP("蓝色"), QT_TR_NOOP("使用蓝色皮肤")},
        {MainWindow::PurpleSkin, QT_TR_NOOP("紫色"), QT_TR_NOOP("使用紫色皮肤")},
        {MainWindow::PinkSkin, QT_TR_NOOP("粉色"), QT_TR_NOOP("使用粉色皮肤")},
        {MainWindow::SilverSkin, QT_TR_NOOP("银色"), QT_TR_NOOP("使用银色皮肤")},
        {MainWindow::YellowSkin, QT_TR_NOOP("黄色"), QT_TR_NOOP("使用黄色皮肤")},
    };
    for (const auto& skin : skins)
        t << A(&w->skinActs[skin.id], skin.text, nullptr)
                 .kind(SkinAction)
                 .argument(skin.id)
                 .checkable()
                 .tip(skin.tip)
                 .group(SkinGroup);

    // Help and information
    t << A(&w->systemInformationAct, QT_TR_NOOP("系统信息 (预览: 基本完成, 性能有待优化，细节有待完善)"),
           SLOT(systemInformation()))
             .tip(QT_TR_NOOP("显示详细的系统信息"))
      << A(&w->bugReportAct, QT_TR_NOOP("Bug汇报"), SLOT(bugReport())).tip(QT_TR_NOOP("给\"塔泉笔\"开发团队发邮件, 提bug"))
      << A(&w->userFeedbackAct, QT_TR_NOOP("用户反馈"), SLOT(userFeedback()))
             .tip(QT_TR_NOOP("发送用户反馈给\"塔泉笔\"开发团队"))
      << A(&w->recommendToAct, QT_TR_NOOP("推荐给朋友"), SLOT(recommendTo())).tip(QT_TR_NOOP("推荐\"塔泉笔\"给亲友"))
      << A(&w->aboutAct, QT_TR_NOOP("关于"), SLOT(about())).flag(ProgramNameAppended).tip(QT_TR_NOOP("查看关于信息"))
      << A(&w->showReleaseNotesAct, QT_TR_NOOP("显示更新记录"), SLOT(showReleaseNotes())).sameTip()
      << A(&w->helpAct, QT_TR_NOOP("帮助"), SLOT(help()))
      << A(&w->creditsAct, QT_TR_NOOP("关于作者"), SLOT(credits()))
      << A(&w->aboutQtAct, QT_TR_NOOP("关于Qt"), SLOT(aboutQt()))
      << A(&w->checkUpdateAct, QT_TR_NOOP("检测更新"), SLOT(checkUpdate())).tip(QT_TR_NOOP("检测是否有更新版本"))
      << A(&w->showPluginsManagerDialogAct, QT_TR_NOOP("插件管理 (预览: 未完成)"), SLOT(showPluginsManagerDialog()))
             .tip(QT_TR_NOOP("显示插件管理对话框"))
      << A(&w->showBuildSystemInformationAct, QT_TR_NOOP("构建系统信息"), SLOT(showBuildSystemInformation())).tip(QT_TR_NOOP("显示构建系统信息"))
      << A(&w->showSuperUserAdditionAct, QT_TR_NOOP("显示为超级用户增加的功能"), SLOT(showSuperUserAddition()));

    // Web account (super-user mode only; no menu places these)
    t << A(&w->loginAct, QT_TR_NOOP("登录"), SLOT(login())).tip(QT_TR_NOOP("登录账户")).flag(SuperUserOnly)
      << A(&w->showAccountInformationAct, QT_TR_NOOP("账户信息"), SLOT(showAccountInformation()))
             .flag(SuperUserOnly | ApplicationSpecificMenuRole);

    // Template page context menus
    t << A(&w->newTemplateParagraphAct, QT_TR_NOOP("新增条目"), SLOT(newTemplateParagraph()))
             .tip(QT_TR_NOOP("创建新的模板项"))
      << A(&w->newTemplateChildParagraphAct, QT_TR_NOOP("新增子条目"), SLOT(newTemplateChildParagraph()))
             .tip(QT_TR_NOOP("当前条目下新增子条目"))
      << A(&w->editTemplateParagraphAct, QT_TR_NOOP("修改条目"), SLOT(editTemplateParagraph()))
             .tip(QT_TR_NOOP("修改当前条目的内容"))
      << A(&w->editTemplateTitleAct, QT_TR_NOOP("编辑模板标题"), SLOT(editTemplateTitle())).sameTip()
      << A(&w->removeTemplateParagraphAct, QT_TR_NOOP("删除条目"), SLOT(removeTemplateParagraph()))
             .tip(QT_TR_NOOP("删除当前条目"))
      << A(&w->copyTemplateParagraphAct, QT_TR_NOOP("复制条目"), SLOT(copyTemplateParagraph()))
             .tip(QT_TR_NOOP("复制当前条目"))
      << A(&w->pasteTemplateParagraphAct, QT_TR_NOOP("粘贴条目"), SLOT(pasteTemplateParagraph()))
             .tip(QT_TR_NOOP("粘贴剪贴板中的条目到当前项"))
      << A(&w->newTemplateContentAct, QT_TR_NOOP("新增条目"), SLOT(newTemplateContent()))
             .tip(QT_TR_NOOP("创建新的模板项"))
             .data(1)
      << A(&w->copyTemplateContentAct, QT_TR_NOOP("复制"), SLOT(copyTemplateContent()))
             .tip(QT_TR_NOOP("复制选中内容到剪贴板"))
      << A(&w->pasteClipboardToTemplateContentAct, QT_TR_NOOP("粘贴"), SLOT(pasteClipboardToTemplateContent()))
             .tip(QT_TR_NOOP("粘贴剪切板内容为模板条目"))
      << A(&w->editTemplateContentAct, QT_TR_NOOP("修改条目"), SLOT(editTemplateContent()))
             .tip(QT_TR_NOOP("修改当前条目的内容"))
      << A(&w->removeTemplateContentAct, QT_TR_NOOP("删除选定条目"), SLOT(removeTemplateContent()))
             .tip(QT_TR_NOOP("删除当前打开模板中的选定条目"))
      << A(&w->sortTemplateContentAct, QT_TR_NOOP("排序"), SLOT(sortTemplateContent()))
             .tip(QT_TR_NOOP("音序排序当前段落下的所有条目"))
      << A(&w->removeDuplicateTemplateContentAct, QT_TR_NOOP("剔除重复条目"), SLOT(removeDuplicateTemplateContent()))
             .tip(QT_TR_NOOP("剔除当前段落下的所有重复条目"));

    // Article generation (no menu places these)
    t << A(&w->autoGenAct, QT_TR_NOOP("调试模板(从头开始)"), SLOT(autoGen()))
      << A(&w->autoGenFromCurrentItemAct, QT_TR_NOOP("调试模板(从当前位置开始)"), SLOT(autoGenFromCurrentItem()))
      << A(&w->autoGenAllAct, QT_TR_NOOP("自动穷举"), SLOT(autoGenAll()))
      << A(&w->skeletonAct, QT_TR_NOOP("梗概"), SLOT(skeleton())).tip(QT_TR_NOOP("自动生成梗概"))
      << A(&w->chapterAct, QT_TR_NOOP("开头"), SLOT(chapter())).tip(QT_TR_NOOP("自动生成开头"))
      << A(&w->accostAct, QT_TR_NOOP("搭讪"), SLOT(accost())).tip(QT_TR_NOOP("自动生成搭讪"))
      << A(&w->conversationAct, QT_TR_NOOP("对话"), SLOT(conversation())).tip(QT_TR_NOOP("自动生成对话"))
      << A(&w->lovingAct, QT_TR_NOOP("相爱"), SLOT(loving())).tip(QT_TR_NOOP("自动生成相爱章节"))
      << A(&w->figureAct, QT_TR_NOOP("人物"), SLOT(figure())).tip(QT_TR_NOOP("自动生成人物"))
      << A(&w->storyAct, QT_TR_NOOP("故事"), SLOT(story())).tip(QT_TR_NOOP("自动生成故事"))
      << A(&w->warAct, QT_TR_NOOP("战争"), SLOT(war())).tip(QT_TR_NOOP("自动生成战争"))
      << A(&w->loveLetterAct, QT_TR_NOOP("情书"), SLOT(loveLetter())).tip(QT_TR_NOOP("自动生成情书"))
      << A(&w->poemAct, QT_TR_NOOP("诗歌"), SLOT(poem())).tip(QT_TR_NOOP("自动生成诗歌"))
      << A(&w->characterDesignDummyAct, QT_TR_NOOP("人物设计"), SLOT(characterDesignDummy())).tip(QT_TR_NOOP("自动生成职场设计"))
      << A(&w->storyDesignDummyAct, QT_TR_NOOP("故事设计"), SLOT(storyDesignDummy())).tip(QT_TR_NOOP("自动生成故事设计"));

    const struct {
        QAction** store;
        const char* text;
        int type;
        const char* tip;
        const char* icon;
    } genres[] = {
        {&w->beautyAct, QT_TR_NOOP("美女"), 5, QT_TR_NOOP("自动生成美女描述"), ":/Images/beauty.png"},
        {&w->captionAct, QT_TR_NOOP("标题"), 4, QT_TR_NOOP("自动生成标题"), ":/Images/caption.png"},
        {&w->boyAct, QT_TR_NOOP("帅哥"), 6, QT_TR_NOOP("自动生成帅哥描述"), ":/Images/boy.png"},
        {&w->occupationAct, QT_TR_NOOP("职业"), 7, QT_TR_NOOP("自动生成职业描述"), ":/Images/occupation.png"},
        {&w->costumeAct, QT_TR_NOOP("装束"), 8, QT_TR_NOOP("自动生成装束描述"), ":/Images/costume.png"},
        {&w->hobbyAct, QT_TR_NOOP("爱好"), 9, QT_TR_NOOP("自动生成爱好描述"), ":/Images/hobby.png"},
        {&w->meritAct, QT_TR_NOOP("特长"), 10, QT_TR_NOOP("自动生成特长描述"), ":/Images/merit.png"},
        {&w->propsAct, QT_TR_NOOP("道具"), 11, QT_TR_NOOP("自动生成道具描述"), ":/Images/props.png"},
        {&w->weaponAct, QT_TR_NOOP("兵器"), 12, QT_TR_NOOP("自动生成兵器描述"), ":/Images/weapon.png"},
        {&w->petAct, QT_TR_NOOP("宠物"), 13, QT_TR_NOOP("自动生成宠物描述"), ":/Images/pet.png"},
        {&w->experienceAct, QT_TR_NOOP("经历"), 14, QT_TR_NOOP("自动生成经历描述"), ":/Images/experience.png"},
        {&w->secretAct, QT_TR_NOOP("秘密"), 15, QT_TR_NOOP("自动生成秘密描述"), ":/Images/secret.png"},
        {&w->personalityAct, QT_TR_NOOP("个性"), 16, QT_TR_NOOP("自动生成个性描述"), ":/Images/personality.png"},
        {&w->loverAct, QT_TR_NOOP("恋人"), 17, QT_TR_NOOP("自动生成恋人描述"), ":/Images/lover.png"},
        {&w->sickAct, QT_TR_NOOP("伤病"), 18, QT_TR_NOOP("自动生成伤病描述"), ":/Images/sick.png"},
        {&w->thoughtAct, QT_TR_NOOP("思想"), 19, QT_TR_NOOP("自动生成思想描述"), ":/Images/thought.png"},
        {&w->desireAct, QT_TR_NOOP("愿望"), 20, QT_TR_NOOP("自动生成愿望描述"), ":/Images/desire.png"},
        {&w->misunderstandingAct, QT_TR_NOOP("误会"), 21, QT_TR_NOOP("自动生成误会描述"), ":/Images/misunderstanding.png"},
        {&w->opponentAct, QT_TR_NOOP("对手"), 22, QT_TR_NOOP("自动生成对手描述"), ":/Images/opponent.png"},
        {&w->supportingRoleAct, QT_TR_NOOP("配角"), 23, QT_TR_NOOP("自动生成配角描述"), ":/Images/supportingRole.png"},
        {&w->habitAct, QT_TR_NOOP("习惯"), 24, QT_TR_NOOP("自动生成习惯描述"), ":/Images/habit.png"},
        {&w->deathAct, QT_TR_NOOP("死亡"), 25, QT_TR_NOOP("自动生成死亡描述"), ":/Images/death.png"},
        {&w->languageAct, QT_TR_NOOP("语言"), 26, QT_TR_NOOP("自动生成语言描述"), ":/Images/language.png"},
        {&w->martialArtsAct, QT_TR_NOOP("武侠"), 39, QT_TR_NOOP("武侠模板"), nullptr},
        {&w->urbanRomanceAct, QT_TR_NOOP("都市言情"), 38, QT_TR_NOOP("都市言情模板"), nullptr},
        {&w->adventureAct, QT_TR_NOOP("冒险"), 40, QT_TR_NOOP("冒险模板"), nullptr},
        {&w->revengeAct, QT_TR_NOOP("复仇"), 41, QT_TR_NOOP("复仇模板"), nullptr},
        {&w->inLoveAct, QT_TR_NOOP("恋爱"), 27, QT_TR_NOOP("自动生成恋爱描述"), ":/Images/inLove.png"},
        {&w->romanceAct, QT_TR_NOOP("爱情"), 42, QT_TR_NOOP("爱情模板"), nullptr},
        {&w->inspirationAct, QT_TR_NOOP("励志"), 43, QT_TR_NOOP("励志模板"), nullptr},
        {&w->businessWarAct, QT_TR_NOOP("商战"), 44, QT_TR_NOOP("商战模板"), nullptr},
        {&w->workplaceAct, QT_TR_NOOP("职场"), 45, QT_TR_NOOP("职场模板"), nullptr},
        {&w->suspenseAct, QT_TR_NOOP("悬疑"), 48, QT_TR_NOOP("悬疑模板"), nullptr},
        {&w->campusRomanceAct, QT_TR_NOOP("校园爱情"), 49, QT_TR_NOOP("校园爱情模板"), nullptr},
        {&w->scienceFictionAct, QT_TR_NOOP("科幻"), 50, QT_TR_NOOP("科幻模板"), nullptr},
        {&w->palaceIntrigueAct, QT_TR_NOOP("宫斗"), 51, QT_TR_NOOP("宫斗模板"), nullptr},
        {&w->fairyTaleAct, QT_TR_NOOP("童话"), 52, QT_TR_NOOP("童话模板"), nullptr},
        {&w->relationshipAct, QT_TR_NOOP("关系"), 28, QT_TR_NOOP("自动生成关系描述"), ":/Images/relationship.png"},
        {&w->landscapeAct, QT_TR_NOOP("景观"), 29, QT_TR_NOOP("自动生成景观描述"), ":/Images/building.png"},
        {&w->userDefinedAct, QT_TR_NOOP("自建"), 32, QT_TR_NOOP("自动生成自建语段"), ":/Images/userDefined.png"},
        {&w->fightAct, QT_TR_NOOP("打斗"), 33, QT_TR_NOOP("自动生成打斗描述"), nullptr},
        {&w->sceneAct, QT_TR_NOOP("场景"), 34, QT_TR_NOOP("自动生成场景描述"), ":/Images/scene.png"},
        {&w->linesAct, QT_TR_NOOP("台词"), 35, QT_TR_NOOP("自动生成台词描述"), ":/Images/lines.png"},
        {&w->coincidenceAct, QT_TR_NOOP("巧合"), 36, QT_TR_NOOP("自动生成巧合描述"), ":/Images/coincidence.png"},
        {&w->emotionAct, QT_TR_NOOP("情感"), 37, QT_TR_NOOP("自动生成情感描述"), ":/Images/emotion.png"},
    };
    for (const auto& genre : genres)
        t << A(genre.store, genre.text, nullptr).kind(GenreAction).argument(genre.type).tip(genre.tip).icon(genre.icon);

    const struct {
        QAction** store;
        const char* text;
        int type;
        const char* tip;
        const char* icon;
    } names[] = {
        {&w->manNameAct, QT_TR_NOOP("男名"), 58, QT_TR_NOOP("批量起男名"), ":/Images/manName.png"},
        {&w->womanNameAct, QT_TR_NOOP("女名"), 59, QT_TR_NOOP("批量起女名"), ":/Images/womanName.png"},
        {&w->appellationAct, QT_TR_NOOP("称谓"), 60, QT_TR_NOOP("批量生成称谓"), ":/Images/title.png"},
        {&w->placeNameAct, QT_TR_NOOP("地名"), 61, QT_TR_NOOP("批量起地名"), ":/Images/placeName.png"},
        {&w->organizationNameAct, QT_TR_NOOP("机构"), 62, QT_TR_NOOP("自动生成机构名称"), ":/Images/organizationName.png"},
        {&w->mediaNameAct, QT_TR_NOOP("媒体"), 63, QT_TR_NOOP("自动生成媒体名称"), ":/Images/mediaName.png"},
        {&w->planetNameAct, QT_TR_NOOP("外星"), 64, QT_TR_NOOP("自动生成外星名称"), ":/Images/planetName.png"},
    };
    for (const auto& name : names)
        t << A(name.store, name.text, nullptr).kind(NameAction).argument(name.type).tip(name.tip).icon(name.icon);

    t << A(&w->advertisementAct, QT_TR_NOOP("广告"), SLOT(advertisement())).flag(ActionTable::TextAsData).tip(QT_TR_NOOP("自动生成广告"))
      << A(&w->advertorialAct, QT_TR_NOOP("软文"), SLOT(advertisement())).flag(ActionTable::TextAsData).tip(QT_TR_NOOP("自动生成软文"))
      << A(&w->clothingAct, QT_TR_NOOP("服装"), SLOT(advertisement())).flag(ActionTable::TextAsData).tip(QT_TR_NOOP("自动生成服装广告"))
      << A(&w->healthCareAct, QT_TR_NOOP("保健"), SLOT(advertisement())).flag(ActionTable::TextAsData).tip(QT_TR_NOOP("自动生成保健广告"))
      << A(&w->cosmetologyAct, QT_TR_NOOP("美容"), SLOT(advertisement())).flag(ActionTable::TextAsData).tip(QT_TR_NOOP("自动生成美容广告"))
      << A(&w->tourismAct, QT_TR_NOOP("旅游"), SLOT(advertisement())).flag(ActionTable::TextAsData).tip(QT_TR_NOOP("自动生成旅游广告"))
      << A(&w->cateringAct, QT_TR_NOOP("餐饮"), SLOT(advertisement())).flag(ActionTable::TextAsData).tip(QT_TR_NOOP("自动生成餐饮广告"))
      << A(&w->foodAct, QT_TR_NOOP("食品"), SLOT(advertisement())).flag(ActionTable::TextAsData).tip(QT_TR_NOOP("自动生成食品广告"));

    t << A(&w->newsAct, QT_TR_NOOP("新闻"), SLOT(news())).tip(QT_TR_NOOP("新闻模板"))
      << A(&w->worldNewsAct, QT_TR_NOOP("国际新闻"), SLOT(worldNews())).tip(QT_TR_NOOP("国际新闻模板"))
      << A(&w->domesticNewsAct, QT_TR_NOOP("国内新闻"), SLOT(domesticNews())).tip(QT_TR_NOOP("国内新闻模板"))
      << A(&w->cultureNewsAct, QT_TR_NOOP("文化新闻"), SLOT(cultureNews())).tip(QT_TR_NOOP("文化新闻模板"))
      << A(&w->entertainmentNewsAct, QT_TR_NOOP("娱乐新闻"), SLOT(entertainmentNews())).tip(QT_TR_NOOP("娱乐新闻模板"))
      << A(&w->sportsNewsAct, QT_TR_NOOP("体育新闻"), SLOT(sportsNews())).tip(QT_TR_NOOP("体育新闻模板"))
      << A(&w->technologyNewsAct, QT_TR_NOOP("科技新闻"), SLOT(technologyNews())).tip(QT_TR_NOOP("科技新闻模板"))
      << A(&w->houseNewsAct, QT_TR_NOOP("房产新闻"), SLOT(houseNews())).tip(QT_TR_NOOP("房产新闻模板"))
      << A(&w->carNewsAct, QT_TR_NOOP("汽车新闻"), SLOT(carNews())).tip(QT_TR_NOOP("汽车新闻模板"))
      << A(&w->politicsAct, QT_TR_NOOP("政治"), SLOT(politics())).tip(QT_TR_NOOP("政治模板"))
      << A(&w->partyAffairsAct, QT_TR_NOOP("党务"), SLOT(partyAffairs())).tip(QT_TR_NOOP("党务模板"))
      << A(&w->diplomacyAct, QT_TR_NOOP("外交"), SLOT(diplomacy())).tip(QT_TR_NOOP("外交模板"))
      << A(&w->industryAct, QT_TR_NOOP("工业"), SLOT(industry())).tip(QT_TR_NOOP("工业模板"))
      << A(&w->economyAct, QT_TR_NOOP("经济"), SLOT(economy())).tip(QT_TR_NOOP("经济模板"))
      << A(&w->agricultureAct, QT_TR_NOOP("农业"), SLOT(agriculture())).tip(QT_TR_NOOP("农业模板"))
      << A(&w->cultureAct, QT_TR_NOOP("文化"), SLOT(culture())).tip(QT_TR_NOOP("文化模板"))
      << A(&w->educationAct, QT_TR_NOOP("教育"), SLOT(education())).tip(QT_TR_NOOP("教育模板"))
      << A(&w->publicWelfareAct, QT_TR_NOOP("公益"), SLOT(publicWelfare())).tip(QT_TR_NOOP("公益模板"))
      << A(&w->ethnicGroupsAct, QT_TR_NOOP("民族"), SLOT(ethnicGroups())).tip(QT_TR_NOOP("民族模板"))
      << A(&w->religionsAct, QT_TR_NOOP("宗教"), SLOT(religions())).tip(QT_TR_NOOP("宗教模板"))
      << A(&w->disasterPreventionAct, QT_TR_NOOP("防灾"), SLOT(disasterPrevention())).tip(QT_TR_NOOP("防灾模板"))
      << A(&w->environmentalProtectionAct, QT_TR_NOOP("环保"), SLOT(environmentalProtection())).tip(QT_TR_NOOP("环保模板"))
      << A(&w->diaryAct, QT_TR_NOOP("日记"), SLOT(diary())).tip(QT_TR_NOOP("日记模板"))
      << A(&w->proseAct, QT_TR_NOOP("散文"), SLOT(prose())).tip(QT_TR_NOOP("散文模板"))
      << A(&w->letterAct, QT_TR_NOOP("书信"), SLOT(letter())).tip(QT_TR_NOOP("书信模板"));

    // Web browser pages (no menu places these)
    t << A(&w->prevUrlAct, QT_TR_NOOP("后退"), SLOT(prevUrl()))
      << A(&w->nextUrlAct, QT_TR_NOOP("前进"), SLOT(nextUrl()))
      << A(&w->stopUrlAct, QT_TR_NOOP("停止"), SLOT(stopUrl()))
      << A(&w->reloadUrlAct, QT_TR_NOOP("重新加载"), SLOT(reloadUrl()))
      << A(&w->homePageUrlAct, QT_TR_NOOP("主页"), SLOT(homePageUrl()))
      << A(&w->newBookmarkUrlAct, QT_TR_NOOP("加入书签"), SLOT(newBookmarkUrl()))
      << A(&w->bookmarkListAct, QT_TR_NOOP("书签列表"), SLOT(bookmarkList()));

    return t;
}

void ActionTable::build(MainWindow* window, const QVector<Row>& rows, bool superUser, bool atomTemplateEmbellish)
{
    QActionGroup* groups[GroupCount] = {};
    auto groupOf = [&](Group group) {
        if (!groups[group])
            groups[group] = new QActionGroup(window); // exclusive by default
        return groups[group];
    };

    for (const Row& row : rows) {
        switch (row.kind) {
        case WindowShortcut: {
            auto* shortcut = new QShortcut(QKeySequence(QLatin1String(row.text), QKeySequence::PortableText), window);
            shortcut->setContext(Qt::ApplicationShortcut);
            QObject::connect(shortcut, SIGNAL(activated()), window, row.slot);
            continue;
        }
        case ClipboardHook:
            QObject::connect(QApplication::clipboard(), SIGNAL(dataChanged()), window, row.slot);
            continue;
        default:
            break;
        }

        if (((row.flags & SuperUserOnly) && !superUser)
            || ((row.flags & AtomTemplateEmbellishOnly) && !atomTemplateEmbellish)) {
            if (row.store)
                *row.store = nullptr;
            continue;
        }

        QString text;
        if (row.flags & TitleFromTool)
            text = analysisToolTitles.value(row.argument);
        else if (row.text)
            text = tr(row.text);
        if (row.flags & ProgramNameAppended)
            text += QStringLiteral("塔泉笔维德马克");

        QAction* action;
        if (row.icon) {
            const QString path = row.icon[0] == '/' ? QString(imageFolder + QLatin1String(row.icon)) : QString(QLatin1String(row.icon));
            action = new QAction(QIcon(path), text, window);
        } else {
            action = new QAction(text, window);
        }
        if (row.store) {
            *row.store = action;
            if (row.flags & ProcessWide) {
                QAction** store = row.store;
                QObject::connect(action, &QObject::destroyed, [store, action]() {
                    if (*store == action)
                        *store = nullptr;
                });
            }
        }

        if (row.kind == SeparatorAction)
            action->setSeparator(true);
        if (row.flags & Hidden)
            action->setVisible(false);
        if (row.standardKey != QKeySequence::UnknownKey)
            action->setShortcut(QKeySequence(row.standardKey));
        if (row.flags & Checkable)
            action->setCheckable(true);
        if (row.flags & ApplicationSpecificMenuRole)
            action->setMenuRole(QAction::ApplicationSpecificRole);
        if (row.flags & TipIsText)
            action->setStatusTip(text);
        else if (row.statusTip)
            action->setStatusTip(tr(row.statusTip));
        if (row.objectName)
            action->setObjectName(QLatin1String(row.objectName));
        if (row.data >= 0)
            action->setData(row.data);
        if (row.flags & TextAsData)
            action->setData(QString::fromUtf8(row.text));
        if (row.group != NoGroup)
            action->setActionGroup(groupOf(row.group));
        if (row.flags & Checked)
            action->setChecked(true);
        if (row.checkedKey)
            action->setChecked(window->settings.value(QLatin1String(row.checkedKey)).toBool());

        const int argument = row.argument;
        switch (row.kind) {
        case SkinAction:
            QObject::connect(action, &QAction::triggered, action,
                             [window, argument]() { window->setCustomStyleSheet(argument); }, Qt::DirectConnection);
            break;
        case GenreAction:
            QObject::connect(action, &QAction::triggered, action,
                             [window, argument]() { window->autoGenGeneric(argument); }, Qt::DirectConnection);
            break;
        case NameAction:
            QObject::connect(action, &QAction::triggered, action,
                             [window, argument]() { window->autoGenNameGeneric(argument); }, Qt::DirectConnection);
            break;
        default:
            if (row.slot) {
                QObject* receiver = window;
                if (row.flags & ToMdiArea)
                    receiver = window->mdiArea;
                else if (row.flags & ToApplication)
                    receiver = qApp;
                QObject::connect(action, (row.flags & OnChanged) ? SIGNAL(changed()) : SIGNAL(triggered()), receiver,
                                 row.slot);
            }
            break;
        }
    }
}

QVector<ActionTable::ShortcutRow> ActionTable::shortcutRows(MainWindow* w)
{
    // The fallbacks are the shared defaults, which the preferences' shortcut page shows.
    const QVector<QPair<const char*, QAction*>> actions = {
        {"OpenTemplate", w->openTemplateAct},
        {"SaveTemplate", w->saveTemplateAct},
        {"OpenAtomTemplateUnderCursor", openAtomTemplateUnderCursorAct},
        {"NewTemplateParagraphFromSelection", newTemplateParagraphFromSelectionAct},
        {"NewTemplateChildParagraphFromSelection", newTemplateChildParagraphFromSelectionAct},
        {"NewTemplateContentFromSelection", newTemplateContentFromSelectionAct},
        {"AddTemplateMarker", addTemplateMarkerAct},
        {"NewFile", w->newAct},
        {"OpenFile", w->openAct},
        {"SaveFile", w->saveAct},
        {"SaveFileAs", w->saveAsAct},
        {"ExportDoc", w->filePrintDocAct},
        {"FileProperty", w->filePropertyAct},
        {"Print", w->printAct},
        {"Quit", w->exitAct},
        {"Undo", w->undoAct},
        {"Redo", w->redoAct},
        {"Cut", w->cutAct},
        {"Copy", w->copyAct},
        {"Paste", w->pasteAct},
        {"PasteAsPlainText", w->pasteAsPlainTextAct},
        {"PasteFromClipboardHistory", pasteFromClipboardHistoryAct},
        {"SelectAll", w->selectAllAct},
        {"CloseWindow", w->closeAct},
        {"NextWindow", w->nextAct},
        {"PreviousWindow", w->previousAct},
        {"Find", w->findAct},
        {"Replace", w->replaceAct},
        {"GoToLine", w->gotoLineAct},
        {"FullScreen", w->fullScreenAct},
    };
    QVector<ShortcutRow> rows;
    for (const auto& action : actions) {
        const QString key = QLatin1String(action.first);
        rows.append({action.first, action.second, DefaultShortcuts::sequence(key), DefaultShortcuts::hasDefault(key)});
    }
    return rows;
}

QKeySequence ActionTable::storedSequence(const QString& text)
{
    const QKeySequence sequence(text, QKeySequence::NativeText);
    if (sequence.toString(QKeySequence::PortableText).isEmpty())
        return QKeySequence();
    return sequence;
}

void ActionTable::applyShortcuts(const QVector<ShortcutRow>& rows, const Settings& settings)
{
    for (const ShortcutRow& row : rows) {
        const QKeySequence stored =
            storedSequence(settings.value(QStringLiteral("Shortcuts/") + QLatin1String(row.key)).toString());
        if (!row.action)
            continue;
        if (!stored.isEmpty())
            row.action->setShortcut(stored);
        else if (row.hasFallback)
            row.action->setShortcut(row.fallback);
    }
}
