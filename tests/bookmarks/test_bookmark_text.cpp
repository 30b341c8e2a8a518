#include "bookmarks/BookmarkText.h"

#include <gtest/gtest.h>

namespace {

TEST(BookmarkText, TitlesBecomeDescriptionsWithOnlyTheThreeMarkupCharactersEscaped) {
    const struct {
        const char* title;
        const char* description;
    } cases[] = {{"Plain", "Plain"},
                 {"Q&A <b>not bold</b>", "Q&amp;A &lt;b&gt;not bold&lt;/b&gt;"},
                 {"\"quoted\" 'single' café", "\"quoted\" 'single' café"},
                 {"&amp; stays literal", "&amp;amp; stays literal"},
                 {"", ""}};
    for (const auto& c : cases)
        EXPECT_EQ(titleToDescription(c.title), c.description) << c.title;
}

TEST(BookmarkText, DescriptionsBecomeTitlesWithoutTagsAndWithReferencesDecoded) {
    const struct {
        const char* description;
        const char* title;
    } cases[] = {{"Plain", "Plain"},
                 {"<b>Bold</b> and <i>italic</i>", "Bold and italic"},
                 {"Q&amp;A &lt;x&gt; &eacute;t&eacute; &#233;&#x41;", "Q&A <x> été éA"},
                 {"caf&eacute;&nbsp;bar", "café\u00A0bar"},
                 {"<img src=x.png> picture", "picture"},
                 {"  spaced  ", "spaced"},
                 {"AT&T", "AT&T"},
                 {"<unclosed", ""},
                 {"", ""}};
    for (const auto& c : cases)
        EXPECT_EQ(descriptionToTitle(c.description), c.title) << c.description;
}

TEST(BookmarkText, ImportExportImportGivesTheSameDescription) {
    for (const char* title :
         {"Q&A <b>", "a &amp; b", "Rock 'n' Roll", "&lt;&gt;", "<<>>&&", "tab\there", "été & co"}) {
        const std::string description = titleToDescription(title);
        EXPECT_EQ(titleToDescription(descriptionToTitle(description)), description) << title;
    }
}

} // namespace
