#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "composition/composition.h"
#include "composition/plan.h"
#include "composition/plan_edit.h"
#include "support/composition_builders.h"
#include "support/test_support.h"

namespace quarnel {
namespace {

PlannedLead lead(char letter, Call call) { return {*LeadHeadCode::fromLetter(letter), call}; }

struct PlanCase {
    std::string file;
    std::vector<PlannedLead> leads;
    int partCount;
};

// The composition files and their lead lines as (code, call).
std::vector<PlanCase> planCases() {
    const Call plain = Call::Plain;
    const Call bob = Call::Bob;
    const Call single = Call::Single;
    return {
        {test::repoDataDir() + "/quarnel.txt",
         {lead('D', bob), lead('L', plain), lead('C', plain), lead('H', bob), lead('E', single), lead('H', single),
          lead('E', plain), lead('G', plain)},
         5},
        {test::testDataDir() + "/two_leads_three_parts.txt", {lead('B', bob), lead('C', plain)}, 3},
    };
}

TEST(PlanTest, PlanOfACompositionEqualsThePlanOfItsCodesAndCalls) {
    for (const PlanCase& c : planCases()) {
        SCOPED_TRACE(c.file);
        const auto composition = test::composition(test::readFile(c.file));
        ASSERT_EQ(composition->leadCount(), c.leads.size());
        EXPECT_EQ(composition->plan(), Plan(c.leads));
        EXPECT_EQ(composition->plan().leads(), c.leads);
    }
}

TEST(PlanTest, APlanGivesTheLeadHeadsPartEndAndPartCountOfItsComposition) {
    for (const PlanCase& c : planCases()) {
        SCOPED_TRACE(c.file);
        const auto composition = test::composition(test::readFile(c.file));
        const Plan plan(c.leads);
        ASSERT_EQ(plan.leadCount(), composition->leadCount());
        ASSERT_EQ(plan.leadHeads().size(), plan.leadCount());
        for (std::size_t i = 0; i < plan.leadCount(); ++i) {
            SCOPED_TRACE(i + 1);
            const Lead& read = *composition->leadAt(static_cast<int>(i + 1));
            EXPECT_EQ(plan.leadHeads()[i], read.leadHead());
            EXPECT_EQ(plan.leadEndAt(i), read.leadEnd());
            EXPECT_EQ(composition->codeAt(static_cast<int>(i + 1)), c.leads[i].code);
            EXPECT_EQ(composition->callAt(static_cast<int>(i + 1)), c.leads[i].call);
        }
        EXPECT_EQ(plan.partEnd(), composition->partEnd());
        EXPECT_EQ(plan.partCount(), composition->partCount());
        EXPECT_EQ(plan.partCount(), c.partCount);
    }
}

TEST(PlanTest, ACallChangedIsAnotherPlanWithAnotherPartEnd) {
    std::vector<PlannedLead> leads = planCases()[1].leads;
    const Plan before(leads);
    leads[0].call = Call::Single;
    const Plan after(leads);
    EXPECT_NE(after, before);
    EXPECT_EQ(after.leadHeads()[0], before.leadHeads()[0]);
    EXPECT_NE(after.leadHeads()[1], before.leadHeads()[1]);
    EXPECT_NE(after.partEnd(), before.partEnd());
}

TEST(PlanTest, NoLeadsIsOnePartEndingInRounds) {
    const Plan plan({});
    EXPECT_EQ(plan.leadCount(), 0u);
    EXPECT_TRUE(plan.leadHeads().empty());
    EXPECT_EQ(plan.partEnd().row(), Row());
    EXPECT_EQ(plan.partCount(), 1);
    EXPECT_EQ(test::composition("")->plan(), plan);
}

TEST(PlanTest, CallsOutsideTheLeadsAreNone) {
    const auto composition = test::composition("B-\n");
    EXPECT_EQ(composition->callAt(1), Call::Bob);
    for (int n : {0, -1, 2}) {
        SCOPED_TRACE(n);
        EXPECT_EQ(composition->callAt(n), std::nullopt);
    }
}

// The methods of a plan's lines, and methods written back only into the
// leads that have none.
TEST(PlanTest, MethodsAreReadFromLeadLinesAndWrittenOnlyWhereThereIsNone) {
    const std::string text = "B  Cambridge S\nnot a lead\nB-\nB  \nF  London S  \n";
    EXPECT_EQ(methodTexts(text), (std::vector<std::string>{"Cambridge S", "", "", "London S"}));
    EXPECT_EQ(withMethodsWhereNone(text, {"Yorkshire S", "Bristol S", "", "Ipswich S", "past the end"}),
              "B  Cambridge S\nB- Bristol S\nB  \nF  London S  \n");
    EXPECT_EQ(withMethodsWhereNone(text, {}), "B  Cambridge S\nB-\nB  \nF  London S  \n");
}

}  // namespace
}  // namespace quarnel
