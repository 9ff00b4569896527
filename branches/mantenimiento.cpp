#include "branches/mantenimiento.h"

#include "branches/archivos.h"
#include "platform/ui/prompts.h"
#include "shell/avisos.h"
#include "shell/conexion.h"
#include "shell/estado.h"
#include "shell/rutas.h"
#include "shell/rutinas_bd.h"

#include <QDir>
#include <QFileInfo>

namespace sucursales {

namespace {

const char kNoExiste[] = "El Archivo de sucursal no existe.";
const char kClienteMostrador[] = "XAXX010101000";

// Statements in order; the first that fails stops the task (its transaction is rolled back).
bool corre(db::Database& bd, std::initializer_list<const char*> sentencias, db::Error* error) {
    for (const char* s : sentencias)
        if (!shell::ProcesaSQL(bd, QString::fromUtf8(s), {}, error)) return false;
    return true;
}

std::unique_ptr<db::Database> abreSucursal(const QString& ruta, db::Error* e) {
    db::OpenOptions op;
    op.password = shell::ClaveArchivos();
    op.centralPath = shell::RutaBDCodigos();
    op.createViews = false;
    auto bd = db::Database::open(ruta, op, e);
    // Without the central file the linked tables would answer "no such table" one by one.
    if (bd && bd->centralPath().isEmpty()) {
        if (e) *e = {db::ErrorKind::NotFound, 0, QStringLiteral("No se encontró el archivo central ") + shell::RutaBDCodigos()};
        return nullptr;
    }
    return bd;
}

bool cambiaCentral(int tarea, const QString& catalogo) {
    if (tarea == CatalogosT)
        return catalogo != QLatin1String("Cuentas");
    return tarea == RecuperaProductosT || tarea == PasaTemporalesT || tarea == InicializarT;
}

}  // namespace

QString NombreTarea(int tarea) {
    static const char* nombres[] = {"",
                                    "Inicializa Existencias a Cero.",
                                    "Borrar Historial de Ventas.",
                                    "Borrar Historial de Ventas Crédito.",
                                    "Actualizar rutas de las ligas a la base central.",
                                    "Borrar Catalogos.",
                                    "Recuperar CatProductos Anteriores.",
                                    "Valida Existencias.",
                                    "Compactar Base.",
                                    "Traspaso de Existencias y Precio usados temp. EXP",
                                    "Inicializar"};
    return tarea >= 1 && tarea <= kTareas ? QString::fromUtf8(nombres[tarea]) : QString();
}

const QStringList& ListaCatalogos() {
    static const QStringList l = {QStringLiteral("Todos"),     QStringLiteral("Producto"),  QStringLiteral("Cliente"),
                                  QStringLiteral("Proveedores"), QStringLiteral("Categoria"), QStringLiteral("Cuentas")};
    return l;
}

QString TextoConfirmacion(const QString& corto, const Seleccion& s) {
    QStringList lineas, centrales;
    for (int t = 1; t <= kTareas; ++t) {
        if (!s.marcada[t]) continue;
        QString linea = QStringLiteral("- ") + NombreTarea(t);
        if (t == CatalogosT) linea += QStringLiteral(" (") + s.catalogo + u')';
        lineas << linea;
        if (cambiaCentral(t, s.catalogo)) centrales << QStringLiteral("- ") + NombreTarea(t);
    }
    QString texto = QStringLiteral("Se realizarán estos procesos en la sucursal %1:\n%2").arg(corto, lineas.join(u'\n'));
    if (!centrales.isEmpty())
        texto += QStringLiteral("\n\nEstos cambian los catálogos centrales, los mismos para todas las sucursales:\n") +
                 centrales.join(u'\n');
    return texto + QStringLiteral("\n\n¿Desea continuar?");
}

bool InicializaExistencias(db::Database& bd, db::Error* error) {
    return corre(bd, {"Update Existencia Set Existencia=0"}, error) && BorraTraspasos(bd, error);
}

bool BorraTraspasos(db::Database& bd, db::Error* error) {
    return BorraCatalogo(bd, QStringLiteral("DEInventario"), error) && BorraCatalogo(bd, QStringLiteral("EInventario"), error);
}

bool BorraHistorialVentas(db::Database& bd, db::Error* error) {
    // The print queue goes too: the server would wait for invoices that no longer exist.
    return corre(bd,
                 {"Delete From Venta", "Delete From DetalleVenta", "Delete From NotaCredito", "Delete From DNotaCredito",
                  "Update Folios set ValorFolio=1 where NumeroFolio=0 Or NumeroFolio = 1 Or NumeroFolio=2 or NumeroFolio=3",
                  "Update Folios set ValorFolio=0 where NumeroFolio=6 or  NumeroFolio=7 Or NumeroFolio=8 ",
                  "Delete From MovimientosCaja", "Delete From CortesCaja", "Delete From EInventario",
                  "Delete From DEInventario", "Delete From Solicitafolios"},
                 error);
}

bool BorrahistCredito(db::Database& bd, db::Error* error) {
    return corre(bd, {"Delete from Cuentas", "Delete from CuentasMovto"}, error);
}

bool BorraCatalogos(db::Database& bd, db::Error* error) {
    for (int i = 1; i < ListaCatalogos().size(); ++i)
        if (!BorraCatalogo(bd, ListaCatalogos()[i], error)) return false;
    return true;
}

bool BorraCatalogo(db::Database& bd, const QString& tabla, db::Error* error) {
    const QString t = tabla.trimmed();
    if (t.isEmpty()) {
        ui::defaultPrompts().message(QStringLiteral("El nombre del catálogo es invalido."), ui::Icon::None);
        return db::fail(error, db::ErrorKind::Other, QStringLiteral("El nombre del catálogo es invalido."));
    }
    if (!bd.tableExists(t))
        return db::fail(error, db::ErrorKind::NoSuchTable, QStringLiteral("No existe la tabla %1.").arg(t));
    QString sql = QStringLiteral("Delete from \"%1\"").arg(QString(t).replace(u'"', QStringLiteral("\"\"")));
    const Condicion quedan = FilasQueQuedan(t);
    if (!quedan.sql.isEmpty()) sql += QStringLiteral(" Where Not (") + quedan.sql + u')';
    const QVariantList& p = quedan.params;
    if (!shell::ProcesaSQL(bd, sql, p, error)) return false;
    // Movements without their account would be counted by nobody and shown by nothing.
    if (t.compare(QLatin1String("Cuentas"), Qt::CaseInsensitive) == 0 &&
        !shell::ProcesaSQL(bd, QStringLiteral("Delete from CuentasMovto"), {}, error))
        return false;
    shell::PonEstado(2, QStringLiteral("Catálogo Borrado ") + t);
    return true;
}

Condicion FilasQueQuedan(const QString& tabla) {
    // Loose articles, the default category and the counter-sale customer.
    if (tabla.compare(QLatin1String("Producto"), Qt::CaseInsensitive) == 0) return {QStringLiteral("ClaveProducto = 1"), {}};
    if (tabla.compare(QLatin1String("Categoria"), Qt::CaseInsensitive) == 0) return {QStringLiteral("ClaveCategoria = 0"), {}};
    if (tabla.compare(QLatin1String("Cliente"), Qt::CaseInsensitive) == 0)
        return {QStringLiteral("RFC = ?"), {QString::fromLatin1(kClienteMostrador)}};
    return {};
}

bool ValidaExistencias(db::Database& bd, db::Error* error) {
    if (!corre(bd, {"ValidaExistencia", "AsignaE0", "AjusteEx"}, error)) return false;
    shell::PonEstado(2, QStringLiteral("Actualización terminada."));
    return true;
}

bool PasaTemporales(db::Database& bd, db::Error* error) {
    return corre(bd, {"consPasaTemp", "Update Producto set Precio1=0, Descripcion2=''"}, error);
}

bool InicializarInicio(db::Database& bd, db::Error* error) {
    if (!corre(bd,
               {"Delete from Producto Where ClaveProducto<>1 ", "Delete from Categoria Where ClaveCategoria >2 ",
                "Delete from Proveedores  "},
               error))
        return false;
    if (!shell::ProcesaSQL(bd, QStringLiteral("Delete from Cliente Where RFC<>'V' And RFC<>?"),
                           {QString::fromLatin1(kClienteMostrador)}, error))
        return false;
    // A deleted user's permissions go with him, so a new user of that number starts without them.
    return corre(bd,
                 {"Delete from Sucursales Where IdSucursal<>1 ", "Delete from Personal Where ClavePersonal>4 ",
                  "Delete from UsuarioPermiso Where IdUsuario Not In (Select ClavePersonal From Personal)",
                  "Update Empresa set NumSucursales=1, Credito=0,RFC='XXXXXXXXXXXXX', RegxFactura= 0 Where SucursalDefault=1 ",
                  "Update Empresa set Credito=1 "},
                 error);
}

bool RestauraProductos(const QString& rutaCentral, db::Error* error) {
    auto bd = AbreArchivo(rutaCentral, error);
    if (!bd) return false;
    const QString sin = QStringLiteral("No hay respaldo de productos para recuperar.");
    if (!bd->tableExists(QStringLiteral("RProducto"))) return db::fail(error, db::ErrorKind::NoSuchTable, sin);
    QStringList comunes;
    const auto respaldo = bd->fields(QStringLiteral("RProducto"));
    for (const db::FieldInfo& f : bd->fields(QStringLiteral("Producto")))
        for (const db::FieldInfo& r : respaldo)
            if (r.name.compare(f.name, Qt::CaseInsensitive) == 0) comunes << u'"' + f.name + u'"';
    db::WriteTransaction t(*bd);
    if (!t.begin({}, error)) return false;
    auto n = bd->scalar(QStringLiteral("SELECT count(*) FROM RProducto"), {}, error);
    if (!n) return false;
    if (n->toInt() == 0) return db::fail(error, db::ErrorKind::Other, sin);
    const QString columnas = comunes.join(QStringLiteral(", "));
    if (!shell::ProcesaSQL(*bd, QStringLiteral("Delete From Producto"), {}, error) ||
        !shell::ProcesaSQL(*bd, QStringLiteral("INSERT INTO Producto (%1) SELECT %1 FROM RProducto").arg(columnas), {}, error))
        return false;
    return t.commit(error);
}

bool CierraArchivos(const Seleccion& s) { return s.marcada[LigasT] || s.marcada[CompactaT]; }

bool ProcesaSucursal(const Sucursal& suc, const Seleccion& s, ui::Prompts& p) {
    const QString ruta = RutaArchivoSucursal(suc.DescripcionC);
    if (suc.DescripcionC.trimmed().isEmpty() || !QFileInfo(ruta).isFile()) {
        p.message(QString::fromUtf8(kNoExiste), ui::Icon::Warning);
        return false;
    }
    bool alguna = false;
    for (int t = 1; t <= kTareas; ++t) alguna = alguna || s.marcada[t];
    if (alguna && p.question(TextoConfirmacion(suc.DescripcionC, s), QStringLiteral("Confirmar."), false, true) !=
                      ui::Answer::Yes)
        return false;

    QStringList fallidas;
    auto falla = [&](int t, const QString& razon) {
        fallidas << NombreTarea(t);
        if (!razon.isEmpty())
            p.message(QStringLiteral("No se realizó el proceso \"%1\": %2").arg(NombreTarea(t), razon), ui::Icon::Critical);
    };
    for (int t = 1; t <= kTareas; ++t) {
        if (!s.marcada[t]) continue;
        if (t == LigasT) {
            CierraBD(ruta);
            if (!RenuevaLigas(ruta, p)) fallidas << NombreTarea(t);
            continue;
        }
        if (t == CompactaT) {
            // Nobody of ours may hold either file while it is rewritten.
            CierraBD(ruta);
            db::Database::closeAll(shell::RutaBDCodigos());
            const QString central = shell::RutaBDCodigos();
            const bool b1 = shell::CompactaBaseDatos(QFileInfo(ruta).path(), QFileInfo(ruta).fileName());
            const bool b2 = shell::CompactaBaseDatos(QFileInfo(central).path(), QFileInfo(central).fileName());
            if (!b1 || !b2) fallidas << NombreTarea(t);  // the compaction has said why
            continue;
        }
        db::Error e;
        if (t == RecuperaProductosT) {
            if (!RestauraProductos(shell::RutaBDCodigos(), &e)) falla(t, e.message);
            continue;
        }
        if (t == InicializarT && (NumeroSucursal(suc.IdSucursal) != 1 || G().SucursalActual != 1)) {
            falla(t, QStringLiteral("solo se hace en la sucursal 1, y con la sucursal 1 como la activa"));
            continue;
        }
        if (t == CatalogosT && !ListaCatalogos().contains(s.catalogo)) {
            falla(t, QStringLiteral("El nombre del catálogo es invalido."));
            continue;
        }
        auto bd = abreSucursal(ruta, &e);
        if (!bd) {
            falla(t, e.message);
            continue;
        }
        db::WriteTransaction tr(*bd);
        bool bien = tr.begin({}, &e);
        if (bien) {
            switch (t) {
            case InicializaExistenciasT: bien = InicializaExistencias(*bd, &e); break;
            case HistorialVentasT: bien = BorraHistorialVentas(*bd, &e); break;
            case HistorialCreditoT: bien = BorrahistCredito(*bd, &e); break;
            case CatalogosT:
                bien = s.catalogo == ListaCatalogos().front() ? BorraCatalogos(*bd, &e) : BorraCatalogo(*bd, s.catalogo, &e);
                break;
            case ValidaExistenciasT: bien = ValidaExistencias(*bd, &e); break;
            case PasaTemporalesT: bien = PasaTemporales(*bd, &e); break;
            case InicializarT: bien = InicializarInicio(*bd, &e); break;
            default: break;
            }
        }
        if (bien) bien = tr.commit(&e);
        if (!bien) {
            tr.rollback();
            falla(t, e.message);
        }
    }
    if (fallidas.isEmpty()) {
        shell::PonEstado(2, QStringLiteral("Ok.."));
        p.message(QStringLiteral("Proceso concluido."), ui::Icon::None);
        return true;
    }
    shell::PonEstado(2, QString());
    p.message(QStringLiteral("Proceso concluido. No se realizaron: ") + fallidas.join(QStringLiteral(", ")),
              ui::Icon::Warning);
    return false;
}

bool BorraPendientes(const QString& corto, ui::Prompts& p) {
    const QString ruta = RutaArchivoSucursal(corto);
    if (corto.trimmed().isEmpty() || !QFileInfo(ruta).isFile()) {
        p.message(QString::fromUtf8(kNoExiste), ui::Icon::Warning);
        return false;
    }
    if (p.question(QStringLiteral("Se borrarán los productos pendientes (sin documento) de todas las terminales de la "
                                  "sucursal %1. ¿Desea continuar?").arg(corto),
                   QStringLiteral("Confirmar."), false, true) != ui::Answer::Yes)
        return false;
    db::Error e;
    auto bd = abreSucursal(ruta, &e);
    bool bien = bd != nullptr;
    if (bien) {
        db::WriteTransaction tr(*bd);
        bien = tr.begin({}, &e) && corre(*bd, {"dDetalleVenta", "DVenta"}, &e) && tr.commit(&e);
    }
    if (!bien) {
        p.message(QStringLiteral("No se borraron los pendientes: ") + e.message, ui::Icon::Critical);
        return false;
    }
    p.message(QStringLiteral("ok en ") + corto, ui::Icon::None);
    return true;
}

}  // namespace sucursales
