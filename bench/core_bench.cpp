// load, save and page generation against the cost of merely reading or
// writing the same number of bytes, for 1,000 / 100,000 / 1,000,000 links.
// The "peak_x_file" counter is the peak heap of a load (with the buffers
// mapped beside it) over the file size.
#include "core/AtomicFileWriter.h"
#include "core/BufferMemory.h"
#include "core/DuplicateLinks.h"
#include "core/ModernPage.h"
#include "core/PageWriter.h"
#include "core/Project.h"
#include "core/ProjectFile.h"
#include "core/SettingsFile.h"
#include "core/UrlKey.h"

#include <benchmark/benchmark.h>

#include <atomic>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <malloc.h>
#include <map>
#include <new>
#include <random>
#include <string>
#include <unistd.h>

// Heap accounting for the memory counters, at the level of malloc, so that
// buffers the project keeps with malloc and realloc count as well as those
// of operator new (which takes its memory from malloc).
extern "C" {
void* __libc_malloc(size_t n);
void* __libc_calloc(size_t count, size_t n);
void* __libc_realloc(void* p, size_t n);
void __libc_free(void* p);
}

namespace {
// Only while counting: the bookkeeping would slow the timed benchmarks.
std::atomic<bool> g_counting{false};
std::atomic<size_t> g_current{0};
std::atomic<size_t> g_peak{0};
void account(void* p) {
    if (!g_counting || !p)
        return;
    size_t now = g_current += malloc_usable_size(p);
    size_t peak = g_peak.load();
    while (now > peak && !g_peak.compare_exchange_weak(peak, now)) {
    }
}
void release(void* p) {
    if (g_counting && p)
        g_current -= malloc_usable_size(p);
}
} // namespace

extern "C" {
void* malloc(size_t n) noexcept {
    void* p = __libc_malloc(n);
    account(p);
    return p;
}
void* calloc(size_t count, size_t n) noexcept {
    void* p = __libc_calloc(count, n);
    account(p);
    return p;
}
void* realloc(void* p, size_t n) noexcept {
    release(p);
    void* q = __libc_realloc(p, n);
    account(q ? q : (n != 0 ? p : nullptr));
    return q;
}
void free(void* p) noexcept {
    release(p);
    __libc_free(p);
}
}

namespace {

// A scratch folder, removed at exit.
struct ScratchDir {
    std::string path;
    ScratchDir() {
        path = (std::filesystem::temp_directory_path() / "lfbench-XXXXXX").string();
        if (!::mkdtemp(path.data()))
            std::abort();
    }
    ~ScratchDir() { std::filesystem::remove_all(path); }
};

std::string benchDir() {
    static ScratchDir dir;
    return dir.path;
}

Project makeDoc(int links) {
    Project doc;
    doc.setTitle("Benchmark");
    for (int i = 0; i < links; ++i)
        doc.addLink(i % kGroupCount, "Example site " + std::to_string(100000 + i),
                    "https://www.example.com/page/" + std::to_string(100000 + i));
    return doc;
}

// One saved project per size, made once.
const std::string& projectFile(int links) {
    static std::map<int, std::string> files;
    auto it = files.find(links);
    if (it != files.end())
        return it->second;
    std::string path = benchDir() + "/p" + std::to_string(links) + ".lfp";
    if (!saveProjectFile(makeDoc(links), path).ok())
        std::abort();
    return files[links] = path;
}

size_t fileSize(const std::string& path) {
    return std::filesystem::file_size(path);
}

// The project as the editor holds it after opening its file.
Project loadedDoc(int links) {
    Project doc;
    if (!doc.load(projectFile(links)).ok())
        std::abort();
    return doc;
}

void rawRead(const std::string& path) {
    int fd = ::open(path.c_str(), O_RDONLY);
    static char buf[64 * 1024];
    while (::read(fd, buf, sizeof buf) > 0) {
    }
    ::close(fd);
}

// Writes n bytes the way a save does: a new file, 64 KiB writes, fsync, rename.
void rawWrite(const std::string& path, const std::string& bytes) {
    std::string tmp = path + ".tmp";
    int fd = ::open(tmp.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    for (size_t off = 0; off < bytes.size(); off += 64 * 1024)
        if (!writeAll(systemCalls(), fd, bytes.data() + off,
                      std::min<size_t>(64 * 1024, bytes.size() - off)))
            std::abort();
    ::fsync(fd);
    ::close(fd);
    ::rename(tmp.c_str(), path.c_str());
}

void BM_RawRead(benchmark::State& state) {
    const std::string& path = projectFile(static_cast<int>(state.range(0)));
    for (auto _ : state)
        rawRead(path);
    state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(fileSize(path)));
}

// The peak heap since counting began plus the peak of the buffers mapped
// beside the heap (core/BufferMemory.h) over what was mapped before: an upper
// bound of the two together, and near it, as a load keeps hardly anything
// else on the heap.
size_t peakWithMapped(size_t mappedBefore) {
    return g_peak.load() + (buffer_memory::mappedPeak() - mappedBefore);
}

void BM_Load(benchmark::State& state) {
    const std::string& path = projectFile(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        Project doc;
        if (!doc.load(path).ok())
            state.SkipWithError("open failed");
        benchmark::DoNotOptimize(doc.groups().data());
    }
    state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(fileSize(path)));
}

// Peak heap while a project is loaded and held, over its file size.
void BM_LoadPeakMemory(benchmark::State& state) {
    const std::string& path = projectFile(static_cast<int>(state.range(0)));
    double ratio = 0;
    for (auto _ : state) {
        g_current = 0;
        g_peak = 0;
        buffer_memory::resetMappedPeak();
        const size_t mappedBefore = buffer_memory::mappedBytes();
        g_counting = true;
        {
            Project doc;
            if (!doc.load(path).ok())
                state.SkipWithError("open failed");
            ratio = double(peakWithMapped(mappedBefore)) / double(fileSize(path));
        }
        g_counting = false;
    }
    state.counters["peak_x_file"] = ratio;
}

// The same-URL key of one typical address, into a reused buffer.
void BM_UrlKey(benchmark::State& state) {
    const char* urls[] = {"https://www.example.com/page/123456", "http://Example.COM:80/a%7Eb?q=1",
                          "https://www.example.com/page/654321#top", "http://h.test/x/"};
    std::string key;
    std::size_t i = 0;
    for (auto _ : state) {
        urlComparisonKey(urls[i++ & 3], UrlFragment::Compare, key);
        benchmark::DoNotOptimize(key.data());
    }
}

// The duplicates finder over a loaded project (the load not counted), and
// its peak heap over the file size.
void BM_FindDuplicates(benchmark::State& state) {
    const std::string& path = projectFile(static_cast<int>(state.range(0)));
    const Project doc = loadedDoc(static_cast<int>(state.range(0)));
    double ratio = 0;
    for (auto _ : state) {
        g_current = 0;
        g_peak = 0;
        buffer_memory::resetMappedPeak();
        const size_t mappedBefore = buffer_memory::mappedBytes();
        g_counting = state.iterations() == 0;
        benchmark::DoNotOptimize(findDuplicateLinks(doc).size());
        if (g_counting)
            ratio = double(peakWithMapped(mappedBefore)) / double(fileSize(path));
        g_counting = false;
    }
    state.counters["peak_x_file"] = ratio;
}

// The finder over 20,000 sets of two links each (what Find Duplicate Links
// in the editor meets at that size), without the window.
void BM_FindDuplicateSets(benchmark::State& state) {
    Project doc;
    for (int i = 0; i < 40000; ++i)
        doc.addLink(i % kGroupCount, "Example site",
                    "https://www.example.com/page/" + std::to_string(100000 + i % 20000));
    for (auto _ : state)
        benchmark::DoNotOptimize(findDuplicateLinks(doc).size());
}

// A hostile file of range(0) MiB: a group announcing 2^31-1 links, then
// zeros, which read as empty links until the file ends. Time to refuse it
// and the peak heap on the way, over its size.
void BM_LoadHostileCount(benchmark::State& state) {
    const size_t size = static_cast<size_t>(state.range(0)) << 20;
    const std::string path = benchDir() + "/hostile.lfp";
    {
        std::string bytes = serializeProject(Project());
        // The first group's link count is the last word before the second group.
        const size_t firstCount = bytes.size() - 9 * 20 - 4; // nine groups of 20 bytes
        bytes.replace(firstCount, 4, "\xFF\xFF\xFF\x7F", 4);
        bytes.resize(firstCount + 4);
        bytes.resize(size, '\0');
        rawWrite(path, bytes);
    }
    double ratio = 0;
    for (auto _ : state) {
        g_current = 0;
        g_peak = 0;
        buffer_memory::resetMappedPeak();
        const size_t mappedBefore = buffer_memory::mappedBytes();
        g_counting = true;
        {
            Project doc;
            if (doc.load(path).status != LoadStatus::Damaged)
                state.SkipWithError("hostile file not refused");
            ratio = double(peakWithMapped(mappedBefore)) / double(size);
        }
        g_counting = false;
    }
    state.counters["peak_x_file"] = ratio;
    std::filesystem::remove(path);
}

void BM_RawWriteProject(benchmark::State& state) {
    const int links = static_cast<int>(state.range(0));
    const std::string bytes = serializeProject(makeDoc(links));
    const std::string path = benchDir() + "/raw" + std::to_string(links) + ".lfp";
    for (auto _ : state)
        rawWrite(path, bytes);
    state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(bytes.size()));
}

void BM_Save(benchmark::State& state) {
    const int links = static_cast<int>(state.range(0));
    Project doc = loadedDoc(links);
    const std::string path = benchDir() + "/save" + std::to_string(links) + ".lfp";
    for (auto _ : state)
        if (FileResult r = saveProjectFile(doc, path); !r.ok())
            state.SkipWithError(fileErrorText(r).c_str());
    state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(fileSize(path)));
}

void BM_RawWritePage(benchmark::State& state) {
    const int links = static_cast<int>(state.range(0));
    const std::string bytes = renderPage(makeDoc(links));
    const std::string path = benchDir() + "/raw" + std::to_string(links) + ".htm";
    for (auto _ : state)
        rawWrite(path, bytes);
    state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(bytes.size()));
}

void BM_WritePage(benchmark::State& state) {
    const int links = static_cast<int>(state.range(0));
    Project doc = loadedDoc(links);
    const std::string path = benchDir() + "/page" + std::to_string(links) + ".htm";
    for (auto _ : state)
        if (!doc.writePage(path).ok())
            state.SkipWithError("page not written");
    state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(fileSize(path)));
}

// The page of ten groups of 10,000 links rendered in memory, classic (range
// 0) against modern (range 1, no icons: letter tiles for every link), so
// that the figures compare the writers and not the disk.
void BM_RenderPageLook(benchmark::State& state) {
    const bool modern = state.range(0) == 1;
    Project doc = loadedDoc(100000);
    size_t bytes = 0;
    for (auto _ : state) {
        const std::string page = modern ? renderModernPage(doc) : renderPage(doc);
        bytes = page.size();
        benchmark::DoNotOptimize(page.data());
    }
    state.SetLabel(modern ? "modern" : "classic");
    state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(bytes));
}

// linkfold.ini with 40,000 keys in one section (range 0) or 40,000 sections
// of one key each (range 1), about 0.6 MB.
const std::string& settingsFile(bool sections) {
    static std::map<bool, std::string> files;
    auto it = files.find(sections);
    if (it != files.end())
        return it->second;
    std::string text = sections ? "" : "[Page0Layout]\n";
    for (int i = 0; i < 40000; ++i)
        text += sections ? "[Section" + std::to_string(i) + "]\nCol0=" + std::to_string(i) + "\n"
                         : "Col" + std::to_string(i) + "=" + std::to_string(i) + "\n";
    const std::string path = benchDir() + (sections ? "/sections.ini" : "/keys.ini");
    SettingsFile ini;
    ini.fromText(text);
    ini.setPath(path);
    if (!ini.save().ok())
        std::abort();
    return files[sections] = path;
}

void BM_SettingsRead40000(benchmark::State& state) {
    SettingsFile ini(settingsFile(state.range(0) != 0));
    for (auto _ : state) {
        ini.load();
        benchmark::DoNotOptimize(ini.intValue("Page0Layout", "Col39999", 0));
    }
    state.SetBytesProcessed(state.iterations() *
                            static_cast<int64_t>(fileSize(settingsFile(state.range(0) != 0))));
}

void BM_SettingsReadWrite40000(benchmark::State& state) {
    SettingsFile ini(settingsFile(state.range(0) != 0));
    for (auto _ : state) {
        ini.load();
        ini.setIntValue("Settings", "PreviewPages", 1);
        if (!ini.save().ok())
            state.SkipWithError("settings not written");
    }
}

// Files of the largest size read (SettingsFile::kMaxSize), each made of one
// kind of line repeated: what costs the reader most per byte.
std::string settingsOfShape(int shape) {
    const size_t size = SettingsFile::kMaxSize;
    std::string text;
    text.reserve(size + 64);
    std::mt19937_64 random(7);
    for (int i = 0; text.size() < size; ++i) {
        switch (shape) {
        case 0:
            text += "[a]\n";
            break; // one name, many sections
        case 1:
            text += "[s" + std::to_string(i) + "]\n";
            break; // many names
        case 2:
            text += "k" + std::to_string(i) + "=\n";
            break; // many keys
        case 3:
            text += "[Recent File List]\nFile1=x\n";
            break; // what is looked up
        default: { // random bytes
            const auto r = random();
            text.append(reinterpret_cast<const char*>(&r), 8);
        }
        }
    }
    text.resize(size);
    return text;
}

const char* const kShapeNames[] = {"[a] repeated", "[sN] sections", "kN= keys",
                                   "looked-up section repeated", "random bytes"};

// What a start and an exit of the program do with the settings file: read
// it, look up the recent files, the layout and the preview count, set them
// and write the file back. Peak heap over the file's size.
void BM_SettingsStartAndExit(benchmark::State& state) {
    const int shape = static_cast<int>(state.range(0));
    const std::string path = benchDir() + "/shape.ini";
    const std::string text = settingsOfShape(shape);
    double ratio = 0;
    size_t peak = 0;
    for (auto _ : state) {
        state.PauseTiming();
        rawWrite(path, text);
        g_current = 0;
        g_peak = 0;
        g_counting = true;
        state.ResumeTiming();
        {
            SettingsFile ini(path);
            ini.load();
            int sum = 0;
            for (int round = 0; round < 3; ++round) // read at start, twice at exit
                for (int i = 1; i <= 4; ++i)
                    sum += static_cast<int>(
                        ini.stringValue("Recent File List", "File" + std::to_string(i)).size());
            for (int tab = 0; tab < 10; ++tab) {
                const std::string section = "Page" + std::to_string(tab) + "Layout";
                sum += ini.intValue(section, "Col0", 0) + ini.intValue(section, "Col1", 0);
                ini.setIntValue(section, "Col0", 100);
                ini.setIntValue(section, "Col1", 200);
            }
            sum += ini.intValue("Settings", "PreviewPages", 0);
            for (int i = 1; i <= 4; ++i)
                ini.setStringValue("Recent File List", "File" + std::to_string(i),
                                   "/home/me/a.lfp");
            if (!ini.save().ok())
                state.SkipWithError("settings not written");
            benchmark::DoNotOptimize(sum);
        }
        g_counting = false;
        peak = g_peak.load();
        ratio = double(peak) / double(text.size());
    }
    state.SetLabel(kShapeNames[shape]);
    state.counters["peak_x_file"] = ratio;
    state.counters["peak_MiB"] = double(peak) / (1 << 20);
    std::filesystem::remove(path);
}

// A file of range(0) MiB, over the size read: refused at once, at no cost.
void BM_SettingsOversizeRefused(benchmark::State& state) {
    const std::string path = benchDir() + "/big.ini";
    const size_t size = static_cast<size_t>(state.range(0)) << 20;
    rawWrite(path, std::string(size, 'x'));
    size_t peak = 0;
    for (auto _ : state) {
        g_current = 0;
        g_peak = 0;
        g_counting = true;
        {
            SettingsFile ini(path);
            if (ini.load())
                state.SkipWithError("read a file over the limit");
        }
        g_counting = false;
        peak = g_peak.load();
    }
    state.counters["peak_bytes"] = double(peak);
    std::filesystem::remove(path);
}

BENCHMARK(BM_SettingsRead40000)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SettingsReadWrite40000)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SettingsStartAndExit)->DenseRange(0, 4)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SettingsOversizeRefused)->Arg(10)->Arg(200)->Unit(benchmark::kMicrosecond);

#define SIZES ->Arg(1000)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond)
BENCHMARK(BM_RawRead) SIZES;
BENCHMARK(BM_Load) SIZES;
BENCHMARK(BM_LoadPeakMemory) SIZES->Iterations(1);
BENCHMARK(BM_FindDuplicates) SIZES;
BENCHMARK(BM_UrlKey);
BENCHMARK(BM_FindDuplicateSets)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LoadHostileCount)->Arg(40)->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RawWriteProject) SIZES;
BENCHMARK(BM_Save) SIZES;
BENCHMARK(BM_RawWritePage) SIZES;
BENCHMARK(BM_WritePage) SIZES;
BENCHMARK(BM_RenderPageLook)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

} // namespace
