// Replays the fuzzer's seed corpus and every saved crash input as an
// ordinary test, so that they stay fixed in every build.
#include "TestUtil.h"

#include "fuzz/FuzzClipboard.h"
#include "fuzz/FuzzExtension.h"
#include "fuzz/FuzzLinkData.h"
#include "fuzz/FuzzProject.h"
#include "fuzz/FuzzSettings.h"

TEST(FuzzReplay, CorpusAndCrashInputs) {
    size_t files = 0;
    for (const char* sub : {"corpus", "crashes"}) {
        std::filesystem::path dir = std::filesystem::path(LINKFOLD_TEST_DATA) / sub;
        if (!std::filesystem::exists(dir))
            continue;
        for (const auto& entry : std::filesystem::directory_iterator(dir)) {
            const std::string bytes = readFileBytes(entry.path().string());
            SCOPED_TRACE(entry.path().string());
            fuzzOneProject(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size());
            ++files;
        }
    }
    EXPECT_GT(files, 0u);
}

TEST(FuzzReplay, SettingsCorpus) {
    size_t files = 0;
    const auto dir = std::filesystem::path(LINKFOLD_TEST_DATA) / "settings-corpus";
    for (const auto& entry : std::filesystem::directory_iterator(dir)) {
        const std::string bytes = readFileBytes(entry.path().string());
        SCOPED_TRACE(entry.path().string());
        fuzzOneSettingsText(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size());
        ++files;
    }
    EXPECT_GT(files, 0u);
}

TEST(FuzzReplay, LinkDataCorpus) {
    size_t files = 0;
    const auto dir = std::filesystem::path(LINKFOLD_TEST_DATA) / "linkdata-corpus";
    for (const auto& entry : std::filesystem::directory_iterator(dir)) {
        const std::string bytes = readFileBytes(entry.path().string());
        SCOPED_TRACE(entry.path().string());
        fuzzOneLinkData(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size());
        ++files;
    }
    EXPECT_GT(files, 0u);
}

TEST(FuzzReplay, ClipboardCorpus) {
    size_t files = 0;
    const auto dir = std::filesystem::path(LINKFOLD_TEST_DATA) / "clipboard-corpus";
    for (const auto& entry : std::filesystem::directory_iterator(dir)) {
        const std::string bytes = readFileBytes(entry.path().string());
        SCOPED_TRACE(entry.path().string());
        fuzzOneClipboardText(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size());
        ++files;
    }
    EXPECT_GT(files, 0u);
}

TEST(FuzzReplay, ExtensionBlockCorpus) {
    size_t files = 0;
    const auto dir = std::filesystem::path(LINKFOLD_TEST_DATA) / "extension-corpus";
    for (const auto& entry : std::filesystem::directory_iterator(dir)) {
        const std::string bytes = readFileBytes(entry.path().string());
        SCOPED_TRACE(entry.path().string());
        fuzzOneExtensionBlock(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size());
        ++files;
    }
    EXPECT_GT(files, 0u);
}
