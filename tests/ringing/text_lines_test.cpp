#include <gtest/gtest.h>

#include <sstream>

#include "ringing/text_lines.h"

namespace quarnel {
namespace {

std::vector<std::string> readAll(const std::string& text, std::size_t keep = 4096) {
    std::istringstream in(text);
    std::vector<std::string> lines;
    for (std::string line; readTextLine(in, line, keep);) lines.push_back(line);
    return lines;
}

TEST(TextLinesTest, LineEndsOfEveryPlatformReadTheSame) {
    using Lines = std::vector<std::string>;
    EXPECT_EQ(readAll("a\nb\n"), (Lines{"a", "b"}));
    EXPECT_EQ(readAll("a\r\nb\r\n"), (Lines{"a", "b"}));
    EXPECT_EQ(readAll("a\r\nlast"), (Lines{"a", "last"}));  // the last line needs no line end
    EXPECT_EQ(readAll("\n\n"), (Lines{"", ""}));
    EXPECT_EQ(readAll(""), Lines{});
    EXPECT_EQ(readAll("a\rb\n"), (Lines{"a\rb"}));  // only a carriage return before the line feed goes
    EXPECT_EQ(readAll(std::string("x\0y\n", 4)), (Lines{std::string("x\0y", 3)}));
}

TEST(TextLinesTest, LongLinesAreCutButTheirRestIsSkipped) {
    const auto lines = readAll(std::string(50, 'a') + "\r\nnext\n", 10);
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0], std::string(11, 'a'));  // one past the limit: the caller sees it is too long
    EXPECT_EQ(lines[1], "next");
}

}  // namespace
}  // namespace quarnel
