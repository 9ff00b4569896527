#pragma once
// The library's own CCaptura: a caption label (lblTitulo) and a text box (txtCaptura).

#include "capture_control/ccaptura.h"

#include <QLabel>
#include <QLineEdit>

class QClipboard;

namespace kestril {

class CampoCaptura;

// The text box: all typing goes through the field so it can upper-case, raise its events and hold
// the length limit; pasting is cut to the room left.
class CajaCaptura : public QLineEdit {
public:
    CajaCaptura(CampoCaptura* campo, QWidget* padre);

    // Types one character as a key press would (after the field's own handling).
    void teclea(short codigo);
    // Pastes the first line of the clipboard, cut to the room the limit leaves.
    void pega(int modo);
    // Characters that can still be typed (a large number when there is no limit).
    int espacioLibre() const;

protected:
    void keyPressEvent(QKeyEvent* e) override;
    void inputMethodEvent(QInputMethodEvent* e) override;
    void focusInEvent(QFocusEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;
    void contextMenuEvent(QContextMenuEvent* e) override;

private:
    void procesaCaracter(int codigo, QKeyEvent* original);
    void teclaSinCaracter(QKeyEvent* e);

    CampoCaptura* campo_;
};

class CampoCaptura final : public CCaptura {
public:
    explicit CampoCaptura(QWidget* padre);

    QString Text() const override;
    void setText(const QString& texto) override;
    QString Caption() const override;
    void setCaption(const QString& titulo) override;
    int MaxLength() const override { return maxLength_; }
    void setMaxLength(int largo) override;
    bool Enabled() const override;
    void setEnabled(bool activo) override;
    bool Locked() const override;
    void setLocked(bool bloqueado) override;
    int PosicionText() const override { return posicionText_; }
    void setPosicionText(int posicion) override;
    int labelAlignment() const override { return labelAlignment_; }
    void setLabelAlignment(int alineacion) override;
    QFont Font() const override;
    void setFont(const QFont& fuente) override;
    QFont FontText() const override;
    void setFontText(const QFont& fuente) override;
    QColor ForeColor() const override;
    void setForeColor(const QColor& ignorado) override;
    QColor BackColor() const override;
    void setBackColor(const QColor& ignorado) override;
    void ReadProperties(const PropertyBag& bolsa) override;
    void WriteProperties(PropertyBag& bolsa) const override;
    void SetFocus() override;

    // Raised by the text box.
    void alKeyDown(short& codigo, short& shift) { emit KeyDown(codigo, shift); }
    void alKeyPress(short& codigo) { emit KeyPress(codigo); }
    void alEnter() { emit Enter(); }
    void alClick(uchar area) { emit Click(area); }

    // From the caption, both fonts and the layout: a Qt layout that honours them shows the caption
    // whole and a box at least one text line high.
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void resizeEvent(QResizeEvent* e) override;
    void changeEvent(QEvent* e) override;
    bool eventFilter(QObject* objeto, QEvent* e) override;

private:
    void distribuye();
    void cambiaTamano();
    QSize tamano(QSize caja) const;
    void aplicaColores();
    void aplicaAlineacion();
    QFont fuenteContenedor() const;

    QLabel* lblTitulo_;
    CajaCaptura* txtCaptura_;
    int maxLength_ = 10;
    int posicionText_ = 0;
    int labelAlignment_ = 0;
};

} // namespace kestril
