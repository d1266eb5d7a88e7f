#include "app/frmConfig.h"

#include <QApplication>
#include <QGuiApplication>

#include "app/Artwork.h"
#include "platform/Exception.h"
#include "sync/Dmdados.h"

namespace vantrelo {
namespace {

QString Q(const char16_t* text) { return QString::fromStdU16String(text); }

constexpr int PeriodItems = 10;  // "1 Minuto" … "10 Minuto": item i is TEMPO_SINCRO i + 1

// Left edges of the two columns of controls, and the row pitch.
constexpr int ColA = 10, ColB = 320, RowTop = 33, RowPitch = 48, LabelHeight = 15, BoxHeight = 22;
constexpr int Row(int r) { return RowTop + r * RowPitch; }

} // namespace

TfrmConfig::TfrmConfig(TDmdados& dm, TDialogs& dialogs)
    : QDialog(nullptr, Qt::Dialog | Qt::FramelessWindowHint),
      FDm(dm),
      FDialogs(dialogs),
      dsConfig(dm.sqlConfigLocal, dialogs) {
    using namespace shell;
    setObjectName("frmConfig");
    setWindowTitle(Q(u"Configuração  Sinc."));
    setFixedSize(589, 383);
    Paint(*this, FormGrey);
    const int inner = width() - 2 * BorderWidth;
    const int sideLeft = BorderWidth + inner - 70;
    const int middleTop = BorderWidth + BarHeight, middle = height() - 2 * BorderWidth - 2 * BarHeight;

    Panel1.setObjectName("Panel1");
    SpeedButton1.setObjectName("SpeedButton1");
    PanelBottom.setObjectName("PanelBottom");
    BuildBars(*this, Panel1, Q(u"    Configuração  Sinc."), SpeedButton1, artwork::CloseGlyph(), PanelBottom);
    FDragger.Watch(Panel1);
    connect(&SpeedButton1, &QToolButton::clicked, this, &QDialog::close);

    PanelSide.setObjectName("PanelSide");
    PanelSide.setGeometry(sideLeft, middleTop, 70, middle);
    Image1.setObjectName("Image1");
    Image1.setGeometry(0, 0, 70, middle);
    Image1.setScaledContents(true);
    Image1.setPixmap(artwork::SidePicture(QSize(70, middle)));
    btSalvar.setObjectName("btSalvar");
    btSalvar.setGeometry(4, middle - 44, 62, 34);
    btSalvar.setText(Q(u"Salvar"));
    btSalvar.setFont(Font("Arial", 12, true));
    Paint(btSalvar, ButtonFace, Navy);
    btSalvar.setAutoFillBackground(false);
    btSalvar.setEnabled(false);
    connect(&btSalvar, &QPushButton::clicked, this, [this] { Guarded(FDialogs, [this] { btSalvarClick(); }); });

    Paint(PanelSide, ButtonFace);

    // The controls, in the order of their tab stops.
    std::vector<QWidget*> tabs;
    tabs.push_back(&AddEdit(u"Empresa de Concessão", u"EMP_NOME", false, {ColA, Row(0), 300, BoxHeight}));
    tabs.push_back(&AddEdit(u"Servidor Remoto (IP/HostName)", u"SERVIDOR_CLOUD", true, {ColA, Row(1), 300, BoxHeight}));
    tabs.push_back(&AddEdit(u"Versão do PDV", u"VERSAO_ATUAL", false, {ColB, Row(0), 186, BoxHeight}));
    tabs.push_back(&AddEdit(u"CNPJ", u"EMP_CNPJ", false, {ColB, Row(1), 186, BoxHeight}));

    AddLabel(u"Sincronizar a cada", {ColA, Row(2)});
    ComboBox1.setObjectName("ComboBox1");
    ComboBox1.setGeometry(ColA, Row(2) + LabelHeight, 120, BoxHeight);
    ComboBox1.setFont(Font("Arial", 13));
    for (int i = 1; i <= PeriodItems; ++i) ComboBox1.addItem(QStringLiteral("%1 Minuto").arg(i));
    connect(&ComboBox1, &QComboBox::activated, this, [this] { Guarded(FDialogs, [this] { ComboBox1Change(); }); });
    tabs.push_back(&ComboBox1);

    tabs.push_back(&AddEdit(u"Base Remota (Database)", u"DATABASE_CLOUD", true, {140, Row(2), 170, BoxHeight}));
    tabs.push_back(&AddEdit(u"Porta", u"PORTA_CLOUD", true, {ColB, Row(2), 80, BoxHeight}));
    btTestar.setObjectName("btTestar");
    btTestar.setGeometry(ColB + 86, Row(2) + LabelHeight - 2, 100, BoxHeight + 4);
    btTestar.setText(Q(u"Testar"));
    connect(&btTestar, &QPushButton::clicked, this, [this] { Guarded(FDialogs, [this] { btTestarClick(); }); });
    tabs.push_back(&btTestar);
    tabs.push_back(&AddEdit(u"Usuário (UserName)", u"USUARIO_CLOUD", true, {ColA, Row(3), 145, BoxHeight}));
    TDBEdit& senha = AddEdit(u"Senha (Password)", u"SENHA_CLOUD", true, {165, Row(3), 145, BoxHeight});
    senha.setEchoMode(QLineEdit::Password);
    MaskWithHash(senha);
    tabs.push_back(&senha);
    DBEditEmpresa = &AddEdit(u"Cód da Filial", u"IDFILIAL", true, {ColB, Row(3), 88, BoxHeight});
    DBEditEmpresa->setObjectName("DBEditEmpresa");
    tabs.push_back(DBEditEmpresa);
    DBEditCaixa = &AddEdit(u"Cód do PDV", u"PDV_NCAIXA", true, {ColB + 98, Row(3), 88, BoxHeight});
    DBEditCaixa->setObjectName("DBEditCaixa");
    tabs.push_back(DBEditCaixa);

    rgTipoTransacao = std::make_unique<TDBRadioGroup>(
        dsConfig, u"ENVIA_OU_RECEBE", Q(u"Tipo de Transação"),
        std::vector<TRadioItem>{{u"[1] Enviar Dados", u"1"}, {u"[2] Receber Dados", u"2"}, {u"[3] Enviar e Receber", u"3"}}, 1,
        this);
    rgTipoTransacao->setObjectName("rgTipoTransacao");
    rgTipoTransacao->setGeometry(ColA, Row(4), 190, 100);
    tabs.push_back(rgTipoTransacao.get());
    tabs.push_back(&AddEdit(u"Ultima Sincronização", u"DATAULTIMA_SIC", false, {210, Row(4), 150, BoxHeight}));
    tabs.push_back(&AddEdit(u"Data Cadastro", u"DATA_CADASTRO", false, {370, Row(4), 136, BoxHeight}));
    rgSituacao = std::make_unique<TDBRadioGroup>(dsConfig, u"TEMPO_SIMNAO", Q(u"Situação do Vantrelo"),
                                                 std::vector<TRadioItem>{{u"Parado", u"0"}, {u"Ativador", u"1"}}, 2, this);
    rgSituacao->setObjectName("rgSituacao");
    rgSituacao->setGeometry(210, Row(5), 296, 52);
    tabs.push_back(rgSituacao.get());
    tabs.push_back(&btSalvar);
    for (std::size_t i = 1; i < tabs.size(); ++i) setTabOrder(tabs[i - 1], tabs[i]);
    // A dialog's push buttons would take Enter typed in a text box; here no key clicks them.
    for (QPushButton* button : findChildren<QPushButton*>()) {
        button->setAutoDefault(false);
        button->setDefault(false);
    }

    dsConfig.OnChange = [this] { UpdateSalvar(); };
}

TfrmConfig::~TfrmConfig() {
    // The radio groups go before the window's own children.
    rgSituacao.reset();
    rgTipoTransacao.reset();
}

void TfrmConfig::AddLabel(const char16_t* text, QPoint at) {
    auto label = std::make_unique<QLabel>(Q(text), this);
    label->setGeometry(at.x(), at.y(), 200, LabelHeight);
    label->setFont(shell::Font("Arial", 12));
    shell::Paint(*label, shell::FormGrey, shell::White);
    label->setAutoFillBackground(false);
    FLabels.push_back(std::move(label));
}

TDBEdit& TfrmConfig::AddEdit(const char16_t* label, const char16_t* column, bool editable, QRect box) {
    AddLabel(label, box.topLeft());
    auto edit = std::make_unique<TDBEdit>(dsConfig, column, editable, this);
    edit->setObjectName(QStringLiteral("DBEdit_") + Q(column));
    edit->setGeometry(box.x(), box.y() + LabelHeight, box.width(), box.height());
    edit->setFont(shell::Font("Arial", 13));
    shell::Paint(*edit, editable ? shell::White : shell::ButtonFace, shell::Blue);
    // The branch's name is copied from its table: shown greyed.
    if (std::u16string_view(column) == u"EMP_NOME") edit->setEnabled(false);
    FEdits.push_back(std::move(edit));
    return *FEdits.back();
}

TDBEdit* TfrmConfig::EditFor(const std::u16string& column) const {
    for (const auto& e : FEdits)
        if (e->FieldName() == column) return e.get();
    return nullptr;
}

void TfrmConfig::showEvent(QShowEvent* event) {
    move(shell::BottomRightPlacement(*this));
    Guarded(FDialogs, [this] { FormShow(); });
    QDialog::showEvent(event);
}

void TfrmConfig::FormShow() {
    dsConfig.ReloadAll();
    int period = FDm.sqlConfigLocal.FieldByName(u"TEMPO_SINCRO").AsInteger();
    ComboBox1.setCurrentIndex(period >= 1 && period <= PeriodItems ? period - 1 : -1);
    UpdateSalvar();
}

void TfrmConfig::ComboBox1Change() {
    if (FDm.sqlConfigLocal.Active() && !dsConfig.Editing()) dsConfig.BeginEdit();
}

void TfrmConfig::UpdateSalvar() { btSalvar.setEnabled(dsConfig.Editing()); }

void TfrmConfig::btSalvarClick() {
    if (DBEditCaixa->text().isEmpty()) {
        FDialogs.ShowMessage(u"Por favor informe o caixa");
        DBEditCaixa->setFocus();
        return;
    }
    if (DBEditEmpresa->text().isEmpty()) {
        FDialogs.ShowMessage(u"Por favor informe a empresa");
        DBEditEmpresa->setFocus();
        return;
    }
    if (!dsConfig.Editing()) return;
    // A rejected post keeps the record in edit state, and "Salvar" with it.
    struct TAfterPost {
        TfrmConfig& Window;
        ~TAfterPost() { Window.UpdateSalvar(); }
    } after{*this};
    FDm.sqlConfigLocal.FieldByName(u"TEMPO_SINCRO").SetAsInteger(ComboBox1.currentIndex() + 1);
    FDm.sqlConfigLocal.Post();
    dsConfig.ReloadAll();  // the post scrambled the password and copied the branch's name
}

void TfrmConfig::btTestarClick() {
    QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    btTestar.setEnabled(false);
    struct TRestore {
        TfrmConfig& Window;
        ~TRestore() {
            Window.btTestar.setEnabled(true);
            QGuiApplication::restoreOverrideCursor();
        }
    } restore{*this};
    std::u16string answer;
    try {
        answer = FDm.GetServidor_Cloud() ? u"Conectado Com Sucesso.." : u"Houve Erro veja o Log";
    } catch (const Exception& e) {
        answer = u"Houve Erro: " + e.Message();
    }
    FDialogs.ShowMessage(answer);
}

} // namespace vantrelo
