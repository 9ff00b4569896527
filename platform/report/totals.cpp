#include "platform/report/totals.h"

#include "platform/money/money.h"

#include <QHash>
#include <QSet>
#include <QThread>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <memory>
#include <optional>

namespace report {
namespace {

// The value in whole 10^-decimals units, rounded the way money is everywhere (1.005 -> 101).
qint64 scaled(double v, int decimals) {
    qint64 u = 0;
    if (money::redondeaUnidades(v, decimals, &u))
        return u;
    return std::llround(v * std::pow(10.0, decimals));
}

double unscale(qint64 total, int decimals) {
    return static_cast<double>(total) / std::pow(10.0, decimals);
}

// A key that tells documents apart: the values' texts joined with a separator no value holds.
QString keyOf(const db::Row& row, const QStringList& fields) {
    QString k;
    for (const QString& f : fields) {
        const QVariant v = row.value(f);
        k += v.isNull() ? QStringLiteral("\x01") : v.toString();
        k += QChar(0x1F);
    }
    return k;
}

}  // namespace

std::vector<Group> groupBy(const db::Rows& rows, const QStringList& keyFields) {
    std::vector<Group> groups;
    QHash<QString, size_t> where;
    for (const db::Row& r : rows) {
        const QString k = keyOf(r, keyFields);
        auto it = where.find(k);
        if (it == where.end()) {
            Group g;
            for (const QString& f : keyFields)
                g.key.append(r.value(f));
            groups.push_back(std::move(g));
            it = where.insert(k, groups.size() - 1);
        }
        groups[*it].rows.push_back(r);
    }
    return groups;
}

double sum(const db::Rows& rows, const QString& field, int decimals) {
    return sumIf(rows, field, {}, decimals);
}

double sumIf(const db::Rows& rows, const QString& field, const RowTest& test, int decimals) {
    qint64 total = 0;
    for (const db::Row& r : rows)
        if (!test || test(r))
            total += scaled(r.real(field), decimals);
    return unscale(total, decimals);
}

double sumOncePer(const db::Rows& rows, const QStringList& documentKey, const QString& field,
                  int decimals) {
    qint64 total = 0;
    QSet<QString> seen;
    for (const db::Row& r : rows) {
        const QString k = keyOf(r, documentKey);
        if (seen.contains(k))
            continue;
        seen.insert(k);
        total += scaled(r.real(field), decimals);
    }
    return unscale(total, decimals);
}

int countDistinct(const db::Rows& rows, const QStringList& documentKey) {
    QSet<QString> seen;
    for (const db::Row& r : rows)
        seen.insert(keyOf(r, documentKey));
    return static_cast<int>(seen.size());
}

namespace {
thread_local const FieldsRead* onlyFields = nullptr;
}

OnlyFields::OnlyFields(FieldsRead names) : before_(onlyFields), names_(std::move(names)) {
    onlyFields = names_.all.isEmpty() ? nullptr : &names_;
}

OnlyFields::~OnlyFields() { onlyFields = before_; }

int partsFor(qsizetype count, qsizetype atLeast) {
    const qsizetype cores = std::clamp(QThread::idealThreadCount(), 1, 8);
    return static_cast<int>(std::clamp<qsizetype>(count / std::max<qsizetype>(1, atLeast), 1, cores));
}

void inParts(qsizetype count, int parts, const std::function<void(int, qsizetype, qsizetype)>& make) {
    parts = static_cast<int>(std::clamp<qsizetype>(parts, 1, std::max<qsizetype>(1, count)));
    auto range = [&](int k) { return std::make_pair(count * k / parts, count * (k + 1) / parts); };
    if (parts == 1) {
        make(0, 0, count);
        return;
    }
    const FieldsRead* reading = onlyFields;
    std::vector<std::unique_ptr<QThread>> threads;
    for (int k = 1; k < parts; ++k) {
        threads.emplace_back(QThread::create([&, k] {
            std::optional<OnlyFields> same;
            if (reading)
                same.emplace(*reading);
            const auto [from, to] = range(k);
            make(k, from, to);
        }));
        threads.back()->start();
    }
    const auto [from, to] = range(0);
    make(0, from, to);
    for (auto& t : threads)
        t->wait();
}

namespace detail {

const QSet<QString>* fieldsKept(const QString& list) {
    static const QSet<QString> none;
    if (!onlyFields)
        return nullptr;
    const auto it = list.isEmpty() ? onlyFields->in.cend() : onlyFields->in.constFind(list);
    if (it != onlyFields->in.cend())
        return &it.value();
    if (list.isEmpty() || onlyFields->all.contains(list))
        return &onlyFields->all;
    return &none;  // a list the template never shows
}

}  // namespace detail

QVariantMap toVariant(const db::Row& row, const QString& list) {
    const QSet<QString>* keep = detail::fieldsKept(list);
    QVariantMap m;
    for (int i = 0; i < row.count(); ++i) {
        const QString name = row.name(i);
        if (!keep || keep->contains(name))
            m.insert(name, row.value(i));
    }
    return m;
}

QVariantList toVariant(const db::Rows& rows) {
    QVariantList list;
    list.reserve(static_cast<qsizetype>(rows.size()));
    for (const db::Row& r : rows)
        list.append(toVariant(r));
    return list;
}

QString formatAmount(double value, int decimals) {
    return money::formatea(value, decimals);
}

namespace {

const char* const kUnits[] = {"",          "UN",        "DOS",        "TRES",      "CUATRO",
                              "CINCO",     "SEIS",      "SIETE",      "OCHO",      "NUEVE",
                              "DIEZ",      "ONCE",      "DOCE",       "TRECE",     "CATORCE",
                              "QUINCE",    "DIECISEIS", "DIECISIETE", "DIECIOCHO", "DIECINUEVE",
                              "VEINTE",    "VEINTIUN",  "VEINTIDOS",  "VEINTITRES", "VEINTICUATRO",
                              "VEINTICINCO", "VEINTISEIS", "VEINTISIETE", "VEINTIOCHO",
                              "VEINTINUEVE"};
const char* const kTens[] = {"", "", "", "TREINTA", "CUARENTA", "CINCUENTA", "SESENTA", "SETENTA",
                             "OCHENTA", "NOVENTA"};
const char* const kHundreds[] = {"",           "CIENTO",       "DOSCIENTOS", "TRESCIENTOS",
                                 "CUATROCIENTOS", "QUINIENTOS", "SEISCIENTOS", "SETECIENTOS",
                                 "OCHOCIENTOS",  "NOVECIENTOS"};

// 0..999 in words ("" for 0).
QString below1000(int n) {
    QStringList parts;
    if (n == 100)
        return QStringLiteral("CIEN");
    if (n >= 100)
        parts << QString::fromLatin1(kHundreds[n / 100]);
    const int r = n % 100;
    if (r > 0 && r < 30)
        parts << QString::fromLatin1(kUnits[r]);
    else if (r >= 30) {
        QString t = QString::fromLatin1(kTens[r / 10]);
        if (r % 10)
            t += QStringLiteral(" Y ") + QString::fromLatin1(kUnits[r % 10]);
        parts << t;
    }
    return parts.join(QLatin1Char(' '));
}

QString words(qint64 n) {
    if (n == 0)
        return QStringLiteral("CERO");
    QStringList parts;
    const qint64 millions = n / 1000000;
    const int thousands = static_cast<int>((n / 1000) % 1000);
    const int rest = static_cast<int>(n % 1000);
    if (millions > 0)
        parts << (millions == 1 ? QStringLiteral("UN MILLON")
                                : words(millions) + QStringLiteral(" MILLONES"));
    if (thousands > 0)
        parts << (thousands == 1 ? QStringLiteral("MIL") : below1000(thousands) + QStringLiteral(" MIL"));
    if (rest > 0)
        parts << below1000(rest);
    return parts.join(QLatin1Char(' '));
}

}  // namespace

QString amountInWords(double amount) {
    const qint64 cents = std::llabs(money::centavos(amount));
    const qint64 pesos = cents / 100;
    QString w = words(pesos);
    // "UN MILLON DE PESOS", "DOS MILLONES DE PESOS": a round million takes "DE".
    if (pesos > 0 && pesos % 1000000 == 0)
        w += QStringLiteral(" DE");
    w += pesos == 1 ? QStringLiteral(" PESO ") : QStringLiteral(" PESOS ");
    w += QString::number(cents % 100).rightJustified(2, QLatin1Char('0')) + QStringLiteral("/100 M.N.");
    return w;
}

}  // namespace report
