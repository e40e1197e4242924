#include <gtest/gtest.h>

#include <string>

#include "ringing/lead_end_table.h"
#include "ringing/lead_head_code.h"
#include "support/test_support.h"

namespace quarnel {
namespace {

using test::row;

TEST(LeadHeadCodeTest, EveryLetterFromAToMButIIsACodeOfItsGroup) {
    const auto check = [](char letter, LeadEndGroup group, const char* plain) {
        SCOPED_TRACE(std::string(1, letter));
        const std::optional<LeadHeadCode> code = LeadHeadCode::fromLetter(letter);
        ASSERT_TRUE(code.has_value());
        EXPECT_EQ(code->letter(), letter);
        EXPECT_EQ(code->notationLetter(), static_cast<char>(letter - 'A' + 'a'));
        EXPECT_EQ(code->group(), group);
        EXPECT_EQ(code->plainLeadEnd(), plain);
    };
    // The near group: the plain lead end makes seconds.
    check('A', LeadEndGroup::Near, "12");
    check('B', LeadEndGroup::Near, "12");
    check('C', LeadEndGroup::Near, "12");
    check('D', LeadEndGroup::Near, "12");
    check('E', LeadEndGroup::Near, "12");
    check('F', LeadEndGroup::Near, "12");
    // The far group: the plain lead end makes eighths.
    check('G', LeadEndGroup::Far, "18");
    check('H', LeadEndGroup::Far, "18");
    check('J', LeadEndGroup::Far, "18");
    check('K', LeadEndGroup::Far, "18");
    check('L', LeadEndGroup::Far, "18");
    check('M', LeadEndGroup::Far, "18");
}

TEST(LeadHeadCodeTest, LettersThatAreNoCodeAreRefused) {
    for (char letter : {'I', 'N', 'Q', 'Z', '@', '[', '*', ' ', '\0', 'a', 'b', 'm', '-', '1'}) {
        SCOPED_TRACE(std::string(1, letter));
        EXPECT_FALSE(LeadHeadCode::fromLetter(letter).has_value());
    }
}

TEST(LeadHeadCodeTest, EitherCaseReadsTheLettersTheLeadEndTableReads) {
    for (int c = -128; c < 128; ++c) {
        const char letter = static_cast<char>(c);
        SCOPED_TRACE(c);
        const std::optional<LeadHeadCode> code = LeadHeadCode::fromEitherCase(letter);
        ASSERT_EQ(code.has_value(), leadEndRowOf(letter) != nullptr);
        if (code) {
            EXPECT_EQ(&code->leadEndRow(), leadEndRowOf(letter));
        }
    }
    EXPECT_EQ(LeadHeadCode::fromEitherCase('h'), LeadHeadCode::fromLetter('H'));
}

TEST(LeadHeadCodeTest, TheLeadEndRowIsTheLeadEndTables) {
    const std::pair<char, const char*> cases[] = {{'A', "13254768"}, {'B', "15372846"}, {'C', "17583624"},
                                                  {'D', "18765432"}, {'E', "16847253"}, {'F', "14628375"},
                                                  {'G', "15372846"}, {'H', "17583624"}, {'J', "18765432"},
                                                  {'K', "16847253"}, {'L', "14628375"}, {'M', "12436587"}};
    for (const auto& [letter, leadEnd] : cases) {
        SCOPED_TRACE(std::string(1, letter));
        const LeadHeadCode code = *LeadHeadCode::fromLetter(letter);
        EXPECT_EQ(code.leadEndRow(), row(leadEnd));
        EXPECT_EQ(code.leadEndRow(), *LeadEndTable::lookup(std::string(1, letter)));
    }
}

TEST(LeadHeadCodeTest, AllCodesAreTheTwelveInLetterOrder) {
    std::string letters;
    for (const LeadHeadCode& code : AllLeadHeadCodes) letters += code.letter();
    EXPECT_EQ(letters, "ABCDEFGHJKLM");
    EXPECT_LT(*LeadHeadCode::fromLetter('F'), *LeadHeadCode::fromLetter('G'));
}

}  // namespace
}  // namespace quarnel
