#pragma once
// The main window MIDI: the frame of every document window (an MDI area), the menu bar and toolbar
// whose items are QActions named after the menu items (objectName = item name, so the permission
// code can switch them by name), the status bar with its three panels, the date item, and the
// window's own lifecycle (display mode on maximise and minimise, the exit routine).

#include <QHash>
#include <QMainWindow>
#include <QString>

#include <functional>

class QAction;
class QLabel;
class QMdiArea;
class QMenu;
class QMdiSubWindow;

namespace shell {

class frmPrincipal;
class PanelEstado;

class MIDI : public QMainWindow {
    Q_OBJECT
public:
    explicit MIDI(QWidget* parent = nullptr);
    ~MIDI() override;

    // The start-up: the window's load, the start form's reads, the login (when one is installed)
    // and the date item. False when the program is to end (a message was shown).
    bool Carga();

    QMdiArea* areaMDI() const { return mdi_; }
    frmPrincipal* principal() const { return principal_; }
    // Shows a form as a document window of the main window.
    QMdiSubWindow* MuestraEnMDI(QWidget* forma);
    // A document window raised, made active and given the focus (restored when minimised).
    void AlFrente(QMdiSubWindow* ventana);
    // The form window active last (the home page only when no other is open) back to the front.
    void TraeUltimaAlFrente();

    QAction* accion(const QString& nombre) const;  // menu item or date item by name
    QMenu* menu(const QString& nombre) const;       // Catalogos, Procesos, Reportes, ...
    QString panel(int n) const;                      // status panel text, 1-3
    QLabel* etiquetaPanel(int n) const;

    // What a menu item does; items without a handler do nothing yet.
    void AsignaAccion(const QString& nombre, std::function<void()> fn);
    bool TieneAccion(const QString& nombre) const { return manejadores_.contains(nombre); }
    // Runs an item's action as its click does, whatever its Enabled state (other forms call it).
    void Ejecuta(const QString& nombre) { dispara(nombre); }
    // The login dialog: returns when it is gone (the program ends inside it when nobody logs in).
    static void AsignaLogin(std::function<void()> fn);
    // Today's pending sales report (the start form's key sequence).
    static void AsignaVentadiaria(std::function<void()> fn);
    void Ventadiaria2();

    void Salir_Click();
    void TSesion_Click();

    bool cerrando() const { return cerrando_; }

protected:
    void changeEvent(QEvent* e) override;
    void closeEvent(QCloseEvent* e) override;

private:
    void creaMenus();
    QAction* item(QMenu* m, const QString& nombre, const QString& texto);
    void dispara(const QString& nombre);
    void CierraSistema();
    void sigueAlMenu(QAction* boton, const QString& nombre);
    QMdiSubWindow* ultimaVentana() const;  // the visible form window active last, home page aside

    QMdiArea* mdi_ = nullptr;
    frmPrincipal* principal_ = nullptr;
    PanelEstado* paneles_[3] = {nullptr, nullptr, nullptr};
    QHash<QString, QAction*> acciones_;
    QHash<QString, QMenu*> menus_;
    QHash<QString, std::function<void()>> manejadores_;
    bool cerrando_ = false;
    bool cerrado_ = false;
    bool salidaConfirmada_ = false;  // "Salir" asked already
};

}  // namespace shell
