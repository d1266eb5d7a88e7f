#include "tests/app/AppTestSupport.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QThread>

#include "platform/CodePage.h"
#include "platform/DateTime.h"

namespace vantrelo::test {

void TRecordingDialogs::ShowMessage(const std::u16string& text) {
    Messages.push_back(UnicodeToUtf8(text));
    if (OnMessage) OnMessage(Messages.back());
}

void TRecordingDialogs::ShowError(const std::u16string& text) { Errors.push_back(UnicodeToUtf8(text)); }

TRecordingDialogs& AppDialogs() {
    static TRecordingDialogs dialogs;
    return dialogs;
}

bool WaitFor(const std::function<bool()>& done, int timeoutMs) {
    QElapsedTimer timer;
    timer.start();
    while (!done()) {
        if (timer.elapsed() > timeoutMs) return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        QThread::msleep(2);
    }
    return true;
}

std::vector<std::string> Lines(const QStringList& lines) {
    std::vector<std::string> r;
    for (const QString& l : lines) r.push_back(l.toStdString());
    return r;
}

void FixClock(int hour, int minute, int second) {
    TDateTime at = EncodeDateTime(2024, 3, 1, hour, minute, second, 0);
    SetClockForTests([at] { return at; });
}

TStartedShop::TStartedShop(const TFirebirdServer& fb, const TMySqlServer& my, const std::string& name, TTimerPeriods periods)
    : FPeriods(periods), FShop(std::make_unique<TShop>(fb, my, name)) {
    Restart();
}

TStartedShop::~TStartedShop() {
    FProgram.reset();
    SetClockForTests({});
}

void TStartedShop::Restart() {
    FProgram.reset();
    FProgram = std::make_unique<TProgram>(FDialogs, FShop->Settings(), std::make_unique<TXdgAutostart>(u"/nonexistent"),
                                          FPeriods);
    if (!FProgram->Start()) ADD_FAILURE() << "start-up failed: " << (FDialogs.Errors.empty() ? "" : FDialogs.Errors.back());
}

} // namespace vantrelo::test
