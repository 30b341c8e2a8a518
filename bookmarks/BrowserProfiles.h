#pragma once

#include "bookmarks/BookmarkReader.h"

#include <string>
#include <vector>

// A browser profile that has bookmarks to import.
struct BrowserProfile {
    std::string browser;      // "Firefox", "Firefox (Snap)", "Chromium", "Google Chrome", ...
    std::string profile;      // the profile's name as the browser shows it
    std::string bookmarkPath; // its places.sqlite or Bookmarks file
    BookmarkFormat format = BookmarkFormat::Unknown;
};

// The profiles of the browsers installed for the user whose home folder is
// given, those whose bookmark file exists: Firefox (also as Snap and
// Flatpak) from profiles.ini, and Chromium, Google Chrome, Brave, Vivaldi,
// Edge and Opera from their `Local State` profile list (or, without one,
// the Default and "Profile N" folders).
std::vector<BrowserProfile> findBrowserProfiles(const std::string& home);
