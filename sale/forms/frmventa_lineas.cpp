// Sale lines and totals on the sale screen: adding a product, deleting, the cleanup of pending
// lines, the line grid's layouts and marks, the general discount.

#include "shell/rutinas_bd.h"
#include "capture_control/ccaptura.h"
#include "sale/esperaesc.h"
#include "sale/forms/frmventa.h"
#include "shell/avisos.h"
#include "shell/estado.h"
#include "shell/permisos.h"
#include "shell/texto.h"

#include <algorithm>

#include <QApplication>
#include <QCheckBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QTextEdit>
#include <QTimer>

namespace venta {

void frmVenta::AgregaProducto(QString& codigo)
{
    if (Procesando)
        return;
    db::Database* bd = base();
    if (!bd)
        return;
    db::Error e;
    auto producto = BuscaPorCodigo(*bd, codigo, &e);
    if (!producto && e.ok() && !codigo.isEmpty()) {
        // Not a barcode: the product the search highlights for this very text, when there is one.
        // A search still pending for the text runs first.
        if (Timer1->isActive())
            BuscaProducto();
        const ProductoBusqueda* marcado = productos_.current();
        if (marcado && marcado->codigo == productoMarcado_
            && CoincideBusqueda(modoBusqueda_, *marcado, codigo))
            producto = BuscaPorCodigo(*bd, productoMarcado_, &e);
    }
    if (!producto) {
        if (e.ok())
            prompts().message(QStringLiteral("No se encontro el producto."), ui::Icon::Critical);
        capCodigoBarras->SetFocus();
        return;
    }
    Timer1->stop();
    if (TipoDocumento.isEmpty() || TipoDocumento == QLatin1String(" "))
        TipoDocumento = QStringLiteral("T");
    ParametrosLinea par;
    par.tipoDocumento = TipoDocumento;
    par.numero = modo_ == QLatin1String("C") ? NumeroDocumento : 0;
    par.terminal = G().NombreEquipo;
    par.listaPrecioDef = G().ListaPrecioDef;
    par.tipoCambioDolar = G().TiposCambio[2];
    par.incrementoAP = G().IncrementoAP == 1;
    // Another terminal holding the branch file: the wait shows in the status bar (then the key help
    // comes back) and Esc leaves it.
    sale::EsperaConEsc esc;
    par.espera = esc.espera([this](const QString& texto) {
        shell::PonEstado(2, texto.isEmpty() ? textoTeclas_ : texto);
    });
    par.entradaInventario = modo_ == QLatin1String("E");
    const int fila = lineas_.agrega(*producto, par, &e);
    modeloLineas_->refresca();
    if (fila < 0) {
        // Every failed write is said (a busy file as a notice): the line was not added. The field
        // keeps the code either way.
        const bool espera = e.kind == db::ErrorKind::Busy || e.kind == db::ErrorKind::Cancelled;
        prompts().message(shell::TextoErrorBD(e), espera ? ui::Icon::Information : ui::Icon::Critical);
        capCodigoBarras->SetFocus();
        return;
    }
    agregada_ = fila;
    // An entry or exit saved with the screen left open (a transfer's) is not what the screen shows
    // any more: these lines begin the next document, saved and sent on their own, and asked about
    // when the screen closes.
    if (modo_ == QLatin1String("E") && cabeceraGuardada_) {
        cabeceraGuardada_ = false;
        NumeroDocumento = 0;
        cmdActInv->setEnabled(true);
    }
    PonCodigo(QString());
    ActualizaTotales();
    // The line just added or increased is the current one (the quantity prompt that may follow
    // acts on it).
    SeleccionaLinea(fila);
    if (!mantenerBusqueda_)
        RegresaBusquedaDefault();
    QApplication::beep();
    QApplication::beep();
    capCodigoBarras->SetFocus();
}

void frmVenta::cmdBorrarP_Click()
{
    if (lineas_.count() > 0) {
        int fila = LineaActual();
        if (fila < 0)
            fila = lineas_.count() - 1;
        const qint64 pendiente = modo_ == QLatin1String("C") ? NumeroDocumento : 0;
        if (lineas_.guardada(fila)) {
            // A line of a recalled document: it is kept with its document.
            prompts().message(QStringLiteral("La línea pertenece a un documento guardado y no se "
                                             "puede borrar."),
                              ui::Icon::None);
        } else if (lineas_.lineas()[size_t(fila)].numero != pendiente) {
            prompts().message(QStringLiteral("Se necesita leer de nuevo los registros."),
                              ui::Icon::None);
            LimpiaPendientes();
        } else {
            db::Error e;
            lineas_.borra(fila, &e);
            modeloLineas_->refresca();
            if (lineas_.count() > 0)
                SeleccionaLinea(lineas_.count() - 1);
            ActualizaTotales();
        }
    }
    capCodigoBarras->SetFocus();
}

// Pending lines left at this terminal (a screen closed without saving): they are shown, and
// deleted when the operator agrees. Lines other terminals are capturing are never touched.
void frmVenta::LimpiaPendientes()
{
    db::Error e;
    const auto ids = lineas_.pendientesTerminal(G().NombreEquipo, &e);
    if (!ids || ids->isEmpty())
        return;
    lineas_.adopta(*ids);
    lineas_.recarga(&e);
    modeloLineas_->refresca();
    SeleccionaLinea(lineas_.count() - 1);
    FormatoGrid();
    const auto respuesta = prompts().question(
        QStringLiteral("Se encontraron ") + QString::number(ids->size())
        + QStringLiteral(" registros que no se utilizaron. Desea limpiarlos ?"));
    if (respuesta == ui::Answer::Yes && lineas_.limpiaPendientes(G().NombreEquipo, &e)) {
        modeloLineas_->refresca();
        prompts().message(QStringLiteral("Limpieza realizada."), ui::Icon::None);
    }
    ActualizaTotales();
}

void PonColumna(QTableView* grid, int col, bool visible, int twips, int minimo)
{
    grid->setColumnHidden(col, !visible);
    if (visible)
        grid->setColumnWidth(col, std::max({twips / 15, minimo, grid->horizontalHeader()->sectionSizeHint(col)}));
}

void frmVenta::FormatoGrid()
{
    const bool desc = G().MDescripcion == 1, ubic = G().MUbicacion == 1, nom = G().MNombre == 1;
    auto pon = [this](int col, bool visible, int twips) { PonColumna(DBGrid1, col, visible, twips); };
    pon(ModeloLineas::Descripcion, desc, (nom && ubic) ? 4500 : 6300);
    pon(ModeloLineas::Ubicacion, ubic, 999);
    pon(ModeloLineas::PrecioUnit, true, 1240);
    pon(ModeloLineas::Cantidad, true, 895);
    pon(ModeloLineas::Nombre, nom, desc ? 1750 : 4000);
    pon(ModeloLineas::Importe, modo_ != QLatin1String("E"), 1330);
    pon(ModeloLineas::Exis, shell::TienePermiso(44, false), 860);
    pon(ModeloLineas::Descuento, true, 400);
    pon(ModeloLineas::Observacion, false, 0);
    pon(ModeloLineas::CodigodeBarras, false, 0);
}

void frmVenta::FormatoGridES()
{
    const bool desc = G().MDescripcion == 1, ubic = G().MUbicacion == 1, nom = G().MNombre == 1;
    auto pon = [this](int col, bool visible, int twips) { PonColumna(DBGrid1, col, visible, twips); };
    pon(ModeloLineas::Descripcion, desc, (nom && ubic) ? 4000 : 5300);
    pon(ModeloLineas::Ubicacion, ubic, 900);
    pon(ModeloLineas::PrecioUnit, true, 1140);
    pon(ModeloLineas::Cantidad, true, 720);
    pon(ModeloLineas::Nombre, nom, desc ? 1750 : 4000);
    pon(ModeloLineas::Importe, true, 1300);
    pon(ModeloLineas::Exis, false, 0);
    pon(ModeloLineas::Descuento, true, 400);
    pon(ModeloLineas::Observacion, true, 1200);
    pon(ModeloLineas::CodigodeBarras, false, 0);
}

int frmVenta::LineaActual() const
{
    const QModelIndex i = DBGrid1->currentIndex();
    return (i.isValid() && i.row() < lineas_.count()) ? i.row() : -1;
}

void frmVenta::SeleccionaLinea(int fila)
{
    if (fila < 0 || fila >= lineas_.count())
        return;
    DBGrid1->selectionModel()->setCurrentIndex(
        modeloLineas_->index(fila, 0),
        QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    MarcaLinea();
}

void frmVenta::MarcaLinea()
{
    if (Procesando || lineas_.count() == 0)
        return;
    ResaltaLinea();
    const int fila = LineaActual();
    if (fila < 0)
        return;
    const Linea& l = lineas_.lineas()[size_t(fila)];
    ColorExistencia(l.existencia);
    if (chkDetalles->isChecked())
        txtDetalles->setPlainText(TextoDetalles(fila));
}

void frmVenta::ResaltaLinea()
{
    const int fila = LineaActual();
    if (lineas_.count() > 0 && fila >= 0)
        DBGrid1->selectionModel()->select(
            modeloLineas_->index(fila, 0),
            QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
}

void frmVenta::ColorExistencia(const QVariant& existencia)
{
    const double e = existencia.toDouble();
    QString color = QStringLiteral("#FFFFFF");
    if (e < 1)
        color = QStringLiteral("#FFC080");  // light orange: nothing left
    else if (e == 1)
        color = QStringLiteral("#FFFF00");  // yellow: the last one
    if (cajaCodigo)
        cajaCodigo->setStyleSheet(QStringLiteral("QLineEdit { background-color: %1; }").arg(color));
}

QString frmVenta::ColorCodigo() const
{
    if (!cajaCodigo)
        return {};
    const QString hoja = cajaCodigo->styleSheet();
    const int i = hoja.indexOf(QLatin1Char('#'));
    return i >= 0 ? hoja.mid(i, 7) : QStringLiteral("#FFFFFF");
}

void frmVenta::AjustaDetalles()
{
    txtDetalles->setVisible(chkDetalles->isChecked() && !detallesArriba_);
}

// --- totals ---

void frmVenta::MuestraTotales(const Totales& t)
{
    TotalVenta = t.total;
    cantidadProductos_ = t.cantidadProductos;
    lblCProductos->setText(TextoCantidadProductos(t));
}

QString frmVenta::CalculaTotal(int first, int last)
{
    const Totales t = venta::CalculaTotal(lineas_.paraTotales(), first, last,
                                          PorcentajeDescuento());
    descuentoGeneral_ = t.descuentoGeneral;
    MuestraTotales(t);
    return FormatoTotal(t.total);
}

QString frmVenta::CalculaTotalDES(int first, int last)
{
    const Totales t = venta::CalculaTotalDES(lineas_.paraTotales(), first, last,
                                             PorcentajeDescuento(), ivaPantalla_);
    MuestraTotales(t);
    return FormatoTotal(t.total);
}

void frmVenta::ActualizaTotales(bool desgloseAntes)
{
    if (desgloseAntes) {
        txtTotal->setToolTip(CalculaTotalDES(0, 0));
        txtTotal->setText(CalculaTotal(0, 0));
    } else {
        txtTotal->setText(CalculaTotal(0, 0));
        txtTotal->setToolTip(CalculaTotalDES(0, 0));
    }
}

bool frmVenta::AplicaDescuentoEscrito()
{
    const bool tomado = ValidaDescuento();
    txtTotal->setText(CalculaTotal(0, 0));
    return tomado;
}

double frmVenta::PorcentajeDescuento() const
{
    return shell::LeeNumero(descuentoAceptado_).value_or(0.0);
}

void frmVenta::PonDescuento(double porcentaje)
{
    descuentoAceptado_ = QString::number(porcentaje, 'g', 15);
    capDescuento->setText(descuentoAceptado_);
}

bool frmVenta::ValidaDescuento()
{
    const QString texto = capDescuento->text();
    if (texto == descuentoAceptado_)
        return true;  // taken already (Enter and then leaving the field read it once)
    const DescuentoTecleado d = venta::ValidaDescuento(texto, shell::TienePermiso(41, false), G().MaxDescuentoFact);
    // The field shows what is taken before the message: the message box's own focus change then
    // finds nothing new to read.
    if (d.valor)
        PonDescuento(*d.valor);
    else
        capDescuento->setText(descuentoAceptado_);
    if (!d.mensaje.isEmpty())
        prompts().message(d.mensaje, ui::Icon::Information);
    if (d.valor && capCodigoBarras->Enabled())
        capCodigoBarras->SetFocus();
    return d.valor.has_value();
}

}  // namespace venta
