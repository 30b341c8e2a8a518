#include "model/IniFile.h"

#include "model/FileOps.h"
#include "model/TextUtil.h"

#include <cctype>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <sys/stat.h>

namespace {

std::string Trim(const std::string& s) {
    return std::string(TrimSpace(s));
}

void MakeParentDirs(const std::string& path) {
    for (size_t pos = path.find('/', 1); pos != std::string::npos; pos = path.find('/', pos + 1))
        ::mkdir(path.substr(0, pos).c_str(), 0700);
}

} // namespace

CIniFile::Section* CIniFile::Find(const std::string& name) {
    for (auto& s : m_sections)
        if (!s.name.empty() && EqualNoCase(s.name, name))
            return &s;
    return nullptr;
}

const CIniFile::Section* CIniFile::Find(const std::string& name) const {
    return const_cast<CIniFile*>(this)->Find(name);
}

void CIniFile::Load() {
    m_sections.clear();
    std::ifstream in(m_path, std::ios::binary);
    if (!in)
        return;
    std::stringstream ss;
    ss << in.rdbuf();
    FromText(ss.str());
}

void CIniFile::FromText(const std::string& text) {
    m_sections.clear();
    std::istringstream in(text);
    std::string line;
    Section* current = nullptr;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        std::string t = Trim(line);
        if (t.size() >= 2 && t.front() == '[') {
            auto close = t.find(']');
            std::string name =
                Trim(t.substr(1, (close == std::string::npos ? t.size() : close) - 1));
            current = Find(name);
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
        std::string key = Trim(t.substr(0, eq));
        std::string value = Trim(t.substr(eq + 1));
        bool replaced = false;
        for (auto& e : current->entries)
            if (!e.key.empty() && EqualNoCase(e.key, key)) {
                replaced = true; // the first occurrence wins, as the system's reader does
                break;
            }
        if (!replaced && !key.empty())
            current->entries.push_back({key, value});
    }
}

std::string CIniFile::ToText() const {
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

bool CIniFile::Save() const {
    MakeParentDirs(m_path);
    std::string text = ToText();
    CSafeFileWriter file;
    return file.Open(m_path) && file.Write(text.data(), text.size()) && file.Commit();
}

std::string CIniFile::GetString(const std::string& section, const std::string& key,
                                const std::string& def) const {
    if (const Section* s = Find(section))
        for (const auto& e : s->entries)
            if (!e.key.empty() && EqualNoCase(e.key, key))
                return e.value;
    return def;
}

int CIniFile::GetInt(const std::string& section, const std::string& key, int def) const {
    const Section* s = Find(section);
    if (!s)
        return def;
    for (const auto& e : s->entries) {
        if (e.key.empty() || !EqualNoCase(e.key, key))
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

void CIniFile::SetString(const std::string& section, const std::string& key,
                         const std::string& value) {
    Section* s = Find(section);
    if (!s) {
        m_sections.push_back({section, {}});
        s = &m_sections.back();
    }
    for (auto& e : s->entries)
        if (!e.key.empty() && EqualNoCase(e.key, key)) {
            e.value = value;
            return;
        }
    s->entries.push_back({key, value});
}

void CIniFile::SetInt(const std::string& section, const std::string& key, int value) {
    SetString(section, key, std::to_string(value));
}

void CIniFile::RemoveKey(const std::string& section, const std::string& key) {
    if (Section* s = Find(section))
        std::erase_if(s->entries,
                      [&](const Entry& e) { return !e.key.empty() && EqualNoCase(e.key, key); });
}

void CIniFile::RemoveSection(const std::string& section) {
    std::erase_if(m_sections, [&](const Section& s) {
        return !s.name.empty() && EqualNoCase(s.name, section);
    });
}

bool CIniFile::HasSection(const std::string& section) const {
    return Find(section) != nullptr;
}

std::string DefaultIniPath() {
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
