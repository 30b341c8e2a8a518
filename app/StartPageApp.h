#pragma once

#include "app/CommandLine.h"
#include "app/RecentFileList.h"
#include "model/IniFile.h"
#include "model/LFDoc.h"

#include <QObject>
#include <QString>

#include <memory>

class CDocManager;
class CMainFrame;
class QSessionManager;

// The application object: reads the settings file, registers the file type,
// carries out the command line with the one document and main window, and
// writes the settings back as the program ends.
class CStartPageApp : public QObject {
    Q_OBJECT
public:
    struct Options {
        QString iniPath;  // empty: $XDG_CONFIG_HOME/linkfold.ini
        QString dataHome; // empty: $XDG_DATA_HOME or ~/.local/share
        QString program;  // empty: this program's path
    };

    CStartPageApp();
    explicit CStartPageApp(Options options);
    ~CStartPageApp() override;

    // Start-up. Returns whether the program goes on to its event loop; when
    // it does not, ExitCode() is the status to end with.
    bool InitInstance(const CCommandLineInfo& info);
    // As the program ends: the form's layout, the recent files and
    // "PreviewPages" go to the settings file (not after Unregister).
    void ExitInstance();
    int ExitCode() const { return m_nExitCode; }

    CLFDoc& GetDocument() { return m_doc; }
    CDocManager& GetDocManager() { return *m_pDocManager; }
    CMainFrame* GetMainFrame() const { return m_pMainFrame.get(); }
    CRecentFileList& GetRecentFileList() { return m_recentFiles; }
    CIniFile& GetProfile() { return m_profile; }
    int GetPreviewPages() const { return m_nPreviewPages; }

private:
    void LoadStdProfileSettings();
    void SaveStdProfileSettings();
    bool Unregister();
    void CreateMainFrame();
    void OnCommitDataRequest(QSessionManager& manager);

    Options m_options;
    CIniFile m_profile;
    CRecentFileList m_recentFiles{4};
    int m_nPreviewPages = 0;
    CLFDoc m_doc;
    std::unique_ptr<CDocManager> m_pDocManager;
    std::unique_ptr<CMainFrame> m_pMainFrame;
    bool m_bUnregistered = false;
    bool m_bExited = false;
    int m_nExitCode = 0;
};

inline constexpr const char* kUnregisterDone =
    "System registry entries have been removed and the INI file (if any) was deleted.";
inline constexpr const char* kUnregisterFailed =
    "Not all of the system registry entries (or INI file) were removed.";
