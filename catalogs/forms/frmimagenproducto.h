#pragma once
// "Imagen de producto.": the product's picture in a larger size; it closes when it loses the focus.

#include <QWidget>

class QLabel;

namespace catalogos {

class frmImagenProducto : public QWidget {
    Q_OBJECT
public:
    explicit frmImagenProducto(QWidget* parent = nullptr);
    // Loads the file; a name holding "*" (the chooser's pattern, no file) is ignored.
    void SetImagen(const QString& archivo);
    QLabel* Image1 = nullptr;

protected:
    void changeEvent(QEvent* e) override;
};

}  // namespace catalogos
