#include "catalogs/credito.h"

#include "shell/texto.h"

#include <algorithm>

namespace catalogos {

std::vector<DoctoCredito> GenerarDoctos(double PrecioCredito, double Anticipo, double ImportePago,
                                        int Periododepago, const QDate& hoy) {
    std::vector<DoctoCredito> doctos;
    doctos.push_back({1, Anticipo, hoy, TipoAnticipo});

    const qint64 abono = shell::Centavos(ImportePago);
    const qint64 periodo = std::max(Periododepago, 0);
    qint64 resto = shell::Centavos(PrecioCredito) - shell::Centavos(Anticipo);
    QDate vence = hoy;
    int n = 1;
    while (resto > 0) {
        ++n;
        qint64 importe;
        // A plan without an instalment amount, or the last number a document may carry, closes
        // the schedule with everything that is left.
        if (abono <= 0 || resto <= abono || n == MaximoDoctos) {
            importe = resto;
            resto = 0;
        } else {
            importe = abono;
            resto -= abono;
        }
        vence = vence.addDays(periodo);
        doctos.push_back({n, importe / 100.0, vence, TipoAbono});
    }
    return doctos;
}

bool InsertaDoctos(db::Database& bd, const std::vector<DoctoCredito>& doctos, qint64 Numeroventa,
                   qint64 ClaveProducto, db::Error* error) {
    for (const DoctoCredito& d : doctos) {
        if (!bd.exec(QStringLiteral("INSERT INTO doctoscredito (Numeroventa, ClaveProducto, Numerodocto, "
                                    "Importe, FechaVencimiento, FechaPago, TipoDocto) "
                                    "VALUES (?, ?, ?, ?, ?, NULL, ?)"),
                     {Numeroventa, ClaveProducto, d.Numerodocto, d.Importe,
                      shell::FechaISO(d.FechaVencimiento), d.TipoDocto},
                     error))
            return false;
    }
    return true;
}

QString TextoDoctosGenerados(int n) {
    return QStringLiteral("Se generaron ") + QString::number(n) + QStringLiteral(" documentos.");
}

}  // namespace catalogos
