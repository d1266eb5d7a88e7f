// Finding the client library on Windows: the file order by database extension, the
// "ClientLibrary" option, and what a missing file or entry point gives. Two stand-in
// libraries, fbclient.dll and gds32.dll, play the client; the folders the loader searches are
// set per case, so the machine's own client libraries (if any) stay out of it.
#include <gtest/gtest.h>

#include <windows.h>

#include <filesystem>
#include <string>

#include "dataaccess/DatabaseError.h"
#include "platform/CodePage.h"
#include "providers/interbase/IBLibrary.h"

namespace vantrelo::test {
namespace {

namespace fs = std::filesystem;

// The build puts the stand-ins in "standins" beside this program.
fs::path StandIns() {
    wchar_t self[MAX_PATH] = {};
    ::GetModuleFileNameW(nullptr, self, MAX_PATH);
    return fs::path(self).parent_path() / "standins";
}

// The loader searches `folder` for bare file names while the object lives.
class TSearchFolder {
public:
    explicit TSearchFolder(const fs::path& folder) { ::SetDllDirectoryW(folder.wstring().c_str()); }
    ~TSearchFolder() { ::SetDllDirectoryW(nullptr); }
};

// A folder holding copies of some of the stand-ins.
fs::path FolderWith(const char* name, std::initializer_list<const char*> files) {
    fs::path folder = fs::temp_directory_path() / ("vantrelo-standins-" + std::string(name));
    fs::remove_all(folder);
    fs::create_directories(folder);
    for (const char* f : files) fs::copy_file(StandIns() / f, folder / f);
    return folder;
}

std::string LoadedVersionText(TIBLibrary& library) {
    char text[64] = {};
    library.Api().isc_get_client_version(text);
    return text;
}

std::string LoadError(TIBLibrary& library) {
    try {
        library.Load();
    } catch (const EDatabaseError& e) {
        return UnicodeToUtf8(e.Message());
    }
    return "loaded";
}

TEST(IBLoading, TriesTheFilesInTheOrderTheDatabaseExtensionGives) {
    struct {
        const char16_t* Database;
        std::initializer_list<const char*> Present;
        const char* Loaded;
    } cases[] = {
        {u"C:\\Dados\\LOJA.FDB", {"fbclient.dll", "gds32.dll"}, "fbclient"},
        {u"loja.fb", {"fbclient.dll", "gds32.dll"}, "fbclient"},
        {u"C:\\Dados\\loja.gdb", {"fbclient.dll", "gds32.dll"}, "gds32"},
        {u"C:\\Dados.fdb\\loja", {"fbclient.dll", "gds32.dll"}, "gds32"},
        {u"loja.fdb", {"gds32.dll"}, "gds32"},     // the second file when the first is missing
        {u"loja.gdb", {"fbclient.dll"}, "fbclient"},
    };
    int n = 0;
    for (const auto& c : cases) {
        TSearchFolder search(FolderWith(("order" + std::to_string(n++)).c_str(), c.Present));
        TIBLibrary library(u"", ClientLibraryOrder(c.Database));
        library.Load();
        EXPECT_EQ(LoadedVersionText(library), std::string(c.Loaded) + " stand-in") << UnicodeToUtf8(c.Database);
        EXPECT_EQ(UnicodeToUtf8(library.FileName()), std::string(c.Loaded) + ".dll");
        EXPECT_EQ(library.ClientVersion(), 30000);
    }
}

TEST(IBLoading, ReportsWhatCouldNotBeLoaded) {
    TSearchFolder search(FolderWith("none", {}));
    TIBLibrary defaults(u"", ClientLibraryOrder(u"loja.fdb"));
    EXPECT_EQ(LoadError(defaults), "Cannot load client library");
    EXPECT_FALSE(defaults.IsLoaded());

    TIBLibrary named(u"C:\\nowhere\\fbclient.dll", ClientLibraryOrder(u"loja.fdb"));
    EXPECT_EQ(LoadError(named), "Cannot load client library: C:\\nowhere\\fbclient.dll");
}

TEST(IBLoading, TheClientLibraryOptionNamesTheFileAndMissingEntryPointsAreStubs) {
    TSearchFolder search(FolderWith("named", {}));  // the defaults are not found
    fs::path file = StandIns() / "gds32.dll";
    TIBLibrary library(file.u16string(), ClientLibraryOrder(u"loja.fdb"));
    library.Load();
    EXPECT_EQ(LoadedVersionText(library), "gds32 stand-in");
    EXPECT_FALSE(library.HasFunction(&library.Api().isc_attach_database));
    ibapi::TStatusVector status{};
    ibapi::THandle db = ibapi::NullHandle;
    try {
        library.Api().isc_attach_database(status.data(), 0, "", &db, 0, nullptr);
        FAIL() << "a stub returned";
    } catch (const EDatabaseError& e) {
        EXPECT_EQ(UnicodeToUtf8(e.Message()), "GDS function is not linked");
    }
}

} // namespace
} // namespace vantrelo::test
