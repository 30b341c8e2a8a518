#pragma once

#include "core/FileError.h"
#include "core/SystemCalls.h"

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

// A plain INI file: "[Section]" headers and "Key=Value" lines, section and
// key names compared without regard to ASCII case, the first of two equal
// keys winning, a missing file or key giving the caller's default. Values
// are bytes: a path that is not valid UTF-8 is kept as it is.
//
// Everything the program does not change is written back exactly as it was
// read: unknown sections and keys, comments, blank lines, spacing, line ends
// and lines it cannot make sense of (a "[]" header stays a header of its
// own). Reading and writing take time linear in the file's size and memory
// within a small multiple of it. The file is replaced atomically.
//
// The program's own file is a few kilobytes. A file over kMaxSize is not
// its work and is not read: reading it would cost start-up time and many
// times its size in memory for nothing the program uses. It is then never
// written either, so that none of its lines is lost.
class SettingsFile {
public:
    SettingsFile() = default;
    explicit SettingsFile(std::string path) : m_path(std::move(path)) {}

    static constexpr std::size_t kMaxSize = std::size_t{1024} * 1024;

    // Reads the file; a missing or unreadable file gives an empty one.
    // Returns false when the file is larger than kMaxSize: it is left unread
    // and the settings start empty.
    bool load(SystemCalls& ops = systemCalls());
    // Whether the last load() left the file unread for its size.
    bool tooLarge() const { return m_tooLarge; }
    // Writes the file atomically, making missing folders first; refuses (as
    // too large, writing nothing) when load() left the file unread.
    FileResult save(SystemCalls& ops = systemCalls()) const;

    const std::string& path() const { return m_path; }
    void setPath(std::string path) { m_path = std::move(path); }

    std::string stringValue(const std::string& section, const std::string& key,
                            const std::string& def = {}) const;
    // Leading whitespace and sign, then decimal digits; what follows them is
    // ignored, no digits give 0.
    int intValue(const std::string& section, const std::string& key, int def) const;
    void setStringValue(const std::string& section, const std::string& key,
                        const std::string& value);
    void setIntValue(const std::string& section, const std::string& key, int value);
    // Removes every line of the key in every section of that name.
    void removeKey(const std::string& section, const std::string& key);
    void removeSection(const std::string& section);
    bool hasSection(const std::string& section) const;

    // The file's text as save() writes it.
    std::string toText() const;
    void fromText(std::string_view text);

private:
    // One line as read or as last set, without its LF; a run of lines that
    // are neither headers nor keys is kept as one piece.
    struct Line {
        std::string text;
        bool isKey = false;
        unsigned keyBegin = 0, keyLength = 0, valueBegin = 0, valueLength = 0;
        std::string_view key() const { return std::string_view(text).substr(keyBegin, keyLength); }
        std::string_view value() const {
            return std::string_view(text).substr(valueBegin, valueLength);
        }
    };
    struct Section {
        // The header line as read, or for a section made by the program its
        // name; empty for the lines before the first header.
        std::string header;
        bool made = false;
        std::vector<Line> lines;
        // Hash of the lower-case key -> line; only the first of equal keys.
        // Made with the first key: a file of many empty sections stays small.
        std::unique_ptr<std::unordered_multimap<std::size_t, std::size_t>> keys;
        // Empty before the first header and for "[]".
        std::string_view name() const;
        const Line* findKey(std::string_view key) const;
        void indexLine(std::size_t index);
    };

    const Line* findValue(const std::string& section, const std::string& key) const;
    void reindexSections();

    std::string m_path;
    bool m_tooLarge = false;
    std::vector<Section> m_sections;
    // The lower-case name -> sections of that name, in file order.
    std::unordered_map<std::string, std::vector<std::size_t>> m_index;
    const std::vector<std::size_t>& sectionsNamed(std::string_view name) const;
};

// Where the settings file lives: $XDG_CONFIG_HOME/linkfold.ini, or
// ~/.config/linkfold.ini when XDG_CONFIG_HOME is unset or empty.
std::string defaultIniPath();
