#include "core/CommandLineOptions.h"

#include "linkfold_version.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cmath>
#include <optional>

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

// A whole decimal number in [low, high], or nothing.
std::optional<double> parseNumber(const std::string& text, double low, double high) {
    double value = 0;
    const char* end = text.data() + text.size();
    const auto [ptr, ec] = std::from_chars(text.data(), end, value);
    if (text.empty() || ec != std::errc() || ptr != end || !(value >= low && value <= high))
        return std::nullopt;
    return value;
}

CommandLineOptions invalid(std::string error) {
    CommandLineOptions info;
    info.command = CommandLineOptions::Invalid;
    info.error = std::move(error);
    return info;
}

bool endsWithNoCase(const std::string& s, const std::string& suffix) {
    return s.size() >= suffix.size() && asciiLower(s.substr(s.size() - suffix.size())) == suffix;
}

// "--import-bookmarks SOURCE PROJECT [--group N]" or
// "--export-bookmarks PROJECT OUT" starting at args[at]; nothing may follow.
CommandLineOptions parseBookmarkVerb(const std::vector<std::string>& args, size_t at, bool import) {
    const std::string verb = import ? "--import-bookmarks" : "--export-bookmarks";
    if (at + 2 >= args.size())
        return invalid(verb + (import ? " needs a bookmarks source and a project file."
                                      : " needs a project file and an output file."));
    CommandLineOptions info;
    size_t next = at + 3;
    if (import) {
        info.command = CommandLineOptions::ImportBookmarks;
        info.bookmarkFile = args[at + 1];
        info.fileName = args[at + 2];
        if (next < args.size() && args[next] == "--group") {
            if (next + 1 >= args.size())
                return invalid("--group needs a group number from 1 to 10.");
            const std::string& n = args[next + 1];
            const bool digits = !n.empty() && n.size() <= 2 &&
                                std::all_of(n.begin(), n.end(),
                                            [](unsigned char c) { return std::isdigit(c) != 0; });
            info.group = digits ? std::stoi(n) : 0;
            if (info.group < 1 || info.group > 10)
                return invalid("--group needs a group number from 1 to 10, not " + n + ".");
            next += 2;
        }
    } else {
        info.command = CommandLineOptions::ExportBookmarks;
        info.fileName = args[at + 1];
        info.bookmarkFile = args[at + 2];
        const std::string out = info.bookmarkFile;
        if (!endsWithNoCase(out, ".html") && !endsWithNoCase(out, ".htm") &&
            !endsWithNoCase(out, ".xbel"))
            return invalid("--export-bookmarks writes a .html or .xbel file, not " + out + ".");
    }
    if (next < args.size())
        return invalid("Unexpected argument after " + verb + ": " + args[next]);
    return info;
}

// --check-links and --duplicates with their options: the project and the
// limits of the check, nothing else.
CommandLineOptions parseLinkCommand(const std::vector<std::string>& args) {
    CommandLineOptions info;
    bool duplicates = false;
    bool limits = false;
    std::vector<std::string> files;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        const bool hasValue = i + 1 < args.size();
        if (arg == "--check-links" || arg == "--duplicates") {
            duplicates = duplicates || arg == "--duplicates";
        } else if (arg == "--timeout" || arg == "--jobs") {
            if (!hasValue)
                return invalid(arg + " needs a value.");
            const std::string& text = args[++i];
            limits = true;
            if (arg == "--timeout") {
                const auto seconds = parseNumber(text, 0.001, 3600);
                if (!seconds)
                    return invalid("--timeout takes seconds from 0.001 to 3600, not \"" + text +
                                   "\".");
                info.timeoutMs = std::max(1, static_cast<int>(std::lround(*seconds * 1000)));
            } else {
                const auto jobs = parseNumber(text, 1, 256);
                if (!jobs || *jobs != static_cast<int>(*jobs))
                    return invalid("--jobs takes a whole number from 1 to 256, not \"" + text +
                                   "\".");
                info.jobs = static_cast<int>(*jobs);
            }
        } else if (arg.size() > 1 && arg[0] == '-') {
            return invalid("Unknown option: " + arg);
        } else {
            files.push_back(arg);
        }
    }
    if (files.size() != 1)
        return invalid(files.empty() ? "Name the project whose links to look at."
                                     : "Only one project at a time: " + files[1]);
    if (duplicates && limits)
        return invalid("--timeout and --jobs go with --check-links, not --duplicates.");
    info.command = duplicates ? CommandLineOptions::FindDuplicates : CommandLineOptions::CheckLinks;
    info.fileName = files[0];
    return info;
}

} // namespace

CommandLineOptions parseCommandLine(const std::vector<std::string>& args) {
    for (const std::string& arg : args) {
        if (arg == "--check-links" || arg == "--duplicates")
            return parseLinkCommand(args);
    }
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
        const bool headlessVerb =
            name == "generate" || name == "import-bookmarks" || name == "export-bookmarks";
        if (headlessVerb && i > 0)
            return invalid("Unexpected argument before " + arg + ": " + args[0]);
        if (name == "generate") {
            if (i + 2 >= args.size()) {
                info.command = CommandLineOptions::Invalid;
                info.error = "--generate needs a project file and a page file.";
                return info;
            }
            info.command = CommandLineOptions::Generate;
            info.fileName = args[i + 1];
            info.pageName = args[i + 2];
            if (i + 3 < args.size() && args[i + 3] == "--style") {
                const std::string look = i + 4 < args.size() ? args[i + 4] : std::string();
                if (look == "classic") {
                    info.pageLook = PageLook::Classic;
                } else if (look == "modern") {
                    info.pageLook = PageLook::Modern;
                } else {
                    info.command = CommandLineOptions::Invalid;
                    info.error = "--style takes classic or modern, not \"" + look + "\".";
                    return info;
                }
            }
            const size_t next = i + (info.pageLook ? 5 : 3);
            if (next < args.size())
                return invalid("Unexpected argument after --generate: " + args[next]);
            return info;
        } else if (name == "import-bookmarks" || name == "export-bookmarks") {
            return parseBookmarkVerb(args, i, name == "import-bookmarks");
        } else if (name == "help" || name == "h") {
            if (i + 1 < args.size())
                return invalid("Unexpected argument after " + arg + ": " + args[i + 1]);
            info.command = CommandLineOptions::ShowHelp;
            return info;
        } else if (name == "version") {
            if (i + 1 < args.size())
                return invalid("Unexpected argument after --version: " + args[i + 1]);
            info.command = CommandLineOptions::ShowVersion;
            return info;
        } else if (name == "p") {
            print = true;
        } else if (name == "pt") {
            printTo = true;
        } else if (name == "dde") {
            info.command = CommandLineOptions::DdeRequest;
        } else if (lower == "unregister" || lower == "unregserver") {
            info.command = CommandLineOptions::Unregister;
        } else {
            info.command = CommandLineOptions::Invalid;
            info.error = "Unknown option: " + arg;
            return info;
        }
    }
    if (info.command == CommandLineOptions::Unregister && args.size() != 1)
        return invalid("/Unregister takes no other argument.");
    if (info.command == CommandLineOptions::Unregister ||
        info.command == CommandLineOptions::DdeRequest)
        return info;
    // One project at a time; printing names the project, and /pt at most a
    // printer, a driver and a port after it.
    const size_t mostFiles = printTo ? 4 : 1;
    if (files.size() > mostFiles)
        return invalid("Unexpected argument: " + files[mostFiles]);
    if ((print || printTo) && files.empty())
        return invalid(std::string(printTo ? "/pt" : "/p") + " needs a project file.");
    if (!files.empty())
        info.fileName = files[0];
    if (printTo) {
        info.command = CommandLineOptions::PrintProjectTo;
        if (files.size() > 1)
            info.printerName = files[1];
        if (files.size() > 2)
            info.driverName = files[2];
        if (files.size() > 3)
            info.portName = files[3];
    } else if (print) {
        info.command = CommandLineOptions::PrintProject;
    } else if (!files.empty()) {
        info.command = CommandLineOptions::OpenProject;
    }
    return info;
}

std::string commandLineUsage() {
    return "Usage: linkfold [PROJECT.lfp]\n"
           "       linkfold --generate PROJECT.lfp PAGE.htm [--style classic|modern]\n"
           "       linkfold --import-bookmarks SOURCE PROJECT.lfp [--group N]\n"
           "       linkfold --export-bookmarks PROJECT.lfp OUT.html|OUT.xbel\n"
           "       linkfold --check-links PROJECT.lfp [--timeout S] [--jobs N]\n"
           "       linkfold --duplicates PROJECT.lfp\n"
           "       linkfold /p PROJECT.lfp | /pt PROJECT.lfp PRINTER DRIVER PORT\n"
           "       linkfold /dde | -Unregister | /Unregister\n"
           "       linkfold --help | --version\n"
           "\n"
           "  PROJECT.lfp          open the project in the editor\n"
           "  --generate IN OUT    write the start page of project IN to OUT and exit;\n"
           "                       names may be given in double quotes, and OUT may not\n"
           "                       be IN itself\n"
           "  --style classic|modern\n"
           "                       with --generate: write the page in this style\n"
           "                       instead of the project's own\n"
           "  --import-bookmarks SOURCE PROJECT [--group N]\n"
           "                       add the links of a bookmark file (HTML, XBEL,\n"
           "                       Chromium Bookmarks, Firefox places.sqlite) to the\n"
           "                       project: each of the user's own top folders (those\n"
           "                       in the browser's menu, toolbar and other bookmarks),\n"
           "                       subfolders included, into the group titled with its\n"
           "                       name, else the next empty group; or all into group N\n"
           "                       (1-10). Links the group holds are skipped; a missing\n"
           "                       project is created\n"
           "  --export-bookmarks PROJECT OUT\n"
           "                       write the project's groups as bookmarks: XBEL when\n"
           "                       OUT ends in .xbel, bookmark HTML when it ends in\n"
           "                       .html or .htm (any other name is a usage error)\n"
           "  --check-links IN     ask the servers of project IN's links whether the\n"
           "                       pages are still there; lists every link that is not\n"
           "                       ok, exits with 2 when one is broken, moved,\n"
           "                       no-host, refused, tls, timeout or invalid\n"
           "  --timeout S          seconds allowed for each request, however slowly its\n"
           "                       headers come (default 15); a link that gets no\n"
           "                       answer costs at most 2 x S + 2 s from its first\n"
           "                       request, however many silent links share its host\n"
           "                       (a GET follows a HEAD that times out or is reset);\n"
           "                       each redirect and the GET that confirms a failing\n"
           "                       HEAD is a request of its own; a refused connection\n"
           "                       is reported at once\n"
           "  --jobs N             requests under way at once (default 32, at most 4 to\n"
           "                       one host, with no pause between them; a request\n"
           "                       without an answer for 2 s leaves its turn to the\n"
           "                       host's other links); a host that answers 429 or 503\n"
           "                       gets fewer at once and pauses as its Retry-After asks\n"
           "                       (up to 30 s a time, 60 s in all before its links\n"
           "                       give up), easing back as it recovers\n"
           "  --duplicates IN      list the links of project IN that lead to the same place\n"
           "  -p, /p FILE          open FILE hidden for printing, then exit\n"
           "  -pt, /pt FILE ...    the same, naming a printer\n"
           "  -dde, /dde           do nothing and exit at once\n"
           "  -Unregister, /Unregister (or -Unregserver, /Unregserver)\n"
           "                       remove the file type and the settings file, then exit\n"
           "  -h, --help           show this help\n"
           "  --version            show the version\n"
           "\n"
           "A name without a leading \"-\" is a file name (so is \"Unregister\" alone),\n"
           "except the switches /p, /pt, /dde, /Unregister and /Unregserver.\n"
           "\n"
           "Exit status: 0 success; 1 a project, page or bookmark file could not be read\n"
           "or written, or /Unregister could not remove a file;\n"
           "2 a usage error, such as an unknown option or a missing argument (and for\n"
           "--check-links: some link failed);\n"
           "3 --import-bookmarks saved the project but left links out (no group left\n"
           "for a folder, script or data links, saved searches, or addresses that may\n"
           "not go on a page); links the group already holds are named but keep 0.\n";
}

std::string versionText() {
    return std::string("Linkfold ") + LINKFOLD_VERSION + "\n";
}
