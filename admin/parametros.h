#pragma once
// The branch parameters row (Parametros of the branch file) as the parameters form shows it: the
// load into the form's values, the check of every value before a save, the one UPDATE of the save,
// and the tax percentage pushed into the product catalogue.

#include "platform/db/database.h"

#include <QString>

#include <array>

namespace admin {

// What the form's controls hold. Texts are the boxes' texts; a list position is -1 when nothing
// is selected; a check state is 0 unticked, 1 ticked, 2 greyed.
struct ValoresParametros {
    // texts
    QString IVA, Sucursal, PrefijoFact, TFuente, Ajuste, EspT, MaxDescuentoFact, Driver;
    QString Printer1, Printer2, Printer3, EncTicket, PieTicket;
    QString NTimesCajon, nTimesTicket, ListaPrecioDef;
    std::array<QString, 6> teclas;  // tecla1ticket..tecla6ticket
    // flags (ticked only for a stored 1)
    bool IncrementoAP = false, UsarServidorImp = false, MUbicacion = false, TraspasosDir = false,
         OpenCDrawer = false, PagosMultiples = false, GenAgregar = false, ControlCaja = false,
         VentasaTicket = false, CotizacionaTicket = false, TraspasosaTicket = false, FacturaaTicket = false,
         MDescripcion = false, MNombre = false, ParTickets = false, FacturaE = false;
    // check boxes that show a stored 2 greyed
    int PreguntaCompVenta = 0, PreguntaCompES = 0, CantidadAuto = 0, VerDesctoVenta = 0;
    // lists
    int CodigosPTicket = -1;   // 0..3
    int BDefault = -1;         // position: BDefault - 1
    int MetodoImpresion = -1;  // 0..1
    int Formatoticket = -1;    // 0..1
};

// The key each box shows when the row holds 0 (or Null): Ctrl, Alt, T and Ctrl, Alt, D.
inline constexpr std::array<int, 6> kTeclasPorOmision{17, 18, 84, 17, 18, 68};

// Reads the first row of Parametros. False (and *error) when the row cannot be read.
bool CargaParametros(db::Database& sucursal, ValoresParametros* valores, QString* error);

// The first value the save would refuse, as "El campo <caption> ..."; "" when all are good.
QString ValidaParametros(const ValoresParametros& v);

// The save: every value checked first, then one UPDATE of the row in a write transaction.
// GenAgregar forces MDescripcion on. Sucursal, Driver and the simplified-lines field are not
// written. False and *error ("Error al guardar." followed by the reason) when nothing was stored.
bool GuardaParametros(db::Database& sucursal, const ValoresParametros& v, QString* error,
                      const db::LockWait& espera = {});

// The tax percentage typed in "I.V.A:" when it is a whole number 0 to 100.
std::optional<int> IVAValido(const QString& texto);

// Gives every product of the central catalogue that bears tax the new percentage; exempt products
// (IVA 0) stay exempt. Reports its failure through the shell's statement runner.
bool CambiaIVAProductos(db::Database& central, int iva);

}  // namespace admin
