#include "folio_server/forms/frmmonitor.h"

#include <QCheckBox>
#include <QFileDialog>
#include <QFontMetrics>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

#include <algorithm>

namespace tarvex {

frmMonitor::frmMonitor(const QString& rutaDireccion, ui::Prompts& prompts, QWidget* parent)
    : QWidget(parent), prompts_(prompts), monitor_(rutaDireccion, prompts) {
    setWindowTitle(QStringLiteral("Monitor de Folios."));
    cmdBuscar = new QPushButton(QStringLiteral("Cambiar Ruta...."), this);
    cmdCerrar = new QPushButton(QStringLiteral("&Cerrar"), this);
    lblAdm = new QLineEdit(QStringLiteral("Administrando..."), this);
    lblAdm->setReadOnly(true);
    lblFolios = new QLabel(QStringLiteral("Folios:"), this);
    DBGrid1 = new QTableWidget(this);
    DBGrid1->setEditTriggers(QAbstractItemView::NoEditTriggers);
    chkimpresora = new QCheckBox(QStringLiteral("Impresión directa a impresora."), this);
    chkimpresora->setChecked(true);
    Label1 = new QLabel(QStringLiteral("..."), this);
    Label2 = new QLabel(QStringLiteral("Label2"), this);
    lblPendientes = new QLabel(this);
    List1 = new QListWidget(this);

    auto* botones = new QHBoxLayout;
    botones->addWidget(cmdBuscar);
    botones->addStretch();
    botones->addWidget(cmdCerrar);
    auto* estado = new QHBoxLayout;
    estado->addWidget(Label1, 1);
    estado->addWidget(lblPendientes);
    estado->addWidget(Label2);
    auto* l = new QVBoxLayout(this);
    l->addWidget(lblAdm);
    l->addWidget(lblFolios);
    l->addWidget(DBGrid1, 2);
    l->addWidget(chkimpresora);
    l->addLayout(estado);
    l->addWidget(List1, 1);
    l->addLayout(botones);
    resize(520, 480);

    elige_ = [this](const QString& inicio, const QString& titulo) {
        return QFileDialog::getOpenFileName(this, titulo, inicio);
    };
    monitor_.setVentana(this);
    connect(cmdBuscar, &QPushButton::clicked, this, [this] { cmdBuscar_Click(); });
    connect(cmdCerrar, &QPushButton::clicked, this, [this] { cmdCerrar_Click(); });
    connect(chkimpresora, &QCheckBox::toggled, this, [this] { actualizaDestino(); });
    connect(&monitor_, &Monitor::cambio, this, [this] { refresca(); });
    actualizaDestino();
    definecol1();
}

void frmMonitor::setCarpetaPdf(const QString& carpeta) {
    carpetaPdf_ = carpeta;
    actualizaDestino();
}

void frmMonitor::actualizaDestino() {
    DestinoFactura d;
    if (!carpetaPdf_.isEmpty()) {
        d.destino = report::Destination::Pdf;
        d.carpetaPdf = carpetaPdf_;
    } else {
        d.destino = chkimpresora->isChecked() ? report::Destination::Printer
                                              : report::Destination::Preview;
    }
    monitor_.setDestino(d);
}

void frmMonitor::definecol1() {
    DBGrid1->setColumnCount(3);
    DBGrid1->setHorizontalHeaderLabels(
        {QStringLiteral("NumeroFolio"), QStringLiteral("ValorFolio"), QStringLiteral("Descripcion")});
    // The narrow number columns of the old grid (500 and 950 twips), widened to fit their titles.
    const QFontMetrics fm(DBGrid1->horizontalHeader()->font());
    DBGrid1->setColumnWidth(0, std::max(500 / 15, fm.horizontalAdvance(QStringLiteral("NumeroFolio")) + 16));
    DBGrid1->setColumnWidth(1, std::max(950 / 15, fm.horizontalAdvance(QStringLiteral("ValorFolio")) + 16));
    DBGrid1->verticalHeader()->setDefaultSectionSize(fm.height() + 6);
    DBGrid1->horizontalHeader()->setStretchLastSection(true);
    DBGrid1->horizontalHeader()->setSectionsMovable(false);
    DBGrid1->verticalHeader()->setVisible(false);
}

void frmMonitor::refresca() {
    const EstadoMonitor& e = monitor_.estado();
    if (monitor_.sucursal())
        lblAdm->setText(e.CarpetaSucursal + QStringLiteral(" en ") + e.CarpetaBase);
    Label1->setText(monitor_.aviso());
    Label2->setText(QString::number(e.ContadorTicks));
    lblPendientes->setText(QStringLiteral("En espera: %1").arg(monitor_.Pendientes()));
    const QStringList& log = monitor_.log();
    for (; lineasMostradas_ < log.size(); ++lineasMostradas_) List1->addItem(log.at(lineasMostradas_));

    const db::Rows folios = monitor_.Folios();
    DBGrid1->setRowCount(static_cast<int>(folios.size()));
    for (int i = 0; i < static_cast<int>(folios.size()); ++i) {
        for (int c = 0; c < 3; ++c) {
            const QString t = folios[static_cast<size_t>(i)].value(c).toString();
            QTableWidgetItem* it = DBGrid1->item(i, c);
            if (!it) DBGrid1->setItem(i, c, it = new QTableWidgetItem);
            if (it->text() != t) it->setText(t);
        }
    }
}

void frmMonitor::cmdBuscar_Click() {
    const EstadoMonitor& e = monitor_.estado();
    const QString nombre = elige_(e.CarpetaBase,
                                  QStringLiteral("Ruta del archivo Direccion.mdb en la ruta del "
                                                 "ejecutable del programa."));
    if (nombre.isEmpty()) return;  // cancelled: nothing changes
    lblAdm->setText(nombre);
    const QString aviso = ValidaArchivo(nombre);
    if (!aviso.isEmpty()) {
        prompts_.message(aviso, ui::Icon::Critical, windowTitle());
        return;
    }
    const QString tecleado = prompts_.input(QStringLiteral("Teclee el número de sucursal a administrar"),
                                            QStringLiteral("Número de sucursal."),
                                            QString::number(e.NumSucursal));
    if (tecleado.trimmed().isEmpty()) return;
    int n = 0;
    QString error;
    if (!ValidaNumeroSucursal(tecleado, &n, &error)) {
        prompts_.message(error, ui::Icon::Warning, windowTitle());
        return;
    }
    if (prompts_.question(QStringLiteral("Se va intentar establecer la nueva ruta a administrar, continuar ?"),
                          QStringLiteral("Confirmar.")) != ui::Answer::Yes)
        return;
    monitor_.CambiaRuta(CarpetaDeArchivo(nombre), n);
    refresca();
}

void frmMonitor::cmdCerrar_Click() { close(); }

}  // namespace tarvex
