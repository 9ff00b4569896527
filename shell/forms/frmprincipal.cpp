#include "shell/forms/frmprincipal.h"

#include "shell/arranque.h"
#include "shell/estado.h"
#include "shell/forms/midi.h"
#include "shell/rutas.h"

#include <QApplication>
#include <QCloseEvent>
#include <QImageReader>
#include <QKeyEvent>
#include <QLabel>
#include <QPixmap>
#include <QVBoxLayout>

namespace shell {

frmPrincipal::frmPrincipal(MIDI* midi, QWidget* parent) : QWidget(parent), midi_(midi) {
    setObjectName(QStringLiteral("frmPrincipal"));
    setFocusPolicy(Qt::StrongFocus);
    lblNombreEmp_ = new QLabel(this);
    lblNombreEmp_->setObjectName(QStringLiteral("lblNombreEmp"));
    lblNombreEmp_->setAlignment(Qt::AlignCenter);
    QFont f = lblNombreEmp_->font();
    f.setPointSize(22);
    f.setBold(true);
    lblNombreEmp_->setFont(f);
    lblNombreEmp_->setWordWrap(true);

    image1_ = new QLabel(this);
    image1_->setObjectName(QStringLiteral("Image1"));
    image1_->setAlignment(Qt::AlignCenter);
    image1_->setMinimumSize(200, 150);
    image1_->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Ignored);

    auto* lay = new QVBoxLayout(this);
    lay->addWidget(lblNombreEmp_);
    lay->addWidget(image1_, 1);
    resize(1000, 700);
}

bool frmPrincipal::Carga() {
    G().ProductoPendiente = 0;
    if (!LeeDireccion(RutaAplicacion())) return false;
    // Paint before the slow reads.
    show();
    QApplication::processEvents();
    CargaLogo();
    return LecturasArranque();
}

void frmPrincipal::CargaLogo() {
    const QString ruta = BuscaRuta(UnirRuta(RutaAplicacion(), QStringLiteral("Logo.bmp")));
    QImageReader lector(ruta);
    const QImage img = lector.read();
    if (img.isNull()) {
        image1_->clear();
        return;
    }
    image1_->setPixmap(QPixmap::fromImage(img).scaled(994, 650, Qt::KeepAspectRatio, Qt::SmoothTransformation));
}

void frmPrincipal::closeEvent(QCloseEvent* e) {
    if (midi_ && !midi_->cerrando()) {
        e->ignore();
        return;
    }
    QWidget::closeEvent(e);
}

void frmPrincipal::keyPressEvent(QKeyEvent* e) {
    int codigo = 0;
    switch (e->key()) {
    case Qt::Key_Control: codigo = 17; break;
    case Qt::Key_Alt: codigo = 18; break;
    case Qt::Key_T: codigo = 84; break;
    default: codigo = e->key() & 0xff; if (codigo == 17 || codigo == 18 || codigo == 84) codigo = 1; break;
    }
    if (secuencia_.tecla(codigo) && midi_) midi_->Ventadiaria2();
    QWidget::keyPressEvent(e);
}

}  // namespace shell
