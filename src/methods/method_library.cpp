#include "methods/method_library.h"

#include <fstream>

#include "methods/council_library.h"
#include "ringing/text_lines.h"

namespace quarnel {

MethodLibrary& MethodLibrary::instance() {
    static MethodLibrary library;
    return library;
}

void MethodLibrary::clear() {
    nameIndex_.clear();
    notationIndex_.clear();
    byName_.clear();
    byNotation_.clear();
}

void MethodLibrary::readLibraryFile(std::istream& in, std::string_view classSuffix) {
    constexpr std::size_t LineLimit = 199;
    std::string line;
    for (int skipped = 0; skipped < 2; ++skipped)
        if (!readTextLine(in, line)) return;
    while (readTextLine(in, line)) {
        // A line longer than the format allows is passed over; the list goes on.
        if (line.size() > LineLimit) continue;
        const std::size_t blank = line.find(' ');
        if (blank == std::string::npos) return;  // the end of the method list
        // A method line needs the code letter and one more character after
        // the blank; a shorter one is outside the format and skipped.
        if (line.size() < blank + 3) continue;
        std::string fileName = line.substr(0, blank);
        std::string notation;
        notation.reserve(line.size() - blank);
        notation += line[blank + 1];
        notation.append(line, blank + 3, std::string::npos);
        std::string name = fileName;
        name += classSuffix;
        addMethod(notation, name, fileName);
    }
}

void MethodLibrary::addMethod(const std::string& notation, const std::string& name, std::string_view fileName) {
    if (fileName.size() >= 6 && fileName.substr(fileName.size() - 6) == "little") return;
    if (byName_.count(name) != 0) return;
    const auto notationEntry = byNotation_.insert_or_assign(notation, name).first;
    const auto nameEntry = byName_.emplace(name, notation).first;
    notationIndex_.insert(notationEntry->first, &notationEntry->second);
    nameIndex_.insert(nameEntry->first, &nameEntry->second);
}

void MethodLibrary::Index::insert(std::string_view key, const std::string* value) {
    map_[key] = value;
    const std::size_t bit = std::hash<std::string_view>{}(key) % BitCount;
    bits_[bit / 64] |= std::uint64_t{1} << (bit % 64);
}

const std::string* MethodLibrary::Index::find(std::string_view key) const {
    const std::size_t bit = std::hash<std::string_view>{}(key) % BitCount;
    if ((bits_[bit / 64] >> (bit % 64) & 1) == 0) return nullptr;
    const auto it = map_.find(key);
    return it == map_.end() ? nullptr : it->second;
}

void MethodLibrary::Index::clear() {
    map_.clear();
    bits_.fill(0);
}

const std::string& MethodLibrary::nameOf(std::string_view notation) const {
    static const std::string none;
    const std::string* name = notationIndex_.find(notation);
    return name ? *name : none;
}

const std::string& MethodLibrary::notationOf(std::string_view name) const {
    static const std::string none;
    const std::string* notation = nameIndex_.find(name);
    return notation ? *notation : none;
}

std::string MethodLibrary::nextNamed(std::string_view start, char code, bool allowSurprise, bool allowDelight,
                                     bool allowTrebleBob) const {
    const char letter = static_cast<char>(code | 0x60);
    auto it = byNotation_.upper_bound(start);
    for (; it != byNotation_.end(); ++it) {
        if (it->first.empty() || it->first[0] != letter) return {};
        const char c = it->second.empty() ? '\0' : it->second.back();
        if ((allowTrebleBob && c == 'B') || (allowDelight && c == 'D') || (allowSurprise && c == 'S')) return it->first;
    }
    return {};
}

int readLibraryFiles(MethodLibrary& library, const std::string& folder) {
    static constexpr std::pair<const char*, const char*> files[] = {{"S8", " S"}, {"D8", " D"}, {"T8", " TB"}};
    int read = 0;
    for (const auto& [file, suffix] : files) {
        std::ifstream in(folder.empty() ? std::string(file) : folder + "/" + file);
        if (!in) continue;
        library.readLibraryFile(in, suffix);
        ++read;
    }
    if (read == 0) {
        // Without any of the three files, the Central Council's library, if
        // it is there, gives the methods instead.
        const std::string council = folder.empty() ? std::string(CouncilFileName) : folder + "/" + std::string(CouncilFileName);
        if (std::ifstream(council)) {
            const CouncilLibrary methods = readCouncilLibraryFile(council);
            if (methods.ok()) addCouncilLibrary(methods, library);
        }
    }
    return read;
}

}  // namespace quarnel
