#pragma once
// Small pieces the catalogue forms share: a Kestril capture field with its name, caption and length,
// and grid column widths given in the twips the layouts were drawn in.

#include <QString>

class CCaptura;
class QTableView;
class QWidget;

namespace catalogos {

CCaptura* CampoCaptura(QWidget* padre, const QString& nombre, const QString& titulo, int largo);

// Twips (1/1440 inch) at 96 dots per inch.
int PixelesDeTwips(int twips);

}  // namespace catalogos
