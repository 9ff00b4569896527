#pragma once
// Payment documents of one product of a credit sale: the down payment due on the day of the sale,
// then instalments of the plan's amount every `Periododepago` days until the credit price is
// covered, the last one taking what is left. Amounts are worked in whole cents.

#include "platform/db/database.h"

#include <QDate>
#include <QString>

#include <vector>

namespace catalogos {

constexpr int TipoAnticipo = 1;
constexpr int TipoAbono = 2;
// Numerodocto is a 16-bit number where the old data keeps it.
constexpr int MaximoDoctos = 32767;

struct DoctoCredito {
    int Numerodocto = 0;
    double Importe = 0;
    QDate FechaVencimiento;
    int TipoDocto = TipoAbono;
};

// The schedule of one plan, from `hoy`. Document 1 is the down payment (written even when 0).
// A rest under half a cent makes no instalment. An instalment amount of 0 or less with a rest to
// pay gives one instalment with the whole rest; a negative period counts as 0. Never more than
// MaximoDoctos documents: the last one allowed takes what is left.
std::vector<DoctoCredito> GenerarDoctos(double PrecioCredito, double Anticipo, double ImportePago,
                                        int Periododepago, const QDate& hoy);

// Appends the documents of one product of credit sale `Numeroventa` to doctoscredito (FechaPago
// Null). Runs inside the caller's transaction when there is one.
bool InsertaDoctos(db::Database& bd, const std::vector<DoctoCredito>& doctos, qint64 Numeroventa,
                   qint64 ClaveProducto, db::Error* error = nullptr);

// "Se generaron <n> documentos."
QString TextoDoctosGenerados(int n);

}  // namespace catalogos
