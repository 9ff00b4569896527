#include "catalogs/forms/frmprodproveedores.h"

#include "catalogs/forms/comun.h"
#include "catalogs/forms/frmproveedores.h"
#include "catalogs/proveedores.h"
#include "capture_control/ccaptura.h"
#include "shell/conexion.h"
#include "shell/estado.h"
#include "shell/forms/formas.h"
#include "shell/forms/midi.h"
#include "shell/menu.h"
#include "shell/rutinas_bd.h"
#include "shell/seleccion.h"
#include "platform/ui/prompts.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTableView>
#include <QTimer>
#include <QVBoxLayout>

namespace catalogos {

frmProdProveedores::frmProdProveedores(QWidget* parent, db::Database* codigos)
    : QWidget(parent), codigos_(codigos)
{
    setObjectName(QStringLiteral("frmProdProveedores"));
    setWindowTitle(QStringLiteral("Productos--Proveedores."));
    auto* raiz = new QVBoxLayout(this);
    Label1 = new QLabel(this);
    Label1->setObjectName(QStringLiteral("Label1"));
    // A long product description wraps instead of widening the window past the main window.
    Label1->setWordWrap(true);
    raiz->addWidget(Label1);
    gridProdProv = new QTableView(this);
    gridProdProv->setObjectName(QStringLiteral("gridProdProv"));
    grid_ = new GridCatalogo(gridProdProv, &origen_, [this](int fila) { cursor_.move(fila); });
    raiz->addWidget(gridProdProv, 1);
    auto* abajo = new QHBoxLayout;
    capRFC = kestril::CreaCampoCaptura(this, QStringLiteral("capRFC"), QStringLiteral("R.F.C."), 13);
    abajo->addWidget(capRFC, 0, Qt::AlignTop);
    Text1 = new QPlainTextEdit(this);
    Text1->setObjectName(QStringLiteral("Text1"));
    Text1->setReadOnly(true);
    Text1->setMaximumHeight(80);
    abajo->addWidget(Text1, 1);
    raiz->addLayout(abajo);
    auto* botones = new QHBoxLayout;
    cmdAgregar = Boton(this, botones, QStringLiteral("&Agregar Proveedor"));
    cmdAgregar->setToolTip(QStringLiteral("Agrega un nuevo proveedor a la lista."));
    cmdBorrar = Boton(this, botones, QStringLiteral("&Borrar"));
    cmdBorrar->setToolTip(QStringLiteral("Borra de la lista al proveedor seleccionado."));
    cmdRegresar = Boton(this, botones, QStringLiteral("&Regresar"));
    raiz->addLayout(botones);
    connect(cmdAgregar, &QPushButton::clicked, this, &frmProdProveedores::cmdAgregar_Click);
    connect(cmdBorrar, &QPushButton::clicked, this, &frmProdProveedores::cmdBorrar_Click);
    connect(cmdRegresar, &QPushButton::clicked, this, &frmProdProveedores::cmdRegresar_Click);

    CargaProveedoresProducto(G().ProductoProv);
}

frmProdProveedores::~frmProdProveedores() { G().ModoProdProv = 0; }

db::Database* frmProdProveedores::Codigos() const { return codigos_ ? codigos_ : shell::BDCodigos(); }

void frmProdProveedores::CargaProveedoresProducto(qint64 clave)
{
    const int antes = std::max(0, cursor_.position());
    db::Rows filas;
    if (db::Database* bd = Codigos())
        ProveedoresProducto(*bd, clave, &filas);
    cursor_ = db::Cursor(std::move(filas));
    if (cursor_.count() > 0)
        cursor_.move(std::min(antes, cursor_.count() - 1));
    grid_->Refresca();
    FormatoGrid();
    SeleccionaGrid();
    Label1->setText(G().CodigoProductoSel);
}

void frmProdProveedores::FormatoGrid()
{
    grid_->Formato({{QStringLiteral("NombreCompania"), 3500},
                    {QStringLiteral("RFC"), 1500},
                    {QStringLiteral("NombreContacto"), 2000},
                    {QStringLiteral("Telefono"), 1500},
                    {QStringLiteral("CorreoElectronico"), 2200}});
}

void frmProdProveedores::SeleccionaGrid()
{
    if (cursor_.count() > 0)
        grid_->Marca(cursor_.position());
}

void frmProdProveedores::Activacion()
{
    // Only the supplier this form asked for, once: whatever another catalogue (or this one, looked
    // at from the menu) shows later stays out of the field. While the picker is in sight the pick
    // stays open, so the supplier chosen last is the one taken.
    QWidget* picker = shell::FormaCargada(QStringLiteral("frmProveedores"));
    const bool enCurso = picker && picker->isVisible() && picker->window()->isVisible()
                         && (!picker->parentWidget() || picker->parentWidget()->isVisible());
    if (const std::optional<QString> rfc = shell::TomaSeleccion(this, !enCurso))
        capRFC->setText(*rfc);
}

void frmProdProveedores::ConectaActivacion(QMdiArea* area)
{
    AlActivar(this, area, [this] { Activacion(); });
}

void frmProdProveedores::AgregaProveedorProducto(const QString& rfc)
{
    if (rfc.isEmpty() || !shell::PuedeEscribir(QStringLiteral("Proveedores"), ui::defaultPrompts()))
        return;
    db::Database* bd = Codigos();
    if (!bd || !catalogos::AgregaProveedorProducto(*bd, G().ProductoProv, rfc)) {
        // The box keeps the lines as written, carriage return and line feed included (the
        // editor itself would turn them into its own paragraph marks).
        errores_ += QString::fromUtf8(kErrorAgregaProveedor) + QStringLiteral("\r\n");
        Text1->setPlainText(errores_);
        return;
    }
    CargaProveedoresProducto(G().ProductoProv);
}

void frmProdProveedores::cmdAgregar_Click()
{
    if (capRFC->Text().isEmpty()) {
        shell::PideSeleccion(this, QStringLiteral("frmProveedores"));
        frmProveedores* picker = AbreProveedores(midi_);
        // Back from the picker the form is active again, with or without a main window around
        // (queued: the picker is gone by then).
        connect(picker, &QObject::destroyed, this,
                [this] { QTimer::singleShot(0, this, &frmProdProveedores::Activacion); });
    }
    AgregaProveedorProducto(capRFC->Text());
}

void frmProdProveedores::cmdBorrar_Click()
{
    if (cursor_.count() == 0 || cursor_.eof() || cursor_.bof()
        || !shell::PuedeEscribir(QStringLiteral("Proveedores"), ui::defaultPrompts()))
        return;
    const db::Row& fila = cursor_.current();
    db::Error e;
    db::Database* bd = Codigos();
    if (!bd || !BorraProveedorProducto(*bd, fila.integer(QStringLiteral("ClaveProducto")),
                                       fila.text(QStringLiteral("RFC")), &e))
        ui::defaultPrompts().message(QStringLiteral("No se pudo borrar el proveedor de la lista: ")
                                         + shell::TextoErrorBD(e),
                                     ui::Icon::Warning);
    CargaProveedoresProducto(G().ProductoProv);
}

void frmProdProveedores::cmdRegresar_Click()
{
    G().ModoProdProv = 0;
    CierraForma(this);
}

frmProdProveedores* AbreProdProveedores(shell::MIDI* midi)
{
    auto* forma = shell::Forma<frmProdProveedores>();
    forma->setMIDI(midi);
    forma->CargaProveedoresProducto(G().ProductoProv);
    if (midi) {
        forma->ConectaActivacion(midi->areaMDI());
        midi->MuestraEnMDI(forma);
    } else {
        forma->show();
    }
    return forma;
}

}  // namespace catalogos
