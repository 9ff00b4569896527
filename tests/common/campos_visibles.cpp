#include "campos_visibles.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QAbstractSpinBox>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFontMetrics>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QRadioButton>
#include <QScrollBar>
#include <QHeaderView>
#include <QSet>
#include <QStyle>
#include <QTableView>
#include <QTabBar>
#include <QTabWidget>
#include <QTextDocument>
#include <QToolBar>

namespace testutil {

namespace {

bool dentroDe(const QWidget* w, const QWidget* forma, auto esTipo)
{
    for (const QWidget* p = w->parentWidget(); p && p != forma->parentWidget(); p = p->parentWidget())
        if (esTipo(p))
            return true;
    return false;
}

// Part of the widget that its parents leave on screen, in its own coordinates.
QRect parteVisible(const QWidget* w)
{
    QRect r = w->rect();
    QPoint desplazamiento(0, 0);
    for (const QWidget* p = w; p && !p->isWindow(); p = p->parentWidget()) {
        desplazamiento += p->pos();
        const QWidget* padre = p->parentWidget();
        r &= padre->rect().translated(-desplazamiento);
    }
    return r;
}

QString nombre(const QWidget* w)
{
    QString n = QString::fromLatin1(w->metaObject()->className());
    if (!w->objectName().isEmpty())
        n += QLatin1Char(' ') + w->objectName();
    for (const QWidget* p = w->parentWidget(); p; p = p->parentWidget())
        if (p->inherits("CCaptura")) {
            n += QStringLiteral(" in ") + p->objectName();
            break;
        }
    return n;
}

QString sinMnemonico(QString texto)
{
    texto.replace(QStringLiteral("&&"), QStringLiteral("\x01"));
    texto.remove(QLatin1Char('&'));
    texto.replace(QLatin1Char('\x01'), QLatin1Char('&'));
    return texto;
}

// Width and height the caption takes in the widget's font.
QSize tamanoTexto(const QWidget* w, const QString& texto)
{
    return QFontMetrics(w->font()).boundingRect(QRect(), Qt::TextShowMnemonic, texto).size();
}

void revisa(QWidget* w, QWidget* forma, QSet<QString>& fallas)
{
    const bool campo = w->inherits("CCaptura");
    const auto* etiqueta = qobject_cast<const QLabel*>(w);
    const auto* boton = qobject_cast<const QAbstractButton*>(w);
    const bool caja = qobject_cast<const QLineEdit*>(w) && !qobject_cast<QComboBox*>(w->parentWidget()) &&
                      !qobject_cast<QAbstractSpinBox*>(w->parentWidget());
    const bool lista = qobject_cast<const QComboBox*>(w) != nullptr;
    if (!campo && !etiqueta && !boton && !caja && !lista)
        return;
    // Parts that other widgets draw and place themselves.
    if (dentroDe(w, forma, [](const QWidget* p) {
            return qobject_cast<const QAbstractItemView*>(p) || qobject_cast<const QTabBar*>(p) ||
                   qobject_cast<const QMenuBar*>(p) || qobject_cast<const QComboBox*>(p);
        }))
        return;
    if (etiqueta && (etiqueta->text().isEmpty() || !etiqueta->pixmap().isNull()))
        return;

    const QString quien = nombre(w);
    if (!w->isVisible()) {
        fallas << quien + QStringLiteral(" is not visible");
        return;
    }
    const int linea = QFontMetrics(w->font()).height();
    const QRect visible = parteVisible(w);
    if (visible.height() < linea) {
        fallas << QStringLiteral("%1 shows %2 px of its %3 px line (widget %4 px high)")
                      .arg(quien)
                      .arg(visible.height())
                      .arg(linea)
                      .arg(w->height());
        return;
    }
    if (visible.width() <= 0) {
        fallas << quien + QStringLiteral(" has no width");
        return;
    }

    QString texto;
    int holgura = 0;
    if (etiqueta && !etiqueta->wordWrap() && !Qt::mightBeRichText(etiqueta->text())) {
        texto = etiqueta->text();
        holgura = 2 * etiqueta->margin() + 2 * etiqueta->frameWidth();
    } else if (boton && !boton->text().isEmpty() && !dentroDe(w, forma, [](const QWidget* p) {
                   return qobject_cast<const QToolBar*>(p);
               })) {
        texto = sinMnemonico(boton->text());
        if (qobject_cast<const QCheckBox*>(w) || qobject_cast<const QRadioButton*>(w))
            holgura = w->sizeHint().width() - tamanoTexto(w, texto).width() - 2;
        else
            holgura = 4;
    }
    if (texto.isEmpty())
        return;
    const QSize necesita = tamanoTexto(w, texto) + QSize(holgura, 0);
    if (visible.width() < necesita.width())
        fallas << QStringLiteral("%1 shows %2 px of the %3 px its caption \"%4\" needs")
                      .arg(quien)
                      .arg(visible.width())
                      .arg(necesita.width())
                      .arg(texto);
    if (visible.height() < necesita.height())
        fallas << QStringLiteral("%1 shows %2 px of the %3 px height of its caption \"%4\"")
                      .arg(quien)
                      .arg(visible.height())
                      .arg(necesita.height())
                      .arg(texto);
}

void revisaTodo(QWidget* forma, QSet<QString>& fallas)
{
    QApplication::processEvents();
    for (QWidget* w : forma->findChildren<QWidget*>()) {
        if (w->isWindow())
            continue;
        // Hidden on purpose (by the form or by its parents) is not a fault; hidden tab pages are
        // visited through their tabs.
        bool oculto = false;
        for (const QWidget* p = w; p && p != forma; p = p->parentWidget())
            if (p->isHidden())
                oculto = true;
        if (!oculto)
            revisa(w, forma, fallas);
    }
}

// The text of every cell in sight fits its column (the first cut cell of each column is named).
void revisaCeldas(const QTableView* grid, QSet<QString>& fallas)
{
    const QAbstractItemModel* m = grid->model();
    const int margen = 2 * (grid->style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, grid) + 1);
    for (int c = 0; c < m->columnCount(); ++c) {
        if (grid->isColumnHidden(c))
            continue;
        for (int f = 0; f < m->rowCount(); ++f) {
            const QModelIndex i = m->index(f, c);
            if (grid->isRowHidden(f))
                continue;
            if (grid->visualRect(i).top() > grid->viewport()->height())
                break;
            const QString texto = i.data().toString();
            if (texto.isEmpty() || texto.contains(QLatin1Char('\n')) || i.data(Qt::DecorationRole).isValid() ||
                i.data(Qt::CheckStateRole).isValid())
                continue;
            const QVariant letra = i.data(Qt::FontRole);
            const QFont fuente = letra.isValid() ? letra.value<QFont>() : grid->font();
            const int necesita = QFontMetrics(fuente).horizontalAdvance(texto) + margen;
            if (grid->columnWidth(c) < necesita) {
                fallas << QStringLiteral("%1: column \"%2\" is %3 px, its cell \"%4\" needs %5 px")
                              .arg(nombre(grid), m->headerData(c, Qt::Horizontal).toString())
                              .arg(grid->columnWidth(c))
                              .arg(texto)
                              .arg(necesita);
                break;
            }
        }
    }
}

void revisaGrids(QWidget* forma, QSet<QString>& fallas)
{
    QApplication::processEvents();
    for (QTableView* grid : forma->findChildren<QTableView*>()) {
        if (!grid->isVisible() || !grid->model())
            continue;
        const QHeaderView* h = grid->horizontalHeader();
        const int margen = 2 * h->style()->pixelMetric(QStyle::PM_HeaderMargin, nullptr, h);
        for (int c = 0; c < h->count(); ++c) {
            if (h->isSectionHidden(c))
                continue;
            const QString titulo = grid->model()->headerData(c, Qt::Horizontal).toString();
            const int necesita = h->fontMetrics().horizontalAdvance(titulo) + margen;
            if (h->sectionSize(c) < necesita)
                fallas << QStringLiteral("%1: column \"%2\" is %3 px, its heading needs %4 px")
                              .arg(nombre(grid), titulo)
                              .arg(h->sectionSize(c))
                              .arg(necesita);
        }
        if (h->length() > grid->viewport()->width())
            fallas << QStringLiteral("%1: its columns take %2 px of a %3 px view")
                          .arg(nombre(grid))
                          .arg(h->length())
                          .arg(grid->viewport()->width());
        revisaCeldas(grid, fallas);
    }
    for (QListView* lista : forma->findChildren<QListView*>()) {
        if (!lista->isVisible() || !lista->model() || qobject_cast<QComboBox*>(lista->parentWidget()))
            continue;
        for (int f = 0; f < lista->model()->rowCount(); ++f) {
            const QModelIndex i = lista->model()->index(f, 0);
            const int necesita = lista->sizeHintForIndex(i).width();
            if (!lista->isRowHidden(f) && necesita > lista->viewport()->width()) {
                fallas << QStringLiteral("%1: item \"%2\" needs %3 px of a %4 px view")
                              .arg(nombre(lista), i.data().toString())
                              .arg(necesita)
                              .arg(lista->viewport()->width());
                break;
            }
        }
    }
}

::testing::AssertionResult resultado(const QWidget* forma, const QSet<QString>& fallas)
{
    if (fallas.isEmpty())
        return ::testing::AssertionSuccess();
    QStringList lista(fallas.begin(), fallas.end());
    lista.sort();
    return ::testing::AssertionFailure() << forma->metaObject()->className() << " "
                                         << forma->objectName().toStdString() << ":\n  "
                                         << lista.join(QStringLiteral("\n  ")).toStdString();
}

// Runs the check on the shown form as it stands, then with each further page of its tabs
// selected, and gathers what it found.
::testing::AssertionResult enCadaPagina(QWidget* forma, void (*revisa)(QWidget*, QSet<QString>&))
{
    if (!forma || !forma->isVisible())
        return ::testing::AssertionFailure() << "the form is not shown";
    QSet<QString> fallas;
    revisa(forma, fallas);
    for (QTabWidget* pestanas : forma->findChildren<QTabWidget*>()) {
        if (!pestanas->isVisible())
            continue;
        const int antes = pestanas->currentIndex();
        for (int i = 0; i < pestanas->count(); ++i) {
            if (i == antes || !pestanas->isTabEnabled(i))
                continue;
            pestanas->setCurrentIndex(i);
            revisa(forma, fallas);
        }
        pestanas->setCurrentIndex(antes);
    }
    return resultado(forma, fallas);
}

}  // namespace

::testing::AssertionResult CadaCampoSeVeEntero(QWidget* forma) { return enCadaPagina(forma, revisaTodo); }

::testing::AssertionResult CadaGridSeLee(QWidget* forma) { return enCadaPagina(forma, revisaGrids); }

::testing::AssertionResult SeVeEnteroEnCadaTamano(QWidget* forma)
{
    if (!forma)
        return ::testing::AssertionFailure() << "no form";
    if (!forma->isVisible())
        forma->show();
    QStringList fallas;
    const auto revisaA = [&](const QString& tamano, bool grids) {
        for (const auto& r : {CadaCampoSeVeEntero(forma), grids ? CadaGridSeLee(forma) : ::testing::AssertionSuccess()})
            if (!r)
                fallas << QStringLiteral("at %1 (%2x%3): %4")
                              .arg(tamano)
                              .arg(forma->width())
                              .arg(forma->height())
                              .arg(QString::fromStdString(r.message()));
    };
    // At its smallest a grid may scroll; its fields may not.
    revisaA(QStringLiteral("the size it opened with"), true);
    // A document of the main window is sized through its frame there, and fills the main window
    // when maximised.
    auto* marco = qobject_cast<QMdiSubWindow*>(forma->parentWidget());
    QWidget* ventana = marco ? static_cast<QWidget*>(marco) : forma;
    ventana->resize(ventana->minimumSizeHint());
    revisaA(QStringLiteral("its minimum size hint"), false);
    if (marco) {
        marco->window()->resize(1280, 1024);
        marco->showMaximized();
    } else {
        forma->resize(1280, 1024);
    }
    revisaA(QStringLiteral("1280x1024"), true);
    if (fallas.isEmpty())
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << fallas.join(QLatin1Char('\n')).toStdString();
}

::testing::AssertionResult ColumnasAlAlcance(const QTableView* grid, const QStringList& titulos)
{
    QStringList fallas;
    const QHeaderView* h = grid->horizontalHeader();
    for (const QString& t : titulos) {
        int c = 0;
        while (c < h->count() && grid->model()->headerData(c, Qt::Horizontal).toString() != t)
            ++c;
        if (c == h->count() || grid->isColumnHidden(c)) {
            fallas << t + QStringLiteral(": no such column shown");
            continue;
        }
        // Within the grid, from its first column.
        const QScrollBar* barra = grid->horizontalScrollBar();
        const int alcance = h->width() + (barra->isVisible() ? barra->maximum() : 0);
        if (h->sectionPosition(c) + h->sectionSize(c) > alcance) {
            fallas << t + QStringLiteral(": past the grid's end, no scroll bar reaches it");
            continue;
        }
        // The grid within its window and the window within the main window.
        QRect r(h->mapTo(grid, QPoint(h->sectionPosition(c), 0)), QSize(h->sectionSize(c), h->height()));
        r.moveLeft(std::min(r.left(), grid->width() - r.width()));  // what its scroll bar brings in
        const QWidget* w = grid;
        while (w && !w->isWindow()) {
            const QWidget* padre = w->parentWidget();
            r.translate(w->pos());
            if (r.right() > padre->rect().right() || r.left() < 0) {
                const auto* area = qobject_cast<const QAbstractScrollArea*>(padre->parentWidget());
                if (area && area->viewport() == padre && area->horizontalScrollBar()->isVisible()) {
                    r = QRect(QPoint(0, 0), padre->size());  // the area scrolls to it
                } else {
                    fallas << t + QStringLiteral(": cut off by ") + nombre(padre);
                    break;
                }
            }
            w = padre;
        }
    }
    if (fallas.isEmpty())
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << fallas.join(QLatin1Char('\n')).toStdString();
}

::testing::AssertionResult CadaFormaSeVeEntera(std::initializer_list<QWidget*> formas)
{
    QStringList fallas;
    for (QWidget* f : formas) {
        if (!f) {
            fallas << QStringLiteral("a form did not open");
            continue;
        }
        if (const auto r = SeVeEnteroEnCadaTamano(f); !r)
            fallas << f->objectName() + QStringLiteral(": ") + QString::fromStdString(r.message());
        auto* marco = qobject_cast<QMdiSubWindow*>(f->parentWidget());
        (marco ? static_cast<QWidget*>(marco) : f)->close();
    }
    if (fallas.isEmpty())
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << fallas.join(QLatin1Char('\n')).toStdString();
}

}  // namespace testutil
