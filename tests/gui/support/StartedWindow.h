#pragma once

#include "app/Application.h"
#include "app/MainWindow.h"
#include "core/CommandLineOptions.h"
#include "core/Project.h"
#include "editor/LinkListView.h"
#include "editor/ProjectForm.h"
#include "support/FakeUiServices.h"

#include <QAction>
#include <QApplication>
#include <QTemporaryDir>
#include <QTest>

// The application started on a new project with settings in a temporary
// folder, its main window active and the link list focused, the fake UI
// services installed. Keys go where the window system would send them.
struct StartedWindow {
    QTemporaryDir home;
    FakeUiServices ui;
    Application app{{home.filePath(QStringLiteral("linkfold.ini")), home.path(), {}}};
    MainWindow* frame = nullptr;
    ProjectForm* form = nullptr;
    LinkListView* list = nullptr;

    StartedWindow() {
        CommandLineOptions info;
        info.command = CommandLineOptions::NewProject;
        if (!app.start(info))
            qFatal("start failed");
        frame = app.mainWindow();
        form = frame->form();
        list = form->linkList();
        frame->activateWindow();
        if (!QTest::qWaitForWindowActive(frame))
            qWarning("window not active");
        list->setFocus();
        QCoreApplication::processEvents();
    }
    ~StartedWindow() {
        // No save question at the end.
        app.project().setModified(false);
        app.finish();
    }
    StartedWindow(const StartedWindow&) = delete;
    StartedWindow& operator=(const StartedWindow&) = delete;

    QAction* action(const char* name) const { return frame->action(QLatin1String(name)); }
    // The widget keys go to, as the window system would send them.
    QWidget* keyTarget() const {
        if (QWidget* popup = QApplication::activePopupWidget())
            return popup;
        return QApplication::focusWidget() ? QApplication::focusWidget() : frame;
    }
    void key(Qt::Key k, Qt::KeyboardModifiers mods = Qt::NoModifier) {
        QTest::keyClick(keyTarget(), k, mods);
        QCoreApplication::processEvents();
    }
};
