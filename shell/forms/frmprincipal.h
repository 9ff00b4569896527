#pragma once
// The start form: company logo and name. Its load does the start-up reads (Direccion.db, company,
// branches, branch parameters, currencies); it lives as long as the program.

#include "shell/secuencia.h"

#include <QWidget>

class QLabel;

namespace shell {

class MIDI;

class frmPrincipal : public QWidget {
    Q_OBJECT
public:
    explicit frmPrincipal(MIDI* midi, QWidget* parent = nullptr);

    // The start form's load; false when the program is to end.
    bool Carga();
    // The logo from <application path>/Logo.bmp; no picture when it is missing or unreadable.
    void CargaLogo();

    QLabel* Image1() const { return image1_; }
    QLabel* lblNombreEmp() const { return lblNombreEmp_; }

protected:
    void keyPressEvent(QKeyEvent* e) override;
    // The start form lives as long as the program: only the main window's exit closes it.
    void closeEvent(QCloseEvent* e) override;

private:
    MIDI* midi_;
    QLabel* image1_;
    QLabel* lblNombreEmp_;
    SecuenciaTeclas secuencia_;
};

}  // namespace shell
