#include "LinkCheckCommand.h"

#include "LinkCheckReport.h"
#include "LinkChecker.h"

#include <QCoreApplication>
#include <QEventLoop>

#include <ostream>

int runLinkCheckCommand(const std::vector<LinkCheckItem>& items, const LinkCheckOptions& options,
                        std::ostream& out, std::ostream& err) {
    if (!QCoreApplication::instance()) {
        err << "Cannot check links: no application object.\n";
        return 1;
    }
    LinkChecker checker;
    QEventLoop loop;
    QObject::connect(&checker, &LinkChecker::finished, &loop, &QEventLoop::quit);
    checker.start(items, options);
    loop.exec();

    const std::vector<LinkCheckResult>& results = checker.results();
    for (std::size_t i = 0; i < items.size(); ++i) {
        if (results[i].status != LinkStatus::Ok)
            out << formatReportLine(items[i], results[i]) << '\n';
    }
    out.flush();
    err << formatSummary(results) << '\n';
    return exitStatusFor(results);
}
