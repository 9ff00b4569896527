#include "shell/forms/ficha.h"

#include "platform/ui/prompts.h"

#include <QAbstractButton>
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

bool Ficha::PuedeCerrar()
{
    if (!modificada_)
        return true;
    const ui::Answer r = prompts_().question(
        QString::fromUtf8("Lo que tecleó en la ficha no se ha guardado. ¿Desea cerrar sin guardarlo?"),
        QStringLiteral("Confirmar."), false, true);
    if (r != ui::Answer::Yes)
        return false;
    modificada_ = false;
    return true;
}

bool Ficha::eventFilter(QObject* o, QEvent* e)
{
    if (o == forma_ && e->type() == QEvent::Close && !PuedeCerrar()) {
        e->ignore();
        return true;
    }
    return QObject::eventFilter(o, e);
}

}  // namespace shell
