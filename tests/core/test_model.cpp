#include "TestUtil.h"

#include "model/Codepage.h"
#include "model/FileError.h"
#include "model/LFDoc.h"
#include "model/PathPart.h"

#include <cerrno>
#include <vector>

namespace {

struct Rows : CLinkRowSource {
    std::vector<std::pair<std::string, std::string>> rows;
    int GetRowCount() const override { return static_cast<int>(rows.size()); }
    std::string GetCellText(int r, int c) const override {
        return c == 0 ? rows[static_cast<size_t>(r)].first : rows[static_cast<size_t>(r)].second;
    }
};

CLFDoc Styled() {
    CLFDoc doc;
    for (int g = 0; g < 10; ++g) {
        doc.m_groups[g].m_strTitle = "t";
        doc.m_groups[g].m_nStyle = 3;
        doc.AddLink(g, "a", "b");
    }
    return doc;
}

} // namespace

TEST(Model, NewResetsEverything) {
    CLFDoc doc = Styled();
    doc.m_strTitle = "x";
    doc.m_nColumns = 4;
    doc.m_clrBackground = 0;
    doc.SetPathName("/a.lfp");
    doc.SetModifiedFlag(true);
    ASSERT_TRUE(doc.OnNewDocument());
    CLFDoc fresh;
    EXPECT_EQ(doc.m_groups, fresh.m_groups);
    EXPECT_EQ(doc.m_groups.size(), 10u);
    EXPECT_EQ(doc.m_strTitle, "");
    EXPECT_EQ(doc.m_strTitleFace, "Arial");
    EXPECT_EQ(doc.m_nColumns, 2);
    EXPECT_EQ(doc.m_bBorders, 1);
    EXPECT_EQ(doc.m_clrBackground, 0xFFFFFFu);
    EXPECT_EQ(doc.m_clrVisitedLink, 0x800000u);
    EXPECT_EQ(doc.GetPathName(), "");
    EXPECT_FALSE(doc.IsModified());
}

TEST(Model, ClearLinksOneOrAll) {
    CLFDoc doc = Styled();
    doc.ClearLinks(3);
    for (int g = 0; g < 10; ++g) {
        EXPECT_EQ(doc.m_groups[g].m_links.size(), g == 3 ? 0u : 1u);
        EXPECT_EQ(doc.m_groups[g].m_nStyle, 3);
    }
    doc.ClearLinks(-1);
    for (const auto& g : doc.m_groups) {
        EXPECT_TRUE(g.m_links.empty());
        EXPECT_EQ(g.m_strTitle, "t");
    }
}

TEST(Model, ReplaceLinksFromListAndAddLink) {
    CLFDoc doc = Styled();
    Rows rows;
    doc.ReplaceLinksFromList(2, rows);
    EXPECT_TRUE(doc.m_groups[2].m_links.empty());
    rows.rows = {{"", ""}, {"d", ""}, {"", "u"}};
    doc.ReplaceLinksFromList(2, rows);
    ASSERT_EQ(doc.m_groups[2].m_links.size(), 3u);
    EXPECT_EQ(doc.m_groups[2].m_links[1], CLinkEntry("d", ""));
    EXPECT_EQ(doc.m_groups[2].m_links[2], CLinkEntry("", "u"));
    doc.AddLink(2, "x", "1");
    doc.AddLink(2, "y", "2");
    EXPECT_EQ(doc.m_groups[2].m_links[3].m_strDescription, "x");
    EXPECT_EQ(doc.m_groups[2].m_links[4].m_strDescription, "y");
    doc.AddLink(10, "out", "of range"); // ignored, never out of bounds
    doc.AddLink(-1, "out", "of range");
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
        EXPECT_EQ(GetPathPart(c.path, c.mask), c.part) << c.path << " " << c.mask;
}

TEST(Codepage, ConversionsBothWays) {
    const std::string cp = "A\xE9\x80\x9F\xFF\x81";
    EXPECT_EQ(Cp1252ToUtf8(cp), "A\u00e9\u20ac\u0178\u00ff\u0081");
    EXPECT_EQ(Utf8ToCp1252(Cp1252ToUtf8(cp)), cp);
    EXPECT_EQ(Utf16ToCp1252(Cp1252ToUtf16(cp)), cp);
    EXPECT_EQ(Utf8ToCp1252("\u4e2d\xF0\x9F\x98\x80x"), "??x");
    EXPECT_EQ(Utf8ToCp1252("bad \xC3"), "bad ?");
    EXPECT_EQ(Utf16ToCp1252(u"\U0001F600\xD800z"), "??z");
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
        EXPECT_EQ(FileErrorText(FileErrorCauseFromErrno(c.err), "/p"), c.text) << c.err;
}
