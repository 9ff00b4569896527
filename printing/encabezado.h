#pragma once
// The block that opens every sale ticket: company, branch, header text, document number and date.

#include <QDateTime>
#include <QString>

// Appends the block to the ticket buffer with the code set already loaded. `fechaVenta` is the
// stored date of the document ("2026-12-09" or "2026-12-09 14:05:00"); `impreso` is the moment of
// printing, whose time of day goes beside the date.
void EncabezadoTicket(const QString& fechaVenta, qint64 numeroDocumento, const QDateTime& impreso);

// "dd/mm/yyyy", followed by the time when the stored value has one.
QString FechaGeneral(const QString& fechaGuardada);
// "hh:mm:ss AM" / "PM".
QString HoraLarga(const QTime& hora);
