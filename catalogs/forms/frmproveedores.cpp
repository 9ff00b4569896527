#include "catalogs/forms/frmproveedores.h"

#include "catalogs/forms/comun.h"
#include "capture_control/ccaptura.h"
#include "platform/ui/prompts.h"
#include "shell/conexion.h"
#include "shell/estado.h"
#include "shell/forms/ficha.h"
#include "shell/texto.h"
#include "shell/forms/formas.h"
#include "shell/forms/midi.h"
#include "shell/menu.h"
#include "shell/rutinas_bd.h"
#include "shell/seleccion.h"

#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTableView>
#include <QVBoxLayout>

#include <algorithm>

namespace catalogos {

frmProveedores::frmProveedores(QWidget* parent, db::Database* codigos, ui::Prompts* prompts)
    : QWidget(parent), codigos_(codigos), prompts_(prompts)
{
    setObjectName(QStringLiteral("frmProveedores"));
    setWindowTitle(QStringLiteral("CATALOGO DE PROVEEDORES."));
    auto* raiz = new QVBoxLayout(this);
    SSTab1 = new QTabWidget(this);
    raiz->addWidget(SSTab1);

    auto campo = [this](const char* nombre, const QString& titulo, int largo) {
        return kestril::CreaCampoCaptura(this, QString::fromLatin1(nombre), titulo, largo);
    };
    capRFC = campo("capRFC", QStringLiteral("R.F.C."), 13);
    capNombre = campo("capNombre", QStringLiteral("Nombre proveedor:"), 50);
    capDireccion = campo("capDireccion", QStringLiteral("Dirección del proveedor:"), 60);
    capCiudad = campo("capCiudad", QStringLiteral("Ciudad:"), 20);
    capColonia = campo("capColonia", QStringLiteral("Colonia:"), 25);
    capEstado = campo("capEstado", QStringLiteral("Estado:"), 20);
    capTelefono = campo("capTelefono", QStringLiteral("Teléfono:"), 24);
    capContacto = campo("capContacto", QStringLiteral("Contacto:"), 255);
    capCargoCont = campo("capCargoCont", QStringLiteral("Cargo del contacto:"), 15);
    CapFax = campo("CapFax", QStringLiteral("Fax:"), 24);
    capCorreoE = campo("capCorreoE", QStringLiteral("Correo Electrónico:"), 30);
    capCodP = campo("capCodP", QStringLiteral("Codigo Postal:"), 10);
    capPais = campo("capPais", QStringLiteral("País:"), 15);

    auto* general = new QWidget(SSTab1);
    auto* g = new QGridLayout(general);
    g->addWidget(capRFC, 0, 0);
    g->addWidget(capNombre, 0, 1);
    g->addWidget(capDireccion, 1, 0, 1, 2);
    g->addWidget(capColonia, 2, 0);
    g->addWidget(capCiudad, 2, 1);
    g->addWidget(capEstado, 3, 0);
    g->addWidget(capPais, 3, 1);
    g->addWidget(capCodP, 4, 0);
    g->addWidget(capTelefono, 4, 1);
    g->addWidget(CapFax, 5, 0);
    g->addWidget(capCorreoE, 5, 1);
    SSTab1->addTab(general, QStringLiteral("General"));
    auto* detalles = new QWidget(SSTab1);
    auto* d = new QVBoxLayout(detalles);
    d->addWidget(capContacto);
    d->addWidget(capCargoCont);
    d->addStretch(1);
    SSTab1->addTab(detalles, QStringLiteral("Detalles"));

    auto* busca = new QHBoxLayout;
    busca->addWidget(new QLabel(QStringLiteral("Buscar por:"), this));
    Combo1 = new QComboBox(this);
    Combo1->setObjectName(QStringLiteral("Combo1"));
    Combo1->addItems(CamposBusquedaProveedores());
    busca->addWidget(Combo1);
    Text1 = new QLineEdit(this);
    Text1->setObjectName(QStringLiteral("Text1"));
    busca->addWidget(Text1, 1);
    raiz->addLayout(busca);

    gridClientes = new QTableView(this);
    gridClientes->setObjectName(QStringLiteral("gridClientes"));
    grid_ = new GridCatalogo(gridClientes, &origen_, [this](int fila) {
        if (fila != cursor_.position()) {
            MueveA(fila);
            SeleccionaGrid();
        }
    });
    raiz->addWidget(gridClientes, 1);

    auto* botones = new QHBoxLayout;
    cmdNuevo = Boton(this, botones, QStringLiteral("&Nuevo proveedor"));
    cmdGuardar = Boton(this, botones, QStringLiteral("&Guardar"));
    cmdBorrar = Boton(this, botones, QStringLiteral("B&orrar"));
    cmdBuscar = Boton(this, botones, QStringLiteral("&Buscar"));
    cmdCerrar = Boton(this, botones, QStringLiteral("&Cerrar"));
    raiz->addLayout(botones);

    connect(cmdNuevo, &QPushButton::clicked, this, &frmProveedores::cmdNuevo_Click);
    connect(cmdGuardar, &QPushButton::clicked, this, &frmProveedores::cmdGuardar_Click);
    connect(cmdBorrar, &QPushButton::clicked, this, &frmProveedores::cmdBorrar_Click);
    connect(cmdBuscar, &QPushButton::clicked, this, &frmProveedores::cmdBuscar_Click);
    connect(cmdCerrar, &QPushButton::clicked, this, &frmProveedores::cmdCerrar_Click);
    connect(Text1, &QLineEdit::textChanged, this, &frmProveedores::BuscaProveedores);
    Text1->installEventFilter(this);
    gridClientes->installEventFilter(this);
    ficha_ = new shell::Ficha(this, [this]() -> ui::Prompts& { return this->prompts(); }, {Text1, Combo1});
    ficha_->GuardaBusqueda(Text1);
    ficha_->GuardaFilas(gridClientes);

    // Opening.
    CargaActiva = true;
    QFont f = gridClientes->font();
    if (G().TFuente > 0)
        f.setPointSize(G().TFuente);
    gridClientes->setFont(f);
    Combo1->setCurrentIndex(0);
    Recarga(QString(), 0);
}

db::Database* frmProveedores::Codigos() const { return codigos_ ? codigos_ : shell::BDCodigos(); }

ui::Prompts& frmProveedores::prompts() const { return prompts_ ? *prompts_ : ui::defaultPrompts(); }

void frmProveedores::Recarga(const QString& rfcMostrar, int filaSiNo)
{
    db::Rows filas;
    if (db::Database* bd = Codigos())
        catalogos::BuscaProveedores(*bd, Combo1->currentText(), Text1->text(), &filas);
    const auto esEl = [&](const db::Row& f) { return f.text(QStringLiteral("RFC")) == rfcMostrar; };
    if (!rfcMostrar.isEmpty() && !Text1->text().isEmpty() && std::none_of(filas.cbegin(), filas.cend(), esEl)) {
        // The search hides the supplier just saved; the card must show it, or "Borrar" would ask
        // about another one.
        const QSignalBlocker sin(Text1);
        Text1->clear();
        Recarga(rfcMostrar, filaSiNo);
        return;
    }
    const int destino = FilaDe(filas, QStringLiteral("RFC"), rfcMostrar, filaSiNo);
    cursor_ = db::Cursor(std::move(filas));
    grid_->Refresca();
    FormatoGrid();
    if (cursor_.count() > 0) {
        MueveA(destino);
        SeleccionaGrid();
    } else {
        Muestra(Proveedor{});
        shell::OfreceSeleccion(objectName(), QString());
        ficha_->Muestra({});
    }
}

void frmProveedores::MueveA(int fila)
{
    cursor_.move(fila);
    if (CargaActiva)
        LeerDatos();
}

void frmProveedores::Muestra(const Proveedor& p)
{
    capRFC->setText(p.RFC);
    RFCAnterior = p.RFC;
    shell::OfreceSeleccion(objectName(), p.RFC);
    capNombre->setText(p.NombreCompania);
    capDireccion->setText(p.Direccion);
    capCiudad->setText(p.Ciudad);
    capColonia->setText(p.Colonia);
    capEstado->setText(p.Estado);
    capTelefono->setText(p.Telefono);
    capContacto->setText(p.NombreContacto);
    capCargoCont->setText(p.CargoContacto);
    CapFax->setText(p.Fax);
    capCorreoE->setText(p.CorreoElectronico);
    capCodP->setText(p.CodPostal);
    capPais->setText(p.Pais);
}

Proveedor frmProveedores::EnPantalla() const
{
    return {capRFC->Text(),      capNombre->Text(),    capDireccion->Text(), capCiudad->Text(),
            capColonia->Text(),  capEstado->Text(),    capTelefono->Text(),  capContacto->Text(),
            capCargoCont->Text(), CapFax->Text(),      capCorreoE->Text(),   capCodP->Text(),
            capPais->Text()};
}

void frmProveedores::LeerDatos()
{
    if (cursor_.count() == 0 || cursor_.eof() || cursor_.bof())
        return;
    const Proveedor p = ProveedorDeFila(cursor_.current());
    Muestra(p);
    ficha_->Muestra(p.RFC);  // moving away drops a supplier not saved yet
}

void frmProveedores::FormatoGrid()
{
    grid_->Formato({{QStringLiteral("NombreCompania"), 5000}, {QStringLiteral("RFC"), 2000}});
}

void frmProveedores::SeleccionaGrid()
{
    if (cursor_.count() > 0)
        grid_->Marca(cursor_.position());
}

void frmProveedores::BuscaProveedores()
{
    Recarga(QString(), 0);
}

void frmProveedores::SiguienteCampoBusqueda()
{
    SiguienteEntrada(Combo1);
    Text1->setFocus();
}

void frmProveedores::cmdNuevo_Click()
{
    if (!ficha_->PuedeDejar())
        return;
    Muestra(Proveedor{});
    shell::OfreceSeleccion(objectName(), QString());
    ficha_->Nueva();
    gridClientes->clearSelection();
    capRFC->SetFocus();
}

bool frmProveedores::GrabarDatos()
{
    if (ficha_->estado() == shell::Ficha::Estado::Vacia) {
        prompts().message(QStringLiteral("No hay ningun registro, presione el boton 'Nuevo proveedor'."),
                          ui::Icon::Information);
        return false;
    }
    db::Database* bd = Codigos();
    if (!bd) {
        prompts().message(QStringLiteral("No se pudo abrir el catálogo de proveedores."), ui::Icon::Critical);
        return false;
    }
    if (const QString falta = RequeridosProveedor(EnPantalla()); !falta.isEmpty()) {
        prompts().message(falta, ui::Icon::Information);
        return false;
    }
    const ResultadoProveedor r = GrabaProveedor(*bd, EnPantalla(), ficha_->nueva(), ficha_->clave().toString());
    if (!r.ok)
        shell::MuestraErrorBD(r.error);
    return r.ok;
}

void frmProveedores::cmdGuardar_Click()
{
    if (!shell::PuedeEscribir(QStringLiteral("Proveedores"), prompts()))
        return;
    CargaActiva = false;
    const int fila = std::max(0, cursor_.position());
    const QString rfc = capRFC->Text();
    const bool ok = GrabarDatos();
    CargaActiva = true;
    if (ok) {
        ficha_->Muestra(rfc);
        Recarga(rfc, fila);  // the supplier as stored, the new one too
    }
}

void frmProveedores::cmdBorrar_Click()
{
    if (ficha_->nueva()) {
        // Only the supplier being typed goes; the one shown before comes back.
        ficha_->Descarta();
        LeerDatos();
        SeleccionaGrid();
        return;
    }
    if (!ficha_->guardada() || cursor_.count() == 0 || cursor_.eof() || cursor_.bof())
        return;
    if (!shell::PuedeEscribir(QStringLiteral("Proveedores"), prompts()))
        return;
    if (prompts().question(QStringLiteral("Desea borrar el proveedor seleccionado ?"),
                           QStringLiteral("Confirmar."))
        != ui::Answer::Yes)
        return;
    db::Database* bd = Codigos();
    if (!bd)
        return;
    const ResultadoProveedor r = BorraProveedor(*bd, ficha_->clave().toString());
    if (!r.ok) {
        shell::MuestraErrorBD(r.error);
        return;
    }
    Recarga(QString(), cursor_.position());
}

void frmProveedores::cmdBuscar_Click() { Text1->setFocus(); }

void frmProveedores::cmdCerrar_Click() { CierraForma(this); }

void frmProveedores::keyPressEvent(QKeyEvent* e)
{
    if (!TeclaCatalogo(e, [this] { SiguienteCampoBusqueda(); }, [this] { cmdCerrar_Click(); }))
        QWidget::keyPressEvent(e);
}

bool frmProveedores::eventFilter(QObject* o, QEvent* e)
{
    if (e->type() == QEvent::KeyPress && o == gridClientes) {
        const int tecla = static_cast<QKeyEvent*>(e)->key();
        if (tecla == Qt::Key_Return || tecla == Qt::Key_Enter) {
            cmdCerrar_Click();
            return true;
        }
    } else if (o == Text1 && e->type() == QEvent::FocusIn) {
        ColorBusqueda(Text1);
    }
    return QWidget::eventFilter(o, e);
}

frmProveedores* AbreProveedores(shell::MIDI* midi)
{
    auto* forma = shell::Forma<frmProveedores>();
    if (midi)
        midi->MuestraEnMDI(forma);
    else
        forma->show();
    TraeAlFrente(forma);
    return forma;
}

}  // namespace catalogos
