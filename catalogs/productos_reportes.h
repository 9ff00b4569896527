#pragma once
// The two reports of a product, run from its card: its entries and exits in the branch
// (ESxProducto.html), then its sales by invoice and, when the branch keeps tickets apart, by ticket
// (ventaxProducto.html).

#include "platform/db/database.h"
#include "platform/report/report.h"
#include "platform/ui/prompts.h"

#include <QString>
#include <QVariantMap>

#include <vector>

namespace catalogos {

// The template's lines and totals of the entries and exits: date, number, kind, document,
// description, quantity, unit price, amount; total quantity.
void DatosESProducto(const db::Rows& filas, QVariantMap& datos);
// The sales lines: date, number (absolute), client, quantity, unit price, line discount (%) and
// the line amount = quantity x price less that discount; a cancelled document (Status 0) is marked
// "CANC." and left out of the totals of quantity and amount; the product's description.
void DatosVentasProducto(const db::Rows& filas, QVariantMap& datos);

struct DestinoReportes {
    report::Destination destino = report::Destination::Preview;
    QString carpetaPdf;  // with Destination::Pdf: one file per report, named after the template
};

// "ESProducto": the chain of the product's reports for the key `claveSel` (ClaveProductoSel) and
// its description. Returns what went to each report that ran, in order.
std::vector<report::Request> ReportesProducto(const QString& claveSel, const QString& descripcion,
                                              ui::Prompts& prompts = ui::defaultPrompts(),
                                              const DestinoReportes& destino = {});

}  // namespace catalogos
