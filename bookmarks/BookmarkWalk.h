#pragma once

#include "bookmarks/BookmarkTree.h"

// The one walk over a tree for the writers of nested markup (bookmark HTML,
// XBEL): the emitter is handed every item in document order, and the end of
// each folder once its contents are done, so a writer says only how each
// piece is spelt. The emitter has
//   openFolder(const BookmarkItem&), link(const BookmarkItem&),
//   separator(const BookmarkItem&) and closeFolder(int depth),
// depth being the closed folder's own.
template <class Emitter> void walkBookmarks(const BookmarkTree& tree, Emitter& emit) {
    int open = 0; // folders entered and not yet closed
    for (const BookmarkItem& item : tree.items()) {
        while (open > item.depth)
            emit.closeFolder(--open);
        switch (item.kind) {
        case BookmarkKind::Folder:
            emit.openFolder(item);
            ++open;
            break;
        case BookmarkKind::Link:
            emit.link(item);
            break;
        case BookmarkKind::Separator:
            emit.separator(item);
            break;
        }
    }
    while (open > 0)
        emit.closeFolder(--open);
}
