#pragma once
// The display mode the main window asks for when it is maximised, minimised or closed. The mode is
// recorded (G().ModoPantallaAncho/Alto and the platform's record); the screen itself is left alone.

namespace shell {

void CambiaResolucion(int ancho, int alto, int bits);

}  // namespace shell
