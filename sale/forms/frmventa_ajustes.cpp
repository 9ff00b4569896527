// Line adjustments of the sale screen: the discount, quantity and unit-price prompts, the options
// and price lists, the line and generic-product texts, the line details and the generic products.

#include "shell/rutinas_bd.h"
#include "capture_control/ccaptura.h"
#include "sale/ajustes.h"
#include "sale/detalles.h"
#include "sale/forms/frmventa.h"
#include "sale/genericos.h"
#include "shell/estado.h"
#include "shell/permisos.h"
#include "shell/texto.h"

#include <QEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QTableView>

namespace venta {

namespace {

QString Numero(double v)
{
    return QString::number(v, 'g', 15);
}

}  // namespace

int frmVenta::LineaParaEditar() const
{
    // The lines of a recalled document are what it stored: no prompt or list edits them.
    const int fila = LineaActual();
    return lineas_.guardada(fila) ? -1 : fila;
}

void frmVenta::RedibujaLinea(int fila)
{
    modeloLineas_->refresca();
    SeleccionaLinea(fila < lineas_.count() ? fila : lineas_.count() - 1);
}

void frmVenta::DescuentoProducto()
{
    if (lineas_.count() == 0 || lineas_.guardada(LineaActual()))
        return;
    const int fila = LineaParaEditar();
    const Linea* l = fila >= 0 ? &lineas_.lineas()[size_t(fila)] : nullptr;
    const QString respuesta =
        prompts().input(QStringLiteral("Teclee el descuento en porcentaje 1-100:"),
                        QStringLiteral("Descuento %"), l ? Numero(l->descuento) : QString());
    if (respuesta.isEmpty())
        return;
    const Ajuste a = DescuentoLinea(respuesta, l ? l->lDesc : 0, G().MaxDescuentoFact,
                                    shell::TienePermiso(41, false));
    if (!a.mensaje.isEmpty()) {
        prompts().message(a.mensaje, ui::Icon::None);
        capCodigoBarras->SetFocus();
        return;
    }
    if (a.escribe) {
        if (fila < 0) {
            prompts().message(QStringLiteral("Seleccione el producto."), ui::Icon::None);
            return;
        }
        db::Error e;
        if (!lineas_.escribe(fila, QStringLiteral("Descuento"), a.valor, &e) && !e.message.isEmpty())
            prompts().message(e.message, ui::Icon::None);
        RedibujaLinea(fila);
    }
    ActualizaTotales(true);
    capCodigoBarras->SetFocus();
}

bool frmVenta::AplicaAjusteLinea(int fila, const QString& columna, const Ajuste& a)
{
    if (!a.mensaje.isEmpty()) {
        prompts().message(a.mensaje, ui::Icon::None);
        capCodigoBarras->SetFocus();
        return false;
    }
    if (a.escribe) {
        db::Error e;
        const bool escrito = lineas_.escribe(fila, columna, a.valor, &e);
        RedibujaLinea(fila);
        if (!escrito && !e.message.isEmpty()) {
            // The line keeps what it had, and the total box shows the lines as they are.
            ActualizaTotales();
            prompts().message(e.message, ui::Icon::None);
            capCodigoBarras->SetFocus();
            return false;
        }
    }
    return true;
}

void frmVenta::AplicaCantidad()
{
    if (lineas_.count() == 0)
        return;
    const int fila = LineaParaEditar();
    if (fila < 0)
        return;
    const Linea& l = lineas_.lineas()[size_t(fila)];
    const QString respuesta = prompts().input(QStringLiteral("Teclee la cantidad a aplicar:"),
                                              QStringLiteral("Cantidad"), Numero(l.cantidad));
    const Ajuste a = CantidadLinea(respuesta, modo_ == QLatin1String("E"),
                                   shell::TienePermiso(48, false), shell::TienePermiso(49, false));
    if (!AplicaAjusteLinea(fila, QStringLiteral("Cantidad"), a))
        return;
    ActualizaTotales();
    if (capCodigoBarras->Enabled())
        capCodigoBarras->SetFocus();
}

void frmVenta::AplicaPUnit()
{
    if (lineas_.count() == 0)
        return;
    const int fila = LineaParaEditar();
    if (fila < 0)
        return;
    const Linea& l = lineas_.lineas()[size_t(fila)];
    const QString respuesta =
        prompts().input(QStringLiteral("Teclee el PRECIO UNITARIO a aplicar:"),
                        QStringLiteral("Precio Unitario."), Numero(l.precioUnit));
    const Ajuste a = PrecioUnitLinea(respuesta, modo_ == QLatin1String("E"));
    if (!AplicaAjusteLinea(fila, QStringLiteral("PrecioUnit"), a))
        return;
    ActualizaTotales();
    capCodigoBarras->SetFocus();
}

void frmVenta::ActualizaPU()
{
    Procesando = true;
    for (int i = 0; i < lineas_.count(); ++i) {
        db::Error e;
        lineas_.escribe(i, QStringLiteral("PrecioUnit"), lineas_.lineas()[size_t(i)].pPrecioUnitD, &e);
    }
    modeloLineas_->refresca();
    Procesando = false;
}

// A text prompt on the current line: the answer's rule decides what is stored and what is said.
static void TextoDeLinea(frmVenta& f, LineasVenta& lineas, int fila, const QString& columna,
                         const Ajuste& a)
{
    if (!a.mensaje.isEmpty())
        f.prompts().message(a.mensaje, ui::Icon::None);
    if (a.escribe) {
        db::Error e;
        lineas.escribe(fila, columna, a.texto, &e);
    }
}

bool frmVenta::PideTextoDeLinea(const QString& columna, const QString& pregunta,
                                const QString& titulo, const QString& defecto,
                                Ajuste (*regla)(const QString&))
{
    const int fila = LineaParaEditar();
    if (lineas_.count() == 0 || fila < 0)
        return false;
    const Ajuste a = regla(prompts().input(pregunta, titulo, defecto));
    TextoDeLinea(*this, lineas_, fila, columna, a);
    RedibujaLinea(fila);
    return a.escribe;
}

void frmVenta::EstableceObservacion()
{
    const int fila = LineaParaEditar();
    if (lineas_.count() == 0 || fila < 0)
        return;
    const QString actual = lineas_.lineas()[size_t(fila)].observacion;
    PideTextoDeLinea(QStringLiteral("Observacion"),
                     QStringLiteral("Teclee la observación o SN (hasta 120 caracteres):"),
                     QStringLiteral("Obs:"),
                     actual.isEmpty() ? QStringLiteral("Observacion") : actual, ObservacionLinea);
    capCodigoBarras->SetFocus();
}

void frmVenta::EstPUnitProductoVenta()
{
    if (PideTextoDeLinea(QStringLiteral("Observacion"),
                         QStringLiteral("Teclee el precio a establecer como precio de venta:"),
                         QString(), QStringLiteral("0.0"), PrecioVentaES))
        capCodigoBarras->SetFocus();
}

void frmVenta::EstableceDescripcion()
{
    PideTextoDeLinea(QStringLiteral("Observacion"),
                     QStringLiteral("Teclee la DESCRIPCIÓN del producto (hasta 60 caracteres):"),
                     QStringLiteral("Descripción."), QStringLiteral("Descripción"),
                     DescripcionGenerico);
}

void frmVenta::EstableceModelo()
{
    PideTextoDeLinea(QStringLiteral("Descripcion2"),
                     QStringLiteral("Teclee el MODELO/NOMBRE del producto (hasta 20 caracteres):"),
                     QStringLiteral("Modelo:"), QStringLiteral("Modelo"), ModeloGenerico);
}

void frmVenta::ProductoGenericoCapturado()
{
    // The line just captured is the generic product.
    const int fila = agregada_;
    if (G().GenAgregar != 1 || fila < 0 || fila >= lineas_.count()
        || lineas_.lineas()[size_t(fila)].codigo != QLatin1String("VARIOS"))
        return;
    secuencia_.reinicia();
    EstableceDescripcion();
    AplicaPUnit();
    EstableceModelo();
    ResaltaLinea();
}

void frmVenta::AgregaGenericos()
{
    db::Database* bd = base();
    if (!bd)
        return;
    db::Error e;
    if (!venta::AgregaGenericos(*bd, lineas_.lineas(), ivaPantalla_, &e) || !e.ok())
        prompts().message(QStringLiteral("No se pudieron dar de alta los productos genéricos: ")
                              + shell::TextoErrorBD(e),
                          ui::Icon::Critical);
}

QString frmVenta::TextoDetalles(int fila) const
{
    if (fila < 0 || fila >= lineas_.count())
        return {};
    return venta::TextoDetalles(lineas_.lineas()[size_t(fila)].fila, detallesActivos_);
}

// --- options list and price list ---

void frmVenta::construyeOpciones()
{
    lstOpciones = new QListWidget(this);
    lstOpciones->setObjectName(QStringLiteral("lstOpciones"));
    lstOpciones->addItems({QStringLiteral("ESTABLECER CANTIDAD"),
                           QStringLiteral("ESTABLECER TIPOCAMBIO US"),
                           QStringLiteral("ELEGIR PRECIO1,PRECIO2,PRECIO3"),
                           QStringLiteral("ESTABLECER OBSERVACION")});
    lstOpciones->setGeometry(20, 20, 280, 90);
    lstOpciones->hide();
    lstPrecios = new QListWidget(this);
    lstPrecios->setObjectName(QStringLiteral("lstPrecios"));
    lstPrecios->setGeometry(310, 20, 220, 70);
    lstPrecios->hide();
    connect(lstOpciones, &QListWidget::itemClicked, this, &frmVenta::OpcionElegida);
    connect(lstOpciones, &QListWidget::itemActivated, this, &frmVenta::OpcionElegida);
    connect(lstPrecios, &QListWidget::itemClicked, this, &frmVenta::PrecioElegido);
    connect(lstPrecios, &QListWidget::itemActivated, this, &frmVenta::PrecioElegido);
    lstOpciones->installEventFilter(this);
    lstPrecios->installEventFilter(this);
}

void frmVenta::OpcionElegida(QListWidgetItem* item)
{
    if (!item)
        return;
    const QString opcion = item->text();
    lstOpciones->hide();
    if (opcion == QLatin1String("ESTABLECER CANTIDAD")) {
        AplicaCantidad();
    } else if (opcion == QLatin1String("ESTABLECER TIPOCAMBIO US")) {
        TipoCambioDolar();
    } else if (opcion == QLatin1String("ELEGIR PRECIO1,PRECIO2,PRECIO3")) {
        if (shell::TienePermiso(46, false))
            MuestraPrecios();
    } else if (opcion == QLatin1String("ESTABLECER OBSERVACION")) {
        if (shell::TienePermiso(46, false))
            ObservacionDelDocumento();
    }
}

void frmVenta::TipoCambioDolar()
{
    const QString respuesta =
        prompts().input(QStringLiteral("Teclea el tipo de cambio del Dolar:"),
                        QStringLiteral("Tipo de cambio."), Numero(G().TiposCambio[2]));
    if (db::Database* bd = base()) {
        db::Error e;
        QString mensaje;
        if (const auto nuevo = ActualizaTipoCambio(*bd, respuesta, &e, &mensaje))
            G().TiposCambio[2] = *nuevo;
        else if (!mensaje.isEmpty())
            prompts().message(mensaje, ui::Icon::Information);
        else if (!e.ok())
            prompts().message(QStringLiteral("No se pudo guardar el tipo de cambio: ") + shell::TextoErrorBD(e),
                              ui::Icon::Critical);
    }
    capCodigoBarras->SetFocus();
}

void frmVenta::ObservacionDelDocumento()
{
    observacionDocumento_ = prompts().input(QStringLiteral("Teclee la observacion: "),
                                            QStringLiteral("Establecer observacion."),
                                            observacionDocumento_);
}

void frmVenta::MuestraPrecios()
{
    lstPrecios->clear();
    const int fila = LineaParaEditar();
    if (lineas_.count() == 0 || fila < 0) {
        lstPrecios->hide();
        return;
    }
    const db::Row& r = lineas_.lineas()[size_t(fila)].fila;
    for (int n = 1; n <= 3; ++n)
        lstPrecios->addItem(QStringLiteral("Precio%1= ").arg(n)
                            + shell::Formato(r.real(QStringLiteral("Precio%1").arg(n)),
                                             QStringLiteral("#,###,###.00")));
    lstPrecios->show();
    lstPrecios->raise();
    lstPrecios->setFocus();
}

void frmVenta::PrecioElegido(QListWidgetItem* item)
{
    const int fila = LineaParaEditar();
    if (item && fila >= 0) {
        const QString columna = item->text().left(7);  // "Precio1", "Precio2" or "Precio3"
        const QVariant precio = lineas_.lineas()[size_t(fila)].fila.value(columna);
        if (!precio.isNull() && precio.toDouble() != 0) {
            db::Error e;
            lineas_.escribe(fila, QStringLiteral("PrecioUnit"), precio.toDouble(), &e);
            RedibujaLinea(fila);
        }
    }
    txtTotal->setText(CalculaTotal(0, 0));
    lstPrecios->hide();
}

}  // namespace venta
