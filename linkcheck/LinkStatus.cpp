#include "LinkStatus.h"

std::string_view statusWord(LinkStatus status) {
    switch (status) {
    case LinkStatus::Ok:
        return "ok";
    case LinkStatus::Moved:
        return "moved";
    case LinkStatus::Redirected:
        return "redirected";
    case LinkStatus::Broken:
        return "broken";
    case LinkStatus::Blocked:
        return "blocked";
    case LinkStatus::RateLimited:
        return "rate-limited";
    case LinkStatus::NoHost:
        return "no-host";
    case LinkStatus::Refused:
        return "refused";
    case LinkStatus::Tls:
        return "tls";
    case LinkStatus::Timeout:
        return "timeout";
    case LinkStatus::Skipped:
        return "skipped";
    case LinkStatus::Invalid:
        return "invalid";
    }
    return "invalid";
}

bool isFailure(LinkStatus status) {
    switch (status) {
    case LinkStatus::Broken:
    case LinkStatus::Moved:
    case LinkStatus::NoHost:
    case LinkStatus::Refused:
    case LinkStatus::Tls:
    case LinkStatus::Timeout:
    case LinkStatus::Invalid:
        return true;
    default:
        return false;
    }
}
