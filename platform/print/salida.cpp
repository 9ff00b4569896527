#include "salida.h"

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

Resultado EnviaTrabajoCrudo(const QString& impresora, const QString& trabajo,
                            const QByteArray& bytes) {
    const QByteArray cola = impresora.toUtf8();
    const QByteArray titulo = trabajo.toUtf8();
    const int id = cupsCreateJob(CUPS_HTTP_DEFAULT, cola.constData(), titulo.constData(), 0, nullptr);
    if (id <= 0)
        return {false, QStringLiteral("No se pudo crear el trabajo en la impresora %1: %2")
                           .arg(impresora, QString::fromUtf8(cupsLastErrorString()))};
    if (cupsStartDocument(CUPS_HTTP_DEFAULT, cola.constData(), id, titulo.constData(),
                          CUPS_FORMAT_RAW, 1) != HTTP_STATUS_CONTINUE) {
        const QString e = QString::fromUtf8(cupsLastErrorString());
        cupsCancelJob2(CUPS_HTTP_DEFAULT, cola.constData(), id, 0);
        return {false, QStringLiteral("No se pudo enviar el trabajo a la impresora %1: %2").arg(impresora, e)};
    }
    if (!bytes.isEmpty() &&
        cupsWriteRequestData(CUPS_HTTP_DEFAULT, bytes.constData(), size_t(bytes.size())) !=
            HTTP_STATUS_CONTINUE) {
        const QString e = QString::fromUtf8(cupsLastErrorString());
        cupsFinishDocument(CUPS_HTTP_DEFAULT, cola.constData());
        cupsCancelJob2(CUPS_HTTP_DEFAULT, cola.constData(), id, 0);
        return {false, QStringLiteral("No se pudo enviar el trabajo a la impresora %1: %2").arg(impresora, e)};
    }
    if (cupsFinishDocument(CUPS_HTTP_DEFAULT, cola.constData()) > IPP_STATUS_OK_CONFLICTING)
        return {false, QStringLiteral("La impresora %1 no aceptó el trabajo: %2")
                           .arg(impresora, QString::fromUtf8(cupsLastErrorString()))};
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
        return {false, QStringLiteral("No se pudo abrir el puerto %1: %2")
                           .arg(ruta, QString::fromLocal8Bit(std::strerror(errno)))};
    qsizetype hecho = 0;
    while (hecho < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.constData() + hecho, size_t(bytes.size() - hecho));
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            const QString e = QString::fromLocal8Bit(std::strerror(errno));
            ::close(fd);
            return {false, QStringLiteral("No se pudo escribir en el puerto %1: %2").arg(ruta, e)};
        }
        hecho += n;
    }
    if (::close(fd) != 0)
        return {false, QStringLiteral("No se pudo cerrar el puerto %1: %2")
                           .arg(ruta, QString::fromLocal8Bit(std::strerror(errno)))};
    return {true, {}};
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
