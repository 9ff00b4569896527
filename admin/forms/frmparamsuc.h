#pragma once
// "Parametros de la sucursal.": every option of the current branch's Parametros row, the tax push
// into the product catalogue, the data-folder change, the printer choice and test ticket, and the
// maintenance console ("Mantto").

#include "admin/parametros.h"
#include "shell/esperaesc.h"

#include <QDialog>

#include <functional>

class CCaptura;
class QButtonGroup;
class QCheckBox;
class QComboBox;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;
class QTabWidget;

namespace ui {
class Prompts;
}

namespace admin {

class frmParamSuc : public QDialog {
    Q_OBJECT
public:
    explicit frmParamSuc(QWidget* parent = nullptr, ui::Prompts* avisos = nullptr);

    // The values on screen, as the save would store them.
    ValoresParametros Valores() const;
    void Muestra(const ValoresParametros& v);

    void Command2_Click();     // &Guardar
    void capIVA_Enter();       // the tax push
    void cmdEjecutar_Click();  // the console
    void cmdCDireccion_Click();
    void cmdprueba_Click();    // the test ticket with the values on screen

    // The folder dialog of "Cambia &Direccion..." (tests put their own).
    static void EstableceEligeCarpeta(std::function<QString(QWidget*, const QString&)> elige);

    QTabWidget* SSTab1 = nullptr;
    // "Ver..."
    QComboBox* cmbSetBusqueda = nullptr;
    QCheckBox *chkDescripcionProd = nullptr, *chkNombreProd = nullptr, *chkUbicacion = nullptr,
              *chkIncrementoAp = nullptr;
    QPushButton* cmdCDireccion = nullptr;
    // "Impresion..."
    CCaptura *capImp1 = nullptr, *capImp2 = nullptr, *capImp3 = nullptr, *capDriver = nullptr,
             *capLineasSimp = nullptr;
    QPushButton *cmdPrint1 = nullptr, *Command3 = nullptr, *Command4 = nullptr, *cmdprueba = nullptr;
    QCheckBox* chkPrintServer = nullptr;
    QComboBox *cmbCodigos = nullptr, *lstMetodoPrint = nullptr, *cmbFormatoticket = nullptr;
    QLineEdit *txtEncabezadoTicket = nullptr, *txtPieTicket = nullptr;
    // "General..."
    CCaptura *capIVA = nullptr, *capSucursal1 = nullptr, *capPrefijoFact = nullptr, *capTFuente = nullptr,
             *capAjuste = nullptr, *capEspT = nullptr, *capMaxDescFact = nullptr, *capnTimesCajon = nullptr,
             *capListaPrecios = nullptr, *capNtimesticket = nullptr;
    QCheckBox *chkTraspasoDir = nullptr, *chkagregarGENERICO = nullptr, *chkpulsoCajon = nullptr,
              *chkPagosMultiples = nullptr, *chkControlCaja = nullptr, *chkVentasaTicket = nullptr,
              *chkCotizacionaTicket = nullptr, *chkTraspasosaTicket = nullptr, *chkFacturaaTicket = nullptr,
              *chkTicket = nullptr, *chkFacturaE = nullptr, *chkPreguntaCompVenta = nullptr,
              *chkPreguntaCompES = nullptr, *ChkCantidadAuto = nullptr, *chkVerDescuentoGral = nullptr;
    // "Keys"
    QLineEdit* txtTecla[6] = {};
    // "Mantto"
    QPlainTextEdit* txtSQL = nullptr;
    QRadioButton *optBD1 = nullptr, *optBD2 = nullptr;
    QPushButton* cmdEjecutar = nullptr;
    // below the tabs
    QPushButton *Command1 = nullptr, *Command2 = nullptr;

    bool Cargado() const { return cargado_; }

protected:
    bool eventFilter(QObject* o, QEvent* e) override;

private:
    QWidget* CreaTabVer();
    QWidget* CreaTabImpresion();
    QWidget* CreaTabGeneral();
    QWidget* CreaTabKeys();
    QWidget* CreaTabMantto();
    void Carga();
    void AvisoFacturaE();
    ui::Prompts& prompts() const;

    ui::Prompts* prompts_;
    QButtonGroup* grupoBD_ = nullptr;
    bool cargado_ = false;
    // While the console's statement runs the window is served: Esc or Cerrar stop the statement
    // (nothing is left of it) and Ejecutar waits for it.
    shell::EsperaConEsc esc_;
    bool ejecutando_ = false;
    bool detener_ = false;
};

// The DSucursal item: the form, modal.
void AbreParamSuc(QWidget* padre);

}  // namespace admin
