#include "core/PageWords.h"

#include <cstdlib>

namespace {

constexpr PageWords kEnglish{
    "en",
    "Start Page",
    "Filter links",
    "Type to filter, / from anywhere",
    "No link matches.",
    "No link matches. Press Enter to search the web.",
    "1 link matches.",
    "%d links match.",
    "Group %d",
};

constexpr PageWords kGerman{
    "de",
    "Startseite",
    "Links filtern",
    "Tippen zum Filtern, / von \xC3\xBC"
    "berall",
    "Kein Link passt.",
    "Kein Link passt. Mit Enter im Web suchen.",
    "1 Link passt.",
    "%d Links passen.",
    "Gruppe %d",
};

// The primary subtag in lower case: "de" of "de-AT" or "de_DE.UTF-8".
std::string primary(std::string_view tag) {
    std::string out;
    for (char c : tag) {
        if (!((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z')))
            break;
        out.push_back(static_cast<char>(c | 0x20));
    }
    return out;
}

} // namespace

const PageWords& pageWords(std::string_view language) {
    return primary(language) == "de" ? kGerman : kEnglish;
}

bool isLanguageTag(std::string_view tag) {
    if (tag.empty() || tag.size() > 35 ||
        !((tag[0] >= 'a' && tag[0] <= 'z') || (tag[0] >= 'A' && tag[0] <= 'Z')))
        return false;
    for (char c : tag)
        if (!((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
              c == '-'))
            return false;
    return true;
}

std::string environmentLanguage() {
    // LANGUAGE is a list ("de:en"), used only with a locale other than C.
    auto value = [](const char* name) -> std::string_view {
        const char* v = std::getenv(name);
        return v ? std::string_view(v) : std::string_view();
    };
    std::string_view locale = value("LC_ALL");
    if (locale.empty())
        locale = value("LC_MESSAGES");
    if (locale.empty())
        locale = value("LANG");
    if (locale.empty() || locale == "C" || locale == "POSIX" || locale.starts_with("C."))
        return "en";
    std::string_view list = value("LANGUAGE");
    while (!list.empty()) {
        const size_t colon = list.find(':');
        std::string tag = primary(list.substr(0, colon));
        if (tag == "en" || tag == "de")
            return tag;
        list = colon == std::string_view::npos ? std::string_view() : list.substr(colon + 1);
    }
    if (primary(locale) == "de")
        return "de";
    return "en";
}

bool isRightToLeft(std::string_view language) {
    const std::string tag = primary(language);
    for (const char* rtl : {"ar", "he", "iw", "fa", "ur", "yi", "ps", "dv", "sd", "ug", "ckb"})
        if (tag == rtl)
            return true;
    return false;
}
