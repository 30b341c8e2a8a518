#pragma once

#include <cstddef>
#include <set>
#include <string>
#include <unordered_map>
#include <vector>

// The icons browsers keep for the pages they have shown: Firefox's
// favicons.sqlite and the Favicons database of the Chromium family, read
// from private copies (see PrivateDatabaseCopy). Nothing is fetched.

enum class FaviconStoreKind { Firefox, Chromium };

struct FaviconStore {
    FaviconStoreKind kind = FaviconStoreKind::Firefox;
    std::string path;
};

// The stores in the folders of the browser profiles found in home (see
// findBrowserProfiles; a profile without bookmarks too), those that exist.
std::vector<FaviconStore> findFaviconStores(const std::string& home);

// One stored picture: its encoded bytes (PNG, ICO, ...) and the width the
// browser recorded (0 when unknown).
struct FaviconImage {
    std::string bytes;
    int width = 0;
};

// Icons by host (as iconHost names it), the best for a page icon of
// kFaviconTargetWidth pixels.
using FaviconsByHost = std::unordered_map<std::string, FaviconImage>;

inline constexpr int kFaviconTargetWidth = 32;
// Pictures larger than this are passed over.
inline constexpr size_t kMaxFaviconBytes = size_t{256} * 1024;

// Adds to found the icons store holds for the given hosts, keeping for each
// host the picture nearest to kFaviconTargetWidth (a larger one before a
// smaller). A store that is missing, locked or not what it should be adds
// nothing; returns false then.
bool readFaviconStore(const FaviconStore& store, const std::set<std::string>& hosts,
                      FaviconsByHost& found);
