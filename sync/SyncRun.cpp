#include "sync/SyncRun.h"

namespace vantrelo {

TRunOutcome RunSynchronisation(TDmdados& dm, TSyncControls& controls) {
    if (!controls.RunAllowed()) return TRunOutcome::Busy;
    // The controls come back on every path: an error that is not the program's own (no
    // memory, say) must not leave "Sincronizar" off and the supervision stopped for good.
    struct TRestoreControls {
        TSyncControls& Controls;
        ~TRestoreControls() { Controls.RunFinished(); }
    } restore{controls};
    try {
        controls.RunStarting();
        int direction = dm.sqlConfigLocal.FieldByName(u"ENVIA_OU_RECEBE").AsInteger();
        if (direction < 1) {
            dm.Panel().AppendLog(u"Informe o Tipo de Transação na Configuração do Sinc");
            return TRunOutcome::NoDirection;
        }
        if (!dm.GetServidor_Cloud()) return TRunOutcome::CloudUnavailable;
        if (direction != 1 && direction != 2) return TRunOutcome::NothingToTransfer;
        TTransferResult r = direction == 1 ? dm.GetSincProd_De_Local_PBaseClod() : dm.GetSincProd_De_Cloud_PBaseLocal();
        if (!r.Completed) return TRunOutcome::TransferFailed;
        dm.GetAtualizarDataUlima_Sicronizacao(r.UpperBound);
        return TRunOutcome::Completed;
    } catch (const Exception& e) {
        dm.GetSalvar_Log_Sicrinizado(e.Message());
        return TRunOutcome::Failed;
    }
}

TRunOutcome RunFullResynchronisation(TDmdados& dm, TSyncControls& controls) {
    dm.GetAtualizarDataUlima_Sicronizacao(EncodeDate(1905, 6, 10));
    return RunSynchronisation(dm, controls);
}

} // namespace vantrelo
