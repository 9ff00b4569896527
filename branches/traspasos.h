#pragma once
// Stock transfers between branches: the exit saved at the origin by the sale screen becomes an entry
// at the destination, either through a transfer file carried there or straight into the
// destination's file. The entry names the exit ("TR <origin>-<exit number>"), so one exit never
// enters twice. Headless; the form frmTraspasos calls it.

#include "platform/db/database.h"

#include <QDate>
#include <QString>
#include <QTime>

#include <optional>
#include <utility>
#include <vector>

namespace ui {
class Prompts;
}

namespace sucursales {

// Branches 1 to 10 with a short name, the active one left out, by number: (number, short name).
std::vector<std::pair<int, QString>> Destinos();

// "Traspaso de " origin " hacia " destination ". " time.
QString TextoTraspaso(int origen, int destino, const QTime& hora);
// T<yyyymmdd>_<origin>_<destination>_<exit>.db: a second transfer on one day gets its own file.
QString NombreArchivoTraspaso(const QDate& dia, int origen, int destino, qint64 salida);
// The document both halves of a transfer carry.
QString DoctoTraspaso(int origen, qint64 salida);
// What a transfer is known by at its destination: the origin, the exit's number and the exit's
// date and time. A cleared history or an older copy of the origin's file starts the exit numbers
// again, never at the same moment.
QString ClaveTraspaso(int origen, qint64 salida, const QString& fechaSalida);

// A saved transfer exit of a branch file, as its destination books it.
struct SalidaTraspaso {
    qint64 numero = 0;
    int destino = 0;
    QString docto;  // "TR <origin>-<number>"
    QString fecha;  // the exit's date and time as stored
    QString texto;
    std::vector<std::pair<qint64, double>> lineas;
};
// Document `numero` of branch `origen`'s file when it is a transfer exit of that branch with
// products; else nullopt and why.
std::optional<SalidaTraspaso> LeeSalidaTraspaso(db::Database& bd, qint64 numero, int origen, QString* razon);

// Why "&Generar" cannot send saved document `salida` of branch `origen` again to `destino` (it is
// not a transfer exit of that branch, or it went to another branch), "" when it can.
QString RevisaReenvio(db::Database& bd, qint64 salida, int origen, int destino);

// Whether a transfer has entered the branch file: its key is among the transfers the file
// received (a record the history clearing leaves alone), or, for entries booked before the keys
// were kept, an entry of its document was made at or after the exit.
std::optional<bool> TraspasoRegistrado(db::Database& bd, const QString& docto, const QString& clave,
                                       const QString& fechaSalida, db::Error* error = nullptr);

// The (ClaveProducto, Cantidad) lines of inventory document `numero` of a branch file.
std::optional<std::vector<std::pair<qint64, double>>> LeeDetalleOrigen(db::Database& bd, qint64 numero,
                                                                        db::Error* error = nullptr);

// Writes exit `salida` of the origin file into a copy of the clean container in `carpeta` (through
// a temporary name; an existing file only after the question), its header's Traspaso the origin.
// The file made, or "" (told why).
QString GeneraArchivoTraspaso(db::Database& origen, qint64 salida, int sucOrigen, int sucDestino,
                              const QString& carpeta, const QDate& dia, ui::Prompts& p);

// A transfer file as read and checked for the branch file `aqui` (its products must be known).
struct ArchivoTraspaso {
    int origen = 0;
    int destino = 0;
    qint64 salida = 0;
    QString fecha;  // the exit's
    QString texto;  // the exit's description
    QString docto;
    std::vector<std::pair<qint64, double>> lineas;
};
// The file or why it cannot be applied.
std::optional<ArchivoTraspaso> LeeArchivoTraspaso(const QString& ruta, db::Database& aqui, QString* razon);

// "&Aplicar": the file's lines enter the active branch as one entry document, after the checks and
// the question. A file made for another branch asks first, naming both branches, and enters here on
// Sí. True when booked; a transfer already entered (by this or another terminal, here or at any
// other branch) is told and enters nothing.
bool AplicaTraspaso(const QString& ruta, ui::Prompts& p);

// Direct mode: the lines of exit `salida` of the active branch enter the destination's own file,
// on a handle of its own (the active branch and the print server stay as they are). Only a saved
// transfer exit to that destination is sent. True when booked, or when that exit had already
// entered (also when another terminal booked it at the same time).
bool TraspasoDirecto(qint64 salida, int destino, ui::Prompts& p);

}  // namespace sucursales
