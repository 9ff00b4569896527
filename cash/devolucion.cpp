#include "cash/devolucion.h"

#include "cash/facturadia.h"

#include "shell/texto.h"

#include <QDateTime>
#include <QRegularExpression>
#include <QStringList>

#include <algorithm>
#include <cmath>
#include <map>

namespace caja {

namespace {

// Quantities are compared in millionths so that 0.1 + 0.2 of an earlier return counts as 0.3.
qint64 Millonesimas(double v) { return std::llround(v * 1e6); }

QString TextoCantidad(double v) { return QString::number(v, 'g', 15); }

QDateTime LeeFecha(const QString& texto) {
    const QString t = texto.trimmed();
    QDateTime dt = QDateTime::fromString(t, Qt::ISODate);
    if (!dt.isValid()) dt = QDateTime::fromString(t, QStringLiteral("yyyy-MM-dd HH:mm:ss"));
    if (!dt.isValid()) dt = QDateTime(QDate::fromString(t.left(10), Qt::ISODate), QTime(0, 0));
    return dt;
}

}  // namespace

QString LetraTipoDocumento(const QString& item, bool facturaE) {
    if (item == QStringLiteral("Ticket")) return QStringLiteral("T");
    if (item == QStringLiteral("Factura")) return facturaE ? QStringLiteral("E") : QStringLiteral("F");
    return {};
}

QString LetraConsulta(db::Database& bd, const QString& item, bool facturaE, const QString& numeroTexto,
                      ui::Prompts& prompts, const QString& pregunta, const QString& titulo) {
    const QString letra = LetraTipoDocumento(item, facturaE);
    const auto numero = shell::EnteroTecleado(numeroTexto);
    if (letra != QLatin1String("E") || !numero) return letra;
    auto filas = bd.select(QStringLiteral("SELECT DISTINCT Tipo FROM Venta WHERE Numero = ? AND Tipo IN ('E', 'F')"),
                           {*numero});
    if (!filas) return letra;  // the lookup itself tells the error
    QStringList tipos;
    for (const db::Row& f : *filas) tipos << f.text(QStringLiteral("Tipo"));
    if (!tipos.contains(QLatin1String("F"))) return letra;
    if (!tipos.contains(QLatin1String("E"))) return QStringLiteral("F");
    switch (prompts.question(QString::fromUtf8("Existen la factura electrónica E %1 y la factura impresa F %1.\n")
                                     .arg(*numero) +
                                 pregunta + QStringLiteral(" (No: la factura impresa)"),
                             titulo, true)) {
    case ui::Answer::Yes: return QStringLiteral("E");
    case ui::Answer::No: return QStringLiteral("F");
    default: return {};
    }
}

QString DoctoDevolucion(const QString& letra, qint64 numero) {
    return letra + (numero >= 0 ? QStringLiteral(" ") : QString()) + QString::number(numero);
}

std::optional<QMap<qint64, double>> CantidadesDevueltas(db::Database& bd, const QString& letra,
                                                        qint64 numero, db::Error* error) {
    auto filas = bd.select(QStringLiteral("SELECT DEInventario.ClaveProducto, DEInventario.Cantidad "
                                          "FROM EInventario JOIN DEInventario ON DEInventario.Numero = "
                                          "EInventario.Numero WHERE EInventario.Docto = ? AND "
                                          "EInventario.DescribeMovto = ?"),
                           {DoctoDevolucion(letra, numero), MovtoDevolucion}, error);
    if (!filas) return std::nullopt;
    QMap<qint64, double> r;
    for (const db::Row& f : *filas)
        r[f.integer(QStringLiteral("ClaveProducto"))] += f.real(QStringLiteral("Cantidad"));
    return r;
}

std::optional<std::vector<LineaDocumento>> LineasDocumento(db::Database& bd, const QString& letra, qint64 numero,
                                                           db::Error* error) {
    auto filas = bd.select(QStringLiteral("SELECT ClaveProducto, Cantidad FROM DetalleVenta WHERE Numero = ? AND "
                                          "TipoDocto = ? ORDER BY IdLinea"),
                           {numero, letra}, error);
    if (!filas) return std::nullopt;
    std::vector<LineaDocumento> r;
    for (const db::Row& f : *filas)
        r.push_back({f.integer(QStringLiteral("ClaveProducto")), f.real(QStringLiteral("Cantidad"))});
    return r;
}

std::optional<std::vector<double>> DevueltoPorLinea(db::Database& bd, const QString& letra, qint64 numero,
                                                    const std::vector<LineaDocumento>& lineas, db::Error* error) {
    auto filas = bd.select(QStringLiteral("SELECT DEInventario.ClaveProducto, DEInventario.Cantidad, "
                                          "DEInventario.OrdenCap FROM EInventario JOIN DEInventario ON "
                                          "DEInventario.Numero = EInventario.Numero WHERE EInventario.Docto = ? AND "
                                          "EInventario.DescribeMovto = ? ORDER BY DEInventario.rowid"),
                           {DoctoDevolucion(letra, numero), MovtoDevolucion}, error);
    if (!filas) return std::nullopt;
    std::vector<qint64> devuelto(lineas.size(), 0);
    auto cabe = [&](size_t i) { return Millonesimas(lineas[i].Cantidad) - devuelto[i]; };
    std::vector<std::pair<qint64, qint64>> sinLinea;  // product, millionths
    for (const db::Row& f : *filas) {
        const qint64 clave = f.integer(QStringLiteral("ClaveProducto"));
        const qint64 cantidad = Millonesimas(f.real(QStringLiteral("Cantidad")));
        const qint64 pos = f.integer(QStringLiteral("OrdenCap")) - 1;
        if (pos >= 0 && pos < qint64(lineas.size()) && lineas[size_t(pos)].ClaveProducto == clave &&
            cabe(size_t(pos)) >= cantidad)
            devuelto[size_t(pos)] += cantidad;
        else
            sinLinea.emplace_back(clave, cantidad);
    }
    for (auto [clave, resto] : sinLinea) {
        std::optional<size_t> ultima;
        for (size_t i = 0; i < lineas.size() && resto > 0; ++i) {
            if (lineas[i].ClaveProducto != clave) continue;
            const qint64 toma = std::clamp<qint64>(cabe(i), 0, resto);
            devuelto[i] += toma;
            resto -= toma;
            ultima = i;
        }
        if (ultima && resto > 0) devuelto[*ultima] += resto;
    }
    std::vector<double> r;
    for (qint64 m : devuelto) r.push_back(double(m) / 1e6);
    return r;
}

std::optional<qint64> CentavosDevueltos(db::Database& bd, const QString& letra, qint64 numero, db::Error* error) {
    auto filas = bd.select(QStringLiteral("SELECT DEInventario.Cantidad, DEInventario.PUnitario FROM EInventario JOIN "
                                          "DEInventario ON DEInventario.Numero = EInventario.Numero WHERE "
                                          "EInventario.Docto = ? AND EInventario.DescribeMovto = ?"),
                           {DoctoDevolucion(letra, numero), MovtoDevolucion}, error);
    if (!filas) return std::nullopt;
    qint64 r = 0;
    // Each return line stores its value spread over its quantity.
    for (const db::Row& f : *filas)
        r += shell::Centavos(f.real(QStringLiteral("Cantidad")) * f.real(QStringLiteral("PUnitario")));
    return r;
}

std::optional<double> CantidadTecleada(const QString& texto, QString* mensaje) {
    if (texto.trimmed().isEmpty()) return std::nullopt;
    return shell::LeeNumeroEn(texto, QStringLiteral("Cantidad"), {false, false, shell::kNumeroMaximo}, mensaje);
}

void Devolucion::NuevaDevolucion() {
    encontrada_ = false;
    venta_ = {};
    lineas_.clear();
    devueltos_.clear();
    devueltoPorClave_.clear();
    devueltoPorLinea_.clear();
    pagadoAntes_ = 0;
    pendientes_.clear();
    NumeroEntrada = 0;
}

namespace {

// A ticket an active day invoice holds is billed as it was sold: it is not returned (told once).
bool TicketLibre(db::Database& bd, qint64 numero, ui::Prompts& prompts) {
    db::Error e;
    const auto enFactura = TicketEnFacturaDiaActiva(bd, numero, &e);
    if (!enFactura) prompts.message(e.message, ui::Icon::Critical);
    else if (*enFactura) prompts.message(MensajeEnFacturaDia());
    return enFactura && !*enFactura;
}

}  // namespace

ResultadoConsulta Devolucion::ConsultaVenta(db::Database& bd, const QString& letra,
                                            const QString& numeroTexto, ui::Prompts& prompts) {
    NuevaDevolucion();
    const auto numero = shell::EnteroTecleado(numeroTexto);
    if (!numero || letra.isEmpty()) return ResultadoConsulta::NoNumerico;

    ResultadoConsulta r = ResultadoConsulta::Encontrada;
    db::Error e;
    auto cab = bd.selectOne(QStringLiteral("SELECT * FROM CVentacCliente WHERE Numero = ? AND Tipo = ?"),
                            {*numero, letra}, &e);
    if (!cab) {
        prompts.message(e.message, ui::Icon::Critical);
        return ResultadoConsulta::SinRegistros;
    }
    if (cab->empty()) {
        if (*numero != 0) prompts.message(QStringLiteral("No se encontraron registros."));
        r = ResultadoConsulta::SinRegistros;
    } else if (cab->integer(QStringLiteral("Status")) != 1) {
        prompts.message(QString::fromUtf8("El estatus de la venta no es válido."));
        r = ResultadoConsulta::EstatusNoValido;
    } else if (letra != QLatin1String("T") && cab->integer(QStringLiteral("IdCorte")) == -1) {
        // A day invoice took no stock of its own: its goods come back through its tickets.
        prompts.message(QString::fromUtf8("Esta factura agrupa los tickets del día; haga la devolución sobre el "
                                          "ticket de la venta."));
        r = ResultadoConsulta::EstatusNoValido;
    } else if (letra == QLatin1String("T") && cab->integer(QStringLiteral("FE")) == 2 &&
               !TicketLibre(bd, *numero, prompts)) {
        r = ResultadoConsulta::EstatusNoValido;
    } else {
        venta_.Numero = *numero;
        venta_.Tipo = letra;
        venta_.Nombre = cab->text(QStringLiteral("Nombre"));
        venta_.Cliente = cab->text(QStringLiteral("Cliente"));
        venta_.Descuento = cab->real(QStringLiteral("Descuento"));
        venta_.Fecha = cab->text(QStringLiteral("Fecha"));
        venta_.Total = cab->real(QStringLiteral("Total"));
        venta_.IVAP = static_cast<int>(cab->integer(QStringLiteral("IVAP")));
        encontrada_ = true;
        auto filas = bd.select(QStringLiteral("SELECT ClaveProducto, Nombre, Cantidad, Descripcion, PrecioUnit, "
                                              "PPrecioUnit, Importe FROM CdetalleVenta WHERE Numero = ? AND "
                                              "TipoDocto = ? ORDER BY IdLinea"),
                               {*numero, letra}, &e);
        if (!filas) {
            prompts.message(e.message, ui::Icon::Critical);
            NuevaDevolucion();
            return ResultadoConsulta::SinRegistros;
        }
        for (const db::Row& f : *filas) {
            LineaVendida l;
            l.ClaveProducto = f.integer(QStringLiteral("ClaveProducto"));
            l.Nombre = f.text(QStringLiteral("Nombre"));
            l.Descripcion = f.text(QStringLiteral("Descripcion"));
            l.Cantidad = f.real(QStringLiteral("Cantidad"));
            l.PrecioUnit = f.real(QStringLiteral("PrecioUnit"));
            l.PPrecioUnit = f.real(QStringLiteral("PPrecioUnit"));
            l.Importe = f.real(QStringLiteral("Importe"));
            lineas_.push_back(l);
        }
        if (lineas_.empty()) {
            prompts.message(QStringLiteral("No se encontraron detalles para esta venta."));
            r = ResultadoConsulta::SinDetalles;
        }
    }

    // Earlier returns are read whatever the header gave, as the form always lists them.
    auto dev = bd.select(QStringLiteral("SELECT * FROM cESInventarioDev WHERE Docto = ? AND DescribeMovto = ?"),
                         {DoctoDevolucion(letra, *numero), MovtoDevolucion}, &e);
    if (!dev) {
        prompts.message(e.message, ui::Icon::Critical);
        NuevaDevolucion();
        return ResultadoConsulta::SinRegistros;
    }
    devueltos_ = std::move(*dev);
    std::vector<LineaDocumento> vendidas;
    for (const LineaVendida& l : lineas_) vendidas.push_back({l.ClaveProducto, l.Cantidad});
    auto porLinea = DevueltoPorLinea(bd, letra, *numero, vendidas, &e);
    if (!porLinea) {
        prompts.message(e.message, ui::Icon::Critical);
        NuevaDevolucion();
        return ResultadoConsulta::SinRegistros;
    }
    devueltoPorLinea_ = std::move(*porLinea);
    for (const db::Row& f : devueltos_)
        devueltoPorClave_[f.integer(QStringLiteral("ClaveProducto"))] += f.real(QStringLiteral("Cantidad"));
    const auto pagado = CentavosDevueltos(bd, letra, *numero, &e);
    if (!pagado) {
        prompts.message(e.message, ui::Icon::Critical);
        NuevaDevolucion();
        return ResultadoConsulta::SinRegistros;
    }
    pagadoAntes_ = *pagado;
    if (!devueltos_.empty())
        prompts.message(QStringLiteral("Ya existe productos devueltos para este Documento."));
    return r;
}

double Devolucion::CantidadVendida(qint64 clave) const {
    double s = 0;
    for (const LineaVendida& l : lineas_)
        if (l.ClaveProducto == clave) s += l.Cantidad;
    return s;
}

double Devolucion::CantidadDevuelta(qint64 clave) const { return devueltoPorClave_.value(clave, 0.0); }

double Devolucion::DevueltoDeLinea(int indice) const {
    return indice >= 0 && size_t(indice) < devueltoPorLinea_.size() ? devueltoPorLinea_[size_t(indice)] : 0.0;
}

double Devolucion::RestoDeLinea(int indice) const {
    if (indice < 0 || size_t(indice) >= lineas_.size()) return 0;
    return double(std::max<qint64>(0, Millonesimas(lineas_[size_t(indice)].Cantidad) -
                                          Millonesimas(DevueltoDeLinea(indice)))) /
           1e6;
}

qint64 Devolucion::CentavosPagados(const QMap<int, double>& cantidades) const {
    bool todo = !lineas_.empty();
    double pagado = 0;
    for (size_t i = 0; i < lineas_.size(); ++i) {
        const LineaVendida& l = lineas_[i];
        const qint64 pedidas = std::clamp(Millonesimas(cantidades.value(int(i), 0.0)), qint64(0), Millonesimas(l.Cantidad));
        pagado += double(pedidas) / 1e6 * l.PPrecioUnit;
        if (pedidas < Millonesimas(l.Cantidad)) todo = false;
    }
    if (todo) return shell::Centavos(venta_.Total);
    const double descuento = venta_.Descuento > 0 ? venta_.Descuento : 0.0;
    return shell::Centavos(pagado - pagado * descuento / 100.0);
}

std::vector<LineaDevolucion> Devolucion::PendientesValoradas(const std::vector<double>& devuelto,
                                                             qint64 pagadoAntes) const {
    std::vector<LineaDevolucion> valoradas = pendientes_;
    QMap<int, double> hasta;
    for (size_t i = 0; i < devuelto.size(); ++i) hasta[int(i)] = devuelto[i];
    qint64 antes = pagadoAntes;
    for (LineaDevolucion& p : valoradas) {
        hasta[p.Linea] += p.Cantidad;
        const qint64 ahora = CentavosPagados(hasta);
        p.Centavos = std::max<qint64>(0, ahora - antes);
        p.PUnitario = double(p.Centavos) / 100.0 / p.Cantidad;
        antes = std::max(antes, ahora);
    }
    return valoradas;
}

bool Devolucion::MarcaLinea(int indice, ui::Prompts& prompts) {
    if (!encontrada_ || indice < 0 || indice >= static_cast<int>(lineas_.size())) return false;
    const double maximo = RestoDeLinea(indice);
    const QString respuesta =
        prompts.input(QStringLiteral("Teclea la cantidad a devolver, maximo: ") +
                          shell::Formato(maximo, QStringLiteral("##,##0.00")),
                      QStringLiteral("Confirma cantidad."), TextoCantidad(maximo));
    QString mensaje;
    const auto cantidad = CantidadTecleada(respuesta, &mensaje);
    if (!cantidad) {
        // Cancel gives nothing to read and says nothing.
        if (!mensaje.isEmpty()) prompts.message(mensaje, ui::Icon::Information);
        return false;
    }
    return AgregaLineaDevolucion(indice, *cantidad, prompts);
}

bool Devolucion::AgregaLineaDevolucion(int indice, double cantidad, ui::Prompts& prompts) {
    if (!encontrada_ || indice < 0 || indice >= static_cast<int>(lineas_.size())) return false;
    if (!(cantidad > 0)) return false;
    const LineaVendida& l = lineas_[size_t(indice)];
    // In reals first: a typed quantity near the reader's bound has no millionths in 64 bits.
    if (cantidad - RestoDeLinea(indice) > 5e-7) {
        prompts.message(QStringLiteral("Cantidad excede a la de la compra."));
        return false;
    }
    for (const LineaDevolucion& p : pendientes_) {
        if (p.Linea == indice) {
            prompts.message(QStringLiteral("El producto ya se encuentra en la devolucion."));
            return false;
        }
    }
    LineaDevolucion p;
    p.Linea = indice;
    p.ClaveProducto = l.ClaveProducto;
    p.Nombre = l.Nombre;
    p.Descripcion = l.Descripcion;
    p.Cantidad = cantidad;
    pendientes_.push_back(p);
    pendientes_ = PendientesValoradas(devueltoPorLinea_, pagadoAntes_);
    return true;
}

bool Devolucion::QuitaLineaDevolucion(int indice) {
    if (indice < 0 || indice >= static_cast<int>(pendientes_.size())) return false;
    pendientes_.erase(pendientes_.begin() + indice);
    pendientes_ = PendientesValoradas(devueltoPorLinea_, pagadoAntes_);
    return true;
}

qint64 Devolucion::TotalCentavos() const {
    qint64 s = 0;
    for (const LineaDevolucion& p : pendientes_) s += p.ImporteCentavos();
    return s;
}

QString Devolucion::EtiquetaCliente() const {
    return encontrada_ ? QStringLiteral("Nombre cliente: ") + venta_.Nombre : QString();
}

QString Devolucion::EtiquetaDescuento() const {
    return encontrada_ ? QStringLiteral("Descuento venta: ") + TextoCantidad(venta_.Descuento) +
                             QStringLiteral("%")
                       : QString();
}

QString Devolucion::EtiquetaFecha() const {
    if (!encontrada_) return {};
    const QDateTime f = LeeFecha(venta_.Fecha);
    return QStringLiteral("Fecha de la venta: ") +
           (f.isValid() ? f.toString(QStringLiteral("dd/MM/yyyy HH:mm:ss")) : venta_.Fecha);
}

QString Devolucion::EtiquetaImporte() const {
    return encontrada_ ? QStringLiteral("Importe de la venta: ") +
                             shell::Formato(venta_.Total, QStringLiteral("#,###,##0.00"))
                       : QString();
}

}  // namespace caja
