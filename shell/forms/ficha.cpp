#include "shell/forms/ficha.h"

#include "platform/ui/prompts.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QKeyEvent>
#include <QKeySequence>
#include <QMouseEvent>
#include <QComboBox>
#include <QEvent>
#include <QLineEdit>
#include <QWidget>

namespace shell {

Ficha::Ficha(QWidget* forma, std::function<ui::Prompts&()> prompts, std::initializer_list<QWidget*> excepto)
    : QObject(forma), forma_(forma), prompts_(std::move(prompts))
{
    auto excluido = [&](QWidget* w) {
        for (QWidget* x : excepto)
            if (x && (w == x || x->isAncestorOf(w)))
                return true;
        return false;
    };
    for (QLineEdit* caja : forma->findChildren<QLineEdit*>())
        if (!excluido(caja) && !qobject_cast<QComboBox*>(caja->parentWidget()))
            Vigila(caja);
    for (QComboBox* lista : forma->findChildren<QComboBox*>())
        if (!excluido(lista))
            Vigila(lista);
    forma->installEventFilter(this);
}

void Ficha::Vigila(QWidget* campo)
{
    // Only what the person does: a text the program puts in a field emits neither signal.
    if (auto* caja = qobject_cast<QLineEdit*>(campo))
        connect(caja, &QLineEdit::textEdited, this, &Ficha::Modifica);
    else if (auto* lista = qobject_cast<QComboBox*>(campo))
        connect(lista, &QComboBox::activated, this, &Ficha::Modifica);
    else if (auto* marca = qobject_cast<QAbstractButton*>(campo))
        connect(marca, &QAbstractButton::clicked, this, &Ficha::Modifica);
}

void Ficha::Muestra(const QVariant& clave)
{
    estado_ = clave.isNull() ? Estado::Vacia : Estado::Guardada;
    clave_ = clave;
    anterior_ = QVariant();
    modificada_ = false;
    emit Cambio();
}

void Ficha::Nueva()
{
    if (estado_ == Estado::Guardada)
        anterior_ = clave_;
    else if (estado_ == Estado::Vacia)
        anterior_ = QVariant();
    estado_ = Estado::Nueva;
    clave_ = QVariant();
    modificada_ = false;
    emit Cambio();
}

QVariant Ficha::Descarta()
{
    const QVariant volver = estado_ == Estado::Nueva ? anterior_ : clave();
    Muestra(volver);
    return volver;
}

void Ficha::Modifica()
{
    if (!modificada_) {
        modificada_ = true;
        emit Cambio();
    }
}

bool Ficha::pregunta(const QString& texto)
{
    if (!modificada_)
        return true;
    if (prompts_().question(texto, QStringLiteral("Confirmar."), false, true) != ui::Answer::Yes)
        return false;
    modificada_ = false;
    return true;
}

bool Ficha::PuedeCerrar()
{
    return pregunta(QString::fromUtf8("Lo que tecleó en la ficha no se ha guardado. ¿Desea cerrar sin guardarlo?"));
}

bool Ficha::PuedeDejar()
{
    return pregunta(QString::fromUtf8("Lo que tecleó en la ficha no se ha guardado. ¿Desea dejarlo sin guardar?"));
}

void Ficha::GuardaBusqueda(QLineEdit* caja)
{
    if (!caja || busquedas_.contains(caja))
        return;
    busquedas_.append(caja);
    caja->installEventFilter(this);
}

void Ficha::GuardaFilas(QAbstractItemView* grid)
{
    if (!grid || grids_.contains(grid))
        return;
    grids_.append(grid);
    grid->installEventFilter(this);
    grid->viewport()->installEventFilter(this);
}

namespace {

// A key that edits a line box's text (a letter, a deletion, a paste or cut, an undo).
bool EditaTexto(const QKeyEvent* k)
{
    if (k->matches(QKeySequence::Paste) || k->matches(QKeySequence::Cut) || k->matches(QKeySequence::Undo)
        || k->matches(QKeySequence::Redo) || k->matches(QKeySequence::DeleteStartOfWord)
        || k->matches(QKeySequence::DeleteEndOfWord))
        return true;
    if (k->key() == Qt::Key_Backspace || k->key() == Qt::Key_Delete)
        return true;
    const QString t = k->text();
    return !t.isEmpty() && t.at(0).isPrint() && !(k->modifiers() & Qt::ControlModifier);
}

// A key that moves a grid to another row (letters search the rows too).
bool CambiaFila(const QKeyEvent* k)
{
    switch (k->key()) {
    case Qt::Key_Up:
    case Qt::Key_Down:
    case Qt::Key_PageUp:
    case Qt::Key_PageDown:
    case Qt::Key_Home:
    case Qt::Key_End:
        return true;
    default:
        break;
    }
    const QString t = k->text();
    return !t.isEmpty() && t.at(0).isPrint() && !(k->modifiers() & (Qt::ControlModifier | Qt::AltModifier));
}

}  // namespace

// True when the event would leave the record on the card and the person chose to keep it.
bool Ficha::sale(QObject* o, QEvent* e)
{
    if (!modificada_)
        return false;
    if (e->type() == QEvent::KeyPress) {
        const auto* k = static_cast<QKeyEvent*>(e);
        if (busquedas_.contains(o) && EditaTexto(k))
            return !PuedeDejar();
        for (const auto& g : grids_)
            if (o == g.data() && CambiaFila(k))
                return !PuedeDejar();
        return false;
    }
    if (e->type() == QEvent::MouseButtonPress || e->type() == QEvent::MouseButtonDblClick) {
        for (const auto& g : grids_) {
            if (!g || o != g->viewport())
                continue;
            const QModelIndex en = g->indexAt(static_cast<QMouseEvent*>(e)->position().toPoint());
            if (!en.isValid() || en.row() == g->currentIndex().row())
                return false;
            if (PuedeDejar())
                return false;
            soltarSinEfecto_ = o;
            return true;
        }
    }
    return false;
}

bool Ficha::eventFilter(QObject* o, QEvent* e)
{
    if (o == forma_ && e->type() == QEvent::Close && !PuedeCerrar()) {
        e->ignore();
        return true;
    }
    if (e->type() == QEvent::MouseButtonRelease && o == soltarSinEfecto_) {
        soltarSinEfecto_ = nullptr;
        return true;
    }
    if (o != forma_ && sale(o, e))
        return true;
    return QObject::eventFilter(o, e);
}

}  // namespace shell
