#include "DefaultShortcuts.h"

#include "StandardKeyNames.h"

namespace {

struct Entry
{
    const char* key;
    // Portable text, or "QKeySequence::" and the name of a standard key; null for none.
    const char* binding;
};

const Entry entries[] = {
    {"OpenTemplate", "Ctrl+Alt+O"},
    {"SaveTemplate", "Ctrl+Alt+S"},
    {"OpenAtomTemplateUnderCursor", "Ctrl+Alt+A"},
    {"NewTemplateParagraphFromSelection", "Ctrl+Shift+P"},
    {"NewTemplateChildParagraphFromSelection", "Ctrl+Shift+S"},
    {"NewTemplateContentFromSelection", "Ctrl+Shift+C"},
    {"AddTemplateMarker", "Ctrl+Shift+T"},
    {"NewFile", "QKeySequence::New"},
    {"OpenFile", "QKeySequence::Open"},
    {"SaveFile", "QKeySequence::Save"},
    {"SaveFileAs", "QKeySequence::SaveAs"},
    {"ExportDoc", "Ctrl+D"},
    {"FileProperty", "Alt+Enter"}, // the keypad's Enter
    {"Print", "QKeySequence::Print"},
    {"Quit", "Ctrl+Q"},
    {"Undo", "QKeySequence::Undo"},
    {"Redo", "QKeySequence::Redo"},
    {"Cut", "QKeySequence::Cut"},
    {"Copy", "QKeySequence::Copy"},
    {"Paste", "QKeySequence::Paste"},
    {"PasteAsPlainText", "Ctrl+Shift+V"},
    {"PasteFromClipboardHistory", "Ctrl+Shift+B"},
    {"SelectAll", nullptr},
    {"CloseWindow", "Ctrl+F4"},
    {"NextWindow", "QKeySequence::NextChild"},
    {"PreviousWindow", "QKeySequence::PreviousChild"},
    {"Find", "QKeySequence::Find"},
    {"Replace", "QKeySequence::Replace"},
    {"GoToLine", "Ctrl+G"},
    {"FullScreen", "F11"},
};

const Entry* find(const QString& key)
{
    for (const Entry& entry : entries)
        if (key == QLatin1String(entry.key))
            return &entry;
    return nullptr;
}

} // namespace

QStringList DefaultShortcuts::keys()
{
    QStringList keys;
    for (const Entry& entry : entries)
        keys << QLatin1String(entry.key);
    return keys;
}

bool DefaultShortcuts::hasDefault(const QString& key)
{
    const Entry* entry = find(key);
    return entry && entry->binding;
}

QKeySequence DefaultShortcuts::sequence(const QString& key)
{
    const Entry* entry = find(key);
    if (!entry || !entry->binding)
        return QKeySequence();
    const QString binding = QLatin1String(entry->binding);
    if (binding.startsWith(QLatin1String("QKeySequence::")))
        return standardKeyFromName(binding);
    return QKeySequence(binding, QKeySequence::PortableText);
}

QString DefaultShortcuts::text(const QString& key)
{
    return sequence(key).toString(QKeySequence::PortableText);
}
