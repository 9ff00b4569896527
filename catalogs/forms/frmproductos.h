#pragma once
// The product catalogue "CATALOGO DE PRODUCTOS.": list and search the products of the current
// branch as one types, add, edit and delete them, and hand the product shown to the sale screen
// (CodigoProductoSel, ClaveProductoSel).

#include "shell/forms/ficha.h"
#include "catalogs/forms/grid_catalogo.h"
#include "catalogs/productos.h"
#include "catalogs/productos_reportes.h"
#include "platform/db/database.h"

#include <QPointer>
#include <QWidget>

#include <functional>

class CCaptura;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QMdiArea;
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

// The grid's rows: the catalogue source's pages.
class OrigenCatalogo : public OrigenFilas {
public:
    explicit OrigenCatalogo(const FuenteCatalogo* f) : f_(f) {}
    int cuantas() const override { return f_->count(); }
    QStringList columnas() const override { return f_->columnas(); }
    QVariant valor(int fila, int columna) const override { return f_->fila(fila).value(columna); }

private:
    const FuenteCatalogo* f_;
};

class frmProductos : public QWidget {
    Q_OBJECT
public:
    // sucursal: the current branch file with its links (default: the program's); codigos: the
    // central file for the lists (default: the program's).
    explicit frmProductos(QWidget* parent = nullptr, db::Database* sucursal = nullptr,
                          db::Database* codigos = nullptr, ui::Prompts* prompts = nullptr);

    // False when the product source could not be opened (the message was shown).
    bool Abierto() const { return abierto_; }

    void LeerDatos();
    void FormatoGrid();
    void GrabarDatos(int& ok);
    void SeleccionaGrid();
    void ActivaPermisos();
    void Validalosdatos(bool& ok);

    void cmdNuevo_Click();
    void cmdGuardar_Click();
    void cmdBorrar_Click();
    void cmdBuscar_Click();
    void cmdRegresar_Click();
    void cmdProveedores_Click();
    void cmdExistencia_Click();
    void cmdESProducto_Click();
    // Picture: the stored path of the product (newest row), the file choice, the picture shown.
    QString LeeImagenProducto(qint64 clave) const;
    void EligeImagenProducto();
    void MuestraImagenProducto();
    void Image1_Click();
    // The file chooser (QFileDialog, starting on "*.jpg"); tests give their own. "" = cancelled.
    std::function<QString()> EligeArchivo;
    // Where the product reports go (the preview window unless a test says otherwise).
    DestinoReportes DestinoESProducto;
    void BuscaProductos();
    void SiguienteCampoBusqueda();
    void Activacion();
    void ConectaActivacion(QMdiArea* area);
    void setMIDI(shell::MIDI* midi) { midi_ = midi; }

    int Registros() const { return fuente_.count(); }
    int Posicion() const { return pos_; }
    bool EsNuevo() const { return ficha_->nueva(); }
    shell::Ficha* Ficha() const { return ficha_; }
    // Key of the product shown; 0 for a new one.
    qint64 ClaveActual() const;
    void MueveA(int fila);

    QLineEdit* Text1 = nullptr;
    QComboBox* Combo1 = nullptr;
    QCheckBox *Check1 = nullptr, *Check2 = nullptr, *Check3 = nullptr, *chkImagen = nullptr,
              *chkSuspendido = nullptr;
    QLabel *lblRegistros = nullptr, *lblFecha = nullptr, *Image1 = nullptr, *Label4 = nullptr;
    QTableView* gridClientes = nullptr;
    QTabWidget* SSDatos = nullptr;
    CCaptura *capCodigo = nullptr, *capNombre = nullptr, *capDescripcion = nullptr,
             *capDescripcion2 = nullptr, *capUbicacion = nullptr, *capPrecioUnit = nullptr,
             *capPrecio1 = nullptr, *capPrecio2 = nullptr, *capPrecio3 = nullptr,
             *capPrecioCosto = nullptr, *capDescuento = nullptr, *capDescuentoCosto = nullptr,
             *capExistencia = nullptr, *capReorden = nullptr, *capStockMax = nullptr,
             *capUnidad = nullptr, *capIVA = nullptr, *capMarca = nullptr, *capEmpaque = nullptr,
             *capTipoSustituto = nullptr;
    QComboBox *cmbCategoria = nullptr, *cmbTipoProd = nullptr, *cmbMoneda = nullptr;
    QListWidget* List1 = nullptr;
    QPushButton *cmdNuevo = nullptr, *cmdGuardar = nullptr, *cmdBorrar = nullptr,
                *cmdExistencia = nullptr, *cmdProveedores = nullptr, *cmdBuscar = nullptr,
                *cmdESProducto = nullptr, *cmdRegresar = nullptr;

    bool CargaActiva = false;
    qint64 UltimaClave = 0;

protected:
    void keyPressEvent(QKeyEvent* e) override;
    bool eventFilter(QObject* o, QEvent* e) override;

private:
    bool Carga();
    void Muestra(const CamposProducto& c);
    CamposProducto EnPantalla() const;
    CCaptura* CampoDe(CampoProducto campo) const;
    void MarcaFilaActual();
    void MuestraOtrasSucursales();
    // Shows the tab that holds the field (a tab the person may not open stays as it is).
    void EnVista(QWidget* campo);
    // Runs the search again and shows the product `clave` (else the row `filaSiNo`).
    void Recarga(qint64 clave, int filaSiNo);
    void Cuenta();
    static void PonLista(QComboBox* lista, qint64 clave);
    db::Database* Sucursal() const;
    db::Database* Codigos() const;
    ui::Prompts& prompts() const;

    db::Database* sucursal_;
    db::Database* codigos_;
    ui::Prompts* prompts_;
    shell::MIDI* midi_ = nullptr;
    FuenteCatalogo fuente_;
    OrigenCatalogo origen_{&fuente_};
    GridCatalogo* grid_ = nullptr;
    int pos_ = -1;
    shell::Ficha* ficha_ = nullptr;
    bool abierto_ = false;
    qint64 guardada_ = 0;  // key of the product the last save wrote
    QPointer<QWidget> vistaImagen_;
};

// Opens the catalogue (one instance) in the main window with the focus; nullptr when it could not
// open its products.
frmProductos* AbreProductos(shell::MIDI* midi);

}  // namespace catalogos
