#include "bookmarks/FaviconStore.h"

#include "bookmarks/BrowserProfiles.h"
#include "bookmarks/PrivateDatabaseCopy.h"
#include "core/ModernPage.h"

#include <sqlite3.h>

#include <filesystem>
#include <memory>

namespace fs = std::filesystem;

namespace {

constexpr size_t kMaxStoreBytes = size_t{1} << 30;

struct StmtFinalizer {
    void operator()(sqlite3_stmt* stmt) const { sqlite3_finalize(stmt); }
};
using StmtPtr = std::unique_ptr<sqlite3_stmt, StmtFinalizer>;

// Whether width suits better than the one kept: the target itself, then
// anything larger (it scales down cleanly), smallest first, then smaller
// ones, largest first.
bool betterWidth(int width, int kept) {
    auto rank = [](int w) {
        if (w == kFaviconTargetWidth)
            return 0;
        if (w > kFaviconTargetWidth)
            return w;
        return 100000 - w;
    };
    return rank(width) < rank(kept);
}

// Page URL (or icon URL), width, data.
const char* queryFor(FaviconStoreKind kind) {
    if (kind == FaviconStoreKind::Firefox)
        return "SELECT p.page_url, i.width, i.data FROM moz_icons i "
               "JOIN moz_icons_to_pages ip ON ip.icon_id = i.id "
               "JOIN moz_pages_w_icons p ON p.id = ip.page_id WHERE i.data IS NOT NULL "
               "UNION ALL SELECT i.icon_url, i.width, i.data FROM moz_icons i "
               "WHERE i.root = 1 AND i.data IS NOT NULL";
    return "SELECT m.page_url, b.width, b.image_data FROM icon_mapping m "
           "JOIN favicon_bitmaps b ON b.icon_id = m.icon_id WHERE b.image_data IS NOT NULL";
}

} // namespace

std::vector<FaviconStore> findFaviconStores(const std::string& home) {
    std::vector<FaviconStore> stores;
    std::error_code ec;
    for (const BrowserProfile& profile : findBrowserProfiles(home, ProfilesWanted::All)) {
        const bool firefox = profile.format == BookmarkFormat::FirefoxPlaces;
        const fs::path path = fs::path(profile.folder) / (firefox ? "favicons.sqlite" : "Favicons");
        if (fs::is_regular_file(path, ec))
            stores.push_back(
                {firefox ? FaviconStoreKind::Firefox : FaviconStoreKind::Chromium, path.string()});
    }
    return stores;
}

bool readFaviconStore(const FaviconStore& store, const std::set<std::string>& hosts,
                      FaviconsByHost& found) {
    if (hosts.empty())
        return true;
    PrivateDatabaseCopy copy;
    if (!copy.open(store.path, kMaxStoreBytes))
        return false;
    // The copy comes with the guards of a database from outside: plain
    // tables only, its work bounded by its size.
    sqlite3* db = copy.db();
    sqlite3_exec(db, "PRAGMA query_only=ON", nullptr, nullptr, nullptr);
    sqlite3_stmt* raw = nullptr;
    if (sqlite3_prepare_v2(db, queryFor(store.kind), -1, &raw, nullptr) != SQLITE_OK)
        return false;
    StmtPtr stmt(raw);
    int rc;
    while ((rc = sqlite3_step(stmt.get())) == SQLITE_ROW) {
        const auto* url = reinterpret_cast<const char*>(sqlite3_column_text(stmt.get(), 0));
        if (!url)
            continue;
        const std::string host = iconHost(url);
        if (host.empty() || !hosts.count(host))
            continue;
        const int width = sqlite3_column_int(stmt.get(), 1);
        const void* data = sqlite3_column_blob(stmt.get(), 2);
        const int size = sqlite3_column_bytes(stmt.get(), 2);
        if (!data || size <= 0 || static_cast<size_t>(size) > kMaxFaviconBytes)
            continue;
        auto kept = found.find(host);
        if (kept != found.end() && !betterWidth(width, kept->second.width))
            continue;
        FaviconImage image{std::string(static_cast<const char*>(data), static_cast<size_t>(size)),
                           width};
        if (kept == found.end())
            found.emplace(host, std::move(image));
        else
            kept->second = std::move(image);
    }
    return rc == SQLITE_DONE;
}
