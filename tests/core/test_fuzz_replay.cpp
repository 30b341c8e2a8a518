// Replays the fuzzer's seed corpus and every saved crash input as an
// ordinary test, so that they stay fixed in every build.
#include "TestUtil.h"

#include "fuzz/FuzzClipboard.h"
#include "fuzz/FuzzExtension.h"
#include "fuzz/FuzzLinkData.h"
#include "fuzz/FuzzProject.h"
#include "fuzz/FuzzSettings.h"

#include <initializer_list>

namespace {

using FuzzOne = void (*)(const std::uint8_t*, size_t);

// Runs each file of the test data's folders (those that exist) through one
// fuzz target's check; at least one file must be there.
void replay(std::initializer_list<const char*> folders, FuzzOne fuzzOne) {
    size_t files = 0;
    for (const char* sub : folders) {
        const std::filesystem::path dir = std::filesystem::path(LINKFOLD_TEST_DATA) / sub;
        if (!std::filesystem::exists(dir))
            continue;
        for (const auto& entry : std::filesystem::directory_iterator(dir)) {
            const std::string bytes = readFileBytes(entry.path().string());
            SCOPED_TRACE(entry.path().string());
            fuzzOne(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size());
            ++files;
        }
    }
    EXPECT_GT(files, 0u);
}

} // namespace

TEST(FuzzReplay, CorpusAndCrashInputs) {
    replay({"corpus", "crashes"}, fuzzOneProject);
}

TEST(FuzzReplay, SettingsCorpus) {
    replay({"settings-corpus"}, fuzzOneSettingsText);
}

TEST(FuzzReplay, LinkDataCorpus) {
    replay({"linkdata-corpus"}, fuzzOneLinkData);
}

TEST(FuzzReplay, ClipboardCorpus) {
    replay({"clipboard-corpus"}, fuzzOneClipboardText);
}

TEST(FuzzReplay, ExtensionBlockCorpus) {
    replay({"extension-corpus"}, fuzzOneExtensionBlock);
}
