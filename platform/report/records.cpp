#include "platform/report/records.h"

#include "platform/report/totals.h"

#include <QDate>
#include <QHash>
#include <QSet>

#include <algorithm>
#include <memory>
#include <utility>
#include <vector>

namespace report {
namespace {

enum Kind : quint8 { Missing, Null, Integer, Real, Text, Date, List, Other };

// One value: 16 bytes, its text (when it is one) in the records' buffer.
struct Cell {
    quint8 kind = Missing;
    quint32 len = 0;  // a text's length, a list's records, or the value's type
    union {
        qint64 at = 0;  // a text's start, a list's first record, a date's day, an integer
        double real;
    };
};
static_assert(sizeof(Cell) == 16);

bool isRecords(const QVariant& v) { return v.metaType() == QMetaType::fromType<Records>(); }

bool isListOfMaps(const QVariant& v) {
    if (v.typeId() != QMetaType::QVariantList)
        return false;
    const QVariantList& l = *static_cast<const QVariantList*>(v.constData());
    return std::all_of(l.cbegin(), l.cend(), [](const QVariant& e) { return e.typeId() == QMetaType::QVariantMap; });
}

std::shared_ptr<const QSet<QString>> kept(const QString& list) {
    const QSet<QString>* k = detail::fieldsKept(list);
    return k ? std::make_shared<const QSet<QString>>(*k) : nullptr;
}

// Registered once, before any Records reaches a QVariant: a QVariant holding records converts to
// a list of maps wherever one is read as a list.
const bool registered = [] {
    QMetaType::registerConverter<Records, QVariantList>(&Records::toList);
    return true;
}();

}  // namespace

struct Records::Data : QSharedData {
    QStringList names;
    QHash<QString, int> columns;
    std::shared_ptr<const QSet<QString>> keep;  // the fields kept; null: every field
    std::vector<Cell> cells;                    // record after record, names.size() cells each
    qsizetype count = 0;
    QString text;                 // the characters of every text value
    std::vector<QVariant> others;  // values of any other kind
    // By column: the records of the lists in that column, every record's list a run of them.
    std::vector<QExplicitlySharedDataPointer<Data>> children;

    int addColumn(const QString& name) {
        const size_t old = static_cast<size_t>(names.size());
        if (count > 0) {
            std::vector<Cell> wider;
            wider.reserve(static_cast<size_t>(count) * (old + 1));
            for (qsizetype r = 0; r < count; ++r) {
                wider.insert(wider.end(), cells.begin() + qsizetype(r * old), cells.begin() + qsizetype((r + 1) * old));
                wider.emplace_back();
            }
            cells = std::move(wider);
        }
        names << name;
        columns.insert(name, static_cast<int>(old));
        children.emplace_back();
        return static_cast<int>(old);
    }

    Data& child(int c) {
        auto& ch = children[static_cast<size_t>(c)];
        if (!ch) {
            ch = new Data;
            ch->keep = kept(names[c]);
        }
        return *ch;
    }

    void append(const QVariantMap& record) {
        for (auto it = record.begin(); it != record.end(); ++it)
            if (!columns.contains(it.key()) && (!keep || keep->contains(it.key())))
                addColumn(it.key());
        const size_t stride = static_cast<size_t>(names.size());
        const size_t at = cells.size();
        cells.resize(at + stride);
        for (auto it = record.begin(); it != record.end(); ++it) {
            const int c = columns.value(it.key(), -1);
            if (c >= 0) {
                const Cell cell = cellOf(c, it.value());
                cells[at + static_cast<size_t>(c)] = cell;  // after cellOf: it may grow a child, never these cells
            }
        }
        ++count;
    }

    Cell cellOf(int c, const QVariant& v) {
        Cell cell;
        if (!v.isValid()) {  // a field without a value: shown as nothing, but a field the record has
            cell.kind = Text;
            return cell;
        }
        if (isRecords(v) || isListOfMaps(v)) {
            Data& ch = child(c);
            cell.kind = List;
            cell.at = ch.count;
            if (isRecords(v)) {
                const Records r = v.value<Records>();
                ch.appendFrom(*r.d, r.first_, r.count_);
            } else {
                for (const QVariant& e : *static_cast<const QVariantList*>(v.constData()))
                    ch.append(*static_cast<const QVariantMap*>(e.constData()));
            }
            cell.len = static_cast<quint32>(ch.count - cell.at);
            return cell;
        }
        const int type = v.typeId();
        if (v.isNull()) {
            cell.kind = Null;
            cell.len = static_cast<quint32>(type);
            return cell;
        }
        switch (type) {
        case QMetaType::Bool:
        case QMetaType::Int:
        case QMetaType::UInt:
        case QMetaType::LongLong:
            cell.kind = Integer;
            cell.len = static_cast<quint32>(type);
            cell.at = v.toLongLong();
            return cell;
        case QMetaType::Double:
        case QMetaType::Float:
            cell.kind = Real;
            cell.len = static_cast<quint32>(type);
            cell.real = v.toDouble();
            return cell;
        case QMetaType::QString: {
            const QString& s = *static_cast<const QString*>(v.constData());
            cell.kind = Text;
            cell.at = text.size();
            cell.len = static_cast<quint32>(s.size());
            text += s;
            return cell;
        }
        case QMetaType::QDate:
            cell.kind = Date;
            cell.at = v.toDate().toJulianDay();
            return cell;
        default:
            cell.kind = Other;
            cell.at = static_cast<qint64>(others.size());
            others.push_back(v);
            return cell;
        }
    }

    // Records [first, first + n) of `from`, copied after these.
    void appendFrom(const Data& from, qsizetype first, qsizetype n) {
        if (&from == this) {  // these records again: read from a copy while these grow
            const Data copy(from);
            appendFrom(copy, first, n);
            return;
        }
        std::vector<int> to(static_cast<size_t>(from.names.size()), -1);
        for (int c = 0; c < from.names.size(); ++c) {
            const QString& name = from.names[c];
            if (columns.contains(name) || !keep || keep->contains(name))
                to[static_cast<size_t>(c)] = columns.contains(name) ? columns.value(name) : addColumn(name);
        }
        const size_t stride = static_cast<size_t>(names.size()), theirs = static_cast<size_t>(from.names.size());
        for (qsizetype r = first; r < first + n; ++r) {
            const size_t at = cells.size();
            cells.resize(at + stride);
            for (size_t c = 0; c < theirs; ++c) {
                if (to[c] < 0)
                    continue;
                Cell cell = from.cells[static_cast<size_t>(r) * theirs + c];
                switch (cell.kind) {
                case Text: {
                    const qint64 start = text.size();
                    text.append(from.text.constData() + cell.at, static_cast<qsizetype>(cell.len));
                    cell.at = start;
                    break;
                }
                case Other:
                    others.push_back(from.others[static_cast<size_t>(cell.at)]);
                    cell.at = static_cast<qint64>(others.size()) - 1;
                    break;
                case List: {
                    Data& ch = child(to[c]);
                    const qint64 start = ch.count;
                    if (const auto& theirsChild = from.children[c])
                        ch.appendFrom(*theirsChild, cell.at, cell.len);
                    cell.at = start;
                    break;
                }
                default:
                    break;
                }
                cells[at + static_cast<size_t>(to[c])] = cell;
            }
            ++count;
        }
    }

    void squeeze() {
        cells.shrink_to_fit();
        text.squeeze();
        others.shrink_to_fit();
        for (auto& ch : children)
            if (ch)
                ch->squeeze();
    }
};

Records::Records() : d(new Data) { (void)registered; }

Records::Records(const QString& list) : Records() { d->keep = kept(list); }

Records::Records(const Records&) = default;
Records& Records::operator=(const Records&) = default;
Records::Records(Records&&) noexcept = default;
Records& Records::operator=(Records&&) noexcept = default;
Records::~Records() = default;

void Records::detach() {
    if (d->ref.loadRelaxed() == 1 && first_ == 0 && count_ == d->count)
        return;
    QExplicitlySharedDataPointer<Data> own(new Data);
    own->keep = d->keep;
    for (qsizetype i = 0; i < count_; ++i)
        own->append(at(i));
    d = own;
    first_ = 0;
}

void Records::append(const QVariantMap& record) {
    detach();
    d->append(record);
    count_ = d->count;
}

void Records::append(const Records& other) {
    const Records from = other;  // kept whole while these grow, even when it is these
    detach();
    d->appendFrom(*from.d, from.first_, from.count_);
    count_ = d->count;
}

QStringList Records::names() const { return d->names; }

int Records::column(const QString& field) const { return d->columns.value(field, -1); }

QVariant Records::value(qsizetype i, int column) const {
    if (i < 0 || i >= count_ || column < 0 || column >= d->names.size())
        return {};
    const Cell& c = d->cells[static_cast<size_t>((first_ + i) * d->names.size() + column)];
    switch (c.kind) {
    case Null:
        return QVariant(QMetaType(static_cast<int>(c.len)));
    case Integer:
        switch (c.len) {
        case QMetaType::Bool:
            return QVariant(c.at != 0);
        case QMetaType::Int:
            return QVariant(static_cast<int>(c.at));
        case QMetaType::UInt:
            return QVariant(static_cast<uint>(c.at));
        default:
            return QVariant(static_cast<qlonglong>(c.at));
        }
    case Real:
        return c.len == QMetaType::Float ? QVariant(static_cast<float>(c.real)) : QVariant(c.real);
    case Text:
        return QVariant(QString(d->text.constData() + c.at, static_cast<qsizetype>(c.len)));
    case Date:
        return QVariant(QDate::fromJulianDay(c.at));
    case List: {
        Records r;
        if (const auto& ch = d->children[static_cast<size_t>(column)])
            r.d = ch;
        r.first_ = c.at;
        r.count_ = c.len;
        return QVariant::fromValue(std::move(r));
    }
    case Other:
        return d->others[static_cast<size_t>(c.at)];
    default:
        return {};
    }
}

bool Records::has(qsizetype i, int column) const {
    return i >= 0 && i < count_ && column >= 0 && column < d->names.size() &&
           d->cells[static_cast<size_t>((first_ + i) * d->names.size() + column)].kind != Missing;
}

qsizetype Records::listSize(qsizetype i, int column) const {
    if (!has(i, column))
        return -1;
    const Cell& c = d->cells[static_cast<size_t>((first_ + i) * d->names.size() + column)];
    if (c.kind == List)
        return c.len;
    return c.kind == Other ? report::listSize(d->others[static_cast<size_t>(c.at)]) : -1;
}

QVariantMap Records::at(qsizetype i) const {
    QVariantMap m;
    for (int c = 0; c < d->names.size(); ++c) {
        QVariant v = value(i, c);
        if (v.isValid())
            m.insert(d->names[c], std::move(v));
    }
    return m;
}

QVariantList Records::toList() const {
    QVariantList out;
    out.reserve(count_);
    for (qsizetype i = 0; i < count_; ++i)
        out << at(i);
    return out;
}

void Records::squeeze() {
    if (d->ref.loadRelaxed() == 1)
        d->squeeze();
}

QVariant Records::compact(QVariant v, const QString& list) {
    if (v.typeId() == QMetaType::QVariantMap) {
        QVariantMap m = v.toMap();
        v = QVariant();
        compact(m);
        return m;
    }
    if (v.typeId() != QMetaType::QVariantList || !isListOfMaps(v) ||
        static_cast<const QVariantList*>(v.constData())->isEmpty())
        return v;
    // Held here alone when the caller let go of it, so each map goes once its record is made.
    QVariantList items = v.toList();
    v = QVariant();
    Records r(list);
    for (QVariant& e : items) {
        const QVariantMap m = e.toMap();
        e = QVariant();
        r.append(m);
    }
    r.squeeze();
    return QVariant::fromValue(std::move(r));
}

void Records::compact(QVariantMap& values) {
    for (auto it = values.begin(); it != values.end(); ++it) {
        const int type = it.value().typeId();
        if (type == QMetaType::QVariantList || type == QMetaType::QVariantMap) {
            QVariant old = std::exchange(it.value(), QVariant());
            it.value() = compact(std::move(old), it.key());
        }
    }
}

bool operator==(const Records& a, const Records& b) {
    if (a.size() != b.size())
        return false;
    for (qsizetype i = 0; i < a.size(); ++i)
        if (a.at(i) != b.at(i))
            return false;
    return true;
}

qsizetype listSize(const QVariant& v) {
    if (isRecords(v))
        return static_cast<const Records*>(v.constData())->size();
    if (v.typeId() == QMetaType::QVariantList)
        return static_cast<const QVariantList*>(v.constData())->size();
    if (v.typeId() == QMetaType::QStringList)
        return static_cast<const QStringList*>(v.constData())->size();
    return -1;
}

QVariantMap listItem(const QVariant& v, qsizetype i) {
    if (isRecords(v))
        return static_cast<const Records*>(v.constData())->at(i);
    return v.toList().value(i).toMap();
}

QVariant listValue(const QVariant& v, qsizetype i, const QString& field) {
    if (isRecords(v))
        return static_cast<const Records*>(v.constData())->value(i, field);
    const QVariantMap m = v.toList().value(i).toMap();
    const auto it = m.constFind(field);
    if (it == m.cend())
        return {};
    return it->isValid() ? *it : QVariant(QString());
}

bool listHas(const QVariant& v, qsizetype i, const QString& field) {
    if (isRecords(v)) {
        const auto* r = static_cast<const Records*>(v.constData());
        return r->has(i, r->column(field));
    }
    return listValue(v, i, field).isValid();
}

qsizetype listSizeAt(const QVariant& v, qsizetype i, const QString& field) {
    if (isRecords(v)) {
        const auto* r = static_cast<const Records*>(v.constData());
        return r->listSize(i, r->column(field));
    }
    return listSize(listValue(v, i, field));
}

QStringList listNames(const QVariant& v) {
    if (isRecords(v))
        return static_cast<const Records*>(v.constData())->names();
    QStringList out;
    QSet<QString> seen;
    for (const QVariant& item : v.toList()) {
        const QVariantMap m = item.toMap();
        for (auto it = m.begin(); it != m.end(); ++it)
            if (!seen.contains(it.key())) {
                seen.insert(it.key());
                out << it.key();
            }
    }
    return out;
}

}  // namespace report
