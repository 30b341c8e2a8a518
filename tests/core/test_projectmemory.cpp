// Memory a project file may cost: bounded by the file's size whatever it
// announces, and a loaded project held in little more than its own bytes.
#include "TestUtil.h"

#include "core/BufferMemory.h"
#include "core/Project.h"
#include "core/ProjectFile.h"

#include <fstream>
#include <malloc.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

constexpr size_t kMiB = 1024 * 1024;

// The bytes of a new project up to its first group's link count.
std::string headThroughFirstCount(std::uint32_t count) {
    return writeWord(256) + str("") + str("") + str("Arial") + writeWord(0) + str("") +
           writeWord(0) + writeWord(2) + writeWord(1) + writeWord(0xFFFFFF) + writeWord(0) +
           writeWord(0x800000) + writeWord(10) + str("") + str("") + str("Arial") + writeWord(0) +
           writeWord(0) + writeWord(count);
}

// Address space the process has mapped now.
size_t mappedBytes() {
    std::ifstream statm("/proc/self/statm");
    size_t pages = 0;
    statm >> pages;
    return pages * static_cast<size_t>(sysconf(_SC_PAGESIZE));
}

// Loads path in a child limited to 4x the file's size plus 32 MiB beyond
// what it had mapped already; the child's exit code says how it ended:
// 0 refused as damaged, 1 loaded, 2 refused for want of memory.
int loadUnderLimit(const std::string& path, size_t fileSize) {
    const pid_t child = fork();
    if (child == 0) {
        Project doc;
        const size_t limit = mappedBytes() + 4 * fileSize + 32 * kMiB;
        const rlimit rl{limit, limit};
        if (setrlimit(RLIMIT_AS, &rl) != 0)
            _exit(3);
        const LoadResult r = doc.load(path);
        _exit(r.ok() ? 1 : r.error.find("Unexpected file format") != std::string::npos ? 0 : 2);
    }
    int status = 0;
    waitpid(child, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : 100 + WTERMSIG(status);
}

// Heap bytes in use right now, with the buffers mapped beside the heap.
size_t heapInUse() {
    const struct mallinfo2 m = mallinfo2();
    return m.uordblks + m.hblkhd + buffer_memory::mappedBytes();
}

} // namespace

TEST(ProjectMemory, HostileFilesAreRefusedWithinFourTimesTheirSize) {
    SKIP_UNDER_ADDRESS_SANITIZER();
    TempDir dir;
    const size_t size = 40 * kMiB;
    struct Case {
        const char* name;
        std::string head;
        char filler;
    };
    const Case cases[] = {
        // Two billion links announced; the zeros after it read as empty links.
        {"links", headThroughFirstCount(0x7FFFFFFF), '\0'},
        // Two billion groups announced; the zeros read as empty groups.
        {"groups",
         writeWord(256) + str("") + str("") + str("Arial") + writeWord(0) + str("") + writeWord(0) +
             writeWord(2) + writeWord(1) + writeWord(0xFFFFFF) + writeWord(0) +
             writeWord(0x800000) + writeWord(0x7FFFFFFF),
         '\0'},
        // One description as long as the file, of bytes that widen to three in UTF-8.
        {"wide text",
         headThroughFirstCount(1) + "\xFF\xFF\xFF" + writeWord(std::uint32_t(size - 200)), '\x80'},
        // A group of one-byte links that stops short.
        {"short links", headThroughFirstCount(0x7FFFFFFF), '\x01'},
    };
    for (const Case& c : cases) {
        const std::string path = dir.file("hostile.lfp");
        writeFileBytes(path, c.head + std::string(size - c.head.size(), c.filler));
        EXPECT_EQ(loadUnderLimit(path, size), 0) << c.name;
    }
}

TEST(ProjectMemory, HostileExtensionBlocksStayWithinFourTimesTheirSize) {
    TempDir dir;
    const size_t size = 40 * kMiB;
    Project doc;
    const std::string project =
        serializeProject(doc) + std::string(kExtensionMagic) + char(kExtensionVersion);
    struct Case {
        const char* name;
        std::string head;
        char filler;
    };
    const Case cases[] = {
        // One unknown record announcing 4 GiB.
        {"long record", project + "ZZZZ" + writeWord(0xFFFFFFFF), 'z'},
        // Empty unknown records all the way: every one is kept.
        {"many records", project, '\0'},
    };
    for (const Case& c : cases) {
        const std::string path = dir.file("hostile.lfp");
        writeFileBytes(path, c.head + std::string(size - c.head.size(), c.filler));
        EXPECT_EQ(loadUnderLimit(path, size), 1) << c.name;
    }
}

TEST(ProjectMemory, LoadedProjectHoldsAtMostTwiceItsFile) {
    struct Case {
        const char* name;
        int groups;
        int links;
        std::string description;
        std::string url;
    };
    const Case cases[] = {
        {"1,000 links in ten groups", 10, 100, "Example site ", "https://www.example.com/page/"},
        {"100,000 links in one group", 1, 100000, "Example site ", "https://www.example.com/p/"},
        {"short texts", 10, 10000, "a", "b"},
        {"long texts", 3, 20, std::string(20000, 'd'), std::string(30000, 'u')},
        {"Windows-1252 text", 10, 1000, "Caf\u00E9 cr\u00E8me ", "https://example.com/"},
        {"text in other scripts", 10, 1000, "\u4E2D\u6587\u7F51\u7AD9 ", "https://example.cn/"},
    };
    TempDir dir;
    for (const Case& c : cases) {
        const std::string path = dir.file("valid.lfp");
        {
            Project doc;
            for (int g = 0; g < c.groups; ++g)
                for (int i = 0; i < c.links; ++i)
                    doc.addLink(g, c.description + std::to_string(i), c.url + std::to_string(i));
            ASSERT_TRUE(doc.save(path)) << c.name;
        }
        const size_t fileSize = readFileBytes(path).size();
        Project doc;
        const size_t before = heapInUse();
        ASSERT_TRUE(doc.load(path).ok()) << c.name;
        const size_t held = heapInUse() - before;
        EXPECT_LE(held, 2 * fileSize + 16 * 1024)
            << c.name << ": " << held << " bytes held for a file of " << fileSize;
    }
}

TEST(ProjectMemory, DamagedGroupKeepsTheLinksReadBeforeTheBreak) {
    Project doc;
    doc.addLink(0, "one", "http://one/");
    doc.addLink(0, "two", "http://two/");
    const std::string bytes = serializeProject(doc);
    const size_t cut = bytes.find("http://two/") + 4; // inside the second URL
    Project back;
    MemorySource src(bytes.data(), cut);
    EXPECT_EQ(readProjectRecords(src, back).status, ReadStatus::EndOfData);
    EXPECT_EQ(back.links(0), std::vector<Link>({{"one", "http://one/"}, {"two", ""}}));
}
