#pragma once

#include "LinkStatus.h"

#include <string>
#include <vector>

// The outcome for one link.
struct LinkCheckResult {
    LinkStatus status = LinkStatus::Ok;
    int httpCode = 0;     // first redirect's code for moved and redirected, otherwise the
                          // last HTTP status seen; 0 when none
    std::string finalUrl; // where the redirects ended, empty without any
    std::vector<std::string> redirectChain; // every address the redirects led to, in order
    std::string reason;                     // a sentence for errors (TLS failure, missing file...)
};
