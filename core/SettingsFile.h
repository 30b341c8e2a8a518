#pragma once

#include <string>
#include <vector>

// A plain INI file with private-profile semantics: "[Section]" headers and
// "Key=Value" lines, section and key names compared without regard to ASCII
// case, a missing file or key giving the caller's default. Sections and keys
// the program does not know are kept when the file is written back; the file
// is replaced atomically.
class SettingsFile {
public:
    SettingsFile() = default;
    explicit SettingsFile(std::string path) : m_path(std::move(path)) {}

    // Reads the file; a missing or unreadable file gives an empty one.
    void load();
    // Writes the file atomically; returns false when it could not be written.
    bool save() const;

    const std::string& path() const { return m_path; }
    void setPath(std::string path) { m_path = std::move(path); }

    std::string stringValue(const std::string& section, const std::string& key,
                            const std::string& def = {}) const;
    // Leading whitespace and sign, then decimal digits, like GetPrivateProfileInt.
    int intValue(const std::string& section, const std::string& key, int def) const;
    void setStringValue(const std::string& section, const std::string& key,
                        const std::string& value);
    void setIntValue(const std::string& section, const std::string& key, int value);
    void removeKey(const std::string& section, const std::string& key);
    void removeSection(const std::string& section);
    bool hasSection(const std::string& section) const;

    // The file's text as save() writes it.
    std::string toText() const;
    void fromText(const std::string& text);

private:
    struct Entry {
        std::string key;   // empty for lines kept verbatim (comments)
        std::string value; // or the verbatim line
    };
    struct Section {
        std::string name;
        std::vector<Entry> entries;
    };
    Section* find(const std::string& name);
    const Section* find(const std::string& name) const;

    std::string m_path;
    std::vector<Section> m_sections; // the first may have an empty name: lines before any header
};

// Where the settings file lives: $XDG_CONFIG_HOME/linkfold.ini, or
// ~/.config/linkfold.ini when XDG_CONFIG_HOME is unset or empty.
std::string defaultIniPath();
