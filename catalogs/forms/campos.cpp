#include "catalogs/forms/campos.h"
#include "catalogs/forms/comun.h"

#include "capture_control/ccaptura.h"
#include "shell/estado.h"
#include "shell/forms/formas.h"
#include "shell/forms/midi.h"
#include "shell/texto.h"

#include <QMdiSubWindow>
#include <QStandardItemModel>
#include <QTableView>

namespace catalogos {

int PixelesDeTwips(int twips) { return twips / 15; }

void LlenaModelo(QStandardItemModel* modelo, const db::Rows& filas, const QStringList& importes,
                 const QStringList& fechas)
{
    modelo->clear();
    if (filas.empty())
        return;
    const db::Row& primera = filas.front();
    QStringList titulos;
    for (int i = 0; i < primera.count(); ++i)
        titulos << primera.name(i);
    modelo->setHorizontalHeaderLabels(titulos);
    for (const db::Row& r : filas) {
        QList<QStandardItem*> celdas;
        for (int i = 0; i < r.count(); ++i) {
            const QVariant v = r.value(i);
            QString texto = v.toString();
            if (!v.isNull() && importes.contains(titulos.value(i), Qt::CaseInsensitive)) {
                texto = shell::Formato(v.toDouble(), QStringLiteral("#,###,##0.00"));
            } else if (!v.isNull() && fechas.contains(titulos.value(i), Qt::CaseInsensitive)) {
                const QDate d = QDate::fromString(texto.left(10), Qt::ISODate);
                if (d.isValid())
                    texto = shell::FormatoFecha(d);
            }
            auto* celda = new QStandardItem(texto);
            celda->setEditable(false);
            celdas << celda;
        }
        modelo->appendRow(celdas);
    }
}

QString TituloDeCampo(const QString& campo)
{
    static const QHash<QString, QString> titulos{
        {QStringLiteral("IdCuenta"), QStringLiteral("Cuenta")},
        {QStringLiteral("NomCuenta"), QStringLiteral("Nombre")},
        {QStringLiteral("FechaGen"), QStringLiteral("Apertura")},
        {QStringLiteral("FechaMod"), QStringLiteral("Modificación")},
        {QStringLiteral("EstatusCuenta"), QStringLiteral("Estatus")},
        {QStringLiteral("SaldoCuenta"), QStringLiteral("Saldo")},
        {QStringLiteral("IdMovto"), QStringLiteral("Movimiento")},
        {QStringLiteral("FechaMovto"), QStringLiteral("Fecha")},
        {QStringLiteral("TipoMovimiento"), QStringLiteral("Tipo")},
        {QStringLiteral("ImporteMovto"), QStringLiteral("Importe")},
        {QStringLiteral("Referencia01"), QStringLiteral("Referencia 1")},
        {QStringLiteral("Referencia02"), QStringLiteral("Referencia 2")},
        {QStringLiteral("EstatusMovto"), QStringLiteral("Estatus")},
        {QStringLiteral("Numero"), QStringLiteral("Número")},
        {QStringLiteral("Numeroventa"), QStringLiteral("Venta")},
        {QStringLiteral("Numerodocto"), QStringLiteral("Documento")},
        {QStringLiteral("ClaveProducto"), QStringLiteral("Clave")},
        {QStringLiteral("CodigodeBarras"), QStringLiteral("Código")},
        {QStringLiteral("Descripcion"), QStringLiteral("Descripción")},
        {QStringLiteral("FechaVencimiento"), QStringLiteral("Vencimiento")},
        {QStringLiteral("FechaPago"), QStringLiteral("Pago")},
        {QStringLiteral("TipoDocto"), QStringLiteral("Tipo")},
        {QStringLiteral("Empleado"), QStringLiteral("Vendedor")},
        {QStringLiteral("IVAP"), QStringLiteral("I.V.A.")},
        {QStringLiteral("FormaPago"), QStringLiteral("Forma de pago")},
        {QStringLiteral("RFC"), QStringLiteral("R.F.C.")},
        {QStringLiteral("NombreCompania"), QStringLiteral("Nombre")},
        {QStringLiteral("PrecioCredito"), QStringLiteral("Precio a crédito")},
        {QStringLiteral("ImportePago"), QStringLiteral("Pago")},
        {QStringLiteral("Periododepago"), QStringLiteral("Periodo de Pago")},
        {QStringLiteral("NombreContacto"), QStringLiteral("Contacto")},
        {QStringLiteral("PrecioUnit"), QStringLiteral("Precio")},
        {QStringLiteral("Status"), QStringLiteral("Estatus")},
        {QStringLiteral("Exis"), QStringLiteral("Existencia")},
        {QStringLiteral("Ubicacion"), QString::fromUtf8("Ubicación")},
        {QStringLiteral("Observacion"), QString::fromUtf8("Observación")},
    };
    for (auto it = titulos.cbegin(); it != titulos.cend(); ++it)
        if (it.key().compare(campo, Qt::CaseInsensitive) == 0)
            return it.value();
    return campo;
}

void TitulosLegibles(QStandardItemModel* modelo)
{
    for (int i = 0; i < modelo->columnCount(); ++i) {
        const QString campo = modelo->headerData(i, Qt::Horizontal).toString();
        if (modelo->headerData(i, Qt::Horizontal, Qt::UserRole).isValid())
            continue;
        modelo->setHeaderData(i, Qt::Horizontal, campo, Qt::UserRole);
        modelo->setHeaderData(i, Qt::Horizontal, TituloDeCampo(campo));
    }
}

namespace {
QString campoDe(const QAbstractItemModel* m, int columna)
{
    const QVariant campo = m->headerData(columna, Qt::Horizontal, Qt::UserRole);
    return campo.isValid() ? campo.toString() : m->headerData(columna, Qt::Horizontal).toString();
}
}  // namespace

void NombresDeCodigos(QStandardItemModel* modelo, const QString& campo, const QStringList& nombres)
{
    for (int c = 0; c < modelo->columnCount(); ++c) {
        if (campoDe(modelo, c).compare(campo, Qt::CaseInsensitive) != 0)
            continue;
        for (int f = 0; f < modelo->rowCount(); ++f) {
            QStandardItem* celda = modelo->item(f, c);
            bool numero = false;
            const int codigo = celda ? celda->text().toInt(&numero) : -1;
            if (numero && codigo >= 0 && codigo < nombres.size() && !nombres.at(codigo).isEmpty())
                celda->setText(nombres.at(codigo));
        }
    }
}

void NombresDeCodigos(QStandardItemModel* modelo, const QString& campo, QString (*nombre)(const QString&))
{
    for (int c = 0; c < modelo->columnCount(); ++c)
        if (campoDe(modelo, c).compare(campo, Qt::CaseInsensitive) == 0)
            for (int f = 0; f < modelo->rowCount(); ++f)
                if (QStandardItem* celda = modelo->item(f, c))
                    celda->setText(nombre(celda->text()));
}

void AnchosColumnas(QTableView* grid, const QHash<QString, int>& anchos, bool ocultaResto)
{
    const QAbstractItemModel* m = grid->model();
    for (int i = 0; m && i < m->columnCount(); ++i) {
        const QString titulo = campoDe(m, i);
        bool hallado = false;
        for (auto it = anchos.cbegin(); it != anchos.cend(); ++it) {
            if (it.key().compare(titulo, Qt::CaseInsensitive) != 0)
                continue;
            hallado = true;
            if (it.value() > 0)
                grid->setColumnWidth(i, PixelesDeTwips(it.value()));
        }
        grid->setColumnHidden(i, ocultaResto && !hallado);
    }
    shell::GridLegible(grid);
}

QTableView* GridEditable(QWidget* padre, const QString& nombre, QStandardItemModel* modelo)
{
    auto* g = new QTableView(padre);
    g->setObjectName(nombre);
    g->setModel(modelo);
    g->setSelectionMode(QAbstractItemView::SingleSelection);
    g->setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed
                       | QAbstractItemView::AnyKeyPressed);
    return g;
}

void FuenteParametro(QTableView* grid)
{
    if (G().TFuente <= 0)
        return;
    QFont f = grid->font();
    f.setPointSize(G().TFuente);
    grid->setFont(f);
}

void MuestraForma(shell::MIDI* midi, QWidget* forma)
{
    if (midi) {
        midi->MuestraEnMDI(forma);
    } else {
        forma->show();
        forma->activateWindow();
    }
}

void CierraForma(QWidget* forma)
{
    if (auto* sub = qobject_cast<QMdiSubWindow*>(forma->parentWidget()))
        sub->close();
    else
        forma->close();
}

}  // namespace catalogos
