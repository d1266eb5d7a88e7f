#pragma once
// One shop for the synchronisation tests: a local Firebird database with the shop's
// tables and a cloud database on MariaDB, a configuration row pointing at it, a working
// folder with its "logSic", and a window that records what the engine shows.
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "dataaccess/DbConnection.h"
#include "dataaccess/DbQuery.h"
#include "sync/Dmdados.h"
#include "sync/SyncRun.h"
#include "tests/providers/interbase/IBTestDatabase.h"
#include "tests/support/TestServers.h"

namespace vantrelo::test {

class TRecordingPanel : public TSyncPanel {
public:
    void AppendLog(const std::u16string& line) override { Lines.push_back(line); }
    void SetProgressMax(int maximum) override { ProgressMax = maximum; }
    void StepProgress() override { ++ProgressSteps; }
    void ProcessMessages() override {
        ++Pumps;
        if (OnProcessMessages) OnProcessMessages(Pumps);
    }

    std::vector<std::u16string> Lines;
    int ProgressMax = -1, ProgressSteps = 0, Pumps = 0;
    std::function<void(int pump)> OnProcessMessages;  // runs "between rows"
};

class TFreeControls : public TSyncControls {
public:
    bool RunAllowed() const override { return !Running; }
    void RunStarting() override { Running = true; }
    void RunFinished() override { Running = false; }
    bool Running = false;
};

class TShop {
public:
    TShop(const TFirebirdServer& fb, const TMySqlServer& my, const std::string& name);
    ~TShop();

    // Settings that make TDmdados open this shop's local database.
    TInstallSettings Settings() const;
    // The local database through isql (WIN1252 text) and through the provider.
    TIBTestDatabase& LocalDb() { return *FLocal; }
    TDbConnection& Local() { return FLocalConnection; }
    TDbConnection& Cloud() { return FCloudConnection; }
    void LocalExec(const std::u16string& sql);
    void CloudExec(const std::u16string& sql);
    // The first column of the first row of a query, or null.
    TVariant LocalValue(const std::u16string& sql);
    TVariant CloudValue(const std::u16string& sql);
    // Points the configuration row at the cloud (given port: a proxy in front of it).
    void PointConfigAtCloud(int direction, int port = 0);
    // A local product with a code, a name and a time of change; every other column null.
    void AddLocalProduct(int code, const std::u16string& name, TDateTime changed);
    void AddCloudProduct(int code, const std::u16string& name, TDateTime changed);

    const TMySqlServer& MySql() const { return FMySql; }
    const std::string& CloudDatabase() const { return FCloudDatabase; }
    const std::string& WorkDir() const { return FWorkDir; }

private:
    TFirebirdServer FFirebird;
    TMySqlServer FMySql;
    std::unique_ptr<TIBTestDatabase> FLocal;
    std::string FCloudDatabase;
    std::string FWorkDir, FPreviousDir;
    TDbConnection FLocalConnection{u"TestLocal"};
    TDbConnection FCloudConnection{u"TestCloud"};
};

// The text of every line as UTF-8, for readable comparisons.
std::vector<std::string> Utf8Lines(const std::vector<std::u16string>& lines);

} // namespace vantrelo::test
