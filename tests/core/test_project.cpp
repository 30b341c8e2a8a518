#include "TestUtil.h"

#include "core/Codepage.h"
#include "core/FileError.h"
#include "core/PathPart.h"
#include "core/Project.h"

#include <cerrno>
#include <vector>

namespace {

Project styled() {
    Project doc;
    for (int g = 0; g < 10; ++g) {
        editHeading(doc, g, [&](LinkGroup& h) { h.m_title = "t"; });
        editHeading(doc, g, [&](LinkGroup& h) { h.m_style = 3; });
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
        EXPECT_EQ(doc.group(g).m_style, 3);
    }
    doc.clearLinks(-1);
    for (const auto& g : doc.groups()) {
        EXPECT_TRUE(g.m_links.empty());
        EXPECT_EQ(g.m_title, "t");
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
    EXPECT_EQ(doc.links(2)[3].m_description, "x");
    EXPECT_EQ(doc.links(2)[4].m_description, "y");
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
