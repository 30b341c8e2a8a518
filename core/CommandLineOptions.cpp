#include "core/CommandLineOptions.h"

#include "linkfold_version.h"

#include <algorithm>
#include <cctype>

namespace {

std::string asciiLower(std::string s) {
    std::transform(s.begin(), s.end(), s.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return s;
}

bool isSwitchName(const std::string& name) {
    std::string l = asciiLower(name);
    return name == "p" || name == "pt" || name == "dde" || l == "unregister" || l == "unregserver";
}

} // namespace

CommandLineOptions parseCommandLine(const std::vector<std::string>& args) {
    CommandLineOptions info;
    std::vector<std::string> files;
    bool printTo = false;
    bool print = false;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        std::string name;
        if (arg.size() > 1 && arg[0] == '-') {
            name = arg.substr(arg.size() > 2 && arg[1] == '-' ? 2 : 1);
        } else if (arg.size() > 1 && arg[0] == '/' && isSwitchName(arg.substr(1))) {
            name = arg.substr(1);
        } else {
            files.push_back(arg);
            continue;
        }
        std::string lower = asciiLower(name);
        if (name == "generate") {
            if (i + 2 >= args.size()) {
                info.m_shellCommand = CommandLineOptions::Invalid;
                info.m_error = "--generate needs a project file and a page file.";
                return info;
            }
            info.m_shellCommand = CommandLineOptions::Generate;
            info.m_fileName = args[i + 1];
            info.m_pageName = args[i + 2];
            return info;
        } else if (name == "help" || name == "h") {
            info.m_shellCommand = CommandLineOptions::ShowHelp;
            return info;
        } else if (name == "version") {
            info.m_shellCommand = CommandLineOptions::ShowVersion;
            return info;
        } else if (name == "p") {
            print = true;
        } else if (name == "pt") {
            printTo = true;
        } else if (name == "dde") {
            info.m_shellCommand = CommandLineOptions::FileDDE;
        } else if (lower == "unregister" || lower == "unregserver") {
            info.m_shellCommand = CommandLineOptions::AppUnregister;
        } else {
            info.m_shellCommand = CommandLineOptions::Invalid;
            info.m_error = "Unknown option: " + arg;
            return info;
        }
    }
    if (info.m_shellCommand == CommandLineOptions::AppUnregister ||
        info.m_shellCommand == CommandLineOptions::FileDDE)
        return info;
    if (!files.empty())
        info.m_fileName = files[0];
    if (printTo) {
        info.m_shellCommand = CommandLineOptions::FilePrintTo;
        if (files.size() > 1)
            info.m_printerName = files[1];
        if (files.size() > 2)
            info.m_driverName = files[2];
        if (files.size() > 3)
            info.m_portName = files[3];
    } else if (print) {
        info.m_shellCommand = CommandLineOptions::FilePrint;
    } else if (!files.empty()) {
        info.m_shellCommand = CommandLineOptions::FileOpen;
    }
    return info;
}

std::string commandLineUsage() {
    return "Usage: linkfold [PROJECT.lfp]\n"
           "       linkfold --generate PROJECT.lfp PAGE.htm\n"
           "       linkfold /p PROJECT.lfp | /pt PROJECT.lfp PRINTER DRIVER PORT\n"
           "       linkfold /dde | -Unregister | /Unregister\n"
           "       linkfold --help | --version\n"
           "\n"
           "  PROJECT.lfp          open the project in the editor\n"
           "  --generate IN OUT    write the start page of project IN to OUT and exit;\n"
           "                       names may be given in double quotes, and OUT may not\n"
           "                       be IN itself\n"
           "  -p, /p FILE          open FILE hidden for printing, then exit\n"
           "  -pt, /pt FILE ...    the same, naming a printer\n"
           "  -dde, /dde           do nothing and exit at once\n"
           "  -Unregister, /Unregister (or -Unregserver, /Unregserver)\n"
           "                       remove the file type and the settings file, then exit\n"
           "  -h, --help           show this help\n"
           "  --version            show the version\n"
           "\n"
           "A name without a leading \"-\" is a file name (so is \"Unregister\" alone).\n"
           "\n"
           "Exit status: 0 success; 1 a project or page could not be read or written;\n"
           "2 a usage error, such as an unknown option or a missing argument.\n";
}

std::string versionText() {
    return std::string("Linkfold ") + LINKFOLD_VERSION + "\n";
}
