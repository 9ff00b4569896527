#pragma once
// "CATALOGO DE PERSONAL.": the users of the shop with their rights and grants ("Usuarios") and the
// permission catalogue ("Permisos", locked until its access code is typed).

#include "admin/permisos.h"
#include "platform/db/database.h"

#include <QWidget>

class CCaptura;
class QLabel;
class QLineEdit;
class QPushButton;
class QTabWidget;
class QTreeWidget;
class QTreeWidgetItem;

namespace shell {
class MIDI;
}
namespace ui {
class Prompts;
}

namespace admin {

class frmABPersonal : public QWidget {
    Q_OBJECT
public:
    // codigos: the central file (default: the program's).
    explicit frmABPersonal(QWidget* parent = nullptr, db::Database* codigos = nullptr,
                           ui::Prompts* prompts = nullptr);

    // --- permission catalogue ---
    void AbrePermisos();
    void CargaArbolPermisos();
    QString BuscaLlaveNodo(const QString& nombre) const;
    QString BuscaPermiso(const QString& nombre, bool modoId) const;
    void SSTab1_DblClick();
    void cmdAgregarPermiso_Click();
    void cmdActualizar_Click();
    void cmdBorrarPermiso_Click();
    bool PermisosDesbloqueados() const;

    QTabWidget* SSTab1 = nullptr;
    QTreeWidget *TV1 = nullptr, *TV2 = nullptr;
    QLabel* lblNombrePermiso = nullptr;
    QLineEdit *capNombrePermiso = nullptr, *capDescripcionPermiso = nullptr;
    CCaptura* capPermisoPadre = nullptr;
    QPushButton *cmdAgregarPermiso = nullptr, *cmdActualizar = nullptr, *cmdBorrarPermiso = nullptr;

private:
    QWidget* CreaTabPermisos();
    void TV1_NodeClick(QTreeWidgetItem* nodo);
    void HabilitaCamposPermiso(bool activo);
    void AlEntrarPadre();
    db::Database* Codigos() const;
    ui::Prompts& prompts() const;

    db::Database* codigos_;
    ui::Prompts* prompts_;
    std::vector<Permiso> permisos_;
    bool permisoNuevo_ = false;
    qint64 ultimoNodo_ = -1;  // IdPermiso of the catalogue node last clicked, -1 none
    QString textoUltimoNodo_;
};

// Opens the screen (one instance) in the main window, or brings it forward.
frmABPersonal* AbreABPersonal(shell::MIDI* midi);

}  // namespace admin
