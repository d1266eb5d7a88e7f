#include "sync/SyncRun.h"

namespace vantrelo {

TRunOutcome RunSynchronisation(TDmdados& dm, TSyncControls& controls) {
    if (!controls.RunAllowed()) return TRunOutcome::Busy;
    TRunOutcome outcome;
    try {
        controls.RunStarting();
        int direction = dm.sqlConfigLocal.FieldByName(u"ENVIA_OU_RECEBE").AsInteger();
        if (direction < 1) {
            dm.Panel().AppendLog(u"Informe o Tipo de Transação na Configuração do Sinc");
            outcome = TRunOutcome::NoDirection;
        } else if (!dm.GetServidor_Cloud()) {
            outcome = TRunOutcome::CloudUnavailable;
        } else if (direction == 1 || direction == 2) {
            TTransferResult r = direction == 1 ? dm.GetSincProd_De_Local_PBaseClod() : dm.GetSincProd_De_Cloud_PBaseLocal();
            if (r.Completed) {
                dm.GetAtualizarDataUlima_Sicronizacao(r.UpperBound);
                outcome = TRunOutcome::Completed;
            } else {
                outcome = TRunOutcome::TransferFailed;
            }
        } else {
            outcome = TRunOutcome::NothingToTransfer;
        }
    } catch (const Exception& e) {
        controls.RunFinished();
        dm.GetSalvar_Log_Sicrinizado(e.Message());
        return TRunOutcome::Failed;
    }
    controls.RunFinished();
    return outcome;
}

TRunOutcome RunFullResynchronisation(TDmdados& dm, TSyncControls& controls) {
    dm.GetAtualizarDataUlima_Sicronizacao(EncodeDate(1905, 6, 10));
    return RunSynchronisation(dm, controls);
}

} // namespace vantrelo
