#include "catalogs/forms/comun.h"

#include "capture_control/ccaptura.h"

#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QToolTip>

namespace catalogos {

CCaptura* CreaCaptura(QWidget* padre, const QString& nombre, const QString& titulo, int largo)
{
    QString error;
    auto* c = static_cast<CCaptura*>(KestrilCreaControl(kestril::kClaseCCaptura, padre, &error));
    c->setObjectName(nombre);
    c->setCaption(titulo);
    if (largo > 0)
        c->setMaxLength(largo);
    return c;
}

void CierraForma(QWidget* forma)
{
    if (auto* sub = qobject_cast<QMdiSubWindow*>(forma->parentWidget()))
        sub->close();
    else
        forma->close();
}

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

}  // namespace catalogos
