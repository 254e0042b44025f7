#include "EditorContextMenu.h"

#include <QAction>
#include <QMenu>
#include <QScrollBar>
#include <QTextCursor>
#include <QTextDocument>

#include "DocumentHost.h"
#include "GlobalActions.h"
#include "MdiChild.h"
#include "Prompt.h"

void EditorContextMenu::exec(MdiChild* editor, const QPoint& pos, const QPoint& globalPos, DocumentHost* host)
{
    const QPoint documentPos
        = pos + QPoint(editor->horizontalScrollBar()->value(), editor->verticalScrollBar()->value());
    QMenu* menu = editor->createStandardContextMenu(documentPos);
    menu->addSeparator();
    const QList<QAction*> actions = {
        blackWhiteListSpellingCheckAct,         whiteListSpellingCheckAct,
        blackListSpellingCheckAct,              userDefinedWordSpellingCheckAct,
        politicsSensitiveWordHighlightAct,      eroticismSensitiveWordHighlightAct,
        addSelectedWordToWhiteListAct,          addSelectedWordToBlackListAct,
        addSelectedContentToCurrentTemplateAct, newTemplateContentFromSelectionAct,
        expandMarkAct,                          synonymMarkAct,
        antonymMarkAct,
    };
    for (QAction* action : actions)
        if (action)
            menu->addAction(action);

    const int position = editor->cursorForPosition(pos).position();
    const QString name = MdiChild::atomReferenceAt(editor->document()->toRawText(), position);
    if (!name.isNull()) {
        if (openDatabaseTemplateUnderCursorAct)
            openDatabaseTemplateUnderCursorAct->setText(MdiChild::tr("打开数据库模板: ") + name);
        if (openAtomTemplateUnderCursorAct) {
            openAtomTemplateUnderCursorAct->setText(MdiChild::tr("打开原子模板: ") + name);
            menu->addAction(openAtomTemplateUnderCursorAct);
        }
    }

    if (host)
        host->documentSelectionChanged();
    const auto nameSensitiveWordActions = [](const QString& politics, const QString& eroticism) {
        if (politicsSensitiveWordHighlightAct)
            politicsSensitiveWordHighlightAct->setText(politics);
        if (eroticismSensitiveWordHighlightAct)
            eroticismSensitiveWordHighlightAct->setText(eroticism);
    };
    nameSensitiveWordActions(MdiChild::tr("政治词汇标记"), MdiChild::tr("涉黄词汇标记"));
    Prompt::current().execMenu(*menu, globalPos);
    nameSensitiveWordActions(MdiChild::tr("政治"), MdiChild::tr("涉黄"));
    delete menu;
}
