#pragma once
// One running copy per program file and user: a later launch asks the running copy to
// bring its window up, and then ends.
#include <QLocalServer>
#include <QObject>
#include <QString>

namespace vantrelo {

class TSingleInstance : public QObject {
    Q_OBJECT
public:
    // `key` names the copy; KeyFor gives the one of a program file.
    explicit TSingleInstance(QString key, QObject* parent = nullptr);

    // The channel name of the program at `executablePath` for the current user.
    static QString KeyFor(const QString& executablePath);

    // True when another copy runs and has been asked to come up: this one should end.
    // Otherwise this copy starts listening for later launches and false is returned.
    bool HandOver();

    bool Listening() const { return FServer.isListening(); }

signals:
    // A later launch asked for the window.
    void Activated();

private:
    void Accept();

    QString FKey;
    QLocalServer FServer;
};

} // namespace vantrelo
