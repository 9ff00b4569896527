#pragma once
// The ticket being composed: one shared text that the ticket builders append to and the sending
// paths send. It holds the printer's characters and control codes as text; it becomes code page
// 850 bytes only when it is sent, and sending leaves it as it was.

#include "printing/juegocodigos.h"

#include <QString>

// --- the buffer ---
void LimpiaTextoTicket();
void AgregaTextoTicket(const QString& texto);
// The form the voucher builders use: the port argument is not used.
void AgregaTextoTicket(const QString& puerto, const QString& texto);
const QString& TextoTicket();

// --- control codes ---
// Loads the codes of a code set (0-3; any other number loads those of 0) and remembers the set for
// the decoration routines. Set 0 also sets the printer object's font to 9 points.
void EstableceCodigosPTicket(int juego);
const JuegoCodigos& CodigosActuales();
// Font size for the printer-object path (points).
int TamanoFuenteTicket();

// --- decoration by the code set of the shared state (CodigosPTicket) ---
QString AplicaFuenteA(const QString& texto);
QString AplicaFuenteB(const QString& texto);
QString CentraTexto(const QString& texto);
QString AlineaIzquierda(QString& texto);  // also leaves the result in the argument
QString AlineaDerecha(const QString& texto);

// --- text fitting ---
// Leading blanks so the text sits (one blank left of) centre on `ancho` columns.
QString CentraConEspacios(QString& texto, int ancho);
// Leading blanks so the text ends at column `ancho`; a longer text is not cut.
QString AlineaDerechaConEspacios(QString& texto, int ancho);
// Pads with `relleno` (at the right or the left) until the text is at least `largo` long; an
// empty pad returns the text as it is.
QString RellenaTexto(QString& texto, int largo, const QString& relleno, bool derecha);
// Fits a description into a column: a text longer than ancho-1 gives its first ancho-2
// characters and ".."; any other gives ancho-2 characters, padded with blanks.
QString AjustaTexto(int ancho, const QString& texto);
