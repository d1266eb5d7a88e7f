#pragma once
// What the synchronisation engine needs of the window: the log panel, the progress bar
// and a way to let pending events run. The shell implements it with its widgets; tests
// and the console runner implement it simply.
#include <string>

namespace vantrelo {

class TSyncPanel {
public:
    virtual ~TSyncPanel() = default;
    virtual void AppendLog(const std::u16string& line) = 0;
    virtual void SetProgressMax(int maximum) = 0;
    virtual void StepProgress() = 0;
    // Lets the application handle its pending events and returns.
    virtual void ProcessMessages() = 0;
    // True once the program is asked to end: a transfer stops at the next product boundary,
    // keeping what it has recorded.
    virtual bool StopRequested() const { return false; }
};

} // namespace vantrelo
