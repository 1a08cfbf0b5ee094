// Folder search, paths and free space on the real file system, and the fake's agreement with it.
#include "platform/PosixFileSystem.h"
#include "platform/fakes/FakeFileSystem.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <map>
#include <sys/stat.h>
#include <unistd.h>

namespace fs = std::filesystem;
using namespace platform;

namespace {

std::vector<FindData> Search(IFileSystem& files, const std::string& pattern) {
    std::vector<FindData> out;
    FindData d;
    int h = files.FindFirst(pattern, d);
    if (h < 0)
        return out;
    do
        out.push_back(d);
    while (files.FindNext(h, d));
    files.FindClose(h);
    return out;
}

class RealFolder : public ::testing::Test {
protected:
    void SetUp() override {
        dir = fs::temp_directory_path() / ("tavlo-fs-" + std::to_string(::getpid()));
        fs::create_directories(dir / "old.wav");
        fs::create_directories(dir / "locked.wav");
        fs::permissions(dir / "locked.wav", fs::perms::owner_read | fs::perms::owner_exec);
        for (const char* name : {"b.wav", "A.WAV", ".hidden.wav", "notes.txt"})
            std::ofstream(dir / name) << "1234";
        ASSERT_TRUE(files.GetCurrentDirectory(startDir));
    }
    void TearDown() override {
        ::chdir(startDir.c_str());
        fs::remove_all(dir);
    }
    PosixFileSystem files;
    fs::path dir;
    std::string startDir;
};

TEST_F(RealFolder, StarSearchListsDotsFirstThenNamesInOrderWithAttributes) {
    auto found = Search(files, dir.string() + "/*");
    ASSERT_EQ(found.size(), 8u);
    EXPECT_EQ(found[0].Name, ".");
    EXPECT_EQ(found[1].Name, "..");
    EXPECT_EQ(found[0].Attributes, kAttrDirectory);
    std::vector<std::string> names;
    for (std::size_t i = 2; i < found.size(); ++i)
        names.push_back(found[i].Name);
    EXPECT_EQ(names, (std::vector<std::string>{".hidden.wav", "A.WAV", "b.wav", "locked.wav", "notes.txt",
                                               "old.wav"}));
    EXPECT_EQ(found[2].Attributes, kAttrHidden);
    EXPECT_EQ(found[3].Attributes, kAttrNormal);
    EXPECT_EQ(found[3].Size, 4u);
    EXPECT_EQ(found[5].Attributes, kAttrDirectory | kAttrReadOnly);
    EXPECT_EQ(found[7].Attributes, kAttrDirectory);
}

TEST_F(RealFolder, LinksTakeTheirTargetsAttributesAndWhatIsNeitherFileNorFolderIsSpecial) {
    fs::create_symlink("nowhere.wav", dir / "dangling.wav");
    fs::create_symlink("b.wav", dir / "link.wav");
    fs::create_directory_symlink("old.wav", dir / "folder-link.wav");
    ASSERT_EQ(::mkfifo((dir / "pipe.wav").c_str(), 0600), 0);
    std::map<std::string, std::uint32_t> attributes;
    for (const FindData& f : Search(files, dir.string() + "/*"))
        attributes[f.Name] = f.Attributes;
    EXPECT_EQ(attributes["dangling.wav"], kAttrSpecial);
    EXPECT_EQ(attributes["pipe.wav"], kAttrSpecial);
    EXPECT_EQ(attributes["link.wav"], kAttrNormal);
    EXPECT_EQ(attributes["folder-link.wav"], kAttrDirectory);
}

TEST_F(RealFolder, PatternsIgnoreCaseAndAMissingFolderFails) {
    auto found = Search(files, dir.string() + "/*.wav");
    ASSERT_EQ(found.size(), 5u);
    EXPECT_EQ(found[1].Name, "A.WAV");
    FindData d;
    EXPECT_EQ(files.FindFirst(dir.string() + "/nothing/*", d), -1);
    EXPECT_EQ(files.FindFirst(dir.string() + "/*.mp3", d), -1);
}

TEST_F(RealFolder, ChangeDirectoryAndFullPaths) {
    ASSERT_TRUE(files.ChangeDirectory(dir.string()));
    std::string cwd;
    ASSERT_TRUE(files.GetCurrentDirectory(cwd));
    EXPECT_EQ(fs::path(cwd), fs::canonical(dir));
    EXPECT_FALSE(files.ChangeDirectory("no-such-folder"));
    EXPECT_FALSE(files.ChangeDirectory(""));
    std::string after;
    files.GetCurrentDirectory(after);
    EXPECT_EQ(after, cwd);
    EXPECT_EQ(files.GetFullPathName("./old.wav/../b.wav"), cwd + "/b.wav");
    EXPECT_EQ(files.GetFullPathName("/x//y/./z/.."), "/x/y");
    EXPECT_EQ(files.GetFullPathName(""), "");
    // The room an ordinary user can fill, as df shows it, not the blocks kept back for root.
    std::uint64_t freeBytes = 0;
    ASSERT_TRUE(files.GetDiskFreeSpace(cwd, freeBytes));
    FILE* df = ::popen(("df --output=avail -B1 '" + cwd + "' | tail -1").c_str(), "r");
    ASSERT_NE(df, nullptr);
    unsigned long long available = 0;
    EXPECT_EQ(std::fscanf(df, "%llu", &available), 1);
    ::pclose(df);
    EXPECT_NEAR(static_cast<double>(freeBytes), static_cast<double>(available), 64.0 * 1024 * 1024);
}

TEST(FakeFolder, SearchesLikeTheRealOne) {
    FakeFileSystem files;
    files.AddFile("/rec/b.wav", 4);
    files.AddFile("/rec/A.WAV", 4);
    files.AddFolder("/rec/old.wav");
    files.AddFile("/rec/.hidden.wav", 4);
    ASSERT_TRUE(files.ChangeDirectory("/rec"));
    auto found = Search(files, "*");
    std::vector<std::string> names;
    for (const auto& f : found)
        names.push_back(f.Name);
    EXPECT_EQ(names, (std::vector<std::string>{".", "..", ".hidden.wav", "A.WAV", "b.wav", "old.wav"}));
    EXPECT_EQ(found[5].Attributes, kAttrDirectory);
    EXPECT_EQ(found[2].Attributes, kAttrHidden);
    EXPECT_EQ(Search(files, "/rec/*.WAV").size(), 4u);
    EXPECT_FALSE(files.ChangeDirectory("/nowhere"));
    EXPECT_EQ(files.GetFullPathName("x/../y.wav"), "/rec/y.wav");
}

} // namespace
