// The first open of a project in a fresh process, as a user gets it: each
// iteration starts this program anew, which opens the file once and reports
// the time of that alone (no warm heap left over from earlier iterations),
// beside a raw read of the same file (64 KiB pieces, from the page cache) in
// a fresh process too. Counters: the child's CPU time and its minor page
// faults during the operation, and the child's peak resident memory (the
// whole process, the program itself included). With "--save-project LINKS PATH" it writes
// such a project and ends (for bench/headless_start.sh).
#include "core/Project.h"
#include "core/ProjectFile.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <map>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

struct Sample {
    double wallSeconds = 0;
    double cpuSeconds = 0;
    long minorFaults = 0;
    long peakRssKiB = 0;
};

double cpuSeconds(const rusage& u) {
    return double(u.ru_utime.tv_sec + u.ru_stime.tv_sec) +
           double(u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e6;
}

// Runs op once and prints its sample on standard output.
template <typename Op> int measureOnce(Op op) {
    rusage before{};
    rusage after{};
    getrusage(RUSAGE_SELF, &before);
    const auto start = std::chrono::steady_clock::now();
    const bool ok = op();
    const auto stop = std::chrono::steady_clock::now();
    getrusage(RUSAGE_SELF, &after);
    if (!ok)
        return 1;
    std::printf("%.9f %.9f %ld %ld\n", std::chrono::duration<double>(stop - start).count(),
                cpuSeconds(after) - cpuSeconds(before), after.ru_minflt - before.ru_minflt,
                after.ru_maxrss);
    return 0;
}

bool rawRead(const char* path) {
    const int fd = ::open(path, O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return false;
    static char buf[64 * 1024];
    while (::read(fd, buf, sizeof buf) > 0) {
    }
    ::close(fd);
    return true;
}

// The child's side: "--child load|read PATH".
int runChild(const std::string& what, const char* path) {
    if (what == "read")
        return measureOnce([&] { return rawRead(path); });
    return measureOnce([&] {
        Project doc;
        const bool ok = doc.load(path).ok();
        benchmark::DoNotOptimize(doc.groups().data());
        return ok;
    });
}

// Starts this program as a child for one sample.
bool sampleInChild(const std::string& what, const std::string& path, Sample& out) {
    int pipeFds[2];
    if (::pipe2(pipeFds, O_CLOEXEC) != 0)
        return false;
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::dup2(pipeFds[1], STDOUT_FILENO);
        execl("/proc/self/exe", "fresh_load_bench", "--child", what.c_str(), path.c_str(),
              static_cast<char*>(nullptr));
        _exit(127);
    }
    ::close(pipeFds[1]);
    char text[128] = {};
    size_t used = 0;
    for (ssize_t got; used + 1 < sizeof text &&
                      (got = ::read(pipeFds[0], text + used, sizeof text - 1 - used)) != 0;) {
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0)
            break;
        used += static_cast<size_t>(got);
    }
    ::close(pipeFds[0]);
    int status = 0;
    if (pid < 0 || ::waitpid(pid, &status, 0) != pid || !WIFEXITED(status) ||
        WEXITSTATUS(status) != 0)
        return false;
    return std::sscanf(text, "%lf %lf %ld %ld", &out.wallSeconds, &out.cpuSeconds, &out.minorFaults,
                       &out.peakRssKiB) == 4;
}

struct ScratchDir {
    std::string path;
    ScratchDir() {
        path = (std::filesystem::temp_directory_path() / "lffresh-XXXXXX").string();
        if (!::mkdtemp(path.data()))
            std::abort();
    }
    ~ScratchDir() { std::filesystem::remove_all(path); }
};

// A project of links spread over the ten groups, the same as core_bench's.
bool saveProject(int links, const std::string& path) {
    Project doc;
    doc.setTitle("Benchmark");
    for (int i = 0; i < links; ++i)
        doc.addLink(i % kGroupCount, "Example site " + std::to_string(100000 + i),
                    "https://www.example.com/page/" + std::to_string(100000 + i));
    return saveProjectFile(doc, path).ok();
}

// One saved project per size, made once.
const std::string& projectFile(int links) {
    static ScratchDir dir;
    static std::map<int, std::string> files;
    auto it = files.find(links);
    if (it != files.end())
        return it->second;
    std::string path = dir.path + "/p" + std::to_string(links) + ".lfp";
    if (!saveProject(links, path))
        std::abort();
    return files[links] = path;
}

void runFresh(benchmark::State& state, const std::string& what) {
    const std::string& path = projectFile(static_cast<int>(state.range(0)));
    Sample warm;
    sampleInChild("read", path, warm); // the file in the page cache
    double cpu = 0;
    double faults = 0;
    long peakRss = 0;
    for (auto _ : state) {
        Sample s;
        if (!sampleInChild(what, path, s)) {
            state.SkipWithError("the child failed");
            return;
        }
        state.SetIterationTime(s.wallSeconds);
        cpu += s.cpuSeconds;
        faults += double(s.minorFaults);
        peakRss = std::max(peakRss, s.peakRssKiB);
    }
    const double n = double(state.iterations());
    state.counters["cpu_ms"] = 1000 * cpu / n;
    state.counters["faults"] = faults / n;
    state.counters["peak_rss_MiB"] = double(peakRss) / 1024;
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) *
                            static_cast<int64_t>(std::filesystem::file_size(path)));
}

void BM_FreshRawRead(benchmark::State& state) {
    runFresh(state, "read");
}
void BM_FreshLoad(benchmark::State& state) {
    runFresh(state, "load");
}

#define SIZES ->Arg(1000)->Arg(100000)->Arg(1000000)->UseManualTime()->Unit(benchmark::kMillisecond)
BENCHMARK(BM_FreshRawRead) SIZES;
BENCHMARK(BM_FreshLoad) SIZES;

} // namespace

int main(int argc, char** argv) {
    if (argc == 4 && std::strcmp(argv[1], "--child") == 0)
        return runChild(argv[2], argv[3]);
    // For bench/headless_start.sh: "--save-project LINKS PATH".
    if (argc == 4 && std::strcmp(argv[1], "--save-project") == 0)
        return saveProject(std::atoi(argv[2]), argv[3]) ? 0 : 1;
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
