#include "bookmarks/BrowserProfiles.h"

#include "bookmarks/SourceFile.h"
#include "core/SettingsFile.h"

#include <nlohmann/json.hpp>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <map>
#include <set>

namespace fs = std::filesystem;

namespace {

constexpr size_t kMaxSettingsBytes = size_t{16} << 20;
constexpr int kMaxFirefoxProfiles = 1000;

bool isFile(const fs::path& path) {
    std::error_code ec;
    return fs::is_regular_file(path, ec);
}

bool isFolder(const fs::path& path) {
    std::error_code ec;
    return fs::is_directory(path, ec);
}

// Where a browser keeps its profiles, and what the place is called when the
// same browser and profile name turn up in two places.
struct Place {
    fs::path base;
    const char* browser;
    const char* where; // "" for the browser's own place
};

void addProfile(const Place& place, std::string name, const fs::path& folder,
                const fs::path& bookmarks, BookmarkFormat format, ProfilesWanted wanted,
                std::vector<BrowserProfile>& out, std::vector<std::string>& where) {
    if (wanted == ProfilesWanted::WithBookmarks ? !isFile(bookmarks) : !isFolder(folder))
        return;
    out.push_back({place.browser, std::move(name), folder.string(), bookmarks.string(), format});
    where.emplace_back(place.where);
}

void addFirefox(const Place& place, ProfilesWanted wanted, std::vector<BrowserProfile>& out,
                std::vector<std::string>& where) {
    const fs::path iniPath = place.base / "profiles.ini";
    if (!isFile(iniPath))
        return;
    const SourceFile file = readSourceFile(iniPath.string(), kMaxSettingsBytes);
    if (!file.ok())
        return;
    SettingsFile ini;
    ini.fromText(file.bytes);
    for (int i = 0; i < kMaxFirefoxProfiles; ++i) {
        const std::string section = "Profile" + std::to_string(i);
        if (!ini.hasSection(section))
            continue;
        const std::string path = ini.stringValue(section, "Path");
        if (path.empty())
            continue;
        const fs::path dir =
            ini.intValue(section, "IsRelative", 1) != 0 ? place.base / path : fs::path(path);
        std::string name = ini.stringValue(section, "Name");
        addProfile(place, name.empty() ? path : name, dir, dir / "places.sqlite",
                   BookmarkFormat::FirefoxPlaces, wanted, out, where);
    }
}
// "Default" first, then "Profile 1", "Profile 2", ... by number, then the rest.
bool chromiumDirBefore(const std::string& a, const std::string& b) {
    auto rank = [](const std::string& dir) -> std::pair<long, std::string> {
        if (dir == "Default")
            return {-1, {}};
        if (dir.rfind("Profile ", 0) == 0) {
            char* end = nullptr;
            const long n = std::strtol(dir.c_str() + 8, &end, 10);
            if (end && *end == '\0')
                return {n, {}};
        }
        return {1L << 30, dir};
    };
    return rank(a) < rank(b);
}

void addChromium(const Place& place, ProfilesWanted wanted, std::vector<BrowserProfile>& out,
                 std::vector<std::string>& where) {
    const fs::path& base = place.base;
    std::error_code ec;
    if (!fs::is_directory(base, ec))
        return;
    std::vector<std::pair<std::string, std::string>> profiles; // folder, name
    const SourceFile state = readSourceFile((base / "Local State").string(), kMaxSettingsBytes);
    if (state.ok()) {
        const nlohmann::json doc = nlohmann::json::parse(state.bytes, nullptr, false);
        const nlohmann::json* cache = nullptr;
        if (doc.is_object() && doc.contains("profile") && doc["profile"].is_object() &&
            doc["profile"].contains("info_cache") && doc["profile"]["info_cache"].is_object())
            cache = &doc["profile"]["info_cache"];
        if (cache)
            for (auto it = cache->begin(); it != cache->end(); ++it) {
                std::string name = it.key();
                if (it->is_object() && it->contains("name") && (*it)["name"].is_string())
                    name = (*it)["name"].get<std::string>();
                profiles.emplace_back(it.key(), name);
            }
    }
    if (profiles.empty())
        for (const auto& entry : fs::directory_iterator(base, ec)) {
            const std::string dir = entry.path().filename().string();
            if (dir == "Default" || dir.rfind("Profile ", 0) == 0)
                profiles.emplace_back(dir, dir);
        }
    std::sort(profiles.begin(), profiles.end(),
              [](const auto& a, const auto& b) { return chromiumDirBefore(a.first, b.first); });
    for (const auto& [dir, name] : profiles)
        addProfile(place, name, base / dir, base / dir / "Bookmarks", BookmarkFormat::ChromiumJson,
                   wanted, out, where);
    // Opera keeps its one profile in the base folder itself.
    if (isFile(base / "Bookmarks") || isFile(base / "Favicons"))
        addProfile(place, "Default", base, base / "Bookmarks", BookmarkFormat::ChromiumJson, wanted,
                   out, where);
}

} // namespace

std::vector<BrowserProfile> findBrowserProfiles(const std::string& home, ProfilesWanted wanted) {
    const fs::path h(home);
    std::vector<BrowserProfile> out;
    std::vector<std::string> where; // for each profile, its place's name
    const Place firefox[] = {
        {h / ".mozilla/firefox", "Firefox", ""},
        {h / ".config/mozilla/firefox", "Firefox", ""},
        {h / "snap/firefox/common/.mozilla/firefox", "Firefox", "Snap"},
        {h / "snap/firefox/common/.config/mozilla/firefox", "Firefox", "Snap"},
        {h / ".var/app/org.mozilla.firefox/.mozilla/firefox", "Firefox", "Flatpak"},
        {h / ".var/app/org.mozilla.firefox/config/mozilla/firefox", "Firefox", "Flatpak"},
    };
    for (const Place& place : firefox)
        addFirefox(place, wanted, out, where);
    // The Chromium family: the folder under the configuration folder, and
    // the Snap's and the Flatpak's.
    const struct {
        const char* browser;
        const char* config; // under ~/.config
        const char* snap;   // the Snap's name
        const char* flatpak;
    } chromium[] = {
        {"Chromium", "chromium", "chromium", "org.chromium.Chromium"},
        {"Google Chrome", "google-chrome", "google-chrome", "com.google.Chrome"},
        {"Brave", "BraveSoftware/Brave-Browser", "brave", "com.brave.Browser"},
        {"Vivaldi", "vivaldi", "vivaldi", "com.vivaldi.Vivaldi"},
        {"Microsoft Edge", "microsoft-edge", "microsoft-edge", "com.microsoft.Edge"},
        {"Opera", "opera", "opera", "com.opera.Opera"},
    };
    for (const auto& b : chromium) {
        addChromium({h / ".config" / b.config, b.browser, ""}, wanted, out, where);
        // A Snap's home is its own folder; Chromium's Snap keeps its
        // profiles in the folder shared by its revisions.
        if (std::strcmp(b.snap, "chromium") == 0)
            addChromium({h / "snap/chromium/common/chromium", b.browser, "Snap"}, wanted, out,
                        where);
        addChromium({h / "snap" / b.snap / "current/.config" / b.config, b.browser, "Snap"}, wanted,
                    out, where);
        addChromium({h / ".var/app" / b.flatpak / "config" / b.config, b.browser, "Flatpak"},
                    wanted, out, where);
    }

    // One entry for each profile folder, however it was reached.
    std::vector<BrowserProfile> profiles;
    std::vector<std::string> places;
    std::set<std::string> folders;
    for (size_t i = 0; i < out.size(); ++i) {
        std::error_code ec;
        const fs::path real = fs::canonical(out[i].folder, ec);
        if (!folders.insert(ec ? out[i].folder : real.string()).second)
            continue;
        profiles.push_back(std::move(out[i]));
        places.push_back(std::move(where[i]));
    }
    // The place is named only where the browser and profile name would be
    // seen twice.
    std::map<std::pair<std::string, std::string>, int> seen;
    for (const BrowserProfile& p : profiles)
        ++seen[{p.browser, p.profile}];
    for (size_t i = 0; i < profiles.size(); ++i)
        if (!places[i].empty() && seen[{profiles[i].browser, profiles[i].profile}] > 1)
            profiles[i].browser += " (" + places[i] + ")";
    return profiles;
}
