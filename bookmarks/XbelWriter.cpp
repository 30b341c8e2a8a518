#include "bookmarks/XbelWriter.h"

#include "bookmarks/MarkupEscape.h"

namespace {

void indent(std::string& out, int depth) {
    out.append(static_cast<size_t>(depth + 1) * 2, ' ');
}

std::string dateAttribute(std::int64_t added) {
    return added > 0 ? " added=\"" + isoDate(added) + "\"" : std::string();
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
            out += "<folder" + dateAttribute(item.added) + ">\n";
            indent(out, item.depth + 1);
            out += "<title>" + escapeMarkup(item.title, false) + "</title>\n";
            ++open;
            break;
        case BookmarkKind::Link:
            out += "<bookmark href=\"" + escapeMarkup(item.url, true) + "\"" +
                   dateAttribute(item.added) + "><title>" + escapeMarkup(item.title, false) +
                   "</title></bookmark>\n";
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
