#pragma once
// The two test prints of the printer set-up: the fixed ESC/POS sample of the printer-choice dialog,
// written to a port, and the branch parameters form's test ticket, sent with the values on that
// form before they are saved.

#include "platform/ui/prompts.h"

#include <QByteArray>
#include <QDateTime>
#include <QString>

// The dialog's sample: thirteen lines, each followed by CR LF, ending with a paper cut with feed.
QByteArray MuestraEscPos();
// Writes the sample to the device the port names ("lpt1:" is /dev/lp0). The printer named in the
// dialog becomes the current one. A port that cannot be opened is reported by name; nothing is
// written then.
bool ImprimeMuestraEscPos(const QString& impresora, const QString& puerto, ui::Prompts& avisos);

// The form's values the test ticket uses in place of the branch's own.
struct PruebaTicket {
    QString impresora;     // the ticket printer's queue; "" = the default printer
    int codigos = 0;       // code set 0-3
    int metodo = 0;        // 0 port or printer object, any other the spooler
    bool cajon = false;    // the drawer pulse is on
};

// The test ticket's text: the initialise code (only with a printer named), the centred company and
// branch lines, then the fixed lines, each ending in a line feed; no cut. The drawer pulse is not
// in it: it goes before it as a job of its own.
QString TextoPruebaTicket(const PruebaTicket& p, bool conImpresora, const QDateTime& ahora);

// Composes and sends the test ticket. The running program's code set, drawer setting, ports and
// current printer are the same afterwards. A named printer that is not installed is reported and
// nothing is sent; with the drawer off "pulso cajon desact" is shown before sending.
bool ImprimePruebaTicket(const PruebaTicket& p, ui::Prompts& avisos,
                         const QDateTime& ahora = QDateTime::currentDateTime());
