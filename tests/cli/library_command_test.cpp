#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "cli/commands.h"
#include "support/test_support.h"

namespace quarnel {
namespace {

namespace fs = std::filesystem;

int import(const std::string& xml, const fs::path& folder, std::string& out, std::string& err) {
    std::istringstream in;
    std::ostringstream o, e;
    const int status = cli::run({"library", "import", xml, folder.string()}, in, o, e);
    out = o.str();
    err = e.str();
    return status;
}

TEST(LibraryImportTest, SaysWhatItWroteAndWhatItSkipped) {
    const fs::path folder = fs::temp_directory_path() / "quarnel-import-ok";
    fs::remove_all(folder);
    fs::create_directories(folder);
    std::string out, err;
    EXPECT_EQ(import(test::testDataDir() + "/council_methods.xml", folder, out, err), 0) << err;
    EXPECT_EQ(out.substr(0, out.find("Skipped")), "Surprise Major: 6 written to " + (folder / "S8").string() +
                                                     "\nDelight Major: 1 written to " + (folder / "D8").string() +
                                                     "\nTreble Bob Major: 1 written to " + (folder / "T8").string() + "\n");
    EXPECT_NE(out.find("\nSkipped, lead end not 12 or 18: 1\n"), std::string::npos);
    EXPECT_NE(out.find("\nSkipped, not one of the twelve lead-head codes: 3\n"), std::string::npos) << out;
    EXPECT_EQ(out.find("hunt bell not on"), std::string::npos);  // reasons that skipped nothing are not listed
}

TEST(LibraryImportTest, MalformedOrForeignXmlWritesNothing) {
    const fs::path folder = fs::temp_directory_path() / "quarnel-import-bad";
    fs::remove_all(folder);
    fs::create_directories(folder);
    const std::string library = "S8\nkept\nOld b &-3-4-25-36-4-5-6-7\n";
    std::ofstream(folder / "S8") << library;
    auto check = [&](const std::string& name, const std::string& content, const std::string& reason) {
        SCOPED_TRACE(name);
        const fs::path xml = folder / name;
        std::ofstream(xml, std::ios::binary) << content;
        std::string out, err;
        EXPECT_EQ(import(xml.string(), folder, out, err), 1);
        EXPECT_EQ(out, "");
        EXPECT_EQ(err.substr(0, xml.string().size() + 4 + reason.size()), xml.string() + " is " + reason);
        EXPECT_NE(err.find("Nothing was written."), std::string::npos);
        EXPECT_EQ(test::readFile((folder / "S8").string()), library);
        EXPECT_FALSE(fs::exists(folder / "D8"));
        EXPECT_FALSE(fs::exists(folder / "S8.quarnel-new"));
    };
    const std::string full = test::readFile(test::testDataDir() + "/council_methods.xml");
    check("cut.xml", full.substr(0, full.size() / 2), "not well-formed XML");
    check("page.xml", "<html><head/><body>methods</body></html>", "not the Central Council's methods library");
}

}  // namespace
}  // namespace quarnel
