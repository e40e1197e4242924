#include "methods/name_matching.h"

#include <algorithm>
#include <cctype>

namespace quarnel {

std::string normalisedMethodName(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (char c : text)
        if (c != ' ' && c != '\t') out += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return out;
}

void MethodNameIndex::rebuild(const MethodLibrary& library) {
    byForm_.clear();
    library_ = &library;
    size_ = library.size();
    for (const auto& entry : library.byName()) {
        const std::string& name = entry.first;
        std::vector<std::string> forms{normalisedMethodName(name)};
        const auto space = name.rfind(' ');
        if (space != std::string::npos && space > 0) {
            const std::string base = normalisedMethodName(std::string_view(name).substr(0, space));
            const std::string suffix = normalisedMethodName(std::string_view(name).substr(space + 1));
            forms.push_back(base);
            if (suffix == "s") forms.push_back(base + "surprise");
            if (suffix == "d") forms.push_back(base + "delight");
            if (suffix == "tb") forms.push_back(base + "treblebob");
        }
        std::sort(forms.begin(), forms.end());
        forms.erase(std::unique(forms.begin(), forms.end()), forms.end());
        for (const std::string& form : forms) byForm_[form].push_back(&name);
    }
}

std::vector<std::string> MethodNameIndex::find(const MethodLibrary& library, std::string_view typed) {
    if (!library.notationOf(typed).empty()) return {std::string(typed)};
    if (library_ != &library || size_ != library.size()) rebuild(library);
    const auto it = byForm_.find(normalisedMethodName(typed));
    std::vector<std::string> names;
    if (it == byForm_.end()) return names;
    for (const std::string* name : it->second) names.push_back(*name);
    return names;
}

std::string nameMatchNote(std::string_view typed, const std::vector<std::string>& matches) {
    const std::string quoted = "\"" + std::string(typed) + "\"";
    if (matches.empty()) return "No method named " + quoted;
    if (matches.size() == 1) return std::string();
    std::string note = std::to_string(matches.size()) + " methods match " + quoted + ": ";
    for (std::size_t i = 0; i < matches.size() && i < 5; ++i) note += (i > 0 ? ", " : "") + matches[i];
    if (matches.size() > 5) note += ", ...";
    return note;
}

}  // namespace quarnel
