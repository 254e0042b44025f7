#include "GeneralTab.h"

#include <algorithm>

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDebug>
#include <QGridLayout>
#include <QLabel>

GeneralTab::GeneralTab(const QMap<QString, QString>& languages, QWidget* parent)
    : PreferencesPage(parent)
{
    qDebug() << Q_FUNC_INFO;
    fontSizeComboBox = new QComboBox(this);
    QList<int> sizes{7, 8, 9, 10, 11, 12, 13, 14, 16, 18};
    // A size chosen elsewhere stays a choice of its own, so that applying the page
    // keeps it instead of storing the first entry.
    int current = QApplication::font().pointSize();
    if (current <= 0)
        current = 9;
    if (!sizes.contains(current)) {
        sizes << current;
        std::sort(sizes.begin(), sizes.end());
    }
    for (int size : qAsConst(sizes))
        fontSizeComboBox->addItem(QString::number(size));
    fontSizeComboBox->setCurrentIndex(sizes.indexOf(current));

    languageComboBox = new QComboBox(this);
    for (auto it = languages.cbegin(); it != languages.cend(); ++it)
        languageComboBox->addItem(it.key(), it.value());

    showStatusBarCheckBox = new QCheckBox(tr("显示状态栏"), this);
    showDateInStatusBarCheckBox = new QCheckBox(tr("状态栏里显示日期"), this);
    showTimeInStatusBarCheckBox = new QCheckBox(tr("状态栏里显示时间"), this);
    showTipOfTheDayCheckBox = new QCheckBox(tr("显示每日一贴"), this);
    showPromoteBannerCheckBox = new QCheckBox(tr("显示塔泉笔推广标签"), this);
    showSpellingResultMessageBoxCheckBox = new QCheckBox(tr("显示校对结果对话框"), this);
    for (QCheckBox* box : {showStatusBarCheckBox, showDateInStatusBarCheckBox, showTimeInStatusBarCheckBox})
        box->setChecked(true);

    const Settings settings;
    for (const auto& entry : checkBoxKeys())
        loadCheckState(settings, entry.second, entry.first);

    auto* layout = new QGridLayout;
    layout->addLayout(rowOf({new QLabel(tr("主程序字号"), this), fontSizeComboBox}), 0, 0, 1, 2);
    layout->addLayout(rowOf({new QLabel(tr("主程序语言"), this), languageComboBox}), 1, 0, 1, 2);
    layout->addWidget(new QLabel(this), 2, 0, 1, 2);
    layout->addWidget(showTipOfTheDayCheckBox, 3, 0);
    layout->addWidget(showStatusBarCheckBox, 3, 1);
    layout->addWidget(showPromoteBannerCheckBox, 4, 0);
    layout->addWidget(showDateInStatusBarCheckBox, 4, 1);
    layout->addWidget(showSpellingResultMessageBoxCheckBox, 5, 0);
    layout->addWidget(showTimeInStatusBarCheckBox, 5, 1);
    setLayout(layout);

    selectCustomLocale();
}

QList<QPair<QCheckBox*, QString>> GeneralTab::checkBoxKeys() const
{
    return {{showStatusBarCheckBox, QStringLiteral("ShowStatusBar")},
            {showDateInStatusBarCheckBox, QStringLiteral("ShowDateInStatusBar")},
            {showTimeInStatusBarCheckBox, QStringLiteral("ShowTimeInStatusBar")},
            {showTipOfTheDayCheckBox, QStringLiteral("ShowTipOfTheDay")},
            {showPromoteBannerCheckBox, QStringLiteral("ShowPromoteBanner")},
            {showSpellingResultMessageBoxCheckBox, QStringLiteral("ShowSpellingResultMessageBox")}};
}

void GeneralTab::selectCustomLocale()
{
    const QString locale = Settings().value(QStringLiteral("CustomLocale"), languageComboBox->currentText()).toString();
    qDebug() << Q_FUNC_INFO << ", locale =" << locale;
    const int index = languageComboBox->findData(locale);
    if (index >= 0)
        languageComboBox->setCurrentIndex(index);
}

void GeneralTab::apply()
{
    qDebug() << Q_FUNC_INFO;
    {
        Settings settings;
        settings.setValue(QStringLiteral("CustomFontPointSize"), fontSizeComboBox->currentText().toInt());
        // Without a language list there is nothing to choose, and the stored choice stays.
        if (languageComboBox->currentIndex() >= 0)
            settings.setValue(QStringLiteral("CustomLocale"), languageComboBox->currentData().toString());
        for (const auto& entry : checkBoxKeys())
            storeCheckState(settings, entry.second, entry.first);
    }
    emit readSettingsRequested();
}
