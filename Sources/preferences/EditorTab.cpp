#include "EditorTab.h"

#include <QCheckBox>
#include <QColor>
#include <QComboBox>
#include <QDebug>
#include <QDir>
#include <QFontComboBox>
#include <QFontDatabase>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>

#include "MdiChild.h"
#include "Prompt.h"

namespace {

const int FixedLineSpacingMinimum = 10;
const int FixedLineSpacingMaximum = 30;
const char* const BackgroundColorProperty = "backgroundColor";
const char* const DefaultHighlightColor = "red";
const QString ColorStylePrefix = QStringLiteral("background-color:");

// One line of the page's grid: widgets with their stretch factors.
void addLine(QGridLayout* grid, const QList<QPair<QWidget*, int>>& widgets)
{
    auto* line = new QHBoxLayout;
    for (const auto& entry : widgets)
        line->addWidget(entry.first, entry.second);
    grid->addLayout(line, grid->rowCount(), 0);
}

} // namespace

EditorTab::EditorTab(QMdiArea* documents, QWidget* parent)
    : PreferencesPage(parent)
    , m_documents(documents)
{
    qDebug() << Q_FUNC_INFO;
    lineWrapCheckBox = new QCheckBox(tr("自动换行"), this);
    highlightCurrentLineCheckBox = new QCheckBox(tr("高亮显示当前行"), this);
    highlightCurrentParagraphCheckBox = new QCheckBox(tr("高亮显示当前段落"), this);

    // Font
    systemFontRadioButton = new QRadioButton(tr("系统默认字体"), this);
    customFontRadioButton = new QRadioButton(tr("设置"), this);
    fontComboBox = new QFontComboBox(this);
    fontSizeComboBox = new QComboBox(this);
    for (int size : QFontDatabase::standardSizes())
        fontSizeComboBox->addItem(QString::number(size));
    // Without a stored size the list starts at the size the documents have now.
    fontSizeComboBox->setCurrentIndex(qMax(0, fontSizeComboBox->findText(QString::number(font().pointSize()))));
    connect(systemFontRadioButton, SIGNAL(toggled(bool)), this, SLOT(fontTypeRadioButtonToggled(bool)));
    connect(customFontRadioButton, SIGNAL(toggled(bool)), this, SLOT(fontTypeRadioButtonToggled(bool)));
    connect(fontComboBox, SIGNAL(currentFontChanged(QFont)), this, SLOT(fontChanged(QFont)));
    connect(fontSizeComboBox, SIGNAL(currentTextChanged(QString)), this, SLOT(fontSizeChanged(QString)));
    systemFontRadioButton->setChecked(true);

    // Line spacing
    lineSpacingComboBox = new QComboBox(this);
    for (double factor : {1.0, 1.15, 1.5, 2.0, 2.5, 3.0})
        lineSpacingComboBox->addItem(QString::number(factor, 'g', 6) + tr("倍"), factor);
    lineSpacingComboBox->addItem(tr("固定值"), 0.0);
    lineSpacingSpinBox = newSpinBox(FixedLineSpacingMinimum, FixedLineSpacingMaximum);
    lineSpacingRangeLabel
        = new QLabel(QStringLiteral("(%1 - %2)").arg(FixedLineSpacingMinimum).arg(FixedLineSpacingMaximum), this);
    connect(lineSpacingComboBox, SIGNAL(currentIndexChanged(int)), this, SLOT(lineSpacingChanged(int)));
    lineSpacingChanged(0);

    // Background
    backgroundTypeComboBox = new QComboBox(this);
    backgroundTypeComboBox->addItem(tr("无"), 0);
    backgroundTypeComboBox->addItem(tr("单色"), 1);
    backgroundTypeComboBox->addItem(tr("图片"), 2);
    selectBackgroundPushButton = new QPushButton(tr("选择"), this);
    backgroundColorPushButton = new QPushButton(this);
    backgroundFileLineEdit = new QLineEdit(this);
    backgroundFileLineEdit->setAlignment(Qt::AlignRight);
    const int backgroundType = Settings().value(QStringLiteral("EditorBackgroundType")).toInt();
    const int backgroundIndex = backgroundTypeComboBox->findData(backgroundType);
    // An unknown stored type keeps the first entry, with the widgets to match it.
    if (backgroundIndex >= 0)
        backgroundTypeComboBox->setCurrentIndex(backgroundIndex);
    connect(backgroundTypeComboBox, SIGNAL(currentIndexChanged(int)), this, SLOT(backgroundTypeChanged(int)));
    connect(selectBackgroundPushButton, SIGNAL(clicked()), this, SLOT(selectBackgroundPushButtonClicked()));
    backgroundTypeChanged(backgroundTypeComboBox->currentIndex());

    // Generated content
    highlightAutoGenContentCheckBox = new QCheckBox(tr("高亮显示自动生成内容"), this);
    highlightAutoGenContentCheckBox->setChecked(true);
    highlightAutoGenContentPushButton = new QPushButton(this);
    highlightAutoGenContentPushButton->setAutoFillBackground(true);
    setHighlightAutoGenContentColor(QLatin1String(DefaultHighlightColor));
    connect(highlightAutoGenContentCheckBox, SIGNAL(stateChanged(int)), this,
            SLOT(highlightAutoGenContentCheckBoxStateChanged(int)));
    connect(highlightAutoGenContentPushButton, SIGNAL(clicked()), this, SLOT(highlightAutoGenContentPushButtonClicked()));
    {
        const Settings settings;
        if (settings.contains(QStringLiteral("HighlightAutoGenContent"))) {
            loadCheckState(settings, QStringLiteral("HighlightAutoGenContent"), highlightAutoGenContentCheckBox);
            setHighlightAutoGenContentColor(settings.value(QStringLiteral("HighlightAutoGenContentColor")).toString());
        }
        const QList<QPair<QCheckBox*, const char*>> boxes{{lineWrapCheckBox, "LineWrap"},
                                                          {highlightCurrentLineCheckBox, "HighlightCurrentLine"},
                                                          {highlightCurrentParagraphCheckBox, "HighlightCurrentParagraph"}};
        for (const auto& entry : boxes)
            loadCheckState(settings, QLatin1String(entry.second), entry.first);
    }

    auto* grid = new QGridLayout;
    grid->addWidget(lineWrapCheckBox, 0, 0);
    grid->addWidget(highlightCurrentLineCheckBox, 1, 0);
    grid->addWidget(highlightCurrentParagraphCheckBox, 2, 0);
    addLine(grid, {{new QLabel(tr("字体"), this), 2},
                   {systemFontRadioButton, 1},
                   {customFontRadioButton, 1},
                   {fontComboBox, 1},
                   {fontSizeComboBox, 1}});
    addLine(grid, {{new QLabel(tr("行距"), this), 2},
                   {lineSpacingComboBox, 1},
                   {lineSpacingSpinBox, 1},
                   {lineSpacingRangeLabel, 1}});
    addLine(grid, {{new QLabel(tr("编辑区背景颜色/图片"), this), 2},
                   {backgroundTypeComboBox, 1},
                   {selectBackgroundPushButton, 1},
                   {backgroundColorPushButton, 1},
                   {backgroundFileLineEdit, 1}});
    addLine(grid, {{highlightAutoGenContentCheckBox, 2}, {highlightAutoGenContentPushButton, 3}});
    setLayout(grid);

    loadSettings();
}

void EditorTab::loadSettings()
{
    qDebug() << Q_FUNC_INFO;
    const Settings settings;
    m_loading = true;
    if (settings.value(QStringLiteral("EditorFontType")).toInt() != 0)
        customFontRadioButton->setChecked(true);
    else
        systemFontRadioButton->setChecked(true);

    if (settings.contains(QStringLiteral("EditorFontFamily"))) {
        // The stored text is a whole font description; its first field is the family.
        const QString description = settings.value(QStringLiteral("EditorFontFamily")).toString();
        QFont stored;
        if (!stored.fromString(description))
            stored.setFamily(description.section(QLatin1Char(','), 0, 0));
        fontComboBox->setCurrentFont(QFont(stored.family()));
    }
    if (settings.contains(QStringLiteral("EditorFontSize"))) {
        const int index = fontSizeComboBox->findText(settings.value(QStringLiteral("EditorFontSize")).toString());
        if (index >= 0)
            fontSizeComboBox->setCurrentIndex(index);
    }
    m_loading = false;

    const double spacing
        = settings.value(QStringLiteral("LineSpacing"), lineSpacingComboBox->currentData()).toDouble();
    int spacingIndex = 0;
    for (int i = 0; i < lineSpacingComboBox->count(); ++i) {
        if (qAbs(lineSpacingComboBox->itemData(i).toDouble() - spacing) < 1e-9) {
            spacingIndex = i;
            break;
        }
    }
    lineSpacingComboBox->setCurrentIndex(spacingIndex);

    const int fixed = settings.value(QStringLiteral("LineSpacingFixedValue"), lineSpacingSpinBox->value()).toInt();
    lineSpacingSpinBox->setValue(fixed >= FixedLineSpacingMinimum && fixed <= FixedLineSpacingMaximum
                                     ? fixed
                                     : FixedLineSpacingMinimum);

    setBackgroundColor(settings.value(QStringLiteral("EditorBackgroundColor")).toString());
    backgroundFileLineEdit->setText(settings.value(QStringLiteral("EditorBackgroundFileName")).toString());
}

void EditorTab::apply()
{
    qDebug() << Q_FUNC_INFO;
    {
        Settings settings;
        settings.setValue(QStringLiteral("EditorFontType"), systemFontRadioButton->isChecked() ? 0 : 1);
        settings.setValue(QStringLiteral("EditorFontFamily"), fontComboBox->currentFont().toString());
        settings.setValue(QStringLiteral("EditorFontSize"), fontSizeComboBox->currentText());
        settings.setValue(QStringLiteral("LineSpacing"), lineSpacingComboBox->currentData().toDouble());
        settings.setValue(QStringLiteral("LineSpacingFixedValue"), lineSpacingSpinBox->value());
        storeCheckState(settings, QStringLiteral("LineWrap"), lineWrapCheckBox);
        storeCheckState(settings, QStringLiteral("HighlightCurrentLine"), highlightCurrentLineCheckBox);
        storeCheckState(settings, QStringLiteral("HighlightCurrentParagraph"), highlightCurrentParagraphCheckBox);
        settings.setValue(QStringLiteral("EditorBackgroundType"), backgroundTypeComboBox->currentData().toInt());
        settings.setValue(QStringLiteral("EditorBackgroundColor"),
                          backgroundColorPushButton->property(BackgroundColorProperty).toString());
        settings.setValue(QStringLiteral("EditorBackgroundFileName"), backgroundFileLineEdit->text());
        storeCheckState(settings, QStringLiteral("HighlightAutoGenContent"), highlightAutoGenContentCheckBox);
        QString color = highlightAutoGenContentPushButton->styleSheet().section(QLatin1Char(':'), 1);
        if (color.endsWith(QLatin1Char(';')))
            color.chop(1);
        settings.setValue(QStringLiteral("HighlightAutoGenContentColor"), color);
    }
    emit readSettingsRequested();
}

void EditorTab::setBackgroundColor(const QString& name)
{
    // Only a real colour goes into the style sheet; anything else means no colour.
    const QString color = QColor::isValidColor(name) ? name : QString();
    backgroundColorPushButton->setStyleSheet(color.isEmpty() ? QString() : ColorStylePrefix + color + QLatin1Char(';'));
    backgroundColorPushButton->setProperty(BackgroundColorProperty, color);
}

void EditorTab::setHighlightAutoGenContentColor(const QString& name)
{
    const QString color = QColor::isValidColor(name) ? name : QLatin1String(DefaultHighlightColor);
    highlightAutoGenContentPushButton->setStyleSheet(ColorStylePrefix + color + QLatin1Char(';'));
}

void EditorTab::showFontInDocuments(QFont font, const QString& sizeText)
{
    if (m_loading || !customFontRadioButton->isChecked() || !m_documents)
        return;
    const double size = sizeText.toDouble();
    if (size > 0)
        font.setPointSizeF(size);
    for (QMdiSubWindow* window : m_documents->subWindowList())
        if (auto* child = qobject_cast<MdiChild*>(window->widget()))
            child->setFont(font);
}

void EditorTab::fontChanged(const QFont& font)
{
    qDebug() << Q_FUNC_INFO << ", font.toString() =" << font.toString();
    showFontInDocuments(font, fontSizeComboBox->currentText());
}

void EditorTab::fontSizeChanged(const QString& text)
{
    qDebug() << Q_FUNC_INFO << ", text =" << text;
    showFontInDocuments(fontComboBox->currentFont(), text);
}

void EditorTab::fontTypeRadioButtonToggled(bool checked)
{
    qDebug() << Q_FUNC_INFO << ", checked =" << checked;
    bool enable;
    if (sender() == systemFontRadioButton)
        enable = !checked;
    else if (sender() == customFontRadioButton)
        enable = checked;
    else
        return;
    fontComboBox->setEnabled(enable);
    fontSizeComboBox->setEnabled(enable);
}

void EditorTab::lineSpacingChanged(int index)
{
    qDebug() << Q_FUNC_INFO << ", index =" << index;
    const bool fixed = index == lineSpacingComboBox->count() - 1;
    lineSpacingSpinBox->setEnabled(fixed);
    lineSpacingRangeLabel->setEnabled(fixed);
}

void EditorTab::backgroundTypeChanged(int index)
{
    qDebug() << Q_FUNC_INFO << ": index =" << index;
    const int type = backgroundTypeComboBox->currentData().toInt();
    switch (type) {
    case 0:
        selectBackgroundPushButton->setEnabled(false);
        backgroundColorPushButton->show();
        backgroundColorPushButton->setEnabled(false);
        backgroundFileLineEdit->hide();
        break;
    case 1:
        selectBackgroundPushButton->setEnabled(true);
        backgroundColorPushButton->show();
        backgroundFileLineEdit->hide();
        break;
    case 2:
        selectBackgroundPushButton->setEnabled(true);
        backgroundFileLineEdit->show();
        backgroundColorPushButton->hide();
        break;
    default:
        qWarning() << "Unknown background type =" << type;
        break;
    }
}

void EditorTab::selectBackgroundPushButtonClicked()
{
    qDebug() << Q_FUNC_INFO;
    const int type = backgroundTypeComboBox->currentData().toInt();
    switch (type) {
    case 0:
        qWarning() << "Background type =" << 0 << "shouldn't goes here!";
        break;
    case 1: {
        const QColor color = Prompt::current().getColor(Qt::white, this);
        if (!color.isValid())
            return;
        setBackgroundColor(color.name());
        Settings().setValue(QStringLiteral("EditorBackgroundColor"), color.name());
        break;
    }
    case 2: {
        const QString start
            = backgroundFileLineEdit->text().isEmpty() ? QDir::homePath() : backgroundFileLineEdit->text();
        const QString fileName = Prompt::current().getOpenFileName(
            this, tr("选择图片"), start, tr("jpg 文件 (*.jpg);;png 文件 (*.png);;bmp 文件 (*.bmp);;所有文件 (*)"));
        if (fileName.isEmpty())
            return;
        backgroundFileLineEdit->setText(fileName);
        Settings().setValue(QStringLiteral("EditorBackgroundFileName"), fileName);
        break;
    }
    default:
        qWarning() << "Unknown background type =" << type;
        break;
    }
}

void EditorTab::highlightAutoGenContentCheckBoxStateChanged(int state)
{
    qDebug() << Q_FUNC_INFO << ", state =" << state;
    highlightAutoGenContentPushButton->setEnabled(state == Qt::Checked);
}

void EditorTab::highlightAutoGenContentPushButtonClicked()
{
    qDebug() << Q_FUNC_INFO;
    const QColor color = Prompt::current().getColor(Qt::white, this);
    if (color.isValid())
        setHighlightAutoGenContentColor(color.name());
}
