#include "bookmarks/XbelWriter.h"

#include "bookmarks/MarkupEscape.h"

namespace {

void indent(std::string& out, int depth) {
    out.append(static_cast<size_t>(depth + 1) * 2, ' ');
}

void appendDate(std::string& out, std::int64_t added) {
    if (added <= 0)
        return;
    out += " added=\"";
    out += isoDate(added);
    out += '"';
}

} // namespace

std::string writeXbel(const BookmarkTree& tree) {
    std::string out =
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
        "<!DOCTYPE xbel PUBLIC \"+//IDN python.org//DTD XML Bookmark Exchange "
        "Language 1.0//EN//XML\" \"http://www.python.org/topics/xml/dtds/xbel-1.0.dtd\">\n"
        "<xbel version=\"1.0\">\n";
    int open = 0;
    auto closeTo = [&](int depth) {
        while (open > depth) {
            --open;
            indent(out, open);
            out += "</folder>\n";
        }
    };
    for (const BookmarkItem& item : tree.items()) {
        closeTo(item.depth);
        indent(out, item.depth);
        switch (item.kind) {
        case BookmarkKind::Folder:
            out += "<folder";
            appendDate(out, item.added);
            out += ">\n";
            indent(out, item.depth + 1);
            out += "<title>";
            out += escapeMarkup(item.title, false);
            out += "</title>\n";
            ++open;
            break;
        case BookmarkKind::Link:
            out += "<bookmark href=\"";
            out += escapeMarkup(item.url, true);
            out += '"';
            appendDate(out, item.added);
            out += "><title>";
            out += escapeMarkup(item.title, false);
            out += "</title></bookmark>\n";
            break;
        case BookmarkKind::Separator:
            out += "<separator/>\n";
            break;
        }
    }
    closeTo(0);
    out += "</xbel>\n";
    return out;
}
