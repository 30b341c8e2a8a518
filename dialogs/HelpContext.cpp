#include "dialogs/HelpContext.h"

#include "app/CommandIds.h"
#include "app/UiServices.h"

#include <QCoreApplication>
#include <QDir>
#include <QString>

QString HelpContextPage(int context) {
    const char* page = "index";
    switch (context) {
    case res::HELP_CONTEXT_LINK:
        page = "link_properties";
        break;
    case res::HELP_CONTEXT_GROUP:
        page = "group_properties";
        break;
    case res::HELP_CONTEXT_COLORS:
        page = "colors";
        break;
    default:
        break;
    }
    return QDir(QCoreApplication::applicationDirPath())
        .filePath(QStringLiteral("help/%1.html").arg(QLatin1String(page)));
}

void OpenHelpContext(int context, QWidget* parent) {
    if (!CUiServices::Instance().OpenInBrowser(HelpContextPage(context)))
        ShowError(parent, QStringLiteral("Failed to launch help."));
}
