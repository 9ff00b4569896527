#include "sale/impresion_factura_mp.h"

#include "printing/cajon.h"
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
    if (destino.destino == report::Destination::Pdf) {
        s.destino = report::Destination::Pdf;
        s.archivoPdf = destino.archivoPdf;
    } else {
        s.destino = report::Destination::Printer;
    }
    s.impresora = destino.impresora.isEmpty() ? G().Printer3 : destino.impresora;
    s.formulas = [numero](const db::Rows& filas, report::Formulas& f) { FormulasFactura(numero, filas, f); };
    s.datos = DatosFactura;
    if (printing::CorreReporte(s, prompts, parent) != printing::ResultadoReporte::Hecho)
        return false;
    if (!G().PuertoImpresora.isEmpty()) {
        SinAvisos callado;
        AbreCajonPorPuerto(G().PuertoImpresora, callado);
    }
    return true;
}

}  // namespace venta
