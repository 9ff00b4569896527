#pragma once
// The parameter table a report fills before its prompt: up to six rows of name, value, description
// and type ("Texto", "Fecha" or "Combo"), kept in the shared state (G().ParametrosReporte) with the
// cancel flag G().ParamCancelado. The prompt (forms/frmSolicParametros) edits the values.

#include <QDate>
#include <QString>
#include <QStringList>

namespace printing {

constexpr int kFilasParametros = 6;

// Every row empty; ParamCancelado := 1.
void LimpiaParametrosReporte();
// Into the first free row; false (nothing stored) when all six are in use.
bool AgregaParametroReporte(const QString& nombre, const QString& valor, const QString& descripcion,
                            const QString& tipo);
// Value of the first row with exactly that name; "" when none.
QString ObtenerParametroReporte(const QString& nombre);

// Rows in use (filled from the top).
int NumParametrosReporte();
QString NombreParametro(int fila);
QString ValorParametro(int fila);
QString DescripcionParametro(int fila);
QString TipoParametro(int fila);
void PonValorParametro(int fila, const QString& valor);

// The list index a Combo value stands for: its leading number, 0 when it has none.
int IndiceCombo(const QString& valor);
// The item to show for a Combo value: the item with that text, else the index it stands for;
// always inside the list (0 for an empty list).
int IndiceCombo(const QString& valor, const QStringList& elementos);
// Every Combo row whose value is a list index gets the text of that item, so the value the report
// reads is the one the prompt shows even when the person never opened that parameter. An index
// outside the list gives the first item.
void ResuelveCombos(const QStringList& elementos);

// Date text as the table keeps it (dd/MM/yyyy) and back; an invalid QDate when it is not a date.
QString TextoFecha(const QDate& fecha);
QDate FechaDeTexto(const QString& texto);

}  // namespace printing
