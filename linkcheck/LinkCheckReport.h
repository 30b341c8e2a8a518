#pragma once

#include "LinkCheckItem.h"
#include "LinkCheckResult.h"

#include <cstdint>
#include <string>
#include <vector>

// Text of the link check's report, shared by the command line and the window.

// 1450 -> "1,450".
std::string formatCount(std::int64_t count);

// "Checked 312 of 1,450".
std::string formatProgress(std::int64_t done, std::int64_t total);

// One tab-separated line, without the line end: group, row, result word,
// HTTP code (empty when none), address, final address (empty without
// redirects), reason (empty when none). Tabs and line breaks inside the
// texts become spaces so that a line stays one record.
std::string formatReportLine(const LinkCheckItem& item, const LinkCheckResult& result);

// "1,450 links: 1,300 ok, 12 broken, 3 blocked" - the words in the order of
// LinkStatus, those with no link left out.
std::string formatSummary(const std::vector<LinkCheckResult>& results);

// 2 when some result is a failure (see isFailure), otherwise 0.
int exitStatusFor(const std::vector<LinkCheckResult>& results);
