#pragma once
// The customer catalogue "CATALOGO DE CLIENTES.": list, search, add, edit and delete customers, and
// the sale screen's customer picker (the displayed customer is left in SeleccionCatalogo).

#include "shell/forms/ficha.h"
#include "catalogs/clientes.h"
#include "catalogs/forms/grid_catalogo.h"
#include "platform/db/database.h"

#include <QWidget>

class CCaptura;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTabWidget;
class QTableView;
class QMdiArea;

namespace shell {
class Ficha;
class MIDI;
}
namespace ui {
class Prompts;
}

namespace catalogos {

class frmClientes : public QWidget {
    Q_OBJECT
public:
    // codigos: the central file (default: the program's); sucursal: the branch file the saves go
    // through, so a changed RFC moves the branch's sales in the same transaction (default: the
    // program's; without one the saves go to the central file).
    explicit frmClientes(QWidget* parent = nullptr, db::Database* codigos = nullptr,
                         db::Database* sucursal = nullptr, ui::Prompts* prompts = nullptr);

    void LeerDatos();
    void FormatoGrid();
    int GrabarDatos();
    void SeleccionaGrid();

    void cmdNuevo_Click();
    void cmdGuardar_Click();
    void cmdBorrar_Click();
    void cmdBuscar_Click();
    void cmdRegresar_Click();
    void AlCerrarVenta();  // the sale screen gone while this form waits hidden as its picker
    void BuscaClientes();
    void SiguienteCampoBusqueda();
    // The form became the active window of the main window.
    void Activacion();
    void ConectaActivacion(QMdiArea* area);

    // The record source: moves and reloads the fields.
    int Registros() const { return cursor_.count(); }
    int Posicion() const { return cursor_.position(); }
    void MueveA(int fila);

    QTabWidget* SSTab1 = nullptr;
    QComboBox* Combo1 = nullptr;
    QLineEdit* Text1 = nullptr;
    QTableView* gridClientes = nullptr;
    QPushButton *cmdNuevo = nullptr, *cmdGuardar = nullptr, *cmdBorrar = nullptr,
                *cmdBuscar = nullptr, *cmdRegresar = nullptr;
    CCaptura *capRFC = nullptr, *capCURP = nullptr, *capNombre = nullptr, *capDireccion = nullptr,
             *capNumExterior = nullptr, *capNumInterior = nullptr, *capColonia = nullptr,
             *capLocalidad = nullptr, *capMunicipio = nullptr, *capCiudad = nullptr, *capCP = nullptr,
             *capTelefono = nullptr, *capRutaC = nullptr, *capMaxCredito = nullptr;
    QComboBox *cmbEstado = nullptr, *cmbPais = nullptr, *cmbTipoCompra = nullptr;
    QLineEdit *capEmails = nullptr, *txtreferencia = nullptr;

    QString RFCAnterior;
    bool CargaActiva = false;
    bool ClienteNuevo() const { return ficha_->nueva(); }
    shell::Ficha* Ficha() const { return ficha_; }

protected:
    void keyPressEvent(QKeyEvent* e) override;
    bool eventFilter(QObject* o, QEvent* e) override;

private:
    void Carga();
    void AplicaPermisosClientes();
    void MuestraCliente(const Cliente& c);
    Cliente ClienteEnPantalla() const;
    Validacion Valida();
    void Recarga(const QString& rfcMostrar, int filaSiNo);
    CCaptura* Campo(const QString& nombre, const QString& titulo, int largo);
    db::Database* Codigos() const;
    db::Database* ParaGuardar() const;
    ui::Prompts& prompts() const;

    db::Database* codigos_;
    db::Database* sucursal_;
    ui::Prompts* prompts_;
    db::Cursor cursor_;
    OrigenCursor origen_{&cursor_};
    GridCatalogo* grid_ = nullptr;
    shell::Ficha* ficha_ = nullptr;
};

// Opens the catalogue (one instance) in the main window, or brings it forward, with the focus.
frmClientes* AbreClientes(shell::MIDI* midi);
// Makes the catalogue the opener of the main window's customer item (and of the sale screen's
// customer button, which runs that item); the item's permission check runs first.
void ConectaMenusCatalogos(shell::MIDI* midi);

}  // namespace catalogos
