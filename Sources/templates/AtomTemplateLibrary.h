#pragma once
// Where the atom templates live and which names may name one. An atom
// reference "[name]" stands for the template file "Templates/Atom/<name>.tqw";
// the index "原子模板库.tqw" lists every atom as one content "[name]".

#include <QCoreApplication>
#include <QString>
#include <QStringList>

class AtomTemplateLibrary
{
    Q_DECLARE_TR_FUNCTIONS(AtomTemplateLibrary)

public:
    static QString indexFile();     // "./Templates/Atom/原子模板库.tqw"
    static QString utilitiesFile(); // "./Templates/Atom/常用工具.tqw"
    // "./Templates/Atom/" + name + ".tqw".
    static QString atomFile(const QString& name);

    // A name taken from text may name a file of the atom folder only: it is
    // not empty and holds no "/", "\" or "..".
    static bool isSafeName(const QString& name);
    // isSafeName, and a warning box naming the refused name when it is not.
    static bool checkName(const QString& name);
    // The name after the first ": " of a command's text ("打开原子模板: 季节"); empty without one.
    static QString nameFromActionText(const QString& text);

    // The atom names the word marking looks for: "[形容…", "[描写…", "[指代…" and "…语境]".
    static bool isMarkerName(const QString& reference);
    // Adds to markers the marker names among the index's contents that it
    // does not hold yet, in index order. False, markers untouched, when the
    // index cannot be read.
    static bool preloadMarkers(const QString& indexFileName, QStringList& markers);
};
