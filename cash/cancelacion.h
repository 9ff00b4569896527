#pragma once
// Taking back a ticket or invoice sold by mistake: marking it cancelled (it stays on record, leaves
// the cash cut and can no longer be returned) or deleting it with its lines. Either way the goods go
// back into the branch stock once, less what returns already gave back, in the same write
// transaction as the change of the document.

#include "platform/db/database.h"
#include "platform/ui/prompts.h"

#include <QMap>
#include <QString>

#include <functional>
#include <optional>
#include <vector>

namespace caja {

// The document as the cancellation reads it (leerfactura's header).
struct DocumentoVenta {
    bool encontrado = false;
    qint64 Numero = 0;
    QString Tipo;
    double Total = 0;
    QString Cliente;
    int Status = 1;
    qint64 IdCorte = 0;
    int FE = 0;
    // A day invoice gathers tickets that already took their stock (its IdCorte is -1).
    bool EsFacturaDia() const { return Tipo != QLatin1String("T") && IdCorte == -1; }
    bool facturaDiaActiva = false;  // a gathered ticket whose day invoice is still active
    // A ticket gathered into an issued day invoice that has not been cancelled.
    bool EnFacturaDia() const { return Tipo == QLatin1String("T") && FE == 2 && facturaDiaActiva; }
    // A closed cash cut holds it: its figures must stay as they were made.
    bool EnCorteCerrado() const { return IdCorte > 0; }
};

std::optional<DocumentoVenta> LeeDocumentoVenta(db::Database& bd, qint64 numero, const QString& letra,
                                                db::Error* error = nullptr);

// Label1: "Factura: " n CR LF "Importe: " total CR LF "Cliente: " client ("Ticket: " for a ticket).
QString TextoDocumento(const DocumentoVenta& doc);

// What goes back into stock per product: sold minus what returns gave back, only the positive rest;
// nothing for a cancelled document or a day invoice.
std::optional<QMap<qint64, double>> ExistenciaPorDevolver(db::Database& bd, const DocumentoVenta& doc,
                                                          db::Error* error = nullptr);

// Payment-form code of cash (the default form of a sale).
constexpr int FormaEfectivo = 1;

// What a cancel or a delete gives back to the customer, by the forms he paid in: the cash handed
// over, what goes back by card, transfer, cheque and the like (form code, cents), the credit notes
// that paid the document and are spendable again, and the new notes made for a note's share
// (number, cents).
struct Entrega {
    qint64 efectivoCentavos = 0;
    std::vector<std::pair<int, qint64>> formas;
    std::vector<qint64> notas;
    std::vector<std::pair<qint64, qint64>> notasNuevas;
    QMap<int, QString> nombres;  // the name of each form in `formas`
};

// The name of a payment form: the loaded list, else the catalogue, else its number.
QString NombreFormaPago(db::Database& bd, int forma);
// "Entregue al cliente $ 19.00" (when cash goes back, or nothing at all), "Devuelva $ 46.00 por
// TARJETA DE DEBITO" per other form, and a line per note spendable again or made.
QString TextoEntrega(const Entrega& entrega);

enum class Baja {
    Hecha,
    NoEncontrada,  // the document is not there (any more)
    YaCancelada,
    EnFacturaDia,  // a ticket of an issued day invoice
    EnCorte,       // a delete of a document a closed cash cut holds
    Cancelada,     // the wait for the file was given up
    Falla,         // a database error (in `error`)
};

// The writes: stock back and Status 0 (cancel), or stock back and the header and that letter's
// lines deleted (delete). Every state is read again inside the transaction. A day invoice gives
// its tickets back to the free list. For an active sale, the pending cash cut moves by what the
// customer is handed back (what he paid less what returns gave him), by every form but the credit
// notes: a sale of the pending cut leaves it, and only the difference is written as a movement; a
// sale of a closed cut stays there and the whole amount is a money-out movement of the pending
// cut. What goes back goes back as it was paid: a note's share as that note again (when the
// document carries all of it) or as a new note, never as cash. A closed cut's document is never
// deleted.
Baja CancelaDocumento(db::Database& bd, qint64 numero, const QString& letra, const db::LockWait& espera,
                      db::Error* error = nullptr, Entrega* entrega = nullptr);
Baja BorraDocumento(db::Database& bd, qint64 numero, const QString& letra, const db::LockWait& espera,
                    db::Error* error = nullptr, Entrega* entrega = nullptr);

// The form's three commands without the form. `tituloVenta` is the caption of the loaded sale
// screen ("" when none is loaded); `estado` shows the status-bar texts.
struct Cancelacion {
    db::Database* bd = nullptr;
    ui::Prompts* prompts = nullptr;
    db::LockWait espera;
    std::function<void(const QString&)> estado;
    // Shows the text of the document a cancel or delete is about (read for the kind and number
    // asked, "" when none), before its question is asked.
    std::function<void(const QString&)> informa;

    // "Ver datos...": the document's text for Label1, "" when nothing was found or asked.
    QString VerInfo(const QString& item, const QString& numeroTexto, std::optional<DocumentoVenta>* doc = nullptr);
    // True when the document was cancelled (the form then closes).
    bool Cancela(const QString& item, const QString& numeroTexto, const QString& tituloVenta, QString* info = nullptr);
    // True when the document was deleted.
    bool Borra(const QString& item, const QString& numeroTexto, const QString& tituloVenta, QString* info = nullptr);

private:
    bool Revisa(const QString& tituloVenta, const QString& numeroTexto, qint64* numero);
    bool Escribe(Baja b, const QString& letra, const db::Error& e);
    bool DaDeBaja(bool borrar, const QString& item, const QString& numeroTexto, const QString& tituloVenta,
                  QString* info);
};

}  // namespace caja
