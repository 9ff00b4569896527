#pragma once
// Grouping and totals shared by every report: the rows come from one query, the report hands the
// template groups with their totals, already computed here. Sums are exact to the given number of
// decimals (each value is taken in whole hundredths, or thousandths, before adding), so a column of
// amounts never drifts by a cent.

#include "platform/db/database.h"

#include <QHash>
#include <QSet>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <QVariantList>
#include <QVariantMap>

#include <functional>
#include <vector>

namespace report {

using RowTest = std::function<bool(const db::Row&)>;

// Rows that share the value of the key fields. Groups keep the order in which their key first
// appears; the rows inside keep their own order.
struct Group {
    QVariantList key;  // one value per key field
    db::Rows rows;
};
std::vector<Group> groupBy(const db::Rows& rows, const QStringList& keyFields);

// Sum of a field over the rows (Null counts as 0).
double sum(const db::Rows& rows, const QString& field, int decimals = 2);
// Sum of a field over the rows that pass the test.
double sumIf(const db::Rows& rows, const QString& field, const RowTest& test, int decimals = 2);
// Sum of a header field repeated on every line: counted once per document, a document being the
// rows sharing the key fields (e.g. Numero and Tipo), whether its lines sit together or not.
double sumOncePer(const db::Rows& rows, const QStringList& documentKey, const QString& field,
                  int decimals = 2);
// Number of distinct documents.
int countDistinct(const db::Rows& rows, const QStringList& documentKey);

// The names a template reads: anywhere in it, and inside each of its sections by the section's
// name (the items of a list read what its section reads).
struct FieldsRead {
    QSet<QString> all;
    QHash<QString, QSet<QString>> in;
};

// A row as a map (field name -> value), and rows as a list of them, for a template. `list`: the
// list of the template the map goes into, when known.
QVariantMap toVariant(const db::Row& row, const QString& list = {});
QVariantList toVariant(const db::Rows& rows);

// While one lives, toVariant() on its thread keeps only the fields the template reads (inside the
// section of the list named, when it has one; anywhere in it when the list is not named or the
// template reads it otherwise; none for a list it never shows): a report's lines carry
// what its template shows and not every column of their query (at a shop's year the maps of every
// column were most of a report's memory). Nests; an empty set keeps every field.
class OnlyFields {
public:
    explicit OnlyFields(FieldsRead names);
    ~OnlyFields();
    OnlyFields(const OnlyFields&) = delete;
    OnlyFields& operator=(const OnlyFields&) = delete;

private:
    const FieldsRead* before_;
    FieldsRead names_;
};

// Calls make(part, from, to) for `parts` consecutive runs of [0, count), each on a thread of its
// own, with this thread's OnlyFields in force there too; returns once every run is made. One part
// (or a count too small to share) runs here.
void inParts(qsizetype count, int parts, const std::function<void(int part, qsizetype from, qsizetype to)>& make);
// The parts worth making of `count` items, each of at least `atLeast`: one a processor core, up to
// eight, and one when the items are fewer.
int partsFor(qsizetype count, qsizetype atLeast);

namespace detail {
// The fields toVariant() keeps for the list named (see OnlyFields); null: every field.
const QSet<QString>* fieldsKept(const QString& list);
}  // namespace detail

// "###,##0.00": an amount with thousands separated by commas and two decimals.
QString formatAmount(double value, int decimals = 2);

// An amount in words as Mexican invoices print it:
// 1234.5 -> "MIL DOSCIENTOS TREINTA Y CUATRO PESOS 50/100 M.N."
QString amountInWords(double amount);

}  // namespace report
