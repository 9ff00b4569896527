#pragma once
// "Productos--Proveedores.": the suppliers of one product (ProductoProv, heading in
// CodigoProductoSel); adds one picked in the supplier catalogue, removes one.

#include "catalogs/forms/grid_catalogo.h"
#include "platform/db/database.h"

#include <QWidget>

class CCaptura;
class QLabel;
class QMdiArea;
class QPlainTextEdit;
class QPushButton;
class QTableView;

namespace shell {
class MIDI;
}

namespace catalogos {

class frmProdProveedores : public QWidget {
    Q_OBJECT
public:
    explicit frmProdProveedores(QWidget* parent = nullptr, db::Database* codigos = nullptr);
    // However it closes, the product form stops bringing it forward.
    ~frmProdProveedores() override;

    void SeleccionaGrid();
    void FormatoGrid();
    // Lists the suppliers of the product and shows the heading CodigoProductoSel.
    void CargaProveedoresProducto(qint64 clave);
    // The form became active (also back from the supplier picker).
    void Activacion();
    void ConectaActivacion(QMdiArea* area);

    void cmdAgregar_Click();
    void cmdBorrar_Click();
    void cmdRegresar_Click();

    int Registros() const { return cursor_.count(); }
    // The text of the error box.
    const QString& TextoErrores() const { return errores_; }

    QLabel* Label1 = nullptr;
    QTableView* gridProdProv = nullptr;
    CCaptura* capRFC = nullptr;
    QPlainTextEdit* Text1 = nullptr;
    QPushButton *cmdAgregar = nullptr, *cmdBorrar = nullptr, *cmdRegresar = nullptr;

    // Where the supplier picker opens (the main window, or alone in tests without one).
    void setMIDI(shell::MIDI* midi) { midi_ = midi; }

private:
    void AgregaProveedorProducto(const QString& rfc);
    db::Database* Codigos() const;

    db::Database* codigos_;
    shell::MIDI* midi_ = nullptr;
    db::Cursor cursor_;
    OrigenCursor origen_{&cursor_};
    GridCatalogo* grid_ = nullptr;
    QString errores_;
};

frmProdProveedores* AbreProdProveedores(shell::MIDI* midi);

}  // namespace catalogos
