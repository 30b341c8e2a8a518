// Load, save and page generation against the cost of merely reading or
// writing the same number of bytes, for 1,000 / 100,000 / 1,000,000 links.
// The "peak_x_file" counter is the peak heap of a load over the file size.
#include "model/FileOps.h"
#include "model/LFDoc.h"
#include "model/ProjectFile.h"
#include "page/PageWriter.h"

#include <benchmark/benchmark.h>

#include <atomic>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <malloc.h>
#include <map>
#include <new>
#include <string>
#include <unistd.h>

// Heap accounting for the memory counters.
namespace {
// Only while counting: the bookkeeping would slow the timed benchmarks.
std::atomic<bool> g_counting{false};
std::atomic<size_t> g_current{0};
std::atomic<size_t> g_peak{0};
void Account(void* p) {
    if (!g_counting)
        return;
    size_t now = g_current += malloc_usable_size(p);
    size_t peak = g_peak.load();
    while (now > peak && !g_peak.compare_exchange_weak(peak, now)) {
    }
}
} // namespace

void* operator new(size_t n) {
    void* p = std::malloc(n ? n : 1);
    if (!p)
        throw std::bad_alloc();
    Account(p);
    return p;
}
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"
void operator delete(void* p) noexcept {
    if (p) {
        if (g_counting)
            g_current -= malloc_usable_size(p);
        std::free(p);
    }
}
void operator delete(void* p, size_t) noexcept { operator delete(p); }
#pragma GCC diagnostic pop

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

std::string BenchDir() {
    static ScratchDir dir;
    return dir.path;
}

CLFDoc MakeDoc(int links) {
    CLFDoc doc;
    doc.m_strTitle = "Benchmark";
    for (int i = 0; i < links; ++i)
        doc.AddLink(i % kGroupCount, "Example site " + std::to_string(100000 + i),
                    "https://www.example.com/page/" + std::to_string(100000 + i));
    return doc;
}

// One saved project per size, made once.
const std::string& ProjectFile(int links) {
    static std::map<int, std::string> files;
    auto it = files.find(links);
    if (it != files.end())
        return it->second;
    std::string path = BenchDir() + "/p" + std::to_string(links) + ".lfp";
    std::string error;
    if (!SaveProjectFile(MakeDoc(links), path, error))
        std::abort();
    return files[links] = path;
}

size_t FileSize(const std::string& path) { return std::filesystem::file_size(path); }

// The project as the editor holds it after opening its file.
CLFDoc LoadedDoc(int links) {
    CLFDoc doc;
    if (!doc.OnOpenDocument(ProjectFile(links)))
        std::abort();
    return doc;
}

void RawRead(const std::string& path) {
    int fd = ::open(path.c_str(), O_RDONLY);
    static char buf[64 * 1024];
    while (::read(fd, buf, sizeof buf) > 0) {
    }
    ::close(fd);
}

// Writes n bytes the way a save does: a new file, 64 KiB writes, fsync, rename.
void RawWrite(const std::string& path, const std::string& bytes) {
    std::string tmp = path + ".tmp";
    int fd = ::open(tmp.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    for (size_t off = 0; off < bytes.size(); off += 64 * 1024)
        if (!WriteAll(SystemFileOps(), fd, bytes.data() + off,
                      std::min<size_t>(64 * 1024, bytes.size() - off)))
            std::abort();
    ::fsync(fd);
    ::close(fd);
    ::rename(tmp.c_str(), path.c_str());
}

void BM_RawRead(benchmark::State& state) {
    const std::string& path = ProjectFile(static_cast<int>(state.range(0)));
    for (auto _ : state)
        RawRead(path);
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * FileSize(path)));
}

void BM_Load(benchmark::State& state) {
    const std::string& path = ProjectFile(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        CLFDoc doc;
        if (!doc.OnOpenDocument(path))
            state.SkipWithError("open failed");
        benchmark::DoNotOptimize(doc.m_groups.data());
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * FileSize(path)));
}

// Peak heap while a project is loaded and held, over its file size.
void BM_LoadPeakMemory(benchmark::State& state) {
    const std::string& path = ProjectFile(static_cast<int>(state.range(0)));
    double ratio = 0;
    for (auto _ : state) {
        g_current = 0;
        g_peak = 0;
        g_counting = true;
        {
            CLFDoc doc;
            if (!doc.OnOpenDocument(path))
                state.SkipWithError("open failed");
            ratio = double(g_peak.load()) / double(FileSize(path));
        }
        g_counting = false;
    }
    state.counters["peak_x_file"] = ratio;
}

void BM_RawWriteProject(benchmark::State& state) {
    const int links = static_cast<int>(state.range(0));
    const std::string bytes = SerializeProject(MakeDoc(links));
    const std::string path = BenchDir() + "/raw" + std::to_string(links) + ".lfp";
    for (auto _ : state)
        RawWrite(path, bytes);
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * bytes.size()));
}

void BM_Save(benchmark::State& state) {
    const int links = static_cast<int>(state.range(0));
    CLFDoc doc = LoadedDoc(links);
    const std::string path = BenchDir() + "/save" + std::to_string(links) + ".lfp";
    std::string error;
    for (auto _ : state)
        if (!SaveProjectFile(doc, path, error))
            state.SkipWithError(error.c_str());
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * FileSize(path)));
}

void BM_RawWritePage(benchmark::State& state) {
    const int links = static_cast<int>(state.range(0));
    const std::string bytes = RenderPage(MakeDoc(links));
    const std::string path = BenchDir() + "/raw" + std::to_string(links) + ".htm";
    for (auto _ : state)
        RawWrite(path, bytes);
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * bytes.size()));
}

void BM_WritePage(benchmark::State& state) {
    const int links = static_cast<int>(state.range(0));
    CLFDoc doc = LoadedDoc(links);
    const std::string path = BenchDir() + "/page" + std::to_string(links) + ".htm";
    for (auto _ : state)
        if (!doc.WritePage(path))
            state.SkipWithError("page not written");
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * FileSize(path)));
}

#define SIZES ->Arg(1000)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond)
BENCHMARK(BM_RawRead) SIZES;
BENCHMARK(BM_Load) SIZES;
BENCHMARK(BM_LoadPeakMemory) SIZES->Iterations(1);
BENCHMARK(BM_RawWriteProject) SIZES;
BENCHMARK(BM_Save) SIZES;
BENCHMARK(BM_RawWritePage) SIZES;
BENCHMARK(BM_WritePage) SIZES;

} // namespace
