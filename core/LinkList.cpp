#include "core/LinkList.h"

#include <limits>
#include <stdexcept>

namespace {

constexpr size_t kMaxText = std::numeric_limits<std::uint32_t>::max();

} // namespace

LinkList::LinkList(const std::vector<Link>& links) {
    for (const Link& link : links)
        push_back(link);
}

LinkList::LinkList(std::initializer_list<Link> links) {
    for (const Link& link : links)
        push_back(link);
}

void LinkList::clear() {
    std::string().swap(m_text);
    std::deque<std::uint32_t>().swap(m_ends);
}

void LinkList::emplace_back(std::string_view description, std::string_view url) {
    if (description.size() + url.size() > kMaxText - m_text.size())
        throw std::length_error("LinkList: texts of 4 GiB");
    m_text += description;
    m_ends.push_back(static_cast<std::uint32_t>(m_text.size()));
    m_text += url;
    m_ends.push_back(static_cast<std::uint32_t>(m_text.size()));
}

void LinkList::endText() {
    if (m_text.size() > kMaxText)
        throw std::length_error("LinkList: texts of 4 GiB");
    m_ends.push_back(static_cast<std::uint32_t>(m_text.size()));
}

void LinkList::finishLinks() {
    m_text.resize(m_ends.empty() ? 0 : m_ends.back());
    if (m_ends.size() % 2 != 0)
        endText();
}

std::vector<Link> LinkList::toVector() const {
    std::vector<Link> out;
    out.reserve(size());
    for (LinkView link : *this)
        out.emplace_back(std::string(link.description), std::string(link.url));
    return out;
}

bool LinkList::operator==(const LinkList& other) const {
    // Equal texts and equal ends mean equal links; the buffers may differ
    // only in spare capacity.
    return m_ends == other.m_ends && m_text == other.m_text;
}
