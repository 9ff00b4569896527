#include "shell/forms/formas.h"

#include "shell/avisos.h"
#include "platform/ui/prompts.h"

#include <QAbstractItemView>
#include <QLayout>
#include <QMdiArea>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QList>
#include <QListView>
#include <QMdiSubWindow>
#include <QScrollBar>
#include <QStyle>
#include <QTableView>
#include <QTimer>

#include <algorithm>

namespace shell {

namespace {
QList<QPointer<QWidget>>& lista() {
    static QList<QPointer<QWidget>> l;
    return l;
}

struct Aviso {
    const QObject* receptor;
    QPointer<QObject> vivo;
    std::function<void()> fn;
};
QList<Aviso>& alCerrar() {
    static QList<Aviso> l;
    return l;
}

void avisaCierre(const QObject* forma) {
    alCerrar().removeIf([](const Aviso& a) { return a.vivo.isNull(); });
    for (const Aviso& a : alCerrar())
        if (a.receptor != forma) QTimer::singleShot(0, a.vivo.data(), a.fn);
}
}  // namespace

void RegistraForma(QWidget* forma) {
    if (!forma) return;
    lista().removeIf([](const QPointer<QWidget>& p) { return p.isNull(); });
    for (const auto& p : lista())
        if (p == forma) return;
    lista().append(forma);
    QObject::connect(forma, &QObject::destroyed, [](QObject* o) { avisaCierre(o); });
}

void AlCerrarseUnaForma(QObject* receptor, std::function<void()> fn) {
    if (receptor) alCerrar().append({receptor, receptor, std::move(fn)});
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

namespace {
// The column GridLegible let take the rest of the width (+1; 0: none), with its mode and width before.
constexpr char kColumnaAncha[] = "quorvelColumnaAncha";
constexpr char kModoAntes[] = "quorvelModoAntes";
constexpr char kAnchoPropio[] = "quorvelAnchoPropio";

// A grid that needs more room than its window now gives (its rows came after the window opened)
// widens the window, frame and all; the main window's area scrolls to a window larger than itself.
void cabeEnVentana(QWidget* grid) {
    QWidget* forma = grid->window();
    QWidget* marco = forma;
    for (QWidget* w = grid->parentWidget(); w; w = w->parentWidget())
        if (auto* sub = qobject_cast<QMdiSubWindow*>(w)) {
            marco = sub;
            forma = sub->widget();
            break;
        }
    if (!forma || !marco->isVisible()) return;
    const QSize falta = forma->minimumSizeHint() - forma->size();
    if (falta.width() > 0 || falta.height() > 0)
        marco->resize(marco->size() + falta.expandedTo(QSize(0, 0)));
    if (marco != forma) CabeEnArea(forma);
}

bool esNumero(const QAbstractItemModel* m, int columna) {
    if (m->rowCount() == 0) return false;
    const QVariant a = m->index(0, columna).data(Qt::TextAlignmentRole);
    return a.isValid() && (Qt::Alignment(a.toInt()) & Qt::AlignRight);
}
}  // namespace

void GridLegible(QTableView* grid, int tope, int filas) {
    if (!grid || !grid->model()) return;
    QHeaderView* h = grid->horizontalHeader();
    const int antes = grid->property(kColumnaAncha).toInt() - 1;
    if (antes >= 0 && antes < h->count()) {
        // Back to its own width: what it stretched to must not count as a design width.
        if (h->sectionResizeMode(antes) == QHeaderView::Stretch)
            h->setSectionResizeMode(antes, QHeaderView::ResizeMode(grid->property(kModoAntes).toInt()));
        grid->setColumnWidth(antes, grid->property(kAnchoPropio).toInt());
    }
    grid->setProperty(kColumnaAncha, 0);
    int ancho = 0;
    int ancha = -1;
    int anchoTexto = 0;
    for (int c = 0; c < h->count(); ++c) {
        if (h->isSectionHidden(c)) continue;
        const QHeaderView::ResizeMode modo = h->sectionResizeMode(c);
        if (modo == QHeaderView::Interactive || modo == QHeaderView::Fixed) {
            const int celdas = static_cast<const QAbstractItemView*>(grid)->sizeHintForColumn(c);
            const int contenido = std::max(h->sectionSizeHint(c), celdas);
            // The default width is no design width.
            const int diseno = grid->columnWidth(c) == h->defaultSectionSize() ? 0 : grid->columnWidth(c);
            grid->setColumnWidth(c, std::max(diseno, contenido));
            if (!esNumero(grid->model(), c) && contenido > anchoTexto) {
                anchoTexto = contenido;
                ancha = c;
            }
        }
        ancho += h->sectionSize(c);
    }
    // The widest text column takes what the others leave, so a wider window shows more of it.
    if (ancha >= 0 && !h->stretchLastSection()) {
        grid->setProperty(kColumnaAncha, ancha + 1);
        grid->setProperty(kModoAntes, int(h->sectionResizeMode(ancha)));
        grid->setProperty(kAnchoPropio, h->sectionSize(ancha));
        h->setSectionResizeMode(ancha, QHeaderView::Stretch);
    }
    const QHeaderView* v = grid->verticalHeader();
    ancho += (v->isHidden() ? 0 : v->sizeHint().width()) + 2 * grid->frameWidth() +
             grid->verticalScrollBar()->sizeHint().width();
    grid->setMinimumWidth(std::min(ancho, tope));
    if (filas > 0) {
        const int n = std::min(filas, grid->model()->rowCount());
        int alto = 0;
        for (int f = 0; f < n; ++f) alto += grid->rowHeight(f);
        grid->setMinimumHeight(alto + (h->isHidden() ? 0 : h->sizeHint().height()) + 2 * grid->frameWidth() +
                               grid->horizontalScrollBar()->sizeHint().height());
    }
    cabeEnVentana(grid);
}

void CabeEnArea(QWidget* forma) {
    auto* sub = forma ? qobject_cast<QMdiSubWindow*>(forma->parentWidget()) : nullptr;
    // A main window not on screen yet has no area to fit.
    if (!sub || !sub->mdiArea() || !sub->mdiArea()->isVisible()) return;
    // The widest the area's view can be, less the scroll bar a window taller than it brings.
    QMdiArea* area = sub->mdiArea();
    const QRect dentro = area->contentsRect();
    const int barra = sub->height() > dentro.height() ? area->style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, area) : 0;
    const int limite = dentro.width() - barra;
    const int marco = std::max(0, sub->width() - forma->width());
    int falta = forma->minimumSizeHint().width() + marco - limite;
    if (falta > 0) {
        constexpr int kMinimo = 200;
        QList<QAbstractItemView*> vistas = forma->findChildren<QAbstractItemView*>();
        std::stable_sort(vistas.begin(), vistas.end(), [](const QWidget* a, const QWidget* b) {
            return a->minimumWidth() > b->minimumWidth();
        });
        for (QAbstractItemView* v : vistas) {
            if (falta <= 0) break;
            const int cede = std::min(falta, v->minimumWidth() - kMinimo);
            if (cede <= 0) continue;
            v->setMinimumWidth(v->minimumWidth() - cede);
            falta -= cede;
            // What holds it (tabs, frames) reads its size again now, not when the layout's events come.
            for (QWidget* p = v; p && p != sub; p = p->parentWidget()) {
                if (p->layout()) p->layout()->invalidate();
                p->updateGeometry();
            }
        }
        if (forma->layout()) forma->layout()->activate();
    }
    QRect r = sub->geometry();
    if (r.width() > limite) r.setWidth(std::max(limite, sub->minimumSizeHint().width()));
    if (r.right() >= limite) r.moveLeft(std::max(0, limite - r.width()));
    if (r.left() < 0) r.moveLeft(0);
    if (r != sub->geometry()) sub->setGeometry(r);
}

void ListaLegible(QListView* lista, int tope) {
    if (!lista || !lista->model()) return;
    int items = 0;
    for (int f = 0; f < lista->model()->rowCount(); ++f)
        items = std::max(items, lista->sizeHintForIndex(lista->model()->index(f, 0)).width());
    const int ancho = items + 2 * lista->frameWidth() + lista->verticalScrollBar()->sizeHint().width();
    lista->setMinimumWidth(std::min(ancho, tope));
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
