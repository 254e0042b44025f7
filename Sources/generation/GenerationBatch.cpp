#include "GenerationBatch.h"

#include <QDebug>
#include <QDir>
#include <QMessageBox>
#include <QUrl>

#include "Prompt.h"

GenerationBatch::GenerationBatch(const QString& directory, const QString& baseName, int count, QWidget* parent)
    : m_directory(directory), m_baseName(baseName), m_count(count), m_parent(parent)
{
}

QString GenerationBatch::fileName(const QString& directory, const QString& baseName, int number)
{
    return directory + QLatin1Char('/') + baseName + QStringLiteral("%1").arg(number, 4, 10, QLatin1Char('0'))
           + QStringLiteral(".txt");
}

bool GenerationBatch::prepare()
{
    qDebug() << Q_FUNC_INFO << ", directory =" << m_directory << ", baseName =" << m_baseName;
    if (m_baseName.contains(QLatin1Char('/')) || m_baseName.contains(QLatin1Char('\\'))) {
        QMessageBox box(QMessageBox::Warning, tr("警告"),
                        tr("文件名不能包含“/”或“\\”，请输入不带目录的文件名。"), QMessageBox::Ok, m_parent);
        Prompt::current().exec(box);
        return false;
    }
    QDir directory(m_directory);
    if (!directory.exists()) {
        QDir().mkpath(m_directory);
        return true;
    }
    // Hidden entries are not listed: a folder holding only those counts as empty.
    if (!directory.entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::System).isEmpty()) {
        QMessageBox box(QMessageBox::NoIcon, QString(),
                        tr("请选择空目录，或输入不存在的目录，系统会自动为您创建。"), QMessageBox::Ok);
        Prompt::current().exec(box);
        return false;
    }
    return true;
}

int GenerationBatch::run(const std::function<GenerationEngine::Outcome(const QString&)>& generate)
{
    qDebug() << Q_FUNC_INFO << ", count =" << m_count;
    int written = 0;
    for (int k = 0; k < m_count; ++k) {
        const QString file = fileName(m_directory, m_baseName, k);
        const GenerationEngine::Outcome outcome = generate(file);
        if (outcome == GenerationEngine::Generated) {
            ++written;
            continue;
        }
        if (outcome == GenerationEngine::FileFailed) {
            QMessageBox box(QMessageBox::Warning, tr("错误"),
                            tr("无法创建文件 %1 (文件已存在，或目录不可写)。批量生成已停止，已生成 %2 个文件。")
                                .arg(QDir::toNativeSeparators(file))
                                .arg(written),
                            QMessageBox::Ok, m_parent);
            Prompt::current().exec(box);
        }
        break;
    }
    return written;
}

void GenerationBatch::openDirectory() const
{
    qDebug() << Q_FUNC_INFO << ", directory =" << m_directory;
    Prompt::current().openUrl(QUrl::fromLocalFile(QDir(m_directory).absolutePath()));
}
