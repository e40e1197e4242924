#pragma once
// The named methods: the library files "S8", "D8" and "T8" read at start-up.
// Two maps in byte order of their keys, name -> notation text and notation
// text -> name. Names carry their class suffix (" S", " D", " TB"), so the
// last letter of a name tells its class. The first entry of a name wins.
#include <array>
#include <cstdint>
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
    // A hash index over one of the maps for the exact lookups that every
    // candidate makes; its keys and values live in the map's nodes. Most
    // keys a search asks for are not held (unnamed candidates): one bit per
    // value of the hash's low bits, set for every key held, in a table small
    // enough to stay in cache, says so without a walk through the index's
    // scattered nodes.
    class Index {
    public:
        void insert(std::string_view key, const std::string* value);
        const std::string* find(std::string_view key) const;
        void clear();

    private:
        static constexpr std::size_t BitCount = std::size_t{1} << 18;
        std::unordered_map<std::string_view, const std::string*> map_;
        std::array<std::uint64_t, BitCount / 64> bits_{};
    };
    Index nameIndex_;
    Index notationIndex_;
};

// Reads "S8", "D8" and "T8" from a folder into the library; a file that does
// not open is skipped. When none of them opens, the methods of the Central
// Council's library "CCCBR_methods.xml" in the folder are entered instead, if
// it is there and reads. Returns how many of the three files were read.
int readLibraryFiles(MethodLibrary& library, const std::string& folder);

}  // namespace quarnel
