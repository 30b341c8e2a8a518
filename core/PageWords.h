#pragma once

#include <string>
#include <string_view>

// The modern page's own words (the filter's label, its placeholder, the
// count of matches, the name of a page or group without one) in the page's
// language. English and German; other languages get the English words.
struct PageWords {
    std::string_view language; // the BCP 47 tag of the words: "en", "de"
    std::string_view startPage;
    std::string_view filterLabel;
    std::string_view filterPlaceholder;
    std::string_view noMatch;
    std::string_view noMatchSearch; // with a web search to offer
    std::string_view oneMatch;
    std::string_view manyMatch; // "%d" stands for the number
    std::string_view group;     // "%d" stands for the group's number
};

// The words for a language tag ("de", "de-AT", "de_DE.UTF-8"): its primary
// subtag decides, letter case ignored; English for any other.
const PageWords& pageWords(std::string_view language);

// Whether the tag is one a page can carry in its lang attribute: 1 to 35
// ASCII letters, digits and '-', starting with a letter.
bool isLanguageTag(std::string_view tag);

// The language the program runs in, from LANGUAGE, LC_ALL, LC_MESSAGES and
// LANG as gettext reads them: the first one set to a language this page has
// words for ("de_DE.UTF-8" gives "de"); "en" otherwise.
std::string environmentLanguage();

// Whether text in the language runs right to left (Arabic, Hebrew,
// Persian, Urdu, ...).
bool isRightToLeft(std::string_view language);
