#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "methods/library_location.h"

namespace quarnel {
namespace {

namespace fs = std::filesystem;

// A fresh folder under the test's temporary folder holding the given files.
std::string folderWith(const std::string& name, const std::vector<std::string>& files) {
    const fs::path folder = fs::path(::testing::TempDir()) / ("library_location_" + name);
    fs::remove_all(folder);
    fs::create_directories(folder);
    for (const std::string& file : files) std::ofstream(folder / file) << "x\n";
    return folder.string();
}

TEST(LibraryLocationTest, AWorkingFolderWithALibraryIsReadAsBefore) {
    const std::string installed = folderWith("installed", {"S8", "D8", "T8"});
    const auto check = [&](const std::string& name, const std::vector<std::string>& files) {
        SCOPED_TRACE(name);
        const std::string working = folderWith(name, files);
        EXPECT_TRUE(folderHasLibrary(working));
        const LibraryLocation location = chooseLibrary(working, {installed});
        EXPECT_EQ(location.folder, working);
        EXPECT_FALSE(location.installed);
        EXPECT_TRUE(location.found);
        EXPECT_EQ(location.describe(), working);
    };
    check("s8", {"S8"});
    check("d8", {"D8"});
    check("t8", {"T8"});
    check("council", {"CCCBR_methods.xml"});
    check("all", {"S8", "D8", "T8", "CCCBR_methods.xml"});
}

TEST(LibraryLocationTest, AWorkingFolderWithoutALibraryReadsTheInstalledOne) {
    const std::string working = folderWith("none", {"quarnel.txt", "major.mus", "s8", "S8.bak"});
    const std::string missing = (fs::path(::testing::TempDir()) / "library_location_missing").string();
    const std::string emptyInstall = folderWith("empty_install", {});
    const std::string installed = folderWith("installed_t8", {"T8", "METHODS.md"});
    EXPECT_FALSE(folderHasLibrary(working));
    const LibraryLocation location = chooseLibrary(working, {missing, emptyInstall, installed});
    EXPECT_EQ(location.folder, installed);
    EXPECT_TRUE(location.installed);
    EXPECT_EQ(location.describe(), installed + " (the library that comes with Quarnel)");

    const LibraryLocation none = chooseLibrary(working, {missing, emptyInstall});
    EXPECT_EQ(none.folder, working);
    EXPECT_FALSE(none.found);
    EXPECT_EQ(none.describe().rfind("none (no S8, D8, T8 or CCCBR_methods.xml", 0), 0u);
}

TEST(LibraryLocationTest, TheInstalledLibraryIsLookedForBesideTheExecutableFirst) {
    const auto folders = installedLibraryFolders("/opt/q/bin");
    ASSERT_FALSE(folders.empty());
    EXPECT_EQ(folders.front(), "/opt/q/share/quarnel");
    EXPECT_EQ(installedLibraryFolders("").size(), folders.size() - 1);
    // The running test's own folder, from /proc/self/exe.
    EXPECT_EQ(executableFolder(nullptr), fs::read_symlink("/proc/self/exe").parent_path().string());
}

TEST(LibraryLocationTest, AFolderAskedForIsReadWhateverItHolds) {
    const LibraryLocation asked = programLibrary("/no/such/folder", nullptr);
    EXPECT_EQ(asked.folder, "/no/such/folder");
    EXPECT_FALSE(asked.installed);
}

}  // namespace
}  // namespace quarnel
