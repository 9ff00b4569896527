#include "salida.h"

#include "impresoras.h"

#include <cups/cups.h>

#include <QFile>
#include <QFontDatabase>
#include <QPainter>
#include <QPrinter>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
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

// The spooler's last failure in the person's words, with its own text as a detail.
QString causaSpooler() {
    QString causa;
    switch (cupsLastError()) {
    case IPP_STATUS_ERROR_NOT_FOUND: causa = QStringLiteral("la cola de impresión no existe"); break;
    case IPP_STATUS_ERROR_NOT_ACCEPTING_JOBS:
        causa = QStringLiteral("la cola de impresión está detenida y no acepta trabajos");
        break;
    case IPP_STATUS_ERROR_BUSY: causa = QStringLiteral("la impresora está ocupada"); break;
    case IPP_STATUS_ERROR_FORBIDDEN:
    case IPP_STATUS_ERROR_NOT_AUTHORIZED:
    case IPP_STATUS_ERROR_NOT_AUTHENTICATED:
    case IPP_STATUS_ERROR_CUPS_AUTHENTICATION_CANCELED:
        causa = QStringLiteral("no tiene permiso para imprimir en ella");
        break;
    case IPP_STATUS_ERROR_SERVICE_UNAVAILABLE:
    case IPP_STATUS_ERROR_DEVICE:
        causa = QStringLiteral("no se pudo conectar con el servicio de impresión");
        break;
    default: causa = QStringLiteral("el servicio de impresión rechazó el trabajo"); break;
    }
    const QString detalle = QString::fromUtf8(cupsLastErrorString());
    return detalle.isEmpty() ? causa : causa + QStringLiteral(". Detalle: ") + detalle;
}

}  // namespace

QString TextoErrorSistema(int numero) {
    return causaSistema(numero) + QStringLiteral(". Detalle: ") +
           QString::fromLocal8Bit(std::strerror(numero));
}

Resultado EnviaTrabajoCrudo(const QString& impresora, const QString& trabajo,
                            const QByteArray& bytes) {
    QString error;
    const auto cola = BuscaImpresora(impresora, &error);
    if (!cola)
        return {false, error.isEmpty()
                           ? QStringLiteral("No existe la cola de impresión %1. No se imprimió nada.").arg(impresora)
                           : error};
    if (cola->detenida || !cola->aceptaTrabajos) {
        QString texto = cola->detenida
                            ? QStringLiteral("La cola de impresión %1 está detenida. No se imprimió nada.")
                            : QStringLiteral("La cola de impresión %1 no acepta trabajos. No se imprimió nada.");
        texto = texto.arg(impresora);
        if (!cola->mensajeEstado.isEmpty()) texto += QStringLiteral(" Detalle: ") + cola->mensajeEstado;
        return {false, texto};
    }
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
    return {true, {}};
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
    if (!EsUri(puerto)) return EscribeEnDispositivo(RutaDePuerto(puerto), bytes);
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
    QPainter pintor;
    if (!pintor.begin(&impresora))
        return {false, QStringLiteral("No se pudo iniciar la impresión en %1.")
                           .arg(impresora.printerName().isEmpty() ? impresora.outputFileName()
                                                                  : impresora.printerName())};
    QFont fuente = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    fuente.setPointSize(puntos);
    pintor.setFont(fuente);
    const int alto = pintor.fontMetrics().lineSpacing();
    const int fondo = int(impresora.pageLayout().paintRectPixels(impresora.resolution()).height());
    int y = alto;
    for (QString linea : texto.split(QLatin1Char('\n'))) {
        linea.remove(QLatin1Char('\r'));
        QString visible;
        for (QChar c : linea)
            if (c.unicode() >= 0x20) visible.append(c);
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
    return {true, {}};
}

}  // namespace print
