// The lead-end rows of the code letters, and the plain leads they make.
#include <gtest/gtest.h>

#include <string>

#include "ringing/lead_end_table.h"
#include "ringing/model_error.h"
#include "ringing/row.h"
#include "support/test_support.h"

namespace quarnel {
namespace {

using test::row;

TEST(LeadEndTableTest, RowsOfCodesAndLeadEndChanges) {
    auto check = [](std::string_view start, std::string_view key, std::string_view expected) {
        SCOPED_TRACE(std::string(start) + " by " + std::string(key));
        EXPECT_EQ(row(start).transposedBy(key), row(expected));
    };
    check("12345678", "B", "15372846");
    check("15372846", "12", "15738264");
    check("12345678", "G", "15372846");
    check("15372846", "18", "13527486");
    check("13254768", "14", "12357486");  // a bob after A
    check("13254768", "s", "13257486");   // a single after A
    check("12436587", "14", "14235678");  // a bob after M
    check("13527486", "B", "17583624");
    check("17583624", "12", "17856342");
    check("17583624", "14", "15786342");
    EXPECT_EQ(Row().transposedBy("A"), Row().transposedBy("18"));
    EXPECT_EQ(Row().transposedBy("M"), Row().transposedBy("12"));
    EXPECT_TRUE(LeadEndTable::isBuilt());
}

TEST(LeadEndTableTest, KeysTheTableDoesNotHoldAreBadLeadEndGroups) {
    for (const char* key : {"I", "Q", "Z", "a", "b", "", "*", "13", "AB"}) {
        SCOPED_TRACE(key);
        EXPECT_EQ(LeadEndTable::lookup(key), nullptr);
        EXPECT_THROW_MSG(Row().transposedBy(key), ModelError, "Bad lead end group");
    }
    EXPECT_EQ(leadEndRowOf('b'), LeadEndTable::lookup("B"));
    EXPECT_EQ(leadEndRowOf('i'), nullptr);
    EXPECT_EQ(leadEndRowOf('*'), nullptr);
}

TEST(LeadEndTableTest, PlainLeadsOfEveryCodeFromRounds) {
    const std::pair<char, const char*> cases[] = {{'A', "13527486"}, {'B', "15738264"}, {'C', "17856342"},
                                                  {'D', "18674523"}, {'E', "16482735"}, {'F', "14263857"},
                                                  {'G', "13527486"}, {'H', "15738264"}, {'J', "17856342"},
                                                  {'K', "18674523"}, {'L', "16482735"}, {'M', "14263857"}};
    for (const auto& [code, next] : cases) {
        SCOPED_TRACE(code);
        const Row leadEnd = Row().transposedBy(std::string(1, code));
        EXPECT_EQ(leadEnd.transposedBy(plainLeadEnd(code)), row(next));
    }
}

TEST(LeadEndTableTest, SevenPlainLeadsOfBComeRound) {
    const char* heads[] = {"15738264", "18674523", "14263857", "13527486", "17856342", "16482735", "12345678"};
    Row r;
    for (const char* expected : heads) {
        r = r.transposedBy("B").transposedBy("12");
        EXPECT_EQ(r, row(expected));
    }
}

}  // namespace
}  // namespace quarnel
