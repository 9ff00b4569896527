#pragma once
// A report page for a raw receipt printer: the filled template laid out at the roll's printable
// width and drawn as one picture as long as its content, at the printer's own resolution.

#include "platform/report/report.h"

#include <QImage>

// The body of `pagina` (a roll has one page and no page numbers to repeat) on white, `anchoPuntos`
// dots wide at `dpi`, with the template's top and bottom margins. The roll's paper margins are the
// printer's: the text takes the whole printable width.
QImage PaginaEnImagen(const report::Rendered& pagina, int anchoPuntos, int dpi = 203);

// What a raw receipt printer gets for a page: initialise, the page as a raster image `anchoPuntos`
// wide, line feeds that bring its end past the tear bar, the code set's cut when the branch cuts
// (EspT not 0). The drawer pulse is the caller's, by PulsoCajon.
QByteArray PaginaParaImpresoraCruda(const report::Rendered& pagina, int anchoPuntos);
