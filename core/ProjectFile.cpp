#include "core/ProjectFile.h"

#include "core/BufferMemory.h"
#include "core/Codepage.h"
#include "core/FileError.h"
#include "core/Project.h"
#include "core/ProjectExtension.h"

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstring>
#include <fcntl.h>
#include <memory>
#include <new>
#include <stdexcept>
#include <sys/stat.h>
#include <unistd.h>

long long MemorySource::read(void* buf, size_t n) {
    n = std::min(n, m_left);
    std::memcpy(buf, m_p, n);
    m_p += n;
    m_left -= n;
    return static_cast<long long>(n);
}

namespace {

// The writer hands the file its records in pieces of about this size, so
// that a large project never needs a second copy of itself in memory.
constexpr size_t kChunkSize = size_t{60} * 1024;

// Buffered little-endian reader. Every failure is sticky: after the first
// one, every later read fails too and the first cause is kept.
class RecordReader {
public:
    explicit RecordReader(ByteSource& src) : m_src(src), m_sourceLeft(src.remaining()) {}

    bool ok() const { return m_result.status == ReadStatus::Ok; }
    const ReadResult& Result() const { return m_result; }

    std::uint64_t remaining() const {
        return static_cast<std::uint64_t>(m_end - m_pos) + m_sourceLeft;
    }

    // Appends up to n of the bytes left to out and returns how many; the end
    // of the data or a read error just ends it, with no failure recorded.
    size_t readAvailable(std::string& out, size_t n) {
        const size_t start = out.size();
        n = static_cast<size_t>(std::min<std::uint64_t>(n, remaining()));
        while (ok() && out.size() - start < n) {
            if (m_pos == m_end) {
                long long got = m_src.read(m_buf, sizeof m_buf);
                if (got < 0 && errno == EINTR)
                    continue;
                if (got <= 0)
                    break;
                m_pos = m_buf;
                m_end = m_buf + got;
                m_sourceLeft = m_src.remaining();
                m_bufferIsAscii = false;
            }
            const size_t take =
                std::min(n - (out.size() - start), static_cast<size_t>(m_end - m_pos));
            out.append(m_pos, take);
            m_pos += take;
        }
        return out.size() - start;
    }

    bool skip(size_t n) {
        char tmp[8];
        return readBytes(tmp, n);
    }

    bool readWord(std::int32_t& value) {
        unsigned char b[4];
        if (!readBytes(b, 4))
            return false;
        value = static_cast<std::int32_t>(std::uint32_t(b[0]) | std::uint32_t(b[1]) << 8 |
                                          std::uint32_t(b[2]) << 16 | std::uint32_t(b[3]) << 24);
        return true;
    }
    bool readWord(std::uint32_t& value) {
        std::int32_t v;
        if (!readWord(v))
            return false;
        value = static_cast<std::uint32_t>(v);
        return true;
    }

    bool readString(std::string& out) {
        LinkList text;
        const bool read = readText(text, false);
        out.assign(text.textData() ? text.textData() : "", read ? text.textSize() : 0);
        return read;
    }

    // Appends the next string's text, as UTF-8, to the buffer of out. The
    // room it makes is bounded by what the rest of the file can hold, so
    // that no count or length read from the file can make it allocate
    // beyond that. A group's links (wholeRest) reserve all the room the rest
    // of the file could fill at once; a single text only its own.
    bool readText(LinkList& out, bool wholeRest = true) {
        bool wide = false;
        std::uint64_t n;
        if (!readLength(n, wide))
            return false;
        if (wide) {
            bool again = false;
            if (!readLength(n, again))
                return false;
            if (again) // a marker after the marker: no writer makes this
                return fail(ReadStatus::EndOfData);
            if (n * 2 > remaining())
                return fail(ReadStatus::EndOfData);
            std::u16string text(static_cast<size_t>(n), u'\0');
            for (auto& ch : text) {
                unsigned char b[2];
                if (!readBytes(b, 2))
                    return false;
                ch = static_cast<char16_t>(b[0] | b[1] << 8);
            }
            const std::string utf8 = utf16ToUtf8(text);
            if (!utf8.empty())
                std::memcpy(appendRoom(out, utf8.size(), wholeRest), utf8.data(), utf8.size());
            return true;
        }
        if (n > remaining())
            return fail(ReadStatus::EndOfData);
        const size_t start = out.textSize();
        const size_t count = static_cast<size_t>(n);
        if (count == 0)
            return true;
        char* to = appendRoom(out, count, wholeRest);
        bool ascii = false;
        if (n <= static_cast<std::uint64_t>(m_end - m_pos)) {
            std::memcpy(to, m_pos, count); // the common case: all in the buffer
            m_pos += n;
            ascii = m_bufferIsAscii;
        } else if (!readBytes(to, count)) {
            out.truncateText(start);
            return false;
        }
        // The short form holds Windows-1252; ASCII needs no conversion.
        if (!ascii && !isAscii(std::string_view(out.textData() + start, count)))
            widenCp1252(out, start, wholeRest);
        return true;
    }

private:
    // Makes the texts of out n bytes longer and returns where the new bytes
    // go. When the buffer must grow, it is given at once all the room the
    // rest of the file could still fill: the group's texts then land in one
    // buffer that never moves, only the pages they fill are ever touched
    // (a large buffer in huge pages, core/BufferMemory.h), and the list
    // gives the rest back once the group is complete.
    char* appendRoom(LinkList& out, size_t n, bool wholeRest) {
        return out.appendText(n, wholeRest ? roomFor(out, n) : out.textSize() + n);
    }

    // The bound: what the texts hold plus all the rest of the file.
    size_t roomFor(const LinkList& out, size_t n) const {
        const std::uint64_t bound = std::uint64_t(out.textSize()) + n + remaining();
        return static_cast<size_t>(std::min<std::uint64_t>(bound, SIZE_MAX));
    }

    // Converts the Windows-1252 bytes of out from start on to UTF-8 in
    // place, from the back, so no second copy is needed.
    void widenCp1252(LinkList& out, size_t start, bool wholeRest) {
        static const auto kUtf8 = [] {
            struct Table {
                char bytes[256][3];
                unsigned char length[256];
            } t{};
            for (int b = 0; b < 256; ++b) {
                std::string one;
                appendUtf8(one, cp1252ToCodePoint(static_cast<unsigned char>(b)));
                t.length[b] = static_cast<unsigned char>(one.size());
                std::memcpy(t.bytes[b], one.data(), one.size());
            }
            return t;
        }();
        size_t from = out.textSize();
        size_t extra = 0;
        for (size_t i = start; i < from; ++i)
            extra += kUtf8.length[static_cast<unsigned char>(out.textData()[i])] - 1u;
        appendRoom(out, extra, wholeRest);
        char* p = out.textData();
        size_t to = from + extra;
        while (from > start) {
            const unsigned char b = static_cast<unsigned char>(p[--from]);
            const size_t len = kUtf8.length[b];
            to -= len;
            std::memcpy(p + to, kUtf8.bytes[b], len);
        }
    }

    bool readLength(std::uint64_t& n, bool& wide) {
        unsigned char b;
        if (m_pos < m_end && ok()) {
            b = static_cast<unsigned char>(*m_pos++);
        } else if (!readBytes(&b, 1)) {
            return false;
        }
        if (b < 0xFF) {
            n = b;
            return true;
        }
        unsigned char w[2];
        if (!readBytes(w, 2))
            return false;
        const std::uint32_t word = std::uint32_t{w[0]} | std::uint32_t{w[1]} << 8;
        if (word == 0xFFFE) {
            wide = true;
            return true;
        }
        if (word == 0xFFFF) {
            std::uint32_t big;
            if (!readWord(big))
                return false;
            n = big;
            return true;
        }
        n = word;
        return true;
    }

    bool fail(ReadStatus status, int err = 0) {
        if (ok())
            m_result = {status, err};
        return false;
    }

    bool fill() {
        for (;;) {
            long long got = m_src.read(m_buf, sizeof m_buf);
            if (got < 0) {
                if (errno == EINTR)
                    continue;
                return fail(ReadStatus::ReadError, errno);
            }
            if (got == 0)
                return fail(ReadStatus::EndOfData);
            m_pos = m_buf;
            m_end = m_buf + got;
            m_sourceLeft = m_src.remaining();
            m_bufferIsAscii = isAscii(std::string_view(m_buf, static_cast<size_t>(got)));
            return true;
        }
    }

    bool readBytes(void* dst, size_t n) {
        if (!ok())
            return false;
        char* out = static_cast<char*>(dst);
        while (n > 0) {
            if (m_pos == m_end && !fill())
                return false;
            size_t take = std::min(n, static_cast<size_t>(m_end - m_pos));
            std::memcpy(out, m_pos, take);
            out += take;
            m_pos += take;
            n -= take;
        }
        return true;
    }

    ByteSource& m_src;
    std::uint64_t m_sourceLeft; // the source's remaining() after the last fill
    char m_buf[64 * 1024];
    char* m_pos = m_buf;
    char* m_end = m_buf;
    // Strings read whole from an all-ASCII buffer need no conversion.
    bool m_bufferIsAscii = false;
    ReadResult m_result;
};

// Room for more end offsets of links, for `left` links still announced. The
// first time it takes the count as it stands, up to one byte of end offsets
// per byte left in the file (an honest count is the whole group at once),
// and when that fills up it doubles, never beyond the links the rest of the
// file could hold (two bytes each at the least). End offsets of 256 KiB or
// more are rounded up to whole huge pages, so that they are mapped in huge
// pages too; the list gives back what it did not use once the group is
// complete.
size_t linkRoom(const RecordReader& ar, const LinkList& links, std::uint64_t left) {
    constexpr std::uint64_t kLinkBytes = 2 * sizeof(std::uint32_t);
    constexpr std::uint64_t kHugePageLinks = (std::uint64_t{2} << 20) / kLinkBytes;
    const std::uint64_t rest = ar.remaining();
    std::uint64_t more = links.empty() ? std::min(left, rest / kLinkBytes + 1) : links.size();
    if (more * kLinkBytes >= buffer_memory::kMapAtBytes / 8)
        more = (more + kHugePageLinks - 1) / kHugePageLinks * kHugePageLinks;
    more = std::min(more, rest / 2 + 1);
    return static_cast<size_t>(std::max<std::uint64_t>(more, 1));
}

// keepRoom leaves the links' buffers as large as they grew, for a reader
// that reads the next group into the same list.
bool readGroup(RecordReader& ar, LinkGroup& group, bool keepRoom = false) {
    std::int32_t count = 0;
    if (!(ar.readString(group.title) && ar.readString(group.bullet) && ar.readString(group.face) &&
          ar.readWord(group.style) && ar.readWord(group.textColor) && ar.readWord(count)))
        return false;
    // The links grow as they are read, never from the count alone.
    LinkList& links = group.links;
    bool ok = true;
    for (std::int32_t i = 0; ok && i < count; ++i) {
        if (links.size() == links.linkCapacity())
            links.reserveLinks(linkRoom(ar, links, static_cast<std::uint32_t>(count - i)));
        ok = ar.readText(links);
        if (ok) {
            links.endText();
            ok = ar.readText(links);
            if (ok)
                links.endText();
        }
    }
    links.finishLinks();
    if (!keepRoom)
        links.shrinkToFit();
    return ok;
}

// Reads the extension block that may follow the last group into doc's
// extras. Trailing bytes without the block's magic are ignored, as readers
// of the format always did. Returns false when part of a block was dropped.
bool readExtras(RecordReader& ar, ProjectExtras& extras) {
    std::string block;
    if (ar.readAvailable(block, kExtensionMagic.size()) < kExtensionMagic.size() ||
        !isExtensionBlock(block))
        return true;
    // The rest of the file, and no more: a block costs at most its own size.
    const std::uint64_t left = ar.remaining();
    if (left > block.max_size() - block.size())
        return false;
    block.reserve(block.size() + static_cast<size_t>(left));
    ar.readAvailable(block, static_cast<size_t>(left));
    return decodeExtensionBlock(block, extras);
}

class StringSink {
public:
    explicit StringSink(std::string& out) : m_out(out) {}
    void writeWord(std::uint32_t v) {
        char b[4] = {char(v & 0xFF), char((v >> 8) & 0xFF), char((v >> 16) & 0xFF),
                     char((v >> 24) & 0xFF)};
        m_out.append(b, 4);
    }
    // Text Windows-1252 can hold goes out in the short form, as bytes of
    // that code page; other text in the wide form: the marker, the length
    // in UTF-16 code units, then the units little-endian.
    void writeString(std::string_view s) {
        if (isAscii(s)) {
            appendShort(s);
        } else if (utf8ToCp1252(s, m_scratch)) {
            appendShort(m_scratch);
        } else {
            const std::u16string units = utf8ToUtf16(s);
            m_out.append("\xFF\xFE\xFF", 3);
            m_out += encodeStringPrefix(units.size());
            for (char16_t u : units) {
                m_out.push_back(static_cast<char>(u & 0xFF));
                m_out.push_back(static_cast<char>(u >> 8));
            }
        }
    }
    std::string& buffer() { return m_out; }

private:
    void appendShort(std::string_view bytes) {
        m_out += encodeStringPrefix(bytes.size());
        m_out += bytes;
    }

    std::string& m_out;
    std::string m_scratch;
};

// Writes every record to ar in file order. spill(buffer) is offered the
// buffer whenever it holds a chunk's worth; it returns false to stop.
template <typename Spill> bool writeRecords(const Project& doc, StringSink& ar, Spill spill) {
    ar.writeWord(kFormatWord);
    ar.writeString(doc.title());
    ar.writeString(doc.subtitle());
    ar.writeString(doc.titleFace());
    ar.writeWord(static_cast<std::uint32_t>(doc.titleStyle()));
    ar.writeString(doc.topImage());
    ar.writeWord(doc.titleColor());
    ar.writeWord(static_cast<std::uint32_t>(doc.columns()));
    ar.writeWord(static_cast<std::uint32_t>(doc.borders()));
    ar.writeWord(doc.backgroundColor());
    ar.writeWord(doc.linkColor());
    ar.writeWord(doc.visitedLinkColor());
    ar.writeWord(static_cast<std::uint32_t>(doc.groups().size()));
    for (const LinkGroup& g : doc.groups()) {
        ar.writeString(g.title);
        ar.writeString(g.bullet);
        ar.writeString(g.face);
        ar.writeWord(static_cast<std::uint32_t>(g.style));
        ar.writeWord(g.textColor);
        ar.writeWord(static_cast<std::uint32_t>(g.links.size()));
        for (const LinkView link : g.links) {
            ar.writeString(link.description);
            ar.writeString(link.url);
            if (ar.buffer().size() >= kChunkSize && !spill(ar.buffer()))
                return false;
        }
    }
    ar.buffer() += encodeExtensionBlock(doc.extras());
    return true;
}

} // namespace

std::string encodeStringPrefix(std::uint64_t n) {
    std::string p;
    if (n < 0xFF) {
        p.push_back(static_cast<char>(n));
    } else if (n < 0xFFFE) {
        p = {'\xFF', char(n & 0xFF), char((n >> 8) & 0xFF)};
    } else {
        p = {'\xFF',
             '\xFF',
             '\xFF',
             char(n & 0xFF),
             char((n >> 8) & 0xFF),
             char((n >> 16) & 0xFF),
             char((n >> 24) & 0xFF)};
    }
    return p;
}

ReadResult readProjectRecords(ByteSource& source, Project& doc, const GroupVisitor* onGroup) {
    try {
        // A visited group is read into this one list, again and again.
        LinkGroup visited;
        auto ar = std::make_unique<RecordReader>(source);
        std::int32_t groups = 0;
        if (ar->skip(4) && ar->readString(doc.m_title) && ar->readString(doc.m_subtitle) &&
            ar->readString(doc.m_titleFace) && ar->readWord(doc.m_titleStyle) &&
            ar->readString(doc.m_topImage) && ar->readWord(doc.m_titleColor) &&
            ar->readWord(doc.m_columns) && ar->readWord(doc.m_borders) &&
            ar->readWord(doc.m_backgroundColor) && ar->readWord(doc.m_linkColor) &&
            ar->readWord(doc.m_visitedLinkColor) && ar->readWord(groups)) {
            for (std::int32_t i = 0; i < groups; ++i) {
                if (i < static_cast<std::int32_t>(doc.m_groups.size()) && onGroup) {
                    visited.links.clearKeepingRoom();
                    if (!readGroup(*ar, visited, true))
                        break;
                    if (!(*onGroup)(doc, visited))
                        return ar->Result();
                } else if (i < static_cast<std::int32_t>(doc.m_groups.size())) {
                    if (!readGroup(*ar, doc.m_groups[static_cast<size_t>(i)]))
                        break;
                } else {
                    LinkGroup surplus; // read past it, keep nothing
                    if (!readGroup(*ar, surplus))
                        break;
                }
            }
        }
        if (!ar->ok())
            return ar->Result();
        ReadResult result = ar->Result();
        result.extrasDropped = !readExtras(*ar, doc.m_extras);
        return result;
    } catch (const std::bad_alloc&) {
        return {ReadStatus::OutOfMemory, ENOMEM};
    } catch (const std::length_error&) {
        return {ReadStatus::OutOfMemory, ENOMEM};
    }
}

std::string serializeProject(const Project& doc) {
    std::string out;
    StringSink ar(out);
    writeRecords(doc, ar, [](std::string&) { return true; });
    return out;
}

FileResult saveProjectFile(const Project& doc, const std::string& path, SystemCalls& ops) {
    try {
        AtomicFileWriter file(ops);
        if (!file.open(path))
            return file.error();
        // Records go out in chunks so that a large project never needs a
        // second copy of itself in memory.
        std::string chunk;
        chunk.reserve(kChunkSize + size_t{4} * 1024);
        StringSink ar(chunk);
        auto flush = [&](std::string& buffer) {
            bool ok = file.write(buffer.data(), buffer.size());
            buffer.clear();
            return ok;
        };
        if (!(writeRecords(doc, ar, flush) && flush(chunk) && file.commit()))
            return file.error();
        return FileResult::success();
    } catch (const std::bad_alloc&) {
        return FileResult::failure(FileErrorCause::SaveFailed, path);
    }
}

namespace {

// An opened project file; its size bounds every allocation.
class FileSource : public ByteSource {
public:
    FileSource(SystemCalls& ops, int fd, std::uint64_t size) : m_ops(ops), m_fd(fd), m_left(size) {}
    long long read(void* buf, size_t n) override {
        if (n > m_left)
            n = static_cast<size_t>(m_left);
        if (n == 0)
            return 0;
        ssize_t got = m_ops.read(m_fd, buf, n);
        if (got > 0)
            m_left -= static_cast<std::uint64_t>(got);
        return got;
    }
    std::uint64_t remaining() const override { return m_left; }

private:
    SystemCalls& m_ops;
    int m_fd;
    std::uint64_t m_left;
};

} // namespace

FileResult openProjectFile(const std::string& path, ProjectFileHandle& file, SystemCalls& ops) {
    file = {};
    UniqueFd fd(ops.open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY), ops);
    if (!fd.valid())
        return FileResult::fromErrno(errno, path);
    struct stat st {};
    if (ops.fstat(fd.get(), &st) != 0)
        return FileResult::fromErrno(errno, path);
    if (!S_ISREG(st.st_mode))
        return FileResult::fromErrno(S_ISDIR(st.st_mode) ? EISDIR : EINVAL, path);
    file.fd = std::move(fd);
    file.size = st.st_size > 0 ? static_cast<std::uint64_t>(st.st_size) : 0;
    return FileResult::success();
}

FileResult readProjectFile(ProjectFileHandle& file, const std::string& path, Project& doc,
                           SystemCalls& ops, bool* extrasDropped) {
    return readProjectFileByGroup(file, path, doc, nullptr, ops, extrasDropped);
}

FileResult readProjectFileByGroup(ProjectFileHandle& file, const std::string& path, Project& doc,
                                  const GroupVisitor* onGroup, SystemCalls& ops,
                                  bool* extrasDropped) {
    if (file.size == 0)
        return FileResult::success();
    FileSource source(ops, file.fd.get(), file.size);
    ReadResult r = readProjectRecords(source, doc, onGroup);
    switch (r.status) {
    case ReadStatus::Ok:
        if (extrasDropped)
            *extrasDropped = r.extrasDropped;
        return FileResult::success();
    case ReadStatus::EndOfData:
        return FileResult::failure(FileErrorCause::UnexpectedFormat, path);
    case ReadStatus::ReadError:
        return FileResult::fromErrno(r.error, path);
    case ReadStatus::OutOfMemory:
        break;
    }
    return FileResult::failure(FileErrorCause::OpenFailed, path);
}
