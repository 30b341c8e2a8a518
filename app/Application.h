#pragma once

#include "app/RecentFileList.h"
#include "core/CommandLineOptions.h"
#include "core/Project.h"
#include "core/SettingsFile.h"
#include "editor/ProjectDocument.h"

#include <QObject>
#include <QString>

#include <iosfwd>
#include <memory>

class ProjectFileController;
class MainWindow;
class QSessionManager;

// The application object: reads the settings file, registers the file type,
// carries out the command line with the one document and main window, and
// writes the settings back as the program ends.
class Application : public QObject {
    Q_OBJECT
public:
    struct Options {
        QString iniPath;  // empty: $XDG_CONFIG_HOME/linkfold.ini
        QString dataHome; // empty: $XDG_DATA_HOME or ~/.local/share
        QString program;  // empty: this program's path
    };

    Application();
    explicit Application(Options options);
    ~Application() override;

    // Start-up. Returns whether the program goes on to its event loop; when
    // it does not, exitCode() is the status to end with.
    bool start(const CommandLineOptions& info);
    // As the program ends: the form's layout, the recent files and
    // "PreviewPages" go to the settings file (not after unregisterFileTypes).
    void finish();
    int exitCode() const { return m_exitCode; }

    // /Unregister where no display can show a message: removes the
    // registration and the settings file and reports on err. Needs only a
    // QCoreApplication. Returns the exit status.
    static int unregisterFromTerminal(std::ostream& err);

    Project& project() { return m_document.project(); }
    ProjectDocument& document() { return m_document; }
    ProjectFileController& fileController() { return *m_fileController; }
    MainWindow* mainWindow() const { return m_mainWindow.get(); }
    RecentFileList& recentFiles() { return m_recentFiles; }
    SettingsFile& settings() { return m_profile; }
    int previewPages() const { return m_previewPages; }

private:
    void loadSettings();
    // False when the file on disk is too large to have been read.
    bool saveSettings();
    bool unregisterFileTypes();
    void createMainWindow();
    // Shows the main window where the settings file last had it.
    void showMainWindow();
    void saveWindowPlace();
    void onCommitDataRequest(QSessionManager& manager);

    Options m_options;
    SettingsFile m_profile;
    RecentFileList m_recentFiles{4};
    int m_previewPages = 0;
    ProjectDocument m_document;
    std::unique_ptr<ProjectFileController> m_fileController;
    std::unique_ptr<MainWindow> m_mainWindow;
    bool m_touchNothing = false; // /dde and /Unregister leave the settings file alone
    bool m_exited = false;
    bool m_windowShown = false;
    int m_exitCode = 0;
};

inline constexpr const char* kUnregisterDone =
    "The file type registration has been removed and the settings file (if any) was deleted.";
inline constexpr const char* kUnregisterFailed =
    "Not all of the file type registration (or the settings file) could be removed.";
