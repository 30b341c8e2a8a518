#include "BookmarkTestUtil.h"
#include "bookmarks/BrowserProfiles.h"

#include <gtest/gtest.h>

namespace {

namespace fs = std::filesystem;

void Touch(const fs::path& path, const std::string& bytes = "{}") {
    fs::create_directories(path.parent_path());
    writeFileBytes(path.string(), bytes);
}

std::vector<std::string> Describe(const std::vector<BrowserProfile>& profiles,
                                  const fs::path& home) {
    std::vector<std::string> lines;
    for (const BrowserProfile& p : profiles)
        lines.push_back(p.browser + " | " + p.profile + " | " +
                        fs::relative(p.bookmarkPath, home).string());
    return lines;
}

TEST(BrowserProfiles, ListsEveryProfileWithBookmarksUnderItsOwnName) {
    TempDir home;
    const fs::path h = home.path();
    // Firefox: relative and absolute paths, a profile without places.sqlite,
    // sections the reader must pass over.
    Touch(h / ".mozilla/firefox/profiles.ini",
          "[Install4F96D1932A9F858E]\nDefault=abcd.default-release\n\n"
          "[Profile1]\nName=Work\nIsRelative=0\nPath=" +
              (h / "elsewhere/work").string() +
              "\n\n[Profile0]\nName=default-release\nIsRelative=1\nPath=abcd.default-release\n"
              "Default=1\n\n[Profile2]\nName=No bookmarks\nIsRelative=1\nPath=empty\n\n"
              "[General]\nStartWithLastProfile=1\nVersion=2\n");
    Touch(h / ".mozilla/firefox/abcd.default-release/places.sqlite", "");
    Touch(h / "elsewhere/work/places.sqlite", "");
    fs::create_directories(h / ".mozilla/firefox/empty");
    Touch(h / "snap/firefox/common/.mozilla/firefox/profiles.ini",
          "[Profile0]\nName=snappy\nPath=s.default\n");
    Touch(h / "snap/firefox/common/.mozilla/firefox/s.default/places.sqlite", "");
    Touch(h / ".var/app/org.mozilla.firefox/.mozilla/firefox/profiles.ini",
          "[Profile0]\nName=flat\nIsRelative=1\nPath=f.default\n");
    Touch(h / ".var/app/org.mozilla.firefox/.mozilla/firefox/f.default/places.sqlite", "");
    // Chromium: names from Local State, numeric order.
    Touch(
        h / ".config/chromium/Local State",
        R"({"profile": {"info_cache": {"Profile 10": {"name": "Ten"}, "Profile 2": {"name": "Two"},
              "Default": {"name": "Person 1"}, "Profile 3": {"name": "No file"}}}})");
    Touch(h / ".config/chromium/Default/Bookmarks");
    Touch(h / ".config/chromium/Profile 2/Bookmarks");
    Touch(h / ".config/chromium/Profile 10/Bookmarks");
    // Chrome with a broken Local State: the folders are listed instead.
    Touch(h / ".config/google-chrome/Local State", "{ broken");
    Touch(h / ".config/google-chrome/Default/Bookmarks");
    Touch(h / ".config/BraveSoftware/Brave-Browser/Default/Bookmarks");
    Touch(h / ".config/vivaldi/Local State",
          R"({"profile": {"info_cache": {"Default": {"name": 5}}}})");
    Touch(h / ".config/vivaldi/Default/Bookmarks");
    Touch(h / ".config/microsoft-edge/Local State",
          R"({"profile": {"info_cache": {"Default": {"name": "Profile 1"}}}})");
    Touch(h / ".config/microsoft-edge/Default/Bookmarks");
    Touch(h / ".config/opera/Bookmarks");

    EXPECT_EQ(Describe(findBrowserProfiles(h.string()), h),
              (std::vector<std::string>{
                  "Firefox | default-release | .mozilla/firefox/abcd.default-release/places.sqlite",
                  "Firefox | Work | elsewhere/work/places.sqlite",
                  "Firefox | snappy | "
                  "snap/firefox/common/.mozilla/firefox/s.default/places.sqlite",
                  "Firefox | flat | "
                  ".var/app/org.mozilla.firefox/.mozilla/firefox/f.default/places.sqlite",
                  "Chromium | Person 1 | .config/chromium/Default/Bookmarks",
                  "Chromium | Two | .config/chromium/Profile 2/Bookmarks",
                  "Chromium | Ten | .config/chromium/Profile 10/Bookmarks",
                  "Google Chrome | Default | .config/google-chrome/Default/Bookmarks",
                  "Brave | Default | .config/BraveSoftware/Brave-Browser/Default/Bookmarks",
                  "Vivaldi | Default | .config/vivaldi/Default/Bookmarks",
                  "Microsoft Edge | Profile 1 | .config/microsoft-edge/Default/Bookmarks",
                  "Opera | Default | .config/opera/Bookmarks"}));
    for (const BrowserProfile& p : findBrowserProfiles(h.string()))
        EXPECT_EQ(p.format, p.browser.rfind("Firefox", 0) == 0 ? BookmarkFormat::FirefoxPlaces
                                                               : BookmarkFormat::ChromiumJson);
}

// Every usual place of every browser, one home each: release and ESR,
// native, Snap and Flatpak, each named as the browser names itself.
TEST(BrowserProfiles, FindsEachBrowserInEachOfItsPlaces) {
    const std::string ini = "[Profile0]\nName=default-esr\nIsRelative=1\nPath=x.default-esr\n";
    const struct {
        const char* name;
        std::vector<std::pair<std::string, std::string>> files; // path, bytes
        std::vector<std::string> found;
    } cases[] = {
        {"Firefox ESR with a new home",
         {{".config/mozilla/firefox/profiles.ini", ini},
          {".config/mozilla/firefox/x.default-esr/places.sqlite", ""}},
         {"Firefox | default-esr | .config/mozilla/firefox/x.default-esr/places.sqlite"}},
        {"Firefox ESR in the old place",
         {{".mozilla/firefox/profiles.ini", ini},
          {".mozilla/firefox/x.default-esr/places.sqlite", ""}},
         {"Firefox | default-esr | .mozilla/firefox/x.default-esr/places.sqlite"}},
        {"Firefox's Snap",
         {{"snap/firefox/common/.mozilla/firefox/profiles.ini", ini},
          {"snap/firefox/common/.mozilla/firefox/x.default-esr/places.sqlite", ""}},
         {"Firefox | default-esr | "
          "snap/firefox/common/.mozilla/firefox/x.default-esr/places.sqlite"}},
        {"Firefox's Flatpak with a new home",
         {{".var/app/org.mozilla.firefox/config/mozilla/firefox/profiles.ini", ini},
          {".var/app/org.mozilla.firefox/config/mozilla/firefox/x.default-esr/places.sqlite", ""}},
         {"Firefox | default-esr | "
          ".var/app/org.mozilla.firefox/config/mozilla/firefox/x.default-esr/places.sqlite"}},
        {"one profile name in two places: the second says where it is",
         {{".mozilla/firefox/profiles.ini", ini},
          {".mozilla/firefox/x.default-esr/places.sqlite", ""},
          {".var/app/org.mozilla.firefox/.mozilla/firefox/profiles.ini", ini},
          {".var/app/org.mozilla.firefox/.mozilla/firefox/x.default-esr/places.sqlite", ""}},
         {"Firefox | default-esr | .mozilla/firefox/x.default-esr/places.sqlite",
          "Firefox (Flatpak) | default-esr | "
          ".var/app/org.mozilla.firefox/.mozilla/firefox/x.default-esr/places.sqlite"}},
        {"Chromium's Snap and Flatpak",
         {{"snap/chromium/common/chromium/Default/Bookmarks", "{}"},
          {".var/app/org.chromium.Chromium/config/chromium/Profile 1/Bookmarks", "{}"}},
         {"Chromium | Default | snap/chromium/common/chromium/Default/Bookmarks",
          "Chromium | Profile 1 | "
          ".var/app/org.chromium.Chromium/config/chromium/Profile 1/Bookmarks"}},
        {"Google Chrome's Flatpak",
         {{".var/app/com.google.Chrome/config/google-chrome/Default/Bookmarks", "{}"}},
         {"Google Chrome | Default | "
          ".var/app/com.google.Chrome/config/google-chrome/Default/Bookmarks"}},
        {"Brave native, Snap and Flatpak",
         {{".config/BraveSoftware/Brave-Browser/Profile 1/Bookmarks", "{}"},
          {"snap/brave/current/.config/BraveSoftware/Brave-Browser/Default/Bookmarks", "{}"},
          {".var/app/com.brave.Browser/config/BraveSoftware/Brave-Browser/Profile 1/Bookmarks",
           "{}"}},
         {"Brave | Profile 1 | .config/BraveSoftware/Brave-Browser/Profile 1/Bookmarks",
          "Brave | Default | "
          "snap/brave/current/.config/BraveSoftware/Brave-Browser/Default/Bookmarks",
          "Brave (Flatpak) | Profile 1 | "
          ".var/app/com.brave.Browser/config/BraveSoftware/Brave-Browser/Profile 1/Bookmarks"}},
        {"Vivaldi's Snap and Edge's Flatpak",
         {{"snap/vivaldi/current/.config/vivaldi/Default/Bookmarks", "{}"},
          {".var/app/com.microsoft.Edge/config/microsoft-edge/Default/Bookmarks", "{}"}},
         {"Vivaldi | Default | snap/vivaldi/current/.config/vivaldi/Default/Bookmarks",
          "Microsoft Edge | Default | "
          ".var/app/com.microsoft.Edge/config/microsoft-edge/Default/Bookmarks"}},
    };
    for (const auto& c : cases) {
        TempDir home;
        const fs::path h = home.path();
        for (const auto& [path, bytes] : c.files)
            Touch(h / path, bytes);
        EXPECT_EQ(Describe(findBrowserProfiles(h.string()), h), c.found) << c.name;
    }
}

// A profile folder reached through a link is listed once; the page's icons
// want every profile, also one without bookmarks.
TEST(BrowserProfiles, EachFolderOnceAndEveryFolderForTheIcons) {
    TempDir home;
    const fs::path h = home.path();
    Touch(h / ".config/mozilla/firefox/profiles.ini",
          "[Profile0]\nName=default\nIsRelative=1\nPath=d\n");
    Touch(h / ".config/mozilla/firefox/d/places.sqlite", "");
    fs::create_directories(h / ".mozilla");
    fs::create_directory_symlink(h / ".config/mozilla/firefox", h / ".mozilla/firefox");
    Touch(h / ".config/chromium/Default/Bookmarks");
    Touch(h / ".config/chromium/Profile 1/Favicons", "");
    EXPECT_EQ(
        Describe(findBrowserProfiles(h.string()), h),
        (std::vector<std::string>{"Firefox | default | .config/mozilla/firefox/d/places.sqlite",
                                  "Chromium | Default | .config/chromium/Default/Bookmarks"}));
    std::vector<std::string> folders;
    for (const BrowserProfile& p : findBrowserProfiles(h.string(), ProfilesWanted::All))
        folders.push_back(p.profile + " | " + fs::relative(p.folder, h).string());
    EXPECT_EQ(folders, (std::vector<std::string>{"default | .config/mozilla/firefox/d",
                                                 "Default | .config/chromium/Default",
                                                 "Profile 1 | .config/chromium/Profile 1"}));
}

TEST(BrowserProfiles, NothingInstalledGivesNothing) {
    TempDir home;
    EXPECT_TRUE(findBrowserProfiles(home.path().string()).empty());
    EXPECT_TRUE(findBrowserProfiles(home.file("missing")).empty());
}

} // namespace
