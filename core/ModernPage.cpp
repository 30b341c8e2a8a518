#include "core/ModernPage.h"

#include "core/ChunkedOutput.h"
#include "core/Codepage.h"
#include "core/HtmlFragment.h"
#include "core/PageColors.h"
#include "core/PageWords.h"
#include "core/PageWriter.h"
#include "core/Project.h"
#include "core/SiteName.h"

#include <cctype>
#include <charconv>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <deque>

namespace {

// Plain text for a double- or single-quoted attribute, up to its first NUL.
std::string escapeAttribute(std::string_view value) {
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
    return text;
}

// Collects the page and hands it on in large pieces, as the classic writer
// does; the modern page is UTF-8 with LF line ends.
class HtmlOut : public ChunkedOutput<HtmlOut> {
public:
    using ChunkedOutput::ChunkedOutput;

    // Text as it stands, up to its first NUL, as well-formed UTF-8.
    HtmlOut& html(std::string_view value) {
        const Scan scan = scanText(value);
        appendUtf8Text(m_buf, value.substr(0, scan.end), scan.ascii);
        return *this;
    }
    // A field the page shows as HTML, the user's markup kept but balanced
    // inside the element it stands in (HtmlFragment.h). Text without markup,
    // nearly every one, is read once.
    HtmlOut& html(std::string_view value, FragmentPlace place) {
        const Scan scan = scanText(value);
        value = value.substr(0, scan.end);
        if (!scan.markup) {
            appendUtf8Text(m_buf, value, scan.ascii);
        } else if (scan.ascii || isValidUtf8(value)) {
            appendBalancedHtml(m_buf, value, place);
        } else {
            std::string text;
            appendUtf8Text(text, value, false);
            appendBalancedHtml(m_buf, text, place);
        }
        return *this;
    }
    // The page's title for its <title>: the text of its markup.
    HtmlOut& titleText(std::string_view value) {
        value = value.substr(0, value.find('\0'));
        std::string text;
        for (size_t pos = 0; pos < value.size();)
            appendUtf8(text, nextCodePoint(value, pos));
        m_buf.append(fragmentTextEscaped(text));
        return *this;
    }
    // A field inside a double-quoted attribute that the classic page writes
    // as it is (link targets, picture paths): only a double quote, which
    // would end the attribute, is written as a reference.
    HtmlOut& url(std::string_view value) {
        const Scan scan = scanText(value);
        value = value.substr(0, scan.end);
        if (!scan.quote) {
            appendUtf8Text(m_buf, value, scan.ascii);
            return *this;
        }
        for (size_t quote; (quote = value.find('"')) != std::string_view::npos;) {
            html(value.substr(0, quote));
            m_buf.append("&quot;");
            value.remove_prefix(quote + 1);
        }
        return html(value);
    }
    // Plain text in an attribute, exactly as given.
    HtmlOut& attribute(std::string_view value) { return html(escapeAttribute(value)); }
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
        const auto end = std::to_chars(tmp, tmp + sizeof tmp, n).ptr;
        m_buf.append(tmp, static_cast<size_t>(end - tmp));
        return *this;
    }

private:
    // What one pass over a field finds: where it ends (its first NUL), and
    // whether it holds markup, a double quote or bytes beyond ASCII.
    struct Scan {
        size_t end = 0;
        bool markup = false;
        bool quote = false;
        bool ascii = true;
    };
    static Scan scanText(std::string_view value) {
        // Eight bytes at a time, as the classic page's writer reads; a NUL,
        // which hardly ever comes, is looked for again to cut the field.
        constexpr std::uint64_t kOnes = 0x0101010101010101;
        constexpr std::uint64_t kHighs = 0x8080808080808080;
        // Non-zero when some byte of v is zero.
        const auto zeroBytes = [](std::uint64_t v) { return (v - kOnes) & ~v & kHighs; };
        std::uint64_t lt = 0, quote = 0, high = 0, nul = 0;
        const char* p = value.data();
        size_t i = 0;
        for (; i + 8 <= value.size(); i += 8) {
            std::uint64_t w;
            std::memcpy(&w, p + i, 8);
            high |= w;
            lt |= zeroBytes(w ^ (kOnes * '<'));
            quote |= zeroBytes(w ^ (kOnes * '"'));
            nul |= zeroBytes(w);
        }
        for (; i < value.size(); ++i) {
            const auto c = static_cast<unsigned char>(p[i]);
            high |= c;
            lt |= c == '<';
            quote |= c == '"';
            nul |= c == 0;
        }
        if (nul)
            return scanText(value.substr(0, value.find('\0')));
        Scan scan;
        scan.end = value.size();
        scan.markup = lt != 0;
        scan.quote = quote != 0;
        scan.ascii = (high & kHighs) == 0;
        return scan;
    }
    // The text as well-formed UTF-8: as it is when it is.
    static void appendUtf8Text(std::string& out, std::string_view text, bool ascii) {
        if (ascii || isValidUtf8(text)) {
            out.append(text);
        } else {
            for (size_t pos = 0; pos < text.size();)
                appendUtf8(out, nextCodePoint(text, pos));
        }
    }
};

// Links per part of a card's list (see renderTo).
constexpr size_t kListPart = 16;

// The style sheet that does not depend on the project. Colours come from
// custom properties set per theme; the most columns is --cols. The cards
// flow down columns like a newspaper's (reading order is the page's order),
// so uneven groups leave no empty bands; a long card goes on in the next
// column. Every list item is one line of 1.75rem unless its text wraps, so
// that the room kept for a part of a list not yet laid out (--n items) is
// what it takes: the page is as tall at load as when scrolled through.
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
#q{flex:1 1 12rem;min-width:0;font:inherit;padding:.4rem .6rem;color:var(--tx);background:var(--sf);border:2px solid var(--cb);border-radius:.4rem}
#count{flex-basis:100%;margin:0;font-size:.9rem;min-height:1.3em;text-align:center}
main{columns:var(--cols) 17rem;column-gap:1rem}
.card{min-width:0;margin:0 0 1rem;background:var(--sf);border:1px solid var(--bd);border-radius:.5rem;padding:.75rem 1rem;overflow-wrap:anywhere;break-inside:avoid;-webkit-box-decoration-break:clone;box-decoration-break:clone}
.card.long{break-inside:auto}
.card ul{content-visibility:auto;contain-intrinsic-size:auto calc(var(--n,16) * 1.75rem)}
main.f .x{display:none}
.card img,.card video,.card iframe,.card table{max-width:100%;height:auto}
.card pre{white-space:pre-wrap}
h2{margin:0 0 .5rem;font-size:1.2rem;line-height:1.25;break-after:avoid}
ul{list-style:none;margin:0;padding:0}
.card ul{margin:0 -.4rem;padding:0 .4rem}
li{margin:0;padding:.15rem 0;break-inside:avoid}
.b{width:16px;height:16px;margin-inline-end:.4rem;vertical-align:middle}
a{color:var(--ln);text-underline-offset:.15em}
a.l{display:inline-block;max-width:100%;vertical-align:top}
a:visited{color:var(--vl)}
a:focus,#q:focus{outline:3px solid var(--ln);outline-offset:2px;border-radius:.2rem}
a.l:focus{outline-width:2px;outline-offset:0}
a:focus:not(:focus-visible){outline:none}
.ic::before{content:attr(data-t);content:attr(data-t) / "";display:inline-block;overflow:hidden;width:1.25rem;height:1.25rem;margin-inline-end:.45rem;vertical-align:middle;border-radius:.25rem;background:var(--ln) center/1rem 1rem no-repeat;color:#fff;font:700 .8rem/1.25rem system-ui,sans-serif;text-align:center}
.ic[class*=" f"]::before{background-color:transparent}
@media print{
#find{display:none}
body{padding:0;font-size:.85rem;line-height:1.3}
main{columns:var(--cols) 13rem}
.card ul{content-visibility:visible}
.card{break-inside:auto;border-color:#888;padding:.5rem .75rem}
li{padding:0}
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
  // A link, part or card left out by the filter has the class "x", which
  // hides it only while main has the class "f": an empty filter shows every
  // link again by taking that class away, touching nothing else; the next
  // filter starts from the classes as they are.
  var main = document.querySelector('main');
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
  function said(name, n) { return (form.getAttribute('data-' + name) || '').split('%d').join(n); }
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
  function filtering() { return main.classList.contains('f'); }
  function apply() {
    buildKeys();
    var w = words();
    if (!w.length) {
      main.classList.remove('f');
      count.textContent = '';
      return;
    }
    var n = 0, hit = new Uint8Array(links.length);
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
      if (partShown[part[i]] && hidden[i] === hit[i]) {
        hidden[i] = 1 - hit[i];
        items[i].classList.toggle('x', !hit[i]);
      }
    }
    for (var p = 0; p < parts.length; p++) {
      var empty = partShown[p] === 0;
      if (partHidden[p] !== empty) { partHidden[p] = empty; parts[p].classList.toggle('x', empty); }
    }
    for (var c = 0; c < cards.length; c++) {
      var none = shown[c] === 0;
      if (cardHidden[c] !== none) { cardHidden[c] = none; cards[c].classList.toggle('x', none); }
    }
    main.classList.add('f');
    count.textContent =
      n === 0 ? said(search ? 'none-search' : 'none', n) : said(n === 1 ? 'one' : 'many', n);
  }
  function visible(i) {
    return !hidden || !filtering() || (!hidden[i] && !partHidden[part[i]]);
  }
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
    out.raw(";--cb:").raw(cssColor(p.control));
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

// The URL's authority as written ("me@Www.Example.org:80" of
// "https://me@Www.Example.org:80/x"); empty for a URL without one. Only the
// scheme and the authority are read.
std::string_view rawAuthority(std::string_view url) {
    // The scheme: up to 32 letters, digits, '+', '-' and '.', then "://";
    // most are one of two.
    size_t colon = 0;
    if (url.starts_with("https://")) {
        colon = 5;
    } else if (url.starts_with("http://")) {
        colon = 4;
    } else {
        while (colon < url.size() && colon <= 32) {
            const char c = url[colon];
            if (!((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
                  c == '+' || c == '-' || c == '.'))
                break;
            ++colon;
        }
        if (colon == 0 || colon > 32 || url.substr(colon, 3) != "://")
            return {};
    }
    const std::string_view rest = url.substr(colon + 3);
    size_t end = 0;
    while (end < rest.size() && rest[end] != '/' && rest[end] != '?' && rest[end] != '#' &&
           rest[end] != '\\')
        ++end;
    return rest.substr(0, end);
}

// The host of an authority: without user and port, lower case, without a
// leading "www.".
std::string hostOf(std::string_view authority) {
    const size_t at = authority.rfind('@');
    if (at != std::string_view::npos)
        authority.remove_prefix(at + 1);
    if (!authority.empty() && authority[0] == '[')
        authority = authority.substr(0, authority.find(']') + 1);
    else
        authority = authority.substr(0, authority.find(':'));
    std::string host(authority);
    for (char& c : host)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    if (host.starts_with("www."))
        host.erase(0, 4);
    return host;
}

// What the page shows beside the links to one site, worked out once per
// distinct authority.
struct Site {
    int icon = -1;            // the .fN class of its icon, or none
    bool iconChecked = false; // icon is set
    std::string anchor;       // the start of its links' <a>, once worked out
    std::string key;          // the authority, as SiteTable keeps it
};

// The sites of a page's links by their authority as written, in an open
// table: a page of 100,000 links asks it once per link.
class SiteTable {
public:
    Site& operator[](std::string_view authority) {
        if ((m_sites.size() + 1) * 2 > m_slots.size())
            grow();
        const std::uint64_t hash = hashOf(authority);
        for (size_t i = hash & (m_slots.size() - 1);; i = (i + 1) & (m_slots.size() - 1)) {
            Slot& slot = m_slots[i];
            if (!slot.site) {
                // The table keeps its own copy of the key: the link's text lies
                // far away in the project by the time the next link asks.
                Site& site = m_sites.emplace_back();
                site.key.assign(authority);
                slot = {site.key, hash, &site};
                return site;
            }
            if (slot.hash == hash && slot.key == authority)
                return *slot.site;
        }
    }

private:
    struct Slot {
        std::string_view key;
        std::uint64_t hash = 0;
        Site* site = nullptr;
    };
    static std::uint64_t hashOf(std::string_view key) {
        // Eight bytes at a time, each step multiplied and folded.
        std::uint64_t hash = key.size();
        size_t i = 0;
        for (; i + 8 <= key.size(); i += 8) {
            std::uint64_t word;
            std::memcpy(&word, key.data() + i, 8);
            hash = (hash ^ word) * 0x9E3779B97F4A7C15u;
            hash ^= hash >> 29;
        }
        std::uint64_t rest = 0;
        std::memcpy(&rest, key.data() + i, key.size() - i);
        hash = (hash ^ rest) * 0x9E3779B97F4A7C15u;
        return hash ^ (hash >> 32);
    }
    void grow() {
        std::vector<Slot> old(std::max<size_t>(64, m_slots.size() * 2));
        old.swap(m_slots);
        for (const Slot& slot : old) {
            if (!slot.site)
                continue;
            size_t i = slot.hash & (m_slots.size() - 1);
            while (m_slots[i].site)
                i = (i + 1) & (m_slots.size() - 1);
            m_slots[i] = slot;
        }
    }
    std::vector<Slot> m_slots;
    std::deque<Site> m_sites; // never moved: the slots point at them
};

// The start of a link's <a> with its icon or letter tile: its site's,
// worked out once per site; a link without a host gets its own.
const std::string& anchorFor(Site& site, std::string_view authority, std::string_view url) {
    if (!site.anchor.empty() && !authority.empty())
        return site.anchor;
    if (site.icon >= 0) {
        site.anchor = "<a class=\"l ic f" + std::to_string(site.icon) + "\"";
    } else {
        const SiteTile tile = siteTile(authority.empty() ? std::string() : hostOf(authority), url);
        site.anchor = "<a class=\"l ic t" + std::to_string(tile.colour) + "\" data-t=\"" +
                      escapeAttribute(tile.letter) + "\"";
    }
    return site.anchor;
}

bool renderTo(const Project& doc, const PageIcons& icons, std::string_view programLanguage,
              HtmlOut& out) {
    const PageStyle& style = doc.pageStyle();
    const PagePalette light = lightPalette(doc);
    const PagePalette dark = darkPalette(doc);
    const std::string language = isLanguageTag(style.language)    ? style.language
                                 : isLanguageTag(programLanguage) ? std::string(programLanguage)
                                                                  : environmentLanguage();
    const PageWords& words = pageWords(language);

    // The icons the page uses, each host once, numbered in order of first
    // use; every distinct authority is read once.
    SiteTable sites;
    std::vector<const std::string*> iconUris;
    if (style.icons && !icons.byHost.empty()) {
        std::unordered_map<std::string, int> iconIndex;
        for (const LinkGroup& g : doc.groups()) {
            if (!g.bullet.empty())
                continue;
            for (const LinkView link : g.links) {
                const std::string_view authority = rawAuthority(link.url);
                if (authority.empty())
                    continue;
                Site& site = sites[authority];
                if (site.iconChecked)
                    continue;
                site.iconChecked = true;
                const std::string host = hostOf(authority);
                if (const auto known = iconIndex.find(host); known != iconIndex.end()) {
                    site.icon = known->second;
                    continue;
                }
                const auto found = icons.byHost.find(host);
                if (found != icons.byHost.end() && usableIcon(found->second)) {
                    site.icon = static_cast<int>(iconUris.size());
                    iconIndex.emplace(host, site.icon);
                    iconUris.push_back(&found->second);
                }
            }
        }
    }

    const char* scheme = style.theme == PageTheme::Light  ? "light"
                         : style.theme == PageTheme::Dark ? "dark"
                                                          : "light dark";
    out.raw("<!DOCTYPE html>\n<html lang=\"").raw(language).raw("\"");
    if (isRightToLeft(language))
        out.raw(" dir=\"rtl\"");
    out.raw(">\n<head>\n<meta charset=\"utf-8\">\n")
        // Browsers look up the host of every link ahead of a click unless
        // told not to; the page asks for nothing of its own.
        .raw("<meta http-equiv=\"x-dns-prefetch-control\" content=\"off\">\n")
        .raw("<meta name=\"viewport\" content=\"width=device-width, initial-scale=1\">\n")
        .raw("<meta name=\"color-scheme\" content=\"")
        .raw(scheme)
        .raw("\">\n<meta name=\"generator\" content=\"Linkfold\">\n<title>");
    if (doc.title().empty())
        out.raw(words.startPage);
    else
        out.titleText(doc.title());
    out.raw("</title>\n<link rel=\"icon\" href=\"data:,\">\n<style>\n");

    // Colours: the light theme, the dark one, or the light one switched to
    // the dark one by the browser's preference; on paper always the print
    // palette.
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
    out.raw("@media print{:root{color-scheme:light;");
    appendPaletteVariables(out, printPalette(doc));
    out.raw("}}\n");
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
    if (style.icons)
        for (int i = 0; i < kTileColours; ++i)
            out.raw(".t")
                .number(i)
                .raw("::before{background-color:")
                .raw(cssColor(tileColour(i)))
                .raw("}\n");
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
        out.raw("<h1 class=\"vh\">").raw(words.startPage).raw("</h1>\n");
    else
        out.raw("<h1 dir=\"auto\">").html(doc.title(), FragmentPlace::Heading).raw("</h1>\n");
    if (!doc.subtitle().empty())
        out.raw("<div class=\"sub\" dir=\"auto\">")
            .html(doc.subtitle(), FragmentPlace::Block)
            .raw("</div>\n");
    out.raw("</header>\n");

    if (style.filterBox) {
        out.raw("<form id=\"find\" role=\"search\" hidden");
        if (!style.searchUrl.empty())
            out.raw(" data-search=\"").attribute(style.searchUrl).raw("\"");
        out.raw(" data-none=\"").attribute(words.noMatch).raw("\"");
        if (!style.searchUrl.empty())
            out.raw(" data-none-search=\"").attribute(words.noMatchSearch).raw("\"");
        out.raw(" data-one=\"").attribute(words.oneMatch).raw("\"");
        out.raw(" data-many=\"").attribute(words.manyMatch).raw("\"");
        out.raw(">\n<label for=\"q\">")
            .attribute(words.filterLabel)
            .raw("</label>\n")
            .raw("<input id=\"q\" type=\"search\" autocomplete=\"off\" spellcheck=\"false\" ")
            .raw("aria-describedby=\"count\" placeholder=\"")
            .attribute(words.filterPlaceholder)
            .raw("\">\n<p id=\"count\" role=\"status\" aria-live=\"polite\"></p>\n</form>\n");
    }

    out.raw("<main>\n");
    Site spare;
    std::string_view lastAuthority;
    Site* lastSite = &spare;
    for (int i = 0; i < doc.groupCount(); ++i) {
        const LinkGroup& g = doc.group(i);
        if (g.links.empty())
            continue;
        out.raw("<section class=\"card g").number(i);
        if (g.links.size() > kListPart)
            out.raw(" long");
        if (g.title.empty()) {
            std::string label(words.group);
            const size_t at = label.find("%d");
            if (at != std::string::npos)
                label.replace(at, 2, std::to_string(i + 1));
            out.raw("\" aria-label=\"").attribute(label).raw("\">\n");
        } else {
            out.raw("\" aria-labelledby=\"h")
                .number(i)
                .raw("\">\n<h2 id=\"h")
                .number(i)
                .raw("\" dir=\"auto\">")
                .html(g.title, FragmentPlace::Heading)
                .raw("</h2>\n");
        }
        std::string bullet;
        if (!g.bullet.empty())
            bullet = pathToUrl(g.bullet);
        // Lists come in parts of kListPart links, each laid out by the
        // browser only when it comes into view; each says how many it holds,
        // for the room kept for it until then.
        size_t index = 0;
        const size_t total = g.links.size();
        for (const LinkView link : g.links) {
            if (index % kListPart == 0) {
                if (index > 0)
                    out.raw("</ul>\n");
                out.raw("<ul");
                if (total - index < kListPart)
                    out.raw(" style=\"--n:")
                        .number(static_cast<long long>(total - index))
                        .raw("\"");
                out.raw(">\n");
            }
            ++index;
            out.raw("<li dir=\"auto\">");
            if (!bullet.empty()) {
                out.raw("<img class=\"b\" src=\"").url(bullet).raw("\" alt=\"\"><a class=\"l\"");
            } else if (style.icons) {
                const std::string_view authority = rawAuthority(link.url);
                // Links in a row often lead to one site.
                if (authority.empty() || authority != lastAuthority) {
                    lastSite = authority.empty() ? &spare : &sites[authority];
                    lastAuthority = authority;
                }
                out.raw(anchorFor(*lastSite, authority, link.url));
            } else {
                out.raw("<a class=\"l\"");
            }
            out.raw(" href=\"")
                .url(link.url)
                .raw("\">")
                .html(link.description, FragmentPlace::Link)
                .raw("</a></li>\n");
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
    return hostOf(rawAuthority(url));
}

std::vector<std::string> linkHosts(const Project& doc) {
    std::unordered_map<std::string_view, bool> seen;
    std::unordered_map<std::string, bool> hosts;
    std::vector<std::string> out;
    for (const LinkGroup& g : doc.groups())
        for (const LinkView link : g.links) {
            const std::string_view authority = rawAuthority(link.url);
            if (authority.empty() || !seen.try_emplace(authority, true).second)
                continue;
            std::string host = hostOf(authority);
            if (!host.empty() && hosts.try_emplace(host, true).second)
                out.push_back(std::move(host));
        }
    return out;
}

std::string renderModernPage(const Project& doc, const PageIcons& icons,
                             std::string_view programLanguage) {
    return renderToString<HtmlOut>(
        [&](HtmlOut& out) { return renderTo(doc, icons, programLanguage, out); });
}

FileResult writePageLook(const Project& doc, const std::string& path, PageLook look,
                         const PageIcons& icons, SystemCalls& ops,
                         std::string_view programLanguage) {
    if (look == PageLook::Classic)
        return writeStartPage(doc, path, ops);
    return writeAtomically<HtmlOut>(
        path, ops, [&](HtmlOut& out) { return renderTo(doc, icons, programLanguage, out); });
}

FileResult Project::writePage(const std::string& path) const {
    return writePageLook(*this, path, pageStyle().look);
}
