#pragma once
// "Datos de la Empresa.": the company row and the branch this machine starts in.

#include "catalogs/empresa.h"
#include "platform/db/database.h"

#include <QWidget>

class CCaptura;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;

namespace ui {
class Prompts;
}

namespace catalogos {

class frmEmpresa : public QWidget {
    Q_OBJECT
public:
    // rutaApp: the folder of the Direccion.db the default branch goes to ("" = the program's).
    explicit frmEmpresa(QWidget* parent = nullptr, db::Database* codigos = nullptr,
                        ui::Prompts* prompts = nullptr, const QString& rutaApp = {});

    void LeeEmpresa();
    DatosEmpresa EnPantalla() const;
    void cmdGuardar_Click();
    void cmdCerrar_Click();

    CCaptura *capEmpresa = nullptr, *capRazonSocial = nullptr, *capRFC = nullptr, *capNumSuc = nullptr,
             *capSucDefault = nullptr;
    QPlainTextEdit* capDireccion1 = nullptr;
    QLineEdit* txtEmailfacturas = nullptr;
    QPushButton *cmdGuardar = nullptr, *cmdCerrar = nullptr;

private:
    db::Database* Codigos() const;
    ui::Prompts& prompts() const;

    db::Database* codigos_;
    ui::Prompts* prompts_;
    QString rutaApp_;
};

// Shown modal over the main window.
frmEmpresa* AbreEmpresa();

}  // namespace catalogos
