#include "app/GuiMain.h"

#include "linkfold_version.h"

#include "app/Application.h"
#include "gui/Resources.h"
#include "gui/Translations.h"

#include <QApplication>
#include <QIcon>

#include <cstdlib>
#include <iostream>

namespace {

// Whether a window could be shown: a display to connect to, or a platform
// plugin chosen by name (such as the offscreen one).
bool canShowWindows() {
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"}) {
        const char* value = std::getenv(name);
        if (value && *value)
            return true;
    }
    return false;
}

} // namespace

int runGui(int argc, char** argv, const CommandLineOptions& info) {
    if (info.command == CommandLineOptions::DdeRequest)
        return 0; // nothing to do, and nothing is touched
    if (info.command == CommandLineOptions::Unregister && !canShowWindows()) {
        QCoreApplication core(argc, argv);
        return Application::unregisterFromTerminal(std::cerr);
    }
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Linkfold"));
    QApplication::setApplicationVersion(QStringLiteral(LINKFOLD_VERSION));
    QGuiApplication::setDesktopFileName(QStringLiteral("linkfold"));
    initLinkfoldResources();
    // The windows speak the user's language; the verbs above stay English.
    translations::installForEnvironment(app);
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
