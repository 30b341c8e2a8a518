#include "core/SettingsFile.h"

#include "core/AtomicFileWriter.h"
#include "core/TextUtil.h"
#include "core/UniqueFd.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <functional>
#include <sys/stat.h>

namespace {

// Hash of a name without regard to ASCII case.
std::size_t hashNoCase(std::string_view s) {
    std::size_t h = 1469598103934665603ull;
    for (const char c : s) {
        h ^= static_cast<std::size_t>(std::tolower(static_cast<unsigned char>(c)));
        h *= 1099511628211ull;
    }
    return h;
}

void makeParentDirs(SystemCalls& ops, const std::string& path) {
    for (size_t pos = path.find('/', 1); pos != std::string::npos; pos = path.find('/', pos + 1))
        ops.mkdir(path.substr(0, pos).c_str(), 0700);
}

// The line without a CR before its LF.
std::string_view withoutCr(std::string_view line) {
    if (!line.empty() && line.back() == '\r')
        line.remove_suffix(1);
    return line;
}

bool isHeader(std::string_view t) {
    return t.size() >= 2 && t.front() == '[';
}

std::string lowerCase(std::string_view s) {
    std::string lower(s);
    for (char& c : lower)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return lower;
}

std::string_view headerName(std::string_view t) {
    auto close = t.find(']');
    return trimWhiteSpace(t.substr(1, (close == std::string_view::npos ? t.size() : close) - 1));
}

} // namespace

std::string_view SettingsFile::Section::name() const {
    if (made || header.empty())
        return header;
    return headerName(trimWhiteSpace(withoutCr(header)));
}

const SettingsFile::Line* SettingsFile::Section::findKey(std::string_view key) const {
    if (!keys)
        return nullptr;
    auto [from, to] = keys->equal_range(hashNoCase(key));
    for (auto it = from; it != to; ++it)
        if (equalNoCase(lines[it->second].key(), key))
            return &lines[it->second];
    return nullptr;
}

void SettingsFile::Section::indexLine(std::size_t index) {
    const Line& line = lines[index];
    if (!line.isKey || findKey(line.key()))
        return;
    if (!keys)
        keys = std::make_unique<std::unordered_multimap<std::size_t, std::size_t>>();
    keys->emplace(hashNoCase(line.key()), index);
}

void SettingsFile::reindexSections() {
    m_index.clear();
    for (std::size_t i = 0; i < m_sections.size(); ++i)
        if (const std::string_view name = m_sections[i].name(); !name.empty())
            m_index[lowerCase(name)].push_back(i);
}

const std::vector<std::size_t>& SettingsFile::sectionsNamed(std::string_view name) const {
    static const std::vector<std::size_t> none;
    auto it = m_index.find(lowerCase(name));
    return it == m_index.end() ? none : it->second;
}

const SettingsFile::Line* SettingsFile::findValue(const std::string& section,
                                                  const std::string& key) const {
    for (std::size_t s : sectionsNamed(section))
        if (const Line* line = m_sections[s].findKey(key))
            return line;
    return nullptr;
}

bool SettingsFile::load(SystemCalls& ops) {
    m_sections.clear();
    m_index.clear();
    m_tooLarge = false;
    UniqueFd fd(ops.open(m_path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY), ops);
    struct stat st {};
    if (!fd.valid() || ops.fstat(fd.get(), &st) != 0 || !S_ISREG(st.st_mode))
        return true;
    if (static_cast<std::size_t>(std::max<off_t>(st.st_size, 0)) > kMaxSize) {
        m_tooLarge = true;
        return false;
    }
    std::string text;
    text.reserve(static_cast<size_t>(std::max<off_t>(st.st_size, 0)));
    char buf[64 * 1024];
    for (;;) {
        ssize_t got = ops.read(fd.get(), buf, sizeof buf);
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0)
            break;
        text.append(buf, static_cast<size_t>(got));
        // A file that grew past the limit while it was read.
        if (text.size() > kMaxSize) {
            m_tooLarge = true;
            return false;
        }
    }
    fromText(text);
    return true;
}

void SettingsFile::fromText(std::string_view text) {
    m_sections.clear();
    m_index.clear();
    // The sections counted first, so that their array is never grown (and
    // held twice) while it is filled, nor when the program adds its own few
    // sections (the layouts of the ten tabs, the recent files, the settings).
    size_t headers = 1 + 16;
    for (size_t pos = 0; pos < text.size();) {
        size_t end = text.find('\n', pos);
        if (end == std::string_view::npos)
            end = text.size();
        headers += isHeader(trimWhiteSpace(withoutCr(text.substr(pos, end - pos))));
        pos = end + 1;
    }
    m_sections.reserve(headers);
    Section* current = nullptr;
    bool lastWasKept = false; // the last line is a run of kept lines to extend
    size_t pos = 0;
    while (pos < text.size()) {
        size_t end = text.find('\n', pos);
        if (end == std::string_view::npos)
            end = text.size();
        const std::string_view raw = text.substr(pos, end - pos);
        pos = end + 1;
        const std::string_view t = trimWhiteSpace(withoutCr(raw));
        if (isHeader(t)) {
            m_sections.push_back({std::string(raw), false, {}, {}});
            current = &m_sections.back();
            lastWasKept = false;
            continue;
        }
        if (!current) {
            m_sections.push_back({});
            current = &m_sections.back();
        }
        const auto eq = t.find('=');
        const std::string_view key =
            eq == std::string_view::npos ? std::string_view() : trimWhiteSpace(t.substr(0, eq));
        if (t.empty() || t[0] == ';' || key.empty()) {
            if (lastWasKept) {
                std::string& run = current->lines.back().text;
                run += '\n';
                run.append(raw);
            } else {
                current->lines.push_back({std::string(raw)});
                lastWasKept = true;
            }
            continue;
        }
        const std::string_view value = trimWhiteSpace(t.substr(eq + 1));
        Line line;
        line.text = std::string(raw);
        line.isKey = true;
        line.keyBegin = static_cast<unsigned>(key.data() - raw.data());
        line.keyLength = static_cast<unsigned>(key.size());
        line.valueBegin = value.empty() ? 0 : static_cast<unsigned>(value.data() - raw.data());
        line.valueLength = static_cast<unsigned>(value.size());
        current->lines.push_back(std::move(line));
        current->indexLine(current->lines.size() - 1);
        lastWasKept = false;
    }
    reindexSections();
}

std::string SettingsFile::toText() const {
    std::string out;
    for (const auto& s : m_sections) {
        if (!s.made && !s.header.empty()) {
            out += s.header;
            out += '\n';
        } else if (s.made) {
            // One blank line before it, which a later run reads back as
            // the previous section's last line and keeps: never a second.
            if (!out.empty() && !out.ends_with("\n\n"))
                out += '\n';
            out += '[';
            out += s.header;
            out += "]\n";
        }
        for (const auto& line : s.lines) {
            out += line.text;
            out += '\n';
        }
    }
    return out;
}

FileResult SettingsFile::save(SystemCalls& ops) const {
    if (m_tooLarge)
        return FileResult::fromErrno(EFBIG, m_path);
    makeParentDirs(ops, m_path);
    const std::string text = toText();
    AtomicFileWriter file(ops);
    if (file.open(m_path) && file.write(text.data(), text.size()) && file.commit())
        return FileResult::success();
    return file.error();
}

std::string SettingsFile::stringValue(const std::string& section, const std::string& key,
                                      const std::string& def) const {
    if (const Line* line = findValue(section, key))
        return std::string(line->value());
    return def;
}

int SettingsFile::intValue(const std::string& section, const std::string& key, int def) const {
    const Line* line = findValue(section, key);
    if (!line)
        return def;
    const std::string_view v = line->value();
    size_t i = 0;
    bool neg = false;
    if (i < v.size() && (v[i] == '-' || v[i] == '+'))
        neg = v[i++] == '-';
    long long n = 0;
    while (i < v.size() && std::isdigit(static_cast<unsigned char>(v[i])) && n < (1LL << 32))
        n = n * 10 + (v[i++] - '0');
    return static_cast<int>(static_cast<unsigned int>(neg ? -n : n));
}

void SettingsFile::setStringValue(const std::string& section, const std::string& key,
                                  const std::string& value) {
    const std::vector<std::size_t>& named = sectionsNamed(section);
    for (std::size_t s : named) {
        if (const Line* found = m_sections[s].findKey(key)) {
            Line& line = const_cast<Line&>(*found);
            if (line.value() == value)
                return;                   // an unchanged line stays as it was read
            std::string text(line.key()); // the key keeps its spelling
            text += '=';
            text += value;
            line.text = std::move(text);
            line.keyBegin = 0;
            line.valueBegin = line.keyLength + 1;
            line.valueLength = static_cast<unsigned>(value.size());
            return;
        }
    }
    std::size_t index;
    if (named.empty()) {
        index = m_sections.size();
        m_sections.push_back({section, true, {}, {}});
        m_index[lowerCase(section)].push_back(index);
    } else {
        index = named.front();
    }
    Section& s = m_sections[index];
    Line line;
    line.text = key + '=' + value;
    line.isKey = true;
    line.keyLength = static_cast<unsigned>(key.size());
    line.valueBegin = line.keyLength + 1;
    line.valueLength = static_cast<unsigned>(value.size());
    s.lines.push_back(std::move(line));
    s.indexLine(s.lines.size() - 1);
}

void SettingsFile::setIntValue(const std::string& section, const std::string& key, int value) {
    setStringValue(section, key, std::to_string(value));
}

void SettingsFile::removeKey(const std::string& section, const std::string& key) {
    for (std::size_t index : sectionsNamed(section)) {
        Section& s = m_sections[index];
        const auto erased = std::erase_if(
            s.lines, [&](const Line& line) { return line.isKey && equalNoCase(line.key(), key); });
        if (erased == 0)
            continue;
        s.keys.reset();
        for (std::size_t i = 0; i < s.lines.size(); ++i)
            s.indexLine(i);
    }
}

void SettingsFile::removeSection(const std::string& section) {
    if (sectionsNamed(section).empty())
        return;
    std::erase_if(m_sections, [&](const Section& s) {
        const std::string_view name = s.name();
        return !name.empty() && equalNoCase(name, section);
    });
    reindexSections();
}

bool SettingsFile::hasSection(const std::string& section) const {
    return !sectionsNamed(section).empty();
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
