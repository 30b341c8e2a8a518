#include "model/ProjectFile.h"

#include "model/Codepage.h"
#include "model/FileError.h"
#include "model/LFDoc.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <memory>
#include <new>
#include <stdexcept>

long long CMemorySource::Read(void* buf, size_t n) {
    n = std::min(n, m_left);
    std::memcpy(buf, m_p, n);
    m_p += n;
    m_left -= n;
    return static_cast<long long>(n);
}

namespace {

// Buffered little-endian reader. Every failure is sticky: after the first
// one, every later read fails too and the first cause is kept.
class CArchiveReader {
public:
    explicit CArchiveReader(CByteSource& src) : m_src(src) {}

    bool Ok() const { return m_result.status == ReadStatus::Ok; }
    const ReadResult& Result() const { return m_result; }

    std::uint64_t Remaining() const { return (m_end - m_pos) + m_src.Remaining(); }

    bool Skip(size_t n) {
        char tmp[8];
        return ReadBytes(tmp, n);
    }

    bool ReadWord(std::int32_t& value) {
        unsigned char b[4];
        if (!ReadBytes(b, 4))
            return false;
        value = static_cast<std::int32_t>(std::uint32_t(b[0]) | std::uint32_t(b[1]) << 8 |
                                          std::uint32_t(b[2]) << 16 | std::uint32_t(b[3]) << 24);
        return true;
    }
    bool ReadWord(std::uint32_t& value) {
        std::int32_t v;
        if (!ReadWord(v))
            return false;
        value = static_cast<std::uint32_t>(v);
        return true;
    }

    bool ReadString(std::string& out) {
        bool wide = false;
        std::uint64_t n;
        if (!ReadLength(n, wide))
            return false;
        if (wide) {
            bool again = false;
            if (!ReadLength(n, again))
                return false;
            if (again) // a marker after the marker: no writer makes this
                return Fail(ReadStatus::EndOfData);
            if (n * 2 > Remaining())
                return Fail(ReadStatus::EndOfData);
            std::u16string text(static_cast<size_t>(n), u'\0');
            for (auto& ch : text) {
                unsigned char b[2];
                if (!ReadBytes(b, 2))
                    return false;
                ch = static_cast<char16_t>(b[0] | b[1] << 8);
            }
            out = Utf16ToCp1252(text);
            return true;
        }
        if (n > Remaining())
            return Fail(ReadStatus::EndOfData);
        if (n <= static_cast<std::uint64_t>(m_end - m_pos)) {
            out.assign(m_pos, static_cast<size_t>(n)); // the common case: all in the buffer
            m_pos += n;
            return true;
        }
        out.resize(static_cast<size_t>(n));
        return ReadBytes(out.data(), out.size());
    }

private:
    bool ReadLength(std::uint64_t& n, bool& wide) {
        unsigned char b;
        if (!ReadBytes(&b, 1))
            return false;
        if (b < 0xFF) {
            n = b;
            return true;
        }
        unsigned char w[2];
        if (!ReadBytes(w, 2))
            return false;
        std::uint32_t word = w[0] | w[1] << 8;
        if (word == 0xFFFE) {
            wide = true;
            return true;
        }
        if (word == 0xFFFF) {
            std::uint32_t big;
            if (!ReadWord(big))
                return false;
            n = big;
            return true;
        }
        n = word;
        return true;
    }

    bool Fail(ReadStatus status, int err = 0) {
        if (Ok())
            m_result = {status, err};
        return false;
    }

    bool Fill() {
        for (;;) {
            long long got = m_src.Read(m_buf, sizeof m_buf);
            if (got < 0) {
                if (errno == EINTR)
                    continue;
                return Fail(ReadStatus::ReadError, errno);
            }
            if (got == 0)
                return Fail(ReadStatus::EndOfData);
            m_pos = m_buf;
            m_end = m_buf + got;
            return true;
        }
    }

    bool ReadBytes(void* dst, size_t n) {
        if (!Ok())
            return false;
        char* out = static_cast<char*>(dst);
        while (n > 0) {
            if (m_pos == m_end && !Fill())
                return false;
            size_t take = std::min(n, static_cast<size_t>(m_end - m_pos));
            std::memcpy(out, m_pos, take);
            out += take;
            m_pos += take;
            n -= take;
        }
        return true;
    }

    CByteSource& m_src;
    char m_buf[64 * 1024];
    char* m_pos = m_buf;
    char* m_end = m_buf;
    ReadResult m_result;
};

bool ReadGroup(CArchiveReader& ar, CUrlGroup& group) {
    std::int32_t count = 0;
    if (!(ar.ReadString(group.m_strTitle) && ar.ReadString(group.m_strBullet) &&
          ar.ReadString(group.m_strFace) && ar.ReadWord(group.m_nStyle) &&
          ar.ReadWord(group.m_clrText) && ar.ReadWord(count)))
        return false;
    // Every link takes at least two bytes, so never reserve beyond that.
    if (count > 0)
        group.m_links.reserve(
            static_cast<size_t>(std::min<std::uint64_t>(count, ar.Remaining() / 2)));
    for (std::int32_t i = 0; i < count; ++i) {
        CLinkEntry& link = group.m_links.emplace_back();
        if (!ar.ReadString(link.m_strDescription) || !ar.ReadString(link.m_strUrl))
            return false;
    }
    return true;
}

class CStringSink {
public:
    explicit CStringSink(std::string& out) : m_out(out) {}
    void Word(std::uint32_t v) {
        char b[4] = {char(v & 0xFF), char((v >> 8) & 0xFF), char((v >> 16) & 0xFF),
                     char((v >> 24) & 0xFF)};
        m_out.append(b, 4);
    }
    void String(const std::string& s) {
        m_out += EncodeStringPrefix(s.size());
        m_out += s;
    }

private:
    std::string& m_out;
};

void WriteRecords(const CLFDoc& doc, CStringSink& ar) {
    ar.Word(kFormatWord);
    ar.String(doc.m_strTitle);
    ar.String(doc.m_strSubtitle);
    ar.String(doc.m_strTitleFace);
    ar.Word(static_cast<std::uint32_t>(doc.m_nTitleStyle));
    ar.String(doc.m_strTopImage);
    ar.Word(doc.m_clrTitle);
    ar.Word(static_cast<std::uint32_t>(doc.m_nColumns));
    ar.Word(static_cast<std::uint32_t>(doc.m_bBorders));
    ar.Word(doc.m_clrBackground);
    ar.Word(doc.m_clrLink);
    ar.Word(doc.m_clrVisitedLink);
    ar.Word(static_cast<std::uint32_t>(doc.m_groups.size()));
}

void WriteGroupHead(const CUrlGroup& g, CStringSink& ar) {
    ar.String(g.m_strTitle);
    ar.String(g.m_strBullet);
    ar.String(g.m_strFace);
    ar.Word(static_cast<std::uint32_t>(g.m_nStyle));
    ar.Word(g.m_clrText);
    ar.Word(static_cast<std::uint32_t>(g.m_links.size()));
}

} // namespace

std::string EncodeStringPrefix(std::uint64_t n) {
    std::string p;
    if (n < 0xFF) {
        p.push_back(static_cast<char>(n));
    } else if (n < 0xFFFE) {
        p = {'\xFF', char(n & 0xFF), char((n >> 8) & 0xFF)};
    } else {
        p = {'\xFF', '\xFF', '\xFF', char(n & 0xFF), char((n >> 8) & 0xFF), char((n >> 16) & 0xFF),
             char((n >> 24) & 0xFF)};
    }
    return p;
}

ReadResult ReadProjectRecords(CByteSource& source, CLFDoc& doc) {
    try {
        auto ar = std::make_unique<CArchiveReader>(source);
        std::int32_t groups = 0;
        if (ar->Skip(4) && ar->ReadString(doc.m_strTitle) && ar->ReadString(doc.m_strSubtitle) &&
            ar->ReadString(doc.m_strTitleFace) && ar->ReadWord(doc.m_nTitleStyle) &&
            ar->ReadString(doc.m_strTopImage) && ar->ReadWord(doc.m_clrTitle) &&
            ar->ReadWord(doc.m_nColumns) && ar->ReadWord(doc.m_bBorders) &&
            ar->ReadWord(doc.m_clrBackground) && ar->ReadWord(doc.m_clrLink) &&
            ar->ReadWord(doc.m_clrVisitedLink) && ar->ReadWord(groups)) {
            for (std::int32_t i = 0; i < groups; ++i) {
                if (i < static_cast<std::int32_t>(doc.m_groups.size())) {
                    if (!ReadGroup(*ar, doc.m_groups[static_cast<size_t>(i)]))
                        break;
                } else {
                    CUrlGroup surplus; // read past it, keep nothing
                    if (!ReadGroup(*ar, surplus))
                        break;
                }
            }
        }
        return ar->Result();
    } catch (const std::bad_alloc&) {
        return {ReadStatus::OutOfMemory, ENOMEM};
    } catch (const std::length_error&) {
        return {ReadStatus::OutOfMemory, ENOMEM};
    }
}

std::string SerializeProject(const CLFDoc& doc) {
    std::string out;
    CStringSink ar(out);
    WriteRecords(doc, ar);
    for (const CUrlGroup& g : doc.m_groups) {
        WriteGroupHead(g, ar);
        for (const CLinkEntry& link : g.m_links) {
            ar.String(link.m_strDescription);
            ar.String(link.m_strUrl);
        }
    }
    return out;
}

bool SaveProjectFile(const CLFDoc& doc, const std::string& path, std::string& error,
                     CFileOps& ops) {
    try {
        CSafeFileWriter file(ops);
        if (!file.Open(path)) {
            error = FileErrorText(FileErrorCauseFromErrno(file.Error()), path);
            return false;
        }
        // Records go out in chunks so that a large project never needs a
        // second copy of itself in memory.
        std::string chunk;
        chunk.reserve(64 * 1024);
        CStringSink ar(chunk);
        auto flush = [&]() {
            bool ok = file.Write(chunk.data(), chunk.size());
            chunk.clear();
            return ok;
        };
        bool ok = true;
        WriteRecords(doc, ar);
        for (const CUrlGroup& g : doc.m_groups) {
            WriteGroupHead(g, ar);
            for (const CLinkEntry& link : g.m_links) {
                ar.String(link.m_strDescription);
                ar.String(link.m_strUrl);
                if (chunk.size() >= 60 * 1024 && !(ok = flush()))
                    break;
            }
            if (!ok)
                break;
        }
        if (ok)
            ok = flush() && file.Commit();
        if (!ok) {
            error = FileErrorText(FileErrorCauseFromErrno(file.Error()), path);
            return false;
        }
        return true;
    } catch (const std::bad_alloc&) {
        error = kFailedToSaveDocument;
        return false;
    }
}
