#include "shell/utilidades_menu.h"

#include "platform/system/system.h"
#include "shell/arranque.h"
#include "shell/avisos.h"
#include "shell/conexion.h"
#include "shell/estado.h"
#include "shell/rutas.h"
#include "shell/rutinas_bd.h"
#include "shell/texto.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>

namespace shell {

namespace {

AccionesReimpresion& acciones() {
    static AccionesReimpresion a;
    return a;
}

}  // namespace

ResultadoFolio EFolioF(ui::Prompts& prompts, const db::LockWait& espera) {
    const int sucursal = G().SucursalActual;
    if (sucursal < 0 || sucursal > 10 || G().DescripcionC[sucursal].isEmpty() ||
        !ArchivoExiste(RutaBDSucursal(sucursal))) {
        prompts.message(QStringLiteral("No se encontraron los archivos de datos para la sucursal."),
                        ui::Icon::Critical);
        return ResultadoFolio::SinSucursal;
    }
    db::Error e;
    db::Database* bd = BDSucursal(&e);
    if (!bd) {
        MuestraErrorBD(e);
        return ResultadoFolio::Error;
    }
    const int fila = G().FacturaE ? 8 : 1;
    auto valor = bd->scalar(QStringLiteral("SELECT ValorFolio FROM Folios WHERE Numerofolio = ?"), {fila}, &e);
    if (!valor) {
        MuestraErrorBD(e);
        return ResultadoFolio::Error;
    }
    const QString respuesta = prompts.input(
        QStringLiteral("Numero actual de folio: ") + QString::number(valor->toLongLong()) +
            QStringLiteral(", Teclee el numero que sera el actual del folio, la siguiente factura se "
                           "imprimira con el folio que teclee + 1"),
        QStringLiteral("Establecer Folio."));
    if (respuesta.isEmpty()) return ResultadoFolio::Cancelado;
    const auto nuevo = EnteroTecleado(respuesta);
    if (!nuevo) {
        prompts.message(QString::fromUtf8("El valor que tecleó para el folio no es válido."));
        return ResultadoFolio::NoValido;
    }
    db::WriteTransaction tr(*bd);
    if (!tr.begin(espera, &e)) {
        if (e.kind != db::ErrorKind::Cancelled) MuestraErrorBD(e);
        return ResultadoFolio::Error;
    }
    // A new invoice takes the next number after the counter or after the highest invoice stored,
    // whichever is larger: a value below that invoice would change nothing.
    auto guardada = bd->scalar(QStringLiteral("SELECT ifnull(max(Numero), 0) FROM Venta WHERE Tipo = ?"),
                               {G().FacturaE ? QStringLiteral("E") : QStringLiteral("F")}, &e);
    if (!guardada) {
        MuestraErrorBD(e);
        return ResultadoFolio::Error;
    }
    const qint64 ultima = guardada->toLongLong();
    if (*nuevo < ultima) {
        prompts.message(QString::fromUtf8("El folio no puede ser menor que %1, el número más alto de las "
                                          "facturas guardadas; la siguiente factura será la %2.")
                            .arg(ultima)
                            .arg(ultima + 1),
                        ui::Icon::Warning);
        return ResultadoFolio::MenorQueGuardado;
    }
    int cambiados = 0;
    if (!bd->exec(QStringLiteral("UPDATE Folios SET ValorFolio = ? WHERE Numerofolio = ?"), {*nuevo, fila},
                  &e, &cambiados) ||
        !tr.commit(&e)) {
        if (e.kind != db::ErrorKind::Cancelled) MuestraErrorBD(e);
        return ResultadoFolio::Error;
    }
    if (cambiados == 0) {
        prompts.message(QStringLiteral("No existe el folio %1 en la tabla Folios.").arg(fila),
                        ui::Icon::Warning);
        return ResultadoFolio::Error;
    }
    prompts.message(QStringLiteral("El valor del folio quedo actualizado a ") + QString::number(*nuevo));
    return ResultadoFolio::Actualizado;
}

std::optional<Reimpresion> InterpretaReimpresion(const QString& texto) {
    const QString t = texto.trimmed();
    if (t.isEmpty() || !t.at(0).isLetter()) return std::nullopt;
    const auto numero = EnteroTecleado(t.mid(1));
    if (!numero) return std::nullopt;
    return Reimpresion{t.at(0).toUpper(), *numero};
}

void EstableceReimpresion(AccionesReimpresion a) { acciones() = std::move(a); }
const AccionesReimpresion& AccionesReimpresionActuales() { return acciones(); }

ResultadoReimpresion RFactura_Click(ui::Prompts& prompts, const AccionesReimpresion& a) {
    const QString texto = prompts.input(QStringLiteral("Teclee el numero de la factura a reimprimir."),
                                        QStringLiteral("Reimpresion de Factura"));
    if (texto.isEmpty()) return ResultadoReimpresion::Nada;
    const auto r = InterpretaReimpresion(texto);
    if (!r) {
        prompts.message(QString::fromUtf8("Numero de documento no válido."));
        return ResultadoReimpresion::NoValido;
    }
    const bool factura = r->letra == QLatin1Char('F');
    if (factura && G().UsarServidorImp != 0) {
        if (!a.solicitud || !a.solicitud(4, r->numero)) return ResultadoReimpresion::Fallo;
        return ResultadoReimpresion::Solicitada;
    }
    if (factura) {
        if (!a.factura || !a.factura(r->numero)) return ResultadoReimpresion::Fallo;
        return ResultadoReimpresion::Factura;
    }
    // Tickets never go to the print server, which does not serve them.
    if (!a.ticket || !a.ticket(r->numero)) return ResultadoReimpresion::Fallo;
    return ResultadoReimpresion::Ticket;
}

QString CarpetaPDFActual() {
    if (G().CarpetaPDF.isEmpty()) G().CarpetaPDF = UnirRuta(QDir::homePath(), QStringLiteral("Output/PDFs"));
    return G().CarpetaPDF;
}

QString openFactE(ui::Prompts& prompts, const std::function<bool(const QString&)>& abre) {
    const QString carpeta = CarpetaPDFActual();
    const QString nombre = prompts.input(QStringLiteral("Teclee el numero de docto a leer."),
                                         QStringLiteral("Leer factura."), QStringLiteral("*.pdf"))
                               .trimmed();
    if (nombre.isEmpty()) return {};
    static const QRegularExpression prohibidos(QStringLiteral("[/\\\\*?:<>|\"]"));
    if (nombre.contains(prohibidos) || nombre.contains(QStringLiteral(".."))) {
        prompts.message(QString::fromUtf8("El nombre del documento no es válido: teclee solo el nombre "
                                          "del archivo, sin carpetas ni comodines."),
                        ui::Icon::Warning);
        return {};
    }
    const QString ruta = BuscaRuta(UnirRuta(carpeta, QStringLiteral("CFDI") + nombre));
    if (!QFileInfo(ruta).isFile()) {
        prompts.message(QString::fromUtf8("No se encontró el documento ") + QDir::toNativeSeparators(ruta),
                        ui::Icon::Warning);
        return {};
    }
    const bool abierto = abre ? abre(ruta) : sys::openDocument(ruta);
    if (!abierto) {
        prompts.message(QString::fromUtf8("No hay un programa que abra ") + QDir::toNativeSeparators(ruta),
                        ui::Icon::Warning);
        return {};
    }
    return ruta;
}

bool CambiaDireccion(ui::Prompts& prompts, const std::function<QString(const QString&)>& eligeCarpeta,
                     const QString& rutaApp) {
    const QString elegida = eligeCarpeta ? eligeCarpeta(G().CarpetaDatos) : QString();
    if (elegida.isEmpty()) return false;
    const QString carpeta = SinSeparadorFinal(elegida);
    // A folder without the data files is refused before anything is written, as the start-up
    // recovery refuses it: written, every later start would go to the recovery.
    if (const QString motivo = RevisaCarpetaDatos(carpeta); !motivo.isEmpty()) {
        prompts.message(motivo + QStringLiteral(" No se cambió la carpeta de datos."), ui::Icon::Warning);
        return false;
    }
    if (prompts.question(QDir::toNativeSeparators(carpeta) +
                             QString::fromUtf8(" será la nueva carpeta de datos, continuar ?"),
                         QStringLiteral("Confirmar.")) != ui::Answer::Yes)
        return false;

    const QString ruta = BuscaRuta(UnirRuta(rutaApp, QStringLiteral("Direccion.db")));
    db::Error e;
    db::OpenOptions op;
    op.attachLinks = false;
    op.createViews = false;
    auto bd = db::Database::open(ruta, op, &e);
    int cambiados = 0;
    if (!bd || !bd->exec(QStringLiteral("UPDATE Dir SET Direccion = ? WHERE rowid = (SELECT MIN(rowid) FROM Dir)"),
                         {carpeta}, &e, &cambiados) ||
        cambiados == 0) {
        prompts.message(QString::fromUtf8("No se pudo escribir la nueva carpeta de datos en %1. %2")
                            .arg(QDir::toNativeSeparators(ruta), e.message),
                        ui::Icon::Critical);
        return false;
    }
    bd.reset();
    CierraConexiones();
    G().CarpetaDatos = carpeta;
    // A folder whose data cannot be read has already been reported, and the program ends.
    if (LeerParametros()) {
        CreaLigasaBDCodigos();
        prompts.message(QString::fromUtf8("El cambio de carpeta de datos quedó hecho. Salga del programa, "
                                          "entre de nuevo y actualice las carpetas de las sucursales."));
    }
    TerminaPrograma();
    return true;
}

}  // namespace shell
