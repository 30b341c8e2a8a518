#pragma once

#include <string>

// Limits and manners of one check run. The defaults suit real sites; tests
// shorten the waits.
struct LinkCheckOptions {
    int maxConcurrent = 32;         // requests under way at once, overall
    int maxPerHost = 4;             // requests under way at once to one host
    int timeoutMs = 15000;          // whole request, from sending to the headers
    int maxRedirects = 10;          // hops followed before giving up
    int retryPauseMs = 2000;        // pause before retrying a 5xx or a reset
    int retryAfterCapMs = 30000;    // longest Retry-After wait honoured
    int retryAfterDefaultMs = 5000; // wait after a 429 that names no delay
    int hostWaitBudgetMs = 60000;   // a host's waits (429, 503) before its links give up
    std::string version;            // program version, for the User-Agent
    std::string publicAddress;      // an address taken as public (tests play public hosts)
};

// "Linkfold/<version> (link check)", or without the version when none is set.
std::string userAgentFor(const LinkCheckOptions& options);
