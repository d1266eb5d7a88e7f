#pragma once
// Start-up in its order: the main window (which makes "logSic"), the data module (which
// opens the local database and reads the configuration record), the pre-made
// configuration window; the caller then runs the event loop with the window hidden.
#include <memory>

#include "app/AutostartEntry.h"
#include "app/Dialogs.h"
#include "app/frmConfig.h"
#include "app/frmPrincipal.h"
#include "sync/Dmdados.h"
#include "sync/InstallSettings.h"

namespace vantrelo {

class TProgram {
public:
    TProgram(TDialogs& dialogs, TInstallSettings settings, std::unique_ptr<TAutostartEntry> autostart = MakeSystemAutostart(),
             TTimerPeriods periods = {});
    ~TProgram();

    // False when the local database could not be opened: the error has been shown and
    // the program ends. An error of the data module's creation handler is shown too,
    // and start-up goes on.
    bool Start();

    TfrmPrincipal* frmPrincipal() const noexcept { return FPrincipal.get(); }
    TDmdados* Dmdados() const noexcept { return FDmdados.get(); }
    TfrmConfig* frmConfig() const noexcept { return FConfig.get(); }

private:
    TDialogs& FDialogs;
    TInstallSettings FSettings;
    std::unique_ptr<TAutostartEntry> FAutostart;
    TTimerPeriods FPeriods;
    // Destroyed in reverse: the configuration window, the data module (closing both
    // connections), then the window the data module writes to.
    std::unique_ptr<TfrmPrincipal> FPrincipal;
    std::unique_ptr<TDmdados> FDmdados;
    std::unique_ptr<TfrmConfig> FConfig;
};

} // namespace vantrelo
