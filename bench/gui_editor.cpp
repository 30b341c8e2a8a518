// Speed of the project form with large groups: tab switches, appending rows
// to the list, opening a project with ten groups of 100,000 links, clicks in
// the list while the clipboard holds 125 MB of URL lines, and tab switches
// while a check of 10,000 links runs against the loopback test server.

#include "LinkChecker.h"
#include "TestHttpServer.h"

#include "app/MainWindow.h"
#include "app/ProjectFileController.h"
#include "app/RecentFileList.h"
#include "editor/LinkCheckSession.h"
#include "editor/LinkCheckWindow.h"
#include "editor/LinkCommands.h"
#include "editor/LinkListView.h"
#include "editor/ProjectCommands.h"
#include "editor/ProjectDocument.h"
#include "editor/ProjectForm.h"

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QClipboard>
#include <QElapsedTimer>
#include <QMimeData>
#include <QPushButton>
#include <QStatusBar>
#include <QTabBar>
#include <QTableView>
#include <QTemporaryDir>
#include <QTimer>

#include <memory>

#include <sys/resource.h>

namespace {

constexpr int kLinks = 100000;

void fillGroups(Project& doc) {
    for (int g = 0; g < kGroupCount; ++g) {
        std::vector<Link> links;
        links.reserve(kLinks);
        for (int i = 0; i < kLinks; ++i)
            links.emplace_back("Link " + std::to_string(g) + "-" + std::to_string(i),
                               "http://example.com/group" + std::to_string(g) + "/page" +
                                   std::to_string(i) + ".html");
        doc.setLinks(g, std::move(links));
    }
}

struct Editor {
    ProjectDocument document;
    Project& doc = document.project();
    ProjectForm view{&document};
    Editor() {
        view.loadFromProject();
        view.show();
        QApplication::processEvents();
    }
    // Lays out and paints the list as the screen would.
    void show() { view.linkList()->viewport()->repaint(); }
};

void BM_TabSwitch(benchmark::State& state) {
    Editor e;
    fillGroups(e.doc);
    e.view.loadFromProject();
    e.show();
    int tab = 0;
    for (auto _ : state) {
        tab = (tab + 1) % kGroupCount;
        e.view.tabBar()->setCurrentIndex(tab); // shows the next group
        e.show();
    }
    state.counters["rows"] = e.view.linkList()->linkCount();
}
BENCHMARK(BM_TabSwitch)->Unit(benchmark::kMillisecond)->Iterations(20);

// Row by row, as a paste or the link dialog adds them.
void BM_AppendRowsOneByOne(benchmark::State& state) {
    Editor e;
    for (auto _ : state) {
        state.PauseTiming();
        e.doc.clearLinks(0);
        e.show();
        state.ResumeTiming();
        for (int i = 0; i < kLinks; ++i)
            e.doc.addLink(0, "Pasted link", "http://example.com/pasted/page.html");
        e.show();
    }
}
BENCHMARK(BM_AppendRowsOneByOne)->Unit(benchmark::kMillisecond)->Iterations(10);

// In one go, as a drop of many links does: one step.
void BM_AppendRowsAtOnce(benchmark::State& state) {
    Editor e;
    std::vector<Link> links(kLinks, Link("Dropped link", "http://example.com/x.html"));
    for (auto _ : state) {
        state.PauseTiming();
        e.doc.clearLinks(0);
        e.view.document()->reset();
        e.show();
        state.ResumeTiming();
        e.view.document()->push(LinkEditCommand::append(e.doc, "Drop", 0, links));
        e.show();
    }
}
BENCHMARK(BM_AppendRowsAtOnce)->Unit(benchmark::kMillisecond)->Iterations(10);

// Deleting a selection of 100,000 rows as one step, then its undo and its
// redo, each with the list painted. Counters: the step's memory.
void BM_DeleteSelectedRows(benchmark::State& state) {
    Editor e;
    LinkListView* list = e.view.linkList();
    const std::vector<Link> links(kLinks, Link("Selected link", "http://example.com/x.html"));
    const int part = static_cast<int>(state.range(0)); // 0 delete, 1 undo, 2 redo
    ProjectDocument* history = e.view.document();
    QApplication::setActiveWindow(&e.view);
    list->setFocus(); // Delete acts on the list that has the focus
    for (auto _ : state) {
        state.PauseTiming();
        e.doc.setLinks(0, links);
        history->reset();
        list->selectAll();
        e.show();
        if (part > 0) {
            e.view.linkCommands()->deleteSelected();
            if (part > 1)
                history->undo();
            e.show();
        }
        state.ResumeTiming();
        if (part == 0)
            e.view.linkCommands()->deleteSelected();
        else if (part == 1)
            history->undo();
        else
            history->redo();
        e.show();
        state.PauseTiming();
        if (e.doc.linkList(0).size() != (part == 1 ? links.size() : 0))
            state.SkipWithError("the step did not happen");
        state.ResumeTiming();
    }
    state.counters["stepMB"] = static_cast<double>(history->bytes()) / (1 << 20);
    state.SetLabel(part == 0 ? "delete" : part == 1 ? "undo" : "redo");
}
BENCHMARK(BM_DeleteSelectedRows)
    ->Arg(0)
    ->Arg(1)
    ->Arg(2)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3);

// The same through the real main window: Delete, Undo and Redo as its
// actions, with the action states refreshed as after any command. Compare
// with BM_DeleteSelectedRows on the bare form.
void BM_DeleteSelectedRowsInMainWindow(benchmark::State& state) {
    ProjectDocument document;
    Project& doc = document.project();
    RecentFileList recent;
    ProjectFileController files(doc, recent);
    MainWindow window(document, files);
    window.form()->loadFromProject();
    window.show();
    QApplication::processEvents();
    LinkListView* list = window.form()->linkList();
    const std::vector<Link> links(kLinks, Link("Selected link", "http://example.com/x.html"));
    const int part = static_cast<int>(state.range(0)); // 0 delete, 1 undo, 2 redo
    QApplication::setActiveWindow(&window);
    list->setFocus();
    QAction* remove = window.action(QStringLiteral("actionDelete"));
    QAction* undo = window.action(QStringLiteral("actionUndo"));
    QAction* redo = window.action(QStringLiteral("actionRedo"));
    auto settle = [list] {
        QApplication::processEvents(); // the queued action refreshes
        list->viewport()->repaint();
    };
    for (auto _ : state) {
        state.PauseTiming();
        doc.setLinks(0, links);
        document.reset();
        list->selectAll();
        settle();
        if (part > 0) {
            window.updateActions();
            remove->trigger();
            if (part > 1) {
                window.updateActions();
                undo->trigger();
            }
            settle();
        }
        window.updateActions();
        state.ResumeTiming();
        (part == 0 ? remove : part == 1 ? undo : redo)->trigger();
        settle();
        state.PauseTiming();
        if (doc.linkList(0).size() != (part == 1 ? links.size() : 0))
            state.SkipWithError("the step did not happen");
        state.ResumeTiming();
    }
    state.SetLabel(part == 0 ? "delete" : part == 1 ? "undo" : "redo");
}
BENCHMARK(BM_DeleteSelectedRowsInMainWindow)
    ->Arg(0)
    ->Arg(1)
    ->Arg(2)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3);

// Update to Final URL of 100,000 moved links chosen in the results window:
// one step over the whole group, the window following the new addresses.
void BM_UpdateToFinalUrl(benchmark::State& state) {
    Editor e;
    std::vector<Link> links;
    std::vector<LinkCheckWindow::Entry> entries;
    for (int i = 0; i < kLinks; ++i)
        links.emplace_back("Link " + std::to_string(i),
                           "http://example.com/old/" + std::to_string(i));
    for (auto _ : state) {
        state.PauseTiming();
        e.doc.setLinks(0, links);
        e.view.document()->reset();
        entries.clear();
        for (int i = 0; i < kLinks; ++i) {
            LinkCheckWindow::Entry entry;
            entry.id = e.doc.linkIds(0)[static_cast<std::size_t>(i)];
            entry.row = i;
            entry.description = links[static_cast<std::size_t>(i)].description;
            entry.url = links[static_cast<std::size_t>(i)].url;
            entry.result.status = LinkStatus::Moved;
            entry.result.finalUrl = "http://example.com/new/" + std::to_string(i);
            entries.push_back(std::move(entry));
        }
        LinkCheckWindow window(LinkCheckWindow::Mode::Check, &e.view);
        window.setEntries(std::move(entries));
        window.table()->selectAll();
        state.ResumeTiming();
        window.updateToFinalUrl();
        e.show();
        state.PauseTiming();
        if (e.doc.linkList(0).url(0) != "http://example.com/new/0")
            state.SkipWithError("not updated");
        state.ResumeTiming();
    }
}
BENCHMARK(BM_UpdateToFinalUrl)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_OpenProjectShowGroup1(benchmark::State& state) {
    QTemporaryDir dir;
    const std::string path = dir.filePath("big.lfp").toStdString();
    {
        Project doc;
        fillGroups(doc);
        if (!doc.save(path)) {
            state.SkipWithError("could not write the project");
            return;
        }
    }
    Editor e;
    for (auto _ : state) {
        if (!e.doc.load(path).ok()) {
            state.SkipWithError("could not open the project");
            return;
        }
        e.view.loadFromProject();
        e.show();
    }
    state.counters["rows"] = e.view.linkList()->linkCount();
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    state.counters["peakRSS_MB"] = static_cast<double>(usage.ru_maxrss) / 1024.0;
}
BENCHMARK(BM_OpenProjectShowGroup1)->Unit(benchmark::kMillisecond)->Iterations(5);

// A clipboard held by another program: every request for its text makes the
// whole text anew (the transfer and its decoding), as on a desktop.
class ForeignClipboardData : public QMimeData {
public:
    explicit ForeignClipboardData(QByteArray utf8) : m_utf8(std::move(utf8)) {}
    QStringList formats() const override { return {QStringLiteral("text/plain")}; }
    bool hasFormat(const QString& mime) const override {
        return mime == QLatin1String("text/plain");
    }

protected:
    QVariant retrieveData(const QString& mime, QMetaType) const override {
        if (mime != QLatin1String("text/plain"))
            return {};
        return QString::fromUtf8(m_utf8);
    }

private:
    QByteArray m_utf8;
};

// 125 MB of URL lines: 1.25 million links of 100 bytes each.
QByteArray bigUrlLines() {
    QByteArray line = "http://example.com/some/long/path/to/a/page/number/0000000.html\t"
                      "A description of the page\n";
    line.resize(99, 'x');
    line.append('\n');
    QByteArray text;
    text.reserve(125'000'000);
    while (text.size() < 125'000'000)
        text.append(line);
    return text;
}

// A click on another row of the list with 125 MB of URL lines on the
// clipboard: the selection change and the enable questions the main window
// asks after it (Cut, Copy, Paste, Delete, Link Properties). Arg 1: the
// form's answers; arg 0: reading the clipboard's text on each refresh, as the
// Paste state was decided before it was kept per clipboard change.
void BM_SelectionChangeBigClipboard(benchmark::State& state) {
    Editor e;
    LinkListView* list = e.view.linkList();
    e.doc.setLinks(0, std::vector<Link>(100, Link("Link", "http://example.com/")));
    list->setFocus();
    QApplication::setActiveWindow(&e.view);
    QApplication::clipboard()->setMimeData(new ForeignClipboardData(bigUrlLines()));
    const bool cached = state.range(0) != 0;
    int row = 0;
    bool paste = false;
    for (auto _ : state) {
        row = (row + 1) % 100;
        list->clearSelection();
        list->selectRow(row);
        const int selected = e.view.selectedLinkCount();
        if (cached) {
            paste = e.view.canPaste();
        } else {
            const QString text = QApplication::clipboard()->mimeData()->text();
            paste = !text.isEmpty() && text.startsWith(QLatin1String("http"));
        }
        benchmark::DoNotOptimize(selected + e.view.canCut() + paste);
    }
    state.counters["pasteEnabled"] = paste;
    state.SetLabel(cached ? "decided per clipboard change" : "clipboard read per refresh");
    QApplication::clipboard()->clear();
}
BENCHMARK(BM_SelectionChangeBigClipboard)
    ->Arg(1)
    ->Arg(0)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(10);

// The once-per-change decision itself when the 125 MB text arrives.
void BM_ClipboardChangeBigText(benchmark::State& state) {
    Editor e; // its commands look at each new clipboard
    const QByteArray text = bigUrlLines();
    for (auto _ : state)
        QApplication::clipboard()->setMimeData(new ForeignClipboardData(text));
    QApplication::clipboard()->clear();
}
BENCHMARK(BM_ClipboardChangeBigText)->Unit(benchmark::kMillisecond)->Iterations(3);

// A tab switch (store the shown group, fill the list with the next, paint)
// while the editor checks 10,000 links: 1,000 in each group, spread over 100
// loopback addresses of the test server, default limits. Manual time: the
// switch and its paint only; the check goes on between switches. Counters:
// the longest the event loop was kept from a 5 ms timer during the check
// (what delays a click most), and how long the whole check took.
void BM_TabSwitchDuringLinkCheck(benchmark::State& state) {
    QList<QHostAddress> hosts;
    for (int i = 0; i < 100; ++i)
        hosts << QHostAddress(QStringLiteral("127.0.3.%1").arg(1 + i));
    TestHttpServer server(hosts);
    if (!server.start()) {
        state.SkipWithError("cannot listen on the loopback addresses");
        return;
    }
    Editor e;
    for (int i = 0; i < 10000; ++i)
        e.doc.addLink(
            i % kGroupCount, "Link " + std::to_string(i),
            server.url(QStringLiteral("/ok?%1").arg(i), i % server.listenerCount()).toStdString());
    e.view.loadFromProject();
    e.show();
    QStatusBar statusBar;
    LinkCheckSession session(&e.view, &statusBar);

    QElapsedTimer sinceTick;
    qint64 longestStall = 0;
    QTimer ticker;
    ticker.setInterval(5);
    QObject::connect(&ticker, &QTimer::timeout,
                     [&] { longestStall = std::max(longestStall, sinceTick.restart()); });

    QElapsedTimer checkTime;
    checkTime.start();
    session.checkAllLinks();
    sinceTick.start();
    ticker.start();
    int tab = 0;
    int switchesWhileRunning = 0;
    for (auto _ : state) {
        // Let the check run on for a while between two switches.
        QElapsedTimer wait;
        wait.start();
        while (wait.elapsed() < 100)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        switchesWhileRunning += session.isRunning() ? 1 : 0;
        QElapsedTimer once;
        once.start();
        tab = (tab + 1) % kGroupCount;
        e.view.tabBar()->setCurrentIndex(tab);
        e.show();
        state.SetIterationTime(static_cast<double>(once.nsecsElapsed()) / 1e9);
    }
    QElapsedTimer limit;
    limit.start();
    while (session.isRunning() && limit.elapsed() < 60000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    if (session.isRunning())
        state.SkipWithError("the check did not end within a minute");
    ticker.stop();
    state.counters["switches_while_checking"] = switchesWhileRunning;
    state.counters["longest_stall_ms"] = static_cast<double>(longestStall);
    state.counters["check_s"] = static_cast<double>(checkTime.elapsed()) / 1000.0;
    state.counters["requests"] = session.checker()->requestsSent();
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    state.counters["peakRSS_MB"] = static_cast<double>(usage.ru_maxrss) / 1024.0;
}
BENCHMARK(BM_TabSwitchDuringLinkCheck)
    ->Unit(benchmark::kMillisecond)
    ->UseManualTime()
    ->Iterations(25);

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
