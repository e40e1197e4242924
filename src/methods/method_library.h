#pragma once
// The named methods: the library files "S8", "D8" and "T8" read at start-up.
// Two maps in byte order of their keys, name -> notation text and notation
// text -> name. Names carry their class suffix (" S", " D", " TB"), so the
// last letter of a name tells its class. The first entry of a name wins.
#include <istream>
#include <map>
#include <string>
#include <string_view>
#include <unordered_map>

namespace quarnel {

class MethodLibrary {
public:
    MethodLibrary() = default;
    // The hash indexes point into the maps' nodes: a library moves, it is not copied.
    MethodLibrary(const MethodLibrary&) = delete;
    MethodLibrary& operator=(const MethodLibrary&) = delete;
    MethodLibrary(MethodLibrary&&) = default;
    MethodLibrary& operator=(MethodLibrary&&) = default;

    // The process-wide library the program reads at start-up.
    static MethodLibrary& instance();

    // Reads one library file: two lines are skipped, then every line up to
    // the first without a blank is a method line "NAME c &NOTATION".
    void readLibraryFile(std::istream& in, std::string_view classSuffix);
    // Enters one method unless its name ends in "little" or is already held.
    void addMethod(const std::string& notation, const std::string& name, std::string_view fileName);

    // Empty text when the library does not hold the key.
    const std::string& nameOf(std::string_view notation) const;
    const std::string& notationOf(std::string_view name) const;
    // The notation text of the next named method after start whose text begins
    // with the code letter (lower case) and whose class is allowed; empty
    // when there is none.
    std::string nextNamed(std::string_view start, char code, bool allowSurprise, bool allowDelight,
                          bool allowTrebleBob) const;

    std::size_t size() const { return byName_.size(); }
    const std::map<std::string, std::string, std::less<>>& byName() const { return byName_; }
    void clear();

private:
    std::map<std::string, std::string, std::less<>> byName_;
    std::map<std::string, std::string, std::less<>> byNotation_;
    // Hash indexes over the two maps for the exact lookups that every
    // candidate makes; their keys and values live in the maps' nodes.
    std::unordered_map<std::string_view, const std::string*> nameIndex_;
    std::unordered_map<std::string_view, const std::string*> notationIndex_;
};

// Reads "S8", "D8" and "T8" from a folder into the library; a file that does
// not open is skipped. When none of them opens, the methods of the Central
// Council's library "CCCBR_methods.xml" in the folder are entered instead, if
// it is there and reads. Returns how many of the three files were read.
int readLibraryFiles(MethodLibrary& library, const std::string& folder);

}  // namespace quarnel
