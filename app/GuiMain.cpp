#include "app/GuiMain.h"

#include <QApplication>
#include <QMainWindow>

int RunGui(int argc, char** argv, const CCommandLineInfo& info) {
    (void)info;
    QApplication app(argc, argv);
    QMainWindow w;
    w.setWindowTitle("Untitled - Linkfold");
    w.show();
    return app.exec();
}
