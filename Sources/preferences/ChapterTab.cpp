#include "ChapterTab.h"

ChapterTab::ChapterTab(QWidget* parent)
    : UserDefinedTemplateTab(
        QStringLiteral("UserDefinedChapterTemplate"),
        QT_TRANSLATE_NOOP("UserDefinedTemplateTab", "章节模板输入错误! 自建模板不能为空，章节模板文件名必须以 .tqw 结尾!"),
        parent)
{
}
