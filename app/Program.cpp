#include "app/Program.h"

namespace vantrelo {

TProgram::TProgram(TDialogs& dialogs, TInstallSettings settings, std::unique_ptr<TAutostartEntry> autostart,
                   TTimerPeriods periods)
    : FDialogs(dialogs), FSettings(std::move(settings)), FAutostart(std::move(autostart)), FPeriods(periods) {}

TProgram::~TProgram() {
    if (FPrincipal) FPrincipal->SetDataModule(nullptr);
}

bool TProgram::Start() {
    FPrincipal = std::make_unique<TfrmPrincipal>(FSettings, FDialogs, *FAutostart, FPeriods);
    try {
        FDmdados = std::make_unique<TDmdados>(*FPrincipal, FSettings);
    } catch (...) {
        ShowCurrentException(FDialogs);
        return false;
    }
    if (FDmdados->CreationError()) FDialogs.ShowError(*FDmdados->CreationError());
    FPrincipal->SetDataModule(FDmdados.get());
    FConfig = std::make_unique<TfrmConfig>(*FDmdados, FDialogs);  // never shown
    return true;
}

} // namespace vantrelo
