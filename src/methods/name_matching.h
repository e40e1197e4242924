#pragma once
// Finding a library method from what a ringer types: "cambridge s",
// "Cambridge", "Cambridge Surprise" and "Cambridge S" all name Cambridge S.
// Case and spaces do not count, and the class (" S", " D", " TB", or the
// words Surprise, Delight, Treble Bob) may be left out or written in full.
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "methods/method_library.h"

namespace quarnel {

// Lower case, without spaces.
std::string normalisedMethodName(std::string_view text);

class MethodNameIndex {
public:
    // The library names the text may stand for, in library order; the exact
    // name alone when the text is one. Rebuilds itself when the library has
    // changed size or is another library.
    std::vector<std::string> find(const MethodLibrary& library, std::string_view typed);

private:
    void rebuild(const MethodLibrary& library);

    const MethodLibrary* library_ = nullptr;
    std::size_t size_ = 0;
    std::unordered_map<std::string, std::vector<const std::string*>> byForm_;
};

// "No method named "X"" or "3 methods match "X": A S, A D, A TB" (at most
// five names listed); empty for exactly one match.
std::string nameMatchNote(std::string_view typed, const std::vector<std::string>& matches);

}  // namespace quarnel
