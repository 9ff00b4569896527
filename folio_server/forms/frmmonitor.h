#pragma once
// The print server's window: what it serves, the branch's counters, the waiting notice, the log of
// served requests, and the operator's two commands. The work is the Monitor's.

#include "folio_server/monitor.h"

#include <QWidget>

#include <functional>

class QCheckBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QTableWidget;

namespace tarvex {

class frmMonitor : public QWidget {
    Q_OBJECT
public:
    // Picks a file: (start name, title) -> chosen full name, "" when cancelled.
    using EligeArchivo = std::function<QString(const QString&, const QString&)>;

    frmMonitor(const QString& rutaDireccion, ui::Prompts& prompts, QWidget* parent = nullptr);

    Monitor& monitor() { return monitor_; }
    // Invoices go to PDF files in this folder instead of the printer or the window ("" = off).
    void setCarpetaPdf(const QString& carpeta);
    void setEligeArchivo(EligeArchivo f) { elige_ = std::move(f); }

    void definecol1();
    void cmdBuscar_Click();
    void cmdCerrar_Click();

    QPushButton* cmdBuscar = nullptr;
    QPushButton* cmdCerrar = nullptr;
    QLineEdit* lblAdm = nullptr;
    QLabel* lblFolios = nullptr;
    QTableWidget* DBGrid1 = nullptr;
    QCheckBox* chkimpresora = nullptr;
    QLabel* Label1 = nullptr;
    QLabel* Label2 = nullptr;
    QLabel* lblPendientes = nullptr;
    QListWidget* List1 = nullptr;

private:
    void refresca();
    void actualizaDestino();

    ui::Prompts& prompts_;
    Monitor monitor_;
    EligeArchivo elige_;
    QString carpetaPdf_;
    int lineasMostradas_ = 0;
};

}  // namespace tarvex
