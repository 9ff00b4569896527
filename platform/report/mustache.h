#pragma once
// Values handed to mstch, shared by the report layer's own files (not part of its interface).

#include <mstch/mstch.hpp>

#include <QString>
#include <QVariant>
#include <QVariantMap>

namespace report::detail {

// A value as the template shows it: reals as amounts, ISO dates as dd/mm/yyyy.
mstch::node toNode(const QVariant& v);
mstch::map toMap(const QVariantMap& m);

QString fill(const QString& tmpl, const mstch::node& root);

}  // namespace report::detail
