#include "shell/texto.h"

#include "platform/money/money.h"

#include <QHash>
#include <QLocale>
#include <QRegularExpression>

#include <cmath>
#include <cstdlib>
#include <limits>
#include <string>

namespace shell {

namespace {

bool esBlanco(QChar c) { return c == u' ' || c == u'\t' || c == u'\n' || c == u'\r'; }

QString agrupa(const QString& entero) {
    QString out;
    const int n = entero.size();
    for (int i = 0; i < n; ++i) {
        if (i > 0 && (n - i) % 3 == 0) out += u',';
        out += entero[i];
    }
    return out;
}

}  // namespace

double Val(const QString& text) {
    QString s;
    s.reserve(text.size());
    for (QChar c : text)
        if (!esBlanco(c)) s += c;
    if (s.size() >= 2 && s[0] == u'&') {
        const QChar base = s[1].toUpper();
        int radix = base == u'H' ? 16 : base == u'O' ? 8 : 0;
        if (radix) {
            qint64 v = 0;
            int i = 2;
            for (; i < s.size(); ++i) {
                bool ok = false;
                const int d = QString(s[i]).toInt(&ok, radix);
                if (!ok) break;
                v = v * radix + d;
                if (v > std::numeric_limits<quint32>::max()) break;
            }
            return double(v);
        }
    }
    std::string num;
    int i = 0;
    const int n = s.size();
    if (i < n && (s[i] == u'+' || s[i] == u'-')) num.push_back(char(s[i++].unicode()));
    bool digitos = false, punto = false;
    for (; i < n; ++i) {
        const QChar c = s[i];
        if (c >= u'0' && c <= u'9') { num.push_back(char(c.unicode())); digitos = true; }
        else if (c == u'.' && !punto) { num.push_back('.'); punto = true; }
        else break;
    }
    if (!digitos) return 0.0;
    if (i < n && (s[i].toUpper() == u'E' || s[i].toUpper() == u'D')) {
        int j = i + 1;
        std::string ex = "e";
        if (j < n && (s[j] == u'+' || s[j] == u'-')) ex.push_back(char(s[j++].unicode()));
        bool exDig = false;
        for (; j < n && s[j] >= u'0' && s[j] <= u'9'; ++j) { ex.push_back(char(s[j].unicode())); exDig = true; }
        if (exDig) num += ex;
    }
    const double v = std::strtod(num.c_str(), nullptr);
    return std::isfinite(v) ? v : 0.0;
}

qint64 EnteroPar(double value) {
    if (!std::isfinite(value) || std::fabs(value) >= 9.2e18) return 0;
    return qint64(std::nearbyint(value));
}

qint64 ValEntero(const QString& text) { return EnteroPar(Val(text)); }

double QuitaComas(const QString& text) {
    QString s = text;
    s.remove(u',');
    return Val(s);
}

std::optional<qint64> EnteroTecleado(const QString& text) {
    const QString t = text.trimmed();
    if (t.isEmpty() || t.size() > 10) return std::nullopt;
    qint64 n = 0;
    for (QChar c : t) {
        if (c < u'0' || c > u'9') return std::nullopt;
        n = n * 10 + (c.unicode() - u'0');
    }
    if (n > 2147483647) return std::nullopt;
    return n;
}

QString ExtraeNumero(const QString& text) {
    QString out;
    for (QChar c : text)
        if ((c >= u'0' && c <= u'9') || c == u'.' || c == u'-') out += c;
    return out;
}

namespace {

// LeeNumero's reading; `grande` tells a well-formed number refused only for its size.
std::optional<double> LeeNumeroTexto(const QString& texto, bool conSigno, bool* grande) {
    QString t = texto.trimmed();
    int i = 0;
    if (conSigno && i < t.size() && (t[i] == QLatin1Char('-') || t[i] == QLatin1Char('+'))) ++i;
    int digitos = 0, puntos = 0, grupo = 0, comas = 0;
    bool soloCeros = true;  // the figure so far is all zeros: a comma there is a decimal mark
    bool comaDecimal = false;
    for (; i < t.size(); ++i) {
        const QChar c = t[i];
        if (c >= QLatin1Char('0') && c <= QLatin1Char('9')) {
            ++digitos;
            ++grupo;
            if (c != QLatin1Char('0') && comas == 0 && puntos == 0) soloCeros = false;
        } else if (c == QLatin1Char(',') && comas == 0 && puntos == 0 && grupo > 0 && soloCeros) {
            comaDecimal = true;
            ++puntos;
            grupo = 0;
            t[i] = QLatin1Char('.');
        } else if (c == QLatin1Char(',') && puntos == 0 && grupo > 0 && (comas == 0 ? grupo <= 3 : grupo == 3)) {
            ++comas;
            grupo = 0;
        } else if (c == QLatin1Char('.') && puntos == 0 && (comas == 0 || grupo == 3)) {
            ++puntos;
            grupo = 0;
        } else {
            return std::nullopt;
        }
    }
    // A comma's group is closed by three digits, whether the number ends or its decimals follow;
    // a decimal comma needs its decimals.
    if (digitos == 0 || (comas > 0 && puntos == 0 && grupo != 3) || (comaDecimal && grupo == 0)) return std::nullopt;
    t.remove(QLatin1Char(','));
    bool ok = false;
    const double v = t.toDouble(&ok);
    if (!ok) return std::nullopt;
    if (!(std::fabs(v) < kNumeroMaximo)) {
        if (grande) *grande = true;
        return std::nullopt;
    }
    return v;
}

}  // namespace

std::optional<double> LeeNumero(const QString& texto, bool conSigno) {
    return LeeNumeroTexto(texto, conSigno, nullptr);
}

std::optional<double> LeeNumeroEn(const QString& texto, const QString& campo, const RangoNumero& rango,
                                  QString* mensaje) {
    bool grande = false;
    const std::optional<double> v = LeeNumeroTexto(texto, true, &grande);
    QString porque;
    const double maximo = std::min(rango.maximo, kNumeroMaximo - 0.01);
    if (!v && !grande)
        porque = MensajeNumero(campo);
    else if (grande || *v > maximo)
        porque = QString::fromUtf8("El dato de \"%1\" no puede pasar de %2.")
                     .arg(campo, money::formatea(maximo).remove(QRegularExpression(QStringLiteral("\\.00$"))));
    else if (*v < 0 && !rango.negativo)
        porque = QString::fromUtf8("El dato de \"%1\" no puede ser negativo.").arg(campo);
    else if (*v == 0 && !rango.cero)
        porque = (rango.negativo ? QString::fromUtf8("El dato de \"%1\" no puede ser cero.")
                                 : QString::fromUtf8("El dato de \"%1\" debe ser mayor que cero."))
                     .arg(campo);
    if (porque.isEmpty()) return v;
    if (mensaje) *mensaje = porque;
    return std::nullopt;
}

std::optional<qint64> LeeEnteroEn(const QString& texto, const QString& campo, const RangoNumero& rango,
                                  QString* mensaje) {
    bool grande = false;
    const std::optional<double> leido = LeeNumeroTexto(texto, true, &grande);
    if ((!leido && !grande) || (leido && *leido != std::floor(*leido))) {
        if (mensaje) *mensaje = MensajeEntero(campo);
        return std::nullopt;
    }
    const std::optional<double> v = LeeNumeroEn(texto, campo, rango, mensaje);
    if (!v) return std::nullopt;
    return qint64(*v);
}

QString MensajeEntero(const QString& campo) {
    return QString::fromUtf8("El dato de \"%1\" no es un número entero válido: escriba sólo cifras, sin punto "
                             "decimal ni letras (por ejemplo 3).")
        .arg(campo);
}

QString MensajeNumero(const QString& campo) {
    return QString::fromUtf8("El dato de \"%1\" no es un número válido: escriba sólo cifras, con punto decimal "
                             "y, si quiere, comas cada tres cifras (por ejemplo 5,000.50).")
        .arg(campo);
}

QString MensajeRequerido(const QString& campo) {
    return QString::fromUtf8("Falta el dato de \"%1\": escríbalo para poder guardar. No se guardó nada.").arg(campo);
}

QString ReemplazaEnter(const QString& text) {
    QString s = text;
    s.replace(QStringLiteral("[ENTER]"), QStringLiteral("\n"));
    return s;
}

bool ValidaCaracteresRFC(const QString& text) {
    static const QString permitidos = QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789");
    for (QChar c : text)
        if (!permitidos.contains(c.toUpper())) return false;
    return true;
}

void ProcedimientoVacio() {}

double Redondea(double value, int decimales) { return money::redondea(value, decimales); }

qint64 Centavos(double value) { return money::centavos(value); }

QString Formato(double value, const QString& patron) {
    const int pos = patron.indexOf(u'.');
    const QString parteEntera = pos >= 0 ? patron.left(pos) : patron;
    const QString parteDecimal = pos >= 0 ? patron.mid(pos + 1) : QString();
    // Literal text before the first and after the last placeholder stays as written.
    int primero = -1, ultimo = -1;
    for (int i = 0; i < patron.size(); ++i)
        if (patron[i] == u'#' || patron[i] == u'0') { if (primero < 0) primero = i; ultimo = i; }
    if (primero < 0) return QString::number(value, 'g', 15);
    const QString prefijo = patron.left(std::min(primero, pos >= 0 ? pos : primero));
    const QString sufijo = patron.mid(std::max(ultimo + 1, pos >= 0 ? pos + 1 + int(parteDecimal.size()) : ultimo + 1));

    const int minEntero = int(parteEntera.count(u'0'));
    const bool grupos = parteEntera.contains(u',');
    const int decObligados = int(parteDecimal.count(u'0'));
    const int decimales = decObligados + int(parteDecimal.count(u'#'));

    qint64 u = 0;
    bool negativo = value < 0;
    QString entero, fraccion;
    if (money::magnitudRedondeada(value, decimales, &u)) {
        const QString d = QString::number(u).rightJustified(decimales + 1, u'0');
        entero = d.left(d.size() - decimales);
        fraccion = d.right(decimales);
        negativo = negativo && u != 0;  // what rounds to zero shows no sign
    } else {
        const QString d = QString::number(std::fabs(value), 'f', decimales);
        const int p = d.indexOf(u'.');
        entero = p >= 0 ? d.left(p) : d;
        fraccion = p >= 0 ? d.mid(p + 1) : QString();
    }
    while (entero.size() > 1 && entero.startsWith(u'0')) entero.remove(0, 1);
    if (entero == QLatin1String("0")) entero.clear();
    entero = entero.rightJustified(minEntero, u'0');
    while (fraccion.size() > decObligados && fraccion.endsWith(u'0')) fraccion.chop(1);
    if (grupos) entero = agrupa(entero);
    QString out = entero;
    if (!fraccion.isEmpty() || (pos >= 0 && decObligados > 0)) out += u'.' + fraccion;
    return prefijo + (negativo ? QStringLiteral("-") : QString()) + out + sufijo;
}

QString FormatoFecha(const QDate& fecha, const QString& patron) {
    if (!fecha.isValid()) return {};
    QString out;
    const QString p = patron.toLower();
    for (int i = 0; i < p.size();) {
        if (p.mid(i, 4) == QLatin1String("yyyy")) { out += QString::number(fecha.year()).rightJustified(4, u'0'); i += 4; }
        else if (p.mid(i, 2) == QLatin1String("yy")) { out += QString::number(fecha.year() % 100).rightJustified(2, u'0'); i += 2; }
        else if (p.mid(i, 2) == QLatin1String("dd")) { out += QString::number(fecha.day()).rightJustified(2, u'0'); i += 2; }
        else if (p.mid(i, 2) == QLatin1String("mm")) { out += QString::number(fecha.month()).rightJustified(2, u'0'); i += 2; }
        else { out += patron[i]; ++i; }
    }
    return out;
}

QString NombreMes(int mes) {
    static const char* const meses[] = {"enero", "febrero", "marzo", "abril", "mayo", "junio", "julio",
                                        "agosto", "septiembre", "octubre", "noviembre", "diciembre"};
    return mes >= 1 && mes <= 12 ? QString::fromUtf8(meses[mes - 1]) : QString();
}

QString FechaLarga(const QDate& fecha) {
    if (!fecha.isValid()) return {};
    static const char* const dias[] = {"lunes", "martes", "miércoles", "jueves", "viernes", "sábado", "domingo"};
    const QString texto = QStringLiteral("%1, %2 de %3 de %4")
                              .arg(QString::fromUtf8(dias[fecha.dayOfWeek() - 1]))
                              .arg(fecha.day())
                              .arg(NombreMes(fecha.month()))
                              .arg(fecha.year());
    return texto.toUpper();
}

QString FechaISO(const QDate& fecha) { return fecha.toString(Qt::ISODate); }

QString FechaHoraISO(const QDateTime& momento) {
    return momento.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
}

QString Ajusta(const QString& text, int ancho) { return text.left(ancho).leftJustified(ancho, u' '); }

QString NombreTipoDocumento(const QString& letra) {
    static const QHash<QString, QString> nombres{{QStringLiteral("T"), QStringLiteral("Ticket")},
                                                 {QStringLiteral("F"), QStringLiteral("Factura")},
                                                 {QStringLiteral("E"), QStringLiteral("Factura electrónica")},
                                                 {QStringLiteral("C"), QStringLiteral("Cotización")}};
    return nombres.value(letra.trimmed().toUpper(), letra);
}

QString NombreStatusDocumento(const QString& status) {
    bool numero = false;
    const int s = status.trimmed().toInt(&numero);
    if (!numero) return status;
    return s == 1 ? QStringLiteral("Vigente") : QStringLiteral("Cancelado");
}

}  // namespace shell
