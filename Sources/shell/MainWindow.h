#pragma once
// The program's one main window. Its implementation is split by subsystem:
// MainWindow_Shell.cpp (frame, start-up, settings, actions, skins, shut-down),
// MainWindow_MenusToolBars.cpp, MainWindow_StatusBarsTabs.cpp (status bars, sub-windows
// and tabs), MainWindow_CrashTests.cpp, MainWindow_Editor.cpp (documents, editing,
// directory pane), MainWindow_FileChanges.cpp (files changed by other programs),
// MainWindow_Search.cpp (find and replace, web search, find in files),
// MainWindow_PrintExport.cpp, MainWindow_Templates.cpp (opening and saving templates),
// MainWindow_TemplateEditing.cpp, MainWindow_AtomLibrary.cpp (atom library, text to
// template, following text back to its template), MainWindow_Generation.cpp,
// MainWindow_WordDatabases.cpp (marking runs), MainWindow_WordTools.cpp (dictionary,
// highlighter, statistics, analysis tools), MainWindow_Preferences.cpp and
// MainWindow_Account.cpp.

#include <QDateTime>
#include <QList>
#include <QMap>
#include <QMainWindow>
#include <QModelIndex>
#include <QMutex>
#include <QPoint>
#include <QPointer>
#include <QSet>
#include <QSharedPointer>
#include <QString>
#include <QStringList>
#include <QTextDocument>
#include <QTextFormat>

#include "DocumentHost.h"
#include "SettingsStore.h"

class QAction;
class QCheckBox;
class QCloseEvent;
class QColor;
class QComboBox;
class QDockWidget;
class QEvent;
class QFont;
class QFontComboBox;
class QLabel;
class QStatusBar;
class QLineEdit;
class QListWidget;
class QListWidgetItem;
class QMdiSubWindow;
class QMenu;
class QPrinter;
class QPushButton;
class QTabWidget;
class QTextEdit;
class QTimer;
class QToolBar;
class QToolButton;
class QTreeWidgetItem;

class AutoGenInputDialog;
class AutoGenInputDialog4Advertisement;
class AutoGenInputDialog4AdvertisementSoft;
class AutoGenNameDialog;
class CharEvaluateDialog;
class DatabaseTemplateSelectionDialog;
class DirTreeView;
class Embellish;
class EmbellishRun;
class FindReplaceDialogEx;
class MdiArea;
class MdiChild;
class OutputDialogEx;
class PluginManager;
class PoemConfigDialog;
class PreferencesDialog;
class PreferencesDialogEx;
class SearchDialog;
class TemplateDialog;
class TextBlockUserData;
class TQDirModel;
class UpdateDialog;
class WordCloudDialog;
class WordEvaluateDialog;

// Enables the five selection-to-template actions from the active editor's
// selection and the current page of the bottom tab widget.
void updateSelectionActions();

class MainWindow : public QMainWindow, public DocumentHost
{
    Q_OBJECT

public:
    enum ConstructionOption {
        DefaultConstruction = 0,
        // Tests: do not arm the splash and deferred start-up timers.
        NoStartUpTimers = 0x1,
    };

    // Sizes of the action families; the index of a family member is also its data value.
    enum {
        MaxRecentFiles = 10,
        MaxRecentTemplates = 10,
        EncodingActCount = 4,   // "Big5", "Big5 HKSCS", "GB18030", "GB2312"
        ShowSymbolActCount = 2, // spaces and tabs, line and paragraph ends
        ZoomActCount = 7,       // "25%" to "1600%"
        ToolBarIconSizeActCount = 3,
    };

    // The seven toolbars, in the index order of their visibility actions and settings keys.
    enum ToolBarIndex {
        FileToolBarIndex = 0, // "文档", "FileToolBarVisible"
        EditToolBarIndex,     // "编辑", "EditToolBarVisible"
        PrintToolBarIndex,    // "打印", "PrintToolBarVisible"
        DictToolBarIndex,     // "词典", "DictToolBarVisible"
        SearchToolBarIndex,   // "搜索", "SearchToolBarVisible"
        StyleToolBarIndex,    // "格式", "StyleToolBarVisible"
        FontToolBarIndex,     // "字体", "FontToolBarVisible"
        ToolBarCount
    };

    // Skins; any other id selects the default skin.
    enum SkinId {
        DefaultSkin = 0,
        BlueSkin = 1,
        DarkSkin = 2,
        GreenSkin = 3,
        PurpleSkin = 4,
        PinkSkin = 5,
        RedSkin = 6,
        SilverSkin = 7,
        YellowSkin = 8,
        SkinCount
    };

    explicit MainWindow(QWidget* parent = nullptr, int options = DefaultConstruction);
    ~MainWindow() override;

    MdiChild* activeMdiChild() const;

    // What the editor documents ask of the window that holds them.
    QObject* hostObject() override { return this; }
    MdiChild* activeDocument() const override { return activeMdiChild(); }
    QList<MdiChild*> documents() const override;
    Embellish* wordEngine() const override { return embellish; }
    void openAtomTemplate(const QString& name) override;
    // Opens Templates/Atom/<name>.tqw; a name that would lead out of that folder
    // ("..", "/", "\\") is refused with a box. False when refused.
    bool openNamedAtomTemplate(const QString& name, bool autoClose, bool closeTabsFirst = false);
    void documentSelectionChanged() override { updateSelectionActions(); }

    // Frame
    void showBottomTab(const QString& objectName);

    // Settings
    void initSettings();
    void readSettings();
    void writeSettings();

    // Documents
    QMdiSubWindow* findMdiChild(const QString& fileName) const;
    void updateRecentFileActions();
    void addRecentFile(const QString& fileName);
    int closeTemplateTabOfFile(const QString& path);
    // True while another program's change to the file waits for the user's answer,
    // queued or being asked: saving then would overwrite that program's work.
    bool fileChangeUnanswered(const QString& path) const;

    // Edit, format and view
    void alignmentChanged(Qt::Alignment alignment);
    void syncFontControls(const QFont& font);
    void updateTextColorSwatch(const QColor& color);
    void applyCharFormatToWordOrSelection(const QTextCharFormat& format);
    void applyZoomLevel(int level);
    void setBlockUserData(const QString& ref, const QModelIndex& index, const QList<int>& positions);
    void setBlockUserData(TextBlockUserData* userData);

    // Printing and export
    void filePrintMSDoc(const QString& suffix);

    // Templates
    int saveTemplateAs(TemplateDialog* templateDialog);
    bool saveTemplateFinal(bool saveAs, TemplateDialog* templateDialog, int index);
    void setTemplateModified(bool set, int index);
    bool isCurrentTemplateReadOnly();
    int confirmDiscardTemplateChanges();
    bool templateContentExists(const QString& str);
    void setTemplateDialogContextMenus(TemplateDialog* templateDialog);
    int removeDuplicateTreeWidgetItemContents(QTreeWidgetItem* item);
    void addContentToAtomTemplateTOC(const QString& str);
    void activateTemplateItemsOfUserData(TextBlockUserData* userData);
    void activeTabByDatabase(QString templateName, QString text, uchar databaseType);

    // Article generation
    bool autoGenFromTemplate(QString& result, const QString& outputFileName);
    bool isAdvertisementTemplate();
    void showAutoGenInputDialog(int type);
    void saveComboBoxHistory(QComboBox* comboBox, const QString& key);
    // The generation input dialogs and the poem dialog: each is made on first use
    // (or by the deferred start-up work), wired to the generation and kept.
    AutoGenInputDialog* storyInputDialog();
    AutoGenInputDialog4Advertisement* advertisementInputDialog();
    AutoGenInputDialog4AdvertisementSoft* advertorialInputDialog();
    PoemConfigDialog* poemSettingsDialog();
    QStringList splitByMarkers(const QString& text);

    // Word databases and text analysis
    int embellishDocument(uint embellishType, bool dryRun);
    void runTextAnalysisTool(const QString& title);

    // Account, updates and information
    void checkUpdateIfDue();
    void readVersionFile(QString& version, QString& date);

public slots:
    // Start-up
    void hideSplashScreen();
    // The deferred start-up at once: the start-up documents, then the rest.
    void initTimeConsumingStaff();
    void showSuperUserAddition();

    // Frame: bottom tabs, status bar, full screen, read-only button
    void showTabWidgetCustomContextMenu(const QPoint& pos);
    void showStatusBar();
    void fullScreen();
    void toggleReadOnlyButton();

    // Crash tests (super-user mode)
    void divisionByZero();
    void segmentationFault();
    void stackOverflow();
    void bufferOverflow();
    void memoryLeak();
    void abortFunc();
    void assertFalse();
    int throwException();
    void freeUninitializedPointer();
    void deleteUninitializedPointer();

    // Settings and preferences
    void reloadPreferences(const uint index);
    void preferences();
    void preferencesEx();

    // Output window
    void logOutputChanged();

    // Actions and shortcuts
    void setActionsShortcuts();

    // Menus and toolbars
    void toggleToolBars();
    void toggleAllToolbarActs(int state);
    void setToggleAllToolbarActsCheckBoxState();
    void setToolBarsIconSize();

    // Status bars
    void updateMenusStatusBar(QMdiSubWindow* window);
    void updateCharactersCountOnStatusBar();
    void updateEncodingLabelOnStatusBar(const QString& encoding);
    void updateLineLabelOnStatusBar();
    void updateDateTime();

    // Sub-windows and tabs
    void updateWindowMenu();
    void setActiveSubWindow(QWidget* window);
    void showCustomContextMenu(const QPoint& pos);
    void closeMultiSubWindows();
    void closeMultiTabs();
    void closeTab(int index);
    void autoCloseTabs(const QString& keep);

    // Skins
    void setCustomStyleSheet(int id);

    // Documents
    void newFile();
    void open();
    void open(const QString& fileName);
    void open(const QModelIndex& index);
    void openRecentFiles();
    int save(bool manual = true);
    bool saveAs();
    bool saveAll();
    void emptyRecentFilesList();
    void autoSaveCheck();
    void fileChanged(const QString& path);
    void notifyFileChange(const QString& path);

    // Edit, format and view
    void copy();
    void cut();
    void paste();
    void undo();
    void redo();
    void selectAll();
    void deleteSelectedText();
    void pasteAsPlainText();
    void replace();
    void textBold();
    void textItalic();
    void textUnderline();
    void textFamily(const QString& family);
    void textSize(const QString& size);
    void textColor();
    void textAlign(QAction* action);
    void currentCharFormatChanged(const QTextCharFormat& format);
    void setFontSize(int size);
    void zoom();
    void zoom(const QString& text);
    void resetZoom();
    void setTextEditReadOnly();
    void autoFormat();
    void gotoCharacter();
    void gotoLine();
    void setEncoding();
    void updateEncodingActions();
    void lineWrap();
    void toggleSymbol();
    void toPlainText();
    void highlightCurrentLine();
    void highlightCurrentParagraph();
    // The globals from the View actions, painted into every open document.
    void applyCurrentLineHighlight();

    // Word pop-ups and clipboard history
    void clipboardDataChanged();
    void pasteFromClipboardHistory();
    void newWordList();
    void magicLamp();

    // Find and replace
    void find();
    bool findReplace(const QString& strFind, const QString& strReplace, QTextDocument::FindFlag backward,
                     QTextDocument::FindFlag caseSensitivity, bool wrapAround, bool replace,
                     bool replaceAll, bool regexp);
    void toggleInsertOverwriteMode();

    // Printing and export
    void print();
    void printPreview();
    void filePrintPreview(QPrinter* printer);
    void filePrintPdf();
    void filePrintOdt();
    void filePrintDoc();
    void filePrintDocx();

    // Directory pane and file properties
    void fileProperty(const QString& fileName = QString());
    void openContainingDirectoryUsingSystemApp();
    void openContainingDirectoryUsingSystemApp4TabWidget();
    void openContainingDirectoryUsingDirectoryDock();

    // Web search
    void searchReturnPressed();
    void webSearch();
    void urlActivated(const QString& url);
    void prevUrl();
    void nextUrl();
    void stopUrl();
    void reloadUrl();
    void homePageUrl();
    void newBookmarkUrl();
    void bookmarkList();

    // Find in files
    void search();
    void updateSearchTabText(const QString& text);
    void clearSearchDialogHistory();
    void openFileOfItem(int row, int column);

    // Templates: opening and saving
    int openTemplate(const QString& templateFileName = QString(), const QString& searchStr = QString(),
                     int index = -1, bool autoClose = false, uint type = 128, bool create = false);
    QString newTemplate(const QString& title = QString());
    void saveTemplate(bool all = false, bool saveAs = false);
    void saveTemplateAs();
    void setCurrentTemplateReadOnly();
    void updateRecentTemplates(const QString& templateName);
    void emptyRecentTemplatesList();
    void openRecentTemplates();
    void aboutToShowTemplateMenu();
    void aboutToHideTemplateMenu();
    void openDatabaseTemplate();

    // Templates: editing
    void newTemplateParagraph(QString str = QString());
    void newTemplateChildParagraph();
    void editTemplateParagraph();
    void removeTemplateParagraph();
    void copyTemplateParagraph();
    void pasteTemplateParagraph();
    void editTemplateTitle(int index = 0);
    void newTemplateContent(const QString& str = QString(), const QString& note = QString(),
                            bool interactive = true);
    void copyTemplateContent();
    void pasteClipboardToTemplateContent();
    void editTemplateContent(const QString& str = QString(), const QString& note = QString());
    void removeTemplateContent();
    void sortTemplateContent();
    int removeDuplicateTemplateContent(TemplateDialog* templateDialog = nullptr, bool manual = true);
    void newTemplateParagraphFromSelection();
    void newTemplateChildParagraphFromSelection();
    void newTemplateContentFromSelection();
    void addTemplateMarker();
    void newTemplateContentFromStringList(QStringList strings);
    void updateParagraphList();
    void changeParagraph(QTreeWidgetItem* current, QTreeWidgetItem* previous);

    // Templates: atom template library
    void utilitiesTemplate();
    void openAtomTemplateTOC();
    void searchAtomTemplateTOC();
    void openAtomTemplateUnderCursor();
    void openDatabaseTemplateUnderCursor();
    void openAtomTable();
    void openSynonymTemplate();
    void openSpellingTemplate();
    void openWordTemplate();
    void addSelectedContentToTemplate();
    void saveSelectedItemsAsAtomTemplate();
    void preloadTemplates();
    void selectAtomTemplate(QString name);

    // Templates: text to template, following text back to its template
    void textToTemplate();
    void cursorPositionChanged();
    void listWidgetItemActivated(QListWidgetItem* current);

    // Article generation: engine entry, template walks, fixed contents
    void autoGenStart();
    void autoGenInit(int type);
    void autoGenGeneric(int type);
    void autoGen(int startRow);
    void autoGen();
    void autoGenFromCurrentItem();
    void autoGenParseItem(QTreeWidgetItem* item, int answer, int level, QString tag);
    void autoGenAll();
    void autoGenFinal();

    // Article generation: input dialogs
    void resetAutoGenInputs();
    void resetAutoGenInputDialog4AdvertisementInputs();
    void resetAutoGenInputDialog4AdvertisementSoftInputs();

    // Article generation: genre commands
    void advertisement();
    void skeleton();
    void chapter();
    void accost();
    void conversation();
    void loving();
    void figure();
    void story();
    void war();
    void poem();
    void loveLetter();
    void characterDesignDummy();
    void storyDesignDummy();

    // Article generation: news and official documents
    void news();
    void worldNews();
    void domesticNews();
    void cultureNews();
    void entertainmentNews();
    void sportsNews();
    void technologyNews();
    void houseNews();
    void carNews();
    void politics();
    void partyAffairs();
    void diplomacy();
    void industry();
    void economy();
    void agriculture();
    void culture();
    void education();
    void publicWelfare();
    void ethnicGroups();
    void religions();
    void disasterPrevention();
    void environmentalProtection();
    void diary();
    void prose();
    void letter();

    // Article generation: names
    void autoGenNameGeneric(int type);
    void autoGenNameGenericStart(int selection1, QString str1, int selection2, QString str2, int selection3,
                                 QString str3, int count, int type, int selection4, QString str4,
                                 int selection5, QString str5);

    // Word databases: dictionary pane
    void dictTextChanged(const QString& text);
    void dictReturnPressed();
    void dictSearch();
    void dictSearch(QString text, bool exactly);
    void dictWordSelected(QListWidgetItem* item);

    // Word databases: marking and embellishing
    void atomTemplateEmbellish();
    void whiteListSpellingCheck();
    void blackWhiteListSpellingCheck();
    void politicsSensitiveWordHighlight();
    void eroticismSensitiveWordHighlight();
    void vulgarSensitiveWordHighlight();
    void internetSensitiveWordHighlight();
    void surnameSensitiveWordHighlight();
    void placeNameSensitiveWordHighlight();
    void englishCharHighlight();
    void numberHighlight();
    void quantifierHighlight();
    void polyphoneHighlight();
    void userDefinedCategoryHighlight();
    void idiomHighlight();
    void miscSpellingCheck();
    void spellingMark();
    void blackListSpellingCheck();
    void autoSpellingCorrection();
    void adjectiveWordMark();
    void sensitiveWordMark();
    void synonymEmbellish();
    void expandMark();
    void synonymMark();
    void antonymMark();
    void userDefinedWordSpellingCheck();

    // Word databases: statistics and companion tools
    void statistics();
    void charFreqCounterForTextSelection();
    void charFreqCounterForDirectory();
    void jieBaNotCutAllForTextSelection();
    void jieBaWordFreqCounterForTextSelection();
    void jieBaWordFreqCounterForDirectory();
    void jieBaPartOfSpeechTaggingForTextSelection();
    void partOfSpeechHighlight();
    void wordCloud();

    // Preferences: the auto-generation toolbar's button style
    void changeToolBarStyle(int style);

    // Account, updates, plug-ins and information
    void loadPlugins();
    void showPluginsManagerDialog();
    void login();
    void showAccountInformation();
    void checkUpdate();
    void systemInformation();
    void showBuildSystemInformation();
    void showReleaseNotes();
    void about();
    void aboutQt();
    void credits();
    void help();
    void bugReport();
    void userFeedback();
    void recommendTo();

signals:
    void backgroundChange(QString colorFileName);
    void fileChange(QString path);
    void templateChange(QString path, QString searchStr, int index);

protected:
    bool event(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

public:
    // ---- Frame -------------------------------------------------------------
    Settings settings;
    MdiArea* mdiArea = nullptr;
    QTabWidget* mainTabWidget = nullptr;
    QDockWidget* accessoryDock = nullptr;
    QDockWidget* dictDock = nullptr;
    QDockWidget* dirDock = nullptr;
    QDockWidget* mainDock = nullptr;
    QListWidget* accessoryListWidget = nullptr;
    QListWidget* dictListWidget = nullptr;
    QTextEdit* dictTextEdit = nullptr;
    TQDirModel* dirModel = nullptr;
    DirTreeView* dirTreeView = nullptr;
    OutputDialogEx* outputDialog = nullptr;
    QTimer* autoSaveTimer = nullptr;
    QTimer* dateTimeTimer = nullptr;
    unsigned int autoSaveFileInterval = 0;     // minutes, never 0 once built
    unsigned int autoSaveTemplateInterval = 0; // minutes, never 0 once built
    int styleId = 0;                           // the SkinId in force
    unsigned int developerSwitch = 0;
    bool highlightAutoGenContent = false;
    QString highlightAutoGenContentColor;
    PreferencesDialog* preferencesDialog = nullptr;
    PreferencesDialogEx* preferencesDialogEx = nullptr;

    // ---- Menus, toolbars and their widgets ----------------------------------
    QMenu* fileMenu = nullptr;
    QMenu* recentFilesMenu = nullptr;
    QMenu* templateMenu = nullptr;
    QMenu* editMenu = nullptr;
    QMenu* formatMenu = nullptr;
    QMenu* viewMenu = nullptr;
    QMenu* toolBarsMenu = nullptr;        // "显示/隐藏工具栏"
    QMenu* toolBarIconSizeMenu = nullptr; // "工具栏图标尺寸"
    QMenu* windowMenu = nullptr;
    QMenu* evaluationMenu = nullptr; // "测评"
    QMenu* toolsMenu = nullptr;
    QMenu* turingMenu = nullptr; // "图灵", only with the developer switch
    QMenu* helpMenu = nullptr;
    QToolBar* toolBars[ToolBarCount] = {};
    QToolBar* autoGenToolBar = nullptr; // never created; tested for null
    QFontComboBox* comboFont = nullptr;
    QComboBox* comboSize = nullptr;
    QLineEdit* dictLineEdit = nullptr;
    QComboBox* searchEngineComboBox = nullptr;
    QLineEdit* searchLineEdit = nullptr;
    QCheckBox* toggleAllToolbarActsCheckBox = nullptr;
    // Set while the program itself moves the check box to the partial state.
    bool toggleAllToolbarActsCheckBoxGuard = false;

    // ---- Status bars (replaced with each rebuild) ---------------------------
    // Guarded: a discarded bar takes its widgets with it.
    QPointer<QToolButton> readOnlyButton;
    QPointer<QLabel> encodingLabel;
    QPointer<QLabel> charactersCountLabel;
    QPointer<QLabel> lineColumnLabel;
    QPointer<QPushButton> insertOverwriteButton;
    QPointer<QLabel> dateLabel;
    QPointer<QLabel> timeLabel;
    QPointer<QLabel> loadProgressLabel;

    // ---- Actions: frame, files, editing, windows, view ----------------------
    QAction* newAct = nullptr;
    QAction* openAct = nullptr;
    QAction* openContainingDirectoryUsingSystemAppAct = nullptr;
    QAction* setCurrentTemplateReadOnlyAct = nullptr;
    QAction* openContainingDirectoryUsingSystemApp4TabWidgetAct = nullptr;
    QAction* recentFileActs[MaxRecentFiles] = {};
    QAction* emptyRecentFilesListAct = nullptr;
    QAction* saveAct = nullptr;
    QAction* saveAsAct = nullptr;
    QAction* saveAllAct = nullptr;
    QAction* printPreviewAct = nullptr;
    QAction* printAct = nullptr;
    QAction* filePrintDocAct = nullptr;
    QAction* filePrintDocxAct = nullptr;
    QAction* filePrintPdfAct = nullptr;
    QAction* filePrintOdtAct = nullptr;
    QAction* exitAct = nullptr;
    QAction* filePropertyAct = nullptr;
    QAction* undoAct = nullptr;
    QAction* redoAct = nullptr;
    QAction* cutAct = nullptr;
    QAction* copyAct = nullptr;
    QAction* pasteAct = nullptr;
    QAction* pasteAsPlainTextAct = nullptr;
    QAction* deleteSelectedTextAct = nullptr;
    QAction* selectAllAct = nullptr;
    QAction* setTextEditReadOnlyAct = nullptr;
    QAction* autoFormatAct = nullptr;
    QAction* preferencesAct = nullptr;
    QAction* preferencesExAct = nullptr;
    QAction* closeAct = nullptr;          // active sub-window
    QAction* closeAllAct = nullptr;       // all sub-windows
    QAction* closeOthersAct = nullptr;    // "关闭其它窗口"
    QAction* closeRightAct = nullptr;     // "关闭右侧窗口"
    QAction* closeTabAct = nullptr;       // bottom tab "关闭"
    QAction* closeAllTabsAct = nullptr;   // "关闭所有"
    QAction* closeOtherTabsAct = nullptr; // "关闭其它"
    QAction* closeRightTabsAct = nullptr; // "关闭右侧分页"
    QAction* tileAct = nullptr;
    QAction* cascadeAct = nullptr;
    QAction* nextAct = nullptr;
    QAction* previousAct = nullptr;
    QAction* separatorAct = nullptr; // the Window menu's separator
    QAction* findAct = nullptr;
    QAction* replaceAct = nullptr;
    QAction* findNextAct = nullptr;
    QAction* findPreviousAct = nullptr;
    QAction* encodingActs[EncodingActCount] = {};
    QAction* showSymbolActs[ShowSymbolActCount] = {};
    QAction* zoomActs[ZoomActCount] = {};
    QAction* lineWrapAct = nullptr;
    QAction* toggleToolBarActs[ToolBarCount] = {};
    QAction* toolBarIconSizeActs[ToolBarIconSizeActCount] = {};
    QAction* showStatusBarAct = nullptr;
    QAction* highlightCurrentLineAct = nullptr;
    QAction* highlightCurrentParagraphAct = nullptr;
    QAction* fullScreenAct = nullptr;
    QAction* gotoCharacterAct = nullptr;
    QAction* gotoLineAct = nullptr;
    QAction* skinActs[SkinCount] = {}; // by SkinId
    QAction* logOutputAct = nullptr;
    QAction* searchAct = nullptr;
    QAction* showSuperUserAdditionAct = nullptr;

    // Format menu and toolbar
    QAction* textBoldAct = nullptr;
    QAction* textItalicAct = nullptr;
    QAction* textUnderlineAct = nullptr;
    QAction* alignLeftAct = nullptr;
    QAction* alignCenterAct = nullptr;
    QAction* alignRightAct = nullptr;
    QAction* alignJustifyAct = nullptr;
    QAction* textColorAct = nullptr;
    QAction* toPlainTextAct = nullptr;  // "设为纯文本"
    QAction* removeFormatAct = nullptr; // "去除格式"
    QAction* endSpellingCheckAct = nullptr; // "结束校对"

    // "图灵" menu (no connection)
    QAction* wordEditAct = nullptr;
    QAction* grammarEditAct = nullptr;
    QAction* grammarCheckAct = nullptr;

    // Crash tests (created in super-user mode only)
    QAction* divisionByZeroAct = nullptr;
    QAction* segmentationFaultAct = nullptr;
    QAction* stackOverflowAct = nullptr;
    QAction* bufferOverflowAct = nullptr;
    QAction* memoryLeakAct = nullptr;
    QAction* abortFuncAct = nullptr;
    QAction* assertFalseAct = nullptr;
    QAction* throwExceptionAct = nullptr;
    QAction* freeUninitializedPointerAct = nullptr;
    QAction* deleteUninitializedPointerAct = nullptr;

    // Web browser commands (no menu)
    QAction* prevUrlAct = nullptr;
    QAction* nextUrlAct = nullptr;
    QAction* stopUrlAct = nullptr;
    QAction* reloadUrlAct = nullptr;
    QAction* homePageUrlAct = nullptr;
    QAction* newBookmarkUrlAct = nullptr;
    QAction* bookmarkListAct = nullptr;
    QAction* openContainingDirectoryUsingDirectoryDockAct = nullptr;

    // ---- Documents ----------------------------------------------------------
    QStringList changedFileQueue;
    QStringList changedTemplateQueue;
    // Paths whose reload question is on screen now (out of their queue already).
    QStringList fileChangesBeingAsked;
    QMutex changedFileQueueMutex;
    // The wall clock that auto-save reads; tests put a fixed time in its place.
    QDateTime (*autoSaveClock)() = &QDateTime::currentDateTime;
    // The editor that the format and export commands last worked on.
    MdiChild* currentMdiChild = nullptr;
    bool cursorTrackingEnabled = false; // set true by the constructor
    FindReplaceDialogEx* findReplaceDialog = nullptr;
    SearchDialog* searchDialog = nullptr;

    // ---- Templates ----------------------------------------------------------
    QList<TemplateDialog*> templateDialogs; // the open template pages
    // Missing templates (and tables that failed to open) that following text
    // back has reported once already.
    QSet<QString> missingTemplatesAsked;
    // A copy taken when the paragraph was copied: pasting never reaches the original.
    QSharedPointer<QTreeWidgetItem> copiedTemplateParagraph;
    DatabaseTemplateSelectionDialog* databaseTemplateSelectionDialog = nullptr;
    QAction* openTemplateAct = nullptr;
    QAction* recentTemplateActions[MaxRecentTemplates] = {};
    QAction* openDatabaseTemplateAct = nullptr;
    QAction* saveTemplateAct = nullptr;
    QAction* saveTemplateAsAct = nullptr;
    QAction* newTemplateAct = nullptr;
    QAction* textToTemplateAct = nullptr;
    QAction* utilitiesTemplateAct = nullptr;
    QAction* openAtomTemplateTOCAct = nullptr;
    // Template page context menus
    QAction* newTemplateParagraphAct = nullptr;
    QAction* newTemplateChildParagraphAct = nullptr;
    QAction* editTemplateParagraphAct = nullptr;
    QAction* editTemplateTitleAct = nullptr;
    QAction* removeTemplateParagraphAct = nullptr;
    QAction* copyTemplateParagraphAct = nullptr;
    QAction* pasteTemplateParagraphAct = nullptr;
    QAction* newTemplateContentAct = nullptr;
    QAction* copyTemplateContentAct = nullptr;
    QAction* pasteClipboardToTemplateContentAct = nullptr;
    QAction* editTemplateContentAct = nullptr;
    QAction* removeTemplateContentAct = nullptr;
    QAction* sortTemplateContentAct = nullptr;
    QAction* removeDuplicateTemplateContentAct = nullptr;

    // ---- Article generation -------------------------------------------------
    QString currentAutoGenTemplate;
    AutoGenInputDialog* autoGenInputDialog = nullptr;
    AutoGenInputDialog4Advertisement* autoGenInputDialog4Advertisement = nullptr;
    AutoGenInputDialog4AdvertisementSoft* autoGenInputDialog4AdvertisementSoft = nullptr;
    PoemConfigDialog* poemConfigDialog = nullptr;
    AutoGenNameDialog* autoGenNameDialog = nullptr;
    // Template walks
    QAction* autoGenAct = nullptr;
    QAction* autoGenFromCurrentItemAct = nullptr;
    QAction* autoGenAllAct = nullptr;
    // Story slots
    QAction* skeletonAct = nullptr;
    QAction* chapterAct = nullptr;
    QAction* accostAct = nullptr;
    QAction* conversationAct = nullptr;
    QAction* lovingAct = nullptr;
    QAction* figureAct = nullptr;
    QAction* storyAct = nullptr;
    QAction* warAct = nullptr;
    QAction* loveLetterAct = nullptr;
    QAction* poemAct = nullptr;
    QAction* characterDesignDummyAct = nullptr;
    QAction* storyDesignDummyAct = nullptr;
    // Genre actions (autoGenGeneric with the code shown)
    QAction* captionAct = nullptr;          // 4 "标题"
    QAction* beautyAct = nullptr;           // 5 "美女"
    QAction* boyAct = nullptr;              // 6 "帅哥"
    QAction* occupationAct = nullptr;       // 7 "职业"
    QAction* costumeAct = nullptr;          // 8 "装束"
    QAction* hobbyAct = nullptr;            // 9 "爱好"
    QAction* meritAct = nullptr;            // 10 "特长"
    QAction* propsAct = nullptr;            // 11 "道具"
    QAction* weaponAct = nullptr;           // 12 "兵器"
    QAction* petAct = nullptr;              // 13 "宠物"
    QAction* experienceAct = nullptr;       // 14 "经历"
    QAction* secretAct = nullptr;           // 15 "秘密"
    QAction* personalityAct = nullptr;      // 16 "个性"
    QAction* loverAct = nullptr;            // 17 "恋人"
    QAction* sickAct = nullptr;             // 18 "伤病"
    QAction* thoughtAct = nullptr;          // 19 "思想"
    QAction* desireAct = nullptr;           // 20 "愿望"
    QAction* misunderstandingAct = nullptr; // 21 "误会"
    QAction* opponentAct = nullptr;         // 22 "对手"
    QAction* supportingRoleAct = nullptr;   // 23 "配角"
    QAction* habitAct = nullptr;            // 24 "习惯"
    QAction* deathAct = nullptr;            // 25 "死亡"
    QAction* languageAct = nullptr;         // 26 "语言"
    QAction* inLoveAct = nullptr;           // 27 "恋爱"
    QAction* relationshipAct = nullptr;     // 28 "关系"
    QAction* landscapeAct = nullptr;        // 29 "景观"
    QAction* userDefinedAct = nullptr;      // 32 "自建"
    QAction* fightAct = nullptr;            // 33 "打斗"
    QAction* sceneAct = nullptr;            // 34 "场景"
    QAction* linesAct = nullptr;            // 35 "台词"
    QAction* coincidenceAct = nullptr;      // 36 "巧合"
    QAction* emotionAct = nullptr;          // 37 "情感"
    QAction* urbanRomanceAct = nullptr;     // 38 "都市言情"
    QAction* martialArtsAct = nullptr;      // 39 "武侠"
    QAction* adventureAct = nullptr;        // 40 "冒险"
    QAction* revengeAct = nullptr;          // 41 "复仇"
    QAction* romanceAct = nullptr;          // 42 "爱情"
    QAction* inspirationAct = nullptr;      // 43 "励志"
    QAction* businessWarAct = nullptr;      // 44 "商战"
    QAction* workplaceAct = nullptr;        // 45 "职场"
    QAction* suspenseAct = nullptr;         // 48 "悬疑"
    QAction* campusRomanceAct = nullptr;    // 49 "校园爱情"
    QAction* scienceFictionAct = nullptr;   // 50 "科幻"
    QAction* palaceIntrigueAct = nullptr;   // 51 "宫斗"
    QAction* fairyTaleAct = nullptr;        // 52 "童话"
    // Name actions (autoGenNameGeneric with the kind shown)
    QAction* manNameAct = nullptr;          // 58 "男名"
    QAction* womanNameAct = nullptr;        // 59 "女名"
    QAction* appellationAct = nullptr;      // 60 "称谓"
    QAction* placeNameAct = nullptr;        // 61 "地名"
    QAction* organizationNameAct = nullptr; // 62 "机构"
    QAction* mediaNameAct = nullptr;        // 63 "媒体"
    QAction* planetNameAct = nullptr;       // 64 "外星"
    // Advertisement actions (all advertisement())
    QAction* advertisementAct = nullptr; // "广告"
    QAction* advertorialAct = nullptr;   // "软文"
    QAction* clothingAct = nullptr;      // "服装"
    QAction* healthCareAct = nullptr;    // "保健"
    QAction* cosmetologyAct = nullptr;   // "美容"
    QAction* tourismAct = nullptr;       // "旅游"
    QAction* cateringAct = nullptr;      // "餐饮"
    QAction* foodAct = nullptr;          // "食品"
    // News and official documents
    QAction* newsAct = nullptr;
    QAction* worldNewsAct = nullptr;
    QAction* domesticNewsAct = nullptr;
    QAction* cultureNewsAct = nullptr;
    QAction* entertainmentNewsAct = nullptr;
    QAction* sportsNewsAct = nullptr;
    QAction* technologyNewsAct = nullptr;
    QAction* houseNewsAct = nullptr;
    QAction* carNewsAct = nullptr;
    QAction* politicsAct = nullptr;
    QAction* partyAffairsAct = nullptr;
    QAction* diplomacyAct = nullptr;
    QAction* industryAct = nullptr;
    QAction* economyAct = nullptr;
    QAction* agricultureAct = nullptr;
    QAction* cultureAct = nullptr;
    QAction* educationAct = nullptr;
    QAction* publicWelfareAct = nullptr;
    QAction* ethnicGroupsAct = nullptr;
    QAction* religionsAct = nullptr;
    QAction* disasterPreventionAct = nullptr;
    QAction* environmentalProtectionAct = nullptr;
    QAction* diaryAct = nullptr;
    QAction* proseAct = nullptr;
    QAction* letterAct = nullptr;

    // ---- Word databases and text analysis -----------------------------------
    Embellish* embellish = nullptr;
    // The marking and embellishing run (made by the first run); one at a time.
    EmbellishRun* embellishRun = nullptr;
    CharEvaluateDialog* charEvaluateDialog = nullptr;
    WordEvaluateDialog* wordEvaluateDialog = nullptr;
    WordCloudDialog* wordCloudDialog = nullptr;
    QAction* vulgarSensitiveWordHighlightAct = nullptr;
    QAction* internetSensitiveWordHighlightAct = nullptr;
    QAction* surnameSensitiveWordHighlightAct = nullptr;
    QAction* placeNameSensitiveWordHighlightAct = nullptr;
    QAction* englishCharHighlightAct = nullptr;
    QAction* numberHighlightAct = nullptr;
    QAction* quantifierHighlightAct = nullptr;
    QAction* polyphoneHighlightAct = nullptr;
    QAction* userDefinedCategoryHighlightAct = nullptr;
    QAction* idiomHighlightAct = nullptr;
    QAction* synonymEmbellishAct = nullptr;
    QAction* autoSpellingCorrectionAct = nullptr;
    QAction* adjectiveWordMarkAct = nullptr;
    QAction* sensitiveWordMarkAct = nullptr;
    QAction* spellingMarkAct = nullptr;
    QAction* miscSpellingCheckAct = nullptr;
    QAction* statisticsAct = nullptr;
    QAction* charFreqCounterForTextSelectionAct = nullptr;
    QAction* charFreqCounterForDirectoryAct = nullptr;
    QAction* jieBaWordFreqCounterForTextSelectionAct = nullptr;
    QAction* jieBaWordFreqCounterForDirectoryAct = nullptr;
    QAction* jieBaNotCutAllForTextSelectionAct = nullptr;
    QAction* jieBaPartOfSpeechTaggingForTextSelectionAct = nullptr;
    QAction* partOfSpeechHighlightAct = nullptr;
    QAction* wordCloudAct = nullptr;

    // ---- Account, updates and information ----------------------------------
    UpdateDialog* updateDialog = nullptr;
    PluginManager* pluginManager = nullptr;
    QAction* systemInformationAct = nullptr;
    QAction* bugReportAct = nullptr;
    QAction* userFeedbackAct = nullptr;
    QAction* recommendToAct = nullptr;
    QAction* aboutAct = nullptr;
    QAction* showReleaseNotesAct = nullptr;
    QAction* helpAct = nullptr;
    QAction* creditsAct = nullptr;
    QAction* aboutQtAct = nullptr;
    QAction* checkUpdateAct = nullptr;
    QAction* showPluginsManagerDialogAct = nullptr;
    QAction* showBuildSystemInformationAct = nullptr;
    QAction* loginAct = nullptr;                  // super-user mode only
    QAction* showAccountInformationAct = nullptr; // super-user mode only

private:
    // Construction steps
    void createActions();
    void createMenus();
    void createToolBars();
    void createDockWindows();
    // First start, until the user drags a dock's edge: the workbench dock as
    // high as eight hits of the search in files need, the editor keeping at
    // least half the window.
    void fitFirstStartDock();
    bool fitMainDock = false;
    void extendViewMenu();
    void addDateTimeLabels(QStatusBar* bar);
    void discardStatusBar();
    void readAutoSaveIntervals();
    // The active editor, with the editor status bar rebuilt when another bar is shown.
    MdiChild* editorForStatusBar();
    // Takes a bottom page out (a template page is destroyed); false when the user keeps it.
    bool removeBottomPage(int index, bool askForTemplates);
    void recomputeTemplateModified();
    void createEditorStatusBar();
    void createBrowserStatusBar();
    void createSearchDialog();
    MdiChild* createMdiChild();
    void createDeferredStartUpDialogs();
    // The find and replace dialog on one of its tabs, the selection as the text to find.
    void showFindReplaceDialog(MdiChild* child, int tab);
    // Begun once, at the turn after the window's first paint.
    void startDeferredStartUp();
    // The files named on the command line, or one new document.
    void openStartUpDocuments();
    // The part of the deferred start-up the user does not see.
    void finishDeferredStartUp();
    void finishDeferredStartUpOnce();
    bool deferredStartUpStarted = false;
    // Every argument of the command line has been handled.
    bool startUpDocumentsOpened = false;
    bool deferredStartUpFinished = false;
    // Puts the action of the atom template under the cursor on the window, so that its key works.
    void placeAtomTemplateUnderCursorAction();
};

// The one main window, reachable from every part of the program; null when none exists.
extern MainWindow* mainWindow;

class QFileSystemWatcher;

// Resource folder of the platform icon set, ":/Images/Windows" once a window is built.
extern QString imageFolder;
// Some open template has unsaved changes.
extern bool templateModified;
