#include "EmbellishTab.h"

#include <QCheckBox>
#include <QDebug>
#include <QHBoxLayout>
#include <QLabel>
#include <QSpinBox>
#include <QVBoxLayout>

EmbellishTab::EmbellishTab(QWidget* parent)
    : PreferencesPage(parent)
{
    qDebug() << Q_FUNC_INFO;
    transitiveSynonymCheckBox = new QCheckBox(tr("启用近义词传递(比如: A = B, B = C, 所以 A = C)"), this);
    verboseCheckBox = new QCheckBox(tr("详细显示润色前后的内容 (调试模式)。"), this);
    tryMaxNewWordLengthCheckBox = new QCheckBox(tr("最长同义词匹配"), this);
    alphaAsSymbolCheckBox = new QCheckBox(tr("分词时把字母当作符号"), this);
    digitsAsSymbolCheckBox = new QCheckBox(tr("分词时把阿拉伯数字当作符号"), this);
    maxWordLengthSpinBox = newSpinBox(2, 12);

    {
        const Settings settings;
        loadCheckState(settings, QStringLiteral("EmbellishTransitiveSynonym"), transitiveSynonymCheckBox);
        loadCheckState(settings, QStringLiteral("EmbellishVerbose"), verboseCheckBox);
        loadCheckState(settings, QStringLiteral("EmbellishTryMaxNewWordLength"), tryMaxNewWordLengthCheckBox);
        alphaAsSymbolCheckBox->setChecked(settings.value(QStringLiteral("EmbellishAlphaAsSymbol")).toBool());
        digitsAsSymbolCheckBox->setChecked(settings.value(QStringLiteral("EmbellishDigitsAsSymbol")).toBool());
        if (settings.contains(QStringLiteral("MaxWordLength")))
            maxWordLengthSpinBox->setValue(settings.value(QStringLiteral("MaxWordLength")).toInt());
    }
    // Connected after loading: the spin box starts enabled and follows the box once it is toggled.
    connect(tryMaxNewWordLengthCheckBox, SIGNAL(stateChanged(int)), this, SLOT(tryMaxSynonymLengthStateChanged(int)));

    auto* layout = new QVBoxLayout;
    layout->addWidget(transitiveSynonymCheckBox);
    layout->addWidget(tryMaxNewWordLengthCheckBox);
    layout->addWidget(digitsAsSymbolCheckBox);
    layout->addWidget(alphaAsSymbolCheckBox);
    layout->addLayout(rowOf({new QLabel(tr("润色时近义词最大长度(越长越精确, 越短速度越快)"), this), maxWordLengthSpinBox}));
    layout->addWidget(verboseCheckBox);
    setLayout(layout);
}

void EmbellishTab::apply()
{
    qDebug() << Q_FUNC_INFO;
    Settings settings;
    storeCheckState(settings, QStringLiteral("EmbellishTransitiveSynonym"), transitiveSynonymCheckBox);
    storeCheckState(settings, QStringLiteral("EmbellishTryMaxNewWordLength"), tryMaxNewWordLengthCheckBox);
    // These two are read as bools by the engine.
    settings.setValue(QStringLiteral("EmbellishAlphaAsSymbol"), alphaAsSymbolCheckBox->isChecked());
    settings.setValue(QStringLiteral("EmbellishDigitsAsSymbol"), digitsAsSymbolCheckBox->isChecked());
    settings.setValue(QStringLiteral("MaxWordLength"), maxWordLengthSpinBox->value());
    storeCheckState(settings, QStringLiteral("EmbellishVerbose"), verboseCheckBox);
}

void EmbellishTab::tryMaxSynonymLengthStateChanged(int state)
{
    qDebug() << Q_FUNC_INFO << ", state =" << state;
    maxWordLengthSpinBox->setEnabled(state == Qt::Checked);
}
