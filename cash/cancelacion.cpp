#include "cash/cancelacion.h"

#include "cash/devolucion.h"
#include "cash/facturadia.h"
#include "cash/movimientos.h"
#include "sale/documentos.h"
#include "sale/folios.h"
#include "sale/pago.h"
#include "sale/recuperacion.h"
#include "shell/estado.h"
#include "shell/menu.h"
#include "shell/rutinas_bd.h"
#include "shell/texto.h"

#include <QDateTime>
#include <QStringList>

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace caja {

namespace {

const QString TituloVentas = QString::fromUtf8("Facturación.");

QString Numero(const QString& texto) { return texto.trimmed(); }

// How the messages name the document: a ticket is not an invoice.
struct NombreDocumento {
    bool ticket;
    explicit NombreDocumento(const QString& letra) : ticket(letra == QLatin1String("T")) {}
    QString el() const { return ticket ? QStringLiteral("el ticket") : QStringLiteral("la factura"); }
    QString del() const { return ticket ? QStringLiteral("del ticket") : QStringLiteral("de la factura"); }
    QString noEncontrado() const { return QStringLiteral("No se encontro ") + el() + u'.'; }
    QString yaCancelado() const {
        return ticket ? QStringLiteral("Este ticket ya se encuentra cancelado.")
                      : QStringLiteral("Esta factura ya se encuentra cancelada.");
    }
    QString dadoDeBaja(const QString& n) const {
        return ticket ? QStringLiteral("El ticket ") + n + QStringLiteral(" fue dado de baja.")
                      : QStringLiteral("La factura ") + n + QStringLiteral(" fue dada de baja.");
    }
};

QString MensajeEnCorte(const NombreDocumento& nombre, const QString& numero, qint64 corte) {
    QString el = nombre.el();
    el[0] = el[0].toUpper();
    return el + u' ' + numero + QStringLiteral(" pertenece al corte de caja") +
           (corte > 0 ? QStringLiteral(" ") + QString::number(corte) : QString()) +
           QString::fromUtf8(" ya cerrado: no se puede borrar sin cambiar ese corte. Puede cancelar") +
           (nombre.ticket ? QStringLiteral("lo") : QStringLiteral("la")) +
           QString::fromUtf8(": lo que se devuelva al cliente entra al corte pendiente.");
}

// Reads the document again under the write lock and refuses what may not be taken back.
Baja Revisa(db::Database& bd, qint64 numero, const QString& letra, bool cancelar, DocumentoVenta* doc,
            db::Error* error) {
    auto d = LeeDocumentoVenta(bd, numero, letra, error);
    if (!d) return Baja::Falla;
    if (!d->encontrado) return Baja::NoEncontrada;
    if (d->EnFacturaDia()) return Baja::EnFacturaDia;
    if (!cancelar && d->EnCorteCerrado()) return Baja::EnCorte;
    if (cancelar && d->Status == 0) return Baja::YaCancelada;
    *doc = *d;
    return Baja::Hecha;
}

Baja DevuelveExistencia(db::Database& bd, const DocumentoVenta& doc, db::Error* error) {
    auto porDevolver = ExistenciaPorDevolver(bd, doc, error);
    if (!porDevolver) return Baja::Falla;
    for (auto it = porDevolver->cbegin(); it != porDevolver->cend(); ++it)
        if (!sale::CambiaExistencia(bd, it.key(), it.value(), true, nullptr, error)) return Baja::Falla;
    return Baja::Hecha;
}

// One payment as the header stored it: its form, the cents stored and its reference.
struct PagoGuardado {
    int forma = 0;
    qint64 centavos = 0;
    QString referencia;
};

std::optional<std::vector<PagoGuardado>> PagosGuardados(db::Database& bd, const DocumentoVenta& doc, db::Error* error) {
    auto fila = bd.selectOne(QStringLiteral("SELECT FormaPago, Pagacon, PagaObs1, FormaPago2, Pagacon2, PagaObs2, "
                                            "FormaPago3, Pagacon3, PagaObs3 FROM Venta WHERE Numero = ? AND Tipo = ?"),
                             {doc.Numero, doc.Tipo}, error);
    if (!fila) return std::nullopt;
    std::vector<PagoGuardado> r;
    if (fila->empty()) return r;
    for (const QString& n : {QString(), QStringLiteral("2"), QStringLiteral("3")}) {
        PagoGuardado p;
        p.forma = int(fila->real(QStringLiteral("FormaPago") + n));
        p.centavos = std::max<qint64>(0, shell::Centavos(fila->real(QStringLiteral("Pagacon") + n)));
        p.referencia = fila->text(QStringLiteral("PagaObs") + (n.isEmpty() ? QStringLiteral("1") : n)).trimmed();
        // Slot 1 of a header written without a form (older files) was paid in cash.
        if (p.forma == 0 && n.isEmpty()) p.forma = FormaEfectivo;
        if (p.forma != 0) r.push_back(p);
    }
    return r;
}

// Whether another active sale document lists note `nota` among its payments.
std::optional<bool> NotaEnOtroDocumento(db::Database& bd, const DocumentoVenta& doc, qint64 nota, db::Error* error) {
    const QString pago = QStringLiteral("(FormaPago%1 = %2 AND CAST(TRIM(PagaObs%3) AS INTEGER) = ?)");
    const QString forma = QString::number(venta::PagoNotaCredito);
    auto n = bd.scalar(QStringLiteral("SELECT count(*) FROM Venta WHERE Status = 1 AND Tipo IN ('T', 'F', 'E') AND "
                                      "NOT (Numero = ? AND Tipo = ?) AND (") +
                           pago.arg(QString(), forma, QStringLiteral("1")) + QStringLiteral(" OR ") +
                           pago.arg(QStringLiteral("2"), forma, QStringLiteral("2")) + QStringLiteral(" OR ") +
                           pago.arg(QStringLiteral("3"), forma, QStringLiteral("3")) + QStringLiteral(")"),
                       {doc.Numero, doc.Tipo, nota, nota, nota}, error);
    if (!n) return std::nullopt;
    return n->toLongLong() > 0;
}

// A note's share goes back as a note: the note itself is spendable again when the document
// carries all of it, nothing was returned of it and nothing else it paid stands; otherwise a new
// note of exactly the share is made for the document's customer.
bool DevuelveNota(db::Database& bd, const DocumentoVenta& doc, const QString& referencia, qint64 centavos, Entrega* entrega,
                  db::Error* error) {
    bool esNumero = false;
    const qint64 nota = referencia.toLongLong(&esNumero);
    if (esNumero) {
        auto total = bd.scalar(QStringLiteral("SELECT Total FROM NotaCredito WHERE Numero = ? AND Status = 2"), {nota},
                               error);
        if (!total) return false;
        const bool toda = total->isValid() && !total->isNull() && shell::Centavos(total->toDouble()) == centavos;
        const auto enUso = toda ? NotaEnOtroDocumento(bd, doc, nota, error) : std::optional<bool>(true);
        if (!enUso) return false;
        if (!*enUso) {
            int filas = 0;
            if (!bd.exec(QStringLiteral("UPDATE NotaCredito SET Status = 1 WHERE Numero = ? AND Status = 2"), {nota},
                         error, &filas))
                return false;
            if (filas == 1) {
                entrega->notas.push_back(nota);
                return true;
            }
        }
    }
    auto ivap = bd.scalar(QStringLiteral("SELECT IVAP FROM Venta WHERE Numero = ? AND Tipo = ?"), {doc.Numero, doc.Tipo},
                          error);
    if (!ivap) return false;
    const qint64 nueva = sale::TomaFolios(bd, sale::FolioNotaCredito, 1, error);
    if (nueva < 0) return false;
    if (!shell::InsertaNotaCredito(bd, nueva, 0, QDateTime::currentDateTime(), double(centavos) / 100.0,
                                   G().ClaveUsuario, G().TerminalActual, doc.Cliente, ivap->toInt(), 1, doc.Numero,
                                   DescripcionCancelacion(doc.Tipo, doc.Numero), error))
        return false;
    entrega->notasNuevas.emplace_back(nueva, centavos);
    return true;
}

// What the customer is handed back, by the forms he paid in: what the document carries of each
// payment (notes first, then the others in slot order, none beyond the total; what was tendered
// beyond it was change), and of that what he is still owed after returns, notes first, then card,
// transfer and the like, cash last. The cut moves by everything but the notes.
bool MovimientoDeBaja(db::Database& bd, const DocumentoVenta& doc, Entrega* entrega, db::Error* error) {
    const auto devuelto = CentavosDevueltos(bd, doc.Tipo, doc.Numero, error);
    if (!devuelto) return false;
    const auto pagos = PagosGuardados(bd, doc, error);
    if (!pagos) return false;
    const qint64 total = shell::Centavos(doc.Total);
    const qint64 debido = std::max<qint64>(0, total - *devuelto);
    auto esNota = [](const PagoGuardado& p) { return p.forma == venta::PagoNotaCredito; };
    auto esEfectivo = [](const PagoGuardado& p) { return p.forma == FormaEfectivo; };
    // Carried: notes first, each payment up to what is left of the total.
    std::vector<qint64> lleva(pagos->size(), 0);
    qint64 resto = total;
    for (int notas = 1; notas >= 0; --notas)
        for (size_t i = 0; i < pagos->size(); ++i)
            if (esNota((*pagos)[i]) == (notas == 1)) {
                lleva[i] = std::min(resto, (*pagos)[i].centavos);
                resto -= lleva[i];
            }
    // Handed back: notes, then the other forms, cash last; whatever no payment covers, in cash.
    qint64 porDar = debido, otros = 0;
    for (int orden = 0; orden < 3; ++orden)
        for (size_t i = 0; i < pagos->size(); ++i) {
            const PagoGuardado& p = (*pagos)[i];
            const int clase = esNota(p) ? 0 : esEfectivo(p) ? 2 : 1;
            if (clase != orden || porDar <= 0 || lleva[i] <= 0) continue;
            const qint64 da = std::min(porDar, lleva[i]);
            porDar -= da;
            if (clase == 0) {
                if (!DevuelveNota(bd, doc, p.referencia, da, entrega, error)) return false;
                continue;
            }
            otros += da;
            if (clase == 2) {
                entrega->efectivoCentavos += da;
                continue;
            }
            auto mismo = std::find_if(entrega->formas.begin(), entrega->formas.end(),
                                      [&](const auto& f) { return f.first == p.forma; });
            if (mismo == entrega->formas.end()) {
                entrega->formas.emplace_back(p.forma, da);
                entrega->nombres.insert(p.forma, NombreFormaPago(bd, p.forma));
            } else {
                mismo->second += da;
            }
        }
    entrega->efectivoCentavos += porDar;
    otros += porDar;
    const qint64 ajuste = (doc.EnCorteCerrado() ? 0 : total) - otros;
    if (ajuste == 0) return true;
    return shell::InsertaMovCaja(bd, double(std::llabs(ajuste)) / 100.0, ajuste > 0 ? MovEntrada : MovSalida,
                                 DescripcionCancelacion(doc.Tipo, doc.Numero), G().ClaveUsuario, error)
        .has_value();
}

template <class Cambio>
Baja EnTransaccion(db::Database& bd, qint64 numero, const QString& letra, bool cancelar, const db::LockWait& espera,
                   db::Error* error, Entrega* entrega, Cambio cambio) {
    db::Error local;
    db::Error* e = error ? error : &local;
    Entrega localEntrega;
    Entrega* dada = entrega ? entrega : &localEntrega;
    *dada = {};
    db::WriteTransaction tr(bd);
    if (!tr.begin(espera, e)) return e->kind == db::ErrorKind::Cancelled ? Baja::Cancelada : Baja::Falla;
    DocumentoVenta doc;
    Baja b = Revisa(bd, numero, letra, cancelar, &doc, e);
    if (b != Baja::Hecha) return b;
    b = DevuelveExistencia(bd, doc, e);
    if (b != Baja::Hecha) return b;
    if (doc.EsFacturaDia() ? !LiberaTicketsFacturaDia(bd, numero, letra, !cancelar, e)
                           : doc.Status == 1 && !MovimientoDeBaja(bd, doc, dada, e))
        return Baja::Falla;
    if (!cambio(e)) return Baja::Falla;
    if (tr.commit(e)) return Baja::Hecha;
    *dada = {};
    return Baja::Falla;
}

}  // namespace

std::optional<DocumentoVenta> LeeDocumentoVenta(db::Database& bd, qint64 numero, const QString& letra,
                                                db::Error* error) {
    auto r = venta::leerfactura(bd, numero, letra, error);
    if (!r) return std::nullopt;
    DocumentoVenta d;
    d.encontrado = r->encontrado;
    if (!d.encontrado) return d;
    const db::Row& c = r->encabezado;
    d.Numero = numero;
    d.Tipo = letra;
    d.Total = c.real(QStringLiteral("Total"));
    d.Cliente = c.text(QStringLiteral("Cliente"));
    d.Status = static_cast<int>(c.integer(QStringLiteral("Status")));
    d.IdCorte = c.integer(QStringLiteral("IdCorte"));
    d.FE = static_cast<int>(c.integer(QStringLiteral("FE")));
    if (d.Tipo == QLatin1String("T") && d.FE == 2) {
        const auto activa = TicketEnFacturaDiaActiva(bd, numero, error);
        if (!activa) return std::nullopt;
        d.facturaDiaActiva = *activa;
    }
    return d;
}

QString TextoDocumento(const DocumentoVenta& doc) {
    return (doc.Tipo == QLatin1String("T") ? QStringLiteral("Ticket: ") : QStringLiteral("Factura: ")) +
           QString::number(doc.Numero) + QStringLiteral("\r\nImporte: ") +
           QString::number(doc.Total, 'g', 15) + QStringLiteral("\r\nCliente: ") + doc.Cliente;
}

std::optional<QMap<qint64, double>> ExistenciaPorDevolver(db::Database& bd, const DocumentoVenta& doc,
                                                          db::Error* error) {
    QMap<qint64, double> r;
    if (!doc.encontrado || doc.Status == 0 || doc.EsFacturaDia()) return r;
    auto vendido = bd.select(QStringLiteral("SELECT ClaveProducto, SUM(Cantidad) AS Cantidad FROM DetalleVenta "
                                            "WHERE Numero = ? AND TipoDocto = ? GROUP BY ClaveProducto"),
                             {doc.Numero, doc.Tipo}, error);
    if (!vendido) return std::nullopt;
    const auto devuelto = CantidadesDevueltas(bd, doc.Tipo, doc.Numero, error);
    if (!devuelto) return std::nullopt;
    for (const db::Row& f : *vendido) {
        const qint64 clave = f.integer(QStringLiteral("ClaveProducto"));
        // In millionths, so that returns of 0.1 and 0.2 leave nothing of a sold 0.3.
        const qint64 resto = std::llround(f.real(QStringLiteral("Cantidad")) * 1e6) -
                             std::llround(devuelto->value(clave, 0.0) * 1e6);
        if (resto > 0) r[clave] = static_cast<double>(resto) / 1e6;
    }
    return r;
}

QString NombreFormaPago(db::Database& bd, int forma) {
    const EstadoGlobal& g = G();
    if (forma > 0 && forma < int(g.NombresFormaPago.size()) && !g.NombresFormaPago[size_t(forma)].trimmed().isEmpty())
        return g.NombresFormaPago[size_t(forma)].trimmed();
    const auto nombre = bd.scalar(QStringLiteral("SELECT Descripcion FROM Formasdepago WHERE TPago = ?"), {forma});
    if (nombre && nombre->isValid() && !nombre->isNull() && !nombre->toString().trimmed().isEmpty())
        return nombre->toString().trimmed();
    return QStringLiteral("FORMA DE PAGO ") + QString::number(forma);
}

QString TextoEntrega(const Entrega& entrega) {
    QStringList lineas;
    const bool otra = !entrega.formas.empty() || !entrega.notas.empty() || !entrega.notasNuevas.empty();
    if (entrega.efectivoCentavos > 0 || !otra)
        lineas << QStringLiteral("Entregue al cliente ") + venta::FormatoPesos(double(entrega.efectivoCentavos) / 100.0);
    for (const auto& [forma, centavos] : entrega.formas)
        lineas << QStringLiteral("Devuelva ") + venta::FormatoPesos(double(centavos) / 100.0) + QStringLiteral(" por ") +
                      entrega.nombres.value(forma, QStringLiteral("FORMA DE PAGO ") + QString::number(forma));
    for (qint64 nota : entrega.notas)
        lineas << QString::fromUtf8("La nota de crédito ") + shell::Formato(double(nota), QStringLiteral("00000")) +
                      QStringLiteral(" vuelve a estar disponible.");
    for (const auto& [nota, centavos] : entrega.notasNuevas)
        lineas << QString::fromUtf8("Entregue la nota de crédito ") + shell::Formato(double(nota), QStringLiteral("00000")) +
                      QStringLiteral(" por ") + venta::FormatoPesos(double(centavos) / 100.0) + u'.';
    return lineas.join(u'\n');
}

Baja CancelaDocumento(db::Database& bd, qint64 numero, const QString& letra, const db::LockWait& espera,
                      db::Error* error, Entrega* entrega) {
    return EnTransaccion(bd, numero, letra, true, espera, error, entrega, [&](db::Error* e) {
        return bd.exec(QStringLiteral("UPDATE Venta SET Status = 0 WHERE Numero = ? AND Tipo = ?"), {numero, letra}, e);
    });
}

Baja BorraDocumento(db::Database& bd, qint64 numero, const QString& letra, const db::LockWait& espera,
                    db::Error* error, Entrega* entrega) {
    return EnTransaccion(bd, numero, letra, false, espera, error, entrega, [&](db::Error* e) {
        return bd.exec(QStringLiteral("DELETE FROM Venta WHERE Numero = ? AND Tipo = ?"), {numero, letra}, e) &&
               bd.exec(QStringLiteral("DELETE FROM DetalleVenta WHERE Numero = ? AND TipoDocto = ?"), {numero, letra},
                       e);
    });
}

QString Cancelacion::VerInfo(const QString& item, const QString& numeroTexto, std::optional<DocumentoVenta>* doc) {
    if (doc) doc->reset();
    if (numeroTexto.isEmpty()) return {};
    const auto numero = shell::EnteroTecleado(numeroTexto);
    if (!numero) {
        prompts->message(QString::fromUtf8("Numero de documento no válido."));
        return {};
    }
    if (*numero == 0) return {};
    db::Error e;
    // A paper invoice made before electronic invoicing was switched on is found as well.
    const QString letra = LetraConsulta(*bd, item, G().FacturaE, numeroTexto, *prompts,
                                        QString::fromUtf8("¿Tomar la factura electrónica?"),
                                        QStringLiteral("Cancelar documento."));
    if (letra.isEmpty()) return {};
    auto d = LeeDocumentoVenta(*bd, *numero, letra, &e);
    if (!d) {
        prompts->message(e.message, ui::Icon::Critical);
        return {};
    }
    if (!d->encontrado) {
        prompts->message(NombreDocumento(letra).noEncontrado());
        return {};
    }
    if (doc) *doc = d;
    if (d->Status == 0) prompts->message(NombreDocumento(letra).yaCancelado());
    return TextoDocumento(*d);
}

bool Cancelacion::Revisa(const QString& tituloVenta, const QString& numeroTexto, qint64* numero) {
    if (!tituloVenta.isEmpty() && tituloVenta != TituloVentas) {
        prompts->message(QStringLiteral("Cierre la pantalla de ") + tituloVenta +
                         QStringLiteral(" antes de entrar a este proceso."));
        return false;
    }
    if (!shell::ExisteBDSucursal() || !bd) {
        prompts->message(QStringLiteral("No se encontraron los archivos de datos para la sucursal."), ui::Icon::Critical);
        return false;
    }
    if (numeroTexto.isEmpty()) {
        *numero = 0;
        return true;
    }
    const auto n = shell::EnteroTecleado(numeroTexto);
    if (!n) {
        prompts->message(QString::fromUtf8("Numero de documento no válido."));
        return false;
    }
    *numero = *n;
    return true;
}

bool Cancelacion::Escribe(Baja b, const QString& letra, const db::Error& e) {
    if (estado) estado(QString());
    switch (b) {
    case Baja::Hecha: return true;
    case Baja::NoEncontrada: prompts->message(NombreDocumento(letra).noEncontrado()); break;
    case Baja::YaCancelada: prompts->message(NombreDocumento(letra).yaCancelado()); break;
    case Baja::EnFacturaDia:
        prompts->message(MensajeEnFacturaDia());
        break;
    case Baja::EnCorte: break;  // told by DaDeBaja, which knows the cut
    case Baja::Cancelada: break;
    case Baja::Falla:
        prompts->message(QString::fromUtf8("No se pudo completar la operación.\n") + e.message, ui::Icon::Critical);
        break;
    }
    return false;
}

// The steps both commands share; `borrar` picks the delete's texts and writes.
bool Cancelacion::DaDeBaja(bool borrar, const QString& item, const QString& numeroTexto, const QString& tituloVenta,
                           QString* info) {
    qint64 numero = 0;
    if (!Revisa(tituloVenta, numeroTexto, &numero)) return false;
    std::optional<DocumentoVenta> doc;
    const QString texto = numero == 0 ? QString() : VerInfo(item, numeroTexto, &doc);
    if (info) *info = texto;
    // The question must stand beside the document it is about, never the one looked up before.
    if (informa) informa(texto);
    const NombreDocumento nombre(doc ? doc->Tipo : LetraTipoDocumento(item, G().FacturaE));
    if (!doc) {
        prompts->message(borrar ? QStringLiteral("No se encontro información ") + nombre.del() + u'.'
                                : QString::fromUtf8("No se encontró información del Folio."));
        return false;
    }
    // VerInfo has said that it is cancelled; only the delete goes on with such a document.
    if (!borrar && doc->Status == 0) return false;
    if (doc->EnFacturaDia()) return Escribe(Baja::EnFacturaDia, doc->Tipo, {});
    const QString n = Numero(numeroTexto);
    if (borrar && doc->EnCorteCerrado()) {
        prompts->message(MensajeEnCorte(nombre, n, doc->IdCorte));
        return false;
    }
    const QString pregunta = borrar ? QStringLiteral("Desea borrar ") + nombre.el() + u' ' + n + QStringLiteral(" ?")
                                    : QStringLiteral("Desea dar de baja el Folio: ") + n + QStringLiteral(" ?");
    if (prompts->question(pregunta, QStringLiteral("Confirmar.")) != ui::Answer::Yes) return false;
    if (estado) estado(QStringLiteral("Actualizando..."));
    db::Error e;
    Entrega entrega;
    const Baja b = borrar ? BorraDocumento(*bd, numero, doc->Tipo, espera, &e, &entrega)
                          : CancelaDocumento(*bd, numero, doc->Tipo, espera, &e, &entrega);
    // A cut closed by another terminal since the document was read.
    if (b == Baja::EnCorte) prompts->message(MensajeEnCorte(nombre, n, 0));
    if (!Escribe(b, doc->Tipo, e)) return false;
    // A day invoice hands nothing back: its tickets were paid.
    const QString entregado = doc->EsFacturaDia() ? QString() : QStringLiteral("\n") + TextoEntrega(entrega);
    prompts->message((borrar ? QStringLiteral("Los datos ") + nombre.del() + u' ' + n + QStringLiteral(" se han borrado.")
                             : nombre.dadoDeBaja(n)) +
                     entregado);
    return true;
}

bool Cancelacion::Cancela(const QString& item, const QString& numeroTexto, const QString& tituloVenta, QString* info) {
    return DaDeBaja(false, item, numeroTexto, tituloVenta, info);
}

bool Cancelacion::Borra(const QString& item, const QString& numeroTexto, const QString& tituloVenta, QString* info) {
    return DaDeBaja(true, item, numeroTexto, tituloVenta, info);
}

}  // namespace caja
