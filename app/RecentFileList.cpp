#include "app/RecentFileList.h"

#include "core/SettingsFile.h"

#include <algorithm>

RecentFileList::RecentFileList(int size) : m_names(static_cast<size_t>(std::max(1, size))) {}

void RecentFileList::add(const std::string& path) {
    if (path.empty())
        return;
    auto it = std::find(m_names.begin(), m_names.end(), path);
    if (it == m_names.end())
        it = m_names.end() - 1;
    std::rotate(m_names.begin(), it, it + 1);
    m_names.front() = path;
}

void RecentFileList::remove(int index) {
    if (index < 0 || index >= size())
        return;
    m_names.erase(m_names.begin() + index);
    m_names.emplace_back();
}

std::string abbreviatePath(const std::string& path, int maxLength) {
    const int full = static_cast<int>(path.size());
    if (maxLength >= full)
        return path;
    const size_t slash = path.rfind('/');
    std::string fileName = slash == std::string::npos ? path : path.substr(slash + 1);
    const int nameLen = static_cast<int>(fileName.size());
    if (slash == std::string::npos || maxLength < nameLen)
        return fileName;

    // The leading part kept whole: the first folder, when there is a folder
    // beyond it ("/home" of "/home/me/x.lfp"); just the root otherwise.
    size_t volEnd = 0;
    if (slash > 0 && path[0] == '/') {
        size_t next = path.find('/', 1);
        if (next != std::string::npos && next < slash)
            volEnd = next;
    } else if (path[0] != '/') {
        size_t first = path.find('/');
        if (first < slash)
            volEnd = first;
    }
    const int volLen = static_cast<int>(volEnd);
    if (maxLength < volLen + 5 + nameLen)
        return fileName;

    // drop whole folders after the leading part until "<lead>/...<rest>" fits.
    size_t cur = volEnd;
    while (volLen + 4 + static_cast<int>(path.size() - cur) > maxLength)
        cur = path.find('/', cur + 1);
    return path.substr(0, volEnd) + "/..." + path.substr(cur);
}

std::optional<std::string> RecentFileList::displayName(int index, const std::string& curDir,
                                                       int maxLength) const {
    if (index < 0 || index >= size() || m_names[static_cast<size_t>(index)].empty())
        return std::nullopt;
    const std::string& path = m_names[static_cast<size_t>(index)];
    const size_t slash = path.rfind('/');
    const size_t dirLen = slash == std::string::npos ? 0 : slash + 1;
    if (dirLen == curDir.size() && path.compare(0, dirLen, curDir) == 0)
        return path.substr(dirLen);
    return abbreviatePath(path, maxLength);
}

void RecentFileList::readList(const SettingsFile& ini) {
    for (int i = 0; i < size(); ++i)
        m_names[static_cast<size_t>(i)] =
            ini.stringValue(kRecentFileSection, "File" + std::to_string(i + 1));
}

void RecentFileList::writeList(SettingsFile& ini) const {
    // In place: the section keeps its position and its unchanged lines.
    for (int i = 0; i < size(); ++i) {
        const std::string key = "File" + std::to_string(i + 1);
        const std::string& name = m_names[static_cast<size_t>(i)];
        if (name.empty())
            ini.removeKey(kRecentFileSection, key);
        else
            ini.setStringValue(kRecentFileSection, key, name);
    }
}

void RecentFileList::mergeNewer(const RecentFileList& onDisk, const RecentFileList& atStart) {
    std::vector<std::string> merged;
    auto has = [](const std::vector<std::string>& v, const std::string& s) {
        return std::find(v.begin(), v.end(), s) != v.end();
    };
    for (const std::string& name : m_names)
        if (!name.empty())
            merged.push_back(name);
    // Names another copy of the program added since this one started; what
    // this copy removed from its own list stays removed.
    for (const std::string& name : onDisk.m_names)
        if (!name.empty() && !has(merged, name) && !has(atStart.m_names, name))
            merged.push_back(name);
    merged.resize(m_names.size());
    m_names = std::move(merged);
}
