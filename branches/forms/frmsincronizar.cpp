#include "branches/forms/frmsincronizar.h"

#include "branches/catalogo.h"
#include "branches/forms/campos.h"
#include "branches/sincronizar.h"
#include "platform/ui/filechooser.h"
#include "platform/ui/prompts.h"
#include "shell/avisos.h"
#include "shell/estado.h"
#include "shell/forms/formas.h"
#include "shell/forms/midi.h"

#include <QCheckBox>
#include <QDir>
#include <QFormLayout>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStyle>
#include <QToolButton>
#include <QVBoxLayout>

namespace sucursales {

frmSincronizar::frmSincronizar(QWidget* parent, ui::Prompts* prompts, ui::FileChooser* chooser)
    : QWidget(parent), prompts_(prompts), chooser_(chooser)
{
    setObjectName(QStringLiteral("frmSincronizar"));
    setWindowTitle(QStringLiteral("Sincronizar Bases."));
    auto* raiz = new QVBoxLayout(this);
    auto* explica = new QLabel(
        QStringLiteral("Este proceso comprueba los valores de cada tabla o registro para que esten actualizados con el "
                       "archivo de base de datos externo que le indiquemos y asi estar seguros que tenemos la ultima "
                       "actualizacion del programa en la base de datos."),
        this);
    explica->setWordWrap(true);
    raiz->addWidget(explica);

    auto* g = new QGridLayout;
    txtOrigen = new QLineEdit(this);
    txtOrigen->setObjectName(QStringLiteral("txtOrigen"));
    txtDestino = new QLineEdit(this);
    txtDestino->setObjectName(QStringLiteral("txtDestino"));
    cmdExplorar = new QPushButton(QStringLiteral("Explorar..."), this);
    Image1 = new QToolButton(this);
    Image1->setObjectName(QStringLiteral("Image1"));
    Image1->setIcon(style()->standardIcon(QStyle::SP_BrowserReload));
    Image1->setToolTip(QStringLiteral("Intercambiar origen y destino."));
    g->addWidget(new QLabel(QStringLiteral("Bases a Origen:"), this), 0, 0);
    g->addWidget(txtOrigen, 0, 1);
    g->addWidget(cmdExplorar, 0, 2);
    g->addWidget(Image1, 0, 3, 2, 1);
    g->addWidget(new QLabel(QStringLiteral("Base destino:"), this), 1, 0);
    g->addWidget(txtDestino, 1, 1, 1, 2);
    g->setColumnStretch(1, 1);
    raiz->addLayout(g);

    auto* casillas = new QHBoxLayout;
    chkCopiaCatalogo = new QCheckBox(QStringLiteral("Migrar y extraer datos desde..."), this);
    // Two boxes of one caption could not be told apart: this one says what it does.
    chkMigrar = new QCheckBox(QStringLiteral("Migrar sin Actualizar"), this);
    chkMigrar->setToolTip(QStringLiteral("Compara las bases y ejecuta las consultas sin cambiar la estructura de la base destino."));
    chkActualizar = new QCheckBox(QStringLiteral("Actualizar"), this);
    for (QCheckBox* c : {chkCopiaCatalogo, chkMigrar, chkActualizar}) casillas->addWidget(c);
    casillas->addStretch(1);
    raiz->addLayout(casillas);

    lstCatalogos = new QListWidget(this);
    lstCatalogos->setObjectName(QStringLiteral("lstCatalogos"));
    lstCatalogos->setVisible(false);
    lstCatalogos->installEventFilter(this);
    raiz->addWidget(lstCatalogos);
    auto* textos = new QFormLayout;
    txtConsultas = new QPlainTextEdit(this);
    txtConsultas->setObjectName(QStringLiteral("txtConsultas"));
    Text2 = new QPlainTextEdit(this);
    Text2->setObjectName(QStringLiteral("Text2"));
    Text2->setReadOnly(true);
    textos->addRow(QStringLiteral("Consultas:"), txtConsultas);
    textos->addRow(QStringLiteral("Resultado:"), Text2);
    raiz->addLayout(textos, 1);

    auto* botones = new QHBoxLayout;
    botones->addStretch(1);
    cmdSincronizar = new QPushButton(QStringLiteral("Sincronizar"), this);
    cmdCerrar = new QPushButton(QStringLiteral("Cerrar"), this);
    for (QPushButton* b : {cmdExplorar, cmdSincronizar, cmdCerrar}) {
        b->setAutoDefault(false);
        if (b != cmdExplorar) botones->addWidget(b);
    }
    raiz->addLayout(botones);

    connect(cmdExplorar, &QPushButton::clicked, this, &frmSincronizar::cmdExplorar_Click);
    connect(Image1, &QToolButton::clicked, this, &frmSincronizar::Image1_Click);
    connect(chkCopiaCatalogo, &QCheckBox::clicked, this, &frmSincronizar::chkCopiaCatalogo_Click);
    connect(chkMigrar, &QCheckBox::clicked, chkActualizar, [this] { chkActualizar->setChecked(false); });
    connect(chkActualizar, &QCheckBox::clicked, chkMigrar, [this](bool on) { if (on) chkMigrar->setChecked(false); });
    connect(cmdSincronizar, &QPushButton::clicked, this, &frmSincronizar::cmdSincronizar_Click);
    connect(cmdCerrar, &QPushButton::clicked, this, &QWidget::close);
}

ui::Prompts& frmSincronizar::prompts() const { return prompts_ ? *prompts_ : ui::defaultPrompts(); }
ui::FileChooser& frmSincronizar::chooser() const { return chooser_ ? *chooser_ : ui::defaultFileChooser(); }

QString frmSincronizar::BuscaRuta()
{
    const QString ruta = chooser().openFile(QStringLiteral("Base de datos de referencia"), QDir::homePath(),
                                            QStringLiteral("Bases de datos (*.db);;Todos los archivos (*)"));
    return ConExtensionBD(ruta);
}

void frmSincronizar::cmdExplorar_Click()
{
    const QString ruta = BuscaRuta();
    if (ruta.isEmpty()) return;
    txtOrigen->setText(ruta);
    txtDestino->setText(EstableceDestino(ruta, G().SucursalSinc));
}

void frmSincronizar::Image1_Click()
{
    const QString o = txtOrigen->text();
    txtOrigen->setText(txtDestino->text());
    txtDestino->setText(o);
}

void frmSincronizar::chkCopiaCatalogo_Click()
{
    chkActualizar->setChecked(false);
    const QString ruta = BuscaRuta();
    if (!ruta.isEmpty()) txtOrigen->setText(ruta);
    prompts().message(QStringLiteral("En la lista se muestran los catalogos que puedes sincronizar, puedes eliminar de la "
                                     "lista con la tecla 'Delete' y despues presiona el boton Sincronizar para hacer la "
                                     "extraccion de los catalogos."),
                      ui::Icon::None);
    lstCatalogos->setVisible(true);
    lstCatalogos->clear();
    lstCatalogos->addItems(ListaCatalogosSinc(txtDestino->text()));
}

bool frmSincronizar::eventFilter(QObject* o, QEvent* e)
{
    if (o == lstCatalogos && e->type() == QEvent::KeyPress && static_cast<QKeyEvent*>(e)->key() == Qt::Key_Delete) {
        delete lstCatalogos->currentItem();
        return true;
    }
    return QWidget::eventFilter(o, e);
}

void frmSincronizar::cmdSincronizar_Click()
{
    // The files are closed before they are compared. The branch catalogue, which opens this form,
    // asks for its file at each read and may stay open.
    if (!shell::SinVentanasAbiertas(prompts(), {this, shell::FormaCargada(QStringLiteral("frmSucursales"))})) return;
    ResultadoSinc r;
    if (chkCopiaCatalogo->isChecked()) {
        QStringList tablas;
        for (int i = 0; i < lstCatalogos->count(); ++i) tablas << lstCatalogos->item(i)->text();
        r = CopiaCatalogos(txtDestino->text(), txtOrigen->text(), tablas, prompts());
    } else {
        Text2->clear();
        r = MigraYProcesa(txtDestino->text(), txtOrigen->text(), chkActualizar->isChecked(), txtConsultas->toPlainText(),
                          prompts(), esc_.espera([](const QString& texto) { shell::PonEstado(2, texto); }));
    }
    if (!r.abierto) return;
    QString texto = r.log;
    if (texto.isEmpty() && !chkCopiaCatalogo->isChecked()) texto = QStringLiteral("Sin diferencias con el origen.\r\n");
    texto += r.consultas + QStringLiteral("Proceso terminado.\r\n");
    // The log keeps the CR LF line ends; the box shows plain lines.
    Text2->setPlainText(Text2->toPlainText() + texto.replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
}

frmSincronizar* AbreSincronizar(shell::MIDI* midi) { return AbreForma<frmSincronizar>(midi); }

}  // namespace sucursales
