#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <set>
#include <sstream>

#include "methods/method_generator.h"

#include "composition/composition.h"
#include "methods/major_method.h"
#include "ringing/model_error.h"
#include "support/composition_builders.h"
#include "support/test_support.h"

namespace quarnel {
namespace {

using test::composition;
using test::row;
using test::saved;

// The sample composition's eight lead lines (codes D- L C H- Es Hs E G, five
// parts, true), with some lines replaced.
std::string sampleWith(const std::map<int, std::string>& replaced, const std::string& between = "") {
    const auto text = test::readFile(test::repoDataDir() + "/quarnel.txt");
    std::istringstream in(text);
    std::string out;
    int n = 0;
    for (std::string line; std::getline(in, line);) {
        ++n;
        const auto it = replaced.find(n);
        out += (it == replaced.end() ? line : it->second) + "\n" + between;
    }
    return out;
}

TEST(CompositionTest, EmptyFilesGiveNoLeadsAndOnePart) {
    for (const char* text : {"", "\n\n", "# a comment\nnot a lead\n"}) {
        const auto c = composition(text);
        EXPECT_EQ(c->leadCount(), 0u);
        EXPECT_EQ(c->partEnd().row(), Row());
        EXPECT_EQ(c->partCount(), 1);
        EXPECT_EQ(saved(*c), "");
    }
}

TEST(CompositionTest, WhichLinesAreLeadLines) {
    const auto c = composition(sampleWith({}, "bCambridge S\nN\nP\nR\n1\n\n# B\n B\n"));
    ASSERT_EQ(c->leadCount(), 8u);
    EXPECT_EQ(c->codeAt(1), LeadHeadCode::fromLetter('D'));
    EXPECT_EQ(c->codeAt(8), LeadHeadCode::fromLetter('G'));
    EXPECT_EQ(c->partCount(), 5);
}

TEST(CompositionTest, CodesWithoutALeadEndRowAreABadLeadEndGroup) {
    for (const char* text : {"Q\n", "B\nZ Cambridge S\n", "I\n"}) {
        SCOPED_TRACE(text);
        EXPECT_THROW_MSG(composition(text), ModelError, "Bad lead end group");
    }
}

TEST(CompositionTest, LeadsStepFromLeadHeadToLeadHead) {
    const auto c = composition("B\nB-\nBs\nG\n");
    ASSERT_EQ(c->leadCount(), 4u);
    EXPECT_EQ(c->leadAt(1)->leadHead(), Row());
    EXPECT_EQ(c->leadAt(1)->leadEnd(), row("15372846"));
    EXPECT_EQ(c->leadAt(2)->leadHead(), row("15738264"));
    EXPECT_EQ(c->leadAt(2)->call(), Call::Bob);
    EXPECT_EQ(c->leadAt(3)->leadHead(), c->leadAt(2)->leadEnd().transposedBy("14"));
    EXPECT_EQ(c->leadAt(4)->leadHead(), c->leadAt(3)->leadEnd().transposedBy("s"));
    EXPECT_EQ(c->partEnd().row(), c->leadAt(4)->leadEnd().transposedBy("18"));
    EXPECT_EQ(c->leadAt(1)->call(), Call::Plain);
    EXPECT_EQ(saved(*c), "B \nB-\nBs\nG \n");
}

TEST(CompositionTest, NeutralValuesOutsideTheLeads) {
    const auto c = composition("B  Cambridge S\n");
    for (int n : {0, -1, 2, 1000}) {
        SCOPED_TRACE(n);
        EXPECT_EQ(c->codeAt(n), std::nullopt);
        EXPECT_EQ(c->displayLine(n), "");
        EXPECT_EQ(c->committedMethodAt(n), nullptr);
        EXPECT_FALSE(c->trialMatchesAt(n));
    }
    EXPECT_EQ(c->codeAt(1), LeadHeadCode::fromLetter('B'));
    EXPECT_EQ(c->displayLine(1), " 12345678 B  Cambridge S");
}

TEST(CompositionTest, MethodTextsAreNamesOrNotation) {
    std::string text = sampleWith({{1, "D- Ipswich S\r"},                // a library name, Windows line end
                                   {2, "L  l&-56-4-56-3-4-5-4-5"},       // Cornwall's notation: the name is found
                                   {4, "H- Nonesuch S"},                 // neither name nor notation: no method
                                   {5, "Es e&-3-9"},                      // a place beyond the eighth: no method
                                   {8, "G  g&36-56.4.5-5.36-4-3.6-6.5"}});  // notation the library lacks
    text.back() == '\n' ? text.pop_back() : void();                       // the last line has no line end
    const auto c = composition(text + "   ");                             // and trailing blanks
    ASSERT_EQ(c->leadCount(), 8u);
    EXPECT_EQ(c->leadAt(1)->name(), "Ipswich S");
    EXPECT_EQ(c->leadAt(1)->notation(), "d&-3-4-5-36-34-5-6-3");
    EXPECT_EQ(c->leadAt(2)->name(), "Cornwall S");
    EXPECT_EQ(c->committedMethodAt(4), nullptr);
    EXPECT_EQ(c->committedMethodAt(5), nullptr);
    EXPECT_EQ(c->leadAt(4)->notation(), "");
    const std::string lines = saved(*c);
    EXPECT_NE(lines.find("D- Ipswich S\nL  Cornwall S\n"), std::string::npos) << lines;
    EXPECT_NE(lines.find("H-\nEs\n"), std::string::npos) << lines;
    if (c->committedMethodAt(8) != nullptr) {
        EXPECT_EQ(c->leadAt(8)->name(), "");
        EXPECT_EQ(c->leadAt(8)->notation(), "g&36-56.4.5-5.36-4-3.6-6.5");
        EXPECT_NE(lines.find("G  g&36-56.4.5-5.36-4-3.6-6.5\n"), std::string::npos) << lines;
    }
}

// Lead lines may hold place notation as ringers write it; the file is saved
// with the library's name, or in the system's own text when there is none.
TEST(CompositionTest, LeadLinesTakePlaceNotationAsRingersWriteIt) {
    const std::string text = sampleWith({{1, "D- x38x14x58x36x34x58x16x38,12"},  // Ipswich in the Council's form
                                         {2, "L  &-56-14-56-38-14-58-14-58,18"}, // Cornwall, with a leading "&"
                                         {8, "G  g&36x56.4.5x.5.36x4x3.6x6.3"}});  // Glasgow: x, a dot beside a cross
    const auto c = composition(text);
    ASSERT_EQ(c->leadCount(), 8u);
    EXPECT_EQ(c->loadReport(), std::vector<std::string>{});
    EXPECT_EQ(c->leadAt(1)->name(), "Ipswich S");
    ASSERT_NE(c->committedMethodAt(1), nullptr);
    EXPECT_EQ(c->committedMethodAt(1)->notationText(), "d&-3-4-5-36-34-5-6-3");
    EXPECT_EQ(c->leadAt(2)->name(), "Cornwall S");
    EXPECT_EQ(c->leadAt(8)->name(), "Glasgow S");
    EXPECT_NE(saved(*c).find("D- Ipswich S\nL  Cornwall S\n"), std::string::npos) << saved(*c);

    // Without a library the saved lines are the notation texts.
    const MethodLibrary none;
    std::istringstream in(text);
    const auto unnamed = readComposition(in, 16, none);
    ASSERT_NE(unnamed->committedMethodAt(8), nullptr);
    const std::string lines = saved(*unnamed);
    EXPECT_NE(lines.find("D- d&-3-4-5-36-34-5-6-3\nL  l&-56-4-56-3-4-5-4-5\n"), std::string::npos) << lines;
    EXPECT_NE(lines.find("G  g&36-56.4.5-5.36-4-3.6-6.3\n"), std::string::npos) << lines;

    // Notation that does not read gives no method, and the report says why.
    const auto bad = composition(sampleWith({{2, "L  -56-14-56-38-14-58-14-58,14"}}));
    EXPECT_EQ(bad->committedMethodAt(2), nullptr);
    EXPECT_EQ(bad->loadReport(), std::vector<std::string>{"Lead 2 (-56-14-56-38-14-58-14-58,14): place notation that does not "
                                                          "read: The rows reach the lead head 16423857, which is none of the "
                                                          "twelve lead-head codes"});
}

TEST(CompositionTest, SavedFilesReadBackTheSame) {
    const std::string text = test::readFile(test::repoDataDir() + "/quarnel.txt");
    const auto c = composition(text);
    ASSERT_EQ(c->leadCount(), 8u);
    EXPECT_EQ(c->partCount(), 5);
    const auto again = composition(saved(*c));
    EXPECT_EQ(saved(*again), saved(*c));
    for (int n = 1; n <= 8; ++n) {
        EXPECT_EQ(again->codeAt(n), c->codeAt(n));
        EXPECT_EQ(again->leadAt(n)->call(), c->leadAt(n)->call());
        ASSERT_NE(again->committedMethodAt(n), nullptr);
        EXPECT_EQ(again->committedMethodAt(n)->notationText(), c->committedMethodAt(n)->notationText());
    }
}

TEST(CompositionTest, AComposedByLineNamesTheComposerAndIsNoLead) {
    const struct {
        const char* above;  // lines above the sample's eight leads
        const char* composer;
    } cases[] = {
        {"Composed by A. B. Smith\n", "A. B. Smith"},
        {"Composer: A. B. Smith\n", "A. B. Smith"},
        {"COMPOSED BY   J Jones  \r\n", "J Jones"},
        {"composer:Jones\n", "Jones"},
        {"Composed by\nComposed by Second Line\n", "Second Line"},
        {"Composed by First\nComposer: Second\n", "First"},
        {"# Composed by nobody\n", ""},
        {"", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.above);
        const std::string text = c.above + test::readFile(test::repoDataDir() + "/quarnel.txt");
        const auto read = composition(text);
        EXPECT_EQ(read->composer(), c.composer);
        EXPECT_EQ(read->leadCount(), 8u);
        // Save writes the composer back above the leads, in one form.
        const std::string written = saved(*read);
        EXPECT_EQ(written.rfind("Composed by " + std::string(c.composer) + "\n", 0) == 0, *c.composer != 0) << written;
        EXPECT_EQ(composition(written)->composer(), c.composer);
    }
    // A name as long as a line may be is cut so that Save's line reads back whole.
    const auto longName = composition("Composer: " + std::string(120, 'x') + " " + std::string(120, 'y') + "\n");
    EXPECT_EQ(saved(*composition(saved(*longName))), saved(*longName));
    EXPECT_EQ(longName->composer(), std::string(120, 'x') + " " + std::string(199 - 12 - 121, 'y'));
}

TEST(CompositionTest, LongAndBinaryLinesNeverBreakTheRead) {
    const std::string longLine = "D- " + std::string(100000, 'x');
    const std::string binary("L \x01\xff\x80\0 junk", 12);
    const auto c = composition(sampleWith({{1, longLine}, {2, binary}}, std::string("\xff\xfe\0\n", 4)));
    ASSERT_EQ(c->leadCount(), 8u);
    EXPECT_EQ(c->committedMethodAt(1), nullptr);
    EXPECT_EQ(c->committedMethodAt(2), nullptr);
    EXPECT_EQ(c->leadAt(1)->notation(), "");
    EXPECT_NE(c->committedMethodAt(3), nullptr);
}

TEST(CompositionTest, RepeatedLeadHeadsMakeTheReadFail) {
    // Seven plain leads of B come back to rounds; the eighth repeats lead 1.
    EXPECT_THROW_MSG(composition("B\nB\nB\nB\nB\nB\nB\nB\n"), ModelError, "Attempt to insert false row");
    // Over parts: two plain leads of B make a part end of order 7 whose parts
    // pass every lead head of the course, so the second lead head repeats
    // the first in another part.
    EXPECT_THROW_MSG(composition("B\nB\n"), ModelError, "Attempt to insert false row");
}

// A method for code d whose lead rings a row twice, found with the generator.
std::string internallyFalseMethod() {
    MethodLibrary none;
    MajorMethodGenerator g;
    GeneratorOptions o;
    for (std::string text = g.nextMethod('d', -1, o); !text.empty(); text = g.nextMethod('d', 14, o)) {
        const MajorMethod m(text, none);
        std::set<Row> rows;
        for (int i = 0; i < 32; ++i) rows.insert(m.row(i));
        if (rows.size() < 32) return text;
    }
    return {};
}

TEST(CompositionTest, MethodsFalseInTheirOwnLeadAreNotCommitted) {
    const std::string method = internallyFalseMethod();
    ASSERT_FALSE(method.empty());
    const auto c = composition(sampleWith({{1, "D- " + method}}));
    EXPECT_EQ(c->committedMethodAt(1), nullptr);
    EXPECT_EQ(c->leadAt(1)->notation(), "");
    EXPECT_NE(c->committedMethodAt(2), nullptr);
    // Tried, it is reported false against its own lead.
    const MajorMethod m(method, test::starterLibrary());
    c->tryMethodAt(1, &m);
    EXPECT_FALSE(c->notFalseAgainst(1));
    EXPECT_GE(c->falsenessScore(), 1);
    c->setMethodAt(1, true);
    EXPECT_EQ(c->committedMethodAt(1), nullptr);
}

TEST(CompositionTest, LoadReportSaysWhyEachLeadLostItsMethod) {
    const std::string ownFalse = internallyFalseMethod();
    ASSERT_FALSE(ownFalse.empty());
    const auto check = [](const std::string& text, const std::vector<std::string>& expected) {
        SCOPED_TRACE(text);
        EXPECT_EQ(composition(text)->loadReport(), expected);
    };
    check(sampleWith({}), {});
    check(sampleWith({{2, "L  Cornwal S"}}), {"Lead 2 (Cornwal S): not in the method library"});
    check(sampleWith({{1, "D- " + ownFalse}}), {"Lead 1 (" + ownFalse + "): false in itself"});
    check(sampleWith({{3, "C  Cambridge S"}}), {"Lead 3 (Cambridge S): of another lead-head code"});
    check(sampleWith({{5, "Es e&-36-4-5-6-34-3-34-1"}}), {"Lead 5 (e&-36-4-5-6-34-3-34-1): false against leads 2 and 3"});
    check(sampleWith({{3, "C  -38-14-1258-36-14-58-16-78,14"}}),
          {"Lead 3 (-38-14-1258-36-14-58-16-78,14): place notation that does not read: The rows reach the lead head "
           "13578264, which is none of the twelve lead-head codes"});
    check(sampleWith({{2, "L  Cornwal S"}, {5, "Es e&-36-4-5-6-34-3-34-1"}}),
          {"Lead 2 (Cornwal S): not in the method library", "Lead 5 (e&-36-4-5-6-34-3-34-1): false against lead 3"});
}

TEST(CompositionTest, LoadReportSuggestsTheLibraryNameATypedNameStandsFor) {
    const auto check = [](const std::string& line, const std::string& expected) {
        SCOPED_TRACE(line);
        EXPECT_EQ(composition(sampleWith({{2, line}}))->loadReport(), std::vector<std::string>{expected});
    };
    // A file's name is exact: the lead loses its method, and the report
    // names the one method the text stands for as a ringer types it.
    check("L  cornwall s", "Lead 2 (cornwall s): not in the method library; did you mean Cornwall S?");
    check("L  Cornwall", "Lead 2 (Cornwall): not in the method library; did you mean Cornwall S?");
    check("L  CORNWALL SURPRISE", "Lead 2 (CORNWALL SURPRISE): not in the method library; did you mean Cornwall S?");
    // Nothing to suggest: no name, or a notation text.
    check("L  Cornwal S", "Lead 2 (Cornwal S): not in the method library");
    check("L  l&-5z", "Lead 2 (l&-5z): not in the method library");
}

TEST(CompositionTest, LoadReportSuggestsNothingWhenATypedNameStandsForSeveral) {
    MethodLibrary library;
    library.addMethod("l&-56-4-56-3-4-5-4-5", "Cornwall S", "Cornwall");
    library.addMethod("l&-56-4-56-3-4-5-4-7", "Cornwall D", "Cornwall");
    std::istringstream in(sampleWith({{2, "L  cornwall"}}));
    const auto c = readComposition(in, MajorMethod::HalfLength, library);
    const auto& report = c->loadReport();
    ASSERT_GE(report.size(), 2u);
    EXPECT_EQ(report[1], "Lead 2 (cornwall): not in the method library");
}

TEST(CompositionTest, ReadFailuresNameTheLine) {
    const auto check = [](const std::string& text, const char* message, const std::string& detail) {
        SCOPED_TRACE(text);
        try {
            composition(text);
            ADD_FAILURE() << "no failure";
        } catch (const ModelError& e) {
            EXPECT_EQ(std::string(e.what()), message);
            EXPECT_EQ(e.detail(), detail);
        }
    };
    check("B\n# comment\nI\n", "Bad lead end group", "line 3: I");
    check("B\nB\n", "Attempt to insert false row", "line 2: lead head 15738264 repeats");
}

TEST(CompositionTest, ATrialRepeatingItsOwnRowsIsFalseInItsOwnLead) {
    const auto c = composition(sampleWith({}));
    const MajorMethod m(internallyFalseMethod(), test::starterLibrary());
    c->tryMethodAt(1, &m);
    const std::string report = c->falsenessReport();
    EXPECT_NE(report.find(" false in its own lead\r\n"), std::string::npos) << report;
    EXPECT_EQ(report.find(" false against 1\r\n"), std::string::npos) << report;
}

TEST(CompositionTest, MethodsOfAnotherCodeAreNotCommitted) {
    const auto c = composition(sampleWith({{3, "C  Cambridge S"}}));
    EXPECT_EQ(c->committedMethodAt(3), nullptr);
    EXPECT_EQ(c->leadAt(3)->name(), "");
    EXPECT_NE(saved(*c).find("\nC \n"), std::string::npos);
}

TEST(CompositionTest, ARowRepeatedInALaterPartIsFalse) {
    // A plain lead of B from rounds gives seven parts; all seven parts of
    // Cambridge make the plain course, which is true.
    const auto plainCourse = composition("B  Cambridge S\n");
    EXPECT_EQ(plainCourse->partCount(), 7);
    EXPECT_NE(plainCourse->committedMethodAt(1), nullptr);
    // Lead 2 rings no row of lead 1 within the part, but rings one of lead
    // 1's rows in another part: its method is false and is dropped.
    const auto c = composition("Bs Cambridge S\nB  Lincolnshire S\n");
    EXPECT_EQ(c->partCount(), 12);
    ASSERT_NE(c->committedMethodAt(1), nullptr);
    EXPECT_EQ(c->committedMethodAt(2), nullptr);
    const MajorMethod cambridge("Cambridge S", test::starterLibrary());
    const MajorMethod lincolnshire("Lincolnshire S", test::starterLibrary());
    std::set<Row> firstPart;
    for (int i = 0; i < 32; ++i) firstPart.insert(c->leadAt(1)->leadHead().times(cambridge.row(i)));
    for (int i = 0; i < 32; ++i) EXPECT_EQ(firstPart.count(c->leadAt(2)->leadHead().times(lincolnshire.row(i))), 0u) << i;
    c->tryMethodAt(2, &lincolnshire);
    EXPECT_FALSE(c->notFalseAgainst(1));
}

}  // namespace
// Lead heads or lead ends that repeat: refused as before, or with
// PlanRepeats::Record read as a false plan whose repeats are named and
// whose rows are registered once.
TEST(CompositionTest, APlanWhoseLeadHeadsRepeatIsRefusedOrRecorded) {
    const std::string text = "B  Cambridge S\nB \nB \nB \nB \nB \nB \nB \n";
    EXPECT_THROW_MSG(composition(text), ModelError, "Attempt to insert false row");
    std::istringstream in(text);
    const auto c = readComposition(in, 16, test::starterLibrary(), PlanRepeats::Record);
    ASSERT_TRUE(c->planIsFalse());
    EXPECT_EQ(c->partCount(), 7);
    const auto check = [&](std::size_t i, const std::string& expected) {
        SCOPED_TRACE(expected);
        ASSERT_LT(i, c->planRepeats().size());
        EXPECT_EQ(c->planRepeats()[i].describe(c->partCount()), expected);
    };
    check(0, "Lead 2's lead head 15738264 is lead 1's in part 2");
    check(1, "Lead 2's lead end 18765432 is lead 1's in part 2");
    check(13, "Lead 8's lead end 15372846 is lead 1's in part 1");
    EXPECT_TRUE(c->leadInFalsePlan(1) && c->leadInFalsePlan(8));
    // Each lead head and lead end once, and lead 1's method, true still.
    ASSERT_NE(c->committedMethodAt(1), nullptr);
    EXPECT_EQ(c->falseRows().size(), 2 * 8 - c->planRepeats().size() + 30);
    // A true plan reads the same either way.
    std::istringstream sample(test::readFile(test::repoDataDir() + "/quarnel.txt"));
    const auto recorded = readComposition(sample, 16, test::starterLibrary(), PlanRepeats::Record);
    EXPECT_FALSE(recorded->planIsFalse());
    EXPECT_EQ(test::saved(*recorded), test::saved(*composition(test::readFile(test::repoDataDir() + "/quarnel.txt"))));
    EXPECT_EQ(PlanRepeat{}.describe(1).find("in part"), std::string::npos);
}

}  // namespace quarnel
