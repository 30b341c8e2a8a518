#include "gui/HelpLauncher.h"

#include "gui/CommandIds.h"
#include "gui/UiServices.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

namespace help {

namespace {

QString g_overrideDir;

} // namespace

QString pageForContext(int context) {
    switch (context) {
    case res::HELP_CONTEXT_LINK:
        return QStringLiteral("link-dialog.html");
    case res::HELP_CONTEXT_GROUP:
        return QStringLiteral("group-dialog.html");
    case res::HELP_CONTEXT_COLORS:
        return QStringLiteral("colors-dialog.html");
    default:
        return QStringLiteral("index.html");
    }
}

void setHelpDirectory(const QString& dir) {
    g_overrideDir = dir;
}

QString helpDirectory() {
    if (!g_overrideDir.isEmpty())
        return g_overrideDir;
    const QString appDir = QCoreApplication::applicationDirPath();
    const QStringList candidates = {
        appDir + QStringLiteral("/help"),
        appDir + QStringLiteral("/../share/linkfold/help"),
    };
    for (const QString& dir : candidates)
        if (QFileInfo::exists(dir + QStringLiteral("/index.html")))
            return QDir::cleanPath(dir);
    return {};
}

bool launchHelp(QWidget* parent, int context) {
    const QString dir = helpDirectory();
    const QString page =
        dir.isEmpty() ? QString() : dir + QLatin1Char('/') + pageForContext(context);
    if (page.isEmpty() || !QFileInfo(page).isFile() ||
        !UiServices::instance().openInBrowser(page)) {
        showError(parent, QStringLiteral("Failed to launch help."));
        return false;
    }
    return true;
}

} // namespace help
