#pragma once
// The line edit in which a key sequence is recorded by pressing it: every key
// press (other than Shift, Ctrl or Alt alone) appends one chord, up to four,
// written in portable text and separated by ", ". The number of chords recorded
// since the count was last set to 0 is the property "KeySequenceCount"; the
// shortcut page resets it when a recording starts.

#include <QLineEdit>

class ShortCutRecordLineEdit : public QLineEdit
{
    Q_OBJECT
public:
    explicit ShortCutRecordLineEdit(QWidget* parent = nullptr);
    ~ShortCutRecordLineEdit() override;

    // The chord prefixes of the modifiers, always in the order Shift, Ctrl, Alt,
    // Meta, Num ("Shift+Ctrl+" for Ctrl with Shift, say).
    static QString modifiersText(Qt::KeyboardModifiers modifiers);

    static constexpr int maximumChords = 4;

public slots:
    void keyPressEvent(QKeyEvent* event) override;

protected:
    void hideEvent(QHideEvent* event) override;

private:
    // Releases the keyboard if this edit holds it.
    void releaseGrab();
};
