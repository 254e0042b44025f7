#pragma once
// The small pop-up word list of an editor document. It hides when it loses
// the focus, keeps itself inside its editor's text area and the screen, shows
// every entry from its start (a long one cut short at its end) and takes a click
// on an entry as the choice of it, as Return. Whenever it hides, the editor has
// the keyboard again.

#include <QListWidget>
#include <QPoint>

class ContextListWidget : public QListWidget
{
    Q_OBJECT
public:
    explicit ContextListWidget(QWidget* parent = nullptr);

    // Moves the list, and shrinks it where it is larger, so that it lies wholly
    // inside its editor's text area and the screen.
    void keepInside();

    // Adds a row that says there is nothing to choose: shown, never chosen.
    void addPlaceholder(const QString& text);
    // False for rows that cannot be chosen (placeholders).
    static bool isChoosable(const QListWidgetItem* item);
    // The width the list needs to show the whole text of a row.
    int widthToShow(int row) const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
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
};
