#include "app/StartPageApp.h"

#include "app/DocManager.h"
#include "app/MainFrame.h"
#include "app/Resources.h"
#include "app/ShellRegistration.h"
#include "app/UiServices.h"
#include "editor/LFView.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QSessionManager>

namespace {

const char* const kSettingsSection = "Settings";
const char* const kPreviewPages = "PreviewPages";

QString FromLocal(const std::string& s) {
    return QFile::decodeName(QByteArray::fromStdString(s));
}

} // namespace

CStartPageApp::CStartPageApp() : CStartPageApp(Options{}) {}

CStartPageApp::CStartPageApp(Options options) : m_options(std::move(options)) {
    InitLinkfoldResources();
    if (m_options.iniPath.isEmpty())
        m_options.iniPath = FromLocal(DefaultIniPath());
    if (m_options.dataHome.isEmpty())
        m_options.dataHome = CShellRegistration::DefaultDataHome();
    if (m_options.program.isEmpty())
        m_options.program = QCoreApplication::applicationFilePath();
    m_profile.SetPath(QFile::encodeName(m_options.iniPath).toStdString());
    m_pDocManager = std::make_unique<CDocManager>(m_doc, m_recentFiles);
}

CStartPageApp::~CStartPageApp() {
    // The window and its form go before the document they show.
    m_pMainFrame.reset();
}

void CStartPageApp::LoadStdProfileSettings() {
    m_recentFiles.ReadList(m_profile);
    m_nPreviewPages = m_profile.GetInt(kSettingsSection, kPreviewPages, 0);
}

void CStartPageApp::SaveStdProfileSettings() {
    m_recentFiles.WriteList(m_profile);
    if (m_nPreviewPages != 0)
        m_profile.SetInt(kSettingsSection, kPreviewPages, m_nPreviewPages);
}

void CStartPageApp::CreateMainFrame() {
    m_pMainFrame = std::make_unique<CMainFrame>(*m_pDocManager);
    m_pMainFrame->GetView()->LoadLayout(m_profile);
}

bool CStartPageApp::Unregister() {
    bool ok = CShellRegistration(m_options.dataHome, m_options.program).Unregister();
    QFileInfo ini(m_options.iniPath);
    if ((ini.exists() || ini.isSymLink()) && !QFile::remove(m_options.iniPath))
        ok = false;
    return ok;
}

bool CStartPageApp::InitInstance(const CCommandLineInfo& info) {
    m_profile.Load();
    LoadStdProfileSettings();

    if (info.m_nShellCommand == CCommandLineInfo::AppUnregister) {
        m_bUnregistered = true;
        const bool ok = Unregister();
        CUiServices::Instance().MessageBox(
            nullptr, QLatin1String(ok ? kUnregisterDone : kUnregisterFailed),
            ok ? QMessageBox::Information : QMessageBox::Warning, QMessageBox::Ok);
        m_nExitCode = ok ? 0 : 1;
        return false;
    }

    // The file type is written at every start; failures are not reported.
    CShellRegistration(m_options.dataHome, m_options.program).Register();

#if QT_CONFIG(sessionmanager)
    if (auto* gui = qobject_cast<QGuiApplication*>(QCoreApplication::instance()))
        connect(gui, &QGuiApplication::commitDataRequest, this,
                &CStartPageApp::OnCommitDataRequest);
#endif

    switch (info.m_nShellCommand) {
    case CCommandLineInfo::FileDDE:
        // No shell conversation exists here to wait for: nothing to do.
        m_nExitCode = 0;
        return false;
    case CCommandLineInfo::FileOpen:
    case CCommandLineInfo::FilePrint:
    case CCommandLineInfo::FilePrintTo: {
        CreateMainFrame();
        if (!m_pDocManager->OpenDocumentFile(QFile::decodeName(info.m_strFileName.c_str()))) {
            // The message has been shown; the window never appears.
            m_nExitCode = 1;
            return false;
        }
        if (info.m_nShellCommand != CCommandLineInfo::FileOpen) {
            // Printing: the project was opened hidden and nothing prints.
            m_nExitCode = 0;
            return false;
        }
        break;
    }
    default:
        CreateMainFrame();
        m_pDocManager->NewDocument();
        break;
    }
    m_pMainFrame->show();
    return true;
}

void CStartPageApp::ExitInstance() {
    if (m_bExited)
        return;
    m_bExited = true;
    if (m_bUnregistered)
        return;
    if (m_pMainFrame)
        m_pMainFrame->GetView()->SaveLayout(m_profile);
    SaveStdProfileSettings();
    m_profile.Save(); // a settings file that cannot be written is not reported
}

void CStartPageApp::OnCommitDataRequest(QSessionManager& manager) {
    if (!manager.allowsInteraction())
        return;
    const bool go = m_pDocManager->SaveModified();
    manager.release();
    if (!go)
        manager.cancel();
}
