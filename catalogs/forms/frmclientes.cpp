#include "shell/rutinas_bd.h"
#include "catalogs/forms/frmclientes.h"
#include "catalogs/forms/menus_codigos.h"

#include "catalogs/forms/comun.h"
#include "catalogs/forms/grid_catalogo.h"
#include "catalogs/forms/menus_productos.h"

#include "capture_control/ccaptura.h"
#include "platform/ui/prompts.h"
#include "shell/avisos.h"
#include "shell/conexion.h"
#include "shell/esperaesc.h"
#include "shell/estado.h"
#include "shell/forms/ficha.h"
#include "shell/forms/formas.h"
#include "shell/forms/menuprincipal.h"
#include "shell/forms/midi.h"
#include "shell/permisos.h"
#include "shell/texto.h"

#include <QComboBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QTabWidget>
#include <QTableView>
#include <QVBoxLayout>

namespace catalogos {

frmClientes::frmClientes(QWidget* parent, db::Database* codigos, db::Database* sucursal,
                         ui::Prompts* prompts)
    : QWidget(parent), codigos_(codigos), sucursal_(sucursal), prompts_(prompts)
{
    setObjectName(QStringLiteral("frmClientes"));
    setWindowTitle(QStringLiteral("CATALOGO DE CLIENTES."));

    auto* raiz = new QVBoxLayout(this);
    SSTab1 = new QTabWidget(this);
    raiz->addWidget(SSTab1);

    auto* generales = new QWidget(SSTab1);
    auto* g = new QGridLayout(generales);
    capRFC = Campo(QStringLiteral("capRFC"), QStringLiteral("R.F.C."), 15);
    capCURP = Campo(QStringLiteral("capCURP"), QStringLiteral("C.U.R.P."), 20);
    capNombre = Campo(QStringLiteral("capNombre"), QStringLiteral("Nombre cliente:"), 150);
    capDireccion = Campo(QStringLiteral("capDireccion"), QStringLiteral("Dirección del cliente:"), 150);
    capNumExterior = Campo(QStringLiteral("capNumExterior"), QStringLiteral("Numexterior:"), 20);
    capNumInterior = Campo(QStringLiteral("capNumInterior"), QStringLiteral("Numinterior:"), 20);
    capColonia = Campo(QStringLiteral("capColonia"), QStringLiteral("Colonia:"), 45);
    capLocalidad = Campo(QStringLiteral("capLocalidad"), QStringLiteral("Localidad:"), 45);
    capMunicipio = Campo(QStringLiteral("capMunicipio"), QStringLiteral("Municipio:"), 20);
    capCiudad = Campo(QStringLiteral("capCiudad"), QStringLiteral("Ciudad:"), 45);
    capCP = Campo(QStringLiteral("capCP"), QStringLiteral("C.P."), 9);
    capTelefono = Campo(QStringLiteral("capTelefono"), QStringLiteral("Teléfonos:"), 15);
    // Drop-down lists that take no typed text.
    auto lista = [this](const char* nombre) {
        auto* c = new QComboBox(this);
        c->setObjectName(QString::fromLatin1(nombre));
        c->setEditable(false);
        return c;
    };
    cmbEstado = lista("cmbEstado");
    cmbPais = lista("cmbPais");
    cmbTipoCompra = lista("cmbTipoCompra");
    int fila = 0;
    g->addWidget(capRFC, fila, 0);
    g->addWidget(capCURP, fila++, 1);
    g->addWidget(capNombre, fila++, 0, 1, 2);
    g->addWidget(capDireccion, fila++, 0, 1, 2);
    g->addWidget(capNumExterior, fila, 0);
    g->addWidget(capNumInterior, fila++, 1);
    g->addWidget(capColonia, fila, 0);
    g->addWidget(capLocalidad, fila++, 1);
    g->addWidget(capMunicipio, fila, 0);
    g->addWidget(capCiudad, fila++, 1);
    auto* listas = new QFormLayout;
    listas->addRow(QStringLiteral("Estado:"), cmbEstado);
    listas->addRow(QStringLiteral("Pais:"), cmbPais);
    g->addLayout(listas, fila++, 0, 1, 2);
    g->addWidget(capCP, fila, 0);
    g->addWidget(capTelefono, fila++, 1);
    SSTab1->addTab(generales, QStringLiteral("Datos Generales"));

    auto* detalles = new QWidget(SSTab1);
    auto* d = new QFormLayout(detalles);
    capRutaC = Campo(QStringLiteral("capRutaC"), QStringLiteral("Ruta:"), 60);
    capMaxCredito = Campo(QStringLiteral("capMaxCredito"), QStringLiteral("MaxCredito:"), 60);
    capEmails = new QLineEdit(this);
    capEmails->setObjectName(QStringLiteral("capEmails"));
    capEmails->setMaxLength(80);
    capEmails->setToolTip(QStringLiteral(
        "Puede colocar 2 correos aqui separandolos por coma para que se acepte el envio."));
    txtreferencia = new QLineEdit(this);
    txtreferencia->setObjectName(QStringLiteral("txtreferencia"));
    txtreferencia->setMaxLength(100);
    d->addRow(QStringLiteral("Tipo de compra:"), cmbTipoCompra);
    d->addRow(capRutaC);
    d->addRow(capMaxCredito);
    d->addRow(QStringLiteral("Email:"), capEmails);
    d->addRow(QStringLiteral("Referencia:"), txtreferencia);
    SSTab1->addTab(detalles, QStringLiteral("Detalles"));

    auto* busca = new QHBoxLayout;
    busca->addWidget(new QLabel(QStringLiteral("Buscar por:"), this));
    Combo1 = new QComboBox(this);
    Combo1->addItems(CamposBusqueda());
    busca->addWidget(Combo1);
    Text1 = new QLineEdit(this);
    Text1->setObjectName(QStringLiteral("Text1"));
    busca->addWidget(Text1, 1);
    raiz->addLayout(busca);

    gridClientes = new QTableView(this);
    gridClientes->setObjectName(QStringLiteral("gridClientes"));
    grid_ = new GridCatalogo(gridClientes, &origen_, [this](int fila) {
        if (fila == cursor_.position())
            return;
        MueveA(fila);
        Text1->setFocus();
    });
    raiz->addWidget(gridClientes, 1);

    auto* botones = new QHBoxLayout;
    cmdNuevo = Boton(this, botones, QStringLiteral("&Nuevo Cliente"));
    cmdGuardar = Boton(this, botones, QStringLiteral("&Guardar"));
    cmdBorrar = Boton(this, botones, QStringLiteral("&Borrar"));
    cmdBuscar = Boton(this, botones, QStringLiteral("&Buscar"));
    cmdRegresar = Boton(this, botones, QStringLiteral("Regre&sar"));
    raiz->addLayout(botones);

    connect(cmdNuevo, &QPushButton::clicked, this, &frmClientes::cmdNuevo_Click);
    connect(cmdGuardar, &QPushButton::clicked, this, &frmClientes::cmdGuardar_Click);
    connect(cmdBorrar, &QPushButton::clicked, this, &frmClientes::cmdBorrar_Click);
    connect(cmdBuscar, &QPushButton::clicked, this, &frmClientes::cmdBuscar_Click);
    connect(cmdRegresar, &QPushButton::clicked, this, &frmClientes::cmdRegresar_Click);
    connect(Text1, &QLineEdit::textChanged, this, &frmClientes::BuscaClientes);
    connect(capRFC, &CCaptura::Change, this, [this] {
        capCURP->setText(CurpSegunRFC(capRFC->Text(), capCURP->Text()));
    });
    Text1->installEventFilter(this);
    gridClientes->installEventFilter(this);
    ficha_ = new shell::Ficha(this, [this]() -> ui::Prompts& { return this->prompts(); }, {Text1, Combo1});
    ficha_->GuardaBusqueda(Text1);
    ficha_->GuardaFilas(gridClientes);

    Carga();
}

CCaptura* frmClientes::Campo(const QString& nombre, const QString& titulo, int largo)
{
    return kestril::CreaCampoCaptura(this, nombre, titulo, largo);
}

db::Database* frmClientes::Codigos() const { return codigos_ ? codigos_ : shell::BDCodigos(); }

db::Database* frmClientes::ParaGuardar() const
{
    if (sucursal_)
        return sucursal_;
    if (!codigos_)
        if (db::Database* s = shell::BDSucursal())
            return s;
    return Codigos();
}

ui::Prompts& frmClientes::prompts() const { return prompts_ ? *prompts_ : ui::defaultPrompts(); }

void frmClientes::Carga()
{
    SSTab1->setCurrentIndex(0);
    QFont f = gridClientes->font();
    if (G().TFuente > 0)
        f.setPointSize(G().TFuente);
    gridClientes->setFont(f);

    CargaActiva = false;
    db::Database* bd = Codigos();
    if (!bd) {
        prompts().message(QStringLiteral("No se pudo abrir el catálogo de clientes."), ui::Icon::Critical);
        return;
    }
    db::Error e;
    if (auto listas = LeeListasCliente(*bd, &e)) {
        // Customers keep the type's code, so a deleted type never shifts the others.
        for (int i = 0; i < listas->tiposCompra.size(); ++i)
            cmbTipoCompra->addItem(listas->tiposCompra.at(i), listas->codigosCompra.value(i));
        cmbEstado->addItems(listas->estados);
        cmbPais->addItems(listas->paises);
        if (listas->estados.isEmpty())
            prompts().message(QStringLiteral("No se encontraron datos de estados."), ui::Icon::Information);
    } else {
        prompts().message(QStringLiteral("No se pudieron leer las listas del catálogo: ") + shell::TextoErrorBD(e),
                          ui::Icon::Critical);
    }
    CargaActiva = true;
    Combo1->setCurrentIndex(0);
    Recarga(QString(), 0);
    AplicaPermisosClientes();
}

void frmClientes::AplicaPermisosClientes()
{
    cmdBorrar->setEnabled(false);
    cmdGuardar->setEnabled(true);
    cmdNuevo->setEnabled(true);
    if (shell::TienePermiso(38, false))
        cmdBorrar->setEnabled(true);
}

void frmClientes::Recarga(const QString& rfcMostrar, int filaSiNo)
{
    db::Rows filas;
    if (db::Database* bd = Codigos())
        catalogos::BuscaClientes(*bd, Combo1->currentText(), Text1->text(), &filas);
    const auto esEl = [&](const db::Row& f) { return f.text(QStringLiteral("RFC")) == rfcMostrar; };
    if (!rfcMostrar.isEmpty() && !Text1->text().isEmpty() && std::none_of(filas.cbegin(), filas.cend(), esEl)) {
        // The search hides the customer to show: it goes, or the card (and a picking sale screen)
        // would get another customer.
        const QSignalBlocker sin(Text1);
        Text1->clear();
        filas.clear();
        if (db::Database* bd = Codigos())
            catalogos::BuscaClientes(*bd, Combo1->currentText(), QString(), &filas);
    }
    const int destino = FilaDe(filas, QStringLiteral("RFC"), rfcMostrar, filaSiNo);
    cursor_ = db::Cursor(std::move(filas));
    grid_->Refresca();
    FormatoGrid();
    if (cursor_.count() > 0) {
        MueveA(destino);
    } else {
        // Nothing left to show: the picker hands back no customer.
        MuestraCliente(Cliente{});
        G().SeleccionCatalogo.clear();
        ficha_->Muestra({});
    }
}

void frmClientes::MueveA(int fila)
{
    cursor_.move(fila);
    if (CargaActiva) {
        LeerDatos();
        SeleccionaGrid();
    }
}

void frmClientes::MuestraCliente(const Cliente& c)
{
    // A short RFC also stands for the CURP shown (set here too: the RFC field only tells a change).
    capCURP->setText(CurpSegunRFC(c.RFC, c.CURP));
    capRFC->setText(c.RFC);
    RFCAnterior = c.RFC;
    capNombre->setText(c.Nombre);
    G().SeleccionCatalogo = TextoSeleccion(c);
    capDireccion->setText(c.Direccion);
    capCiudad->setText(c.Ciudad);
    capColonia->setText(c.Colonia);
    capTelefono->setText(c.Telefono);
    capCP->setText(c.CP);
    // A purchase type deleted since, or a country outside its list, chooses nothing.
    cmbTipoCompra->setCurrentIndex(cmbTipoCompra->findData(c.TipoCompra));
    capRutaC->setText(c.RutaZona);
    capEmails->setText(c.Emails);
    capMaxCredito->setText(QString::number(c.LimiteCredito, 'g', 15));
    capLocalidad->setText(c.Localidad);
    capMunicipio->setText(c.Municipio);
    capNumExterior->setText(c.NumExterior);
    capNumInterior->setText(c.NumInterior);
    txtreferencia->setText(c.cltereferencia);
    cmbPais->setCurrentIndex(c.Pais >= 0 && c.Pais < cmbPais->count() ? int(c.Pais) : -1);
    QStringList estados;
    for (int i = 0; i < cmbEstado->count(); ++i)
        estados << cmbEstado->itemText(i);
    cmbEstado->setCurrentIndex(estados.isEmpty() ? -1 : PosicionEstado(estados, c.Estado));
}

void frmClientes::LeerDatos()
{
    if (cursor_.count() == 0 || cursor_.eof() || cursor_.bof())
        return;
    const Cliente c = ClienteDeFila(cursor_.current());
    MuestraCliente(c);
    ficha_->Muestra(c.RFC);  // moving away drops a customer not saved yet
}

Cliente frmClientes::ClienteEnPantalla() const
{
    Cliente c;
    c.RFC = capRFC->Text();
    c.CURP = capCURP->Text();
    c.Nombre = capNombre->Text();
    c.Direccion = capDireccion->Text();
    c.NumExterior = capNumExterior->Text();
    c.NumInterior = capNumInterior->Text();
    c.Colonia = capColonia->Text();
    c.Localidad = capLocalidad->Text();
    c.Municipio = capMunicipio->Text();
    c.Ciudad = capCiudad->Text();
    c.Estado = cmbEstado->currentText();
    c.Pais = std::max(0, cmbPais->currentIndex());
    c.CP = capCP->Text();
    c.Telefono = capTelefono->Text();
    c.TipoCompra = cmbTipoCompra->currentIndex() >= 0 ? cmbTipoCompra->currentData().toLongLong() : 0;
    c.RutaZona = capRutaC->Text();
    c.LimiteCredito = shell::LeeNumero(capMaxCredito->Text(), false).value_or(0.0);
    c.Emails = capEmails->text();
    c.cltereferencia = txtreferencia->text();
    return c;
}

void frmClientes::FormatoGrid()
{
    grid_->Formato({{QStringLiteral("Nombre"), 5000}, {QStringLiteral("RFC"), 2000}});
}

void frmClientes::SeleccionaGrid()
{
    if (cursor_.count() > 0)
        grid_->Marca(cursor_.position());
}

void frmClientes::BuscaClientes()
{
    Recarga(QString(), 0);
}

void frmClientes::SiguienteCampoBusqueda()
{
    SiguienteEntrada(Combo1);
}

Validacion frmClientes::Valida()
{
    DatosValidacion d;
    d.RFC = capRFC->Text().toUpper();
    d.NumExterior = capNumExterior->Text();
    d.Colonia = capColonia->Text();
    d.Municipio = capMunicipio->Text();
    d.estado = cmbEstado->currentIndex();
    d.tipoCompra = cmbTipoCompra->currentIndex();
    const Validacion v = ValidaCliente(d);
    if (!v.mensaje.isEmpty())
        prompts().message(v.mensaje, v.bloquea ? ui::Icon::Critical : ui::Icon::Information);
    return v;
}

void frmClientes::cmdNuevo_Click()
{
    if (!shell::TienePermiso(38, true) || !ficha_->PuedeDejar())
        return;
    cmdGuardar->setEnabled(true);
    MuestraCliente(Cliente{});  // the blank record of the new customer
    G().SeleccionCatalogo.clear();
    ficha_->Nueva();
    QStringList paises;
    for (int i = 0; i < cmbPais->count(); ++i)
        paises << cmbPais->itemText(i);
    cmbPais->setCurrentIndex(PosicionPaisNuevo(paises));
    gridClientes->clearSelection();
    capRFC->SetFocus();
}

int frmClientes::GrabarDatos()
{
    if (ficha_->estado() == shell::Ficha::Estado::Vacia) {
        prompts().message(QStringLiteral("No hay ningún cliente que grabar; presione \"Nuevo Cliente\" "
                                         "para dar de alta uno."),
                          ui::Icon::Information);
        return 0;
    }
    db::Database* bd = ParaGuardar();
    if (!bd) {
        prompts().message(QStringLiteral("No se pudo abrir el catálogo de clientes."), ui::Icon::Critical);
        return 0;
    }
    shell::EsperaConEsc esc;
    const Guardado g = GrabaCliente(*bd, ClienteEnPantalla(), ficha_->nueva(), ficha_->clave().toString(),
                                    esc.espera([](const QString& texto) { shell::PonEstado(2, texto); }));
    if (!g.ok()) {
        prompts().message(g.mensaje, ui::Icon::Critical);
        return 0;
    }
    return 1;
}

void frmClientes::cmdGuardar_Click()
{
    const bool nuevo = shell::TienePermiso(38, true);
    const bool guarda = shell::TienePermiso(37, true);
    if (!nuevo && !guarda)
        return;
    if (const QString falta = RequeridosCliente(ClienteEnPantalla(), capMaxCredito->Text()); !falta.isEmpty()) {
        prompts().message(falta, ui::Icon::Information);
        return;
    }
    CargaActiva = false;
    if (Valida().bloquea) {
        CargaActiva = true;
        return;
    }
    const int fila = std::max(0, cursor_.position());
    const QString rfc = capRFC->Text();
    const int ok = GrabarDatos();
    CargaActiva = true;
    if (ok) {
        // Show the customer as stored (the new one, or the edited one under its new RFC).
        ficha_->Muestra(rfc);
        Recarga(rfc, fila);
    }
}

void frmClientes::cmdBorrar_Click()
{
    if (ficha_->nueva()) {
        // Only the customer being typed goes; the one shown before comes back.
        ficha_->Descarta();
        LeerDatos();
        SeleccionaGrid();
        return;
    }
    if (!ficha_->guardada() || cursor_.count() == 0 || cursor_.eof() || cursor_.bof())
        return;
    if (!shell::TienePermiso(38, true))
        return;
    if (prompts().question(QStringLiteral("Desea borrar el cliente seleccionado ?"),
                           QStringLiteral("Confirmar."))
        != ui::Answer::Yes)
        return;
    db::Database* bd = ParaGuardar();
    QString mensaje;
    if (!bd || !BorraCliente(*bd, ficha_->clave().toString(), &mensaje)) {
        prompts().message(mensaje.isEmpty() ? QStringLiteral("No se pudo abrir el catálogo de clientes.")
                                            : mensaje,
                          ui::Icon::Critical);
        return;
    }
    // The deleted customer is never handed back: the row now in its place is shown.
    Recarga(QString(), cursor_.position());
}

void frmClientes::cmdBuscar_Click() { Text1->setFocus(); }

void frmClientes::cmdRegresar_Click()
{
    if (Valida().bloquea)
        return;
    if (QWidget* venta = shell::FormaCargada(QStringLiteral("frmVenta"))) {
        if (!ficha_->PuedeCerrar())
            return;
        // Back to the sale screen, which takes the customer on screen. This form stays loaded for
        // the next pick but out of sight, so it never covers the sale screen nor what comes to the
        // front when the sale screen closes; it goes with the sale screen.
        LeerDatos();
        QWidget* marco = qobject_cast<QMdiSubWindow*>(parentWidget()) ? parentWidget() : this;
        marco->hide();
        connect(venta, &QObject::destroyed, this, &frmClientes::AlCerrarVenta, Qt::UniqueConnection);
        TraeAlFrente(venta);
        return;
    }
    CierraForma(this);
}

void frmClientes::AlCerrarVenta()
{
    QWidget* marco = qobject_cast<QMdiSubWindow*>(parentWidget()) ? parentWidget() : this;
    if (!marco->isVisible())
        CierraForma(this);
}

void frmClientes::Activacion()
{
    // Opened again as a picker, in whatever mode the sale screen is: the customer already on screen
    // is the one handed back until the person moves to another.
    if (shell::FormaCargada(QStringLiteral("frmVenta"))) {
        if (cursor_.count() > 0 && ficha_->guardada() && !ficha_->modificada())
            LeerDatos();
        Text1->setFocus();
    }
}

void frmClientes::ConectaActivacion(QMdiArea* area)
{
    AlActivar(this, area, [this] { Activacion(); });
}

// Keys the fields leave unused come up here: F2 anywhere changes the search field, Esc closes.
void frmClientes::keyPressEvent(QKeyEvent* e)
{
    if (!TeclaCatalogo(e, [this] { SiguienteCampoBusqueda(); }, [this] { cmdRegresar_Click(); }))
        QWidget::keyPressEvent(e);
}

bool frmClientes::eventFilter(QObject* o, QEvent* e)
{
    if (e->type() == QEvent::KeyPress) {
        const int tecla = static_cast<QKeyEvent*>(e)->key();
        if (tecla == Qt::Key_Return || tecla == Qt::Key_Enter) {
            cmdRegresar_Click();
            return true;
        }
        if (o == Text1 && (tecla == Qt::Key_Down || tecla == Qt::Key_Up)) {
            gridClientes->setFocus();
            return true;
        }
    } else if (o == Text1 && e->type() == QEvent::FocusIn) {
        ColorBusqueda(Text1);
    }
    return QWidget::eventFilter(o, e);
}

frmClientes* AbreClientes(shell::MIDI* midi)
{
    auto* forma = shell::Forma<frmClientes>();
    if (midi) {
        forma->ConectaActivacion(midi->areaMDI());
        midi->MuestraEnMDI(forma);
    } else {
        forma->show();
        forma->activateWindow();
    }
    forma->Text1->setFocus();
    return forma;
}

void ConectaMenusCatalogos(shell::MIDI* midi)
{
    // The item's own check (permission 3, no message) runs before the opener.
    shell::AsignaAbridor(QStringLiteral("Clientes"), [midi] { AbreClientes(midi); });
    ConectaMenusCodigos(midi);
    ConectaMenusProductos(midi);
}

}  // namespace catalogos
