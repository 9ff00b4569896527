#include "printing/forms/frmSolicParametros.h"

#include "printing/reporte_parametros.h"
#include "shell/estado.h"

#include <QComboBox>
#include <QDateEdit>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

using namespace printing;

namespace {

// A whole date typed as written, "10/12/2025": the edit moves to the next part by itself once the
// day or the month has its two digits, so the "/" typed right after must not move it once more
// (the year would then get the month's digits).
class CampoFecha : public QDateEdit {
public:
    using QDateEdit::QDateEdit;

protected:
    void keyPressEvent(QKeyEvent* e) override {
        const QString t = e->text();
        if (t == QLatin1String("/") || t == QLatin1String("-") || t == QLatin1String(".")) {
            const bool saltar = avanzo_;
            avanzo_ = false;
            if (saltar)
                return;
            QDateEdit::keyPressEvent(e);
            return;
        }
        const Section antes = currentSection();
        QDateEdit::keyPressEvent(e);
        avanzo_ = !t.isEmpty() && t.at(0).isDigit() && currentSection() != antes;
    }
    void focusInEvent(QFocusEvent* e) override {
        avanzo_ = false;
        QDateEdit::focusInEvent(e);
    }

private:
    bool avanzo_ = false;
};

}  // namespace

frmSolicParametros::frmSolicParametros(const QStringList& elementosCombo, QWidget* parent)
    : QDialog(parent) {
    setObjectName(QStringLiteral("frmSolicParametros"));
    setWindowTitle(QStringLiteral("Parámetros del reporte"));
    setModal(true);

    lstParametros = new QListWidget(this);
    lstParametros->setObjectName(QStringLiteral("lstParametros"));
    txtControl = new QLineEdit(this);
    txtControl->setObjectName(QStringLiteral("txtControl"));
    dtControl = new CampoFecha(this);
    dtControl->setObjectName(QStringLiteral("dtControl"));
    dtControl->setCalendarPopup(true);
    dtControl->setDisplayFormat(QStringLiteral("dd/MM/yyyy"));
    cmbParam = new QComboBox(this);
    cmbParam->setObjectName(QStringLiteral("cmbParam"));
    cmbParam->addItems(elementosCombo);
    lblDescripcion = new QLabel(this);
    lblDescripcion->setObjectName(QStringLiteral("lblDescripcion"));
    lblDescripcion->setWordWrap(true);
    cmdAceptar = new QPushButton(QStringLiteral("&Aceptar"), this);
    cmdAceptar->setObjectName(QStringLiteral("cmdAceptar"));
    cmdAceptar->setDefault(true);
    cmdCerrar = new QPushButton(QStringLiteral("&Cerrar"), this);
    cmdCerrar->setObjectName(QStringLiteral("cmdCerrar"));

    auto* editores = new QVBoxLayout;
    editores->addWidget(txtControl);
    editores->addWidget(dtControl);
    editores->addWidget(cmbParam);
    editores->addWidget(lblDescripcion);
    editores->addStretch();
    auto* arriba = new QHBoxLayout;
    arriba->addWidget(lstParametros, 1);
    arriba->addLayout(editores, 2);
    auto* botones = new QHBoxLayout;
    botones->addStretch();
    botones->addWidget(cmdAceptar);
    botones->addWidget(cmdCerrar);
    auto* todo = new QVBoxLayout(this);
    todo->addLayout(arriba);
    todo->addLayout(botones);
    resize(460, 220);

    // What the prompt shows for a Combo is what the report gets, opened or not.
    ResuelveCombos(elementosCombo);

    cargando_ = true;
    for (int f = 0; f < kFilasParametros; ++f)
        if (!NombreParametro(f).isEmpty())
            lstParametros->addItem(NombreParametro(f));
    cargando_ = false;
    txtControl->hide();
    dtControl->hide();
    cmbParam->hide();

    connect(lstParametros, &QListWidget::currentRowChanged, this, [this] { MuestraEditor(); });
    connect(txtControl, &QLineEdit::textChanged, this, [this] { GuardaValor(); });
    connect(dtControl, &QDateEdit::dateChanged, this, [this] { GuardaValor(); });
    connect(cmbParam, &QComboBox::currentIndexChanged, this, [this] { GuardaValor(); });
    connect(cmdAceptar, &QPushButton::clicked, this, [this] { cmdAceptar_Click(); });
    connect(cmdCerrar, &QPushButton::clicked, this, [this] { cmdCerrar_Click(); });
}

void frmSolicParametros::showEvent(QShowEvent* e) {
    QDialog::showEvent(e);
    if (lstParametros->count() > 0 && lstParametros->currentRow() < 0)
        lstParametros->setCurrentRow(0);
}

void frmSolicParametros::MuestraEditor() {
    const int fila = lstParametros->currentRow();
    cargando_ = true;
    txtControl->hide();
    dtControl->hide();
    cmbParam->hide();
    const QString tipo = TipoParametro(fila);
    const QString valor = ValorParametro(fila);
    QWidget* editor = nullptr;
    if (tipo == QLatin1String("Texto")) {
        txtControl->setText(valor);
        editor = txtControl;
    } else if (tipo == QLatin1String("Fecha")) {
        const QDate d = FechaDeTexto(valor);
        dtControl->setDate(d.isValid() ? d : QDate::currentDate());
        editor = dtControl;
    } else if (tipo == QLatin1String("Combo")) {
        QStringList elementos;
        for (int i = 0; i < cmbParam->count(); ++i)
            elementos << cmbParam->itemText(i);
        cmbParam->setCurrentIndex(elementos.isEmpty() ? -1 : IndiceCombo(valor, elementos));
        editor = cmbParam;
    }
    lblDescripcion->setText(DescripcionParametro(fila));
    cargando_ = false;
    if (editor) {
        editor->show();
        editor->setFocus();
        GuardaValor();  // a Fecha row left unset gets the date it shows
    }
}

void frmSolicParametros::GuardaValor() {
    if (cargando_)
        return;
    const int fila = lstParametros->currentRow();
    const QString tipo = TipoParametro(fila);
    if (tipo == QLatin1String("Texto"))
        PonValorParametro(fila, txtControl->text());
    else if (tipo == QLatin1String("Fecha"))
        PonValorParametro(fila, TextoFecha(dtControl->date()));
    else if (tipo == QLatin1String("Combo") && cmbParam->currentIndex() >= 0)
        PonValorParametro(fila, cmbParam->currentText());
}

void frmSolicParametros::cmdAceptar_Click() {
    G().ParamCancelado = 0;
    if (dtControl->isVisible())
        dtControl->interpretText();  // ends a date still being typed
    GuardaValor();
    accept();
}

void frmSolicParametros::cmdCerrar_Click() {
    G().ParamCancelado = 1;
    reject();
}

namespace printing {

bool SolicitaParametros(const QStringList& elementosCombo, QWidget* parent) {
    frmSolicParametros frm(elementosCombo, parent);
    frm.exec();
    return G().ParamCancelado == 0;
}

}  // namespace printing
