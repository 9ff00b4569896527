#include "shell/password.h"

#include <sodium.h>

namespace shell {

namespace {

bool iniciaSodium() {
    static const bool ok = sodium_init() >= 0;
    return ok;
}

}  // namespace

QString HashClave(const QString& clave) {
    if (!iniciaSodium()) return {};
    const QByteArray texto = clave.toUpper().toUtf8();
    char hash[crypto_pwhash_STRBYTES];
    if (crypto_pwhash_str(hash, texto.constData(), static_cast<unsigned long long>(texto.size()),
                          crypto_pwhash_OPSLIMIT_INTERACTIVE,
                          crypto_pwhash_MEMLIMIT_INTERACTIVE) != 0)
        return {};
    return QString::fromLatin1(hash);
}

bool VerificaClave(const QString& clave, const QString& hash) {
    if (!iniciaSodium()) return false;
    const QByteArray guardado = hash.toLatin1();
    // crypto_pwhash_str_verify reads a NUL-terminated string of at most STRBYTES.
    if (guardado.isEmpty() || guardado.size() >= crypto_pwhash_STRBYTES) return false;
    const QByteArray texto = clave.toUpper().toUtf8();
    return crypto_pwhash_str_verify(guardado.constData(), texto.constData(),
                                    static_cast<unsigned long long>(texto.size())) == 0;
}

}  // namespace shell
