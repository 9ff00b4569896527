#pragma once
// A report's lines kept compactly: a list of records (maps of field -> value) that share their
// field names. The names are held once, every value in one array of small cells, every text in
// one buffer, and the lists inside the records (a document's lines) in one store of their own for
// all of them. A year of lines as one map per line weighed many times its values and left the
// memory in crumbs; as records it weighs about what its values do, in a few large blocks.
//
// A QVariant holding Records reads as a list of maps (toList(), value<QVariantList>()), so code that
// reads a report's data as maps reads it as before; the report layer reads the records in place.

#include <QExplicitlySharedDataPointer>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <QVariantList>
#include <QVariantMap>

namespace report {

class Records {
public:
    Records();
    // Records for the template's list `list`: while an OnlyFields lives on this thread, only the
    // fields the template reads inside that list are kept (none for a list it never shows), and
    // the same for the lists inside the records, by their names.
    explicit Records(const QString& list);
    Records(const Records&);
    Records& operator=(const Records&);
    Records(Records&&) noexcept;
    Records& operator=(Records&&) noexcept;
    ~Records();

    // Adds a record. A field no record had before adds a column (the records before lack it). A
    // field holding a list of maps (or Records) is kept as records too.
    void append(const QVariantMap& record);
    // Adds every record of `other` after these, in order (a field these lack adds a column).
    void append(const Records& other);

    qsizetype size() const { return count_; }
    bool isEmpty() const { return count_ == 0; }
    QStringList names() const;
    int column(const QString& field) const;  // -1 when no record has it
    // The field of record i; an invalid QVariant when the record lacks it.
    QVariant value(qsizetype i, int column) const;
    QVariant value(qsizetype i, const QString& field) const { return value(i, column(field)); }
    // Whether record i has the field, and the size of the list it holds there (-1 when it holds
    // none), without making the value.
    bool has(qsizetype i, int column) const;
    qsizetype listSize(qsizetype i, int column) const;
    // Record i as a map (the fields it has).
    QVariantMap at(qsizetype i) const;
    QVariantList toList() const;
    // Gives back what the building kept in reserve.
    void squeeze();

    // Every list of maps inside `v` (and inside their maps) as records, the maps let go of as they
    // are taken in; other values as they are. A list holding anything but maps stays a list. A list
    // under a name keeps the fields an OnlyFields of this thread keeps for the template's list of
    // that name; `list` names `v` itself.
    static QVariant compact(QVariant v, const QString& list = {});
    static void compact(QVariantMap& values);

    struct Data;

private:
    void detach();
    QExplicitlySharedDataPointer<Data> d;
    qsizetype first_ = 0, count_ = 0;  // the records of `d` this one is
};

// The same records: the same fields with the same values, in the same order.
bool operator==(const Records& a, const Records& b);
inline bool operator!=(const Records& a, const Records& b) { return !(a == b); }

// A list as the report layer reads it, whether a QVariantList or Records: its size (-1 when `v`
// is neither) and its item i as a map (an empty map for an item that is not one).
qsizetype listSize(const QVariant& v);
QVariantMap listItem(const QVariant& v, qsizetype i);
// Item i's field without making the whole item (a field it has without a value reads as "");
// an invalid QVariant when the item lacks it.
QVariant listValue(const QVariant& v, qsizetype i, const QString& field);
// Whether item i has the field, and the size of the list it holds there (-1 when none), without
// making either.
bool listHas(const QVariant& v, qsizetype i, const QString& field);
qsizetype listSizeAt(const QVariant& v, qsizetype i, const QString& field);
// The fields the items have, each once.
QStringList listNames(const QVariant& v);

}  // namespace report

Q_DECLARE_METATYPE(report::Records)
