#include "fuzz_support.h"

#include <array>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>

#include "methods/major_method.h"
#include "ringing/model_error.h"

namespace quarnel::fuzz {

const MethodLibrary& starterLibrary() {
    static const MethodLibrary library = [] {
        MethodLibrary l;
        readLibraryFiles(l, QUARNEL_TEST_DATA "/starter");
        return l;
    }();
    return library;
}

MusicTable& starterMusic() {
    static MusicTable table = [] {
        std::ifstream in(std::string(QUARNEL_REPO_DATA) + "/major.mus", std::ios::binary);
        return MusicTable::read(in);
    }();
    return table;
}

void require(bool holds, std::string_view property, std::string_view detail) {
    if (holds) return;
    std::fprintf(stderr, "Property failed: %.*s\n%.*s\n", static_cast<int>(property.size()), property.data(),
                 static_cast<int>(detail.size()), detail.data());
    std::abort();
}

void checkNotationRoundTrip(const Method& method) {
    if (!method.hasNotation()) {
        require(method.notationText().empty(), "a method without notation writes no text");
        return;
    }
    static const MethodLibrary none;
    const std::string written = method.notationText();
    const MajorMethod again(written, none);
    require(again.hasNotation(), "a written notation text reads", written);
    require(again.notationText() == written, "a written notation text writes again the same", written);
    for (int r = 0; r <= method.leadLength(); ++r)
        require(again.row(r) == method.row(r), "a written notation text rings the same rows", written);
}

void checkLeadsShowCommitted(const Composition& composition, const MethodLibrary& library) {
    for (int n = 1; n <= static_cast<int>(composition.leadCount()); ++n) {
        const Lead& lead = *composition.leadAt(n);
        if (const Method* m = lead.committed()) {
            require(lead.notation() == m->notationText(), "a lead shows its committed notation", lead.notation());
            require(lead.name() == library.nameOf(lead.notation()), "a lead shows its committed name", lead.name());
        } else {
            require(lead.name().empty() && lead.notation().empty(), "a lead without a method shows none",
                    lead.writeLine());
        }
    }
}

void checkRegister(const Composition& c) {
    std::size_t committed = 0;
    std::array<RowKey, MaxHalfLength> keys{};
    for (int n = 1; n <= static_cast<int>(c.leadCount()); ++n) {
        const Lead& lead = *c.leadAt(n);
        require(c.ownerOf(rowKey(c.partEnd(), lead.leadHead())) == 0 && c.ownerOf(rowKey(c.partEnd(), lead.leadEnd())) == 0,
                "the register holds every lead head and lead end");
        const Method* m = lead.committed();
        if (m == nullptr) continue;
        ++committed;
        for (const Row* start : {&lead.leadHead(), &lead.leadEnd()}) {
            m->halfLeadKeys(c.partEnd(), keys.data(), *start);
            for (int i = 0; i < m->halfLength() - 1; ++i)
                require(c.ownerOf(keys[static_cast<std::size_t>(i)]) == n, "a committed lead is true");
        }
    }
    // A false plan's repeating lead heads and lead ends are registered once.
    require(c.falseRows().size() == 2 * c.leadCount() - c.planRepeats().size() +
                                        2 * static_cast<std::size_t>(c.leadLength() / 2 - 1) * committed,
            "the register holds the leads' rows and nothing else");
}

namespace {

struct Picture {
    std::string saved, text, microSiril, leads;
    std::size_t registerSize = 0;
    int music = 0;
};

Picture pictureOf(const Composition& c, bool withMusic) {
    Picture p;
    std::ostringstream saved, text, siril;
    c.save(saved);
    c.exportText(text);
    c.exportMicroSiril(siril);
    p.saved = saved.str();
    p.text = text.str();
    p.microSiril = siril.str();
    for (int n = 1; n <= static_cast<int>(c.leadCount()); ++n) {
        const Lead& lead = *c.leadAt(n);
        p.leads += lead.leadHead().text();
        p.leads += lead.leadEnd().text();
        if (const Method* m = lead.committed())
            for (int i = 0; i <= m->leadLength(); ++i) p.leads += m->row(i).text();
        p.leads += '|';
    }
    checkRegister(c);
    p.registerSize = c.falseRows().size();
    if (withMusic) p.music = c.musicScore(0, starterMusic(), false);
    return p;
}

}  // namespace

void checkCompositionRoundTrip(const Composition& composition, const MethodLibrary& library, bool withMusic) {
    checkLeadsShowCommitted(composition, library);
    const Picture first = pictureOf(composition, withMusic);
    std::unique_ptr<Composition> again;
    try {
        std::istringstream in(first.saved);
        // A false plan (an edit may make one) reads back as the false plan it is.
        again = readComposition(in, composition.leadLength() / 2, library, PlanRepeats::Record);
    } catch (const ModelError& e) {
        require(false, "a saved composition reads back", first.saved + "\n" + e.what());
    }
    const Picture second = pictureOf(*again, withMusic);
    require(second.saved == first.saved, "a second save is byte-identical", first.saved + "\n---\n" + second.saved);
    require(second.leads == first.leads, "the leads and committed rows read back", first.saved);
    require(second.registerSize == first.registerSize, "the register reads back", first.saved);
    require(second.text == first.text, "the text export reads back", first.saved);
    require(second.microSiril == first.microSiril, "the MicroSiril export reads back", first.saved);
    require(second.music == first.music, "the music reads back", first.saved);
}

}  // namespace quarnel::fuzz
