#include "catalogs/escritura.h"

namespace catalogos {

bool EnTransaccion(db::Database& bd, db::Error* error, const std::function<bool(db::Error*)>& escribe)
{
    db::Error e;
    db::WriteTransaction t(bd);
    const bool ok = t.begin({}, &e) && escribe(&e) && t.commit(&e);
    if (error)
        *error = e;
    return ok;
}

}  // namespace catalogos
