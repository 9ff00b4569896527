// Product capture on the sale screen: the code field, the debounced search and the product grid.

#include "shell/rutinas_bd.h"
#include "capture_control/ccaptura.h"
#include "sale/forms/frmventa.h"
#include "sale/teclas.h"
#include "shell/estado.h"
#include "shell/permisos.h"

#include <algorithm>

#include <QFontMetrics>
#include <QHeaderView>
#include <QStyle>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QTimer>

namespace venta {

void frmVenta::PonCodigo(const QString& texto)
{
    codigoPorPrograma_ = true;
    capCodigoBarras->setText(texto);
    codigoPorPrograma_ = false;
}

// Every edit of the code field. The search runs once, IntervaloBusqueda ms after the last edit (a
// single-shot timer restarted by each edit); from 15 characters on nothing is armed and Enter takes
// the code.
void frmVenta::CambioCodigo()
{
    Timer2->stop();
    const QString texto = capCodigoBarras->Text();
    intervaloBusqueda_ = venta::IntervaloBusqueda(intervaloBase_, int(texto.size()));
    if (codigoPorPrograma_)
        return;
    if (G().ProductoPendiente == 1) {
        G().ProductoPendiente = 0;
        return;
    }
    if (!seleccionGrid_ && CaracterRechazado(texto)) {
        // The apostrophe and the vertical bar never stay in the field.
        const int cursor = cajaCodigo ? cajaCodigo->cursorPosition() : 0;
        QString limpio = texto;
        limpio.remove(QLatin1Char('\'')).remove(QLatin1Char('|'));
        PonCodigo(limpio);
        if (cajaCodigo)
            cajaCodigo->setCursorPosition(qMax(0, cursor - int(texto.size() - limpio.size())));
        return;
    }
    if (intervaloBusqueda_ > 0)
        Timer1->start(intervaloBusqueda_);
    else
        Timer1->stop();
}

void frmVenta::TeclaCodigo(short& codigo, short& shift)
{
    Q_UNUSED(shift);
    // The screen sees every key before the field does; a function key it took goes no further.
    if (TeclaAbajo(codigo) && codigo >= 112 && codigo <= 135) {
        codigo = 0;
        return;
    }
    switch (codigo) {
    case 13:
        if (capCodigoBarras->Text().isEmpty()) {
            seleccionGrid_ = true;
            selprod();
        }
        if (!seleccionGrid_) {
            agregada_ = -1;
            CapturaCodigo();
            if (agregada_ >= 0)
                ProductoGenericoCapturado();
        }
        codigo = 0;
        break;
    case 38:
    case 40: {
        const int destino = productos_.position() + (codigo == 38 ? -1 : 1);
        if (destino >= 0 && destino < productos_.count()) {
            productos_.move(destino);
            MarcaProducto();
        }
        codigo = 0;
        break;
    }
    case 123:
        capCodigoBarras->setText(QString());
        break;
    default:
        break;
    }
}

void frmVenta::CapturaCodigo()
{
    if (Procesando)
        return;  // a sale is being stored
    if (G().ProductoPendiente == 1) {
        G().ProductoPendiente = 0;
        return;
    }
    cmdBuscar->setEnabled(false);
    QString codigo = capCodigoBarras->Text();
    AgregaProducto(codigo);
    if (G().CantidadAuto == 1)
        AplicaCantidad();
}

bool frmVenta::CargaFuente(int modo, bool recargar)
{
    db::Error e;
    const bool ok = productos_.abre(modo, capCodigoBarras->Text(), recargar, &e);
    modeloProductos_->refresca();
    if (!ok)
        prompts().message(QStringLiteral("Error al leer el catálogo de productos: ") + shell::TextoErrorBD(e),
                          ui::Icon::Critical);
    return ok;
}

void frmVenta::EstableceB()
{
    EstableceBusqueda(true);
}

void frmVenta::EstableceBusqueda(bool recargar)
{
    modoBusqueda_ = SiguienteModo(modoBusqueda_);
    lblCodigo->setText(CaptionModo(modoBusqueda_));
    productos_.olvidaExistencias();
    CargaFuente(modoBusqueda_, recargar);
    FormatoGridP();
    if (productos_.count() == 0) {
        prompts().message(QStringLiteral("No existen Productos. No se puede entrar a la pantalla de "
                                         "ventas si no hay ningun producto en el catálogo."),
                          ui::Icon::None);
    } else {
        productos_.first();
        MarcaProducto();
    }
}

void frmVenta::RegresaBusquedaDefault()
{
    // Back to the default mode; the set already loaded for it is kept while it is current.
    modoBusqueda_ = SiguienteModo(ModoAntesDeDefault(G().BDefault));
    lblCodigo->setText(CaptionModo(modoBusqueda_));
    CargaFuente(modoBusqueda_, !productos_.vigente());
    FormatoGridP();
    if (productos_.count() > 0) {
        productos_.first();
        MarcaProducto();
    }
}

void frmVenta::BuscaProducto()
{
    Timer1->stop();
    const QString texto = capCodigoBarras->Text();
    db::Error e;
    if (!productos_.busca(texto, textoBuscado_, &e)) {
        prompts().message(QStringLiteral("Carácter no válido."), ui::Icon::None);
        capCodigoBarras->SetFocus();
        return;
    }
    if (modoBusqueda_ == BusquedaDescripcion) {
        modeloProductos_->refresca();
        FormatoGridP();
    }
    if (texto.isEmpty()) {
        productos_.first();
        MarcaProducto();
        return;
    }
    Timer2->start();
    textoBuscado_ = texto;
    MarcaProducto();
}

void frmVenta::selprod()
{
    if (seleccionGrid_) {
        if (const ProductoBusqueda* p = productos_.current()) {
            G().ProductoPendiente = 1;
            PonCodigo(p->codigo);
            capCodigoBarras->SetFocus();
            G().ProductoPendiente = 0;
        }
        seleccionGrid_ = false;
    }
    MarcaProducto();
}

void frmVenta::MarcaProducto()
{
    if (Procesando || productos_.count() == 0)
        return;
    const ProductoBusqueda* p = productos_.current();
    if (!p)
        return;
    const int fila = productos_.position();
    if (DBGrid2->currentIndex().row() != fila) {
        const QSignalBlocker bloqueo(DBGrid2->selectionModel());
        const QModelIndex i = modeloProductos_->index(fila, 0);
        DBGrid2->selectionModel()->setCurrentIndex(
            i, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
        DBGrid2->scrollTo(i);
        DBGrid2->viewport()->update();
    }
    productoMarcado_ = p->codigo;
}

void frmVenta::FormatoGridP()
{
    const int ancho = DBGrid2->viewport()->width() * 15;  // in twips, as the layout is given
    auto pon = [this](int col, bool visible, int twips, int minimo = 0) {
        PonColumna(DBGrid2, col, visible, twips, minimo);
    };
    // A whole barcode (EAN-13, or a longer one among the first rows) is never cut.
    const QFontMetrics letra = DBGrid2->fontMetrics();
    int codigo = letra.horizontalAdvance(QString(13, QLatin1Char('0')));
    for (int i = 0; i < std::min(productos_.count(), 200); ++i)
        codigo = std::max(codigo, letra.horizontalAdvance(productos_.at(i).codigo));
    codigo += 3 * DBGrid2->style()->pixelMetric(QStyle::PM_FocusFrameHMargin) + 4;
    pon(ModeloProductos::PRECIOUNIT, true, 1250);
    pon(ModeloProductos::CODIGODEBARRAS, modoBusqueda_ == BusquedaCodigo, 1150, codigo);
    pon(ModeloProductos::NOMBRE, true, 1900);
    pon(ModeloProductos::DESCRIPCION, true,
        ancho - (modoBusqueda_ == BusquedaCodigo ? 4350 : 3700));
    pon(ModeloProductos::EXIS, !shell::TienePermiso(44, false), 450);
}

}  // namespace venta
