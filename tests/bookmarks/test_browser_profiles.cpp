#include "BookmarkTestUtil.h"
#include "bookmarks/BrowserProfiles.h"

#include <gtest/gtest.h>

namespace {

namespace fs = std::filesystem;

void Touch(const fs::path& path, const std::string& bytes = "{}") {
    fs::create_directories(path.parent_path());
    WriteFileBytes(path.string(), bytes);
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
    const fs::path h = home.Path();
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
                  "Firefox (Snap) | snappy | "
                  "snap/firefox/common/.mozilla/firefox/s.default/places.sqlite",
                  "Firefox (Flatpak) | flat | "
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

TEST(BrowserProfiles, NothingInstalledGivesNothing) {
    TempDir home;
    EXPECT_TRUE(findBrowserProfiles(home.Path().string()).empty());
    EXPECT_TRUE(findBrowserProfiles(home.File("missing")).empty());
}

} // namespace
