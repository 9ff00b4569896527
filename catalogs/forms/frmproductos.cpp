#include "catalogs/forms/frmproductos.h"

#include "catalogs/forms/comun.h"
#include "catalogs/existencias_sucursales.h"
#include "catalogs/forms/frmimagenproducto.h"
#include "catalogs/forms/frmprodproveedores.h"
#include "capture_control/ccaptura.h"
#include "platform/ui/prompts.h"
#include "shell/conexion.h"
#include "shell/estado.h"
#include "shell/forms/ficha.h"
#include "shell/forms/formas.h"
#include "shell/forms/midi.h"
#include "shell/menu.h"
#include "shell/permisos.h"
#include "shell/rutinas_bd.h"
#include "shell/sucursal.h"
#include "shell/texto.h"

#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QFileDialog>
#include <QFileInfo>
#include <QPixmap>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QTabWidget>
#include <QTableView>
#include <QVBoxLayout>

namespace catalogos {

namespace {

const char kErrorApertura[] = "Error al abrir catálogo de productos. Compruebe las rutas o actualize "
                              "las rutas en el catalogo de sucursales.";

// ProductoPendiente is 1 exactly while a product is being shown, whatever way the showing ends.
struct Pendiente {
    Pendiente() { G().ProductoPendiente = 1; }
    ~Pendiente() { G().ProductoPendiente = 0; }
};

}  // namespace

frmProductos::frmProductos(QWidget* parent, db::Database* sucursal, db::Database* codigos,
                           ui::Prompts* prompts)
    : QWidget(parent), sucursal_(sucursal), codigos_(codigos), prompts_(prompts)
{
    setObjectName(QStringLiteral("frmProductos"));
    setWindowTitle(QStringLiteral("CATALOGO DE PRODUCTOS."));
    auto* raiz = new QVBoxLayout(this);

    auto* busca = new QHBoxLayout;
    busca->addWidget(new QLabel(QStringLiteral("Buscar por:"), this));
    Combo1 = new QComboBox(this);
    Combo1->setObjectName(QStringLiteral("Combo1"));
    Combo1->addItems(CamposBusquedaProductos());
    busca->addWidget(Combo1);
    Text1 = new QLineEdit(this);
    Text1->setObjectName(QStringLiteral("Text1"));
    Text1->setToolTip(QStringLiteral(
        "Busqueda del producto por coincidencia, F12 para limpiar el campo de busqueda."));
    busca->addWidget(Text1, 1);
    Check1 = new QCheckBox(QStringLiteral("Buscar sin espacios."), this);
    Check2 = new QCheckBox(QStringLiteral("Listar coincidencias"), this);
    lblRegistros = new QLabel(this);
    lblRegistros->setObjectName(QStringLiteral("lblRegistros"));
    busca->addWidget(Check1);
    busca->addWidget(Check2);
    busca->addWidget(lblRegistros);
    raiz->addLayout(busca);

    gridClientes = new QTableView(this);
    gridClientes->setObjectName(QStringLiteral("gridClientes"));
    grid_ = new GridCatalogo(gridClientes, &origen_, [this](int fila) {
        if (fila != pos_)
            MueveA(fila);
        MarcaFilaActual();
    });
    raiz->addWidget(gridClientes, 1);

    auto campo = [this](const char* nombre, const QString& titulo, int largo) {
        return kestril::CreaCampoCaptura(this, QString::fromLatin1(nombre), titulo, largo);
    };
    capCodigo = campo("capCodigo", QStringLiteral("Código de barras:"), 20);
    capNombre = campo("capNombre", QStringLiteral("Nombre ó Modelo del producto:"), 45);
    capDescripcion = campo("capDescripcion", QStringLiteral("Descripción del producto:"), 199);
    capDescripcion2 = campo("capDescripcion2", QStringLiteral("Descripcion2 del producto:"), 140);
    capUbicacion = campo("capUbicacion", QStringLiteral("Ubicación Fisica:"), 15);
    capPrecioUnit = campo("capPrecioUnit", QStringLiteral("&Precio Unitario:"), 15);
    capPrecio1 = campo("capPrecio1", QStringLiteral("&Precio 1"), 15);
    capPrecio2 = campo("capPrecio2", QStringLiteral("&Precio 2"), 15);
    capPrecio3 = campo("capPrecio3", QStringLiteral("&Precio 3"), 15);
    capPrecioCosto = campo("capPrecioCosto", QStringLiteral("Precio costo:"), 20);
    capDescuento = campo("capDescuento", QStringLiteral("Descuento:"), 20);
    capDescuentoCosto = campo("capDescuentoCosto", QStringLiteral("Descuento Costo:"), 20);
    capExistencia = campo("capExistencia", QStringLiteral("&Existencia:"), 20);
    capReorden = campo("capReorden", QStringLiteral("Reorden:"), 20);
    capStockMax = campo("capStockMax", QStringLiteral("StockMax:"), 20);
    capUnidad = campo("capUnidad", QStringLiteral("&Unidad:"), 20);
    capIVA = campo("capIVA", QStringLiteral("&IVA"), 2);
    capMarca = campo("capMarca", QStringLiteral("&Marca:"), 20);
    capEmpaque = campo("capEmpaque", QStringLiteral("&CantEmpaque:"), 20);
    capTipoSustituto = campo("capTipoSustituto", QStringLiteral("Tipo Sustituto:"), 20);
    capExistencia->setLocked(true);

    auto lista = [this](const char* nombre) {
        auto* c = new QComboBox(this);
        c->setObjectName(QString::fromLatin1(nombre));
        c->setEditable(false);
        return c;
    };
    cmbCategoria = lista("cmbCategoria");
    cmbTipoProd = lista("cmbTipoProd");
    cmbMoneda = lista("cmbMoneda");
    cmbMoneda->addItems({QStringLiteral("0. Ninguna"), QStringLiteral("1. Pesos"),
                         QString::fromUtf8("2. Dólares")});
    chkSuspendido = new QCheckBox(QStringLiteral("Inactiv&o"), this);
    chkSuspendido->setTristate(false);
    lblFecha = new QLabel(this);
    lblFecha->setObjectName(QStringLiteral("lblFecha"));
    Check3 = new QCheckBox(QStringLiteral("Ver E&xistencia en sucursales."), this);
    List1 = new QListWidget(this);
    List1->setObjectName(QStringLiteral("List1"));
    List1->setMaximumHeight(6 * List1->fontMetrics().height());
    chkImagen = new QCheckBox(QStringLiteral("Ver Imagen de producto"), this);
    Image1 = new QLabel(this);
    Image1->setObjectName(QStringLiteral("Image1"));
    Image1->setFrameShape(QFrame::Box);
    Image1->setAlignment(Qt::AlignCenter);
    Image1->setFixedSize(120, 90);
    Image1->installEventFilter(this);
    Label4 = new QLabel(this);
    Label4->setObjectName(QStringLiteral("Label4"));
    Label4->setTextInteractionFlags(Qt::TextSelectableByMouse);

    SSDatos = new QTabWidget(this);
    auto* general = new QWidget(SSDatos);
    auto* g = new QGridLayout(general);
    g->addWidget(capCodigo, 0, 0);
    g->addWidget(capNombre, 0, 1, 1, 2);
    g->addWidget(capDescripcion, 1, 0, 1, 3);
    g->addWidget(capDescripcion2, 2, 0, 1, 3);
    g->addWidget(capPrecioUnit, 3, 0);
    g->addWidget(capExistencia, 3, 1);
    g->addWidget(capUnidad, 3, 2);
    g->addWidget(capPrecio1, 4, 0);
    g->addWidget(capPrecio2, 4, 1);
    g->addWidget(capPrecio3, 4, 2);
    g->addWidget(capIVA, 5, 0);
    g->addWidget(capMarca, 5, 1);
    g->addWidget(capUbicacion, 5, 2);
    auto* listas = new QHBoxLayout;
    listas->addWidget(new QLabel(QStringLiteral("Categoria:"), this));
    listas->addWidget(cmbCategoria, 1);
    listas->addWidget(new QLabel(QStringLiteral("Tipo:"), this));
    listas->addWidget(cmbTipoProd, 1);
    listas->addWidget(new QLabel(QStringLiteral("Moneda:"), this));
    listas->addWidget(cmbMoneda);
    g->addLayout(listas, 6, 0, 1, 3);
    auto* fecha = new QHBoxLayout;
    fecha->addWidget(chkSuspendido);
    fecha->addWidget(new QLabel(QStringLiteral("Fecha Ingreso:"), this));
    fecha->addWidget(lblFecha, 1);
    g->addLayout(fecha, 7, 0, 1, 3);
    SSDatos->addTab(general, QStringLiteral("General"));

    auto* detalles = new QWidget(SSDatos);
    auto* d = new QGridLayout(detalles);
    d->addWidget(capPrecioCosto, 0, 0);
    d->addWidget(capDescuento, 0, 1);
    d->addWidget(capDescuentoCosto, 0, 2);
    d->addWidget(capReorden, 1, 0);
    d->addWidget(capStockMax, 1, 1);
    d->addWidget(capEmpaque, 1, 2);
    d->addWidget(capTipoSustituto, 2, 0);
    d->addWidget(Check3, 3, 0);
    d->addWidget(List1, 4, 0, 1, 3);
    d->addWidget(chkImagen, 5, 0);
    d->addWidget(Image1, 5, 1, 2, 1);
    auto* ruta = new QHBoxLayout;
    ruta->addWidget(new QLabel(QStringLiteral("Ruta de la imagen:"), this));
    ruta->addWidget(Label4, 1);
    d->addLayout(ruta, 7, 0, 1, 3);
    SSDatos->addTab(detalles, QStringLiteral("Detalles"));
    raiz->addWidget(SSDatos);

    auto* botones = new QHBoxLayout;
    cmdNuevo = Boton(this, botones, QStringLiteral("&Nuevo Producto"));
    cmdGuardar = Boton(this, botones, QStringLiteral("&Guardar"));
    cmdBorrar = Boton(this, botones, QStringLiteral("&Borrar"));
    cmdExistencia = Boton(this, botones, QStringLiteral("Modificar Existencia"));
    cmdProveedores = Boton(this, botones, QStringLiteral("Mis Proveedores..."));
    cmdBuscar = Boton(this, botones, QStringLiteral("&Buscar"));
    cmdESProducto = Boton(this, botones, QStringLiteral("ESProducto"));
    cmdRegresar = Boton(this, botones, QStringLiteral("&Regresar"));
    raiz->addLayout(botones);

    connect(cmdNuevo, &QPushButton::clicked, this, &frmProductos::cmdNuevo_Click);
    connect(cmdGuardar, &QPushButton::clicked, this, &frmProductos::cmdGuardar_Click);
    connect(cmdBorrar, &QPushButton::clicked, this, &frmProductos::cmdBorrar_Click);
    connect(cmdBuscar, &QPushButton::clicked, this, &frmProductos::cmdBuscar_Click);
    connect(cmdRegresar, &QPushButton::clicked, this, &frmProductos::cmdRegresar_Click);
    connect(cmdProveedores, &QPushButton::clicked, this, &frmProductos::cmdProveedores_Click);
    connect(cmdExistencia, &QPushButton::clicked, this, &frmProductos::cmdExistencia_Click);
    connect(cmdESProducto, &QPushButton::clicked, this, &frmProductos::cmdESProducto_Click);
    connect(chkImagen, &QCheckBox::clicked, this, [this](bool marcado) {
        if (marcado)
            LeerDatos();
    });
    EligeArchivo = [this] {
        return QFileDialog::getOpenFileName(this, QStringLiteral("Imagen de producto"), QString(),
                                            QStringLiteral("Imágenes JPEG (*.jpg *.JPG);;Todos (*)"));
    };
    connect(capExistencia, &CCaptura::KeyPress, this, [this](short& tecla) {
        if (!capExistencia->Locked() || tecla == 0)
            return;
        tecla = 0;
        this->prompts().message(QString::fromUtf8("Presione el botón 'Modificar Existencia' para desbloquear "
                                            "el cuadro de texto."),
                          ui::Icon::None);
    });
    connect(Check3, &QCheckBox::toggled, this, [this](bool marcado) {
        if (!marcado)
            List1->clear();
        else if (fuente_.count() > 0)
            LeerDatos();  // the current product again, and its list
    });
    connect(Text1, &QLineEdit::textChanged, this, [this] {
        BuscaProductos();
        Cuenta();
    });
    connect(Check2, &QCheckBox::clicked, this, [this] {
        // The whole catalogue again, whatever the search box holds.
        db::Error e;
        if (!fuente_.busca(Combo1->currentText(), QString(), &e))
            this->prompts().message(shell::TextoErrorBD(e), ui::Icon::Critical);
        grid_->Refresca();
        FormatoGrid();
        MueveA(0);
        SeleccionaGrid();
        Cuenta();
    });
    connect(Combo1, &QComboBox::activated, this, [this] {
        if (Combo1->currentText() != QLatin1String("NOMBRE"))
            Text1->setFocus();
    });
    connect(cmbMoneda, &QComboBox::currentIndexChanged, this, [this](int i) {
        if (i == 0)
            cmbMoneda->setCurrentIndex(1);
    });
    connect(SSDatos, &QTabWidget::currentChanged, this, [this](int i) {
        if (i != 0 && !shell::TieneDerecho(11, false))
            SSDatos->setCurrentIndex(0);
    });
    Text1->installEventFilter(this);
    gridClientes->installEventFilter(this);
    cmdBuscar->installEventFilter(this);
    Combo1->installEventFilter(this);
    ficha_ = new shell::Ficha(this, [this]() -> ui::Prompts& { return this->prompts(); }, {Text1, Combo1, Check1, Check2, Check3, chkImagen});
    ficha_->Vigila(chkSuspendido);
    ficha_->GuardaBusqueda(Text1);
    ficha_->GuardaFilas(gridClientes);

    abierto_ = Carga();
}

db::Database* frmProductos::Sucursal() const { return sucursal_ ? sucursal_ : shell::BDSucursal(); }

db::Database* frmProductos::Codigos() const { return codigos_ ? codigos_ : shell::BDCodigos(); }

ui::Prompts& frmProductos::prompts() const { return prompts_ ? *prompts_ : ui::defaultPrompts(); }

bool frmProductos::Carga()
{
    SSDatos->setCurrentIndex(0);
    QFont f = gridClientes->font();
    if (G().TFuente > 0)
        f.setPointSize(G().TFuente);
    gridClientes->setFont(f);
    Check3->setChecked(false);
    CargaActiva = false;
    if (db::Database* c = Codigos()) {
        for (auto [lista, sql, clave] :
             {std::tuple{cmbCategoria, "Select * from Categoria ORDER BY Descripcion COLLATE ESPANOL", "ClaveCategoria"},
              std::tuple{cmbTipoProd, "Select * from TipoProducto ORDER BY Descripcion COLLATE ESPANOL", "NTipo"}}) {
            if (auto filas = c->select(QString::fromLatin1(sql)))
                for (const db::Row& r : *filas)
                    lista->addItem(r.text(QStringLiteral("Descripcion")),
                                   r.integer(QString::fromLatin1(clave)));
        }
    }
    CargaActiva = true;
    db::Database* bd = Sucursal();
    fuente_.setDatabase([this] { return Sucursal(); });
    Combo1->setCurrentIndex(1);  // NOMBRE
    if (!bd || !bd->tableExists(QStringLiteral("Existencia"))
        || !fuente_.busca(Combo1->currentText(), QString())) {
        prompts().message(QString::fromUtf8(kErrorApertura), ui::Icon::Critical);
        return false;
    }
    grid_->Refresca();
    FormatoGrid();
    MueveA(0);
    SeleccionaGrid();
    Cuenta();
    ActivaPermisos();
    return true;
}

void frmProductos::ActivaPermisos()
{
    const bool guarda = shell::TienePermiso(35, false);
    cmdBorrar->setEnabled(guarda);
    cmdGuardar->setEnabled(guarda);
    cmdNuevo->setEnabled(shell::TienePermiso(36, false));
}

void frmProductos::FormatoGrid()
{
    grid_->Formato({{QStringLiteral("Nombre"), 2500},
                    {QStringLiteral("CodigodeBarras"), 2000},
                    {QStringLiteral("Descripcion"), 7500}});
}

void frmProductos::SeleccionaGrid()
{
    if (fuente_.count() > 0 && pos_ >= 0)
        grid_->Marca(pos_);
}

void frmProductos::MarcaFilaActual()
{
    if (fuente_.count() == 0 || pos_ < 0)
        return;
    capCodigo->setToolTip(QString::number(fuente_.clave(pos_))
                          + QStringLiteral("-Codigo de Barras para el lector de codigos."));
    SeleccionaGrid();
}

void frmProductos::Cuenta()
{
    lblRegistros->setText(QString::number(fuente_.count()) + QStringLiteral(" reg. mostrados"));
}

qint64 frmProductos::ClaveActual() const
{
    if (ficha_->nueva() || pos_ < 0 || pos_ >= fuente_.count())
        return 0;
    return fuente_.clave(pos_);
}

void frmProductos::MueveA(int fila)
{
    pos_ = fuente_.count() == 0 ? -1 : std::clamp(fila, 0, fuente_.count() - 1);
    if (CargaActiva)
        LeerDatos();
}

void frmProductos::PonLista(QComboBox* lista, qint64 clave)
{
    lista->setCurrentIndex(lista->findData(clave));
}

void frmProductos::Muestra(const CamposProducto& c)
{
    Pendiente pendiente;
    capNombre->setText(c.Nombre);
    capDescripcion->setText(c.Descripcion);
    capExistencia->setText(c.Existencia);
    capUbicacion->setText(c.Ubicacion);
    if (Check3->isChecked())
        MuestraOtrasSucursales();
    capUnidad->setText(c.Unidad);
    capIVA->setText(c.IVA);
    PonLista(cmbCategoria, c.Categoria.value_or(0));
    PonLista(cmbTipoProd, c.TipoProducto.value_or(0));
    Image1->clear();
    Label4->clear();  // no picture
    capCodigo->setText(c.CodigodeBarras);
    G().CodigoProductoSel = c.CodigodeBarras;
    G().ClaveProductoSel = ficha_->nueva() || pos_ < 0 ? QString() : QString::number(fuente_.clave(pos_));
    capReorden->setText(c.Reorden);
    capDescuento->setText(c.Descuento);
    capDescuentoCosto->setText(c.DescuentoCosto);
    capPrecioUnit->setText(c.PrecioUnit);
    capPrecio1->setText(c.Precio1);
    capPrecio2->setText(c.Precio2);
    capPrecio3->setText(c.Precio3);
    chkSuspendido->setChecked(c.Suspendido);
    capPrecioCosto->setText(c.PrecioCosto);
    cmbMoneda->setCurrentIndex(c.Moneda);
    capDescripcion2->setText(c.Descripcion2);
    capMarca->setText(c.Marca);
    capEmpaque->setText(c.Empaque);
    lblFecha->setText(c.Fechap);
    capStockMax->setText(c.StockMax);
    if (chkImagen->isChecked() && ClaveActual() != 0) {
        const QString archivo = LeeImagenProducto(ClaveActual());
        if (!archivo.isEmpty() && archivo != QLatin1String("C:\\")) {
            Label4->setText(archivo);
            MuestraImagenProducto();
        }
    }
    capTipoSustituto->setText(c.TipoSustituto);
}

void frmProductos::LeerDatos()
{
    if (pos_ < 0 || pos_ >= fuente_.count())
        return;
    db::Error e;
    auto fila = fuente_.leeFila(pos_, &e);
    if (!fila) {
        if (!e.ok())
            prompts().message(shell::TextoErrorBD(e), ui::Icon::Critical);
        G().ProductoPendiente = 0;
        return;
    }
    Muestra(CamposDeFila(*fila, G().PorcentajeIVA));
    ficha_->Muestra(fuente_.clave(pos_));  // moving away drops a product not saved yet
}

CamposProducto frmProductos::EnPantalla() const
{
    CamposProducto c;
    c.CodigodeBarras = capCodigo->Text();
    c.Nombre = capNombre->Text();
    c.Descripcion = capDescripcion->Text();
    c.Descripcion2 = capDescripcion2->Text();
    c.Ubicacion = capUbicacion->Text();
    c.Unidad = capUnidad->Text();
    c.Marca = capMarca->Text();
    c.Empaque = capEmpaque->Text();
    c.IVA = capIVA->Text();
    c.PrecioUnit = capPrecioUnit->Text();
    c.Precio1 = capPrecio1->Text();
    c.Precio2 = capPrecio2->Text();
    c.Precio3 = capPrecio3->Text();
    c.PrecioCosto = capPrecioCosto->Text();
    c.Descuento = capDescuento->Text();
    c.DescuentoCosto = capDescuentoCosto->Text();
    c.Reorden = capReorden->Text();
    c.StockMax = capStockMax->Text();
    c.Existencia = capExistencia->Text();
    c.Moneda = std::max(0, cmbMoneda->currentIndex());
    c.Suspendido = chkSuspendido->isChecked();
    if (cmbCategoria->currentIndex() >= 0)
        c.Categoria = cmbCategoria->currentData().toLongLong();
    if (cmbTipoProd->currentIndex() >= 0)
        c.TipoProducto = cmbTipoProd->currentData().toLongLong();
    return c;
}

CCaptura* frmProductos::CampoDe(CampoProducto campo) const
{
    switch (campo) {
    case CampoProducto::Existencia: return capExistencia;
    case CampoProducto::PrecioUnit: return capPrecioUnit;
    case CampoProducto::Reorden: return capReorden;
    case CampoProducto::Empaque: return capEmpaque;
    case CampoProducto::IVA: return capIVA;
    case CampoProducto::Precio1: return capPrecio1;
    case CampoProducto::Precio2: return capPrecio2;
    case CampoProducto::Precio3: return capPrecio3;
    case CampoProducto::PrecioCosto: return capPrecioCosto;
    case CampoProducto::Descuento: return capDescuento;
    case CampoProducto::DescuentoCosto: return capDescuentoCosto;
    case CampoProducto::StockMax: return capStockMax;
    case CampoProducto::CodigodeBarras: return capCodigo;
    case CampoProducto::Ninguno: break;
    }
    return nullptr;
}

void frmProductos::Validalosdatos(bool& ok)
{
    const ValidacionProducto v = ValidaProducto(EnPantalla(), shell::IVAPantalla(G().PorcentajeIVA));
    ok = v.ok();
    if (ok)
        return;
    // A stock typed wrong stays as typed until it is corrected: a "0" put in its place would be
    // stored by the next "Guardar".
    prompts().message(v.mensaje, ui::Icon::Information);
    if (CCaptura* c = CampoDe(v.campo)) {
        EnVista(c);
        c->SetFocus();
    }
}

void frmProductos::cmdNuevo_Click()
{
    if (!shell::TienePermiso(36, false) || !ficha_->PuedeDejar())
        return;
    if (auto siguiente = shell::ObtenerSiguienteId(QStringLiteral("ClaveProducto"), QStringLiteral("Producto")))
        UltimaClave = *siguiente - 1;
    ficha_->Nueva();
    gridClientes->clearSelection();
    Muestra(CamposDeFila(db::Row(), G().PorcentajeIVA));
    capCodigo->SetFocus();
}

void frmProductos::GrabarDatos(int& ok)
{
    ok = 0;
    if (ficha_->estado() == shell::Ficha::Estado::Vacia) {
        prompts().message(QString::fromUtf8("No hay ningún registro, presione el boton 'Nuevo producto'."),
                          ui::Icon::Information);
        return;
    }
    db::Database* bd = Sucursal();
    if (!bd) {
        prompts().message(QString::fromUtf8(kErrorApertura), ui::Icon::Critical);
        return;
    }
    const std::optional<qint64> clave =
        ficha_->nueva() ? std::nullopt : std::optional<qint64>(ficha_->clave().toLongLong());
    const bool desbloqueada = !capExistencia->Locked();
    std::optional<QString> imagen;
    if (chkImagen->isChecked() && !Label4->text().isEmpty() && Label4->text() != QLatin1String("C:\\"))
        imagen = Label4->text();
    const ResultadoProducto r = GrabaProducto(*bd, EnPantalla(), clave, CambioExistencia{desbloqueada}, imagen);
    capExistencia->setLocked(true);
    if (!r.ok) {
        shell::MuestraErrorBD(r.error);
        return;
    }
    // Logged once the change is stored, never for one that was not.
    if (desbloqueada)
        shell::RegistraMonitor(ProcesoModExistencia(r.existenciaAnterior, capExistencia->Text(),
                                                    G().UsuarioActual),
                               MensajeProducto(capDescripcion->Text()));
    if (r.sinCategoria)
        prompts().message(QStringLiteral("Si no agrupa el producto en categorias, no aparecera en sus reportes."),
                          ui::Icon::Information);
    guardada_ = r.clave;
    ok = 1;
}

void frmProductos::cmdGuardar_Click()
{
    if (!shell::PuedeEscribir(35, prompts()))
        return;
    bool valido = false;
    Validalosdatos(valido);
    if (!valido)
        return;
    CargaActiva = false;
    if (auto siguiente = shell::ObtenerSiguienteId(QStringLiteral("ClaveProducto"), QStringLiteral("Producto")))
        UltimaClave = *siguiente - 1;
    int ok = 0;
    const int fila = std::max(0, pos_);
    GrabarDatos(ok);
    CargaActiva = true;
    if (ok) {
        ficha_->Muestra(guardada_);
        Recarga(guardada_, fila);
    }
    // A refused save keeps on the card what was typed, so it can be corrected.
}

void frmProductos::Recarga(qint64 clave, int filaSiNo)
{
    BuscaProductos();
    int i = clave > 0 ? fuente_.indice(clave) : -1;
    if (clave > 0 && i < 0 && !Text1->text().isEmpty()) {
        // The search hides the product just saved; the card must show it, or "Borrar" would ask
        // about another one.
        const QSignalBlocker sin(Text1);
        Text1->clear();
        BuscaProductos();
        i = fuente_.indice(clave);
    }
    MueveA(i >= 0 ? i : filaSiNo);
    SeleccionaGrid();
    Cuenta();
}

void frmProductos::cmdBorrar_Click()
{
    if (ficha_->nueva()) {
        // Only the product being typed goes; the one shown before comes back.
        if (ficha_->Descarta().isValid())
            LeerDatos();
        SeleccionaGrid();
        return;
    }
    if (!ficha_->guardada() || fuente_.count() == 0 || pos_ < 0 || !shell::PuedeEscribir(35, prompts()))
        return;
    if (prompts().question(QStringLiteral("Desea borrar el producto seleccionado ?"),
                           QStringLiteral("Confirmar."))
        != ui::Answer::Yes)
        return;
    const qint64 clave = ficha_->clave().toLongLong();
    if (clave == 1) {
        prompts().message(QString::fromUtf8(kNoSeBorra), ui::Icon::None, QStringLiteral("Confirmar."));
        return;
    }
    db::Database* bd = Sucursal();
    db::Error e;
    if (!bd || !BorraProducto(*bd, clave, &e)) {
        shell::MuestraErrorBD(e);
        return;
    }
    shell::RegistraMonitor(ProcesoBorraProducto(capExistencia->Text(), G().UsuarioActual),
                           MensajeProducto(capDescripcion->Text()));
    Recarga(0, pos_);
}

void frmProductos::BuscaProductos()
{
    const QString patron = PatronBusqueda(Text1->text(), Check1->isChecked());
    db::Error e;
    if (!fuente_.busca(Combo1->currentText(), patron, &e)) {
        prompts().message(QStringLiteral("No se pudo ejecutar la búsqueda: ") + Combo1->currentText()
                              + QStringLiteral(", ") + patron + QStringLiteral("\r\n") + shell::TextoErrorBD(e),
                          ui::Icon::Critical);
        Text1->clear();
    }
    grid_->Refresca();
    FormatoGrid();
    MueveA(0);
    SeleccionaGrid();
}

void frmProductos::SiguienteCampoBusqueda()
{
    SiguienteEntrada(Combo1);
    Text1->setFocus();
}

void frmProductos::cmdBuscar_Click()
{
    // The box cannot take the focus while it is hidden or disabled.
    Text1->setFocus();
    if (!Text1->isVisibleTo(this) || !Text1->isEnabled()) {
        prompts().message(QString::fromUtf8("Error de búsqueda."), ui::Icon::Information);
        Combo1->setCurrentIndex(0);
    }
}

void frmProductos::cmdExistencia_Click()
{
    if (!shell::TienePermiso(47, false))
        return;
    capExistencia->setLocked(false);
    EnVista(capExistencia);
    capExistencia->SetFocus();
}

void frmProductos::EnVista(QWidget* campo)
{
    for (int i = 0; i < SSDatos->count(); ++i)
        if (SSDatos->widget(i)->isAncestorOf(campo))
            SSDatos->setCurrentIndex(i);
}

void frmProductos::cmdESProducto_Click()
{
    ReportesProducto(G().ClaveProductoSel, capDescripcion->Text(), prompts(), DestinoESProducto);
}

QString frmProductos::LeeImagenProducto(qint64 clave) const
{
    // Old data may hold several rows for a product: the newest one is the picture.
    db::Database* bd = Codigos();
    if (!bd)
        return {};
    auto v = bd->scalar(QStringLiteral("SELECT Imagen FROM ImagenProducto WHERE ClaveProducto=? "
                                       "ORDER BY rowid DESC LIMIT 1"),
                        {clave});
    return v ? v->toString() : QString();
}

void frmProductos::MuestraImagenProducto()
{
    // A file that is gone shows nothing, and says nothing.
    const QPixmap p(Label4->text());
    if (p.isNull())
        Image1->clear();
    else
        Image1->setPixmap(p.scaled(Image1->size(), Qt::KeepAspectRatio, Qt::SmoothTransformation));
}

void frmProductos::EligeImagenProducto()
{
    if (!chkImagen->isChecked()) {
        chkImagen->setChecked(true);
        LeerDatos();
    }
    const QString archivo = EligeArchivo ? EligeArchivo() : QString();
    if (archivo.isEmpty() || archivo == QLatin1String("*.jpg") || !QFileInfo(archivo).isFile())
        return;
    if (!archivo.toUpper().contains(QLatin1String(".JPG"))) {
        prompts().message(QStringLiteral("Archivo invalido."), ui::Icon::Information);
        return;
    }
    Label4->setText(archivo);
    MuestraImagenProducto();
}

void frmProductos::Image1_Click()
{
    const QString archivo = Label4->text();
    if (archivo.isEmpty() || archivo == QLatin1String("C:\\"))
        return;
    if (!vistaImagen_) {
        auto* v = new frmImagenProducto(this);
        v->setAttribute(Qt::WA_DeleteOnClose);
        vistaImagen_ = v;
    }
    auto* v = static_cast<frmImagenProducto*>(vistaImagen_.data());
    v->show();
    v->activateWindow();
    v->SetImagen(archivo);
}

void frmProductos::MuestraOtrasSucursales()
{
    List1->clear();
    const EstadoGlobal& g = G();
    SucursalesExistencia s;
    s.carpetaDatos = g.CarpetaDatos;
    s.nombres = g.DescripcionC;
    s.numSucursales = int(shell::Val(g.NumSucursales));
    s.actual = g.SucursalActual;
    s.clave = shell::ClaveArchivos();
    List1->addItems(ExistenciasOtrasSucursales(s, ClaveActual()));
}

void frmProductos::cmdProveedores_Click()
{
    if (!shell::TienePermiso(4, true))
        return;
    G().SeleccionCatalogo.clear();
    if (ClaveActual() == 0)
        return;
    G().ProductoProv = ClaveActual();
    G().CodigoProductoSel = QStringLiteral("PROVEEDORES PARA EL PRODUCTO: ") + capDescripcion->Text();
    AbreProdProveedores(midi_);
    G().ModoProdProv = 5;
}

void frmProductos::cmdRegresar_Click()
{
    // The supplier heading may still sit where the sale screen looks for a product code.
    if (ficha_->guardada())
        G().CodigoProductoSel = capCodigo->Text();
    if (QWidget* venta = shell::FormaCargada(QStringLiteral("frmVenta")))
        TraeAlFrente(venta);
    CierraForma(this);
}

void frmProductos::Activacion()
{
    if (shell::FormaAbiertaPorTitulo(QStringLiteral("Facturación.")))
        Text1->setFocus();
    if (G().ModoProdProv == 5)
        if (QWidget* enlaces = shell::FormaCargada(QStringLiteral("frmProdProveedores")))
            TraeAlFrente(enlaces);
}

void frmProductos::ConectaActivacion(QMdiArea* area)
{
    AlActivar(this, area, [this] { Activacion(); });
}

void frmProductos::keyPressEvent(QKeyEvent* e)
{
    if (!TeclaCatalogo(e, [this] { SiguienteCampoBusqueda(); }, [this] { cmdRegresar_Click(); }))
        QWidget::keyPressEvent(e);
}

bool frmProductos::eventFilter(QObject* o, QEvent* e)
{
    if (e->type() == QEvent::KeyPress) {
        const int tecla = static_cast<QKeyEvent*>(e)->key();
        if ((o == Text1 || o == gridClientes) && (tecla == Qt::Key_Return || tecla == Qt::Key_Enter)) {
            cmdRegresar_Click();
            return true;
        }
        if (o == Text1 && tecla == Qt::Key_F12) {
            Text1->clear();
            return true;
        }
        if (o == Text1 && tecla == Qt::Key_Down) {
            gridClientes->setFocus();
            return true;
        }
        if (o == Combo1 && !static_cast<QKeyEvent*>(e)->text().isEmpty()) {
            return true;  // the list takes no typed keys
        }
    } else if (o == Image1 && e->type() == QEvent::MouseButtonDblClick) {
        EligeImagenProducto();
        return true;
    } else if (o == Image1 && e->type() == QEvent::MouseButtonRelease) {
        Image1_Click();
        return true;
    } else if (o == Text1 && e->type() == QEvent::FocusIn) {
        ColorBusqueda(Text1);
    } else if (o == cmdBuscar && e->type() == QEvent::FocusIn) {
        Cuenta();
    }
    return QWidget::eventFilter(o, e);
}

frmProductos* AbreProductos(shell::MIDI* midi)
{
    auto* forma = shell::Forma<frmProductos>();
    if (!forma->Abierto()) {
        forma->close();
        return nullptr;
    }
    forma->setMIDI(midi);
    if (midi) {
        forma->ConectaActivacion(midi->areaMDI());
        midi->MuestraEnMDI(forma);
    } else {
        forma->show();
    }
    TraeAlFrente(forma);
    forma->Text1->setFocus();
    return forma;
}

}  // namespace catalogos
