#include "OutputDialogEx.h"

#include <QFontDatabase>
#include <QTextEdit>
#include <QVBoxLayout>

OutputDialogEx::OutputDialogEx(QWidget* parent)
    : QDialog(parent)
    , m_textEdit(new QTextEdit(this))
{
    setWindowTitle(tr("输出"));
    m_textEdit->setObjectName(QStringLiteral("outputTextEdit"));
    m_textEdit->setReadOnly(true);
    m_textEdit->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_textEdit);
}

void OutputDialogEx::appendLog(const QString& html)
{
    m_textEdit->append(html);
}

void OutputDialogEx::clearOutput()
{
    m_textEdit->clear();
}

void OutputDialogEx::reject()
{
}
