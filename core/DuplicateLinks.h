#pragma once

#include <iosfwd>
#include <string>
#include <vector>

class Project;

// Where one link sits in the project: group index 0..9 and row 0..n-1.
struct LinkPosition {
    int group = 0;
    int row = 0;

    bool operator==(const LinkPosition&) const = default;
};

// Links whose addresses lead to the same place (see urlComparisonKey).
struct DuplicateLinkSet {
    std::string key;                 // the comparison key they share, UTF-8
    std::vector<LinkPosition> links; // two or more, in project order
};

// Every set of two or more links with the same comparison key, ordered by
// the position of each set's first link. Links with empty addresses are left
// out. Looks at the project only: nothing is sent anywhere.
std::vector<DuplicateLinkSet> findDuplicateLinks(const Project& project);

// linkfold --duplicates: one tab-separated line per link of each set (set
// number from 1, group 1..10, row from 1, address), a blank line between
// sets; the count of sets and links to err. Returns the exit status: 0.
int writeDuplicateReport(const Project& project, std::ostream& out, std::ostream& err);
