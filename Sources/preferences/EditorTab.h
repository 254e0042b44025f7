#pragma once
// Preferences page "编辑": the documents' font, line spacing and background, line
// wrapping, and the highlighting of the current line, the current paragraph and
// generated content. While "设置" is chosen, a new font or size shows at once in
// every open document; a background colour or picture chosen with "选择" is
// stored at once.

#include <QPointer>

#include "PreferencesPage.h"

class QCheckBox;
class QComboBox;
class QFont;
class QFontComboBox;
class QLabel;
class QLineEdit;
class QMdiArea;
class QPushButton;
class QRadioButton;
class QSpinBox;

class EditorTab : public PreferencesPage
{
    Q_OBJECT
public:
    // documents: the area whose editors show the font as it is chosen; may be null.
    explicit EditorTab(QMdiArea* documents, QWidget* parent = nullptr);

    void loadSettings();
    void apply() override;

    QCheckBox* lineWrapCheckBox = nullptr;
    QCheckBox* highlightCurrentLineCheckBox = nullptr;
    QCheckBox* highlightCurrentParagraphCheckBox = nullptr;
    QRadioButton* systemFontRadioButton = nullptr;
    QRadioButton* customFontRadioButton = nullptr;
    QFontComboBox* fontComboBox = nullptr;
    QComboBox* fontSizeComboBox = nullptr;
    QComboBox* lineSpacingComboBox = nullptr;
    QSpinBox* lineSpacingSpinBox = nullptr;
    QLabel* lineSpacingRangeLabel = nullptr;
    QComboBox* backgroundTypeComboBox = nullptr;
    QPushButton* selectBackgroundPushButton = nullptr;
    QPushButton* backgroundColorPushButton = nullptr; // the swatch
    QLineEdit* backgroundFileLineEdit = nullptr;
    QCheckBox* highlightAutoGenContentCheckBox = nullptr;
    QPushButton* highlightAutoGenContentPushButton = nullptr;

public slots:
    void backgroundTypeChanged(int index);
    void fontChanged(const QFont& font);
    void fontSizeChanged(const QString& text);
    void fontTypeRadioButtonToggled(bool checked);
    void lineSpacingChanged(int index);
    void highlightAutoGenContentCheckBoxStateChanged(int state);
    void highlightAutoGenContentPushButtonClicked();
    void selectBackgroundPushButtonClicked();

private:
    void setBackgroundColor(const QString& name);
    void setHighlightAutoGenContentColor(const QString& name);
    void showFontInDocuments(QFont font, const QString& sizeText);

    QPointer<QMdiArea> m_documents;
    bool m_loading = false; // loading the stored font must not restyle the documents
};
