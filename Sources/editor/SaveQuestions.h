#pragma once
// The questions a document asks before its text is written or given up: save,
// discard or cancel a modified document; which encoding to save in when the
// current one cannot hold every character; whether to write over a file whose
// undecodable bytes were read as replacement characters.

#include <QString>

class QWidget;

class SaveQuestions
{
public:
    // Answers of askSaveDiscardCancel, in the order the buttons are added
    // (a message box reports a custom button by its index).
    enum SaveAnswer { AnswerCancel = 0, AnswerSave = 1, AnswerDiscard = 2 };

    // "'name' was modified, save it?"; one of SaveAnswer.
    static int askSaveDiscardCancel(QWidget* parent, const QString& name);
    // The character at index of text cannot be held by encoding: GB18030 or
    // UTF-8, as the user chose; a null string when cancelled.
    static QString askEncodableEncoding(QWidget* parent, const QString& encoding, const QString& text, int index);
    // Whether fileName, read with bytes that do not fit encoding, may be written over.
    static bool confirmLossySave(QWidget* parent, const QString& fileName, const QString& encoding);
};
