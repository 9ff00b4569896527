#pragma once
// Reads back what a raw receipt printer got for a page: the ESC/POS raster blocks (GS v 0) joined
// into one picture, the bytes around them, and a search for a text drawn on that picture.

#include <QByteArray>
#include <QFont>
#include <QImage>
#include <QPainter>
#include <QString>

#include <algorithm>
#include <vector>

struct RasterLeido {
    QImage imagen;       // black dots on white, as wide as the blocks say
    QByteArray antes;    // bytes before the first block
    QByteArray despues;  // bytes after the last block
    int bloques = 0;
    int anchoPuntos = 0;
};

inline RasterLeido LeeRaster(const QByteArray& b) {
    RasterLeido r;
    std::vector<std::vector<bool>> filas;
    qsizetype i = b.indexOf("\x1dv0");
    r.antes = b.left(i < 0 ? b.size() : i);
    while (i >= 0 && i + 8 <= b.size() && b.mid(i, 3) == "\x1dv0") {
        const int x = uchar(b[i + 4]) | uchar(b[i + 5]) << 8;
        const int y = uchar(b[i + 6]) | uchar(b[i + 7]) << 8;
        i += 8;
        if (i + qsizetype(x) * y > b.size()) break;
        r.anchoPuntos = x * 8;
        for (int f = 0; f < y; ++f) {
            std::vector<bool> fila(size_t(x) * 8);
            for (int k = 0; k < x * 8; ++k) fila[size_t(k)] = (uchar(b[i + f * x + k / 8]) >> (7 - k % 8)) & 1;
            filas.push_back(std::move(fila));
        }
        i += qsizetype(x) * y;
        ++r.bloques;
    }
    r.despues = i >= 0 ? b.mid(i) : QByteArray();
    r.imagen = QImage(std::max(1, r.anchoPuntos), std::max<int>(1, int(filas.size())), QImage::Format_Grayscale8);
    r.imagen.fill(255);
    for (size_t y = 0; y < filas.size(); ++y)
        for (size_t x = 0; x < filas[y].size(); ++x)
            if (filas[y][x]) r.imagen.setPixel(int(x), int(y), qRgb(0, 0, 0));
    return r;
}

// How far the picture is from showing `texto` in `fuente` drawn at 203 dpi: at the spot that fits
// best, the dots that differ as a share of the text's own dots (0 = exactly there). Two
// rasterisers round the edges of a glyph differently, so a text that is there scores a little
// above 0 and a different text at the same spot scores higher.
inline double DistanciaATexto(const QImage& imagen, const QString& texto, const QFont& fuente) {
    const int ppm = int(203 / 0.0254);
    QImage muestra(600, 120, QImage::Format_Grayscale8);
    muestra.setDotsPerMeterX(ppm);
    muestra.setDotsPerMeterY(ppm);
    muestra.fill(255);
    {
        QPainter p(&muestra);
        p.setFont(fuente);
        p.setPen(Qt::black);
        p.drawText(4, 80, texto);
    }
    int x0 = muestra.width(), y0 = muestra.height(), x1 = -1, y1 = -1, negros = 0;
    for (int y = 0; y < muestra.height(); ++y)
        for (int x = 0; x < muestra.width(); ++x)
            if (qGray(muestra.pixel(x, y)) < 128) {
                x0 = std::min(x0, x), y0 = std::min(y0, y), x1 = std::max(x1, x), y1 = std::max(y1, y);
                ++negros;
            }
    if (negros == 0) return 1;
    const int w = x1 - x0 + 1, h = y1 - y0 + 1;
    std::vector<uchar> m(size_t(w * h)), im(size_t(imagen.width() * imagen.height()));
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) m[size_t(y * w + x)] = qGray(muestra.pixel(x0 + x, y0 + y)) < 128;
    const QImage g = imagen.convertToFormat(QImage::Format_Grayscale8);
    for (int y = 0; y < g.height(); ++y)
        for (int x = 0; x < g.width(); ++x) im[size_t(y * g.width() + x)] = g.constScanLine(y)[x] < 128;
    int mejor = negros;
    for (int oy = 0; oy + h <= g.height(); ++oy)
        for (int ox = 0; ox + w <= g.width(); ++ox) {
            int malos = 0;
            for (int y = 0; y < h && malos < mejor; ++y)
                for (int x = 0; x < w && malos < mejor; ++x)
                    malos += m[size_t(y * w + x)] != im[size_t((oy + y) * g.width() + ox + x)];
            mejor = std::min(mejor, malos);
        }
    return double(mejor) / negros;
}
