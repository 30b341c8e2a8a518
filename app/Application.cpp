#include "app/Application.h"

#include "app/DesktopIntegration.h"
#include "app/MainWindow.h"
#include "app/ProjectFileController.h"
#include "editor/ProjectForm.h"
#include "gui/Resources.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QSessionManager>

#include <iostream>

namespace {

const char* const kSettingsSection = "Settings";
const char* const kPreviewPages = "PreviewPages";

QString fromLocal(const std::string& s) {
    return QFile::decodeName(QByteArray::fromStdString(s));
}

} // namespace

Application::Application() : Application(Options{}) {}

void Application::fillDefaults(Options& options) {
    if (options.iniPath.isEmpty())
        options.iniPath = fromLocal(defaultIniPath());
    if (options.dataHome.isEmpty())
        options.dataHome = DesktopIntegration::defaultDataHome();
    if (options.program.isEmpty())
        options.program = QCoreApplication::applicationFilePath();
}

Application::Application(Options options) : m_options(std::move(options)) {
    initLinkfoldResources();
    fillDefaults(m_options);
    m_profile.setPath(QFile::encodeName(m_options.iniPath).toStdString());
    m_fileController = std::make_unique<ProjectFileController>(m_doc, m_recentFiles);
}

Application::~Application() {
    // The window and its form go before the document they show.
    m_mainWindow.reset();
}

void Application::loadSettings() {
    m_recentFiles.readList(m_profile);
    m_previewPages = m_profile.intValue(kSettingsSection, kPreviewPages, 0);
}

void Application::saveSettings() {
    // Another copy of the program may have ended since this one started:
    // keep the files it added to the list.
    SettingsFile onDisk(m_profile.path());
    onDisk.load();
    RecentFileList theirs(m_recentFiles.size());
    theirs.readList(onDisk);
    RecentFileList atStart(m_recentFiles.size());
    atStart.readList(m_profile);
    m_recentFiles.mergeNewer(theirs, atStart);
    m_recentFiles.writeList(m_profile);
    if (m_previewPages != 0)
        m_profile.setIntValue(kSettingsSection, kPreviewPages, m_previewPages);
}

void Application::createMainWindow() {
    m_mainWindow = std::make_unique<MainWindow>(*m_fileController);
    m_mainWindow->form()->loadLayout(m_profile);
}

int Application::unregister(Options options, std::ostream& err) {
    Application::fillDefaults(options);
    bool ok = DesktopIntegration(options.dataHome, options.program).unregisterFileTypes();
    QFileInfo ini(options.iniPath);
    if ((ini.exists() || ini.isSymLink()) && !QFile::remove(options.iniPath))
        ok = false;
    err << (ok ? kUnregisterDone : kUnregisterFailed) << '\n';
    return ok ? 0 : 1;
}

bool Application::start(const CommandLineOptions& info) {
    if (info.m_command == CommandLineOptions::DdeRequest ||
        info.m_command == CommandLineOptions::Unregister) {
        // No shell conversation exists here to wait for: /dde touches
        // nothing. Unregistering reports where it was asked, on the terminal.
        m_writesNoSettings = true;
        m_exitCode =
            info.m_command == CommandLineOptions::Unregister ? unregister(m_options, std::cerr) : 0;
        return false;
    }

    m_profile.load();
    loadSettings();

    // The file type is written at every start; failures are not reported.
    DesktopIntegration(m_options.dataHome, m_options.program).registerFileTypes();

#if QT_CONFIG(sessionmanager)
    if (auto* gui = qobject_cast<QGuiApplication*>(QCoreApplication::instance()))
        connect(gui, &QGuiApplication::commitDataRequest, this, &Application::onCommitDataRequest);
#endif

    switch (info.m_command) {
    case CommandLineOptions::OpenProject:
    case CommandLineOptions::PrintProject:
    case CommandLineOptions::PrintProjectTo: {
        createMainWindow();
        // The name stays the bytes the system gave: it need not be UTF-8.
        if (!m_fileController->openLocalFile(info.m_fileName)) {
            // The message has been shown; the window never appears.
            m_exitCode = 1;
            return false;
        }
        if (info.m_command != CommandLineOptions::OpenProject) {
            // Printing: the project was opened hidden and nothing prints.
            m_exitCode = 0;
            return false;
        }
        break;
    }
    default:
        createMainWindow();
        m_fileController->resetToUntitled();
        break;
    }
    m_mainWindow->show();
    return true;
}

void Application::finish() {
    if (m_exited)
        return;
    m_exited = true;
    if (m_writesNoSettings)
        return;
    if (m_mainWindow)
        m_mainWindow->form()->saveLayout(m_profile);
    saveSettings();
    m_profile.save(); // a settings file that cannot be written is not reported
}

void Application::onCommitDataRequest(QSessionManager& manager) {
    if (!manager.allowsInteraction())
        return;
    const bool go = m_fileController->maybeSave();
    manager.release();
    if (!go)
        manager.cancel();
}
