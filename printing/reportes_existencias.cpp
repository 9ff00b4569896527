#include "printing/reportes_existencias.h"

#include "platform/report/progress.h"
#include "platform/report/records.h"
#include "platform/report/totals.h"
#include "printing/envio.h"
#include "printing/formato.h"
#include "printing/reporte.h"
#include "printing/textoticket.h"
#include "shell/avisos.h"
#include "shell/estado.h"
#include "shell/texto.h"

#include <QCoreApplication>
#include <QElapsedTimer>

#include <algorithm>
#include <cmath>

namespace printing {

QString SeleccionExistencias(ReporteExistencias reporte) {
    switch (reporte) {
    case ReporteExistencias::Existencias:
        return QStringLiteral("SELECT * FROM Existencias WHERE Existencia <> 0");
    case ReporteExistencias::UbicacionCategoria:
        return QStringLiteral("SELECT * FROM Existencias WHERE Existencia > 0");
    case ReporteExistencias::Costo:
        return QStringLiteral("SELECT * FROM Existencias");
    case ReporteExistencias::Reorden:
        return QStringLiteral("SELECT * FROM ExisPedidos WHERE Existencia <= Reorden");
    }
    return {};
}

shell::CriterioFechas SeleccionESInventario(const QDate& inicio, const QDate& fin, QString* sql, QString* numeros) {
    shell::CriterioFechas c = shell::ArmaCriterioFechas(inicio, fin, QStringLiteral("Fecha"), 2);
    // Only what DatosESInventario and both windows' templates read: a year of lines stays in memory.
    if (sql)
        *sql = QStringLiteral("SELECT ") +
               ColumnasLeidas(
                   {QStringLiteral("Numero"), QStringLiteral("Fecha"), QStringLiteral("Descripcion"), QStringLiteral("Docto"),
                    QStringLiteral("NombreUsuario"), QStringLiteral("DescribeMovto"), QStringLiteral("Cantidad"),
                    QStringLiteral("PUnitario"), QStringLiteral("Importe"), QStringLiteral("CodigodeBarras"),
                    QStringLiteral("PDescripcion")},
                   {QStringLiteral("Aplicado"), QStringLiteral("Traspaso"), QStringLiteral("sucOrigen"),
                    QStringLiteral("sucDestino"), QStringLiteral("ClaveProducto"), QStringLiteral("Comentario"),
                    QStringLiteral("Nombre")},
                   {QStringLiteral("esinventario02.html"), QStringLiteral("esinventarioind.html")}) +
               QStringLiteral(" FROM CESInventario WHERE (") + c.sql + (numeros ? QStringLiteral(") AND (%1)") : QStringLiteral(")"));
    if (numeros)
        *numeros = QStringLiteral("SELECT Numero FROM EInventario WHERE (") + c.sql + QStringLiteral(") ORDER BY Numero");
    return c;
}

namespace {

QVariantMap lineaExistencia(const db::Row& fila) {
    QVariantMap m = report::toVariant(fila, QStringLiteral("lineas"));
    m.insert(QStringLiteral("Cantidad"), NumeroPlano(fila.real(QStringLiteral("Existencia"))));
    m.insert(QStringLiteral("ReordenTxt"), NumeroPlano(fila.real(QStringLiteral("Reorden"))));
    m.insert(QStringLiteral("StockMaxTxt"), NumeroPlano(fila.real(QStringLiteral("StockMax"))));
    return m;
}

// The lines kept as records as they are made: a listing of every product is never a map a line.
report::Records registrosExistencia(const db::Rows& filas) {
    report::Records l(QStringLiteral("lineas"));
    for (const db::Row& f : filas) l.append(lineaExistencia(f));
    l.squeeze();
    return l;
}

}  // namespace

QVariantMap DatosExistencias(const db::Rows& filas) {
    QVariantMap d;
    d.insert(QStringLiteral("lineas"), QVariant::fromValue(registrosExistencia(filas)));
    d.insert(QStringLiteral("NumProductos"), int(filas.size()));
    return d;
}

QVariantMap DatosExistenciasUbicacion(const db::Rows& filas) {
    // The keys read once per row, not once per comparison.
    struct Clave {
        QString ubicacion, categoria;
        size_t fila;
    };
    std::vector<Clave> claves;
    claves.reserve(filas.size());
    for (size_t i = 0; i < filas.size(); ++i)
        claves.push_back({filas[i].text(QStringLiteral("Ubicacion")), filas[i].text(QStringLiteral("dCategoria")), i});
    std::stable_sort(claves.begin(), claves.end(), [](const Clave& a, const Clave& b) {
        if (const int r = db::compareSpanish(a.ubicacion, b.ubicacion)) return r < 0;
        return db::lessSpanish(a.categoria, b.categoria);
    });
    db::Rows orden;
    orden.reserve(filas.size());
    for (const Clave& c : claves) orden.push_back(filas[c.fila]);
    claves = {};
    report::Records grupos(QStringLiteral("grupos"));
    for (const report::Group& g : report::groupBy(orden, {QStringLiteral("Ubicacion"), QStringLiteral("dCategoria")})) {
        QVariantMap m;
        m.insert(QStringLiteral("Ubicacion"), g.key.value(0).toString());
        m.insert(QStringLiteral("dCategoria"), g.key.value(1).toString());
        m.insert(QStringLiteral("lineas"), QVariant::fromValue(registrosExistencia(g.rows)));
        m.insert(QStringLiteral("NumProductos"), int(g.rows.size()));
        grupos.append(m);
    }
    grupos.squeeze();
    // The lines reach the template only through their groups: no second list of every row.
    QVariantMap d;
    d.insert(QStringLiteral("grupos"), QVariant::fromValue(grupos));
    d.insert(QStringLiteral("NumProductos"), int(filas.size()));
    return d;
}

QVariantMap DatosESInventario(const db::Rows& filas) {
    const std::vector<report::Group> grupos = report::groupBy(filas, {QStringLiteral("Numero")});
    struct Parte {
        report::Records documentos;
        qint64 piezasMil = 0, importeCentavos = 0;
    };
    // A template that shows no document's lines (the summary) gets none made.
    const QSet<QString>* deDocumento = report::detail::fieldsKept(QStringLiteral("documentos"));
    const bool conLineas = !deDocumento || deDocumento->contains(QStringLiteral("lineas"));
    // A year of movements is made in a few parts at once, joined in order.
    std::vector<Parte> partes(size_t(report::partsFor(qsizetype(grupos.size()), 2000)));
    report::inParts(qsizetype(grupos.size()), int(partes.size()), [&](int parte, qsizetype desde, qsizetype hasta) {
        Parte& p = partes[size_t(parte)];
        p.documentos = report::Records(QStringLiteral("documentos"));
        for (qsizetype i = desde; i < hasta; ++i) {
            const report::Group& g = grupos[size_t(i)];
            const db::Row& h = g.rows.front();
            QVariantMap doc;
            for (const char* campo : {"Numero", "Fecha", "Descripcion", "Docto", "NombreUsuario", "DescribeMovto"})
                doc.insert(QString::fromLatin1(campo), h.value(QString::fromLatin1(campo)));
            QVariantList lineas;
            for (const db::Row& f : g.rows) {
                if (!conLineas)
                    break;
                QVariantMap m = report::toVariant(f, QStringLiteral("lineas"));
                m.insert(QStringLiteral("Cantidad"), NumeroPlano(f.real(QStringLiteral("Cantidad"))));
                lineas << m;
            }
            const double piezas = report::sum(g.rows, QStringLiteral("Cantidad"), 3);
            const double importe = report::sum(g.rows, QStringLiteral("Importe"), 2);
            p.piezasMil += qRound64(piezas * 1000);
            p.importeCentavos += shell::Centavos(importe);
            if (conLineas)
                doc.insert(QStringLiteral("lineas"), lineas);
            doc.insert(QStringLiteral("Piezas"), NumeroPlano(piezas));
            doc.insert(QStringLiteral("Importe"), report::formatAmount(importe));
            p.documentos.append(doc);
        }
    });
    report::Records documentos = std::move(partes.front().documentos);
    qint64 piezasMil = 0, importeCentavos = 0;
    for (size_t k = 0; k < partes.size(); ++k) {
        if (k > 0) {
            documentos.append(partes[k].documentos);
            partes[k].documentos = report::Records();
        }
        piezasMil += partes[k].piezasMil;
        importeCentavos += partes[k].importeCentavos;
    }
    documentos.squeeze();
    QVariantMap d;
    d.insert(QStringLiteral("documentos"), QVariant::fromValue(documentos));
    d.insert(QStringLiteral("NumDocumentos"), int(documentos.size()));
    d.insert(QStringLiteral("Piezas"), NumeroPlano(double(piezasMil) / 1000));
    d.insert(QStringLiteral("Importe"), report::formatAmount(double(importeCentavos) / 100));
    return d;
}

double TotalCosto(const db::Rows& filas) { return report::sum(filas, QStringLiteral("ImporteCosto"), 2); }

QString CantidadListado(double cantidad) {
    const bool entera = std::fabs(cantidad - std::round(cantidad)) < 1e-9;
    return shell::Formato(cantidad, entera ? QStringLiteral("000") : QStringLiteral("000.00"));
}

bool ArmaListadoExistencias(const db::Rows& filas, const std::function<bool(int)>& avance) {
    const auto& g = G();
    const int suc = g.SucursalActual >= 0 && g.SucursalActual <= 10 ? g.SucursalActual : 0;
    LimpiaTextoTicket();
    IniciaPrint();
    const QString lf = QStringLiteral("\n");
    AgregaTextoTicket(CentraTexto(g.NombreEmp + lf));
    AgregaTextoTicket(CentraTexto(g.RazonSocial + lf));
    AgregaTextoTicket(CentraTexto(QStringLiteral("RFC:") + g.RFCEmpresa + lf));
    AgregaTextoTicket(CentraTexto(g.DescripcionSuc[size_t(suc)] + lf));
    AgregaTextoTicket(CentraTexto(shell::ReemplazaEnter(g.DireccionSuc[size_t(suc)]) + lf));
    AgregaTextoTicket(CentraTexto(QStringLiteral("Tels:") + g.TelefonoSuc[size_t(suc)] + lf));
    AgregaTextoTicket(CentraTexto(QString(23, QLatin1Char('-'))) + lf);
    AgregaTextoTicket(CentraTexto(QStringLiteral("Reporte de existencias.")) + lf + lf);
    int pos = 0;
    for (const db::Row& fila : filas) {
        AgregaTextoTicket(AjustaTexto(28, fila.text(QStringLiteral("Descripcion"))) +
                          CantidadListado(fila.real(QStringLiteral("Existencia"))) + lf);
        if (avance && !avance(pos)) return false;
        ++pos;
    }
    AgregaTextoTicket(QString::number(filas.size()) + QStringLiteral(" productos.") + lf);
    AgregaTextoTicket(QStringLiteral("\n\n\n"));
    if (g.EspT != 0) AgregaTextoTicket(CodigosActuales().CodCorte);
    return true;
}

namespace {

// Lays the listing out on the roll and sends it; the person may stop it while it is laid out.
bool armaEImprime(const db::Rows& filas, ui::Prompts& prompts, bool* detenido, QWidget* parent) {
    *detenido = false;
    // A printer that takes nothing now is told before the listing is laid out.
    if (!ImpresoraTicketDisponible(prompts)) return false;
    const int total = static_cast<int>(filas.size());
    auto detente = [&] {
        *detenido = true;
        return false;
    };
    if (total > kListadoLargo) {
        // A line of the roll is about 4.2 mm.
        const double metros = (total + 14) * 4.23 / 1000;
        const QString pregunta = QStringLiteral("El listado tiene %1 productos (unos %2 metros de papel). ¿Desea imprimirlo?")
                                     .arg(total)
                                     .arg(metros, 0, 'f', 1);
        if (prompts.question(pregunta, QStringLiteral("Existencias")) != ui::Answer::Yes) return detente();
    }
    const QString antes = TextoTicket();
    report::Progress progreso(parent);
    // The panel and the progress are told a few times a second: telling them every product cost
    // more than making the listing itself.
    QElapsedTimer reloj;
    reloj.start();
    qint64 ultimo = -1000;
    const bool completo = ArmaListadoExistencias(filas, [&](int pos) {
        if (reloj.elapsed() - ultimo < 100 && pos + 1 < total) return !progreso.stopped();
        ultimo = reloj.elapsed();
        shell::PonEstado(3, QStringLiteral("E%1 gen.").arg(pos));
        return progreso.show(QStringLiteral("Generando el listado: producto %1 de %2...").arg(pos + 1).arg(total), pos + 1,
                             total);
    });
    // The panel goes back to the data folder it shows at all other times.
    shell::PonEstado(3, G().CarpetaDatos.toUpper());
    if (!completo) {
        LimpiaTextoTicket();
        AgregaTextoTicket(antes);
        return detente();
    }
    return TerminaPrint(prompts);
}

}  // namespace

bool ImprimeExistenciasTicket(const db::Rows& filas, ui::Prompts& prompts, bool* detenido, QWidget* parent) {
    if (detenido) *detenido = false;
    if (filas.empty()) {
        prompts.message(QStringLiteral("No hay registros."), ui::Icon::None);
        return false;
    }
    if (!HayImpresoraListados(prompts)) return false;
    // Said once, naming the listing; a listing the person stopped says nothing more.
    bool parado = false;
    const bool ok = ImprimeConUnAviso(
        prompts, [&](ui::Prompts& p) { return armaEImprime(filas, p, &parado, parent); },
        [&](const QString& motivo) {
            DocumentoImpreso d;
            d.documento = QStringLiteral("El listado de existencias");
            return parado ? QString() : MensajeNoImpreso(d, motivo);
        });
    if (detenido) *detenido = parado;
    return ok;
}

}  // namespace printing
