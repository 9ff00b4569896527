#include "codepage850.h"

#include <QHash>

namespace print {
namespace {

// Unicode of bytes 0x80..0xFF.
constexpr char16_t kAlto[128] = {
    0x00C7, 0x00FC, 0x00E9, 0x00E2, 0x00E4, 0x00E0, 0x00E5, 0x00E7,  // 80
    0x00EA, 0x00EB, 0x00E8, 0x00EF, 0x00EE, 0x00EC, 0x00C4, 0x00C5,  // 88
    0x00C9, 0x00E6, 0x00C6, 0x00F4, 0x00F6, 0x00F2, 0x00FB, 0x00F9,  // 90
    0x00FF, 0x00D6, 0x00DC, 0x00F8, 0x00A3, 0x00D8, 0x00D7, 0x0192,  // 98
    0x00E1, 0x00ED, 0x00F3, 0x00FA, 0x00F1, 0x00D1, 0x00AA, 0x00BA,  // A0
    0x00BF, 0x00AE, 0x00AC, 0x00BD, 0x00BC, 0x00A1, 0x00AB, 0x00BB,  // A8
    0x2591, 0x2592, 0x2593, 0x2502, 0x2524, 0x00C1, 0x00C2, 0x00C0,  // B0
    0x00A9, 0x2563, 0x2551, 0x2557, 0x255D, 0x00A2, 0x00A5, 0x2510,  // B8
    0x2514, 0x2534, 0x252C, 0x251C, 0x2500, 0x253C, 0x00E3, 0x00C3,  // C0
    0x255A, 0x2554, 0x2569, 0x2566, 0x2560, 0x2550, 0x256C, 0x00A4,  // C8
    0x00F0, 0x00D0, 0x00CA, 0x00CB, 0x00C8, 0x0131, 0x00CD, 0x00CE,  // D0
    0x00CF, 0x2518, 0x250C, 0x2588, 0x2584, 0x00A6, 0x00CC, 0x2580,  // D8
    0x00D3, 0x00DF, 0x00D4, 0x00D2, 0x00F5, 0x00D5, 0x00B5, 0x00FE,  // E0
    0x00DE, 0x00DA, 0x00DB, 0x00D9, 0x00FD, 0x00DD, 0x00AF, 0x00B4,  // E8
    0x00AD, 0x00B1, 0x2017, 0x00BE, 0x00B6, 0x00A7, 0x00F7, 0x00B8,  // F0
    0x00B0, 0x00A8, 0x00B7, 0x00B9, 0x00B3, 0x00B2, 0x25A0, 0x00A0,  // F8
};

const QHash<char16_t, char>& inversa() {
    static const QHash<char16_t, char> tabla = [] {
        QHash<char16_t, char> t;
        for (int i = 0; i < 128; ++i) t.insert(kAlto[i], static_cast<char>(0x80 + i));
        return t;
    }();
    return tabla;
}

// Typographic signs the page lacks, as the nearest characters it has.
const char* parecido(char16_t u) {
    switch (u) {
    case 0x2018: case 0x2019: case 0x201A: case 0x201B: case 0x2032: return "'";
    case 0x201C: case 0x201D: case 0x201E: case 0x201F: case 0x2033: return "\"";
    case 0x2010: case 0x2011: case 0x2012: case 0x2013: case 0x2014: case 0x2015: case 0x2212: return "-";
    case 0x2026: return "...";
    case 0x20AC: return "EUR";
    case 0x2022: case 0x2219: return "\xfa";  // middle dot
    case 0x2122: return "TM";
    case 0x2039: return "<";
    case 0x203A: return ">";
    case 0x2264: return "<=";
    case 0x2265: return ">=";
    case 0x2260: return "<>";
    case 0x2002: case 0x2003: case 0x2009: case 0x200A: case 0x202F: return " ";
    default: return nullptr;
    }
}

}  // namespace

QByteArray aCp850(const QString& texto) {
    QByteArray salida;
    salida.reserve(texto.size());
    const auto& tabla = inversa();
    for (const QChar c : texto) {
        const char16_t u = c.unicode();
        if (u < 0x80) {
            salida.append(static_cast<char>(u));
        } else {
            auto it = tabla.constFind(u);
            if (it != tabla.constEnd()) {
                salida.append(*it);
            } else if (const char* p = parecido(u)) {
                salida.append(p);
            } else {
                // A letter with a mark the page lacks (Ś, ŷ) prints as its base letter when the
                // page has that; anything else is "?".
                const QString base = c.decomposition();
                const auto b = base.isEmpty() ? tabla.constEnd() : tabla.constFind(base[0].unicode());
                if (!base.isEmpty() && base[0].unicode() < 0x80 && base[0].unicode() >= 0x20)
                    salida.append(static_cast<char>(base[0].unicode()));
                else if (b != tabla.constEnd())
                    salida.append(*b);
                else
                    salida.append('?');
            }
        }
    }
    return salida;
}

QString desdeCp850(const QByteArray& bytes) {
    QString salida;
    salida.reserve(bytes.size());
    for (char b : bytes) {
        const auto u = static_cast<unsigned char>(b);
        salida.append(u < 0x80 ? QChar(u) : QChar(kAlto[u - 0x80]));
    }
    return salida;
}

}  // namespace print
