#pragma once
// The configuration window: the local configuration record in bound controls, the
// synchronisation period, "Salvar" and a test of the cloud connection.
#include <memory>
#include <string>
#include <vector>

#include <QComboBox>
#include <QDialog>
#include <QFrame>
#include <QLabel>
#include <QPushButton>
#include <QToolButton>

#include "app/DBEdit.h"
#include "app/DBRadioGroup.h"
#include "app/Dialogs.h"
#include "app/RecordLink.h"
#include "app/ShellStyle.h"

namespace vantrelo {

class TDmdados;

class TfrmConfig : public QDialog {
    Q_OBJECT
public:
    TfrmConfig(TDmdados& dm, TDialogs& dialogs);
    ~TfrmConfig() override;

    void btSalvarClick();
    void btTestarClick();
    // The bound text box of a column (nullptr when there is none).
    TDBEdit* EditFor(const std::u16string& column) const;

protected:
    void showEvent(QShowEvent* event) override;

private:
    void FormShow();
    void ComboBox1Change();
    void UpdateSalvar();
    TDBEdit& AddEdit(const char16_t* label, const char16_t* column, bool editable, QRect box);
    void AddLabel(const char16_t* text, QPoint at);

    TDmdados& FDm;
    TDialogs& FDialogs;
    TRecordLink dsConfig;

public:
    // The components (parents first).
    QLabel Panel1{this};
    QToolButton SpeedButton1{&Panel1};
    QFrame PanelBottom{this};
    QFrame PanelSide{this};
    QLabel Image1{&PanelSide};
    QPushButton btSalvar{&PanelSide};
    QComboBox ComboBox1{this};
    QPushButton btTestar{this};

private:
    std::vector<std::unique_ptr<QLabel>> FLabels;
    std::vector<std::unique_ptr<TDBEdit>> FEdits;

public:
    TDBEdit* DBEditEmpresa = nullptr;  // "Cód da Filial"
    TDBEdit* DBEditCaixa = nullptr;    // "Cód do PDV"
    std::unique_ptr<TDBRadioGroup> rgTipoTransacao;
    std::unique_ptr<TDBRadioGroup> rgSituacao;

private:
    TWindowDragger FDragger{*this};
};

} // namespace vantrelo
