#pragma once
// A data folder with the demo catalogue, made once per test program, and the program-wide state
// pointed at it as after a login at terminal 1 of branch 1 (the closes reach the branch file
// through the shell, as the screen does).

#include "platform/db/database.h"
#include "sale/venta_factura.h"

#include <QString>
#include <QTemporaryDir>

#include <map>
#include <ostream>

namespace venta {
class frmVenta;
}

namespace vendetest {

// A code typed into the screen's code field and taken with Enter, as a scanner does.
void Escanea(venta::frmVenta& forma, const QString& codigo);
// The counter-sale customer picked in the catalogue and handed back on activation.
void EligeCliente(venta::frmVenta& forma);

class Entorno {
public:
    static Entorno& Comun();

    bool ok() const { return ok_; }
    QString error() const { return error_; }
    QString carpeta() const { return dir_.path(); }
    QString rutaSucursal() const { return ruta_; }

    // The branch file the closes use (the shell's handle).
    db::Database& bd();
    // State as after a login with permission 52, a clean document set, counters at 0 and the demo
    // stock as it was made.
    void Reinicia();
    // Reinicia, then the screen's search and the ticket printer as the screen tests use them: the
    // ticket goes to the file `puerto` of the data folder, emptied first.
    void PreparaPantalla(const QString& puerto);

    // Demo product keys in catalogue order (about 20).
    std::vector<qint64> Claves();
    // A pending line of this screen, as a capture leaves it.
    qint64 Linea(qint64 clave, double cantidad, double precio = 0);
    // The sale the screen would hand over for these lines.
    venta::VentaEnPantalla Venta(const std::vector<qint64>& ids, const QString& cliente = QStringLiteral("XAXX010101000"));

    void NotaCredito(qint64 numero, double total, int status = 1);
    double Existencia(qint64 clave);
    double ExistenciaInicial(qint64 clave) const;
    QVariant Valor(const QString& sql, const QVariantList& params = {});
    qint64 Cuenta(const QString& sql, const QVariantList& params = {});
    void Ejecuta(const QString& sql, const QVariantList& params = {});

private:
    Entorno();
    QTemporaryDir dir_;
    QString ruta_, corto_, error_;
    bool ok_ = false;
    std::map<qint64, double> existencias_;
};

}  // namespace vendetest

inline void PrintTo(const QString& s, std::ostream* os) { *os << '"' << s.toStdString() << '"'; }
