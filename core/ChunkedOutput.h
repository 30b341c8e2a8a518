#pragma once

#include "core/AtomicFileWriter.h"

#include <functional>
#include <string>
#include <string_view>

// Collects generated text and hands it to a sink in pieces of about 60 KiB,
// so a page of any size is written without being held whole. Out derives
// from ChunkedOutput<Out> and adds its own ways of writing field values into
// m_buf.
template <typename Out> class ChunkedOutput {
public:
    using Sink = std::function<bool(const std::string&)>;

    explicit ChunkedOutput(Sink sink) : m_sink(std::move(sink)) { m_buf.reserve(kChunk + 4096); }

    // Template text, as it stands.
    Out& raw(std::string_view s) {
        m_buf.append(s);
        return static_cast<Out&>(*this);
    }
    // Hands the text on when a piece is full; false once the sink failed.
    bool maybe() { return m_buf.size() < kChunk ? m_ok : flush(); }
    bool flush() {
        if (m_ok && !m_buf.empty())
            m_ok = m_sink(m_buf);
        m_buf.clear();
        return m_ok;
    }

protected:
    std::string m_buf;

private:
    static constexpr size_t kChunk = size_t{60} * 1024;
    Sink m_sink;
    bool m_ok = true;
};

// render(out) writes its text and ends with out.flush(), returning its result.

// The whole text render(out) makes, for an Out over a string.
template <typename Out, typename Render> std::string renderToString(Render&& render) {
    std::string text;
    Out out([&text](const std::string& chunk) {
        text += chunk;
        return true;
    });
    render(out);
    return text;
}

// Writes what render(out) makes to path through an AtomicFileWriter: the
// file is replaced only when all of it was written.
template <typename Out, typename Render>
FileResult writeAtomically(const std::string& path, SystemCalls& ops, Render&& render) {
    AtomicFileWriter file(ops);
    if (!file.open(path))
        return file.error();
    Out out([&file](const std::string& chunk) { return file.write(chunk.data(), chunk.size()); });
    if (!render(out) || !file.commit())
        return file.error();
    return FileResult::success();
}
