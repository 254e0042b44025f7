// Main window: dictionary pane, text marking and embellishing, user word list, statistics and companion tools.
// Bodies marked "(interim)" log their call only and are filled as the commands are built.

#include "MainWindow.h"

#include <QDebug>

#include "SharedCodes.h"

// ---- Marking and embellishing --------------------------------------------------

void MainWindow::atomTemplateEmbellish()
{
    qDebug() << Q_FUNC_INFO << "(interim)";
}

void MainWindow::whiteListSpellingCheck()
{
    qDebug() << Q_FUNC_INFO << "(interim)";
}

void MainWindow::blackWhiteListSpellingCheck()
{
    qDebug() << Q_FUNC_INFO << "(interim)";
}

void MainWindow::politicsSensitiveWordHighlight()
{
    qDebug() << Q_FUNC_INFO << "(interim)";
}

void MainWindow::eroticismSensitiveWordHighlight()
{
    qDebug() << Q_FUNC_INFO << "(interim)";
}

void MainWindow::vulgarSensitiveWordHighlight()
{
    qDebug() << Q_FUNC_INFO << "(interim)";
}

void MainWindow::internetSensitiveWordHighlight()
{
    qDebug() << Q_FUNC_INFO << "(interim)";
}

void MainWindow::surnameSensitiveWordHighlight()
{
    qDebug() << Q_FUNC_INFO << "(interim)";
}

void MainWindow::placeNameSensitiveWordHighlight()
{
    qDebug() << Q_FUNC_INFO << "(interim)";
}

void MainWindow::englishCharHighlight()
{
    qDebug() << Q_FUNC_INFO << "(interim)";
}

void MainWindow::numberHighlight()
{
    qDebug() << Q_FUNC_INFO << "(interim)";
}

void MainWindow::quantifierHighlight()
{
    qDebug() << Q_FUNC_INFO << "(interim)";
}

void MainWindow::polyphoneHighlight()
{
    qDebug() << Q_FUNC_INFO << "(interim)";
}

void MainWindow::userDefinedCategoryHighlight()
{
    qDebug() << Q_FUNC_INFO << "(interim)";
}

void MainWindow::idiomHighlight()
{
    qDebug() << Q_FUNC_INFO << "(interim)";
}

void MainWindow::miscSpellingCheck()
{
    qDebug() << Q_FUNC_INFO << "(interim)";
}

void MainWindow::spellingMark()
{
    qDebug() << Q_FUNC_INFO << "(interim)";
}

void MainWindow::blackListSpellingCheck()
{
    qDebug() << Q_FUNC_INFO << "(interim)";
}

void MainWindow::autoSpellingCorrection()
{
    qDebug() << Q_FUNC_INFO << "(interim)";
}

void MainWindow::adjectiveWordMark()
{
    qDebug() << Q_FUNC_INFO << "(interim)";
}

void MainWindow::sensitiveWordMark()
{
    qDebug() << Q_FUNC_INFO << "(interim)";
}

void MainWindow::synonymEmbellish()
{
    qDebug() << Q_FUNC_INFO << "(interim)";
}

void MainWindow::expandMark()
{
    qDebug() << Q_FUNC_INFO << "(interim)";
}

void MainWindow::synonymMark()
{
    qDebug() << Q_FUNC_INFO << "(interim)";
}

void MainWindow::antonymMark()
{
    qDebug() << Q_FUNC_INFO << "(interim)";
}

int MainWindow::embellishDocument(uint, bool)
{
    qDebug() << Q_FUNC_INFO << "(interim)";
    return ERROR_CODE_NO_ACTIVE_DOCUMENT;
}

void MainWindow::embellishStringList(const QStringList&, unsigned int)
{
    qDebug() << Q_FUNC_INFO << "(interim)";
}

int MainWindow::renderEmbellishHtml(const QList<Segment>&, QString&, int&, int&)
{
    qDebug() << Q_FUNC_INFO << "(interim)";
    return 0;
}
