// Icons for the modern page from browser favicon stores built here with the
// browsers' own schemas: the best picture per host, scaled by Qt, embedded
// once; stores that are missing or unreadable are passed over.
#include "TestUtil.h"

#include "bookmarks/FaviconStore.h"
#include "core/ModernPage.h"
#include "fuzz/FuzzFavicons.h"
#include "pageicons/BrowserIcons.h"

#include <QBuffer>
#include <QByteArray>
#include <QColor>
#include <QImage>

#include <sqlite3.h>

#include <cstdlib>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;

std::string png(int side, QColor color) {
    QImage image(side, side, QImage::Format_ARGB32);
    image.fill(color);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return bytes.toStdString();
}

void touch(const fs::path& path, const std::string& bytes) {
    fs::create_directories(path.parent_path());
    writeFileBytes(path.string(), bytes);
}

// Runs sql, with ?1.. bound to blobs, on the database at path.
void exec(const fs::path& path, const std::string& sql,
          const std::vector<std::string>& blobs = {}) {
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open(path.c_str(), &db), SQLITE_OK);
    sqlite3_stmt* stmt = nullptr;
    const char* tail = sql.c_str();
    while (*tail) {
        ASSERT_EQ(sqlite3_prepare_v2(db, tail, -1, &stmt, &tail), SQLITE_OK) << sqlite3_errmsg(db);
        if (!stmt)
            break;
        for (size_t i = 0; i < blobs.size() && i < size_t(sqlite3_bind_parameter_count(stmt)); ++i)
            sqlite3_bind_blob(stmt, int(i + 1), blobs[i].data(), int(blobs[i].size()),
                              SQLITE_TRANSIENT);
        ASSERT_EQ(sqlite3_step(stmt), SQLITE_DONE) << sqlite3_errmsg(db);
        sqlite3_finalize(stmt);
    }
    sqlite3_close(db);
}

// Firefox's favicons.sqlite as Firefox creates it.
const char* kFirefoxSchema =
    "CREATE TABLE moz_icons (id INTEGER PRIMARY KEY, icon_url TEXT NOT NULL, "
    "fixed_icon_url_hash INTEGER NOT NULL, width INTEGER NOT NULL DEFAULT 0, "
    "root INTEGER NOT NULL DEFAULT 0, color INTEGER, expire_ms INTEGER NOT NULL DEFAULT 0, "
    "flags INTEGER NOT NULL DEFAULT 0, data BLOB);"
    "CREATE TABLE moz_pages_w_icons (id INTEGER PRIMARY KEY, page_url TEXT NOT NULL, "
    "page_url_hash INTEGER NOT NULL);"
    "CREATE TABLE moz_icons_to_pages (page_id INTEGER NOT NULL, icon_id INTEGER NOT NULL, "
    "expire_ms INTEGER NOT NULL DEFAULT 0, PRIMARY KEY (page_id, icon_id), "
    "FOREIGN KEY (page_id) REFERENCES moz_pages_w_icons ON DELETE CASCADE, "
    "FOREIGN KEY (icon_id) REFERENCES moz_icons ON DELETE CASCADE) WITHOUT ROWID;";

// Chromium's Favicons database.
const char* kChromiumSchema =
    "CREATE TABLE meta(key LONGVARCHAR NOT NULL UNIQUE PRIMARY KEY, value LONGVARCHAR);"
    "CREATE TABLE icon_mapping(id INTEGER PRIMARY KEY, page_url LONGVARCHAR NOT NULL, "
    "icon_id INTEGER);"
    "CREATE TABLE favicons(id INTEGER PRIMARY KEY, url LONGVARCHAR NOT NULL, "
    "icon_type INTEGER DEFAULT 1);"
    "CREATE TABLE favicon_bitmaps(id INTEGER PRIMARY KEY, icon_id INTEGER NOT NULL, "
    "last_updated INTEGER DEFAULT 0, image_data BLOB, width INTEGER DEFAULT 0, "
    "height INTEGER DEFAULT 0, last_requested INTEGER DEFAULT 0);";

// A home folder with a Firefox profile, a Chromium profile and a Chrome
// profile whose Favicons is not a database.
struct BrowserHome {
    TempDir home;
    fs::path firefox, chromium;

    BrowserHome() {
        const fs::path h = home.path();
        touch(h / ".mozilla/firefox/profiles.ini",
              "[Profile0]\nName=default\nIsRelative=1\nPath=p.default\n");
        touch(h / ".mozilla/firefox/p.default/places.sqlite", "");
        firefox = h / ".mozilla/firefox/p.default/favicons.sqlite";
        exec(firefox, kFirefoxSchema);
        exec(firefox,
             "INSERT INTO moz_icons VALUES (1, 'https://example.org/s.png', 1, 16, 0, NULL, 0, 0, "
             "?1);"
             "INSERT INTO moz_icons VALUES (2, 'https://example.org/l.png', 2, 64, 0, NULL, 0, 0, "
             "?2);"
             "INSERT INTO moz_icons VALUES (3, 'https://root.example/favicon.ico', 3, 16, 1, NULL, "
             "0, 0, ?1);"
             "INSERT INTO moz_icons VALUES (4, 'https://broken.example/x.png', 4, 32, 0, NULL, 0, "
             "0, ?3);"
             "INSERT INTO moz_pages_w_icons VALUES (1, 'https://www.example.org/a', 1);"
             "INSERT INTO moz_pages_w_icons VALUES (2, 'https://broken.example/', 2);"
             "INSERT INTO moz_icons_to_pages VALUES (1, 1, 0);"
             "INSERT INTO moz_icons_to_pages VALUES (1, 2, 0);"
             "INSERT INTO moz_icons_to_pages VALUES (2, 4, 0);",
             {png(16, Qt::red), png(64, Qt::blue), "not a picture"});
        touch(h / ".config/chromium/Default/Bookmarks", "{}");
        chromium = h / ".config/chromium/Default/Favicons";
        exec(chromium, kChromiumSchema);
        exec(chromium,
             "INSERT INTO favicons VALUES (7, 'https://chromium.example/favicon.ico', 1);"
             "INSERT INTO icon_mapping VALUES (1, 'https://chromium.example/page', 7);"
             "INSERT INTO favicon_bitmaps VALUES (1, 7, 0, ?1, 16, 16, 0);"
             "INSERT INTO favicon_bitmaps VALUES (2, 7, 0, ?2, 32, 32, 0);",
             {png(16, Qt::green), png(32, Qt::yellow)});
        touch(h / ".config/google-chrome/Default/Bookmarks", "{}");
        touch(h / ".config/google-chrome/Default/Favicons", "locked or garbage");
    }
};

Project projectOf(const std::vector<std::string>& urls) {
    Project doc;
    for (const std::string& url : urls)
        doc.addLink(0, url, url);
    return doc;
}

QImage imageOf(const std::string& uri) {
    const std::string prefix = "data:image/png;base64,";
    if (uri.rfind(prefix, 0) != 0)
        return {};
    return QImage::fromData(
        QByteArray::fromBase64(QByteArray::fromStdString(uri.substr(prefix.size()))));
}

} // namespace

TEST(BrowserIcons, FindsTheStoresBesideTheProfiles) {
    BrowserHome b;
    const std::vector<FaviconStore> stores = findFaviconStores(b.home.path().string());
    ASSERT_EQ(stores.size(), 3u);
    EXPECT_EQ(stores[0].kind, FaviconStoreKind::Firefox);
    EXPECT_EQ(stores[0].path, b.firefox.string());
}

TEST(BrowserIcons, BestPicturePerHostScaledAndEmbedded) {
    BrowserHome b;
    const Project doc = projectOf({"https://example.org/x", "http://example.org/y",
                                   "https://root.example/", "https://chromium.example/",
                                   "https://broken.example/", "https://unknown.example/"});
    const PageIcons icons = browserPageIcons(doc, b.home.path().string());
    ASSERT_EQ(icons.byHost.size(), 3u);
    struct Case {
        const char* host;
        int side;
        QColor color;
    };
    // The 64-pixel picture scaled to 32; a 16-pixel one kept at 16.
    for (const Case& c : {Case{"example.org", 32, Qt::blue}, Case{"root.example", 16, Qt::red},
                          Case{"chromium.example", 32, Qt::yellow}}) {
        SCOPED_TRACE(c.host);
        ASSERT_TRUE(icons.byHost.count(c.host));
        const QImage image = imageOf(icons.byHost.at(c.host));
        EXPECT_EQ(image.width(), c.side);
        EXPECT_EQ(image.height(), c.side);
        EXPECT_EQ(QColor(image.pixel(c.side / 2, c.side / 2)), c.color);
        EXPECT_LE(icons.byHost.at(c.host).size(), kMaxIconUriBytes);
    }
    // Only the hosts the project uses are read.
    EXPECT_TRUE(browserPageIcons(projectOf({"https://other.example/"}), b.home.path().string())
                    .byHost.empty());
}

TEST(BrowserIcons, StoresInUseAreReadFromCopiesAndLeftUntouched) {
    BrowserHome b;
    const std::string before = readFileBytes(b.firefox.string());
    // A browser holding the database open with a write lock.
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open(b.firefox.c_str(), &db), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(db, "BEGIN EXCLUSIVE", nullptr, nullptr, nullptr), SQLITE_OK);
    const PageIcons icons =
        browserPageIcons(projectOf({"https://example.org/"}), b.home.path().string());
    sqlite3_exec(db, "ROLLBACK", nullptr, nullptr, nullptr);
    sqlite3_close(db);
    EXPECT_EQ(icons.byHost.count("example.org"), 1u);
    EXPECT_EQ(readFileBytes(b.firefox.string()), before);
    EXPECT_FALSE(fs::exists(b.firefox.string() + "-journal"));
}

TEST(BrowserIcons, GeneratedPageCarriesEachIconOnce) {
    BrowserHome b;
    Project doc = projectOf({"https://example.org/1", "https://example.org/2",
                             "https://chromium.example/", "https://unknown.example/"});
    PageStyle modern;
    modern.look = PageLook::Modern;
    doc.setPageStyle(modern);
    const std::string project = b.home.file("p.lfp");
    const std::string page = b.home.file("p.htm");
    ASSERT_TRUE(doc.save(project));
    const std::string cmd = "env -u DISPLAY -u WAYLAND_DISPLAY HOME=" + b.home.path().string() +
                            " " LINKFOLD_HEADLESS " --generate " + project + " " + page;
    const int rc = std::system(cmd.c_str());
    ASSERT_TRUE(WIFEXITED(rc) && WEXITSTATUS(rc) == 0);
    const std::string html = readFileBytes(page);
    const PageIcons icons = browserPageIcons(doc, b.home.path().string());
    for (const auto& [host, uri] : icons.byHost) {
        size_t n = 0;
        for (size_t at = html.find(uri); at != std::string::npos; at = html.find(uri, at + 1))
            ++n;
        EXPECT_EQ(n, 1u) << host;
    }
    EXPECT_NE(html.find("data-t=\"U\" href=\"https://unknown.example/\""), std::string::npos);
}

namespace {

// A PNG of side × side one-bit pixels: a few KiB on disk, side² × 4 bytes
// once decoded.
std::string monoPng(int side) {
    QImage image(side, side, QImage::Format_Mono);
    image.fill(0);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return bytes.toStdString();
}

// An ICO whose one entry says 256 × 256 and holds the PNG given.
std::string icoHolding(const std::string& png) {
    auto le = [](std::uint32_t v, int n) {
        std::string out;
        for (int i = 0; i < n; ++i)
            out.push_back(static_cast<char>((v >> (8 * i)) & 0xff));
        return out;
    };
    return le(0, 2) + le(1, 2) + le(1, 2) + std::string(4, '\0') + le(1, 2) + le(32, 2) +
           le(static_cast<std::uint32_t>(png.size()), 4) + le(22, 4) + png;
}

std::string repeat(const std::string& unit, int n) {
    std::string out;
    for (int i = 0; i < n; ++i)
        out += unit;
    return out;
}

std::string svg(const std::string& body) {
    return "<svg xmlns=\"http://www.w3.org/2000/svg\" xmlns:xlink=\"http://www.w3.org/1999/xlink\" "
           "viewBox=\"0 0 16 16\" width=\"16\" height=\"16\">" +
           body + "</svg>";
}

const std::string kShapes = svg("<defs><linearGradient id=\"g\"><stop offset=\"0\" "
                                "stop-color=\"#0f0\"/></linearGradient></defs>"
                                "<rect width=\"16\" height=\"16\" fill=\"url(#g)\"/>");

// A Firefox favicons.sqlite beside a profile in a new home, one icon for
// each host.
struct HostileHome {
    TempDir home;
    fs::path store;

    explicit HostileHome(const std::vector<std::pair<std::string, std::string>>& iconByHost) {
        const fs::path h = home.path();
        touch(h / ".mozilla/firefox/profiles.ini",
              "[Profile0]\nName=default\nIsRelative=1\nPath=p.default\n");
        touch(h / ".mozilla/firefox/p.default/places.sqlite", "");
        store = h / ".mozilla/firefox/p.default/favicons.sqlite";
        exec(store, kFirefoxSchema);
        int id = 0;
        for (const auto& [host, bytes] : iconByHost) {
            ++id;
            const std::string n = std::to_string(id);
            exec(store,
                 "INSERT INTO moz_icons VALUES (" + n + ", 'https://" + host + "/i', " + n +
                     ", 16, 0, NULL, 0, 0, ?1);"
                     "INSERT INTO moz_pages_w_icons VALUES (" +
                     n + ", 'https://" + host + "/', " + n +
                     ");"
                     "INSERT INTO moz_icons_to_pages VALUES (" +
                     n + ", " + n + ", 0);",
                 {bytes});
        }
    }
};

// Runs --generate in both styles with a bound on time, standing in for a
// terminal whose standard input never ends; every run must write a page.
void generateBothStyles(const HostileHome& h, const Project& doc) {
    const std::string project = h.home.file("p.lfp");
    ASSERT_TRUE(Project(doc).save(project));
    const std::string fifo = h.home.file("stdin");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    const int keepOpen = ::open(fifo.c_str(), O_RDWR);
    for (const char* style : {"modern", "classic"}) {
        SCOPED_TRACE(style);
        const std::string page = h.home.file(std::string(style) + ".htm");
        const std::string cmd =
            "env -u DISPLAY -u WAYLAND_DISPLAY QT_QPA_PLATFORM= HOME=" + h.home.path().string() +
            " timeout -s KILL 60 " LINKFOLD_HEADLESS " --generate " + project + " " + page +
            " --style " + style + " < " + fifo;
        const int rc = std::system(cmd.c_str());
        EXPECT_TRUE(WIFEXITED(rc) && WEXITSTATUS(rc) == 0) << rc;
        EXPECT_NE(readFileBytes(page).find("https://png.example/"), std::string::npos);
    }
    ::close(keepOpen);
}

} // namespace

TEST(BrowserIcons, OnlySelfContainedSvgShapes) {
    struct Case {
        const char* what;
        std::string bytes;
        bool accepted;
    };
    const Case cases[] = {
        {"shapes and a gradient", kShapes, true},
        {"text", svg("<text x=\"0\" y=\"12\">&#x1F600;</text>"), false},
        {"text in another namespace", svg("<t:text xmlns:t=\"urn:x\">a</t:text>"), false},
        {"image of a file", svg("<image xlink:href=\"/etc/icon.png\" width=\"16\"/>"), false},
        {"image of data", svg("<image href=\"data:image/png;base64,AAAA\" width=\"16\"/>"), false},
        {"use", svg("<path id=\"p\" d=\"M0 0h4v4z\"/><use href=\"#p\"/>"), false},
        {"script", svg("<script>alert(1)</script>"), false},
        {"handler", svg("<rect width=\"4\" height=\"4\" onload=\"alert(1)\"/>"), false},
        {"outside fill", svg("<rect width=\"4\" height=\"4\" fill=\"url(http://x/#g)\"/>"), false},
        {"outside gradient", svg("<linearGradient id=\"g\" xlink:href=\"x.svg#h\"/>"), false},
        {"style import", svg("<style>@import 'http://x/s.css';</style>"), false},
        {"style url", svg("<style>rect{fill:url( 'file:///x#g')}</style>"), false},
        {"local style", svg("<style>rect{fill:url(#g)}</style><rect width=\"4\"/>"), true},
        {"foreign object", svg("<foreignObject><p>x</p></foreignObject>"), false},
        {"entity", "<!DOCTYPE svg [<!ENTITY a \"aa\">]>" + svg("<title>&a;</title>"), false},
        {"processing instruction", "<?xml-stylesheet href=\"s.css\"?>" + kShapes, false},
        {"not svg at the root", "<html><svg/></html>", false},
        {"cut off", kShapes.substr(0, kShapes.size() - 3), false},
        {"deep", svg(repeat("<g>", 100) + repeat("</g>", 100)), false},
        {"many", svg(repeat("<path d=\"M0 0h1v1z\"/>", 5000)), false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(svgIsSelfContained(c.bytes), c.accepted);
        IconBudget budget;
        EXPECT_EQ(!iconDataUri(c.bytes, budget).empty(), c.accepted);
    }
}

TEST(BrowserIcons, SizesBoundedBeforeDecodingAndOneBudgetPerPage) {
    // The header decides: one pixel over the bound is refused undecoded.
    IconBudget budget;
    EXPECT_TRUE(iconDataUri(png(kMaxIconSide + 1, Qt::red), budget).empty());
    EXPECT_EQ(budget.pixels, kPageIconPixels);
    EXPECT_TRUE(iconDataUri(monoPng(5000), budget).empty());
    EXPECT_EQ(budget.pixels, kPageIconPixels);
    EXPECT_FALSE(iconDataUri(png(kMaxIconSide, Qt::red), budget).empty());
    EXPECT_EQ(budget.pixels, kPageIconPixels - size_t(kMaxIconSide) * kMaxIconSide);
    // Once the budget is spent nothing more is decoded.
    while (!iconDataUri(png(kMaxIconSide, Qt::red), budget).empty()) {
    }
    EXPECT_LT(budget.pixels, size_t(kMaxIconSide) * kMaxIconSide);
    EXPECT_TRUE(iconDataUri(png(kMaxIconSide, Qt::red), budget).empty());
    // An ICO entry larger than its header says counts as decoded.
    IconBudget other;
    EXPECT_TRUE(iconDataUri(icoHolding(monoPng(4000)), other).empty());
    EXPECT_EQ(other.pixels, kPageIconPixels - 256 * 256);
}

TEST(BrowserIcons, HostileStoresStillGiveBothPages) {
    TempDir outside;
    const std::string secret = outside.file("secret.png");
    writeFileBytes(secret, png(16, Qt::magenta));
    std::vector<std::pair<std::string, std::string>> icons = {
        {"png.example", png(16, Qt::red)},
        {"shapes.example", kShapes},
        {"text.example", svg("<text x=\"0\" y=\"12\" font-size=\"12\">&#x1F600;</text>")},
        {"file.example", svg("<image xlink:href=\"" + secret + "\" width=\"16\" height=\"16\"/>")},
        {"stdin.example", svg("<image xlink:href=\"/dev/stdin\" width=\"16\" height=\"16\"/>")},
        {"ico.example", icoHolding(monoPng(5000))},
    };
    for (int i = 0; i < 20; ++i)
        icons.emplace_back("bomb" + std::to_string(i) + ".example", monoPng(5000));
    HostileHome h(icons);
    std::vector<std::string> urls;
    for (const auto& [host, bytes] : icons) {
        ASSERT_LT(bytes.size(), 8u * 1024) << host;
        urls.push_back("https://" + host + "/");
    }
    Project doc = projectOf(urls);
    PageStyle modern;
    modern.look = PageLook::Modern;
    doc.setPageStyle(modern);
    generateBothStyles(h, doc);

    const PageIcons found = browserPageIcons(doc, h.home.path().string());
    EXPECT_EQ(found.byHost.count("png.example"), 1u);
    EXPECT_EQ(found.byHost.count("shapes.example"), 1u);
    EXPECT_EQ(found.byHost.size(), 2u);
}

TEST(BrowserIcons, StoresThatComputeWhatTheyHoldAreRefused) {
    HostileHome h({{"png.example", png(16, Qt::red)}});
    // Firefox's icons table turned into a view that never ends.
    exec(h.store, "ALTER TABLE moz_icons RENAME TO icons;"
                  "CREATE VIEW moz_icons AS WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL "
                  "SELECT i + 1 FROM n) SELECT i AS id, 'https://png.example/' AS icon_url, "
                  "16 AS width, 1 AS root, x'00' AS data FROM n;");
    // Chromium's bitmaps with a column computed on every read.
    const fs::path chromium = h.home.path() / ".config/chromium/Default/Favicons";
    touch(h.home.path() / ".config/chromium/Default/Bookmarks", "{}");
    exec(chromium, std::string(kChromiumSchema) +
                       "DROP TABLE favicon_bitmaps; CREATE TABLE favicon_bitmaps(id INTEGER "
                       "PRIMARY KEY, icon_id INTEGER, width INTEGER, image_data AS "
                       "(zeroblob(100000000)));"
                       "INSERT INTO favicons VALUES (7, 'https://png.example/favicon.ico', 1);"
                       "INSERT INTO icon_mapping VALUES (1, 'https://png.example/', 7);"
                       "INSERT INTO favicon_bitmaps (id, icon_id, width) VALUES (1, 7, 16);");
    for (const fs::path& store : {h.store, chromium}) {
        SCOPED_TRACE(store.string());
        ASSERT_LT(fs::file_size(store), 64u * 1024);
    }
    const std::set<std::string> hosts{"png.example"};
    FaviconsByHost found;
    EXPECT_FALSE(readFaviconStore({FaviconStoreKind::Firefox, h.store.string()}, hosts, found));
    EXPECT_FALSE(readFaviconStore({FaviconStoreKind::Chromium, chromium.string()}, hosts, found));
    EXPECT_TRUE(found.empty());
    Project doc = projectOf({"https://png.example/"});
    PageStyle modern;
    modern.look = PageLook::Modern;
    doc.setPageStyle(modern);
    generateBothStyles(h, doc);
}

// The favicon fuzzer's corpus and saved crash inputs, replayed.
TEST(BrowserIcons, FuzzCorpusReplays) {
    size_t files = 0;
    for (const auto& entry : fs::directory_iterator(LINKFOLD_FAVICON_CORPUS)) {
        SCOPED_TRACE(entry.path().string());
        const std::string bytes = readFileBytes(entry.path().string());
        fuzzOneFaviconInput(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size());
        ++files;
    }
    EXPECT_GT(files, 0u);
}
