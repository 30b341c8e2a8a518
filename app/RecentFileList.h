#pragma once

#include <optional>
#include <string>
#include <vector>

class SettingsFile;

// The recent-file list: a fixed number of slots, most recent first, kept in
// the settings file's "Recent file List" section as File1..FileN. Paths are
// compared exactly, letter case included (two names differing in case are
// two files here).
class RecentFileList {
public:
    explicit RecentFileList(int size = 4);

    int size() const { return static_cast<int>(m_names.size()); }
    const std::string& operator[](int index) const { return m_names[static_cast<size_t>(index)]; }

    // Moves path to the top (or puts it there); the oldest entry falls off.
    void add(const std::string& path);
    // Removes the entry; the ones after it move up.
    void remove(int index);

    // The menu name of an entry: the file name alone when the file lies in
    // curDir (a folder ending in '/'), otherwise the path shortened to at most
    // maxLength characters by replacing folders in the middle with "...".
    // Nothing for an empty slot.
    std::optional<std::string> displayName(int index, const std::string& curDir,
                                           int maxLength = 30) const;

    // Missing keys give empty slots.
    void readList(const SettingsFile& ini);
    // Writes a key for each non-empty slot and removes the others, in place.
    void writeList(SettingsFile& ini) const;
    // Adds, after this list's names, those on disk that were not in the list
    // this program started with (another copy of it added them meanwhile).
    void mergeNewer(const RecentFileList& onDisk, const RecentFileList& atStart);

private:
    std::vector<std::string> m_names;
};

// The path shortened to at most maxLength characters: "/first/.../last
// folders/name". Only the file name when not even "/first/.../name" fits.
std::string abbreviatePath(const std::string& path, int maxLength);

inline constexpr const char* kRecentFileSection = "Recent File List";
