#include "TestUtil.h"

#include "model/LFDoc.h"
#include "model/ProjectFile.h"

#include <sys/stat.h>

namespace {

std::string NewProjectBytes() {
    std::string page = Word(256) + Str("") + Str("") + Str("Arial") + Word(0) + Str("") + Word(0) +
                       Word(2) + Word(1) + Word(0xFFFFFF) + Word(0) + Word(0x800000) + Word(10);
    std::string group = Str("") + Str("") + Str("Arial") + Word(0) + Word(0) + Word(0);
    for (int i = 0; i < 10; ++i)
        page += group;
    return page;
}

CLFDoc ExampleDoc() {
    CLFDoc doc;
    doc.m_strTitle = "My Links";
    doc.m_groups[0].m_strTitle = "News";
    doc.AddLink(0, "Home", "index.htm");
    return doc;
}

ReadResult Load(const std::string& bytes, CLFDoc& doc) {
    CMemorySource src(bytes.data(), bytes.size());
    return ReadProjectRecords(src, doc);
}

} // namespace

TEST(ProjectFile, NewProjectIsThe245ByteExample) {
    CLFDoc doc;
    doc.OnNewDocument();
    std::string bytes = SerializeProject(doc);
    ASSERT_EQ(bytes.size(), 245u);
    EXPECT_EQ(Hex(bytes.substr(0, 45)),
              "00 01 00 00 00 00 05 41 72 69 61 6C 00 00 00 00 00 00 00 00 00 02 00 00 00 01 00 "
              "00 00 FF FF FF 00 00 00 00 00 00 00 80 00 0A 00 00 00");
    EXPECT_EQ(bytes, NewProjectBytes());
}

TEST(ProjectFile, TitledProjectWithOneLinkIs272Bytes) {
    std::string bytes = SerializeProject(ExampleDoc());
    ASSERT_EQ(bytes.size(), 272u);
    EXPECT_EQ(Hex(bytes.substr(4, 9)), "08 4D 79 20 4C 69 6E 6B 73");
    EXPECT_EQ(Hex(bytes.substr(53, 24 + 15)),
              "04 4E 65 77 73 00 05 41 72 69 61 6C 00 00 00 00 00 00 00 00 01 00 00 00 "
              "04 48 6F 6D 65 09 69 6E 64 65 78 2E 68 74 6D");
}

TEST(ProjectFile, StringPrefixBoundariesRoundTrip) {
    const struct {
        size_t n;
        const char* prefix;
    } cases[] = {
        {0, "00"},
        {254, "FE"},
        {255, "FF FF 00"},
        {65533, "FF FD FF"},
        {65534, "FF FF FF FE FF 00 00"},
        {70000, "FF FF FF 70 11 01 00"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.n);
        std::string text(c.n, 'x');
        for (size_t i = 0; i < text.size(); ++i)
            text[i] = static_cast<char>('a' + i % 26);
        EXPECT_EQ(Hex(EncodeStringPrefix(c.n)), c.prefix);
        CLFDoc doc;
        doc.m_strTitle = text;
        doc.m_groups[9].m_links.push_back({text, "u"});
        CLFDoc back;
        ASSERT_EQ(Load(SerializeProject(doc), back).status, ReadStatus::Ok);
        EXPECT_EQ(back.m_strTitle, text);
        EXPECT_EQ(back.m_groups[9].m_links.at(0).m_strDescription, text);
    }
}

TEST(ProjectFile, FullRoundTripKeepsEveryField) {
    CLFDoc doc;
    doc.m_strTitle = "T";
    doc.m_strSubtitle = "S\xE9";
    doc.m_strTitleFace = "Times New Roman";
    doc.m_nTitleStyle = 3;
    doc.m_strTopImage = "C:\\pics\\logo.gif";
    doc.m_clrTitle = 0x123456;
    doc.m_nColumns = 7; // out of the editor's range: kept as stored
    doc.m_bBorders = 0;
    doc.m_clrBackground = 0x000000;
    doc.m_clrLink = 0xABCDEF;
    doc.m_clrVisitedLink = 0x010203;
    for (int g = 0; g < 10; ++g) {
        doc.m_groups[g].m_strTitle = "G" + std::to_string(g);
        doc.m_groups[g].m_strBullet = "b.gif";
        doc.m_groups[g].m_strFace = "Verdana";
        doc.m_groups[g].m_nStyle = g % 4;
        doc.m_groups[g].m_clrText = 0x10101 * g;
        for (int l = 0; l < g; ++l)
            doc.AddLink(g, "d" + std::to_string(l), "http://x/" + std::to_string(l));
    }
    CLFDoc back;
    ASSERT_EQ(Load(SerializeProject(doc), back).status, ReadStatus::Ok);
    EXPECT_EQ(SerializeProject(back), SerializeProject(doc));
    EXPECT_EQ(back.m_groups, doc.m_groups);
}

TEST(ProjectFile, FormatWordIsIgnoredAndTrailingBytesToo) {
    std::string bytes = SerializeProject(ExampleDoc());
    std::string odd = "\xDE\xAD\xBE\xEF" + bytes.substr(4) + "trailing garbage";
    CLFDoc a, b;
    ASSERT_EQ(Load(bytes, a).status, ReadStatus::Ok);
    ASSERT_EQ(Load(odd, b).status, ReadStatus::Ok);
    EXPECT_EQ(SerializeProject(a), SerializeProject(b));
}

TEST(ProjectFile, GroupCountDecidesHowManyGroupsAreRead) {
    const std::string head = NewProjectBytes().substr(0, 41);
    auto group = [](const std::string& title) {
        return Str(title) + Str("") + Str("Arial") + Word(1) + Word(5) + Word(1) + Str("d") +
               Str("u");
    };
    // Three groups: the rest keep fresh values.
    {
        CLFDoc doc;
        ASSERT_EQ(Load(head + Word(3) + group("a") + group("b") + group("c"), doc).status,
                  ReadStatus::Ok);
        EXPECT_EQ(doc.m_groups[2].m_strTitle, "c");
        EXPECT_EQ(doc.m_groups[3], CUrlGroup());
    }
    // Zero or a negative count reads nothing more.
    for (std::uint32_t count : {0u, 0x80000000u, 0xFFFFFFFFu}) {
        CLFDoc doc;
        EXPECT_EQ(Load(head + Word(count) + "ignored", doc).status, ReadStatus::Ok);
        EXPECT_EQ(doc.m_groups[0], CUrlGroup());
    }
    // Twelve groups: the surplus records are read and discarded.
    {
        std::string bytes = head + Word(12);
        for (int i = 0; i < 12; ++i)
            bytes += group("g" + std::to_string(i));
        CLFDoc doc;
        ASSERT_EQ(Load(bytes, doc).status, ReadStatus::Ok);
        ASSERT_EQ(doc.m_groups.size(), 10u);
        EXPECT_EQ(doc.m_groups[9].m_strTitle, "g9");
        // ... and a file ending inside the surplus is damaged.
        CLFDoc cut;
        EXPECT_EQ(Load(bytes.substr(0, bytes.size() - 1), cut).status, ReadStatus::EndOfData);
    }
}

TEST(ProjectFile, WideStringIsConvertedToWindows1252) {
    const std::string head = NewProjectBytes().substr(0, 4);
    // "Caf\u00e9 \u20ac \u4e2d" in UTF-16: the CJK character has no byte.
    std::string wide = std::string("\xFF\xFE\xFF") + char(7);
    for (char16_t ch : std::u16string(u"Caf\u00e9 \u20ac\u4e2d"))
        wide += std::string{char(ch & 0xFF), char(ch >> 8)};
    std::string bytes = head + wide + NewProjectBytes().substr(5);
    CLFDoc doc;
    ASSERT_EQ(Load(bytes, doc).status, ReadStatus::Ok);
    EXPECT_EQ(doc.m_strTitle, "Caf\xE9 \x80?");
    EXPECT_EQ(doc.m_groups.size(), 10u);
}

TEST(ProjectFile, EveryTruncationIsAFormatError) {
    CLFDoc doc = ExampleDoc();
    doc.m_strSubtitle = std::string(300, 's'); // a 16-bit prefix
    doc.m_groups[1].m_links.push_back({std::string(70000, 'l'), "u"}); // a 32-bit prefix
    std::string bytes = SerializeProject(doc);
    for (size_t n = 0; n < bytes.size(); n += (n < 400 || bytes.size() - n < 400) ? 1 : 997) {
        CLFDoc back;
        ASSERT_EQ(Load(bytes.substr(0, n), back).status, ReadStatus::EndOfData) << n;
    }
}

TEST(ProjectFile, HostileLengthsFailWithoutAllocating) {
    const std::string head = NewProjectBytes().substr(0, 4);
    const std::string rest = NewProjectBytes().substr(5);
    const std::string cases[] = {
        head + "\xFF\xFF\xFF\xFF\xFF\xFF\xFF",                     // 4 GiB title
        head + "\xFF\xFF\xFF\xFE\xFF\xFF\x7F" + rest,              // 2 GiB title
        head + "\xFF\xFE\xFF\xFF\xFF\xFF\xFF\xFF\xFF\xFF",         // 4 G wide characters
        head + "\xFF\xFE\xFF\xFF\xFE\xFF" + rest,                  // marker after marker
        NewProjectBytes().substr(0, 41) + Word(1) + Str("") + Str("") + Str("Arial") + Word(0) +
            Word(0) + Word(0x7FFFFFFF),                            // two billion links
        NewProjectBytes().substr(0, 41) + Word(0x7FFFFFFF),        // two billion groups
    };
    for (const auto& bytes : cases) {
        CLFDoc doc;
        EXPECT_EQ(Load(bytes, doc).status, ReadStatus::EndOfData) << Hex(bytes.substr(0, 12));
    }
}

// Opening through the document: the messages and what is left behind.
class ProjectOpen : public ::testing::Test {
protected:
    TempDir dir;
};

TEST_F(ProjectOpen, MissingFileChangesNothing) {
    CLFDoc doc = ExampleDoc();
    doc.SetModifiedFlag(true);
    const std::string path = dir.File("nope.lfp");
    EXPECT_FALSE(doc.OnOpenDocument(path));
    EXPECT_EQ(doc.ErrorString(), path + " was not found.");
    EXPECT_TRUE(doc.IsModified());
    EXPECT_EQ(doc.m_groups[0].m_links.size(), 1u);
    EXPECT_EQ(doc.m_strTitle, "My Links");
}

TEST_F(ProjectOpen, ZeroLengthFileKeepsPageFieldsAndResetsGroups) {
    CLFDoc doc = ExampleDoc();
    const std::string path = dir.File("empty.lfp");
    WriteFileBytes(path, "");
    ASSERT_TRUE(doc.OnOpenDocument(path));
    EXPECT_EQ(doc.m_strTitle, "My Links");
    EXPECT_EQ(doc.m_groups, CLFDoc().m_groups);
    EXPECT_FALSE(doc.IsModified());
}

TEST_F(ProjectOpen, DamagedFileSaysUnexpectedFormatAndStaysModified) {
    const std::string path = dir.File("cut.lfp");
    WriteFileBytes(path, SerializeProject(ExampleDoc()).substr(0, 45));
    CLFDoc doc;
    EXPECT_FALSE(doc.OnOpenDocument(path));
    EXPECT_EQ(doc.ErrorString(), "Unexpected file format.");
    EXPECT_TRUE(doc.IsModified());
}

TEST_F(ProjectOpen, DirectoryIsRefused) {
    CLFDoc doc;
    EXPECT_FALSE(doc.OnOpenDocument(dir.Path().string()));
    EXPECT_EQ(doc.ErrorString(), "Access to " + dir.Path().string() + " was denied.");
}

TEST_F(ProjectOpen, ViewIsResetOnlyOnceTheFileIsOpen) {
    struct View : CDocViewHooks {
        int updates = 0, resets = 0;
        void UpdateDocument() override { ++updates; }
        void ResetForOpen() override { ++resets; }
    } view;
    CLFDoc doc;
    doc.SetView(&view);
    EXPECT_FALSE(doc.OnOpenDocument(dir.File("missing.lfp")));
    EXPECT_EQ(view.resets, 0);
    const std::string path = dir.File("ok.lfp");
    WriteFileBytes(path, SerializeProject(ExampleDoc()));
    EXPECT_TRUE(doc.OnOpenDocument(path));
    EXPECT_EQ(view.resets, 1);
    EXPECT_TRUE(doc.OnSaveDocument(dir.File("saved.lfp")));
    EXPECT_EQ(view.updates, 1);
}
