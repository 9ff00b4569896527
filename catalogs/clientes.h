#pragma once
// The customer catalogue: the rows of `Cliente` (central file), the lists the form chooses from,
// the checks a customer passes before it is saved or the catalogue is left, and the save and delete.
// A save writes the customer and, when its RFC changed, moves the current branch's sales to the new
// RFC, all in one transaction.

#include "platform/db/database.h"

#include <QString>
#include <QStringList>

#include <optional>

namespace catalogos {

struct Cliente {
    QString RFC, CURP, Nombre, Direccion, NumExterior, NumInterior, Colonia, Localidad, Municipio,
        Ciudad, Estado;
    qint64 Pais = 0;  // position in the country list
    QString CP, Telefono;
    qint64 TipoCompra = 0;  // TCompra code of the purchase type
    QString RutaZona;
    double LimiteCredito = 0;
    QString Emails, cltereferencia;
};

// A row of `Cliente` as the form shows it: Null reads as "" or 0.
Cliente ClienteDeFila(const db::Row& fila);

// What the sale screen reads back from the catalogue: RFC & ";" & Nombre.
QString TextoSeleccion(const Cliente& c);

// The CURP field follows the RFC while the RFC is shorter than 11 characters (the two share their
// first ten); from then on the CURP typed stays.
QString CurpSegunRFC(const QString& rfc, const QString& curpActual);

// Search fields of the catalogue, in the order of its list.
const QStringList& CamposBusqueda();

// The catalogue's rows: all customers ordered by `campo` (texto empty) or those whose `campo`
// begins with texto. False when the search failed (the message was shown; filas then holds the
// whole list).
bool BuscaClientes(db::Database& bd, const QString& campo, const QString& texto, db::Rows* filas);

// The three lists of the form.
struct ListasCliente {
    QStringList tiposCompra;  // TiposCompraCliente.Descripcion by TCompra
    QList<qint64> codigosCompra;  // their TCompra codes, in the same order
    QStringList estados;      // Estados.Nombre; the first entry counts as no state
    QStringList paises;       // Paises.NombrePais
};
std::optional<ListasCliente> LeeListasCliente(db::Database& bd, db::Error* error = nullptr);

// Position a new customer's country starts at: MEXICO's wherever the shop's list has it (stored
// customers keep their position); the list's second entry when it has no MEXICO, as before.
int PosicionPaisNuevo(const QStringList& paises);

// Position of the state entry whose text equals `estado` without regard to case; 0 when none does.
int PosicionEstado(const QStringList& estados, const QString& estado);

// What ValidaCliente looks at: the typed fields and the chosen list positions (-1 = none).
struct DatosValidacion {
    QString RFC, NumExterior, Colonia, Municipio;
    int estado = -1;
    int tipoCompra = -1;
};
struct Validacion {
    QString mensaje;      // the first failure, "" when none
    bool bloquea = false; // only a missing purchase type stops the save or the close
};
Validacion ValidaCliente(const DatosValidacion& d);

// What a customer needs before it is saved: its RFC and name typed, the credit limit empty or a
// number. The first failure's message, "" when none.
QString RequeridosCliente(const Cliente& c, const QString& limiteTecleado);

// Text a customer is stored with: CURP and RutaZona keep exactly one trailing blank (saving the
// same customer again adds none), Nombre without blanks at either end.
Cliente ClienteParaGuardar(const Cliente& c);

enum class FallaGuardado { Ninguna, RFCDuplicado, SinRegistro, Otra };
struct Guardado {
    FallaGuardado falla = FallaGuardado::Ninguna;
    QString mensaje;  // for the person, "" on success
    int ventasMovidas = 0;
    bool ok() const { return falla == FallaGuardado::Ninguna; }
};

// Saves one customer in one transaction on `bd` (a handle that reaches `Cliente`; the current
// branch file with its links when the RFC of an existing customer changes, since its `Venta` rows
// and its credit sales, as buyer and as guarantor, follow the new RFC). nuevo: insert; otherwise the row keyed rfcAnterior is rewritten.
// `espera`: how the save waits while another terminal holds the file (the form shows it in the
// status bar and lets Esc leave it; a given-up wait is a failure that says the file is busy).
Guardado GrabaCliente(db::Database& bd, const Cliente& c, bool nuevo, const QString& rfcAnterior,
                      const db::LockWait& espera = {});

// Deletes the customer with that RFC. False and the message on failure.
bool BorraCliente(db::Database& bd, const QString& rfc, QString* mensaje = nullptr);

}  // namespace catalogos
