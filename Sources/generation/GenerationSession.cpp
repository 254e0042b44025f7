#include "GenerationSession.h"

#include <QDebug>
#include <QMessageBox>
#include <QProgressDialog>

#include "DomParser.h"
#include "Prompt.h"

namespace {
GenerationSession* innermost = nullptr;
}

GenerationSession::GenerationSession(QWidget* parent)
    : m_parent(parent), m_outer(innermost)
{
    qDebug() << Q_FUNC_INFO;
    innermost = this;
}

GenerationSession::~GenerationSession()
{
    qDebug() << Q_FUNC_INFO << ", files =" << m_parsers.size();
    innermost = m_outer;
    delete m_progress.data();
    if (limitReached()) {
        m_limitMarkers.removeDuplicates();
        QMessageBox box(QMessageBox::Warning, tr("警告"),
                        tr("原子模板嵌套过深或互相引用，以下标记未再展开，已按原文保留: %1")
                            .arg(m_limitMarkers.mid(0, 10).join(QStringLiteral(", "))),
                        QMessageBox::Ok, m_parent);
        Prompt::current().exec(box);
    }
}

GenerationSession* GenerationSession::current()
{
    return innermost;
}

DomParser* GenerationSession::parser(const QString& path)
{
    const auto found = m_parsers.constFind(path);
    if (found != m_parsers.constEnd())
        return found->get();
    auto parser = std::make_shared<DomParser>();
    if (!parser->readFile(path))
        return nullptr;
    parser->buildTree();
    m_parsers.insert(path, parser);
    return parser.get();
}

QProgressDialog* GenerationSession::progressDialog()
{
    if (!m_progress) {
        m_progress = new QProgressDialog(m_parent);
        m_progress->setAutoClose(false);
        m_progress->setAutoReset(false);
        m_progress->show();
    }
    return m_progress;
}

void GenerationSession::noteLimitReached(const QString& marker)
{
    if (m_limitMarkers.size() < 1000)
        m_limitMarkers << marker;
}
