#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <cstdlib>
#include <iostream>
#include <set>
#include <vector>

#include "methods/major_method.h"
#include "methods/method_generator.h"
#include "ringing/lead_end_table.h"
#include "ringing/model_error.h"
#include "support/test_support.h"

namespace quarnel {
namespace {

constexpr int Next = MethodGenerator::ChosenPositions - 1;

GeneratorOptions surpriseRightSymmetric() {
    GeneratorOptions o;
    o.rightPlace = true;
    o.symmetricSections = true;
    return o;
}

std::vector<std::string> enumerate(MethodGenerator& g, char code, const GeneratorOptions& o, std::size_t limit = 1000000) {
    std::vector<std::string> all;
    for (std::string text = g.nextMethod(code, -1, o); !text.empty() && all.size() < limit; text = g.nextMethod(code, Next, o))
        all.push_back(text);
    return all;
}

TEST(MethodGeneratorTest, RightPlaceSymmetricSurpriseForB) {
    MajorMethodGenerator g;
    const auto all = enumerate(g, 'B', surpriseRightSymmetric());
    ASSERT_EQ(all.size(), 4417u);
    EXPECT_EQ(all.front(), "b&-34-4-2-6-2-45-6-1");
    EXPECT_EQ(all[1448], "b&-3-4-25-36-4-5-6-7");
    EXPECT_EQ(g.nextMethod('B', Next, surpriseRightSymmetric()), "");
    EXPECT_EQ(std::set<std::string>(all.begin(), all.end()).size(), all.size());
}

TEST(MethodGeneratorTest, EveryMethodOfEveryCodeEndsInTheCodesLeadEnd) {
    MethodLibrary none;
    MajorMethodGenerator g;
    GeneratorOptions o;
    o.allowDelight = true;
    o.allowTrebleBob = true;
    for (char code : std::string_view("ABCDEFGHJKLM")) {
        SCOPED_TRACE(code);
        const auto methods = enumerate(g, code, o, 300);
        EXPECT_EQ(methods.size(), 300u);
        for (const auto& text : methods) {
            ASSERT_EQ(text[0], lowerCode(code));
            const MajorMethod m(text, none);
            ASSERT_TRUE(m.hasNotation()) << text;
            ASSERT_EQ(m.row(31), *leadEndRowOf(code)) << text;
            ASSERT_EQ(m.notationText(), text);
            const auto half = m.change(15).shortText();
            EXPECT_TRUE(half == "1" || half == "3" || half == "5" || half == "7") << text;
            if (!isNearGroup(code)) {
                for (std::string_view banned : {"38", "58", "3458", "3", "5", "345"}) EXPECT_NE(m.change(0).shortText(), banned) << text;
            }
        }
    }
}

TEST(MethodGeneratorTest, MethodsFromTheChangesAreTheMethodsOfTheirTexts) {
    MethodLibrary none;
    MajorMethodGenerator g;
    const auto check = [&](char code, const GeneratorOptions& o, int resumeAt) {
        SCOPED_TRACE(std::string(1, code) + " resuming at " + std::to_string(resumeAt));
        int compared = 0;
        for (std::string text = g.nextMethod(code, -1, o); !text.empty() && compared < 400;
             text = g.nextMethod(code, resumeAt, o), ++compared) {
            const MajorMethod read(text, none);
            const MajorMethod built(text[0], g.halfLeadChanges(), none);
            ASSERT_TRUE(built.hasNotation()) << text;
            EXPECT_EQ(built.code(), read.code()) << text;
            EXPECT_EQ(built.notationText(), text);
            EXPECT_EQ(built.name(), "");
            // Every change as reading gives it, and every row as the
            // transpositions give it one after another.
            Row expected;
            for (int i = 0; i < 32; ++i) {
                const int c = i < 16 ? i : 30 - i;
                const Change& change = i == 31 ? *Change::parse(upperCode(code) < 'G' ? "12" : "18") : built.change(c);
                expected = expected.times(change.transposition());
                ASSERT_EQ(built.row(i + 1), expected) << text << " row " << i + 1;
            }
            for (int i = 0; i < 16; ++i) {
                const Change& a = built.change(i);
                const Change& b = read.change(i);
                ASSERT_TRUE(a.text() == b.text() && a.shortText() == b.shortText() && a.characters() == b.characters() &&
                            a.transposition() == b.transposition() && a.leftOfPairs() == b.leftOfPairs())
                    << text << " change " << i;
            }
            std::array<Change, 16> changes;
            for (int i = 0; i < 16; ++i) changes[static_cast<std::size_t>(i)] = built.change(i);
            std::array<Row, 33> portable{};
            detail::buildLeadRowsPortable(portable.data(), changes.data(), 16, *Change::parse(upperCode(code) < 'G' ? "12" : "18"));
            for (int i = 0; i <= 32; ++i) {
                ASSERT_EQ(built.row(i), read.row(i)) << text << " row " << i;
                ASSERT_EQ(portable[static_cast<std::size_t>(i)], read.row(i)) << text << " row " << i;
            }
        }
        EXPECT_GT(compared, 100);
    };
    GeneratorOptions every;
    every.allowDelight = true;
    every.allowTrebleBob = true;
    GeneratorOptions restricted = surpriseRightSymmetric();
    restricted.twoPlaces = true;
    check('B', every, Next);
    check('M', every, 9);
    check('f', every, 3);
    check('G', restricted, Next);
    check('D', surpriseRightSymmetric(), 12);
}

TEST(MethodGeneratorTest, OptionsRestrictTheChanges) {
    MethodLibrary none;
    MajorMethodGenerator g;
    GeneratorOptions rightPlace;
    rightPlace.rightPlace = true;
    for (const auto& text : enumerate(g, 'f', rightPlace, 500)) {
        const MajorMethod m(text, none);
        for (int p = 0; p < 15; p += 2) EXPECT_TRUE(m.change(p).isCross()) << text;
    }
    GeneratorOptions twoPlaces;
    twoPlaces.twoPlaces = true;
    for (const auto& text : enumerate(g, 'm', twoPlaces, 500)) {
        const MajorMethod m(text, none);
        for (int p = 0; p < 15; ++p) EXPECT_LT(m.change(p).text().size(), 4u) << text;
    }
    GeneratorOptions symmetric;
    symmetric.symmetricSections = true;
    for (const auto& text : enumerate(g, 'c', symmetric, 500)) {
        const MajorMethod m(text, none);
        for (int p : {2, 6, 10, 14}) EXPECT_EQ(m.change(p).text(), m.change(p - 2).text()) << text;
    }
}

// The class of a half lead follows from its cross-sections 3, 7 and 11.
int plainCrossSections(const MajorMethod& m) {
    int n = 0;
    for (int p : {3, 7, 11}) n += m.change(p).shortText() == "1" ? 1 : 0;  // "18" in short form
    return n;
}

TEST(MethodGeneratorTest, ClassOptionsChooseTheCrossSections) {
    MethodLibrary none;
    MajorMethodGenerator g;
    const std::pair<GeneratorOptions, std::set<int>> cases[] = {
        {{false, false, false, true, false, false}, {0}},
        {{false, false, false, false, true, false}, {1, 2}},
        {{false, false, false, false, false, true}, {3}},
        {{false, false, false, true, false, true}, {0, 3}},
    };
    for (const auto& [options, allowed] : cases) {
        const auto methods = enumerate(g, 'b', options, 2000);
        EXPECT_FALSE(methods.empty());
        for (const auto& text : methods) EXPECT_EQ(allowed.count(plainCrossSections(MajorMethod(text, none))), 1u) << text;
    }
    GeneratorOptions noClass{false, false, false, false, false, false};
    EXPECT_EQ(g.nextMethod('b', -1, noClass), "");
}

TEST(MethodGeneratorTest, LowerCaseCodeGivesTheSameMethods) {
    MajorMethodGenerator upper;
    MajorMethodGenerator lower;
    EXPECT_EQ(enumerate(upper, 'H', {}, 200), enumerate(lower, 'h', {}, 200));
}

TEST(MethodGeneratorTest, ResumeSkipsMethodsSharingAFalseBeginning) {
    MethodLibrary none;
    MajorMethodGenerator g;
    const GeneratorOptions o = surpriseRightSymmetric();
    const auto all = enumerate(g, 'b', o);
    // With right place only the cross is rung at position 0: moving it on ends the enumeration.
    g.nextMethod('b', -1, o);
    EXPECT_EQ(g.nextMethod('b', 0, o), "");
    for (int k : {1, 3, 7, 11}) {
        SCOPED_TRACE(k);
        const std::string first = g.nextMethod('b', -1, o);
        const MajorMethod m(first, none);
        const std::string after = g.nextMethod('b', k, o);
        ASSERT_FALSE(after.empty());
        const MajorMethod n(after, none);
        bool samePrefix = true;
        for (int p = 0; p <= k; ++p) samePrefix = samePrefix && m.change(p).text() == n.change(p).text();
        EXPECT_FALSE(samePrefix);
        // Every method skipped shares the first k + 1 changes of the first one.
        auto it = std::find(all.begin(), all.end(), after);
        ASSERT_NE(it, all.end());
        for (auto skipped = all.begin() + 1; skipped != it; ++skipped) {
            const MajorMethod s(*skipped, none);
            for (int p = 0; p <= k; ++p) EXPECT_EQ(s.change(p).text(), m.change(p).text()) << *skipped;
        }
    }
    // Past the end, only a fresh start gives methods again.
    while (!g.nextMethod('b', Next, o).empty()) {
    }
    EXPECT_EQ(g.nextMethod('b', 0, o), "");
    EXPECT_EQ(g.nextMethod('b', 20, o), "");
    EXPECT_EQ(g.nextMethod('b', -1, o), all.front());
}

TEST(MethodGeneratorTest, BadCodesFailAndLeaveTheGeneratorAlone) {
    MajorMethodGenerator g;
    const GeneratorOptions o = surpriseRightSymmetric();
    const std::string first = g.nextMethod('b', -1, o);
    for (char code : {'I', 'i', '*', 'N', 'Q', 'Z', '\0', '1'}) {
        SCOPED_TRACE(static_cast<int>(code));
        EXPECT_THROW_MSG(g.nextMethod(code, Next, o), ModelError, "Bad lead end group");
    }
    const std::string second = g.nextMethod('b', Next, o);
    MajorMethodGenerator fresh;
    EXPECT_EQ(fresh.nextMethod('b', -1, o), first);
    EXPECT_EQ(fresh.nextMethod('b', Next, o), second);
}


// Long walks through the enumeration with resume positions of every kind,
// folded into a checksum of the texts; taken from the plain search, so that
// any way of searching faster must give the same methods in the same order.
TEST(MethodGeneratorTest, LongWalksGiveTheSameMethodsAsThePlainSearch) {
    auto check = [](char code, const GeneratorOptions& o, long calls, std::uint64_t checksum) {
        SCOPED_TRACE(std::string(1, code));
        MajorMethodGenerator g;
        std::uint64_t sum = 1469598103934665603ull;
        long found = 0;
        std::string text = g.nextMethod(code, -1, o);
        for (long i = 0; i < 20000 && !text.empty(); ++i) {
            for (unsigned char c : text) sum = (sum ^ c) * 1099511628211ull;
            ++found;
            // Mostly the next method, now and then a false beginning at
            // every position from 4 on in turn (15 stands for 14).
            const int resume = i % 7 == 6 ? static_cast<int>(4 + (i / 7) % 12) : Next;
            text = g.nextMethod(code, resume, o);
        }
        if (std::getenv("QUARNEL_PRINT_SEQUENCES") != nullptr)
            std::cout << code << ": " << found << ", 0x" << std::hex << sum << std::dec << "ull\n";
        else {
            EXPECT_EQ(found, calls);
            EXPECT_EQ(sum, checksum);
        }
    };
    GeneratorOptions surprise;
    GeneratorOptions everyClass{false, false, false, true, true, true};
    GeneratorOptions twoPlacesDelight{false, false, true, false, true, false};
    check('B', surprise, 20000, 0x27730f629cda2b0ull);
    check('g', everyClass, 20000, 0x939d8d832c3728d9ull);
    check('M', twoPlacesDelight, 11310, 0x7f82f2e818387045ull);
    check('D', surpriseRightSymmetric(), 1915, 0xaac3a81a60b54355ull);
    check('K', GeneratorOptions{false, true, false, true, true, false}, 5061, 0x9721fe6fe5a52b6full);
}

// The same with the code and the options changing under the generator's
// feet, as when the composer moves to another lead or ticks an option: the
// stored positions are tested again against the new code and options.
TEST(MethodGeneratorTest, WalksAcrossCodesAndOptionsGiveTheSameMethodsAsThePlainSearch) {
    const GeneratorOptions options[] = {GeneratorOptions{}, GeneratorOptions{false, false, false, true, true, true},
                                        GeneratorOptions{false, true, false, true, false, false},
                                        GeneratorOptions{false, false, true, true, true, false}};
    MajorMethodGenerator g;
    std::uint64_t sum = 1469598103934665603ull;
    long found = 0;
    for (long i = 0; i < 30000; ++i) {
        const char code = "BLCDgMhE"[(i / 37) % 8];
        const GeneratorOptions& o = options[(i / 53) % 4];
        const int resume = i % 211 == 0 ? -1 : i % 7 == 6 ? static_cast<int>(6 + (i / 7) % 10) : Next;
        const std::string& text = g.nextMethod(code, resume, o);
        for (unsigned char c : text) sum = (sum ^ c) * 1099511628211ull;
        sum = (sum ^ 0xFF) * 1099511628211ull;
        if (!text.empty()) ++found;
    }
    if (std::getenv("QUARNEL_PRINT_SEQUENCES") != nullptr) {
        std::cout << "across: " << found << ", 0x" << std::hex << sum << std::dec << "ull\n";
        return;
    }
    EXPECT_EQ(found, 14831);
    EXPECT_EQ(sum, 0xf897aba4a8460916ull);
}

}  // namespace
}  // namespace quarnel
