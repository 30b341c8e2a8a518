#pragma once

#include "LinkCheckItem.h"
#include "LinkCheckOptions.h"

#include <iosfwd>
#include <vector>

// linkfold --check-links: checks the items on a local event loop (the caller
// has made the QCoreApplication), writes one report line for every link whose
// result is not ok to out and the summary to err. Returns the exit status:
// 2 when a link failed (see isFailure), otherwise 0; 1 without an
// application object.
int runLinkCheckCommand(const std::vector<LinkCheckItem>& items, const LinkCheckOptions& options,
                        std::ostream& out, std::ostream& err);
