#pragma once

#include "bookmarks/BookmarkReader.h"

#include <string>
#include <vector>

// A browser profile.
struct BrowserProfile {
    std::string browser;      // "Firefox", "Chromium", "Google Chrome", "Brave", ...
    std::string profile;      // the profile's name as the browser shows it
    std::string folder;       // the profile's folder
    std::string bookmarkPath; // its places.sqlite or Bookmarks file (it may be missing)
    BookmarkFormat format = BookmarkFormat::Unknown;
};

enum class ProfilesWanted {
    WithBookmarks, // those whose bookmark file exists (the import)
    All,           // every profile folder there is (the page's icons)
};

// The profiles of the browsers installed for the user whose home folder is
// given, wherever each browser keeps them:
// - Firefox, release and ESR, from profiles.ini in ~/.mozilla/firefox,
//   ~/.config/mozilla/firefox, the Snap's and the Flatpak's;
// - Chromium, Google Chrome, Brave, Vivaldi, Microsoft Edge (native, Snap,
//   Flatpak) and Opera, from their `Local State` profile list (or, without
//   one, the Default and "Profile N" folders).
// Each is named as the browser names it ("Firefox", "Brave" with the
// profile's own name); the same browser and profile name found in a second
// place has the place added ("Firefox (Snap)"). A profile reached through
// two places (a link) is listed once.
std::vector<BrowserProfile>
findBrowserProfiles(const std::string& home, ProfilesWanted wanted = ProfilesWanted::WithBookmarks);
