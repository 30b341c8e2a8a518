#pragma once

// Memory bounds are a property of the program's own allocator. The address
// sanitizer's keeps freed blocks in quarantine, copies on every realloc and
// aborts where the program would get std::bad_alloc, so tests of the bounds
// run in the plain build only.
#if defined(__SANITIZE_ADDRESS__)
#define SKIP_UNDER_ADDRESS_SANITIZER()                                                             \
    GTEST_SKIP() << "memory bounds are measured without the address sanitizer"
#else
#define SKIP_UNDER_ADDRESS_SANITIZER() static_cast<void>(0)
#endif

#include "core/Project.h"

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include <gtest/gtest.h>

// A fresh folder under the system temp dir, removed with the fixture.
class TempDir {
public:
    TempDir() {
        std::string templ = (std::filesystem::temp_directory_path() / "lftest-XXXXXX").string();
        if (!::mkdtemp(templ.data()))
            throw std::runtime_error("mkdtemp failed");
        m_path = templ;
    }
    ~TempDir() {
        std::error_code ec;
        std::filesystem::permissions(m_path, std::filesystem::perms::owner_all,
                                     std::filesystem::perm_options::add, ec);
        std::filesystem::remove_all(m_path, ec);
    }
    std::string file(const std::string& name) const { return (m_path / name).string(); }
    const std::filesystem::path& path() const { return m_path; }

private:
    std::filesystem::path m_path;
};

inline std::string readFileBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream ss;
    ss << in.rdbuf();
    return ss.str();
}

inline void writeFileBytes(const std::string& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

inline std::string hex(const std::string& bytes) {
    static const char* digits = "0123456789ABCDEF";
    std::string out;
    for (const char byte : bytes) {
        const auto c = static_cast<unsigned char>(byte);
        if (!out.empty())
            out += ' ';
        out += digits[c >> 4];
        out += digits[c & 15];
    }
    return out;
}

// Little-endian word as four bytes.
inline std::string writeWord(std::uint32_t v) {
    return std::string{char(v & 0xFF), char((v >> 8) & 0xFF), char((v >> 16) & 0xFF),
                       char((v >> 24) & 0xFF)};
}

// A short string as the file stores it.
inline std::string str(const std::string& s) {
    return std::string(1, char(s.size())) + s;
}

// Changes the heading of group g through the project's setter.
template <typename F> void editHeading(Project& doc, int g, F edit) {
    LinkGroup heading = doc.group(g);
    edit(heading);
    doc.setGroupHeading(g, heading);
}
