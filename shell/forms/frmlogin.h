#pragma once
// The login dialog "Registro de usuarios.": user name (a Kestril capture field, upper-cased as
// typed) and password. Accept logs in through shell/login; Cancel asks the main window's exit
// question; closing it without a login ends the program.

#include <QDialog>
#include <QPointer>

#include <functional>

class CCaptura;
class QLabel;
class QLineEdit;
class QPushButton;

namespace shell {

class frmLogin : public QDialog {
    Q_OBJECT
public:
    // `salir` is the main window's exit question (Cancel); none closes the dialog.
    explicit frmLogin(QWidget* parent = nullptr, std::function<void()> salir = {});

    // Shows the dialog modally. True when someone logged in; otherwise the program has been told to
    // end.
    static bool Muestra(QWidget* parent, std::function<void()> salir = {});

    QString NombreUsuario() const;
    void PonNombreUsuario(const QString& texto);
    QLineEdit* txtPass() const { return txtPass_; }
    QWidget* capNombre() const { return capNombre_; }
    QPushButton* cmdAceptar() const { return cmdAceptar_; }
    QPushButton* cmdCancelar() const { return cmdCancelar_; }

    void cmdAceptar_Click();
    void cmdCancelar_Click();

    // Paints 256 bands from blue (top) to black (bottom) on the widget.
    static void Degradado(QWidget* forma, class QPainter& pintor);

private slots:
    void nombreEnter();

protected:
    void paintEvent(class QPaintEvent* e) override;
    void done(int r) override;

private:
    std::function<void()> salir_;
    QWidget* capNombre_ = nullptr;   // CCaptura, or a plain line when the library cannot load
    CCaptura* captura_ = nullptr;
    QLineEdit* lineaNombre_ = nullptr;
    QLineEdit* txtPass_ = nullptr;
    QPushButton* cmdAceptar_ = nullptr;
    QPushButton* cmdCancelar_ = nullptr;
    bool entro_ = false;
};

}  // namespace shell
