#pragma once
// A pick one form asks of a catalogue: the catalogue offers what it shows as the person moves in
// it, and the form that asked takes it once. A form that asked nothing, or took its pick already,
// never gets what a catalogue shows for somebody else (a customer chosen for a sale, a supplier
// looked at from the menu).

#include <QObject>
#include <QString>

#include <optional>

namespace shell {

// `quien` asks the catalogue named `catalogo` (its object name) for a pick, replacing any pick it
// asked before. What that catalogue shows now, or offers from now on, is what `quien` will take.
void PideSeleccion(const QObject* quien, const QString& catalogo);
// The catalogue `catalogo` shows `valor` ("" when it shows none): its pick for whoever asked it;
// SeleccionCatalogo holds it too, as the forms that read it there expect.
void OfreceSeleccion(const QString& catalogo, const QString& valor);
// The pick `quien` asked for: the value its catalogue offered last. nullopt when it asked for none
// or took it already. With `termina` false the pick stays open (its picker is still in sight, so
// the person may choose again there) and the next call gives the value offered by then.
std::optional<QString> TomaSeleccion(const QObject* quien, bool termina = true);

}  // namespace shell
