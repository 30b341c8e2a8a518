#include "pageicons/BrowserIcons.h"

#include "bookmarks/FaviconStore.h"
#include "core/Project.h"

#include <QBuffer>
#include <QByteArray>
#include <QImage>
#include <QImageReader>
#include <QXmlStreamReader>

#include <algorithm>
#include <cstdlib>
#include <iterator>
#include <set>

namespace {

// The SVG elements of plain shapes: what an icon drawn of paths needs, and
// nothing that reads a font, a file or another document, or that repeats
// other elements (use, pattern, marker).
bool allowedSvgElement(QStringView name) {
    static const char* const kAllowed[] = {
        "svg",      "g",     "defs",           "path",           "rect",  "circle",
        "ellipse",  "line",  "polyline",       "polygon",        "title", "desc",
        "metadata", "style", "linearGradient", "radialGradient", "stop",  "clipPath"};
    return std::any_of(std::begin(kAllowed), std::end(kAllowed),
                       [name](const char* allowed) { return name == QLatin1String(allowed); });
}

// Whether every url( in text points into the document ("#id") and no
// style sheet is imported.
bool onlyLocalUrls(QStringView text) {
    if (text.contains(QLatin1String("@import"), Qt::CaseInsensitive))
        return false;
    for (qsizetype at = text.indexOf(QLatin1String("url("), 0, Qt::CaseInsensitive); at >= 0;
         at = text.indexOf(QLatin1String("url("), at + 4, Qt::CaseInsensitive)) {
        qsizetype i = at + 4;
        while (i < text.size() && (text[i].isSpace() || text[i] == u'"' || text[i] == u'\''))
            ++i;
        if (i >= text.size() || text[i] != u'#')
            return false;
    }
    return true;
}

constexpr int kMaxSvgElements = 4096;
constexpr int kMaxSvgDepth = 64;
constexpr int kPageIconSide = 32;

// Icon formats the page takes, as QImageReader names them.
bool rasterFormat(const QByteArray& format) {
    static const char* const kFormats[] = {"png", "ico", "jpeg", "jpg", "gif", "bmp", "webp"};
    return std::any_of(std::begin(kFormats), std::end(kFormats),
                       [&format](const char* f) { return format == f; });
}

// Qt's bound on the memory of one decoded picture, lowered while icons are
// decoded: a picture inside another (an ICO entry) can say less in its
// header than it holds, and Qt then refuses it before decoding. The bound
// is process-wide; icons are decoded on the one thread that writes the page.
class AllocationLimit {
public:
    AllocationLimit() : m_old(QImageReader::allocationLimit()) {
        // In MiB: the largest icon in any of Qt's formats, 16 bits a channel.
        QImageReader::setAllocationLimit(
            std::max(1, kMaxIconSide * kMaxIconSide * 8 / (1024 * 1024)));
    }
    ~AllocationLimit() { QImageReader::setAllocationLimit(m_old); }
    AllocationLimit(const AllocationLimit&) = delete;
    AllocationLimit& operator=(const AllocationLimit&) = delete;

private:
    int m_old;
};

} // namespace

bool svgIsSelfContained(std::string_view bytes) {
    QXmlStreamReader xml(
        QByteArray::fromRawData(bytes.data(), static_cast<qsizetype>(bytes.size())));
    int elements = 0;
    int depth = 0;
    bool inStyle = false;
    bool sawRoot = false;
    while (!xml.atEnd()) {
        switch (xml.readNext()) {
        case QXmlStreamReader::StartDocument:
        case QXmlStreamReader::Comment:
            break;
        case QXmlStreamReader::StartElement: {
            const QStringView name = xml.name();
            if (++elements > kMaxSvgElements || ++depth > kMaxSvgDepth || !allowedSvgElement(name))
                return false;
            if (!sawRoot && name != QLatin1String("svg"))
                return false;
            sawRoot = true;
            inStyle = name == QLatin1String("style");
            for (const QXmlStreamAttribute& attribute : xml.attributes()) {
                const QStringView attr = attribute.name();
                if (attr.startsWith(QLatin1String("on"), Qt::CaseInsensitive))
                    return false;
                if (attr == QLatin1String("href") && !attribute.value().startsWith(u'#'))
                    return false;
                if (!onlyLocalUrls(attribute.value()))
                    return false;
            }
            break;
        }
        case QXmlStreamReader::EndElement:
            --depth;
            inStyle = false;
            break;
        case QXmlStreamReader::Characters:
            if (inStyle && !onlyLocalUrls(xml.text()))
                return false;
            break;
        case QXmlStreamReader::EndDocument:
            return sawRoot && !xml.hasError();
        default: // a DTD, an entity reference, a processing instruction
            return false;
        }
    }
    return sawRoot && !xml.hasError();
}

std::string iconDataUri(const std::string& bytes, IconBudget& budget) {
    const QByteArray data =
        QByteArray::fromRawData(bytes.data(), static_cast<qsizetype>(bytes.size()));
    QBuffer buffer;
    buffer.setData(data);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer);
    const QByteArray format = reader.format();
    // Checked before Qt's SVG code parses it, even for its size.
    if (format == "svg" && !svgIsSelfContained(bytes))
        return {};
    const QSize declared = reader.size();
    size_t cost = 0;
    if (format == "svg") {
        // Rendered straight at the page's size; parsing counts by its bytes.
        QSize target(kPageIconSide, kPageIconSide);
        if (declared.isValid() && !declared.isEmpty())
            target = declared.scaled(target, Qt::KeepAspectRatio).expandedTo(QSize(1, 1));
        reader.setScaledSize(target);
        cost = size_t(kPageIconSide) * kPageIconSide + bytes.size();
    } else {
        if (!rasterFormat(format) || !declared.isValid() || declared.isEmpty() ||
            declared.width() > kMaxIconSide || declared.height() > kMaxIconSide)
            return {};
        cost = size_t(declared.width()) * size_t(declared.height());
    }
    if (cost > budget.pixels)
        return {};
    QImage image;
    const AllocationLimit limit;
    const bool read = reader.read(&image);
    // A picture inside another (an ICO entry) may be larger than its
    // header said: what was decoded is what counts.
    if (!image.isNull())
        cost = std::max(cost, size_t(image.width()) * size_t(image.height()));
    budget.pixels -= std::min(cost, budget.pixels);
    if (!read || image.isNull() || image.width() > kMaxIconSide || image.height() > kMaxIconSide)
        return {};
    const int side = std::max(image.width(), image.height()) >= kPageIconSide ? kPageIconSide : 16;
    if (image.width() != side || image.height() != side)
        image = image.scaled(side, side, Qt::KeepAspectRatio, Qt::SmoothTransformation);
    QByteArray png;
    QBuffer out(&png);
    out.open(QIODevice::WriteOnly);
    if (!image.save(&out, "PNG"))
        return {};
    std::string uri = "data:image/png;base64," + png.toBase64().toStdString();
    if (uri.size() > kMaxIconUriBytes)
        return {};
    return uri;
}

std::string iconDataUri(const std::string& bytes) {
    IconBudget budget;
    return iconDataUri(bytes, budget);
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
    // In the hosts' order, so that a spent budget always leaves out the same.
    IconBudget budget;
    for (const std::string& host : hosts) {
        const auto image = found.find(host);
        if (image == found.end())
            continue;
        std::string uri = iconDataUri(image->second.bytes, budget);
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
