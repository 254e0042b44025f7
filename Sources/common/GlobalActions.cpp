// The process-wide action pointers; the main window's action set-up fills them.

#include "GlobalActions.h"

QAction* synonymMarkAct = nullptr;
QAction* expandMarkAct = nullptr;
QAction* antonymMarkAct = nullptr;
QAction* synonymListAct = nullptr;
QAction* antonymListAct = nullptr;

QAction* openDatabaseTemplateUnderCursorAct = nullptr;
QAction* openAtomTemplateUnderCursorAct = nullptr;

QAction* pasteFromClipboardHistoryAct = nullptr;

QAction* whiteListSpellingCheckAct = nullptr;
QAction* blackListSpellingCheckAct = nullptr;
QAction* blackWhiteListSpellingCheckAct = nullptr;
QAction* userDefinedWordSpellingCheckAct = nullptr;
QAction* politicsSensitiveWordHighlightAct = nullptr;
QAction* eroticismSensitiveWordHighlightAct = nullptr;
QAction* atomTemplateEmbellishAct = nullptr;

QAction* addSelectedWordToWhiteListAct = nullptr;
QAction* addSelectedWordToBlackListAct = nullptr;
QAction* addSelectedContentToCurrentTemplateAct = nullptr;
