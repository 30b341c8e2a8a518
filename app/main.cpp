// Linkfold: the command line decides between the headless page generator and
// the editor. The generator never creates a GUI application object.
#include "app/CommandLine.h"
#include "app/HeadlessGenerate.h"

#include <iostream>
#include <string>
#include <vector>

#ifdef LINKFOLD_GUI
#include "app/GuiMain.h"
#endif

int main(int argc, char** argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    const CCommandLineInfo info = ParseCommandLine(args);
    switch (info.m_nShellCommand) {
    case CCommandLineInfo::Generate:
        return RunHeadlessGenerate(info.m_strFileName, info.m_strPageName, std::cerr);
    case CCommandLineInfo::ShowHelp:
        std::cout << CommandLineUsage();
        return 0;
    case CCommandLineInfo::Invalid:
        std::cerr << info.m_strError << '\n' << CommandLineUsage();
        return 2;
    default:
        break;
    }
#ifdef LINKFOLD_GUI
    return RunGui(argc, argv, info);
#else
    std::cerr << "This build has no editor; use --generate.\n";
    return 2;
#endif
}
