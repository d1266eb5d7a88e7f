#pragma once
// The application object: every event is delivered inside a handler that shows an
// escaping error in the error box, so no error ends the program.
#include <QApplication>

#include "app/Dialogs.h"

namespace vantrelo {

class TApplication : public QApplication {
public:
    TApplication(int& argc, char** argv, TDialogs& dialogs);
    bool notify(QObject* receiver, QEvent* event) override;

private:
    TDialogs& FDialogs;
};

} // namespace vantrelo
