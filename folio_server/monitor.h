#pragma once
// The print server's work without its window: start-up on the branch named in its own Direccion.db,
// the operator's change of branch, the serving tick over the queue Solicitafolios, and the lock
// that keeps one server per data folder and branch.

#include "folio_server/configuracion.h"
#include "folio_server/factura.h"
#include "platform/ui/prompts.h"

#include <QLockFile>
#include <QObject>
#include <QStringList>
#include <QTimer>

#include <functional>
#include <memory>
#include <vector>

namespace tarvex {

// The server's own state; nothing here is shared with the point-of-sale program.
struct EstadoMonitor {
    QString CarpetaBase;
    int NumSucursal = 0;
    QString CarpetaSucursal;
    QString PrefijoFact;
    qint64 UltimoAtendido = 0;  // number of the last invoice served; 0 = none since the start
    qint64 MayorAtendido = 0;   // highest invoice number served since the start
    int ContadorTicks = 0;      // 1..600, shown on the window
    bool ConRFC = false;        // the last invoice's customer has a taxpayer id
};

// What one pass over the queue did.
enum class Paso {
    SinSolicitudes,  // the queue is empty
    Esperando,       // the next number has not arrived
    BorradaCero,     // a request for number 0 was deleted
    SinAtender,      // the current request is not an invoice: left in the queue
    Atendida,        // the invoice printed and its request was deleted
    NoEncontrada,    // no such invoice: the request was deleted (served)
    Omitida,         // the print failed and the operator skipped it: the request was deleted
    FallaImpresion,  // the print failed: the request stays
    ErrorCola,       // the queue could not be read or written
    Detenido         // serving is stopped, or a print or a question is in progress
};

enum class Arranque {
    Listo,        // serving
    YaAtendida,   // another server holds this data folder and branch
    Falla         // bad configuration: told to the operator, serving stopped
};

class Monitor : public QObject {
    Q_OBJECT
public:
    using Impresor = std::function<Impresion(Sucursal&, qint64)>;
    static constexpr int IntervaloMs = 150;

    // `rutaDireccion`: the server's own Direccion.db.
    Monitor(const QString& rutaDireccion, ui::Prompts& prompts, QObject* parent = nullptr);
    ~Monitor() override;

    // Opens the branch named in Direccion.db and takes its lock. On failure the message is shown,
    // serving stays stopped and the last good branch (if any) is let go.
    Arranque IniciaMonitor();

    // The operator's change: the new folder and branch are opened and locked first and written to
    // Direccion.db only when they work; otherwise the message is shown and everything stays as it was.
    bool CambiaRuta(const QString& carpeta, int numSucursal);

    // One tick: counter, then one pass over the queue. Does nothing while stopped or while a print or
    // a question of an earlier tick is still open.
    Paso Tick();
    Paso Checasolicitudes();

    // Starts the 150 ms timer (the window does; tests call Tick themselves).
    void ArrancaTimer();
    bool ServicioActivo() const { return activo_; }
    void Detiene();
    void Reanuda();

    const EstadoMonitor& estado() const { return estado_; }
    Sucursal* sucursal() const { return suc_.get(); }
    const QStringList& log() const { return log_; }
    QString aviso() const { return aviso_; }  // the waiting notice ("..." at the start)
    int Pendientes() const { return pendientes_; }  // invoice requests waiting in the queue
    db::Rows Folios();                              // the branch's Folios rows
    bool TieneBloqueo() const { return lock_ != nullptr; }

    void setImpresor(Impresor impresor) { impresor_ = std::move(impresor); }
    void setDestino(const DestinoFactura& d) { destino_ = d; }
    const DestinoFactura& destino() const { return destino_; }
    void setVentana(QWidget* w) { ventana_ = w; }

signals:
    void cambio();  // state, queue or log changed: the window repaints

private:
    struct Fila {
        qint64 id;
        int codigo;
        qint64 numero;
    };
    enum class Toma { Tomado, Ocupado, SinBloqueo };
    Toma tomaBloqueo(const QString& carpeta, int sucursal, std::unique_ptr<QLockFile>* lock);
    bool borra(qint64 id);
    bool leeCola(std::vector<Fila>* cola);
    bool saltaHueco(std::vector<Fila>* cola, Fila* siguiente);
    qint64 esperado();  // the invoice number the run waits for
    void anota(const QString& linea);
    Paso sirveFactura(const Fila& f);

    QString rutaDireccion_;
    ui::Prompts& prompts_;
    EstadoMonitor estado_;
    std::unique_ptr<Sucursal> suc_;
    std::unique_ptr<QLockFile> lock_;
    QString rutaLock_;
    QTimer timer_;
    bool activo_ = false;
    bool usaTimer_ = false;
    bool ocupado_ = false;
    QStringList log_;
    QString aviso_ = QStringLiteral("...");
    int pendientes_ = 0;
    Impresor impresor_;
    DestinoFactura destino_;
    QWidget* ventana_ = nullptr;
};

}  // namespace tarvex
