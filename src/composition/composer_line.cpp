#include "composition/composer_line.h"

#include <cctype>

namespace quarnel {

namespace {

bool startsWithWords(std::string_view line, std::string_view words) {
    if (line.size() < words.size()) return false;
    for (std::size_t i = 0; i < words.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(line[i])) != words[i]) return false;
    return true;
}

std::string_view trimmed(std::string_view text) {
    while (!text.empty() && std::isspace(static_cast<unsigned char>(text.front()))) text.remove_prefix(1);
    while (!text.empty() && std::isspace(static_cast<unsigned char>(text.back()))) text.remove_suffix(1);
    return text;
}

}  // namespace

std::optional<std::string> composerOfLine(std::string_view line) {
    for (const std::string_view words : {std::string_view("composed by"), std::string_view("composer:")}) {
        if (!startsWithWords(line, words)) continue;
        const std::string_view rest = line.substr(words.size());
        // "Composed byron" is no composer line; "Composer:Smith" is.
        if (words.back() != ':' && !rest.empty() && !std::isspace(static_cast<unsigned char>(rest.front()))) continue;
        return std::string(trimmed(rest));
    }
    return std::nullopt;
}

std::string composerLine(std::string_view composer) { return "Composed by " + std::string(composer); }

std::string composerOfText(std::string_view text) {
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string_view::npos) end = text.size();
        if (const auto composer = composerOfLine(text.substr(start, end - start)); composer && !composer->empty())
            return *composer;
        start = end + 1;
    }
    return {};
}

}  // namespace quarnel
