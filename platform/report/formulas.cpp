#include "platform/report/formulas.h"

#include <QDate>
#include <QDateTime>

namespace report {

bool Formulas::set(int slot, const QString& name, const QVariant& value) {
    if (slot < 0 || slot >= kSlots)
        return false;
    slots_[slot] = Formula{name, value};
    return true;
}

void Formulas::clear(int slot) {
    if (slot >= 0 && slot < kSlots)
        slots_[slot] = Formula{};
}

void Formulas::clear() {
    for (auto& f : slots_)
        f = Formula{};
}

const Formula& Formulas::slot(int i) const {
    static const Formula none;
    if (i < 0 || i >= kSlots)
        return none;
    return slots_[i];
}

QVariant Formulas::value(const QString& name) const {
    for (const auto& f : slots_)
        if (!f.empty() && f.name.compare(name, Qt::CaseInsensitive) == 0)
            return f.value.isValid() ? f.value : QVariant(QString());
    return {};
}

QString Formulas::text(int i) const {
    const Formula& f = slot(i);
    if (f.empty())
        return {};
    const QVariant& v = f.value;
    switch (v.typeId()) {
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
    case QMetaType::Double:
    case QMetaType::Float:
        return f.name + QLatin1Char('=') + v.toString();
    case QMetaType::Bool:
        return f.name + QLatin1Char('=') + (v.toBool() ? QStringLiteral("1") : QStringLiteral("0"));
    case QMetaType::QDate:
        return f.name + QStringLiteral("=Date(") + v.toDate().toString(QStringLiteral("yyyy,MM,dd")) +
               QLatin1Char(')');
    default:
        return f.name + QStringLiteral("='") + v.toString() + QLatin1Char('\'');
    }
}

QVariantMap Formulas::toMap() const {
    QVariantMap m;
    for (const auto& f : slots_)
        if (!f.empty() && !m.contains(f.name))
            m.insert(f.name, f.value);
    return m;
}

int Formulas::count() const {
    int n = 0;
    for (const auto& f : slots_)
        n += f.empty() ? 0 : 1;
    return n;
}

}  // namespace report
