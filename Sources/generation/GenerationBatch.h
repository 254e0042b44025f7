#pragma once
// A batch of generated texts: numbered files "<base>0000.txt", "<base>0001.txt"
// ... in a folder that is new or empty (hidden files do not count). The folder
// is made when missing; a folder holding files, or a base name holding a path
// separator, is refused with a message. Files are only ever created, never
// overwritten: the first file that cannot be made stops the batch, and says so.

#include <QCoreApplication>
#include <QString>

#include <functional>

#include "GenerationEngine.h"

class QWidget;

class GenerationBatch
{
    Q_DECLARE_TR_FUNCTIONS(GenerationBatch)

public:
    GenerationBatch(const QString& directory, const QString& baseName, int count, QWidget* parent);

    // Checks the base name, makes the folder and checks that it is empty; shows
    // the refusal and returns false when the batch cannot go there.
    bool prepare();
    // Generates the files in order until the count or the first failure; returns
    // the number written. generate makes one file and reports how it went.
    int run(const std::function<GenerationEngine::Outcome(const QString& file)>& generate);
    // Shows the folder with the desktop's file manager.
    void openDirectory() const;

    // directory/base + the number with at least four digits + ".txt".
    static QString fileName(const QString& directory, const QString& baseName, int number);

private:
    QString m_directory;
    QString m_baseName;
    int m_count;
    QWidget* m_parent;
};
