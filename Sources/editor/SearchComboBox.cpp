#include "SearchComboBox.h"

#include <QComboBox>
#include <QDebug>
#include <QLineEdit>

#include <algorithm>

#include "SettingsStore.h"

QComboBox* createSearchComboBox(QWidget* parent)
{
    qDebug() << Q_FUNC_INFO << ", parent =" << parent;
    auto* box = new QComboBox(parent);
    box->setEditable(true);
    box->lineEdit()->setClearButtonEnabled(true);
    // The minimum-contents-length policy (its "with icon" form: no minimum length is set, so the two agree).
    box->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    box->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
    // Typing must not add items by itself: updateComboBox alone keeps the history.
    box->setInsertPolicy(QComboBox::NoInsert);
    box->setMaxCount(recentSearchNumberMax());
    return box;
}

int recentSearchNumberMax()
{
    return qMax(0, Settings().value(QStringLiteral("RecentSearchNumberMax"), 10).toInt());
}

void updateComboBox(QComboBox* box, const QString& name)
{
    qDebug() << Q_FUNC_INFO << ", name =" << name;
    if (!box)
        return;
    const QString text = box->currentText();
    if (box->findText(text, Qt::MatchExactly | Qt::MatchCaseSensitive) < 0 && box->maxCount() > 0) {
        // insertItem at 0 of a full box would be refused, so make room first.
        while (box->count() >= box->maxCount())
            box->removeItem(box->count() - 1);
        box->insertItem(0, text);
        box->setCurrentIndex(0);
    }
    // removeItem/insertItem may have changed the edit text; it is the user's text.
    box->setEditText(text);

    // An empty item is kept too: a box the user left empty must come back empty,
    // not showing the entry below it.
    Settings settings;
    settings.remove(name);
    settings.beginGroup(name);
    for (int i = 0; i < box->count(); ++i)
        settings.setValue(QString::number(i), box->itemText(i));
    settings.endGroup();
}

void loadComboBoxHistory(QComboBox* box, const QString& name, int maxLength, bool numericOrder)
{
    qDebug() << Q_FUNC_INFO << ", name =" << name << ", maxLength =" << maxLength << ", numericOrder =" << numericOrder;
    if (!box)
        return;
    Settings settings;
    settings.beginGroup(name);
    QStringList keys = settings.childKeys();
    // The keys are item numbers: in item order "10" comes after "9", not after "1".
    if (numericOrder) {
        std::stable_sort(keys.begin(), keys.end(), [](const QString& a, const QString& b) {
            bool aNumber = false;
            bool bNumber = false;
            const qlonglong aValue = a.toLongLong(&aNumber);
            const qlonglong bValue = b.toLongLong(&bNumber);
            if (aNumber != bNumber)
                return aNumber;
            return aNumber && aValue < bValue;
        });
    }
    // Earlier versions wrote no key for an empty item. Without key "0" the top
    // item, the text the box showed, was empty: it still is.
    const bool numbered = !keys.isEmpty() && std::all_of(keys.cbegin(), keys.cend(), [](const QString& key) {
        bool number = false;
        key.toUInt(&number);
        return number;
    });
    if (numbered && !keys.contains(QStringLiteral("0")) && box->maxCount() > 0)
        box->addItem(QString());
    for (const QString& key : qAsConst(keys)) {
        if (box->count() >= box->maxCount())
            break;
        QString value = settings.value(key).toString();
        if (maxLength > 0)
            value.truncate(maxLength);
        box->addItem(value);
    }
    settings.endGroup();
}
