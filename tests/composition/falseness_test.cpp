// The falseness register and the falseness figures of a trial: which leads
// a candidate clashes with, where, and how much.
#include <gtest/gtest.h>

#include <set>
#include <sstream>

#include "composition/composition.h"
#include "methods/major_method.h"
#include "methods/method_generator.h"
#include "ringing/model_error.h"
#include "support/composition_builders.h"
#include "support/test_support.h"

namespace quarnel {
namespace {

using test::composition;
using test::row;

class FalsenessTest : public ::testing::Test {
protected:
    std::unique_ptr<Composition> c = composition(test::readFile(test::repoDataDir() + "/quarnel.txt"));
    const MethodLibrary& library = test::starterLibrary();
};

TEST_F(FalsenessTest, EveryRowIsRegisteredOnce) {
    EXPECT_EQ(c->falseRows().size(), 8u * 32u);
    int heads = 0;
    for (const auto& [key, lead] : c->falseRows().entries()) heads += lead == 0 ? 1 : 0;
    EXPECT_EQ(heads, 16);
    EXPECT_EQ(c->ownerOf(rowKey(c->partEnd(), Row())), 0);
    EXPECT_EQ(c->ownerOf(RowKey{12}), -1);  // no row at all
    EXPECT_THROW_MSG(c->insertRow(rowKey(c->partEnd(), Row()), 3), ModelError, "Attempt to insert false row");
    EXPECT_THROW_MSG(c->eraseRow(rowKey(c->partEnd(), Row()), 3), ModelError, "Attempt to delete non-existent row");
    EXPECT_THROW_MSG(c->eraseRow(RowKey{12}, 0), ModelError, "Attempt to delete non-existent row");
}

TEST_F(FalsenessTest, NoTrialMeansNoFalseness) {
    EXPECT_EQ(c->falsenessReport(), "No falseness detected\r\n");
    EXPECT_EQ(c->falsenessScore(), 0);
    EXPECT_EQ(c->falsenessProfile(0, false), 15);
    EXPECT_EQ(c->falsenessProfile(0, true), 15);
    const MajorMethod own(c->leadAt(3)->notation(), library);
    c->tryMethodAt(3, &own);  // a lead's own method is not false against itself
    EXPECT_EQ(c->falsenessReport(), "No falseness detected\r\n");
    c->tryMethodAt(3, nullptr);
    EXPECT_EQ(c->falsenessScore(), 0);
}

TEST_F(FalsenessTest, TryingAnotherLeadsMethodShowsWhereItClashes) {
    // Lead 7's method tried in lead 5 (both code E): every row of lead 5 is
    // then the row rung in lead 5 with lead 7's method.
    const MajorMethod other("Ashtead S", library);
    c->tryMethodAt(5, &other);
    const std::string report = c->falsenessReport();
    EXPECT_EQ(report.substr(report.size() - 2), "\r\n");
    int lines = 0;
    for (int lead : c->trialFalseness().leads()) {
        ++lines;
        EXPECT_NE(lead, 5);
        EXPECT_GE(c->trialFalseness().positionOf(lead), 1);
        EXPECT_LE(c->trialFalseness().positionOf(lead), 15);
    }
    EXPECT_EQ(c->falsenessScore(), lines + (c->notFalseAgainst(0) ? 0 : 99));
    // Outside the composition nothing changes.
    const std::string before = c->falsenessReport();
    c->tryMethodAt(0, &other);
    c->tryMethodAt(9, nullptr);
    EXPECT_EQ(c->falsenessReport(), before);
}

TEST_F(FalsenessTest, ACommitThatClashesLeavesTheRegisterAsItWas) {
    // Find a method of code C that clashes with some other lead when tried in lead 3.
    MajorMethodGenerator g;
    GeneratorOptions o;
    std::unique_ptr<MajorMethod> clashing;
    for (std::string text = g.nextMethod('c', -1, o); !text.empty(); text = g.nextMethod('c', 14, o)) {
        auto m = std::make_unique<MajorMethod>(text, library);
        c->tryMethodAt(3, m.get());
        if (c->notFalseAgainst(0) && c->notFalseAgainst(3) && c->falsenessScore() > 0) {
            clashing = std::move(m);
            break;
        }
    }
    ASSERT_NE(clashing, nullptr);
    c->tryMethodAt(3, clashing.get());
    const auto before = c->falseRows().entries();
    c->setMethodAt(3, true);
    EXPECT_EQ(c->committedMethodAt(3), nullptr);
    EXPECT_EQ(c->leadAt(3)->name(), "");
    auto expected = before;
    std::erase_if(expected, [](const auto& e) { return e.second == 3; });
    EXPECT_EQ(c->falseRows().entries(), expected);
    EXPECT_EQ(c->falseRows().size(), 7u * 32u + 2u);
}

TEST_F(FalsenessTest, RemovingAndRecommittingAMethod) {
    const MajorMethod cornwall("Cornwall S", library);
    c->setMethodAt(2, false);
    EXPECT_EQ(c->committedMethodAt(2), nullptr);
    EXPECT_EQ(c->falseRows().size(), 7u * 32u + 2u);
    c->tryMethodAt(2, &cornwall);
    EXPECT_EQ(c->falsenessReport(), "No falseness detected\r\n");
    EXPECT_TRUE(c->trialMatchesAt(2));
    c->setMethodAt(2, true);
    ASSERT_NE(c->committedMethodAt(2), nullptr);
    EXPECT_EQ(c->leadAt(2)->name(), "Cornwall S");
    EXPECT_EQ(c->falseRows().size(), 8u * 32u);
    EXPECT_FALSE(c->trialMatchesAt(1));  // lead 1 has no trial
}

TEST(FalsenessProfileTest, WeightsAndBackOff) {
    auto profile = [](std::initializer_list<std::pair<int, int>> entries, int maximum, bool backOff) {
        TrialFalseness t;
        t.reserve(10);
        for (const auto& [lead, position] : entries) t.set(lead, position);
        return falsenessProfile(t, maximum, backOff);
    };
    EXPECT_EQ(profile({}, 0, false), 15);
    EXPECT_EQ(profile({}, 0, true), 15);
    EXPECT_EQ(profile({{0, 4}}, 0, false), 4);    // lead heads weigh 99
    EXPECT_EQ(profile({{0, 4}}, 98, false), 4);
    EXPECT_EQ(profile({{0, 4}}, 99, false), 15);
    EXPECT_EQ(profile({{3, 6}, {5, 9}}, 0, false), 6);
    EXPECT_EQ(profile({{3, 6}, {5, 9}}, 1, false), 9);
    EXPECT_EQ(profile({{3, 6}, {5, 9}}, 2, false), 15);
    EXPECT_EQ(profile({{3, 6}, {5, 9}}, 2, true), 9);  // back to the last increase
    EXPECT_EQ(profile({{3, 15}}, 1, true), 15);
    EXPECT_EQ(profile({{3, 1}}, 5, true), 1);
}

TEST_F(FalsenessTest, ClashesWithLeadHeadsAndLeadEnds) {
    // A generated method of code H that, tried in lead 6, rings a lead head
    // or lead end of the composition at its row 2, and a row of lead 1 at row 4.
    const auto m = std::make_unique<MajorMethod>("h&-34-4-2-6-4-1-2-1", library);
    c->tryMethodAt(6, m.get());
    EXPECT_EQ(c->falsenessReport(), "Row 2 false against lh/le\r\nRow 4 false against 1\r\n");
    ASSERT_NE(m, nullptr);
    const int p = c->trialFalseness().positionOf(0);
    const std::string report = c->falsenessReport();
    EXPECT_EQ(report.substr(0, report.find("\r\n") + 2), "Row " + std::to_string(p) + " false against lh/le\r\n");
    const int others = static_cast<int>(c->trialFalseness().size()) - 1;
    EXPECT_EQ(c->falsenessScore(), 100 + others);
    EXPECT_EQ(c->falsenessProfile(98, false), p);
    EXPECT_EQ(c->falsenessProfile(99 + others, false), 15);
    EXPECT_LE(c->falsenessProfile(0, false), p);
    // Its rows cannot be committed.
    c->setMethodAt(3, true);
    EXPECT_EQ(c->committedMethodAt(3), nullptr);
}

TEST_F(FalsenessTest, ReportListsLeadsInAscendingOrder) {
    const MajorMethod other("Ashtead S", library);
    for (int lead = 1; lead <= 8; ++lead) {
        c->tryMethodAt(lead, &other);
        std::string expected;
        for (int o : c->trialFalseness().leads())
            expected += "Row " + std::to_string(c->trialFalseness().positionOf(o)) +
                        (o == 0 ? std::string(" false against lh/le") : " false against " + std::to_string(o)) + "\r\n";
        if (expected.empty()) expected = "No falseness detected\r\n";
        EXPECT_EQ(c->falsenessReport(), expected);
        const auto& leads = c->trialFalseness().leads();
        EXPECT_TRUE(std::is_sorted(leads.begin(), leads.end()));
    }
}

}  // namespace
}  // namespace quarnel
