#pragma once

#include "core/Link.h"

#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

// A link's two texts as views into the list that holds them; valid until
// the list changes.
struct LinkView {
    std::string_view description;
    std::string_view url;
};

// The links of one group, stored compactly: every text back to back in one
// buffer, and for each link where its description and its URL end. A link
// costs its text bytes plus 8 bytes. Both buffers grow in place or by
// remapping their pages once they are large (core/BufferMemory.h), so the
// list does not copy itself while it grows. Links are
// read and added as values (Link) or looked at in place (LinkView). The
// texts of one list hold less than 4 GiB; more throws std::length_error.
class LinkList {
public:
    LinkList() = default;
    LinkList(const LinkList& other);
    LinkList(LinkList&& other) noexcept;
    LinkList& operator=(const LinkList& other);
    LinkList& operator=(LinkList&& other) noexcept;
    ~LinkList();
    LinkList(const std::vector<Link>& links);
    LinkList(std::initializer_list<Link> links);

    size_t size() const { return m_endCount / 2; }
    // Links the list holds before its end offsets must grow.
    size_t linkCapacity() const { return m_endCapacity / 2; }
    bool empty() const { return m_endCount == 0; }
    void clear();
    // Empties the list but keeps its buffers, for a reader that fills it
    // again.
    void clearKeepingRoom() {
        m_size = 0;
        m_endCount = 0;
    }

    std::string_view description(size_t i) const {
        return text(i == 0 ? 0 : m_ends[2 * i - 1], m_ends[2 * i]);
    }
    std::string_view url(size_t i) const { return text(m_ends[2 * i], m_ends[2 * i + 1]); }
    LinkView view(size_t i) const { return {description(i), url(i)}; }
    Link operator[](size_t i) const {
        return Link(std::string(description(i)), std::string(url(i)));
    }

    void push_back(const Link& link) { emplace_back(link.description, link.url); }
    void emplace_back(std::string_view description, std::string_view url);

    std::vector<Link> toVector() const;

    // Edits that rebuild the list in one pass (time in proportion to the
    // list). rows are ascending and in range.
    // Removes the rows and returns them in their order.
    LinkList erase(const std::vector<size_t>& rows);
    // Inserts links[i] so that it stands at rows[i] afterwards.
    void insert(const std::vector<size_t>& rows, const LinkList& links);
    // Gives rows[i] the texts of links[i] and returns the texts they had.
    LinkList replace(const std::vector<size_t>& rows, const LinkList& links);

    bool operator==(const LinkList& other) const;

    // Forward iteration over LinkViews, for the writers: walks the end
    // offsets in order instead of looking each link up.
    class const_iterator {
    public:
        using value_type = LinkView;
        using difference_type = std::ptrdiff_t;
        const_iterator() = default;
        const_iterator(const char* text, const std::uint32_t* end) : m_text(text), m_end(end) {}
        LinkView operator*() const {
            const std::uint32_t descriptionEnd = m_end[0];
            return {std::string_view(m_text + m_start, descriptionEnd - m_start),
                    std::string_view(m_text + descriptionEnd, m_end[1] - descriptionEnd)};
        }
        const_iterator& operator++() {
            m_start = m_end[1];
            m_end += 2;
            return *this;
        }
        const_iterator operator++(int) {
            const_iterator old = *this;
            ++*this;
            return old;
        }
        bool operator==(const const_iterator& other) const { return m_end == other.m_end; }

    private:
        const char* m_text = nullptr;
        const std::uint32_t* m_end = nullptr;
        std::uint32_t m_start = 0;
    };
    const_iterator begin() const { return {m_text, m_ends}; }
    const_iterator end() const { return {m_text, m_ends + m_endCount}; }

    // For the file reader, which writes texts straight into the buffer:
    // appendText(n, room) makes the texts n bytes longer (the buffer's
    // capacity at least room when it must grow) and returns where the new
    // bytes go; endText() after each description and each URL. After a
    // failed read finishLinks() drops text that never ended and completes a
    // link whose URL is missing with an empty one.
    size_t textSize() const { return m_size; }
    size_t textCapacity() const { return m_capacity; }
    char* textData() { return m_text; }
    char* appendText(size_t n, size_t room);
    void truncateText(size_t size) { m_size = size < m_size ? size : m_size; }
    void endText() {
        if (m_endCount == m_endCapacity)
            growEnds(1);
        m_ends[m_endCount++] = static_cast<std::uint32_t>(m_size);
    }
    void finishLinks();
    // Room for n more links' end offsets at once.
    void reserveLinks(size_t n);
    // Gives back unused buffer room, of the texts and of the end offsets,
    // once a list is complete.
    void shrinkToFit();

private:
    std::string_view text(std::uint32_t from, std::uint32_t to) const {
        return std::string_view(m_text + from, to - from);
    }
    void reallocate(size_t capacity);
    // Makes room for at least n more end offsets, doubling at least.
    void growEnds(size_t n);
    void reallocateEnds(size_t capacity);

    // Both buffers come from core/BufferMemory.h.
    char* m_text = nullptr; // m_capacity bytes, the first m_size in use
    size_t m_size = 0;
    size_t m_capacity = 0;
    std::uint32_t* m_ends = nullptr; // m_endCapacity offsets, the first m_endCount in use
    size_t m_endCount = 0;
    size_t m_endCapacity = 0;
};
