#include "core/DuplicateLinks.h"

#include "core/BufferMemory.h"
#include "core/Project.h"
#include "core/UrlKey.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <limits>
#include <ostream>
#include <utility>

namespace {

constexpr std::uint32_t kNone = std::numeric_limits<std::uint32_t>::max();

// A 64-bit hash of a key, eight bytes at a time.
std::uint64_t hashKey(std::string_view key) {
    constexpr std::uint64_t kMul = 0x9E3779B97F4A7C15ULL;
    std::uint64_t h = key.size() * kMul;
    std::size_t i = 0;
    for (; i + 8 <= key.size(); i += 8) {
        std::uint64_t word = 0;
        std::memcpy(&word, key.data() + i, 8);
        h = (h ^ word) * kMul;
        h ^= h >> 29;
    }
    std::uint64_t word = 0;
    std::memcpy(&word, key.data() + i, key.size() - i);
    h = (h ^ word) * kMul;
    h ^= h >> 32;
    h *= 0xD6E8FEB86659FD93ULL;
    h ^= h >> 32;
    return h;
}

// An array of n zeroed values on memory of its own (huge pages when large:
// the table is probed at random, and a page walk per probe would cost more
// than the probe).
template <typename T> class ZeroedArray {
public:
    explicit ZeroedArray(std::size_t n) : m_bytes(n * sizeof(T)) {
        m_data = reinterpret_cast<T*>(buffer_memory::resize(nullptr, 0, m_bytes, 0));
        if (m_data)
            std::memset(static_cast<void*>(m_data), 0, m_bytes);
    }
    ~ZeroedArray() { buffer_memory::release(reinterpret_cast<char*>(m_data), m_bytes); }
    ZeroedArray(const ZeroedArray&) = delete;
    ZeroedArray& operator=(const ZeroedArray&) = delete;
    T& operator[](std::size_t i) { return m_data[i]; }

private:
    std::size_t m_bytes;
    T* m_data;
};

// The project's links numbered in project order, group by group.
class LinkNumbers {
public:
    explicit LinkNumbers(const Project& project) : m_project(project) {
        std::size_t total = 0;
        for (std::size_t g = 0; g < project.groups().size(); ++g) {
            m_starts[g] = total;
            total += project.groups()[g].links.size();
        }
        m_total = total;
    }
    std::size_t total() const { return m_total; }
    LinkPosition position(std::size_t n) const {
        std::size_t g = 0;
        while (g + 1 < m_project.groups().size() && m_starts[g + 1] <= n)
            ++g;
        return {static_cast<int>(g), static_cast<int>(n - m_starts[g])};
    }
    std::string_view url(std::size_t n) const {
        const LinkPosition at = position(n);
        return m_project.linkList(at.group).url(static_cast<std::size_t>(at.row));
    }

private:
    const Project& m_project;
    std::size_t m_starts[kGroupCount] = {};
    std::size_t m_total = 0;
};

} // namespace

// Every link's key is hashed once into an open-addressing table that keeps,
// per hash, the first link seen; a later link with that hash is noted beside
// it as a pair. No key is kept and nothing is noted for a distinct URL: the
// few links that share a hash are keyed again to make sure they share the
// key too.
std::vector<DuplicateLinkSet> findDuplicateLinks(const Project& project) {
    const LinkNumbers numbers(project);
    const std::size_t total = numbers.total();
    if (total < 2 || total >= kNone)
        return {};
    // Slots hold the upper half of a hash and a link number + 1; 0 is free.
    const std::size_t slots = total + total / 2 + 1;
    ZeroedArray<std::uint64_t> table(slots);
    // (first link with the hash, a later one), in the later one's order.
    std::vector<std::pair<std::uint32_t, std::uint32_t>> later;
    // Keyed and hashed a batch at a time, the batch's slots fetched from
    // memory together before any is probed.
    constexpr std::size_t kBatch = 32;
    std::uint64_t hashes[kBatch];
    std::uint32_t linkOf[kBatch];
    std::size_t batch = 0;
    const auto homeOf = [slots](std::uint64_t h) {
        return static_cast<std::size_t>(((h & 0xFFFFFFFFULL) * slots) >> 32);
    };
    const auto insertBatch = [&] {
        for (std::size_t b = 0; b < batch; ++b) {
            const std::uint64_t tag = hashes[b] >> 32;
            std::size_t slot = homeOf(hashes[b]);
            while (table[slot] != 0 && (table[slot] >> 32) != tag)
                slot = slot + 1 == slots ? 0 : slot + 1;
            if (table[slot] == 0)
                table[slot] = (tag << 32) | (linkOf[b] + 1ULL);
            else
                later.emplace_back(static_cast<std::uint32_t>((table[slot] & 0xFFFFFFFFULL) - 1),
                                   linkOf[b]);
        }
        batch = 0;
    };
    std::string key;
    std::size_t n = 0;
    for (std::size_t g = 0; g < project.groups().size(); ++g) {
        const auto& links = project.groups()[g].links;
        for (std::size_t r = 0; r < links.size(); ++r, ++n) {
            urlComparisonKey(links.url(r), UrlFragment::Compare, key);
            if (key.empty())
                continue;
            const std::uint64_t h = hashKey(key);
            __builtin_prefetch(&table[homeOf(h)], 1);
            hashes[batch] = h;
            linkOf[batch] = static_cast<std::uint32_t>(n);
            if (++batch == kBatch)
                insertBatch();
        }
    }
    insertBatch();
    // Each first link's later ones together, both in project order.
    std::stable_sort(later.begin(), later.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });

    std::vector<DuplicateLinkSet> sets;
    std::vector<std::uint32_t> chain;
    std::vector<std::string> keys;
    for (std::size_t i = 0; i < later.size();) {
        chain.assign(1, later[i].first);
        for (; i < later.size() && later[i].first == chain.front(); ++i)
            chain.push_back(later[i].second);
        keys.clear();
        for (const std::uint32_t at : chain)
            keys.push_back(urlComparisonKey(numbers.url(at)));
        // Nearly always one key; a hash shared by chance splits here.
        std::vector<bool> taken(chain.size(), false);
        for (std::size_t first = 0; first < chain.size(); ++first) {
            if (taken[first])
                continue;
            DuplicateLinkSet set;
            for (std::size_t j = first; j < chain.size(); ++j) {
                if (!taken[j] && keys[j] == keys[first]) {
                    taken[j] = true;
                    set.links.push_back(numbers.position(chain[j]));
                }
            }
            if (set.links.size() >= 2) {
                set.key = std::move(keys[first]);
                sets.push_back(std::move(set));
            }
        }
    }
    // A set split off a shared hash starts later than the others: in order.
    std::sort(sets.begin(), sets.end(), [](const DuplicateLinkSet& a, const DuplicateLinkSet& b) {
        const LinkPosition& x = a.links.front();
        const LinkPosition& y = b.links.front();
        return x.group != y.group ? x.group < y.group : x.row < y.row;
    });
    return sets;
}

int writeDuplicateReport(const Project& project, std::ostream& out, std::ostream& err) {
    const std::vector<DuplicateLinkSet> sets = findDuplicateLinks(project);
    std::size_t links = 0;
    for (std::size_t i = 0; i < sets.size(); ++i) {
        if (i > 0)
            out << '\n';
        for (const LinkPosition& at : sets[i].links) {
            std::string url(project.linkList(at.group).url(static_cast<std::size_t>(at.row)));
            for (char& c : url)
                if (c == '\t' || c == '\n' || c == '\r')
                    c = ' ';
            out << (i + 1) << '\t' << (at.group + 1) << '\t' << (at.row + 1) << '\t' << url << '\n';
        }
        links += sets[i].links.size();
    }
    out.flush();
    err << sets.size() << (sets.size() == 1 ? " set" : " sets") << " of duplicate links, " << links
        << (links == 1 ? " link" : " links") << '\n';
    return 0;
}
