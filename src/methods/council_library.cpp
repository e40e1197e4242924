#include "methods/council_library.h"

#include <pugixml.hpp>

#include <cctype>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>
#include <vector>

#include "methods/major_method.h"
#include "methods/method_library.h"
#include "ringing/lead_end_table.h"
#include "ringing/notation_forms.h"
#include "ringing/place_notation.h"

namespace quarnel {
namespace {

// Element names without a namespace prefix, so that a prefixed document
// reads like one in the default namespace.
std::string_view localName(const pugi::xml_node& node) {
    std::string_view name = node.name();
    const std::size_t colon = name.find(':');
    return colon == std::string_view::npos ? name : name.substr(colon + 1);
}

pugi::xml_node child(const pugi::xml_node& node, std::string_view name) {
    for (pugi::xml_node c = node.first_child(); c; c = c.next_sibling())
        if (c.type() == pugi::node_element && localName(c) == name) return c;
    return {};
}

std::string_view trimmed(std::string_view text) {
    while (!text.empty() && std::isspace(static_cast<unsigned char>(text.front()))) text.remove_prefix(1);
    while (!text.empty() && std::isspace(static_cast<unsigned char>(text.back()))) text.remove_suffix(1);
    return text;
}

// The method's own property, or else its set's.
pugi::xml_node property(const pugi::xml_node& method, const pugi::xml_node& properties, std::string_view name) {
    const pugi::xml_node own = child(method, name);
    return own ? own : child(properties, name);
}

std::string_view textOf(const pugi::xml_node& node) { return trimmed(node.child_value()); }

bool isNumber(std::string_view text, int value) { return text == std::to_string(value); }

// The changes of a lead from the Council's notation: "HALF,LEADEND" for a
// lead symmetric about its half lead, or every change of the lead. Crosses
// are "-" or "x"; "." separates two changes that are not crosses.
std::optional<std::vector<std::string>> tokens(std::string_view text) {
    std::vector<std::string> changes;
    std::string current;
    auto finish = [&] {
        if (!current.empty()) changes.push_back(current);
        current.clear();
    };
    for (char c : text) {
        if (c == '-' || c == 'x' || c == 'X') {
            finish();
            changes.emplace_back("-");
        } else if (c == '.') {
            finish();
        } else if (std::isspace(static_cast<unsigned char>(c)) != 0) {
            continue;
        } else if (placeOf(c) != 0) {
            current += c;
        } else {
            return std::nullopt;
        }
    }
    finish();
    for (const std::string& change : changes)
        if (!Change::parse(change)) return std::nullopt;
    return changes;
}

// The treble's place (from 0) in each row of a treble-dodging Major lead.
constexpr std::array<int, 33> TreblePath = {0, 1, 0, 1, 2, 3, 2, 3, 4, 5, 4, 5, 6, 7, 6, 7, 7,
                                            6, 7, 6, 5, 4, 5, 4, 3, 2, 3, 2, 1, 0, 1, 0, 0};

struct Taken {
    int classIndex;
    std::string name;
    std::string notation;
};

// Decides one method: the class it goes to, or the reason it is skipped.
std::optional<SkipReason> judge(const pugi::xml_node& method, const pugi::xml_node& properties, Taken& taken) {
    if (!isNumber(textOf(property(method, properties, "stage")), 8)) return SkipReason::OtherStage;
    const pugi::xml_node classification = property(method, properties, "classification");
    if (std::string_view(classification.attribute("little").value()) == "true") return SkipReason::Little;
    if (std::string_view(classification.attribute("differential").value()) == "true") return SkipReason::Differential;
    const std::string_view kind = textOf(classification);
    if (kind == "Surprise")
        taken.classIndex = 0;
    else if (kind == "Delight")
        taken.classIndex = 1;
    else if (kind == "Treble Bob")
        taken.classIndex = 2;
    else
        return SkipReason::OtherClass;
    if (!isNumber(textOf(property(method, properties, "lengthOfLead")), 32)) return SkipReason::LeadLength;
    if (!isNumber(textOf(property(method, properties, "numberOfHunts")), 1)) return SkipReason::Hunts;

    const std::string_view notation = textOf(child(method, "notation"));
    std::vector<std::string> half;
    std::string leadEnd;
    const std::size_t comma = notation.find(',');
    if (comma != std::string_view::npos) {
        const auto first = tokens(notation.substr(0, comma));
        const auto second = tokens(notation.substr(comma + 1));
        if (!first || !second || first->empty() || second->empty()) return SkipReason::BadNotation;
        if (first->size() != 16 || second->size() != 1) return SkipReason::NotSymmetric;
        half = *first;
        leadEnd = second->front();
    } else {
        const auto all = tokens(notation);
        if (!all || all->empty()) return SkipReason::BadNotation;
        if (all->size() != 32) return SkipReason::NotSymmetric;
        for (std::size_t i = 0; i < 15; ++i)
            if ((*all)[i] != (*all)[30 - i]) return SkipReason::NotSymmetric;
        half.assign(all->begin(), all->begin() + 16);
        leadEnd = all->back();
    }
    const Row end = Change::parse(leadEnd)->transposition();
    const bool twelve = end == Change::parse("12")->transposition();
    const bool eighteen = end == Change::parse("18")->transposition();
    if (!twelve && !eighteen) return SkipReason::LeadEnd;

    std::string halfText;
    for (std::size_t i = 0; i < half.size(); ++i) {
        if (i > 0 && half[i] != "-" && half[i - 1] != "-") halfText += '.';
        halfText += half[i];
    }
    // Without a leadHeadCode element the code is the one whose lead head the
    // rows reach, as for notation typed in the Council's form.
    const pugi::xml_node codeNode = property(method, properties, "leadHeadCode");
    std::string worked;
    if (!codeNode) {
        worked = readNotation(halfText + "," + leadEnd).text;
        if (worked.empty()) return SkipReason::LeadHeadCode;
    }
    const std::string_view code = codeNode ? textOf(codeNode) : std::string_view(worked).substr(0, 1);
    if (code.size() != 1 || code[0] < 'a' || code[0] > 'm' || code[0] == 'i' || isNearGroup(code[0]) != twelve)
        return SkipReason::LeadHeadCode;

    std::string text(1, code[0]);
    text += '&';
    text += halfText;
    const MethodLibrary none;
    const MajorMethod built(text, none);
    if (!built.hasNotation()) return SkipReason::BadNotation;
    for (int i = 0; i <= 32; ++i)
        if (built.row(i).placeOfBell(0) != TreblePath[static_cast<std::size_t>(i)]) return SkipReason::HuntPath;
    // The lead must end where its code says, or it would be filed under the wrong code.
    const char upper = upperCode(code[0]);
    if (built.row(31) != Row().transposedBy(std::string_view(&upper, 1))) return SkipReason::LeadHeadCode;

    taken.name = oneWordName(textOf(child(method, "name")));
    taken.notation = built.notationText();
    // A library line is at most 199 characters.
    if (taken.name.empty() || taken.name.size() + taken.notation.size() + 2 > 199) return SkipReason::NoName;
    return std::nullopt;
}

// Latin letters with accents, from U+00C0 and from U+0100, without them.
constexpr const char* Latin1[64] = {
    "A", "A", "A", "A", "A", "A", "AE", "C", "E", "E", "E", "E", "I", "I", "I", "I",
    "D", "N", "O", "O", "O", "O", "O", "",  "O", "U", "U", "U", "U", "Y", "Th", "ss",
    "a", "a", "a", "a", "a", "a", "ae", "c", "e", "e", "e", "e", "i", "i", "i", "i",
    "d", "n", "o", "o", "o", "o", "o", "",  "o", "u", "u", "u", "u", "y", "th", "y"};
constexpr std::string_view ExtendedA =
    "AaAaAaCcCcCcCcDdDdEeEeEeEeEeGgGgGgGgHhHhIiIiIiIiIiIiJjKkkLlLlLlLlLlNnNnNnnNnOoOoOoOoRrRrRrSsSsSsSsTtTtTtUuUuUuUuUuUuWwYyYZzZzZzs";

}  // namespace

std::string_view skipReasonText(SkipReason reason) {
    switch (reason) {
    case SkipReason::OtherStage: return "of another stage";
    case SkipReason::Little: return "Little";
    case SkipReason::Differential: return "Differential";
    case SkipReason::OtherClass: return "not Surprise, Delight or Treble Bob";
    case SkipReason::LeadLength: return "a lead not of 32 rows";
    case SkipReason::Hunts: return "not one hunt bell";
    case SkipReason::BadNotation: return "notation that does not read";
    case SkipReason::NotSymmetric: return "not symmetric about the half lead";
    case SkipReason::LeadEnd: return "lead end not 12 or 18";
    case SkipReason::LeadHeadCode: return "not one of the twelve lead-head codes";
    case SkipReason::HuntPath: return "hunt bell not on the treble-dodging path";
    case SkipReason::NoName: return "no usable name";
    case SkipReason::NameTaken: return "a name already taken in its class";
    }
    return "";
}

std::string oneWordName(std::string_view name) {
    std::string out;
    bool capital = false;
    auto put = [&](std::string_view letters) {
        for (char c : letters) {
            if (capital && c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
            capital = false;
            out += c;
        }
    };
    for (std::size_t i = 0; i < name.size();) {
        const auto c = static_cast<unsigned char>(name[i]);
        // One UTF-8 character: its code point and its length.
        std::uint32_t point = c;
        std::size_t length = 1;
        if (c >= 0xC0 && c < 0xE0) {
            length = 2;
            point = c & 0x1F;
        } else if (c >= 0xE0 && c < 0xF0) {
            length = 3;
            point = c & 0x0F;
        } else if (c >= 0xF0) {
            length = 4;
            point = c & 0x07;
        } else if (c >= 0x80) {
            point = 0xFFFD;  // a stray continuation byte
        }
        if (i + length > name.size()) break;
        for (std::size_t k = 1; k < length; ++k) point = (point << 6) | (static_cast<unsigned char>(name[i + k]) & 0x3F);
        i += length;
        if (point == ' ' || point == '\t' || point == 0xA0) {
            capital = !out.empty();
        } else if (point > ' ' && point < 0x7F) {
            const char ascii = static_cast<char>(point);
            put(std::string_view(&ascii, 1));
        } else if (point >= 0xC0 && point < 0x100) {
            put(Latin1[point - 0xC0]);
        } else if (point >= 0x100 && point < 0x180) {
            put(ExtendedA.substr(point - 0x100, 1));
        } else if (point == 0x2018 || point == 0x2019) {
            put("'");
        } else if (point == 0x2013 || point == 0x2014) {
            put("-");
        }
        // Anything else has no ASCII form and is left out.
    }
    return out;
}

CouncilLibrary readCouncilLibrary(std::string_view xml) {
    CouncilLibrary library;
    pugi::xml_document document;
    const pugi::xml_parse_result parsed = document.load_buffer(xml.data(), xml.size(), pugi::parse_default, pugi::encoding_utf8);
    if (!parsed) {
        library.error = std::string("not well-formed XML (") + parsed.description() + " at byte " + std::to_string(parsed.offset) + ")";
        return library;
    }
    const pugi::xml_node root = document.document_element();
    std::string_view prefix = root.name();
    prefix = prefix.substr(0, prefix.size() - localName(root).size());
    const std::string namespaceAttribute = prefix.empty() ? "xmlns" : "xmlns:" + std::string(prefix.substr(0, prefix.size() - 1));
    if (localName(root) != "collection" || root.attribute(namespaceAttribute.c_str()).value() != CouncilNamespace) {
        library.error = "not the Central Council's methods library (no collection in the namespace " + std::string(CouncilNamespace) + ")";
        return library;
    }
    for (pugi::xml_node set = root.first_child(); set; set = set.next_sibling()) {
        if (set.type() != pugi::node_element || localName(set) != "methodSet") continue;
        const pugi::xml_node properties = child(set, "properties");
        for (pugi::xml_node method = set.first_child(); method; method = method.next_sibling()) {
            if (method.type() != pugi::node_element || localName(method) != "method") continue;
            ++library.methodsRead;
            Taken taken;
            std::optional<SkipReason> skip = judge(method, properties, taken);
            if (!skip && !library.classes[static_cast<std::size_t>(taken.classIndex)].methods.emplace(taken.name, taken.notation).second)
                skip = SkipReason::NameTaken;
            if (skip) ++library.skipped[static_cast<std::size_t>(*skip)];
        }
    }
    // An empty collection would only empty the library files.
    if (library.methodsRead == 0) library.error = "a collection without methods";
    return library;
}

CouncilLibrary readCouncilLibraryFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        CouncilLibrary library;
        library.error = "cannot open " + path;
        return library;
    }
    std::string content((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    CouncilLibrary library = readCouncilLibrary(content);
    if (!library.ok()) library.error = path + " is " + library.error;
    return library;
}

bool writeCouncilLibraryFiles(const CouncilLibrary& library, const std::string& folder, std::string& error) {
    namespace fs = std::filesystem;
    std::vector<fs::path> written;
    auto removeWritten = [&] {
        std::error_code ignored;
        for (const auto& p : written) fs::remove(p, ignored);
    };
    for (const auto& c : library.classes) {
        const fs::path temporary = fs::path(folder) / (std::string(c.file) + ".quarnel-new");
        std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
        if (!out) {
            removeWritten();
            error = "cannot write " + temporary.string();
            return false;
        }
        written.push_back(temporary);
        out << c.file << " - " << c.title << ": name, lead-head code, half-lead place notation\n";
        out << "Imported from the Central Council's methods library (" << CouncilFileName << ")\n";
        for (const auto& [name, notation] : c.methods) out << name << ' ' << notation[0] << ' ' << notation.substr(1) << '\n';
        out.flush();
        if (!out) {
            removeWritten();
            error = "cannot write " + temporary.string();
            return false;
        }
    }
    for (std::size_t i = 0; i < library.classes.size(); ++i) {
        std::error_code failed;
        fs::rename(written[i], fs::path(folder) / library.classes[i].file, failed);
        if (failed) {
            removeWritten();
            error = "cannot replace " + (fs::path(folder) / library.classes[i].file).string() + ": " + failed.message();
            return false;
        }
    }
    return true;
}

void addCouncilLibrary(const CouncilLibrary& council, MethodLibrary& library) {
    for (const auto& c : council.classes)
        for (const auto& [name, notation] : c.methods) library.addMethod(notation, name + c.suffix, name);
}

}  // namespace quarnel
