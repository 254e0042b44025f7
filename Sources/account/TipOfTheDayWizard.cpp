#include "TipOfTheDayWizard.h"

#include <QCheckBox>
#include <QDebug>
#include <QFile>

#include "SettingsStore.h"
#include "TipWizardPage.h"
#include "ui_TipOfTheDayWizard.h"

TipOfTheDayWizard::TipOfTheDayWizard(QWidget* parent)
    : QWizard(parent)
    , ui(new Ui::TipOfTheDayWizard)
{
    qDebug() << Q_FUNC_INFO;
    ui->setupUi(this);
    setWindowTitle(tr("每日一贴"));

    QFile file{QLatin1String(TIP_OF_THE_DAY_FILE_NAME)};
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text)) {
        qWarning().noquote() << "Failed to open tipOfTheDay file: " + QLatin1String(TIP_OF_THE_DAY_FILE_NAME);
        return;
    }
    for (int id : pageIds())
        removePage(id);
    while (!file.atEnd()) {
        QByteArray bytes = file.readLine();
        const int nul = bytes.indexOf('\0');
        if (nul >= 0)
            bytes.truncate(nul);
        const QString line = QString::fromUtf8(bytes).trimmed();
        if (isTip(line))
            m_tips << line;
    }
    for (int i = 0; i < m_tips.size(); ++i) {
        auto* page = new TipWizardPage(this);
        page->setTitle(tr("你是否知道? (第%1贴 / 共%2贴)").arg(i + 1).arg(m_tips.size()));
        page->setTipText(m_tips.at(i));
        connect(page->doNotShowAgainCheckBox(), &QCheckBox::stateChanged, this, &TipOfTheDayWizard::stateChanged);
        addPage(page);
    }
    connect(this, &QWizard::currentIdChanged, this, &TipOfTheDayWizard::currentIdChanged);
}

TipOfTheDayWizard::~TipOfTheDayWizard()
{
    delete ui;
}

bool TipOfTheDayWizard::isTip(const QString& trimmedLine)
{
    return !trimmedLine.startsWith(QLatin1Char('#')) && trimmedLine.size() > 7;
}

void TipOfTheDayWizard::currentIdChanged(int)
{
    if (auto* page = qobject_cast<TipWizardPage*>(currentPage()))
        page->doNotShowAgainCheckBox()->setCheckState(static_cast<Qt::CheckState>(m_doNotShowAgainState));
}

void TipOfTheDayWizard::stateChanged(int state)
{
    m_doNotShowAgainState = state;
    Settings settings;
    settings.setValue(QStringLiteral("ShowTipOfTheDay"), state == Qt::Checked ? 0 : 2);
}
