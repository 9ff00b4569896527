#include "shell/arranque.h"

#include "platform/db/database.h"
#include "platform/ui/filechooser.h"
#include "platform/ui/prompts.h"
#include "shell/avisos.h"
#include "shell/conexion.h"
#include "shell/estado.h"
#include "shell/ligas.h"
#include "shell/rutas.h"
#include "shell/rutinas_bd.h"
#include "shell/sucursal.h"
#include "shell/texto.h"

#include <QDir>
#include <QFileInfo>

namespace shell {

namespace {

ui::Prompts& P() { return ui::defaultPrompts(); }

bool detiene(const QString& texto) {
    P().message(texto, ui::Icon::Critical, QStringLiteral("Quorvel"));
    TerminaPrograma();
    return false;
}

QString nativa(const QString& ruta) { return QDir::toNativeSeparators(ruta); }

// A whole number stored in a field: integer or real without fraction, or text of digits.
bool entero(const QVariant& v, qint64* n) {
    if (v.isNull()) return false;
    bool ok = false;
    double x = v.typeId() == QMetaType::QString ? v.toString().trimmed().toDouble(&ok) : v.toDouble(&ok);
    if (!ok || x != double(qint64(x))) return false;
    *n = qint64(x);
    return true;
}

// Set while the recovery re-reads the company under the new root: a second failure there must not
// ask again.
bool g_recuperando = false;

}  // namespace

QString TextoRecuperacion(const QString& carpetaDatos) {
    return QStringLiteral("No se logró leer la base de datos con la dirección: ") + carpetaDatos +
           QStringLiteral(" ¿Desea elegir la carpeta de datos? Apunte la direccion anterior como respaldo.");
}

QString RevisaCarpetaDatos(const QString& carpeta) {
    const QString ruta = BuscaRuta(UnirRuta(carpeta, QStringLiteral("Base de datos/BDcodigos.db")));
    if (carpeta.trimmed().isEmpty() || !QFileInfo(ruta).isFile())
        return QStringLiteral("La carpeta %1 no es una carpeta de datos: no tiene el archivo %2.")
            .arg(nativa(carpeta), nativa(QStringLiteral("Base de datos/BDcodigos.db")));
    db::Error e;
    db::OpenOptions op;
    op.password = ClaveArchivos();
    op.attachLinks = false;
    op.createViews = false;
    QString motivo;
    {
        auto bd = db::Database::open(ruta, op, &e);
        std::optional<db::Row> empresa;
        if (bd && bd->select(QStringLiteral("Select * from sucursales"), {}, &e))
            empresa = bd->selectOne(QStringLiteral("Select * from Empresa"), {}, &e);
        if (!empresa)
            motivo = QStringLiteral("No se pudo leer el archivo %1: %2").arg(nativa(ruta), e.message);
        else if (empresa->empty())
            motivo = QStringLiteral("El archivo %1 no tiene los datos de la empresa.").arg(nativa(ruta));
    }
    db::Database::closeAll(ruta);
    return motivo;
}

bool LeeDireccion(const QString& rutaApp) {
    auto& g = G();
    const QString ruta = BuscaRuta(UnirRuta(rutaApp, QStringLiteral("Direccion.db")));
    if (!QFileInfo(ruta).isFile())
        return detiene(QStringLiteral("No se encontró el archivo %1, que indica la carpeta de datos, la terminal "
                                      "y la sucursal de este equipo. El programa termina.").arg(nativa(ruta)));
    db::Error e;
    db::OpenOptions op;
    op.attachLinks = false;
    op.createViews = false;
    auto bd = db::Database::open(ruta, op, &e);
    std::optional<db::Row> fila;
    if (bd) fila = bd->selectOne(QStringLiteral("SELECT * FROM Dir"), {}, &e);
    if (!fila)
        return detiene(QStringLiteral("No se pudo leer el archivo %1: %2. El programa termina.")
                           .arg(nativa(ruta), e.message));
    if (fila->empty() || !fila->has(QStringLiteral("Direccion")) || !fila->has(QStringLiteral("Terminal")) ||
        !fila->has(QStringLiteral("Sucursal")))
        return detiene(QStringLiteral("El archivo %1 no tiene los datos del equipo (tabla Dir). El programa termina.")
                           .arg(nativa(ruta)));
    qint64 terminal = -1, sucursal = -1;
    if (!entero(fila->value(QStringLiteral("Terminal")), &terminal) || terminal < 0 || terminal > 255)
        return detiene(QStringLiteral("El número de terminal en %1 no es válido (debe ser de 0 a 255). El programa "
                                      "termina.").arg(nativa(ruta)));
    if (!entero(fila->value(QStringLiteral("Sucursal")), &sucursal) || sucursal < 0 || sucursal > 10)
        return detiene(QStringLiteral("El número de sucursal en %1 no es válido (debe ser de 0 a 10). El programa "
                                      "termina.").arg(nativa(ruta)));
    g.CarpetaDatos = SinSeparadorFinal(fila->text(QStringLiteral("Direccion")));
    g.TerminalActual = int(terminal);
    g.SucursalActual = int(sucursal);
    return true;
}

bool LeerSucursales() {
    auto& g = G();
    db::Error e;
    CierraConexiones();  // the data folder may have changed since the last read
    db::Database* bd = QFileInfo(RutaBDCodigos()).isFile() ? BDCodigos(&e) : nullptr;
    std::optional<db::Rows> filas;
    if (bd) filas = bd->select(QStringLiteral("Select * from sucursales"), {}, &e);
    if (!filas) {
        RecuperaRutaDatos();
        return false;
    }
    const QString archivo = nativa(RutaBDCodigos());
    for (const db::Row& f : *filas) {
        qint64 id = -1;
        if (!entero(f.value(QStringLiteral("IdSucursal")), &id))
            return detiene(QStringLiteral("Una sucursal de %1 tiene un número (IdSucursal) que no es válido. El "
                                          "programa termina.").arg(archivo));
        if (id < 0 || id > 10) continue;
        if (f.isNull(QStringLiteral("DescripcionC")) || !f.has(QStringLiteral("DescripcionC")))
            return detiene(QStringLiteral("La sucursal %1 de %2 no tiene nombre corto (DescripcionC). El programa "
                                          "termina.").arg(id).arg(archivo));
        g.DescripcionC[id] = f.text(QStringLiteral("DescripcionC"));
        g.DireccionSuc[id] = f.text(QStringLiteral("Direccion"));
        g.DescripcionSuc[id] = f.text(QStringLiteral("DescripcionSuc"));
        g.TelefonoSuc[id] = f.text(QStringLiteral("Telefono"));
    }

    g.MaxVendedor = 0;
    auto vendedores = bd->select(QStringLiteral("Select * from Vendedores"), {}, &e);
    bool bien = vendedores.has_value();
    if (vendedores) {
        for (const db::Row& f : *vendedores) {
            qint64 id = -1;
            if (!entero(f.value(QStringLiteral("IdVendedor")), &id) || id < 0 || id > 200) {
                bien = false;
                break;
            }
            g.NombresVendedor[id] = Ajusta(f.text(QStringLiteral("NombreVendedor")), 20);
            if (id > g.MaxVendedor) g.MaxVendedor = int(id);
        }
    }
    if (!bien) P().message(QStringLiteral("No se encontro datos vendedores"), ui::Icon::None, {});
    return true;
}

void LeerMonedas() {
    auto& g = G();
    db::Error e;
    db::Database* bd = BDCodigos(&e);
    std::optional<db::Rows> filas;
    if (bd) filas = bd->select(QStringLiteral("Select * From Monedas "), {}, &e);
    bool bien = filas && !filas->empty();
    if (filas) {
        for (const db::Row& f : *filas) {
            qint64 m = -1;
            const QVariant tc = f.value(QStringLiteral("TipoCambio"));
            bool ok = false;
            const double t = tc.isNull() ? 0.0 : tc.toDouble(&ok);
            if (!entero(f.value(QStringLiteral("Moneda")), &m) || m < 0 || m > 3 || !ok) {
                bien = false;
                break;
            }
            g.TiposCambio[m] = t;
        }
    }
    if (!bien) P().message(QStringLiteral("Error al leer el catálogo de monedas."), ui::Icon::None, {});
}

bool LeerParametros() {
    auto& g = G();
    PonEstado(2, QStringLiteral("Leyendo parámetros empresa..."));
    if (!LeerSucursales()) return false;
    const QString archivo = nativa(RutaBDCodigos());
    db::Error e;
    db::Database* bd = BDCodigos(&e);
    std::optional<db::Row> f;
    if (bd) f = bd->selectOne(QStringLiteral("Select * from Empresa"), {}, &e);
    if (!f) return detiene(QStringLiteral("No se pudieron leer los datos de la empresa en %1: %2. El programa termina.")
                               .arg(archivo, e.message));
    if (f->empty())
        return detiene(QStringLiteral("No hay datos de la empresa (tabla Empresa) en %1. El programa termina.").arg(archivo));
    g.Ajuste = 0;
    const QStringList requeridos = {QStringLiteral("NumSucursales"), QStringLiteral("Direccion"),
                                    QStringLiteral("RFC"), QStringLiteral("NombreEmp")};
    for (const QString& c : requeridos)
        if (!f->has(c) || f->isNull(c))
            return detiene(QStringLiteral("Falta el dato %1 de la empresa en %2. El programa termina.").arg(c, archivo));
    g.NumSucursales = f->text(QStringLiteral("NumSucursales"));
    g.DireccionEmp = f->text(QStringLiteral("Direccion"));
    g.RFCEmpresa = f->text(QStringLiteral("RFC"));
    g.NombreEmp = f->text(QStringLiteral("NombreEmp"));
    g.RazonSocial = f->text(QStringLiteral("RazonSocial"));
    const qint64 reg = ValEntero(f->isNull(QStringLiteral("RegxFactura")) ? QString()
                                                                          : LeerCampo(*f, QStringLiteral("RegxFactura")));
    g.RegxFactura = reg < 0 || reg > 255 ? 0 : int(reg);
    g.CreditoEmpresa = true;
    // Once a user is in, his grants govern these items: a later read of the parameters leaves them.
    if (g.UsuarioActual.isEmpty())
        for (const char* m : {"Vcredito", "PreciosCredito", "Cuentas"}) HabilitaMenu(QString::fromLatin1(m), true);
    if (avisos().nombreEmpresa) avisos().nombreEmpresa(g.NombreEmp);
    g.TFuente = 9;
    PonEstado(2, QString());
    if (QFileInfo(RutaBDSucursal(g.SucursalActual)).isFile() && !g.DescripcionC[g.SucursalActual].isEmpty()) {
        if (!EstableceSucursal()) {
            TerminaPrograma();
            return false;
        }
    }
    LeerMonedas();
    return true;
}

void RecuperaRutaDatos() {
    if (g_recuperando) return;
    const ui::Answer r = P().question(TextoRecuperacion(nativa(G().CarpetaDatos)));
    if (r != ui::Answer::Yes) {
        TerminaPrograma();
        return;
    }
    const QString palabra = P().input(
        QStringLiteral("Teclee la clave de seguridad 'pirx' sin comillas para autorizar el cambio de ruta si no esta "
                       "seguro pregunte a su supervisor ?"),
        QStringLiteral("Clave."));
    if (palabra != QLatin1String(kPalabraRuta)) {
        TerminaPrograma();
        return;
    }
    Establecerutaerr();
}

void Establecerutaerr() {
    // Only a folder that holds a readable central file is written: a wrong choice would leave this
    // terminal unable to start again.
    QString inicio = QFileInfo(G().CarpetaDatos).isDir() ? G().CarpetaDatos : RutaAplicacion();
    QString carpeta;
    for (;;) {
        carpeta = ui::defaultFileChooser().folder(QStringLiteral("Elija la carpeta de datos"), inicio);
        if (carpeta.isEmpty()) {
            P().message(QStringLiteral("La carpeta de datos no se cambió. El programa termina."), ui::Icon::None, {});
            TerminaPrograma();
            return;
        }
        carpeta = SinSeparadorFinal(QDir::cleanPath(carpeta));
        const QString motivo = RevisaCarpetaDatos(carpeta);
        if (motivo.isEmpty()) break;
        P().message(motivo + QStringLiteral(" Elija otra carpeta."), ui::Icon::Warning, {});
        inicio = carpeta;
    }
    const QString ruta = BuscaRuta(UnirRuta(RutaAplicacion(), QStringLiteral("Direccion.db")));
    db::Error e;
    db::OpenOptions op;
    op.attachLinks = false;
    op.createViews = false;
    auto bd = db::Database::open(ruta, op, &e);
    // Only the first row is the machine's; rowid picks it.
    if (!bd || !bd->exec(QStringLiteral("UPDATE Dir SET Direccion = ? WHERE rowid = (SELECT MIN(rowid) FROM Dir)"),
                         {carpeta}, &e)) {
        P().message(QStringLiteral("No se pudo escribir la nueva dirección en %1: %2. El programa termina.")
                        .arg(nativa(ruta), e.message),
                    ui::Icon::Critical, {});
        TerminaPrograma();
        return;
    }
    bd.reset();
    G().CarpetaDatos = carpeta;
    // The program ends below in any case; a failure of these reads only adds its message.
    g_recuperando = true;
    auto terminaAntes = avisos().termina;
    avisos().termina = nullptr;
    if (LeerParametros()) CreaLigasaBDCodigos();
    avisos().termina = terminaAntes;
    g_recuperando = false;
    P().message(QStringLiteral("La carpeta de datos es ahora: ") + nativa(carpeta), ui::Icon::None, {});
    P().message(QStringLiteral("Cambio hecho. Ejecute de nuevo el programa."), ui::Icon::None, {});
    TerminaPrograma();
}

void CreaLigasaBDCodigos() {
    const QString ruta = RutaBDSucursal(G().SucursalActual);
    if (G().DescripcionC[G().SucursalActual].isEmpty() || !QFileInfo(ruta).isFile()) return;
    CierraConexiones();
    for (const FallaLiga& f : LigaTablasCentrales(ruta, RutaBDCodigos(), ClaveArchivos()))
        P().message(QStringLiteral("Error ") + f.razon + QStringLiteral(" en crealiga."), ui::Icon::None, {});
}

bool LecturasArranque() {
    auto& g = G();
    if (!LeerParametros()) return false;
    InitFormasdePago();
    const QString datos = g.CarpetaDatos.toUpper();
    if (avisos().tooltipDatos) avisos().tooltipDatos(datos);
    PonEstado(3, datos);
    g.ArchivoBDCodigos = RutaBDCodigos();
    g.ArchivoBDSucursal = RutaBDSucursal(g.SucursalActual);
    return true;
}

}  // namespace shell
