#include "core/DuplicateLinks.h"

#include "core/Project.h"
#include "core/UrlKey.h"

#include <ostream>
#include <unordered_map>

std::vector<DuplicateLinkSet> findDuplicateLinks(const Project& project) {
    std::vector<DuplicateLinkSet> sets;
    std::unordered_map<std::string, std::size_t> setOfKey;
    for (std::size_t g = 0; g < project.groups().size(); ++g) {
        const auto& links = project.groups()[g].links;
        for (std::size_t r = 0; r < links.size(); ++r) {
            std::string key = urlComparisonKey(links.url(r));
            if (key.empty())
                continue;
            const LinkPosition at{static_cast<int>(g), static_cast<int>(r)};
            auto [it, added] = setOfKey.try_emplace(std::move(key), sets.size());
            if (added)
                sets.push_back({it->first, {}});
            sets[it->second].links.push_back(at);
        }
    }
    std::erase_if(sets, [](const DuplicateLinkSet& s) { return s.links.size() < 2; });
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
