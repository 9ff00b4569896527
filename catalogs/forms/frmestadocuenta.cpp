#include "catalogs/forms/frmestadocuenta.h"

#include "catalogs/forms/campos.h"
#include "catalogs/forms/comun.h"
#include "platform/ui/prompts.h"
#include "shell/conexion.h"
#include "shell/forms/formas.h"
#include "shell/texto.h"

#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QStandardItemModel>
#include <QTableView>
#include <QVBoxLayout>

namespace catalogos {

namespace {

const QStringList kImportes{QStringLiteral("Total"), QStringLiteral("Importe"), QStringLiteral("Descuento")};
const QStringList kFechas{QStringLiteral("Fecha"), QStringLiteral("FechaVencimiento"), QStringLiteral("FechaPago")};

}  // namespace

frmEstadocuenta::frmEstadocuenta(QWidget* parent, db::Database* codigos, db::Database* sucursal,
                                 ui::Prompts* prompts)
    : QWidget(parent), codigos_(codigos), sucursal_(sucursal), prompts_(prompts)
{
    setObjectName(QStringLiteral("frmEstadocuenta"));
    setWindowTitle(QStringLiteral("Estado de cuenta del cliente."));
    auto* raiz = new QVBoxLayout(this);
    auto* arriba = new QHBoxLayout;
    DBCombo1 = new QComboBox(this);
    DBCombo1->setObjectName(QStringLiteral("DBCombo1"));
    Combo1 = new QComboBox(this);
    Combo1->setObjectName(QStringLiteral("Combo1"));
    Combo1->addItems({QStringLiteral("CLIENTE"), QStringLiteral("NUMEROVENTA")});
    cmdBuscar = new QPushButton(QStringLiteral("&Buscar"), this);
    cmdBuscar->setObjectName(QStringLiteral("cmdBuscar"));
    arriba->addWidget(new QLabel(QStringLiteral("Cliente:"), this));
    arriba->addWidget(DBCombo1, 1);
    arriba->addWidget(Combo1);
    arriba->addWidget(cmdBuscar);
    raiz->addLayout(arriba);

    modeloVentas_ = new QStandardItemModel(this);
    modeloDoctos_ = new QStandardItemModel(this);
    DBGrid2 = shell::GridLectura(this, QStringLiteral("DBGrid2"), modeloVentas_);
    DBGrid1 = shell::GridLectura(this, QStringLiteral("DBGrid1"), modeloDoctos_);
    raiz->addWidget(new QLabel(QString::fromUtf8("Ventas a crédito:"), this));
    raiz->addWidget(DBGrid2, 1);
    raiz->addWidget(new QLabel(QStringLiteral("Documentos:"), this));
    raiz->addWidget(DBGrid1, 2);

    auto* botones = new QHBoxLayout;
    Command1 = new QPushButton(QStringLiteral("&Imprimir Doctos"), this);
    Command1->setObjectName(QStringLiteral("Command1"));
    cmdCerrar = new QPushButton(QStringLiteral("&Regresar"), this);
    cmdCerrar->setObjectName(QStringLiteral("cmdCerrar"));
    botones->addStretch(1);
    botones->addWidget(Command1);
    botones->addWidget(cmdCerrar);
    raiz->addLayout(botones);

    // The customer list: Nombre shown, RFC kept.
    if (db::Database* bd = Codigos()) {
        db::Error e;
        if (auto clientes = bd->select(QStringLiteral("Select * from CClientexlista"), QVariantList{}, &e)) {
            for (const db::Row& c : *clientes)
                DBCombo1->addItem(c.text(QStringLiteral("Nombre")), c.text(QStringLiteral("RFC")));
        }
    }
    DBCombo1->setCurrentIndex(-1);

    connect(cmdBuscar, &QPushButton::clicked, this, &frmEstadocuenta::cmdBuscar_Click);
    connect(Command1, &QPushButton::clicked, this, &frmEstadocuenta::Command1_Click);
    connect(cmdCerrar, &QPushButton::clicked, this, &frmEstadocuenta::cmdCerrar_Click);
    connect(DBCombo1, &QComboBox::activated, this, &frmEstadocuenta::DBCombo1_Click);
    connect(DBGrid2->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex& actual) {
                if (llenando_ || !buscado_ || !actual.isValid())
                    return;
                ventas_.move(actual.row());
                MuestraDoctos();
            });
}

db::Database* frmEstadocuenta::Codigos() const { return codigos_ ? codigos_ : shell::BDCodigos(); }

db::Database* frmEstadocuenta::Sucursal() const { return sucursal_ ? sucursal_ : shell::BDSucursal(); }

ui::Prompts& frmEstadocuenta::prompts() const { return prompts_ ? *prompts_ : ui::defaultPrompts(); }

void frmEstadocuenta::DBCombo1_Click(int indice)
{
    if (indice < 0)
        return;
    RFCBuscado = DBCombo1->itemData(indice).toString();
    cmdBuscar_Click();
}

void frmEstadocuenta::VaciaDoctos()
{
    doctos_.clear();
    modeloDoctos_->clear();
}

void frmEstadocuenta::cmdBuscar_Click()
{
    db::Database* bd = Sucursal();
    if (!bd) {
        prompts().message(QStringLiteral("Error de búsqueda."), ui::Icon::Critical);
        Combo1->setCurrentIndex(0);
        return;
    }
    Busqueda b = BuscaEstadoCuenta(*bd, prompts(), RFCBuscado, [this] { VaciaDoctos(); });
    if (b.estado == Busqueda::Nada)
        return;
    if (b.estado == Busqueda::Error)
        Combo1->setCurrentIndex(0);
    llenando_ = true;
    LlenaModelo(modeloVentas_, b.ventas, kImportes, kFechas);
    TitulosLegibles(modeloVentas_);
    NombresDeCodigos(modeloVentas_, QStringLiteral("Status"), shell::NombreStatusDocumento);
    shell::GridLegible(DBGrid2);
    ventas_ = db::Cursor(std::move(b.ventas));
    buscado_ = true;
    llenando_ = false;
    if (ventas_.count() > 0)
        DBGrid2->selectionModel()->setCurrentIndex(modeloVentas_->index(0, 0),
                                                   QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
}

void frmEstadocuenta::MuestraDoctos()
{
    VaciaDoctos();
    db::Database* bd = Sucursal();
    if (!bd || ventas_.count() == 0)
        return;
    db::Error e;
    auto doctos = DoctosVenta(*bd, ventas_.current().integer(QStringLiteral("Numero")), &e);
    if (!doctos) {
        prompts().message(QStringLiteral("Error de búsqueda."), ui::Icon::Critical);
        return;
    }
    doctos_ = std::move(*doctos);
    LlenaModelo(modeloDoctos_, doctos_, kImportes, kFechas);
    TitulosLegibles(modeloDoctos_);
    NombresDeCodigos(modeloDoctos_, QStringLiteral("TipoDocto"),
                     {QString(), QStringLiteral("Anticipo"), QStringLiteral("Abono")});
    shell::GridLegible(DBGrid1);
}

void frmEstadocuenta::Command1_Click()
{
    const db::Row* venta = ventas_.count() > 0 && !ventas_.eof() ? &ventas_.current() : nullptr;
    ImprimeDoctos(venta, doctos_, prompts(), Destino, this);
}

void frmEstadocuenta::cmdCerrar_Click() { CierraForma(this); }

frmEstadocuenta* AbreEstadocuenta(shell::MIDI* midi)
{
    auto* forma = shell::Forma<frmEstadocuenta>();
    MuestraForma(midi, forma);
    return forma;
}

}  // namespace catalogos
