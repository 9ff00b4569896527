#include "shell/forms/frmlogin.h"

#include "capture_control/ccaptura.h"
#include "shell/avisos.h"
#include "shell/estado.h"
#include "shell/forms/formas.h"
#include "shell/login.h"

#include <QApplication>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>

namespace shell {

namespace {

QLabel* etiqueta(QWidget* padre, const char* nombre, const QString& texto) {
    auto* l = new QLabel(texto, padre);
    l->setObjectName(QString::fromLatin1(nombre));
    QPalette pal = l->palette();
    pal.setColor(QPalette::WindowText, Qt::white);
    l->setPalette(pal);
    return l;
}

}  // namespace

frmLogin::frmLogin(QWidget* parent, std::function<void()> salir) : QDialog(parent), salir_(std::move(salir)) {
    setObjectName(QStringLiteral("frmLogin"));
    setWindowTitle(QStringLiteral("Registro de usuarios."));
    setAttribute(Qt::WA_DeleteOnClose, false);

    QString error;
    captura_ = kestril::creaCCaptura(this, &error);
    if (captura_) {
        captura_->setCaption(QStringLiteral("Nombre de usuario:"));
        captura_->setMaxLength(0);
        captura_->setPosicionText(0);
        capNombre_ = captura_;
        // The field places its label and box itself: keep the height it was made with.
        captura_->setMinimumSize(220, captura_->height());
        QPalette pal = captura_->palette();
        pal.setColor(QPalette::WindowText, Qt::white);
        captura_->setPalette(pal);
        // By signature: the library is loaded at run time, not linked.
        connect(captura_, SIGNAL(Enter()), this, SLOT(nombreEnter()));
    } else {
        // Without the control library the name is still typed (in capitals) in a plain line.
        auto* caja = new QWidget(this);
        auto* lay = new QVBoxLayout(caja);
        lay->setContentsMargins(0, 0, 0, 0);
        lay->addWidget(etiqueta(caja, "lblNombre", QStringLiteral("Nombre de usuario:")));
        lineaNombre_ = new QLineEdit(caja);
        connect(lineaNombre_, &QLineEdit::textEdited, this, [this](const QString& t) {
            const int pos = lineaNombre_->cursorPosition();
            lineaNombre_->setText(t.toUpper());
            lineaNombre_->setCursorPosition(pos);
        });
        connect(lineaNombre_, &QLineEdit::returnPressed, this, [this] { txtPass_->setFocus(); });
        lay->addWidget(lineaNombre_);
        capNombre_ = caja;
    }
    capNombre_->setObjectName(QStringLiteral("capNombre"));

    txtPass_ = new QLineEdit(this);
    txtPass_->setObjectName(QStringLiteral("txtPass"));
    txtPass_->setEchoMode(QLineEdit::Password);
    txtPass_->setToolTip(QStringLiteral("Usuario default ADMIN contraseña default: KORVADIM"));

    cmdAceptar_ = new QPushButton(QStringLiteral("&Aceptar"), this);
    cmdAceptar_->setObjectName(QStringLiteral("cmdAceptar"));
    cmdAceptar_->setDefault(true);
    cmdCancelar_ = new QPushButton(QStringLiteral("&Cancelar"), this);
    cmdCancelar_->setObjectName(QStringLiteral("cmdCancelar"));
    connect(cmdAceptar_, &QPushButton::clicked, this, &frmLogin::cmdAceptar_Click);
    connect(cmdCancelar_, &QPushButton::clicked, this, &frmLogin::cmdCancelar_Click);

    auto* g = new QGridLayout(this);
    g->addWidget(capNombre_, 0, 0, 1, 2);
    g->addWidget(etiqueta(this, "Label1", QStringLiteral("Clave de Acceso:")), 1, 0, 1, 2);
    g->addWidget(txtPass_, 2, 0, 1, 2);
    g->addWidget(etiqueta(this, "Label2", QStringLiteral("Ayuda...")), 3, 0, 1, 2);
    g->addWidget(etiqueta(this, "Label3", QStringLiteral("Usuario Default: ADMIN")), 4, 0, 1, 2);
    g->addWidget(etiqueta(this, "Label4", QStringLiteral("Clave    Default: KORVADIM")), 5, 0, 1, 2);
    g->addWidget(cmdAceptar_, 6, 0);
    g->addWidget(cmdCancelar_, 6, 1);
    setMinimumWidth(360);

    RegistraForma(this);
    // The dialog's load.
    IniciaLogin();
}

QString frmLogin::NombreUsuario() const { return captura_ ? captura_->Text() : lineaNombre_->text(); }

void frmLogin::PonNombreUsuario(const QString& texto) {
    if (captura_) captura_->setText(texto);
    else lineaNombre_->setText(texto);
}

void frmLogin::cmdAceptar_Click() {
    if (Acepta(NombreUsuario(), txtPass_->text()) != ResultadoLogin::Aceptado) return;
    entro_ = true;
    accept();
}

void frmLogin::nombreEnter() { txtPass_->setFocus(); }

void frmLogin::cmdCancelar_Click() {
    if (salir_) salir_();
    else reject();
}

void frmLogin::done(int r) {
    QDialog::done(r);
    // Nobody logged in: the program ends.
    if (!entro_ && G().UsuarioActual.isEmpty()) TerminaPrograma();
}

void frmLogin::Degradado(QWidget* forma, QPainter& pintor) {
    const int ancho = forma->screen() ? forma->screen()->geometry().width() : forma->width();
    const double alto = forma->height() / 256.0;
    for (int i = 0; i < 256; ++i)
        pintor.fillRect(QRectF(0, i * alto, ancho, alto + 1), QColor(0, 0, 255 - i));
}

void frmLogin::paintEvent(QPaintEvent*) {
    QPainter pintor(this);
    Degradado(this, pintor);
}

bool frmLogin::Muestra(QWidget* parent, std::function<void()> salir) {
    QPointer<frmLogin> d = new frmLogin(parent, std::move(salir));
    d->exec();
    const bool entro = d && d->entro_;
    delete d.data();
    if (!entro && G().UsuarioActual.isEmpty() && !ProgramaTerminado()) TerminaPrograma();
    return entro;
}

}  // namespace shell
