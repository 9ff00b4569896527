#pragma once
// "Facturar ventas del día": choose tickets of one day and gather them into one invoice for the
// general public.

#include "platform/db/database.h"
#include "sale/esperaesc.h"

#include <QDate>
#include <QWidget>

class QDateEdit;
class QLineEdit;
class QPushButton;
class QStandardItemModel;
class QTableView;

namespace shell {
class MIDI;
}
namespace ui {
class Prompts;
}

namespace caja {

class frmFacturarDia : public QWidget {
    Q_OBJECT
public:
    explicit frmFacturarDia(QWidget* parent = nullptr, db::Database* bd = nullptr, ui::Prompts* prompts = nullptr);

    void ActualizaListas();
    void cmdSelecciona1_Click();
    void cmdAgregaTodo_Click();
    void cmdQuitarUno_Click();
    void cmdQuitaTodo_Click();
    void cmdEnviarfactura_Click();

    QDateEdit* dtFecha = nullptr;
    QTableView *gridClientes = nullptr, *gridSeleccion = nullptr;
    QPushButton *cmdSelecciona1 = nullptr, *cmdAgregaTodo = nullptr, *cmdQuitarUno = nullptr, *cmdQuitaTodo = nullptr,
                *cmdEnviarfactura = nullptr;
    QLineEdit *txtTotalaFacturar = nullptr, *Text1 = nullptr, *txtLabel2 = nullptr;

protected:
    void keyReleaseEvent(QKeyEvent* e) override;

private:
    // The grant of the window, asked by every button that writes when it is pressed.
    bool Permitido();
    // After a ticket move: a refusal by the file is told; false then (a batch stops).
    bool Movido(bool movido, const db::Error& e);
    void CambiaFecha();
    void FormatoGrids();
    static void Llena(QStandardItemModel* modelo, const db::Rows& filas);
    qint64 Actual(QTableView* grid, const db::Rows& filas) const;
    db::Database* bd() const;
    ui::Prompts& prompts() const;

    db::Database* bd_;
    ui::Prompts* prompts_;
    sale::EsperaConEsc esc_;
    db::Rows libres_, elegidos_;
    QStandardItemModel *modeloLibres_ = nullptr, *modeloElegidos_ = nullptr;
    bool enviando_ = false;
};

// Opens the form (one instance) in the main window, or brings it forward.
frmFacturarDia* AbreFacturarDia(shell::MIDI* midi);

}  // namespace caja
