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
    QString texto;  // the exit's description
    QString docto;
    std::vector<std::pair<qint64, double>> lineas;
};
// The file or why it cannot be applied.
std::optional<ArchivoTraspaso> LeeArchivoTraspaso(const QString& ruta, db::Database& aqui, QString* razon);

// "&Aplicar": the file's lines enter the active branch as one entry document, after the checks and
// the questions. True when booked.
bool AplicaTraspaso(const QString& ruta, ui::Prompts& p);

// Direct mode: the lines of exit `salida` of the active branch enter the destination's own file,
// on a handle of its own (the active branch and the print server stay as they are). True when
// booked, or when that exit had already entered.
bool TraspasoDirecto(qint64 salida, int destino, ui::Prompts& p);

}  // namespace sucursales
