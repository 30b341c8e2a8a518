#include "gui/HelpLauncher.h"

#include "gui/UiServices.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

namespace help {

namespace {

QString g_overrideDir;

} // namespace

QString pageFileName(Page page) {
    switch (page) {
    case Page::LinkDialog:
        return QStringLiteral("link-dialog.html");
    case Page::GroupDialog:
        return QStringLiteral("group-dialog.html");
    case Page::ColorsDialog:
        return QStringLiteral("colors-dialog.html");
    case Page::PageStyleDialog:
        return QStringLiteral("page-style.html");
    case Page::Bookmarks:
        return QStringLiteral("bookmarks-links.html");
    case Page::LinkCheck:
        return QStringLiteral("link-check.html");
    case Page::Contents:
        break;
    }
    return QStringLiteral("index.html");
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

bool launchHelp(QWidget* parent, Page page) {
    const QString dir = helpDirectory();
    const QString file = dir.isEmpty() ? QString() : dir + QLatin1Char('/') + pageFileName(page);
    if (file.isEmpty() || !QFileInfo(file).isFile() ||
        !UiServices::instance().openInBrowser(file)) {
        showError(parent, QStringLiteral("Failed to launch help."));
        return false;
    }
    return true;
}

} // namespace help
