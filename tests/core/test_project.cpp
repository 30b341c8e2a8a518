#include "TestUtil.h"

#include "core/Codepage.h"
#include "core/FileError.h"
#include "core/PathPart.h"
#include "core/Project.h"
#include "core/ProjectFile.h"

#include <algorithm>

#include <cerrno>
#include <vector>

namespace {

Project styled() {
    Project doc;
    for (int g = 0; g < 10; ++g) {
        editHeading(doc, g, [&](LinkGroup& h) { h.title = "t"; });
        editHeading(doc, g, [&](LinkGroup& h) { h.style = 3; });
        doc.addLink(g, "a", "b");
    }
    return doc;
}

} // namespace

TEST(Model, NewResetsEverything) {
    Project doc = styled();
    doc.setTitle("x");
    doc.setColumns(4);
    doc.setBackgroundColor(0);
    doc.setFilePath("/a.lfp");
    doc.setModified(true);
    doc.resetToNew();
    Project fresh;
    EXPECT_EQ(doc.groups(), fresh.groups());
    EXPECT_EQ(doc.groups().size(), 10u);
    EXPECT_EQ(doc.title(), "");
    EXPECT_EQ(doc.titleFace(), "Arial");
    EXPECT_EQ(doc.columns(), 2);
    EXPECT_EQ(doc.borders(), 1);
    EXPECT_EQ(doc.backgroundColor(), 0xFFFFFFu);
    EXPECT_EQ(doc.visitedLinkColor(), 0x800000u);
    EXPECT_EQ(doc.filePath(), "");
    EXPECT_FALSE(doc.isModified());
}

TEST(Model, ClearLinksOneOrAll) {
    Project doc = styled();
    doc.clearLinks(3);
    for (int g = 0; g < 10; ++g) {
        EXPECT_EQ(doc.links(g).size(), g == 3 ? 0u : 1u);
        EXPECT_EQ(doc.group(g).style, 3);
    }
    doc.clearLinks(-1);
    for (const auto& g : doc.groups()) {
        EXPECT_TRUE(g.links.empty());
        EXPECT_EQ(g.title, "t");
    }
}

TEST(Model, SetLinksAndAddLink) {
    Project doc = styled();
    doc.setLinks(2, {});
    EXPECT_TRUE(doc.links(2).empty());
    doc.setLinks(2, {{"", ""}, {"d", ""}, {"", "u"}});
    ASSERT_EQ(doc.links(2).size(), 3u);
    EXPECT_EQ(doc.links(2)[1], Link("d", ""));
    EXPECT_EQ(doc.links(2)[2], Link("", "u"));
    doc.addLink(2, "x", "1");
    doc.addLink(2, "y", "2");
    EXPECT_EQ(doc.links(2)[3].description, "x");
    EXPECT_EQ(doc.links(2)[4].description, "y");
    doc.addLink(10, "out", "of range"); // ignored, never out of bounds
    doc.addLink(-1, "out", "of range");
}

TEST(PathPart, Masks) {
    const struct {
        const char* path;
        unsigned mask;
        const char* part;
    } cases[] = {
        {"C:\\dir\\sub\\file.name.ext", kPathDrive, "C:"},
        {"C:\\dir\\sub\\file.name.ext", kPathDir, "\\dir\\sub\\"},
        {"C:\\dir\\sub\\file.name.ext", kPathBaseName, "file.name"},
        {"C:\\dir\\sub\\file.name.ext", kPathExtension, ".ext"},
        {"C:\\dir\\sub\\file.name.ext", kPathDrive | kPathDir, "C:\\dir\\sub\\"},
        {"/home/me/Home.Page.url", kPathBaseName, "Home.Page"},
        {"logo.gif", kPathDrive | kPathDir, ""},
        {"dir.d/noext", kPathExtension, ""},
        {"C:logo.gif", kPathDrive | kPathDir, "C:"},
        {"", kPathBaseName, ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(pathPart(c.path, c.mask), c.part) << c.path << " " << c.mask;
}

TEST(Codepage, ConversionsBothWays) {
    const std::string cp = "A\xE9\x80\x9F\xFF\x81";
    EXPECT_EQ(cp1252ToUtf8(cp), "A\u00e9\u20ac\u0178\u00ff\u0081");
    std::string back;
    EXPECT_TRUE(utf8ToCp1252(cp1252ToUtf8(cp), back));
    EXPECT_EQ(back, cp);
    EXPECT_FALSE(utf8ToCp1252("\u4e2d\xF0\x9F\x98\x80x", back));
    EXPECT_EQ(utf16ToUtf8(utf8ToUtf16(cp1252ToUtf8(cp))), cp1252ToUtf8(cp));
    EXPECT_EQ(utf16ToUtf8(u"\U0001F600z"), "\U0001F600z");
    // Damaged text: never a failure, each bad piece one U+FFFD.
    EXPECT_EQ(utf16ToUtf8(u"a\xD800z\xDC00"), "a\uFFFDz\uFFFD");
    EXPECT_EQ(utf16ToUtf8(utf8ToUtf16("bad \xC3")), "bad \uFFFD");
    EXPECT_EQ(utf16ToUtf8(utf8ToUtf16("\xC0\xAF\xED\xA0\x80")), // overlong, surrogate
              "\uFFFD\uFFFD\uFFFD\uFFFD\uFFFD");
    EXPECT_TRUE(isValidUtf8("\u65E5\U0001F600"));
    EXPECT_FALSE(isValidUtf8("\xE9t\xE9"));
}

TEST(FileError, ErrnoMapsToMessages) {
    const struct {
        int err;
        const char* text;
    } cases[] = {
        {ENOENT, "/p was not found."},
        {EACCES, "Access to /p was denied."},
        {EROFS, "Access to /p was denied."},
        {EISDIR, "Access to /p was denied."},
        {ENOSPC, "Disk full while accessing /p."},
        {EIO, "A hardware I/O error was reported while accessing /p."},
        {ENAMETOOLONG, "/p contains an invalid path."},
        {EMFILE, "/p could not be opened because there are too many open files."},
        {EXDEV, "An unknown error occurred while accessing /p."},
    };
    for (const auto& c : cases)
        EXPECT_EQ(fileErrorText(fileErrorCauseFromErrno(c.err), "/p"), c.text) << c.err;
}

namespace {

std::vector<Link> abcde() {
    return {{"A", "http://a/"},
            {"B", "http://b/"},
            {"C", "http://c/"},
            {"D", "http://d/"},
            {"E", "http://e/"}};
}

std::string descriptions(const Project& doc, int group) {
    std::string out;
    for (const LinkView link : doc.linkList(group))
        out += link.description;
    return out;
}

// Records what the project tells its observers.
struct Recorder : ProjectObserver {
    std::vector<std::string> heard;
    static std::string rows(const std::vector<std::size_t>& r) {
        std::string out;
        for (std::size_t i : r)
            out += std::to_string(i);
        return out;
    }
    void linksRemoved(int g, const std::vector<std::size_t>& r) override {
        heard.push_back("removed " + std::to_string(g) + ":" + rows(r));
    }
    void linksInserted(int g, const std::vector<std::size_t>& r) override {
        heard.push_back("inserted " + std::to_string(g) + ":" + rows(r));
    }
    void linksChanged(int g, const std::vector<std::size_t>& r) override {
        heard.push_back("changed " + std::to_string(g) + ":" + rows(r));
    }
    void groupReset(int g) override { heard.push_back("reset " + std::to_string(g)); }
    void headingChanged(int g) override { heard.push_back("heading " + std::to_string(g)); }
    void pageChanged() override { heard.push_back("page"); }
    void projectReset() override { heard.push_back("project"); }
};

} // namespace

// Each edit and its inverse: the bytes come back, and so do the identities.
TEST(Model, TakePutReplaceAreInverses) {
    struct Case {
        const char* name;
        std::vector<std::size_t> rows;
        const char* left;
    };
    for (const Case& c : std::initializer_list<Case>{{"first", {0}, "BCDE"},
                                                     {"last two, unordered", {4, 3}, "ABC"},
                                                     {"every other", {0, 2, 4}, "BD"},
                                                     {"all", {0, 1, 2, 3, 4}, ""},
                                                     {"out of range only", {9}, "ABCDE"}}) {
        SCOPED_TRACE(c.name);
        Project doc;
        doc.setLinks(2, abcde());
        const std::string before = serializeProject(doc);
        const std::vector<LinkId> ids = doc.linkIds(2);
        const LinkRows taken = doc.takeLinks(2, c.rows);
        EXPECT_EQ(descriptions(doc, 2), c.left);
        EXPECT_EQ(doc.linkIds(2).size(), doc.linkList(2).size());
        doc.putLinks(2, taken);
        EXPECT_EQ(serializeProject(doc), before);
        EXPECT_EQ(doc.linkIds(2), ids);
    }
    Project doc;
    doc.setLinks(0, abcde());
    const std::string before = serializeProject(doc);
    const LinkRows old =
        doc.replaceLinks(0, {{1, 3}, {{"b", "http://b2/"}, {"d", "http://d2/"}}, {}});
    EXPECT_EQ(descriptions(doc, 0), "AbCdE");
    EXPECT_EQ(doc.linkList(0).url(3), "http://d2/");
    doc.replaceLinks(0, old);
    EXPECT_EQ(serializeProject(doc), before);
}

// A link keeps its identity when it moves to another group; identities are
// never given twice and never written.
TEST(Model, LinksKeepTheirIdentity) {
    Project doc;
    doc.setLinks(0, abcde());
    const std::string bytes = serializeProject(doc);
    const LinkId c = doc.linkIds(0)[2];
    LinkRows moved = doc.takeLinks(0, {2});
    moved.rows = {0};
    doc.putLinks(5, moved);
    int group = -1;
    std::size_t row = 99;
    ASSERT_TRUE(doc.findLink(c, group, row));
    EXPECT_EQ(group, 5);
    EXPECT_EQ(row, 0u);
    doc.addLink(0, "F", "http://f/");
    std::vector<LinkId> all;
    for (int g = 0; g < doc.groupCount(); ++g)
        all.insert(all.end(), doc.linkIds(g).begin(), doc.linkIds(g).end());
    std::sort(all.begin(), all.end());
    EXPECT_EQ(std::adjacent_find(all.begin(), all.end()), all.end());
    // Rows that keep their place and texts keep their identities when the
    // group is set anew (an import appending to it).
    const LinkId a = doc.linkIds(0)[0];
    std::vector<Link> more = doc.links(0);
    more.emplace_back("G", "http://g/");
    doc.setLinks(0, more);
    EXPECT_EQ(doc.linkIds(0)[0], a);
    // Moving C back leaves the file as it was.
    Project back;
    back.setLinks(0, abcde());
    EXPECT_EQ(serializeProject(back), bytes);
    EXPECT_FALSE(doc.findLink(987654321, group, row));
}

TEST(Model, ObserversHearEveryChange) {
    Project doc;
    Recorder r;
    doc.addObserver(&r);
    doc.setLinks(1, abcde());
    doc.takeLinks(1, {3, 1});
    doc.putLinks(1, {{0}, {{"Z", "http://z/"}}, {doc.newLinkId()}});
    doc.replaceLinks(1, {{2}, {{"Y", "http://y/"}}, {}});
    doc.setTitle("T");
    doc.setTitle("T"); // no change, nothing told
    doc.setGroupTitle(4, "News");
    PageSettings page = doc.pageSettings();
    page.columns = 3;
    page.linkColor = 0xFF;
    doc.setPageSettings(page); // one notice for both
    doc.resetToNew();
    doc.removeObserver(&r);
    doc.setTitle("unheard");
    EXPECT_EQ(r.heard,
              (std::vector<std::string>{"reset 1", "removed 1:13", "inserted 1:0", "changed 1:2",
                                        "page", "heading 4", "page", "project"}));
    EXPECT_EQ(doc.columns(), 2);
}
