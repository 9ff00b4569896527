#pragma once
// Program-wide working state: data folder, branch and terminal, company and branch settings, the
// logged-in user and his permissions, the payment slots of the sale in progress and the values one
// form hands to the next. Every form reads it through G(); start-up, login and the branch switch
// write it. Names are the ones the rest of the code uses for these values.

#include <QString>
#include <QVariant>

#include <array>

struct EstadoGlobal {
    // --- login and environment ---
    QString CarpetaDatos;
    int TerminalActual = 0;
    int SucursalActual = 0;  // 0-10
    QString ArchivoBDSucursal;
    QString ArchivoBDCodigos;
    QString ClaveBD;        // "" until login, then the central password
    QString NombreEquipo;   // 40 characters, padded with blanks
    QString UsuarioActual;
    int ClaveUsuario = 0;
    QString Derechos;
    QString NombreCompleto;
    int ClaveIguala = 0;
    std::array<bool, 256> PermisosUsuario{};
    int SinPermisos = 0;  // 3 = first run
    QString ModoVenta;
    int ProductoPendiente = 0;

    // --- display ---
    int AnchoPantalla = 1024, AltoPantalla = 768;
    int AnchoOriginal = 0, AltoOriginal = 0;
    int ModoPantallaAncho = 0, ModoPantallaAlto = 0;  // the display mode last recorded

    // --- company, branches, sellers, currencies ---
    QString NombreEmp;
    QString RazonSocial;
    QString RFCEmpresa;
    QString DireccionEmp;
    QString NumSucursales;
    int RegxFactura = 0;
    bool CreditoEmpresa = true;
    std::array<QString, 11> DescripcionC;
    std::array<QString, 11> DireccionSuc;
    std::array<QString, 11> DescripcionSuc;
    std::array<QString, 11> TelefonoSuc;
    std::array<QString, 201> NombresVendedor;
    int MaxVendedor = 0;
    std::array<double, 4> TiposCambio{};

    // --- branch parameters (one per field of Parametros) ---
    int MaxDescuentoFact = 0;
    int EspT = 0;
    QString Driver;
    int PorcentajeIVA = 0;  // field IVA
    int MUbicacion = 0;
    int Formatoticket = 0;
    QString PrefijoFact;
    int UsarServidorImp = 0;
    int BDefault = 0;
    int TraspasosDir = 0;
    int CodigosPTicket = 0;
    QString Printer1, Printer2, Printer3;
    int OpenCDrawer = 0;
    int PagosMultiples = 0;
    int GenAgregar = 0;
    int ControlCaja = 0;
    QVariant VentasaTicket, CotizacionaTicket, TraspasosaTicket, FacturaaTicket;
    int ParTickets = 0;
    int ListaPrecioDef = 0;
    int NTimesCajon = 0;
    bool FacturaE = false;
    int nTimesTicket = 0;
    int VerDesctoVenta = 0;
    int MDescripcion = 0;
    int MNombre = 0;
    QString EncTicket;
    QString PieTicket;
    int tecla1ticket = 0, tecla2ticket = 0, tecla3ticket = 0, tecla4ticket = 0, tecla5ticket = 0,
        tecla6ticket = 0;
    int MetodoImpresion = 0;
    int PreguntaCompVenta = 0;
    int PreguntaCompES = 0;
    int CantidadAuto = 0;
    int TFuente = 9;
    int IncrementoAP = 0;
    int Ajuste = 0;

    // --- payment slots of the sale in progress ---
    std::array<QString, 16> NombresFormaPago;
    std::array<double, 5> FormaPagoSel{};
    std::array<double, 5> ImportesPago{};
    std::array<QString, 5> ReferenciasPago;
    QString ImporteRecibido;
    int CondicionPagoSel = 0;
    int PagoAceptado = 0;
    int TipoPagoVenta = 0;
    int VendedorVenta = 0;
    int EmpleadoVenta = 0;
    QString ObservacionVenta;

    // --- values handed from one form to another ---
    QString CodigoProductoSel;
    QString ClaveProductoSel;
    QString SeleccionCatalogo;
    QString CuentaSel;
    qint64 ProductoProv = 0;  // a product key (64-bit like every key)
    int ModoProdProv = 0;
    QString SucursalSinc;
    int SucursalGuardada = 0, SucursalDestino = 0;
    std::array<std::array<QString, 3>, 51> DefDetalles;
    int NumDefDetalles = 0;
    int ParamCancelado = 0;
    std::array<std::array<QString, 5>, 6> ParametrosReporte;  // name, value, description, type
    QString ImpresoraElegida;
    QString CarpetaPDF;

    // --- printing (ticket printer, report printer, control codes) ---
    QString PuertoImpresora;
    QString PuertoTicket;
    QString ImpresoraReporte;
};

// Payment slots before a sale: names 0-14 and the codes and references of slots 0-3 cleared; the
// amounts stay as they were.
void InitFormasdePago();
// Index (as text) of the last payment-form name equal to `nombre`, exact; "" when none.
QString devFormaPago(const QString& nombre);

// The one program-wide instance.
EstadoGlobal& G();
// Back to the start values (tests, log-out of everything).
void ReiniciaEstado();
