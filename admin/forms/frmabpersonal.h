#pragma once
// "CATALOGO DE PERSONAL.": the users of the shop with their rights and grants ("Usuarios") and the
// permission catalogue ("Permisos", locked until its access code is typed).

#include "shell/forms/ficha.h"
#include "admin/permisos.h"
#include "admin/usuarios.h"
#include "platform/db/database.h"

#include <QWidget>

class CCaptura;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QStandardItemModel;
class QTabWidget;
class QTableView;
class QTreeWidget;
class QTreeWidgetItem;

namespace shell {
class Ficha;
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

    // --- users ---
    bool ChecaCampos() const;
    void DeterminaDerechos();
    void cmdAgregar_Click();
    void cmdActualiza_Click();
    void cmdBorrar_Click();
    void cmdAsignaP_Click();
    void cmdQuitaP_Click();
    void cmdCerrar_Click();
    // The user list: its rows, the one shown, moving to another.
    int Registros() const { return int(usuarios_.size()); }
    int Posicion() const { return fila_; }
    void MueveA(int fila);
    bool UsuarioNuevo() const { return ficha_->nueva(); }
    shell::Ficha* Ficha() const { return ficha_; }
    QString DerechosEditados() const { return derechos_; }

    QTableView* DBGrid1 = nullptr;
    QLabel* lblClaveP = nullptr;
    CCaptura *capApellidoP = nullptr, *capApellidoM = nullptr, *capNombres = nullptr, *capDomicilio = nullptr,
             *capNombreU = nullptr, *capPermIguala = nullptr, *capNiveles = nullptr, *CCaptura1 = nullptr,
             *CCaptura2 = nullptr;
    QLineEdit *capClaveAcceso = nullptr, *txtDescripPerm2 = nullptr;
    QListWidget *lstPermisos = nullptr, *List1 = nullptr;
    QPushButton *cmdAgregar = nullptr, *cmdActualiza = nullptr, *cmdBorrar = nullptr, *cmdAsignaP = nullptr,
                *cmdQuitaP = nullptr, *cmdCerrar = nullptr;

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
    QWidget* CreaTabUsuarios();
    QWidget* CreaTabPermisos();
    void LeeLista(int filaMostrar);
    void MuestraUsuario();
    void MarcaGrants(const std::vector<qint64>& ids);
    void PintaMarcas();
    std::vector<qint64> Marcados() const;
    DatosUsuario DatosEnPantalla() const;
    void VaAUsuario(std::optional<qint64> id);
    void BuscaNombreCompleto(const QString& texto);
    void AlCambiarNombreNuevo();
    void TV1_NodeClick(QTreeWidgetItem* nodo);
    void HabilitaCamposPermiso(bool activo);
    void AlEntrarPadre();
    db::Database* Codigos() const;
    ui::Prompts& prompts() const;

    db::Database* codigos_;
    ui::Prompts* prompts_;
    std::vector<Usuario> usuarios_;
    std::map<int, QString> derechosCatalogo_;
    QStandardItemModel* modelo_ = nullptr;
    int fila_ = -1;
    shell::Ficha* ficha_ = nullptr;
    bool llenando_ = false;
    QString derechos_;
    std::vector<Permiso> permisos_;
    ArbolPermisos arbol_;              // what TV1 and TV2 show
    std::vector<qint64> otorgados_;    // the grants being edited, which TV2's boxes show
    bool pintando_ = false;            // TV2's boxes being set from otorgados_
    bool permisoNuevo_ = false;
    qint64 ultimoNodo_ = -1;  // IdPermiso of the catalogue node last clicked, -1 none
    QString textoUltimoNodo_;
};

// Opens the screen (one instance) in the main window, or brings it forward.
frmABPersonal* AbreABPersonal(shell::MIDI* midi);

}  // namespace admin
