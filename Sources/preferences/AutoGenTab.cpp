#include "AutoGenTab.h"

#include <QComboBox>
#include <QDebug>
#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

namespace {

const char* const ErrorText = QT_TRANSLATE_NOOP(
    "UserDefinedTemplateTab", "语段模板输入错误! 自建模板不能为空，语段模板文件名必须以 .tqw 结尾!");
const int DefaultStyle = Qt::ToolButtonTextBesideIcon;

} // namespace

AutoGenTab::AutoGenTab(QWidget* parent)
    : UserDefinedTemplateTab(QStringLiteral("UserDefinedAutoGenTemplate"), ErrorText, parent)
{
    qDebug() << Q_FUNC_INFO;
    toolBarStyleComboBox = new QComboBox(this);
    toolBarStyleComboBox->addItem(QStringLiteral("只显示图标"), Qt::ToolButtonIconOnly);
    toolBarStyleComboBox->addItem(QStringLiteral("只显示文字"), Qt::ToolButtonTextOnly);
    toolBarStyleComboBox->addItem(QStringLiteral("文字在图标右侧 "), Qt::ToolButtonTextBesideIcon);
    toolBarStyleComboBox->addItem(QStringLiteral("文字在图标下方"), Qt::ToolButtonTextUnderIcon);
    // The main window has no generation tool bar to take the style from: the list
    // starts from the stored style, or the default when that is not one of its entries.
    toolBarStyleComboBox->setCurrentIndex(DefaultStyle);
    connect(toolBarStyleComboBox, SIGNAL(currentIndexChanged(int)), this, SIGNAL(toolBarStyleChanged(int)));
    selectStoredStyle();
    pageLayout->insertLayout(0, rowOf({new QLabel(tr("工具栏样式: "), this), toolBarStyleComboBox}));
}

void AutoGenTab::loadSettings()
{
    loadTemplates();
    selectStoredStyle();
}

void AutoGenTab::selectStoredStyle()
{
    const int style = Settings().value(QStringLiteral("AutoGenToolBarButtonStyle"), DefaultStyle).toInt();
    qDebug() << Q_FUNC_INFO << ", style =" << style;
    const int index = toolBarStyleComboBox->findData(style);
    if (index >= 0)
        toolBarStyleComboBox->setCurrentIndex(index);
}

void AutoGenTab::applyExtra(Settings& settings)
{
    settings.setValue(QStringLiteral("AutoGenToolBarButtonStyle"), toolBarStyleComboBox->currentIndex());
}
