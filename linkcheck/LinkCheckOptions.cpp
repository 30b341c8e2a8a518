#include "LinkCheckOptions.h"

std::string userAgentFor(const LinkCheckOptions& options) {
    std::string agent = "Linkfold";
    if (!options.version.empty())
        agent += "/" + options.version;
    return agent + " (link check)";
}
