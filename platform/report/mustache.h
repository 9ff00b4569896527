#pragma once
// Values handed to mstch, shared by the report layer's own files (not part of its interface).

#include <mstch/mstch.hpp>

#include <QString>
#include <QVariant>
#include <QVariantMap>

#include <set>

namespace report::detail {

// A value as the template shows it: reals as amounts, ISO dates as dd/mm/yyyy.
mstch::node toNode(const QVariant& v);
mstch::map toMap(const QVariantMap& m);
// Item i of a list (a QVariantList or Records) as the template sees it.
mstch::node itemNode(const QVariant& list, qsizetype i);

QString fill(const QString& tmpl, const mstch::node& root);

// The names a template reads (the first part of a dotted name).
std::set<QString> namesRead(const QString& tmpl);

}  // namespace report::detail
