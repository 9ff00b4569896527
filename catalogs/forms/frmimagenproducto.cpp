#include "catalogs/forms/frmimagenproducto.h"

#include <QEvent>
#include <QLabel>
#include <QPixmap>
#include <QVBoxLayout>

namespace catalogos {

frmImagenProducto::frmImagenProducto(QWidget* parent) : QWidget(parent, Qt::Window)
{
    setObjectName(QStringLiteral("frmImagenProducto"));
    setWindowTitle(QStringLiteral("Imagen de producto."));
    auto* raiz = new QVBoxLayout(this);
    Image1 = new QLabel(this);
    Image1->setObjectName(QStringLiteral("Image1"));
    Image1->setAlignment(Qt::AlignCenter);
    Image1->setMinimumSize(320, 240);
    raiz->addWidget(Image1);
    resize(640, 480);
}

void frmImagenProducto::SetImagen(const QString& archivo)
{
    if (archivo.contains(QLatin1Char('*')))
        return;
    const QPixmap p(archivo);
    Image1->setPixmap(p.isNull() ? QPixmap() : p.scaled(size() * 0.95, Qt::KeepAspectRatio, Qt::SmoothTransformation));
}

void frmImagenProducto::changeEvent(QEvent* e)
{
    QWidget::changeEvent(e);
    if (e->type() == QEvent::ActivationChange && !isActiveWindow() && isVisible())
        close();
}

}  // namespace catalogos
