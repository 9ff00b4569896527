#pragma once
// "Cuentas." (the branch's money accounts) and the modal "Movimientos de cuentas." over the movements
// of the selected account. Toolbar buttons act by their tool-tip text.

#include "catalogs/cuentas.h"
#include "platform/db/database.h"

#include <QPointer>
#include <QWidget>

class CCaptura;
class QComboBox;
class QDateEdit;
class QPushButton;
class QStandardItemModel;
class QTableView;
class QToolBar;

namespace shell {
class Ficha;
class MIDI;
}
namespace ui {
class Prompts;
}

namespace catalogos {

class frmMovimientos;

class frmCuentas : public QWidget {
    Q_OBJECT
public:
    explicit frmCuentas(QWidget* parent = nullptr, db::Database* sucursal = nullptr, ui::Prompts* prompts = nullptr);

    void AbreCuentas(qint64 mostrar = -1);
    void FormatoGrid();
    void LeerCuenta();
    void LimpiaCuenta();
    void GrabarCuenta();
    void CancelaCuenta();
    void Toolbar2_ButtonClick(const QString& tooltip);
    void cmdMovimientos_Click();
    frmMovimientos* Movimientos() const { return movimientos_; }
    shell::Ficha* Ficha() const { return ficha_; }

    int ModoEdicion = 1;
    bool Guardando = false;

    CCaptura *txtNumCuenta = nullptr, *txtNomCuenta = nullptr, *txtFechaApertura = nullptr,
             *txtFechaModifica = nullptr, *txtSaldo = nullptr;
    QComboBox* cmbEstatus = nullptr;
    QTableView* DBGrid1 = nullptr;
    QPushButton* cmdMovimientos = nullptr;
    QToolBar* Toolbar2 = nullptr;

private:
    void MueveA(int fila);
    qint64 CuentaActual() const;
    db::Database* Base() const;
    ui::Prompts& prompts() const;

    db::Database* sucursal_;
    ui::Prompts* prompts_;
    db::Cursor cursor_;
    QStandardItemModel* modelo_ = nullptr;
    QPointer<frmMovimientos> movimientos_;
    shell::Ficha* ficha_ = nullptr;
    bool llenando_ = false;
};

class frmMovimientos : public QWidget {
    Q_OBJECT
public:
    explicit frmMovimientos(QWidget* parent = nullptr, db::Database* sucursal = nullptr,
                            ui::Prompts* prompts = nullptr);

    void AbreMovimientos(const QString& cuentaSel, qint64 mostrar = -1);
    void FormatoGrid();
    void LeerMovimiento();
    void LimpiaMovimiento();
    void GrabarMovimiento();
    void CancelaMovimiento();
    void Toolbar2_ButtonClick(const QString& tooltip);

    int ModoEdicion = 1;
    bool Guardando = false;

    CCaptura *txtNumCuenta = nullptr, *txtNumMovimiento = nullptr, *txtImporte = nullptr, *txtRef01 = nullptr,
             *txtRef02 = nullptr, *txtComentarios = nullptr;
    QDateEdit* txtFechaMovto = nullptr;
    QComboBox *cmbTipoMov = nullptr, *cmbEstatus = nullptr;
    QTableView* DBGrid1 = nullptr;
    QToolBar* Toolbar2 = nullptr;

private:
    void MueveA(int fila);
    void BloqueaGuardados(bool bloquea);
    db::Database* Base() const;
    ui::Prompts& prompts() const;

    db::Database* sucursal_;
    ui::Prompts* prompts_;
    db::Cursor cursor_;
    QStandardItemModel* modelo_ = nullptr;
    QString cuentaSel_;
    bool llenando_ = false;
};

// A toolbar whose buttons carry the given tool-tips and report them when pressed.
QToolBar* BarraPorTooltips(QWidget* padre, const QStringList& tooltips,
                           const std::function<void(const QString&)>& pulsado);

frmCuentas* AbreCuentas(shell::MIDI* midi);

}  // namespace catalogos
