#include "SearchTab.h"

#include <QDebug>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

SearchTab::SearchTab(QWidget* parent)
    : PreferencesPage(parent)
{
    qDebug() << Q_FUNC_INFO;
    recentSearchNumberMaxSpinBox = newSpinBox(0, 50);
    clearSearchHistoryPushButton = new QPushButton(tr("清空搜索历史记录"), this);
    connect(clearSearchHistoryPushButton, SIGNAL(clicked()), this, SLOT(clearSearchHistory()));
    recentSearchNumberMaxSpinBox->setValue(Settings().value(QStringLiteral("RecentSearchNumberMax"), 10).toInt());

    auto* layout = new QVBoxLayout;
    layout->addLayout(rowOf({new QLabel(tr("保存最近搜索相关信息"), this), recentSearchNumberMaxSpinBox,
                             new QLabel(tr("个 (0 - 50)"), this), clearSearchHistoryPushButton}));
    layout->addStretch();
    setLayout(layout);
}

void SearchTab::apply()
{
    qDebug() << Q_FUNC_INFO;
    Settings().setValue(QStringLiteral("RecentSearchNumberMax"), recentSearchNumberMaxSpinBox->value());
}

void SearchTab::clearSearchHistory()
{
    qDebug() << Q_FUNC_INFO;
    {
        Settings settings;
        for (const char* group :
             {"SearchDialogIncludeText", "SearchDialogExcludeText", "SearchDialogFile", "SearchDialogDirectory"})
            settings.remove(QLatin1String(group));
    }
    emit searchHistoryCleared();
}
