#pragma once
// "Movimientos de Caja.": browses the branch's cash movements and adds one (money into or out of
// the drawer outside a sale), with the balance of the movements still waiting for a cut. Opened
// modeless from the menu and modal from the cash cut.

#include "platform/db/database.h"
#include "sale/esperaesc.h"

#include <QWidget>

#include <functional>

class CCaptura;
class QComboBox;
class QLabel;
class QMdiArea;
class QPushButton;

namespace shell {
class Ficha;
class MIDI;
}
namespace ui {
class Prompts;
}

namespace caja {

class frmMovCaja : public QWidget {
    Q_OBJECT
public:
    explicit frmMovCaja(QWidget* parent = nullptr, ui::Prompts* prompts = nullptr);

    enum Modo { Consulta = 1, Agregando = 2 };

    // What the form does each time it comes to the front: closes at once without permission 19,
    // else re-reads the movements and the balance.
    void Activacion();
    void InicializaMovimientos();
    void ConectaActivacion(QMdiArea* area);

    void cmdAgregar_Click();
    void cmdCancelar_Click();
    // Value of a saved query or table of the branch file (see caja::ObtResultadoCons).
    QString ObtResultadoCons(const QString& nombre, const QString& campo);

    int Registros() const { return cursor_.count(); }
    int Posicion() const { return cursor_.position(); }
    void MueveA(int fila);
    Modo modo() const { return modo_; }
    // The movement being typed: closing the form with typing not saved asks first.
    shell::Ficha* Ficha() const { return ficha_; }

    CCaptura *capMovimiento = nullptr, *capImporte = nullptr, *capDescripcion = nullptr;
    QComboBox *cmbTipoMov = nullptr, *cmbEstatus = nullptr;
    QLabel *lblFechaH = nullptr, *lblSaldo = nullptr, *lblPosicion = nullptr;
    QPushButton *cmdAgregar = nullptr, *cmdCancelar = nullptr, *cmdAceptar = nullptr;
    // Data1's navigation buttons.
    QPushButton *cmdPrimero = nullptr, *cmdAnterior = nullptr, *cmdSiguiente = nullptr, *cmdUltimo = nullptr;

protected:
    bool event(QEvent* e) override;

private:
    void Bloquea();
    void MuestraFila();
    void MuestraSaldo();
    void EligeTipo(int tipo);
    void ActualizaNavegacion();
    void Descarga();
    db::Database* bd() const;
    ui::Prompts& prompts() const;

    ui::Prompts* prompts_;
    db::Cursor cursor_;
    Modo modo_ = Consulta;
    bool muestra_ = true;  // a change of row may refresh the fields
    bool descargando_ = false;
    QMdiArea* area_ = nullptr;
    sale::EsperaConEsc esc_;
    shell::Ficha* ficha_ = nullptr;
};


// Opens the form (one instance) as a document window of the main window, or brings it forward.
frmMovCaja* AbreMovCaja(shell::MIDI* midi);
// Shows the form as a modal window over `padre`, returns when it is gone and runs `alCerrar`. When
// the open form holds a movement being typed, that form comes to the front instead (nothing typed
// is lost) and `alCerrar` runs once it closes.
void MuestraMovCajaModal(QWidget* padre, const std::function<void()>& alCerrar = {});

}  // namespace caja
