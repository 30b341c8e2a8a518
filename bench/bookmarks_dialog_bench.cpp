// The Import Bookmarks dialog opening on 100,000 bookmarks (100 top-level
// folders of 1,000, every other one a level deeper): the folder tree with its
// counts and group choices, the default mapping and the summary, laid out
// and painted offscreen. BM_ImportDialogOpen starts from the source already
// read; BM_ImportDialogOpenHtmlFile includes reading it from bookmark HTML,
// as choosing a file in the dialog does.
#include "bookmarks/BookmarkReader.h"
#include "bookmarks/BookmarkTree.h"
#include "bookmarks/NetscapeBookmarkWriter.h"
#include "dialogs/ImportBookmarksDialog.h"

#include <QApplication>

#include <benchmark/benchmark.h>

#include <filesystem>
#include <fstream>
#include <string>

namespace {

constexpr int kLinks = 100000;
constexpr int kPerFolder = 1000;

BookmarkTree bigTree() {
    BookmarkTree tree;
    tree.reserve(kLinks + 2 * kLinks / kPerFolder);
    int folder = -1;
    for (int i = 0; i < kLinks; ++i) {
        if (i % kPerFolder == 0) {
            folder = tree.addFolder(-1, "Folder " + std::to_string(i / kPerFolder));
            if (i % (2 * kPerFolder) != 0)
                folder = tree.addFolder(folder, "Sub");
        }
        tree.addLink(folder, "Example site " + std::to_string(i) + " & more",
                     "https://www.example.com/page/" + std::to_string(i));
    }
    return tree;
}

// state.range(0): how many of the ten groups already hold 10,000 links (the
// URLs of the first ones imported, so that half of those are duplicates).
void BM_ImportDialogOpen(benchmark::State& state) {
    static const BookmarkTree tree = bigTree();
    ImportBookmarksDialog::Input input;
    input.groups.resize(10);
    for (int g = 0; g < state.range(0); ++g)
        for (int i = 0; i < 10000; ++i)
            input.groups[static_cast<size_t>(g)].urls.push_back(
                "https://www.example.com/page/" + std::to_string(g % 2 == 0 ? i : kLinks + i));
    for (auto _ : state) {
        ImportBookmarksDialog dialog(input, nullptr);
        dialog.showSource("bookmarks.html", tree);
        dialog.show();
        QApplication::processEvents();
        benchmark::DoNotOptimize(dialog.summaryText().size());
        state.PauseTiming();
        dialog.hide();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_ImportDialogOpen)->Arg(0)->Arg(5)->Unit(benchmark::kMillisecond);

void BM_ImportDialogOpenHtmlFile(benchmark::State& state) {
    const std::filesystem::path path =
        std::filesystem::temp_directory_path() / "linkfold-dialog-bench.html";
    {
        const std::string bytes = writeNetscapeBookmarks(bigTree());
        std::ofstream out(path, std::ios::binary | std::ios::trunc);
        out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    }
    ImportBookmarksDialog::Input input;
    input.groups.resize(10);
    for (auto _ : state) {
        ImportBookmarksDialog dialog(input, nullptr);
        const BookmarkReadResult read = readBookmarkFile(path.string());
        dialog.showSource(path.filename().string(), read.tree);
        dialog.show();
        QApplication::processEvents();
        benchmark::DoNotOptimize(dialog.summaryText().size());
        state.PauseTiming();
        dialog.hide();
        state.ResumeTiming();
    }
    std::filesystem::remove(path);
}
BENCHMARK(BM_ImportDialogOpenHtmlFile)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
