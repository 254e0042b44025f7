#include "MakerSite.h"

#include "ProgramBuildConfig.h"

namespace {
QString overriddenSiteRoot;
}

namespace MakerSite {

QString siteRoot()
{
    return overriddenSiteRoot.isEmpty() ? QStringLiteral(TQ_SITE_ROOT) : overriddenSiteRoot;
}

QString address(const char* path)
{
    return siteRoot() + QString::fromUtf8(path);
}

void setSiteRoot(const QString& root)
{
    QString trimmed = root;
    while (trimmed.endsWith(QLatin1Char('/')))
        trimmed.chop(1);
    overriddenSiteRoot = trimmed;
}

QString firstSupportAddress()
{
    return QStringLiteral(TQ_SUPPORT_MAIL_FIRST);
}

QString secondSupportAddress()
{
    return QStringLiteral(TQ_SUPPORT_MAIL_SECOND);
}

} // namespace MakerSite
