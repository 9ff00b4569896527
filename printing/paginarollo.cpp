#include "printing/paginarollo.h"

#include "platform/print/codepage850.h"
#include "platform/print/raster.h"
#include "printing/textoticket.h"
#include "shell/estado.h"

#include <QAbstractTextDocumentLayout>
#include <QPainter>
#include <QTextDocument>

#include <cmath>

QImage PaginaEnImagen(const report::Rendered& pagina, int anchoPuntos, int dpi) {
    const int puntosPorMetro = int(std::lround(dpi / 0.0254));
    auto conResolucion = [&](QImage im) {
        im.setDotsPerMeterX(puntosPorMetro);
        im.setDotsPerMeterY(puntosPorMetro);
        return im;
    };
    // Fonts keep their point size when the layout knows the printer's resolution.
    QImage medida = conResolucion(QImage(1, 1, QImage::Format_RGB32));
    QTextDocument doc;
    doc.documentLayout()->setPaintDevice(&medida);
    doc.setDocumentMargin(0);
    QFont fuente(QStringLiteral("DejaVu Sans"));
    fuente.setPointSizeF(9);
    doc.setDefaultFont(fuente);
    doc.setHtml(pagina.body());
    doc.setTextWidth(anchoPuntos);

    const auto puntos = [&](qreal mm) { return int(std::lround(mm / 25.4 * dpi)); };
    const int arriba = puntos(pagina.page.marginsMm.top());
    const int abajo = puntos(pagina.page.marginsMm.bottom());
    const int alto = arriba + int(std::ceil(doc.size().height())) + abajo;
    QImage imagen = conResolucion(QImage(anchoPuntos, std::max(1, alto), QImage::Format_RGB32));
    imagen.fill(Qt::white);
    QPainter pintor(&imagen);
    pintor.translate(0, arriba);
    doc.drawContents(&pintor);
    pintor.end();
    return imagen;
}

QByteArray PaginaParaImpresoraCruda(const report::Rendered& pagina, int anchoPuntos) {
    const auto& g = G();
    EstableceCodigosPTicket(g.CodigosPTicket);
    QByteArray bytes("\x1b@");
    bytes += print::RasterEscPos(PaginaEnImagen(pagina, anchoPuntos));
    bytes += "\n\n\n\n";
    if (g.EspT != 0) bytes += print::aCp850(CodigosActuales().CodCorte);
    return bytes;
}
