#pragma once
// One save, one write transaction: the catalogues' single-row writes go through the same
// BEGIN IMMEDIATE (with its served lock wait) as their larger saves.

#include "platform/db/database.h"

#include <functional>

namespace catalogos {

// Runs `escribe` inside a write transaction of `bd`: committed when it returns true, rolled back
// otherwise. False (and the reason in *error) when the transaction could not begin or commit.
bool EnTransaccion(db::Database& bd, db::Error* error, const std::function<bool(db::Error*)>& escribe);

}  // namespace catalogos
