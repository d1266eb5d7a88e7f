// The configuration record, the runs in both directions, the log files and the rule that
// no change is ever lost, against the real servers.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <new>
#include <regex>
#include <sstream>
#include <thread>
#include <sys/wait.h>

#include "platform/CodePage.h"
#include "platform/FormatSettings.h"
#include "tests/providers/mysql/LoopbackPeers.h"
#include "tests/sync/ShopFixture.h"

namespace vantrelo::test {
namespace {

TEST(ConfigRecord, ScramblingIsItsOwnInverseAndTouchesEveryCharacter) {
    for (int b = 0; b < 256; ++b) {
        std::u16string text = AnsiToUnicode(std::string(1, char(b)));
        std::u16string scrambled = TDmdados::GetCriptarSenha(text);
        EXPECT_EQ(scrambled.size(), text.size()) << b;
        EXPECT_NE(scrambled, text) << b;
        EXPECT_EQ(TDmdados::GetCriptarSenha(scrambled), text) << b;
    }
    EXPECT_EQ(TDmdados::GetCriptarSenha(std::u16string(300, u'a')).size(), 255u);
}

class Sync : public ::testing::Test {
protected:
    void SetUp() override {
        VANTRELO_REQUIRE_FIREBIRD(fb);
        VANTRELO_REQUIRE_MYSQL(my);
        FShop = std::make_unique<TShop>(fb, my, ::testing::UnitTest::GetInstance()->current_test_info()->name());
    }
    void TearDown() override { SetClockForTests({}); }

    std::unique_ptr<TDmdados> Module() {
        TInstallSettings settings = FShop->Settings();
        settings.OverlapMinutes = FOverlapMinutes;
        auto dm = std::make_unique<TDmdados>(FPanel, settings);
        EXPECT_FALSE(dm->CreationError()) << (dm->CreationError() ? UnicodeToUtf8(*dm->CreationError()) : "");
        return dm;
    }
    TRunOutcome Run(int direction, int port = 0) {
        FShop->PointConfigAtCloud(direction, port);
        auto dm = Module();
        TFreeControls controls;
        return RunSynchronisation(*dm, controls);
    }
    TDateTime StoredTime() { return FShop->LocalValue(u"select DATAULTIMA_SIC from config_geral").AsDateTime(); }
    void SetStoredTime(TDateTime t) {
        TDbQuery q;
        q.SetConnection(&FShop->Local());
        q.SQL().SetText(u"update config_geral set DATAULTIMA_SIC=:t");
        q.ParamByName(u"t").SetAsDateTime(t);
        q.ExecSQL();
    }
    std::vector<int> CloudCodes() {
        TDbQuery q;
        q.SetConnection(&FShop->Cloud());
        q.SQL().SetText(u"select prod_codigo from produtos order by prod_codigo");
        q.Open();
        std::vector<int> codes;
        for (; !q.Eof(); q.Next()) codes.push_back(q.Fields()[0]->AsInteger());
        return codes;
    }
    static TDateTime MinutesAgo(double m) { return TDateTime(Now().Value - m / 1440); }
    // The log lines with their time stamps replaced by "<stamp>".
    std::vector<std::string> Log() {
        static const std::regex stamp(R"(\d\d/\d\d/\d\d\d\d \d\d:\d\d:\d\d)");
        std::vector<std::string> r;
        for (const auto& l : Utf8Lines(FPanel.Lines)) r.push_back(std::regex_replace(l, stamp, "<stamp>"));
        return r;
    }

    std::u16string StoredSenha() { return FShop->LocalValue(u"select SENHA_CLOUD from config_geral").AsString(); }
    std::u16string CloudPassword() const { return Utf8ToUnicode(FShop->MySql().Password); }

    std::unique_ptr<TShop> FShop;
    TRecordingPanel FPanel;
    int FOverlapMinutes = 5;
};

TEST_F(Sync, ABlankConfigurationRowGetsItsDefaultsAndTheBranchName) {
    struct {
        const char16_t* Setup;
        bool Filled;
    } cases[] = {
        {u"update config_geral set IDFILIAL=0, DATAULTIMA_SIC=null", true},
        {u"update config_geral set IDFILIAL=null, DATAULTIMA_SIC=null, PDV_NCAIXA=null", true},
        {u"update config_geral set IDFILIAL=0, DATAULTIMA_SIC='2020-05-05 10:00:00'", false},
        {u"update config_geral set IDFILIAL=5, DATAULTIMA_SIC=null", false},
    };
    for (const auto& c : cases) {
        FShop->LocalExec(c.Setup);
        FShop->LocalExec(u"update config_geral set EMP_NOME=null, TEMPO_SIMNAO=0");
        { auto dm = Module(); }
        auto v = [&](const char16_t* col) { return FShop->LocalValue(u"select " + std::u16string(col) + u" from config_geral"); };
        if (c.Filled) {
            EXPECT_EQ(v(u"IDFILIAL").AsInteger(), 1);
            EXPECT_EQ(v(u"PDV_NCAIXA").AsInteger(), 1);
            EXPECT_EQ(v(u"TEMPO_SIMNAO").AsInteger(), 1);
            EXPECT_EQ(DateOf(v(u"DATAULTIMA_SIC").AsDateTime()), EncodeDate(1988, 1, 1));
            EXPECT_EQ(UnicodeToUtf8(v(u"EMP_NOME").AsString()), "Loja Central São Jorge");
            EXPECT_EQ(UnicodeToUtf8(v(u"EMP_CNPJ").AsString()), "12.345.678/0001-90");
        } else {
            EXPECT_EQ(v(u"TEMPO_SIMNAO").AsInteger(), 0) << UnicodeToUtf8(c.Setup);
            EXPECT_TRUE(v(u"EMP_NOME").IsNull());
        }
    }
}

TEST_F(Sync, RecordingSetsTheProductionDateOnceAndAnUnknownBranchEmptiesTheNames) {
    auto dm = Module();
    SetClockForTests([] { return EncodeDateTime(2024, 3, 9, 14, 5, 0, 0); });
    dm->GetAtualizarDataUlima_Sicronizacao(EncodeDate(2024, 3, 9));
    SetClockForTests([] { return EncodeDateTime(2024, 4, 1, 8, 0, 0, 0); });
    dm->GetAtualizarDataUlima_Sicronizacao(EncodeDate(2024, 4, 1));
    EXPECT_EQ(FShop->LocalValue(u"select DATA_PRODUCAO from config_geral").AsAnsiString(), AnsiString("09/03/2024"));
    EXPECT_EQ(StoredTime(), EncodeDate(2024, 4, 1));
    EXPECT_EQ(UnicodeToUtf8(FShop->LocalValue(u"select EMP_NOME from config_geral").AsString()), "Loja Central São Jorge");

    dm->sqlConfigLocal.Edit();
    dm->sqlConfigLocal.FieldByName(u"IDFILIAL").SetAsInteger(7);
    dm->sqlConfigLocal.Post();
    EXPECT_EQ(FShop->LocalValue(u"select EMP_NOME from config_geral").AsString(), u"");
    EXPECT_EQ(FShop->LocalValue(u"select EMP_CNPJ from config_geral").AsString(), u"");
}

TEST_F(Sync, TheStoredPasswordIsSentUnscrambled) {
    auto dm = Module();
    FShop->PointConfigAtCloud(1);
    dm->sqlConfigLocal.Close();
    dm->GetDadosEmpresa_ConfgLocal();
    EXPECT_TRUE(dm->GetServidor_Cloud());
    EXPECT_TRUE(dm->BaseCloud.Connected());
    // A password stored plain is sent scrambled, and the login fails.
    FShop->LocalExec(u"update config_geral set SENHA_CLOUD='" + Utf8ToUnicode(FShop->MySql().Password) + u"'");
    dm->sqlConfigLocal.Close();
    dm->GetDadosEmpresa_ConfgLocal();
    EXPECT_FALSE(dm->GetServidor_Cloud());
    EXPECT_FALSE(dm->BaseCloud.Connected());
    ASSERT_FALSE(FPanel.Lines.empty());
    EXPECT_EQ(UnicodeToUtf8(FPanel.Lines.back()).rfind("DataBaseErro: ", 0), 0u);
}

// The configuration window left open, or closed without saving: the record stays in edit
// state with the plain password in its buffer until a run records its time.
TEST_F(Sync, ARunWhileTheRecordIsEditedConnectsAndStoresTheEditScrambled) {
    FShop->AddLocalProduct(1, u"p", MinutesAgo(1));
    FShop->PointConfigAtCloud(1);
    auto dm = Module();
    dm->sqlConfigLocal.Edit();
    dm->sqlConfigLocal.FieldByName(u"TEMPO_SINCRO").SetAsInteger(7);
    ASSERT_EQ(dm->sqlConfigLocal.FieldByName(u"SENHA_CLOUD").AsString(), CloudPassword());
    TFreeControls controls;
    ASSERT_EQ(RunSynchronisation(*dm, controls), TRunOutcome::Completed) << ::testing::PrintToString(Log());
    EXPECT_EQ(CloudCodes(), (std::vector<int>{1}));
    EXPECT_EQ(dm->sqlConfigLocal.State(), dsBrowse);
    EXPECT_EQ(FShop->LocalValue(u"select TEMPO_SINCRO from config_geral").AsInteger(), 7);
    EXPECT_EQ(StoredSenha(), TDmdados::GetCriptarSenha(CloudPassword()));
    EXPECT_TRUE(dm->GetServidor_Cloud());
}

TEST_F(Sync, ASaveRefusedThenMadeAgainStoresThePasswordScrambled) {
    FShop->PointConfigAtCloud(1);
    FShop->LocalExec(u"create sequence refusals");
    FShop->LocalExec(u"create exception config_refused 'refused'");
    struct {
        const char* What;
        std::vector<std::u16string> Refuse, Allow;
    } cases[] = {
        {"the database refuses the write once",
         {u"create trigger refuse_once for config_geral before update as begin "
          u"if (gen_id(refusals, 1) = 1) then exception config_refused; end"},
         {}},
        {"the branch's name cannot be read before the write",
         {u"alter table filial alter NOME_FANTASIA to NOME_SUMIDO"},
         {u"alter table filial alter NOME_SUMIDO to NOME_FANTASIA"}},
    };
    int period = 2;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.What);
        auto dm = Module();
        for (const auto& sql : c.Refuse) FShop->LocalExec(sql);
        dm->sqlConfigLocal.Edit();
        dm->sqlConfigLocal.FieldByName(u"TEMPO_SINCRO").SetAsInteger(++period);
        EXPECT_THROW(dm->sqlConfigLocal.Post(), Exception);
        EXPECT_EQ(dm->sqlConfigLocal.State(), dsEdit);
        EXPECT_EQ(dm->sqlConfigLocal.FieldByName(u"SENHA_CLOUD").AsString(), CloudPassword());
        for (const auto& sql : c.Allow) FShop->LocalExec(sql);
        dm->sqlConfigLocal.Post();
        EXPECT_EQ(FShop->LocalValue(u"select TEMPO_SINCRO from config_geral").AsInteger(), period);
        EXPECT_EQ(StoredSenha(), TDmdados::GetCriptarSenha(CloudPassword()));
    }
}

TEST_F(Sync, UploadSendsChangedProductsInCodeOrderAndLogsEachOne) {
    for (int code : {7, 3, 5}) FShop->AddLocalProduct(code, u"Café " + IntToStr(code), MinutesAgo(1));
    FShop->AddLocalProduct(0, u"never", MinutesAgo(1));  // code 0 is never sent
    FShop->AddLocalProduct(9, u"old", EncodeDate(1999, 1, 1));
    ASSERT_EQ(Run(1), TRunOutcome::Completed);
    EXPECT_EQ(CloudCodes(), (std::vector<int>{3, 5, 7}));
    EXPECT_EQ(Log(), (std::vector<std::string>{"", "Sinc P.Cloud Iniciada <stamp>", "Sinc. Add Prod.: 3 | Café 3",
                                               "Sinc. Add Prod.: 5 | Café 5", "Sinc. Add Prod.: 7 | Café 7",
                                               "Sinc P.Cloud Finalizada <stamp>", ""}));
    EXPECT_EQ(FPanel.ProgressMax, 3);
    EXPECT_EQ(FPanel.ProgressSteps, 3);
    EXPECT_EQ(FPanel.Pumps, 3);  // events run before every row
}

TEST_F(Sync, AnUploadThatFailsLeavesTheWindowToBeSentAgain) {
    FShop->AddLocalProduct(1, u"um", MinutesAgo(1));
    FShop->AddLocalProduct(2, u"dois", MinutesAgo(1));
    FShop->AddLocalProduct(3, u"três", MinutesAgo(1));
    // The cloud refuses the second product: its unit does not fit.
    FShop->LocalExec(u"update estoque set EST_UNIDADE='UNIDADE-LONG' where EST_CODIGO=2");
    TDateTime before = StoredTime();
    ASSERT_EQ(Run(1), TRunOutcome::TransferFailed);
    EXPECT_EQ(CloudCodes(), (std::vector<int>{1}));
    auto log = Log();
    ASSERT_FALSE(log.empty());
    EXPECT_EQ(log.back().rfind("Houve Erro :#22001", 0), 0u) << log.back();
    EXPECT_EQ(StoredTime(), before);

    FShop->LocalExec(u"update estoque set EST_UNIDADE='UN' where EST_CODIGO=2");
    ASSERT_EQ(Run(1), TRunOutcome::Completed);
    EXPECT_EQ(CloudCodes(), (std::vector<int>{1, 2, 3}));
}

TEST_F(Sync, DownloadUpdatesOrInsertsAndKeepsTheLookupTables) {
    FShop->LocalExec(u"insert into estoque (EST_CODIGO, EST_PRODUTO, SINC) values (10, 'velho', 'S')");
    FShop->LocalExec(u"insert into categoria (CODIGO, NOME) values (9, 'Local')");
    FShop->AddCloudProduct(10, u"novo", MinutesAgo(1));
    FShop->AddCloudProduct(11, u"Açúcar", MinutesAgo(1));
    FShop->AddCloudProduct(12, u"Sal", MinutesAgo(1));
    FShop->CloudExec(u"update produtos set prod_idcat=9, prod_nomecat='Nuvem', prod_idgrupo=4, prod_nomegrupo='Grãos'");
    FShop->CloudExec(u"update produtos set prod_idfab=0, prod_nomefab='nenhum'");
    ASSERT_EQ(Run(2), TRunOutcome::Completed);
    EXPECT_EQ(Log(), (std::vector<std::string>{"", "Sinc Clod P.Local Iniciada <stamp>", "", "Sincronia Iniciada <stamp>",
                                               "Sinc Upd Prod.: 10 | novo", "Sinc. Add Prod.: 11 | Açúcar",
                                               "Sinc. Add Prod.: 12 | Sal", "Sincronia Finalizada <stamp>", ""}));
    EXPECT_EQ(FPanel.ProgressMax, 3);
    EXPECT_EQ(FShop->LocalValue(u"select SINC from estoque where EST_CODIGO=10").AsAnsiString(), AnsiString("N"));
    EXPECT_EQ(UnicodeToUtf8(FShop->LocalValue(u"select EST_PRODUTO from estoque where EST_CODIGO=11").AsString()), "Açúcar");
    // A known code keeps its local name; a new one comes with the cloud's; code 0 is never looked up.
    EXPECT_EQ(UnicodeToUtf8(FShop->LocalValue(u"select NOME from categoria where CODIGO=9").AsString()), "Local");
    EXPECT_EQ(UnicodeToUtf8(FShop->LocalValue(u"select NOME from grupo where CODIGO=4").AsString()), "Grãos");
    EXPECT_EQ(FShop->LocalValue(u"select count(*) from fabricante").AsInteger(), 0);
    // New products only get their opening stock movement.
    EXPECT_EQ(FShop->LocalValue(u"select count(*) from Mov_Produtos").AsInteger(), 2);
    EXPECT_EQ(FShop->LocalValue(u"select count(*) from Mov_Produtos where PROD_CODIGO=11 and cod_filial=1 and "
                                u"ESTOQUE_INICIAL=1 and ESTOQUE_ATUAL=0 and USER_NOME='User-Sic' and SINC='N' and "
                                u"POR_USUARIO=1 and ENTRADA_DATA=current_date").AsInteger(),
              1);
}

TEST_F(Sync, ADownloadThatFailsKeepsWhatItWrote) {
    for (int code : {1, 2, 3}) FShop->AddCloudProduct(code, u"p" + IntToStr(code), MinutesAgo(1));
    FShop->CloudExec(u"update produtos set prod_idgrupo=30+prod_codigo, prod_nomegrupo='g'");
    FShop->LocalExec(u"alter table estoque add constraint no_three check (EST_CODIGO <> 3)");
    TDateTime before = StoredTime();
    ASSERT_EQ(Run(2), TRunOutcome::TransferFailed);
    EXPECT_EQ(FShop->LocalValue(u"select count(*) from estoque").AsInteger(), 2);
    EXPECT_EQ(FShop->LocalValue(u"select count(*) from grupo where CODIGO=33").AsInteger(), 1);  // written before
    auto log = Log();
    EXPECT_EQ(log.back().rfind("Houve Erro :        ", 0), 0u) << log.back();
    EXPECT_EQ(StoredTime(), before);
}

TEST_F(Sync, EveryFailureOfTheCloudLandsInTheMinutesLogFile) {
    auto file = [&](const char* name) {
        std::ifstream in(FShop->WorkDir() + "/logSic/" + name, std::ios::binary);
        std::stringstream s;
        s << in.rdbuf();
        return s.str();
    };
    FShop->PointConfigAtCloud(1, 1);  // nothing listens on port 1
    auto dm = Module();
    SetClockForTests([] { return EncodeDateTime(2024, 3, 9, 23, 59, 10, 0); });
    EXPECT_FALSE(dm->GetServidor_Cloud());
    dm->GetSalvar_Log_Sicrinizado(u"segunda mensagem");
    SetClockForTests([] { return EncodeDateTime(2024, 3, 10, 0, 0, 5, 0); });
    EXPECT_FALSE(dm->GetServidor_Cloud());
    std::string first = file("Log_09_03_2024_23_59.txt"), second = file("Log_10_03_2024_00_00.txt");
    EXPECT_EQ(first, "segunda mensagem\r\n");  // the minute keeps its last message
    EXPECT_EQ(second.rfind("DataErro: Cannot connect to server on host '127.0.0.1'", 0), 0u) << second;
    EXPECT_EQ(second.substr(second.size() - 2), "\r\n");
    ASSERT_GE(FPanel.Lines.size(), 2u);
    EXPECT_EQ(UnicodeToUtf8(FPanel.Lines.back()), "DataBaseErro: " + second.substr(10, second.size() - 12));

    // A run with the cloud unreachable records nothing.
    TDateTime before = StoredTime();
    TFreeControls controls;
    EXPECT_EQ(RunSynchronisation(*dm, controls), TRunOutcome::CloudUnavailable);
    EXPECT_EQ(StoredTime(), before);
    EXPECT_FALSE(controls.Running);
}

TEST_F(Sync, ACloudThatGoesAwayMidUploadGetsEveryProductNextTime) {
    for (int code = 1; code <= 5; ++code) FShop->AddLocalProduct(code, u"p", MinutesAgo(1));
    TFaultProxy proxy(FShop->MySql().Host, FShop->MySql().Port);
    // Before the third product: its statement reaches the server, the reply never comes back.
    FPanel.OnProcessMessages = [&](int pump) {
        if (pump == 3) proxy.Arm(TFaultProxy::fCut);
    };
    TDateTime before = StoredTime();
    ASSERT_EQ(Run(1, proxy.Port()), TRunOutcome::TransferFailed);
    EXPECT_EQ(CloudCodes(), (std::vector<int>{1, 2, 3}));
    EXPECT_EQ(StoredTime(), before);
    proxy.Arm(TFaultProxy::fNone);
    FPanel.OnProcessMessages = nullptr;
    ASSERT_EQ(Run(1, proxy.Port()), TRunOutcome::Completed);
    EXPECT_EQ(CloudCodes(), (std::vector<int>{1, 2, 3, 4, 5}));
}

TEST_F(Sync, AProductChangedDuringARunGoesWithTheNextOne) {
    FOverlapMinutes = 0;  // the overlap would also catch a window that ends too late
    FShop->AddLocalProduct(1, u"p", MinutesAgo(1));
    FShop->AddLocalProduct(2, u"q", EncodeDate(1999, 1, 1));
    FPanel.OnProcessMessages = [&](int) {
        FShop->LocalExec(u"update estoque set DATA_ALTERACAO=current_timestamp where EST_CODIGO=2");
        std::this_thread::sleep_for(std::chrono::milliseconds(20));  // the run ends well after the change
    };
    ASSERT_EQ(Run(1), TRunOutcome::Completed);
    EXPECT_EQ(CloudCodes(), (std::vector<int>{1}));
    FPanel.OnProcessMessages = nullptr;
    ASSERT_EQ(Run(1), TRunOutcome::Completed);
    EXPECT_EQ(CloudCodes(), (std::vector<int>{1, 2}));
}

TEST_F(Sync, ALateCommitInsideTheOverlapIsStillSent) {
    ASSERT_EQ(Run(1), TRunOutcome::Completed);  // nothing to send; the window moves on
    // Stamped before the stored time, committed after the run.
    FShop->AddLocalProduct(4, u"tarde", TDateTime(StoredTime().Value - 2.0 / 1440));
    ASSERT_EQ(Run(1), TRunOutcome::Completed);
    EXPECT_EQ(CloudCodes(), (std::vector<int>{4}));
}

// The cloud's changes are stamped by the shops that upload them, with their own clocks; the
// cloud's clock may differ from theirs either way. This machine's clock is moved instead of
// the server's: the engine sees the same difference, and other tests keep the real time.
TEST_F(Sync, ACloudClockAheadOrBehindTheShopsLosesNothing) {
    struct {
        const char* What;
        double LocalAheadMinutes;
    } cases[] = {
        {"the cloud's clock an hour behind this machine's", 60},
        {"the cloud on UTC, the shops three hours behind it", -180},
    };
    auto cloudNow = [&] { return FShop->CloudValue(u"select current_timestamp").AsDateTime(); };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.What);
        SetClockForTests({});
        FShop->CloudExec(u"delete from produtos");
        FShop->LocalExec(u"delete from Mov_Produtos");
        FShop->LocalExec(u"delete from estoque");
        SetStoredTime(EncodeDate(2000, 1, 1));
        TDateTime base = Now();
        auto started = std::chrono::steady_clock::now();
        SetClockForTests([=] {
            std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - started;
            return TDateTime(base.Value + c.LocalAheadMinutes / 1440 + elapsed.count() / 86400);
        });
        // A shop whose clock is the earlier of the two stamps a change before the run...
        auto earlier = [&] { return std::min(cloudNow(), Now()); };
        FShop->AddCloudProduct(1, u"antes", TDateTime(earlier().Value - 1.0 / 1440));
        ASSERT_EQ(Run(2), TRunOutcome::Completed);
        EXPECT_LE(StoredTime().Value, earlier().Value);
        // ...and one right after it.
        FShop->AddCloudProduct(2, u"depois", earlier());
        ASSERT_EQ(Run(2), TRunOutcome::Completed);
        EXPECT_EQ(FShop->LocalValue(u"select count(*) from estoque where EST_CODIGO=2").AsInteger(), 1);
    }
}

// Whatever ends a run, "Sincronizar" and the supervision come back.
TEST_F(Sync, TheControlsComeBackWhateverEndsTheRun) {
    FShop->AddLocalProduct(1, u"p", MinutesAgo(1));
    struct {
        const char* What;
        std::function<void()> Setup;
    } cases[] = {
        {"an error that is not the program's own",
         [&] {
             FShop->PointConfigAtCloud(1);
             FPanel.OnProcessMessages = [](int) { throw std::bad_alloc(); };
         }},
        {"a log file that cannot be written after a failure",
         [&] {
             FPanel.OnProcessMessages = nullptr;
             FShop->PointConfigAtCloud(1, 1);
             std::filesystem::remove_all(FShop->WorkDir() + "/logSic");
         }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.What);
        c.Setup();
        auto dm = Module();
        TDateTime before = StoredTime();
        TFreeControls controls;
        EXPECT_ANY_THROW(RunSynchronisation(*dm, controls));
        EXPECT_FALSE(controls.Running);
        EXPECT_EQ(StoredTime(), before);
    }
}

TEST_F(Sync, DirectionsThatTransferNothingMoveNothing) {
    FShop->AddLocalProduct(1, u"p", MinutesAgo(1));
    TDateTime before = StoredTime();
    EXPECT_EQ(Run(0), TRunOutcome::NoDirection);
    EXPECT_EQ(Utf8Lines(FPanel.Lines), (std::vector<std::string>{"Informe o Tipo de Transação na Configuração do Sinc"}));
    EXPECT_EQ(Run(3), TRunOutcome::NothingToTransfer);
    EXPECT_EQ(StoredTime(), before);
    EXPECT_TRUE(CloudCodes().empty());

    // Sinc-All covers everything since 1905.
    FShop->LocalExec(u"update estoque set DATA_ALTERACAO='1950-01-01' where EST_CODIGO=1");
    FShop->PointConfigAtCloud(1);
    auto dm = Module();
    TFreeControls controls;
    EXPECT_EQ(RunFullResynchronisation(*dm, controls), TRunOutcome::Completed);
    EXPECT_EQ(CloudCodes(), (std::vector<int>{1}));
}

// The console runner, as a scheduled task runs it.
class Runner : public Sync {
protected:
    struct TResult {
        int Exit = -1;
        std::string Out, Err;
    };
    // Runs the tool in a working folder with the given arguments.
    TResult RunTool(const std::string& folder, const std::string& arguments) {
        std::string errPath = FShop->WorkDir() + "/stderr.txt";
        std::string command = "cd '" + folder + "' && " + std::string(VANTRELO_SYNC_TOOL) + " " + arguments + " 2>'" +
                              errPath + "'";
        TResult r;
        FILE* p = ::popen(command.c_str(), "r");
        char buffer[4096];
        for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, p)) > 0;) r.Out.append(buffer, n);
        r.Exit = WEXITSTATUS(::pclose(p));
        std::ifstream err(errPath, std::ios::binary);
        std::stringstream text;
        text << err.rdbuf();
        r.Err = text.str();
        return r;
    }
    // A settings file for this shop's local database.
    std::string SettingsFile(const std::string& extra = "") {
        TInstallSettings s = FShop->Settings();
        std::string path = FShop->WorkDir() + "/test.ini";
        std::ofstream(path) << "[local]\nserver=" << UnicodeToUtf8(s.LocalServer) << "\nport=" << s.LocalPort
                            << "\ndatabase=" << UnicodeToUtf8(s.LocalDatabase) << "\nuser=" << UnicodeToUtf8(s.LocalUser)
                            << "\npassword=" << UnicodeToUtf8(s.LocalPassword) << "\n" << extra;
        return path;
    }
};

TEST_F(Runner, ExitsWithTheRunsOutcome) {
    std::string settings = SettingsFile();
    FShop->AddLocalProduct(1, u"Pão", MinutesAgo(1));
    FShop->PointConfigAtCloud(1);
    TResult r = RunTool(FShop->WorkDir(), "--settings " + settings);
    EXPECT_EQ(r.Exit, 0) << r.Out << r.Err;
    EXPECT_NE(r.Out.find("Sinc. Add Prod.: 1 | Pão\n"), std::string::npos) << r.Out;

    FShop->PointConfigAtCloud(1, 1);
    r = RunTool(FShop->WorkDir(), "--settings " + settings);
    EXPECT_EQ(r.Exit, 1) << r.Out << r.Err;
    EXPECT_NE(r.Out.find("DataBaseErro: "), std::string::npos) << r.Out;

    std::ofstream(settings) << "[local]\nserver=127.0.0.1\ndatabase=/nowhere/missing.fdb\n";
    r = RunTool(FShop->WorkDir(), "--settings " + settings);
    EXPECT_EQ(r.Exit, 2) << r.Out << r.Err;
    EXPECT_EQ(r.Err.rfind("vantrelo-sync: ", 0), 0u) << r.Err;
}

TEST_F(Runner, RefusesSettingsItCannotUse) {
    struct {
        const char* What;
        std::string Arguments, Reason;
    } cases[] = {
        {"a settings file that is not there", "--settings " + FShop->WorkDir() + "/missing.ini",
         "vantrelo-sync: Settings file \"" + FShop->WorkDir() + "/missing.ini\" does not exist\n"},
        {"a settings file that cannot be read", "--settings " + FShop->WorkDir(),
         "vantrelo-sync: Settings file \"" + FShop->WorkDir() + "\" cannot be read\n"},
        {"a negative overlap", "--settings " + SettingsFile("[sync]\noverlap_minutes=-5\n"),
         "vantrelo-sync: Setting sync.overlap_minutes must not be negative: -5\n"},
    };
    FShop->AddLocalProduct(1, u"Pão", MinutesAgo(1));
    FShop->PointConfigAtCloud(1);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.What);
        TResult r = RunTool(FShop->WorkDir(), c.Arguments);
        EXPECT_EQ(r.Exit, 2);
        EXPECT_EQ(r.Err, c.Reason);
        EXPECT_EQ(r.Out, "");
    }
    EXPECT_TRUE(CloudCodes().empty());
}

// A scheduled task starts the runner in a folder of its own, with no "logSic" yet.
TEST_F(Runner, AFailedRunInAFreshFolderWritesItsLogFile) {
    std::string settings = SettingsFile();
    std::string fresh = FShop->WorkDir() + "/task";
    std::filesystem::create_directories(fresh);
    FShop->PointConfigAtCloud(1, 1);  // nothing listens on port 1
    TResult r = RunTool(fresh, "--settings " + settings);
    EXPECT_EQ(r.Exit, 1) << r.Out << r.Err;
    EXPECT_EQ(r.Err, "");
    EXPECT_NE(r.Out.find("DataBaseErro: "), std::string::npos) << r.Out;
    ASSERT_TRUE(std::filesystem::is_directory(fresh + "/logSic"));
    std::vector<std::string> contents;
    for (const auto& entry : std::filesystem::directory_iterator(fresh + "/logSic")) {
        std::ifstream in(entry.path(), std::ios::binary);
        std::stringstream text;
        text << in.rdbuf();
        contents.push_back(text.str());
    }
    ASSERT_EQ(contents.size(), 1u);
    EXPECT_EQ(contents[0].rfind("DataErro: ", 0), 0u) << contents[0];
}

} // namespace
} // namespace vantrelo::test
