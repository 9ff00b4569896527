#pragma once
// The counter screen: one form for the five documents a branch builds (sale, credit sale,
// quotation, inventory entry/exit, credit note), chosen by the mode the opener writes to ModoVenta.
// Product capture, the pending lines and the totals are worked out by the logic in sale/ (lineas,
// busqueda, totales); this form shows them and routes the keys.

#include "platform/db/database.h"
#include "platform/ui/prompts.h"
#include "sale/busqueda.h"
#include "sale/lineas.h"
#include "sale/teclas.h"
#include "sale/totales.h"

#include <QAbstractTableModel>
#include <QString>
#include <QWidget>

#include <optional>

#include <array>

class CCaptura;
class QCheckBox;
class QComboBox;
class QLabel;
class QMdiArea;
class QMdiSubWindow;
class QLineEdit;
class QListWidget;
class QListWidgetItem;
class QPushButton;
class QTableView;
class QTextEdit;
class QTimer;

namespace shell {
class MIDI;
}

namespace venta {

struct Ajuste;

// The product grid's model over the look-up set.
class ModeloProductos : public QAbstractTableModel {
    Q_OBJECT
public:
    explicit ModeloProductos(FuenteProductos* fuente, QObject* parent = nullptr)
        : QAbstractTableModel(parent), fuente_(fuente) {}
    enum Columna { PRECIOUNIT, CODIGODEBARRAS, NOMBRE, DESCRIPCION, EXIS, NumColumnas };
    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation o, int role) const override;
    void refresca();

private:
    FuenteProductos* fuente_;
};

// The line grid's model over the screen's pending lines.
class ModeloLineas : public QAbstractTableModel {
    Q_OBJECT
public:
    explicit ModeloLineas(LineasVenta* lineas, QObject* parent = nullptr)
        : QAbstractTableModel(parent), lineas_(lineas) {}
    enum Columna { Descripcion, Ubicacion, PrecioUnit, Cantidad, Nombre, Importe, Exis, Descuento,
                   Observacion, CodigodeBarras, NumColumnas };
    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation o, int role) const override;
    void refresca();

private:
    LineasVenta* lineas_;
};

// Mode codes and the captions their openers give the screen.
QString CaptionVenta(const QString& modo);

// Shows or hides a grid column; a shown one gets its design width (twips), yet never less than its
// heading or `minimo` pixels.
void PonColumna(QTableView* grid, int col, bool visible, int twips, int minimo = 0);

class frmVenta : public QWidget {
    Q_OBJECT
public:
    // Form_Load: reads ModoVenta. `base` is the branch file (tests); null uses the current branch.
    explicit frmVenta(QWidget* parent = nullptr, db::Database* base = nullptr,
                      ui::Prompts* prompts = nullptr);
    ~frmVenta() override;

    // --- public variables ---
    QString TipoDocumento;
    double TotalVenta = 0;
    bool Procesando = false;
    qint64 NumeroDocumento = 0;
    int TipoSeleccion = 0;
    int SucursalTraspaso = 0;
    QString TextoES;
    // Set by the transfer form: the next inventory save is a transfer's exit to SucursalTraspaso.
    bool EsTraspaso = false;
    QString ClienteVenta;
    int CerrandoVenta = 0;

    // --- public procedures ---
    QString CalculaTotal(int first, int last);
    QString CalculaTotalDES(int first, int last);
    void FormatoGridES();
    void FormatoGrid();
    void IniciaDatos();
    // The next invoice number, shown as "F:n".
    void LeeFolioFactura();
    void BorraProd();
    void FormatoGridP();
    void EstableceB();
    void selprod();
    void ColocaMTeclas();
    // Payment-form names from the catalogue into NombresFormaPago (unless already loaded) and the
    // screen's list Combo1; cargaformasdepago loads the names only.
    void CargarFormasdePago();
    void cargaformasdepago();
    void DescuentoProducto();
    void AplicaCantidad();
    void AplicaPUnit();
    // The step leaving the discount field runs (read, cap, then the total). Every save command runs
    // it first: the buttons take no focus, so a discount just typed has not been through it yet.
    // False when the typed text was refused (the field is back on the discount taken before).
    bool AplicaDescuentoEscrito();
    // The general discount percent taken from the field (what totals, saves and prints use).
    double PorcentajeDescuento() const;
    // The discount field shows `porcentaje`, taken as typed.
    void PonDescuento(double porcentaje);
    // Save paths outside the sale mode (frmventa_documentos.cpp).
    void GuardaNotaCredito();
    void ImprimeNCredito();
    void GuardaVCredito();
    void GuardatodoESInv(int& signo, bool& imprimir);
    // After one of those saves: the save removed the lines from the file; the screen only lets go of
    // its list.
    void OlvidaLineasGuardadas();
    void ActualizaPU();
    void EstableceObservacion();
    void EstPUnitProductoVenta();
    void EstableceDescripcion();
    void EstableceModelo();
    // After a saved sale: the generic lines become products (when GenAgregar is 1).
    void AgregaGenericos();

    // --- state the rest of the program and the tests read ---
    QString modo() const { return modo_; }
    int ModoBusqueda() const { return modoBusqueda_; }
    bool MantenerBusqueda() const { return mantenerBusqueda_; }
    bool DesglosaIVA() const { return desglosaIVA_; }
    bool SumarInventario() const { return sumarInventario_; }
    double DescuentoGeneral() const { return descuentoGeneral_; }
    int CantidadProductos() const { return cantidadProductos_; }
    int IVAPantalla() const { return ivaPantalla_; }
    QString ClienteDocumento() const { return clienteDocumento_; }
    QString AvalDocumento() const { return avalDocumento_; }
    int IntervaloBusqueda() const { return intervaloBusqueda_; }
    QString TextoTeclas() const { return textoTeclas_; }
    // A status panel text that belongs to this screen: panel 3 gets back what it showed before the
    // screen wrote there when the text is "", and both go when the screen closes.
    void PonEstadoVenta(int panel, const QString& texto);
    QString TooltipTeclas() const { return tooltipTeclas_; }
    LineasVenta& lineas() { return lineas_; }
    FuenteProductos& productos() { return productos_; }
    db::Database* base();
    ui::Prompts& prompts();

    // Controls (named as the screen's design names them).
    CCaptura* capCodigoBarras = nullptr;
    QLineEdit* cajaCodigo = nullptr;  // the capture field's text box
    QLabel* lblCodigo = nullptr;
    QLabel* lblCliente = nullptr;
    QLabel* lblRem = nullptr;
    QLabel* lblCProductos = nullptr;
    QLabel* Label2 = nullptr;
    QLabel* Label3 = nullptr;
    QLabel* lblAval = nullptr;
    QLineEdit* capAval = nullptr;
    QLineEdit* capDescuento = nullptr;
    QComboBox* cmbDescuento = nullptr;
    QComboBox* Combo1 = nullptr;  // payment forms
    QLineEdit* txtTotal = nullptr;
    QTextEdit* txtDetalles = nullptr;
    QCheckBox* chkDetalles = nullptr;
    QCheckBox* chkSumarinventario = nullptr;
    QTableView* DBGrid1 = nullptr;  // lines
    QTableView* DBGrid2 = nullptr;  // products
    QPushButton* cmdCliente = nullptr;
    QPushButton* cmdCerrar = nullptr;
    QPushButton* cmdBorrarP = nullptr;
    QPushButton* cmdFacturar = nullptr;
    QPushButton* cmdFacturaE = nullptr;
    QPushButton* cmdTicket = nullptr;
    QPushButton* cmdActInv = nullptr;
    QPushButton* cmdNuevo = nullptr;
    QPushButton* cmdBuscar = nullptr;
    QTimer* Timer1 = nullptr;
    QTimer* Timer2 = nullptr;
    QListWidget* lstOpciones = nullptr;
    QListWidget* lstPrecios = nullptr;

    QString ObservacionDocumento() const { return observacionDocumento_; }
    void setObservacionDocumento(const QString& texto) { observacionDocumento_ = texto; }
    // Detail text is off while the inventory save runs.
    void setDetallesActivos(bool activos) { detallesActivos_ = activos; }
    // A recalled document is shown (F7 and F8 do nothing on it).
    void setRecuperado(bool recuperado) { recuperado_ = recuperado; }
    bool Recuperado() const { return recuperado_; }
    const SecuenciaTeclas& secuencia() const { return secuencia_; }

    // Runs the key-down rules of the screen with a key code of the old platform; true when a rule
    // took the key.
    bool TeclaAbajo(int codigo);
    // Activation hand-over (client, guarantor or product picked in a catalogue). In the main window
    // it runs when the screen's frame becomes the active document coming from another one (not
    // when a message box closes).
    void Activacion();
    void ConectaActivacion(QMdiArea* area);
    // A customer or guarantor pick is pending and its picker is still in sight.
    bool SeleccionEnCurso() const;
    // Barcode of the product the product grid highlights ("" when none).
    const QString& ProductoMarcado() const { return productoMarcado_; }
    // Client change: decides DesglosaIVA and re-lays the grid.
    void CambioCliente();
    // Moves the current line of the line grid (and marks it).
    void SeleccionaLinea(int fila);
    int LineaActual() const;
    // Back colour of the code field as "#RRGGBB" (the stock colour of the current line).
    QString ColorCodigo() const;
    // The header source holds the saved document (set by the save paths; a new document clears it).
    void MarcaCabeceraGuardada(bool guardada) { cabeceraGuardada_ = guardada; }

signals:
    // Key help for panel 2 of the main window's status bar.
    void teclasCambiadas(const QString& texto, const QString& tooltip);

public slots:
    void cmdCliente_Click();
    void cmdCerrar_Click();
    void cmdBorrarP_Click();
    void cmdNuevo_Click();
    void cmdFacturar_Click();
    void cmdFacturaE_Click();
    void cmdTicket_Click();
    void cmdActInv_Click();
    void cmdBuscar_Click();
    void LimpiaPendientes();
    void CapturaCodigo();

protected:
    void closeEvent(QCloseEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;
    bool eventFilter(QObject* o, QEvent* e) override;

private:
    void construye();
    void FormLoad();
    void AgregaProducto(QString& codigo);
    void BuscaProducto();
    void MarcaProducto();
    void MarcaLinea();
    void ResaltaLinea();
    void ColorExistencia(const QVariant& existencia);
    void AjustaDetalles();
    void ActualizaTotales(bool desgloseAntes = false);
    void RegresaBusquedaDefault();
    // EstableceB's step; without `recargar` a set already read for the mode is kept.
    void EstableceBusqueda(bool recargar);
    bool ValidaDescuento();
    // The close question of cmdCerrar and of the window's own close box: true when the screen may
    // go (nothing pending, or the person agreed and the lines were dropped).
    bool ConfirmaCierre();
    void PonCodigo(const QString& texto);  // sets the field's text without arming the search
    void CambioCodigo();
    void TeclaCodigo(short& codigo, short& shift);
    void MuestraTotales(const Totales& t);
    bool CargaFuente(int modo, bool recargar);
    void FaltaGuardado(const QString& que);
    QString TextoDetalles(int fila) const;
    void ProductoGenericoCapturado();
    void CierraPantalla();  // closes the screen and its frame
    void TerminaRecuperacion();  // a new document after a recall: the controls as they were
    void construyeOpciones();
    void OpcionElegida(QListWidgetItem* item);
    void MuestraPrecios();
    void PrecioElegido(QListWidgetItem* item);
    void TipoCambioDolar();
    void ObservacionDelDocumento();
    void ApagaParTickets();
    int LineaParaEditar() const;
    void RedibujaLinea(int fila);
    // Asks a text for the line being edited and stores it in `columna` as `regla` decides. False
    // when there is no line or nothing was stored.
    bool PideTextoDeLinea(const QString& columna, const QString& pregunta, const QString& titulo,
                          const QString& defecto, Ajuste (*regla)(const QString&));
    // A number typed for a line: its message shown (false), or the value stored in `columna`.
    bool AplicaAjusteLinea(int fila, const QString& columna, const Ajuste& a);

    db::Database* base_ = nullptr;
    ui::Prompts* prompts_ = nullptr;
    QString modo_;
    LineasVenta lineas_;
    FuenteProductos productos_;
    ModeloLineas* modeloLineas_ = nullptr;
    ModeloProductos* modeloProductos_ = nullptr;

    // Search state.
    int modoBusqueda_ = 0;
    QString textoBuscado_;
    int intervaloBase_ = 450;
    int intervaloBusqueda_ = 450;
    bool seleccionGrid_ = false;
    bool mantenerBusqueda_ = false;
    bool codigoPorPrograma_ = false;
    // The product the grid highlights; the screen's own, never the hand-over a catalogue leaves.
    QString productoMarcado_;

    // Document state.
    QString clienteDocumento_;
    QString avalDocumento_;
    bool desglosaIVA_ = false;
    bool sumarInventario_ = true;
    bool recuperado_ = false;  // a recalled document is shown
    std::array<bool, 6> activosAntesRecuperar_{};  // sell, e-invoice, ticket, delete, discount, code
    int ivaPantalla_ = 16;
    double descuentoGeneral_ = 0;
    QString descuentoAceptado_ = QStringLiteral("0");  // the discount field's last text taken
    int cantidadProductos_ = 0;
    QString textoTeclas_, tooltipTeclas_;
    std::optional<QString> estado3Previo_;  // panel 3 before this screen wrote there
    QString estado3_;
    int alturaCompleta_ = -1;
    bool detallesArriba_ = false;
    bool cabeceraGuardada_ = false;
    QMdiSubWindow* ultimaActiva_ = nullptr;
    SecuenciaTeclas secuencia_;
    QString observacionDocumento_;
    bool detallesActivos_ = false;
    int agregada_ = -1;  // line the last Enter added or increased
};

// Opens the sale screen in a mode as the main menu does: refuses while it is open in another mode,
// needs the branch file, sets ModoVenta and the caption, shows it in the main window.
frmVenta* AbreVenta(shell::MIDI* midi, const QString& modo, ui::Prompts* prompts = nullptr);
// Wires the menu items that open the sale screen (Facturar, Vcredito, Cotizaciones, PEInventario,
// NotaCredito) to AbreVenta.
void ConectaMenusVenta(shell::MIDI* midi);
// The menu tools that print through the sale screen: invoice folio, reprint, invoice PDF.
void ConectaUtilidadesMenu(shell::MIDI* midi);

}  // namespace venta
