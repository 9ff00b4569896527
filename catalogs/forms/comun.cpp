#include "catalogs/forms/comun.h"

#include "capture_control/ccaptura.h"

#include <QBoxLayout>
#include <QComboBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QToolTip>

namespace catalogos {

void TraeAlFrente(QWidget* forma)
{
    if (auto* sub = qobject_cast<QMdiSubWindow*>(forma->parentWidget())) {
        if (QMdiArea* area = sub->mdiArea())
            area->setActiveSubWindow(sub);
        sub->show();
    } else {
        forma->show();
        forma->activateWindow();
    }
    forma->setFocus();
}

void ColorBusqueda(QLineEdit* caja)
{
    QPalette p = caja->palette();
    p.setColor(QPalette::Base, QToolTip::palette().color(QPalette::ToolTipBase));
    caja->setPalette(p);
}

void SiguienteEntrada(QComboBox* lista)
{
    if (const int n = lista->count())
        lista->setCurrentIndex((lista->currentIndex() + 1) % n);
}

QPushButton* Boton(QWidget* forma, QBoxLayout* fila, const QString& texto)
{
    auto* b = new QPushButton(texto, forma);
    b->setAutoDefault(false);
    fila->addWidget(b);
    return b;
}

void AlActivar(QWidget* forma, QMdiArea* area, std::function<void()> activacion)
{
    static const char kArea[] = "catalogos_areaActivacion";
    if (!area || forma->property(kArea).value<QObject*>() == area)
        return;
    forma->setProperty(kArea, QVariant::fromValue<QObject*>(area));
    QObject::connect(area, &QMdiArea::subWindowActivated, forma,
                     [forma, activacion = std::move(activacion)](QMdiSubWindow* activa) {
                         if (activa && activa == forma->parentWidget())
                             activacion();
                     });
}

bool TeclaCatalogo(QKeyEvent* e, const std::function<void()>& siguienteCampo,
                   const std::function<void()>& cierra)
{
    if (e->key() == Qt::Key_F2) {
        siguienteCampo();
        return true;
    }
    if (e->key() == Qt::Key_Escape) {
        cierra();
        return true;
    }
    return false;
}

}  // namespace catalogos
