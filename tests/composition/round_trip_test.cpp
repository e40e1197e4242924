// Round trips over real data: every library method's notation text, seeded
// random notation texts, and seeded random compositions read, saved and read
// again.
#include <gtest/gtest.h>

#include <random>
#include <sstream>

#include "composition/composition.h"
#include "composition/music.h"
#include "methods/major_method.h"
#include "methods/method_library.h"
#include "ringing/model_error.h"
#include "support/test_support.h"

namespace quarnel {
namespace {

const MethodLibrary& fullLibrary() { return test::libraryIn(test::fullMethodsDir()); }

void expectSameRows(const Method& a, const Method& b) {
    for (int r = 0; r <= a.leadLength(); ++r) EXPECT_EQ(a.row(r), b.row(r)) << "row " << r;
}

TEST(RoundTripTest, EveryLibraryMethodKeepsItsNotationText) {
    const MethodLibrary none;
    const auto& methods = fullLibrary().byName();
    ASSERT_GE(methods.size(), 7703u);
    for (const auto& [name, notation] : methods) {
        const MajorMethod m(notation, none);
        ASSERT_TRUE(m.hasNotation()) << name << " " << notation;
        ASSERT_EQ(m.notationText(), notation) << name;
        const MajorMethod again(m.notationText(), none);
        for (int r = 0; r <= 32; ++r) ASSERT_EQ(again.row(r), m.row(r)) << name << " row " << r;
    }
}

// A random change: the cross, any of the 255 place sets, or something that
// is not a change (empty, a place beyond 8, places out of order or repeated,
// another character).
std::string randomChange(std::mt19937& random) {
    const unsigned kind = random() % 10;
    if (kind < 3) return "-";
    if (kind < 8) {
        std::string change;
        const unsigned set = 1 + random() % 255;
        for (int p = 1; p <= 8; ++p)
            if (set & (1u << (p - 1))) change += static_cast<char>('0' + p);
        return change;
    }
    static const char* const odd[] = {"", "9", "0", "43", "33", "1x", "12.", ".", "--", "&", "123456789"};
    return odd[random() % std::size(odd)];
}

TEST(RoundTripTest, RandomNotationTextsWriteAFixedPoint) {
    const MethodLibrary none;
    std::mt19937 random(1009);
    int withNotation = 0;
    for (int n = 0; n < 3000; ++n) {
        std::string text{static_cast<char>('a' + random() % 14), '&'};
        const int count = static_cast<int>(random() % 19);
        for (int i = 0; i < count; ++i) {
            const std::string change = randomChange(random);
            // Mostly the separators a writer would put, sometimes stray ones.
            const bool dot = random() % 8 == 0 ? random() % 2 == 0
                                               : i > 0 && change != "-" && text.back() != '-' && text.back() != '&';
            if (dot) text += '.';
            text += change;
        }
        SCOPED_TRACE(text);
        const MajorMethod m(text, none);
        if (!m.hasNotation()) {
            EXPECT_EQ(m.notationText(), "");
            continue;
        }
        ++withNotation;
        const std::string written = m.notationText();
        const MajorMethod again(written, none);
        ASSERT_TRUE(again.hasNotation()) << written;
        EXPECT_EQ(again.notationText(), written);
        expectSameRows(m, again);
    }
    EXPECT_GT(withNotation, 300);
    EXPECT_LT(withNotation, 2700);
}

// Everything a composition shows of itself, to compare two readings.
struct Picture {
    std::string saved, text, microSiril, register_;
    std::vector<std::string> rows;
    std::vector<int> music;
    std::string probeReport;
};

Picture pictureOf(Composition& c, const std::string& musicFile, const Method& probe, int probeLead) {
    Picture p;
    std::ostringstream saved, text, siril, reg;
    c.save(saved);
    c.exportText(text);
    c.exportMicroSiril(siril);
    p.saved = saved.str();
    p.text = text.str();
    p.microSiril = siril.str();
    for (const auto& [key, lead] : c.falseRows().entries()) reg << key.value << ':' << lead << ' ';
    p.register_ = reg.str();
    std::istringstream in(musicFile);
    MusicTable table = MusicTable::read(in);
    for (int n = 0; n <= static_cast<int>(c.leadCount()); ++n) p.music.push_back(c.musicScore(n, table, false));
    for (int n = 1; n <= static_cast<int>(c.leadCount()); ++n) {
        const Lead& lead = *c.leadAt(n);
        std::string r = lead.leadHead().text() + lead.leadEnd().text() + lead.name() + "|" + lead.notation() + "|";
        if (const Method* m = lead.committed()) {
            EXPECT_FALSE(lead.notation().empty());
            for (int i = 0; i <= m->leadLength(); ++i) r += m->row(i).text();
        } else {
            EXPECT_TRUE(lead.name().empty() && lead.notation().empty()) << "lead " << n << " shows a method it lacks";
        }
        p.rows.push_back(r);
    }
    c.tryMethodAt(probeLead, &probe);
    p.probeReport = c.falsenessReport();
    c.releaseTrial();
    return p;
}

// Random compositions: random codes and calls, methods of the full libraries
// by name and by notation, other codes' methods, stray texts and none. Many
// are false, some cannot be read at all.
TEST(RoundTripTest, RandomCompositionsReadBackAsSaved) {
    const MethodLibrary& library = fullLibrary();
    std::vector<const std::pair<const std::string, std::string>*> methods;
    for (const auto& entry : library.byName()) methods.push_back(&entry);
    const std::string musicFile = test::readFile(test::repoDataDir() + "/major.mus");
    ASSERT_FALSE(musicFile.empty());
    std::mt19937 random(4242);
    static constexpr std::string_view codes = "ABCDEFGHJKLM";
    int read = 0;
    int committed = 0;
    int dropped = 0;
    for (int n = 0; n < 500; ++n) {
        std::string file;
        const int leads = 1 + static_cast<int>(random() % 14);
        for (int k = 0; k < leads; ++k) {
            const char code = codes[random() % codes.size()];
            file += code;
            file += " -s"[random() % 3];
            const auto& [name, notation] = *methods[random() % methods.size()];
            // Mostly a method of the lead's own code, so that many commit.
            std::string own = notation;
            own[0] = static_cast<char>(code - 'A' + 'a');
            switch (random() % 8) {
            case 0: break;
            case 1: file += ' ' + name; break;
            case 2: file += ' ' + notation; break;
            case 3: file += " b&-3..4"; break;
            default: file += ' ' + own; break;
            }
            file += '\n';
        }
        SCOPED_TRACE(file);
        std::unique_ptr<Composition> first;
        try {
            std::istringstream in(file);
            first = readComposition(in, 16, library);
        } catch (const ModelError&) {
            continue;
        }
        ++read;
        const MajorMethod probe(methods[random() % methods.size()]->second, library);
        const int probeLead = 1 + static_cast<int>(random() % first->leadCount());
        const Picture a = pictureOf(*first, musicFile, probe, probeLead);
        for (int k = 1; k <= static_cast<int>(first->leadCount()); ++k) (first->committedMethodAt(k) ? committed : dropped)++;
        std::unique_ptr<Composition> second;
        try {
            std::istringstream in(a.saved);
            second = readComposition(in, 16, library);
        } catch (const ModelError& e) {
            ADD_FAILURE() << "saved file does not read: " << e.what() << "\n" << a.saved;
            continue;
        }
        const Picture b = pictureOf(*second, musicFile, probe, probeLead);
        EXPECT_EQ(b.saved, a.saved);
        EXPECT_EQ(b.text, a.text);
        EXPECT_EQ(b.microSiril, a.microSiril);
        EXPECT_EQ(b.register_, a.register_);
        EXPECT_EQ(b.rows, a.rows);
        EXPECT_EQ(b.music, a.music);
        EXPECT_EQ(b.probeReport, a.probeReport);
    }
    EXPECT_GT(read, 200) << committed << " " << dropped;
    EXPECT_GT(committed, 300);
    EXPECT_GT(dropped, 100);
}

// A carriage return in the call's place is a plain lead; saved as it came it
// would end up as part of the line end and read back as another line.
TEST(RoundTripTest, CarriageReturnCallsSaveAsPlainLeads) {
    const MethodLibrary& library = fullLibrary();
    const std::string starter = test::readFile(test::repoDataDir() + "/quarnel.txt");
    auto replaced = [&](std::string_view from, std::string_view to) {
        std::string file = starter;
        const std::size_t at = file.find(from);
        EXPECT_NE(at, std::string::npos) << from;
        return at == std::string::npos ? file : file.replace(at, from.size(), to);
    };
    auto check = [&](const std::string& file, const std::string& expected) {
        std::istringstream in(file);
        const auto first = readComposition(in, 16, library);
        std::ostringstream saved, siril;
        first->save(saved);
        first->exportMicroSiril(siril);
        EXPECT_EQ(saved.str(), expected);
        EXPECT_EQ(siril.str().find('\r'), std::string::npos);
        std::istringstream again(saved.str());
        std::ostringstream resaved;
        readComposition(again, 16, library)->save(resaved);
        EXPECT_EQ(resaved.str(), saved.str());
    };
    const std::pair<const char*, const char*> cases[] = {
        {"L  Cornwall S\n", "L\r Cornwall S\n"}, {"C  Cassiobury S\n", "C\r\r\n"}, {"C  Cassiobury S\n", "C\r\n"}};
    for (const auto& [line, withReturn] : cases) {
        SCOPED_TRACE(withReturn);
        const std::string blank = std::string(withReturn).find(' ') == std::string::npos ? std::string(1, line[0]) + " \n" : line;
        check(replaced(line, withReturn), replaced(line, blank));
    }
}

}  // namespace
}  // namespace quarnel
