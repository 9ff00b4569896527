// One counter terminal closing tickets on a shared branch file, for the tests and the benchmark
// that run several of them at once.
//   sale_docs_terminal <branch file> <terminal> <tickets> [lines per ticket] [file password]
// Prints "listo <n>" after each stored ticket; exits 0 when all were stored.

#include "sale/documentos.h"

#include <QCoreApplication>
#include <QStringList>

#include <cstdio>

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() < 4) {
        std::fprintf(stderr, "uso: %s <archivo> <terminal> <tickets> [lineas]\n", argv[0]);
        return 2;
    }
    const QString ruta = args[1];
    const int terminal = args[2].toInt();
    const int tickets = args[3].toInt();
    const int lineas = args.size() > 4 ? args[4].toInt() : 3;
    const QString password = args.size() > 5 ? args[5] : QString();

    db::Error e;
    auto bd = db::Database::open(ruta, password, &e);
    if (!bd) {
        std::fprintf(stderr, "no abre: %s\n", qPrintable(e.message));
        return 3;
    }
    db::LockWait espera;
    espera.timeoutMs = 120000;

    for (int t = 0; t < tickets; ++t) {
        // The screen's pending lines, added as the products are captured.
        sale::DocumentoPorGuardar doc;
        {
            db::WriteTransaction tr(*bd);
            if (!tr.begin(espera, &e, db::WriteScope::MainFile)) {
                std::fprintf(stderr, "líneas: %s\n", qPrintable(e.message));
                return 4;
            }
            for (int j = 0; j < lineas; ++j) {
                const qint64 clave = (terminal + t + j) % 5 + 1;
                const double cantidad = j + 1;
                const double precio = 10.0 + terminal;
                if (!bd->exec(QStringLiteral("INSERT INTO DetalleVenta (Numero, TipoDocto, "
                                             "ClaveProducto, Cantidad, PrecioUnit, Terminal) "
                                             "VALUES (0, 'T', ?, ?, ?, ?)"),
                              {clave, cantidad, precio, QString::number(terminal)}, &e)) {
                    std::fprintf(stderr, "línea: %s\n", qPrintable(e.message));
                    return 4;
                }
                doc.Lineas.push_back(bd->lastInsertId());
                doc.Total += cantidad * precio;
            }
            if (!tr.commit(&e)) {
                std::fprintf(stderr, "líneas: %s\n", qPrintable(e.message));
                return 4;
            }
        }

        sale::PorGuardar g;
        g.Clase = sale::ClaseDocumento::Ticket;
        g.Encabezado.Terminal = terminal;
        g.Encabezado.Cliente = QStringLiteral("XAXX010101000");
        g.Encabezado.FormaPagoSel[1] = 1;
        g.Encabezado.ImportesPago[1] = doc.Total;
        g.Documentos.push_back(doc);
        const sale::Guardado r = sale::GuardaDocumento(*bd, g, espera);
        if (!r.ok) {
            std::fprintf(stderr, "ticket: %s\n", qPrintable(r.error.message));
            return 5;
        }
        std::printf("listo %lld\n", static_cast<long long>(r.NumeroDocumento()));
        std::fflush(stdout);
    }
    return 0;
}
