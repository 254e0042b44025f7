#pragma once
// Actions that live in process-wide pointers rather than in the main window, because
// the editor's context menu, the word-list and clipboard commands and the template
// menu hooks reach them without a window pointer. The main window's action set-up
// creates them; a pointer stays null until then (and "原子模板润色" stays null unless
// "EnableAtomTemplateEmbellish" is set).

#include "SharedCodes.h" // addTemplateMarkerAct and the other four selection-to-template actions

class QAction;

// Markings and word lists
extern QAction* synonymMarkAct;  // "近义词标记"
extern QAction* expandMarkAct;   // "扩写标记"
extern QAction* antonymMarkAct;  // "反义词标记"
extern QAction* synonymListAct;  // "近义词列表"
extern QAction* antonymListAct;  // "反义词列表"

// Templates named under the editor cursor (texts set by the editor's context menu)
extern QAction* openDatabaseTemplateUnderCursorAct;
extern QAction* openAtomTemplateUnderCursorAct;

// Clipboard history
extern QAction* pasteFromClipboardHistoryAct; // "粘贴自剪贴板历史"

// Text checking
extern QAction* whiteListSpellingCheckAct;         // "白名单模式校对"
extern QAction* blackListSpellingCheckAct;         // "黑名单模式校对"
extern QAction* blackWhiteListSpellingCheckAct;    // "黑名单 + 白名单模式校对"
extern QAction* userDefinedWordSpellingCheckAct;   // "自定义词校对" (checkable)
extern QAction* politicsSensitiveWordHighlightAct;  // "政治"
extern QAction* eroticismSensitiveWordHighlightAct; // "涉黄"
extern QAction* atomTemplateEmbellishAct;          // "原子模板润色"

// Adding the selection to a word list or template (told apart by object name)
extern QAction* addSelectedWordToWhiteListAct;          // "AddSelectedWordToWhiteListAct"
extern QAction* addSelectedWordToBlackListAct;          // "AddSelectedWordToBlackListAct"
extern QAction* addSelectedContentToCurrentTemplateAct; // "AddSelectedContentToCurrentTemplateAct"
