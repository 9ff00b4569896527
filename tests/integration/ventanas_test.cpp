// Every window the main window opens, from its menu items and from the buttons of its forms, on the
// demo data with a shop's long names, in the main window of a 1280x1024 and of a 1024x768 screen:
// none is wider than the main window's area (a document window sits inside it, a dialog is no
// wider than it), and Alt with the letter of a document window's closing button closes that window
// instead of opening the main menu of the same letter.

#include "admin/forms/menus.h"
#include "branches/forms/frmsucursales.h"
#include "branches/forms/menus.h"
#include "carpeta_demo.h"
#include "cash/forms/frmcortescaja.h"
#include "cash/forms/menus.h"
#include "cash/movimientos.h"
#include "catalogs/forms/frmclientes.h"
#include "catalogs/forms/frmcuentas.h"
#include "catalogs/forms/frmprodproveedores.h"
#include "catalogs/forms/frmproductos.h"
#include "catalogs/proveedores.h"
#include "platform/ui/filechooser.h"
#include "platform/ui/prompts.h"
#include "sale/forms/frmventa.h"
#include "shell/arranque.h"
#include "shell/conexion.h"
#include "shell/estado.h"
#include "shell/forms/formas.h"
#include "shell/forms/menuprincipal.h"
#include "shell/forms/midi.h"
#include "shell/login.h"
#include "shell/menu.h"
#include "shell/sucursal.h"
#include "capture_control/ccaptura.h"

#include <QAbstractButton>
#include <QPushButton>
#include "shell/forms/frmprincipal.h"
#include <QAction>
#include <QApplication>
#include <QDateTime>
#include <QDialog>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMessageBox>
#include <QPointer>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

inline void PrintTo(const QString& s, std::ostream* os) { *os << '"' << s.toStdString() << '"'; }

namespace {

// Menu items whose window is the program's own (reports and utilities without a window aside).
const char* const kItems[] = {
    "Productos",    "Clientes",       "Proveedores", "Categorias",    "Sucursales",      "Formaspago",
    "TiposCompra",  "Usuarios",       "TipoProducto", "PreciosCredito", "Cuentas",        "Facturar",
    "Vcredito",     "Cotizaciones",   "NotaCredito", "PEInventario",  "nFacturarVentas", "CancelarF",
    "mDevoluciones", "ATraspaso",     "Estadosdecuenta", "mCajonDinero", "mCortesCaja",  "datosempresa",
    "DSucursal",    "Exportardatos",  "Importardatos", "CClave",
};

// What the shop names look like at their longest.
const QString kLargo = QStringLiteral("DISTRIBUIDORA DE PAPELERIA Y ARTICULOS DE OFICINA DEL NORTE SA DE CV ");

class Ventanas : public ::testing::Test {
protected:
    void SetUp() override
    {
        const QString datos = tmp.filePath(QStringLiteral("datos"));
        const QString error = testutil::CreaCarpetaDemo(datos);
        ASSERT_TRUE(error.isEmpty()) << error.toStdString();
        ui::setDefaultPrompts(&prompts);
        ui::setDefaultFileChooser(&chooser);
        ASSERT_TRUE(shell::LeerSucursales());
        ASSERT_TRUE(shell::EstableceSucursal()) << prompts.lastMessage().toStdString();
        EstadoGlobal& g = G();
        g.TerminalActual = 1;
        g.NombreEquipo = QStringLiteral("CAJA1").leftJustified(40);
        g.ControlCaja = 1;
        g.PuertoTicket = tmp.filePath(QStringLiteral("lp-ticket"));
        ASSERT_EQ(shell::Acepta(QStringLiteral("ADMIN"), QStringLiteral("KORVADIM")), shell::ResultadoLogin::Aceptado)
            << prompts.lastMessage().toStdString();
        // A shop's long names in what the windows list.
        db::Database* bd = shell::BDSucursal();
        ASSERT_NE(bd, nullptr);
        ASSERT_TRUE(bd->exec(QStringLiteral("UPDATE Producto SET Nombre = ? || Nombre, Descripcion = ? || ? || "
                                            "Descripcion"),
                             {kLargo, kLargo, kLargo}));
        // A ticket and a movement pending for the cash cut, with the movement's longest text.
        ASSERT_TRUE(bd->exec(QStringLiteral("INSERT INTO Venta (Numero, Tipo, Fecha, Total, Status, IdCorte, Cliente) "
                                            "VALUES (1, 'T', ?, 116, 1, 0, 'XAXX010101000')"),
                             {QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"))}));
        ASSERT_TRUE(bd->exec(QStringLiteral("INSERT INTO DetalleVenta (Numero, TipoDocto, ClaveProducto, Cantidad, "
                                            "PrecioUnit) SELECT 1, 'T', MAX(ClaveProducto), 1, 116 FROM Producto")));
        caja::NuevoMovimiento m;
        m.importe = QStringLiteral("1,250.50");
        m.descripcion = kLargo;
        m.usuario = 1;
        ASSERT_TRUE(caja::GuardaMovimiento(*bd, m, {}).ok);
        db::Database* codigos = shell::BDCodigos();
        ASSERT_NE(codigos, nullptr);
        catalogos::Proveedor p;
        p.RFC = QStringLiteral("DPA010101AAA");
        p.NombreCompania = kLargo + kLargo;
        p.NombreContacto = kLargo;
        p.CorreoElectronico = QStringLiteral("ventas.mayoreo.papeleria.del.norte@distribuidora-del-norte.com.mx");
        ASSERT_TRUE(catalogos::GrabaProveedor(*codigos, p, true, {}).ok);
        prompts.clear();
    }
    void TearDown() override
    {
        ui::setDefaultPrompts(nullptr);
        ui::setDefaultFileChooser(nullptr);
        shell::OlvidaAbridores();
        shell::CierraConexiones();
        ReiniciaEstado();
    }

    // Each window in sight that is wider than the main window's area, or not inside it, by name.
    static QStringList Fuera(shell::MIDI& midi)
    {
        QStringList fuera;
        const QRect area = midi.areaMDI()->viewport()->rect();
        for (QMdiSubWindow* s : midi.areaMDI()->subWindowList()) {
            if (!s->isVisible() || !s->widget() || s->widget() == static_cast<QWidget*>(midi.principal())) continue;
            const QRect r = s->geometry();
            if (r.left() < 0 || r.right() > area.right())
                fuera << QStringLiteral("%1 at %2+%3 of %4").arg(s->widget()->objectName()).arg(r.x()).arg(r.width()).arg(area.width());
        }
        return fuera;
    }

    QTemporaryDir tmp;
    ui::ScriptedPrompts prompts;
    ui::ScriptedFileChooser chooser;
};

TEST_F(Ventanas, EveryWindowStaysWithinTheMainWindowsAreaAndAltClosesItFirst)
{
    for (const QSize pantalla : {QSize(1280, 1024), QSize(1024, 768), QSize(1366, 768)}) {
        SCOPED_TRACE(QStringLiteral("%1x%2").arg(pantalla.width()).arg(pantalla.height()).toStdString());
        shell::MIDI midi;
        venta::ConectaMenusVenta(&midi);
        catalogos::ConectaMenusCatalogos(&midi);
        caja::ConectaMenusCaja(&midi);
        admin::ConectaMenusAdmin(&midi);
        sucursales::ConectaMenusSucursales(&midi);
        shell::ConectaMenu(&midi);
        midi.resize(pantalla);
        midi.show();
        QApplication::processEvents();
        const int anchoArea = midi.areaMDI()->viewport()->width();

        // A dialog is answered once it is in sight: its width is noted, then it is closed.
        QStringList dialogos;
        QTimer vigia;
        QObject::connect(&vigia, &QTimer::timeout, [&] {
            QWidget* modal = QApplication::activeModalWidget();
            if (!modal || qobject_cast<QMessageBox*>(modal)) return;
            if (modal->frameGeometry().width() > anchoArea)
                dialogos << QStringLiteral("%1 %2 px").arg(modal->objectName()).arg(modal->frameGeometry().width());
            if (auto* d = qobject_cast<QDialog*>(modal)) d->reject();
            else modal->close();
        });
        vigia.start(50);

        for (const char* item : kItems) {
            SCOPED_TRACE(item);
            prompts.clear();
            QAction* accion = midi.accion(QString::fromLatin1(item));
            ASSERT_NE(accion, nullptr);
            ASSERT_TRUE(accion->isEnabled());
            accion->trigger();
            QApplication::processEvents();
            QList<QPointer<QMdiSubWindow>> abiertas;
            for (QMdiSubWindow* s : midi.areaMDI()->subWindowList())
                if (s->isVisible() && s->widget() != static_cast<QWidget*>(midi.principal())) abiertas << s;
            EXPECT_EQ(Fuera(midi), QStringList());

            // What the form's own buttons open beside it, as a person goes on.
            if (auto* productos = qobject_cast<catalogos::frmProductos*>(shell::FormaCargada(QStringLiteral("frmProductos")))) {
                QTest::mouseClick(productos->cmdProveedores, Qt::LeftButton);
                QApplication::processEvents();
                auto* enlaces = qobject_cast<catalogos::frmProdProveedores*>(
                    shell::FormaCargada(QStringLiteral("frmProdProveedores")));
                ASSERT_NE(enlaces, nullptr);
                enlaces->capRFC->setText(QStringLiteral("DPA010101AAA"));
                QTest::mouseClick(enlaces->cmdAgregar, Qt::LeftButton);
                QApplication::processEvents();
                EXPECT_EQ(enlaces->Registros(), 1);
                EXPECT_EQ(Fuera(midi), QStringList());
                abiertas.prepend(qobject_cast<QMdiSubWindow*>(enlaces->parentWidget()));
            }
            if (auto* suc = qobject_cast<sucursales::frmSucursales*>(shell::FormaCargada(QStringLiteral("frmSucursales")))) {
                QTest::mouseClick(suc->cmdSincronizar, Qt::LeftButton);
                QApplication::processEvents();
                EXPECT_NE(shell::FormaCargada(QStringLiteral("frmSincronizar")), nullptr);
                EXPECT_EQ(Fuera(midi), QStringList());
            }
            if (auto* cortes = qobject_cast<caja::frmCortesCaja*>(shell::FormaCargada(QStringLiteral("frmCortesCaja"))))
                EXPECT_EQ(cortes->Label1->text(), "Ventas del corte: 1");
            if (auto* cuentas = qobject_cast<catalogos::frmCuentas*>(shell::FormaCargada(QStringLiteral("frmCuentas")))) {
                QTest::mouseClick(cuentas->cmdMovimientos, Qt::LeftButton);
                QApplication::processEvents();
                EXPECT_EQ(Fuera(midi), QStringList());
            }

            // Alt and the letter of the window's closing button close it; no menu opens. A letter two
            // buttons of the window share moves the focus to one of them instead.
            for (const QPointer<QMdiSubWindow>& s : abiertas) {
                if (!s || !s->isVisible()) continue;
                QPointer<QWidget> forma = s->widget();
                QAbstractButton* cierra = nullptr;
                for (QAbstractButton* b : forma->findChildren<QAbstractButton*>()) {
                    const QString t = QString(b->text()).remove(QLatin1Char('&'));
                    if (b->isVisible() && b->text().contains(QLatin1Char('&')) &&
                        (t == QLatin1String("Regresar") || t == QLatin1String("Cerrar") || t == QLatin1String("Salir")))
                        cierra = b;
                }
                if (!cierra) continue;
                const QKeySequence letra = QKeySequence::mnemonic(cierra->text());
                int mismas = 0;
                for (QAbstractButton* b : forma->findChildren<QAbstractButton*>())
                    if (b->isVisible() && QKeySequence::mnemonic(b->text()) == letra) ++mismas;
                const std::string nombre = (forma->objectName() + u' ' + cierra->text()).toStdString();
                midi.areaMDI()->setActiveSubWindow(s);
                QWidget* foco = forma->focusWidget() ? forma->focusWidget() : forma.data();
                QTest::keyClick(foco, Qt::Key(letra[0].key()), Qt::AltModifier);
                QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
                QApplication::processEvents();
                EXPECT_EQ(QApplication::activePopupWidget(), nullptr) << nombre;
                if (QWidget* menu = QApplication::activePopupWidget()) menu->close();
                if (mismas == 1) {
                    EXPECT_TRUE(!forma || !forma->isVisible()) << nombre;
                } else {
                    auto* enfocado = qobject_cast<QAbstractButton*>(QApplication::focusWidget());
                    EXPECT_TRUE(forma && forma->isVisible()) << nombre;
                    EXPECT_TRUE(enfocado && QKeySequence::mnemonic(enfocado->text()) == letra) << nombre;
                }
            }
            for (QMdiSubWindow* s : midi.areaMDI()->subWindowList())
                if (s->widget() != static_cast<QWidget*>(midi.principal())) s->close();
            // And what opened on its own beside the main window (an account's movements).
            for (QWidget* w : QApplication::topLevelWidgets())
                if (w != &midi && w->isVisible() && !qobject_cast<QMenu*>(w)) w->close();
            QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        }
        EXPECT_EQ(dialogos, QStringList());
    }
}

}  // namespace
