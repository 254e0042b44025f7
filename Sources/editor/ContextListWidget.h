#pragma once
// The small pop-up word list of an editor document. It hides when it loses
// the focus, keeps itself inside its editor's text area and the screen, shows
// every entry from its start (a long one cut short at its end) and takes a click
// on an entry as the choice of it, as Return. Whenever it hides, the editor has
// the keyboard again.
//
// A list the writer asked for takes the keyboard as it shows. A list the
// pointer opened waits: keys go on to the text, and any key but Up and Down
// hides it, until the writer turns to it by pointing into it or pressing Up or
// Down.

#include <QListWidget>
#include <QPoint>
#include <QRect>

class ContextListWidget : public QListWidget
{
    Q_OBJECT
public:
    explicit ContextListWidget(QWidget* parent = nullptr);

    enum class Keyboard { Take, Wait };
    // Shows the filled list where it stands, kept inside, taking the keyboard
    // or waiting for the writer to turn to it. pointer is where the pointer was
    // (global) when it opened a waiting list: the list turns once the pointer
    // moves over it from elsewhere.
    void open(Keyboard keyboard, const QPoint& pointer = QPoint());
    // Shown, and not yet turned to.
    bool isWaiting() const { return isVisible() && waiting; }

    // Moves the list, and shrinks it where it is larger, so that it lies wholly
    // inside its editor's text area and the screen, and off the area to keep
    // clear when there is room for it above that area.
    void keepInside();
    // A rectangle of the editor (such as the line of the word the list is for)
    // that the list does not cover; a null one for none.
    void setKeepClear(const QRect& rect) { keepClear = rect; }

    // Adds a row that says there is nothing to choose: shown, never chosen.
    void addPlaceholder(const QString& text);
    // Adds a row for a text that may be long: the row shows its start, on one
    // line, and choosing it gives the whole text (see fullText).
    void addLongText(const QIcon& icon, const QString& text);
    // The text a row stands for: the whole of what addLongText was given.
    static QString fullText(const QListWidgetItem* item);
    // What a row shows of a long text: its first rowTextLength characters, line
    // breaks and tabs as spaces, followed by an ellipsis when there is more.
    static QString rowText(const QString& text);
    static const int rowTextLength = 40;
    // False for rows that cannot be chosen (placeholders).
    static bool isChoosable(const QListWidgetItem* item);
    // The width the list needs to show the whole text of a row.
    int widthToShow(int row) const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    // The writer turns to a waiting list: it takes the keyboard.
    void turnTo();
    // A key or input the editor gets while the list waits: true when it turns
    // to the list and is used up by that.
    bool editorInput(QEvent* event);
    // Hides the list and gives the editor the keyboard: a row that offers
    // nothing was chosen.
    void chooseNothing();

    // A click has chosen an entry: the second click of a double click, should
    // one follow, belongs to the list too, wherever it lands once the list is gone.
    void catchSecondClick();
    void stopCatching();
    bool isSecondClick(const QMouseEvent* event) const;

    enum class SecondClick { None, Awaited, Caught };
    SecondClick secondClick = SecondClick::None;
    ulong pressTime = 0;
    QPoint pressPos;
    Qt::MouseButton pressButton = Qt::NoButton;
    bool waiting = false;
    QPoint openingPointer;
    QRect keepClear;
};
