#include "platform/ui/sesion.h"

#include <QApplication>
#include <QDockWidget>
#include <QMenu>
#include <QPointer>
#include <QToolBar>
#include <QWidget>

namespace ui {

namespace {

QPointer<QWidget>& marcoActual() {
    static QPointer<QWidget> m;
    return m;
}

// Windows that are part of another one rather than windows of their own.
bool esAccesorio(const QWidget* w) {
    switch (w->windowType()) {
    case Qt::Popup:
    case Qt::ToolTip:
    case Qt::Desktop:
    case Qt::SplashScreen: return true;
    default: break;
    }
    return qobject_cast<const QMenu*>(w) || qobject_cast<const QToolBar*>(w) || qobject_cast<const QDockWidget*>(w);
}

}  // namespace

void EstableceVentanaDeSesion(QWidget* marco) { marcoActual() = marco; }
QWidget* VentanaDeSesion() { return marcoActual().data(); }
QWidget* PadreDeSesion(QWidget* padre) { return padre ? padre : VentanaDeSesion(); }

QList<QWidget*> VentanasDeSesion(const QWidget* marco) {
    QList<QWidget*> out;
    // QApplication lists its windows in no fixed order; those born later have later entries in
    // the object tree's creation order, which the list keeps for windows of one parent.
    const QWidgetList todas = QApplication::topLevelWidgets();
    for (auto it = todas.crbegin(); it != todas.crend(); ++it) {
        QWidget* w = *it;
        if (w == marco || !w->isVisible() || esAccesorio(w)) continue;
        out.append(w);
    }
    if (QWidget* modal = QApplication::activeModalWidget(); modal && out.removeOne(modal)) out.prepend(modal);
    return out;
}

bool CierraVentanasDeSesion(const QWidget* marco) {
    // Each close may open or close others (a question, a dialog's owner): the list is read anew.
    for (int vuelta = 0; vuelta < 1000; ++vuelta) {
        const QList<QWidget*> abiertas = VentanasDeSesion(marco);
        if (abiertas.isEmpty()) return true;
        QPointer<QWidget> w(abiertas.front());
        w->close();
        if (w && w->isVisible()) return false;  // it refused (its typing kept, a print under way)
    }
    return VentanasDeSesion(marco).isEmpty();
}

}  // namespace ui
