#include "ShortCutRecordLineEdit.h"

#include <QDebug>
#include <QKeyEvent>
#include <QKeySequence>
#include <QMetaEnum>

#include <algorithm>

namespace {

const char countProperty[] = "KeySequenceCount";

bool isModifierKey(int key)
{
    return key == Qt::Key_Shift || key == Qt::Key_Control || key == Qt::Key_Alt;
}

// The portable name of a key pressed on its own. The toolkit has no name for
// modifier keys such as Meta or AltGr (it writes an unreadable character), so
// those are written with the key's own name ("Meta"), which no parser accepts.
QString keyName(int key)
{
    const QString name = QKeySequence(key).toString(QKeySequence::PortableText);
    if (key < Qt::Key_Escape || std::none_of(name.cbegin(), name.cend(), [](QChar c) { return c.isSurrogate(); }))
        return name;
    const char* enumerator = QMetaEnum::fromType<Qt::Key>().valueToKey(key);
    return enumerator ? QString::fromLatin1(enumerator).mid(4) : QString();
}

} // namespace

ShortCutRecordLineEdit::ShortCutRecordLineEdit(QWidget* parent)
    : QLineEdit(parent)
{
    setProperty(countProperty, 0);
    setClearButtonEnabled(true);
}

ShortCutRecordLineEdit::~ShortCutRecordLineEdit()
{
    releaseGrab();
}

QString ShortCutRecordLineEdit::modifiersText(Qt::KeyboardModifiers modifiers)
{
    // "Num+" is the keypad's name in key-sequence texts; the group-switch
    // modifier has none, so it is left out.
    static const struct
    {
        Qt::KeyboardModifier flag;
        const char* prefix;
    } prefixes[] = {
        {Qt::ShiftModifier, "Shift+"},
        {Qt::ControlModifier, "Ctrl+"},
        {Qt::AltModifier, "Alt+"},
        {Qt::MetaModifier, "Meta+"},
        {Qt::KeypadModifier, "Num+"},
    };
    QString text;
    for (const auto& prefix : prefixes)
        if (modifiers & prefix.flag)
            text += QLatin1String(prefix.prefix);
    return text;
}

void ShortCutRecordLineEdit::keyPressEvent(QKeyEvent* event)
{
    const int count = property(countProperty).toInt();
    const int key = event->key();
    if (count >= maximumChords || key == 0 || key == Qt::Key_unknown) {
        event->ignore();
        return;
    }
    const QKeySequence keyAlone(key);
    qDebug() << "event->key() =" << key;
    qDebug() << "keySeq.count() =" << keyAlone.count();
    if (isModifierKey(key)) {
        event->ignore();
        return;
    }

    QString chord = modifiersText(event->modifiers()) + keyName(key);
    if (count < maximumChords - 1)
        chord += QLatin1String(", ");
    setText(text() + chord);
    setProperty(countProperty, count + 1);
    event->accept();
}

void ShortCutRecordLineEdit::hideEvent(QHideEvent* event)
{
    releaseGrab();
    QLineEdit::hideEvent(event);
}

void ShortCutRecordLineEdit::releaseGrab()
{
    if (QWidget::keyboardGrabber() == this)
        releaseKeyboard();
}
