#pragma once
// Helpers shared by the tests: message-checking throw assertions, row and
// method builders, and the folders of test data.
#include <gtest/gtest.h>

#include <string>
#include <string_view>

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

namespace quarnel::test {

// A row from its eight symbols; fails the test when the text is no row.
Row row(std::string_view text);

// Folders: the full method libraries, the small standard set, this
// repository's data/ and the tests' own fixture files.
std::string sharedMethodsDir();
std::string standardMethodsDir();
std::string repoDataDir();
std::string testDataDir();

// The whole content of a file ("" when it does not open).
std::string readFile(const std::string& path);

}  // namespace quarnel::test
