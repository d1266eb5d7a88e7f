#pragma once
// The tie between the configuration window's controls and one record of a dataset: the
// controls show the record, the first change puts the record into edit state, and the
// window hears of every change of value or state.
#include <functional>
#include <string>
#include <vector>

#include "app/Dialogs.h"
#include "dataaccess/MemoryDataSet.h"

namespace vantrelo {

class TBoundControl {
public:
    virtual ~TBoundControl() = default;
    virtual void Reload() = 0;  // show the record's value again
};

class TRecordLink {
public:
    TRecordLink(TMemoryDataSet& dataSet, TDialogs& dialogs) : FDataSet(dataSet), FDialogs(dialogs) {}

    TMemoryDataSet& DataSet() noexcept { return FDataSet; }
    TDialogs& Dialogs() noexcept { return FDialogs; }
    TField& Field(const std::u16string& name) { return FDataSet.FieldByName(name); }
    bool Editing() const noexcept { return FDataSet.State() == dsEdit || FDataSet.State() == dsInsert; }

    // Makes the record editable before a control changes it: a browsed record enters edit
    // state (whose handler may rewrite fields, so every control is shown again). False
    // when the record is closed and cannot be edited.
    bool BeginEdit();
    // A value or the state changed.
    void Changed() { if (OnChange) OnChange(); }
    void ReloadAll();

    void Add(TBoundControl& control) { FControls.push_back(&control); }
    std::function<void()> OnChange;

private:
    TMemoryDataSet& FDataSet;
    TDialogs& FDialogs;
    std::vector<TBoundControl*> FControls;
};

} // namespace vantrelo
