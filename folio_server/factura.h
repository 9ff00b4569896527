#pragma once
// The paper invoice the print server prints for a queued request: its named values and lines from
// the branch file's query CDetalleVentaFac, through the data folder's Factura template.

#include "folio_server/configuracion.h"
#include "platform/report/report.h"

#include <QString>

class QWidget;

namespace tarvex {

enum class ResultadoFactura {
    Impresa,
    NoEncontrada,  // the branch file has no invoice (Tipo F) with that number
    Falla          // the query, the template or the printer failed; see the message
};

struct Impresion {
    ResultadoFactura resultado = ResultadoFactura::Falla;
    QString mensaje;
};

struct DestinoFactura {
    report::Destination destino = report::Destination::Printer;
    QString impresora;    // "" = the branch's invoice printer
    QString carpetaPdf;   // for Destination::Pdf: one file per invoice, Factura-<prefix><number>.pdf
};

// The named values 0..6 for the invoice's first row.
report::Formulas FormulasFactura(const db::Row& primera, const QString& prefijo, qint64 numero);

// The report run for invoice `numero`; false (and *resultado) when it cannot be built.
bool ArmaFactura(Sucursal& s, qint64 numero, const DestinoFactura& destino, report::Request* r,
                 Impresion* resultado);

// Prints invoice `numero` of the branch.
Impresion ImprimeFactura(Sucursal& s, qint64 numero, const DestinoFactura& destino,
                         QWidget* parent = nullptr);

}  // namespace tarvex
