#include "raster.h"

#include <algorithm>

namespace print {

int PuntosDeRollo(int milimetros) {
    switch (milimetros) {
    case 80: return 576;
    case 76: return 512;
    case 58: return 384;
    default: return std::max(8, milimetros * 576 / 80 / 8 * 8);
    }
}

QByteArray RasterEscPos(const QImage& imagen, int filasPorBloque) {
    if (imagen.isNull()) return {};
    const QImage gris = imagen.convertToFormat(QImage::Format_Grayscale8);
    const int ancho = gris.width();
    const int bytesFila = (ancho + 7) / 8;
    const int banda = std::max(1, filasPorBloque);
    QByteArray salida;
    salida.reserve((bytesFila * gris.height()) + (gris.height() / banda + 1) * 8);
    for (int inicio = 0; inicio < gris.height(); inicio += banda) {
        const int filas = std::min(banda, gris.height() - inicio);
        salida.append("\x1dv0", 3);
        salida.append('\0');  // normal density
        salida.append(char(bytesFila & 0xff));
        salida.append(char(bytesFila >> 8));
        salida.append(char(filas & 0xff));
        salida.append(char(filas >> 8));
        for (int y = inicio; y < inicio + filas; ++y) {
            const uchar* fila = gris.constScanLine(y);
            for (int b = 0; b < bytesFila; ++b) {
                uchar octeto = 0;
                for (int bit = 0; bit < 8; ++bit) {
                    const int x = b * 8 + bit;
                    if (x < ancho && fila[x] <= 128) octeto |= uchar(0x80 >> bit);
                }
                salida.append(char(octeto));
            }
        }
    }
    return salida;
}

}  // namespace print
