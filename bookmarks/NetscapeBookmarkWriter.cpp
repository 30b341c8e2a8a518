#include "bookmarks/NetscapeBookmarkWriter.h"

#include "bookmarks/BookmarkWalk.h"
#include "bookmarks/MarkupEscape.h"

namespace {

struct NetscapeEmitter {
    std::string& out;

    void indent(int depth) { out.append(static_cast<size_t>(depth + 1) * 4, ' '); }

    void appendDate(std::int64_t added) {
        if (added <= 0)
            return;
        out += " ADD_DATE=\"";
        out += std::to_string(added);
        out += '"';
    }

    void openFolder(const BookmarkItem& item) {
        indent(item.depth);
        out += "<DT><H3";
        appendDate(item.added);
        if (item.toolbar)
            out += " PERSONAL_TOOLBAR_FOLDER=\"true\"";
        out += '>';
        out += escapeMarkup(item.title, false);
        out += "</H3>\n";
        indent(item.depth);
        out += "<DL><p>\n";
    }

    void link(const BookmarkItem& item) {
        indent(item.depth);
        out += "<DT><A HREF=\"";
        out += escapeMarkup(item.url, true);
        out += '"';
        appendDate(item.added);
        out += '>';
        out += escapeMarkup(item.title, false);
        out += "</A>\n";
    }

    void separator(const BookmarkItem& item) {
        indent(item.depth);
        out += "<HR>\n";
    }

    void closeFolder(int depth) {
        indent(depth);
        out += "</DL><p>\n";
    }
};

} // namespace

std::string writeNetscapeBookmarks(const BookmarkTree& tree) {
    std::string out = "<!DOCTYPE NETSCAPE-Bookmark-file-1>\n"
                      "<!-- This is an automatically generated file.\n"
                      "     It will be read and overwritten.\n"
                      "     DO NOT EDIT! -->\n"
                      "<META HTTP-EQUIV=\"Content-Type\" CONTENT=\"text/html; charset=UTF-8\">\n"
                      "<TITLE>Bookmarks</TITLE>\n"
                      "<H1>Bookmarks</H1>\n"
                      "<DL><p>\n";
    NetscapeEmitter emitter{out};
    walkBookmarks(tree, emitter);
    out += "</DL><p>\n";
    return out;
}
