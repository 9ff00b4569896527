#pragma once
// Several PDF files joined into one, their pages in the order given.

#include <QString>
#include <QStringList>

namespace report {

// Writes `out` with every page of `parts` in order, titled `title`; false when a part cannot be
// read or `out` cannot be written (the reason goes to the program's log).
bool joinPdf(const QStringList& parts, const QString& out, const QString& title);

}  // namespace report
