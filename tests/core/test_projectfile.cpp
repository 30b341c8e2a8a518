#include "TestUtil.h"

#include "core/Project.h"
#include "core/ProjectFile.h"

#include <sys/stat.h>

namespace {

std::string newProjectBytes() {
    std::string page = writeWord(256) + str("") + str("") + str("Arial") + writeWord(0) + str("") +
                       writeWord(0) + writeWord(2) + writeWord(1) + writeWord(0xFFFFFF) +
                       writeWord(0) + writeWord(0x800000) + writeWord(10);
    std::string group =
        str("") + str("") + str("Arial") + writeWord(0) + writeWord(0) + writeWord(0);
    for (int i = 0; i < 10; ++i)
        page += group;
    return page;
}

Project exampleDoc() {
    Project doc;
    doc.setTitle("My Links");
    editHeading(doc, 0, [&](LinkGroup& h) { h.title = "News"; });
    doc.addLink(0, "Home", "index.htm");
    return doc;
}

ReadResult load(const std::string& bytes, Project& doc) {
    MemorySource src(bytes.data(), bytes.size());
    return readProjectRecords(src, doc);
}

} // namespace

TEST(ProjectFile, NewProjectIsThe245ByteExample) {
    Project doc;
    doc.resetToNew();
    std::string bytes = serializeProject(doc);
    ASSERT_EQ(bytes.size(), 245u);
    EXPECT_EQ(hex(bytes.substr(0, 45)),
              "00 01 00 00 00 00 05 41 72 69 61 6C 00 00 00 00 00 00 00 00 00 02 00 00 00 01 00 "
              "00 00 FF FF FF 00 00 00 00 00 00 00 80 00 0A 00 00 00");
    EXPECT_EQ(bytes, newProjectBytes());
}

TEST(ProjectFile, TitledProjectWithOneLinkIs272Bytes) {
    std::string bytes = serializeProject(exampleDoc());
    ASSERT_EQ(bytes.size(), 272u);
    EXPECT_EQ(hex(bytes.substr(4, 9)), "08 4D 79 20 4C 69 6E 6B 73");
    EXPECT_EQ(hex(bytes.substr(53, 24 + 15)),
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
        EXPECT_EQ(hex(encodeStringPrefix(c.n)), c.prefix);
        Project doc;
        doc.setTitle(text);
        doc.addLink(9, text, "u");
        Project back;
        ASSERT_EQ(load(serializeProject(doc), back).status, ReadStatus::Ok);
        EXPECT_EQ(back.title(), text);
        EXPECT_EQ(back.links(9).at(0).description, text);
    }
}

TEST(ProjectFile, FullRoundTripKeepsEveryField) {
    Project doc;
    doc.setTitle("T");
    doc.setSubtitle("S\xE9");
    doc.setTitleFace("Times New Roman");
    doc.setTitleStyle(3);
    doc.setTopImage("C:\\pics\\logo.gif");
    doc.setTitleColor(0x123456);
    doc.setColumns(7); // out of the editor's range: kept as stored
    doc.setBorders(0);
    doc.setBackgroundColor(0x000000);
    doc.setLinkColor(0xABCDEF);
    doc.setVisitedLinkColor(0x010203);
    for (int g = 0; g < 10; ++g) {
        editHeading(doc, g, [&](LinkGroup& h) { h.title = "G" + std::to_string(g); });
        editHeading(doc, g, [&](LinkGroup& h) { h.bullet = "b.gif"; });
        editHeading(doc, g, [&](LinkGroup& h) { h.face = "Verdana"; });
        editHeading(doc, g, [&](LinkGroup& h) { h.style = g % 4; });
        editHeading(doc, g,
                    [&](LinkGroup& h) { h.textColor = 0x10101u * static_cast<RgbColor>(g); });
        for (int l = 0; l < g; ++l)
            doc.addLink(g, "d" + std::to_string(l), "http://x/" + std::to_string(l));
    }
    Project back;
    ASSERT_EQ(load(serializeProject(doc), back).status, ReadStatus::Ok);
    EXPECT_EQ(serializeProject(back), serializeProject(doc));
    EXPECT_EQ(back.groups(), doc.groups());
}

TEST(ProjectFile, FormatWordIsIgnoredAndTrailingBytesToo) {
    std::string bytes = serializeProject(exampleDoc());
    std::string odd = "\xDE\xAD\xBE\xEF" + bytes.substr(4) + "trailing garbage";
    Project a, b;
    ASSERT_EQ(load(bytes, a).status, ReadStatus::Ok);
    ASSERT_EQ(load(odd, b).status, ReadStatus::Ok);
    EXPECT_EQ(serializeProject(a), serializeProject(b));
}

TEST(ProjectFile, GroupCountDecidesHowManyGroupsAreRead) {
    const std::string head = newProjectBytes().substr(0, 41);
    auto group = [](const std::string& title) {
        return str(title) + str("") + str("Arial") + writeWord(1) + writeWord(5) + writeWord(1) +
               str("d") + str("u");
    };
    // Three groups: the rest keep fresh values.
    {
        Project doc;
        ASSERT_EQ(load(head + writeWord(3) + group("a") + group("b") + group("c"), doc).status,
                  ReadStatus::Ok);
        EXPECT_EQ(doc.group(2).title, "c");
        EXPECT_EQ(doc.group(3), LinkGroup());
    }
    // Zero or a negative count reads nothing more.
    for (std::uint32_t count : {0u, 0x80000000u, 0xFFFFFFFFu}) {
        Project doc;
        EXPECT_EQ(load(head + writeWord(count) + "ignored", doc).status, ReadStatus::Ok);
        EXPECT_EQ(doc.group(0), LinkGroup());
    }
    // Twelve groups: the surplus records are read and discarded.
    {
        std::string bytes = head + writeWord(12);
        for (int i = 0; i < 12; ++i)
            bytes += group("g" + std::to_string(i));
        Project doc;
        ASSERT_EQ(load(bytes, doc).status, ReadStatus::Ok);
        ASSERT_EQ(doc.groups().size(), 10u);
        EXPECT_EQ(doc.group(9).title, "g9");
        // ... and a file ending inside the surplus is damaged.
        Project cut;
        EXPECT_EQ(load(bytes.substr(0, bytes.size() - 1), cut).status, ReadStatus::EndOfData);
    }
}

TEST(ProjectFile, WideStringKeepsEveryCharacter) {
    const std::string head = newProjectBytes().substr(0, 4);
    // "Caf\u00e9 \u20ac \u4e2d" in UTF-16: the CJK character has no byte.
    std::string wide = std::string("\xFF\xFE\xFF") + char(7);
    for (char16_t ch : std::u16string(u"Caf\u00e9 \u20ac\u4e2d"))
        wide += std::string{char(ch & 0xFF), char(ch >> 8)};
    std::string bytes = head + wide + newProjectBytes().substr(5);
    Project doc;
    ASSERT_EQ(load(bytes, doc).status, ReadStatus::Ok);
    EXPECT_EQ(doc.title(), "Caf\u00E9 \u20AC\u4E2D");
    EXPECT_EQ(doc.groups().size(), 10u);
}

TEST(ProjectFile, EveryTruncationIsAFormatError) {
    Project doc = exampleDoc();
    doc.setSubtitle(std::string(300, 's'));       // a 16-bit prefix
    doc.addLink(1, std::string(70000, 'l'), "u"); // a 32-bit prefix
    std::string bytes = serializeProject(doc);
    for (size_t n = 0; n < bytes.size(); n += (n < 400 || bytes.size() - n < 400) ? 1 : 997) {
        Project back;
        ASSERT_EQ(load(bytes.substr(0, n), back).status, ReadStatus::EndOfData) << n;
    }
}

TEST(ProjectFile, HostileLengthsFailWithoutAllocating) {
    const std::string head = newProjectBytes().substr(0, 4);
    const std::string rest = newProjectBytes().substr(5);
    const std::string cases[] = {
        head + "\xFF\xFF\xFF\xFF\xFF\xFF\xFF",             // 4 GiB title
        head + "\xFF\xFF\xFF\xFE\xFF\xFF\x7F" + rest,      // 2 GiB title
        head + "\xFF\xFE\xFF\xFF\xFF\xFF\xFF\xFF\xFF\xFF", // 4 G wide characters
        head + "\xFF\xFE\xFF\xFF\xFE\xFF" + rest,          // marker after marker
        newProjectBytes().substr(0, 41) + writeWord(1) + str("") + str("") + str("Arial") +
            writeWord(0) + writeWord(0) + writeWord(0x7FFFFFFF), // two billion links
        newProjectBytes().substr(0, 41) + writeWord(0x7FFFFFFF), // two billion groups
    };
    for (const auto& bytes : cases) {
        Project doc;
        EXPECT_EQ(load(bytes, doc).status, ReadStatus::EndOfData) << hex(bytes.substr(0, 12));
    }
}

// Opening through the document: the messages and what is left behind.
class ProjectOpen : public ::testing::Test {
protected:
    TempDir dir;
};

TEST_F(ProjectOpen, MissingFileChangesNothing) {
    Project doc = exampleDoc();
    doc.setModified(true);
    const std::string path = dir.file("nope.lfp");
    const LoadResult r = doc.load(path);
    EXPECT_EQ(r.status, LoadStatus::NotOpened);
    EXPECT_EQ(r.error, path + " was not found.");
    EXPECT_TRUE(doc.isModified());
    EXPECT_EQ(doc.links(0).size(), 1u);
    EXPECT_EQ(doc.title(), "My Links");
}

TEST_F(ProjectOpen, ZeroLengthFileKeepsPageFieldsAndResetsGroups) {
    Project doc = exampleDoc();
    const std::string path = dir.file("empty.lfp");
    writeFileBytes(path, "");
    ASSERT_TRUE(doc.load(path).ok());
    EXPECT_EQ(doc.title(), "My Links");
    EXPECT_EQ(doc.groups(), Project().groups());
    EXPECT_FALSE(doc.isModified());
}

TEST_F(ProjectOpen, DamagedFileSaysUnexpectedFormatAndStaysModified) {
    const std::string path = dir.file("cut.lfp");
    writeFileBytes(path, serializeProject(exampleDoc()).substr(0, 45));
    Project doc;
    const LoadResult r = doc.load(path);
    EXPECT_EQ(r.status, LoadStatus::Damaged);
    EXPECT_EQ(r.error, "Unexpected file format.");
    EXPECT_TRUE(doc.isModified());
}

TEST_F(ProjectOpen, DirectoryIsRefused) {
    Project doc;
    const LoadResult r = doc.load(dir.path().string());
    EXPECT_EQ(r.status, LoadStatus::NotOpened);
    EXPECT_EQ(r.error, "Access to " + dir.path().string() + " was denied.");
}

TEST_F(ProjectOpen, ResultSaysWhetherReadingBegan) {
    Project doc;
    EXPECT_EQ(doc.load(dir.file("missing.lfp")).status, LoadStatus::NotOpened);
    const std::string path = dir.file("ok.lfp");
    writeFileBytes(path, serializeProject(exampleDoc()));
    const LoadResult r = doc.load(path);
    EXPECT_EQ(r.status, LoadStatus::Ok);
    EXPECT_EQ(r.error, "");
    EXPECT_EQ(doc.title(), "My Links");
    EXPECT_TRUE(doc.save(dir.file("saved.lfp")));
    EXPECT_EQ(readFileBytes(dir.file("saved.lfp")), serializeProject(exampleDoc()));
}
