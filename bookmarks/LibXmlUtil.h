#pragma once

#include "core/LibXml.h"

#include <cstdint>
#include <string>

// A date in seconds since 1970 from decimal text as browsers write it;
// values in milliseconds or microseconds are scaled down. 0 when unreadable.
std::int64_t parseEpochSeconds(const std::string& text);
