#pragma once
// The sale screen's name for the shell's Esc wait (shell/esperaesc.h).

#include "shell/esperaesc.h"

namespace sale {

using EsperaConEsc = shell::EsperaConEsc;

}  // namespace sale
