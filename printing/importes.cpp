#include "printing/importes.h"

#include "platform/money/money.h"

#include <algorithm>
#include <cmath>
#include <numeric>

namespace printing {

namespace {

// A line's exact amount after its own discount, as the sale screen adds it up for the total.
double Exacto(const LineaVendida& l) {
    return money::redondea(l.cantidad * l.precioUnit * (1 - l.descuento / 100), 6);
}

}  // namespace

std::vector<qint64> Reparte(qint64 total, const std::vector<double>& pesos) {
    const size_t n = pesos.size();
    std::vector<qint64> r(n, 0);
    if (n == 0) return r;
    const double suma = std::accumulate(pesos.begin(), pesos.end(), 0.0);
    const bool escala = std::llround(money::redondea(suma, 4)) != total;
    if (escala && std::fabs(suma) < 1e-9) {
        r.back() = total;
        return r;
    }
    // Four decimals of a cent drop the binary error, so 4000.0000000001 is not a line that lost a cent.
    std::vector<double> resto(n);
    qint64 asignado = 0;
    for (size_t i = 0; i < n; ++i) {
        const double cuota = money::redondea(escala ? pesos[i] * double(total) / suma : pesos[i], 4);
        r[i] = qint64(std::floor(cuota));
        resto[i] = cuota - double(r[i]);
        asignado += r[i];
    }
    std::vector<size_t> orden(n);
    std::iota(orden.begin(), orden.end(), size_t(0));
    std::stable_sort(orden.begin(), orden.end(), [&](size_t a, size_t b) {
        return resto[a] != resto[b] ? resto[a] > resto[b] : a > b;
    });
    // Cut down, the lines are short of the total by fewer cents than there are lines.
    for (qint64 k = 0, falta = total - asignado; k < falta; ++k) ++r[orden[size_t(k) % n]];
    return r;
}

std::vector<LineaVendida> LineasVendidas(const db::Rows& filas) {
    std::vector<LineaVendida> v;
    v.reserve(filas.size());
    for (const db::Row& f : filas) {
        LineaVendida l;
        l.cantidad = f.real(QStringLiteral("Cantidad"));
        l.precioUnit = f.real(QStringLiteral("PrecioUnit"));
        l.descuento = f.real(QStringLiteral("Descuento"));
        l.iva = f.has(QStringLiteral("Iva")) && f.flag(QStringLiteral("Iva"));
        v.push_back(l);
    }
    return v;
}

DesgloseTotal DesglosaTotal(double total, double gravado, double exento, double descuento, int tasa) {
    DesgloseTotal d;
    d.total = money::centavos(total);
    const double queda = 1 - descuento / 100;
    if (tasa < 0) {
        // No tax shown: the subtotal is the lines' sum and the discount closes it on the total.
        d.subtotal = descuento != 0 ? money::centavos(gravado + exento) : d.total;
        d.descuento = d.subtotal - d.total;
        return d;
    }
    const double divisor = 1 + tasa / 100.0;
    // The exempt part of the total bears no tax; the rest is split into base and tax.
    qint64 exentoC = 0;
    if (gravado == 0) exentoC = d.total;
    else if (exento != 0) exentoC = money::centavos(exento * queda);
    const qint64 conIVA = d.total - exentoC;
    const qint64 base = money::centavos(conIVA / 100.0 / divisor);
    d.iva = conIVA - base;
    const qint64 neto = base + exentoC;
    if (descuento != 0) {
        d.subtotalGravado = money::centavos(gravado / divisor);
        d.subtotal = d.subtotalGravado + money::centavos(exento);
    } else {
        d.subtotalGravado = base;
        d.subtotal = neto;
    }
    d.descuento = d.subtotal - neto;
    return d;
}

ImportesDocumento ImportesDe(const std::vector<LineaVendida>& lineas, double descuentoGeneral,
                             std::optional<double> totalGuardado, int tasa) {
    ImportesDocumento r;
    const size_t n = lineas.size();
    std::vector<double> exacto(n);
    double gravado = 0, exento = 0;
    for (size_t i = 0; i < n; ++i) {
        exacto[i] = Exacto(lineas[i]);
        (lineas[i].iva ? gravado : exento) += exacto[i];
    }
    const double suma = gravado + exento;
    const double total = totalGuardado ? *totalGuardado : suma - suma * descuentoGeneral / 100;
    const DesgloseTotal d = DesglosaTotal(total, gravado, exento, descuentoGeneral, tasa);
    r.subtotal = d.subtotal;
    r.descuento = d.descuento;
    r.iva = d.iva;
    r.total = d.total;

    std::vector<double> pesos(n);
    for (size_t i = 0; i < n; ++i) pesos[i] = exacto[i] * 100;
    r.pagado = Reparte(r.total, pesos);
    if (tasa < 0) {
        r.neto = Reparte(r.subtotal, pesos);
    } else {
        // Taxed lines share the subtotal's taxed part before tax, the exempt ones the rest.
        const double divisor = 1 + tasa / 100.0;
        std::vector<double> conIVA, sinIVA;
        for (size_t i = 0; i < n; ++i) {
            if (lineas[i].iva) conIVA.push_back(pesos[i] / divisor);
            else sinIVA.push_back(pesos[i]);
        }
        const std::vector<qint64> g = Reparte(d.subtotalGravado, conIVA);
        const std::vector<qint64> e = Reparte(d.subtotal - d.subtotalGravado, sinIVA);
        r.neto.resize(n);
        for (size_t i = 0, a = 0, b = 0; i < n; ++i) r.neto[i] = lineas[i].iva ? g[a++] : e[b++];
    }
    r.bruto.resize(n);
    for (size_t i = 0; i < n; ++i) {
        const LineaVendida& l = lineas[i];
        // A line without its own discount shows one amount: the one it adds to the sum.
        r.bruto[i] = l.descuento == 0 && (tasa < 0 || !l.iva) ? r.neto[i]
                                                               : money::centavos(l.cantidad * l.precioUnit);
    }
    return r;
}

ImportesDocumento ImportesDeFilas(const db::Rows& lineas, const QString& columnaTotal) {
    std::optional<double> total;
    double descuento = 0;
    if (!lineas.empty()) {
        const db::Row& f = lineas.front();
        if (!f.isNull(columnaTotal)) total = f.real(columnaTotal);
        descuento = f.real(QStringLiteral("DescFact"));
    }
    return ImportesDe(LineasVendidas(lineas), descuento, total);
}

size_t FinDocumento(const db::Rows& filas, size_t desde) {
    const QString numero = QStringLiteral("Numero"), tipo = QStringLiteral("TipoDocto");
    size_t i = desde + 1;
    while (i < filas.size() && filas[i].integer(numero) == filas[desde].integer(numero) &&
           filas[i].text(tipo) == filas[desde].text(tipo))
        ++i;
    return i;
}

}  // namespace printing
