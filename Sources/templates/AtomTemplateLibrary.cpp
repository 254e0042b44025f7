#include "AtomTemplateLibrary.h"

#include <QCoreApplication>
#include <QDebug>
#include <QMessageBox>
#include <QDomElement>
#include <QDomNodeList>
#include <QSet>

#include "DomParser.h"
#include "Prompt.h"

QString AtomTemplateLibrary::indexFile()
{
    return QStringLiteral("./Templates/Atom/原子模板库.tqw");
}

QString AtomTemplateLibrary::utilitiesFile()
{
    return QStringLiteral("./Templates/Atom/常用工具.tqw");
}

QString AtomTemplateLibrary::atomFile(const QString& name)
{
    return QStringLiteral("./Templates/Atom/") + name + QStringLiteral(".tqw");
}

bool AtomTemplateLibrary::isSafeName(const QString& name)
{
    return !name.isEmpty() && !name.contains(QLatin1Char('/')) && !name.contains(QLatin1Char('\\'))
        && !name.contains(QLatin1String(".."));
}

bool AtomTemplateLibrary::checkName(const QString& name)
{
    if (isSafeName(name))
        return true;
    QMessageBox box(QMessageBox::Warning, QCoreApplication::translate("MainWindow", "错误"),
                    QCoreApplication::translate("MainWindow", "原子模板名不能含有 \"/\"、\"\\\" 或 \"..\": ") + name,
                    QMessageBox::Ok);
    Prompt::current().exec(box);
    return false;
}

QString AtomTemplateLibrary::nameFromActionText(const QString& text)
{
    const int at = text.indexOf(QLatin1String(": "));
    return at < 0 ? QString() : text.mid(at + 2);
}

bool AtomTemplateLibrary::isMarkerName(const QString& reference)
{
    return reference.startsWith(QStringLiteral("[形容")) || reference.startsWith(QStringLiteral("[描写"))
        || reference.startsWith(QStringLiteral("[指代")) || reference.endsWith(QStringLiteral("语境]"));
}

bool AtomTemplateLibrary::preloadMarkers(const QString& indexFileName, QStringList& markers)
{
    qDebug() << Q_FUNC_INFO << ", indexFileName =" << indexFileName;
    DomParser parser;
    if (!parser.readFile(indexFileName)) {
        qWarning() << "Cannot read the atom index:" << indexFileName << parser.errorString();
        return false;
    }
    QSet<QString> known(markers.cbegin(), markers.cend());
    const QDomNodeList contents = parser.document().elementsByTagName(QStringLiteral("content"));
    for (int i = 0; i < contents.size(); ++i) {
        const QString text = contents.at(i).toElement().text();
        if (isMarkerName(text) && !known.contains(text)) {
            known.insert(text);
            markers << text;
        }
    }
    qDebug() << "Atom template markers:" << markers.size();
    return true;
}
