#pragma once
// One editor document: the widget of one sub-window of the document area. Its
// file (plain text in a detected or chosen encoding, the program's rich-text
// ".tqd" files and, in super-user mode, a coloured view of the program's log
// files) is read and written by DocumentFile, its layout on long paragraphs and
// tall documents kept usable by LayoutGuard, typing over marks sorted out by
// MarkTyping and its pop-up lists run by WordPopup.

#include <QColor>
#include <QPoint>
#include <QPointer>
#include <QRectF>
#include <QString>
#include <QStringList>
#include <QTextEdit>
#include <QTextFormat>

#include <memory>

#include "WordPopup.h"

class ContextListWidget;
class DocumentFile;
class DocumentHost;
class LayoutGuard;
class QAction;
class QListWidgetItem;
class VeldmarkHighlighter;

// Editor state shared by every document for the life of the process.
extern int zoomLevel;                         // 1 at start; -1, 0 and 1 mean no zoom
extern const int zoomStep;                    // points per zoom command step
extern bool highlightCurrentLineEnabled;
extern bool highlightCurrentParagraphEnabled;
extern int currentTemplateType;               // TemplateType of the word list last chosen, 0 none

class MdiChild : public QTextEdit
{
    Q_OBJECT
public:
    // The window may be null (a document on its own); then only this document zooms
    // and the main window's hooks are skipped.
    explicit MdiChild(DocumentHost* host = nullptr, QWidget* parent = nullptr);
    ~MdiChild() override;

    void newFile();
    // Reads fileName; enc forces an encoding, a null string detects it.
    // On failure a box says why and the document is left as it was.
    bool loadFile(const QString& fileName, const QString& enc = QString());
    // Reads the file again in another encoding; a modified document asks first.
    bool reloadWithEncoding(const QString& enc);
    void setEncoding(const QString& enc);

    int save(bool askName);
    int saveAs();
    int saveFile(const QString& fileName, bool temp);
    bool maybeSave();

    void setCurrentFile(const QString& fileName);
    static QString strippedName(const QString& fullFileName);
    QString userFriendlyCurrentFile() const;
    QString currentFile() const { return curFile; }

    // Editor behaviour
    void setShowSymbol(bool show);
    void setEditorFont();
    void setLineSpacing();
    // The block format that carries the configured line spacing.
    static QTextBlockFormat lineSpacingFormat();
    void autoFormat();
    // Switches wrapping at the widget's width on or off. Coming back from no
    // wrapping, the page takes the widget's width first: laid out with wrapping
    // at no width, every character would get a line of its own.
    void setWrapping(bool wrap);
    // Scrolls the text cursor's line into view, also far down a document that
    // is still being laid out.
    void showCursor();
    // Zoom by the wheel and the zoom commands: the font grows or shrinks by points
    // (never below one point), and resetZoom takes back exactly what was applied.
    void zoomBy(int points);
    void resetZoom();
    void resetHighlighter();
    void toggleHighlighter();
    static bool isTqLogFile(const QString& text);
    static QString str2LogStr(const QString& text);

    // The bracketed atom-template name around position pos of text, or a null
    // string. Brackets pair as a minimal "\[.*\]" match does (a match may span lines).
    static QString atomReferenceAt(const QString& text, int pos);
    // The current-line and current-paragraph colours derived from a base colour.
    static QColor paragraphHighlightColor(const QColor& base);
    static QColor lineHighlightColor(const QColor& base);

    // Where the last automatic save of an untitled document went (empty before).
    QString recoveryFileName() const;

    // The file held bytes the encoding could not read; the next save over it asks first.
    bool loadedLossily() const;
    // The file on disk is still the one last loaded or saved: same size, time and
    // content (a change of its permissions alone leaves it the same).
    bool fileUnchangedOnDisk() const;

    bool isUntitled = true;
    QString curFile;
    QString encoding = QStringLiteral("GB18030");
    // Plain text is written with a byte-order mark (UTF-8 and UTF-16 only); a load
    // keeps whether the file had one.
    bool writeBom = true;
    AtomExpansion expandedSpan;
    QString anchor;
    QString tryAnchor;
    ContextListWidget* listWidget = nullptr;
    VeldmarkHighlighter* highlighter = nullptr;

signals:
    void encodingChanged(const QString& encoding);

public slots:
    void itemActivated(QListWidgetItem* item, QAction* senderAct = nullptr);
    void magicLamp(const QString& word = QString(), const QPoint& pos = QPoint());
    void newWordList(const QString& word = QString(), const QPoint& pos = QPoint());
    void pasteFromClipboardHistory();
    void changeBackground(const QString& colorFileName);
    void documentWasModified();
    void highlightCurrentLineAndParagraph();
    void reloadFilePath(QString path);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void inputMethodEvent(QInputMethodEvent* event) override;
    void insertFromMimeData(const QMimeData* source) override;
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void trackModifications(bool on);
    void showSubWindowIcon(bool modified);
    void fillPlainText(const QString& text);
    // The pop-up lists work on this document's list widget and anchors.
    friend class WordPopup;
    std::unique_ptr<WordPopup> popups;
    // The file fills the document and follows its modified state.
    friend class DocumentFile;
    std::unique_ptr<DocumentFile> file;

    // The window holding this document (null when made on its own).
    DocumentHost* owner = nullptr;
    QPointer<QObject> ownerObject;
    DocumentHost* host() const;
    // The holding window, else the current host.
    DocumentHost* anyHost() const;
    qreal zoomedPoints = 0; // what zoomBy has added to the font size
    int iconState = -1; // which sub-window icon is showing: -1 none yet, 0 saved, 1 modified
    LayoutGuard* layoutGuard = nullptr;
    // What the full-width highlights of the cursor's line and paragraph paint,
    // in document coordinates: the line's natural height, which with a fixed
    // line spacing reaches into the next line.
    QRectF highlightBand() const;
    void repaintBand(const QRectF& band);
    QRectF highlightedBand; // painted last
};
