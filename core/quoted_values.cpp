#include "core/quoted_values.h"

#include <algorithm>

namespace core {

namespace {

// The quote that closes a quoted value opened before `from`: the first one followed, after
// blanks, by a comma, a line end or the end of the text, so that a quote written inside a
// value reads back as part of it. Without such a quote, the first quote closes the value;
// without any, the value runs to the end of the text.
std::size_t closingQuote(std::string_view text, std::size_t from) {
    std::size_t first = text.find('"', from);
    for (std::size_t q = first; q != std::string_view::npos; q = text.find('"', q + 1)) {
        std::size_t next = text.find_first_not_of(" \t", q + 1);
        if (next == std::string_view::npos || text[next] == ',' || text[next] == '\r' ||
            text[next] == '\n')
            return q;
    }
    return first == std::string_view::npos ? text.size() : first;
}

} // namespace

std::string quotedLine(const std::vector<std::string>& values) {
    std::string line;
    for (std::size_t i = 0; i < values.size(); ++i) {
        if (i > 0)
            line += ',';
        line += '"';
        line += values[i];
        line += '"';
    }
    line += "\r\n";
    return line;
}

std::vector<std::string> parseQuotedValues(std::string_view text, std::size_t count) {
    auto isBlank = [](char c) { return c == ' ' || c == '\t'; };
    auto isLineEnd = [](char c) { return c == '\r' || c == '\n'; };
    std::vector<std::string> values;
    std::size_t pos = 0;
    while (values.size() < count && pos < text.size()) {
        while (pos < text.size() && isBlank(text[pos]))
            ++pos;
        std::string value;
        if (pos < text.size() && text[pos] == '"') {
            std::size_t close = closingQuote(text, pos + 1);
            value = text.substr(pos + 1, close - pos - 1);
            pos = std::min(close + 1, text.size());
            // Anything between the closing quote and the separator is not part of a value.
            while (pos < text.size() && text[pos] != ',' && !isLineEnd(text[pos]))
                ++pos;
        } else {
            std::size_t end = pos;
            while (end < text.size() && text[end] != ',' && !isLineEnd(text[end]))
                ++end;
            std::size_t last = end;
            while (last > pos && isBlank(text[last - 1]))
                --last;
            value = text.substr(pos, last - pos);
            pos = end;
        }
        values.push_back(std::move(value));
        // Move past the separator: a comma, or a line end (CR LF counts as one).
        if (pos < text.size()) {
            if (text[pos] == '\r' && pos + 1 < text.size() && text[pos + 1] == '\n')
                pos += 2;
            else
                ++pos;
        }
    }
    return values;
}

} // namespace core
