#pragma once
// The maker's web server: its site root (set when the build is configured,
// never with a trailing slash) and the fixed paths under it, plus the two
// support mail addresses. Every address is the site root followed directly by
// one of these paths.

#include <QString>

namespace MakerSite {

// JSON interface of the web account.
constexpr const char API_PATH[] = "/api/";
constexpr const char API_INFO_PATH[] = "/api/info/";
constexpr const char API_NONCE_PATH[] = "/api/get_nonce/?controller=core&method=get_nonce";
// Pages only shown or opened in the browser.
constexpr const char LOGIN_PAGE_PATH[] = "/wordpress-4.6.1/wp-login.php";
constexpr const char REGISTER_PAGE_PATH[] = "/wordpress-4.6.1/wp-login.php?action=register";
constexpr const char LOST_PASSWORD_PAGE_PATH[] = "/wordpress-4.6.1/wp-login.php?action=lostpassword";
constexpr const char HELP_PAGE_PATH[] = "/帮助和文档/";
// Where the update hints send the user for a new version.
constexpr const char DOWNLOAD_PAGE_PATH[] = "/下载/";
// The update folder with the newest version file and the installer's address.
constexpr const char LATEST_VERSION_FOLDER[] = "Tarnquill_Latest_Version";
constexpr const char LATEST_VERSION_FILE_PATH[] = "/Tarnquill_Latest_Version/Version_Tarnquill_Veldmark.ini";
constexpr const char INSTALLER_URL_FILE_PATH[] = "/Tarnquill_Latest_Version/URL_Tarnquill_Veldmark.txt";

// The site root, e.g. "https://tarnquill.example.invalid".
QString siteRoot();
// The site root followed by a path that begins with "/".
QString address(const char* path);

// Points every address at another server (tests use a loopback server); an
// empty root puts the configured one back. Trailing slashes are dropped.
void setSiteRoot(const QString& root);

// Bug reports go to the first address with the second in copy; feedback goes
// to the second and the first, with the first in copy.
QString firstSupportAddress();
QString secondSupportAddress();

} // namespace MakerSite
