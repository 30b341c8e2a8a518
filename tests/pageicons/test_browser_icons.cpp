// Icons for the modern page from browser favicon stores built here with the
// browsers' own schemas: the best picture per host, scaled by Qt, embedded
// once; stores that are missing or unreadable are passed over.
#include "TestUtil.h"

#include "bookmarks/FaviconStore.h"
#include "core/ModernPage.h"
#include "pageicons/BrowserIcons.h"

#include <QBuffer>
#include <QByteArray>
#include <QColor>
#include <QImage>

#include <sqlite3.h>

#include <cstdlib>
#include <sys/wait.h>

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
