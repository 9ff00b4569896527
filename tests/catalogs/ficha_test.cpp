// The same person's sequences, with the mouse and the keys, over every catalogue form: a new record
// dropped with Borrar or Cancelar, a save under a search that hides it, a save handed to the sale, a
// number typed with thousands, a required field emptied, every way of leaving typing not saved
// (Nuevo, another row, a search, closing, log-out), the log-out that ends the session's windows and
// the grant asked when a save acts, and every grid read whole. A new catalogue form joins the table
// with one entry.

#include "carpeta_prueba.h"

#include "admin/forms/frmabpersonal.h"
#include "admin/forms/menus.h"
#include "branches/forms/menus.h"
#include "branches/forms/frmsucursales.h"
#include "campos_visibles.h"
#include "capture_control/ccaptura.h"
#include "catalogs/forms/frmclientes.h"
#include "catalogs/forms/frmcodigos.h"
#include "catalogs/forms/frmcuentas.h"
#include "catalogs/forms/frmpreciocredito.h"
#include "catalogs/forms/frmproductos.h"
#include "catalogs/forms/frmproveedores.h"
#include "shell/estado.h"
#include "shell/forms/ficha.h"
#include "shell/forms/formas.h"
#include "shell/forms/menuprincipal.h"
#include "shell/forms/midi.h"
#include "shell/permisos.h"
#include "shell/texto.h"

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QHash>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPointer>
#include <QTableView>
#include <QTest>

#include <gtest/gtest.h>

#include <functional>

using catalogtest::CarpetaPrueba;

namespace {

// One catalogue as a person meets it. Buttons are found by their caption or tool-tip; fields by
// name; a sequence the form has no use for is left out by an empty entry.
struct Catalogo {
    const char* nombre;
    std::function<QWidget*(CarpetaPrueba&)> abre;
    const char *nuevo, *guardar, *borrar, *cancelar;
    QList<QPair<const char*, const char*>> registro;  // a whole new record; "#n" chooses item n of a list
    const char* cuenta;                                // the rows stored
    const char* buscar;                                // the search box, "" when none
    QPair<const char*, const char*> numero;            // field typed "5,000" and what reads it back
    QPair<const char*, const char*> requerido;         // field emptied and the name the message gives
    std::function<QString()> venta;                    // what a picking sale screen receives
    const char* clave;                                 // the key the new record is stored under
};

shell::Ficha* FichaDe(QWidget* w) { return w->findChild<shell::Ficha*>(); }

QAbstractButton* Boton(QWidget* w, const char* texto)
{
    const QString t = QString::fromUtf8(texto);
    for (QAbstractButton* b : w->findChildren<QAbstractButton*>())
        if (b->isVisible() && (QString(b->text()).remove(QLatin1Char('&')) == t || b->toolTip() == t))
            return b;
    return nullptr;
}

QLineEdit* Caja(QWidget* w, const char* nombre)
{
    QWidget* campo = w->findChild<QWidget*>(QString::fromLatin1(nombre));
    if (auto* caja = qobject_cast<QLineEdit*>(campo))
        return caja;
    return campo ? campo->findChild<QLineEdit*>() : nullptr;
}

void Teclea(QWidget* w, const char* nombre, const QString& texto)
{
    if (auto* lista = w->findChild<QComboBox*>(QString::fromLatin1(nombre))) {
        lista->setCurrentIndex(texto.mid(1).toInt());
        return;
    }
    QLineEdit* caja = Caja(w, nombre);
    ASSERT_TRUE(caja) << nombre;
    caja->selectAll();
    QTest::keyClick(caja, Qt::Key_Backspace);
    QTest::keyClicks(caja, texto);
}

void Pulsa(QWidget* w, const char* texto)
{
    QAbstractButton* b = Boton(w, texto);
    ASSERT_TRUE(b) << texto;
    QTest::mouseClick(b, Qt::LeftButton);
}

// The code tables take a new row on their blank last row.
void CeldaNueva(QWidget* w, int columna, const QString& texto)
{
    auto* grid = w->findChild<QTableView*>(QStringLiteral("DBGrid1"));
    const QModelIndex celda = grid->model()->index(grid->model()->rowCount() - 1, columna);
    grid->scrollTo(celda);
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, grid->visualRect(celda).center());
    QTest::keyClick(grid, Qt::Key_F2);
    auto* editor = qobject_cast<QLineEdit*>(QApplication::focusWidget());
    ASSERT_TRUE(editor);
    editor->selectAll();
    QTest::keyClicks(editor, texto);
    QTest::keyClick(editor, Qt::Key_Return);
    QCoreApplication::processEvents();
}

void Nuevo(QWidget* w, const Catalogo& k)
{
    if (*k.nuevo)
        Pulsa(w, k.nuevo);
    else
        CeldaNueva(w, 0, QStringLiteral("77"));
}

void Llena(QWidget* w, const Catalogo& k)
{
    for (const auto& [campo, texto] : k.registro)
        Teclea(w, campo, QString::fromUtf8(texto));
}

QWidget* CodigoTabla(CarpetaPrueba& c, catalogos::TipoTabla t)
{
    return new catalogos::frmTablaCodigos(t, nullptr, c.central.get(), &c.prompts);
}

const QList<Catalogo>& Catalogos()
{
    using catalogos::TipoTabla;
    static const QList<Catalogo> t = {
        {"Clientes", [](CarpetaPrueba& c) -> QWidget* { return new catalogos::frmClientes(nullptr, c.central.get(), c.sucursal.get(), &c.prompts); },
         "Nuevo Cliente", "Guardar", "Borrar", "",
         {{"capRFC", "ZAZA800101AB1"}, {"capNombre", "CLIENTE NUEVO"}, {"capNumExterior", "SN"}, {"capColonia", "CENTRO"},
          {"capMunicipio", "LEON"}, {"cmbEstado", "#3"}, {"cmbTipoCompra", "#0"}},
         "SELECT count(*) FROM Cliente", "Text1",
         {"capMaxCredito", "SELECT LimiteCredito FROM Cliente WHERE RFC = 'ZAZA800101AB1'"}, {"capNombre", "Nombre cliente"},
         [] { return G().SeleccionCatalogo.section(QLatin1Char(';'), 0, 0); }, "ZAZA800101AB1"},
        {"Proveedores", [](CarpetaPrueba& c) -> QWidget* { return new catalogos::frmProveedores(nullptr, c.central.get(), &c.prompts); },
         "Nuevo proveedor", "Guardar", "Borrar", "", {{"capRFC", "ZAZA800101AB1"}, {"capNombre", "PROVEEDOR NUEVO"}},
         "SELECT count(*) FROM Proveedores", "Text1", {}, {"capNombre", "Nombre proveedor"}, {}, "ZAZA800101AB1"},
        {"Productos", [](CarpetaPrueba& c) -> QWidget* { return new catalogos::frmProductos(nullptr, c.sucursal.get(), c.central.get(), &c.prompts); },
         "Nuevo Producto", "Guardar", "Borrar", "",
         {{"capCodigo", "990001"}, {"capNombre", "NUEVO"}, {"capDescripcion", "PRODUCTO NUEVO"}, {"capPrecioUnit", "10"}},
         "SELECT count(*) FROM Producto", "Text1",
         {"capPrecioUnit", "SELECT PrecioUnit FROM Producto WHERE Descripcion = 'PRODUCTO NUEVO'"}, {"capIVA", "IVA"},
         [] { return G().CodigoProductoSel; }, ""},
        {"Categorias", [](CarpetaPrueba& c) { return CodigoTabla(c, TipoTabla::Categorias); }, "", "", "Borrar", "", {},
         "SELECT count(*) FROM Categoria", "", {}, {}, {}, ""},
        {"Formas de pago", [](CarpetaPrueba& c) { return CodigoTabla(c, TipoTabla::TipoPago); }, "", "", "Borrar", "", {},
         "SELECT count(*) FROM Formasdepago", "", {}, {}, {}, ""},
        {"Tipos de compra", [](CarpetaPrueba& c) { return CodigoTabla(c, TipoTabla::TipoCompra); }, "", "", "Borrar", "", {},
         "SELECT count(*) FROM TiposCompraCliente", "", {}, {}, {}, ""},
        {"Tipos de producto", [](CarpetaPrueba& c) { return CodigoTabla(c, TipoTabla::TipoProducto); }, "", "", "Borrar", "", {},
         "SELECT count(*) FROM TipoProducto", "", {}, {}, {}, ""},
        {"Cuentas", [](CarpetaPrueba& c) -> QWidget* { return new catalogos::frmCuentas(nullptr, c.sucursal.get(), &c.prompts); },
         "Agregar cuenta.", "Guardar.", "", "Cancelar cuenta.", {{"txtNomCuenta", "CUENTA NUEVA"}},
         "SELECT count(*) FROM Cuentas WHERE EstatusCuenta = 1", "",
         {"txtSaldo", "SELECT SaldoCuenta FROM Cuentas WHERE NomCuenta = 'CUENTA NUEVA'"}, {"txtNomCuenta", "Nombre"}, {}, ""},
        {"Precios a credito", [](CarpetaPrueba& c) -> QWidget* { return new catalogos::frmPreciosCredito(nullptr, c.central.get(), &c.prompts); },
         nullptr, "", "", "", {}, "SELECT count(*) FROM PreciosCredito", "", {}, {}, {}, ""},
        {"Usuarios", [](CarpetaPrueba& c) -> QWidget* { return new admin::frmABPersonal(nullptr, c.central.get(), &c.prompts); },
         "Agregar Usuario", "Guardar", "Borrar", "",
         {{"capApellidoP", "PEREZ"}, {"capApellidoM", "LOPEZ"}, {"capNombres", "JUAN"}, {"capDomicilio", "CENTRO"},
          {"capNombreU", "JUANP"}, {"capClaveAcceso", "X1"}},
         "SELECT count(*) FROM Personal", "", {}, {"capNombres", "Nombre(s)"}, {}, ""},
        {"Sucursales", [](CarpetaPrueba& c) -> QWidget* { return new sucursales::frmSucursales(nullptr, &c.prompts); },
         "Nueva Sucursal", "", "Borrar Archivos", "", {{"capDescripcion", "SUCURSAL NUEVA"}},
         "SELECT count(*) FROM Sucursales", "", {}, {}, {}, ""},
    };
    return t;
}

class FichaCatalogo : public ::testing::TestWithParam<int> {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(c.ok);
        G().PermisosUsuario.fill(true);
        G().Derechos = QString(64, QLatin1Char('1'));
        // An account already on the card, so a dropped new one has one to go back to.
        c.sucursal->exec(QStringLiteral("INSERT INTO Cuentas (IdCuenta, NomCuenta, EstatusCuenta, SaldoCuenta) "
                                        "VALUES (1, 'CAJA', 1, 0)"));
    }
    int Cuenta(const char* sql) { return c.sucursal->scalar(QString::fromUtf8(sql))->toInt(); }
    QWidget* Abre()
    {
        QWidget* w = k.abre(c);
        w->setAttribute(Qt::WA_DeleteOnClose, false);
        w->show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(w));
        return w;
    }
    CarpetaPrueba c;
    const Catalogo& k = Catalogos().at(GetParam());
};

TEST_P(FichaCatalogo, APersonsSequencesActOnTheRecordOnTheCard)
{
    // Every grid whole within its window, headed in Spanish words.
    {
        std::unique_ptr<QWidget> w(Abre());
        EXPECT_TRUE(testutil::CadaGridSeLee(w.get()));
        for (QTableView* g : w->findChildren<QTableView*>())
            for (int col = 0; col < g->model()->columnCount(); ++col)
                if (!g->isColumnHidden(col))
                    for (const char* campo : {"CodigodeBarras", "NombreCompania", "TPago", "DescripcionSuc", "IdSucursal"})
                        EXPECT_NE(g->model()->headerData(col, Qt::Horizontal).toString(), QLatin1String(campo));
        // A grab of the form once, to look at.
        w->grab().save(QDir::temp().filePath(QStringLiteral("ficha_%1.png").arg(GetParam())));
    }
    if (!k.nuevo)
        return;

    // Nuevo then Borrar / Cancelar: only the new record goes; the one shown before comes back.
    for (const char* descarta : {k.borrar, k.cancelar}) {
        if (!*descarta)
            continue;
        SCOPED_TRACE(descarta);
        std::unique_ptr<QWidget> w(Abre());
        const QVariant antes = FichaDe(w.get())->clave();
        const int filas = Cuenta(k.cuenta);
        Nuevo(w.get(), k);
        EXPECT_TRUE(FichaDe(w.get())->nueva());
        c.prompts.pushAnswer(ui::Answer::Yes);  // were anything asked, the answer would delete
        Pulsa(w.get(), descarta);
        EXPECT_EQ(Cuenta(k.cuenta), filas);
        EXPECT_FALSE(FichaDe(w.get())->nueva());
        EXPECT_EQ(FichaDe(w.get())->clave(), antes);
        c.prompts.clear();
    }

    // Close with typing not saved: asked, and No keeps the card.
    {
        std::unique_ptr<QWidget> w(Abre());
        Nuevo(w.get(), k);
        if (!k.registro.isEmpty())
            Teclea(w.get(), k.registro.front().first, QStringLiteral("A MEDIAS"));
        // The form's own close button, as a person leaves it.
        auto cierra = [&] {
            for (const char* t : {"Cerrar", "Cerrar.", "Regresar"})
                if (QAbstractButton* b = Boton(w.get(), t))
                    return QTest::mouseClick(b, Qt::LeftButton);
            FAIL() << "sin botón para cerrar";
        };
        c.prompts.clear();
        c.prompts.pushAnswer(ui::Answer::No);
        cierra();
        EXPECT_TRUE(w->isVisible());
        ASSERT_FALSE(c.prompts.asked().empty());
        EXPECT_EQ(c.prompts.asked().back().kind, ui::ScriptedPrompts::Asked::Question);
        c.prompts.pushAnswer(ui::Answer::Yes);
        cierra();
        EXPECT_FALSE(w->isVisible());
    }
    if (!*k.guardar)
        return;

    // A required field emptied: refused by name, nothing stored.
    if (k.requerido.first) {
        std::unique_ptr<QWidget> w(Abre());
        const int filas = Cuenta(k.cuenta);
        Nuevo(w.get(), k);
        Llena(w.get(), k);
        Teclea(w.get(), k.requerido.first, QString());
        c.prompts.clear();
        Pulsa(w.get(), k.guardar);
        EXPECT_TRUE(c.prompts.lastMessage().endsWith(shell::MensajeRequerido(QString::fromUtf8(k.requerido.second))))
            << c.prompts.lastMessage().toStdString();
        EXPECT_EQ(Cuenta(k.cuenta), filas);
        FichaDe(w.get())->Muestra({});
    }

    // Saved under a search that hides it, with a number typed with thousands: the card, the grid
    // and a picking sale screen get exactly the new record, the number as typed.
    std::unique_ptr<QWidget> w(Abre());
    if (*k.buscar)
        QTest::keyClicks(Caja(w.get(), k.buscar), QStringLiteral("QQQQ"));
    const int filas = Cuenta(k.cuenta);
    Nuevo(w.get(), k);
    Llena(w.get(), k);
    if (k.numero.first)
        Teclea(w.get(), k.numero.first, QStringLiteral("5,000"));
    c.prompts.clear();
    Pulsa(w.get(), k.guardar);
    EXPECT_EQ(Cuenta(k.cuenta), filas + 1) << c.prompts.messages().join(QLatin1Char('|')).toStdString();
    EXPECT_TRUE(FichaDe(w.get())->guardada());
    EXPECT_FALSE(FichaDe(w.get())->modificada());
    if (*k.clave)
        EXPECT_EQ(FichaDe(w.get())->clave().toString(), QString::fromLatin1(k.clave));
    if (*k.buscar)
        EXPECT_TRUE(Caja(w.get(), k.buscar)->text().isEmpty());
    if (k.numero.first)
        EXPECT_DOUBLE_EQ(c.sucursal->scalar(QString::fromUtf8(k.numero.second))->toDouble(), 5000.0);
    if (k.venta)
        EXPECT_EQ(k.venta(), *k.clave ? QString::fromLatin1(k.clave) : QString::fromLatin1(k.registro.front().second));
    for (const QString& m : c.prompts.messages())
        EXPECT_FALSE(m.contains(QStringLiteral("constraint"), Qt::CaseInsensitive)) << m.toStdString();

    // Borrar then takes exactly the record saved.
    if (*k.borrar) {
        c.prompts.pushAnswer(ui::Answer::Yes);
        Pulsa(w.get(), k.borrar);
        EXPECT_EQ(Cuenta(k.cuenta), filas);
    }
}

// The menu item each catalogue opens from.
QString ItemDe(const char* nombre)
{
    static const QHash<QString, QString> items{
        {"Clientes", "Clientes"},          {"Proveedores", "Proveedores"},       {"Productos", "Productos"},
        {"Categorias", "Categorias"},      {"Formas de pago", "Formaspago"},     {"Tipos de compra", "TiposCompra"},
        {"Tipos de producto", "TipoProducto"}, {"Cuentas", "Cuentas"},           {"Precios a credito", "PreciosCredito"},
        {"Usuarios", "Usuarios"},          {"Sucursales", "Sucursales"}};
    return items.value(QString::fromLatin1(nombre));
}

// The grid whose rows are the records: the one showing the most.
QTableView* GridDeFichas(QWidget* w)
{
    QTableView* mejor = nullptr;
    for (QTableView* g : w->findChildren<QTableView*>())
        if (g->isVisible() && (!mejor || g->model()->rowCount() > mejor->model()->rowCount()))
            mejor = g;
    return mejor;
}

QRect Celda(QTableView* g, int fila)
{
    for (int col = 0; col < g->model()->columnCount(); ++col)
        if (!g->isColumnHidden(col))
            return g->visualRect(g->model()->index(fila, col));
    return {};
}

void Procesa()
{
    for (int i = 0; i < 3; ++i) {
        QApplication::processEvents();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
}

// Typing on a stored record, then every way of leaving it: No keeps the card with the typing, Yes
// leaves. The code tables and the credit prices keep their typing in the grid's own rows.
TEST_P(FichaCatalogo, EveryWayOfLeavingTypingNotSavedAsksFirst)
{
    if (!k.nuevo || !*k.nuevo || k.registro.isEmpty())
        return;
    // Another stored record to move to.
    if (Cuenta(k.cuenta) < 2) {
        c.central->exec(QStringLiteral("INSERT INTO Sucursales (IdSucursal, DescripcionSuc, DescripcionC, "
                                       "NumTerminales) VALUES (2, 'SUCURSAL NORTE', 'Norte', '1')"));
        c.central->exec(QStringLiteral("INSERT INTO Proveedores (RFC, NombreCompania) VALUES ('ABC010101AAA', 'PAPELERA')"));
    }
    if (Cuenta(k.cuenta) < 2) {
        std::unique_ptr<QWidget> w(Abre());
        Nuevo(w.get(), k);
        Llena(w.get(), k);
        Pulsa(w.get(), k.guardar);
    }
    ASSERT_GE(Cuenta(k.cuenta), 2) << c.prompts.messages().join(QLatin1Char('|')).toStdString();

    QPointer<QWidget> w;
    QTableView* grid = nullptr;
    int otra = 0;
    struct Salida {
        const char* nombre;
        std::function<void()> sale;
        std::function<bool()> salio;
    };
    QList<Salida> salidas = {
        {"Nuevo", [&] { Pulsa(w, k.nuevo); }, [&] { return FichaDe(w)->nueva(); }},
        {"otra fila con el ratón",
         [&] { QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, Celda(grid, otra).center()); },
         [&] { return grid->currentIndex().row() == otra; }},
        {"otra fila con las flechas", [&] { QTest::keyClick(grid, otra < grid->currentIndex().row() ? Qt::Key_Up : Qt::Key_Down); },
         [&] { return grid->currentIndex().row() == otra; }},
        {"Terminar sesión", [&] { shell::TerminaSesion(nullptr); }, [&] { return w.isNull(); }},
    };
    if (*k.buscar)
        salidas.append({"una búsqueda", [&] { QTest::keyClicks(Caja(w, k.buscar), QStringLiteral("Z")); },
                        [&] { return Caja(w, k.buscar)->text() == QLatin1String("Z"); }});
    for (const Salida& s : salidas) {
        SCOPED_TRACE(s.nombre);
        G().PermisosUsuario.fill(true);
        w = Abre();
        w->setAttribute(Qt::WA_DeleteOnClose);
        shell::RegistraForma(w);
        grid = GridDeFichas(w);
        ASSERT_TRUE(grid);
        grid->setFocus();
        const QModelIndex actual = grid->currentIndex();
        otra = !actual.isValid() ? 0 : actual.row() > 0 ? actual.row() - 1 : actual.row() + 1;
        ASSERT_TRUE(FichaDe(w)->guardada());
        Teclea(w, k.registro.front().first, QStringLiteral("A MEDIAS"));
        ASSERT_TRUE(FichaDe(w)->modificada());

        c.prompts.clear();
        c.prompts.pushAnswer(ui::Answer::No);
        s.sale();
        Procesa();
        ASSERT_FALSE(w.isNull());
        EXPECT_FALSE(s.salio());
        ASSERT_EQ(c.prompts.asked().size(), 1u);
        EXPECT_EQ(c.prompts.asked().front().kind, ui::ScriptedPrompts::Asked::Question);
        EXPECT_TRUE(FichaDe(w)->guardada());
        EXPECT_TRUE(FichaDe(w)->modificada());
        EXPECT_EQ(Caja(w, k.registro.front().first)->text(), QStringLiteral("A MEDIAS"));

        c.prompts.pushAnswer(ui::Answer::Yes);
        s.sale();
        Procesa();
        EXPECT_TRUE(s.salio()) << grid->currentIndex().row() << " " << otra;
        if (w) {
            FichaDe(w)->Muestra({});
            delete w.data();
        }
    }
}

// A window left open does not outlive its session: "Terminar sesión" closes it, and the next user,
// without the grant, finds no save that acts for her (the window brought back as if it had stayed).
TEST_P(FichaCatalogo, TheSessionsWindowsEndWithItAndEverySaveAsksTheGrant)
{
    const QString item = ItemDe(k.nombre);
    ASSERT_FALSE(item.isEmpty());
    // A window of the catalogue that outlives the log-out (as one did before), a record half typed.
    std::unique_ptr<QWidget> w(Abre());
    const int filas = Cuenta(k.cuenta);
    if (!k.nuevo) {
        // Credit prices: a product's code, for a plan to insert.
        Teclea(w.get(), "capCodigo", c.central->scalar(QStringLiteral("SELECT CodigodeBarras FROM Producto "
                                                                      "ORDER BY ClaveProducto DESC"))->toString());
    } else {
        Nuevo(w.get(), k);
        Llena(w.get(), k);
    }
    // Off screen, where a log-out cannot reach it (no window on screen outlives one any more).
    w->hide();
    {
        shell::MIDI midi;
        catalogos::ConectaMenusCatalogos(&midi);
        admin::ConectaMenusAdmin(&midi);
        sucursales::ConectaMenusSucursales(&midi);
        shell::ConectaMenu(&midi);
        midi.show();
        midi.Ejecuta(item);
        Procesa();
        // The main window and the catalogue's, in it or over it.
        ASSERT_EQ(shell::FormasCargadas().size(), 2) << c.prompts.messages().join(QLatin1Char('|')).toStdString();
        QPointer<QWidget> ventana = shell::FormasCargadas().back();
        EXPECT_TRUE(shell::TerminaSesion(&midi));
        Procesa();
        EXPECT_TRUE(ventana.isNull());
        EXPECT_TRUE(midi.areaMDI()->subWindowList().isEmpty());
        EXPECT_EQ(shell::FormasCargadas().size(), 1);  // the main window alone
        EXPECT_FALSE(G().PermisosUsuario[size_t(shell::PermisoDeOpcion(item))]);
    }

    // The next user sells and nothing else; the window left from before saves nothing for her.
    G().PermisosUsuario[12] = true;
    G().ClaveUsuario = 2;
    c.prompts.clear();
    w->show();
    w->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(w.get()));
    if (!k.nuevo)
        Pulsa(w.get(), "Insertar");
    else if (!*k.nuevo)
        CeldaNueva(w.get(), 1, QStringLiteral("NUEVA"));  // a code table's row, whole
    else
        Pulsa(w.get(), *k.guardar ? k.guardar : "Guardar");
    EXPECT_EQ(Cuenta(k.cuenta), filas);
    EXPECT_TRUE(c.prompts.messages().contains(QString::fromUtf8(shell::kSinAcceso)))
        << c.prompts.messages().join(QLatin1Char('|')).toStdString();
    FichaDe(w.get())->Muestra({});
}

INSTANTIATE_TEST_SUITE_P(CadaCatalogo, FichaCatalogo, ::testing::Range(0, int(Catalogos().size())),
                         [](const auto& info) {
                             return QString::fromLatin1(Catalogos().at(info.param).nombre)
                                 .remove(QLatin1Char(' '))
                                 .toStdString();
                         });

}  // namespace
