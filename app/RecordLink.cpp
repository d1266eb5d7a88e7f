#include "app/RecordLink.h"

namespace vantrelo {

bool TRecordLink::BeginEdit() {
    if (!FDataSet.Active()) return false;
    if (FDataSet.State() == dsBrowse) {
        FDataSet.Edit();
        ReloadAll();
        Changed();
    }
    return true;
}

void TRecordLink::ReloadAll() {
    for (TBoundControl* c : FControls) c->Reload();
}

} // namespace vantrelo
