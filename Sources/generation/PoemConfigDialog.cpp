#include "PoemConfigDialog.h"

#include <QDebug>

#include "SettingsStore.h"
#include "ui_PoemConfigDialog.h"

PoemConfigDialog::PoemConfigDialog(QWidget* parent) : QDialog(parent), ui(new Ui::PoemConfigDialog)
{
    qDebug() << Q_FUNC_INFO;
    ui->setupUi(this);

    Settings settings;
    ui->lineNumbersSpinBox->setRange(4, 100);
    ui->lineNumbersSpinBox->setValue(qMax(4, settings.value(QStringLiteral("Poem/LineNumbers")).toInt()));

    ui->titleLabel->hide();
    ui->titleComboBox->hide();

    ui->finalSoundComboBox->addItems(rhymeGroups());
    const QString finalSound = settings.value(QStringLiteral("Poem/FinalSound")).toString();
    const int stored = finalSound.isEmpty() ? -1 : ui->finalSoundComboBox->findText(finalSound, Qt::MatchExactly | Qt::MatchCaseSensitive);
    if (stored >= 0)
        ui->finalSoundComboBox->setCurrentIndex(stored);
}

PoemConfigDialog::~PoemConfigDialog()
{
    delete ui;
}

const QStringList& PoemConfigDialog::rhymeGroups()
{
    static const QStringList groups = {
        QStringLiteral("a=a-ia-ua"),    QStringLiteral("ai=ai-uai"),    QStringLiteral("an=an-ian-uan"),
        QStringLiteral("ang=ang-iang-uang"), QStringLiteral("ao=ao-iao"), QStringLiteral("e=e-ie-ue"),
        QStringLiteral("ei=ei-ui"),     QStringLiteral("en=en"),        QStringLiteral("eng=eng"),
        QStringLiteral("er=er"),        QStringLiteral("i=i"),          QStringLiteral("in=in"),
        QStringLiteral("ing=ing"),      QStringLiteral("o=o-uo"),       QStringLiteral("ong=ong-iong"),
        QStringLiteral("ou=ou-iu"),     QStringLiteral("u=u-v"),        QStringLiteral("un=un"),
    };
    return groups;
}

int PoemConfigDialog::lineNumbers() const
{
    return ui->lineNumbersSpinBox->value();
}

QString PoemConfigDialog::finalSound() const
{
    return ui->finalSoundComboBox->currentText();
}

QString PoemConfigDialog::title() const
{
    return ui->titleComboBox->currentText();
}

QDialogButtonBox* PoemConfigDialog::buttonBox() const
{
    return ui->buttonBox;
}
