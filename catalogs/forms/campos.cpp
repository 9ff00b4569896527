#include "catalogs/forms/campos.h"
#include "catalogs/forms/comun.h"

#include "capture_control/ccaptura.h"
#include "shell/estado.h"
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

void AnchosColumnas(QTableView* grid, const QHash<QString, int>& anchos, bool ocultaResto)
{
    const QAbstractItemModel* m = grid->model();
    for (int i = 0; m && i < m->columnCount(); ++i) {
        const QString titulo = m->headerData(i, Qt::Horizontal).toString();
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
