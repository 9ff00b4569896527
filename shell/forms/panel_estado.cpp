#include "shell/forms/panel_estado.h"

#include <QFontMetrics>
#include <QResizeEvent>

namespace shell {

PanelEstado::PanelEstado(QWidget* padre, int anchoMinimo) : QLabel(padre), anchoMinimo_(anchoMinimo) {
    setFrameStyle(QFrame::Panel | QFrame::Sunken);
}

void PanelEstado::PonTexto(const QString& texto) {
    if (texto == texto_) return;
    texto_ = texto;
    updateGeometry();
    Ajusta();
}

QSize PanelEstado::sizeHint() const {
    const QMargins m = contentsMargins();
    const int ancho = fontMetrics().horizontalAdvance(texto_) + m.left() + m.right() + 2 * margin() + 2;
    return {std::max(ancho, anchoMinimo_), QLabel::minimumSizeHint().height()};
}

QSize PanelEstado::minimumSizeHint() const { return {anchoMinimo_, QLabel::minimumSizeHint().height()}; }

void PanelEstado::resizeEvent(QResizeEvent* e) {
    QLabel::resizeEvent(e);
    Ajusta();
}

void PanelEstado::Ajusta() {
    const int ancho = contentsRect().width() - 2 * margin() - 2;
    const QString visible =
        fontMetrics().horizontalAdvance(texto_) <= ancho ? texto_ : fontMetrics().elidedText(texto_, Qt::ElideMiddle, ancho);
    if (visible != text()) setText(visible);
}

}  // namespace shell
