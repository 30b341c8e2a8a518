// Importing 100,000 bookmarks from a bookmark HTML file, a Chromium
// `Bookmarks` JSON file and a Firefox places.sqlite, each beside the bare
// library parse of the same file (libxml2's HTML parser, nlohmann::json, a
// plain SELECT over the same tables). Both sides include reading the file.
#include "bookmarks/BookmarkReader.h"
#include "bookmarks/ExportTree.h"
#include "bookmarks/FirefoxPlacesReader.h"
#include "bookmarks/ImportPlan.h"
#include "bookmarks/NetscapeBookmarkWriter.h"
#include "bookmarks/SourceFile.h"

#include <benchmark/benchmark.h>
#include <libxml/HTMLparser.h>
#include <libxml/parser.h>
#include <nlohmann/json.hpp>
#include <sqlite3.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

namespace fs = std::filesystem;

namespace {

constexpr int kLinks = 100000;
constexpr int kPerFolder = 1000;

std::string url(int i) {
    return "https://www.example.com/page/" + std::to_string(i);
}
std::string title(int i) {
    return "Example site " + std::to_string(i) + " & more";
}

void writeFile(const fs::path& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

std::string netscapeHtml() {
    BookmarkTree tree;
    int folder = -1;
    for (int i = 0; i < kLinks; ++i) {
        if (i % kPerFolder == 0) {
            folder = tree.addFolder(-1, "Folder " + std::to_string(i / kPerFolder), 1700000000);
            if (i % (2 * kPerFolder) != 0)
                folder = tree.addFolder(folder, "Sub", 1700000000);
        }
        tree.addLink(folder, title(i), url(i), 1700000000 + i);
    }
    return writeNetscapeBookmarks(tree);
}

std::string chromiumJson() {
    nlohmann::json bar = {
        {"type", "folder"}, {"name", "Bookmarks bar"}, {"children", nlohmann::json::array()}};
    nlohmann::json* folder = nullptr;
    for (int i = 0; i < kLinks; ++i) {
        if (i % kPerFolder == 0) {
            bar["children"].push_back({{"type", "folder"},
                                       {"name", "Folder " + std::to_string(i / kPerFolder)},
                                       {"date_added", "13345678900000000"},
                                       {"children", nlohmann::json::array()}});
            folder = &bar["children"].back();
        }
        (*folder)["children"].push_back({{"type", "url"},
                                         {"name", title(i)},
                                         {"url", url(i)},
                                         {"guid", "00000000-0000-4000-8000-" + std::to_string(i)},
                                         {"id", std::to_string(i + 10)},
                                         {"date_added", "13345678901234567"}});
    }
    nlohmann::json doc = {
        {"checksum", "0"},
        {"roots",
         {{"bookmark_bar", bar},
          {"other", {{"type", "folder"}, {"name", "Other"}, {"children", nlohmann::json::array()}}},
          {"synced",
           {{"type", "folder"}, {"name", "Mobile"}, {"children", nlohmann::json::array()}}}}},
        {"version", 1}};
    return doc.dump(3);
}

void exec(sqlite3* db, const std::string& sql) {
    sqlite3_exec(db, sql.c_str(), nullptr, nullptr, nullptr);
}

void buildPlaces(const fs::path& path) {
    sqlite3* db = nullptr;
    sqlite3_open(path.c_str(), &db);
    exec(db,
         "CREATE TABLE moz_places (id INTEGER PRIMARY KEY, url LONGVARCHAR, title LONGVARCHAR, "
         "rev_host LONGVARCHAR, visit_count INTEGER DEFAULT 0, hidden INTEGER DEFAULT 0 NOT NULL, "
         "typed INTEGER DEFAULT 0 NOT NULL, frecency INTEGER DEFAULT -1 NOT NULL, "
         "last_visit_date INTEGER, guid TEXT, foreign_count INTEGER DEFAULT 0 NOT NULL, "
         "url_hash INTEGER DEFAULT 0 NOT NULL, description TEXT, preview_image_url TEXT);"
         "CREATE TABLE moz_bookmarks (id INTEGER PRIMARY KEY, type INTEGER, fk INTEGER DEFAULT "
         "NULL, parent INTEGER, position INTEGER, title LONGVARCHAR, keyword_id INTEGER, "
         "folder_type TEXT, dateAdded INTEGER, lastModified INTEGER, guid TEXT, syncStatus "
         "INTEGER NOT NULL DEFAULT 0, syncChangeCounter INTEGER NOT NULL DEFAULT 1);"
         "CREATE INDEX moz_bookmarks_parentindex ON moz_bookmarks (parent, position);"
         "BEGIN;"
         "INSERT INTO moz_bookmarks (id, type, parent, position, title, guid) VALUES "
         "(1, 2, 0, 0, '', 'root________'), (2, 2, 1, 0, 'menu', 'menu________'),"
         "(3, 2, 1, 1, 'toolbar', 'toolbar_____'), (4, 2, 1, 2, 'tags', 'tags________'),"
         "(5, 2, 1, 3, 'unfiled', 'unfiled_____'), (6, 2, 1, 4, 'mobile', 'mobile______');");
    sqlite3_stmt* place = nullptr;
    sqlite3_stmt* mark = nullptr;
    sqlite3_prepare_v2(db, "INSERT INTO moz_places (id, url, title, guid) VALUES (?, ?, ?, ?)", -1,
                       &place, nullptr);
    sqlite3_prepare_v2(db,
                       "INSERT INTO moz_bookmarks (id, type, fk, parent, position, title, guid, "
                       "dateAdded) VALUES (?, ?, ?, ?, ?, ?, ?, 1700000000000000)",
                       -1, &mark, nullptr);
    std::int64_t nextId = 100;
    std::int64_t folder = 0;
    for (int i = 0; i < kLinks; ++i) {
        if (i % kPerFolder == 0) {
            folder = nextId++;
            sqlite3_bind_int64(mark, 1, folder);
            sqlite3_bind_int(mark, 2, 2);
            sqlite3_bind_null(mark, 3);
            sqlite3_bind_int(mark, 4, 2);
            sqlite3_bind_int(mark, 5, i / kPerFolder);
            const std::string name = "Folder " + std::to_string(i / kPerFolder);
            sqlite3_bind_text(mark, 6, name.c_str(), -1, SQLITE_TRANSIENT);
            sqlite3_bind_text(mark, 7, ("f" + std::to_string(i)).c_str(), -1, SQLITE_TRANSIENT);
            sqlite3_step(mark);
            sqlite3_reset(mark);
        }
        const std::int64_t placeId = i + 1;
        sqlite3_bind_int64(place, 1, placeId);
        sqlite3_bind_text(place, 2, url(i).c_str(), -1, SQLITE_TRANSIENT);
        sqlite3_bind_text(place, 3, title(i).c_str(), -1, SQLITE_TRANSIENT);
        sqlite3_bind_text(place, 4, ("p" + std::to_string(i)).c_str(), -1, SQLITE_TRANSIENT);
        sqlite3_step(place);
        sqlite3_reset(place);
        sqlite3_bind_int64(mark, 1, nextId++);
        sqlite3_bind_int(mark, 2, 1);
        sqlite3_bind_int64(mark, 3, placeId);
        sqlite3_bind_int64(mark, 4, folder);
        sqlite3_bind_int(mark, 5, i % kPerFolder);
        sqlite3_bind_text(mark, 6, title(i).c_str(), -1, SQLITE_TRANSIENT);
        sqlite3_bind_text(mark, 7, ("b" + std::to_string(i)).c_str(), -1, SQLITE_TRANSIENT);
        sqlite3_step(mark);
        sqlite3_reset(mark);
    }
    sqlite3_finalize(place);
    sqlite3_finalize(mark);
    exec(db, "COMMIT;");
    sqlite3_close(db);
}

// The three files, made once in a temporary folder removed at exit.
struct Files {
    fs::path dir;
    fs::path html, json, places;
    Files() {
        std::string templ = (fs::temp_directory_path() / "lfbench-XXXXXX").string();
        if (!::mkdtemp(templ.data()))
            std::abort();
        dir = templ;
        html = dir / "bookmarks.html";
        json = dir / "Bookmarks";
        places = dir / "places.sqlite";
        writeFile(html, netscapeHtml());
        writeFile(json, chromiumJson());
        buildPlaces(places);
    }
    ~Files() {
        std::error_code ec;
        fs::remove_all(dir, ec);
    }
};

const Files& files() {
    static Files f;
    return f;
}

void importFile(benchmark::State& state, const fs::path& path) {
    for (auto _ : state) {
        const BookmarkReadResult r = readBookmarkFile(path.string());
        if (!r.ok() || r.tree.linkCount() != kLinks)
            state.SkipWithError(r.error.c_str());
        benchmark::DoNotOptimize(r.tree.size());
    }
    state.counters["file_MB"] = double(fs::file_size(path)) / 1e6;
}

void BM_ImportHtml(benchmark::State& state) {
    importFile(state, files().html);
}
void BM_ImportJson(benchmark::State& state) {
    importFile(state, files().json);
}
void BM_ImportPlaces(benchmark::State& state) {
    importFile(state, files().places);
}

// What --import-bookmarks reads of the same places.sqlite for a new
// project: the folders with their links counted, the default mapping into
// ten empty groups, then the links of the ten folders it takes.
void BM_ImportPlacesTwoSteps(benchmark::State& state) {
    const std::vector<ExistingGroup> groups(10);
    for (auto _ : state) {
        PlacesImport places;
        if (!places.open(files().places.string(), "Bookmarks")) {
            state.SkipWithError(places.error().c_str());
            break;
        }
        const std::vector<FolderChoice> choices = defaultChoices(places.folders(), groups);
        if (!places.readLinks(importedRows(places.folders(), choices, groups)))
            state.SkipWithError(places.error().c_str());
        benchmark::DoNotOptimize(places.folders().size());
    }
}

// The bare library parses, file read included.
size_t bareHtml(const std::string& path) {
    const SourceFile f = readSourceFile(path);
    xmlDoc* doc = htmlReadMemory(f.bytes.data(), static_cast<int>(f.bytes.size()), nullptr, nullptr,
                                 HTML_PARSE_RECOVER | HTML_PARSE_NONET | HTML_PARSE_NOERROR |
                                     HTML_PARSE_NOWARNING | HTML_PARSE_COMPACT |
                                     static_cast<int>(XML_PARSE_HUGE));
    const size_t n = doc ? 1 : 0;
    xmlFreeDoc(doc);
    return n;
}

size_t bareJson(const std::string& path) {
    const SourceFile f = readSourceFile(path);
    const nlohmann::json doc = nlohmann::json::parse(f.bytes);
    return doc.size();
}

size_t barePlaces(const std::string& path) {
    sqlite3* db = nullptr;
    sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READONLY, nullptr);
    sqlite3_stmt* stmt = nullptr;
    sqlite3_prepare_v2(db,
                       "SELECT b.id, b.type, b.parent, b.dateAdded, b.title, b.guid, p.url "
                       "FROM moz_bookmarks b LEFT JOIN moz_places p ON p.id = b.fk",
                       -1, &stmt, nullptr);
    size_t bytes = 0;
    while (sqlite3_step(stmt) == SQLITE_ROW)
        bytes += static_cast<size_t>(sqlite3_column_bytes(stmt, 4) + sqlite3_column_bytes(stmt, 6));
    sqlite3_finalize(stmt);
    sqlite3_close(db);
    return bytes;
}

void BM_BareHtmlParse(benchmark::State& state) {
    for (auto _ : state)
        benchmark::DoNotOptimize(bareHtml(files().html.string()));
}

void BM_BareJsonParse(benchmark::State& state) {
    for (auto _ : state)
        benchmark::DoNotOptimize(bareJson(files().json.string()));
}

void BM_BarePlacesSelect(benchmark::State& state) {
    for (auto _ : state)
        benchmark::DoNotOptimize(barePlaces(files().places.string()));
}

// The import plan over the HTML file's 100 folders into ten groups, five of
// them already holding 10,000 links, half of which the import repeats.
void BM_PlanImport(benchmark::State& state) {
    const BookmarkReadResult r = readBookmarkFile(files().html.string());
    const std::vector<ImportFolder> folders = importFolders(r.tree, "Unfiled");
    std::vector<ExistingGroup> groups(10);
    for (int g = 0; g < 5; ++g)
        for (int i = 0; i < 10000; ++i)
            groups[static_cast<size_t>(g)].urls.push_back(url(g % 2 == 0 ? i : kLinks + i));
    std::vector<FolderChoice> mapping(folders.size());
    for (size_t f = 0; f < folders.size(); ++f)
        mapping[f] = {folders[f].parent < 0, static_cast<int>(f % 10)};
    const std::vector<ImportMode> modes(10, ImportMode::Append);
    for (auto _ : state) {
        const ImportPlan plan = planImport(folders, mapping, modes, groups);
        benchmark::DoNotOptimize(plan.linkCount);
    }
}

} // namespace

BENCHMARK(BM_ImportHtml)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_BareHtmlParse)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ImportJson)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_BareJsonParse)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ImportPlaces)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ImportPlacesTwoSteps)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_BarePlacesSelect)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PlanImport)->Unit(benchmark::kMillisecond);

// `--write DIR` leaves the three files in DIR; `--bare html|json|places
// FILE` runs one bare parse and `--import FILE` one import, so that whole
// commands can be timed beside `linkfold --import-bookmarks` (hyperfine,
// /usr/bin/time -v).
int main(int argc, char** argv) {
    const std::string verb = argc > 1 ? argv[1] : "";
    if (verb == "--write" && argc == 3) {
        const fs::path dir = argv[2];
        writeFile(dir / "bookmarks.html", netscapeHtml());
        writeFile(dir / "Bookmarks", chromiumJson());
        buildPlaces(dir / "places.sqlite");
        return 0;
    }
    if (verb == "--bare" && argc == 4) {
        const std::string kind = argv[2];
        const size_t n = kind == "html"   ? bareHtml(argv[3])
                         : kind == "json" ? bareJson(argv[3])
                                          : barePlaces(argv[3]);
        return n > 0 ? 0 : 1;
    }
    if (verb == "--import" && argc == 3) {
        const BookmarkReadResult r = readBookmarkFile(argv[2]);
        return r.ok() && r.tree.linkCount() == kLinks ? 0 : 1;
    }
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
