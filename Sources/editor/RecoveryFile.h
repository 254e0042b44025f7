#pragma once
// The copy that the automatic save keeps of an untitled document: one file per
// document, rewritten in place, kept with the program's own data where a
// clean-up of the temporary folder cannot take it.

#include <QString>

class RecoveryFile
{
public:
    // Writes a document's raw text into *fileName, which is first reserved in
    // the recovery folder when it is empty. A copy that loses characters is no
    // copy: text the encoding cannot hold is written as UTF-8 instead.
    static bool write(QString* fileName, const QString& raw, const QString& encoding, bool withBom);
};
