#include "ringing/notation_forms.h"

#include <gtest/gtest.h>

#include <string>

#include "methods/major_method.h"
#include "support/test_support.h"

namespace quarnel {
namespace {

constexpr const char* Cambridge = "b&-3-4-25-36-4-5-6-7";

TEST(NotationFormsTest, EveryFormOfCambridgeReadsAsItsNotationText) {
    const char* forms[] = {
        // The system's own text, and with its changes in full.
        "b&-3-4-25-36-4-5-6-7",
        "b&-38-14-1258-36-14-58-16-78",
        // The cross written x or X.
        "b&x3x4x25x36x4x5x6x7",
        "b&X3X4X25X36X4X5X6X7",
        // Dots beside crosses or at the ends only separate.
        "b&-3.-4.-25.-36.-4.-5.-6.-7.",
        "b&.x.38.x.14.x.1258.x.36.x.14.x.58.x.16.x.78.",
        // The Council's form: half lead, comma, lead-end change.
        "x38x14x1258x36x14x58x16x78,12",
        "-38-14-1258-36-14-58-16-78,12",
        "&-38-14-1258-36-14-58-16-78,12",
        "&x3x4x25x36x4x5x6x7,2",
        "b&-3-4-25-36-4-5-6-7,12",
        // Blanks around a pasted text.
        "  x38x14x1258x36x14x58x16x78,12\r\n",
    };
    for (const char* form : forms) {
        SCOPED_TRACE(form);
        const NotationReading r = readNotation(form);
        EXPECT_EQ(r.reason, "");
        EXPECT_EQ(r.text, Cambridge);
        EXPECT_TRUE(r.ok());
    }
}

TEST(NotationFormsTest, TheLeadEndChangeChoosesBetweenTheTwoCodesOfALeadHead) {
    // Cambridge's half lead with the lead end 18 reaches the lead head of
    // codes a and g; 18 is g's lead end.
    EXPECT_EQ(readNotation("-38-14-1258-36-14-58-16-78,18").text, "g&-3-4-25-36-4-5-6-7");
    EXPECT_EQ(readNotation("-38-14-1258-36-14-58-16-78,1").text, "g&-3-4-25-36-4-5-6-7");
    // Bristol: a far-group method read from the Council's form.
    EXPECT_EQ(readNotation("x58x14.58x58.36.14x14.58x14x18,18").text, "m&-5-4.5-5.36.4-4.5-4-1");
}

TEST(NotationFormsTest, BadNotationSaysWhyAndGivesNoText) {
    const std::pair<const char*, const char*> cases[] = {
        // Nothing there.
        {"", "No notation given"},
        {"   ", "No notation given"},
        // Wrong number of changes.
        {"x38x14x1258x36x14x58x16x,12", "15 changes in the half lead; a Major half lead has 16"},
        {"b&-3-4-25-36-4-5-6-7-", "17 changes in the half lead; a Major half lead has 16"},
        {"b&-3-4-25-36-4-5-6-7-5-4-3-2-1-4-5-6-7-8", "More than 16 changes in the half lead"},
        {"b&", "0 changes in the half lead; a Major half lead has 16"},
        {"&,12", "0 changes in the half lead; a Major half lead has 16"},
        // Lead heads and codes.
        {"-38-14-1258-36-14-58-16-78,14", "The rows reach the lead head 13578264, which is none of the twelve lead-head codes"},
        {"-38-14-1258-36-14-58-16-38,12", "The rows reach the lead head 18763524, which is none of the twelve lead-head codes"},
        {"b&-3-4-25-36-4-5-6-7,18", "The lead-end change 18 disagrees with code b, whose lead end is 12"},
        {"c&-3-4-25-36-4-5-6-7", "The rows reach the lead head 15738264, not the lead head of code c (17856342)"},
        {"i&-3-4-25-36-4-5-6-7", "'i' is not one of the twelve lead-head codes (a to m, without i)"},
        {"B&-3-4-25-36-4-5-6-7", "'B' is not one of the twelve lead-head codes (a to m, without i)"},
        {"-38-14-1258-36-14-58-16-78", "No code letter and no lead-end change: write b&-3-4-25-36-4-5-6-7 or -38-14-1258-36-14-58-16-78,12"},
        {"-38-14-1258-36-14-58-16-78,", "No lead-end change after the comma"},
        {"-38-14-1258-36-14-58-16-78,12,12", "More than one comma"},
        {"-38-14-1258-36-14-58-16-78,12.18", "The lead-end change after the comma must be one change"},
        // Changes that are none.
        {"-38-14-2158-36-14-58-16-78,12", "Change 2158: places not in ascending order"},
        {"-38-14-1258-36-14-58-16-77,12", "Change 77: places not in ascending order"},
        {"-38-14-1258-36-14-58-16-79,12", "Change 79: place 9 is beyond the eighth"},
        {"-38-14-1258-36-14-58-16-70,12", "Change 70: place 10 is beyond the eighth"},
        {"-38-14-1258..36-14-58-16-78,12", "Two dots together leave an empty change"},
        {"b&-3-4..25-36-4-5-6-7", "Two dots together leave an empty change"},
        // Stray characters.
        {"-38-14-1258-36-14-58-16-7q,12", "'q' is not a place, a cross or a separator"},
        {"-38-14-1258 -36-14-58-16-78,12", "' ' is not a place, a cross or a separator"},
        {"b&-3-4-25-36-4-5-6-7&", "'&' is not a place, a cross or a separator"},
        {"Cambridge S", "'C' is not a place, a cross or a separator"},
        {"-38-14-1258-36-14-58-16-78,E", "'E' is not a place, a cross or a separator"},
    };
    for (const auto& [text, reason] : cases) {
        SCOPED_TRACE(text);
        const NotationReading r = readNotation(text);
        EXPECT_EQ(r.reason, reason);
        EXPECT_EQ(r.text, "");
        EXPECT_FALSE(r.ok());
    }
}

TEST(NotationFormsTest, NamesDoNotLookLikeNotation) {
    EXPECT_TRUE(looksLikeNotation("x38x14x1258x36x14x58x16x78,12"));
    EXPECT_TRUE(looksLikeNotation("b&-3-4"));
    EXPECT_TRUE(looksLikeNotation("&-3-4,12"));
    EXPECT_TRUE(looksLikeNotation("-38-14-1258..36"));
    for (const char* name : {"Cambridge S", "cambridge", "Ankh-Morpork S", "3-1-3 S", "Bath&NorthEastSomerset S", ""}) {
        SCOPED_TRACE(name);
        EXPECT_FALSE(looksLikeNotation(name));
    }
}

// The whole library: each method written as the Council prints it (crosses
// as x, the lead-end change after a comma) and with x in its own text reads
// back as its own text, with the same rows and code; its text itself writes
// back byte for byte.
TEST(NotationFormsTest, EveryLibraryMethodReadsBackFromTheCommaFormAndWithX) {
    const MethodLibrary& library = test::libraryIn(test::fullMethodsDir());
    ASSERT_EQ(library.size(), 7703u);
    const MethodLibrary none;
    int checked = 0;
    for (const auto& [name, text] : library.byName()) {
        SCOPED_TRACE(name + " " + text);
        const MajorMethod own(text, none);
        ASSERT_TRUE(own.hasNotation());
        ASSERT_EQ(own.notationText(), text);

        std::string comma;
        for (int i = 0; i < own.halfLength(); ++i) {
            const Change& c = own.change(i);
            if (i > 0 && !c.isCross() && !own.change(i - 1).isCross()) comma += '.';
            comma += c.isCross() ? std::string("x") : std::string(c.text());
        }
        comma += ',';
        comma += own.code() > 'f' ? "18" : "12";
        std::string withX = text;
        for (char& ch : withX)
            if (ch == '-') ch = 'x';

        for (const std::string& form : {comma, withX}) {
            SCOPED_TRACE(form);
            const NotationReading r = readNotation(form);
            ASSERT_EQ(r.reason, "");
            ASSERT_EQ(r.text, text);
            const MajorMethod back(r.text, none);
            ASSERT_EQ(back.code(), own.code());
            for (int row = 0; row <= own.leadLength(); ++row) ASSERT_EQ(back.row(row), own.row(row));
        }
        ++checked;
    }
    EXPECT_EQ(checked, 7703);
}

}  // namespace
}  // namespace quarnel
