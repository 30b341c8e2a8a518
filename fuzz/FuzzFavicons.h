#pragma once

#include "bookmarks/FaviconStore.h"
#include "core/ModernPage.h"
#include "pageicons/BrowserIcons.h"

#include <QByteArray>
#include <QImage>

#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <string>
#include <string_view>
#include <unistd.h>

// The hosts a fuzzed store is asked for; the seed stores hold icons for them.
inline const std::set<std::string>& fuzzFaviconHosts() {
    static const std::set<std::string> hosts{"a.example", "b.example", "example.org"};
    return hosts;
}

// An icon as the page embeds it, or nothing: a PNG data: URI within its
// bound, at most the page's icon size.
inline void checkIconUri(const std::string& uri) {
    if (uri.empty())
        return;
    const std::string prefix = "data:image/png;base64,";
    if (uri.rfind(prefix, 0) != 0 || uri.size() > kMaxIconUriBytes)
        std::abort();
    const QImage image = QImage::fromData(
        QByteArray::fromBase64(QByteArray::fromStdString(uri.substr(prefix.size()))), "PNG");
    if (image.isNull() || image.width() > 32 || image.height() > 32)
        std::abort();
}

// The first byte chooses: a Firefox favicons.sqlite, a Chromium Favicons
// database (each read as the page's icons are, every picture found decoded
// within one page's budget) or a picture alone.
inline void fuzzOneFaviconInput(const std::uint8_t* data, size_t size) {
    if (size == 0)
        return;
    const std::string bytes(reinterpret_cast<const char*>(data) + 1, size - 1);
    IconBudget budget;
    const int mode = data[0] % 3;
    if (mode == 2) {
        checkIconUri(iconDataUri(bytes, budget));
        return;
    }
    // One file for every input, gone when the fuzzer ends.
    static const struct StoreFile {
        std::string path;
        StoreFile() {
            char name[] = "/tmp/linkfold-fuzz-icons-XXXXXX.sqlite";
            const int fd = ::mkstemps(name, 7);
            if (fd < 0)
                std::abort();
            ::close(fd);
            path = name;
        }
        ~StoreFile() { ::unlink(path.c_str()); }
        StoreFile(const StoreFile&) = delete;
        StoreFile& operator=(const StoreFile&) = delete;
    } file;
    {
        std::ofstream out(file.path, std::ios::binary | std::ios::trunc);
        out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    }
    FaviconsByHost found;
    readFaviconStore(
        {mode == 0 ? FaviconStoreKind::Firefox : FaviconStoreKind::Chromium, file.path},
        fuzzFaviconHosts(), found);
    for (const auto& [host, image] : found) {
        if (!fuzzFaviconHosts().count(host) || image.bytes.size() > kMaxFaviconBytes)
            std::abort();
        checkIconUri(iconDataUri(image.bytes, budget));
    }
}
