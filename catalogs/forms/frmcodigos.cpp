#include "catalogs/forms/frmcodigos.h"

#include "catalogs/forms/campos.h"
#include "catalogs/forms/comun.h"

#include "platform/ui/prompts.h"
#include "shell/conexion.h"
#include "shell/forms/ficha.h"
#include "shell/forms/formas.h"
#include "shell/menu.h"
#include "shell/rutinas_bd.h"
#include "shell/texto.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QPushButton>
#include <QStandardItemModel>
#include <QTableView>
#include <QVBoxLayout>

namespace catalogos {

frmTablaCodigos::frmTablaCodigos(TipoTabla tipo, QWidget* parent, db::Database* codigos,
                                 ui::Prompts* prompts)
    : QWidget(parent), tabla_(DefinicionTabla(tipo)), codigos_(codigos), prompts_(prompts)
{
    setObjectName(tabla_.forma);
    setWindowTitle(tabla_.titulo);

    auto* raiz = new QVBoxLayout(this);
    modelo_ = new QStandardItemModel(this);
    DBGrid1 = GridEditable(this, QStringLiteral("DBGrid1"), modelo_);
    DBGrid1->horizontalHeader()->setStretchLastSection(true);
    raiz->addWidget(DBGrid1, 1);

    auto* botones = new QHBoxLayout;
    cmdBorrar = new QPushButton(QStringLiteral("&Borrar"), this);
    cmdBorrar->setObjectName(QStringLiteral("cmdBorrar"));
    Command1 = new QPushButton(QStringLiteral("&Cerrar"), this);
    Command1->setObjectName(QStringLiteral("Command1"));
    botones->addStretch(1);
    botones->addWidget(cmdBorrar);
    botones->addWidget(Command1);
    raiz->addLayout(botones);

    connect(cmdBorrar, &QPushButton::clicked, this, &frmTablaCodigos::cmdBorrar_Click);
    connect(Command1, &QPushButton::clicked, this, &frmTablaCodigos::Command1_Click);
    connect(modelo_, &QStandardItemModel::itemChanged, this, &frmTablaCodigos::CeldaCambiada);

    // The card is the blank last row: a row typed there but not complete yet is the new record.
    ficha_ = new shell::Ficha(this, [this]() -> ui::Prompts& { return this->prompts(); });
    if (tabla_.fuenteParametro)
        FuenteParametro(DBGrid1);
    Carga();
}

db::Database* frmTablaCodigos::Codigos() const { return codigos_ ? codigos_ : shell::BDCodigos(); }

ui::Prompts& frmTablaCodigos::prompts() const { return prompts_ ? *prompts_ : ui::defaultPrompts(); }

void frmTablaCodigos::Carga()
{
    llenando_ = true;
    modelo_->clear();
    modelo_->setHorizontalHeaderLabels({QStringLiteral("Clave"), QString::fromUtf8("Descripción")});
    claves_.clear();
    descripciones_.clear();
    llenando_ = false;
    db::Database* bd = Codigos();
    db::Error e;
    std::optional<db::Rows> filas;
    if (bd)
        filas = LeeCodigos(*bd, tabla_, &e);
    if (!filas) {
        shell::MuestraErrorBD(e);
        return;
    }
    for (const db::Row& r : *filas) {
        const int fila = modelo_->rowCount();
        llenando_ = true;
        modelo_->insertRow(fila);
        llenando_ = false;
        PonFila(fila, r.integer(tabla_.clave), r.text(QStringLiteral("Descripcion")));
    }
    AgregaFilaNueva();
    ficha_->Muestra({});
    // Each description on one line, the table's whole width and its rows in sight.
    DBGrid1->resizeColumnsToContents();
    shell::GridLegible(DBGrid1, 1200, 12);
}

void frmTablaCodigos::PonFila(int fila, qint64 clave, const QString& descripcion)
{
    llenando_ = true;
    // The items stay (one of them may be the cell whose change is being handled): only their texts.
    for (int col = 0; col < 2; ++col)
        if (!modelo_->item(fila, col))
            modelo_->setItem(fila, col, new QStandardItem);
    modelo_->item(fila, 0)->setText(QString::number(clave));
    modelo_->item(fila, 1)->setText(descripcion);
    if (fila < claves_.size()) {
        claves_[fila] = clave;
        descripciones_[fila] = descripcion;
    } else {
        claves_.append(clave);
        descripciones_.append(descripcion);
    }
    llenando_ = false;
}

void frmTablaCodigos::AgregaFilaNueva()
{
    llenando_ = true;
    modelo_->appendRow({new QStandardItem(), new QStandardItem()});
    modelo_->setHeaderData(modelo_->rowCount() - 1, Qt::Vertical, QStringLiteral("*"));
    llenando_ = false;
}

void frmTablaCodigos::Restaura(int fila)
{
    llenando_ = true;
    if (fila < claves_.size()) {
        modelo_->item(fila, 0)->setText(QString::number(claves_[fila]));
        modelo_->item(fila, 1)->setText(descripciones_[fila]);
    } else {
        modelo_->item(fila, 0)->setText(QString());
    }
    llenando_ = false;
}

void frmTablaCodigos::CeldaCambiada(QStandardItem* celda)
{
    if (llenando_ || !celda)
        return;
    const int fila = celda->row();
    const QString clave = modelo_->item(fila, 0) ? modelo_->item(fila, 0)->text() : QString();
    const QString descripcion = modelo_->item(fila, 1) ? modelo_->item(fila, 1)->text() : QString();
    db::Database* bd = Codigos();
    if (!bd)
        return;
    const bool completa = !clave.trimmed().isEmpty() && !descripcion.trimmed().isEmpty();
    if ((fila < claves_.size() || completa) && !shell::PuedeEscribir(tabla_.permiso, prompts())) {
        if (fila < claves_.size())
            Restaura(fila);
        else
            ficha_->Modifica();
        return;
    }
    db::Error e;
    if (fila < claves_.size()) {
        if (descripcion.trimmed().isEmpty()) {
            prompts().message(shell::MensajeRequerido(QString::fromUtf8("Descripción")), ui::Icon::Information);
            Restaura(fila);
            return;
        }
        if (!CambiaCodigo(*bd, tabla_, claves_[fila], clave, descripcion, &e)) {
            shell::MuestraErrorBD(e);
            Restaura(fila);
            return;
        }
        PonFila(fila, *shell::EnteroTecleado(clave), descripcion);
        return;
    }
    // The blank last row: kept as typed until it has both its key and its description, then stored.
    if (clave.trimmed().isEmpty() || descripcion.trimmed().isEmpty()) {
        ficha_->Nueva();
        ficha_->Modifica();
        return;
    }
    if (!AgregaCodigo(*bd, tabla_, clave, descripcion, &e)) {
        // What was typed stays, so the person can correct the field named.
        shell::MuestraErrorBD(e);
        ficha_->Modifica();
        return;
    }
    ficha_->Muestra({});
    PonFila(fila, *shell::EnteroTecleado(clave), descripcion);
    modelo_->setHeaderData(fila, Qt::Vertical, QString::number(fila + 1));
    AgregaFilaNueva();
}

void frmTablaCodigos::cmdBorrar_Click()
{
    const int fila = DBGrid1->currentIndex().row();
    if (fila == claves_.size() && ficha_->nueva()) {
        // Only the row being typed goes; every stored row stays.
        llenando_ = true;
        for (int col = 0; col < 2; ++col)
            if (QStandardItem* celda = modelo_->item(fila, col))
                celda->setText(QString());
        llenando_ = false;
        ficha_->Descarta();
        return;
    }
    if (fila < 0 || fila >= claves_.size())
        return;  // no stored row under the cursor (an empty table, or the blank row)
    db::Database* bd = Codigos();
    if (!bd || !shell::PuedeEscribir(tabla_.permiso, prompts()))
        return;
    if (BorraCodigo(*bd, tabla_, claves_[fila], descripciones_[fila], prompts()) == Borrado::Borrado) {
        llenando_ = true;
        modelo_->removeRow(fila);
        llenando_ = false;
        claves_.removeAt(fila);
        descripciones_.removeAt(fila);
    }
}

void frmTablaCodigos::Command1_Click() { CierraForma(this); }

namespace {

template <class T>
frmTablaCodigos* Abre(shell::MIDI* midi, bool modal)
{
    auto* forma = shell::Forma<T>();
    if (modal) {
        forma->setWindowFlag(Qt::Dialog, true);
        forma->setWindowModality(Qt::ApplicationModal);
        MuestraForma(nullptr, forma);
    } else {
        MuestraForma(midi, forma);
    }
    forma->DBGrid1->setFocus();
    return forma;
}

}  // namespace

frmTablaCodigos* AbreTablaCodigos(shell::MIDI* midi, TipoTabla tipo)
{
    switch (tipo) {
    case TipoTabla::Categorias:
        return Abre<frmCategorias>(midi, true);
    case TipoTabla::TipoPago:
        return Abre<frmTipoPago>(midi, false);
    case TipoTabla::TipoCompra:
        return Abre<frmTipoCompra>(midi, false);
    case TipoTabla::TipoProducto:
        return Abre<frmTipoProducto>(midi, false);
    }
    return nullptr;
}

}  // namespace catalogos
