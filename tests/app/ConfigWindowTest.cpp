// The configuration window on a real shop: what it shows, when "Salvar" is on, what it
// writes, its two refusals and the connection test.
#include <filesystem>

#include <QApplication>
#include <QTest>

#include <gtest/gtest.h>

#include "platform/CodePage.h"
#include "platform/FormatSettings.h"
#include "tests/app/AppTestSupport.h"

namespace vantrelo::test {
namespace {

namespace fs = std::filesystem;

class ConfigWindow : public ::testing::Test {
protected:
    void SetUp() override {
        VANTRELO_REQUIRE_FIREBIRD(fb);
        VANTRELO_REQUIRE_MYSQL(my);
        FShop = std::make_unique<TStartedShop>(fb, my, ::testing::UnitTest::GetInstance()->current_test_info()->name());
        FShop->Shop().PointConfigAtCloud(1);
        FShop->Restart();
    }
    TDmdados& Dm() { return FShop->Dm(); }
    TShop& Shop() { return FShop->Shop(); }
    TRecordingDialogs& Dialogs() { return FShop->Dialogs(); }
    std::unique_ptr<TfrmConfig> Open() {
        auto w = std::make_unique<TfrmConfig>(Dm(), Dialogs());
        w->show();
        return w;
    }
    // Re-reads the configuration row after the test changed it.
    void Reload() {
        Dm().sqlConfigLocal.Close();
        Dm().GetDadosEmpresa_ConfgLocal();
    }
    std::string Stored(const char16_t* column) {
        return UnicodeToUtf8(Shop().LocalValue(std::u16string(u"select ") + column + u" from config_geral").AsString());
    }
    static void Retype(QLineEdit& box, const QString& text) {
        box.setFocus();
        QTest::keyClick(&box, Qt::Key_End);
        while (!box.text().isEmpty()) QTest::keyClick(&box, Qt::Key_Backspace);
        QTest::keyClicks(&box, text);
    }

    std::unique_ptr<TStartedShop> FShop;
};

TEST_F(ConfigWindow, ThePeriodListShowsTempoSincroAndSavingWritesItBack) {
    const struct { int Stored, Index, Saved; } cases[] = {{4, 3, 4}, {0, -1, 0}, {11, -1, 0}, {10, 9, 10}};
    for (auto c : cases) {
        SCOPED_TRACE(c.Stored);
        Shop().LocalExec(u"update config_geral set TEMPO_SINCRO=" + IntToStr(c.Stored));
        Reload();
        auto w = Open();
        EXPECT_EQ(w->ComboBox1.currentIndex(), c.Index);
        if (c.Index >= 0) {
            EXPECT_EQ(w->ComboBox1.currentText(), QString("%1 Minuto").arg(c.Stored));
        }
        EXPECT_EQ(w->ComboBox1.count(), 10);
        EXPECT_EQ(w->ComboBox1.itemText(0), "1 Minuto");
        Retype(*w->EditFor(u"USUARIO_CLOUD"), "outro");
        QTest::mouseClick(&w->btSalvar, Qt::LeftButton);
        EXPECT_EQ(Stored(u"TEMPO_SINCRO"), std::to_string(c.Saved));
    }
}

TEST_F(ConfigWindow, ChoosingAPeriodAloneEnablesSalvarWhichSavesIt) {
    auto w = Open();
    EXPECT_FALSE(w->btSalvar.isEnabled());
    EXPECT_EQ(Dm().sqlConfigLocal.State(), dsBrowse);
    w->ComboBox1.setCurrentIndex(6);
    emit w->ComboBox1.activated(6);  // as the operator's choice
    EXPECT_EQ(Dm().sqlConfigLocal.State(), dsEdit);
    EXPECT_TRUE(w->btSalvar.isEnabled());
    QTest::mouseClick(&w->btSalvar, Qt::LeftButton);
    EXPECT_FALSE(w->btSalvar.isEnabled());
    EXPECT_EQ(Dm().sqlConfigLocal.State(), dsBrowse);
    EXPECT_EQ(Stored(u"TEMPO_SINCRO"), "7");
    EXPECT_TRUE(Dialogs().Messages.empty());
}

TEST_F(ConfigWindow, TheControlsShowTheRecordAndTypingEditsIt) {
    auto w = Open();
    const std::string plain = Shop().MySql().Password;
    EXPECT_EQ(w->EditFor(u"SERVIDOR_CLOUD")->text().toStdString(), Shop().MySql().Host);
    EXPECT_EQ(w->EditFor(u"DATABASE_CLOUD")->text().toStdString(), Shop().CloudDatabase());
    EXPECT_EQ(w->EditFor(u"PORTA_CLOUD")->text().toStdString(), std::to_string(Shop().MySql().Port));
    EXPECT_EQ(w->EditFor(u"DATAULTIMA_SIC")->text().toStdString(), "01/01/2000");
    EXPECT_EQ(w->DBEditEmpresa->text(), "1");
    EXPECT_EQ(w->DBEditCaixa->text(), "1");
    EXPECT_EQ(w->rgTipoTransacao->ItemIndex(), 0);
    EXPECT_EQ(w->rgSituacao->ItemIndex(), 1);
    EXPECT_EQ(w->rgSituacao->Item(1).text(), "Ativador");
    TDBEdit& senha = *w->EditFor(u"SENHA_CLOUD");
    EXPECT_EQ(senha.echoMode(), QLineEdit::Password);
    EXPECT_EQ(senha.text().toStdU16String(), TDmdados::GetCriptarSenha(Utf8ToUnicode(plain))) << "stored form while browsing";
    EXPECT_FALSE(w->EditFor(u"EMP_NOME")->isEnabled());
    for (const char16_t* column : {u"VERSAO_ATUAL", u"EMP_CNPJ", u"DATAULTIMA_SIC", u"DATA_CADASTRO"})
        EXPECT_TRUE(w->EditFor(column)->isReadOnly());
    EXPECT_EQ(w->pos(), shell::BottomRightPlacement(*w));
    EXPECT_EQ(w->size(), QSize(589, 383));
    EXPECT_EQ(w->Panel1.text(), QString::fromUtf8("    Configuração  Sinc."));

    // The first key puts the record into edit state: the password box then holds the plain form.
    TDBEdit& servidor = *w->EditFor(u"SERVIDOR_CLOUD");
    servidor.setFocus();
    QTest::keyClick(&servidor, Qt::Key_End);
    QTest::keyClicks(&servidor, "x");
    EXPECT_EQ(Dm().sqlConfigLocal.State(), dsEdit);
    EXPECT_TRUE(w->btSalvar.isEnabled());
    EXPECT_EQ(senha.text().toStdString(), plain);
    EXPECT_EQ(UnicodeToUtf8(Dm().sqlConfigLocal.FieldByName(u"SERVIDOR_CLOUD").AsString()), Shop().MySql().Host + "x");

    // Letters never reach a code box.
    w->DBEditCaixa->setFocus();
    QTest::keyClick(w->DBEditCaixa, Qt::Key_End);
    QTest::keyClicks(w->DBEditCaixa, "7a");
    EXPECT_EQ(w->DBEditCaixa->text(), "17");
    QTest::mouseClick(&w->rgTipoTransacao->Item(1), Qt::LeftButton);
    EXPECT_EQ(w->rgTipoTransacao->ItemIndex(), 1);
    Retype(servidor, QString::fromStdString(Shop().MySql().Host));

    QTest::mouseClick(&w->btSalvar, Qt::LeftButton);
    EXPECT_FALSE(w->btSalvar.isEnabled());
    EXPECT_EQ(Stored(u"PDV_NCAIXA"), "17");
    EXPECT_EQ(Stored(u"ENVIA_OU_RECEBE"), "2");
    EXPECT_EQ(Stored(u"EMP_NOME"), "Loja Central São Jorge");
    EXPECT_EQ(w->EditFor(u"EMP_NOME")->text(), QString::fromUtf8("Loja Central São Jorge"));
    EXPECT_EQ(Shop().LocalValue(u"select SENHA_CLOUD from config_geral").AsString(),
              TDmdados::GetCriptarSenha(Utf8ToUnicode(plain)))
        << "stored scrambled again";
}

TEST_F(ConfigWindow, EmptyTerminalOrBranchCodesAreRefused) {
    auto w = Open();
    Retype(*w->DBEditCaixa, "");
    QTest::mouseClick(&w->btSalvar, Qt::LeftButton);
    EXPECT_EQ(Dialogs().Messages, std::vector<std::string>{"Por favor informe o caixa"});
    EXPECT_EQ(w->focusWidget(), w->DBEditCaixa);

    Retype(*w->DBEditCaixa, "3");
    Retype(*w->DBEditEmpresa, "");
    QTest::mouseClick(&w->btSalvar, Qt::LeftButton);
    EXPECT_EQ(Dialogs().Messages, (std::vector<std::string>{"Por favor informe o caixa", "Por favor informe a empresa"}));
    EXPECT_EQ(w->focusWidget(), w->DBEditEmpresa);
    EXPECT_EQ(Dm().sqlConfigLocal.State(), dsEdit);
    EXPECT_TRUE(w->btSalvar.isEnabled());
    EXPECT_EQ(Stored(u"PDV_NCAIXA"), "1") << "nothing saved";
}

TEST_F(ConfigWindow, ClosingKeepsTheEditForTheNextRecording) {
    const std::string plain = Shop().MySql().Password;
    {
        auto w = Open();
        Retype(*w->EditFor(u"DATABASE_CLOUD"), "nuvem");
        QTest::mouseClick(&w->SpeedButton1, Qt::LeftButton);
        EXPECT_TRUE(w->isHidden());
    }
    EXPECT_EQ(Dm().sqlConfigLocal.State(), dsEdit);
    EXPECT_EQ(Dm().sqlConfigLocal.FieldByName(u"DATABASE_CLOUD").AsString(), u"nuvem");
    {
        auto again = Open();
        EXPECT_EQ(again->EditFor(u"DATABASE_CLOUD")->text(), "nuvem");
        EXPECT_TRUE(again->btSalvar.isEnabled()) << "the pending edit can be saved";
        // Back to the real cloud database, and a new terminal code, closed unsaved again.
        Retype(*again->EditFor(u"DATABASE_CLOUD"), QString::fromStdString(Shop().CloudDatabase()));
        Retype(*again->DBEditCaixa, "7");
        QTest::mouseClick(&again->SpeedButton1, Qt::LeftButton);
    }
    ASSERT_EQ(Dm().sqlConfigLocal.State(), dsEdit);

    // The open edit does not cut the cloud off: the run sends, and its recording stores the edit.
    Shop().AddLocalProduct(7, u"Café", Now());
    std::vector<TRunOutcome> outcomes;
    QObject::connect(&FShop->Window(), &TfrmPrincipal::RunEnded, &FShop->Window(),
                     [&](int o) { outcomes.push_back(TRunOutcome(o)); });
    QTest::mouseClick(&FShop->Window().btSincronizar, Qt::LeftButton);
    EXPECT_EQ(outcomes, std::vector<TRunOutcome>{TRunOutcome::Completed});
    EXPECT_FALSE(Shop().CloudValue(u"select prod_codigo from produtos where prod_codigo=7").IsNull());
    EXPECT_EQ(Dm().sqlConfigLocal.State(), dsBrowse);
    EXPECT_EQ(Stored(u"PDV_NCAIXA"), "7");
    EXPECT_EQ(Stored(u"DATABASE_CLOUD"), Shop().CloudDatabase());
    EXPECT_EQ(Shop().LocalValue(u"select SENHA_CLOUD from config_geral").AsString(),
              TDmdados::GetCriptarSenha(Utf8ToUnicode(plain)))
        << "stored scrambled, once";
}

TEST_F(ConfigWindow, TestarTriesTheValuesAsTyped) {
    const std::string plain = Shop().MySql().Password;
    auto w = Open();
    TDBEdit& senha = *w->EditFor(u"SENHA_CLOUD");
    Retype(senha, "errada");
    QTest::mouseClick(&w->btTestar, Qt::LeftButton);
    EXPECT_EQ(Dialogs().Messages.back(), "Houve Erro veja o Log");

    Retype(senha, QString::fromStdString(plain));
    QTest::mouseClick(&w->btTestar, Qt::LeftButton);
    EXPECT_EQ(Dialogs().Messages.back(), "Conectado Com Sucesso..");
    EXPECT_TRUE(Dm().BaseCloud.Connected());
    EXPECT_EQ(Dm().sqlConfigLocal.State(), dsEdit) << "testing saves nothing";
    EXPECT_EQ(senha.text().toStdString(), plain);

    QTest::mouseClick(&w->btSalvar, Qt::LeftButton);
    EXPECT_EQ(Shop().LocalValue(u"select SENHA_CLOUD from config_geral").AsString(),
              TDmdados::GetCriptarSenha(Utf8ToUnicode(plain)));
    QTest::mouseClick(&w->btTestar, Qt::LeftButton);
    EXPECT_EQ(Dialogs().Messages.back(), "Conectado Com Sucesso..");
}

TEST_F(ConfigWindow, EnterInABoxClicksNoButton) {
    auto w = Open();
    TDBEdit& servidor = *w->EditFor(u"SERVIDOR_CLOUD");
    auto enterIn = [](QLineEdit& box) {
        box.setFocus();
        QTest::keyClick(&box, Qt::Key_Return);
        QTest::keyClick(&box, Qt::Key_Enter);
    };
    enterIn(servidor);  // browsing: only "Testar" is on
    EXPECT_TRUE(Dialogs().Messages.empty()) << Dialogs().Messages.front();

    QTest::keyClick(&servidor, Qt::Key_End);
    QTest::keyClicks(&servidor, "x");  // editing: "Salvar" is on too
    for (QLineEdit* box : {static_cast<QLineEdit*>(&servidor), static_cast<QLineEdit*>(w->EditFor(u"SENHA_CLOUD")),
                           static_cast<QLineEdit*>(w->DBEditCaixa)})
        enterIn(*box);
    EXPECT_TRUE(Dialogs().Messages.empty()) << Dialogs().Messages.front();
    EXPECT_EQ(Dm().sqlConfigLocal.State(), dsEdit);
    EXPECT_TRUE(w->btSalvar.isEnabled());
    EXPECT_EQ(Stored(u"SERVIDOR_CLOUD"), Shop().MySql().Host) << "nothing saved";
    EXPECT_TRUE(w->isVisible()) << "nor the window closed";
}

TEST_F(ConfigWindow, TestarReportsItsThreeOutcomesAndRestoresButtonAndCursor) {
    auto w = Open();
    std::vector<std::pair<bool, bool>> duringBox;  // hourglass shown, button off
    Dialogs().OnMessage = [&](const std::string&) {
        const QCursor* c = QApplication::overrideCursor();
        duringBox.emplace_back(c && c->shape() == Qt::WaitCursor, !w->btTestar.isEnabled());
    };
    auto expectRestored = [&] {
        EXPECT_EQ(QApplication::overrideCursor(), nullptr);
        EXPECT_TRUE(w->btTestar.isEnabled());
    };

    QTest::mouseClick(&w->btTestar, Qt::LeftButton);
    EXPECT_EQ(Dialogs().Messages.back(), "Conectado Com Sucesso..");
    EXPECT_TRUE(Dm().BaseCloud.Connected());
    expectRestored();

    Retype(*w->EditFor(u"PORTA_CLOUD"), "1");
    QTest::mouseClick(&w->btTestar, Qt::LeftButton);
    EXPECT_EQ(Dialogs().Messages.back(), "Houve Erro veja o Log");
    EXPECT_FALSE(Dm().BaseCloud.Connected());
    QStringList log = FShop->Window().LogLines();
    ASSERT_FALSE(log.isEmpty());
    EXPECT_TRUE(log.back().startsWith("DataBaseErro: ")) << log.back().toStdString();
    expectRestored();

    // No log folder: the log file cannot be written and that error reaches the window.
    fs::remove_all("logSic");
    QTest::mouseClick(&w->btTestar, Qt::LeftButton);
    EXPECT_EQ(Dialogs().Messages.back().rfind("Houve Erro: Cannot create file ", 0), 0u) << Dialogs().Messages.back();
    expectRestored();

    EXPECT_EQ(duringBox, (std::vector<std::pair<bool, bool>>(3, {true, true})));
}

} // namespace
} // namespace vantrelo::test
