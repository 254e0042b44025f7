#include "UserDefinedTemplateTab.h"

#include <QDebug>
#include <QHeaderView>
#include <QLabel>
#include <QTableWidget>
#include <QVBoxLayout>
#include <QVector>

#include "Prompt.h"

const char* const UserDefinedTemplateTab::GenericErrorText = QT_TRANSLATE_NOOP(
    "UserDefinedTemplateTab", "自建模板输入错误！自建模板不能为空，自建模板文件名必须以 .tqw 结尾!");

namespace {

const QString TitleKey = QStringLiteral("TemplateTitle");
const QString FileNameKey = QStringLiteral("TemplateFileName");

} // namespace

UserDefinedTemplateTab::UserDefinedTemplateTab(const QString& arrayName, const char* errorText, QWidget* parent)
    : PreferencesPage(parent)
    , m_arrayName(arrayName)
    , m_errorText(errorText)
{
    qDebug() << Q_FUNC_INFO << ", arrayName =" << arrayName;
    pageLayout = new QVBoxLayout;
    pageLayout->addWidget(new QLabel(tr("自建模板列表:"), this));
    tableWidget = new QTableWidget(RowCount, 2, this);
    tableWidget->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    tableWidget->setAlternatingRowColors(true);
    tableWidget->setSelectionBehavior(QAbstractItemView::SelectRows);
    tableWidget->setHorizontalHeaderLabels({tr("模板标题"), tr("模板名")});
    loadTemplates();
    pageLayout->addWidget(tableWidget);
    setLayout(pageLayout);
}

void UserDefinedTemplateTab::loadSettings()
{
    loadTemplates();
}

void UserDefinedTemplateTab::loadTemplates()
{
    qDebug() << Q_FUNC_INFO << ", array =" << m_arrayName;
    tableWidget->clearContents();
    Settings settings;
    // Only the first RowCount elements have a row.
    const int size = qMin(settings.beginReadArray(m_arrayName), int(RowCount));
    for (int i = 0; i < size; ++i) {
        settings.setArrayIndex(i);
        tableWidget->setItem(i, 0, new QTableWidgetItem(settings.value(TitleKey).toString()));
        tableWidget->setItem(i, 1, new QTableWidgetItem(settings.value(FileNameKey).toString()));
    }
    settings.endArray();
}

void UserDefinedTemplateTab::applyExtra(Settings&)
{
}

void UserDefinedTemplateTab::apply()
{
    qDebug() << Q_FUNC_INFO << ", array =" << m_arrayName;
    struct Row
    {
        bool present = false; // the row has items
        QString title;
        QString fileName;
    };
    QVector<Row> rows(tableWidget->rowCount());
    int last = -1;
    for (int i = 0; i < rows.size(); ++i) {
        const QTableWidgetItem* title = tableWidget->item(i, 0);
        const QTableWidgetItem* fileName = tableWidget->item(i, 1);
        if (!title && !fileName)
            continue;
        Row& row = rows[i];
        row.present = true;
        row.title = title ? title->text().simplified() : QString();
        row.fileName = fileName ? fileName->text().simplified() : QString();
        // Both cells filled, or both blank; a file name ends in ".tqw" exactly.
        const bool valid = title && fileName && row.title.isEmpty() == row.fileName.isEmpty()
            && (row.fileName.isEmpty() || row.fileName.endsWith(QLatin1String(".tqw")));
        if (!valid) {
            qWarning() << "Invalid template row =" << i << ", title =" << row.title << ", fileName =" << row.fileName;
            QMessageBox box(QMessageBox::Warning, tr("错误!"), tr(m_errorText), QMessageBox::Ok, this);
            Prompt::current().exec(box);
            return;
        }
        if (!row.title.isEmpty())
            last = i;
    }

    Settings settings;
    applyExtra(settings);
    // Rewritten whole, so that no element of an earlier, longer list comes back.
    settings.remove(m_arrayName);
    settings.beginWriteArray(m_arrayName, last + 1);
    for (int i = 0; i <= last; ++i) {
        if (!rows.at(i).present)
            continue;
        settings.setArrayIndex(i);
        settings.setValue(TitleKey, rows.at(i).title);
        settings.setValue(FileNameKey, rows.at(i).fileName);
    }
    settings.endArray();
}
