// Takes screenshots of the program's windows on a real X display (Xvfb), as a person would see
// them: the login, the main window, the sale screen in each mode, the payment dialog, the customer
// catalogue (both tabs), every back-office form (each tab) as its menu item or button opens it, and
// the print server's window. Not a test: scripts/capturas runs it on a
// demo folder and the PNG files are looked at.
//   QUORVEL_HOME=<demo app> TARVEX_HOME=<demo app>/Plovix quorvel_capturas <output folder>

#include "admin/forms/frmabpersonal.h"
#include "admin/forms/menus.h"
#include "branches/forms/frmsucursales.h"
#include "branches/forms/menus.h"
#include "capture_control/ccaptura.h"
#include "cash/forms/menus.h"
#include "catalogs/forms/frmcuentas.h"
#include "catalogs/forms/frmimagenproducto.h"
#include "catalogs/forms/frmproductos.h"
#include "catalogs/forms/frmprodproveedores.h"
#include "catalogs/proveedores.h"
#include "shell/conexion.h"
#include "printing/forms/frmSelectPrinter.h"
#include "catalogs/forms/frmclientes.h"
#include "folio_server/configuracion.h"
#include "folio_server/forms/frmmonitor.h"
#include "platform/ui/prompts.h"
#include "platform/ui/traducciones.h"
#include "sale/forms/cierre_venta.h"
#include "sale/forms/frmfacturar.h"
#include "sale/forms/frmventa.h"
#include "shell/estado.h"
#include "shell/forms/formas.h"
#include "shell/forms/frmlogin.h"
#include "shell/forms/frmprincipal.h"
#include "shell/forms/menuprincipal.h"
#include "shell/forms/midi.h"

#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QMap>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMessageBox>
#include <QPointer>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <QScreen>
#include <QTabWidget>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>

#include <cstdio>

namespace {

QString carpeta;
int mensajes = 0;

void captura(const QString& nombre)
{
    QTest::qWait(400);
    const QPixmap p = QGuiApplication::primaryScreen()->grabWindow(0);
    const QString ruta = carpeta + QLatin1Char('/') + nombre + QStringLiteral(".png");
    std::printf("%s %s\n", qPrintable(ruta), p.save(ruta) ? "ok" : "FALLO");
}

// The form as it stands, then each further page of its tabs, as <nombre>-1, -2...
void fotografia(const QString& nombre, QWidget* forma)
{
    int n = 0;
    captura(QStringLiteral("%1-%2").arg(nombre).arg(++n));
    for (QTabWidget* pestanas : forma->findChildren<QTabWidget*>()) {
        if (!pestanas->isVisible())
            continue;
        const int antes = pestanas->currentIndex();
        for (int i = 0; i < pestanas->count(); ++i) {
            if (i == antes)
                continue;
            pestanas->setCurrentIndex(i);
            captura(QStringLiteral("%1-%2").arg(nombre).arg(++n));
        }
        pestanas->setCurrentIndex(antes);
    }
}

// Answers what pops up on its own: the login (as ADMIN) and message boxes (their default button),
// each photographed first; any other dialog is photographed page by page and closed.
void atiende(QWidget* modal)
{
    if (auto* login = qobject_cast<shell::frmLogin*>(modal)) {
        captura(QStringLiteral("01-login"));
        QTest::keyClicks(login->capNombre()->findChild<QLineEdit*>(), QStringLiteral("admin"));
        QTest::keyClicks(login->txtPass(), QStringLiteral("KORVADIM"));
        QTest::mouseClick(login->cmdAceptar(), Qt::LeftButton);
    } else if (auto* caja = qobject_cast<QMessageBox*>(modal)) {
        captura(QStringLiteral("mensaje-%1").arg(++mensajes, 2, 10, QLatin1Char('0')));
        std::printf("  mensaje: %s\n", qPrintable(caja->text()));
        QAbstractButton* b = caja->defaultButton() ? caja->defaultButton() : caja->buttons().value(0);
        if (b)
            b->click();
    } else if (auto* pago = qobject_cast<venta::frmFacturar*>(modal)) {
        captura(QStringLiteral("04-pago"));
        std::printf("  foco en el importe: %s\n", QApplication::focusWidget() == pago->txtcantidadp ? "si" : "no");
        pago->cmdCerrar->click();
    } else if (auto* dialogo = qobject_cast<QDialog*>(modal)) {
        static QMap<QString, int> vistos;
        const QString nombre = dialogo->objectName();
        const int vez = ++vistos[nombre];
        fotografia(QStringLiteral("30-%1%2").arg(nombre, vez > 1 ? QString::number(vez) : QString()), dialogo);
        dialogo->reject();
    }
}

// Answers what pops up on its own: the login (as ADMIN), the payment dialog and message boxes
// (their default button), each photographed first. The answer runs outside the timer's slot, since
// it may open a window of its own and Qt never runs a timer's slot inside itself.
void atiendeVentanas()
{
    static QPointer<QWidget> visto;
    QWidget* modal = QApplication::activeModalWidget();
    if (!modal || modal == visto)
        return;
    visto = modal;
    QTimer::singleShot(0, modal, [modal] { atiende(modal); });
}

void cierraDocumentos(shell::MIDI& midi)
{
    for (QMdiSubWindow* s : midi.areaMDI()->subWindowList())
        s->close();
    QTest::qWait(200);
}

}  // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    ui::CargaTraduccionesQt(&app);
    carpeta = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QDir::currentPath();
    QDir().mkpath(carpeta);

    QTimer atiende;
    QObject::connect(&atiende, &QTimer::timeout, &atiende, &atiendeVentanas);
    atiende.start(150);

    shell::MIDI midi;
    venta::ConectaMenusVenta(&midi);
    catalogos::ConectaMenusCatalogos(&midi);
    caja::ConectaMenusCaja(&midi);
    admin::ConectaMenusAdmin(&midi);
    sucursales::ConectaMenusSucursales(&midi);
    shell::ConectaMenu(&midi);
    midi.setGeometry(QGuiApplication::primaryScreen()->availableGeometry());
    midi.showMaximized();
    if (!midi.Carga())
        return 1;
    captura(QStringLiteral("02-principal"));

    const std::pair<const char*, const char*> modos[] = {{"Facturar", "F"},
                                                         {"Vcredito", "VC"},
                                                         {"Cotizaciones", "C"},
                                                         {"PEInventario", "E"},
                                                         {"NotaCredito", "N"}};
    for (const auto& [item, modo] : modos) {
        midi.Ejecuta(QString::fromLatin1(item));
        captura(QStringLiteral("03-venta-%1").arg(QString::fromLatin1(modo)));
        cierraDocumentos(midi);
    }

    // The payment dialog the sell command shows when a branch takes several payments.
    G().PagosMultiples = 1;
    midi.Ejecuta(QStringLiteral("Facturar"));
    QTest::qWait(300);
    if (auto* v = midi.findChild<venta::frmVenta*>()) {
        QTest::keyClicks(v->cajaCodigo, QStringLiteral("7501000000127"));
        QTest::keyClick(v->cajaCodigo, Qt::Key_Return);
        captura(QStringLiteral("03-venta-F-con-linea"));
        // The customer comes from the catalogue, as a cashier picks it.
        QTest::mouseClick(v->cmdCliente, Qt::LeftButton);
        QTest::qWait(300);
        if (auto* c = midi.findChild<catalogos::frmClientes*>()) {
            captura(QStringLiteral("03-venta-F-cliente"));
            QTest::mouseClick(c->cmdRegresar, Qt::LeftButton);
            QTest::qWait(300);
            captura(QStringLiteral("03-venta-F-regresar"));
        }
        venta::VenderPantalla(*v, 4);
    }
    cierraDocumentos(midi);

    midi.Ejecuta(QStringLiteral("Clientes"));
    if (auto* c = midi.findChild<catalogos::frmClientes*>()) {
        captura(QStringLiteral("05-clientes-generales"));
        c->SSTab1->setCurrentIndex(1);
        captura(QStringLiteral("06-clientes-detalles"));
    }
    cierraDocumentos(midi);

    // The back office, each form as its menu item opens it (modal dialogs: see atiende).
    const std::pair<const char*, const char*> formas[] = {
        {"Proveedores", "frmProveedores"},   {"Productos", "frmProductos"},
        {"Categorias", "frmCategorias"},     {"Formaspago", "frmTipoPago"},
        {"TiposCompra", "frmTipoCompra"},    {"TipoProducto", "frmTipoProducto"},
        {"datosempresa", "frmEmpresa"},      {"Cuentas", "frmCuentas"},
        {"PreciosCredito", "frmPreciosCredito"}, {"Estadosdecuenta", "frmEstadocuenta"},
        {"mCajonDinero", "frmMovCaja"},      {"mCortesCaja", "frmCortesCaja"},
        {"mDevoluciones", "frmDevoluciones"}, {"CancelarF", nullptr},
        {"nFacturarVentas", "frmFacturarDia"}, {"Usuarios", "frmABPersonal"},
        {"CClave", nullptr},                 {"DSucursal", nullptr},
        {"Sucursales", "frmSucursales"},     {"ATraspaso", "frmTraspasos"},
        {"Exportardatos", nullptr},          {"Importardatos", nullptr}};
    for (const auto& [item, nombre] : formas) {
        midi.Ejecuta(QString::fromLatin1(item));
        QTest::qWait(300);
        QWidget* f = nombre ? shell::FormaCargada(QString::fromLatin1(nombre)) : nullptr;
        if (f && f->isVisible()) {
            fotografia(QStringLiteral("20-%1").arg(QString::fromLatin1(nombre)), f);
            // What the form's own buttons open beside it.
            if (auto* p = qobject_cast<catalogos::frmProductos*>(f)) {
                QTest::mouseClick(p->cmdProveedores, Qt::LeftButton);
                QTest::qWait(300);
                if (auto* enlaces = qobject_cast<catalogos::frmProdProveedores*>(
                        shell::FormaCargada(QStringLiteral("frmProdProveedores")))) {
                    fotografia(QStringLiteral("20-frmProdProveedores"), enlaces);
                    // A supplier of a shop's long name linked: the window stays within the main one.
                    catalogos::Proveedor largo;
                    largo.RFC = QStringLiteral("DPA010101AAA");
                    largo.NombreCompania = QStringLiteral("DISTRIBUIDORA DE PAPELERIA Y ARTICULOS DE OFICINA DEL NORTE SA DE CV");
                    largo.NombreContacto = QStringLiteral("LIC. MARIA FERNANDA GONZALEZ DE LA GARZA");
                    largo.CorreoElectronico = QStringLiteral("ventas.mayoreo@distribuidora-papeleria-del-norte.com.mx");
                    if (db::Database* codigos = shell::BDCodigos())
                        catalogos::GrabaProveedor(*codigos, largo, true, {});
                    enlaces->capRFC->setText(largo.RFC);
                    QTest::mouseClick(enlaces->cmdAgregar, Qt::LeftButton);
                    fotografia(QStringLiteral("20-frmProdProveedores-con-enlace"), enlaces);
                    // Closed, it hands the front back to the product card.
                    enlaces->close();
                    QTest::qWait(300);
                    captura(QStringLiteral("21-frmProductos-tras-proveedores"));
                }
            } else if (auto* u = qobject_cast<admin::frmABPersonal*>(f)) {
                // A new user: nothing ticked until a branch is ticked.
                QTest::mouseClick(u->cmdAgregar, Qt::LeftButton);
                if (QTreeWidgetItem* n = u->TV2->findItems(QStringLiteral("Facturar"), Qt::MatchExactly | Qt::MatchRecursive).value(0)) {
                    u->TV2->setCurrentItem(n);
                    QTest::keyClick(u->TV2, Qt::Key_Space);
                }
                if (QTreeWidgetItem* n = u->TV2->findItems(QStringLiteral("Vender"), Qt::MatchExactly | Qt::MatchRecursive).value(0)) {
                    u->TV2->setCurrentItem(n);
                    QTest::keyClick(u->TV2, Qt::Key_Space);
                }
                QTest::qWait(100);
                captura(QStringLiteral("21-frmABPersonal-nuevo"));
            } else if (auto* c = qobject_cast<catalogos::frmCuentas*>(f)) {
                QTest::mouseClick(c->cmdMovimientos, Qt::LeftButton);
                QTest::qWait(300);
                if (c->Movimientos() && c->Movimientos()->isVisible()) {
                    fotografia(QStringLiteral("20-frmMovimientos"), c->Movimientos());
                    c->Movimientos()->close();
                }
            } else if (auto* s = qobject_cast<sucursales::frmSucursales*>(f)) {
                QTest::mouseClick(s->cmdSincronizar, Qt::LeftButton);
                QTest::qWait(300);
                if (QWidget* sinc = shell::FormaCargada(QStringLiteral("frmSincronizar")))
                    fotografia(QStringLiteral("20-frmSincronizar"), sinc);
            }
        } else if (nombre) {
            std::printf("  %s no abrio %s\n", item, nombre);
        }
        QList<QPointer<QWidget>> abiertas;
        for (QWidget* w : shell::FormasCargadas())
            abiertas << w;
        for (const QPointer<QWidget>& w : abiertas)
            if (w && w != &midi && w != midi.principal() && !qobject_cast<QMdiSubWindow*>(w->parentWidget()))
                w->close();
        cierraDocumentos(midi);
    }
    frmSelectPrinter::Elige(&midi);
    // The large view of a product picture, here the login's photograph.
    {
        catalogos::frmImagenProducto imagen(&midi);
        imagen.show();
        imagen.SetImagen(carpeta + QStringLiteral("/01-login.png"));
        fotografia(QStringLiteral("20-frmImagenProducto"), &imagen);
    }
    midi.hide();

    ui::QtPrompts avisos;
    tarvex::frmMonitor monitor(tarvex::RutaDireccion(tarvex::CarpetaPrograma()), avisos);
    if (monitor.monitor().IniciaMonitor() == tarvex::Arranque::Listo) {
        monitor.show();
        captura(QStringLiteral("07-servidor"));
    }
    // Qt's own dialogs, in Spanish whatever the machine's language.
    monitor.hide();
    QPrinter impresora;
    QPrintDialog impresion(&impresora);
    impresion.show();
    captura(QStringLiteral("08-dialogo-impresion"));
    impresion.hide();
    QMessageBox pregunta(QMessageBox::Question, QStringLiteral("Confirmar."),
                         QStringLiteral("Desea borrar el cliente seleccionado ?"),
                         QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
    pregunta.show();
    captura(QStringLiteral("09-pregunta"));
    std::fflush(stdout);
    std::_Exit(0);  // the main window's exit question is not part of the pictures
}
