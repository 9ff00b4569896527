#pragma once
// A small branch file for the document tests: the tables a save writes, counters 0-8, and a few
// products with stock.

#include "platform/db/database.h"

#include <QString>

#include <map>
#include <memory>

namespace prueba {

constexpr int Productos = 5;          // keys 1..5
constexpr double ExistenciaInicial = 10000;

// Creates the file (it must not exist) and returns it open.
std::unique_ptr<db::Database> CreaSucursal(const QString& ruta);

// A pending line as the sale screen adds it; returns its IdLinea (-1 on error).
qint64 AgregaLinea(db::Database& bd, qint64 clave, double cantidad, double precio = 10.0,
                   const QString& letra = QStringLiteral("T"));

double Existencia(db::Database& bd, qint64 clave);
qint64 Contar(db::Database& bd, const QString& sql, const QVariantList& params = {});

// Checks a branch file after any number of ticket saves: ticket numbers 1..N once each, the counter
// at N, every ticket with `lineasPorTicket` stamped lines whose amounts add up to its total, and the
// stock of every product = start - stamped quantities. "" when all holds, else what does not.
QString RevisaTickets(db::Database& bd, int lineasPorTicket, qint64* tickets = nullptr);

}  // namespace prueba

#include <ostream>
// Readable QString values in test failure messages.
inline void PrintTo(const QString& s, std::ostream* os) { *os << '"' << s.toStdString() << '"'; }
