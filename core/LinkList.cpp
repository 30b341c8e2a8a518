#include "core/LinkList.h"

#include "core/BufferMemory.h"

#include <algorithm>
#include <cstring>
#include <limits>
#include <new>
#include <stdexcept>
#include <utility>

namespace {

constexpr size_t kMaxText = std::numeric_limits<std::uint32_t>::max();

} // namespace

LinkList::LinkList(const LinkList& other) {
    reallocate(other.m_size);
    if (other.m_size > 0)
        std::memcpy(m_text, other.m_text, other.m_size);
    m_size = other.m_size;
    reallocateEnds(other.m_endCount);
    if (other.m_endCount > 0)
        std::memcpy(m_ends, other.m_ends, other.m_endCount * sizeof *m_ends);
    m_endCount = other.m_endCount;
}

LinkList::LinkList(LinkList&& other) noexcept
    : m_text(std::exchange(other.m_text, nullptr)), m_size(std::exchange(other.m_size, 0)),
      m_capacity(std::exchange(other.m_capacity, 0)), m_ends(std::exchange(other.m_ends, nullptr)),
      m_endCount(std::exchange(other.m_endCount, 0)),
      m_endCapacity(std::exchange(other.m_endCapacity, 0)) {}

LinkList& LinkList::operator=(const LinkList& other) {
    if (this != &other) {
        LinkList copy(other);
        *this = std::move(copy);
    }
    return *this;
}

LinkList& LinkList::operator=(LinkList&& other) noexcept {
    if (this != &other) {
        clear();
        m_text = std::exchange(other.m_text, nullptr);
        m_size = std::exchange(other.m_size, 0);
        m_capacity = std::exchange(other.m_capacity, 0);
        m_ends = std::exchange(other.m_ends, nullptr);
        m_endCount = std::exchange(other.m_endCount, 0);
        m_endCapacity = std::exchange(other.m_endCapacity, 0);
    }
    return *this;
}

LinkList::~LinkList() {
    clear();
}

LinkList::LinkList(const std::vector<Link>& links) {
    for (const Link& link : links)
        push_back(link);
}

LinkList::LinkList(std::initializer_list<Link> links) {
    for (const Link& link : links)
        push_back(link);
}

void LinkList::clear() {
    buffer_memory::release(m_text, m_capacity);
    m_text = nullptr;
    m_size = m_capacity = 0;
    buffer_memory::release(reinterpret_cast<char*>(m_ends), m_endCapacity * sizeof *m_ends);
    m_ends = nullptr;
    m_endCount = m_endCapacity = 0;
}

void LinkList::reallocate(size_t capacity) {
    m_text = buffer_memory::resize(m_text, m_capacity, capacity, m_size);
    m_capacity = capacity;
}

void LinkList::reallocateEnds(size_t capacity) {
    if (capacity > std::numeric_limits<size_t>::max() / sizeof *m_ends)
        throw std::bad_alloc();
    // The buffers hold nothing but end offsets, written and read as such.
    m_ends =
        reinterpret_cast<std::uint32_t*>( // NOLINT(cppcoreguidelines-pro-type-reinterpret-cast)
            buffer_memory::resize(reinterpret_cast<char*>(m_ends), m_endCapacity * sizeof *m_ends,
                                  capacity * sizeof *m_ends, m_endCount * sizeof *m_ends));
    m_endCapacity = capacity;
}

void LinkList::growEnds(size_t n) {
    if (n > std::numeric_limits<size_t>::max() / 4 - m_endCount)
        throw std::bad_alloc();
    reallocateEnds(std::max({m_endCount + n, 2 * m_endCapacity, size_t{16}}));
}

void LinkList::reserveLinks(size_t n) {
    if (n > std::numeric_limits<size_t>::max() / 4 - m_endCount)
        throw std::bad_alloc();
    if (m_endCount + 2 * n > m_endCapacity)
        reallocateEnds(m_endCount + 2 * n);
}

char* LinkList::appendText(size_t n, size_t room) {
    if (n > kMaxText - m_size)
        throw std::length_error("LinkList: texts of 4 GiB");
    const size_t need = m_size + n;
    if (need > m_capacity)
        reallocate(std::min(std::max(need, room), kMaxText));
    char* at = m_text + m_size;
    m_size = need;
    return at;
}

void LinkList::emplace_back(std::string_view description, std::string_view url) {
    const size_t n = description.size() + url.size();
    if (m_endCount + 2 > m_endCapacity)
        growEnds(2);
    char* at = appendText(n, std::max<size_t>(2 * m_capacity, 64));
    if (!description.empty())
        std::memcpy(at, description.data(), description.size());
    if (!url.empty())
        std::memcpy(at + description.size(), url.data(), url.size());
    m_ends[m_endCount++] = static_cast<std::uint32_t>(m_size - url.size());
    m_ends[m_endCount++] = static_cast<std::uint32_t>(m_size);
}

void LinkList::finishLinks() {
    m_size = m_endCount == 0 ? 0 : m_ends[m_endCount - 1];
    if (m_endCount % 2 != 0)
        endText();
}

void LinkList::shrinkToFit() {
    if (m_size < m_capacity)
        reallocate(m_size);
    if (m_endCount < m_endCapacity)
        reallocateEnds(m_endCount);
}

std::vector<Link> LinkList::toVector() const {
    std::vector<Link> out;
    out.reserve(size());
    for (LinkView link : *this)
        out.emplace_back(std::string(link.description), std::string(link.url));
    return out;
}

bool LinkList::operator==(const LinkList& other) const {
    // Equal texts and equal ends mean equal links, whatever spare room
    // either buffer has.
    return m_endCount == other.m_endCount && m_size == other.m_size &&
           (m_endCount == 0 ||
            std::memcmp(m_ends, other.m_ends, m_endCount * sizeof *m_ends) == 0) &&
           (m_size == 0 || std::memcmp(m_text, other.m_text, m_size) == 0);
}

namespace {

// Room for the texts of `list` plus `extra` bytes, taken at once.
void reserveText(LinkList& list, size_t bytes) {
    if (bytes > 0) {
        list.appendText(bytes, bytes);
        list.truncateText(0);
    }
}

} // namespace

LinkList LinkList::erase(const std::vector<size_t>& rows) {
    LinkList kept;
    LinkList removed;
    reserveText(kept, m_size);
    kept.reserveLinks(size() - std::min(rows.size(), size()));
    removed.reserveLinks(rows.size());
    auto next = rows.begin();
    size_t row = 0;
    for (const LinkView link : *this) {
        if (next != rows.end() && *next == row) {
            removed.emplace_back(link.description, link.url);
            ++next;
        } else {
            kept.emplace_back(link.description, link.url);
        }
        ++row;
    }
    *this = std::move(kept);
    return removed;
}

void LinkList::insert(const std::vector<size_t>& rows, const LinkList& links) {
    LinkList out;
    reserveText(out, m_size + links.textSize());
    out.reserveLinks(size() + rows.size());
    auto from = begin();
    const auto last = end();
    auto added = links.begin();
    size_t i = 0;
    for (size_t row = 0; row < rows.size() + size(); ++row) {
        if (i < rows.size() && rows[i] == row) {
            const LinkView link = *added;
            out.emplace_back(link.description, link.url);
            ++added;
            ++i;
        } else if (from != last) {
            const LinkView link = *from;
            out.emplace_back(link.description, link.url);
            ++from;
        }
    }
    // Rows beyond the end (never asked for by the callers) go last.
    for (; i < rows.size(); ++i, ++added)
        out.emplace_back((*added).description, (*added).url);
    *this = std::move(out);
}

LinkList LinkList::replace(const std::vector<size_t>& rows, const LinkList& links) {
    LinkList out;
    LinkList old;
    reserveText(out, m_size + links.textSize());
    out.reserveLinks(size());
    old.reserveLinks(rows.size());
    auto next = rows.begin();
    auto with = links.begin();
    size_t row = 0;
    for (const LinkView link : *this) {
        if (next != rows.end() && *next == row) {
            old.emplace_back(link.description, link.url);
            const LinkView now = *with;
            out.emplace_back(now.description, now.url);
            ++next;
            ++with;
        } else {
            out.emplace_back(link.description, link.url);
        }
        ++row;
    }
    *this = std::move(out);
    return old;
}
