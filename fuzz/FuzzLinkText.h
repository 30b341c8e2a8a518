#pragma once

#include "HttpRules.h"
#include "LinkCheckReport.h"
#include "LinkTarget.h"

#include <QDateTime>

#include <cstdint>
#include <cstdlib>
#include <string>

// One fuzz input for the link check's readers of outside text: the first
// line is a Retry-After value, the rest a link's text. Reading must not
// crash, and an address must read the same when read again from its key.
inline void fuzzOneLinkText(const std::uint8_t* data, std::size_t size) {
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    const std::size_t end = bytes.find('\n');
    const std::string header = end == std::string::npos ? bytes : bytes.substr(0, end);
    const std::string text = end == std::string::npos ? std::string() : bytes.substr(end + 1);

    const QDateTime now = QDateTime::fromSecsSinceEpoch(1700000000, Qt::UTC);
    const auto wait = parseRetryAfterMs(QByteArray::fromStdString(header), now);
    if (wait && *wait < 0)
        std::abort();
    (void)isBotChallengeHeader(QByteArray::fromStdString(header), QByteArray::fromStdString(text));

    const LinkTarget target = classifyLinkText(text);
    if (target.kind == LinkTarget::Kind::Http) {
        const LinkTarget again = classifyLinkText(target.key.toStdString());
        if (again.kind != LinkTarget::Kind::Http || again.key != target.key)
            std::abort();
    }
    const std::string line = formatReportLine({1, 1, text}, LinkCheckResult{});
    if (line.find('\n') != std::string::npos)
        std::abort();
}
