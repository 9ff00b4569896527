// Keys of the sale screen: the key-down rule chain with its sequences, and the function keys.

#include "shell/rutinas_bd.h"
#include "capture_control/ccaptura.h"
#include "catalogs/forms/frmpreciocredito.h"
#include "sale/forms/frmventa.h"
#include "shell/estado.h"
#include "shell/forms/midi.h"
#include "shell/permisos.h"

#include <QKeyEvent>
#include <QListWidget>

namespace venta {

void frmVenta::keyPressEvent(QKeyEvent* e)
{
    const int codigo = CodigoTecla(e->key());
    if (codigo != 0 && TeclaAbajo(codigo)) {
        e->accept();
        return;
    }
    QWidget::keyPressEvent(e);
}

bool frmVenta::TeclaAbajo(int k)
{
    if (Procesando)
        return true;  // a sale is being stored: no key acts on it
    switch (secuencia_.tecla(k)) {
    case AccionTecla::Ninguna:
        return false;
    case AccionTecla::Tomada:
        return true;
    case AccionTecla::LimpiaPendientes:
        LimpiaPendientes();
        return true;
    case AccionTecla::CierraTicket:
        cmdTicket_Click();
        return true;
    case AccionTecla::ApagaParTickets:
        ApagaParTickets();
        return true;
    case AccionTecla::Opciones:
        lstOpciones->show();
        lstOpciones->raise();
        lstOpciones->setCurrentRow(0);
        lstOpciones->setFocus();
        return true;
    case AccionTecla::CambiaBusqueda:
        EstableceB();
        return true;
    case AccionTecla::Observacion:
        if (modo_ == QLatin1String("E"))
            EstPUnitProductoVenta();
        else
            EstableceObservacion();
        return true;
    case AccionTecla::PreciosCredito:
        // While selling on credit: the plan of the product on the current line.
        if (modo_ == QLatin1String("VC")) {
            const int fila = LineaActual();
            catalogos::AbrePreciosCredito(qobject_cast<shell::MIDI*>(window()),
                                          fila >= 0 ? std::optional<qint64>(lineas_.lineas()[size_t(fila)].clave)
                                                    : std::nullopt);
        }
        return true;
    case AccionTecla::Cantidad:
        if (!recuperado_)
            AplicaCantidad();
        return true;
    case AccionTecla::Descuento:
        if (!recuperado_)
            DescuentoProducto();
        return true;
    case AccionTecla::F9:
        prompts().message(QStringLiteral("F9 vacio"), ui::Icon::None);
        return true;
    case AccionTecla::PrecioUnit:
        if (modo_ == QLatin1String("N") || shell::TienePermiso(39, false))
            AplicaPUnit();
        return true;
    }
    return false;
}

void frmVenta::ApagaParTickets()
{
    if (G().ParTickets != 0)
        prompts().message(QStringLiteral("Des"), ui::Icon::None);
    G().ParTickets = 0;
    if (db::Database* bd = base()) {
        db::Error e;
        if (!bd->exec(QStringLiteral("UPDATE Parametros SET ParTickets = 0"), QVariantList{}, &e))
            prompts().message(QStringLiteral("Error al guardar el parámetro: ") + shell::TextoErrorBD(e),
                              ui::Icon::Critical);
    }
}

}  // namespace venta
