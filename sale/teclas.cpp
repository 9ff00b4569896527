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
