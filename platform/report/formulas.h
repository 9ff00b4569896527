#pragma once
// The named values a report shows beside its rows (company name, invoice number, date range...).
// A report keeps 21 numbered slots; each holds a name and a typed value. Values are kept as they
// are, never joined into template text, so an apostrophe or an accent in a name prints as typed.

#include <QString>
#include <QVariant>
#include <QVariantMap>

#include <array>

namespace report {

struct Formula {
    QString name;   // "" = free slot
    QVariant value;
    bool empty() const { return name.isEmpty(); }
};

class Formulas {
public:
    static constexpr int kSlots = 21;

    // Stores name and value in the slot; a slot outside 0..20 is ignored (false).
    bool set(int slot, const QString& name, const QVariant& value);
    // Empties the slot (the old control's "" text).
    void clear(int slot);
    // Empties every slot 0..20.
    void clear();

    const Formula& slot(int i) const;  // an empty formula outside 0..20
    // Value of the first slot (from 0 up) with that name, matched without case; invalid when none.
    QVariant value(const QString& name) const;
    bool has(const QString& name) const { return value(name).isValid(); }
    // The slot as the person reads it: Name='text' for texts and dates, Name=number otherwise,
    // "" for a free slot.
    QString text(int slot) const;
    // Every named slot, the first of a repeated name winning.
    QVariantMap toMap() const;
    int count() const;  // slots in use

private:
    std::array<Formula, kSlots> slots_;
};

}  // namespace report
