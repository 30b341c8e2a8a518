// Speed of the project form with large groups: tab switches, appending rows
// to the list, and opening a project with ten groups of 100,000 links.

#include "editor/LFView.h"
#include "editor/LinkListCtrl.h"

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QTabBar>
#include <QTemporaryDir>

#include <memory>

#include <sys/resource.h>

namespace {

constexpr int kLinks = 100000;

void FillGroups(CLFDoc& doc) {
    for (int g = 0; g < kGroupCount; ++g) {
        auto& links = doc.m_groups[static_cast<size_t>(g)].m_links;
        links.clear();
        links.reserve(kLinks);
        for (int i = 0; i < kLinks; ++i)
            links.emplace_back("Link " + std::to_string(g) + "-" + std::to_string(i),
                               "http://example.com/group" + std::to_string(g) + "/page" +
                                   std::to_string(i) + ".html");
    }
}

struct Editor {
    CLFDoc doc;
    CLFView view{&doc};
    Editor() {
        view.OnInitialUpdate();
        view.show();
        QApplication::processEvents();
    }
    // Lays out and paints the list as the screen would.
    void Show() { view.GetLinkList()->viewport()->repaint(); }
};

void BM_TabSwitch(benchmark::State& state) {
    Editor e;
    FillGroups(e.doc);
    e.view.OnInitialUpdate();
    e.Show();
    int tab = 0;
    for (auto _ : state) {
        tab = (tab + 1) % kGroupCount;
        e.view.GetTabBar()->setCurrentIndex(tab); // stores the shown group, loads the next
        e.Show();
    }
    state.counters["rows"] = e.view.GetLinkList()->GetRowCount();
}
BENCHMARK(BM_TabSwitch)->Unit(benchmark::kMillisecond)->Iterations(20);

// Row by row, as a paste or the link dialog adds them.
void BM_AppendRowsOneByOne(benchmark::State& state) {
    Editor e;
    for (auto _ : state) {
        state.PauseTiming();
        e.view.GetLinkList()->DeleteAllRows();
        e.Show();
        state.ResumeTiming();
        for (int i = 0; i < kLinks; ++i)
            e.view.SetLinkRow("Pasted link", "http://example.com/pasted/page.html", -1);
        e.Show();
    }
}
BENCHMARK(BM_AppendRowsOneByOne)->Unit(benchmark::kMillisecond)->Iterations(10);

// In one go, as a drop of many links does.
void BM_AppendRowsAtOnce(benchmark::State& state) {
    Editor e;
    std::vector<CLinkEntry> links(kLinks, CLinkEntry("Dropped link", "http://example.com/x.html"));
    for (auto _ : state) {
        state.PauseTiming();
        e.view.GetLinkList()->DeleteAllRows();
        e.Show();
        state.ResumeTiming();
        e.view.GetLinkList()->AppendRows(links);
        e.Show();
    }
}
BENCHMARK(BM_AppendRowsAtOnce)->Unit(benchmark::kMillisecond)->Iterations(10);

// Deleting a selection of all 100,000 rows, one row at a time (highest
// first, as the Delete command gathers them) and all at once.
void BM_DeleteSelectedRows(benchmark::State& state) {
    Editor e;
    CLinkListCtrl* list = e.view.GetLinkList();
    std::vector<CLinkEntry> links(kLinks, CLinkEntry("Selected link", "http://example.com/x.html"));
    const bool atOnce = state.range(0) != 0;
    for (auto _ : state) {
        state.PauseTiming();
        list->SetRows(links);
        list->selectAll();
        e.Show();
        state.ResumeTiming();
        const std::vector<int> rows = list->GetSelectedRows();
        if (atOnce) {
            list->DeleteRows(rows);
        } else {
            for (int r : rows)
                list->DeleteRow(r);
        }
        e.Show();
    }
    state.SetLabel(atOnce ? "DeleteRows" : "DeleteRow each");
}
BENCHMARK(BM_DeleteSelectedRows)->Arg(1)->Arg(0)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_OpenProjectShowGroup1(benchmark::State& state) {
    QTemporaryDir dir;
    const std::string path = dir.filePath("big.lfp").toStdString();
    {
        CLFDoc doc;
        FillGroups(doc);
        if (!doc.OnSaveDocument(path)) {
            state.SkipWithError("could not write the project");
            return;
        }
    }
    Editor e;
    for (auto _ : state) {
        if (!e.doc.OnOpenDocument(path)) {
            state.SkipWithError("could not open the project");
            return;
        }
        e.view.OnInitialUpdate();
        e.Show();
    }
    state.counters["rows"] = e.view.GetLinkList()->GetRowCount();
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    state.counters["peakRSS_MB"] = static_cast<double>(usage.ru_maxrss) / 1024.0;
}
BENCHMARK(BM_OpenProjectShowGroup1)->Unit(benchmark::kMillisecond)->Iterations(5);

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
