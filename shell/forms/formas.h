#pragma once
// The loaded forms of the program: one instance per form, created on first use and forgotten when
// it is destroyed; the questions about them (by name, by caption), closing them all, and the grid
// selection fix of the cash cut.

#include <QPointer>
#include <QString>
#include <QStringList>
#include <QWidget>

#include <functional>

class QAbstractItemModel;
class QAbstractItemView;
class QListView;
class QTableView;

namespace ui {
class Prompts;
}

namespace shell {

// Keeps the form in the list of loaded forms (in the order they loaded) until it is destroyed.
void RegistraForma(QWidget* forma);
QList<QWidget*> FormasCargadas();
// While `receptor` lives, `fn` runs (once the event loop turns) each time another loaded form goes
// away: what a window shows from the files may have changed under it meanwhile.
void AlCerrarseUnaForma(QObject* receptor, std::function<void()> fn);

// The program's one instance of form T, created (not shown) on first use. It is destroyed when it
// closes (WA_DeleteOnClose), and the next call creates a new one.
template <class T>
T* Forma() {
    static QPointer<T> instancia;
    if (!instancia) {
        instancia = new T();
        instancia->setAttribute(Qt::WA_DeleteOnClose);
        RegistraForma(instancia);
    }
    return instancia;
}

// True when a loaded form has exactly this object name / window title.
bool FormaAbierta(const QString& nombre);
bool FormaAbiertaPorTitulo(const QString& titulo);
// The loaded form of that name, or nullptr.
QWidget* FormaCargada(const QString& nombre);
// The captions of the loaded document windows, in the order they loaded: every loaded form but the
// main window (MIDI), the start form (frmPrincipal) and those given (the form asking).
QStringList VentanasAbiertas(std::initializer_list<const QWidget*> propias = {});
// Before an operation closes or replaces the program's open files: the forms keep the handles they
// took when they opened, so it may run only with no other document window loaded. True when none
// is; else one message naming them and false.
bool SinVentanasAbiertas(ui::Prompts& p, std::initializer_list<const QWidget*> propias = {});
// Closes every document window (every loaded form but the main window and the start form), the
// last loaded first, each through its own close checks. False, with the rest left open, when one
// refuses.
bool CierraDocumentos();
// Closes every loaded form whose name differs, the last loaded first, then ends the program.
void CierraFormasExcepto(const QString& nombre);
// When cuantos > 0: exactly the grid's first visible row shows as selected. The columns stay.
void AjustaColumnasGrid(QAbstractItemView* grid, qint64 cuantos);
// A grid a person reads and picks one row of: the model's rows, whole rows selected, one at a time,
// nothing typed into it.
QTableView* GridLectura(QWidget* padre, const QString& nombre, QAbstractItemModel* modelo);
// A grid a person reads without scrolling sideways: every shown column as wide as its heading and
// the texts of its rows (a design width stays when it is wider), the widest text column taking the
// width the others leave, and the grid at least as wide as its shown columns, up to `tope` pixels,
// so the form opens with them in sight; with `filas`, tall enough for that many of its rows. A
// window already shown that is now too small for the grid grows (in the main window's area, which
// scrolls to it). Call it after the widths, and again when the rows change.
void GridLegible(QTableView* grid, int tope = 1200, int filas = 0);
// A document window of the main window is never wider than the area it sits in: when the form asks
// for more, its grids and lists give up width (down to 200 pixels each, the widest first; they
// scroll sideways then), and the frame is made no wider than the area and moved into it. A form
// outside the main window is left as it is. The main window calls it for every window it shows,
// GridLegible when a grid grows.
void CabeEnArea(QWidget* forma);
// A list at least as wide as its widest item, up to `tope` pixels.
void ListaLegible(QListView* lista, int tope = 600);

}  // namespace shell
