#pragma once
// A panel of the main window's status bar: it asks for the width of its whole text and, given
// less, shows the text shortened in the middle (both ends of a folder path stay in sight) instead
// of cutting it off; the whole text is always what it holds.

#include <QLabel>

namespace shell {

class PanelEstado : public QLabel {
    Q_OBJECT
public:
    PanelEstado(QWidget* padre, int anchoMinimo);

    void PonTexto(const QString& texto);
    const QString& Texto() const { return texto_; }

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void resizeEvent(QResizeEvent* e) override;

private:
    void Ajusta();

    QString texto_;
    int anchoMinimo_;
};

}  // namespace shell
