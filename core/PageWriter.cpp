#include "core/PageWriter.h"

#include "core/ChunkedOutput.h"
#include "core/Codepage.h"
#include "core/PathPart.h"
#include "core/Project.h"
#include "core/ProjectFile.h"

#include <cctype>
#include <cstdint>
#include <cstdio>
#include <cstring>

namespace {

constexpr int kPageWidth = 800;

// Collects the page and hands it to a callback in large pieces. text goes
// through as a text-mode stream would: every LF becomes CR LF and a value
// ends at its first NUL byte. The page is Windows-1252: a character of that
// code page is written as its byte, any other as a numeric character
// reference ("&#x65E5;"), so every browser shows it without a charset.
class PageOut : public ChunkedOutput<PageOut> {
public:
    using ChunkedOutput::ChunkedOutput;

    // raw() takes template text, which already uses CR LF where the page
    // has line ends.

    // A field value.
    PageOut& text(std::string_view value) { return write(value, false); }
    // A field value inside a double-quoted attribute: a '"' in it becomes
    // "&quot;", so no value can end the attribute early.
    PageOut& attribute(std::string_view value) { return write(value, true); }
    PageOut& number(int n) {
        char tmp[16];
        int len = std::snprintf(tmp, sizeof tmp, "%d", n);
        m_buf.append(tmp, static_cast<size_t>(len));
        return *this;
    }

private:
    // Copies the runs that need no change as they stand, found eight bytes
    // at a time, and changes only the bytes between them.
    PageOut& write(std::string_view value, bool inAttribute) {
        const char* p = value.data();
        const char* const end = p + value.size();
        for (;;) {
            const char* stop = nextSpecial(p, end, inAttribute);
            m_buf.append(p, static_cast<size_t>(stop - p));
            if (stop == end || *stop == '\0')
                return *this;
            if (*stop == '\n') {
                m_buf.append("\r\n", 2);
                p = stop + 1;
            } else if (*stop == '"') {
                m_buf.append("&quot;", 6);
                p = stop + 1;
            } else {
                size_t pos = static_cast<size_t>(stop - value.data());
                appendCharacter(nextCodePoint(value, pos));
                p = value.data() + pos;
            }
        }
    }

    // The first byte from p on that write() does not copy as it stands: a
    // byte of a multi-byte character, LF, NUL, and in an attribute '"'.
    static const char* nextSpecial(const char* p, const char* end, bool inAttribute) {
        constexpr std::uint64_t kOnes = 0x0101010101010101;
        constexpr std::uint64_t kHighs = 0x8080808080808080;
        // The high bit of each byte that is zero (and perhaps of bytes after
        // it, which does not matter: only the first is looked for).
        const auto zeroBytes = [](std::uint64_t v) { return (v - kOnes) & ~v & kHighs; };
        const std::uint64_t quotes = inAttribute ? kOnes * '"' : 0;
        while (end - p >= 8) {
            std::uint64_t w;
            std::memcpy(&w, p, sizeof w);
            std::uint64_t hits = (w & kHighs) | zeroBytes(w) | zeroBytes(w ^ (kOnes * '\n'));
            if (inAttribute)
                hits |= zeroBytes(w ^ quotes);
            if (hits != 0)
                break;
            p += 8;
        }
        for (; p != end; ++p) {
            const unsigned char c = static_cast<unsigned char>(*p);
            if (c >= 0x80 || c == '\n' || c == '\0' || (c == '"' && inAttribute))
                break;
        }
        return p;
    }

    void appendCharacter(char32_t cp) {
        const int byte = cp1252ByteOf(cp);
        if (byte >= 0) {
            m_buf.push_back(static_cast<char>(byte));
            return;
        }
        // "&#x65E5;": upper-case hex digits, no leading zeros.
        char tmp[16];
        char* q = tmp + sizeof tmp;
        *--q = ';';
        do {
            *--q = "0123456789ABCDEF"[cp & 0xF];
            cp >>= 4;
        } while (cp != 0);
        *--q = 'x';
        *--q = '#';
        *--q = '&';
        m_buf.append(q, static_cast<size_t>(tmp + sizeof tmp - q));
    }
};

bool hasUrlScheme(std::string_view s) {
    // letters, then letters, digits, '+', '-' or '.'; at least two before ':'
    size_t i = 0;
    if (s.empty() || !std::isalpha(static_cast<unsigned char>(s[0])))
        return false;
    while (i < s.size() && (std::isalnum(static_cast<unsigned char>(s[i])) || s[i] == '+' ||
                            s[i] == '-' || s[i] == '.'))
        ++i;
    return i >= 2 && i < s.size() && s[i] == ':';
}

void renderHead(const Project& doc, PageOut& out) {
    const StyleTags title = styleTags(doc.titleStyle());
    out.raw("<html>\r\n\r\n<head><title>")
        .text(doc.title().empty() ? std::string("Start Page") : doc.title())
        .raw("</title></head>\r\n\r\n<body bgcolor=")
        .raw(formatHtmlColor(doc.backgroundColor()))
        .raw(" link=")
        .raw(formatHtmlColor(doc.linkColor()))
        .raw(" vlink=")
        .raw(formatHtmlColor(doc.visitedLinkColor()))
        .raw(">\r\n<basefont size=4>\r\n\r\n\r\n");
    if (!doc.topImage().empty())
        out.raw("<img align=left src=\"").attribute(pathToUrl(doc.topImage())).raw("\"><br>\r\n");
    out.raw("\r\n\r\n<font face=\"")
        .attribute(doc.titleFace())
        .raw("\" color=")
        .raw(formatHtmlColor(doc.titleColor()))
        .raw(" size=7>\r\n");
    if (*title.open)
        out.raw(title.open).raw("\r\n");
    out.raw("<center>")
        .text(doc.title())
        .raw("<br><font size=6>")
        .text(doc.subtitle())
        .raw("<br clear=left></font></center>\r\n");
    if (*title.close)
        out.raw(title.close).raw("\r\n");
    out.raw("</font>\r\n\r\n");
}

// One group's table; doc gives the page fields. False once the output
// failed.
bool renderGroup(const Project& doc, const LinkGroup& g, PageOut& out) {
    if (g.links.empty())
        return true;
    const int columns = effectiveColumns(doc.columns());
    const int cellWidth = kPageWidth / columns;
    const std::string cellStart = "<td width=" + std::to_string(cellWidth) + " align=left>\r\n";
    const StyleTags tags = styleTags(g.style);
    RgbColor header = g.textColor;
    if (header == doc.backgroundColor())
        header = doc.backgroundColor() == 0 ? 0x00FFFFFF : 0;
    out.raw(doc.borders() ? "<table border>\r\n\r\n" : "<table >\r\n\r\n")
        .raw("<tr><th rowspan=1 colspan=")
        .number(columns)
        .raw(">\r\n")
        .raw(tags.open)
        .raw("<font face=\"")
        .attribute(g.face)
        .raw("\" color=")
        .raw(formatHtmlColor(header))
        .raw(" size=4>")
        .text(g.title)
        .raw(tags.close)
        .raw("</font>\r\n</th></tr>\r\n\r\n");
    std::string bullet;
    if (!g.bullet.empty())
        bullet = pathToUrl(g.bullet);
    auto next = g.links.begin();
    const auto last = g.links.end();
    bool finished = false;
    while (!finished) {
        out.raw("<tr>\r\n");
        for (int c = 0; c < columns; ++c) {
            out.raw(cellStart);
            if (next != last) {
                const LinkView link = *next++;
                if (!g.bullet.empty())
                    out.raw("<img align=left src=\"")
                        .attribute(bullet)
                        .raw("\" height=16 width=16>\r\n");
                out.raw("<a href=\"")
                    .attribute(link.url)
                    .raw("\">  ")
                    .text(link.description)
                    .raw(" </a>\r\n");
            } else {
                finished = true;
            }
            out.raw("</td>\r\n\r\n");
        }
        out.raw("</tr>\r\n");
        if (!out.maybe())
            return false;
    }
    out.raw("</table><br><br>\r\n");
    return true;
}

bool renderTail(PageOut& out) {
    out.raw("</body>\r\n</html>\r\n");
    return out.flush();
}

bool renderTo(const Project& doc, PageOut& out) {
    renderHead(doc, out);
    for (const LinkGroup& g : doc.groups())
        if (!renderGroup(doc, g, out))
            return false;
    return renderTail(out);
}

} // namespace

std::string formatHtmlColor(RgbColor c) {
    char tmp[16];
    std::snprintf(tmp, sizeof tmp, "\"#%02X%02X%02X\"", c & 0xFF, (c >> 8) & 0xFF,
                  (c >> 16) & 0xFF);
    return tmp;
}

StyleTags styleTags(std::int32_t style) {
    switch (style) {
    case kStyleBold:
        return {"<b>", "</b>"};
    case kStyleItalic:
        return {"<i>", "</i>"};
    case kStyleBoldItalic:
        return {"<b><i>", "</b></i>"};
    default:
        return {"", ""};
    }
}

std::string pathToUrl(std::string_view path) {
    if (hasUrlScheme(path))
        return std::string(path);
    std::string url;
    bool rooted = (path.size() >= 2 && path[1] == ':') ||
                  (!path.empty() && (path[0] == '/' || path[0] == '\\'));
    if (rooted)
        url = "file://";
    url.append(path);
    for (char& ch : url)
        if (ch == '\\')
            ch = '/';
    return url;
}

int effectiveColumns(std::int32_t columns) {
    if (columns < 1)
        return 1;
    if (columns > kPageWidth)
        return kPageWidth;
    return columns;
}

std::string renderPage(const Project& doc) {
    return renderToString<PageOut>([&doc](PageOut& out) { return renderTo(doc, out); });
}

FileResult writeStartPage(const Project& doc, const std::string& path, SystemCalls& ops) {
    return writeAtomically<PageOut>(path, ops, [&doc](PageOut& out) { return renderTo(doc, out); });
}

FileResult writeStartPageWhileReading(ProjectFileHandle& project, const std::string& projectPath,
                                      Project& header, const std::string& pagePath,
                                      const std::function<bool(const Project&)>& keep,
                                      SystemCalls& ops, bool* extrasDropped) {
    AtomicFileWriter file(ops);
    if (!file.open(pagePath))
        return file.error();
    PageOut out(
        [&file](const std::string& chunk) { return file.write(chunk.data(), chunk.size()); });
    bool started = false;
    bool written = true;
    const GroupVisitor onGroup = [&](const Project& doc, const LinkGroup& group) {
        if (!started)
            renderHead(doc, out);
        started = true;
        written = renderGroup(doc, group, out);
        return written;
    };
    FileResult read =
        readProjectFileByGroup(project, projectPath, header, &onGroup, ops, extrasDropped);
    if (!written)
        return file.error();
    if (!read.ok())
        return read;
    if (!keep(header))
        return FileResult::success();
    if (!started)
        renderHead(header, out);
    if (!renderTail(out) || !file.commit())
        return file.error();
    return FileResult::success();
}
