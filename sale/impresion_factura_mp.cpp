#include "sale/impresion_factura_mp.h"

#include "platform/print/codepage850.h"
#include "platform/print/impresoras.h"
#include "platform/print/raster.h"
#include "platform/print/salida.h"
#include "printing/cajon.h"
#include "printing/juegocodigos.h"
#include "printing/paginarollo.h"
#include "printing/reporte.h"
#include "shell/estado.h"

namespace venta {

namespace {

// The drawer pulse after the invoice is a courtesy: a port that cannot be opened is not told.
class SinAvisos : public ui::Prompts {
public:
    void message(const QString&, ui::Icon, const QString&) override {}
    ui::Answer question(const QString&, const QString&, bool, bool) override { return ui::Answer::No; }
    QString input(const QString&, const QString&, const QString&) override { return {}; }
};

// The roll the mini-printer template is laid out for.
constexpr int kRolloMm = 76;

// The page as a raster image on a raw queue or a port, with its cut.
bool enviaComoImagen(const report::Request& r, const print::Destino& destino, QString* error) {
    report::Rendered pagina;
    if (!report::render(r, &pagina, error)) return false;
    const QByteArray bytes = PaginaParaImpresoraCruda(pagina, print::PuntosDeRollo(kRolloMm));
    const print::Resultado e = destino.puerto ? print::EnviaAPuerto(destino.nombre, bytes, r.title)
                                              : print::EnviaTrabajoCrudo(destino.nombre, r.title, bytes);
    if (!e.ok && error) *error = e.error;
    return e.ok;
}

}  // namespace

bool ImprimeTicket2(qint64 numero, qint64 numeroDocumento, const DestinoImpresion& destino,
                    ui::Prompts& prompts, QWidget* parent, const QString& letra) {
    printing::SolicitudReporte s;
    s.formulasEmpresa = false;  // the invoice uses every slot for its own values
    s.archivo = QStringLiteral("FacturaMP.html");
    s.titulo = QStringLiteral("Factura.");
    // Lines of this invoice only: a ticket may carry the same number.
    s.sql = QStringLiteral("SELECT c.*, v.IVAP AS TasaDocumento FROM CDetalleVentaFac c "
                           "LEFT JOIN Venta v ON v.Numero = c.Numero AND v.Tipo = c.Tipo "
                           "WHERE c.Numero = ? AND c.Tipo = ?");
    s.valores = {numeroDocumento, letra};
    s.avisoSinDatos = QStringLiteral("No se encontro datos de la factura.");
    s.impresora = destino.impresora.isEmpty() ? G().Printer3 : destino.impresora;
    s.formulas = [numero](const db::Rows& filas, report::Formulas& f) { FormulasFactura(numero, filas, f); };
    s.datos = DatosFactura;
    const bool aPdf = destino.destino == report::Destination::Pdf;
    // A receipt printer without a driver takes the page only as a picture of its own dots; a
    // printer that takes nothing now is told before anything is read or laid out.
    const QString nombre = s.impresora.isEmpty() ? print::ImpresoraPredeterminada() : s.impresora;
    print::Destino impresora;
    if (!aPdf && !nombre.isEmpty()) {
        impresora = print::ConsultaImpresora(nombre);
        if (!impresora.disponible.ok) {
            prompts.message(impresora.disponible.error, ui::Icon::Warning);
            return false;
        }
    }
    const bool comoImagen = !impresora.nombre.isEmpty() && impresora.toma == print::Toma::Bytes;
    if (aPdf) {
        s.destino = report::Destination::Pdf;
        s.archivoPdf = destino.archivoPdf;
    } else {
        s.destino = report::Destination::Printer;
    }
    if (comoImagen)
        s.salida = [impresora](const report::Request& r, QString* error) {
            return enviaComoImagen(r, impresora, error);
        };
    if (printing::CorreReporte(s, prompts, parent) != printing::ResultadoReporte::Hecho)
        return false;
    if (aPdf) {
        if (!G().PuertoImpresora.isEmpty()) {
            SinAvisos callado;
            AbreCajonPorPuerto(G().PuertoImpresora, callado);
        }
        return true;
    }
    // The pulse follows the picture or the page as raw bytes, which either kind of queue passes through.
    if (G().OpenCDrawer == 1) {
        SinAvisos callado;
        PulsoCajon(callado, nombre);
    }
    return true;
}

}  // namespace venta
