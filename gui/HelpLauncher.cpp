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
    if (file.isEmpty() || !QFileInfo(file).isFile()) {
        showError(parent, QCoreApplication::translate("help", "The help pages were not found."));
        return false;
    }
    // A browser that could not be started has been reported.
    return UiServices::instance().openInBrowser(file);
}

} // namespace help
