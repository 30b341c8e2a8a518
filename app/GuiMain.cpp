#include "app/GuiMain.h"

#include "linkfold_version.h"

#include "app/Application.h"
#include "gui/Resources.h"

#include <QApplication>
#include <QIcon>

int runGui(int argc, char** argv, const CommandLineOptions& info) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Linkfold"));
    QApplication::setApplicationVersion(QStringLiteral(LINKFOLD_VERSION));
    QGuiApplication::setDesktopFileName(QStringLiteral("linkfold"));
    initLinkfoldResources();
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/icons/linkfold.svg")));

    Application theApp;
    if (!theApp.start(info)) {
        theApp.finish();
        return theApp.exitCode();
    }
    const int status = app.exec();
    theApp.finish();
    return status;
}
