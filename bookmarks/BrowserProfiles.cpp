#include "bookmarks/BrowserProfiles.h"

#include "bookmarks/SourceFile.h"
#include "model/IniFile.h"

#include <nlohmann/json.hpp>

#include <algorithm>
#include <cstdlib>
#include <filesystem>

namespace fs = std::filesystem;

namespace {

constexpr size_t kMaxSettingsBytes = size_t{16} << 20;
constexpr int kMaxFirefoxProfiles = 1000;

bool isFile(const fs::path& path) {
    std::error_code ec;
    return fs::is_regular_file(path, ec);
}

void addFirefox(const fs::path& base, const std::string& browser,
                std::vector<BrowserProfile>& out) {
    const fs::path iniPath = base / "profiles.ini";
    if (!isFile(iniPath))
        return;
    const SourceFile file = readSourceFile(iniPath.string(), kMaxSettingsBytes);
    if (!file.ok())
        return;
    CIniFile ini;
    ini.FromText(file.bytes);
    for (int i = 0; i < kMaxFirefoxProfiles; ++i) {
        const std::string section = "Profile" + std::to_string(i);
        if (!ini.HasSection(section))
            continue;
        const std::string path = ini.GetString(section, "Path");
        if (path.empty())
            continue;
        const fs::path dir =
            ini.GetInt(section, "IsRelative", 1) != 0 ? base / path : fs::path(path);
        const fs::path places = dir / "places.sqlite";
        if (!isFile(places))
            continue;
        std::string name = ini.GetString(section, "Name");
        out.push_back(
            {browser, name.empty() ? path : name, places.string(), BookmarkFormat::FirefoxPlaces});
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

void addChromium(const fs::path& base, const std::string& browser,
                 std::vector<BrowserProfile>& out) {
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
    for (const auto& [dir, name] : profiles) {
        const fs::path bookmarks = base / dir / "Bookmarks";
        if (isFile(bookmarks))
            out.push_back({browser, name, bookmarks.string(), BookmarkFormat::ChromiumJson});
    }
    // Opera keeps its one profile in the base folder itself.
    if (isFile(base / "Bookmarks"))
        out.push_back(
            {browser, "Default", (base / "Bookmarks").string(), BookmarkFormat::ChromiumJson});
}

} // namespace

std::vector<BrowserProfile> findBrowserProfiles(const std::string& home) {
    const fs::path h(home);
    std::vector<BrowserProfile> out;
    addFirefox(h / ".mozilla/firefox", "Firefox", out);
    addFirefox(h / "snap/firefox/common/.mozilla/firefox", "Firefox (Snap)", out);
    addFirefox(h / ".var/app/org.mozilla.firefox/.mozilla/firefox", "Firefox (Flatpak)", out);
    const std::pair<const char*, const char*> chromium[] = {
        {".config/chromium", "Chromium"},
        {".config/google-chrome", "Google Chrome"},
        {".config/BraveSoftware/Brave-Browser", "Brave"},
        {".config/vivaldi", "Vivaldi"},
        {".config/microsoft-edge", "Microsoft Edge"},
        {".config/opera", "Opera"},
    };
    for (const auto& [dir, browser] : chromium)
        addChromium(h / dir, browser, out);
    return out;
}
