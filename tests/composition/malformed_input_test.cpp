// Whatever the bytes, the composition, library and music readers give a
// clear error or skip what they cannot read: never a crash or an access out
// of bounds (run under the sanitizers too).
#include <gtest/gtest.h>

#include <random>
#include <sstream>

#include "composition/composition.h"
#include "composition/music.h"
#include "methods/major_method.h"
#include "ringing/model_error.h"
#include "support/composition_builders.h"
#include "support/test_support.h"

namespace quarnel {
namespace {

// Text made of pieces that mean something to the readers, mixed with bytes
// that mean nothing.
std::string randomText(std::mt19937& rng) {
    static const char* pieces[] = {"B", "M", "G", "Q", "Z", "I", "A", "-", "s", " ", "  ", "\n", "\r\n", "&", ".", "-",
                                   "b&", "m&", "34", "1258", "9", "0", "x", "xxxx5678", "12345678", "12345678H", "5 0 ",
                                   "Cambridge S", "Bristol S", "b&-3-4-25-36-4-5-6-7", "Name b &", "\t", "\0", "\xff"};
    std::string text;
    const int n = static_cast<int>(rng() % 60);
    for (int i = 0; i < n; ++i) {
        if (rng() % 5 == 0) {
            text += static_cast<char>(rng() % 256);
        } else {
            const char* piece = pieces[rng() % std::size(pieces)];
            text += piece[0] == '\0' ? std::string(1, '\0') : std::string(piece);
        }
    }
    return text;
}

TEST(MalformedInputTest, CompositionReaderNeverCrashes) {
    std::mt19937 rng(1234);
    int read = 0;
    for (int i = 0; i < 3000; ++i) {
        const std::string text = randomText(rng);
        try {
            const auto c = test::composition(text);
            ++read;
            // Everything a read composition offers works on it.
            std::ostringstream out;
            c->save(out);
            c->exportText(out);
            c->exportMicroSiril(out);
            const MajorMethod m("b&-3-4-25-36-4-5-6-7", test::starterLibrary());
            for (int n = 0; n <= static_cast<int>(c->leadCount()) + 1; ++n) {
                c->tryMethodAt(n, &m);
                c->writeFalsenessReport(out);
                c->falsenessProfile(0, true);
                c->setMethodAt(n, n % 2 == 0);
                out << c->displayLine(n);
            }
        } catch (const ModelError& e) {
            const std::string message = e.what();
            EXPECT_TRUE(message == "Bad lead end group" || message == "Attempt to insert false row") << message;
        }
    }
    EXPECT_GT(read, 100);
}

TEST(MalformedInputTest, LibraryReaderNeverCrashes) {
    std::mt19937 rng(99);
    for (int i = 0; i < 3000; ++i) {
        MethodLibrary library;
        std::istringstream in("t\ns\n" + randomText(rng));
        library.readLibraryFile(in, " S");
        for (const auto& [name, notation] : library.byName()) {
            const MajorMethod m(name, library);
            if (m.hasNotation()) {
                EXPECT_EQ(m.rowText(0), "12345678");
            }
            library.nextNamed(notation, notation.empty() ? 'b' : notation[0], true, true, true);
        }
    }
}

TEST(MalformedInputTest, MusicReaderNeverCrashes) {
    std::mt19937 rng(7);
    const PartEnd partEnd(test::row("13527486"));
    for (int i = 0; i < 3000; ++i) {
        std::istringstream in(randomText(rng));
        MusicTable t = MusicTable::read(in);
        for (const char* r : {"12345678", "87654321", "13572468"}) t.scoreRow(partEnd, rowKey(partEnd, test::row(r)), i % 2 == 0);
        t.scoreRow(partEnd, RowKey{0}, true);
        t.scoreRow(partEnd, RowKey{0xFFFFFFFFu}, false);
    }
}

}  // namespace
}  // namespace quarnel
