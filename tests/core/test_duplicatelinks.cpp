#include "TestUtil.h"
#include "UrlKeyCases.h"

#include "core/DuplicateLinks.h"
#include "core/Project.h"

#include <sstream>

namespace {

// "g.r" for each link of each set, sets separated by " | ".
std::string describe(const std::vector<DuplicateLinkSet>& sets) {
    std::string out;
    for (const DuplicateLinkSet& set : sets) {
        if (!out.empty())
            out += " | ";
        for (size_t i = 0; i < set.links.size(); ++i)
            out += (i ? " " : "") + std::to_string(set.links[i].group) + "." +
                   std::to_string(set.links[i].row);
    }
    return out;
}

} // namespace

// The shared same-URL table: two links, group 0 row 0 and group 3 row 0.
TEST(DuplicateLinks, SameRuleTable) {
    for (const UrlKeyCase& c : kUrlKeyCases) {
        Project doc;
        doc.addLink(0, "A", c.a);
        doc.addLink(3, "B", c.b);
        EXPECT_EQ(describe(findDuplicateLinks(doc)), c.same ? "0.0 3.0" : "")
            << c.a << " vs " << c.b;
    }
}

TEST(DuplicateLinks, FragmentsAndEmptyAddresses) {
    const struct {
        const char* a;
        const char* b;
        bool same;
    } cases[] = {
        {"http://example.com/a#top", "http://example.com/a", false},
        {"http://example.com/a#top", "http://example.com/a#top", true},
        {"", "", false}, // empty addresses are no duplicates
        {"  ", "", false},
    };
    for (const auto& c : cases) {
        Project doc;
        doc.addLink(0, "A", c.a);
        doc.addLink(3, "B", c.b);
        EXPECT_EQ(describe(findDuplicateLinks(doc)), c.same ? "0.0 3.0" : "")
            << c.a << " vs " << c.b;
    }
}

// Many sets, interleaved, with a thousand distinct links between them: each
// set whole and in project order, the sets ordered by their first link.
TEST(DuplicateLinks, ManySetsAmongDistinctLinks) {
    Project doc;
    std::string expected;
    for (int i = 0; i < 1000; ++i)
        doc.addLink(i % 10, "u", "http://u.test/" + std::to_string(i));
    for (int s = 0; s < 50; ++s) {
        doc.addLink(1, "s", "http://s.test/" + std::to_string(s));
        doc.addLink(7, "s", "HTTP://S.TEST:80/" + std::to_string(s));
    }
    for (int s = 0; s < 50; ++s)
        expected +=
            (s ? " | 1." : "1.") + std::to_string(100 + s) + " 7." + std::to_string(100 + s);
    EXPECT_EQ(describe(findDuplicateLinks(doc)), expected);
}

TEST(DuplicateLinks, SetsInProjectOrderWithEveryMember) {
    Project doc;
    doc.addLink(0, "x", "http://x.test/");
    doc.addLink(0, "y", "http://y.test/");
    doc.addLink(0, "unique", "http://u.test/");
    doc.addLink(1, "y again", "HTTP://Y.TEST");
    doc.addLink(2, "x again", "http://x.test");
    doc.addLink(2, "x thrice", "http://x.test:80/");
    // Windows-1252 bytes in the model: the same text twice still matches.
    doc.addLink(4, "e1", "http://e.test/caf\xe9");
    doc.addLink(4, "e2", "http://e.test/caf\xe9");
    EXPECT_EQ(describe(findDuplicateLinks(doc)), "0.0 2.0 2.1 | 0.1 1.0 | 4.0 4.1");
}

TEST(DuplicateLinks, ReportLinesAndSummary) {
    Project doc;
    doc.addLink(0, "a", "http://a.test/");
    doc.addLink(1, "a", "http://A.test");
    doc.addLink(9, "b", "http://b.test/\tx");
    doc.addLink(9, "b", "http://b.test/\tx");
    std::ostringstream out, err;
    EXPECT_EQ(writeDuplicateReport(doc, out, err), 0);
    EXPECT_EQ(out.str(), "1\t1\t1\thttp://a.test/\n"
                         "1\t2\t1\thttp://A.test\n"
                         "\n"
                         "2\t10\t1\thttp://b.test/ x\n"
                         "2\t10\t2\thttp://b.test/ x\n");
    EXPECT_EQ(err.str(), "2 sets of duplicate links, 4 links\n");

    Project none;
    std::ostringstream out2, err2;
    writeDuplicateReport(none, out2, err2);
    EXPECT_EQ(out2.str(), "");
    EXPECT_EQ(err2.str(), "0 sets of duplicate links, 0 links\n");
}
