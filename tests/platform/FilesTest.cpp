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

    // Names are written in UTF-8 here; a narrow path would be read in the ANSI code page on Windows.
    fs::path Under(std::string_view utf8Name) const {
        return FRoot / fs::path(std::u8string(utf8Name.begin(), utf8Name.end()));
    }
    std::u16string Path(std::string_view utf8Name) const { return Under(utf8Name).u16string(); }
    std::string Read(std::string_view utf8Name) const {
        std::ifstream in(Under(utf8Name), std::ios::binary);
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
    EXPECT_FALSE(ReadFileBytes(FRoot.u16string(), read));  // a folder
}

TEST_F(Files, WriteIntoMissingFolderNamesPathAndReason) {
    const std::u16string path = Path("logSic/Log_01.txt");
    try {
        WriteFileBytes(path, "text");
        FAIL() << "no error";
    } catch (const EFCreateError& e) {
#ifdef _WIN32
        const std::u16string reason = SysErrorMessage(3);  // ERROR_PATH_NOT_FOUND
#else
        const std::u16string reason = u"No such file or directory";
#endif
        EXPECT_EQ(e.Message(), u"Cannot create file \"" + path + u"\". " + reason);
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
    EXPECT_TRUE(fs::is_directory(Under("logSic/a/b/Pre\xC3\xA7os \xC3\xA7")));
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
    EXPECT_EQ(GetCurrentDir(), fs::current_path().u16string());
    const fs::path exe(ExecutablePath());
    EXPECT_TRUE(fs::is_regular_file(exe));
    EXPECT_EQ(exe.stem(), "platform_tests");
}

} // namespace
