#pragma once
// Storing a document of the sale screen: the Venta header of tickets, invoices and quotations, the
// stock change and stamp of each line, the print-server queue, and GuardaDocumento, the one save that
// does all of it (and the caller's own writes) in a single write transaction.
//
// Nothing here knows a window: the screen hands in the ids of its own lines and the values it shows,
// and gets back the numbers taken. The wait for a busy file is the db::LockWait the caller gives
// (see esperaesc.h for the Esc key).

#include "platform/db/database.h"
#include "shell/existencia.h"

#include <QDateTime>
#include <QString>

#include <array>
#include <functional>
#include <utility>
#include <vector>

namespace sale {

enum class ClaseDocumento {
    Ticket,        // letter T, counter 6
    Factura,       // letter F, counter 1
    FacturaE,      // letter E, counter 8
    Cotizacion,    // letter C, counter 4
    NotaCredito,   // counter 3, header in NotaCredito (caller's writes)
    Inventario,    // counter 2, header in EInventario (caller's writes)
    VentaCredito,  // counter 5, header in VentaCredito (caller's writes)
};

// Invoice kinds as the sale screen passes them (4 paper, 7 electronic); any kind but 4 is electronic.
constexpr int TipoFactura = 4;
constexpr int TipoFacturaE = 7;
ClaseDocumento ClaseFactura(int tipo);

// Letter of Venta.Tipo and DetalleVenta.TipoDocto; "" for documents kept in their own tables.
QString LetraDocumento(ClaseDocumento clase);
int FilaFolioDe(ClaseDocumento clase);
// True for the kinds whose header is a Venta row.
bool EnVenta(ClaseDocumento clase);

// Values of a Venta header, as the screen holds them at save time.
struct DatosEncabezado {
    qint64 Empleado = 0;  // logged-in user
    int Sucursal = 0;
    int Terminal = 0;
    QString Cliente;
    QDateTime Fecha;  // invalid: now
    double Total = 0;
    int Vendedor = 0;
    int CondicionPago = 0;
    double Descuento = 0;  // percent
    int IVAP = 0;
    // Payment slots 0-4 of the payment dialog; slots 1-3 are stored, 2 and 3 only when chosen.
    std::array<double, 5> ImportesPago{};
    std::array<double, 5> FormaPagoSel{};
    std::array<QString, 5> ReferenciasPago;
    QString Observacion;
};

// The payment of a sale split into documents of totals `totales`, as each document's header
// stores it: a payment is stored once across them, split by what each document costs. Credit
// notes first, then the other payments in the order of the sale's slots, each covers the
// documents in order, none beyond its own total; what a payment brought beyond the sale's total
// was change and no document carries it. Each document lists its shares in slot order, from slot
// 1 on. One document keeps the sale's payment as it is.
std::vector<DatosEncabezado> RepartePagos(const DatosEncabezado& venta, const std::vector<double>& totales);
// The totals of a sale's parts as they are stored: each part's own total to the cent, and the last
// part what is left of the sale's total, so the parts add up to the sale to the cent.
std::vector<double> TotalesPartes(const std::vector<double>& totales, double totalVenta);

// The header values of the sale in progress from the program-wide state (user, branch, terminal,
// seller, payment condition, tax percent and payment slots); client, total, discount and
// observation are the screen's and stay for the caller.
DatosEncabezado EncabezadoDesdeEstado();

// Columns and values of the Venta header of a ticket, invoice, electronic invoice or quotation,
// in the order they are written. Columns left out keep the table's defaults.
std::vector<std::pair<QString, QVariant>> ColumnasEncabezado(ClaseDocumento clase, qint64 numero,
                                                             const DatosEncabezado& datos);
bool EscribeEncabezado(db::Database& bd, ClaseDocumento clase, qint64 numero,
                       const DatosEncabezado& datos, db::Error* error = nullptr);

// Number and letter of the document being stored (the screen's NumeroDocumento / TipoDocumento).
// NumeroDocumento is -1 after a failed or cancelled take.
struct Documento {
    qint64 NumeroDocumento = -1;
    QString TipoDocumento;
};

// Folio and header in one step; inside an open write transaction. `tipo` 4 = paper invoice, else
// electronic. False (NumeroDocumento -1, nothing written) when the folio cannot be taken.
bool ObtenerRem(db::Database& bd, int tipo, const DatosEncabezado& datos, Documento& doc,
                db::Error* error = nullptr);
bool ObtenerRemT(db::Database& bd, const DatosEncabezado& datos, Documento& doc,
                 db::Error* error = nullptr);
// Quotation (the only caller passes 1).
bool ObtenerFCot(db::Database& bd, int tipo, const DatosEncabezado& datos, Documento& doc,
                 db::Error* error = nullptr);

// A quotation is stored whole when it is generated: its header (taken when the screen opened)
// gets the client, the general discount, the total to the cent and the observation the printout
// shows, so a recall brings back what was printed. One write transaction; false (nothing
// changed) when the quotation's header is not there.
bool GuardaCotizacion(db::Database& bd, qint64 numero, const DatosEncabezado& datos, const db::LockWait& espera,
                      db::Error* error = nullptr);

// Folio label after a document was stored: "Factura: A 000042", "Ticket: ...", "COTIZ: ...".
QString TextoRem(ClaseDocumento clase, const QString& prefijo, qint64 numero);
// Folio label of a new document: "F:" and the last invoice number given.
QString TextoRemInicial(qint64 valorFolioFactura);

// --- stock ---

enum class MovimientoExis {
    Ninguno,  // the line is only stamped
    Salida,   // minus the line's Cantidad (sales)
    Entrada,  // plus the line's Cantidad (goods back, entries)
};

// The stock rule lives in the shell, where the catalogues reach it too.
using shell::CambiaExistencia;

// One line of DetalleVenta (by its IdLinea): stamped with the document's number and letter, and the
// stock of its product moved by its Cantidad as `mov` says. Inside an open write transaction.
// Fails when the line is not there.
bool EscribeExis(db::Database& bd, qint64 idLinea, MovimientoExis mov, bool sumar,
                 const Documento& doc, double* nuevo = nullptr, db::Error* error = nullptr);
// The same in its own write transaction, waiting for the file as `espera` says.
bool ActualizaExis(db::Database& bd, qint64 idLinea, MovimientoExis mov, bool sumar,
                   const Documento& doc, const db::LockWait& espera, double* nuevo = nullptr,
                   db::Error* error = nullptr);

// --- print server ---

enum SolicitudImpresion : int {
    SolImprimeFactura = 4,
    SolImprimeTicket = 6,
    SolFacturaE = 7,
    SolNotaCreditoE = 9,
};

// Appends one request to the branch's print queue Solicitafolios.
bool InsertaRegServImp(db::Database& bd, int tipo, qint64 numero, int terminal,
                       db::Error* error = nullptr);
// The same on the current branch file for this terminal (the shell's open branch file).
bool InsertaRegServImp(int tipo, qint64 numero, db::Error* error = nullptr);

// --- the save ---

struct DocumentoPorGuardar {
    double Total = 0;              // Venta.Total of this document
    std::vector<qint64> Lineas;  // IdLinea of the screen's lines that belong to it
};

struct Guardado;

struct PorGuardar {
    ClaseDocumento Clase = ClaseDocumento::Ticket;
    // One entry per document; a sale split into k invoices gives k entries and takes k consecutive
    // numbers. Kinds without a Venta header use only Lineas.
    std::vector<DocumentoPorGuardar> Documentos;
    DatosEncabezado Encabezado;  // shared by every document (its Total is replaced per document)
    MovimientoExis Exis = MovimientoExis::Salida;
    bool SumarInventario = true;
    // Lines get the document's number and a letter; kinds without a letter of their own (credit
    // notes, inventory, credit sales) give LetraLineas or leave the lines unstamped.
    bool EstampaLineas = true;
    QString LetraLineas;  // "" = the document's letter
    int Solicitud = 0;    // print request queued for every document; 0 = none
    // The caller's own writes (credit-note status, cash movement, NotaCredito header, ...), run
    // inside the same transaction after the documents; false rolls everything back.
    std::function<bool(db::Database&, const Guardado&, db::Error*)> Extra;
};

struct Guardado {
    bool ok = false;
    bool cancelado = false;       // the wait for the file was cancelled; nothing written
    std::vector<qint64> Numeros;  // one per document, in order
    QString Letra;
    db::Error error;
    // The screen's NumeroDocumento after the save: the last document's number, -1 on failure.
    qint64 NumeroDocumento() const { return ok && !Numeros.empty() ? Numeros.back() : -1; }
};

// The lines of a sale in the invoices they fall into: windows of `regxFactura` lines in the screen's
// order, the last one shorter; one invoice for all lines when regxFactura is 0 (no limit).
std::vector<std::vector<qint64>> DivideEnFacturas(const std::vector<qint64>& lineas, int regxFactura);

// Folio(s), header(s), line stamps, stock, print requests and the caller's writes in one write
// transaction; on any failure or cancel everything is rolled back and the lines stay as they were.
// Every line handed in must still be pending (Numero 0, or a line of a stored quotation being
// sold), and a document whose lines are stamped must have at least one: otherwise nothing is
// stored and no number is taken.
Guardado GuardaDocumento(db::Database& bd, const PorGuardar& guardar, const db::LockWait& espera);

}  // namespace sale
