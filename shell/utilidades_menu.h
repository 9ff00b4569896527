#pragma once
// Small tools of the main menu: setting the invoice folio by hand (EFolioF), reprinting a document
// by its number (RFactura_Click), opening the PDF of an electronic invoice (openFactE) and moving
// the data folder (CambiaDireccion, from the branch parameters form).
//
// The prints themselves belong to the sale screen; it installs them here (EstableceReimpresion) so
// the shell does not depend on it.

#include "platform/db/database.h"
#include "platform/ui/prompts.h"

#include <QString>

#include <functional>
#include <optional>

namespace shell {

// --- folio ---
enum class ResultadoFolio { SinSucursal, Cancelado, NoValido, MenorQueGuardado, Actualizado, Error };
// EFolioF: asks the new value of the electronic (FacturaE on) or paper invoice counter and writes
// it inside a write transaction of the branch file. A value below the highest invoice of that kind
// already stored is refused (MenorQueGuardado), since the next invoice would follow that one.
ResultadoFolio EFolioF(ui::Prompts& prompts, const db::LockWait& espera = {});

// --- reprint ---
struct Reimpresion {
    QChar letra;  // in capitals
    qint64 numero = 0;
};
// "F15" -> F, 15. The first character must be a letter and the rest a number; nullopt otherwise.
std::optional<Reimpresion> InterpretaReimpresion(const QString& texto);

struct AccionesReimpresion {
    std::function<bool(qint64 numero)> factura;  // the invoice through its template
    std::function<bool(qint64 numero)> ticket;   // the sale ticket at this terminal
    std::function<bool(int codigo, qint64 numero)> solicitud;  // a print-server request
};
void EstableceReimpresion(AccionesReimpresion acciones);
const AccionesReimpresion& AccionesReimpresionActuales();

enum class ResultadoReimpresion { Nada, NoValido, Factura, Ticket, Solicitada, Fallo };
// RFactura_Click: "F" prints the invoice, any other letter the ticket of that number. With the
// print server on the invoice is queued (code 4); a ticket always prints here.
ResultadoReimpresion RFactura_Click(ui::Prompts& prompts,
                                    const AccionesReimpresion& acciones = AccionesReimpresionActuales());

// --- electronic-invoice PDF ---
// The PDF folder; "" in CarpetaPDF becomes <home>/Output/PDFs.
QString CarpetaPDFActual();
// openFactE: asks the document's name and opens <PDF folder>/CFDI<name> with its program. The name
// must be a plain file name (no folder, no wildcard) of a file that exists; otherwise the person is
// told and nothing opens. The path opened, or "".
QString openFactE(ui::Prompts& prompts,
                  const std::function<bool(const QString&)>& abre = {});

// --- data folder ---
// CambiaDireccion: asks for the new data folder (`eligeCarpeta` shows the folder dialog, "" when
// cancelled), refuses one without the data files (RevisaCarpetaDatos says why; nothing is asked
// or written), confirms it, writes it to Dir of <rutaApp>/Direccion.db, reads the parameters again,
// relinks the branch file, tells the person to start again and ends the program. When the new
// folder's parameters cannot be read, that reading has said why and no success is shown. False
// when nothing changed.
bool CambiaDireccion(ui::Prompts& prompts, const std::function<QString(const QString& actual)>& eligeCarpeta,
                     const QString& rutaApp);

}  // namespace shell
