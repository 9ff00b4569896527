#pragma once
// A picture for a receipt printer: ESC/POS raster bit images (GS v 0), the way a raw printer takes
// a page it cannot render itself.

#include <QByteArray>
#include <QImage>

namespace print {

// Dots across the printable width of a roll at 203 dpi: 576 for 80 mm, 512 for 76 mm, 384 for
// 58 mm; other widths keep the 80 mm roll's share of printable paper.
int PuntosDeRollo(int milimetros);

// The image in GS v 0 blocks: one bit a dot, a dot black where the picture is no lighter than mid
// grey (rules drawn in dark grey print), each row padded to whole bytes with white. Long pictures go in bands of at most
// `filasPorBloque` rows, so a printer with a small buffer takes each band whole.
QByteArray RasterEscPos(const QImage& imagen, int filasPorBloque = 256);

}  // namespace print
