#pragma once
// Cuts a text into pieces at the separator characters the user ticks, shows
// the pieces (atom references in red) and, when confirmed, adds them as
// contents to the template of the current tab, or to the atom templates that
// the bracketed pieces name, each piece to the last one named before it.

#include <QDialog>
#include <QStringList>

#include <functional>

class TemplateDialog;

namespace Ui {
class TextToTemplateDialog;
}

class TextToTemplateDialog : public QDialog
{
    Q_OBJECT

public:
    explicit TextToTemplateDialog(QWidget* parent = nullptr);
    ~TextToTemplateDialog() override;

    // Where confirmed pieces go: the current template tab (null when the
    // current page is none), the tab of an atom template once opened (null
    // when it could not be), and the report that a tab was changed.
    struct Targets
    {
        std::function<TemplateDialog*()> currentTab;
        std::function<TemplateDialog*(const QString& name)> openAtomTemplate;
        std::function<void(TemplateDialog*)> edited;
    };
    void setTargets(const Targets& targets) { m_targets = targets; }

    void setText(const QString& text);
    // A character class of the chosen separators; empty when none is chosen.
    QString getRegExpString() const;
    void splitText();
    // The rows of the result, in the order they stand.
    QStringList pieces() const;

    // Cuts text at every match of pattern (one separator character). With
    // includeSeparator a punctuation separator stays at the end of its piece
    // (white space never does); skipEmpty drops pieces with nothing else in
    // them. An empty pattern leaves the text whole.
    static QStringList split(const QString& text, const QString& pattern, bool caseInsensitive, bool skipEmpty,
                             bool includeSeparator);
    // "[" + at least one character + "]", on one line.
    static bool isAtomReference(const QString& piece);

private slots:
    void on_textPlainTextEdit_textChanged();
    void on_periodCheckBox_stateChanged(int);
    void on_semicolonCheckBox_stateChanged(int);
    void on_commaCheckBox_stateChanged(int);
    void on_exclamationMarkCheckBox_stateChanged(int);
    void on_questionMarkCheckBox_stateChanged(int);
    void on_newLineCheckBox_stateChanged(int);
    void on_tabCheckBox_stateChanged(int);
    void on_spaceCheckBox_stateChanged(int);
    void on_fullWidthCheckBox_stateChanged(int);
    void on_halfWidthCheckBox_stateChanged(int);
    void on_includeSeparatorCheckBox_stateChanged(int);
    void on_skipEmptyPartsCheckBox_stateChanged(int);
    void on_caseInsensitiveCheckBox_stateChanged(int);
    void on_other1LineEdit_textChanged(const QString&);
    void on_other2LineEdit_textChanged(const QString&);
    void on_other3LineEdit_textChanged(const QString&);
    void on_other4LineEdit_textChanged(const QString&);
    void on_okPushButton_clicked();
    void on_cancelPushButton_clicked();

private:
    void warn(const QString& text);

    Ui::TextToTemplateDialog* ui;
    Targets m_targets;
};
