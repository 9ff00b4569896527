#pragma once
// Text and number routines shared by every form: how the system reads what the user types (Val and
// friends), how it shows amounts, folios and dates, and decimal rounding that gives the printed
// figures exactly (the binary error of a double is removed before the half is decided).

#include <QDate>
#include <QDateTime>
#include <QString>

#include <optional>

namespace shell {

// --- reading typed text ---

// Number at the start of the text, stopping at the first character that is not part of one: blanks
// are skipped, an optional sign, digits, one decimal point, an exponent (E or D); "&H" and "&O" read
// hexadecimal and octal. "12abc" -> 12, "$5" -> 0, "1-2" -> 1, "" -> 0.
double Val(const QString& text);
// Val rounded to the nearest whole number, halves to the even neighbour (how a typed number becomes a
// byte or an integer field); out of the range of qint64 gives 0.
qint64 ValEntero(const QString& text);
// Whole number at the nearest value, halves to the even neighbour.
qint64 EnteroPar(double value);
// Val of the text after every "," is removed: "1,234.5" -> 1234.5, "$1,234" -> 0.
double QuitaComas(const QString& text);
// The digits, "." and "-" of the text, in order; every other character dropped.
QString ExtraeNumero(const QString& text);
// A whole number typed for a folio or a document number: the digits 0-9 only, blanks around them
// allowed, up to 2147483647. nullopt for an empty text, letters, a sign, a fraction or more.
std::optional<qint64> EnteroTecleado(const QString& text);
// Every amount, quantity and percentage a person types is read here: blanks around it ignored, an
// optional sign when `conSigno`, digits and at most one "."; at least one digit. Thousands may be
// marked with "," only in whole groups of three ("5,000" and "1,234.50" read 5000 and 1234.5); no
// thousands figure starts with "0,", so there the comma is the decimal mark ("0,500" reads 0.5).
// "5,00", "1,2345", "1e3", "12abc", "." and "" are refused, never guessed, and so is a value of
// kNumeroMaximo or more, whose cents a double no longer keeps.
std::optional<double> LeeNumero(const QString& texto, bool conSigno = true);
inline constexpr double kNumeroMaximo = 1e13;
// What every form says of a number LeeNumero refused, naming the field.
QString MensajeNumero(const QString& campo);

// What a field accepts once its text reads as a number.
struct RangoNumero {
    bool negativo = false;   // below zero allowed
    bool cero = true;        // zero allowed
    double maximo = kNumeroMaximo;  // the largest value allowed (inclusive below kNumeroMaximo)
};
// A typed number read by LeeNumero (any sign) and then held to `rango`. On refusal nullopt, and
// `mensaje` (when given) says why in the field's name: MensajeNumero for a text that is no number,
// else which limit it passed.
std::optional<double> LeeNumeroEn(const QString& texto, const QString& campo, const RangoNumero& rango,
                                  QString* mensaje = nullptr);
// A typed whole number (a count, a whole percent) read like LeeNumeroEn; a text that is no whole
// number ("12abc", "2.5") is refused with MensajeEntero, a sign or a limit as LeeNumeroEn says.
std::optional<qint64> LeeEnteroEn(const QString& texto, const QString& campo, const RangoNumero& rango,
                                  QString* mensaje = nullptr);
// What every form says of a field that takes whole numbers only and got something else.
QString MensajeEntero(const QString& campo);
// What every form says of a required field left empty, naming it (nothing was stored).
QString MensajeRequerido(const QString& campo);
// Every "[ENTER]" replaced by a line feed.
QString ReemplazaEnter(const QString& text);
// True when every character, in capitals, is A-Z or 0-9 (an empty text too).
bool ValidaCaracteresRFC(const QString& text);
// Does nothing; kept so callers read as they always did.
void ProcedimientoVacio();

// --- rounding ---

// Rounds to `decimales` places, halves away from zero, on the value's shortest decimal form:
// Redondea(1.005, 2) = 1.01, Redondea(2.675, 2) = 2.68, Redondea(-0.125, 2) = -0.13.
double Redondea(double value, int decimales);
// The value in whole cents (for comparing money), with Redondea's rule.
qint64 Centavos(double value);

// --- showing numbers and dates ---

// A number through a pattern of '#', '0', ',' and '.': "###,##0.00" -> "1,234.50", "000000" ->
// "000042", "##,##0.00", "###,###.00" (0 -> ".00"), "00" -> "07". Halves away from zero; a negative
// value gets a leading "-". A pattern without '#' or '0' is returned as the number's plain text.
QString Formato(double value, const QString& patron);
// A date through a pattern where dd, mm, yyyy (any letter case) stand for day, month and year:
// "dd/mm/YYYY" -> "09/12/2026"; "MM/DD/YYYY" -> "12/09/2026". An invalid date gives "".
QString FormatoFecha(const QDate& fecha, const QString& patron = QStringLiteral("dd/mm/yyyy"));
// The month's name in Spanish, in small letters ("diciembre"); "" outside 1-12.
QString NombreMes(int mes);
// The long date in Spanish, in capitals: "MIÉRCOLES, 9 DE DICIEMBRE DE 2026".
QString FechaLarga(const QDate& fecha);
// ISO-8601 text as stored in the databases: "2026-12-09" and "2026-12-09 14:05:00".
QString FechaISO(const QDate& fecha);
QString FechaHoraISO(const QDateTime& momento);

// A text cut or padded with blanks to exactly `ancho` characters, left-aligned.
QString Ajusta(const QString& text, int ancho);

// What grids show for stored codes: the document letter of a sale (T, F, E, C) and a document's
// status (1 in force, any other value cancelled). A code these do not know shows as stored.
QString NombreTipoDocumento(const QString& letra);
QString NombreStatusDocumento(const QString& status);

}  // namespace shell
