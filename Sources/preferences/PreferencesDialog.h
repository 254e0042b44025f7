#pragma once
// The preferences dialog "首选项": eight pages on tabs above "应用", "确定" and
// "取消". Every apply writes every page, tells the main window (Apply), shows the
// restart notice and has the shortcuts bound anew. The pages are loaded once,
// when the dialog is built: what the user left in them, applied or not, is
// still there at the next opening.

#include <QDialog>
#include <QMap>
#include <QString>

class EditorTab;
class GeneralTab;
class LogTab;
class PreferencesPage;
class QCheckBox;
class QMdiArea;
class QPushButton;
class QTabWidget;
class SaveTab;
class SearchTab;
class ShortcutsConfigForm;
class UpdateTab;
class VeldmarkTab;

class PreferencesDialog : public QDialog
{
    Q_OBJECT
public:
    // documents: the area whose editors show a font while it is chosen (may be null);
    // languages: display name -> locale code for the language list.
    explicit PreferencesDialog(QWidget* parent = nullptr, QMdiArea* documents = nullptr,
                               const QMap<QString, QString>& languages = QMap<QString, QString>());

    // The general page's box for "ShowSpellingResultMessageBox".
    QCheckBox* showSpellingResultMessageBoxCheckBox() const;

    GeneralTab* generalTab = nullptr;
    EditorTab* editorTab = nullptr;
    ShortcutsConfigForm* shortcutsPage = nullptr;
    SaveTab* saveTab = nullptr;
    SearchTab* searchTab = nullptr;
    LogTab* logTab = nullptr;
    UpdateTab* updateTab = nullptr;
    VeldmarkTab* veldmarkTab = nullptr;
    QTabWidget* tabWidget = nullptr;
    QPushButton* applyPushButton = nullptr;
    QPushButton* okPushButton = nullptr;
    QPushButton* cancelPushButton = nullptr;

public slots:
    void apply();
    void ok();
    void cancel();

signals:
    // After every page is written; index is the tab on view.
    void Apply(const uint index);
    // A page wrote settings that readSettings() applies.
    void readSettingsRequested();
    // The stored find-in-files histories were removed; the open boxes should follow.
    void searchHistoryCleared();
    // Last step of an apply: bind the actions' shortcuts from the settings.
    void shortcutsRebindRequested();

protected:
    void showEvent(QShowEvent* event) override;

private:
    bool m_sized = false;
};
