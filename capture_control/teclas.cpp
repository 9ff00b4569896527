#include "capture_control/teclas.h"

#include <QString>

#include <array>
#include <utility>

namespace kestril::teclas {
namespace {

constexpr std::array<std::pair<int, short>, 26> kTabla{{
    {Qt::Key_Backspace, 8},  {Qt::Key_Tab, 9},        {Qt::Key_Backtab, 9},   {Qt::Key_Clear, 12},
    {Qt::Key_Return, 13},    {Qt::Key_Enter, 13},     {Qt::Key_Shift, 16},    {Qt::Key_Control, 17},
    {Qt::Key_Alt, 18},       {Qt::Key_Pause, 19},     {Qt::Key_CapsLock, 20}, {Qt::Key_Escape, 27},
    {Qt::Key_Space, 32},     {Qt::Key_PageUp, 33},    {Qt::Key_PageDown, 34}, {Qt::Key_End, 35},
    {Qt::Key_Home, 36},      {Qt::Key_Left, 37},      {Qt::Key_Up, 38},       {Qt::Key_Right, 39},
    {Qt::Key_Down, 40},      {Qt::Key_Insert, 45},    {Qt::Key_Delete, 46},   {Qt::Key_Print, 44},
    {Qt::Key_NumLock, 144},  {Qt::Key_ScrollLock, 145},
}};

// Keypad keys other than digits.
constexpr std::array<std::pair<int, short>, 5> kTeclado{{
    {Qt::Key_Asterisk, 106}, {Qt::Key_Plus, 107}, {Qt::Key_Minus, 109}, {Qt::Key_Period, 110}, {Qt::Key_Slash, 111},
}};

// Punctuation keys, by the code the old platform gives the key that types them (the OEM keys of a
// US layout; a shifted symbol reports its key's code, its Shift in the mask). The Ñ key of a
// Spanish layout sits where the US layout has the grave accent.
constexpr std::array<std::pair<int, short>, 11> kPuntuacion{{
    {Qt::Key_Semicolon, 186}, {Qt::Key_Equal, 187},       {Qt::Key_Comma, 188},        {Qt::Key_Minus, 189},
    {Qt::Key_Period, 190},    {Qt::Key_Slash, 191},       {Qt::Key_QuoteLeft, 192},    {Qt::Key_BracketLeft, 219},
    {Qt::Key_Backslash, 220}, {Qt::Key_BracketRight, 221}, {Qt::Key_Apostrophe, 222},
}};
constexpr std::array<std::pair<int, short>, 24> kConMayuscula{{
    {Qt::Key_Colon, 186},      {Qt::Key_Plus, 187},       {Qt::Key_Less, 188},        {Qt::Key_Underscore, 189},
    {Qt::Key_Greater, 190},    {Qt::Key_Question, 191},   {Qt::Key_AsciiTilde, 192},  {Qt::Key_BraceLeft, 219},
    {Qt::Key_Bar, 220},        {Qt::Key_BraceRight, 221}, {Qt::Key_QuoteDbl, 222},    {Qt::Key_Exclam, '1'},
    {Qt::Key_At, '2'},         {Qt::Key_NumberSign, '3'}, {Qt::Key_Dollar, '4'},      {Qt::Key_Percent, '5'},
    {Qt::Key_AsciiCircum, '6'}, {Qt::Key_Ampersand, '7'}, {Qt::Key_Asterisk, '8'},    {Qt::Key_ParenLeft, '9'},
    {Qt::Key_ParenRight, '0'}, {Qt::Key_Ntilde, 192},     {Qt::Key_exclamdown, 221},  {Qt::Key_questiondown, 221},
}};

// The key code a table gives a Qt key, or 0.
template <size_t N>
short codigoEn(const std::array<std::pair<int, short>, N>& tabla, int tecla) {
    for (const auto& [qt, vk] : tabla)
        if (qt == tecla)
            return vk;
    return 0;
}

// The Qt key a table gives a key code, or 0.
template <size_t N>
int teclaEn(const std::array<std::pair<int, short>, N>& tabla, short codigo) {
    for (const auto& [qt, vk] : tabla)
        if (vk == codigo)
            return qt;
    return 0;
}

} // namespace

short codigoTecla(int tecla, Qt::KeyboardModifiers mods) {
    if (mods & Qt::KeypadModifier) {
        if (tecla >= Qt::Key_0 && tecla <= Qt::Key_9)
            return static_cast<short>(96 + (tecla - Qt::Key_0));
        if (const short vk = codigoEn(kTeclado, tecla))
            return vk;
    }
    if ((tecla >= Qt::Key_A && tecla <= Qt::Key_Z) || (tecla >= Qt::Key_0 && tecla <= Qt::Key_9))
        return static_cast<short>(tecla);
    if (tecla >= Qt::Key_F1 && tecla <= Qt::Key_F24)
        return static_cast<short>(112 + (tecla - Qt::Key_F1));
    for (const short vk : {codigoEn(kTabla, tecla), codigoEn(kPuntuacion, tecla), codigoEn(kConMayuscula, tecla)})
        if (vk != 0)
            return vk;
    return 0;
}

int teclaQt(short codigo) {
    if ((codigo >= 'A' && codigo <= 'Z') || (codigo >= '0' && codigo <= '9'))
        return codigo;
    if (codigo >= 96 && codigo <= 105)
        return Qt::Key_0 + (codigo - 96);
    if (codigo >= 112 && codigo <= 135)
        return Qt::Key_F1 + (codigo - 112);
    for (const int qt : {teclaEn(kTabla, codigo), teclaEn(kTeclado, codigo), teclaEn(kPuntuacion, codigo)})
        if (qt != 0)
            return qt;
    return 0;
}

short mascaraShift(Qt::KeyboardModifiers mods) {
    short m = 0;
    if (mods & Qt::ShiftModifier)
        m |= kShift;
    if (mods & Qt::ControlModifier)
        m |= kCtrl;
    if (mods & Qt::AltModifier)
        m |= kAlt;
    return m;
}

Qt::KeyboardModifiers modificadores(short m) {
    Qt::KeyboardModifiers mods;
    if (m & kShift)
        mods |= Qt::ShiftModifier;
    if (m & kCtrl)
        mods |= Qt::ControlModifier;
    if (m & kAlt)
        mods |= Qt::AltModifier;
    return mods;
}

int codigoCaracter(int tecla, Qt::KeyboardModifiers mods, const QString& texto) {
    switch (tecla) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        return 13;
    case Qt::Key_Backspace:
        return 8;
    case Qt::Key_Escape:
        return 27;
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
    case Qt::Key_Delete:
        return -1;
    default:
        break;
    }
    const bool ctrl = mods & Qt::ControlModifier;
    const bool alt = mods & Qt::AltModifier;
    if (ctrl && !alt)
        return (tecla >= Qt::Key_A && tecla <= Qt::Key_Z) ? tecla - Qt::Key_A + 1 : -1;
    if (texto.size() != 1)
        return -1;
    const QChar c = texto.at(0);
    if (c.isSurrogate() || !c.isPrint())
        return -1;
    return c.unicode();
}

short mayuscula(short codigo) {
    const QChar c = caracter(codigo);
    if (!c.isLetter())
        return codigo;
    const QString may = QString(c).toUpper();
    // A letter whose capital is more than one character (ß) stays as typed.
    return may.size() == 1 ? teclas::codigo(may.at(0)) : codigo;
}

bool imprimible(short codigo) {
    const QChar c = caracter(codigo);
    return codigo != 0 && !c.isSurrogate() && c.isPrint();
}

} // namespace kestril::teclas
