// Main window: the marking and embellishing commands; the run itself is EmbellishRun.

#include "MainWindow.h"

#include <QAction>
#include <QDebug>
#include <QStatusBar>

#include "EmbellishRun.h"
#include "GlobalActions.h"
#include "MdiChild.h"
#include "SharedCodes.h"
#include "WordDatabaseCatalogue.h"

// ---- Marking and embellishing --------------------------------------------------

namespace {

// The actions of the 25 marking and embellishing commands.
QList<QAction*> markingActions(MainWindow* w)
{
    return {atomTemplateEmbellishAct, whiteListSpellingCheckAct, blackWhiteListSpellingCheckAct,
            politicsSensitiveWordHighlightAct, eroticismSensitiveWordHighlightAct, w->vulgarSensitiveWordHighlightAct,
            w->internetSensitiveWordHighlightAct, w->surnameSensitiveWordHighlightAct,
            w->placeNameSensitiveWordHighlightAct, w->englishCharHighlightAct, w->numberHighlightAct,
            w->quantifierHighlightAct, w->polyphoneHighlightAct, w->userDefinedCategoryHighlightAct,
            w->idiomHighlightAct, w->miscSpellingCheckAct, w->spellingMarkAct, blackListSpellingCheckAct,
            w->autoSpellingCorrectionAct, w->adjectiveWordMarkAct, w->sensitiveWordMarkAct, w->synonymEmbellishAct,
            expandMarkAct, synonymMarkAct, antonymMarkAct};
}

void setMarkingActionsEnabled(MainWindow* w, bool enabled)
{
    for (QAction* action : markingActions(w))
        if (action)
            action->setEnabled(enabled);
}

// A marking command: refused while a run is going (its code must not change
// under the run), else the code becomes current and the run starts.
void startMarking(MainWindow* w, uint code, bool dryRun)
{
    if (w->embellishRun && w->embellishRun->isRunning()) {
        qWarning() << "A marking run is still going; code" << code << "is refused.";
        return;
    }
    currentTemplateType = int(code);
    w->embellishDocument(code, dryRun);
}

} // namespace

void MainWindow::atomTemplateEmbellish()
{
    qDebug() << Q_FUNC_INFO;
    startMarking(this, TEMPLATE_TYPE_SQLITE_DB_ATOM, false);
}

void MainWindow::whiteListSpellingCheck()
{
    qDebug() << Q_FUNC_INFO;
    startMarking(this, TEMPLATE_TYPE_SQLITE_DB_SPELLING_WHITE_LIST, true);
}

void MainWindow::blackWhiteListSpellingCheck()
{
    startMarking(this, TEMPLATE_TYPE_SPELLING_BLACK_WHITE_LIST, true);
}

void MainWindow::politicsSensitiveWordHighlight()
{
    qDebug() << Q_FUNC_INFO;
    startMarking(this, TEMPLATE_TYPE_SQLITE_DB_POLITICS, true);
}

void MainWindow::eroticismSensitiveWordHighlight()
{
    qDebug() << Q_FUNC_INFO;
    startMarking(this, TEMPLATE_TYPE_SQLITE_DB_EROTICISM, true);
}

void MainWindow::vulgarSensitiveWordHighlight()
{
    qDebug() << Q_FUNC_INFO;
    startMarking(this, TEMPLATE_TYPE_SQLITE_DB_VULGAR, true);
}

void MainWindow::internetSensitiveWordHighlight()
{
    qDebug() << Q_FUNC_INFO;
    startMarking(this, TEMPLATE_TYPE_SQLITE_DB_INTERNET_WORD, true);
}

void MainWindow::surnameSensitiveWordHighlight()
{
    qDebug() << Q_FUNC_INFO;
    startMarking(this, TEMPLATE_TYPE_SQLITE_DB_SURNAME, true);
}

void MainWindow::placeNameSensitiveWordHighlight()
{
    qDebug() << Q_FUNC_INFO;
    startMarking(this, TEMPLATE_TYPE_SQLITE_DB_PLACE_NAME, true);
}

void MainWindow::englishCharHighlight()
{
    qDebug() << Q_FUNC_INFO;
    startMarking(this, TEMPLATE_TYPE_SQLITE_DB_ENGLISH, true);
}

void MainWindow::numberHighlight()
{
    qDebug() << Q_FUNC_INFO;
    startMarking(this, TEMPLATE_TYPE_SQLITE_DB_NUMBER, true);
}

void MainWindow::quantifierHighlight()
{
    qDebug() << Q_FUNC_INFO;
    startMarking(this, TEMPLATE_TYPE_SQLITE_DB_QUANTIFIER, true);
}

void MainWindow::polyphoneHighlight()
{
    qDebug() << Q_FUNC_INFO;
    startMarking(this, TEMPLATE_TYPE_SQLITE_DB_POLYPHONE, true);
}

void MainWindow::userDefinedCategoryHighlight()
{
    qDebug() << Q_FUNC_INFO;
    startMarking(this, TEMPLATE_TYPE_SQLITE_DB_USER_DEFINED, true);
}

void MainWindow::idiomHighlight()
{
    qDebug() << Q_FUNC_INFO;
    startMarking(this, TEMPLATE_TYPE_SQLITE_DB_IDIOM, true);
}

void MainWindow::miscSpellingCheck()
{
    startMarking(this, TEMPLATE_TYPE_SPELLING_MISC, true);
}

void MainWindow::spellingMark()
{
    qDebug() << Q_FUNC_INFO;
    startMarking(this, TEMPLATE_TYPE_SQLITE_DB_SPELLING_BLACK_LIST, true);
}

void MainWindow::blackListSpellingCheck()
{
    spellingMark();
}

void MainWindow::autoSpellingCorrection()
{
    qDebug() << Q_FUNC_INFO;
    startMarking(this, TEMPLATE_TYPE_SQLITE_DB_SPELLING_BLACK_LIST, false);
}

void MainWindow::adjectiveWordMark()
{
    qDebug() << Q_FUNC_INFO;
    startMarking(this, TEMPLATE_TYPE_SQLITE_DB_ADJECTIVE_WORD, true);
}

void MainWindow::sensitiveWordMark()
{
    qDebug() << Q_FUNC_INFO;
    startMarking(this, TEMPLATE_TYPE_SQLITE_DB_SENSITIVE_WORD, true);
}

void MainWindow::synonymEmbellish()
{
    qDebug() << Q_FUNC_INFO;
    startMarking(this, TEMPLATE_TYPE_SQLITE_DB_SYNONYM, false);
}

void MainWindow::expandMark()
{
    qDebug() << Q_FUNC_INFO;
    startMarking(this, TEMPLATE_TYPE_TQW_FILE_ATOM_TOC, true);
}

void MainWindow::synonymMark()
{
    qDebug() << Q_FUNC_INFO;
    startMarking(this, TEMPLATE_TYPE_SQLITE_DB_SYNONYM, true);
}

void MainWindow::antonymMark()
{
    qDebug() << Q_FUNC_INFO;
    startMarking(this, TEMPLATE_TYPE_SQLITE_DB_ANTONYM, true);
}

int MainWindow::embellishDocument(uint embellishType, bool dryRun)
{
    qDebug() << "int MainWindow::embellishDocument(uint, bool)"
             << ": embellishType =" << templateType2String(embellishType) << ", dryRun = " << int(dryRun);
    MdiChild* child = activeMdiChild();
    if (!child)
        return ERROR_CODE_NO_ACTIVE_DOCUMENT;
    if (!embellishRun) {
        embellishRun = new EmbellishRun(this);
        connect(embellishRun, &EmbellishRun::runningChanged, this,
                [this](bool running) { setMarkingActionsEnabled(this, !running); });
    }
    embellishRun->options.prepareDryRunView = [editor = QPointer<MdiChild>(child)] {
        if (editor)
            editor->setShowSymbol(false);
    };
    const int result = embellishRun->run(child, embellishType, dryRun, this);
    if (!embellishRun->message().isEmpty())
        statusBar()->showMessage(embellishRun->message(), 7000);
    return result;
}
