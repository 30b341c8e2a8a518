#include "core/SettingsFile.h"

#include "core/AtomicFileWriter.h"
#include "core/TextUtil.h"

#include <cctype>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <sys/stat.h>

namespace {

std::string trim(const std::string& s) {
    return std::string(trimSpace(s));
}

void makeParentDirs(const std::string& path) {
    for (size_t pos = path.find('/', 1); pos != std::string::npos; pos = path.find('/', pos + 1))
        ::mkdir(path.substr(0, pos).c_str(), 0700);
}

} // namespace

SettingsFile::Section* SettingsFile::find(const std::string& name) {
    for (auto& s : m_sections)
        if (!s.name.empty() && equalNoCase(s.name, name))
            return &s;
    return nullptr;
}

const SettingsFile::Section* SettingsFile::find(const std::string& name) const {
    return const_cast<SettingsFile*>(this)->find(name);
}

void SettingsFile::load() {
    m_sections.clear();
    std::ifstream in(m_path, std::ios::binary);
    if (!in)
        return;
    std::stringstream ss;
    ss << in.rdbuf();
    fromText(ss.str());
}

void SettingsFile::fromText(const std::string& text) {
    m_sections.clear();
    std::istringstream in(text);
    std::string line;
    Section* current = nullptr;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        std::string t = trim(line);
        if (t.size() >= 2 && t.front() == '[') {
            auto close = t.find(']');
            std::string name =
                trim(t.substr(1, (close == std::string::npos ? t.size() : close) - 1));
            current = find(name);
            if (!current) {
                m_sections.push_back({name, {}});
                current = &m_sections.back();
            }
            continue;
        }
        if (!current) {
            if (m_sections.empty() || !m_sections.front().name.empty())
                m_sections.insert(m_sections.begin(), Section{});
            current = &m_sections.front();
        }
        auto eq = t.find('=');
        if (t.empty() || t[0] == ';' || eq == std::string::npos) {
            if (!t.empty())
                current->entries.push_back({{}, line});
            continue;
        }
        std::string key = trim(t.substr(0, eq));
        std::string value = trim(t.substr(eq + 1));
        bool replaced = false;
        for (auto& e : current->entries)
            if (!e.key.empty() && equalNoCase(e.key, key)) {
                replaced = true; // the first occurrence wins, as the system's reader does
                break;
            }
        if (!replaced && !key.empty())
            current->entries.push_back({key, value});
    }
}

std::string SettingsFile::toText() const {
    std::string out;
    for (const auto& s : m_sections) {
        if (!s.name.empty()) {
            if (!out.empty())
                out += '\n';
            out += '[' + s.name + "]\n";
        }
        for (const auto& e : s.entries)
            out += e.key.empty() ? e.value + '\n' : e.key + '=' + e.value + '\n';
    }
    return out;
}

bool SettingsFile::save() const {
    makeParentDirs(m_path);
    std::string text = toText();
    AtomicFileWriter file;
    return file.open(m_path) && file.write(text.data(), text.size()) && file.commit();
}

std::string SettingsFile::stringValue(const std::string& section, const std::string& key,
                                      const std::string& def) const {
    if (const Section* s = find(section))
        for (const auto& e : s->entries)
            if (!e.key.empty() && equalNoCase(e.key, key))
                return e.value;
    return def;
}

int SettingsFile::intValue(const std::string& section, const std::string& key, int def) const {
    const Section* s = find(section);
    if (!s)
        return def;
    for (const auto& e : s->entries) {
        if (e.key.empty() || !equalNoCase(e.key, key))
            continue;
        const std::string& v = e.value;
        size_t i = 0;
        bool neg = false;
        if (i < v.size() && (v[i] == '-' || v[i] == '+'))
            neg = v[i++] == '-';
        long long n = 0;
        while (i < v.size() && std::isdigit(static_cast<unsigned char>(v[i])) && n < (1LL << 32))
            n = n * 10 + (v[i++] - '0');
        return static_cast<int>(static_cast<unsigned int>(neg ? -n : n));
    }
    return def;
}

void SettingsFile::setStringValue(const std::string& section, const std::string& key,
                                  const std::string& value) {
    Section* s = find(section);
    if (!s) {
        m_sections.push_back({section, {}});
        s = &m_sections.back();
    }
    for (auto& e : s->entries)
        if (!e.key.empty() && equalNoCase(e.key, key)) {
            e.value = value;
            return;
        }
    s->entries.push_back({key, value});
}

void SettingsFile::setIntValue(const std::string& section, const std::string& key, int value) {
    setStringValue(section, key, std::to_string(value));
}

void SettingsFile::removeKey(const std::string& section, const std::string& key) {
    if (Section* s = find(section))
        std::erase_if(s->entries,
                      [&](const Entry& e) { return !e.key.empty() && equalNoCase(e.key, key); });
}

void SettingsFile::removeSection(const std::string& section) {
    std::erase_if(m_sections, [&](const Section& s) {
        return !s.name.empty() && equalNoCase(s.name, section);
    });
}

bool SettingsFile::hasSection(const std::string& section) const {
    return find(section) != nullptr;
}

std::string defaultIniPath() {
    const char* xdg = std::getenv("XDG_CONFIG_HOME");
    std::string dir;
    if (xdg && *xdg) {
        dir = xdg;
    } else {
        const char* home = std::getenv("HOME");
        dir = std::string(home && *home ? home : ".") + "/.config";
    }
    return dir + "/linkfold.ini";
}
