#pragma once
// Password hashes of Personal.ClaveAcceso: Argon2id (libsodium) of the password in capitals, so a
// password typed in any letter case matches, as users have always expected here.

#include <QString>

namespace shell {

// The hash to store for this password; "" when the library cannot make one.
QString HashClave(const QString& clave);

// True when the password (any letter case) matches the stored hash. An empty or damaged hash never
// matches.
bool VerificaClave(const QString& clave, const QString& hash);

}  // namespace shell
