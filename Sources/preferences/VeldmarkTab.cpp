#include "VeldmarkTab.h"

#include <QDebug>
#include <QHBoxLayout>
#include <QLabel>
#include <QSpinBox>
#include <QVBoxLayout>

VeldmarkTab::VeldmarkTab(QWidget* parent)
    : PreferencesPage(parent)
{
    qDebug() << Q_FUNC_INFO;
    maxWordLengthSpinBox = newSpinBox(2, 12);
    maxWordLengthSpinBox->setValue(Settings().value(QStringLiteral("MaxWordLength"), 4).toInt());

    auto* layout = new QVBoxLayout;
    layout->addLayout(rowOf({new QLabel(tr("单词最大长度(越长越精确, 越短速度越快)"), this), maxWordLengthSpinBox,
                             new QLabel(QStringLiteral("(2 - 12)"), this)}));
    layout->addStretch();
    setLayout(layout);
}

void VeldmarkTab::apply()
{
    qDebug() << Q_FUNC_INFO;
    Settings().setValue(QStringLiteral("MaxWordLength"), maxWordLengthSpinBox->value());
}
