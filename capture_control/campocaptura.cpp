#include "capture_control/campocaptura.h"

#include "capture_control/distribucion.h"
#include "capture_control/teclas.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QGuiApplication>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QRegularExpression>

#include <limits>
#include <memory>

CCaptura::~CCaptura() = default;

namespace kestril {

namespace {

QFont fuenteDiseno(qreal puntos, bool negrita) {
    QFont f(QStringLiteral("MS Sans Serif"));
    f.setPointSizeF(puntos);
    f.setBold(negrita);
    return f;
}

QFont leeFuente(const QVariant& v, const QFont& siNo) {
    if (v.canConvert<QString>() && v.typeId() == QMetaType::QString) {
        QFont f;
        if (f.fromString(v.toString()))
            return f;
        return siNo;
    }
    if (v.typeId() == QMetaType::QFont)
        return v.value<QFont>();
    return siNo;
}

// A whole number from a saved value, or siNo when the value is missing, not a number or out of range.
int leeEntero(const QVariant& v, int minimo, int maximo, int siNo) {
    bool ok = false;
    const qlonglong n = v.toLongLong(&ok);
    return ok && n >= minimo && n <= maximo ? static_cast<int>(n) : siNo;
}

constexpr int kLimiteMaximo = 32767;

} // namespace

// ---------------------------------------------------------------------------------------------
// Text box

CajaCaptura::CajaCaptura(CampoCaptura* campo, QWidget* padre) : QLineEdit(padre), campo_(campo) {
    // The limit is held by the field itself (typing and pasting), so text set by the program is
    // never cut.
    QLineEdit::setMaxLength(kLimiteMaximo);
    setAcceptDrops(false);
}

int CajaCaptura::espacioLibre() const {
    const int limite = campo_->MaxLength();
    if (limite == 0)
        return std::numeric_limits<int>::max();
    return limite - (static_cast<int>(text().size()) - static_cast<int>(selectedText().size()));
}

void CajaCaptura::teclea(short codigo) {
    if (isReadOnly() || !isEnabled() || espacioLibre() <= 0)
        return;
    insert(QString(teclas::caracter(codigo)));
}

void CajaCaptura::pega(int modo) {
    if (isReadOnly() || !isEnabled())
        return;
    QString texto = QGuiApplication::clipboard()->text(static_cast<QClipboard::Mode>(modo));
    const qsizetype salto = texto.indexOf(QRegularExpression(QStringLiteral("[\r\n]")));
    if (salto >= 0)
        texto.truncate(salto);
    const int libre = espacioLibre();
    if (libre <= 0 && !hasSelectedText())
        return;
    if (texto.size() > libre)
        texto.truncate(std::max(0, libre));
    if (texto.isEmpty() && !hasSelectedText())
        return;
    insert(texto);
}

void CajaCaptura::keyPressEvent(QKeyEvent* e) {
    e->accept();
    short codigo = teclas::codigoTecla(e->key(), e->modifiers());
    if (codigo != 0) {
        short shift = teclas::mascaraShift(e->modifiers());
        const short codigoAntes = codigo;
        const short shiftAntes = shift;
        campo_->alKeyDown(codigo, shift);
        if (codigo == 0)
            return;
        if (codigo != codigoAntes || shift != shiftAntes) {
            // The host turned it into another key: the box gets that key, which types nothing.
            const int otra = teclas::teclaQt(codigo);
            if (otra == 0)
                return;
            QKeyEvent cambiada(QEvent::KeyPress, otra, teclas::modificadores(shift));
            teclaSinCaracter(&cambiada);
            return;
        }
    }
    const int caracter = teclas::codigoCaracter(e->key(), e->modifiers(), e->text());
    if (caracter < 0) {
        teclaSinCaracter(e);
        return;
    }
    procesaCaracter(caracter, e);
}

void CajaCaptura::procesaCaracter(int caracter, QKeyEvent* original) {
    const bool talCual = campo_->property(kPropiedadTalComoSeTeclea).toBool();
    short keyAscii = talCual ? static_cast<short>(caracter) : teclas::mayuscula(static_cast<short>(caracter));
    if (keyAscii == 13) {
        keyAscii = 0;
        campo_->alEnter();
    }
    campo_->alKeyPress(keyAscii);
    if (keyAscii == 0)
        return;
    if (teclas::imprimible(keyAscii)) {
        teclea(keyAscii);
        return;
    }
    // Control codes left as they came (Backspace, Escape, Ctrl+C, Ctrl+V...) do their usual work.
    if (original && keyAscii == caracter) {
        teclaSinCaracter(original);
        return;
    }
    if (keyAscii == 8) {
        QKeyEvent retroceso(QEvent::KeyPress, Qt::Key_Backspace, Qt::NoModifier);
        teclaSinCaracter(&retroceso);
    }
}

void CajaCaptura::teclaSinCaracter(QKeyEvent* e) {
    if (e->matches(QKeySequence::Paste)) {
        pega(QClipboard::Clipboard);
        e->accept();
        return;
    }
    // Anything else that would type reaches the box only through procesaCaracter.
    // (Characters outside the 16-bit codes, such as emoji, are upper-cased and typed whole.)
    const QString texto = e->text();
    if (!texto.isEmpty() && texto.at(0).category() != QChar::Other_Control &&
        !(e->modifiers() & (Qt::ControlModifier | Qt::AltModifier))) {
        if (!isReadOnly() && isEnabled() && espacioLibre() >= texto.size())
            insert(campo_->property(kPropiedadTalComoSeTeclea).toBool() ? texto : texto.toUpper());
        e->accept();
        return;
    }
    QLineEdit::keyPressEvent(e);
}

void CajaCaptura::inputMethodEvent(QInputMethodEvent* e) {
    // Composed characters (dead keys, input methods) count as typed, one by one.
    if (e->preeditString().isEmpty() && !e->commitString().isEmpty() && e->replacementLength() == 0) {
        const QString texto = e->commitString();
        for (QChar c : texto)
            if (!c.isSurrogate())
                procesaCaracter(c.unicode(), nullptr);
        e->accept();
        return;
    }
    QLineEdit::inputMethodEvent(e);
}

void CajaCaptura::focusInEvent(QFocusEvent* e) {
    QLineEdit::focusInEvent(e);
    selectAll();
}

void CajaCaptura::mouseReleaseEvent(QMouseEvent* e) {
    if (e->button() == Qt::MiddleButton && QGuiApplication::clipboard()->supportsSelection()) {
        pega(QClipboard::Selection);
        e->accept();
        return;
    }
    QLineEdit::mouseReleaseEvent(e);
    if (e->button() == Qt::LeftButton && rect().contains(e->position().toPoint()))
        campo_->alClick(2);
}

void CajaCaptura::contextMenuEvent(QContextMenuEvent* e) {
    std::unique_ptr<QMenu> menu(createStandardContextMenu());
    for (QAction* accion : menu->actions()) {
        if (accion->objectName() == QLatin1String("edit-paste")) {
            QObject::disconnect(accion, &QAction::triggered, nullptr, nullptr);
            QObject::connect(accion, &QAction::triggered, this, [this] { pega(QClipboard::Clipboard); });
        }
    }
    menu->exec(e->globalPos());
    e->accept();
}

// ---------------------------------------------------------------------------------------------
// Field

CampoCaptura::CampoCaptura(QWidget* padre) : CCaptura(padre) {
    setObjectName(QStringLiteral("CCaptura"));
    lblTitulo_ = new QLabel(QStringLiteral("Nombre"), this);
    lblTitulo_->setObjectName(QStringLiteral("lblTitulo"));
    lblTitulo_->setFont(fuenteDiseno(8.25, true));
    lblTitulo_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    lblTitulo_->setGeometry(0, 0, aPixeles(1455), aPixeles(195));
    lblTitulo_->installEventFilter(this);

    txtCaptura_ = new CajaCaptura(this, this);
    txtCaptura_->setObjectName(QStringLiteral("txtCaptura"));
    txtCaptura_->QLineEdit::setFont(fuenteDiseno(9.75, false));
    txtCaptura_->setGeometry(0, aPixeles(240), aPixeles(1455), aPixeles(375));
    setFocusProxy(txtCaptura_);
    connect(txtCaptura_, &QLineEdit::textChanged, this, [this] { emit Change(); });

    // Grows sideways like a line edit; its height is what the fonts need.
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    resize(aPixeles(1470), aPixeles(645));
    distribuye();
}

QSize CampoCaptura::tamano(QSize caja) const {
    const QSize etiqueta = lblTitulo_->sizeHint();
    const Tamano t = tamanoNecesario(posicionText_, aTwips(etiqueta.width()), aTwips(etiqueta.height()),
                                     aTwips(caja.width()), aTwips(caja.height()));
    return {aPixeles(t.width), aPixeles(t.height)};
}

QSize CampoCaptura::sizeHint() const {
    const QSize caja = txtCaptura_->sizeHint();
    // Never narrower than the design's field.
    return tamano(QSize(std::max(caja.width(), aPixeles(1455)), caja.height()));
}

QSize CampoCaptura::minimumSizeHint() const { return tamano(txtCaptura_->minimumSizeHint()); }

QString CampoCaptura::Text() const { return txtCaptura_->text(); }
void CampoCaptura::setText(const QString& texto) { txtCaptura_->setText(texto); }

QString CampoCaptura::Caption() const { return lblTitulo_->text(); }
void CampoCaptura::setCaption(const QString& titulo) {
    lblTitulo_->setText(titulo);
    cambiaTamano();
}

void CampoCaptura::setMaxLength(int largo) {
    if (largo < 0 || largo > kLimiteMaximo)
        return;
    maxLength_ = largo;
}

bool CampoCaptura::Enabled() const { return txtCaptura_->isEnabled(); }
void CampoCaptura::setEnabled(bool activo) { txtCaptura_->setEnabled(activo); }

bool CampoCaptura::Locked() const { return txtCaptura_->isReadOnly(); }
void CampoCaptura::setLocked(bool bloqueado) { txtCaptura_->setReadOnly(bloqueado); }

void CampoCaptura::setPosicionText(int posicion) {
    if (posicion < 0 || posicion > 255)
        return;
    posicionText_ = posicion;
    cambiaTamano();
}

void CampoCaptura::setLabelAlignment(int alineacion) {
    if (alineacion < 0 || alineacion > 2)
        return;
    labelAlignment_ = alineacion;
    aplicaAlineacion();
}

void CampoCaptura::aplicaAlineacion() {
    static constexpr Qt::Alignment kHorizontal[] = {Qt::AlignLeft, Qt::AlignRight, Qt::AlignHCenter};
    lblTitulo_->setAlignment(kHorizontal[labelAlignment_] | Qt::AlignTop);
}

QFont CampoCaptura::Font() const { return lblTitulo_->font(); }
void CampoCaptura::setFont(const QFont& fuente) {
    lblTitulo_->setFont(fuente);
    cambiaTamano();
}

QFont CampoCaptura::FontText() const { return txtCaptura_->font(); }
void CampoCaptura::setFontText(const QFont& fuente) {
    txtCaptura_->QLineEdit::setFont(fuente);
    cambiaTamano();
}

QColor CampoCaptura::ForeColor() const {
    const QWidget* c = parentWidget();
    return (c ? c->palette() : QApplication::palette()).color(QPalette::WindowText);
}
void CampoCaptura::setForeColor(const QColor&) { aplicaColores(); }

QColor CampoCaptura::BackColor() const {
    const QWidget* c = parentWidget();
    return (c ? c->palette() : QApplication::palette()).color(QPalette::Window);
}
void CampoCaptura::setBackColor(const QColor&) { aplicaColores(); }

QFont CampoCaptura::fuenteContenedor() const {
    const QWidget* c = parentWidget();
    return c ? c->font() : QApplication::font();
}

void CampoCaptura::aplicaColores() {
    QPalette fondo = palette();
    fondo.setColor(QPalette::Window, BackColor());
    QWidget::setPalette(fondo);
    setAutoFillBackground(true);
    QPalette letra = lblTitulo_->palette();
    letra.setColor(QPalette::WindowText, ForeColor());
    lblTitulo_->setPalette(letra);
}

void CampoCaptura::distribuye() {
    const int w = width() * kTwipsPorPixel;
    const int h = height() * kTwipsPorPixel;
    const QSize necesita = lblTitulo_->sizeHint();
    const int anchoEtiqueta = aTwips(necesita.width());
    const int altoEtiqueta = aTwips(necesita.height());
    const Distribucion d = calculaDistribucion(posicionText_, w, h, anchoEtiqueta, altoEtiqueta);
    auto pon = [](QWidget* hijo, const Rectangulo& r) {
        hijo->setGeometry(aPixeles(r.left), aPixeles(r.top), aPixeles(r.width), aPixeles(r.height));
    };
    pon(lblTitulo_, d.etiqueta);
    pon(txtCaptura_, d.caja);
    aplicaColores();
}

void CampoCaptura::resizeEvent(QResizeEvent* e) {
    CCaptura::resizeEvent(e);
    distribuye();
}

void CampoCaptura::cambiaTamano() {
    distribuye();
    // The size the field needs changed with the caption, a font or the layout.
    updateGeometry();
}

void CampoCaptura::changeEvent(QEvent* e) {
    CCaptura::changeEvent(e);
    if (e->type() == QEvent::ParentChange)
        aplicaColores();
}

bool CampoCaptura::eventFilter(QObject* objeto, QEvent* e) {
    if (objeto == lblTitulo_ && e->type() == QEvent::MouseButtonRelease) {
        auto* m = static_cast<QMouseEvent*>(e);
        if (m->button() == Qt::LeftButton && lblTitulo_->rect().contains(m->position().toPoint()))
            alClick(1);
    }
    return CCaptura::eventFilter(objeto, e);
}

void CampoCaptura::SetFocus() { txtCaptura_->setFocus(Qt::OtherFocusReason); }

void CampoCaptura::ReadProperties(const PropertyBag& b) {
    lblTitulo_->setText(b.ReadProperty(QStringLiteral("Caption"), QStringLiteral("Nombre")).toString());
    txtCaptura_->setText(b.ReadProperty(QStringLiteral("Text"), QString()).toString());
    aplicaColores();
    maxLength_ = leeEntero(b.ReadProperty(QStringLiteral("MaxLength"), 10), 0, kLimiteMaximo, 10);
    setEnabled(b.ReadProperty(QStringLiteral("Enabled"), true).toBool());
    setLocked(b.ReadProperty(QStringLiteral("Locked"), false).toBool());
    posicionText_ = leeEntero(b.ReadProperty(QStringLiteral("PosicionText"), 0), 0, 255, 0);
    labelAlignment_ = leeEntero(b.ReadProperty(QStringLiteral("labelAlignment"), 0), 0, 2, 0);
    // The saved alignment is shown at once, not only after the property is set again.
    aplicaAlineacion();
    lblTitulo_->setFont(leeFuente(b.ReadProperty(QStringLiteral("Font")), lblTitulo_->font()));
    txtCaptura_->QLineEdit::setFont(leeFuente(b.ReadProperty(QStringLiteral("FontText")), txtCaptura_->font()));
    cambiaTamano();
}

void CampoCaptura::WriteProperties(PropertyBag& b) const {
    b.WriteProperty(QStringLiteral("Caption"), Caption(), QStringLiteral("Nombre"));
    b.WriteProperty(QStringLiteral("Text"), Text(), QString());
    b.WriteProperty(QStringLiteral("MaxLength"), QVariant::fromValue<qint32>(maxLength_), QVariant::fromValue<qint32>(10));
    b.WriteProperty(QStringLiteral("Enabled"), Enabled(), true);
    b.WriteProperty(QStringLiteral("Locked"), Locked(), false);
    b.WriteProperty(QStringLiteral("PosicionText"), QVariant::fromValue<quint8>(static_cast<quint8>(posicionText_)),
                    QVariant::fromValue<quint8>(0));
    b.WriteProperty(QStringLiteral("labelAlignment"), QVariant::fromValue<qint32>(labelAlignment_),
                    QVariant::fromValue<qint32>(0));
    // Both fonts are always written: a label font equal to the container's would otherwise be left
    // out and read back as the design font.
    b.WriteProperty(QStringLiteral("Font"), Font().toString());
    b.WriteProperty(QStringLiteral("FontText"), FontText().toString());
}

} // namespace kestril
