#include "app/Dialogs.h"

#include <exception>

#include <QApplication>
#include <QMessageBox>

#include "platform/CodePage.h"
#include "platform/Exception.h"

namespace vantrelo {

void TMessageBoxDialogs::ShowMessage(const std::u16string& text) {
    QMessageBox::information(QApplication::activeWindow(), QApplication::applicationName(),
                             QString::fromStdU16String(text));
}

void TMessageBoxDialogs::ShowError(const std::u16string& text) {
    QMessageBox::critical(QApplication::activeWindow(), QApplication::applicationName(),
                          QString::fromStdU16String(text));
}

void ShowCurrentException(TDialogs& dialogs) noexcept {
    try {
        try {
            throw;
        } catch (const Exception& e) {
            dialogs.ShowError(e.Message());
        } catch (const std::exception& e) {
            dialogs.ShowError(Utf8ToUnicode(e.what()));
        } catch (...) {
            dialogs.ShowError(u"Unknown error");
        }
    } catch (...) {
        // The box itself failed (out of memory): nothing more can be shown.
    }
}

} // namespace vantrelo
