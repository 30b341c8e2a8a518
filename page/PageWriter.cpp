#include "page/PageWriter.h"

#include "model/LFDoc.h"
#include "model/PathPart.h"

#include <cctype>
#include <cstdio>
#include <cstring>
#include <functional>

namespace {

constexpr int kPageWidth = 800;

// Collects the page and hands it to a callback in large pieces. Text goes
// through as a text-mode stream would: every LF becomes CR LF and a value
// ends at its first NUL byte.
class CPageOut {
public:
    template <typename F> explicit CPageOut(F&& flush) : m_flush(std::forward<F>(flush)) {
        m_buf.reserve(kChunk + 4096);
    }

    // Template text: already uses CR LF where the page has line ends.
    CPageOut& Raw(std::string_view s) {
        m_buf.append(s);
        return *this;
    }
    // A field value.
    CPageOut& Text(const std::string& value) {
        const char* p = value.data();
        const char* end = p + value.size();
        const char* run = p;
        for (; p != end; ++p) {
            if (*p == '\n') {
                m_buf.append(run, static_cast<size_t>(p - run));
                m_buf.append("\r\n", 2);
                run = p + 1;
            } else if (*p == '\0') {
                break;
            }
        }
        m_buf.append(run, static_cast<size_t>(p - run));
        return *this;
    }
    CPageOut& Number(int n) {
        char tmp[16];
        int len = std::snprintf(tmp, sizeof tmp, "%d", n);
        m_buf.append(tmp, static_cast<size_t>(len));
        return *this;
    }
    bool Maybe() {
        if (m_buf.size() < kChunk)
            return m_ok;
        return Flush();
    }
    bool Flush() {
        if (m_ok && !m_buf.empty())
            m_ok = m_flush(m_buf);
        m_buf.clear();
        return m_ok;
    }

private:
    static constexpr size_t kChunk = 60 * 1024;
    std::function<bool(const std::string&)> m_flush;
    std::string m_buf;
    bool m_ok = true;
};

bool HasUrlScheme(std::string_view s) {
    // letters, then letters, digits, '+', '-' or '.'; at least two before ':'
    size_t i = 0;
    if (s.empty() || !std::isalpha(static_cast<unsigned char>(s[0])))
        return false;
    while (i < s.size() && (std::isalnum(static_cast<unsigned char>(s[i])) || s[i] == '+' ||
                            s[i] == '-' || s[i] == '.'))
        ++i;
    return i >= 2 && i < s.size() && s[i] == ':';
}

bool RenderTo(const CLFDoc& doc, CPageOut& out) {
    const StyleTags title = GetStyleTags(doc.m_nTitleStyle);
    out.Raw("<html>\r\n\r\n<head><title>")
        .Text(doc.m_strTitle.empty() ? std::string("Start Page") : doc.m_strTitle)
        .Raw("</title></head>\r\n\r\n<body bgcolor=")
        .Raw(FormatHtmlColor(doc.m_clrBackground))
        .Raw(" link=")
        .Raw(FormatHtmlColor(doc.m_clrLink))
        .Raw(" vlink=")
        .Raw(FormatHtmlColor(doc.m_clrVisitedLink))
        .Raw(">\r\n<basefont size=4>\r\n\r\n\r\n");
    if (!doc.m_strTopImage.empty())
        out.Raw("<img align=left src=\"").Text(PathToUrl(doc.m_strTopImage)).Raw("\"><br>\r\n");
    out.Raw("\r\n\r\n<font face=\"")
        .Text(doc.m_strTitleFace)
        .Raw("\" color=")
        .Raw(FormatHtmlColor(doc.m_clrTitle))
        .Raw(" size=7>\r\n");
    if (*title.open)
        out.Raw(title.open).Raw("\r\n");
    out.Raw("<center>")
        .Text(doc.m_strTitle)
        .Raw("<br><font size=6>")
        .Text(doc.m_strSubtitle)
        .Raw("<br clear=left></font></center>\r\n");
    if (*title.close)
        out.Raw(title.close).Raw("\r\n");
    out.Raw("</font>\r\n\r\n");

    const int columns = EffectiveColumns(doc.m_nColumns);
    const int cellWidth = kPageWidth / columns;
    std::string cellStart = "<td width=" + std::to_string(cellWidth) + " align=left>\r\n";
    for (const CUrlGroup& g : doc.m_groups) {
        if (g.m_links.empty())
            continue;
        const StyleTags tags = GetStyleTags(g.m_nStyle);
        COLORREF header = g.m_clrText;
        if (header == doc.m_clrBackground)
            header = doc.m_clrBackground == 0 ? 0x00FFFFFF : 0;
        out.Raw(doc.m_bBorders ? "<table border>\r\n\r\n" : "<table >\r\n\r\n")
            .Raw("<tr><th rowspan=1 colspan=")
            .Number(columns)
            .Raw(">\r\n")
            .Raw(tags.open)
            .Raw("<font face=\"")
            .Text(g.m_strFace)
            .Raw("\" color=")
            .Raw(FormatHtmlColor(header))
            .Raw(" size=4>")
            .Text(g.m_strTitle)
            .Raw(tags.close)
            .Raw("</font>\r\n</th></tr>\r\n\r\n");
        std::string bullet;
        if (!g.m_strBullet.empty())
            bullet = PathToUrl(g.m_strBullet);
        size_t k = 0;
        bool finished = false;
        while (!finished) {
            out.Raw("<tr>\r\n");
            for (int c = 0; c < columns; ++c, ++k) {
                out.Raw(cellStart);
                if (k < g.m_links.size()) {
                    const CLinkEntry& link = g.m_links[k];
                    if (!g.m_strBullet.empty())
                        out.Raw("<img align=left src=\"")
                            .Text(bullet)
                            .Raw("\" height=16 width=16>\r\n");
                    out.Raw("<a href=\"")
                        .Text(link.m_strUrl)
                        .Raw("\">  ")
                        .Text(link.m_strDescription)
                        .Raw(" </a>\r\n");
                } else {
                    finished = true;
                }
                out.Raw("</td>\r\n\r\n");
            }
            out.Raw("</tr>\r\n");
            if (!out.Maybe())
                return false;
        }
        out.Raw("</table><br><br>\r\n");
    }
    out.Raw("</body>\r\n</html>\r\n");
    return out.Flush();
}

} // namespace

std::string FormatHtmlColor(COLORREF c) {
    char tmp[16];
    std::snprintf(tmp, sizeof tmp, "\"#%02X%02X%02X\"", c & 0xFF, (c >> 8) & 0xFF,
                  (c >> 16) & 0xFF);
    return tmp;
}

StyleTags GetStyleTags(std::int32_t style) {
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

std::string PathToUrl(std::string_view path) {
    if (HasUrlScheme(path))
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

int EffectiveColumns(std::int32_t columns) {
    if (columns < 1)
        return 1;
    if (columns > kPageWidth)
        return kPageWidth;
    return columns;
}

std::string RenderPage(const CLFDoc& doc) {
    std::string page;
    CPageOut out([&](const std::string& chunk) {
        page += chunk;
        return true;
    });
    RenderTo(doc, out);
    return page;
}

bool WriteStartPage(const CLFDoc& doc, const std::string& path, CFileOps& ops) {
    CSafeFileWriter file(ops);
    if (!file.Open(path))
        return false;
    CPageOut out([&](const std::string& chunk) { return file.Write(chunk.data(), chunk.size()); });
    if (!RenderTo(doc, out))
        return false;
    return file.Commit();
}

bool CLFDoc::WritePage(const std::string& path) const { return WriteStartPage(*this, path); }
