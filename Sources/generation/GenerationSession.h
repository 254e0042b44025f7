#pragma once
// What the generation runs of one command share: every template and atom file
// is read and parsed once (a batch of a thousand files reads each file once),
// the engine's progress dialog is made once, and a run that stopped expanding
// atoms at the nesting or splice limit is reported once, when the session ends.
//
// A session is a scope object on the GUI thread. While one lives, every run
// uses it; a run outside any session makes its own for the length of the run.
// Files that change while a session lives are not read again.

#include <QCoreApplication>
#include <QHash>
#include <QPointer>
#include <QString>
#include <QWidget>

#include <memory>

class DomParser;
class QProgressDialog;

class GenerationSession
{
    Q_DECLARE_TR_FUNCTIONS(GenerationSession)

public:
    // parent: the window of the progress dialog and the message boxes (may be null).
    explicit GenerationSession(QWidget* parent);
    ~GenerationSession();

    GenerationSession(const GenerationSession&) = delete;
    GenerationSession& operator=(const GenerationSession&) = delete;

    // The innermost live session, or null.
    static GenerationSession* current();

    // The loaded template of a path (tree built without a tree), or null when it
    // is missing or malformed; a failure is tried again on the next call.
    DomParser* parser(const QString& path);

    // The engine's progress dialog: made and shown on first use.
    QProgressDialog* progressDialog();

    // Atom expansion stopped at a limit somewhere in this session.
    void noteLimitReached(const QString& marker);
    bool limitReached() const { return !m_limitMarkers.isEmpty(); }

    QWidget* parentWidget() const { return m_parent; }

private:
    QPointer<QWidget> m_parent;
    GenerationSession* m_outer;
    QHash<QString, std::shared_ptr<DomParser>> m_parsers;
    QPointer<QProgressDialog> m_progress;
    QStringList m_limitMarkers;
};
