#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "platform/CodePage.h"
#include "platform/Exception.h"
#include "platform/Files.h"

using namespace vantrelo;
namespace fs = std::filesystem;

namespace {

class Files : public testing::Test {
protected:
    void SetUp() override {
        FRoot = fs::temp_directory_path() /
                ("vantrelo-files-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) + "-" +
                 testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(FRoot);
        fs::create_directories(FRoot);
    }
    void TearDown() override { fs::remove_all(FRoot); }

    std::u16string Path(std::string_view utf8Name) const {
        return Utf8ToUnicode((FRoot / std::string(utf8Name)).string());
    }
    std::string Read(std::string_view utf8Name) const {
        std::ifstream in(FRoot / std::string(utf8Name), std::ios::binary);
        return {std::istreambuf_iterator<char>(in), {}};
    }

    fs::path FRoot;
};

TEST_F(Files, WriteCreatesThenTruncates) {
    const std::string bytes("Houve Erro \x80\r\n\0end", 18);
    WriteFileBytes(Path("Log_09_03_2024_14_05.txt"), bytes);
    EXPECT_EQ(Read("Log_09_03_2024_14_05.txt"), bytes);
    WriteFileBytes(Path("Log_09_03_2024_14_05.txt"), "x\r\n");
    EXPECT_EQ(Read("Log_09_03_2024_14_05.txt"), "x\r\n");
    WriteFileBytes(Path("empty.txt"), "");
    EXPECT_TRUE(fs::exists(FRoot / "empty.txt"));
    EXPECT_EQ(fs::file_size(FRoot / "empty.txt"), 0u);
}

TEST_F(Files, ReadGivesWhatWasWritten) {
    const std::string bytes("a\0\xFF\r\n", 5);
    WriteFileBytes(Path("Ação.ini"), bytes);
    std::string read = "old";
    EXPECT_TRUE(ReadFileBytes(Path("Ação.ini"), read));
    EXPECT_EQ(read, bytes);
    read = "old";
    EXPECT_FALSE(ReadFileBytes(Path("missing.ini"), read));
    EXPECT_EQ(read, "");
    EXPECT_FALSE(ReadFileBytes(Utf8ToUnicode(FRoot.string()), read));  // a folder
}

TEST_F(Files, WriteIntoMissingFolderNamesPathAndReason) {
    const std::u16string path = Path("logSic/Log_01.txt");
    try {
        WriteFileBytes(path, "text");
        FAIL() << "no error";
    } catch (const EFCreateError& e) {
        EXPECT_EQ(UnicodeToUtf8(e.Message()),
                  "Cannot create file \"" + UnicodeToUtf8(path) + "\". No such file or directory");
    }
    // A folder where the file should be.
    fs::create_directories(FRoot / "taken");
    EXPECT_THROW(WriteFileBytes(Path("taken"), "x"), EFCreateError);
}

TEST_F(Files, ForceDirectoriesMakesParents) {
    const std::u16string nested = Path("logSic/a/b/Preços ç");
    EXPECT_FALSE(DirectoryExists(nested));
    EXPECT_TRUE(ForceDirectories(nested));
    EXPECT_TRUE(DirectoryExists(nested));
    EXPECT_TRUE(fs::is_directory(FRoot / "logSic/a/b/Pre\xC3\xA7os \xC3\xA7"));
    EXPECT_TRUE(ForceDirectories(nested));  // already there
    WriteFileBytes(nested + PathDelim + u"Ação.txt", "ok");
    EXPECT_EQ(Read("logSic/a/b/Pre\xC3\xA7os \xC3\xA7/A\xC3\xA7\xC3\xA3o.txt"), "ok");

    WriteFileBytes(Path("file"), "x");
    EXPECT_FALSE(DirectoryExists(Path("file")));
    EXPECT_FALSE(ForceDirectories(Path("file/sub")));
    EXPECT_FALSE(ForceDirectories(u""));
    EXPECT_FALSE(DirectoryExists(u""));
}

TEST_F(Files, CurrentDirAndExecutable) {
    EXPECT_EQ(UnicodeToUtf8(GetCurrentDir()), fs::current_path().string());
    const std::u16string exe = ExecutablePath();
    EXPECT_TRUE(fs::is_regular_file(UnicodeToUtf8(exe)));
    EXPECT_EQ(fs::path(UnicodeToUtf8(exe)).filename(), "platform_tests");
}

} // namespace
