#include "shell/forms/midi.h"

#include "platform/ui/prompts.h"
#include "shell/avisos.h"
#include "shell/estado.h"
#include "shell/forms/atajos_documento.h"
#include "shell/forms/formas.h"
#include "shell/forms/frmprincipal.h"
#include "shell/forms/panel_estado.h"
#include "shell/menu.h"
#include "shell/pantalla.h"
#include "shell/texto.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QDate>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QScreen>
#include <QStatusBar>
#include <QStyle>
#include <QToolBar>

#include <utility>

namespace shell {

namespace {
std::function<void()>& login() {
    static std::function<void()> f;
    return f;
}
std::function<void()>& ventadiaria() {
    static std::function<void()> f;
    return f;
}
}  // namespace

MIDI::MIDI(QWidget* parent) : QMainWindow(parent) {
    setObjectName(QStringLiteral("MIDI"));
    setWindowTitle(QStringLiteral("Quorvel"));
    mdi_ = new QMdiArea(this);
    mdi_->setObjectName(QStringLiteral("AreaMDI"));
    mdi_->setBackground(QBrush(QColor(0x3a, 0x4a, 0x6a)));
    setCentralWidget(mdi_);
    // A window that closes hands the front to the one active before it: the form that opened it.
    mdi_->setActivationOrder(QMdiArea::ActivationHistoryOrder);
    // A window larger than the area (a small screen, a grid grown with its rows) is scrolled to,
    // never cut off.
    mdi_->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    mdi_->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    connect(mdi_, &QMdiArea::subWindowActivated, this, [this](QMdiSubWindow* s) {
        // The home page stays beneath every open form, whatever activated it.
        if (s && principal_ && s->widget() == principal_ && ultimaVentana())
            QMetaObject::invokeMethod(this, &MIDI::TraeUltimaAlFrente, Qt::QueuedConnection);
    });
    creaMenus();

    // The user and the key help as wide as their texts; the data folder takes the rest.
    for (int i = 0; i < 3; ++i) {
        paneles_[i] = new PanelEstado(this, i == 2 ? 260 : 180);
        paneles_[i]->setObjectName(QStringLiteral("Panel%1").arg(i + 1));
        statusBar()->addWidget(paneles_[i], i == 2 ? 1 : 0);
    }
    statusBar()->setObjectName(QStringLiteral("Status"));

    avisos().estado = [this](int n, const QString& t) {
        if (n >= 1 && n <= 3) paneles_[n - 1]->PonTexto(t);
    };
    avisos().tooltipDatos = [this](const QString& t) { paneles_[2]->setToolTip(t); };
    avisos().menu = [this](const QString& nombre, bool on) {
        if (QAction* a = accion(nombre)) a->setEnabled(on);
    };
    avisos().termina = [] { QCoreApplication::exit(0); };
    AtajosDelDocumento(this);
    RegistraForma(this);
}

MIDI::~MIDI() {
    // The document windows go with this one: nothing is to come to the front any more.
    cerrando_ = true;
    disconnect(mdi_, nullptr, this, nullptr);
    for (QMdiSubWindow* s : mdi_->subWindowList()) disconnect(s, nullptr, this, nullptr);
    avisos().estado = nullptr;
    avisos().tooltipDatos = nullptr;
    avisos().menu = nullptr;
    avisos().tituloPrincipal = nullptr;
    avisos().nombreEmpresa = nullptr;
}

QAction* MIDI::item(QMenu* m, const QString& nombre, const QString& texto) {
    QAction* a = m->addAction(texto);
    a->setObjectName(nombre);
    acciones_.insert(nombre, a);
    connect(a, &QAction::triggered, this, [this, nombre] { dispara(nombre); });
    return a;
}

void MIDI::creaMenus() {
    auto nuevoMenu = [this](const QString& nombre, const QString& texto) {
        QMenu* m = menuBar()->addMenu(texto);
        m->setObjectName(nombre);
        m->menuAction()->setObjectName(nombre);
        menus_.insert(nombre, m);
        acciones_.insert(nombre, m->menuAction());
        return m;
    };
    QMenu* m = nuevoMenu(QStringLiteral("Catalogos"), QStringLiteral("&Catálogos"));
    item(m, "Productos", "&Productos");
    item(m, "Clientes", "&Clientes");
    item(m, "Proveedores", "Pro&veedores");
    item(m, "Categorias", "C&ategorías");
    item(m, "Sucursales", "&Sucursales");
    item(m, "Formaspago", "&Formas de pago");
    item(m, "TiposCompra", "&Tipos de compra");
    item(m, "Usuarios", "&Usuarios");
    item(m, "TipoProducto", "Tipos de p&roducto");
    item(m, "PreciosCredito", "Precios a c&rédito");
    item(m, "Cuentas", "Cue&ntas");
    m->addSeparator();
    item(m, "Salir", "Sa&lir");

    m = nuevoMenu(QStringLiteral("Procesos"), QStringLiteral("&Procesos"));
    item(m, "Facturar", "&Facturación");
    item(m, "Vcredito", "&Venta a crédito");
    item(m, "Cotizaciones", "&Cotizaciones");
    item(m, "NotaCredito", "&Nota de crédito");
    item(m, "PEInventario", "&Entradas y salidas de inventario");
    m->addSeparator();
    item(m, "nFacturarVentas", "Facturar las ventas del &día");
    item(m, "CancelarF", "Ca&ncelar documento");
    item(m, "mDevoluciones", "&Devoluciones");
    item(m, "EFolioF", "Establecer &folio de factura");
    item(m, "RFactura", "&Reimprimir factura");
    item(m, "openFactE", "Abrir factura &electrónica");
    m->addSeparator();
    item(m, "ATraspaso", "&Traspasos");
    item(m, "Ptraspasos", "&Procesar traspasos");
    item(m, "Estadosdecuenta", "E&stados de cuenta");
    item(m, "mCajonDinero", "&Movimientos de caja");
    item(m, "mCortesCaja", "C&ortes de caja");

    m = nuevoMenu(QStringLiteral("Reportes"), QStringLiteral("&Reportes"));
    item(m, "ventadiaria", "&Venta Diaria");
    item(m, "ventadiarias2", "Ventadiarias2");
    item(m, "VentaMensual", "Venta &Mensual (Periodo)");
    item(m, "rMasVendidos", "Productos +Vendidos");
    item(m, "vProdImporte", "Venta x Producto Importe");
    item(m, "rVEmpleado", "Ventas x Empleado");
    item(m, "impSeriesVenta", "Imprimir Series-Venta");
    m->addSeparator();
    item(m, "RExistencias", "&Existencias");
    item(m, "ExistenciasUbicacionCat", "Existencias Ubicacion-Categoria");
    item(m, "ExistCosto", "Existencias al costo");
    item(m, "EReorden", "Existencias en &Reorden");
    item(m, "ESInventario", "Entradas y &salidas de inventario");

    m = nuevoMenu(QStringLiteral("Parametros"), QStringLiteral("P&arámetros"));
    item(m, "datosempresa", "Datos de la &empresa");
    item(m, "DSucursal", "Parámetros de la &sucursal");

    m = nuevoMenu(QStringLiteral("Herramientas"), QStringLiteral("&Herramientas"));
    item(m, "Exportardatos", "&Exportar datos");
    item(m, "Importardatos", "&Importar datos");
    item(m, "CajonDinero", "Abrir &cajón de dinero");
    item(m, "mPcmovil", "PC &móvil");
    item(m, "tomipc", "&A mi PC");
    item(m, "frommi", "&De mi PC");

    m = nuevoMenu(QStringLiteral("OpUsuario"), QStringLiteral("&Usuario"));
    item(m, "TSesion", "&Terminar sesión");
    item(m, "CClave", "&Cambiar mi clave de acceso");

    QAction* fecha = menuBar()->addAction(QString());
    fecha->setObjectName(QStringLiteral("mnFecha"));
    acciones_.insert(QStringLiteral("mnFecha"), fecha);

    QToolBar* tb = addToolBar(QStringLiteral("Herramientas"));
    tb->setObjectName(QStringLiteral("Toolbar2"));
    tb->setMovable(false);
    struct Boton {
        const char* item;
        const char* tip;
        QStyle::StandardPixmap icono;
    };
    const Boton botones[] = {
        {"Productos", "Catalogo de productos.", QStyle::SP_FileDialogDetailedView},
        {"Clientes", "Catalogo de clientes.", QStyle::SP_DirHomeIcon},
        {"Proveedores", "Catalogo de proveedores.", QStyle::SP_DriveNetIcon},
        {"Usuarios", "Catalogo de empleados.", QStyle::SP_FileDialogContentsView},
        {"", "Codigo de barras.", QStyle::SP_FileDialogListView},
        {"", "Estadisticas.", QStyle::SP_FileDialogInfoView},
        {"TSesion", "Terminar sesión.", QStyle::SP_BrowserReload},
        {"Salir", "Salir del sistema.", QStyle::SP_DialogCloseButton},
    };
    for (const Boton& b : botones) {
        QAction* a = tb->addAction(style()->standardIcon(b.icono), QString::fromUtf8(b.tip));
        a->setToolTip(QString::fromUtf8(b.tip));
        const QString destino = QString::fromLatin1(b.item);
        a->setObjectName(QStringLiteral("Toolbar2_") + (destino.isEmpty() ? QString::number(tb->actions().size()) : destino));
        // The toolbar runs the same handlers as the menu, chosen by the button's tooltip.
        connect(a, &QAction::triggered, this, [this, a] {
            const QString destino = OpcionDeToolbar(a->toolTip());
            if (!destino.isEmpty()) dispara(destino);
        });
        sigueAlMenu(a, destino);
    }
}

// A button is usable exactly when its menu item is: the item and the menu holding it enabled, so
// the rights that grey a menu grey its buttons too. A button without an item does nothing and stays
// off; leaving the program is never a right, whatever state the menu holding "Salir" is in.
void MIDI::sigueAlMenu(QAction* boton, const QString& nombre) {
    QAction* opcion = accion(nombre);
    if (!opcion) {
        boton->setEnabled(false);
        return;
    }
    if (nombre == QLatin1String("Salir")) return;
    auto* menu = qobject_cast<QMenu*>(opcion->parent());
    QAction* arriba = menu ? menu->menuAction() : nullptr;
    auto sigue = [boton, opcion, arriba] { boton->setEnabled(opcion->isEnabled() && (!arriba || arriba->isEnabled())); };
    connect(opcion, &QAction::changed, boton, sigue);
    if (arriba) connect(arriba, &QAction::changed, boton, sigue);
    sigue();
}

QAction* MIDI::accion(const QString& nombre) const { return acciones_.value(nombre, nullptr); }
QMenu* MIDI::menu(const QString& nombre) const { return menus_.value(nombre, nullptr); }
QString MIDI::panel(int n) const { return n >= 1 && n <= 3 ? paneles_[n - 1]->Texto() : QString(); }
QLabel* MIDI::etiquetaPanel(int n) const { return n >= 1 && n <= 3 ? paneles_[n - 1] : nullptr; }

void MIDI::AsignaAccion(const QString& nombre, std::function<void()> fn) { manejadores_.insert(nombre, std::move(fn)); }
void MIDI::AsignaLogin(std::function<void()> fn) { login() = std::move(fn); }
void MIDI::AsignaVentadiaria(std::function<void()> fn) { ventadiaria() = std::move(fn); }

void MIDI::Ventadiaria2() {
    if (ventadiaria()) ventadiaria()();
}

void MIDI::dispara(const QString& nombre) {
    if (nombre == QLatin1String("Salir") && !manejadores_.contains(nombre)) return Salir_Click();
    if (nombre == QLatin1String("TSesion") && !manejadores_.contains(nombre)) return TSesion_Click();
    auto it = manejadores_.find(nombre);
    if (it != manejadores_.end() && *it) (*it)();
}

QMdiSubWindow* MIDI::MuestraEnMDI(QWidget* forma) {
    for (QMdiSubWindow* s : mdi_->subWindowList())
        if (s->widget() == forma) {
            AlFrente(s);
            return s;
        }
    QMdiSubWindow* s = mdi_->addSubWindow(forma);
    s->setAttribute(Qt::WA_DeleteOnClose);
    // A form that closes itself (its own "Cerrar") takes its window frame along; queued, so a frame
    // already going away is never touched.
    connect(forma, &QObject::destroyed, s, &QWidget::close, Qt::QueuedConnection);
    // Once it is gone the window active before it comes back to the front (queued: the area still
    // lists a frame while it is being destroyed).
    connect(s, &QObject::destroyed, this, [this] {
        QMetaObject::invokeMethod(this, &MIDI::TraeUltimaAlFrente, Qt::QueuedConnection);
    });
    s->show();
    CabeEnArea(forma);
    AlFrente(s);
    return s;
}

void MIDI::AlFrente(QMdiSubWindow* s) {
    if (s->isMinimized()) s->showNormal();
    s->show();
    s->raise();
    mdi_->setActiveSubWindow(s);
    if (QWidget* f = s->widget()) {
        QWidget* foco = f->focusWidget();
        (foco ? foco : f)->setFocus();
    }
}

QMdiSubWindow* MIDI::ultimaVentana() const {
    const QList<QMdiSubWindow*> lista = mdi_->subWindowList(QMdiArea::ActivationHistoryOrder);
    for (auto it = lista.crbegin(); it != lista.crend(); ++it)
        if ((*it)->isVisible() && (*it)->widget() && (*it)->widget() != principal_) return *it;
    return nullptr;
}

void MIDI::TraeUltimaAlFrente() {
    if (cerrando_) return;
    if (QMdiSubWindow* s = ultimaVentana(); s && mdi_->activeSubWindow() != s) AlFrente(s);
}

bool MIDI::Carga() {
    auto& g = G();
    cerrando_ = false;
    if (QScreen* s = QGuiApplication::primaryScreen()) {
        g.AnchoOriginal = s->geometry().width();
        g.AltoOriginal = s->geometry().height();
    }
    g.AnchoPantalla = 1024;
    g.AltoPantalla = 768;
    g.NumDefDetalles = 0;

    // The start form loads now, inside the main window's load.
    principal_ = new frmPrincipal(this);
    avisos().tituloPrincipal = [this](const QString& t) {
        if (principal_) principal_->setWindowTitle(t);
    };
    avisos().nombreEmpresa = [this](const QString& t) {
        if (principal_) principal_->lblNombreEmp()->setText(t);
    };
    RegistraForma(principal_);
    QMdiSubWindow* sub = MuestraEnMDI(principal_);
    sub->setAttribute(Qt::WA_DeleteOnClose, false);
    if (!principal_->Carga()) return false;

    // The start form fills the document area as a window of its own, its caption in sight.
    sub->setGeometry(QRect(QPoint(0, 0), mdi_->viewport()->size()));
    // The login dialog comes here once it exists; the load waits until it is gone.
    if (login()) {
        login()();
        if (ProgramaTerminado()) return false;
    }
    if (QAction* f = accion(QStringLiteral("mnFecha"))) f->setText(FechaLarga(QDate::currentDate()));
    return true;
}

void MIDI::changeEvent(QEvent* e) {
    QMainWindow::changeEvent(e);
    if (e->type() != QEvent::WindowStateChange || cerrando_) return;
    if (isMinimized()) CambiaResolucion(G().AnchoOriginal, G().AltoOriginal, 32);
    if (isMaximized()) CambiaResolucion(G().AnchoPantalla, G().AltoPantalla, 32);
}

void MIDI::Salir_Click() {
    if (ui::defaultPrompts().question(QStringLiteral("Desea salir del sistema ? "),
                                      QStringLiteral("Confirmar salida.")) != ui::Answer::Yes)
        return;
    salidaConfirmada_ = true;
    if (!close()) salidaConfirmada_ = false;
}

void MIDI::TSesion_Click() {
    if (login()) login()();
}

void MIDI::CierraSistema() {
    cerrando_ = true;
    CambiaResolucion(G().AnchoOriginal, G().AltoOriginal, 32);
    CierraFormasExcepto(objectName());
}

void MIDI::closeEvent(QCloseEvent* e) {
    if (!cerrado_) {
        // The close box and Alt+F4 leave as "Salir" does: after its question, and only once every
        // document window has agreed to close (a sale screen keeps its pending lines when asked).
        const bool confirmada = std::exchange(salidaConfirmada_, false);
        if (!confirmada && !ProgramaTerminado() &&
            ui::defaultPrompts().question(QStringLiteral("Desea salir del sistema ? "),
                                          QStringLiteral("Confirmar salida.")) != ui::Answer::Yes) {
            e->ignore();
            return;
        }
        if (!ProgramaTerminado() && !CierraDocumentos()) {
            e->ignore();
            return;
        }
        cerrado_ = true;
        CierraSistema();
    }
    e->accept();
}

}  // namespace shell
