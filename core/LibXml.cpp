#include "core/LibXml.h"

#include "core/TextUtil.h"

#include <libxml/parser.h>
#include <libxml/parserInternals.h>

#include <mutex>

namespace libxml {

void init() {
    static std::once_flag once;
    std::call_once(once, [] {
        xmlInitParser();
        xmlParserMaxDepth = 1u << 30;
    });
}

std::string nodeText(const xmlNode* node) {
    std::string text;
    if (!node)
        return text;
    const xmlNode* cur = node->children;
    while (cur) {
        if ((cur->type == XML_TEXT_NODE || cur->type == XML_CDATA_SECTION_NODE) && cur->content)
            text += reinterpret_cast<const char*>(cur->content);
        if (cur->type == XML_ELEMENT_NODE && cur->children) {
            cur = cur->children;
            continue;
        }
        while (cur && cur != node && !cur->next)
            cur = cur->parent;
        if (!cur || cur == node)
            break;
        cur = cur->next;
    }
    return text;
}

std::string attribute(const xmlNode* node, const char* name) {
    xmlChar* value = xmlGetProp(node, reinterpret_cast<const xmlChar*>(name));
    if (!value)
        return {};
    std::string text(reinterpret_cast<const char*>(value));
    xmlFree(value);
    return text;
}

std::string eventAttribute(const xmlChar** atts, const char* name) {
    for (; atts && atts[0]; atts += 2)
        if (std::strcmp(reinterpret_cast<const char*>(atts[0]), name) == 0)
            return atts[1] ? reinterpret_cast<const char*>(atts[1]) : std::string();
    return {};
}

std::string elementName(const xmlNode* node) {
    if (!node || node->type != XML_ELEMENT_NODE || !node->name)
        return {};
    return reinterpret_cast<const char*>(node->name);
}

std::string errorLine(const xmlError* error) {
    if (!error || error->line <= 0)
        return {};
    return " (line " + std::to_string(error->line) + ")";
}

} // namespace libxml
