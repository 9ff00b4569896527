#include "catalogs/forms/frmpreciocredito.h"

#include "capture_control/ccaptura.h"
#include "catalogs/forms/campos.h"
#include "catalogs/forms/comun.h"
#include "catalogs/preciocredito.h"
#include "platform/ui/prompts.h"
#include "shell/conexion.h"
#include "shell/forms/ficha.h"
#include "shell/forms/formas.h"
#include "shell/menu.h"
#include "shell/rutinas_bd.h"

#include <QHBoxLayout>
#include <QPushButton>
#include <QStandardItemModel>
#include <QTableView>
#include <QTimer>
#include <QVBoxLayout>

namespace catalogos {

frmPreciosCredito::frmPreciosCredito(QWidget* parent, db::Database* codigos, ui::Prompts* prompts)
    : QWidget(parent), codigos_(codigos), prompts_(prompts)
{
    setObjectName(QStringLiteral("frmPreciosCredito"));
    setWindowTitle(QString::fromUtf8("Precios a crédito. "));
    auto* raiz = new QVBoxLayout(this);
    auto* alta = new QHBoxLayout;
    capCodigo = kestril::CreaCampoCaptura(this, QStringLiteral("capCodigo"), QString::fromUtf8("Código de barras:"), 30);
    cmdInsertar = new QPushButton(QStringLiteral("&Insertar"), this);
    cmdInsertar->setObjectName(QStringLiteral("cmdInsertar"));
    alta->addWidget(capCodigo, 1);
    alta->addWidget(cmdInsertar, 0, Qt::AlignBottom);
    raiz->addLayout(alta);

    modelo_ = new QStandardItemModel(this);
    DBGrid1 = GridEditable(this, QStringLiteral("DBGrid1"), modelo_);
    FuenteParametro(DBGrid1);
    raiz->addWidget(DBGrid1, 1);

    auto* botones = new QHBoxLayout;
    cmdCerrar = new QPushButton(QStringLiteral("&Cerrar"), this);
    cmdCerrar->setObjectName(QStringLiteral("cmdCerrar"));
    botones->addStretch(1);
    botones->addWidget(cmdCerrar);
    raiz->addLayout(botones);

    connect(cmdInsertar, &QPushButton::clicked, this, &frmPreciosCredito::cmdInsertar_Click);
    connect(cmdCerrar, &QPushButton::clicked, this, &frmPreciosCredito::cmdCerrar_Click);
    connect(capCodigo, &CCaptura::Enter, this, &frmPreciosCredito::cmdInsertar_Click);
    connect(modelo_, &QStandardItemModel::itemChanged, this, &frmPreciosCredito::CeldaCambiada);
    connect(DBGrid1->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex& actual, const QModelIndex& anterior) {
                // After the grid has finished moving: going back from inside the move would leave
                // the selection on the row clicked.
                if (anterior.isValid() && actual.row() != anterior.row() && pendientes_.contains(anterior.row()))
                    QTimer::singleShot(0, this, [this] { RevisaPendiente(); });
            });

    ficha_ = new shell::Ficha(this, [this]() -> ui::Prompts& { return this->prompts(); }, {capCodigo});
    ActualizaConsulta();
}

db::Database* frmPreciosCredito::Codigos() const { return codigos_ ? codigos_ : shell::BDCodigos(); }

ui::Prompts& frmPreciosCredito::prompts() const { return prompts_ ? *prompts_ : ui::defaultPrompts(); }

void frmPreciosCredito::ActualizaConsulta()
{
    db::Error e;
    db::Database* bd = Codigos();
    std::optional<db::Rows> filas;
    if (bd)
        filas = ConsultaPrecios(*bd, FiltroPrecios, &e);
    if (!filas) {
        shell::MuestraErrorBD(e);
        filas = db::Rows{};
    }
    llenando_ = true;
    LlenaModelo(modelo_, *filas);
    TitulosLegibles(modelo_);
    pendientes_.clear();
    ficha_->Muestra({});
    productos_.clear();
    for (const db::Row& r : *filas)
        productos_ << r.integer(QStringLiteral("Producto"));
    // Only the plan's amounts take typing.
    for (int col = 0; col < modelo_->columnCount(); ++col) {
        const bool editable =
            CamposEditablesPlan().contains(Campo(col), Qt::CaseInsensitive);
        const bool importe = editable && Campo(col) != QLatin1String("Periododepago");
        for (int fila = 0; fila < modelo_->rowCount(); ++fila) {
            QStandardItem* celda = modelo_->item(fila, col);
            celda->setEditable(editable);
            // Amounts as a person types them back: two decimals, no thousands separator.
            if (importe)
                celda->setText(QString::number((*filas)[size_t(fila)].value(col).toDouble(), 'f', 2));
        }
    }
    llenando_ = false;
    FormatoGrid();
}

void frmPreciosCredito::FormatoGrid()
{
    AnchosColumnas(DBGrid1,
                   {{QStringLiteral("Descripcion"), 3000},
                    {QStringLiteral("PrecioCredito"), 1500},
                    {QStringLiteral("Anticipo"), 1000},
                    {QStringLiteral("ImportePago"), 1000},
                    {QStringLiteral("Periododepago"), 1000}},
                   true);
    shell::GridLegible(DBGrid1);
}

int frmPreciosCredito::FilaDeProducto(qint64 producto) const { return int(productos_.indexOf(producto)); }

int frmPreciosCredito::Columna(const QString& campo) const
{
    for (int c = 0; c < modelo_->columnCount(); ++c)
        if (Campo(c) == campo)
            return c;
    return -1;
}

QString frmPreciosCredito::Campo(int columna) const
{
    return modelo_->headerData(columna, Qt::Horizontal, Qt::UserRole).toString();
}

void frmPreciosCredito::MuestraPlan(int fila, const QVariantMap& valores)
{
    llenando_ = true;
    for (auto it = valores.cbegin(); it != valores.cend(); ++it) {
        const int col = Columna(it.key());
        if (QStandardItem* celda = col >= 0 ? modelo_->item(fila, col) : nullptr)
            celda->setText(it.value().typeId() == QMetaType::Double ? QString::number(it.value().toDouble(), 'f', 2)
                                                                    : it.value().toString());
    }
    llenando_ = false;
}

void frmPreciosCredito::CeldaCambiada(QStandardItem* celda)
{
    if (llenando_ || !celda || celda->row() >= productos_.size())
        return;
    db::Database* bd = Codigos();
    if (!bd)
        return;
    const QString campo = Campo(celda->column());
    const int fila = celda->row();
    const qint64 producto = productos_.at(fila);
    // The row is checked as a whole: typed left to right, the credit price comes before the
    // instalment it needs.
    QMap<QString, QString> tecleado = pendientes_.value(fila);
    tecleado.insert(campo, celda->text());
    const bool permitido = shell::PuedeEscribir(QStringLiteral("PreciosCredito"), prompts());
    const CambioPlan c = permitido ? GrabaPlan(*bd, producto, tecleado) : CambioPlan{};
    if (c.ok) {
        pendientes_.remove(fila);
        MuestraPlan(fila, c.valores);
        if (pendientes_.isEmpty())
            ficha_->Muestra({});
        return;
    }
    if (c.incompleto) {
        pendientes_.insert(fila, tecleado);
        ficha_->Modifica();
        return;
    }
    if (permitido)
        prompts().message(c.mensaje, ui::Icon::Information);
    // The cell shows what it held before the refused text: what was typed before, or the stored value.
    if (pendientes_.value(fila).contains(campo)) {
        llenando_ = true;
        celda->setText(pendientes_.value(fila).value(campo));
        llenando_ = false;
    } else if (auto plan = ConsultaPrecios(*bd, producto); plan && !plan->empty()) {
        QVariantMap guardado;
        guardado.insert(campo, plan->front().value(campo));
        MuestraPlan(fila, guardado);
    }
}

bool frmPreciosCredito::RevisaPendiente()
{
    if (pendientes_.isEmpty())
        return true;
    const int fila = pendientes_.constBegin().key();
    db::Database* bd = Codigos();
    if (!bd || fila >= productos_.size())
        return true;
    if (!shell::PuedeEscribir(QStringLiteral("PreciosCredito"), prompts()))
        return false;
    const CambioPlan c = GrabaPlan(*bd, productos_.at(fila), pendientes_.value(fila));
    if (c.ok) {
        pendientes_.remove(fila);
        MuestraPlan(fila, c.valores);
        return true;
    }
    prompts().message(c.mensaje, ui::Icon::Information);
    const int col = Columna(c.campo);
    const QModelIndex celda = modelo_->index(fila, col >= 0 ? col : 0);
    DBGrid1->setCurrentIndex(celda);
    DBGrid1->scrollTo(celda);
    DBGrid1->setFocus();
    return false;
}

void frmPreciosCredito::cmdInsertar_Click()
{
    db::Database* bd = Codigos();
    if (!bd || !RevisaPendiente() || !shell::PuedeEscribir(QStringLiteral("PreciosCredito"), prompts()))
        return;
    const ResultadoAlta r = InsertaPlan(*bd, capCodigo->Text());
    if (r.resultado == AltaPlan::SinCodigo || r.resultado == AltaPlan::Fallo) {
        prompts().message(r.mensaje, r.resultado == AltaPlan::Fallo ? ui::Icon::Critical : ui::Icon::Information);
        capCodigo->SetFocus();
        return;
    }
    if (r.resultado == AltaPlan::YaExiste)
        prompts().message(r.mensaje, ui::Icon::Information);
    if (FilaDeProducto(r.producto) < 0) {
        // A filter on another product would hide it.
        if (FiltroPrecios && *FiltroPrecios != r.producto)
            FiltroPrecios.reset();
        ActualizaConsulta();
    }
    const int fila = FilaDeProducto(r.producto);
    if (fila >= 0) {
        int col = 0;
        for (int c = 0; c < modelo_->columnCount(); ++c)
            if (Campo(c) == QLatin1String("PrecioCredito"))
                col = c;
        DBGrid1->setCurrentIndex(modelo_->index(fila, col));
        DBGrid1->scrollTo(modelo_->index(fila, col));
        DBGrid1->setFocus();
    }
}

void frmPreciosCredito::cmdCerrar_Click()
{
    if (!pendientes_.isEmpty() && !RevisaPendiente()
        && prompts().question(QString::fromUtf8("¿Desea cerrar sin guardar el precio a crédito incompleto?"))
               != ui::Answer::Yes)
        return;
    ficha_->Muestra({});  // the person answered: the close asks nothing more
    CierraForma(this);
}

frmPreciosCredito* AbrePreciosCredito(shell::MIDI* midi, std::optional<qint64> producto)
{
    auto* forma = shell::Forma<frmPreciosCredito>();
    forma->FiltroPrecios = producto;
    forma->ActualizaConsulta();
    MuestraForma(midi, forma);
    forma->DBGrid1->setFocus();
    return forma;
}

}  // namespace catalogos
