#pragma once
// A customer's credit statement: his credit sales (CVentaCredito) by RFC, the payment documents of
// one sale (CDoctosCredito), the search the form runs, and the two printouts: the documents of the
// sale with their totals, and one payment receipt per document.

#include "platform/db/database.h"
#include "platform/report/report.h"
#include "platform/ui/prompts.h"

#include <QString>
#include <QVariantMap>

#include <functional>
#include <optional>

class QWidget;

namespace catalogos {

// The customer's credit sales; the RFC is bound as typed (quotes and all).
std::optional<db::Rows> VentasCreditoCliente(db::Database& bd, const QString& rfc, db::Error* error = nullptr);
std::optional<db::Rows> DoctosVenta(db::Database& bd, qint64 numeroVenta, db::Error* error = nullptr);

struct Busqueda {
    enum Estado { Nada, SinCoincidencias, Error, Hallado } estado = Nada;
    db::Rows ventas;
};
// cmdBuscar: asks the RFC ("Teclee el RFC del cliente a consultar: ", title "Busqueda", rfcBuscado
// as default; the answer becomes rfcBuscado). An empty answer does nothing more. Otherwise the
// documents shown are emptied first (vaciaDoctos), then the sales are read: none "No se encontró
// coincidencias.", a failure "Error de búsqueda.".
Busqueda BuscaEstadoCuenta(db::Database& bd, ui::Prompts& prompts, QString& rfcBuscado,
                           const std::function<void()>& vaciaDoctos);

// What both templates show of one sale and its documents: NombreCliente, RFCCliente, NumeroVenta,
// FechaVenta, Total, TotalPendiente, NumDoctos, `doctos` (Numero, Tipo "ANTICIPO"/"ABONO", Producto,
// Vence, Importe, Pagado or "") and `recibos` (the same with ImporteLetra and Parte "k de n").
QVariantMap DatosDoctos(const db::Row& venta, const db::Rows& doctos);

struct DestinoEstado {
    report::Destination destino = report::Destination::Preview;
    QString pdfDoctos, pdfRecibos;  // for Destination::Pdf
};
enum class Impresion { SinVenta, SinDoctos, Hecho, Fallo };
// Command1: imprimedoctos.html ("Impresion de documentos de crédito."), then imprimerecibo.html
// ("Impresion de recibo."), on the sale shown and its documents. Nothing is printed without a sale
// or without documents (a message says so).
Impresion ImprimeDoctos(const db::Row* venta, const db::Rows& doctos, ui::Prompts& prompts,
                        const DestinoEstado& destino = {}, QWidget* parent = nullptr);

}  // namespace catalogos
