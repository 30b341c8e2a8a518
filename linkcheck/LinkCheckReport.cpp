#include "LinkCheckReport.h"

#include <array>

namespace {

void appendField(std::string& line, const std::string& text) {
    line.push_back('\t');
    for (const char c : text)
        line.push_back(c == '\t' || c == '\n' || c == '\r' ? ' ' : c);
}

} // namespace

std::string formatCount(std::int64_t count) {
    const bool negative = count < 0;
    // Through unsigned so that the lowest value has a magnitude too.
    std::uint64_t magnitude =
        negative ? 0 - static_cast<std::uint64_t>(count) : static_cast<std::uint64_t>(count);
    std::string reversed;
    int digits = 0;
    do {
        if (digits > 0 && digits % 3 == 0)
            reversed.push_back(',');
        reversed.push_back(static_cast<char>('0' + magnitude % 10));
        magnitude /= 10;
        ++digits;
    } while (magnitude != 0);
    if (negative)
        reversed.push_back('-');
    return std::string(reversed.rbegin(), reversed.rend());
}

std::string formatProgress(std::int64_t done, std::int64_t total) {
    return "Checked " + formatCount(done) + " of " + formatCount(total);
}

std::string formatReportLine(const LinkCheckItem& item, const LinkCheckResult& result) {
    std::string line = std::to_string(item.group);
    appendField(line, std::to_string(item.row));
    appendField(line, std::string(statusWord(result.status)));
    appendField(line, result.httpCode != 0 ? std::to_string(result.httpCode) : std::string());
    appendField(line, item.url);
    appendField(line, result.finalUrl);
    appendField(line, result.reason);
    return line;
}

std::string formatSummary(const std::vector<LinkCheckResult>& results) {
    std::array<std::int64_t, kLinkStatusCount> counts{};
    for (const LinkCheckResult& result : results)
        ++counts[static_cast<std::size_t>(result.status)];
    const auto total = static_cast<std::int64_t>(results.size());
    std::string text = formatCount(total) + (total == 1 ? " link" : " links");
    const char* separator = ": ";
    for (std::size_t i = 0; i < counts.size(); ++i) {
        if (counts[i] == 0)
            continue;
        text += separator;
        text += formatCount(counts[i]);
        text += ' ';
        text += statusWord(static_cast<LinkStatus>(i));
        separator = ", ";
    }
    return text;
}

int exitStatusFor(const std::vector<LinkCheckResult>& results) {
    for (const LinkCheckResult& result : results) {
        if (isFailure(result.status))
            return 2;
    }
    return 0;
}
