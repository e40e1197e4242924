#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "cli/commands.h"
#include "support/test_support.h"

namespace quarnel {
namespace {

namespace fs = std::filesystem;

struct Outcome {
    int status;
    std::string out, err;
};

Outcome import(const std::string& xml, const fs::path& folder) {
    std::istringstream in;
    std::ostringstream out, err;
    const int status = cli::run({"library", "import", xml, folder.string()}, in, out, err);
    return {status, out.str(), err.str()};
}

fs::path freshFolder(const std::string& name) {
    const fs::path folder = fs::temp_directory_path() / ("quarnel-import-" + name);
    fs::remove_all(folder);
    fs::create_directories(folder);
    return folder;
}

TEST(LibraryImportTest, WritesTheThreeFilesAndCountsWhatItSkipped) {
    const fs::path folder = freshFolder("ok");
    const Outcome r = import(test::testDataDir() + "/council_methods.xml", folder);
    EXPECT_EQ(r.status, 0) << r.err;
    std::istringstream lines(r.out);
    std::string first, second, third;
    std::getline(lines, first);
    std::getline(lines, second);
    std::getline(lines, third);
    EXPECT_EQ(first, "Surprise Major: 5 written to " + (folder / "S8").string());
    EXPECT_EQ(second, "Delight Major: 1 written to " + (folder / "D8").string());
    EXPECT_EQ(third, "Treble Bob Major: 1 written to " + (folder / "T8").string());
    EXPECT_NE(r.out.find("\nSkipped, lead end not 12 or 18: 1\n"), std::string::npos);
    EXPECT_EQ(r.out.find("hunt bell not on"), std::string::npos);  // reasons that skipped nothing are not listed
    const std::string t8 = test::readFile((folder / "T8").string());
    EXPECT_EQ(t8.substr(t8.find('\n', t8.find('\n') + 1) + 1), "Kent m &34-34.1-2-1-2-1-2-1\n");
}

TEST(LibraryImportTest, MalformedOrForeignXmlWritesNothing) {
    const fs::path folder = freshFolder("bad");
    std::ofstream(folder / "S8") << "S8\nkept\nOld b &-3-4-25-36-4-5-6-7\n";
    auto check = [&](const std::string& name, const std::string& content, const std::string& reason) {
        SCOPED_TRACE(name);
        const fs::path xml = folder / name;
        std::ofstream(xml, std::ios::binary) << content;
        const Outcome r = import(xml.string(), folder);
        EXPECT_EQ(r.status, 1);
        EXPECT_EQ(r.out, "");
        EXPECT_EQ(r.err.substr(0, xml.string().size() + 4 + reason.size()), xml.string() + " is " + reason);
        EXPECT_NE(r.err.find("Nothing was written."), std::string::npos);
        EXPECT_EQ(test::readFile((folder / "S8").string()), "S8\nkept\nOld b &-3-4-25-36-4-5-6-7\n");
        EXPECT_FALSE(fs::exists(folder / "D8"));
        EXPECT_FALSE(fs::exists(folder / "S8.quarnel-new"));
    };
    const std::string full = test::readFile(test::testDataDir() + "/council_methods.xml");
    check("cut.xml", full.substr(0, full.size() / 2), "not well-formed XML");
    check("page.xml", "<html><head/><body>methods</body></html>", "not the Central Council's methods library");
    EXPECT_EQ(import("/nonexistent.xml", folder).status, 1);
    EXPECT_EQ(import(test::testDataDir() + "/council_methods.xml", folder / "missing").status, 1);
    std::istringstream in;
    std::ostringstream out, err;
    EXPECT_EQ(cli::run({"library", "export", "x", "y"}, in, out, err), 2);
}

}  // namespace
}  // namespace quarnel
