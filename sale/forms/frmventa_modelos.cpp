// The sale screen's two grid models: the product search list and the lines of the document, as
// the screen shows them.

#include "catalogs/forms/campos.h"
#include "sale/forms/frmventa.h"
#include "sale/lineas.h"
#include "shell/texto.h"

namespace venta {

int ModeloProductos::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : fuente_->count();
}

int ModeloProductos::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : NumColumnas;
}

QVariant ModeloProductos::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= fuente_->count())
        return {};
    const ProductoBusqueda& p = fuente_->at(index.row());
    if (role == Qt::TextAlignmentRole && (index.column() == PRECIOUNIT || index.column() == EXIS))
        return int(Qt::AlignRight | Qt::AlignVCenter);
    if (role != Qt::DisplayRole)
        return {};
    switch (index.column()) {
    case PRECIOUNIT: return shell::Formato(p.precio, QStringLiteral("#,###,###0.00"));
    case CODIGODEBARRAS: return p.codigo;
    case NOMBRE: return p.nombre;
    case DESCRIPCION: return p.descripcion;
    case EXIS: return fuente_->existencia(index.row());
    default: return {};
    }
}

QVariant ModeloProductos::headerData(int section, Qt::Orientation o, int role) const
{
    if (o != Qt::Horizontal || role != Qt::DisplayRole)
        return {};
    static const char* nombres[] = {"PrecioUnit", "CodigodeBarras", "Nombre", "Descripcion", "EXIS"};
    // Spanish words over the fields, as every grid of the program reads.
    return section >= 0 && section < NumColumnas ? catalogos::TituloDeCampo(QString::fromLatin1(nombres[section]))
                                                 : QVariant();
}

void ModeloProductos::refresca()
{
    beginResetModel();
    endResetModel();
}

int ModeloLineas::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : lineas_->count();
}

int ModeloLineas::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : NumColumnas;
}

QVariant ModeloLineas::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= lineas_->count())
        return {};
    const Linea& l = lineas_->lineas()[size_t(index.row())];
    if (role == Qt::TextAlignmentRole) {
        switch (index.column()) {
        case PrecioUnit: case Cantidad: case Importe: case Exis: case Descuento:
            return int(Qt::AlignRight | Qt::AlignVCenter);
        default: return {};
        }
    }
    if (role != Qt::DisplayRole)
        return {};
    switch (index.column()) {
    case Descripcion: return l.descripcion2.isEmpty() ? l.descripcion : l.descripcion2;
    case Ubicacion: return l.ubicacion;
    case PrecioUnit: return shell::Formato(l.precioUnit, QStringLiteral("###,##0.00"));
    case Cantidad: return TextoNumeroLinea(l.cantidad);
    case Nombre: return l.nombre;
    case Importe: return shell::Formato(l.importe, QStringLiteral("###,###,##0.00"));
    case Exis: return l.existencia.isNull() ? QVariant() : QVariant(TextoNumeroLinea(l.existencia.toDouble()));
    case Descuento: return TextoNumeroLinea(l.descuento);
    case Observacion: return l.observacion;
    case CodigodeBarras: return l.codigo;
    default: return {};
    }
}

QVariant ModeloLineas::headerData(int section, Qt::Orientation o, int role) const
{
    if (o != Qt::Horizontal || role != Qt::DisplayRole)
        return {};
    static const char* nombres[] = {"Descripcion", "Ubicacion", "PrecioUnit", "Cantidad",
                                    "Nombre", "Importe", "Exis", "Descuento", "Observacion",
                                    "CodigodeBarras"};
    return section >= 0 && section < NumColumnas ? catalogos::TituloDeCampo(QString::fromLatin1(nombres[section]))
                                                 : QVariant();
}

void ModeloLineas::refresca()
{
    beginResetModel();
    endResetModel();
}

}  // namespace venta
