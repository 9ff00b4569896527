#pragma once
// The code-table forms "Categorias.", "Formas de pago.", "Tipo de Compra." and "Tipos de Producto.":
// one grid that is the editor (rows are added on the blank last row and changed cell by cell, each
// change written at once), "&Borrar" and "&Cerrar".

#include "catalogs/tablas.h"
#include "platform/db/database.h"

#include <QList>
#include <QWidget>

class QPushButton;
class QStandardItem;
class QStandardItemModel;
class QTableView;

namespace shell {
class Ficha;
class MIDI;
}
namespace ui {
class Prompts;
}

namespace catalogos {

class frmTablaCodigos : public QWidget {
    Q_OBJECT
public:
    explicit frmTablaCodigos(TipoTabla tipo, QWidget* parent = nullptr, db::Database* codigos = nullptr,
                             ui::Prompts* prompts = nullptr);

    const TablaCodigos& Tabla() const { return tabla_; }
    void Carga();
    void cmdBorrar_Click();
    void Command1_Click();

    QTableView* DBGrid1 = nullptr;
    QPushButton *cmdBorrar = nullptr, *Command1 = nullptr;
    shell::Ficha* Ficha() const { return ficha_; }

private:
    void CeldaCambiada(QStandardItem* celda);
    void Restaura(int fila);
    void AgregaFilaNueva();
    void PonFila(int fila, qint64 clave, const QString& descripcion);
    db::Database* Codigos() const;
    ui::Prompts& prompts() const;

    const TablaCodigos& tabla_;
    db::Database* codigos_;
    ui::Prompts* prompts_;
    QStandardItemModel* modelo_ = nullptr;
    QList<qint64> claves_;         // key of each stored row, in grid order
    QList<QString> descripciones_;  // as stored, to restore a refused change
    shell::Ficha* ficha_ = nullptr;
    bool llenando_ = false;
};

// One class per form, so each keeps its own single instance.
class frmCategorias : public frmTablaCodigos {
    Q_OBJECT
public:
    frmCategorias() : frmTablaCodigos(TipoTabla::Categorias) {}
};
class frmTipoPago : public frmTablaCodigos {
    Q_OBJECT
public:
    frmTipoPago() : frmTablaCodigos(TipoTabla::TipoPago) {}
};
class frmTipoCompra : public frmTablaCodigos {
    Q_OBJECT
public:
    frmTipoCompra() : frmTablaCodigos(TipoTabla::TipoCompra) {}
};
class frmTipoProducto : public frmTablaCodigos {
    Q_OBJECT
public:
    frmTipoProducto() : frmTablaCodigos(TipoTabla::TipoProducto) {}
};

// The openers of the main menu's items.
frmTablaCodigos* AbreTablaCodigos(shell::MIDI* midi, TipoTabla tipo);

}  // namespace catalogos
