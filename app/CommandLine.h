#pragma once

#include <string>
#include <vector>

// What the command line asks for.
struct CCommandLineInfo {
    enum Command {
        FileNew,       // no file name
        FileOpen,      // one file name
        FilePrint,     // "/p" or "-p" with a file name
        FilePrintTo,   // "/pt" with file, printer, driver, port
        FileDDE,       // "/dde"
        AppUnregister, // "Unregister" / "Unregserver", any case
        Generate,      // "--generate PROJECT PAGE"
        ShowHelp,      // "--help" / "-h"
        Invalid,       // unusable arguments; m_strError says why
    };

    Command m_nShellCommand = FileNew;
    std::string m_strFileName;
    std::string m_strPrinterName;
    std::string m_strDriverName;
    std::string m_strPortName;
    std::string m_strPageName; // --generate output
    std::string m_strError;
};

// Parses the arguments after the program name. An argument is a switch when
// it starts with "-", or when it is "/" followed by exactly one of the known
// switch names; everything else (absolute paths included) is a file name.
CCommandLineInfo ParseCommandLine(const std::vector<std::string>& args);

// Usage text for --help.
std::string CommandLineUsage();
