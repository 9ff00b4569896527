#include "sale/teclas.h"

#include <Qt>

namespace venta {

int CodigoTecla(int k)
{
    if (k >= Qt::Key_F1 && k <= Qt::Key_F24)
        return 112 + (k - Qt::Key_F1);
    if (k >= Qt::Key_A && k <= Qt::Key_Z)
        return k;  // Qt's letter keys are the capital's code, as the virtual keys
    if (k >= Qt::Key_0 && k <= Qt::Key_9)
        return k;
    switch (k) {
    case Qt::Key_Return:
    case Qt::Key_Enter: return 13;
    case Qt::Key_Escape: return 27;
    case Qt::Key_Backspace: return 8;
    case Qt::Key_Tab: return 9;
    case Qt::Key_Space: return 32;
    case Qt::Key_PageUp: return 33;
    case Qt::Key_PageDown: return 34;
    case Qt::Key_End: return 35;
    case Qt::Key_Home: return 36;
    case Qt::Key_Left: return 37;
    case Qt::Key_Up: return 38;
    case Qt::Key_Right: return 39;
    case Qt::Key_Down: return 40;
    case Qt::Key_Insert: return 45;
    case Qt::Key_Delete: return 46;
    case Qt::Key_Shift: return 16;
    case Qt::Key_Control: return 17;
    case Qt::Key_Alt: return 18;
    case Qt::Key_Plus: return 107;
    case Qt::Key_Minus: return 109;
    case Qt::Key_Asterisk: return 106;
    case Qt::Key_Slash: return 111;
    case Qt::Key_Period: return 190;
    case Qt::Key_Comma: return 188;
    default: return 0;
    }
}

}  // namespace venta

namespace venta {

AccionTecla SecuenciaTeclas::tecla(int k)
{
    const int t1 = t_[0], t2 = t_[1], t3 = t_[2], t4 = t_[3], t5 = t_[4], t6 = t_[5];
    if (k != t1 && k != t2 && k != t3 && k != t4 && k != t5 && k != t6)
        estado_ = 0;
    if (t1 == t2)
        estado_ = t1;  // equal first keys: the sequence is always armed
    if (k == 122)
        return AccionTecla::LimpiaPendientes;
    if (k == 66) {
        estado_ = 66;
        return AccionTecla::Tomada;
    }
    if (k == t3 && k != t6) {
        if (estado_ == t2) {
            estado_ = 0;
            return AccionTecla::CierraTicket;
        }
        return AccionTecla::Tomada;
    }
    if (k == t6)
        return estado_ == t5 ? AccionTecla::ApagaParTickets : AccionTecla::Tomada;
    if (k == t5) {
        if (estado_ == t4)
            estado_ = t5;
        return AccionTecla::Tomada;
    }
    if (k == t4) {
        estado_ = t4;
        return AccionTecla::Tomada;
    }
    if (k == t2) {
        if (estado_ == t1)
            estado_ = t2;
        return AccionTecla::Tomada;
    }
    if (k == t1) {
        estado_ = t1;
        return AccionTecla::Tomada;
    }
    switch (k) {
    case 84: return AccionTecla::Ninguna;  // T
    case 112: return AccionTecla::Opciones;
    case 113: return AccionTecla::CambiaBusqueda;
    case 115: estado_ = 0; return AccionTecla::Observacion;
    case 116: return AccionTecla::PreciosCredito;
    case 118: return AccionTecla::Cantidad;
    case 119: return AccionTecla::Descuento;
    case 120: return AccionTecla::F9;
    case 121: estado_ = 0; return AccionTecla::PrecioUnit;
    default: estado_ = 0; return AccionTecla::Ninguna;
    }
}

}  // namespace venta
