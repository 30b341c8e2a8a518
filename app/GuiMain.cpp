#include "app/GuiMain.h"

#include "app/Resources.h"
#include "app/StartPageApp.h"

#include <QApplication>
#include <QIcon>

int RunGui(int argc, char** argv, const CCommandLineInfo& info) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Linkfold"));
    QApplication::setApplicationVersion(QStringLiteral("1.0"));
    QGuiApplication::setDesktopFileName(QStringLiteral("linkfold"));
    InitLinkfoldResources();
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/icons/linkfold.svg")));

    CStartPageApp theApp;
    if (!theApp.InitInstance(info)) {
        theApp.ExitInstance();
        return theApp.ExitCode();
    }
    const int status = app.exec();
    theApp.ExitInstance();
    return status;
}
