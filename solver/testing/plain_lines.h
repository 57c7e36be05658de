#pragma once

#include "word_list.h"

#include <algorithm>
#include <string>
#include <string_view>
#include <vector>

/// The lines of `bytes`, split at CR, CRLF and LF the plain way, a byte at a time.
inline std::vector<std::string> splitLines(std::string_view bytes) {
    std::vector<std::string> lines;
    std::string line;
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        if (bytes[i] == '\r' || bytes[i] == '\n') {
            lines.push_back(line);
            line.clear();
            if (bytes[i] == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n') {
                ++i;
            }
        } else {
            line += bytes[i];
        }
    }
    if (!line.empty()) {
        lines.push_back(line);
    }
    return lines;
}

/// True when `passOver` names `line`, by a plain look at it.
inline bool namedBy(const WordListReader::LinesToPassOver& passOver, const std::string& line) {
    const auto high = [](char c) { return static_cast<unsigned char>(c) >= 0x80; };
    const bool holdsLetter =
        std::any_of(line.begin(), line.end(), high) ||
        (passOver.letter &&
         (line.find(static_cast<char>(passOver.letter->first)) != std::string::npos ||
          line.find(static_cast<char>(passOver.letter->second)) != std::string::npos));
    return (passOver.lackingLetter && !holdsLetter) || line.size() < passOver.shorterThan;
}

/// The lines of `bytes` that a reader keeps when, after the n-th line it reads, it
/// passes over the lines that `rules[(n - 1) % rules.size()]` names: the first line,
/// and each later one that the rule then does not name, by the plain split.
inline std::vector<std::string> linesKept(
    std::string_view bytes, const std::vector<WordListReader::LinesToPassOver>& rules) {
    std::vector<std::string> kept;
    for (std::string& line : splitLines(bytes)) {
        if (kept.empty() || !namedBy(rules[(kept.size() - 1) % rules.size()], line)) {
            kept.push_back(std::move(line));
        }
    }
    return kept;
}

/// The same with one rule after every line.
inline std::vector<std::string> linesKept(std::string_view bytes,
                                          const WordListReader::LinesToPassOver& passOver) {
    return linesKept(bytes, std::vector{passOver});
}
