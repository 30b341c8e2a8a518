#include "bookmarks/NetscapeBookmarkWriter.h"

#include "bookmarks/MarkupEscape.h"

namespace {

void indent(std::string& out, int depth) {
    out.append(static_cast<size_t>(depth + 1) * 4, ' ');
}

void appendDate(std::string& out, std::int64_t added) {
    if (added <= 0)
        return;
    out += " ADD_DATE=\"";
    out += std::to_string(added);
    out += '"';
}

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
    int open = 0; // folder lists open below the top one
    auto closeTo = [&](int depth) {
        while (open > depth) {
            --open;
            indent(out, open);
            out += "</DL><p>\n";
        }
    };
    for (const BookmarkItem& item : tree.items()) {
        closeTo(item.depth);
        indent(out, item.depth);
        switch (item.kind) {
        case BookmarkKind::Folder:
            out += "<DT><H3";
            appendDate(out, item.added);
            if (item.toolbar)
                out += " PERSONAL_TOOLBAR_FOLDER=\"true\"";
            out += '>';
            out += escapeMarkup(item.title, false);
            out += "</H3>\n";
            indent(out, item.depth);
            out += "<DL><p>\n";
            ++open;
            break;
        case BookmarkKind::Link:
            out += "<DT><A HREF=\"";
            out += escapeMarkup(item.url, true);
            out += '"';
            appendDate(out, item.added);
            out += '>';
            out += escapeMarkup(item.title, false);
            out += "</A>\n";
            break;
        case BookmarkKind::Separator:
            out += "<HR>\n";
            break;
        }
    }
    closeTo(0);
    out += "</DL><p>\n";
    return out;
}
