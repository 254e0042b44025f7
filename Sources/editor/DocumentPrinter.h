#pragma once
// Prints a rich-text document on a printer the way the toolkit prints a
// document without a page size of its own: laid out afresh at the printer's
// resolution on its page, 2 cm margins, the page number at the foot of each
// page. The toolkit lays the whole document out at once, in fixed-point
// coordinates that overflow at 33,554,431 device pixels (about 2,450 A4 pages
// at 1200 dpi): a longer document comes out as one empty page, or as a few of
// its pages. Here the document is laid out in pieces that each stay far from
// that limit.
// Each piece begins where a page of the whole would begin: with the line at
// the top of that page, which the piece lays out at the top of its first page
// exactly as the whole document would, so the pages are the ones the toolkit
// gives a short document.
//
// A piece can begin only with a paragraph of the document's own flow: not
// inside a table or frame, nor inside a numbered list, whose numbers would
// start again. A table or numbered list too tall for one piece cannot be
// paginated; then nothing is printed and print() says so.

#include <QCoreApplication>
#include <QString>

#include <memory>
#include <vector>

class QPainter;
class QPrinter;
class QTextBlock;
class QTextDocument;

class DocumentPrinter
{
    Q_DECLARE_TR_FUNCTIONS(DocumentPrinter)

public:
    enum Result {
        Printed,
        TooTall,  // a part that cannot be split is taller than a piece: nothing printed
        NoPainter // the printer could not be started
    };

    // document must outlive the printer and stay unchanged while it prints.
    explicit DocumentPrinter(const QTextDocument* document);
    ~DocumentPrinter();

    // Lays the document out on printer's pages and paints those of the
    // printer's page range. The painting starts only when the whole document
    // has been paginated.
    Result print(QPrinter* printer);
    // Pages of the last print, whether painted or not.
    int pageCount() const { return m_pageCount; }
    // What the user is told when the result was TooTall.
    static QString tooTallText();

    // Height in device pixels that one piece aims at; a piece is never more than
    // eight times as tall. Tests make it small to cut short documents into pieces.
    static int pieceHeight();
    static void setPieceHeight(int pixels);

private:
    struct Piece;
    struct Cut;
    struct Page;
    bool paginate(QPrinter* printer);
    int pieceEnd(int from, int characters, int blocks) const;
    std::unique_ptr<QTextDocument> makePiece(QPrinter* printer, int from, int to) const;
    void beginPage(QTextDocument* piece, const QTextBlock& source, int from) const;
    Cut lastCut(const QTextDocument* piece, int from, int first) const;
    static int pageOf(const QTextDocument* piece, int position);
    void addPages(std::unique_ptr<QTextDocument> piece, int first, int last);
    bool canStartAt(int position) const;
    void findNumberedLists();
    bool paint(QPrinter* printer);
    void paintPage(QPainter* painter, const QTextDocument* piece, int page, int number) const;

    const QTextDocument* const m_document;
    std::unique_ptr<Page> m_page;
    std::vector<Piece> m_pieces;
    std::vector<std::pair<int, int>> m_numberedLists; // [first item, end of last item)
    int m_pageCount = 0;
};
