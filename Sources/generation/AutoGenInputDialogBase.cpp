#include "AutoGenInputDialogBase.h"

#include <QComboBox>
#include <QDebug>
#include <QDir>
#include <QFile>
#include <QHash>
#include <QLineEdit>
#include <QSpinBox>
#include <QTextEdit>
#include <QTextStream>

#include "InputHistory.h"
#include "InputListModel.h"

namespace {

// The lines of a UTF-8 word list as they stand (line ends removed, nothing
// trimmed, empty lines kept); false when the file does not open.
bool readWordList(const QString& path, QStringList& lines)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return false;
    QTextStream stream(&file);
    stream.setCodec("UTF-8");
    const QString text = stream.readAll();
    lines = text.split(QLatin1Char('\n'));
    if (text.isEmpty() || text.endsWith(QLatin1Char('\n')))
        lines.removeLast();
    return true;
}

} // namespace

QString AutoGenInput::text() const
{
    return comboBox->currentText();
}

AutoGenInputDialogBase::AutoGenInputDialogBase(AutoGenForm form, QWidget* parent)
    : QDialog(parent), m_form(form)
{
}

QString AutoGenInputDialogBase::listFolder(AutoGenForm form)
{
    return form == AutoGenForm::Story ? QStringLiteral("./List/") : QStringLiteral("./List/广告/");
}

QString AutoGenInputDialogBase::historyGroup(AutoGenForm form)
{
    return InputHistory::key(form == AutoGenForm::Story ? QStringLiteral("autogen")
                                                        : QStringLiteral("advertisement"));
}

const AutoGenInput* AutoGenInputDialogBase::input(const QString& placeholder) const
{
    for (const AutoGenInput& entry : m_inputs) {
        if (entry.placeholder() == placeholder)
            return &entry;
    }
    return nullptr;
}

int AutoGenInputDialogBase::loadComboBoxHistory(const QString& key, QComboBox* comboBox) const
{
    return InputHistory::load(key, comboBox);
}

void AutoGenInputDialogBase::fillInputs(PromptRule rule)
{
    for (QComboBox* comboBox : findChildren<QComboBox*>()) {
        if (comboBox->lineEdit())
            comboBox->lineEdit()->setClearButtonEnabled(true);
    }

    const QString group = historyGroup(m_form);
    const QVector<AutoGenInputField>& fields = autoGenInputFields(m_form);
    QVector<int> historyCounts;
    m_inputs.reserve(fields.size());
    historyCounts.reserve(fields.size());
    for (const AutoGenInputField& field : fields) {
        auto* comboBox = findChild<QComboBox*>(QLatin1String(field.objectName));
        if (!comboBox) {
            qCritical() << "the form has no combo box" << field.objectName;
            continue;
        }
        comboBox->setModel(new InputListModel(comboBox));
        const QString key = InputHistory::key(group, QLatin1String(field.historyField));
        const int count = loadComboBoxHistory(key, comboBox);
        comboBox->insertSeparator(count);
        m_inputs.append({&field, comboBox, key});
        historyCounts.append(count);
    }

    // Each list file is read once, however many boxes it feeds.
    QStringList files;
    QHash<QString, QVector<int>> boxesOfFile;
    for (int i = 0; i < m_inputs.size(); ++i) {
        const QString file = QString::fromUtf8(m_inputs.at(i).field->wordList);
        const bool hasList = !file.isEmpty();
        if (historyCounts.at(i) == 0 && (rule == PromptAlways || !hasList))
            m_inputs.at(i).comboBox->lineEdit()->setPlaceholderText(InputHistory::prompt());
        if (!hasList)
            continue;
        if (!boxesOfFile.contains(file))
            files << file;
        boxesOfFile[file].append(i);
    }
    const QString folder = listFolder(m_form);
    for (const QString& file : files) {
        QStringList lines;
        if (!readWordList(folder + file, lines))
            continue;
        for (int i : boxesOfFile.value(file)) {
            QComboBox* comboBox = m_inputs.at(i).comboBox;
            static_cast<InputListModel*>(comboBox->model())->appendLines(lines);
            comboBox->setCurrentIndex(0);
            if (historyCounts.at(i) == 0)
                comboBox->lineEdit()->setPlaceholderText(InputHistory::prompt());
        }
    }
}

void AutoGenInputDialogBase::setFormWidgets(QDialogButtonBox* buttonBox, QTextEdit* directory, QTextEdit* name,
                                            QSpinBox* count)
{
    m_buttonBox = buttonBox;
    m_directory = directory;
    m_name = name;
    m_count = count;
}

void AutoGenInputDialogBase::setBatchDefaults(int count) const
{
    m_directory->setPlainText(QDir::homePath());
    m_name->setPlainText(QStringLiteral("tmp"));
    m_count->setRange(1, 1000);
    m_count->setValue(count);
}

QString AutoGenInputDialogBase::outputDirectory() const
{
    return m_directory->toPlainText().trimmed();
}

int AutoGenInputDialogBase::generationCount() const
{
    return m_count->value();
}

QString AutoGenInputDialogBase::outputFileName() const
{
    return m_name->toPlainText().trimmed();
}

void AutoGenInputDialogBase::resetAllSettings() const
{
    InputHistory::removeGroup(historyGroup(m_form));
    for (QComboBox* comboBox : findChildren<QComboBox*>())
        comboBox->setEditText(QString());
}
