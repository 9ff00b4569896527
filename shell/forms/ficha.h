#pragma once
// What a catalogue form's card holds: nothing, a new record being typed, or a stored record (its
// key), and whether the person typed something not saved yet. Borrar, Cancelar, Guardar and the
// grid ask it which record they act on, so none of them can touch a record other than the one on
// the card; every way of leaving a card with unsaved typing (Nuevo, another row of the grid, a
// search, closing, the log-out that closes it) asks first.

#include <QList>
#include <QObject>
#include <QPointer>
#include <QVariant>

#include <functional>
#include <initializer_list>

class QAbstractItemView;
class QLineEdit;
class QWidget;

namespace ui {
class Prompts;
}

namespace shell {

class Ficha : public QObject {
    Q_OBJECT
public:
    enum class Estado { Vacia, Nueva, Guardada };

    // Watches the person's typing in every text box and list of `forma` except those given (search
    // boxes and view options), and the form's close. `prompts` is read when a question is asked.
    Ficha(QWidget* forma, std::function<ui::Prompts&()> prompts,
          std::initializer_list<QWidget*> excepto = {});

    Estado estado() const { return estado_; }
    bool nueva() const { return estado_ == Estado::Nueva; }
    bool guardada() const { return estado_ == Estado::Guardada; }
    // The stored record on the card; null unless Guardada.
    QVariant clave() const { return estado_ == Estado::Guardada ? clave_ : QVariant(); }
    bool modificada() const { return modificada_; }

    // The card shows the stored record `clave` as read (a null key: nothing).
    void Muestra(const QVariant& clave);
    // The card is blanked for a new record; the stored record shown before is remembered.
    void Nueva();
    // The new record is dropped: the card goes back to the stored record shown before it, whose key
    // is returned (null when there was none).
    QVariant Descarta();
    // Something was typed that is not saved yet (the watched fields call it themselves).
    void Modifica();
    // Watches one more field (a grid's model, a field made after the card).
    void Vigila(QWidget* campo);

    // True when the card may close: nothing typed is pending, or the person chose to drop it.
    bool PuedeCerrar();
    // The same before the card shows another record or a blank one (Nuevo).
    bool PuedeDejar();
    // A search box whose text picks the record shown: a key that would change the search asks
    // first (PuedeDejar), and is dropped when the person keeps the typing.
    void GuardaBusqueda(QLineEdit* caja);
    // A grid whose rows are the records: a click on another row, or a key that moves to one, asks
    // first and is dropped when the person keeps the typing.
    void GuardaFilas(QAbstractItemView* grid);

signals:
    void Cambio();

protected:
    bool eventFilter(QObject* o, QEvent* e) override;

private:
    bool pregunta(const QString& texto);
    bool sale(QObject* o, QEvent* e);

    QWidget* forma_;
    std::function<ui::Prompts&()> prompts_;
    Estado estado_ = Estado::Vacia;
    QVariant clave_;
    QVariant anterior_;
    bool modificada_ = false;
    QList<QObject*> busquedas_;
    QList<QPointer<QAbstractItemView>> grids_;
    QObject* soltarSinEfecto_ = nullptr;  // the viewport whose press was dropped: its release too
};

}  // namespace shell
