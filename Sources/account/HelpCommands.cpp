#include "HelpCommands.h"

#include <QDebug>
#include <QFile>
#include <QMessageBox>
#include <QPixmap>
#include <QPushButton>

#include "MakerSite.h"
#include "Prompt.h"

namespace {

QString productName()
{
    return QCoreApplication::translate("HelpCommands", "塔泉笔维德马克");
}

QPixmap logo(int edge)
{
    return QPixmap(QStringLiteral(":/Images/LogoVeldmark.png"))
        .scaled(edge, edge, Qt::KeepAspectRatio, Qt::SmoothTransformation);
}

QMessageBox* showInformationBox(QWidget* parent, const QString& objectName, const QString& title,
                                const QString& text, int logoEdge)
{
    auto* box = new QMessageBox(parent);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->setObjectName(objectName);
    box->setWindowTitle(title);
    box->setIconPixmap(logo(logoEdge));
    box->setTextFormat(Qt::RichText);
    box->setText(text);
    box->setStandardButtons(QMessageBox::Close);
    box->show();
    return box;
}

// "mailto:" + recipients + "?cc=" + copy + "&subject=" + subject + "&body=" + body,
// with the subject and body percent-encoded so that line feeds, quotes and "&"
// reach the mail program as written.
QUrl mailUrl(const QString& recipients, const QString& copy, const QString& subject, const QString& body)
{
    const QString text = QStringLiteral("mailto:") + recipients + QStringLiteral("?cc=") + copy
                         + QStringLiteral("&subject=") + QString::fromLatin1(QUrl::toPercentEncoding(subject))
                         + QStringLiteral("&body=") + QString::fromLatin1(QUrl::toPercentEncoding(body));
    return QUrl(text, QUrl::TolerantMode);
}

} // namespace

QMessageBox* HelpCommands::showAbout(QWidget* parent, const QString& version, const QString& date)
{
    const QString text = QStringLiteral("<p>") + tr("软件名称: ") + QStringLiteral("<b>") + productName()
                         + QStringLiteral("</b> </p>") + QStringLiteral("<p>") + tr("软件版本: ")
                         + version.trimmed().toHtmlEscaped() + QStringLiteral("</p>") + QStringLiteral("<p>")
                         + tr("日期: ") + date.trimmed().toHtmlEscaped() + QStringLiteral("</p>");
    QMessageBox* box = showInformationBox(parent, QStringLiteral("About"), tr("关于") + productName(), text, 64);
    box->button(QMessageBox::Close)->setText(tr("关闭"));
    return box;
}

QMessageBox* HelpCommands::showCredits(QWidget* parent)
{
    const QString text = QStringLiteral("<p>") + tr("软件名称: ") + QStringLiteral("<b>") + productName()
                         + QStringLiteral("</b> </p>");
    return showInformationBox(parent, QStringLiteral("Credits"), tr("关于") + productName() + tr("作者"), text, 96);
}

QUrl HelpCommands::helpUrl()
{
    return QUrl(MakerSite::address(MakerSite::HELP_PAGE_PATH), QUrl::TolerantMode);
}

bool HelpCommands::confirmBugReport(QWidget* parent)
{
    QMessageBox box(QMessageBox::Information, tr("给\"塔泉笔\"开发团队提bug"), tr("发送邮件描述bug的具体信息"),
                    QMessageBox::Ok | QMessageBox::Cancel, parent);
    return Prompt::current().exec(box) == QMessageBox::Ok;
}

QUrl HelpCommands::bugReportUrl()
{
    return mailUrl(MakerSite::firstSupportAddress(), MakerSite::secondSupportAddress(), tr("\"塔泉笔\"bug汇报"),
                   tr("\n操作系统版本: ") + tr("\n软件版本: ") + tr("\n重现bug的具体步骤: ") + tr("\n出现bug时的截图: ")
                       + tr("\n其他说明: "));
}

QUrl HelpCommands::userFeedbackUrl()
{
    return mailUrl(MakerSite::secondSupportAddress() + QLatin1Char(';') + MakerSite::firstSupportAddress(),
                   MakerSite::firstSupportAddress(), tr("塔泉笔写作软件用户反馈信息"),
                   tr("操作系统类型及版本:") + tr("\n塔泉笔版本:\n")
                       + tr("\n我有以下几点建议，希望对塔泉笔写作软件的未来有帮助和借鉴:"));
}

QUrl HelpCommands::recommendationUrl()
{
    return mailUrl(QString(), QString(), tr("向你推荐一个好用的软件: 塔泉笔写作软件."),
                   tr("希望你也成为塔泉笔用户群的一员."));
}

bool HelpCommands::readReleaseNotes(const QString& fileName, QString& newest, QString& whole)
{
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return false;
    newest.clear();
    while (!file.atEnd()) {
        const QByteArray line = file.readLine();
        if (line.startsWith("----"))
            break;
        newest += QString::fromUtf8(line);
    }
    file.seek(0);
    whole = QString::fromUtf8(file.readAll());
    return true;
}

void HelpCommands::showReleaseNotes()
{
    QString newest;
    QString whole;
    if (!readReleaseNotes(QLatin1String(RELEASE_NOTES_FILE_NAME), newest, whole)) {
        qCritical().noquote() << "Failed to open release notes file:" << RELEASE_NOTES_FILE_NAME;
        return;
    }
    QMessageBox box(QMessageBox::Information, productName() + tr("更新记录"), newest, QMessageBox::Close);
    box.setObjectName(QStringLiteral("ReleaseNotes"));
    box.setTextFormat(Qt::PlainText);
    box.setDetailedText(whole);
    Prompt::current().exec(box);
}
