// The compact link store at every size its buffers take: from the heap, and
// mapped from the kernel in huge pages once large, growing from one to the
// other and shrinking back.
#include "TestUtil.h"

#include "core/BufferMemory.h"
#include "core/LinkList.h"
#include "core/Project.h"
#include "core/ProjectFile.h"

#include <string>
#include <vector>

namespace {

struct Size {
    const char* name;
    size_t links;
    size_t textLength; // of each description and each URL, about
};

// Small; texts mapped but end offsets not; end offsets mapped too; texts
// in several huge pages.
const Size kSizes[] = {
    {"small", 10, 8},
    {"long texts", 1000, 1100},
    {"many short links", 300000, 0},
    {"huge pages", 150000, 20},
};

std::vector<Link> makeLinks(const Size& size, const std::string& tag) {
    std::vector<Link> links;
    for (size_t i = 0; i < size.links; ++i) {
        const std::string n = std::to_string(i);
        // Empty texts now and then: offsets that do not move.
        links.emplace_back(i % 7 == 3 ? "" : std::string(size.textLength, 'd') + tag + n,
                           i % 11 == 5 ? "" : std::string(size.textLength, 'u') + n);
    }
    return links;
}

} // namespace

TEST(LinkList, EditsAtEverySize) {
    for (const Size& size : kSizes) {
        SCOPED_TRACE(size.name);
        const std::vector<Link> model = makeLinks(size, "");
        LinkList list;
        for (const Link& link : model)
            list.push_back(link);
        ASSERT_EQ(list.toVector(), model);

        LinkList copy(list);
        EXPECT_EQ(copy, list);

        // Every third row out and back in.
        std::vector<size_t> rows;
        for (size_t i = 0; i < model.size(); i += 3)
            rows.push_back(i);
        const LinkList removed = list.erase(rows);
        ASSERT_EQ(removed.size(), rows.size());
        EXPECT_EQ(list.size(), model.size() - rows.size());
        EXPECT_EQ(list.view(0).url, model[1].url);
        list.insert(rows, removed);
        EXPECT_EQ(list, copy);

        // New texts for the same rows, then the old ones back.
        const std::vector<Link> other = makeLinks(size, "x");
        std::vector<Link> replacement;
        for (size_t row : rows)
            replacement.push_back(other[row]);
        const LinkList old = list.replace(rows, LinkList(replacement));
        EXPECT_EQ(list[rows.back()], other[rows.back()]);
        list.replace(rows, old);
        EXPECT_EQ(list, copy);

        // All but the last row out: a mapped buffer keeps only a page.
        std::vector<size_t> most;
        for (size_t i = 0; i + 1 < model.size(); ++i)
            most.push_back(i);
        list.erase(most);
        list.shrinkToFit();
        EXPECT_EQ(list.toVector(), std::vector<Link>{model.back()});

        LinkList moved(std::move(copy));
        EXPECT_EQ(moved.toVector(), model);
        moved.clear();
        EXPECT_TRUE(moved.empty());
        moved.push_back(model.front());
        EXPECT_EQ(moved.toVector(), std::vector<Link>{model.front()});
    }
}

// The reader fills a group's buffers straight from the file: every size
// comes back as written, and nothing stays mapped once the project is gone.
TEST(LinkList, ReadGroupsAtEverySize) {
    const size_t mappedBefore = buffer_memory::mappedBytes();
    for (const Size& size : kSizes) {
        SCOPED_TRACE(size.name);
        Project doc;
        doc.setLinks(0, makeLinks(size, ""));
        doc.setLinks(9, makeLinks(size, "\u00E9"));
        const std::string bytes = serializeProject(doc);
        {
            Project back;
            MemorySource source(bytes.data(), bytes.size());
            ASSERT_EQ(readProjectRecords(source, back).status, ReadStatus::Ok);
            EXPECT_EQ(back.links(0), doc.links(0));
            EXPECT_EQ(back.links(9), doc.links(9));
        }
    }
    EXPECT_EQ(buffer_memory::mappedBytes(), mappedBefore);
}
