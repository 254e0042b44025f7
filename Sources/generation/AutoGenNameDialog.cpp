#include "AutoGenNameDialog.h"

#include <QDebug>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QVBoxLayout>

#include "DomParser.h"

namespace {

struct NameKind
{
    const char* title;
    const char* templatePath;
};

// Kinds 58 to 64 in order.
const NameKind kNameKinds[] = {
    {QT_TRANSLATE_NOOP("AutoGenNameDialog", "批量起男名"), "Templates/男名.tqw"},
    {QT_TRANSLATE_NOOP("AutoGenNameDialog", "批量起女名"), "Templates/女名.tqw"},
    {QT_TRANSLATE_NOOP("AutoGenNameDialog", "自动生成称谓"), "Templates/称谓.tqw"},
    {QT_TRANSLATE_NOOP("AutoGenNameDialog", "批量起地名"), "Templates/地名.tqw"},
    {QT_TRANSLATE_NOOP("AutoGenNameDialog", "自动生成机构名称"), "Templates/机构.tqw"},
    {QT_TRANSLATE_NOOP("AutoGenNameDialog", "自动生成媒体名称"), "Templates/媒体名称.tqw"},
    {QT_TRANSLATE_NOOP("AutoGenNameDialog", "自动生成外星名称"), "Templates/外星.tqw"},
};

const NameKind* nameKind(int type)
{
    if (type < AutoGenNameDialog::FirstKind || type > AutoGenNameDialog::LastKind)
        return nullptr;
    return &kNameKinds[type - AutoGenNameDialog::FirstKind];
}

using ToggleSlot = void (AutoGenNameDialog::*)(bool);

// The option slots of each part: random, one character, two characters, fixed.
const ToggleSlot kToggleSlots[AutoGenNameDialog::PartCount][4] = {
    {&AutoGenNameDialog::randomCharFirstPartToggled, &AutoGenNameDialog::oneCharFirstPartToggled,
     &AutoGenNameDialog::twoCharFirstPartToggled, &AutoGenNameDialog::fixedCharFirstPartToggled},
    {&AutoGenNameDialog::randomCharSecondPartToggled, &AutoGenNameDialog::oneCharSecondPartToggled,
     &AutoGenNameDialog::twoCharSecondPartToggled, &AutoGenNameDialog::fixedCharSecondPartToggled},
    {&AutoGenNameDialog::randomCharThirdPartToggled, &AutoGenNameDialog::oneCharThirdPartToggled,
     &AutoGenNameDialog::twoCharThirdPartToggled, &AutoGenNameDialog::fixedCharThirdPartToggled},
    {&AutoGenNameDialog::randomCharFourthPartToggled, &AutoGenNameDialog::oneCharFourthPartToggled,
     &AutoGenNameDialog::twoCharFourthPartToggled, &AutoGenNameDialog::fixedCharFourthPartToggled},
    {&AutoGenNameDialog::randomCharFifthPartToggled, &AutoGenNameDialog::oneCharFifthPartToggled,
     &AutoGenNameDialog::twoCharFifthPartToggled, &AutoGenNameDialog::fixedCharFifthPartToggled},
};

const char* const kPartTitles[AutoGenNameDialog::PartCount] = {
    QT_TRANSLATE_NOOP("AutoGenNameDialog", "第一部分"), QT_TRANSLATE_NOOP("AutoGenNameDialog", "第二部分"),
    QT_TRANSLATE_NOOP("AutoGenNameDialog", "第三部分"), QT_TRANSLATE_NOOP("AutoGenNameDialog", "第四部分"),
    QT_TRANSLATE_NOOP("AutoGenNameDialog", "第五部分"),
};

} // namespace

AutoGenNameDialog::AutoGenNameDialog(QWidget* parent, int type)
    : QDialog(parent)
{
    qDebug() << Q_FUNC_INFO << ", type =" << type;
    setObjectName(QStringLiteral("AutoGenNameDialog"));

    auto* layout = new QVBoxLayout(this);

    auto* countRow = new QHBoxLayout;
    auto* countLabel = new QLabel(tr("生成个数:"), this);
    m_count = new QSpinBox(this);
    m_count->setObjectName(QStringLiteral("countSpinBox"));
    m_count->setRange(10, 30);
    m_count->setValue(10);
    m_count->setToolTip(QStringLiteral("%1 - %2").arg(m_count->minimum()).arg(m_count->maximum()));
    countLabel->setBuddy(m_count);
    countRow->addWidget(countLabel);
    countRow->addWidget(m_count);
    countRow->addStretch();
    layout->addLayout(countRow);

    for (int index = 0; index < PartCount; ++index) {
        Part& part = m_parts[index];
        const QString number = QString::number(index + 1);
        part.group = new QGroupBox(tr(kPartTitles[index]), this);
        part.group->setObjectName(QStringLiteral("partGroupBox") + number);
        part.random = new QRadioButton(tr("随机"), part.group);
        part.random->setObjectName(QStringLiteral("randomRadioButton") + number);
        part.oneChar = new QRadioButton(tr("一字"), part.group);
        part.oneChar->setObjectName(QStringLiteral("oneCharRadioButton") + number);
        part.twoChar = new QRadioButton(tr("两字"), part.group);
        part.twoChar->setObjectName(QStringLiteral("twoCharRadioButton") + number);
        part.fixed = new QRadioButton(tr("固定为:"), part.group);
        part.fixed->setObjectName(QStringLiteral("fixedRadioButton") + number);
        part.edit = new QLineEdit(part.group);
        part.edit->setObjectName(QStringLiteral("fixedLineEdit") + number);
        part.edit->setEnabled(false);
        part.random->setChecked(true);

        auto* groupLayout = new QVBoxLayout(part.group);
        groupLayout->addWidget(part.random);
        groupLayout->addWidget(part.oneChar);
        groupLayout->addWidget(part.twoChar);
        auto* fixedRow = new QHBoxLayout;
        fixedRow->addWidget(part.fixed);
        fixedRow->addWidget(part.edit);
        groupLayout->addLayout(fixedRow);
        layout->addWidget(part.group);

        QRadioButton* const buttons[4] = {part.random, part.oneChar, part.twoChar, part.fixed};
        for (int choice = 0; choice < 4; ++choice)
            connect(buttons[choice], &QRadioButton::toggled, this, kToggleSlots[index][choice]);
    }

    auto* buttonRow = new QHBoxLayout;
    auto* okButton = new QPushButton(tr("确定"), this);
    okButton->setObjectName(QStringLiteral("okPushButton"));
    okButton->setDefault(true);
    auto* closeButton = new QPushButton(tr("关闭"), this);
    closeButton->setObjectName(QStringLiteral("closePushButton"));
    connect(okButton, &QPushButton::clicked, this, &AutoGenNameDialog::ok);
    connect(closeButton, &QPushButton::clicked, this, &QDialog::close);
    buttonRow->addWidget(okButton);
    buttonRow->addWidget(closeButton);
    buttonRow->addStretch();
    layout->addLayout(buttonRow);
}

QString AutoGenNameDialog::templateOf(int type)
{
    const NameKind* kind = nameKind(type);
    return kind ? QString::fromUtf8(kind->templatePath) : QString();
}

QString AutoGenNameDialog::titleOf(int type)
{
    const NameKind* kind = nameKind(type);
    return kind ? tr(kind->title) : QString();
}

int AutoGenNameDialog::partMode(int part) const
{
    return m_parts[part - 1].mode;
}

void AutoGenNameDialog::setType(int type)
{
    qDebug() << Q_FUNC_INFO << ", type =" << type;

    if (type != m_type) {
        resetAll();
        m_type = type;
    }
    setWindowTitle(titleOf(type));

    // Parts and choices the kind does not use.
    int partsShown = PartCount;
    int lengthChoicesFrom = PartCount; // parts from this index on lose "一字" and "两字"
    switch (type) {
    case 58:
    case 59:
        partsShown = 2;
        break;
    case 60:
    case 61:
        partsShown = 2;
        lengthChoicesFrom = 0;
        break;
    case 62:
    case 63:
        partsShown = 3;
        lengthChoicesFrom = 0;
        break;
    case 64:
        lengthChoicesFrom = 0;
        break;
    default:
        break;
    }
    for (int index = 0; index < PartCount; ++index) {
        Part& part = m_parts[index];
        if (index >= partsShown)
            part.group->hide();
        if (index >= lengthChoicesFrom && index < partsShown) {
            part.oneChar->hide();
            part.twoChar->hide();
        }
        // Parts 3 to 5 of an alien name may be left out.
        if (index >= 2)
            part.random->setText(type == 64 ? tr("随机 (可能为空)") : tr("随机"));
    }
}

void AutoGenNameDialog::resetAll()
{
    qDebug() << Q_FUNC_INFO;
    for (int index = 0; index < PartCount; ++index) {
        Part& part = m_parts[index];
        if (index >= 2)
            part.group->show();
        if (index < 3) {
            part.oneChar->show();
            part.twoChar->show();
            part.random->setChecked(true);
        }
    }
}

void AutoGenNameDialog::ok()
{
    qDebug() << Q_FUNC_INFO;
    emit Ok(m_parts[0].mode, m_parts[0].edit->text(), m_parts[1].mode, m_parts[1].edit->text(), m_parts[2].mode,
            m_parts[2].edit->text(), m_count->value(), m_type, m_parts[3].mode, m_parts[3].edit->text(),
            m_parts[4].mode, m_parts[4].edit->text());
    hide();
}

void AutoGenNameDialog::setMode(int index, int mode, bool checked)
{
    qDebug() << Q_FUNC_INFO << ", part =" << index + 1 << ", mode =" << mode << ", checked =" << checked;
    if (checked)
        m_parts[index].mode = mode;
}

void AutoGenNameDialog::setFixed(int index, bool checked)
{
    setMode(index, DomParser::NamePartFixed, checked);
    m_parts[index].edit->setEnabled(checked);
}

void AutoGenNameDialog::randomCharFirstPartToggled(bool checked) { setMode(0, DomParser::NamePartRandom, checked); }
void AutoGenNameDialog::oneCharFirstPartToggled(bool checked) { setMode(0, DomParser::NamePartOneCharacter, checked); }
void AutoGenNameDialog::twoCharFirstPartToggled(bool checked) { setMode(0, DomParser::NamePartTwoCharacters, checked); }
void AutoGenNameDialog::fixedCharFirstPartToggled(bool checked) { setFixed(0, checked); }
void AutoGenNameDialog::randomCharSecondPartToggled(bool checked) { setMode(1, DomParser::NamePartRandom, checked); }
void AutoGenNameDialog::oneCharSecondPartToggled(bool checked) { setMode(1, DomParser::NamePartOneCharacter, checked); }
void AutoGenNameDialog::twoCharSecondPartToggled(bool checked) { setMode(1, DomParser::NamePartTwoCharacters, checked); }
void AutoGenNameDialog::fixedCharSecondPartToggled(bool checked) { setFixed(1, checked); }
void AutoGenNameDialog::randomCharThirdPartToggled(bool checked) { setMode(2, DomParser::NamePartRandom, checked); }
void AutoGenNameDialog::oneCharThirdPartToggled(bool checked) { setMode(2, DomParser::NamePartOneCharacter, checked); }
void AutoGenNameDialog::twoCharThirdPartToggled(bool checked) { setMode(2, DomParser::NamePartTwoCharacters, checked); }
void AutoGenNameDialog::fixedCharThirdPartToggled(bool checked) { setFixed(2, checked); }
void AutoGenNameDialog::randomCharFourthPartToggled(bool checked) { setMode(3, DomParser::NamePartRandom, checked); }
void AutoGenNameDialog::oneCharFourthPartToggled(bool checked) { setMode(3, DomParser::NamePartOneCharacter, checked); }
void AutoGenNameDialog::twoCharFourthPartToggled(bool checked) { setMode(3, DomParser::NamePartTwoCharacters, checked); }
void AutoGenNameDialog::fixedCharFourthPartToggled(bool checked) { setFixed(3, checked); }
void AutoGenNameDialog::randomCharFifthPartToggled(bool checked) { setMode(4, DomParser::NamePartRandom, checked); }
void AutoGenNameDialog::oneCharFifthPartToggled(bool checked) { setMode(4, DomParser::NamePartOneCharacter, checked); }
void AutoGenNameDialog::twoCharFifthPartToggled(bool checked) { setMode(4, DomParser::NamePartTwoCharacters, checked); }
void AutoGenNameDialog::fixedCharFifthPartToggled(bool checked) { setFixed(4, checked); }
