#include "core/HtmlFragment.h"

#include <libxml/HTMLparser.h>
#include <libxml/tree.h>

#include <dlfcn.h>

#include <cstdint>
#include <cstring>
#include <initializer_list>
#include <memory>
#include <mutex>
#include <vector>

// libxml2 is opened when the first fragment with markup is written, not
// linked: `linkfold --generate` starts with the C and C++ runtimes alone
// (ARCHITECTURE.md), and most pages have no markup to parse.
namespace {

struct LibXml2 {
    decltype(&htmlReadMemory) readMemory = nullptr;
    decltype(&xmlFreeDoc) freeDoc = nullptr;
};

const LibXml2* libxml2() {
    static LibXml2 lib;
    static bool loaded = false;
    static std::once_flag once;
    std::call_once(once, [] {
        void* handle = dlopen("libxml2.so.2", RTLD_NOW | RTLD_LOCAL);
        if (!handle)
            return;
        lib.readMemory =
            reinterpret_cast<decltype(lib.readMemory)>(dlsym(handle, "htmlReadMemory"));
        lib.freeDoc = reinterpret_cast<decltype(lib.freeDoc)>(dlsym(handle, "xmlFreeDoc"));
        loaded = lib.readMemory && lib.freeDoc;
    });
    return loaded ? &lib : nullptr;
}

struct DocFree {
    const LibXml2* lib;
    void operator()(xmlDoc* doc) const { lib->freeDoc(doc); }
};

bool is(const xmlNode* node, const char* name) {
    return node->name && std::strcmp(reinterpret_cast<const char*>(node->name), name) == 0;
}

bool oneOf(const xmlNode* node, std::initializer_list<const char*> names) {
    for (const char* name : names)
        if (is(node, name))
            return true;
    return false;
}

// A name the page can carry as it is: letters, digits, '-', '_', ':', '.'
// (libxml2 gives element and attribute names in lower case).
bool plainName(const xmlChar* name) {
    if (!name || !*name)
        return false;
    for (const xmlChar* c = name; *c; ++c)
        if (!((*c >= 'a' && *c <= 'z') || (*c >= '0' && *c <= '9') || *c == '-' || *c == '_' ||
              *c == ':' || *c == '.'))
            return false;
    return true;
}

void appendEscaped(std::string& out, const char* text, bool attribute) {
    for (const char* c = text; *c; ++c) {
        switch (*c) {
        case '&':
            out += "&amp;";
            break;
        case '<':
            out += "&lt;";
            break;
        case '>':
            out += "&gt;";
            break;
        case '"':
            if (attribute) {
                out += "&quot;";
                break;
            }
            [[fallthrough]];
        default:
            out.push_back(*c);
        }
    }
}

bool isVoid(const xmlNode* node) {
    return oneOf(node, {"area", "br", "col", "embed", "hr", "img", "input", "param", "source",
                        "track", "wbr", "basefont", "frame", "keygen"});
}

// Elements that act on the whole page, not the text they stand in.
bool leftOut(const xmlNode* node) {
    return oneOf(node, {"base", "meta", "link", "title", "head", "frameset", "noframes"});
}

// Whose content the browser reads as text up to the element's end tag.
bool isRawText(const xmlNode* node) {
    return oneOf(node, {"script", "style", "xmp", "iframe", "noembed", "noscript"});
}

// The name an element is written with in place; nullptr when only its
// content is written (html, body and names the page cannot carry).
const char* writtenName(const xmlNode* node, FragmentPlace place, int lists) {
    if (!plainName(node->name) || oneOf(node, {"html", "body"}))
        return nullptr;
    // <plaintext> never ends; a form inside the filter's form or a list item
    // outside a list of the fragment's own would end the page's element.
    if (oneOf(node, {"plaintext", "form"}))
        return "span";
    if (lists == 0 && oneOf(node, {"li", "dd", "dt"}))
        return "span";
    if (place == FragmentPlace::Link && is(node, "a"))
        return "span";
    if (place == FragmentPlace::Heading && oneOf(node, {"h1", "h2", "h3", "h4", "h5", "h6"}))
        return "span";
    return reinterpret_cast<const char*>(node->name);
}

bool isList(const xmlNode* node) {
    return oneOf(node, {"ul", "ol", "dl", "menu"});
}

void appendRawContent(std::string& out, const xmlNode* node) {
    std::string text;
    for (const xmlNode* child = node->children; child; child = child->next)
        if (child->content)
            text += reinterpret_cast<const char*>(child->content);
    // Content that could end the element early is left out.
    for (char& c : text)
        if (c == '<') {
            text.clear();
            break;
        }
    out += text;
}

// Writes the node and what is below it, without recursion.
void appendNode(std::string& out, xmlNode* top, FragmentPlace place) {
    int lists = 0;
    // The names written for the open elements, to close them with.
    std::vector<const char*> open;
    // Ends the innermost open element, which is `node`.
    auto close = [&](const xmlNode* node) {
        const char* name = open.back();
        open.pop_back();
        if (isList(node))
            --lists;
        if (name) {
            out += "</";
            out += name;
            out.push_back('>');
        }
    };
    xmlNode* cur = top;
    while (cur) {
        bool descend = false;
        if (cur->type == XML_TEXT_NODE || cur->type == XML_CDATA_SECTION_NODE) {
            if (cur->content)
                appendEscaped(out, reinterpret_cast<const char*>(cur->content), false);
        } else if (cur->type == XML_ELEMENT_NODE && !leftOut(cur)) {
            const char* name = writtenName(cur, place, lists);
            if (name) {
                out.push_back('<');
                out += name;
                for (const xmlAttr* a = cur->properties; a; a = a->next) {
                    if (!plainName(a->name))
                        continue;
                    out.push_back(' ');
                    out += reinterpret_cast<const char*>(a->name);
                    out += "=\"";
                    for (const xmlNode* v = a->children; v; v = v->next)
                        if (v->content)
                            appendEscaped(out, reinterpret_cast<const char*>(v->content), true);
                    out.push_back('"');
                }
                out.push_back('>');
            }
            if (name && isVoid(cur)) {
                // no content, no end tag
            } else if (name && isRawText(cur)) {
                appendRawContent(out, cur);
                out += "</";
                out += name;
                out.push_back('>');
            } else {
                open.push_back(name);
                if (isList(cur))
                    ++lists;
                descend = cur->children != nullptr;
                if (!descend)
                    close(cur);
            }
        }
        if (descend) {
            cur = cur->children;
            continue;
        }
        // Up to the next sibling, closing the elements left on the way.
        while (cur != top && !cur->next) {
            cur = cur->parent;
            close(cur);
        }
        if (cur == top)
            return;
        cur = cur->next;
    }
}

using DocPtr = std::unique_ptr<xmlDoc, DocFree>;

// The fragment parsed as the content of a page's body; null when libxml2
// is not there or cannot parse it.
DocPtr parseFragment(std::string_view html) {
    const LibXml2* lib = libxml2();
    if (!lib)
        return DocPtr(nullptr, DocFree{lib});
    // Text before the first element would otherwise be put in an implied
    // paragraph of its own.
    std::string text = "<body>";
    text.append(html);
    if (text.size() > static_cast<size_t>(INT32_MAX))
        return DocPtr(nullptr, DocFree{lib});
    return DocPtr(lib->readMemory(text.data(), static_cast<int>(text.size()), nullptr, "UTF-8",
                                  HTML_PARSE_NOERROR | HTML_PARSE_NOWARNING | HTML_PARSE_NONET),
                  DocFree{lib});
}

void appendEscapedView(std::string& out, std::string_view text) {
    for (char c : text) {
        if (c == '<')
            out += "&lt;";
        else if (c == '>')
            out += "&gt;";
        else if (c == '&')
            out += "&amp;";
        else
            out.push_back(c);
    }
}

} // namespace

void appendBalancedHtml(std::string& out, std::string_view html, FragmentPlace place) {
    if (html.find('<') == std::string_view::npos) {
        out.append(html);
        return;
    }
    const DocPtr doc = parseFragment(html);
    if (!doc) {
        appendEscapedView(out, html);
        return;
    }
    for (xmlNode* node = doc->children; node; node = node->next)
        if (node->type == XML_ELEMENT_NODE)
            appendNode(out, node, place);
}

std::string fragmentTextEscaped(std::string_view html) {
    std::string out;
    if (html.find('<') == std::string_view::npos) {
        out.assign(html);
        return out;
    }
    const DocPtr doc = parseFragment(html);
    if (!doc) {
        appendEscapedView(out, html);
        return out;
    }
    // The text of the body, without recursion.
    xmlNode* cur = doc->children;
    while (cur) {
        if (cur->type == XML_TEXT_NODE && cur->content) {
            appendEscaped(out, reinterpret_cast<const char*>(cur->content), false);
        }
        const bool skip = cur->type == XML_ELEMENT_NODE && (leftOut(cur) || isRawText(cur));
        if (cur->children && !skip && cur->type == XML_ELEMENT_NODE) {
            cur = cur->children;
            continue;
        }
        while (cur && !cur->next)
            cur = cur->parent;
        if (cur)
            cur = cur->next;
    }
    return out;
}
