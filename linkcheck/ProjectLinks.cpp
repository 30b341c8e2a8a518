#include "ProjectLinks.h"

#include "LinkCheckCommand.h"
#include "linkfold_version.h"

#include "core/CommandLineOptions.h"
#include "core/DuplicateLinks.h"
#include "core/HeadlessGenerate.h"
#include "core/Project.h"

#include <QCoreApplication>

#include <ostream>

LinkCheckItem checkItemFor(const Project& project, int group, int row) {
    return {group + 1, row + 1,
            std::string(project.linkList(group).url(static_cast<std::size_t>(row)))};
}

std::vector<LinkCheckItem> projectCheckItems(const Project& project) {
    std::vector<LinkCheckItem> items;
    for (int g = 0; g < project.groupCount(); ++g) {
        const std::size_t count = project.linkList(g).size();
        for (std::size_t r = 0; r < count; ++r)
            items.push_back(checkItemFor(project, g, static_cast<int>(r)));
    }
    return items;
}

LinkCheckOptions programCheckOptions() {
    LinkCheckOptions options;
    options.version = LINKFOLD_VERSION;
    return options;
}

int runProjectLinkCommand(const CommandLineOptions& info, int& argc, char** argv, std::ostream& out,
                          std::ostream& err) {
    Project project;
    const LoadResult loaded = project.load(makeAbsolutePath(stripQuotes(info.fileName)));
    if (!loaded.ok()) {
        err << loaded.error << '\n';
        return 1;
    }
    if (info.command == CommandLineOptions::FindDuplicates)
        return writeDuplicateReport(project, out, err);

    LinkCheckOptions options = programCheckOptions();
    if (info.timeoutMs > 0)
        options.timeoutMs = info.timeoutMs;
    if (info.jobs > 0) {
        options.maxConcurrent = info.jobs;
        options.maxPerHost = std::min(options.maxPerHost, info.jobs);
    }
    const QCoreApplication app(argc, argv);
    return runLinkCheckCommand(projectCheckItems(project), options, out, err);
}
