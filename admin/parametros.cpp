#include "admin/parametros.h"

#include "shell/rutinas_bd.h"
#include "shell/texto.h"

#include <QRegularExpression>

namespace admin {

namespace {

QString texto(const QVariant& v)
{
    if (v.isNull())
        return {};
    return v.typeId() == QMetaType::Double ? QString::number(v.toDouble(), 'g', 15) : v.toString();
}

// The numeric value of a stored value, as the shell reads it (leading number; Null and "" give 0).
qint64 numero(const QVariant& v) { return shell::EnteroPar(shell::Val(texto(v))); }

int enLista(const QVariant& v, int cuantos)
{
    if (v.isNull())
        return -1;
    const qint64 n = numero(v);
    return n >= 0 && n < cuantos ? int(n) : -1;
}

int estado(const QVariant& v)
{
    const qint64 n = numero(v);
    return n >= 0 && n <= 2 ? int(n) : 0;
}

std::optional<qint64> entero(const QString& t)
{
    static const QRegularExpression re(QStringLiteral("^[-+]?[0-9]{1,9}$"));
    const QString s = t.trimmed();
    if (!re.match(s).hasMatch())
        return std::nullopt;
    return s.toLongLong();
}

struct Rango {
    const QString* texto;
    const char* titulo;
    qint64 min, max;
};

int bandera(bool b) { return b ? 1 : 0; }
int marcada(int estado) { return estado == 1 ? 1 : 0; }

}  // namespace

bool CargaParametros(db::Database& sucursal, ValoresParametros* v, QString* error)
{
    db::Error e;
    auto fila = sucursal.selectOne(QStringLiteral("SELECT * FROM Parametros"), {}, &e);
    if (!fila) {
        if (error)
            *error = e.message;
        return false;
    }
    if (fila->empty()) {
        if (error)
            *error = QStringLiteral("la tabla Parametros no tiene registros");
        return false;
    }
    const db::Row& f = *fila;
    auto val = [&](const char* c) { return f.value(QString::fromLatin1(c)); };
    auto txt = [&](const char* c) { return texto(val(c)); };
    auto flag = [&](const char* c) { return !val(c).isNull() && numero(val(c)) == 1; };
    ValoresParametros& p = *v;
    p.IVA = txt("IVA");
    p.Sucursal = txt("Sucursal");
    p.PrefijoFact = txt("PrefijoFact");
    p.TFuente = txt("TFuente");
    p.Ajuste = txt("Ajuste");
    p.EspT = txt("EspT");
    p.MaxDescuentoFact = txt("MaxDescuentoFact");
    p.Driver = txt("Driver");
    p.IncrementoAP = flag("IncrementoAP");
    p.UsarServidorImp = flag("UsarServidorImp");
    p.MUbicacion = flag("MUbicacion");
    p.Printer1 = txt("Printer1");
    p.Printer2 = txt("Printer2");
    p.Printer3 = txt("Printer3");
    p.CodigosPTicket = enLista(val("CodigosPTicket"), 4);
    const qint64 busqueda = numero(val("BDefault"));
    p.BDefault = busqueda >= 1 && busqueda <= 4 ? int(busqueda - 1) : -1;
    p.EncTicket = txt("EncTicket");
    p.PieTicket = txt("PieTicket");
    p.TraspasosDir = flag("TraspasosDir");
    p.OpenCDrawer = flag("OpenCDrawer");
    p.PagosMultiples = flag("PagosMultiples");
    p.GenAgregar = flag("GenAgregar");
    p.ControlCaja = flag("ControlCaja");
    p.VentasaTicket = flag("VentasaTicket");
    p.CotizacionaTicket = flag("CotizacionaTicket");
    p.TraspasosaTicket = flag("TraspasosaTicket");
    p.FacturaaTicket = flag("FacturaaTicket");
    p.NTimesCajon = QString::number(numero(val("NTimesCajon")));
    p.MetodoImpresion = enLista(val("MetodoImpresion"), 2);
    // Any layout above the simplified one shows as the simplified one.
    const qint64 formato = numero(val("Formatoticket"));
    p.Formatoticket = val("Formatoticket").isNull() || formato < 0 ? -1 : int(std::min<qint64>(formato, 1));
    p.MDescripcion = flag("MDescripcion");
    p.MNombre = flag("MNombre");
    p.ParTickets = flag("ParTickets");
    p.FacturaE = flag("FacturaE");
    p.nTimesTicket = QString::number(numero(val("nTimesTicket")));
    for (int i = 0; i < 6; ++i) {
        const qint64 t = numero(f.value(QStringLiteral("tecla%1ticket").arg(i + 1)));
        p.teclas[size_t(i)] = QString::number(t == 0 ? kTeclasPorOmision[size_t(i)] : t);
    }
    p.PreguntaCompVenta = estado(val("PreguntaCompVenta"));
    p.PreguntaCompES = estado(val("PreguntaCompES"));
    p.CantidadAuto = estado(val("CantidadAuto"));
    p.VerDesctoVenta = estado(val("VerDesctoVenta"));
    const qint64 lista = numero(val("ListaPrecioDef"));
    p.ListaPrecioDef = QString::number(lista >= 0 && lista <= 3 ? lista : 0);
    return true;
}

QString ValidaParametros(const ValoresParametros& v)
{
    const Rango rangos[] = {
        {&v.IVA, "I.V.A:", 0, 100},
        {&v.TFuente, "Tamaño Fuente:", 6, 72},
        {&v.Ajuste, "Ajuste:", 0, 255},
        {&v.EspT, "EspT:", -32768, 32767},
        {&v.MaxDescuentoFact, "DescMaxFact:", 0, 100},
        {&v.NTimesCajon, "NPulsoCajon:", 0, 255},
        {&v.ListaPrecioDef, "LPreciosxDefault:", 0, 3},
        {&v.nTimesTicket, "TicketNVeces:", 0, 255},
    };
    for (const Rango& r : rangos) {
        const auto n = entero(*r.texto);
        if (!n || *n < r.min || *n > r.max)
            return QStringLiteral("El campo %1 debe tener un número entero de %2 a %3.")
                .arg(QString::fromUtf8(r.titulo)).arg(r.min).arg(r.max);
    }
    for (int i = 0; i < 6; ++i) {
        const auto n = entero(v.teclas[size_t(i)]);
        if (!n || *n < 0 || *n > 255)
            return QStringLiteral("La tecla %1 de \"%2\" debe tener un código de tecla de 0 a 255.")
                .arg(i % 3 + 1)
                .arg(i < 3 ? QStringLiteral("Manda Ticket") : QStringLiteral("Activa Ticket"));
    }
    if (v.CodigosPTicket < 0 || v.CodigosPTicket > 3)
        return QStringLiteral("Elija el juego de códigos de la impresora de tickets.");
    if (v.MetodoImpresion < 0 || v.MetodoImpresion > 1)
        return QStringLiteral("Elija el método de impresión.");
    if (v.Formatoticket < 0 || v.Formatoticket > 1)
        return QStringLiteral("Elija el formato de ticket.");
    if (v.BDefault < -1 || v.BDefault > 3)
        return QStringLiteral("Elija la búsqueda por default.");
    return {};
}

bool GuardaParametros(db::Database& sucursal, const ValoresParametros& v, QString* error,
                      const db::LockWait& espera)
{
    auto falla = [&](const QString& razon) {
        if (error)
            *error = QStringLiteral("Error al guardar. ") + razon;
        return false;
    };
    const QString mal = ValidaParametros(v);
    if (!mal.isEmpty())
        return falla(mal);
    auto n = [](const QString& t) { return *entero(t); };
    const QVariantMap valores{
        {QStringLiteral("IVA"), n(v.IVA)},
        {QStringLiteral("PrefijoFact"), v.PrefijoFact},
        {QStringLiteral("TFuente"), n(v.TFuente)},
        {QStringLiteral("Ajuste"), n(v.Ajuste)},
        {QStringLiteral("EspT"), n(v.EspT)},
        {QStringLiteral("MaxDescuentoFact"), n(v.MaxDescuentoFact)},
        {QStringLiteral("IncrementoAP"), bandera(v.IncrementoAP)},
        {QStringLiteral("UsarServidorImp"), bandera(v.UsarServidorImp)},
        {QStringLiteral("MUbicacion"), bandera(v.MUbicacion)},
        {QStringLiteral("Printer1"), v.Printer1},
        {QStringLiteral("Printer2"), v.Printer2},
        {QStringLiteral("Printer3"), v.Printer3},
        {QStringLiteral("BDefault"), v.BDefault + 1},
        {QStringLiteral("PieTicket"), v.PieTicket},
        {QStringLiteral("EncTicket"), v.EncTicket},
        {QStringLiteral("FacturaE"), bandera(v.FacturaE)},
        {QStringLiteral("CodigosPTicket"), v.CodigosPTicket},
        {QStringLiteral("TraspasosDir"), bandera(v.TraspasosDir)},
        {QStringLiteral("GenAgregar"), bandera(v.GenAgregar)},
        {QStringLiteral("OpenCDrawer"), bandera(v.OpenCDrawer)},
        {QStringLiteral("PagosMultiples"), bandera(v.PagosMultiples)},
        {QStringLiteral("ControlCaja"), bandera(v.ControlCaja)},
        {QStringLiteral("VentasaTicket"), bandera(v.VentasaTicket)},
        {QStringLiteral("CotizacionaTicket"), bandera(v.CotizacionaTicket)},
        {QStringLiteral("TraspasosaTicket"), bandera(v.TraspasosaTicket)},
        {QStringLiteral("FacturaaTicket"), bandera(v.FacturaaTicket)},
        {QStringLiteral("VerDesctoVenta"), marcada(v.VerDesctoVenta)},
        {QStringLiteral("Formatoticket"), v.Formatoticket},
        {QStringLiteral("MNombre"), bandera(v.MNombre)},
        // Generic lines become products described by their text, so the description shows.
        {QStringLiteral("MDescripcion"), bandera(v.MDescripcion || v.GenAgregar)},
        {QStringLiteral("ParTickets"), bandera(v.ParTickets)},
        {QStringLiteral("nTimesTicket"), n(v.nTimesTicket)},
        {QStringLiteral("tecla1ticket"), n(v.teclas[0])},
        {QStringLiteral("tecla2ticket"), n(v.teclas[1])},
        {QStringLiteral("tecla3ticket"), n(v.teclas[2])},
        {QStringLiteral("tecla4ticket"), n(v.teclas[3])},
        {QStringLiteral("tecla5ticket"), n(v.teclas[4])},
        {QStringLiteral("tecla6ticket"), n(v.teclas[5])},
        {QStringLiteral("NTimesCajon"), n(v.NTimesCajon)},
        {QStringLiteral("MetodoImpresion"), v.MetodoImpresion},
        {QStringLiteral("PreguntaCompVenta"), marcada(v.PreguntaCompVenta)},
        {QStringLiteral("PreguntaCompES"), marcada(v.PreguntaCompES)},
        {QStringLiteral("CantidadAuto"), marcada(v.CantidadAuto)},
        {QStringLiteral("ListaPrecioDef"), n(v.ListaPrecioDef)},
    };
    QStringList asignaciones;
    for (auto it = valores.cbegin(); it != valores.cend(); ++it)
        asignaciones << it.key() + QStringLiteral(" = :") + it.key();
    const QString sql = QStringLiteral("UPDATE Parametros SET ") + asignaciones.join(QStringLiteral(", ")) +
                        QStringLiteral(" WHERE rowid = (SELECT MIN(rowid) FROM Parametros)");
    db::WriteTransaction t(sucursal);
    db::Error e;
    int filas = 0;
    if (!t.begin(espera, &e) || !sucursal.exec(sql, valores, &e, &filas))
        return falla(e.message);
    if (filas != 1)
        return falla(QStringLiteral("la tabla Parametros no tiene registros."));
    if (!t.commit(&e))
        return falla(e.message);
    return true;
}

std::optional<int> IVAValido(const QString& texto)
{
    const auto n = entero(texto);
    if (!n || *n < 0 || *n > 100)
        return std::nullopt;
    return int(*n);
}

bool CambiaIVAProductos(db::Database& central, int iva)
{
    return shell::ProcesaSQL(central, QStringLiteral("Update Producto set IVA=? WHERE IVA <> 0"), {iva});
}

}  // namespace admin
