#pragma once

#include "core/PageStyle.h"

#include <optional>
#include <string>
#include <vector>

// What the command line asks for.
struct CommandLineOptions {
    enum Command {
        NewProject,     // no file name
        OpenProject,    // one file name
        PrintProject,   // "/p" or "-p" with a file name
        PrintProjectTo, // "/pt" with file, printer, driver, port
        DdeRequest,     // "/dde"
        Unregister,     // "-Unregister" / "/Unregister" (or "Unregserver"), any case
        Generate,       // "--generate PROJECT PAGE"
        CheckLinks,     // "--check-links PROJECT [--timeout S] [--jobs N]"
        FindDuplicates, // "--duplicates PROJECT" (or --check-links PROJECT --duplicates)
        ShowHelp,       // "--help" / "-h"
        ShowVersion,    // "--version"
        Invalid,        // unusable arguments; error says why
        // "--import-bookmarks SOURCE PROJECT [--group N]"
        ImportBookmarks,
        // "--export-bookmarks PROJECT OUT.html|OUT.xbel"
        ExportBookmarks,
    };

    Command command = NewProject;
    std::string fileName;
    std::string printerName;
    std::string driverName;
    std::string portName;
    std::string pageName; // --generate output
    // --generate ... --style classic|modern: the look for this run only.
    std::optional<PageLook> pageLook;
    int timeoutMs = 0; // --timeout in milliseconds; 0: the checker's default
    int jobs = 0;      // --jobs; 0: the checker's default
    std::string error;

    // --import-bookmarks source or --export-bookmarks output; fileName is
    // the project.
    std::string bookmarkFile;
    // --group N (1..10); 0: the folders go to the empty groups in order.
    int group = 0;
};

// Parses the arguments after the program name. An argument is a switch when
// it starts with "-", or when it is "/" followed by exactly one of the known
// switch names; everything else (absolute paths included) is a file name.
CommandLineOptions parseCommandLine(const std::vector<std::string>& args);

// Usage text for --help, exit statuses included.
std::string commandLineUsage();

// "Linkfold <version>" and a line end, for --version.
std::string versionText();
