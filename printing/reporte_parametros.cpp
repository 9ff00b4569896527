#include "printing/reporte_parametros.h"

#include "shell/estado.h"

namespace printing {
namespace {

enum Columna { Nombre = 0, Valor = 1, Descripcion = 2, Tipo = 3 };

bool filaValida(int fila) {
    return fila >= 0 && fila < kFilasParametros;
}

QString celda(int fila, Columna c) {
    return filaValida(fila) ? G().ParametrosReporte[fila][c] : QString();
}

}  // namespace

void LimpiaParametrosReporte() {
    for (auto& fila : G().ParametrosReporte)
        for (auto& texto : fila)
            texto.clear();
    G().ParamCancelado = 1;
}

bool AgregaParametroReporte(const QString& nombre, const QString& valor, const QString& descripcion,
                            const QString& tipo) {
    for (auto& fila : G().ParametrosReporte) {
        if (fila[Nombre].isEmpty()) {
            fila[Nombre] = nombre;
            fila[Valor] = valor;
            fila[Descripcion] = descripcion;
            fila[Tipo] = tipo;
            return true;
        }
    }
    return false;
}

QString ObtenerParametroReporte(const QString& nombre) {
    for (const auto& fila : G().ParametrosReporte)
        if (fila[Nombre] == nombre)
            return fila[Valor];
    return {};
}

int NumParametrosReporte() {
    int n = 0;
    for (const auto& fila : G().ParametrosReporte)
        if (!fila[Nombre].isEmpty())
            ++n;
    return n;
}

QString NombreParametro(int fila) { return celda(fila, Nombre); }
QString ValorParametro(int fila) { return celda(fila, Valor); }
QString DescripcionParametro(int fila) { return celda(fila, Descripcion); }
QString TipoParametro(int fila) { return celda(fila, Tipo); }

void PonValorParametro(int fila, const QString& valor) {
    if (filaValida(fila))
        G().ParametrosReporte[fila][Valor] = valor;
}

int IndiceCombo(const QString& valor) {
    const QString t = valor.trimmed();
    qsizetype i = 0;
    while (i < t.size() && t[i].isDigit())
        ++i;
    bool ok = false;
    const int n = t.left(i).toInt(&ok);
    return ok ? n : 0;
}

int IndiceCombo(const QString& valor, const QStringList& elementos) {
    const int porTexto = static_cast<int>(elementos.indexOf(valor));
    if (porTexto >= 0)
        return porTexto;
    const int i = IndiceCombo(valor);
    return i >= 0 && i < elementos.size() ? i : 0;
}

void ResuelveCombos(const QStringList& elementos) {
    if (elementos.isEmpty())
        return;
    for (int f = 0; f < kFilasParametros; ++f) {
        if (NombreParametro(f).isEmpty() || TipoParametro(f) != QLatin1String("Combo"))
            continue;
        PonValorParametro(f, elementos.value(IndiceCombo(ValorParametro(f), elementos)));
    }
}

QString TextoFecha(const QDate& fecha) {
    return fecha.toString(QStringLiteral("dd/MM/yyyy"));
}

QDate FechaDeTexto(const QString& texto) {
    const QString t = texto.trimmed();
    for (const QString& f : {QStringLiteral("dd/MM/yyyy"), QStringLiteral("d/M/yyyy"),
                             QStringLiteral("yyyy-MM-dd")}) {
        const QDate d = QDate::fromString(t, f);
        if (d.isValid())
            return d;
    }
    return {};
}

}  // namespace printing
