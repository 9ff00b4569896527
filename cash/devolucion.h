#pragma once
// Returns of goods sold by a ticket or an invoice of the branch: the lookup of the sold document
// with its lines and with what earlier returns already gave back, and the lines marked for return.
// Those lines live in this object until the save writes them: nothing is written while marking, so
// two terminals capturing returns never see, take or delete each other's lines.

#include "platform/db/database.h"
#include "platform/ui/prompts.h"

#include <QMap>
#include <QString>

#include <optional>
#include <vector>

namespace caja {

// Letter of the document kind chosen in a "Ticket" / "Factura" list: "T"; an invoice is "E" with
// electronic invoicing on, else "F". Any other item: "".
QString LetraTipoDocumento(const QString& item, bool facturaE);

// The letter a lookup of the "Ticket" / "Factura" item reads the number under. With electronic
// invoicing on, paper invoices issued before the switch can still come back: the number is found
// as E or as F, and when both exist the person chooses (Yes: E, No: F). "" when he cancels.
// `pregunta` and `titulo` word the question for the caller's command.
QString LetraConsulta(db::Database& bd, const QString& item, bool facturaE, const QString& numeroTexto,
                      ui::Prompts& prompts,
                      const QString& pregunta = QString::fromUtf8("¿Devolver la factura electrónica?"),
                      const QString& titulo = QStringLiteral("Devoluciones."));

// How a return names the sold document in EInventario.Docto: the letter, then the number with the
// sign position of the old text conversion (one blank before 0 or more): "T 123", "F -5".
QString DoctoDevolucion(const QString& letra, qint64 numero);

// Inventory-document kind (DescribeMovto) of a return.
constexpr int MovtoDevolucion = 12;

// Quantity of each product already given back by returns of the document (DescribeMovto 12 and
// Docto as above), summed as reals. nullopt on a database error.
std::optional<QMap<qint64, double>> CantidadesDevueltas(db::Database& bd, const QString& letra,
                                                        qint64 numero, db::Error* error = nullptr);

// One sold line as the returns count it: its product and quantity, in the document's order.
struct LineaDocumento {
    qint64 ClaveProducto = 0;
    double Cantidad = 0;
};
// The lines of the document (DetalleVenta in IdLinea order). nullopt on a database error.
std::optional<std::vector<LineaDocumento>> LineasDocumento(db::Database& bd, const QString& letra, qint64 numero,
                                                           db::Error* error = nullptr);
// Quantity earlier returns gave back of each line of `lineas` (same order). A return line names
// the sold line it came from by its position (DEInventario.OrdenCap, 1 for the first line): each
// line is its own goods, whatever product key it shares with another (generic lines share one).
// A return line stored before that, whose position holds another product or no room, is taken
// from the lines of its product in order. nullopt on a database error.
std::optional<std::vector<double>> DevueltoPorLinea(db::Database& bd, const QString& letra, qint64 numero,
                                                    const std::vector<LineaDocumento>& lineas,
                                                    db::Error* error = nullptr);

// Cents the returns of the document paid back, each line to the cent as its voucher adds it: what
// they stored, never a recomputation. nullopt on a database error.
std::optional<qint64> CentavosDevueltos(db::Database& bd, const QString& letra, qint64 numero,
                                        db::Error* error = nullptr);

// The sold document as the lookup found it (a CVentacCliente row with Status 1).
struct VentaConsultada {
    qint64 Numero = 0;
    QString Tipo;
    QString Nombre;  // the client's name
    QString Cliente;  // the client's key (RFC), under which the credit note is kept
    double Descuento = 0;
    QString Fecha;
    double Total = 0;
    int IVAP = 0;
};

// One line of the sold document (CdetalleVenta).
struct LineaVendida {
    qint64 ClaveProducto = 0;
    QString Nombre;
    QString Descripcion;
    double Cantidad = 0;
    double PrecioUnit = 0;
    double PPrecioUnit = 0;  // after the line's discount
    double Importe = 0;
};

// One line being returned: a quantity of one sold line, worth what the customer paid for it.
struct LineaDevolucion {
    int Linea = 0;  // index of the sold line in lineas()
    qint64 ClaveProducto = 0;
    QString Nombre;
    QString Descripcion;
    double Cantidad = 0;
    double PUnitario = 0;  // Centavos spread over the quantity
    qint64 Centavos = 0;
    qint64 ImporteCentavos() const { return Centavos; }
};

enum class ResultadoConsulta {
    NoNumerico,       // the number typed is not a whole number: nothing was read
    SinRegistros,     // no such document (told unless the number is 0)
    EstatusNoValido,  // cancelled or otherwise not active, or a day invoice (returned through its tickets)
    SinDetalles,      // found, but it has no lines
    Encontrada,
};

// Quantity typed at the prompt, read by the one number reader and above 0: "12a", "1,5", "", "0"
// and "-2" give nullopt, and `mensaje` says why ("" for an empty answer).
std::optional<double> CantidadTecleada(const QString& texto, QString* mensaje = nullptr);

class Devolucion {
public:
    // NuevaDevolucion: no document, no lines marked, no entry or credit-note number.
    void NuevaDevolucion();

    // ConsultaVenta: NuevaDevolucion, then the document `numeroTexto` of letter `letra` with its
    // lines and earlier returns. Messages: "No se encontraron registros." (not for 0), "El estatus
    // de la venta no es válido.", "No se encontraron detalles para esta venta.", and "Ya existe
    // productos devueltos para este Documento." when returns were made before.
    ResultadoConsulta ConsultaVenta(db::Database& bd, const QString& letra, const QString& numeroTexto,
                                    ui::Prompts& prompts);

    // Marks line `indice` of the sold document: asks the quantity of that line still to return
    // ("Teclea la cantidad a devolver, maximo: "), then AgregaLineaDevolucion. True when a line was
    // added.
    bool MarcaLinea(int indice, ui::Prompts& prompts);
    // The checks of a mark: the quantity over what the line sold, counting earlier returns of it
    // ("Cantidad excede a la de la compra."), and the line already in this return ("El producto
    // ya se encuentra en la devolucion."). A quantity of 0 or less: nothing.
    bool AgregaLineaDevolucion(int indice, double cantidad, ui::Prompts& prompts);
    // "Desmarcar": drops line `indice` of the return (nothing for an index outside the list).
    bool QuitaLineaDevolucion(int indice);

    // What the document sold of a product (all its lines) and what earlier returns gave back.
    double CantidadVendida(qint64 clave) const;
    double CantidadDevuelta(qint64 clave) const;
    // What earlier returns gave back of sold line `indice`, and what is left of it.
    double DevueltoDeLinea(int indice) const;
    double RestoDeLinea(int indice) const;

    // Cents the customer paid for these quantities of the document's lines (index -> quantity):
    // each line's units at its own price after its discount, the general discount on top.
    // Everything the document sold is worth its stored total.
    qint64 CentavosPagados(const QMap<int, double>& cantidades) const;
    // The marked lines valued after the quantities `devuelto` (per line) came back before, for
    // which earlier returns paid `pagadoAntes` cents: each is worth the value of all the units back
    // with it less what was paid before it (never below 0), so that a document returned whole, in
    // any number of returns, refunds its total to the cent and no return pays more than is left.
    std::vector<LineaDevolucion> PendientesValoradas(const std::vector<double>& devuelto, qint64 pagadoAntes) const;
    const std::vector<double>& devueltoPorLinea() const { return devueltoPorLinea_; }

    // Sum of the marked lines' amounts, each to the cent.
    qint64 TotalCentavos() const;
    double Total() const { return static_cast<double>(TotalCentavos()) / 100.0; }

    bool HayVenta() const { return encontrada_; }  // a valid document was looked up
    const VentaConsultada& venta() const { return venta_; }
    const std::vector<LineaVendida>& lineas() const { return lineas_; }
    const db::Rows& devueltos() const { return devueltos_; }  // cESInventarioDev rows
    const std::vector<LineaDevolucion>& pendientes() const { return pendientes_; }

    // The labels of the looked-up document; "" each while no valid document is there.
    QString EtiquetaCliente() const;
    QString EtiquetaDescuento() const;
    QString EtiquetaFecha() const;
    QString EtiquetaImporte() const;

    qint64 NumeroEntrada = 0;  // EInventario.Numero of the return last saved
    qint64 NumeroNota = 0;     // NotaCredito.Numero of the return last saved

private:
    bool encontrada_ = false;
    VentaConsultada venta_;
    std::vector<LineaVendida> lineas_;
    db::Rows devueltos_;
    QMap<qint64, double> devueltoPorClave_;
    std::vector<double> devueltoPorLinea_;
    qint64 pagadoAntes_ = 0;  // cents earlier returns stored
    std::vector<LineaDevolucion> pendientes_;
};

}  // namespace caja
