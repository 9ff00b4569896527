#include "shell/forms/formas.h"

#include "shell/avisos.h"
#include "platform/ui/prompts.h"

#include <QAbstractItemView>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QList>
#include <QScrollBar>
#include <QTableView>

#include <algorithm>

namespace shell {

namespace {
QList<QPointer<QWidget>>& lista() {
    static QList<QPointer<QWidget>> l;
    return l;
}
}  // namespace

void RegistraForma(QWidget* forma) {
    if (!forma) return;
    lista().removeIf([](const QPointer<QWidget>& p) { return p.isNull(); });
    for (const auto& p : lista())
        if (p == forma) return;
    lista().append(forma);
}

QList<QWidget*> FormasCargadas() {
    QList<QWidget*> out;
    for (const auto& p : lista())
        if (p) out.append(p.data());
    return out;
}

bool FormaAbierta(const QString& nombre) { return FormaCargada(nombre) != nullptr; }

bool FormaAbiertaPorTitulo(const QString& titulo) {
    for (QWidget* w : FormasCargadas())
        if (w->windowTitle() == titulo) return true;
    return false;
}

QWidget* FormaCargada(const QString& nombre) {
    for (QWidget* w : FormasCargadas())
        if (w->objectName() == nombre) return w;
    return nullptr;
}

namespace {
bool esMarco(const QWidget* w) {
    return w->objectName() == QLatin1String("MIDI") || w->objectName() == QLatin1String("frmPrincipal");
}
}  // namespace

QStringList VentanasAbiertas(std::initializer_list<const QWidget*> propias) {
    QStringList out;
    for (QWidget* w : FormasCargadas()) {
        if (esMarco(w) || std::find(propias.begin(), propias.end(), w) != propias.end()) continue;
        out << (w->windowTitle().isEmpty() ? w->objectName() : w->windowTitle());
    }
    return out;
}

bool CierraDocumentos() {
    const QList<QWidget*> formas = FormasCargadas();
    for (auto it = formas.crbegin(); it != formas.crend(); ++it) {
        if (esMarco(*it)) continue;
        QPointer<QWidget> p(*it);
        if (!p->close()) return false;
        // Gone at once: a second close would ask its question again.
        if (p) delete p.data();
    }
    return true;
}

bool SinVentanasAbiertas(ui::Prompts& p, std::initializer_list<const QWidget*> propias) {
    const QStringList abiertas = VentanasAbiertas(propias);
    if (abiertas.isEmpty()) return true;
    p.message(QStringLiteral("Cierre las ventanas abiertas antes de continuar: ") + abiertas.join(QStringLiteral(", ")),
              ui::Icon::Warning);
    return false;
}

void CierraFormasExcepto(const QString& nombre) {
    const QList<QWidget*> formas = FormasCargadas();
    for (auto it = formas.crbegin(); it != formas.crend(); ++it) {
        QWidget* w = *it;
        if (w->objectName() == nombre) continue;
        QPointer<QWidget> p(w);
        w->close();
        if (p) delete p.data();
    }
    TerminaPrograma();
}

void AjustaColumnasGrid(QAbstractItemView* grid, qint64 cuantos) {
    if (!grid || cuantos <= 0 || !grid->model() || !grid->selectionModel()) return;
    if (grid->model()->rowCount() == 0) return;
    int fila = grid->indexAt(QPoint(1, 1)).row();
    if (fila < 0) fila = 0;
    grid->selectionModel()->clearSelection();
    grid->selectionModel()->select(grid->model()->index(fila, 0),
                                   QItemSelectionModel::Select | QItemSelectionModel::Rows);
}

void GridLegible(QTableView* grid, int tope) {
    if (!grid || !grid->model()) return;
    QHeaderView* h = grid->horizontalHeader();
    int ancho = 0;
    for (int c = 0; c < h->count(); ++c) {
        if (h->isSectionHidden(c)) continue;
        if (h->sectionResizeMode(c) == QHeaderView::Interactive || h->sectionResizeMode(c) == QHeaderView::Fixed)
            grid->setColumnWidth(c, std::max(grid->columnWidth(c), h->sectionSizeHint(c)));
        ancho += h->sectionSize(c);
    }
    const QHeaderView* v = grid->verticalHeader();
    ancho += (v->isHidden() ? 0 : v->sizeHint().width()) + 2 * grid->frameWidth() +
             grid->verticalScrollBar()->sizeHint().width();
    grid->setMinimumWidth(std::min(ancho, tope));
}

QTableView* GridLectura(QWidget* padre, const QString& nombre, QAbstractItemModel* modelo) {
    auto* g = new QTableView(padre);
    g->setObjectName(nombre);
    g->setModel(modelo);
    g->setEditTriggers(QAbstractItemView::NoEditTriggers);
    g->setSelectionBehavior(QAbstractItemView::SelectRows);
    g->setSelectionMode(QAbstractItemView::SingleSelection);
    return g;
}

}  // namespace shell
