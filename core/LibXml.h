#pragma once

#include <libxml/tree.h>
#include <libxml/xmlerror.h>

#include <cstdint>
#include <cstring>
#include <memory>
#include <string>

// Small helpers for the code built on libxml2: the outside-text boundary,
// the URL key and the bookmark readers and writers.
namespace libxml {

// Initialises libxml2 once per process. Element nesting is not limited by
// the parser (the readers flatten deep folders themselves, walking the
// document without recursion); entity expansion keeps its limits.
void init();

struct DocDeleter {
    void operator()(xmlDoc* doc) const { xmlFreeDoc(doc); }
};
using DocPtr = std::unique_ptr<xmlDoc, DocDeleter>;

// The text and CDATA content below the node, in document order, without
// recursion. Entity references are not followed.
std::string nodeText(const xmlNode* node);
// The attribute's value, or empty.
std::string attribute(const xmlNode* node, const char* name);
// The element's name, or empty for other nodes.
std::string elementName(const xmlNode* node);
// For the parser's events: whether the element is `name`, and the value of
// attribute `name` among the event's name/value pairs, or empty.
inline bool isElement(const char* element, const char* name) {
    return std::strcmp(element, name) == 0;
}
std::string eventAttribute(const xmlChar** atts, const char* name);
// Visits the element tree below and including `top` in document order
// without recursion: enter(node) returns whether to visit the node's
// children; leave(node) follows every enter once the children are done.
template <typename Enter, typename Leave> void walk(xmlNode* top, Enter enter, Leave leave) {
    xmlNode* cur = top;
    while (cur) {
        if (enter(cur) && cur->children) {
            cur = cur->children;
            continue;
        }
        for (;;) {
            leave(cur);
            if (cur == top)
                return;
            if (cur->next) {
                cur = cur->next;
                break;
            }
            cur = cur->parent;
        }
    }
}

// " (line N)" for a libxml2 error, or nothing when it names no line. The
// library's own wording is not shown to the user.
std::string errorLine(const xmlError* error);

} // namespace libxml
