// The nine skins and the pictures compiled into the program: every style sheet
// is readable UTF-8 with its own colours and applies to a window built like the
// main one without a parse warning, every control of the main window and its
// dialogs shows in every skin, menus show their check marks, and every picture
// the program names is in the resources and loads.

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDirIterator>
#include <QDockWidget>
#include <QFile>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QIcon>
#include <QImageReader>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPixmap>
#include <QProxyStyle>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QSet>
#include <QSpinBox>
#include <QSplitter>
#include <QStackedWidget>
#include <QStyleOption>
#include <QStatusBar>
#include <QTabBar>
#include <QTabWidget>
#include <QTextCodec>
#include <QTextEdit>
#include <QToolBar>
#include <QToolButton>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <QXmlStreamReader>

#include "FindReplaceDialogEx.h"
#include "MainWindow.h"
#include "MdiChild.h"
#include "PreferencesDialog.h"
#include "PreferencesDialogEx.h"
#include "TestSupport.h"

#include <cmath>

namespace {

struct Skin
{
    const char* name;       // file name part: ":/Qss/Tarnquill_<name>.qss"
    QStringList colours;    // colours that make the skin what it is
};

const QList<Skin>& skins()
{
    static const QList<Skin> list = {
        {"Default", {"whitesmoke", "gainsboro", "dodgerblue", "aliceblue", "steelblue", "skyblue", "silver"}},
        {"Blue", {"skyblue", "steelblue", "royalblue", "azure"}},
        {"Dark", {"#525252", "#252525", "#c8c8c8", "#353535", "skyblue"}},
        {"Green", {"darkseagreen", "steelblue", "forestgreen", "lightgreen"}},
        {"Purple", {"mediumpurple", "blueviolet", "darkviolet", "azure"}},
        {"Pink", {"lightpink", "hotpink", "azure"}},
        {"Red", {"lightcoral", "steelblue", "crimson", "azure"}},
        {"Silver", {"silver", "gray", "dimgray", "azure"}},
        {"Yellow", {"lightyellow", "lemonchiffon", "gold", "azure"}},
    };
    return list;
}

QString sheetPath(const char* name)
{
    return QStringLiteral(":/Qss/Tarnquill_%1.qss").arg(QLatin1String(name));
}

// Every picture the program asks for by resource path.
const QStringList& referencedPictures()
{
    static const QStringList list = {
        // start-up, window icon, about boxes
        ":/Images/SplashVeldmark.png",
        ":/Images/LogoVeldmark.png",
        ":/Images/LogoVeldmark.ico",
        // bottom tabs, read-only button
        ":/Images/Output.png",
        ":/Images/Search.png",
        ":/Images/ReadOnly.png",
        ":/Images/ReadWrite.png",
        // file, edit and print commands
        ":/Images/New.png",
        ":/Images/Open.png",
        ":/Images/Save.png",
        ":/Images/Print.png",
        ":/Images/Undo.png",
        ":/Images/Redo.png",
        ":/Images/Cut.png",
        ":/Images/Copy.png",
        ":/Images/Paste.png",
        // the platform icon folder: export and format commands
        ":/Images/Windows/ExportPdf.png",
        ":/Images/Windows/ExportOdt.png",
        ":/Images/Windows/TextBold.png",
        ":/Images/Windows/TextItalic.png",
        ":/Images/Windows/TextUnder.png",
        ":/Images/Windows/TextLeft.png",
        ":/Images/Windows/TextCenter.png",
        ":/Images/Windows/TextRight.png",
        ":/Images/Windows/TextJustify.png",
        // search toolbar and web-search dialog
        ":/Images/Baidu.png",
        ":/Images/Bing.png",
        ":/Images/Google.png",
        ":/Images/Wikipedia.png",
        ":/Images/Magnifier.png",
        // documents, templates, files
        ":/Images/Doc_512x512.png",
        ":/Images/DocModified_512x512.png",
        ":/Images/GenericFile.png",
        ":/Images/Template.png",
        ":/Images/TemplateModified.png",
        // editor pop-ups
        ":/Images/Clipboard_48x48.png",
        ":/Images/Expand_512x512.png",
        ":/Images/Synonym_96x96.png",
        ":/Images/Antonym_96x96.png",
        // account dialog
        ":/Images/Avatar.png",
        // splitter grips of the skins
        ":/Images/Splitter.png",
        ":/Images/SplitterPressed.png",
        // generation commands
        ":/Images/caption.png",
        ":/Images/beauty.png",
        ":/Images/boy.png",
        ":/Images/occupation.png",
        ":/Images/costume.png",
        ":/Images/hobby.png",
        ":/Images/merit.png",
        ":/Images/props.png",
        ":/Images/weapon.png",
        ":/Images/pet.png",
        ":/Images/experience.png",
        ":/Images/secret.png",
        ":/Images/personality.png",
        ":/Images/lover.png",
        ":/Images/sick.png",
        ":/Images/thought.png",
        ":/Images/desire.png",
        ":/Images/misunderstanding.png",
        ":/Images/opponent.png",
        ":/Images/supportingRole.png",
        ":/Images/habit.png",
        ":/Images/death.png",
        ":/Images/language.png",
        ":/Images/inLove.png",
        ":/Images/relationship.png",
        ":/Images/building.png",
        ":/Images/userDefined.png",
        ":/Images/scene.png",
        ":/Images/lines.png",
        ":/Images/coincidence.png",
        ":/Images/emotion.png",
        // name generation commands
        ":/Images/manName.png",
        ":/Images/womanName.png",
        ":/Images/title.png",
        ":/Images/placeName.png",
        ":/Images/organizationName.png",
        ":/Images/mediaName.png",
        ":/Images/planetName.png",
    };
    return list;
}

// Pictures that are not toolbar-sized icons.
bool isLargePicture(const QString& path)
{
    return path.endsWith("/SplashVeldmark.png") || path.endsWith("/LogoVeldmark.png")
        || path.endsWith("/LogoVeldmark.ico");
}

bool isGrip(const QString& path)
{
    return path.endsWith("/Splitter.png") || path.endsWith("/SplitterPressed.png");
}

QStringList resourceFiles(const QString& folder)
{
    QStringList files;
    QDirIterator it(folder, QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext())
        files << it.next();
    files.sort();
    return files;
}

QByteArray readResource(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return QByteArray();
    return file.readAll();
}

// A window with the widgets the skins style, named as the program names them.
struct SkinnedWindow
{
    QMainWindow window;
    QTabBar* mdiTabBar = nullptr;
    QTabWidget* mainTabWidget = nullptr;
    QTextEdit* textEdit = nullptr;
    QSplitter* splitter = nullptr;

    SkinnedWindow()
    {
        window.resize(900, 600);

        QMenu* fileMenu = window.menuBar()->addMenu(QStringLiteral("文件(&F)"));
        fileMenu->addAction(QIcon(":/Images/New.png"), QStringLiteral("新建"));
        fileMenu->addSeparator();
        QAction* checkable = fileMenu->addAction(QStringLiteral("自动换行"));
        checkable->setCheckable(true);
        checkable->setChecked(true);
        QMenu* helpMenu = window.menuBar()->addMenu(QStringLiteral("帮助(&H)"));
        helpMenu->setObjectName(QStringLiteral("helpMenu"));
        helpMenu->addAction(QStringLiteral("关于"));

        QToolBar* toolBar = window.addToolBar(QStringLiteral("文档"));
        toolBar->addAction(QIcon(":/Images/Open.png"), QStringLiteral("打开"));
        QAction* bold = toolBar->addAction(QIcon(":/Images/Windows/TextBold.png"), QStringLiteral("粗体"));
        bold->setCheckable(true);
        bold->setChecked(true);
        auto* engines = new QComboBox;
        engines->addItem(QIcon(":/Images/Baidu.png"), QStringLiteral("百度"));
        engines->addItem(QIcon(":/Images/Bing.png"), QStringLiteral("必应"));
        toolBar->addWidget(engines);
        toolBar->addWidget(new QLineEdit);
        auto* magnifier = new QPushButton(QIcon(":/Images/Magnifier.png"), QString());
        magnifier->setFlat(true);
        magnifier->setFixedSize(24, 24);
        toolBar->addWidget(magnifier);

        auto* central = new QWidget;
        auto* layout = new QVBoxLayout(central);
        mdiTabBar = new QTabBar;
        mdiTabBar->setObjectName(QStringLiteral("mdiTabBar"));
        mdiTabBar->addTab(QIcon(":/Images/Doc_512x512.png"), QStringLiteral("新建文档 1"));
        mdiTabBar->addTab(QIcon(":/Images/DocModified_512x512.png"), QStringLiteral("新建文档 2"));
        mdiTabBar->setTabsClosable(true);
        layout->addWidget(mdiTabBar);
        splitter = new QSplitter(Qt::Vertical);
        textEdit = new QTextEdit;
        textEdit->setPlainText(QStringLiteral("塔泉笔 Tarnquill"));
        splitter->addWidget(textEdit);
        auto* tree = new QTreeWidget;
        tree->setAlternatingRowColors(true);
        tree->setHeaderLabels({QStringLiteral("名称")});
        for (int i = 0; i < 5; ++i)
            tree->addTopLevelItem(new QTreeWidgetItem({QStringLiteral("条目 %1").arg(i)}));
        splitter->addWidget(tree);
        layout->addWidget(splitter);
        auto* buttons = new QHBoxLayout;
        auto* ok = new QPushButton(QStringLiteral("确定"));
        ok->setDefault(true);
        buttons->addWidget(ok);
        buttons->addWidget(new QPushButton(QStringLiteral("取消")));
        layout->addLayout(buttons);
        window.setCentralWidget(central);

        auto* dock = new QDockWidget(QStringLiteral("工作台"));
        mainTabWidget = new QTabWidget;
        mainTabWidget->setObjectName(QStringLiteral("mainTabWidget"));
        mainTabWidget->setTabPosition(QTabWidget::South);
        auto* list = new QListWidget;
        list->setAlternatingRowColors(true);
        list->addItems({QStringLiteral("一"), QStringLiteral("二"), QStringLiteral("三")});
        mainTabWidget->addTab(list, QIcon(":/Images/Output.png"), QStringLiteral("命令输出"));
        mainTabWidget->addTab(new QLabel(QStringLiteral("搜索")), QIcon(":/Images/Search.png"), QStringLiteral("搜索"));
        dock->setWidget(mainTabWidget);
        window.addDockWidget(Qt::BottomDockWidgetArea, dock);

        window.statusBar()->addPermanentWidget(new QLabel(QStringLiteral("行: 1")));
        auto* readOnly = new QToolButton;
        readOnly->setIcon(QIcon(":/Images/ReadWrite.png"));
        window.statusBar()->addPermanentWidget(readOnly);
        window.statusBar()->showMessage(QStringLiteral("就绪"));
    }

    // Polishes and paints every widget, which is when Qt parses the sheet and
    // loads the pictures it names.
    void polishAndPaint()
    {
        window.ensurePolished();
        for (QWidget* child : window.findChildren<QWidget*>())
            child->ensurePolished();
        for (QMenu* menu : window.findChildren<QMenu*>())
            menu->grab();
        window.grab();
        QCoreApplication::processEvents();
    }
};

QStringList sheetWarnings(const MessageCapture& capture)
{
    QStringList found;
    for (const auto& entry : capture.entries()) {
        const QString& text = entry.second;
        if (text.contains(QLatin1String("Could not parse"))
            || text.contains(QLatin1String("stylesheet"), Qt::CaseInsensitive)
            || text.contains(QLatin1String("style sheet"), Qt::CaseInsensitive))
            found << text;
    }
    return found;
}

// The contrast ratio of the web's accessibility rules between two colours: 1 for
// none, 21 for black on white.
double contrast(QRgb a, QRgb b)
{
    const auto luminance = [](QRgb c) {
        const auto linear = [](int v) { return std::pow(v / 255.0, 2.2); };
        return 0.2126 * linear(qRed(c)) + 0.7152 * linear(qGreen(c)) + 0.0722 * linear(qBlue(c)) + 0.05;
    };
    return qMax(luminance(a), luminance(b)) / qMin(luminance(a), luminance(b));
}

QRgb commonestColour(const QImage& shot, const QRect& area)
{
    QHash<QRgb, int> counts;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            ++counts[shot.pixel(x, y)];
    return std::max_element(counts.keyValueBegin(), counts.keyValueEnd(), [](auto a, auto b) {
               return a.second < b.second; })->first;
}

// How far the most striking pixel of area stands out from the commonest colour of
// around, as a contrast ratio.
double standsOut(const QImage& shot, const QRect& area, const QRect& around)
{
    const QRgb base = commonestColour(shot, around);
    QSet<QRgb> inArea;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            inArea.insert(shot.pixel(x, y));
    double best = 1;
    for (QRgb pixel : inArea)
        best = qMax(best, contrast(pixel, base));
    return best;
}

// Colours far apart in lightness or in hue.
bool clearlyApart(QRgb a, QRgb b)
{
    return contrast(a, b) >= 2.0 || std::hypot(std::hypot(qRed(a) - qRed(b), qGreen(a) - qGreen(b)), qBlue(a) - qBlue(b)) >= 60;
}

// A platform style that draws every menu entry as if it were unchecked: under
// a skin, a menu shows checks only if the skin draws them itself.
class UncheckedMenuStyle : public QProxyStyle
{
public:
    UncheckedMenuStyle() : QProxyStyle(QStringLiteral("Fusion")) {}

    void drawControl(ControlElement element, const QStyleOption* option, QPainter* painter,
                     const QWidget* widget) const override
    {
        if (const auto* item = qstyleoption_cast<const QStyleOptionMenuItem*>(option)) {
            QStyleOptionMenuItem unchecked(*item);
            unchecked.checked = false;
            return QProxyStyle::drawControl(element, &unchecked, painter, widget);
        }
        QProxyStyle::drawControl(element, option, painter, widget);
    }
};

} // namespace

class TestSkins : public QObject
{
    Q_OBJECT

private slots:
    void nineSheetsAreCompiledIn();
    void sheetIsUtf8WithItsColours_data();
    void sheetIsUtf8WithItsColours();
    void sheetNamesOnlyExistingPictures_data();
    void sheetNamesOnlyExistingPictures();
    void parseWarningsAreCaught();
    void sheetAppliesWithoutParseWarnings_data();
    void sheetAppliesWithoutParseWarnings();
    void switchingSheetsKeepsWindowUsable();
    void everyCheckBoxAndRadioButtonShows_data();
    void everyCheckBoxAndRadioButtonShows();
    void menusTellCheckedFromUnchecked_data();
    void menusTellCheckedFromUnchecked();
    void everyCompiledPictureLoads_data();
    void everyCompiledPictureLoads();
    void qrcEntriesResolve();
    void referencedPictureIsCompiledIn_data();
    void referencedPictureIsCompiledIn();
    void iconsAreToolbarSized_data();
    void iconsAreToolbarSized();
};

void TestSkins::nineSheetsAreCompiledIn()
{
    QStringList expected;
    for (const Skin& skin : skins())
        expected << sheetPath(skin.name);
    expected.sort();
    QCOMPARE(resourceFiles(":/Qss"), expected);
}

void TestSkins::sheetIsUtf8WithItsColours_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<QStringList>("colours");
    for (const Skin& skin : skins())
        QTest::newRow(skin.name) << sheetPath(skin.name) << skin.colours;
}

void TestSkins::sheetIsUtf8WithItsColours()
{
    QFETCH(QString, path);
    QFETCH(QStringList, colours);

    const QByteArray bytes = readResource(path);
    QVERIFY2(!bytes.isEmpty(), qPrintable(path + " is missing or empty"));
    QVERIFY2(!bytes.contains('\0'), "a zero byte would cut the sheet short");

    QTextCodec::ConverterState state;
    const QString text = QTextCodec::codecForName("UTF-8")->toUnicode(bytes.constData(), bytes.size(), &state);
    QCOMPARE(state.invalidChars, 0);
    QVERIFY(!text.trimmed().isEmpty());

    for (const QString& colour : colours)
        QVERIFY2(text.contains(colour, Qt::CaseInsensitive), qPrintable(path + " lacks " + colour));
    // Text edits keep the editor font chosen in the preferences: no rule sets their family.
    QVERIFY(!text.contains(QRegularExpression(QStringLiteral("QTextEdit[^{]*\\{[^}]*font-family"))));
    QVERIFY(text.contains(QLatin1String("url(:/Images/Splitter.png)")));
    QVERIFY(text.contains(QLatin1String("url(:/Images/SplitterPressed.png)")));
    QVERIFY(text.contains(QLatin1String("QTextEdit")));

    // Balanced braces and comments: the cheapest sign of a truncated sheet.
    QCOMPARE(text.count('{'), text.count('}'));
    QCOMPARE(text.count(QLatin1String("/*")), text.count(QLatin1String("*/")));
}

void TestSkins::sheetNamesOnlyExistingPictures_data()
{
    sheetIsUtf8WithItsColours_data();
}

void TestSkins::sheetNamesOnlyExistingPictures()
{
    QFETCH(QString, path);
    const QString text = QString::fromUtf8(readResource(path));
    const QRegularExpression url(QStringLiteral("url\\(\\s*([^)\\s]+)\\s*\\)"));
    int count = 0;
    for (auto it = url.globalMatch(text); it.hasNext(); ++count) {
        const QString picture = it.next().captured(1);
        QVERIFY2(picture.startsWith(QLatin1String(":/Images/")), qPrintable(picture));
        QVERIFY2(!QPixmap(picture).isNull(), qPrintable(picture + " does not load"));
    }
    QVERIFY(count >= 2);
}

void TestSkins::parseWarningsAreCaught()
{
    // The check below is only worth something if Qt does report a broken sheet.
    SkinnedWindow skinned;
    skinned.window.show();
    MessageCapture capture;
    skinned.window.setStyleSheet(QStringLiteral("QMainWindow { background-color: red; QTabBar::tab {"));
    skinned.polishAndPaint();
    QVERIFY(!sheetWarnings(capture).isEmpty());
}

void TestSkins::sheetAppliesWithoutParseWarnings_data()
{
    sheetIsUtf8WithItsColours_data();
}

void TestSkins::sheetAppliesWithoutParseWarnings()
{
    QFETCH(QString, path);
    const QString sheet = QString::fromUtf8(readResource(path));
    QVERIFY(!sheet.isEmpty());

    SkinnedWindow skinned;
    skinned.window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&skinned.window));

    MessageCapture capture;
    skinned.window.setStyleSheet(sheet);
    skinned.polishAndPaint();
    skinned.mdiTabBar->setCurrentIndex(1);
    skinned.mainTabWidget->setCurrentIndex(1);
    skinned.polishAndPaint();

    const QStringList warnings = sheetWarnings(capture);
    QVERIFY2(warnings.isEmpty(), qPrintable(warnings.join('\n')));
    QCOMPARE(skinned.window.styleSheet(), sheet);
    QVERIFY(skinned.textEdit->isVisible());
    QVERIFY(skinned.mdiTabBar->height() > 0);
}

void TestSkins::switchingSheetsKeepsWindowUsable()
{
    SkinnedWindow skinned;
    skinned.window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&skinned.window));

    MessageCapture capture;
    for (const char* name : {"Dark", "Default", "Blue", "Silver", "Dark", "Yellow"}) {
        skinned.window.setStyleSheet(QString::fromUtf8(readResource(sheetPath(name))));
        skinned.polishAndPaint();
    }
    const QStringList warnings = sheetWarnings(capture);
    QVERIFY2(warnings.isEmpty(), qPrintable(warnings.join('\n')));
    QVERIFY(skinned.window.isVisible());
}

void TestSkins::everyCheckBoxAndRadioButtonShows_data()
{
    QTest::addColumn<int>("skin");
    for (int i = 0; i < skins().size(); ++i)
        QTest::newRow(skins().at(i).name) << i;
}

// The main window with its find-in-files form, the find dialog and both
// preferences dialogs, each page of each: every check box and radio button
// shows its indicator, every label and group its title (a disabled one too,
// such as "当前选中快捷键" on the shortcut page), every spin box its arrows,
// every tab its close cross and every dock its float and close buttons; a
// selected tab stands out from the others. The skin is switched to while the
// program runs, from the dark one (to the dark one from the default): the
// band under the current line takes its colours at once.
void TestSkins::everyCheckBoxAndRadioButtonShows()
{
    QFETCH(int, skin);
    ScriptedPrompt prompt;
    MainWindow window(nullptr, MainWindow::NoStartUpTimers);
    window.resize(1280, 800);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    window.skinActs[skin == MainWindow::DarkSkin ? MainWindow::DefaultSkin : MainWindow::DarkSkin]->trigger();
    window.newFile();
    window.newFile();
    if (!window.highlightCurrentLineAct->isChecked())
        window.highlightCurrentLineAct->trigger();
    window.skinActs[skin]->trigger();
    MdiChild* child = window.activeMdiChild();
    QColor band;
    for (const QTextEdit::ExtraSelection& selection : child->extraSelections())
        if (!selection.cursor.hasSelection())
            band = selection.format.background().color();
    QVERIFY(band.isValid());
    QVERIFY2(contrast(band.rgb(), child->palette().color(QPalette::Text).rgb()) >= 4.5, qPrintable(band.name()));
    window.preferencesAct->trigger();
    window.preferencesExAct->trigger();

    QStringList faults;
    int seen = 0, tabBars = 0;
    for (QWidget* top : QList<QWidget*>{&window, window.findReplaceDialog, window.preferencesDialog,
                                        window.preferencesDialogEx}) {
        QVERIFY(top);
        top->show();
        const auto pages = top->findChildren<QStackedWidget*>(); // tab widgets hold one each
        for (int page = 0; page < 12; ++page) {
            for (QStackedWidget* stack : pages)
                stack->setCurrentIndex(qMin(page, stack->count() - 1));
            QCoreApplication::processEvents();
            const QImage shot = top->grab().toImage();
            const auto check = [&](QWidget* widget, const QRect& area, const QString& what, double least) {
                const QPoint at = widget->mapTo(top, QPoint());
                const double shown = standsOut(shot, area.translated(at) & shot.rect(), QRect(at, widget->size()) & shot.rect());
                if (widget->isVisible() && shown < least)
                    faults << QStringLiteral("%1 %2: %3").arg(top->metaObject()->className(), what).arg(shown);
            };
            for (QAbstractButton* button : top->findChildren<QAbstractButton*>()) {
                const bool radio = qobject_cast<QRadioButton*>(button);
                if (!button->isVisible() || (!radio && !qobject_cast<QCheckBox*>(button)))
                    continue;
                ++seen;
                QStyleOptionButton option;
                option.initFrom(button);
                const auto indicator = radio ? QStyle::SE_RadioButtonIndicator : QStyle::SE_CheckBoxIndicator;
                check(button, button->style()->subElementRect(indicator, &option, button), button->text() + " indicator", 1.3);
            }
            for (QLabel* label : top->findChildren<QLabel*>())
                if (!label->text().isEmpty())
                    check(label, label->rect(), label->text(), label->isEnabled() ? 2.5 : 1.8);
            for (QSpinBox* box : top->findChildren<QSpinBox*>()) {
                QStyleOptionSpinBox option;
                option.initFrom(box);
                option.frame = box->hasFrame();
                check(box, box->style()->subControlRect(QStyle::CC_SpinBox, &option, QStyle::SC_SpinBoxUp, box),
                      "spin box arrow", 1.5);
            }
            for (QTabBar* bar : top->findChildren<QTabBar*>())
                for (int i = 0; i < bar->count(); ++i)
                    if (QWidget* close = bar->tabButton(i, QTabBar::RightSide))
                        check(close, close->rect(), "tab close button", 1.5);
            for (QGroupBox* group : top->findChildren<QGroupBox*>()) {
                if (group->title().isEmpty())
                    continue;
                QStyleOptionGroupBox option;
                option.initFrom(group);
                option.text = group->title();
                option.subControls = QStyle::SC_GroupBoxLabel;
                const QRect title = group->style()->subControlRect(QStyle::CC_GroupBox, &option,
                                                                   QStyle::SC_GroupBoxLabel, group);
                check(group, title, "group title " + group->title(), 3.0);
            }
            for (QDockWidget* dock : top->findChildren<QDockWidget*>())
                for (QAbstractButton* button : dock->findChildren<QAbstractButton*>(
                         QRegularExpression(QStringLiteral("^qt_dockwidget_")), Qt::FindDirectChildrenOnly))
                    check(button, button->rect(), dock->windowTitle() + " dock button", 7.0);
        }
        for (QTabBar* bar : top->findChildren<QTabBar*>()) {
            if (!bar->isVisible() || bar->count() < 2)
                continue;
            ++tabBars;
            const auto firstTab = [bar](int selected) {
                bar->setCurrentIndex(selected);
                QCoreApplication::processEvents();
                return bar->grab().toImage().copy(bar->tabRect(0));
            };
            const QImage on = firstTab(0), off = firstTab(1);
            // Its fill and accent lines: each row's commonest colour (the text,
            // which may shift a little, never fills a row).
            int differing = 0;
            for (int y = 0; y < qMin(on.height(), off.height()); ++y)
                differing += clearlyApart(commonestColour(on, QRect(0, y, on.width(), 1)),
                                          commonestColour(off, QRect(0, y, off.width(), 1)));
            if (differing < 3)
                faults << QStringLiteral("%1 %2: %3 rows differ selected").arg(top->metaObject()->className(), bar->objectName()).arg(differing);
        }
    }
    QVERIFY(seen > 20);
    QVERIFY(tabBars >= 3);
    faults.removeDuplicates();
    QVERIFY2(faults.isEmpty(), qPrintable(faults.join('\n')));
}

void TestSkins::menusTellCheckedFromUnchecked_data()
{
    sheetIsUtf8WithItsColours_data();
}

// A menu with a checked and an unchecked entry of each kind, alike in all else:
// in every skin the two look clearly different.
void TestSkins::menusTellCheckedFromUnchecked()
{
    QFETCH(QString, path);
    UncheckedMenuStyle style;
    QMainWindow window;
    QMenu* menu = window.menuBar()->addMenu(QStringLiteral("查看(&V)"));
    menu->setStyle(&style);
    const QList<QAction*> entries{menu->addAction(QStringLiteral("自动换行")), menu->addAction(QStringLiteral("自动换行")),
                                  menu->addAction(QStringLiteral("灰色")), menu->addAction(QStringLiteral("灰色"))};
    auto* group = new QActionGroup(&window);
    for (int i = 0; i < entries.size(); ++i) {
        entries[i]->setCheckable(true);
        entries[i]->setActionGroup(i < 2 ? nullptr : group);
        entries[i]->setChecked(i % 2 == 0);
    }
    window.setStyleSheet(QString::fromUtf8(readResource(path)));
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    menu->popup(window.mapToGlobal(QPoint(20, 20)));
    QVERIFY(QTest::qWaitForWindowExposed(menu));
    const QImage shot = menu->grab().toImage();
    menu->hide();
    for (int i = 0; i < entries.size(); i += 2) {
        // Inside the entries, clear of the menu's frame.
        const QRect on = menu->actionGeometry(entries[i]).adjusted(3, 3, -3, -3);
        const QPoint off = menu->actionGeometry(entries[i + 1]).topLeft() + QPoint(3, 3);
        int differing = 0;
        for (int y = 0; y < on.height(); ++y)
            for (int x = 0; x < on.width(); ++x)
                differing += clearlyApart(shot.pixel(on.topLeft() + QPoint(x, y)), shot.pixel(off + QPoint(x, y)));
        QVERIFY2(differing >= 12, qPrintable(QStringLiteral("%1: %2 pixels differ").arg(entries[i]->text()).arg(differing)));
    }
}

void TestSkins::everyCompiledPictureLoads_data()
{
    QTest::addColumn<QString>("path");
    const QStringList files = resourceFiles(":/Images");
    QVERIFY(!files.isEmpty());
    for (const QString& file : files)
        QTest::newRow(qPrintable(file)) << file;
}

void TestSkins::everyCompiledPictureLoads()
{
    QFETCH(QString, path);
    QImageReader reader(path);
    QVERIFY2(reader.canRead(), qPrintable(path + ": " + reader.errorString()));

    const QPixmap pixmap(path);
    QVERIFY2(!pixmap.isNull(), qPrintable(path));

    const QIcon icon(path);
    QVERIFY(!icon.isNull());
    QVERIFY(!icon.pixmap(16, 16).isNull());
    QVERIFY(!icon.pixmap(32, 32).isNull());
}

void TestSkins::qrcEntriesResolve()
{
    const QString source = TestEnvironment::sourceDir();
    if (source.isEmpty())
        QSKIP("TQ_SOURCE_DIR is not set");
    QFile qrc(source + "/Resources/Tarnquill.qrc");
    QVERIFY(qrc.open(QIODevice::ReadOnly));

    QXmlStreamReader xml(&qrc);
    QSet<QString> seen;
    int pictures = 0;
    while (!xml.atEnd()) {
        xml.readNext();
        if (!xml.isStartElement() || xml.name() != QLatin1String("file"))
            continue;
        const QString alias = xml.attributes().value(QLatin1String("alias")).toString();
        const QString file = xml.readElementText();
        const QString path = ":/" + (alias.isEmpty() ? file : alias);
        QVERIFY2(!seen.contains(path), qPrintable(path + " is listed twice"));
        seen.insert(path);
        QVERIFY2(QFile::exists(source + "/Resources/" + file), qPrintable(file + " is missing from Resources"));
        QVERIFY2(QFile::exists(path), qPrintable(path));
        if (path.startsWith(QLatin1String(":/Images/"))) {
            ++pictures;
            QVERIFY2(!QPixmap(path).isNull(), qPrintable(path));
            QVERIFY2(!QIcon(path).pixmap(16, 16).isNull(), qPrintable(path));
        }
    }
    QVERIFY2(!xml.hasError(), qPrintable(xml.errorString()));
    QCOMPARE(pictures, resourceFiles(":/Images").size());

    // Every picture in the folder is compiled in.
    QDirIterator it(source + "/Resources/Images", {"*.png", "*.ico"}, QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString file = it.next().mid(source.size() + int(qstrlen("/Resources/")));
        QVERIFY2(seen.contains(":/" + file), qPrintable(file + " is not in Tarnquill.qrc"));
    }
}

void TestSkins::referencedPictureIsCompiledIn_data()
{
    QTest::addColumn<QString>("path");
    for (const QString& path : referencedPictures())
        QTest::newRow(qPrintable(path)) << path;
}

void TestSkins::referencedPictureIsCompiledIn()
{
    QFETCH(QString, path);
    QVERIFY2(QFile::exists(path), qPrintable(path + " is not in the resources"));
    QVERIFY(!QIcon(path).pixmap(16, 16).isNull());
}

void TestSkins::iconsAreToolbarSized_data()
{
    everyCompiledPictureLoads_data();
}

void TestSkins::iconsAreToolbarSized()
{
    QFETCH(QString, path);
    if (isLargePicture(path))
        return;
    const QSize size = QImageReader(path).size();
    if (isGrip(path)) {
        QVERIFY2(size.width() <= 32 && size.height() <= 8, qPrintable(path));
        return;
    }
    QVERIFY2(qMax(size.width(), size.height()) >= 16 && qMax(size.width(), size.height()) <= 32,
             qPrintable(QStringLiteral("%1 is %2x%3").arg(path).arg(size.width()).arg(size.height())));
}

TQ_TEST_MAIN(TestSkins)
#include "tst_skins.moc"
