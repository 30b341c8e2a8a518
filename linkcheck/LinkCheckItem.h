#pragma once

#include <string>

// One link handed to the checker: where it sits in the project (as numbered
// for the user) and its address text, UTF-8.
struct LinkCheckItem {
    int group = 0;
    int row = 0;
    std::string url;
};
