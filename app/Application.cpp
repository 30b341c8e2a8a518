#include "app/Application.h"

#include "app/DesktopIntegration.h"
#include "app/MainWindow.h"
#include "app/ProjectFileController.h"
#include "editor/ProjectForm.h"
#include "gui/QtText.h"
#include "gui/Resources.h"
#include "gui/UiServices.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QRect>
#include <QScreen>
#include <QSessionManager>

#include <algorithm>

namespace {

const char* const kSettingsSection = "Settings";
const char* const kPreviewPages = "PreviewPages";
// The main window's place, written only once it differs from the first
// start's (the classic size where the window system puts it).
const char* const kWindowSection = "Window";

// The terminal's texts (Application.h), as the translations know them.
[[maybe_unused]] const char* const kUnregisterTexts[] = {
    QT_TRANSLATE_NOOP("Application", "The file type registration has been removed and the "
                                     "settings file (if any) was deleted."),
    QT_TRANSLATE_NOOP("Application", "Not all of the file type registration (or the settings "
                                     "file) could be removed.")};

} // namespace

Application::Application() : Application(Options{}) {}

Application::Application(Options options) : m_options(std::move(options)) {
    initLinkfoldResources();
    if (m_options.iniPath.isEmpty())
        m_options.iniPath = fromFileNameBytes(defaultIniPath());
    if (m_options.dataHome.isEmpty())
        m_options.dataHome = DesktopIntegration::defaultDataHome();
    if (m_options.program.isEmpty())
        m_options.program = QCoreApplication::applicationFilePath();
    m_profile.setPath(toFileNameBytes(m_options.iniPath));
    m_fileController = std::make_unique<ProjectFileController>(m_document.project(), m_recentFiles);
}

Application::~Application() {
    // The window and its form go before the document they show.
    m_mainWindow.reset();
}

void Application::loadSettings() {
    m_recentFiles.readList(m_profile);
    m_previewPages = m_profile.intValue(kSettingsSection, kPreviewPages, 0);
}

bool Application::saveSettings() {
    // Another copy of the program may have ended since this one started:
    // keep the files it added to the list.
    SettingsFile onDisk(m_profile.path());
    if (!onDisk.load())
        return false; // what is there now is no settings file to replace

    RecentFileList theirs(m_recentFiles.size());
    theirs.readList(onDisk);
    RecentFileList atStart(m_recentFiles.size());
    atStart.readList(m_profile);
    m_recentFiles.mergeNewer(theirs, atStart);
    m_recentFiles.writeList(m_profile);
    if (m_previewPages != 0)
        m_profile.setIntValue(kSettingsSection, kPreviewPages, m_previewPages);
    return true;
}

void Application::showMainWindow() {
    MainWindow& window = *m_mainWindow;
    m_windowShown = true;
    const int width = m_profile.intValue(kWindowSection, "Width", 0);
    const int height = m_profile.intValue(kWindowSection, "Height", 0);
    if (width <= 0 || height <= 0) {
        window.show();
        return;
    }
    window.show(); // fits the classic size, which is the least
    const QRect screen = window.screen() ? window.screen()->availableGeometry() : QRect();
    QRect place(m_profile.intValue(kWindowSection, "Left", window.x()),
                m_profile.intValue(kWindowSection, "Top", window.y()),
                std::max(width, window.minimumWidth()), std::max(height, window.minimumHeight()));
    // A place on a screen that is no longer there comes back onto this one.
    if (!screen.isEmpty() && !screen.intersects(place))
        place.moveTopLeft(screen.topLeft());
    window.setGeometry(place);
    if (m_profile.intValue(kWindowSection, "Maximized", 0) == 1)
        window.showMaximized();
}

void Application::saveWindowPlace() {
    const MainWindow& window = *m_mainWindow;
    const QRect place = window.normalGeometry();
    const bool classic = !window.isMaximized() && window.size() == window.minimumSize();
    if (classic && m_profile.intValue(kWindowSection, "Width", 0) == 0)
        return;
    m_profile.setIntValue(kWindowSection, "Left", place.x());
    m_profile.setIntValue(kWindowSection, "Top", place.y());
    m_profile.setIntValue(kWindowSection, "Width", place.width());
    m_profile.setIntValue(kWindowSection, "Height", place.height());
    m_profile.setIntValue(kWindowSection, "Maximized", window.isMaximized() ? 1 : 0);
}

void Application::createMainWindow() {
    m_mainWindow = std::make_unique<MainWindow>(m_document, *m_fileController);
    m_mainWindow->form()->loadLayout(m_profile);
}

int Application::unregisterFromTerminal(std::ostream& err) {
    Application app;
    const bool ok = app.unregisterFileTypes();
    err << (ok ? kUnregisterDone : kUnregisterFailed) << '\n';
    return ok ? 0 : 1;
}

bool Application::unregisterFileTypes() {
    bool ok = DesktopIntegration(m_options.dataHome, m_options.program).unregisterFileTypes();
    QFileInfo ini(m_options.iniPath);
    if ((ini.exists() || ini.isSymLink()) && !QFile::remove(m_options.iniPath))
        ok = false;
    return ok;
}

bool Application::start(const CommandLineOptions& info) {
    if (info.command == CommandLineOptions::DdeRequest) {
        // No shell conversation exists here to wait for: end at once and
        // leave the settings file and the registration as they are.
        m_touchNothing = true;
        m_exitCode = 0;
        return false;
    }
    const bool settingsRead = m_profile.load();
    loadSettings();

    if (info.command == CommandLineOptions::Unregister) {
        m_touchNothing = true;
        const bool ok = unregisterFileTypes();
        UiServices::instance().messageBox(nullptr, tr(ok ? kUnregisterDone : kUnregisterFailed),
                                          ok ? QMessageBox::Information : QMessageBox::Warning,
                                          QMessageBox::Ok);
        m_exitCode = ok ? 0 : 1;
        return false;
    }

    if (!settingsRead)
        UiServices::instance().messageBox(
            nullptr,
            tr("%1 is larger than %L2 MB, too large to be this program's settings "
               "file. It was not read and will be left as it is; the program "
               "starts with its default settings.")
                .arg(m_options.iniPath)
                .arg(SettingsFile::kMaxSize >> 20),
            QMessageBox::Warning, QMessageBox::Ok);

    // The file type is written at every start; failures are not reported.
    DesktopIntegration(m_options.dataHome, m_options.program).registerFileTypes();

#if QT_CONFIG(sessionmanager)
    if (auto* gui = qobject_cast<QGuiApplication*>(QCoreApplication::instance()))
        connect(gui, &QGuiApplication::commitDataRequest, this, &Application::onCommitDataRequest);
#endif

    switch (info.command) {
    case CommandLineOptions::OpenProject:
    case CommandLineOptions::PrintProject:
    case CommandLineOptions::PrintProjectTo: {
        createMainWindow();
        // The name stays the bytes the system gave: it need not be UTF-8.
        if (!m_fileController->openLocalFile(info.fileName)) {
            // The message has been shown; the window never appears.
            m_exitCode = 1;
            return false;
        }
        if (info.command != CommandLineOptions::OpenProject) {
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
    showMainWindow();
    return true;
}

void Application::finish() {
    if (m_exited)
        return;
    m_exited = true;
    if (m_touchNothing)
        return;
    if (m_mainWindow) {
        m_mainWindow->form()->saveLayout(m_profile);
        if (m_windowShown)
            saveWindowPlace();
    }
    // A settings file that cannot be written is not reported; one too large
    // to have been read is left as it is.
    if (saveSettings())
        m_profile.save();
}

void Application::onCommitDataRequest(QSessionManager& manager) {
    if (!manager.allowsInteraction())
        return;
    const bool go = m_fileController->maybeSave();
    manager.release();
    if (!go)
        manager.cancel();
}
