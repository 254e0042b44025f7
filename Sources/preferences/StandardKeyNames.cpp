#include "StandardKeyNames.h"

#include <iterator>

namespace {

// In the order of QKeySequence::StandardKey, so a name's index is its value.
// The list is fixed here rather than read from the toolkit, so that a newer
// toolkit does not change which names stored texts may use.
const char* const standardKeyNames[] = {
    "UnknownKey", "HelpContents", "WhatsThis", "Open", "Close", "Save", "New", "Delete", "Cut", "Copy",
    "Paste", "Undo", "Redo", "Back", "Forward", "Refresh", "ZoomIn", "ZoomOut", "Print", "AddTab",
    "NextChild", "PreviousChild", "Find", "FindNext", "FindPrevious", "Replace", "SelectAll", "Bold",
    "Italic", "Underline", "MoveToNextChar", "MoveToPreviousChar", "MoveToNextWord", "MoveToPreviousWord",
    "MoveToNextLine", "MoveToPreviousLine", "MoveToNextPage", "MoveToPreviousPage", "MoveToStartOfLine",
    "MoveToEndOfLine", "MoveToStartOfBlock", "MoveToEndOfBlock", "MoveToStartOfDocument",
    "MoveToEndOfDocument", "SelectNextChar", "SelectPreviousChar", "SelectNextWord", "SelectPreviousWord",
    "SelectNextLine", "SelectPreviousLine", "SelectNextPage", "SelectPreviousPage", "SelectStartOfLine",
    "SelectEndOfLine", "SelectStartOfBlock", "SelectEndOfBlock", "SelectStartOfDocument",
    "SelectEndOfDocument", "DeleteStartOfWord", "DeleteEndOfWord", "DeleteEndOfLine",
    "InsertParagraphSeparator", "InsertLineSeparator", "SaveAs", "Preferences", "Quit", "FullScreen",
    "Deselect", "DeleteCompleteLine", "Backspace", "Cancel",
};
static_assert(std::size(standardKeyNames) == QKeySequence::Cancel + 1, "one name per standard key");

} // namespace

QKeySequence standardKeyFromName(const QString& name)
{
    static const QLatin1String prefix("QKeySequence::");
    if (!name.startsWith(prefix))
        return QKeySequence(QKeySequence::UnknownKey);
    const QStringRef enumerator = name.midRef(prefix.size());
    for (int i = 0; i < int(std::size(standardKeyNames)); ++i)
        if (enumerator == QLatin1String(standardKeyNames[i]))
            return QKeySequence(static_cast<QKeySequence::StandardKey>(i));
    return QKeySequence(QKeySequence::UnknownKey);
}
