#pragma once
// Keys of the sale screen: the key codes of the old desktop platform (the branch parameters
// tecla1ticket..tecla6ticket hold them) and the screen's key-down rule chain with its two
// configurable three-key sequences.

namespace venta {

// Virtual-key code of a Qt key: F1-F12 112-123, letters 65-90, digits 48-57, Enter 13, Esc 27,
// Backspace 8, Tab 9, space 32, arrows 37-40, Ins 45, Del 46, PgUp/PgDn 33/34, End 35, Home 36;
// 0 for a key without a code.
int CodigoTecla(int teclaQt);

enum class AccionTecla {
    Ninguna,          // no rule took the key
    Tomada,           // a rule took the key and there is nothing else to do
    LimpiaPendientes, // F11
    CierraTicket,     // t1, t2, t3: the sale closes as a ticket
    ApagaParTickets,  // t4, t5, t6: ParTickets goes to 0
    Opciones,         // F1
    CambiaBusqueda,   // F2
    Observacion,      // F4
    PreciosCredito,   // F5
    Cantidad,         // F7
    Descuento,        // F8
    F9,               // F9
    PrecioUnit,       // F10
};

// The key-down rules in their order. The sequence keys come from the branch parameters; the
// state remembers the last matched step, and any key outside the six resets it.
class SecuenciaTeclas {
public:
    SecuenciaTeclas() = default;
    SecuenciaTeclas(int t1, int t2, int t3, int t4, int t5, int t6) : t_{t1, t2, t3, t4, t5, t6} {}
    AccionTecla tecla(int codigo);
    int estado() const { return estado_; }
    void reinicia() { estado_ = 0; }

private:
    int t_[6] = {0, 0, 0, 0, 0, 0};
    int estado_ = 0;  // EstadoTeclas
};

}  // namespace venta
