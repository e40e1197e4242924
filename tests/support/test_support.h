#pragma once
// Helpers shared by the tests: message-checking throw assertions, row and
// method builders, and the folders of test data.
#include <gtest/gtest.h>

#include <string>
#include <string_view>
#include <vector>

#include "methods/method_library.h"
#include "ringing/call.h"
#include "ringing/lead_head_code.h"
#include "ringing/row.h"

// Expects the statement to throw an exception of the type whose what() is
// exactly the message.
#define EXPECT_THROW_MSG(statement, type, message)                                  \
    do {                                                                            \
        bool quarnelThrew = false;                                                  \
        try {                                                                       \
            statement;                                                              \
        } catch (const type& quarnelError) {                                        \
            quarnelThrew = true;                                                    \
            EXPECT_EQ(std::string(quarnelError.what()), std::string(message));      \
        }                                                                           \
        EXPECT_TRUE(quarnelThrew) << "expected " #type " with \"" << (message) << "\""; \
    } while (false)

namespace quarnel {

// Codes and calls in failure messages: the letter, and the file symbol in quotes.
inline void PrintTo(const LeadHeadCode& code, std::ostream* out) { *out << code.letter(); }
inline void PrintTo(Call call, std::ostream* out) { *out << '"' << symbolOf(call) << '"'; }

}  // namespace quarnel

namespace quarnel::test {

// A row from its eight symbols; fails the test when the text is no row.
Row row(std::string_view text);

// Folders: the full method libraries (the program's own, in data/), the
// 51 standard methods, the 48-method starter library most tests are written
// against, this repository's data/ and the tests' own fixture files.
std::string fullMethodsDir();
std::string standardMethodsDir();
std::string starterMethodsDir();
std::string repoDataDir();
std::string testDataDir();

// The method library of a folder (S8, D8 and T8), read once and kept. A
// folder without all three files fails the test that asks, naming the file.
const MethodLibrary& libraryIn(const std::string& folder);

// Compares a text with a checked-in golden file of tests/data (a path
// below it); run the tests with QUARNEL_BLESS=1 to rewrite the files.
void expectGolden(const std::string& actual, const std::string& file);

// The lines of a text, without their line ends.
std::vector<std::string> lines(const std::string& text);

// The whole content of a file ("" when it does not open).
std::string readFile(const std::string& path);

}  // namespace quarnel::test
