#pragma once
// One synchronisation run, as "Sincronizar", the synchronisation timer and "Sinc-All"
// start it, shared by the shell and the console runner.
#include "sync/Dmdados.h"

namespace vantrelo {

// The window's guards around a run.
class TSyncControls {
public:
    virtual ~TSyncControls() = default;
    virtual bool RunAllowed() const = 0;  // false while a run is in progress
    virtual void RunStarting() = 0;       // the button and the supervision timer go off
    virtual void RunFinished() = 0;       // the button on, the sync timer off, supervision on; raises nothing
};

enum class TRunOutcome {
    Busy,              // a run was in progress: nothing done
    NoDirection,       // ENVIA_OU_RECEBE not set: the operator was asked to set it
    CloudUnavailable,  // the cloud connection failed (already logged)
    NothingToTransfer, // a direction that transfers nothing
    Completed,         // the transfer ran to its end; its window is recorded
    TransferFailed,    // the transfer ended early with an error (already logged)
    Failed,            // an error left the run; its text is in a log file
};

// The run: direction check, cloud connection, transfer, recording. The time of last
// synchronisation moves only after a complete transfer, to the upper bound of its window,
// so whatever a failed or skipped run did not send is sent by the next one. The controls
// are restored on every path; an error that is not an Exception goes on to the caller.
TRunOutcome RunSynchronisation(TDmdados& dm, TSyncControls& controls);

// "Sinc-All" after its access code: everything since 10 June 1905, then a run.
TRunOutcome RunFullResynchronisation(TDmdados& dm, TSyncControls& controls);

} // namespace vantrelo
