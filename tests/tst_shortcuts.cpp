// Shortcuts: the recording line edit and the standard-key names, the shortcut page
// of the preferences (rows, recording, the apply rule, reset), the defaults it
// shares with the main window, and the extended preferences dialog.

#include <QAbstractButton>
#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMetaEnum>
#include <QPushButton>
#include <QStackedWidget>
#include <QTableWidget>
#include <QToolButton>
#include <QTreeWidget>

#include <memory>

#include "ActionTable.h"
#include "DefaultShortcuts.h"
#include "MainWindow.h"
#include "PreferencesDialog.h"
#include "PreferencesDialogEx.h"
#include "ProgramState.h"
#include "SettingsStore.h"
#include "ShortCutRecordLineEdit.h"
#include "ShortcutsConfigForm.h"
#include "StandardKeyNames.h"
#include "StartUp.h"
#include "TestSupport.h"

namespace {

const QList<int> headerRows{0, 8, 15, 17, 19, 26, 30, 34};

int chordCount(const QLineEdit& edit)
{
    return edit.property("KeySequenceCount").toInt();
}

// Presses one key on the edit directly and tells whether the edit took it.
bool press(ShortCutRecordLineEdit& edit, int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
{
    QKeyEvent event(QEvent::KeyPress, key, modifiers);
    edit.keyPressEvent(&event);
    return event.isAccepted();
}

QString portable(const QString& text)
{
    return QKeySequence(text, QKeySequence::NativeText).toString(QKeySequence::PortableText);
}

// Every key and value of the settings store.
QVariantMap storeContents()
{
    QVariantMap contents;
    const Settings settings;
    for (const QString& key : settings.allKeys())
        contents.insert(key, settings.value(key));
    return contents;
}

// The shortcut page with its widgets by name: a page of its own, or one of a dialog.
struct Page
{
    explicit Page(ShortcutsConfigForm* existing = nullptr)
        : owned(existing ? nullptr : new ShortcutsConfigForm)
        , form(existing ? existing : owned.get())
        , table(form->findChild<QTableWidget*>("shortcutsTableWidget"))
        , group(form->findChild<QGroupBox*>("currentShortcutGroupBox"))
        , warning(form->findChild<QLabel*>("shortCutErrorWarningLabel"))
        , edit(form->recordLineEdit())
    {
        if (owned)
            owned->show();
    }
    ShortcutsConfigForm* operator->() const { return form; }

    QString cell(int row, int column) const { return table->item(row, column)->text(); }
    int rowOfKey(const QString& key) const
    {
        for (int row = 0; row < table->rowCount(); ++row)
            if (cell(row, ShortcutsConfigForm::KeyColumn) == "Shortcuts/" + key)
                return row;
        return -1;
    }
    void click(int row, int column = 0) const
    {
        QTableWidgetItem* item = table->item(row, column);
        table->scrollToItem(item);
        QTest::mouseClick(table->viewport(), Qt::LeftButton, {}, table->visualItemRect(item).center());
    }
    // Clicks where the button shows, so a widget lying over it takes the click instead.
    void button(const char* name) const
    {
        auto* button = form->findChild<QPushButton*>(name);
        const QPoint at = button->mapTo(form, button->rect().center());
        QWidget* target = form->childAt(at);
        QTest::mouseClick(target, Qt::LeftButton, {}, target->mapFrom(form, at));
    }

    std::unique_ptr<ShortcutsConfigForm> owned;
    ShortcutsConfigForm* form;
    QTableWidget* table;
    QGroupBox* group;
    QLabel* warning;
    ShortCutRecordLineEdit* edit;
};

} // namespace

class ShortcutsTest : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        Settings().clear();
        resetStartUpState();
    }

    // ---- Recording line edit ------------------------------------------------------------

    void recordingEdit()
    {
        ShortCutRecordLineEdit edit;
        QVERIFY(edit.isClearButtonEnabled());
        QCOMPARE(chordCount(edit), 0);

        // Shift, Ctrl and Alt alone add nothing and do not count.
        for (int key : {int(Qt::Key_Shift), int(Qt::Key_Control), int(Qt::Key_Alt)})
            QVERIFY(!press(edit, key, Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier));
        QVERIFY(!press(edit, 0));
        QVERIFY(!press(edit, Qt::Key_unknown));
        QCOMPARE(edit.text(), QString());
        QCOMPARE(chordCount(edit), 0);

        // Four chords, the modifiers always Shift before Ctrl; no separator after the fourth.
        QVERIFY(press(edit, Qt::Key_B, Qt::ControlModifier | Qt::ShiftModifier));
        QCOMPARE(edit.text(), QString("Shift+Ctrl+B, "));
        QCOMPARE(portable(edit.text()), QString("Ctrl+Shift+B"));
        QVERIFY(press(edit, Qt::Key_1, Qt::KeypadModifier));
        QVERIFY(press(edit, Qt::Key_F5, Qt::AltModifier));
        QVERIFY(press(edit, Qt::Key_Escape));
        QCOMPARE(edit.text(), QString("Shift+Ctrl+B, Num+1, Alt+F5, Esc"));
        QCOMPARE(chordCount(edit), 4);
        const QKeySequence parsed(edit.text(), QKeySequence::NativeText);
        QCOMPARE(parsed, QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_B, Qt::KeypadModifier | Qt::Key_1,
                                      Qt::ALT | Qt::Key_F5, Qt::Key_Escape));
        // A fifth key is left to the dialog (Esc closes it).
        QVERIFY(!press(edit, Qt::Key_Escape));
        QCOMPARE(edit.text(), QString("Shift+Ctrl+B, Num+1, Alt+F5, Esc"));

        // The clear button empties the text but keeps the count; keys go on where it stood.
        edit.show();
        auto* clear = edit.findChild<QToolButton*>();
        QVERIFY(clear);
        QTest::mouseClick(clear, Qt::LeftButton);
        QCOMPARE(edit.text(), QString());
        QCOMPARE(chordCount(edit), 4);
        edit.setProperty("KeySequenceCount", 3);
        QVERIFY(press(edit, Qt::Key_Meta)); // a key event of Meta carries its own modifier
        QCOMPARE(edit.text(), QString("Meta+Meta"));
        QVERIFY(portable(edit.text()).isEmpty()); // the parser rejects the Meta key alone
        QVERIFY(!edit.text().contains("GroupSwitch"));

        // The keyboard grab ends when the edit is hidden or destroyed.
        edit.grabKeyboard();
        QCOMPARE(QWidget::keyboardGrabber(), &edit);
        edit.hide();
        QVERIFY(!QWidget::keyboardGrabber());
        auto* doomed = new ShortCutRecordLineEdit;
        doomed->grabKeyboard();
        delete doomed;
        QVERIFY(!QWidget::keyboardGrabber());
    }

    void standardKeyNames()
    {
        const QMetaEnum keys = QMetaEnum::fromType<QKeySequence::StandardKey>();
        QCOMPARE(keys.keyCount(), 71);
        for (int i = 0; i < keys.keyCount(); ++i) {
            QCOMPARE(keys.value(i), i);
            const QString name = QString("QKeySequence::") + keys.key(i);
            const auto standard = static_cast<QKeySequence::StandardKey>(i);
            QCOMPARE(standardKeyFromName(name), QKeySequence(standard));
            for (const QString& variant :
                 QStringList{name.toLower(), name.toUpper(), "QKeySequence::" + QString(keys.key(i)).toLower()})
                if (variant != name)
                    QVERIFY2(standardKeyFromName(variant).isEmpty(), qPrintable(variant));
        }
        for (const char* unknown : {"", "QKeySequence::", "New", "QKeySequence::New ", " QKeySequence::New",
                                    "QKeySequence::Nothing", "QKeySequence::Cancel2", "QKeySequence:New"})
            QVERIFY2(standardKeyFromName(unknown).isEmpty(), unknown);
    }

    // ---- Shortcut page ------------------------------------------------------------------

    void pageRows()
    {
        // A stored empty text shows the default; a stored unparsable one is shown as it is.
        Settings settings;
        settings.setValue("Shortcuts/Find", "");
        settings.setValue("Shortcuts/Replace", "Ctrl+Nonsense");
        settings.setValue("Shortcuts/Undo", "Ctrl+Alt+U");
        Page page;
        QCOMPARE(page.table->rowCount(), 36);
        QCOMPARE(page.table->columnCount(), 4);
        QStringList headers;
        for (int column = 0; column < 4; ++column)
            headers << page.table->horizontalHeaderItem(column)->text();
        QCOMPARE(headers, QStringList({"功能说明", "当前快捷键", "默认快捷键", "键值"}));
        QVERIFY(page.warning->isHidden());
        QVERIFY(!page.group->isEnabled());

        QStringList headerTexts;
        QStringList keys;
        for (int row = 0; row < 36; ++row) {
            const QString key = page.cell(row, ShortcutsConfigForm::KeyColumn);
            if (headerRows.contains(row)) {
                headerTexts << page.cell(row, 0);
                QCOMPARE(page.cell(row, 1) + page.cell(row, 2) + key, QString());
                continue;
            }
            keys << key.mid(QString("Shortcuts/").size());
            const QString defaultText = page.cell(row, ShortcutsConfigForm::DefaultColumn);
            QCOMPARE(defaultText, DefaultShortcuts::text(keys.last()));
            const QString expected = key == "Shortcuts/Replace" ? "Ctrl+Nonsense"
                                     : key == "Shortcuts/Undo"  ? "Ctrl+Alt+U"
                                                                : defaultText;
            QCOMPARE(page.cell(row, ShortcutsConfigForm::CurrentColumn), expected);
        }
        QCOMPARE(headerTexts, QStringList({"模板操作", "文档操作", "打印预览", "系统", "编辑", "窗口", "查找和替换", "视图"}));
        QStringList expectedKeys = DefaultShortcuts::keys();
        expectedKeys.removeAll("PasteFromClipboardHistory");
        expectedKeys.removeAll("SelectAll");
        QStringList sortedKeys = keys;
        sortedKeys.sort();
        expectedKeys.sort();
        QCOMPARE(sortedKeys, expectedKeys);
        QCOMPARE(page.cell(1, 0) + "|" + page.cell(4, 0) + "|" + page.cell(35, 0), QString("打开模板|加入为内容条目|全屏"));
        QCOMPARE(page.cell(2, 2), QString("Ctrl+Alt+S"));
        QCOMPARE(page.cell(6, 2), QString("Ctrl+Shift+S"));

        // Clicking a row fills the edit; a row without a sequence (a header, or a
        // standard key the platform leaves unbound) disables the group and clears it.
        for (int row = 0; row < 36; ++row) {
            page.click(row, row % 4);
            QCOMPARE(page.table->currentRow(), row);
            const QString current = page.cell(row, 1);
            QCOMPARE(page.group->isEnabled(), !current.isEmpty());
            QCOMPARE(page.edit->text(), current);
            QCOMPARE(page.warning->isVisible(), current == "Ctrl+Nonsense");
            QCOMPARE(page.cell(row, 1), current);
        }
    }

    void pageApply()
    {
        Settings settings;
        settings.setValue("Shortcuts/Find", "");
        settings.setValue("Shortcuts/Replace", "Ctrl+Nonsense");
        settings.setValue("Shortcuts/OpenTemplate", "Ctrl+K");
        settings.setValue("Shortcuts/SelectAll", "Ctrl+Shift+A");
        settings.sync();
        const QVariantMap before = storeContents();
        Page page;

        // Unchanged, applied twice: nothing is written.
        page->apply();
        page->apply();
        QCOMPARE(storeContents(), before);

        // Record into "保存模板": the chords reach the row as they come.
        const int saveTemplate = page.rowOfKey("SaveTemplate");
        page.click(saveTemplate, 3);
        QVERIFY(page.group->isEnabled());
        page.button("recordPushButton");
        QCOMPARE(QWidget::keyboardGrabber(), page.edit);
        QCOMPARE(page.cell(saveTemplate, 1), QString());
        QTest::keyClick(page.edit, Qt::Key_Y, Qt::ControlModifier | Qt::ShiftModifier);
        QCOMPARE(page.cell(saveTemplate, 1), QString("Shift+Ctrl+Y, "));

        // A text that does not parse shows the red label and leaves the row alone;
        // "重置" ends the recording and puts the row's text back.
        page.edit->setText("Ctrl+Nonsense");
        QVERIFY(page.warning->isVisible());
        QCOMPARE(page.cell(saveTemplate, 1), QString("Shift+Ctrl+Y, "));
        page.button("retorePushButton");
        QVERIFY(!QWidget::keyboardGrabber());
        QCOMPARE(page.edit->text(), QString("Shift+Ctrl+Y, "));
        QVERIFY(!page.warning->isVisible());
        QCOMPARE(chordCount(*page.edit), 0);

        // "打开模板" back to its default over a stored custom value: written.
        const int openTemplate = page.rowOfKey("OpenTemplate");
        page.click(openTemplate);
        QCOMPARE(page.edit->text(), QString("Ctrl+K"));
        page.edit->setText("Ctrl+Alt+O");
        // "录制" then nothing: the row is emptied and stores "".
        const int print = page.rowOfKey("Print");
        page.click(print);
        page.button("recordPushButton");
        page.edit->setText("Ctrl+Nonsense"); // rejected: the stored value is the row's, not the edit's
        page->apply();
        QVariantMap expected = before;
        expected.insert("Shortcuts/SaveTemplate", "Shift+Ctrl+Y, ");
        expected.insert("Shortcuts/OpenTemplate", "Ctrl+Alt+O");
        expected.insert("Shortcuts/Print", "");
        QCOMPARE(storeContents(), expected);

        // A new page shows what was stored; reset-all brings every row to its default
        // and apply writes just the rows whose stored text differs.
        page.edit->hide();
        Page second;
        QCOMPARE(second.cell(saveTemplate, 1), QString("Shift+Ctrl+Y, "));
        QCOMPARE(second.cell(print, 1), second.cell(print, 2));
        second.click(saveTemplate);
        second.button("recordPushButton");
        second.button("restoreAllPushButton");
        QVERIFY(!QWidget::keyboardGrabber());
        QCOMPARE(second.edit->text(), QString("Ctrl+Alt+S"));
        for (int row = 0; row < 36; ++row)
            QCOMPARE(second.cell(row, 1), second.cell(row, 2));
        second->apply();
        expected.insert("Shortcuts/SaveTemplate", "Ctrl+Alt+S");
        expected.insert("Shortcuts/Replace", second.cell(page.rowOfKey("Replace"), 2));
        QCOMPARE(storeContents(), expected);
    }

    void pageRowWithoutDefault()
    {
        // A standard key the platform leaves unbound gives a row without a default:
        // with a stored value it is shown and can be changed like any other.
        QString key;
        for (const QString& candidate : DefaultShortcuts::keys())
            if (DefaultShortcuts::hasDefault(candidate) && DefaultShortcuts::text(candidate).isEmpty())
                key = candidate;
        if (key.isEmpty())
            QSKIP("this platform binds every standard key of the page");
        Settings().setValue("Shortcuts/" + key, "Ctrl+Alt+J");
        const QVariantMap before = storeContents();
        Page page;
        const int row = page.rowOfKey(key);
        QVERIFY(row > 0);
        page->apply();
        QCOMPARE(storeContents(), before);
        page.click(row);
        QVERIFY(page.group->isEnabled());
        page.edit->setText("Ctrl+Alt+L");
        page->apply();
        QCOMPARE(Settings().value("Shortcuts/" + key).toString(), QString("Ctrl+Alt+L"));
    }

    // ---- Defaults shared with the main window ---------------------------------------------

    void defaultsAgreeWithTheWindow()
    {
        ScriptedPrompt prompt;
        MainWindow window(nullptr, MainWindow::NoStartUpTimers);
        const QVector<ActionTable::ShortcutRow> rows = ActionTable::shortcutRows(&window);
        QStringList keys;
        QMap<QString, QAction*> actions;
        for (const ActionTable::ShortcutRow& row : rows) {
            keys << row.key;
            actions.insert(QString("Shortcuts/") + row.key, row.action);
            QVERIFY2(row.action, row.key);
            QCOMPARE(row.action->shortcut(), DefaultShortcuts::sequence(row.key));
        }
        QCOMPARE(keys, DefaultShortcuts::keys());

        window.preferencesAct->trigger();
        PreferencesDialog* dialog = window.preferencesDialog;
        Page page(dialog->shortcutsPage);
        QCOMPARE(dialog->tabWidget->widget(4), static_cast<QWidget*>(dialog->shortcutsPage));
        for (int row = 0; row < 36; ++row) {
            const QString key = page.cell(row, ShortcutsConfigForm::KeyColumn);
            if (!key.isEmpty())
                QCOMPARE(QKeySequence(page.cell(row, 2), QKeySequence::PortableText), actions.value(key)->shortcut());
        }

        // Record Ctrl+Shift+Y for "打开模板" and apply: the window binds it at once.
        dialog->show();
        dialog->tabWidget->setCurrentIndex(4);
        page.click(page.rowOfKey("OpenTemplate"));
        page.button("recordPushButton");
        QTest::keyClick(page.edit, Qt::Key_Y, Qt::ControlModifier | Qt::ShiftModifier);
        QTest::mouseClick(dialog->applyPushButton, Qt::LeftButton);
        QCOMPARE(window.openTemplateAct->shortcut(), QKeySequence("Ctrl+Shift+Y"));
        QVERIFY(!QWidget::keyboardGrabber());

        // "录制" with no key: "" is stored and the window falls back to the default.
        page.button("recordPushButton");
        QTest::mouseClick(dialog->applyPushButton, Qt::LeftButton);
        QCOMPARE(Settings().value("Shortcuts/OpenTemplate"), QVariant(""));
        QCOMPARE(window.openTemplateAct->shortcut(), QKeySequence("Ctrl+Alt+O"));

        // Closing the dialog while recording gives the keyboard back.
        page.button("recordPushButton");
        QCOMPARE(QWidget::keyboardGrabber(), page.edit);
        QTest::mouseClick(dialog->cancelPushButton, Qt::LeftButton);
        QVERIFY(!QWidget::keyboardGrabber());
    }

    // ---- Extended preferences dialog -------------------------------------------------------

    void extendedDialogPages()
    {
        PreferencesDialogEx dialog;
        QCOMPARE(dialog.objectName(), QString("PreferencesDialogEx"));
        QCOMPARE(dialog.windowTitle(), QString("首选项"));
        auto* tree = dialog.findChild<QTreeWidget*>("treeWidget");
        auto* stack = dialog.findChild<QStackedWidget*>("stackedWidget");
        QCOMPARE(tree->topLevelItemCount(), 11);
        QCOMPARE(stack->count(), 11);
        QCOMPARE(tree->currentItem(), tree->topLevelItem(0));
        QCOMPARE(stack->currentIndex(), 0);

        const QStringList pages{"general", "editor", "save", "search", "shortcuts", "skeleton",
                                "chapter", "syntagm", "embellish", "log", "update"};
        QStringList texts;
        for (int i = 10; i >= 0; --i) {
            QTreeWidgetItem* item = tree->topLevelItem(i);
            QCOMPARE(item->data(0, Qt::UserRole), QVariant(i));
            tree->setCurrentItem(item);
            QCOMPARE(stack->currentIndex(), i);
            QCOMPARE(stack->currentWidget()->objectName(), pages.at(i) + "Page");
            auto* title = stack->currentWidget()->findChild<QLabel*>(pages.at(i) + "PageLabel");
            QVERIFY(title);
            QCOMPARE(title->text(), item->text(0));
            QVERIFY(title->font().bold());
            texts.prepend(item->text(0));
        }
        QCOMPARE(texts, QStringList({"通用", "编辑", "保存", "搜索", "快捷键", "梗概", "章节", "语段", "润色", "日志", "更新"}));

        auto entries = [&](const char* name) {
            QStringList list;
            auto* box = dialog.findChild<QComboBox*>(name);
            for (int i = 0; i < box->count(); ++i) {
                list << box->itemText(i);
                if (box->itemData(i).isValid())
                    list << "data!";
            }
            return list;
        };
        QCOMPARE(entries("comboBox_14"), QStringList({"只显示图标", "只显示文字", "文字在图标右侧", "文字在图标下方"}));
        QCOMPARE(entries("comboBox_5"), QStringList({"关闭", "文件", "后台屏幕", "文件 + 后台屏幕"}));
        QCOMPARE(entries("comboBox_6"), QStringList({"信息(4)", "致命(3)", "严重(2)", "警告(1)", "调试(0)"}));
        QCOMPARE(entries("comboBox"), QStringList());

        // An item that names no page logs the fault and keeps the page on view.
        tree->setCurrentItem(tree->topLevelItem(8));
        QTreeWidgetItem* stray = tree->topLevelItem(3);
        stray->setData(0, Qt::UserRole, 11);
        MessageCapture capture;
        tree->setCurrentItem(stray);
        QCOMPARE(stack->currentIndex(), 8);
        bool logged = false;
        for (const auto& entry : capture.entries())
            logged = logged
                     || (entry.first == QtCriticalMsg
                         && entry.second.contains("Bug: can not find corresponding stackedWidget index: 11"));
        QVERIFY(logged);
    }

    void extendedDialogStoresNothing()
    {
        superUserMode = true;
        ScriptedPrompt prompt;
        MainWindow window(nullptr, MainWindow::NoStartUpTimers);
        QVERIFY(window.preferencesExAct);
        Settings().sync();
        const QVariantMap before = storeContents();
        const QByteArray file = readAll(SettingsStore::fileName());

        window.preferencesExAct->trigger();
        PreferencesDialogEx* dialog = window.preferencesDialogEx;
        QVERIFY(dialog);
        QCOMPARE(prompt.dialogs, QStringList({"PreferencesDialogEx"}));
        dialog->show();
        auto* tree = dialog->findChild<QTreeWidget*>("treeWidget");
        for (int i = 0; i < tree->topLevelItemCount(); ++i) {
            tree->setCurrentItem(tree->topLevelItem(i));
            QWidget* shown = dialog->findChild<QStackedWidget*>()->currentWidget();
            for (QAbstractButton* button : shown->findChildren<QAbstractButton*>())
                QTest::mouseClick(button, Qt::LeftButton);
            for (QLineEdit* edit : shown->findChildren<QLineEdit*>())
                QTest::keyClicks(edit, "abc");
        }
        auto* box = dialog->findChild<QCheckBox*>("checkBox_22");
        QVERIFY(box->isChecked());

        // The next opening is the same dialog in the same state.
        window.preferencesExAct->trigger();
        QCOMPARE(window.preferencesDialogEx, dialog);
        QVERIFY(box->isChecked());
        Settings().sync();
        QCOMPARE(storeContents(), before);
        QCOMPARE(readAll(SettingsStore::fileName()), file);
    }
};

TQ_TEST_MAIN(ShortcutsTest)
#include "tst_shortcuts.moc"
