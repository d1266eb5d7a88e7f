// vantrelo-sync: one synchronisation run from the command line, for scheduled tasks and
// support. Prints every log line as it is appended.
//   vantrelo-sync [--settings FILE] [--full]
// Exit status: 0 the run completed, 1 it ended with an error, 2 the settings or the local
// database cannot be used (the reason on standard error).
#include <cstdio>
#include <memory>
#include <string>
#include <string_view>

#include "platform/CodePage.h"
#include "platform/Exception.h"
#include "sync/Dmdados.h"
#include "sync/InstallSettings.h"
#include "sync/SyncRun.h"

#ifdef _WIN32
#include <windows.h>
#endif

namespace {

using namespace vantrelo;

class TConsolePanel : public TSyncPanel {
public:
    void AppendLog(const std::u16string& line) override {
        std::string text = UnicodeToUtf8(line);
        std::fwrite(text.data(), 1, text.size(), stdout);
        std::fputc('\n', stdout);
        std::fflush(stdout);
    }
    void SetProgressMax(int) override {}
    void StepProgress() override {}
    void ProcessMessages() override {}
};

class TConsoleControls : public TSyncControls {
public:
    bool RunAllowed() const override { return !FRunning; }
    void RunStarting() override { FRunning = true; }
    void RunFinished() override { FRunning = false; }

private:
    bool FRunning = false;
};

int Fail(const std::u16string& reason) {
    std::string text = UnicodeToUtf8(reason);
    std::fprintf(stderr, "vantrelo-sync: %s\n", text.c_str());
    return 2;
}

} // namespace

int main(int argc, char** argv) {
#ifdef _WIN32
    SetConsoleOutputCP(CP_UTF8);
#endif
    std::u16string settingsPath;
    bool full = false;
    for (int i = 1; i < argc; ++i) {
        std::string_view arg = argv[i];
        if (arg == "--full") {
            full = true;
        } else if (arg == "--settings" && i + 1 < argc) {
            settingsPath = Utf8ToUnicode(argv[++i]);
        } else {
            std::fprintf(stderr, "usage: vantrelo-sync [--settings FILE] [--full]\n");
            return 2;
        }
    }
    // As the program at start: a scheduled task may start us in a folder of its own.
    ForceLogFolder();
    TConsolePanel panel;
    std::unique_ptr<TDmdados> dm;
    try {
        TInstallSettings settings =
            settingsPath.empty() ? LoadInstallSettings(TInstallSettings::DefaultPath())
                                 : LoadInstallSettings(settingsPath, TSettingsFile::Named);
        dm = std::make_unique<TDmdados>(panel, settings);
    } catch (const Exception& e) {
        return Fail(e.Message());
    }
    if (dm->CreationError()) return Fail(*dm->CreationError());
    try {
        TConsoleControls controls;
        TRunOutcome outcome = full ? RunFullResynchronisation(*dm, controls) : RunSynchronisation(*dm, controls);
        return outcome == TRunOutcome::Completed || outcome == TRunOutcome::NothingToTransfer ? 0 : 1;
    } catch (const Exception& e) {
        std::string text = UnicodeToUtf8(e.Message());
        std::fprintf(stderr, "vantrelo-sync: %s\n", text.c_str());
        return 1;
    } catch (const std::exception& e) {
        std::fprintf(stderr, "vantrelo-sync: %s\n", e.what());
        return 1;
    }
}
