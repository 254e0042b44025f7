#include "InputHistory.h"

#include <QComboBox>

namespace {

const char* const groups[] = {"AutoGen", "Advertisement"};

// Index of the first item among 0 to 6 with empty text; an index past the last
// item counts as empty. A longer history has its end taken at index 6.
int historyEnd(const QComboBox* comboBox)
{
    for (int i = 0; i < 6; ++i) {
        if (i >= comboBox->count() || comboBox->itemText(i).isEmpty())
            return i;
    }
    return 6;
}

} // namespace

QString InputHistory::prompt()
{
    return tr("在此选择或输入");
}

QString InputHistory::key(const QString& spelledKey)
{
    const int slash = spelledKey.indexOf('/');
    const QString group = slash < 0 ? spelledKey : spelledKey.left(slash);
    for (const char* canonical : groups) {
        const QString name = QLatin1String(canonical);
        if (group.compare(name, Qt::CaseInsensitive) == 0)
            return slash < 0 ? name : name + spelledKey.mid(slash);
    }
    return spelledKey;
}

int InputHistory::load(const QString& key, QComboBox* comboBox)
{
    Settings settings;
    const int size = settings.beginReadArray(InputHistory::key(key));
    QStringList values;
    values.reserve(size);
    for (int i = 0; i < size; ++i) {
        settings.setArrayIndex(i);
        values << settings.value(QStringLiteral("Key")).toString();
    }
    settings.endArray();
    comboBox->addItems(values);
    return size;
}

void InputHistory::save(QComboBox* comboBox, const QString& key, Settings& settings)
{
    const QString text = comboBox->currentText();
    if (text.isEmpty() || text == prompt())
        return;

    const int end = historyEnd(comboBox);
    for (int i = 0; i < end; ++i) {
        if (comboBox->itemText(i) == text) {
            comboBox->removeItem(i);
            break;
        }
    }
    comboBox->insertItem(0, text);

    const int newEnd = historyEnd(comboBox);
    if (newEnd == 6) {
        // Six or more values: drop all but the newest five, up to the separator.
        int separator = 6;
        while (separator < comboBox->count() && !comboBox->itemText(separator).isEmpty())
            ++separator;
        if (separator == comboBox->count())
            separator = 6; // no separator at all: drop the sixth value only
        for (int i = separator - 1; i >= MaxValues; --i)
            comboBox->removeItem(i);
    }
    comboBox->setCurrentIndex(0);

    const int size = qMin(newEnd, int(MaxValues));
    const QString folded = InputHistory::key(key);
    settings.remove(folded);
    settings.beginWriteArray(folded, size);
    for (int i = 0; i < size; ++i) {
        settings.setArrayIndex(i);
        settings.setValue(QStringLiteral("Key"), comboBox->itemText(i));
    }
    settings.endArray();
}

void InputHistory::removeGroup(const QString& group)
{
    Settings settings;
    settings.remove(key(group));
}
