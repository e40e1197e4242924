#include <gtest/gtest.h>

#include <string>

#include "ringing/call.h"
#include "ringing/place_notation.h"
#include "support/test_support.h"

namespace quarnel {
namespace {

using test::row;

TEST(CallTest, EachCallHasItsSymbolAndLeadEndChange) {
    struct Case {
        Call call;
        char symbol;
        const char* nearChange;
        const char* farChange;
    };
    const Case cases[] = {
        {Call::Plain, ' ', "12", "18"},
        {Call::Bob, '-', "14", "14"},
        {Call::Single, 's', "1234", "1234"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(1, c.symbol));
        EXPECT_EQ(symbolOf(c.call), c.symbol);
        EXPECT_EQ(callOfSymbol(c.symbol), c.call);
        EXPECT_EQ(leadEndChangeOf(c.call, LeadEndGroup::Near), c.nearChange);
        EXPECT_EQ(leadEndChangeOf(c.call, LeadEndGroup::Far), c.farChange);
    }
}

TEST(CallTest, EveryOtherCharacterIsAPlainLead) {
    for (char symbol : {'\0', 'x', 'S', '+', '_', '1', 'B'}) {
        SCOPED_TRACE(std::string(1, symbol));
        EXPECT_EQ(callOfSymbol(symbol), Call::Plain);
    }
}

TEST(CallTest, TheChangeRowIsThePlaceNotationRungOnRounds) {
    for (Call call : {Call::Plain, Call::Bob, Call::Single})
        for (LeadEndGroup group : {LeadEndGroup::Near, LeadEndGroup::Far}) {
            SCOPED_TRACE(std::string(leadEndChangeOf(call, group)));
            const std::optional<Change> change = Change::parse(leadEndChangeOf(call, group));
            ASSERT_TRUE(change.has_value());
            EXPECT_EQ(leadEndChangeRow(call, group), applied(Row(), *change));
        }
}

TEST(CallTest, NextLeadHeadsAfterALeadEnd) {
    // 15372846 is the lead end of B and of G from rounds.
    const LeadHeadCode b = *LeadHeadCode::fromLetter('B');
    const LeadHeadCode g = *LeadHeadCode::fromLetter('G');
    const Row leadEnd = row("15372846");
    const auto check = [&leadEnd](LeadHeadCode code, Call call, const char* next) {
        SCOPED_TRACE(std::string(1, code.letter()) + symbolOf(call));
        EXPECT_EQ(nextLeadHeadOf(leadEnd, code, call), row(next));
    };
    // A plain lead makes its group's change; the calls are the same in both groups.
    check(b, Call::Plain, "15738264");
    check(g, Call::Plain, "13527486");
    check(b, Call::Bob, "13578264");
    check(g, Call::Bob, "13578264");
    check(b, Call::Single, "15378264");
    check(g, Call::Single, "15378264");
}

}  // namespace
}  // namespace quarnel
