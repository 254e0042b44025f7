#pragma once
// The contents of the current entry of an open template, one row per content.
// Besides the window's content commands (its context actions), the menu offers
// the atom templates a content names, generation from the content and, while
// the expansion marking is active, the expansion of the editor's marked word.

#include <QListWidget>
#include <QPointer>

#include <functional>

class MdiChild;
class QMimeData;
class QAction;
class TemplateDialog;

class ListWidget : public QListWidget
{
    Q_OBJECT

public:
    explicit ListWidget(QWidget* parent = nullptr);
    ~ListWidget() override;

    // The atom names between square brackets in text, in order ("[a][b]" gives a, b).
    static QStringList atomTemplateNames(const QString& text);
    // The text of the copy action, which stays enabled on a read-only page.
    static QString copyActionText();
    // Dragged rows carry this format naming the list they come from, so that
    // the page's tree knows its own contents whoever started the drag.
    static QString rowsMimeType();
    bool isOwnDrag(const QMimeData* data) const;

    // Where the active editor comes from (the anchor word and the expansions).
    void setActiveEditorSource(const std::function<MdiChild*()>& source) { m_activeEditor = source; }
    // Receiver and slot of "用本条目生成"; the slot reads the sending action's "content".
    void setContentGenerator(QObject* receiver, const char* member);

    QAction* preModifierAction() const { return m_preModifierAction; }
    QAction* postModifierAction() const { return m_postModifierAction; }
    QAction* replaceAction() const { return m_replaceAction; }

signals:
    // After the rows were reordered by a drag inside the list.
    void itemDnD();
    // Delete, Insert and F2, on release.
    void removeRequested();
    void newRequested();
    void editRequested();
    // The atom template of this name to open (the name is not checked yet).
    void atomTemplateRequested(const QString& name, bool autoClose);

public slots:
    void onItemEntered(QListWidgetItem* item);
    void atomMapSlot(QString templateTitle);
    void expandWithItem();

protected:
    QMimeData* mimeData(const QList<QListWidgetItem*> items) const override;
    void mousePressEvent(QMouseEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    void prepareContextMenu();
    MdiChild* activeEditor() const;

    TemplateDialog* templateDialog;
    QAction* m_preModifierAction;
    QAction* m_postModifierAction;
    QAction* m_replaceAction;
    QAction* m_separatorAction;
    bool m_expansionConnected = false;
    std::function<MdiChild*()> m_activeEditor;
    QPointer<QObject> m_generator;
    QByteArray m_generatorMember;
};
