#pragma once
// Small pieces the catalogue forms share: a Kestril capture field with its name, caption and length,
// a read-only grid filled from rows with amounts and dates shown as the forms show them, and grid
// column widths given in the twips the layouts were drawn in.

#include "platform/db/database.h"

#include <QHash>
#include <QString>
#include <QStringList>

class CCaptura;
class QStandardItemModel;
class QTableView;
class QWidget;

namespace catalogos {

CCaptura* CampoCaptura(QWidget* padre, const QString& nombre, const QString& titulo, int largo);

// Twips (1/1440 inch) at 96 dots per inch.
int PixelesDeTwips(int twips);

// One column per field of the rows, captioned with the field's name. Fields named in `importes` show
// "#,###,##0.00"; ISO dates in fields named in `fechas` show dd/mm/yyyy. The model is emptied first;
// without rows it keeps no columns.
void LlenaModelo(QStandardItemModel* modelo, const db::Rows& filas, const QStringList& importes = {},
                 const QStringList& fechas = {});

// Column widths by caption (twips); with `ocultaResto` every column not named is hidden.
void AnchosColumnas(QTableView* grid, const QHash<QString, int>& anchos, bool ocultaResto);

}  // namespace catalogos
