#pragma once

#include <string_view>

// What the check of one link found. Each value has one word used in the
// command-line report; see statusWord().
enum class LinkStatus {
    Ok,          // 2xx
    Moved,       // reached through permanent redirects only (301/308)
    Redirected,  // reached through at least one temporary redirect (302/303/307)
    Broken,      // 4xx other than below, 5xx after a retry, missing file, loop, reset
    Blocked,     // 401, 403, 999 or a bot challenge: the site refuses checkers
    RateLimited, // 429 still after waiting
    NoHost,      // the host name resolves nowhere
    Refused,     // nothing listens on the port
    Tls,         // the secure connection failed
    Timeout,     // no answer in time
    Skipped,     // a scheme that is not checked (mailto:, javascript:, data:...)
    Invalid,     // the text is not an address
};

inline constexpr int kLinkStatusCount = static_cast<int>(LinkStatus::Invalid) + 1;

// "ok", "moved", "redirected", "broken", "blocked", "rate-limited",
// "no-host", "refused", "tls", "timeout", "skipped", "invalid".
std::string_view statusWord(LinkStatus status);

// True for the results that make the command line fail: broken, moved,
// no-host, refused, tls, timeout and invalid.
bool isFailure(LinkStatus status);
