// The program's own SQL functions, added to every connection the layer opens.

#include "platform/db/database.h"
#include "platform/db/internal.h"

#include <QSqlDriver>

#include <sqlite3.h>

#include <algorithm>
#include <vector>

namespace db {
namespace {

// The same order as compareSpanish for two texts of plain ASCII (most names are), without
// building their weights: an ASCII letter has no accent, so it is the capitals first, then the case
// letter by letter, then the code units. A sort calls this for every pair it compares, in SQL (on
// UTF-8 bytes) and in the program (on UTF-16 units) alike.
template <typename C>
int espanolAscii(const C* a, qsizetype na, const C* b, qsizetype nb) {
    const qsizetype n = std::min(na, nb);
    auto upper = [](C c) { return c >= 'a' && c <= 'z' ? C(c - 32) : c; };
    for (qsizetype i = 0; i < n; ++i)
        if (upper(a[i]) != upper(b[i]))
            return upper(a[i]) < upper(b[i]) ? -1 : 1;
    if (na != nb)
        return na < nb ? -1 : 1;
    auto capital = [](C c) { return c >= 'A' && c <= 'Z' ? 1 : 0; };
    for (qsizetype i = 0; i < n; ++i)
        if (capital(a[i]) != capital(b[i]))
            return capital(a[i]) < capital(b[i]) ? -1 : 1;
    for (qsizetype i = 0; i < n; ++i)
        if (a[i] != b[i])
            return a[i] < b[i] ? -1 : 1;
    return 0;
}

template <typename C>
bool ascii(const C* s, qsizetype n) {
    for (qsizetype i = 0; i < n; ++i)
        if (s[i] >= 0x80)
            return false;
    return true;
}

}  // namespace
}  // namespace db

namespace db::detail {

namespace {

void mayusculas(sqlite3_context* ctx, int, sqlite3_value** argv) {
    if (sqlite3_value_type(argv[0]) == SQLITE_NULL) {
        sqlite3_result_null(ctx);
        return;
    }
    const auto* texto = reinterpret_cast<const char*>(sqlite3_value_text(argv[0]));
    const QByteArray arriba = QString::fromUtf8(texto, sqlite3_value_bytes(argv[0])).toUpper().toUtf8();
    sqlite3_result_text(ctx, arriba.constData(), int(arriba.size()), SQLITE_TRANSIENT);
}

void letras(sqlite3_context* ctx, int, sqlite3_value** argv) {
    if (sqlite3_value_type(argv[0]) == SQLITE_NULL) {
        sqlite3_result_null(ctx);
        return;
    }
    const auto* texto = reinterpret_cast<const char*>(sqlite3_value_text(argv[0]));
    const QByteArray l = spanishLetters(QString::fromUtf8(texto, sqlite3_value_bytes(argv[0]))).toUtf8();
    sqlite3_result_text(ctx, l.constData(), int(l.size()), SQLITE_TRANSIENT);
}

int espanol(void*, int n1, const void* s1, int n2, const void* s2) {
    const auto* a = static_cast<const unsigned char*>(s1);
    const auto* b = static_cast<const unsigned char*>(s2);
    if (ascii(a, n1) && ascii(b, n2))
        return espanolAscii(a, n1, b, n2);
    return compareSpanish(QString::fromUtf8(static_cast<const char*>(s1), n1),
                          QString::fromUtf8(static_cast<const char*>(s2), n2));
}

}  // namespace

void addFunctions(const QSqlDatabase& c) {
    if (sqlite3* h = sqliteHandle(c)) {
        sqlite3_create_function_v2(h, "MAYUSCULAS", 1, SQLITE_UTF8 | SQLITE_DETERMINISTIC, nullptr, &mayusculas,
                                   nullptr, nullptr, nullptr);
        sqlite3_create_function_v2(h, "LETRAS", 1, SQLITE_UTF8 | SQLITE_DETERMINISTIC, nullptr, &letras, nullptr,
                                   nullptr, nullptr);
        sqlite3_create_collation_v2(h, kOrdenEspanol, SQLITE_UTF8, nullptr, &espanol, nullptr);
    }
}

}  // namespace db::detail

namespace db {

namespace {

// The weights of a text, one entry per letter: the letter (capital, accents dropped, Ñ just above N),
// its accent and its case, each a level of the comparison.
struct Pesos {
    std::vector<char32_t> letra, caso;
    std::vector<quint64> acento;
};

Pesos pesos(const QString& texto) {
    Pesos p;
    const QString d = texto.normalized(QString::NormalizationForm_D);
    const auto puntos = d.toUcs4();
    p.letra.reserve(size_t(puntos.size()));
    for (qsizetype i = 0; i < puntos.size(); ++i) {
        const char32_t c = puntos[i];
        if (QChar::category(c) == QChar::Mark_NonSpacing && !p.letra.empty()) {
            // The tilde over N makes another letter; any other mark is an accent of the letter before.
            if (c == 0x0303 && (p.letra.back() == 2 * U'N')) p.letra.back() += 1;
            else p.acento.back() = p.acento.back() * 0x10000 + c;
            continue;
        }
        const char32_t mayuscula = QChar::toUpper(c);
        p.letra.push_back(2 * mayuscula);
        p.acento.push_back(0);
        p.caso.push_back(mayuscula == c && QChar::toLower(c) != c ? 1 : 0);
    }
    return p;
}

template <typename T>
int compara(const std::vector<T>& a, const std::vector<T>& b) {
    const size_t n = std::min(a.size(), b.size());
    for (size_t i = 0; i < n; ++i)
        if (a[i] != b[i]) return a[i] < b[i] ? -1 : 1;
    return a.size() == b.size() ? 0 : (a.size() < b.size() ? -1 : 1);
}

}  // namespace

int compareSpanish(const QString& a, const QString& b) {
    if (a == b) return 0;
    if (ascii(a.utf16(), a.size()) && ascii(b.utf16(), b.size()))
        return espanolAscii(a.utf16(), a.size(), b.utf16(), b.size());
    const Pesos pa = pesos(a), pb = pesos(b);
    if (int r = compara(pa.letra, pb.letra)) return r;
    if (int r = compara(pa.acento, pb.acento)) return r;
    if (int r = compara(pa.caso, pb.caso)) return r;
    return a.compare(b) < 0 ? -1 : 1;
}

QString spanishLetters(const QString& texto) {
    if (ascii(texto.utf16(), texto.size()))
        return texto.toUpper();  // no accent to drop, no Ñ to keep
    const Pesos p = pesos(texto);
    std::vector<char32_t> l;
    l.reserve(p.letra.size());
    // Each letter's weight is twice its capital; Ñ is N's plus one.
    for (char32_t w : p.letra) l.push_back(w % 2 ? U'\u00D1' : w / 2);
    return QString::fromUcs4(l.data(), qsizetype(l.size()));
}

}  // namespace db
