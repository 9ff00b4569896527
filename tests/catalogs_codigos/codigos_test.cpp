// The code tables and the company data on a data folder made by the setup tool: the protected rows,
// the checks on typed keys, the customers' purchase type by code, the company save and its two
// files; the grid form and the company form driven as a person does.

#include "shell/texto.h"
#include "catalogs/empresa.h"
#include "catalogs/forms/frmclientes.h"
#include "catalogs/forms/frmcodigos.h"
#include "catalogs/forms/frmempresa.h"
#include "catalogs/tablas.h"
#include "capture_control/ccaptura.h"
#include "fixture.h"
#include "shell/forms/formas.h"
#include "shell/forms/menuprincipal.h"
#include "shell/forms/midi.h"
#include "shell/permisos.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QStandardItemModel>
#include <QTableView>
#include <QTest>

using namespace catalogos;

namespace {

class CodigosTest : public DatosTest {
protected:
    qint64 Cuenta(const TablaCodigos& t, qint64 clave)
    {
        return Valor(*central, QStringLiteral("SELECT COUNT(*) FROM %1 WHERE %2 = ?").arg(t.tabla, t.clave),
                     {clave})
            .toLongLong();
    }
    QLineEdit* Caja(CCaptura* c) { return c->findChild<QLineEdit*>(); }
};

TEST_F(CodigosTest, ProtectedRowsSurviveDeleteAndKeyChange)
{
    const struct {
        TipoTabla tipo;
        QList<qint64> claves;
    } casos[] = {{TipoTabla::Categorias, {0}}, {TipoTabla::TipoPago, {0, 1, 2, 3, 4}}, {TipoTabla::TipoCompra, {0}}};
    for (const auto& caso : casos) {
        const TablaCodigos& t = DefinicionTabla(caso.tipo);
        for (qint64 clave : caso.claves) {
            prompts.clear();
            prompts.pushAnswer(ui::Answer::Yes);
            EXPECT_EQ(BorraCodigo(*central, t, clave, QStringLiteral("X"), prompts), Borrado::Protegida);
            ASSERT_EQ(prompts.asked().size(), 2u);
            EXPECT_EQ(prompts.asked()[0].text, t.pregunta + QStringLiteral("X ?"));
            EXPECT_EQ(prompts.lastMessage(), t.protegida);
            db::Error e;
            EXPECT_FALSE(CambiaCodigo(*central, t, clave, QStringLiteral("14"), QStringLiteral("OTRA"), &e));
            EXPECT_EQ(Cuenta(t, clave), 1) << t.tabla.toStdString() << " " << clave;
            // The description of a protected row may still change.
            EXPECT_TRUE(CambiaCodigo(*central, t, clave, QString::number(clave), QStringLiteral("NUEVA"), &e));
        }
    }
    EXPECT_EQ(DefinicionTabla(TipoTabla::Categorias).pregunta, QStringLiteral("Esta seguro que desea borrar la categoria. "));
    EXPECT_TRUE(DefinicionTabla(TipoTabla::TipoProducto).protegidas.isEmpty());
}

TEST_F(CodigosTest, DeleteAsksAndOnlyYesDeletes)
{
    const TablaCodigos& pago = DefinicionTabla(TipoTabla::TipoPago);
    prompts.pushAnswer(ui::Answer::No);
    EXPECT_EQ(BorraCodigo(*central, pago, 5, QStringLiteral("TRANSFERENCIA"), prompts), Borrado::Nada);
    EXPECT_EQ(prompts.asked().size(), 1u);
    EXPECT_EQ(prompts.asked()[0].text, QStringLiteral("Esta seguro que desea borrar la forma de pago TRANSFERENCIA ?"));
    EXPECT_EQ(Cuenta(pago, 5), 1);
    prompts.pushAnswer(ui::Answer::Yes);
    EXPECT_EQ(BorraCodigo(*central, pago, 5, QStringLiteral("TRANSFERENCIA"), prompts), Borrado::Borrado);
    EXPECT_EQ(Cuenta(pago, 5), 0);

    const TablaCodigos& producto = DefinicionTabla(TipoTabla::TipoProducto);
    prompts.pushAnswer(ui::Answer::Yes);
    EXPECT_EQ(BorraCodigo(*central, producto, 0, QStringLiteral("PRODUCTO"), prompts), Borrado::Borrado);
    EXPECT_EQ(Cuenta(producto, 0), 0);
}

TEST_F(CodigosTest, BadKeysAreRefusedAndNothingIsStored)
{
    const TablaCodigos& pago = DefinicionTabla(TipoTabla::TipoPago);
    const qint64 antes = Valor(*central, QStringLiteral("SELECT COUNT(*) FROM Formasdepago")).toLongLong();
    db::Error e;
    for (const char* clave : {"abc", "9.5", "-1", "16", "5"}) {
        e = {};
        EXPECT_FALSE(AgregaCodigo(*central, pago, QString::fromLatin1(clave), QStringLiteral("VALES"), &e)) << clave;
        EXPECT_NE(e.kind, db::ErrorKind::None);
    }
    EXPECT_EQ(e.kind, db::ErrorKind::DuplicateKey);
    EXPECT_EQ(Valor(*central, QStringLiteral("SELECT COUNT(*) FROM Formasdepago")).toLongLong(), antes);
    EXPECT_FALSE(CambiaCodigo(*central, pago, 7, QStringLiteral("16"), QStringLiteral("X"), &e));
    EXPECT_FALSE(CambiaCodigo(*central, pago, 7, QStringLiteral("8"), QStringLiteral("X"), &e));
    EXPECT_EQ(Valor(*central, QStringLiteral("SELECT Descripcion FROM Formasdepago WHERE TPago = 7")).toString(),
              QStringLiteral("DEPOSITO BANCARIO"));
    // A typed key with quotes is a value like any other: refused as not a number, table intact.
    EXPECT_FALSE(AgregaCodigo(*central, pago, QStringLiteral("1'; DROP TABLE Formasdepago; --"), {}, &e));
    EXPECT_TRUE(AgregaCodigo(*central, DefinicionTabla(TipoTabla::Categorias), QStringLiteral(" 40 "),
                             QStringLiteral("O'HARA"), &e));
    EXPECT_EQ(Valor(*central, QStringLiteral("SELECT Descripcion FROM Categoria WHERE ClaveCategoria = 40")).toString(),
              QStringLiteral("O'HARA"));
}

TEST_F(CodigosTest, CustomersKeepTheirPurchaseTypeByCode)
{
    G().PermisosUsuario[37] = G().PermisosUsuario[38] = true;
    ASSERT_TRUE(central->exec(QStringLiteral("INSERT INTO Cliente (RFC, Nombre, TipoCompra, NumExterior, Colonia, "
                                             "Municipio, Estado) VALUES ('MAYO750505AB1', 'MAYORISTA', 2, '1', "
                                             "'CENTRO', 'LEON', 'GUANAJUATO')")));
    prompts.pushAnswer(ui::Answer::Yes);
    ASSERT_EQ(BorraCodigo(*central, DefinicionTabla(TipoTabla::TipoCompra), 1, QStringLiteral("CREDITO"), prompts),
              Borrado::Borrado);

    frmClientes f(nullptr, central.get(), central.get(), &prompts);
    int fila = -1;
    for (int i = 0; i < f.Registros(); ++i) {
        f.MueveA(i);
        if (f.capRFC->Text() == QStringLiteral("MAYO750505AB1"))
            fila = i;
    }
    ASSERT_GE(fila, 0);
    f.MueveA(fila);
    EXPECT_EQ(f.cmbTipoCompra->currentText(), QStringLiteral("MAYOREO"));
    QTest::mouseClick(f.cmdGuardar, Qt::LeftButton);
    EXPECT_EQ(Valor(*central, QStringLiteral("SELECT TipoCompra FROM Cliente WHERE RFC = 'MAYO750505AB1'")).toInt(), 2);
    f.cmbTipoCompra->setCurrentIndex(0);
    QTest::mouseClick(f.cmdGuardar, Qt::LeftButton);
    EXPECT_EQ(Valor(*central, QStringLiteral("SELECT TipoCompra FROM Cliente WHERE RFC = 'MAYO750505AB1'")).toInt(), 0);
}

class EmpresaTest : public CodigosTest {
protected:
    QVariant Dir()
    {
        auto bd = db::Database::open(app + QStringLiteral("/Direccion.db"));
        return bd->scalar(QStringLiteral("SELECT Sucursal FROM Dir")).value_or(QVariant());
    }
    DatosEmpresa Leida() { return *LeeEmpresa(*central); }
};

TEST_F(EmpresaTest, TwoSavesKeepOneBlankAndTheUntouchedFields)
{
    ASSERT_TRUE(central->exec(QStringLiteral("UPDATE Empresa SET EmailFacturas = 'facturas@negocio.mx'")));
    ASSERT_TRUE(central->exec(QStringLiteral(
        "INSERT INTO Sucursales (IdSucursal, DescripcionC) VALUES (2, 'Norte')")));
    DatosEmpresa d = Leida();
    d.SucursalDefault = QStringLiteral("2");
    d.RazonSocial = QStringLiteral("ABARROTES LUPITA SA");
    ASSERT_TRUE(GuardaEmpresa(*central, app, d, prompts));
    EXPECT_EQ(prompts.lastMessage(), QStringLiteral("Datos guardados, salga y vuelva a entrar."));
    ASSERT_TRUE(GuardaEmpresa(*central, app, Leida(), prompts));
    const DatosEmpresa g = Leida();
    EXPECT_EQ(g.RazonSocial, QStringLiteral("ABARROTES LUPITA SA "));
    EXPECT_EQ(g.EmailFacturas, QStringLiteral("facturas@negocio.mx"));
    EXPECT_EQ(g.SucursalDefault, QStringLiteral("2"));
    EXPECT_EQ(Dir().toInt(), 2);
    // The running program keeps what it read at start-up.
    EXPECT_EQ(G().SucursalActual, 1);
}

TEST_F(EmpresaTest, BadNumbersWriteNeitherFile)
{
    const struct {
        const char* numSuc;
        const char* sucDefault;
        const char* mensaje;
    } casos[] = {{"1", "3", "Sucursal default no válida."},   // no Sucursales row
                 {"1", "11", "Sucursal default no válida."},
                 {"1", "-1", "Sucursal default no válida."},
                 {"1", "uno", "Sucursal default no válida."},
                 {"0", "1", "Número de sucursales no válido."},
                 {"12", "1", "Número de sucursales no válido."},
                 {"2.5", "1", "Número de sucursales no válido."}};
    for (const auto& c : casos) {
        DatosEmpresa d = Leida();
        d.NombreEmp = QStringLiteral("OTRO NOMBRE");
        d.NumSucursales = QString::fromLatin1(c.numSuc);
        d.SucursalDefault = QString::fromLatin1(c.sucDefault);
        EXPECT_FALSE(GuardaEmpresa(*central, app, d, prompts));
        EXPECT_EQ(prompts.lastMessage(), QString::fromUtf8(c.mensaje)) << c.numSuc << " " << c.sucDefault;
        EXPECT_EQ(Leida().NombreEmp, QStringLiteral("MI NEGOCIO"));
        EXPECT_EQ(Dir().toInt(), 1);
    }
}

TEST_F(EmpresaTest, AMissingMachineFileIsToldNotReportedAsSaved)
{
    DatosEmpresa d = Leida();
    EXPECT_FALSE(GuardaEmpresa(*central, dir.path() + QStringLiteral("/ninguna"), d, prompts));
    EXPECT_TRUE(prompts.lastMessage().startsWith(QStringLiteral("Los datos de la empresa se guardaron, pero no")));
}

TEST_F(CodigosTest, PaymentFormGridAddsEditsAndDeletesAsAPersonDoes)
{
    frmTablaCodigos f(TipoTabla::TipoPago, nullptr, central.get(), &prompts);
    f.resize(500, 400);
    f.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&f));
    auto* modelo = qobject_cast<QStandardItemModel*>(f.DBGrid1->model());
    auto escribe = [&](int fila, int col, const QString& texto) {
        EscribeCelda(f.DBGrid1, modelo->index(fila, col), texto);
    };
    const int nueva = modelo->rowCount() - 1;
    EXPECT_EQ(modelo->item(nueva, 0)->text(), QString());
    // Typed key first: kept as typed, nothing stored and nothing said until the row is whole.
    escribe(nueva, 0, QStringLiteral("9"));
    EXPECT_EQ(Cuenta(f.Tabla(), 9), 0);
    EXPECT_TRUE(prompts.messages().isEmpty());
    EXPECT_EQ(modelo->item(nueva, 0)->text(), QStringLiteral("9"));
    escribe(nueva, 1, QStringLiteral("VALES"));
    EXPECT_EQ(Valor(*central, QStringLiteral("SELECT Descripcion FROM Formasdepago WHERE TPago = 9")).toString(),
              QStringLiteral("VALES"));
    EXPECT_EQ(modelo->rowCount(), nueva + 2);  // a new blank row

    escribe(nueva, 1, QStringLiteral("VALES DE DESPENSA"));
    EXPECT_EQ(Valor(*central, QStringLiteral("SELECT Descripcion FROM Formasdepago WHERE TPago = 9")).toString(),
              QStringLiteral("VALES DE DESPENSA"));
    // A stored description cannot be emptied: refused by name, the stored one shown again.
    escribe(nueva, 1, QString());
    EXPECT_EQ(prompts.lastMessage(), shell::MensajeRequerido(QString::fromUtf8("Descripción")));
    EXPECT_EQ(modelo->item(nueva, 1)->text(), QStringLiteral("VALES DE DESPENSA"));
    // A key already taken is refused and the cell shows the stored key again.
    escribe(nueva, 0, QStringLiteral("8"));
    EXPECT_EQ(prompts.lastMessage(), QStringLiteral("La clave 8 ya existe."));
    EXPECT_EQ(modelo->item(nueva, 0)->text(), QStringLiteral("9"));

    QTest::mouseClick(f.DBGrid1->viewport(), Qt::LeftButton, {},
                      f.DBGrid1->visualRect(modelo->index(nueva, 1)).center());
    prompts.pushAnswer(ui::Answer::Yes);
    QTest::mouseClick(f.cmdBorrar, Qt::LeftButton);
    EXPECT_EQ(prompts.asked().back().text,
              QStringLiteral("Esta seguro que desea borrar la forma de pago VALES DE DESPENSA ?"));
    EXPECT_EQ(Cuenta(f.Tabla(), 9), 0);
    EXPECT_EQ(modelo->rowCount(), nueva + 1);
    // The blank row has nothing to delete.
    const size_t preguntas = prompts.asked().size();
    QTest::mouseClick(f.DBGrid1->viewport(), Qt::LeftButton, {},
                      f.DBGrid1->visualRect(modelo->index(nueva, 1)).center());
    QTest::mouseClick(f.cmdBorrar, Qt::LeftButton);
    EXPECT_EQ(prompts.asked().size(), preguntas);
}

TEST_F(EmpresaTest, CompanyFormSavesTheDefaultBranch)
{
    ASSERT_TRUE(central->exec(QStringLiteral("UPDATE Empresa SET SucursalDefault = 0")));
    frmEmpresa f(nullptr, central.get(), &prompts, app);
    f.show();
    EXPECT_EQ(f.capRazonSocial->Text(), QStringLiteral("MI NEGOCIO S.A. DE C.V. "));
    Caja(f.capSucDefault)->selectAll();
    QTest::keyClicks(Caja(f.capSucDefault), QStringLiteral("1"));
    Caja(f.capEmpresa)->selectAll();
    QTest::keyClicks(Caja(f.capEmpresa), QStringLiteral("ABARROTES LUPITA"));
    QTest::mouseClick(f.cmdGuardar, Qt::LeftButton);
    EXPECT_EQ(prompts.lastMessage(), QStringLiteral("Datos guardados, salga y vuelva a entrar."));
    EXPECT_EQ(Dir().toInt(), 1);
    EXPECT_EQ(Leida().SucursalDefault, QStringLiteral("1"));
    EXPECT_EQ(Leida().NombreEmp, QStringLiteral("ABARROTES LUPITA"));
    EXPECT_EQ(Leida().RazonSocial, QStringLiteral("MI NEGOCIO S.A. DE C.V. "));
}

TEST_F(CodigosTest, MenuItemsOpenTheirFormsAfterTheirPermissionCheck)
{
    G().PermisosUsuario.fill(false);
    shell::MIDI midi;
    catalogos::ConectaMenusCatalogos(&midi);
    shell::ConectaMenu(&midi);
    const struct {
        const char* item;
        int permiso;
        const char* forma;
    } items[] = {{"Categorias", 5, "frmCategorias"},
                 {"Formaspago", 7, "frmTipoPago"},
                 {"TiposCompra", 8, "frmTipoCompra"},
                 {"TipoProducto", 10, "frmTipoProducto"},
                 {"datosempresa", 30, "frmEmpresa"},
                 {"Cuentas", -1, "frmCuentas"},
                 {"PreciosCredito", -1, "frmPreciosCredito"},
                 {"Estadosdecuenta", -1, "frmEstadocuenta"}};
    for (const auto& i : items) {
        const QString item = QString::fromLatin1(i.item);
        ASSERT_TRUE(midi.TieneAccion(item)) << i.item;
        if (i.permiso >= 0) {
            midi.Ejecuta(item);
            EXPECT_FALSE(shell::FormaAbierta(QString::fromLatin1(i.forma))) << i.item;
            G().PermisosUsuario[size_t(i.permiso)] = true;
        }
        midi.Ejecuta(item);
        QWidget* forma = shell::FormaCargada(QString::fromLatin1(i.forma));
        ASSERT_TRUE(forma) << i.item;
        forma->close();
    }
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    // A user holding every permission, as ADMIN does, finds them all switched on.
    G().PermisosUsuario.fill(true);
    shell::QuitaNoConstruidos(&midi);
    shell::AplicaPermisosMenu();
    for (const auto& i : items)
        EXPECT_TRUE(midi.accion(QString::fromLatin1(i.item))->isEnabled()) << i.item;
    shell::OlvidaAbridores();
}

}  // namespace
