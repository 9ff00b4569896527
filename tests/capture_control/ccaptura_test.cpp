// The capture field as a form sees it: loaded from the library file through the factory, driven
// with real key and mouse events, its events connected by signature (no link to the library).
#include "capture_control/ccaptura.h"
#include "capture_control/distribucion.h"
#include "campos_visibles.h"

#include <QApplication>
#include <QClipboard>
#include <QInputMethodEvent>
#include <QLabel>
#include <QLineEdit>
#include <QTest>
#include <QVBoxLayout>

#include <gtest/gtest.h>

#include <functional>
#include <memory>

namespace {

class Oyente : public QObject {
    Q_OBJECT
public:
    QStringList eventos;
    std::function<void(short&)> alTeclear;
    std::function<void(short&, short&)> alBajarTecla;

    void escucha(CCaptura* c) {
        connect(c, SIGNAL(Change()), this, SLOT(change()));
        connect(c, SIGNAL(Enter()), this, SLOT(enter()));
        connect(c, SIGNAL(Click(uchar&)), this, SLOT(click(uchar&)));
        connect(c, SIGNAL(KeyPress(short&)), this, SLOT(keyPress(short&)));
        connect(c, SIGNAL(KeyDown(short&,short&)), this, SLOT(keyDown(short&,short&)));
    }
    void limpia() { eventos.clear(); }

public slots:
    void change() { eventos << QStringLiteral("Change"); }
    void enter() { eventos << QStringLiteral("Enter"); }
    void click(uchar& area) { eventos << QStringLiteral("Click(%1)").arg(area); }
    void keyPress(short& k) {
        eventos << QStringLiteral("KeyPress(%1)").arg(k);
        if (alTeclear)
            alTeclear(k);
    }
    void keyDown(short& k, short& s) {
        eventos << QStringLiteral("KeyDown(%1,%2)").arg(k).arg(s);
        if (alBajarTecla)
            alBajarTecla(k, s);
    }
};

// Types text as a keyboard would: Latin-1 letters as their own keys, anything else as a composed
// character from the input method (how dead keys such as the accent arrive).
void escribe(QWidget* w, const QString& texto) {
    for (QChar c : texto) {
        if (c.unicode() < 128) {
            QTest::keyClick(w, c.toLatin1());
        } else if (c.unicode() == 0xF1 || c.unicode() == 0xD1) {
            QTest::sendKeyEvent(QTest::Click, w, Qt::Key_Ntilde, QString(c), Qt::NoModifier);
        } else {
            QInputMethodEvent e;
            e.setCommitString(QString(c));
            QApplication::sendEvent(w, &e);
        }
    }
}

KestrilCreaControlFn fabrica() {
    static KestrilCreaControlFn f = kestril::cargaFabrica(QStringLiteral(KESTRIL_LIB));
    return f;
}

class CampoTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_NE(fabrica(), nullptr) << KESTRIL_LIB;
        forma = std::make_unique<QWidget>();
        forma->resize(400, 200);
        QString error;
        campo = kestril::creaCCaptura(fabrica(), forma.get(), &error);
        ASSERT_NE(campo, nullptr) << error.toStdString();
        caja = campo->findChild<QLineEdit*>(QStringLiteral("txtCaptura"));
        etiqueta = campo->findChild<QLabel*>(QStringLiteral("lblTitulo"));
        ASSERT_TRUE(caja && etiqueta);
        oyente.escucha(campo);
        vecino = new QLineEdit(forma.get());
        vecino->move(0, 150);
        forma->show();
        forma->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(forma.get()));
        campo->SetFocus();
    }

    std::unique_ptr<QWidget> forma;
    CCaptura* campo = nullptr;
    QLineEdit* caja = nullptr;
    QLabel* etiqueta = nullptr;
    QLineEdit* vecino = nullptr;
    Oyente oyente;
};

TEST(Fabrica, CreaSoloLaClaseQueConoce) {
    ASSERT_NE(fabrica(), nullptr);
    QString error;
    EXPECT_EQ(fabrica()("Kestril.CCapturaX", nullptr, &error), nullptr);
    EXPECT_TRUE(error.contains(QStringLiteral("Kestril.CCapturaX"))) << error.toStdString();
    error.clear();
    EXPECT_EQ(fabrica()(nullptr, nullptr, &error), nullptr);
    EXPECT_FALSE(error.isEmpty());

    std::unique_ptr<QWidget> w(fabrica()("kestril.ccaptura", nullptr, &error));
    ASSERT_NE(w, nullptr);
    EXPECT_TRUE(error.isEmpty());
    auto* c = static_cast<CCaptura*>(w.get());
    EXPECT_EQ(c->Caption(), QStringLiteral("Nombre"));
    EXPECT_EQ(c->MaxLength(), 10);
    EXPECT_EQ(c->property("Caption").toString(), QStringLiteral("Nombre"));

    qputenv("KESTRIL_LIB", KESTRIL_LIB);
    std::unique_ptr<CCaptura> delPrograma(kestril::creaCCaptura(nullptr, &error));
    EXPECT_NE(delPrograma, nullptr) << error.toStdString();

    QString errorCarga;
    EXPECT_EQ(kestril::cargaFabrica(QStringLiteral("/no/existe/libkestril.so"), &errorCarga), nullptr);
    EXPECT_FALSE(errorCarga.isEmpty());
}

TEST_F(CampoTest, TecleadoEnMayusculasYEventosEnOrden) {
    campo->setMaxLength(0);
    escribe(caja, QStringLiteral("niño ñandú"));
    EXPECT_EQ(campo->Text(), QStringLiteral("NIÑO ÑANDÚ"));
    EXPECT_TRUE(oyente.eventos.contains(QStringLiteral("KeyPress(%1)").arg(QChar(u'Ñ').unicode())));
    EXPECT_FALSE(oyente.eventos.contains(QStringLiteral("KeyPress(%1)").arg(QChar(u'ñ').unicode())));

    oyente.limpia();
    QTest::keyClick(caja, Qt::Key_Return);
    EXPECT_EQ(oyente.eventos, (QStringList{"KeyDown(13,0)", "Enter", "KeyPress(0)"}));
    EXPECT_EQ(campo->Text(), QStringLiteral("NIÑO ÑANDÚ"));

    // Digits and signs go through untouched; Backspace still erases.
    campo->setText(QString());
    escribe(caja, QStringLiteral("a1-ß"));
    EXPECT_EQ(campo->Text(), QStringLiteral("A1-ß"));
    QTest::keyClick(caja, Qt::Key_Backspace);
    EXPECT_EQ(campo->Text(), QStringLiteral("A1-"));

    // Punctuation and ñ raise their key down too (with the key's code), then type as usual.
    campo->setText(QString());
    oyente.limpia();
    escribe(caja, QStringLiteral(",;ñ"));
    QTest::keyClick(caja, '!', Qt::ShiftModifier);
    EXPECT_EQ(oyente.eventos.filter(QStringLiteral("KeyDown")),
              (QStringList{"KeyDown(188,0)", "KeyDown(186,0)", "KeyDown(192,0)", "KeyDown(16,1)", "KeyDown(49,1)"}));
    EXPECT_EQ(campo->Text(), QStringLiteral(",;Ñ!"));
}

TEST_F(CampoTest, ElAnfitrionCambiaOCancelaLaTecla) {
    oyente.alTeclear = [](short& k) {
        if (k == 'X')
            k = 0;
        else if (k == '.')
            k = ',';
    };
    QTest::keyClicks(caja, QStringLiteral("axb.5"));
    EXPECT_EQ(campo->Text(), QStringLiteral("AB,5"));

    // Cancelling Ctrl+V (code 22) stops the paste.
    QApplication::clipboard()->setText(QStringLiteral("zz"));
    oyente.alTeclear = [](short& k) {
        if (k == 22)
            k = 0;
    };
    QTest::keyClick(caja, Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(campo->Text(), QStringLiteral("AB,5"));

    // KeyCode 0 drops the key: Backspace erases nothing, and no KeyPress follows.
    oyente.alTeclear = nullptr;
    oyente.alBajarTecla = [](short& k, short&) {
        if (k == 8)
            k = 0;
    };
    oyente.limpia();
    QTest::keyClick(caja, Qt::Key_Backspace);
    EXPECT_EQ(campo->Text(), QStringLiteral("AB,5"));
    EXPECT_EQ(oyente.eventos, QStringList{"KeyDown(8,0)"});

    // A key turned into another one: Home instead of End moves the caret to the start.
    oyente.alBajarTecla = [](short& k, short&) {
        if (k == 35)
            k = 36;
    };
    QTest::keyClick(caja, Qt::Key_End);
    EXPECT_EQ(caja->cursorPosition(), 0);
}

TEST_F(CampoTest, ElLimiteValeParaTeclearYPegarPeroNoParaElPrograma) {
    ASSERT_EQ(campo->MaxLength(), 10);
    QTest::keyClicks(caja, QStringLiteral("abcdefghijkl"));
    EXPECT_EQ(campo->Text(), QStringLiteral("ABCDEFGHIJ"));

    // Pasting fills only the room left, up to the first line break.
    campo->setText(QStringLiteral("12345678"));
    caja->end(false);
    QApplication::clipboard()->setText(QStringLiteral("xyz"));
    QTest::keyClick(caja, Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(campo->Text(), QStringLiteral("12345678xy"));
    campo->setText(QStringLiteral("123"));
    caja->setSelection(1, 2);
    QApplication::clipboard()->setText(QStringLiteral("abcdefghijklmn\nsegunda"));
    QTest::keyClick(caja, Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(campo->Text(), QStringLiteral("1abcdefghi"));

    // The program's own text is never cut (a longer saved value must survive a load and a save).
    campo->setText(QStringLiteral("UN NOMBRE MUY LARGO"));
    EXPECT_EQ(campo->Text(), QStringLiteral("UN NOMBRE MUY LARGO"));

    campo->setMaxLength(0);
    campo->setText(QString());
    QTest::keyClicks(caja, QString(40, QLatin1Char('q')));
    EXPECT_EQ(campo->Text().size(), 40);
    campo->setMaxLength(-1);
    EXPECT_EQ(campo->MaxLength(), 0);
}

TEST_F(CampoTest, BloqueadoNoSeEditaPeroSeleccionaYAvisa) {
    campo->setText(QStringLiteral("ABC"));
    campo->setLocked(true);
    vecino->setFocus();
    caja->deselect();
    oyente.limpia();
    campo->SetFocus();
    EXPECT_TRUE(caja->hasFocus());
    EXPECT_EQ(caja->selectedText(), QStringLiteral("ABC"));

    QTest::keyClicks(caja, QStringLiteral("x"));
    QApplication::clipboard()->setText(QStringLiteral("zz"));
    QTest::keyClick(caja, Qt::Key_V, Qt::ControlModifier);
    QTest::keyClick(caja, Qt::Key_Backspace);
    EXPECT_EQ(campo->Text(), QStringLiteral("ABC"));
    EXPECT_FALSE(oyente.eventos.contains(QStringLiteral("Change")));
    EXPECT_TRUE(oyente.eventos.contains(QStringLiteral("KeyDown(88,0)")));

    campo->setLocked(false);
    caja->end(false);
    QTest::keyClicks(caja, QStringLiteral("z"));
    EXPECT_EQ(campo->Text(), QStringLiteral("ABCZ"));
}

TEST_F(CampoTest, ChangeClickYEnabledSoloDeLaCaja) {
    oyente.limpia();
    campo->setText(QStringLiteral("A"));
    campo->setText(QStringLiteral("A"));
    QTest::keyClicks(caja, QStringLiteral("b"));
    EXPECT_EQ(oyente.eventos.count(QStringLiteral("Change")), 2);

    oyente.limpia();
    QTest::mouseClick(etiqueta, Qt::LeftButton);
    QTest::mouseClick(caja, Qt::LeftButton);
    EXPECT_EQ(oyente.eventos, (QStringList{"Click(1)", "Click(2)"}));

    campo->setEnabled(false);
    EXPECT_FALSE(caja->isEnabled());
    EXPECT_TRUE(etiqueta->isEnabled());
    EXPECT_TRUE(campo->isEnabled());
    oyente.limpia();
    QTest::mouseClick(etiqueta, Qt::LeftButton);
    EXPECT_EQ(oyente.eventos, QStringList{"Click(1)"});

    // Colours follow the container whatever is assigned.
    QPalette p = forma->palette();
    p.setColor(QPalette::WindowText, Qt::darkBlue);
    forma->setPalette(p);
    campo->setForeColor(Qt::red);
    EXPECT_EQ(etiqueta->palette().color(QPalette::WindowText), QColor(Qt::darkBlue));
    EXPECT_EQ(campo->ForeColor(), QColor(Qt::darkBlue));
}

TEST_F(CampoTest, PropiedadesGuardadasConSusValoresPorOmision) {
    // A field at its defaults keeps only its fonts.
    kestril::PropertyBag vacia;
    campo->WriteProperties(vacia);
    EXPECT_EQ(vacia.values().keys(), (QStringList{"Font", "FontText"}));

    // Reading a bag without keys gives the defaults back.
    campo->setCaption(QStringLiteral("Otro"));
    campo->setMaxLength(3);
    campo->setLocked(true);
    campo->ReadProperties(kestril::PropertyBag());
    EXPECT_EQ(campo->Caption(), QStringLiteral("Nombre"));
    EXPECT_EQ(campo->MaxLength(), 10);
    EXPECT_FALSE(campo->Locked());
    EXPECT_TRUE(campo->Enabled());
    EXPECT_EQ(campo->PosicionText(), 0);

    QFont letra = campo->FontText();
    letra.setPointSize(14);
    campo->setCaption(QStringLiteral("Usuario"));
    campo->setText(QStringLiteral("ADMIN"));
    campo->setMaxLength(0);
    campo->setEnabled(false);
    campo->setLocked(true);
    campo->setPosicionText(1);
    campo->setLabelAlignment(2);
    campo->setFont(forma->font());
    campo->setFontText(letra);
    kestril::PropertyBag bolsa;
    campo->WriteProperties(bolsa);
    EXPECT_EQ(bolsa.ReadProperty(QStringLiteral("MaxLength")).toInt(), 0);

    std::unique_ptr<QWidget> w(fabrica()(kestril::kClaseCCaptura, forma.get(), nullptr));
    auto* otro = static_cast<CCaptura*>(w.get());
    otro->ReadProperties(bolsa);
    EXPECT_EQ(otro->Caption(), QStringLiteral("Usuario"));
    EXPECT_EQ(otro->Text(), QStringLiteral("ADMIN"));
    EXPECT_EQ(otro->MaxLength(), 0);
    EXPECT_FALSE(otro->Enabled());
    EXPECT_TRUE(otro->Locked());
    EXPECT_EQ(otro->PosicionText(), 1);
    EXPECT_EQ(otro->labelAlignment(), 2);
    // The saved alignment shows at load.
    EXPECT_TRUE(otro->findChild<QLabel*>(QStringLiteral("lblTitulo"))->alignment() & Qt::AlignHCenter);
    EXPECT_EQ(otro->Font(), forma->font());
    EXPECT_EQ(otro->FontText().pointSize(), 14);

    // Bad saved values fall back to the defaults.
    kestril::PropertyBag mala;
    mala.WriteProperty(QStringLiteral("MaxLength"), 70000);
    mala.WriteProperty(QStringLiteral("PosicionText"), QStringLiteral("x"));
    mala.WriteProperty(QStringLiteral("labelAlignment"), 7);
    mala.WriteProperty(QStringLiteral("Font"), QStringLiteral("no es una fuente"));
    otro->ReadProperties(mala);
    EXPECT_EQ(otro->MaxLength(), 10);
    EXPECT_EQ(otro->PosicionText(), 0);
    EXPECT_EQ(otro->labelAlignment(), 0);
}

// No pixel of the box lies under the label, and nothing has a negative size.
void esperaSinEncimarse(CCaptura* c) {
    const QRect e = c->findChild<QLabel*>(QStringLiteral("lblTitulo"))->geometry();
    const QRect t = c->findChild<QLineEdit*>(QStringLiteral("txtCaptura"))->geometry();
    EXPECT_GE(t.width(), 0);
    EXPECT_GE(t.height(), 0);
    EXPECT_GE(e.width(), 0);
    if (t.width() > 0 && t.height() > 0) {
        EXPECT_FALSE(e.intersects(t)) << e.x() << "," << e.y() << " " << e.width() << "x" << e.height()
                                      << " / " << t.x() << "," << t.y() << " " << t.width() << "x" << t.height();
    }
}

TEST_F(CampoTest, AmbasDistribucionesSinEncimarse) {
    for (int posicion : {0, 1}) {
        campo->setPosicionText(posicion);
        for (int ancho : {0, 10, 40, 98, 400}) {
            for (int alto : {20, 43, 80}) {
                campo->resize(ancho, alto);
                SCOPED_TRACE(QStringLiteral("pos %1 %2x%3").arg(posicion).arg(ancho).arg(alto).toStdString());
                esperaSinEncimarse(campo);
            }
        }
    }
    campo->setPosicionText(0);
    campo->resize(98, 43);
    EXPECT_EQ(caja->geometry(), QRect(0, 16, 97, 25));
    campo->resize(98, 20);
    EXPECT_EQ(caja->height(), 2);

    // Label at the left: the box starts after the caption and ends at the field's edge.
    campo->setPosicionText(1);
    campo->resize(300, 30);
    EXPECT_GT(caja->x(), etiqueta->geometry().right());
    EXPECT_LE(caja->geometry().right(), 300);
    EXPECT_EQ(caja->y(), 0);
    EXPECT_EQ(caja->height(), 30);
    const int antes = etiqueta->width();
    campo->setCaption(QStringLiteral("Un título bastante más largo"));
    EXPECT_GT(etiqueta->width(), antes);
    campo->resize(etiqueta->width() / 2, 30);
    EXPECT_EQ(caja->width(), 0);
}

// A layout that honours the field's hints shows the caption and the box whole, whatever the fonts,
// the caption and the side the label sits on; a tall caption pushes the box down instead of
// covering it.
TEST(CampoEnLayout, TamanoSugeridoYMinimoSegunFuentesTituloYPosicion) {
    ASSERT_NE(fabrica(), nullptr);
    QWidget forma;
    auto* capas = new QVBoxLayout(&forma);
    CCaptura* campos[4];
    for (CCaptura*& c : campos) {
        c = kestril::creaCCaptura(fabrica(), &forma);
        capas->addWidget(c);
    }
    QFont grande(QStringLiteral("DejaVu Sans"), 20);
    campos[0]->setCaption(QStringLiteral("Dirección del cliente:"));
    campos[1]->setFontText(grande);
    campos[1]->setFont(grande);
    campos[1]->setCaption(QStringLiteral("Teléfonos:"));
    campos[2]->setPosicionText(1);
    campos[2]->setCaption(QStringLiteral("Nombre de usuario:"));
    campos[3]->setPosicionText(1);
    campos[3]->setFont(grande);
    campos[3]->setCaption(QStringLiteral("Un título bastante más largo"));
    capas->addStretch();
    forma.show();
    EXPECT_TRUE(testutil::CadaCampoSeVeEntero(&forma));
    forma.resize(forma.minimumSizeHint());
    EXPECT_TRUE(testutil::CadaCampoSeVeEntero(&forma));

    auto* caja = campos[1]->findChild<QLineEdit*>();
    auto* etiqueta = campos[1]->findChild<QLabel*>();
    EXPECT_GE(caja->y(), etiqueta->geometry().bottom());
    EXPECT_GT(campos[1]->sizeHint().height(), campos[0]->sizeHint().height());
    // A new caption or font tells the layout at once.
    const QSize antes = campos[2]->minimumSizeHint();
    campos[2]->setCaption(QStringLiteral("Nombre de usuario completo:"));
    EXPECT_GT(campos[2]->minimumSizeHint().width(), antes.width());
    EXPECT_EQ(campos[0]->sizePolicy().verticalPolicy(), QSizePolicy::Fixed);
}

TEST(Distribucion, FormulasEnTwips) {
    using kestril::calculaDistribucion;
    auto arriba = calculaDistribucion(0, 1470, 645, 1455, 195);
    EXPECT_EQ(arriba.caja.height, 375);
    EXPECT_EQ(arriba.caja.width, 1455);
    EXPECT_EQ(arriba.caja.top, 240);
    EXPECT_EQ(calculaDistribucion(0, 1470, 300, 1455, 195).caja.height, 30);
    EXPECT_EQ(calculaDistribucion(0, 5, 645, 1455, 195).caja.width, 0);

    auto izquierda = calculaDistribucion(1, 2000, 300, 600, 195);
    EXPECT_EQ(izquierda.caja.left, 610);
    EXPECT_EQ(izquierda.caja.width, 1380);
    EXPECT_EQ(izquierda.caja.height, 300);
    EXPECT_TRUE(izquierda.etiquetaAutoAjuste);
    // Between 10 and 20 twips of room the old formula gave a negative width.
    EXPECT_EQ(calculaDistribucion(1, 615, 300, 600, 195).caja.width, 0);
    EXPECT_EQ(calculaDistribucion(1, 500, 300, 600, 195).caja.width, 0);

    // A caption 300 twips high moves the box 105 twips down and keeps the bottom margin.
    auto alta = calculaDistribucion(0, 1470, 900, 1455, 300);
    EXPECT_EQ(alta.caja.top, 345);
    EXPECT_EQ(alta.caja.height, 525);
    EXPECT_EQ(kestril::tamanoNecesario(0, 1000, 195, 1455, 375).height, 645);
    EXPECT_EQ(kestril::tamanoNecesario(0, 1000, 195, 1455, 375).width, 1470);
    EXPECT_EQ(kestril::tamanoNecesario(1, 600, 195, 900, 375).width, 1520);
}

} // namespace

#include "ccaptura_test.moc"
