// The extension block after the last group: absent at the defaults, kept
// through load and save with records this version does not know, and never
// a reason to refuse the groups before it.
#include "TestUtil.h"

#include "core/ProjectExtension.h"
#include "core/ProjectFile.h"

namespace {

std::string record(const std::string& tag, const std::string& bytes) {
    return tag + writeWord(static_cast<std::uint32_t>(bytes.size())) + bytes;
}

std::string blockOf(const std::string& records) {
    return std::string(kExtensionMagic) + char(kExtensionVersion) + records;
}

// A project with one link, as bytes without a block.
std::string plainProject() {
    Project doc;
    doc.addLink(0, "Example", "https://example.org/");
    return serializeProject(doc);
}

struct Read {
    ReadResult result;
    Project doc;
};

Read readBytes(const std::string& bytes) {
    Read r;
    MemorySource src(bytes.data(), bytes.size());
    r.result = readProjectRecords(src, r.doc);
    return r;
}

PageStyle everythingChanged() {
    PageStyle style;
    style.look = PageLook::Modern;
    style.theme = PageTheme::Dark;
    style.filterBox = false;
    style.searchUrl = "https://search.example/?q=%s&lang=\"en\"";
    style.icons = false;
    return style;
}

} // namespace

TEST(ProjectExtension, DefaultsWriteNoBlock) {
    Project doc;
    doc.addLink(0, "Example", "https://example.org/");
    doc.setPageStyle(everythingChanged());
    EXPECT_NE(serializeProject(doc), plainProject());
    doc.setPageStyle({});
    EXPECT_EQ(serializeProject(doc), plainProject());
}

TEST(ProjectExtension, SettingTheStyleIsOneModifyingStep) {
    Project doc;
    doc.setPageStyle({});
    EXPECT_FALSE(doc.isModified());
    doc.setPageStyle(everythingChanged());
    EXPECT_TRUE(doc.isModified());
    EXPECT_EQ(doc.pageStyle(), everythingChanged());
}

TEST(ProjectExtension, StyleSurvivesSaveAndLoad) {
    TempDir dir;
    const std::string path = dir.file("styled.lfp");
    Project doc;
    doc.addLink(3, "Example", "https://example.org/");
    PageStyle modern;
    modern.look = PageLook::Modern;
    for (const PageStyle& style : {everythingChanged(), modern}) {
        doc.setPageStyle(style);
        ASSERT_TRUE(doc.save(path));
        Project back;
        const LoadResult loaded = back.load(path);
        ASSERT_TRUE(loaded.ok());
        EXPECT_FALSE(loaded.extrasDropped);
        EXPECT_FALSE(back.isModified());
        EXPECT_EQ(back.pageStyle(), style);
        EXPECT_EQ(back.links(3), doc.links(3));
    }
}

TEST(ProjectExtension, UnknownRecordsAreKeptByteForByte) {
    // Known records first, in the writer's order, so the whole file comes
    // back unchanged.
    const std::string unknown = record("ZZZ1", std::string("\0\xFF\x01 newer", 9)) +
                                record("PSTz", "") + record("QQQQ", std::string(300, 'q'));
    const std::string bytes = plainProject() + blockOf(record("PSTY", "\x01") +
                                                       record("PSRC", "https://s/?q=%s") + unknown);
    Read r = readBytes(bytes);
    ASSERT_EQ(r.result.status, ReadStatus::Ok);
    EXPECT_FALSE(r.result.extrasDropped);
    EXPECT_EQ(r.doc.pageStyle().look, PageLook::Modern);
    EXPECT_EQ(r.doc.pageStyle().searchUrl, "https://s/?q=%s");
    EXPECT_EQ(r.doc.extras().unknownRecords, unknown);
    EXPECT_EQ(serializeProject(r.doc), bytes);

    // Unknown records alone, every known setting at its default, still
    // make a block.
    r.doc.setPageStyle({});
    EXPECT_EQ(serializeProject(r.doc), plainProject() + blockOf(unknown));
}

TEST(ProjectExtension, DamagedBlockDropsOnlyWhatCannotBeRead) {
    const std::string modern = record("PSTY", "\x01");
    const std::string dark = record("PTHM", "\x02");
    struct Case {
        const char* name;
        std::string trailing;
        bool dropped;
        PageLook look;
        PageTheme theme;
    };
    const Case cases[] = {
        {"no block", "", false, PageLook::Classic, PageTheme::System},
        {"other trailing bytes are ignored", "junk after the groups", false, PageLook::Classic,
         PageTheme::System},
        {"magic alone", std::string(kExtensionMagic), true, PageLook::Classic, PageTheme::System},
        {"empty block", blockOf(""), false, PageLook::Classic, PageTheme::System},
        {"another version", std::string(kExtensionMagic) + '\x02' + modern, true, PageLook::Classic,
         PageTheme::System},
        {"record cut short", blockOf(modern + dark.substr(0, dark.size() - 1)), true,
         PageLook::Modern, PageTheme::System},
        {"length past the end", blockOf(modern + "PTHM" + writeWord(0xFFFFFFFF) + "\x02"), true,
         PageLook::Modern, PageTheme::System},
        {"record header cut", blockOf(modern + "PTH"), true, PageLook::Modern, PageTheme::System},
        {"value out of range", blockOf(record("PSTY", "\x07") + dark), true, PageLook::Classic,
         PageTheme::Dark},
        {"wrong length of a known record",
         blockOf(record("PSTY", std::string("\x01\x00", 2)) + dark), true, PageLook::Classic,
         PageTheme::Dark},
        {"garbage after good records", blockOf(modern + dark + "\x13\x37garbage"), true,
         PageLook::Modern, PageTheme::Dark},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const Read r = readBytes(plainProject() + c.trailing);
        ASSERT_EQ(r.result.status, ReadStatus::Ok);
        EXPECT_EQ(r.result.extrasDropped, c.dropped);
        EXPECT_EQ(r.doc.links(0), std::vector<Link>({{"Example", "https://example.org/"}}));
        EXPECT_EQ(r.doc.pageStyle().look, c.look);
        EXPECT_EQ(r.doc.pageStyle().theme, c.theme);
    }
}

TEST(ProjectExtension, LoadReportsADroppedBlockAndMarksTheProjectModified) {
    TempDir dir;
    const std::string path = dir.file("damaged.lfp");
    writeFileBytes(path, plainProject() + blockOf(record("PSTY", "\x01") + "PTHM\xFF"));
    Project doc;
    const LoadResult loaded = doc.load(path);
    EXPECT_TRUE(loaded.ok());
    EXPECT_TRUE(loaded.extrasDropped);
    EXPECT_TRUE(doc.isModified());
    EXPECT_EQ(doc.pageStyle().look, PageLook::Modern);
    // The next save writes only what was read.
    ASSERT_TRUE(doc.save(path));
    EXPECT_EQ(readFileBytes(path), plainProject() + blockOf(record("PSTY", "\x01")));
}

TEST(ProjectExtension, NewProjectForgetsTheStyle) {
    Project doc;
    doc.setPageStyle(everythingChanged());
    doc.resetToNew();
    EXPECT_EQ(doc.pageStyle(), PageStyle{});
    EXPECT_EQ(serializeProject(doc), serializeProject(Project()));
}
