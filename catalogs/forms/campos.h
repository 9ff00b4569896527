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

namespace shell {
class MIDI;
}

namespace catalogos {


// Twips (1/1440 inch) at 96 dots per inch.
int PixelesDeTwips(int twips);

// One column per field of the rows, captioned with the field's name. Fields named in `importes` show
// "#,###,##0.00"; ISO dates in fields named in `fechas` show dd/mm/yyyy. The model is emptied first;
// without rows it keeps no columns.
void LlenaModelo(QStandardItemModel* modelo, const db::Rows& filas, const QStringList& importes = {},
                 const QStringList& fechas = {});

// Headings in plain Spanish over the fields a grid shows by name (a field without one keeps its
// name); the field's name stays in the heading's Qt::UserRole, where AnchosColumnas finds it.
void TitulosLegibles(QStandardItemModel* modelo);
// The plain Spanish heading of a field shown in a grid (a field without one keeps its name).
QString TituloDeCampo(const QString& campo);
// The cells of `campo` show the name of their code, nombres[code] (a code without a name, or with
// an empty one, stays).
void NombresDeCodigos(QStandardItemModel* modelo, const QString& campo, const QStringList& nombres);
// The same with the name a routine gives for each stored code.
void NombresDeCodigos(QStandardItemModel* modelo, const QString& campo, QString (*nombre)(const QString&));

// Column widths by field name or caption (twips); with `ocultaResto` every column not named is
// hidden. The grid then reads whole (shell::GridLegible).
void AnchosColumnas(QTableView* grid, const QHash<QString, int>& anchos, bool ocultaResto);

// A grid on the model: read-only with whole rows selected, or the editor (a cell opens on a double
// click, F2 or any key typed).
QTableView* GridEditable(QWidget* padre, const QString& nombre, QStandardItemModel* modelo);
// The grid's font takes the branch parameter TFuente.
void FuenteParametro(QTableView* grid);

// A form as a document window of the main window, or on its own when there is none.
void MuestraForma(shell::MIDI* midi, QWidget* forma);

}  // namespace catalogos
