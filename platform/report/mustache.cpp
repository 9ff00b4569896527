#include "platform/report/mustache.h"

#include "platform/report/records.h"
#include "platform/report/totals.h"

#include <QDate>
#include <QDateTime>
#include <QRegularExpression>

#include <limits>

namespace report::detail {

namespace {

// Dates as the system shows them.
QString dateText(const QString& s) {
    static thread_local const QRegularExpression iso(
        QStringLiteral("^(\\d{4})-(\\d{2})-(\\d{2})([ T]\\d{2}:\\d{2}(:\\d{2})?)?$"));
    const auto m = iso.match(s);
    if (!m.hasMatch())
        return s;
    return m.captured(3) + QLatin1Char('/') + m.captured(2) + QLatin1Char('/') + m.captured(1);
}

}  // namespace

mstch::map toMap(const QVariantMap& vm) {
    mstch::map m;
    for (auto it = vm.begin(); it != vm.end(); ++it)
        m.emplace(it.key().toStdString(), toNode(it.value()));
    return m;
}

namespace {

std::vector<std::string> stdNames(const Records& r) {
    std::vector<std::string> out;
    for (const QString& name : r.names())
        out.push_back(name.toStdString());
    return out;
}

mstch::map recordNode(const Records& r, const std::vector<std::string>& names, qsizetype i) {
    mstch::map m;
    for (int c = 0; c < static_cast<int>(names.size()); ++c) {
        const QVariant v = r.value(i, c);
        if (v.isValid())  // a field the record lacks is looked for around it, as in a map
            m.emplace(names[static_cast<size_t>(c)], toNode(v));
    }
    return m;
}

}  // namespace

mstch::node itemNode(const QVariant& list, qsizetype i) {
    if (list.metaType() == QMetaType::fromType<Records>()) {
        const Records r = list.value<Records>();
        return recordNode(r, stdNames(r), i);
    }
    return toNode(list.toList().value(i));
}

mstch::node toNode(const QVariant& v) {
    if (v.metaType() == QMetaType::fromType<Records>()) {
        const Records r = v.value<Records>();
        const std::vector<std::string> names = stdNames(r);
        mstch::array a;
        a.reserve(static_cast<size_t>(r.size()));
        for (qsizetype i = 0; i < r.size(); ++i)
            a.push_back(recordNode(r, names, i));
        return a;
    }
    if (!v.isValid() || v.isNull())
        return std::string();
    switch (v.typeId()) {
    case QMetaType::QVariantMap:
        return toMap(v.toMap());
    case QMetaType::QVariantList:
    case QMetaType::QStringList: {
        mstch::array a;
        for (const QVariant& e : v.toList())
            a.push_back(toNode(e));
        return a;
    }
    case QMetaType::Bool:
        return v.toBool();
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::ULongLong: {
        const qint64 n = v.toLongLong();
        if (n >= std::numeric_limits<int>::min() && n <= std::numeric_limits<int>::max())
            return static_cast<int>(n);
        return v.toString().toStdString();
    }
    case QMetaType::Double:
    case QMetaType::Float:
        return formatAmount(v.toDouble()).toStdString();
    case QMetaType::QDate:
        return v.toDate().toString(QStringLiteral("dd/MM/yyyy")).toStdString();
    case QMetaType::QDateTime:
        return v.toDateTime().toString(QStringLiteral("dd/MM/yyyy")).toStdString();
    default:
        return dateText(v.toString()).toStdString();
    }
}

QString fill(const QString& tmpl, const mstch::node& root) {
    return QString::fromStdString(mstch::render(tmpl.toStdString(), root));
}

std::set<QString> namesRead(const QString& t) {
    static const QRegularExpression tag(QStringLiteral("\\{\\{\\s*[#^&/{]?\\s*([^}\\s.!>]+)"));
    std::set<QString> out;
    for (auto it = tag.globalMatch(t); it.hasNext();)
        out.insert(it.next().captured(1));
    return out;
}

}  // namespace report::detail
