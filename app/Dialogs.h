#pragma once
// The program's message boxes behind one small interface, so that the windows can be
// driven by tests without a box waiting for a click.
#include <string>

namespace vantrelo {

class TDialogs {
public:
    virtual ~TDialogs() = default;
    // An information box with the text; returns when the operator closed it.
    virtual void ShowMessage(const std::u16string& text) = 0;
    // The application's error box, for errors no handler caught.
    virtual void ShowError(const std::u16string& text) = 0;
};

// The real boxes: modal, so a nested event loop runs while they are open.
class TMessageBoxDialogs : public TDialogs {
public:
    void ShowMessage(const std::u16string& text) override;
    void ShowError(const std::u16string& text) override;
};

// Shows the exception being handled in the error box. Call only inside a catch block.
void ShowCurrentException(TDialogs& dialogs) noexcept;

// Runs an event handler; an error that leaves it goes to the error box and the program
// goes on. Keeps exceptions from unwinding through the toolkit's frames.
template <class F>
void Guarded(TDialogs& dialogs, F&& handler) noexcept {
    try {
        handler();
    } catch (...) {
        ShowCurrentException(dialogs);
    }
}

} // namespace vantrelo
