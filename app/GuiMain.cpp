#include "app/GuiMain.h"

#include "linkfold_version.h"

#include "app/Application.h"
#include "gui/Resources.h"

#include <QApplication>
#include <QIcon>

#include <iostream>

int runGui(int argc, char** argv, const CommandLineOptions& info) {
    // Neither switch needs a display: they work from a terminal or over ssh.
    if (info.m_command == CommandLineOptions::DdeRequest)
        return 0;
    if (info.m_command == CommandLineOptions::Unregister) {
        QCoreApplication core(argc, argv);
        initLinkfoldResources();
        return Application::unregister({}, std::cerr);
    }
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
