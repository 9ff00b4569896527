#include "shell/seleccion.h"

#include "shell/estado.h"

#include <QHash>
#include <QPointer>

namespace shell {

namespace {

struct Pedido {
    QPointer<const QObject> quien;
    QString catalogo;
};

Pedido& pedido() {
    static Pedido p;
    return p;
}

// What each catalogue offered last.
QHash<QString, QString>& ofrecidos() {
    static QHash<QString, QString> o;
    return o;
}

}  // namespace

void PideSeleccion(const QObject* quien, const QString& catalogo) {
    pedido() = Pedido{quien, catalogo};
}

void OfreceSeleccion(const QString& catalogo, const QString& valor) {
    ofrecidos().insert(catalogo, valor);
    G().SeleccionCatalogo = valor;
}

std::optional<QString> TomaSeleccion(const QObject* quien, bool termina) {
    Pedido& p = pedido();
    if (!quien || p.quien != quien) return std::nullopt;
    const QString valor = ofrecidos().value(p.catalogo);
    if (termina) p = Pedido{};
    return valor;
}

}  // namespace shell
