#include "salida.h"

#include "impresoras.h"

#include <cups/cups.h>

#include <QFile>
#include <QFontDatabase>
#include <QPainter>
#include <QPrinter>

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <optional>
#include <unistd.h>

namespace print {

namespace {

QString causaSistema(int numero) {
    switch (numero) {
    case ENOENT:
    case ENODEV:
    case ENXIO: return QStringLiteral("no existe el dispositivo o no está conectado");
    case EACCES:
    case EPERM: return QStringLiteral("no tiene permiso para usar el dispositivo");
    case EBUSY: return QStringLiteral("la impresora está ocupada");
    case EISDIR: return QStringLiteral("es una carpeta, no un dispositivo");
    case EIO: return QStringLiteral("la impresora no respondió (¿apagada, desconectada o sin papel?)");
    case EAGAIN:
    case ETIMEDOUT: return QStringLiteral("la impresora no responde");
    case ENOSPC: return QStringLiteral("no queda espacio en el dispositivo");
    case EROFS: return QStringLiteral("el dispositivo es de solo lectura");
    default: return QStringLiteral("error del sistema número %1").arg(numero);
    }
}

// The spooler's last failure in the person's words; its own text is English and is not shown.
QString causaSpooler() {
    switch (cupsLastError()) {
    case IPP_STATUS_ERROR_NOT_FOUND: return QStringLiteral("la cola de impresión no existe");
    case IPP_STATUS_ERROR_NOT_ACCEPTING_JOBS: return QStringLiteral("la cola de impresión está detenida y no acepta trabajos");
    case IPP_STATUS_ERROR_BUSY: return QStringLiteral("la impresora está ocupada");
    case IPP_STATUS_ERROR_FORBIDDEN:
    case IPP_STATUS_ERROR_NOT_AUTHORIZED:
    case IPP_STATUS_ERROR_NOT_AUTHENTICATED:
    case IPP_STATUS_ERROR_CUPS_AUTHENTICATION_CANCELED: return QStringLiteral("no tiene permiso para imprimir en ella");
    case IPP_STATUS_ERROR_SERVICE_UNAVAILABLE:
    case IPP_STATUS_ERROR_DEVICE: return QStringLiteral("no se pudo conectar con el servicio de impresión");
    default: return QStringLiteral("el servicio de impresión rechazó el trabajo");
    }
}

}  // namespace

QString TextoErrorSistema(int numero) { return causaSistema(numero); }

Destino ConsultaImpresora(const QString& nombre) {
    Destino d;
    d.nombre = nombre;
    QString error;
    const auto cola = BuscaImpresora(nombre, &error);
    if (!cola && EsPuerto(nombre)) {
        // A port is written when the job goes; its device is asked then.
        d.puerto = true;
        d.disponible = {true, {}};
        return d;
    }
    if (!cola) {
        d.disponible = {false, error.isEmpty()
                                   ? QStringLiteral("No existe la cola de impresión %1. No se imprimió nada.").arg(nombre)
                                   : error};
        return d;
    }
    d.toma = cola->cruda() ? Toma::Bytes : Toma::Paginas;
    // The spooler's own note on the state ("Paused") is English and adds nothing to the state.
    if (cola->detenida)
        d.disponible = {false, QStringLiteral("La cola de impresión %1 está detenida. No se imprimió nada.").arg(nombre)};
    else if (!cola->aceptaTrabajos)
        d.disponible = {false, QStringLiteral("La cola de impresión %1 no acepta trabajos. No se imprimió nada.").arg(nombre)};
    else
        d.disponible = {true, {}};
    return d;
}

Resultado RevisaCola(const QString& impresora) { return ConsultaImpresora(impresora).disponible; }

Resultado AdmitePaginas(const QString& impresora) {
    const Destino d = ConsultaImpresora(impresora);
    if (!d.disponible.ok) return d.disponible;
    if (d.puerto || d.toma != Toma::Paginas)
        return {false, QStringLiteral("La impresora %1 es de tickets y no imprime páginas. No se imprimió nada.")
                           .arg(impresora)};
    return {true, {}};
}

Resultado ConfirmaTrabajo(const QString& impresora, int trabajo) {
    const QByteArray cola = impresora.toUtf8();
    cups_job_t* trabajos = nullptr;
    const int n = cupsGetJobs2(CUPS_HTTP_DEFAULT, &trabajos, cola.constData(), 1, CUPS_WHICHJOBS_ACTIVE);
    int id = 0;
    ipp_jstate_t estado = IPP_JSTATE_PENDING;
    for (int i = 0; i < n; ++i)
        if (trabajo > 0 ? trabajos[i].id == trabajo : trabajos[i].id > id) {
            id = trabajos[i].id;
            estado = trabajos[i].state;
        }
    cupsFreeJobs(n, trabajos);
    if (id <= 0) return {true, {}};  // printed already
    const bool retenido = estado == IPP_JSTATE_HELD || estado == IPP_JSTATE_STOPPED || !RevisaCola(impresora).ok;
    if (!retenido) return {true, {}};
    cupsCancelJob2(CUPS_HTTP_DEFAULT, cola.constData(), id, 0);
    return {false, QStringLiteral("La cola de impresión %1 se detuvo antes de imprimir el trabajo. No se imprimió nada.")
                       .arg(impresora)};
}

namespace {

// Parameter bytes of the ESC/POS commands the code sets and the samples use; an unknown command
// is taken to have none.
int parametrosEsc(QChar c) {
    switch (c.unicode()) {
    case 'p': return 3;
    case 'c': return 2;
    case 'a': case '!': case 'M': case 'd': case 'E': case 'G': case '-': case 't': case 'R':
    case 'J': case 'e': case '3': case 'V': case 'r': case ' ': case '{': case 'U': return 1;
    default: return 0;
    }
}

int parametrosGs(QChar c, QStringView resto) {
    switch (c.unicode()) {
    case 'V': return !resto.isEmpty() && (resto[0] == u'A' || resto[0] == u'B') ? 2 : 1;
    case 'L': case 'W': return 2;
    case 'v':  // raster image: "0", mode, width in bytes and height in dots, then the dots
        if (resto.size() >= 6) return 6 + (resto[2].unicode() + 256 * resto[3].unicode()) *
                                          (resto[4].unicode() + 256 * resto[5].unicode());
        return int(resto.size());
    default: return 1;
    }
}

}  // namespace

QString TextoVisible(const QString& texto) {
    QString visible;
    visible.reserve(texto.size());
    for (qsizetype i = 0; i < texto.size(); ++i) {
        const QChar c = texto[i];
        if ((c == QChar(0x1b) || c == QChar(0x1d)) && i + 1 < texto.size()) {
            const QChar orden = texto[i + 1];
            const QStringView resto = QStringView(texto).mid(i + 2);
            const int n = c == QChar(0x1b) ? parametrosEsc(orden) : parametrosGs(orden, resto);
            i += 1 + std::min<qsizetype>(n, resto.size());
            continue;
        }
        if (c.unicode() >= 0x20 || c == QLatin1Char('\n')) visible.append(c);
    }
    return visible;
}

QString MotivoBreve(QString motivo) {
    motivo = TextoVisible(motivo).simplified();
    for (const QString& fin : {QStringLiteral("No se imprimió nada."), QStringLiteral("No se abrió el cajón.")})
        if (motivo.endsWith(fin)) motivo = motivo.left(motivo.size() - fin.size()).trimmed();
    while (motivo.endsWith(QLatin1Char('.'))) motivo.chop(1);
    if (motivo.size() > 1 && motivo[0].isUpper() && motivo[1].isLower()) motivo[0] = motivo[0].toLower();
    return motivo;
}

QString MensajeNoImpreso(const DocumentoImpreso& d, const QString& motivo) {
    QString texto = d.documento.isEmpty() ? d.falla
                    : d.grabado.isEmpty() ? d.documento + QLatin1Char(' ') + d.falla
                                          : d.documento + QLatin1Char(' ') + d.grabado + QStringLiteral(", pero ") + d.falla;
    if (!texto.isEmpty()) texto[0] = texto[0].toUpper();
    const QString causa = MotivoBreve(motivo);
    texto += causa.isEmpty() ? QStringLiteral(".") : QStringLiteral(": ") + causa + QStringLiteral(".");
    if (!d.grabado.isEmpty() && !d.reimpresion.isEmpty()) texto += QLatin1Char(' ') + d.reimpresion;
    return texto;
}

Resultado EnviaTrabajoCrudo(const QString& impresora, const QString& trabajo,
                            const QByteArray& bytes) {
    if (const Resultado r = RevisaCola(impresora); !r.ok) return r;
    const QByteArray nombre = impresora.toUtf8();
    const QByteArray titulo = trabajo.toUtf8();
    const int id = cupsCreateJob(CUPS_HTTP_DEFAULT, nombre.constData(), titulo.constData(), 0, nullptr);
    if (id <= 0)
        return {false, QStringLiteral("No se pudo crear el trabajo en la impresora %1: %2")
                           .arg(impresora, causaSpooler())};
    if (cupsStartDocument(CUPS_HTTP_DEFAULT, nombre.constData(), id, titulo.constData(),
                          CUPS_FORMAT_RAW, 1) != HTTP_STATUS_CONTINUE) {
        const QString e = causaSpooler();
        cupsCancelJob2(CUPS_HTTP_DEFAULT, nombre.constData(), id, 0);
        return {false, QStringLiteral("No se pudo enviar el trabajo a la impresora %1: %2").arg(impresora, e)};
    }
    if (!bytes.isEmpty() &&
        cupsWriteRequestData(CUPS_HTTP_DEFAULT, bytes.constData(), size_t(bytes.size())) !=
            HTTP_STATUS_CONTINUE) {
        const QString e = causaSpooler();
        cupsFinishDocument(CUPS_HTTP_DEFAULT, nombre.constData());
        cupsCancelJob2(CUPS_HTTP_DEFAULT, nombre.constData(), id, 0);
        return {false, QStringLiteral("No se pudo enviar el trabajo a la impresora %1: %2").arg(impresora, e)};
    }
    if (cupsFinishDocument(CUPS_HTTP_DEFAULT, nombre.constData()) > IPP_STATUS_OK_CONFLICTING)
        return {false, QStringLiteral("La impresora %1 no aceptó el trabajo: %2").arg(impresora, causaSpooler())};
    return ConfirmaTrabajo(impresora, id);
}

Resultado EscribeEnDispositivo(const QString& ruta, const QByteArray& bytes) {
    // open(2) rather than QFile: a device is never created or truncated, only written; a plain
    // file outside /dev (a port redirected to a file) is created when missing and appended to.
    const QByteArray r = QFile::encodeName(ruta);
    int banderas = O_WRONLY | O_APPEND | O_CLOEXEC | O_NOCTTY;
    if (!ruta.startsWith(QLatin1String("/dev/"))) banderas |= O_CREAT;
    const int fd = ::open(r.constData(), banderas, 0644);
    if (fd < 0)
        return {false, QStringLiteral("No se pudo abrir el puerto %1: %2").arg(ruta, TextoErrorSistema(errno))};
    qsizetype hecho = 0;
    while (hecho < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.constData() + hecho, size_t(bytes.size() - hecho));
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            const QString e = TextoErrorSistema(n < 0 ? errno : EIO);
            ::close(fd);
            return {false, QStringLiteral("No se pudo escribir en el puerto %1: %2").arg(ruta, e)};
        }
        hecho += n;
    }
    if (::close(fd) != 0)
        return {false, QStringLiteral("No se pudo cerrar el puerto %1: %2").arg(ruta, TextoErrorSistema(errno))};
    return {true, {}};
}

Resultado EnviaAPuerto(const QString& puerto, const QByteArray& bytes, const QString& trabajo,
                       const QString& preferida) {
    if (!EsUri(puerto)) {
        // The device of a stopped queue is not written behind the spooler's back.
        if (const auto cola = preferida.isEmpty() ? std::nullopt : BuscaImpresora(preferida);
            cola && RutaDePuerto(cola->dispositivo) == RutaDePuerto(puerto))
            if (const Resultado r = RevisaCola(cola->nombre); !r.ok) return r;
        return EscribeEnDispositivo(RutaDePuerto(puerto), bytes);
    }
    QString error;
    const auto cola = ColaDeDispositivo(puerto, preferida, &error);
    if (!cola)
        return {false, error.isEmpty()
                           ? QStringLiteral("Ninguna cola de impresión usa el dispositivo %1. No se imprimió nada.")
                                 .arg(puerto)
                           : error};
    return EnviaTrabajoCrudo(cola->nombre, trabajo, bytes);
}

Resultado ImprimeTexto(QPrinter& impresora, const QString& texto, int puntos) {
    const bool aCola = impresora.outputFormat() == QPrinter::NativeFormat;
    if (aCola)
        if (const Resultado r = AdmitePaginas(impresora.printerName()); !r.ok) return r;
    QPainter pintor;
    if (!pintor.begin(&impresora)) {
        // A printer without a name (none set, no default one) is left out, never said as a hole.
        const QString donde = impresora.printerName().isEmpty() ? impresora.outputFileName() : impresora.printerName();
        return {false, donde.isEmpty() ? QStringLiteral("No se pudo iniciar la impresión.")
                                       : QStringLiteral("No se pudo iniciar la impresión en %1.").arg(donde)};
    }
    QFont fuente = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    fuente.setPointSize(puntos);
    pintor.setFont(fuente);
    const int alto = pintor.fontMetrics().lineSpacing();
    const int fondo = int(impresora.pageLayout().paintRectPixels(impresora.resolution()).height());
    int y = alto;
    for (const QString& visible : TextoVisible(texto).split(QLatin1Char('\n'))) {
        if (y > fondo) {
            if (!impresora.newPage()) {
                pintor.end();
                return {false, QStringLiteral("No se pudo pasar a la página siguiente.")};
            }
            y = alto;
        }
        pintor.drawText(0, y, visible);
        y += alto;
    }
    if (!pintor.end()) return {false, QStringLiteral("No se pudo terminar la impresión.")};
    return aCola ? ConfirmaTrabajo(impresora.printerName()) : Resultado{true, {}};
}

}  // namespace print
