#include "core/ModernPage.h"

#include "core/ChunkedOutput.h"
#include "core/Codepage.h"
#include "core/PageColors.h"
#include "core/PageWriter.h"
#include "core/Project.h"

#include <cctype>
#include <cstdio>

namespace {

// Collects the page and hands it on in large pieces, as the classic writer
// does; the modern page is UTF-8 with LF line ends.
class HtmlOut : public ChunkedOutput<HtmlOut> {
public:
    using ChunkedOutput::ChunkedOutput;

    // A field the page shows as HTML, the user's markup kept, as the
    // classic page does: up to its first NUL, as well-formed UTF-8.
    HtmlOut& html(std::string_view value) {
        value = value.substr(0, value.find('\0'));
        if (isAscii(value) || isValidUtf8(value)) {
            m_buf.append(value);
        } else {
            for (size_t pos = 0; pos < value.size();)
                appendUtf8(m_buf, nextCodePoint(value, pos));
        }
        return *this;
    }
    // A field inside a double-quoted attribute that the classic page writes
    // as it is (link targets, picture paths): only a double quote, which
    // would end the attribute, is written as a reference.
    HtmlOut& url(std::string_view value) {
        value = value.substr(0, value.find('\0'));
        for (size_t quote; (quote = value.find('"')) != std::string_view::npos;) {
            html(value.substr(0, quote));
            m_buf.append("&quot;");
            value.remove_prefix(quote + 1);
        }
        return html(value);
    }
    // Plain text in an attribute, exactly as given.
    HtmlOut& attribute(std::string_view value) {
        std::string text;
        for (char c : value.substr(0, value.find('\0'))) {
            switch (c) {
            case '&':
                text += "&amp;";
                break;
            case '"':
                text += "&quot;";
                break;
            case '\'':
                text += "&#39;";
                break;
            case '<':
                text += "&lt;";
                break;
            case '>':
                text += "&gt;";
                break;
            default:
                text += c;
            }
        }
        return html(text);
    }
    // A font name as a CSS string: anything but letters, digits, spaces,
    // '-' and '_' as an escape, so no name can end the string or the sheet.
    HtmlOut& cssString(std::string_view value) {
        value = value.substr(0, value.find('\0'));
        m_buf.push_back('"');
        for (size_t pos = 0; pos < value.size();) {
            const char32_t cp = nextCodePoint(value, pos);
            if (cp < 0x80 &&
                (std::isalnum(static_cast<int>(cp)) || cp == ' ' || cp == '-' || cp == '_')) {
                m_buf.push_back(static_cast<char>(cp));
            } else {
                char tmp[16];
                const int len = std::snprintf(tmp, sizeof tmp, "\\%X ", static_cast<unsigned>(cp));
                m_buf.append(tmp, static_cast<size_t>(len));
            }
        }
        m_buf.push_back('"');
        return *this;
    }
    HtmlOut& number(long long n) {
        char tmp[24];
        const int len = std::snprintf(tmp, sizeof tmp, "%lld", n);
        m_buf.append(tmp, static_cast<size_t>(len));
        return *this;
    }
};

// Links per part of a card's list (see renderTo).
constexpr size_t kListPart = 32;

// The style sheet that does not depend on the project. Colours come from
// custom properties set per theme; the grid's column count is --cols.
constexpr std::string_view kStyleSheet = R"(*,*::before,*::after{box-sizing:border-box}
html{-webkit-text-size-adjust:100%;text-size-adjust:100%}
body{margin:0;padding:1rem;background:var(--bg);color:var(--tx);font:1rem/1.45 system-ui,-apple-system,"Segoe UI",Roboto,sans-serif}
header{text-align:center;margin:0 0 1rem}
header::after{content:"";display:table;clear:both}
.top{float:left;max-width:100%;height:auto;margin:0 1rem .5rem 0}
h1{margin:.2em 0;color:var(--ti);font-size:clamp(1.75rem,5vw,3rem);line-height:1.15;overflow-wrap:anywhere}
.sub{margin:0;color:var(--ti);font-size:clamp(1.1rem,3vw,1.6rem);overflow-wrap:anywhere}
.vh{position:absolute;width:1px;height:1px;overflow:hidden;clip:rect(0 0 0 0);white-space:nowrap}
#find{max-width:40rem;margin:0 auto 1rem;display:flex;flex-wrap:wrap;gap:.25rem .75rem;align-items:center}
#find[hidden]{display:none}
#find label{font-weight:600}
#q{flex:1 1 12rem;min-width:0;font:inherit;padding:.4rem .6rem;color:var(--tx);background:var(--sf);border:2px solid var(--bd);border-radius:.4rem}
#count{flex-basis:100%;margin:0;font-size:.9rem;min-height:1.3em;text-align:center}
main{display:grid;gap:1rem;align-items:start;grid-template-columns:repeat(auto-fill,minmax(min(100%,max(17rem,(100% - (var(--cols) - 1) * 1rem) / var(--cols))),1fr))}
.card{min-width:0;background:var(--sf);border:1px solid var(--bd);border-radius:.5rem;padding:.75rem 1rem;overflow-wrap:anywhere}
.card{content-visibility:auto;contain-intrinsic-size:auto 20rem}
.card ul{content-visibility:auto;contain-intrinsic-size:auto calc(var(--n,32) * 1.75rem)}
.card ul[hidden]{display:none}
.card[hidden],li[hidden]{display:none}
.card img,.card video,.card iframe,.card table{max-width:100%;height:auto}
.card pre{white-space:pre-wrap}
h2{margin:0 0 .5rem;font-size:1.2rem;line-height:1.25}
ul{list-style:none;margin:0;padding:0}
li{margin:.1rem 0;padding:.1rem 0}
.b{width:16px;height:16px;margin-right:.4rem;vertical-align:-.15rem}
a{color:var(--ln);text-underline-offset:.15em}
a:visited{color:var(--vl)}
a:focus,#q:focus{outline:3px solid var(--ln);outline-offset:2px;border-radius:.2rem}
a:focus:not(:focus-visible){outline:none}
.ic::before{content:attr(data-t);content:attr(data-t) / "";display:inline-block;width:1.25rem;height:1.25rem;margin-right:.45rem;vertical-align:-.25rem;border-radius:.25rem;background:var(--ln) center/1rem 1rem no-repeat;color:var(--sf);font:700 .8rem/1.25rem system-ui,sans-serif;text-align:center}
.ic[class*=" f"]::before{background-color:transparent}
@media print{
#find{display:none}
body{background:#fff;color:#000;padding:0}
main{gap:.5rem}
.card,.card ul{content-visibility:visible}
.card{background:#fff;border:1px solid #888;break-inside:avoid}
h1,.sub,h2,a,a:visited{color:#000}
.ic::before{display:none}
}
)";

// Moves the keyboard between the visible links, focuses the filter box
// on "/" or typing, filters as it changes (case and accents ignored), opens
// the first match on Enter and clears on Escape. Without the script every
// link still works and the box stays hidden.
constexpr std::string_view kScript = R"((function () {
  'use strict';
  var form = document.getElementById('find');
  var box = document.getElementById('q');
  var count = document.getElementById('count');
  // Links, their list items, their card and their part of the card's list
  // (long lists come in parts the browser lays out only when in view),
  // gathered on first use so that they cost the first paint nothing.
  var cards = null, links = null, items, owner, part, parts, keys = null, hidden = null;
  var cardHidden, partHidden;
  function gather() {
    if (links) return;
    cards = Array.prototype.slice.call(document.querySelectorAll('main > section'));
    links = []; items = []; owner = []; part = []; parts = []; cardHidden = []; partHidden = [];
    cards.forEach(function (card, c) {
      var list = card.querySelectorAll('a.l');
      for (var i = 0; i < list.length; i++) {
        var li = list[i].closest('li');
        if (parts[parts.length - 1] !== li.parentNode) { parts.push(li.parentNode); partHidden.push(false); }
        links.push(list[i]);
        items.push(li);
        owner.push(c);
        part.push(parts.length - 1);
      }
      cardHidden.push(false);
    });
  }
  var search = form ? form.getAttribute('data-search') || '' : '';
  function fold(s) {
    return s.normalize('NFD').replace(/[\u0300-\u036f]/g, '').toLowerCase();
  }
  function words() {
    return fold(box.value).split(/\s+/).filter(Boolean);
  }
  function buildKeys() {
    gather();
    if (keys) return;
    keys = links.map(function (a) { return fold(a.textContent + ' ' + a.getAttribute('href')); });
    hidden = new Uint8Array(links.length);
  }
  function apply() {
    buildKeys();
    var w = words(), n = 0, hit = new Uint8Array(links.length);
    var shown = new Int32Array(cards.length), partShown = new Int32Array(parts.length);
    for (var i = 0; i < links.length; i++) {
      var k = keys[i], h = 1;
      for (var j = 0; j < w.length; j++) {
        if (k.indexOf(w[j]) < 0) { h = 0; break; }
      }
      if (h) { n++; shown[owner[i]]++; partShown[part[i]]++; hit[i] = 1; }
    }
    // Only the links of parts that stay shown are touched; a hidden part's
    // links are brought up to date when it shows again.
    for (i = 0; i < links.length; i++) {
      if (partShown[part[i]] && hidden[i] === hit[i]) { hidden[i] = 1 - hit[i]; items[i].hidden = !hit[i]; }
    }
    for (var p = 0; p < parts.length; p++) {
      var empty = partShown[p] === 0;
      if (partHidden[p] !== empty) { partHidden[p] = empty; parts[p].hidden = empty; }
    }
    for (var c = 0; c < cards.length; c++) {
      var none = shown[c] === 0;
      if (cardHidden[c] !== none) { cardHidden[c] = none; cards[c].hidden = none; }
    }
    count.textContent = !w.length ? '' :
      n === 0 ? (search ? 'No link matches. Press Enter to search the web.' : 'No link matches.') :
      n === 1 ? '1 link matches.' : n + ' links match.';
  }
  function visible(i) { return !hidden || (!hidden[i] && !partHidden[part[i]]); }
  function step(from, by) {
    gather();
    for (var i = from + by; i >= 0 && i < links.length; i += by) {
      if (visible(i)) return i;
    }
    return -1;
  }
  if (form) {
    form.hidden = false;
    form.addEventListener('submit', function (e) { e.preventDefault(); });
    box.addEventListener('input', apply);
    box.addEventListener('keydown', function (e) {
      if (e.key === 'Enter') {
        e.preventDefault();
        if (!keys) apply();
        var first = step(-1, 1);
        if (first >= 0 && words().length) links[first].click();
        else if (first < 0 && search) location.href = search.split('%s').join(encodeURIComponent(box.value.trim()));
      } else if (e.key === 'Escape') {
        e.preventDefault();
        box.value = '';
        apply();
      }
    });
    if (box.value) apply();
    else if (window.requestIdleCallback)
      addEventListener('load', function () { requestIdleCallback(buildKeys, {timeout: 2000}); });
  }
  document.addEventListener('keydown', function (e) {
    if (e.defaultPrevented || e.ctrlKey || e.metaKey || e.altKey) return;
    var t = e.target, inBox = box && t === box;
    var editing = !inBox && (t.isContentEditable || /^(INPUT|TEXTAREA|SELECT)$/.test(t.tagName));
    if (editing) return;
    if (/^Arrow/.test(e.key)) {
      gather();
      var at = links.indexOf(document.activeElement);
      var next = -2;
      if (e.key === 'ArrowDown' || (e.key === 'ArrowRight' && at >= 0)) next = step(at < 0 ? -1 : at, 1);
      else if (e.key === 'ArrowUp' || (e.key === 'ArrowLeft' && at >= 0)) next = at < 0 ? -2 : step(at, -1);
      if (next >= 0) links[next].focus();
      else if (next === -1 && box && at >= 0 && (e.key === 'ArrowUp' || e.key === 'ArrowLeft')) box.focus();
      if (next >= 0 || at >= 0) e.preventDefault();
      return;
    }
    if (!box || inBox) return;
    if (e.key === '/') {
      e.preventDefault();
      box.focus();
      box.select();
    } else if (e.key === 'Escape' && box.value) {
      box.value = '';
      apply();
      box.focus();
    } else if (e.key.length === 1 && e.key !== ' ') {
      box.focus(); // the character goes on into the box
    }
  });
})();
)";

void appendPaletteVariables(HtmlOut& out, const PagePalette& p) {
    out.raw("--bg:").raw(cssColor(p.background));
    out.raw(";--sf:").raw(cssColor(p.surface));
    out.raw(";--bd:").raw(cssColor(p.border));
    out.raw(";--tx:").raw(cssColor(p.text));
    out.raw(";--ti:").raw(cssColor(p.title));
    out.raw(";--ln:").raw(cssColor(p.link));
    out.raw(";--vl:").raw(cssColor(p.visitedLink));
    for (size_t i = 0; i < p.headings.size(); ++i)
        out.raw(";--h").number(static_cast<long long>(i)).raw(":").raw(cssColor(p.headings[i]));
}

void appendFontRule(HtmlOut& out, std::string_view face, std::int32_t style) {
    out.raw("font-family:").cssString(face).raw(",system-ui,sans-serif;font-weight:");
    out.raw(style & kStyleBold ? "700" : "400");
    out.raw(";font-style:").raw(style & kStyleItalic ? "italic" : "normal");
}

// An icon data: URI the page can carry inside url() as it is.
bool usableIcon(std::string_view uri) {
    if (uri.size() > kMaxIconUriBytes || uri.substr(0, 11) != "data:image/")
        return false;
    for (char c : uri)
        if (!(std::isalnum(static_cast<unsigned char>(c)) || c == '+' || c == '/' || c == '=' ||
              c == ';' || c == ':' || c == ',' || c == '.' || c == '-' || c == '_'))
            return false;
    return true;
}

// The letter on a link's tile: the host's first letter or digit, upper
// case; for a link without a host the first one after the scheme.
char tileLetter(std::string_view host, std::string_view url) {
    std::string_view from = host.empty() ? url.substr(url.find(':') + 1) : host;
    if (host.empty() && url.find(':') == std::string_view::npos)
        from = url;
    for (char c : from)
        if (std::isalnum(static_cast<unsigned char>(c)))
            return static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return '#';
}

bool renderTo(const Project& doc, const PageIcons& icons, HtmlOut& out) {
    const PageStyle& style = doc.pageStyle();
    const PagePalette light = lightPalette(doc);
    const PagePalette dark = darkPalette(doc);

    // The icons the page uses, each host once, numbered in order of first use.
    std::unordered_map<std::string, int> iconIndex;
    std::vector<const std::string*> iconUris;
    if (style.icons && !icons.byHost.empty()) {
        for (const LinkGroup& g : doc.groups()) {
            if (!g.bullet.empty())
                continue;
            for (const LinkView link : g.links) {
                std::string host = iconHost(link.url);
                if (host.empty() || iconIndex.count(host))
                    continue;
                const auto found = icons.byHost.find(host);
                if (found != icons.byHost.end() && usableIcon(found->second)) {
                    iconIndex.emplace(std::move(host), static_cast<int>(iconUris.size()));
                    iconUris.push_back(&found->second);
                }
            }
        }
    }

    const char* scheme = style.theme == PageTheme::Light  ? "light"
                         : style.theme == PageTheme::Dark ? "dark"
                                                          : "light dark";
    out.raw("<!DOCTYPE html>\n<html lang=\"en\">\n<head>\n<meta charset=\"utf-8\">\n")
        .raw("<meta name=\"viewport\" content=\"width=device-width, initial-scale=1\">\n")
        .raw("<meta name=\"color-scheme\" content=\"")
        .raw(scheme)
        .raw("\">\n<meta name=\"generator\" content=\"Linkfold\">\n<title>")
        .html(doc.title().empty() ? std::string_view("Start Page") : doc.title())
        .raw("</title>\n<link rel=\"icon\" href=\"data:,\">\n<style>\n");

    // Colours: the light theme, the dark one, or the light one switched to
    // the dark one by the browser's preference.
    out.raw(":root{--cols:").number(effectiveColumns(doc.columns())).raw(";color-scheme:");
    if (style.theme == PageTheme::Dark) {
        out.raw("dark;");
        appendPaletteVariables(out, dark);
        out.raw("}\n");
    } else {
        out.raw("light;");
        appendPaletteVariables(out, light);
        out.raw("}\n");
        if (style.theme == PageTheme::System) {
            out.raw("@media (prefers-color-scheme:dark){:root{color-scheme:dark;");
            appendPaletteVariables(out, dark);
            out.raw("}}\n");
        }
    }
    out.raw(kStyleSheet);
    out.raw("h1,.sub{");
    appendFontRule(out, doc.titleFace(), doc.titleStyle());
    out.raw("}\n");
    for (int i = 0; i < doc.groupCount(); ++i) {
        const LinkGroup& g = doc.group(i);
        if (g.links.empty())
            continue;
        out.raw(".g").number(i).raw(" h2{color:var(--h").number(i).raw(");");
        appendFontRule(out, g.face, g.style);
        out.raw("}\n");
    }
    for (size_t i = 0; i < iconUris.size(); ++i)
        out.raw(".f")
            .number(static_cast<long long>(i))
            .raw("::before{background-image:url(")
            .raw(*iconUris[i])
            .raw(")}\n");
    out.raw("</style>\n</head>\n<body>\n<header>\n");

    if (!doc.topImage().empty())
        out.raw("<img class=\"top\" src=\"").url(pathToUrl(doc.topImage())).raw("\" alt=\"\">\n");
    if (doc.title().empty())
        out.raw("<h1 class=\"vh\">Start Page</h1>\n");
    else
        out.raw("<h1>").html(doc.title()).raw("</h1>\n");
    if (!doc.subtitle().empty())
        out.raw("<p class=\"sub\">").html(doc.subtitle()).raw("</p>\n");
    out.raw("</header>\n");

    if (style.filterBox) {
        out.raw("<form id=\"find\" role=\"search\" hidden");
        if (!style.searchUrl.empty())
            out.raw(" data-search=\"").attribute(style.searchUrl).raw("\"");
        out.raw(">\n<label for=\"q\">Filter links</label>\n")
            .raw("<input id=\"q\" type=\"search\" autocomplete=\"off\" spellcheck=\"false\" ")
            .raw("aria-describedby=\"count\" placeholder=\"Type to filter, / from anywhere\">\n")
            .raw("<p id=\"count\" role=\"status\" aria-live=\"polite\"></p>\n</form>\n");
    }

    out.raw("<main>\n");
    std::string scratch;
    for (int i = 0; i < doc.groupCount(); ++i) {
        const LinkGroup& g = doc.group(i);
        if (g.links.empty())
            continue;
        out.raw("<section class=\"card g").number(i);
        if (g.title.empty())
            out.raw("\" aria-label=\"Group ").number(i + 1).raw("\">\n");
        else
            out.raw("\" aria-labelledby=\"h")
                .number(i)
                .raw("\">\n<h2 id=\"h")
                .number(i)
                .raw("\">")
                .html(g.title)
                .raw("</h2>\n");
        out.raw("<ul");
        if (g.links.size() < kListPart)
            out.raw(" style=\"--n:").number(static_cast<long long>(g.links.size())).raw("\"");
        out.raw(">\n");
        std::string bullet;
        if (!g.bullet.empty())
            bullet = pathToUrl(g.bullet);
        // Long lists come in parts of kListPart links, each laid out by the
        // browser only when it comes into view; the last part says how
        // many it holds, for the room kept for it until then.
        size_t index = 0;
        const size_t total = g.links.size();
        for (const LinkView link : g.links) {
            if (index > 0 && index % kListPart == 0) {
                out.raw("</ul>\n<ul");
                if (total - index < kListPart)
                    out.raw(" style=\"--n:")
                        .number(static_cast<long long>(total - index))
                        .raw("\"");
                out.raw(">\n");
            }
            ++index;
            out.raw("<li>");
            if (!bullet.empty()) {
                out.raw("<img class=\"b\" src=\"").url(bullet).raw("\" alt=\"\"><a class=\"l\"");
            } else if (style.icons) {
                const std::string host = iconHost(link.url);
                const auto icon = iconUris.empty() ? iconIndex.end() : iconIndex.find(host);
                if (icon != iconIndex.end()) {
                    out.raw("<a class=\"l ic f").number(icon->second).raw("\"");
                } else {
                    const char letter[2] = {tileLetter(host, link.url), '\0'};
                    out.raw("<a class=\"l ic\" data-t=\"").raw(letter).raw("\"");
                }
            } else {
                out.raw("<a class=\"l\"");
            }
            out.raw(" href=\"").url(link.url).raw("\">").html(link.description).raw("</a></li>\n");
            if (!out.maybe())
                return false;
        }
        out.raw("</ul>\n</section>\n");
    }
    out.raw("</main>\n<script>\n").raw(kScript).raw("</script>\n</body>\n</html>\n");
    return out.flush();
}

} // namespace

std::string iconHost(std::string_view url) {
    const size_t colon = url.find("://");
    if (colon == std::string_view::npos || colon == 0 || colon > 32)
        return {};
    for (size_t i = 0; i < colon; ++i) {
        const unsigned char c = static_cast<unsigned char>(url[i]);
        if (!(std::isalnum(c) || c == '+' || c == '-' || c == '.'))
            return {};
    }
    std::string_view rest = url.substr(colon + 3);
    rest = rest.substr(0, rest.find_first_of("/?#\\"));
    const size_t at = rest.rfind('@');
    if (at != std::string_view::npos)
        rest.remove_prefix(at + 1);
    if (!rest.empty() && rest[0] == '[')
        rest = rest.substr(0, rest.find(']') + 1);
    else
        rest = rest.substr(0, rest.find(':'));
    std::string host(rest);
    for (char& c : host)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    if (host.starts_with("www."))
        host.erase(0, 4);
    return host;
}

std::string renderModernPage(const Project& doc, const PageIcons& icons) {
    return renderToString<HtmlOut>([&](HtmlOut& out) { return renderTo(doc, icons, out); });
}

FileResult writePageLook(const Project& doc, const std::string& path, PageLook look,
                         const PageIcons& icons, SystemCalls& ops) {
    if (look == PageLook::Classic)
        return writeStartPage(doc, path, ops);
    return writeAtomically<HtmlOut>(path, ops,
                                    [&](HtmlOut& out) { return renderTo(doc, icons, out); });
}

FileResult Project::writePage(const std::string& path) const {
    return writePageLook(*this, path, pageStyle().look);
}
