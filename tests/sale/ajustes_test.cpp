#include "fixture.h"
#include "sale/ajustes.h"
#include "sale/detalles.h"
#include "sale/genericos.h"
#include "sale/inventario_es.h"
#include "sale/teclas.h"
#include "shell/estado.h"

#include <QSet>

#include <gtest/gtest.h>

#include <thread>

using namespace venta;

TEST(VentaAjustes, StrictNumberReader)
{
    struct Caso {
        const char* texto;
        std::optional<double> valor;
    } casos[] = {{"12", 12},      {" 3.5 ", 3.5}, {"-3", -3},   {"+2", 2},        {"0.50", 0.5},
                 {"1,000", 1000}, {"1e3", {}},    {"12abc", {}}, {".", {}},        {"", {}},
                 {"1.2.3", {}},   {"--1", {}},    {"$5", {}},   {"5.", 5},        {".5", 0.5},
                 {"1,234.50", 1234.5}, {"12,345,678", 12345678}, {"5,00", {}}, {"1,2345", {}},
                 {",100", {}},    {"1234,567", {}}, {"1,000.", 1000}, {"1.000,5", {}},
                 // no thousands figure starts with "0,": there the comma marks the decimals
                 {"0,500", 0.5},  {"0,750", 0.75}, {"-0,5", -0.5}, {"00,25", 0.25}, {"0,", {}},
                 {"0,500.5", {}}, {"0,5,00", {}},  {"5,000", 5000}, {"  12 ", 12}, {"-100", -100},
                 // cents stay exact below 10^13; beyond, nothing is taken
                 {"9999999999999.99", 9999999999999.99}, {"10000000000000", {}}, {"1e20", {}},
                 {"-10,000,000,000,000", {}}};
    for (const Caso& c : casos)
        EXPECT_EQ(LeeNumero(QString::fromUtf8(c.texto)), c.valor) << c.texto;
    EXPECT_EQ(LeeNumero(QStringLiteral("-3"), false), std::nullopt);

    // The limits a field puts on what was read, each told in the field's name.
    const auto mensaje = [](const char* texto, shell::RangoNumero rango) {
        QString m;
        const auto v = shell::LeeNumeroEn(QString::fromUtf8(texto), QStringLiteral("Importe"), rango, &m);
        return v ? QString::number(*v) : m;
    };
    EXPECT_EQ(mensaje("12abc", {}), shell::MensajeNumero(QStringLiteral("Importe")));
    EXPECT_EQ(mensaje("-100", {}), "El dato de \"Importe\" no puede ser negativo.");
    EXPECT_EQ(mensaje("-100", {true, true, 1000}), "-100");
    EXPECT_EQ(mensaje("0", {false, false, 1000}), "El dato de \"Importe\" debe ser mayor que cero.");
    EXPECT_EQ(mensaje("0", {true, false, 1000}), "El dato de \"Importe\" no puede ser cero.");
    EXPECT_EQ(mensaje("150", {false, true, 100}), "El dato de \"Importe\" no puede pasar de 100.");
    EXPECT_EQ(mensaje("99999999999999", {}), "El dato de \"Importe\" no puede pasar de 9,999,999,999,999.99.");
    EXPECT_EQ(mensaje("0,500", {}), "0.5");
}

TEST(VentaAjustes, LineDiscountPrompt)
{
    struct Caso {
        const char* respuesta;
        double lDesc;
        int max;
        bool p41;
        bool escribe;
        double valor;
        const char* mensaje;
    } casos[] = {
        {"20", 15, 30, false, true, 15, ""},     // cut to the product's limit
        {"150", 0, 10, true, false, 0, "El dato de \"Descuento %\" no puede pasar de 100."},
        // above the branch cap without permission 41: refused, and the person is told why
        {"12", 0, 10, false, false, 0, "Descuento no permitido: el máximo autorizado es 10%."},
        {"20", 15, 12, false, false, 0, "Descuento no permitido: el máximo autorizado es 12%."},
        {"10", 0, 10, false, true, 10, ""},      // exactly the cap is allowed
        {"8", 0, 10, false, true, 8, ""},
        {"60", 0, 10, true, true, 60, ""},
        {"-0.5", 0, 10, true, false, 0, "El dato de \"Descuento %\" no puede ser negativo."},
        {"", 0, 10, true, false, 0, ""},
    };
    for (const Caso& c : casos) {
        const Ajuste a = DescuentoLinea(QString::fromUtf8(c.respuesta), c.lDesc, c.max, c.p41);
        EXPECT_EQ(a.escribe, c.escribe) << c.respuesta;
        if (c.escribe)
            EXPECT_DOUBLE_EQ(a.valor, c.valor) << c.respuesta;
        EXPECT_EQ(a.mensaje, QString::fromUtf8(c.mensaje)) << c.respuesta;
    }
}

TEST(VentaAjustes, QuantityAndUnitPricePrompts)
{
    struct Caso {
        const char* respuesta;
        bool modoE, p48, p49;
        bool escribe;
        double valor;
        const char* mensaje;
    } casos[] = {
        {".5", false, false, false, true, 0.5, ""},
        {"0,500", false, false, false, true, 0.5, ""},
        {"0", false, false, false, false, 0, "El dato de \"Cantidad\" debe ser mayor que cero."},
        {"-5", false, false, false, false, 0, "El dato de \"Cantidad\" no puede ser negativo."},
        {"", false, false, false, false, 0, ""},  // Cancel
        {"0", true, true, true, false, 0, "El dato de \"Cantidad\" no puede ser cero."},
        {"-3", true, true, false, false, 0, "Cantidad no válida para el usuario(S)."},
        {"-3", true, false, true, true, -3, ""},
        {"4", true, false, true, false, 0, "Cantidad no válida para el usuario(E)."},
        {"4", true, true, false, true, 4, ""},
    };
    for (const Caso& c : casos) {
        const Ajuste a = CantidadLinea(QString::fromUtf8(c.respuesta), c.modoE, c.p48, c.p49);
        EXPECT_EQ(a.escribe, c.escribe) << c.respuesta << " E=" << c.modoE;
        if (c.escribe)
            EXPECT_DOUBLE_EQ(a.valor, c.valor);
        EXPECT_EQ(a.mensaje, QString::fromUtf8(c.mensaje)) << c.respuesta;
    }
    EXPECT_FALSE(PrecioUnitLinea(QStringLiteral("-5"), false).escribe);
    EXPECT_TRUE(PrecioUnitLinea(QStringLiteral("-5"), true).escribe);
    EXPECT_DOUBLE_EQ(PrecioUnitLinea(QStringLiteral("12.5"), false).valor, 12.5);
    EXPECT_EQ(PrecioUnitLinea(QStringLiteral("12 pesos"), false).mensaje,
              shell::MensajeNumero(QStringLiteral("Precio Unitario")));
    EXPECT_EQ(CantidadLinea(QStringLiteral("1,00"), false, false, false).mensaje,
              shell::MensajeNumero(QStringLiteral("Cantidad")));
    for (const char* malo : {"abc", "1,5"})
        EXPECT_EQ(DescuentoLinea(QString::fromUtf8(malo), 0, 10, true).mensaje,
                  shell::MensajeNumero(QStringLiteral("Descuento %")));
}

TEST(VentaAjustes, LineTextsKeepTheirLimits)
{
    const QString m44(44, QLatin1Char('M')), d60(60, QLatin1Char('D'));
    EXPECT_EQ(ModeloGenerico(m44).texto, m44);
    EXPECT_TRUE(ModeloGenerico(m44).mensaje.isEmpty());
    const Ajuste m45 = ModeloGenerico(m44 + QLatin1Char('X'));
    EXPECT_EQ(m45.texto, m44);
    EXPECT_EQ(m45.mensaje, "El modelo que escribió tiene mas de 44 caracteres, se guardarán solo "
                           "los primeros 44.");
    EXPECT_TRUE(DescripcionGenerico(d60).mensaje.isEmpty());
    EXPECT_EQ(DescripcionGenerico(d60 + QLatin1Char('X')).texto, d60);
    EXPECT_EQ(DescripcionGenerico(QStringLiteral("a")).texto, "Descripcion");
    EXPECT_EQ(ModeloGenerico(QString()).texto, "Modelo");
    EXPECT_EQ(ObservacionLinea(QString()).texto, " ");
    EXPECT_EQ(ObservacionLinea(QString(121, QLatin1Char('o'))).texto.size(), 120);
    EXPECT_FALSE(PrecioVentaES(QString()).escribe);
    EXPECT_EQ(PrecioVentaES(QStringLiteral("12abc")).mensaje, shell::MensajeNumero(QStringLiteral("Precio de venta")));
    EXPECT_FALSE(PrecioVentaES(QStringLiteral("5,00")).escribe);
    EXPECT_EQ(PrecioVentaES(QStringLiteral("$45.50")).texto, "45.5");
    EXPECT_EQ(PrecioVentaES(QStringLiteral("0,500")).texto, "0.5");
    EXPECT_DOUBLE_EQ(PrecioObservacion(PrecioVentaES(QStringLiteral("1,250.50")).texto), 1250.5);
    for (const char* nada : {"SN", "LOTE 12", "-5", "1e3"})
        EXPECT_EQ(PrecioObservacion(QString::fromUtf8(nada)), 0.0) << nada;
}

TEST(VentaTeclas, SequenceStateMachine)
{
    // Streams of key codes and the actions they end in.
    const int F11 = 122, X = 88, t1 = 65, t2 = 83, t3 = 68, t4 = 81, t5 = 87, t6 = 69;
    struct Caso {
        const char* nombre;
        SecuenciaTeclas teclas;
        std::vector<int> flujo;
        AccionTecla ultima;
    } casos[] = {
        {"ticket", {t1, t2, t3, t4, t5, t6}, {t1, t2, t3}, AccionTecla::CierraTicket},
        {"broken", {t1, t2, t3, t4, t5, t6}, {t1, X, t2, t3}, AccionTecla::Tomada},
        {"t1=t2: t3 alone", {t1, t1, t3, t4, t5, t6}, {t3}, AccionTecla::CierraTicket},
        {"second", {t1, t2, t3, t4, t5, t6}, {t4, t5, t6}, AccionTecla::ApagaParTickets},
        {"second again", {t1, t2, t3, t4, t5, t6}, {t4, t5, t6, t6}, AccionTecla::ApagaParTickets},
        {"t1=t2 second", {t1, t1, t3, t4, t5, t6}, {t4, t5, t6}, AccionTecla::Tomada},
        {"t1=t2=t5", {t1, t1, t3, t4, t1, t6}, {t6}, AccionTecla::ApagaParTickets},
        {"t3=t1 never arms", {t1, t2, t1, t4, t5, t6}, {t1, t2, t1}, AccionTecla::Tomada},
        {"F11 as a sequence key", {F11, t2, t3, t4, t5, t6}, {F11}, AccionTecla::LimpiaPendientes},
        {"unset keys", {}, {119}, AccionTecla::Descuento},
        {"F2", {}, {113}, AccionTecla::CambiaBusqueda},
        {"B", {t1, t2, t3, t4, t5, t6}, {t1, 66, t2, t3}, AccionTecla::Tomada},
    };
    for (Caso& c : casos) {
        AccionTecla a = AccionTecla::Ninguna;
        for (int k : c.flujo)
            a = c.teclas.tecla(k);
        EXPECT_EQ(int(a), int(c.ultima)) << c.nombre;
    }
}

namespace {

class VentaCatalogo : public ::testing::Test {
protected:
    static void SetUpTestSuite() { compartida = new saletest::BaseSucursal; }
    static void TearDownTestSuite() { delete compartida; }
    void SetUp() override
    {
        ASSERT_TRUE(base.ok()) << base.error().toStdString();
        saletest::VaciaCatalogo(base.db());
        ReiniciaEstado();
    }
    static Linea Generica(const QString& modelo, const QString& descripcion, double precio)
    {
        Linea l;
        l.nombre = QStringLiteral("VARIOS");
        l.descripcion2 = modelo;
        l.observacion = descripcion;
        l.precioUnit = precio;
        return l;
    }
    static saletest::BaseSucursal* compartida;
    saletest::BaseSucursal& base = *compartida;
};
saletest::BaseSucursal* VentaCatalogo::compartida = nullptr;

}  // namespace

TEST_F(VentaCatalogo, GenericLinesBecomeProducts)
{
    ASSERT_TRUE(saletest::AgregaProducto(base.db(), {7, "CB9", "OCUPADO", ""}));
    Linea normal;
    normal.nombre = QStringLiteral("COCA");
    const auto creados = AgregaGenericos(
        base.db(),
        {Generica(QStringLiteral("TALADRO"), QStringLiteral("TALADRO 1/2"), 850), normal,
         Generica(QStringLiteral("BROCA"), QStringLiteral("BROCA 3/8"), 45)},
        16);
    ASSERT_TRUE(creados);
    ASSERT_EQ(creados->size(), 2u);
    EXPECT_EQ((*creados)[0].clave, 8);
    EXPECT_EQ((*creados)[0].codigo, "CB8");
    EXPECT_EQ((*creados)[1].clave, 9);
    EXPECT_EQ((*creados)[1].codigo, "CB10");  // CB9 is taken
    const auto p = base.db().selectOne(QStringLiteral("SELECT * FROM Producto WHERE ClaveProducto = 8"));
    ASSERT_TRUE(p && !p->empty());
    EXPECT_EQ(p->text(QStringLiteral("Nombre")), "TALADRO ");
    EXPECT_EQ(p->text(QStringLiteral("Unidad")), "PZA");
    EXPECT_DOUBLE_EQ(p->real(QStringLiteral("PrecioUnit")), 850);
    EXPECT_DOUBLE_EQ(p->real(QStringLiteral("PrecioCosto")), 0);
    // The stock queries gave the new products their stock row.
    EXPECT_EQ(base.db().scalar(QStringLiteral("SELECT Existencia FROM Existencia WHERE ClaveProducto = 9"))
                  ->toDouble(),
              0);
}

TEST_F(VentaCatalogo, TwoScreensCreatingAtOnceGetDistinctKeys)
{
    std::atomic<int> fallos{0};
    auto pantalla = [&](const QString& nombre) {
        auto bd = base.open();
        if (!bd) {
            ++fallos;
            return;
        }
        for (int i = 0; i < 10; ++i) {
            db::Error e;
            if (!AgregaGenericos(*bd, {Generica(nombre + QString::number(i), QString(), 1)}, 16, &e))
                ++fallos;
        }
    };
    std::thread a(pantalla, QStringLiteral("A")), b(pantalla, QStringLiteral("B"));
    a.join();
    b.join();
    EXPECT_EQ(fallos.load(), 0);
    EXPECT_EQ(base.db().scalar(QStringLiteral("SELECT count(DISTINCT CodigodeBarras) FROM Producto"))
                  ->toInt(),
              20);
}

TEST_F(VentaCatalogo, DetailTextAndExchangeRate)
{
    base.db().exec(QStringLiteral("DELETE FROM ParDescDetalles"));
    base.db().exec(QStringLiteral("INSERT INTO ParDescDetalles (Orden, Tabla, NCampoTabla, Describe) "
                                  "VALUES (2, 'DetalleVenta', 'Observacion', 'Observación'), "
                                  "(1, 'Producto', 'Nombre', 'Modelo'), "
                                  "(3, 'Producto', 'NoExiste', 'Otro')"));
    ASSERT_EQ(CargaDetalles(base.db()), 3);
    EXPECT_EQ(G().NumDefDetalles, 3);
    const db::Row linea({QStringLiteral("Nombre"), QStringLiteral("Observacion")},
                        {QStringLiteral("TALADRO"), QStringLiteral("SIN CAJA")});
    EXPECT_EQ(TextoDetalles(linea, true), "MODELO: TALADRO\r\nOBSERVACIÓN: SIN CAJA\r\nOTRO: ");
    EXPECT_EQ(TextoDetalles(linea, false), "");

    // The dollar rate is written as a bound value and only a sound one is taken.
    EXPECT_EQ(ActualizaTipoCambio(base.db(), QStringLiteral("19.85")), 19.85);
    EXPECT_DOUBLE_EQ(
        base.db().scalar(QStringLiteral("SELECT TipoCambio FROM Monedas WHERE Moneda = 2"))->toDouble(),
        19.85);
    for (const char* malo : {"100", "0", "-3", "19.85abc", "19,85", "1; DROP TABLE Monedas"})
        EXPECT_FALSE(ActualizaTipoCambio(base.db(), QString::fromUtf8(malo))) << malo;
    base.db().exec(QStringLiteral("DELETE FROM Monedas WHERE Moneda = 2"));
    db::Error e;
    EXPECT_FALSE(ActualizaTipoCambio(base.db(), QStringLiteral("20"), &e));
    EXPECT_FALSE(e.ok());
}
