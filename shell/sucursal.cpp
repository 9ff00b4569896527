#include "shell/sucursal.h"

#include "platform/db/database.h"
#include "platform/system/system.h"
#include "platform/ui/prompts.h"
#include "shell/avisos.h"
#include "shell/conexion.h"
#include "shell/estado.h"
#include "shell/rutas.h"
#include "shell/texto.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcessEnvironment>
#include <QHash>

#include <cerrno>
#include <csignal>

#include <functional>

namespace shell {

namespace {

// Servers this program started, by data folder and branch, with their process ids: a server
// that has not taken its lock yet is still starting, not missing.
QHash<QString, qint64>& iniciados() {
    static QHash<QString, qint64> s;
    return s;
}

bool ProcesoVivo(qint64 pid) {
    if (pid <= 0 || (::kill(pid_t(pid), 0) != 0 && errno != EPERM)) return false;
    // An ended server nobody has reaped yet is gone all the same.
    QFile estado(QStringLiteral("/proc/%1/stat").arg(pid));
    if (!estado.open(QIODevice::ReadOnly)) return true;
    const QByteArray linea = estado.readAll();
    const int fin = linea.lastIndexOf(')');
    return fin < 0 || fin + 2 >= linea.size() || linea.at(fin + 2) != 'Z';
}

// Reads the row field by field in the table order; the first problem stops it with a reason.
class LectorParametros {
public:
    explicit LectorParametros(const db::Row& fila) : fila_(fila) {}
    QString error;

    // N: null-safe text, Val, nearest whole number (halves to even), range checked.
    bool numero(const QString& campo, int min, int max, int& destino) {
        if (!hay(campo)) return false;
        const QVariant v = fila_.value(campo);
        const double x = v.isNull() ? 0.0 : Val(texto(v));
        return rango(campo, x, min, max, destino);
    }
    // D: the value itself, which must not be Null.
    bool directo(const QString& campo, int min, int max, int& destino) {
        if (!hay(campo)) return false;
        const QVariant v = fila_.value(campo);
        if (v.isNull()) {
            error = QStringLiteral("el campo %1 está vacío").arg(campo);
            return false;
        }
        bool ok = false;
        const double x = v.typeId() == QMetaType::QString ? v.toString().trimmed().toDouble(&ok) : v.toDouble(&ok);
        if (!ok) {
            error = QStringLiteral("el campo %1 no tiene un número (%2)").arg(campo, v.toString());
            return false;
        }
        return rango(campo, x, min, max, destino);
    }
    bool textoCampo(const QString& campo, QString& destino) {
        if (!hay(campo)) return false;
        const QVariant v = fila_.value(campo);
        destino = v.isNull() ? QString() : texto(v);
        return true;
    }
    bool bandera(const QString& campo, bool& destino) {
        if (!hay(campo)) return false;
        const QVariant v = fila_.value(campo);
        destino = !v.isNull() && Val(texto(v)) == 1.0;
        return true;
    }
    bool real(const QString& campo, QVariant& destino) {
        if (!hay(campo)) return false;
        const QVariant v = fila_.value(campo);
        destino = QVariant(v.isNull() ? 0.0 : Val(texto(v)));
        return true;
    }

private:
    static QString texto(const QVariant& v) {
        return v.typeId() == QMetaType::Double ? QString::number(v.toDouble(), 'g', 15) : v.toString();
    }
    bool hay(const QString& campo) {
        if (fila_.has(campo)) return true;
        error = QStringLiteral("falta el campo %1 en la tabla Parametros").arg(campo);
        return false;
    }
    bool rango(const QString& campo, double x, int min, int max, int& destino) {
        const qint64 n = EnteroPar(x);
        if (n < min || n > max) {
            error = QStringLiteral("el campo %1 tiene un valor fuera de rango (%2)")
                        .arg(campo, QString::number(x, 'g', 15));
            return false;
        }
        destino = int(n);
        return true;
    }
    const db::Row& fila_;
};

constexpr int B0 = 0, B1 = 255, I0 = -32768, I1 = 32767;

}  // namespace

int IVAPantalla(int parametroIVA) { return parametroIVA != 0 ? parametroIVA : 16; }

bool EstableceSucursal() {
    auto& g = G();
    PonEstado(2, QStringLiteral("Estableciendo sucursal..."));
    const int suc = g.SucursalActual;
    const QString corto = suc >= 0 && suc <= 10 ? g.DescripcionC[suc] : QString();
    if (avisos().tituloPrincipal)
        avisos().tituloPrincipal(g.NombreEmp + QStringLiteral(" sucursal ") + corto);

    const QString ruta = RutaBDSucursal(suc);
    auto falla = [&](const QString& razon) {
        PonEstado(2, QString());
        ui::defaultPrompts().message(
            QStringLiteral("No se pudieron leer los parámetros de la sucursal %1 en el archivo %2: %3.")
                .arg(corto, QDir::toNativeSeparators(ruta), razon),
            ui::Icon::Critical, QStringLiteral("Parámetros de la sucursal"));
        return false;
    };
    if (suc < 0 || suc > 10) return falla(QStringLiteral("el número de sucursal %1 no es válido").arg(suc));
    if (!QFileInfo(ruta).isFile()) return falla(QStringLiteral("no existe el archivo"));

    db::Error e;
    db::Database* bd = BDSucursal(&e);
    if (!bd) return falla(e.message);
    auto fila = bd->selectOne(QStringLiteral("SELECT * FROM Parametros"), {}, &e);
    if (!fila) return falla(e.message);
    if (fila->empty()) return falla(QStringLiteral("la tabla Parametros no tiene registros"));

    LectorParametros l(*fila);
    auto mal = [&] { return falla(l.error); };
    if (!l.numero("MaxDescuentoFact", B0, B1, g.MaxDescuentoFact)) return mal();
    if (!l.numero("EspT", I0, I1, g.EspT)) return mal();
    if (!l.textoCampo("Driver", g.Driver)) return mal();
    if (!l.directo("IVA", B0, B1, g.PorcentajeIVA)) return mal();
    if (!l.numero("MUbicacion", B0, B1, g.MUbicacion)) return mal();
    if (!l.numero("Formatoticket", B0, B1, g.Formatoticket)) return mal();
    if (!l.textoCampo("PrefijoFact", g.PrefijoFact)) return mal();
    if (!l.directo("UsarServidorImp", B0, B1, g.UsarServidorImp)) return mal();
    g.BDefault = 1;
    if (!l.numero("BDefault", I0, I1, g.BDefault)) return mal();
    if (!l.numero("TraspasosDir", B0, B1, g.TraspasosDir)) return mal();
    if (g.BDefault == 0)
        ui::defaultPrompts().message(
            QStringLiteral("No hay definida una busqueda en la pantalla de ventas por default, definalo en la "
                           "pantalla de parametros."),
            ui::Icon::None, {});
    if (!l.numero("CodigosPTicket", B0, B1, g.CodigosPTicket)) return mal();
    if (!l.textoCampo("Printer1", g.Printer1)) return mal();
    if (!l.textoCampo("Printer2", g.Printer2)) return mal();
    if (!l.textoCampo("Printer3", g.Printer3)) return mal();
    if (!l.numero("OpenCDrawer", B0, B1, g.OpenCDrawer)) return mal();
    if (!l.numero("PagosMultiples", B0, B1, g.PagosMultiples)) return mal();
    if (!l.numero("GenAgregar", B0, B1, g.GenAgregar)) return mal();
    if (!l.numero("ControlCaja", B0, B1, g.ControlCaja)) return mal();
    if (!l.real("VentasaTicket", g.VentasaTicket)) return mal();
    if (!l.real("CotizacionaTicket", g.CotizacionaTicket)) return mal();
    if (!l.real("TraspasosaTicket", g.TraspasosaTicket)) return mal();
    if (!l.real("FacturaaTicket", g.FacturaaTicket)) return mal();
    if (!l.numero("ParTickets", B0, B1, g.ParTickets)) return mal();
    if (!l.numero("ListaPrecioDef", B0, B1, g.ListaPrecioDef)) return mal();
    if (!l.numero("NTimesCajon", B0, B1, g.NTimesCajon)) return mal();
    if (!l.bandera("FacturaE", g.FacturaE)) return mal();
    if (!l.numero("nTimesTicket", B0, B1, g.nTimesTicket)) return mal();
    if (!l.numero("VerDesctoVenta", B0, B1, g.VerDesctoVenta)) return mal();
    if (!l.numero("MDescripcion", B0, B1, g.MDescripcion)) return mal();
    if (!l.numero("MNombre", B0, B1, g.MNombre)) return mal();
    if (g.MDescripcion == 0 && g.MNombre == 0) g.MNombre = 1;  // the sale grid shows at least the name
    if (!l.textoCampo("EncTicket", g.EncTicket)) return mal();
    if (!l.textoCampo("PieTicket", g.PieTicket)) return mal();
    HabilitaMenu(QStringLiteral("mCajonDinero"), g.ControlCaja == 1);
    int* teclas[] = {&g.tecla1ticket, &g.tecla2ticket, &g.tecla3ticket, &g.tecla4ticket, &g.tecla5ticket,
                     &g.tecla6ticket};
    for (int i = 0; i < 6; ++i)
        if (!l.numero(QStringLiteral("tecla%1ticket").arg(i + 1), B0, B1, *teclas[i])) return mal();
    if (!l.numero("MetodoImpresion", B0, B1, g.MetodoImpresion)) return mal();
    if (!l.numero("PreguntaCompVenta", B0, B1, g.PreguntaCompVenta)) return mal();
    if (!l.numero("PreguntaCompES", B0, B1, g.PreguntaCompES)) return mal();
    if (!l.numero("CantidadAuto", B0, B1, g.CantidadAuto)) return mal();
    if (!l.directo("TFuente", B0, B1, g.TFuente)) return mal();
    if (!l.directo("IncrementoAP", B0, B1, g.IncrementoAP)) return mal();
    if (!l.directo("Ajuste", B0, B1, g.Ajuste)) return mal();
    PonEstado(2, QString());

    if (const QString aviso = AvisoServidorImpresion(); !aviso.isEmpty())
        ui::defaultPrompts().message(aviso, ui::Icon::Warning);
    return true;
}

bool IniciaServidorImpresion(const QString& carpetaDatos, int sucursal, QString* motivo) {
    if (motivo) motivo->clear();
    const QString clave = SinSeparadorFinal(carpetaDatos) + QStringLiteral("|%1").arg(sucursal);
    // The lock tells whether a server runs; one that closed or crashed is started again.
    if (sys::isLockHeld(sys::printServerLockPath(carpetaDatos, sucursal))) return false;
    if (ProcesoVivo(iniciados().value(clave, 0))) return false;
    const QString plovix = UnirRuta(RutaAplicacion(), QStringLiteral("Plovix"));
    const QString programa = UnirRuta(plovix, QStringLiteral("tarvex"));
    const QFileInfo info(programa);
    auto falla = [&](const QString& por) {
        if (motivo) *motivo = por;
        return false;
    };
    if (!info.exists()) return falla(QStringLiteral("no está el programa %1").arg(programa));
    if (!info.isFile() || !info.isExecutable())
        return falla(QStringLiteral("el programa %1 no se puede ejecutar").arg(programa));
    QProcessEnvironment env;
    env.insert(QStringLiteral("TARVEX_HOME"), plovix);
    env.insert(QStringLiteral("TARVEX_MINIMIZADO"), QStringLiteral("1"));
    qint64 pid = 0;
    if (!sys::startDetached(programa, {}, env, plovix, &pid))
        return falla(QStringLiteral("el programa %1 no arrancó").arg(programa));
    iniciados().insert(clave, pid);
    return true;
}

QString AvisoServidorImpresion() {
    const EstadoGlobal& g = G();
    if (g.UsarServidorImp == 0) return {};
    QString motivo;
    if (IniciaServidorImpresion(g.CarpetaDatos, g.SucursalActual, &motivo) || motivo.isEmpty()) return {};
    return QStringLiteral("No se pudo iniciar el servidor de impresión: %1. Lo que se mande a imprimir en el "
                          "servidor quedará en espera hasta que se inicie.")
        .arg(motivo);
}

void OlvidaServidoresIniciados() { iniciados().clear(); }

}  // namespace shell
