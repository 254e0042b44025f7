#pragma once
// A preferences page for the embellishing engine's options. No dialog shows it.

#include "PreferencesPage.h"

class QCheckBox;
class QSpinBox;

class EmbellishTab : public PreferencesPage
{
    Q_OBJECT
public:
    explicit EmbellishTab(QWidget* parent = nullptr);

    void apply() override;

    QCheckBox* transitiveSynonymCheckBox = nullptr;
    QCheckBox* verboseCheckBox = nullptr;
    QCheckBox* tryMaxNewWordLengthCheckBox = nullptr;
    QCheckBox* alphaAsSymbolCheckBox = nullptr;
    QCheckBox* digitsAsSymbolCheckBox = nullptr;
    QSpinBox* maxWordLengthSpinBox = nullptr;

public slots:
    void tryMaxSynonymLengthStateChanged(int state);
};
