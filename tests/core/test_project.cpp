#include "TestUtil.h"

#include "core/Codepage.h"
#include "core/FileError.h"
#include "core/PathPart.h"
#include "core/Project.h"

#include <cerrno>
#include <vector>

namespace {

struct Rows : LinkRowSource {
    std::vector<std::pair<std::string, std::string>> rows;
    int sourceRowCount() const override { return static_cast<int>(rows.size()); }
    std::string sourceCellText(int r, int c) const override {
        return c == 0 ? rows[static_cast<size_t>(r)].first : rows[static_cast<size_t>(r)].second;
    }
};

Project styled() {
    Project doc;
    for (int g = 0; g < 10; ++g) {
        doc.m_groups[g].m_title = "t";
        doc.m_groups[g].m_style = 3;
        doc.addLink(g, "a", "b");
    }
    return doc;
}

} // namespace

TEST(Model, NewResetsEverything) {
    Project doc = styled();
    doc.m_title = "x";
    doc.m_columns = 4;
    doc.m_backgroundColor = 0;
    doc.setFilePath("/a.lfp");
    doc.setModified(true);
    ASSERT_TRUE(doc.resetToNew());
    Project fresh;
    EXPECT_EQ(doc.m_groups, fresh.m_groups);
    EXPECT_EQ(doc.m_groups.size(), 10u);
    EXPECT_EQ(doc.m_title, "");
    EXPECT_EQ(doc.m_titleFace, "Arial");
    EXPECT_EQ(doc.m_columns, 2);
    EXPECT_EQ(doc.m_borders, 1);
    EXPECT_EQ(doc.m_backgroundColor, 0xFFFFFFu);
    EXPECT_EQ(doc.m_visitedLinkColor, 0x800000u);
    EXPECT_EQ(doc.filePath(), "");
    EXPECT_FALSE(doc.isModified());
}

TEST(Model, ClearLinksOneOrAll) {
    Project doc = styled();
    doc.clearLinks(3);
    for (int g = 0; g < 10; ++g) {
        EXPECT_EQ(doc.m_groups[g].m_links.size(), g == 3 ? 0u : 1u);
        EXPECT_EQ(doc.m_groups[g].m_style, 3);
    }
    doc.clearLinks(-1);
    for (const auto& g : doc.m_groups) {
        EXPECT_TRUE(g.m_links.empty());
        EXPECT_EQ(g.m_title, "t");
    }
}

TEST(Model, ReplaceLinksFromListAndAddLink) {
    Project doc = styled();
    Rows rows;
    doc.replaceLinksFromList(2, rows);
    EXPECT_TRUE(doc.m_groups[2].m_links.empty());
    rows.rows = {{"", ""}, {"d", ""}, {"", "u"}};
    doc.replaceLinksFromList(2, rows);
    ASSERT_EQ(doc.m_groups[2].m_links.size(), 3u);
    EXPECT_EQ(doc.m_groups[2].m_links[1], Link("d", ""));
    EXPECT_EQ(doc.m_groups[2].m_links[2], Link("", "u"));
    doc.addLink(2, "x", "1");
    doc.addLink(2, "y", "2");
    EXPECT_EQ(doc.m_groups[2].m_links[3].m_description, "x");
    EXPECT_EQ(doc.m_groups[2].m_links[4].m_description, "y");
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
    EXPECT_EQ(utf8ToCp1252(cp1252ToUtf8(cp)), cp);
    EXPECT_EQ(utf16ToCp1252(cp1252ToUtf16(cp)), cp);
    EXPECT_EQ(utf8ToCp1252("\u4e2d\xF0\x9F\x98\x80x"), "??x");
    EXPECT_EQ(utf8ToCp1252("bad \xC3"), "bad ?");
    EXPECT_EQ(utf16ToCp1252(u"\U0001F600\xD800z"), "??z");
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
