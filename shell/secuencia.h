#pragma once
// The start form's hidden key sequence: Ctrl, then Alt, then T opens today's pending sales report;
// every further T opens it again until another key comes. Key codes are the virtual-key codes
// (17 Ctrl, 18 Alt, 84 T).

namespace shell {

class SecuenciaTeclas {
public:
    // Feeds one key-down; true when the report is to open now.
    bool tecla(int codigo) {
        switch (codigo) {
        case 17: estado_ = 17; return false;
        case 18: if (estado_ == 17) estado_ = 18; return false;
        case 84: return estado_ == 18;
        default: estado_ = 0; return false;
        }
    }
    int estado() const { return estado_; }

private:
    int estado_ = 0;
};

}  // namespace shell
