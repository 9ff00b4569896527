#pragma once
// The supplier catalogue "CATALOGO DE PROVEEDORES.": list, search, add, edit and delete suppliers;
// also the supplier picker of the product-supplier links (the displayed RFC is left in
// SeleccionCatalogo).

#include "catalogs/forms/grid_catalogo.h"
#include "catalogs/proveedores.h"
#include "platform/db/database.h"

#include <QWidget>

class CCaptura;
class QComboBox;
class QLineEdit;
class QPushButton;
class QTabWidget;
class QTableView;

namespace shell {
class Ficha;
class MIDI;
}
namespace ui {
class Prompts;
}

namespace catalogos {

class frmProveedores : public QWidget {
    Q_OBJECT
public:
    // codigos: the central file (default: the program's).
    explicit frmProveedores(QWidget* parent = nullptr, db::Database* codigos = nullptr,
                            ui::Prompts* prompts = nullptr);

    void LeerDatos();
    void FormatoGrid();
    bool GrabarDatos();
    void SeleccionaGrid();
    void BuscaProveedores();
    void SiguienteCampoBusqueda();

    void cmdNuevo_Click();
    void cmdGuardar_Click();
    void cmdBorrar_Click();
    void cmdBuscar_Click();
    void cmdCerrar_Click();

    int Registros() const { return cursor_.count(); }
    int Posicion() const { return cursor_.position(); }
    void MueveA(int fila);

    QTabWidget* SSTab1 = nullptr;
    QComboBox* Combo1 = nullptr;
    QLineEdit* Text1 = nullptr;
    QTableView* gridClientes = nullptr;
    QPushButton *cmdNuevo = nullptr, *cmdGuardar = nullptr, *cmdBorrar = nullptr,
                *cmdBuscar = nullptr, *cmdCerrar = nullptr;
    CCaptura *capRFC = nullptr, *capNombre = nullptr, *capDireccion = nullptr, *capCiudad = nullptr,
             *capColonia = nullptr, *capEstado = nullptr, *capTelefono = nullptr,
             *capContacto = nullptr, *capCargoCont = nullptr, *CapFax = nullptr,
             *capCorreoE = nullptr, *capCodP = nullptr, *capPais = nullptr;

    bool CargaActiva = false;
    shell::Ficha* Ficha() const { return ficha_; }
    QString RFCAnterior;

protected:
    void keyPressEvent(QKeyEvent* e) override;
    bool eventFilter(QObject* o, QEvent* e) override;

private:
    void Muestra(const Proveedor& p);
    Proveedor EnPantalla() const;
    void Recarga(const QString& rfcMostrar, int filaSiNo);
    db::Database* Codigos() const;
    ui::Prompts& prompts() const;

    db::Database* codigos_;
    ui::Prompts* prompts_;
    db::Cursor cursor_;
    OrigenCursor origen_{&cursor_};
    GridCatalogo* grid_ = nullptr;
    shell::Ficha* ficha_ = nullptr;
};

// Opens the catalogue (one instance) in the main window, or brings it forward.
frmProveedores* AbreProveedores(shell::MIDI* midi);

}  // namespace catalogos
