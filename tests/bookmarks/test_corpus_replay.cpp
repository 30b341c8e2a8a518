// Replays the bookmark fuzzers' seed corpora and saved crash inputs as an
// ordinary test, so that they stay fixed in every build.
#include "TestUtil.h"
#include "fuzz/FuzzBookmarks.h"

#include <gtest/gtest.h>

TEST(BookmarkFuzzReplay, CorpusAndCrashInputs) {
    const std::pair<const char*, BookmarkFormat> readers[] = {
        {"netscape", BookmarkFormat::NetscapeHtml},
        {"xbel", BookmarkFormat::Xbel},
        {"chromium", BookmarkFormat::ChromiumJson},
        {"firefox", BookmarkFormat::FirefoxPlaces},
        {"webloc", BookmarkFormat::Webloc}};
    for (const auto& [dirName, format] : readers) {
        size_t files = 0;
        const std::filesystem::path dir = std::filesystem::path(LINKFOLD_BOOKMARK_CORPUS) / dirName;
        for (const auto& entry : std::filesystem::directory_iterator(dir)) {
            const std::string bytes = ReadFileBytes(entry.path().string());
            SCOPED_TRACE(entry.path().string());
            fuzzOneBookmarkSource(format, reinterpret_cast<const std::uint8_t*>(bytes.data()),
                                  bytes.size());
            ++files;
        }
        EXPECT_GT(files, 0u) << dirName;
    }
}
