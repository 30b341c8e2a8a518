#include "bookmarks/XbelWriter.h"

#include "bookmarks/BookmarkWalk.h"
#include "bookmarks/MarkupEscape.h"

namespace {

struct XbelEmitter {
    std::string& out;

    void indent(int depth) { out.append(static_cast<size_t>(depth + 1) * 2, ' '); }

    void appendDate(std::int64_t added) {
        if (added <= 0)
            return;
        out += " added=\"";
        out += isoDate(added);
        out += '"';
    }

    void openFolder(const BookmarkItem& item) {
        indent(item.depth);
        out += "<folder";
        appendDate(item.added);
        out += ">\n";
        indent(item.depth + 1);
        out += "<title>";
        out += escapeMarkup(item.title, false);
        out += "</title>\n";
    }

    void link(const BookmarkItem& item) {
        indent(item.depth);
        out += "<bookmark href=\"";
        out += escapeMarkup(item.url, true);
        out += '"';
        appendDate(item.added);
        out += "><title>";
        out += escapeMarkup(item.title, false);
        out += "</title></bookmark>\n";
    }

    void separator(const BookmarkItem& item) {
        indent(item.depth);
        out += "<separator/>\n";
    }

    void closeFolder(int depth) {
        indent(depth);
        out += "</folder>\n";
    }
};

} // namespace

std::string writeXbel(const BookmarkTree& tree) {
    std::string out =
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
        "<!DOCTYPE xbel PUBLIC \"+//IDN python.org//DTD XML Bookmark Exchange "
        "Language 1.0//EN//XML\" \"http://www.python.org/topics/xml/dtds/xbel-1.0.dtd\">\n"
        "<xbel version=\"1.0\">\n";
    XbelEmitter emitter{out};
    walkBookmarks(tree, emitter);
    out += "</xbel>\n";
    return out;
}
