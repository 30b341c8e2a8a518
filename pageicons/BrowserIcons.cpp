#include "pageicons/BrowserIcons.h"

#include "bookmarks/FaviconStore.h"
#include "core/Project.h"

#include <QBuffer>
#include <QByteArray>
#include <QImage>

#include <cstdlib>
#include <iterator>
#include <set>

std::string iconDataUri(const std::string& bytes) {
    QImage image;
    if (!image.loadFromData(reinterpret_cast<const uchar*>(bytes.data()),
                            static_cast<int>(bytes.size())) ||
        image.isNull())
        return {};
    const int side = std::max(image.width(), image.height()) >= 32 ? 32 : 16;
    if (image.width() != side || image.height() != side)
        image = image.scaled(side, side, Qt::KeepAspectRatio, Qt::SmoothTransformation);
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    if (!image.save(&buffer, "PNG"))
        return {};
    std::string uri = "data:image/png;base64," + png.toBase64().toStdString();
    if (uri.size() > kMaxIconUriBytes)
        return {};
    return uri;
}

PageIcons browserPageIcons(const Project& doc, const std::string& home) {
    PageIcons icons;
    // Each distinct authority of the links is read once.
    std::vector<std::string> linked = linkHosts(doc);
    const std::set<std::string> hosts(std::make_move_iterator(linked.begin()),
                                      std::make_move_iterator(linked.end()));
    if (hosts.empty())
        return icons;
    FaviconsByHost found;
    for (const FaviconStore& store : findFaviconStores(home))
        readFaviconStore(store, hosts, found);
    for (const auto& [host, image] : found) {
        std::string uri = iconDataUri(image.bytes);
        if (!uri.empty())
            icons.byHost.emplace(host, std::move(uri));
    }
    return icons;
}

PageIcons browserPageIcons(const Project& doc) {
    const char* home = std::getenv("HOME");
    if (!home || !*home)
        return {};
    return browserPageIcons(doc, home);
}
