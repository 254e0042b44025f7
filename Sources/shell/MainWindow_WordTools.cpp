// Main window: the dictionary pane, the user word-list highlighter command,
// document statistics and the companion analysis tools.

#include "MainWindow.h"

#include <QAction>
#include <QDebug>
#include <QDockWidget>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QTextEdit>

#include "DictionaryLookup.h"
#include "GlobalActions.h"
#include "MdiChild.h"
#include "Prompt.h"
#include "OutputDialogEx.h"
#include "StatisticsDialog.h"
#include "TextAnalysisHost.h"
#include "TextAnalysisRunner.h"

namespace {

// The dictionary dock shows either the word list or the explanation pane.
void showInDock(QDockWidget* dock, QWidget* shown, QWidget* hidden)
{
    if (dock->widget() != shown) {
        hidden->hide();
        dock->setWidget(shown);
    }
    shown->show();
}

// The companion analysis tools reach the main window through this.
class AnalysisHost : public TextAnalysisHost
{
public:
    explicit AnalysisHost(MainWindow& window) : m_window(window) {}

    QWidget* window() override { return &m_window; }
    QTextEdit* activeEditor() override { return m_window.activeMdiChild(); }
    QTextEdit* newDocument() override
    {
        m_window.newFile();
        return m_window.activeMdiChild();
    }
    void showOutput(const QString& text) override
    {
        // Shown first, so that the pane scrolls to what is appended.
        m_window.showBottomTab(QStringLiteral("OutputDialog"));
        m_window.outputDialog->appendLog(Qt::convertFromPlainText(text, Qt::WhiteSpaceNormal));
    }
    CharEvaluateDialog*& charEvaluateDialog() override { return m_window.charEvaluateDialog; }
    WordEvaluateDialog*& wordEvaluateDialog() override { return m_window.wordEvaluateDialog; }
    WordCloudDialog*& wordCloudDialog() override { return m_window.wordCloudDialog; }

private:
    MainWindow& m_window;
};

} // namespace

// ---- Dictionary pane -----------------------------------------------------------

void MainWindow::dictTextChanged(const QString& text)
{
    qDebug() << Q_FUNC_INFO << ", text =" << text;
    if (text.isEmpty())
        return;
    showInDock(dictDock, dictListWidget, dictTextEdit);
    dictDock->show();
    dictSearch(text, false);
}

void MainWindow::dictReturnPressed()
{
    qDebug() << Q_FUNC_INFO;
    dictSearch(dictLineEdit->text(), true);
}

void MainWindow::dictSearch()
{
    qDebug() << Q_FUNC_INFO;
    MdiChild* child = activeMdiChild();
    if (!child)
        return;
    const QString selected = child->textCursor().selectedText();
    if (selected == dictLineEdit->text())
        // The box already holds the word (its pane may be closed): look it up again.
        dictTextChanged(selected);
    else
        dictLineEdit->setText(selected);
}

void MainWindow::dictSearch(QString text, bool exactly)
{
    qDebug() << Q_FUNC_INFO << ", text =" << text << ", exactly =" << exactly;
    const QVector<DictionaryEntry> entries = DictionaryLookup::search(*embellish, text, exactly);
    const QStringList words = DictionaryLookup::distinctWords(entries);

    dictListWidget->setUpdatesEnabled(false);
    dictListWidget->clear();
    for (const QString& word : words) {
        auto* item = new QListWidgetItem(word);
        item->setForeground(QColor(QStringLiteral("DarkOrange")));
        dictListWidget->addItem(item);
    }
    if (words.isEmpty()) {
        auto* item = new QListWidgetItem(tr("未找到对应词条"));
        item->setForeground(QColor(QStringLiteral("Red")));
        dictListWidget->addItem(item);
    }
    dictListWidget->setUpdatesEnabled(true);

    if (words.size() == 1) {
        showInDock(dictDock, dictTextEdit, dictListWidget);
        dictTextEdit->setHtml(DictionaryLookup::explanationHtml(entries, text));
    }
}

void MainWindow::dictWordSelected(QListWidgetItem* item)
{
    qDebug() << Q_FUNC_INFO << ", item =" << (item ? item->text() : QString());
    if (!item || item->text().isEmpty())
        return;
    // The search empties the list, item included.
    const QString word = item->text();
    dictSearch(word, true);
}

// ---- User word-list highlighter ------------------------------------------------

void MainWindow::userDefinedWordSpellingCheck()
{
    qDebug() << Q_FUNC_INFO;
    if (MdiChild* child = activeMdiChild()) {
        child->toggleHighlighter();
        return;
    }
    // Without a document nothing changes, the check mark included (the click
    // has already flipped it).
    if (sender() && sender() == userDefinedWordSpellingCheckAct)
        userDefinedWordSpellingCheckAct->setChecked(!userDefinedWordSpellingCheckAct->isChecked());
}

// ---- Statistics ----------------------------------------------------------------

void MainWindow::statistics()
{
    qDebug() << Q_FUNC_INFO;
    MdiChild* child = activeMdiChild();
    if (!child) {
        QMessageBox box(QMessageBox::Warning, tr("错误"), tr("没有打开的文档"), QMessageBox::Ok);
        Prompt::current().exec(box);
        return;
    }
    StatisticsDialog dialog(child);
    Prompt::current().execDialog(dialog);
}

// ---- Companion analysis tools ---------------------------------------------------

void MainWindow::charFreqCounterForTextSelection()
{
    qDebug() << Q_FUNC_INFO;
    runTextAnalysisTool(analysisToolTitles.value(16));
}

void MainWindow::charFreqCounterForDirectory()
{
    qDebug() << Q_FUNC_INFO;
    runTextAnalysisTool(analysisToolTitles.value(1));
}

void MainWindow::jieBaNotCutAllForTextSelection()
{
    qDebug() << Q_FUNC_INFO;
    runTextAnalysisTool(analysisToolTitles.value(33));
}

void MainWindow::jieBaWordFreqCounterForTextSelection()
{
    qDebug() << Q_FUNC_INFO;
    runTextAnalysisTool(analysisToolTitles.value(35));
}

void MainWindow::jieBaWordFreqCounterForDirectory()
{
    qDebug() << Q_FUNC_INFO;
    runTextAnalysisTool(analysisToolTitles.value(36));
}

void MainWindow::jieBaPartOfSpeechTaggingForTextSelection()
{
    qDebug() << Q_FUNC_INFO;
    runTextAnalysisTool(analysisToolTitles.value(37));
}

void MainWindow::partOfSpeechHighlight()
{
    qDebug() << Q_FUNC_INFO;
    runTextAnalysisTool(analysisToolTitles.value(38));
}

void MainWindow::wordCloud()
{
    qDebug() << Q_FUNC_INFO;
    AnalysisHost host(*this);
    TextAnalysisRunner(host).wordCloud();
}

void MainWindow::runTextAnalysisTool(const QString& title)
{
    qDebug() << Q_FUNC_INFO << ", title =" << title;
    AnalysisHost host(*this);
    TextAnalysisRunner(host).run(title);
}
