// Text in every script: what a string becomes in the project file, in the
// page and in the clipboard's URL lines, for one table of strings.
#include "TestUtil.h"

#include "core/LinkFile.h"
#include "core/PageWriter.h"
#include "core/Project.h"
#include "core/ProjectFile.h"
#include "core/UrlLines.h"

namespace {

// The short form: a one-byte length, then Windows-1252 bytes.
std::string shortForm(const std::string& cp1252) {
    return char(cp1252.size()) + cp1252;
}

// The wide form: the marker, a one-byte length in code units, UTF-16LE.
std::string wideForm(std::u16string_view units) {
    std::string out = "\xFF\xFE\xFF";
    out += char(units.size());
    for (char16_t u : units)
        out += std::string{char(u & 0xFF), char(u >> 8)};
    return out;
}

struct ScriptCase {
    const char* name;
    std::string text;     // as the project holds it (UTF-8)
    std::string fileForm; // the string's bytes in the project file
    std::string pageText; // its bytes in the page
};

const ScriptCase kCases[] = {
    {"Windows1252Only", "Plain text", shortForm("Plain text"), "Plain text"},
    {"LatinEuroCurlyQuotes", "Caf\u00E9 \u20AC5 \u2013 \u201Cquoted\u201D",
     shortForm("Caf\xE9 \x80"
               "5 \x96 \x93quoted\x94"),
     "Caf\xE9 \x80"
     "5 \x96 \x93quoted\x94"},
    {"Greek", "\u0395\u03BB\u03BB\u03AC\u03B4\u03B1",
     wideForm(u"\u0395\u03BB\u03BB\u03AC\u03B4\u03B1"),
     "&#x395;&#x3BB;&#x3BB;&#x3AC;&#x3B4;&#x3B1;"},
    {"Cjk", "\u65E5\u672C\u8A9E", wideForm(u"\u65E5\u672C\u8A9E"), "&#x65E5;&#x672C;&#x8A9E;"},
    {"EmojiOutsideBmp", "\U0001F600 ok", wideForm(u"\U0001F600 ok"), "&#x1F600; ok"},
    {"EuroBesideCjk", "\u20AC \u65E5", wideForm(u"\u20AC \u65E5"), "\x80 &#x65E5;"},
};

class ScriptTable : public ::testing::TestWithParam<ScriptCase> {};

std::string pageSubtitle(const Project& doc) {
    const std::string page = renderPage(doc);
    const std::string open = "<font size=6>";
    const size_t start = page.find(open) + open.size();
    return page.substr(start, page.find("<br clear=left>") - start);
}

std::string pageSubtitle(const std::string& text) {
    Project doc;
    doc.setSubtitle(text);
    return pageSubtitle(doc);
}

} // namespace

TEST_P(ScriptTable, FileBytesReadBackPageAndUrlLines) {
    const ScriptCase& c = GetParam();
    Project doc;
    doc.setTitle(c.text);
    doc.addLink(3, c.text, "http://x/" + c.text);
    const std::string bytes = serializeProject(doc);
    EXPECT_EQ(bytes.substr(4, c.fileForm.size()), c.fileForm);

    Project back;
    MemorySource src(bytes.data(), bytes.size());
    ASSERT_EQ(readProjectRecords(src, back).status, ReadStatus::Ok);
    EXPECT_EQ(back.title(), c.text);
    EXPECT_EQ(back.links(3), doc.links(3));
    EXPECT_EQ(serializeProject(back), bytes);

    EXPECT_EQ(pageSubtitle(c.text), c.pageText);

    EXPECT_EQ(parseUrlLines(formatUrlLines(doc.links(3))), doc.links(3));
}

INSTANTIATE_TEST_SUITE_P(Cases, ScriptTable, ::testing::ValuesIn(kCases),
                         [](const testing::TestParamInfo<ScriptCase>& c) { return c.param.name; });

TEST(AnyScript, UnpairedSurrogateInAFileBecomesReplacementCharacter) {
    // A damaged file: a title of "a", a lone high surrogate, "b".
    std::string bytes = serializeProject(Project());
    bytes.replace(4, 1,
                  wideForm(u"a\xD800"
                           "b"));
    Project doc;
    MemorySource src(bytes.data(), bytes.size());
    ASSERT_EQ(readProjectRecords(src, doc).status, ReadStatus::Ok);
    EXPECT_EQ(doc.title(), "a\uFFFDb");
    EXPECT_EQ(serializeProject(doc).substr(4, 10), wideForm(u"a\uFFFDb"));
    EXPECT_EQ(pageSubtitle(doc.title()), "a&#xFFFD;b");
}

TEST(AnyScript, PageKeepsNewlinesAndNulRuleAroundReferences) {
    EXPECT_EQ(pageSubtitle("\u65E5\n\u00E9"), "&#x65E5;\r\n\xE9");
    EXPECT_EQ(pageSubtitle(std::string("\u65E5\0\u672C", 7)), "&#x65E5;");
}

// The page writer copies the text between the bytes it changes in runs of
// eight bytes: each change at every place within and across those runs.
TEST(AnyScript, PageChangesEachByteWhereverItStands) {
    const struct {
        const char* name;
        std::string in;
        std::string text;      // in the subtitle
        std::string attribute; // in the title's font face
    } cases[] = {
        {"Windows-1252", "\u00E9", "\xE9", "\xE9"},
        {"reference", "\u65E5", "&#x65E5;", "&#x65E5;"},
        {"four-byte reference", "\U0001F600", "&#x1F600;", "&#x1F600;"},
        {"newline", "\n", "\r\n", "\r\n"},
        {"quote", "\"", "\"", "&quot;"},
        {"NUL ends the value", std::string("\0", 1), "", ""},
    };
    for (const auto& c : cases) {
        for (size_t before = 0; before <= 17; ++before) {
            const std::string head(before, 'a');
            const std::string tail = c.in[0] == '\0' ? "" : "bcdefghij";
            Project doc;
            doc.setSubtitle(head + c.in + "bcdefghij");
            doc.setTitleFace(head + c.in + "bcdefghij");
            EXPECT_EQ(pageSubtitle(doc), head + c.text + tail) << c.name << " after " << before;
            const std::string page = renderPage(doc);
            EXPECT_NE(page.find("<font face=\"" + head + c.attribute + tail + "\" color="),
                      std::string::npos)
                << c.name << " after " << before;
        }
    }
}

TEST(AnyScript, LinkFilesKeepEveryScript) {
    const struct {
        const char* name;
        std::string text;
        std::string url;
    } cases[] = {
        // The wide section wins; "+ZeVnLIqe-" is UTF-7 for three CJK characters.
        {"utf7",
         "[InternetShortcut]\nURL=http://a/???\n[InternetShortcut.W]\nURL=http://a/+ZeVnLIqe-\n",
         "http://a/\u65E5\u672C\u8A9E"},
        {"utf7 emoji", "[InternetShortcut.W]\nURL=http://e/+2D3eAA-\n[InternetShortcut]\nURL=x\n",
         "http://e/\U0001F600"},
        {"bad utf7 falls back",
         "[InternetShortcut]\nURL=http://b/\n[InternetShortcut.W]\nURL=+\xFF\n", "http://b/"},
        {"utf-8 in the plain section", "[InternetShortcut]\nURL=http://c/\u0395\n",
         "http://c/\u0395"},
        {"desktop", "[Desktop Entry]\nType=Link\nURL=http://d/\u05E2\u05D1\n",
         "http://d/\u05E2\u05D1"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(urlFromShortcutText(c.text), c.url) << c.name;
}

TEST(AnyScript, LongWideStringsTakeTheLongerLengthPrefixes) {
    for (size_t count : {254u, 255u, 300u, 0xFFFEu, 70000u}) {
        std::string text;
        for (size_t i = 0; i < count; ++i)
            text += "\u65E5";
        Project doc;
        doc.setSubtitle(text);
        const std::string bytes = serializeProject(doc);
        Project back;
        MemorySource src(bytes.data(), bytes.size());
        ASSERT_EQ(readProjectRecords(src, back).status, ReadStatus::Ok) << count;
        EXPECT_EQ(back.subtitle(), text) << count;
        EXPECT_EQ(bytes.substr(5, 3), "\xFF\xFE\xFF") << count;
        const std::string prefix = encodeStringPrefix(count);
        EXPECT_EQ(bytes.substr(8, prefix.size()), prefix) << count;
    }
}
