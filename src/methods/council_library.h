#pragma once
// The Central Council's methods library, as composers download it
// ("CCCBR_methods.xml"): a collection of method sets, each with properties
// that its methods share unless a method gives its own. From it come the
// Surprise, Delight and Treble Bob Major methods the program can ring: a
// lead of 32 rows, one hunt on the treble-dodging path, symmetric about the
// half lead, lead end 12 or 18 and one of the twelve lead-head codes; no
// Little or Differential methods. Every method is either taken or skipped
// for exactly one reason.
#include <array>
#include <map>
#include <string>
#include <string_view>

namespace quarnel {

class MethodLibrary;

inline constexpr std::string_view CouncilNamespace = "http://www.cccbr.org.uk/methods/schemas/2007/05/methods";
inline constexpr std::string_view CouncilFileName = "CCCBR_methods.xml";

enum class SkipReason {
    OtherStage,
    Little,
    Differential,
    OtherClass,
    LeadLength,
    Hunts,
    BadNotation,
    NotSymmetric,
    LeadEnd,
    LeadHeadCode,
    HuntPath,
    NoName,
    NameTaken,
};
inline constexpr int SkipReasonCount = 13;

// How the import reports a reason: "of another stage", "Little", ...
std::string_view skipReasonText(SkipReason reason);

struct CouncilLibrary {
    struct Class {
        const char* file;    // "S8", "D8", "T8"
        const char* suffix;  // the class suffix the program gives the names
        const char* title;   // "Surprise Major", ...
        std::map<std::string, std::string> methods;  // one-word name -> notation text
    };
    std::array<Class, 3> classes{{{"S8", " S", "Surprise Major", {}},
                                  {"D8", " D", "Delight Major", {}},
                                  {"T8", " TB", "Treble Bob Major", {}}}};
    std::array<long, SkipReasonCount> skipped{};
    long methodsRead = 0;
    // Not empty when the file could not be used at all; nothing is taken then.
    std::string error;

    bool ok() const { return error.empty(); }
};

// Reads the library from XML text or from a file.
CouncilLibrary readCouncilLibrary(std::string_view xml);
CouncilLibrary readCouncilLibraryFile(const std::string& path);

// A method's name as one word of printable ASCII: accents dropped, blanks
// removed and the word after each blank begun in capitals ("Cooktown Orchid"
// becomes "CooktownOrchid"). Empty when nothing printable is left.
std::string oneWordName(std::string_view name);

// Writes S8, D8 and T8 into the folder in the library file format. Each is
// written beside its place and all three are renamed only when all were
// written: on failure the folder is as it was and error says why.
bool writeCouncilLibraryFiles(const CouncilLibrary& library, const std::string& folder, std::string& error);

// Enters the methods into the program's library as if the three files had
// been read.
void addCouncilLibrary(const CouncilLibrary& council, MethodLibrary& library);

}  // namespace quarnel
