#include "folio_server/monitor.h"

#include "platform/system/system.h"

#include <algorithm>

namespace tarvex {

namespace {
constexpr int kSolImprimeFactura = 4;
const QString kTitulo = QStringLiteral("Monitor de Folios.");
}  // namespace

Monitor::Monitor(const QString& rutaDireccion, ui::Prompts& prompts, QObject* parent)
    : QObject(parent), rutaDireccion_(rutaDireccion), prompts_(prompts) {
    timer_.setInterval(IntervaloMs);
    connect(&timer_, &QTimer::timeout, this, [this] { Tick(); });
    impresor_ = [this](Sucursal& s, qint64 n) { return ImprimeFactura(s, n, destino_, ventana_); };
}

Monitor::~Monitor() = default;

Monitor::Toma Monitor::tomaBloqueo(const QString& carpeta, int sucursal,
                                   std::unique_ptr<QLockFile>* lock) {
    auto l = std::make_unique<QLockFile>(sys::printServerLockPath(carpeta, sucursal));
    l->setStaleLockTime(0);  // only a dead owner frees it
    if (l->tryLock(0)) {
        *lock = std::move(l);
        return Toma::Tomado;
    }
    // A folder the lock cannot be written in (a read-only share) does not stop the serving.
    return l->error() == QLockFile::LockFailedError ? Toma::Ocupado : Toma::SinBloqueo;
}

Arranque Monitor::IniciaMonitor() {
    Detiene();
    suc_.reset();
    lock_.reset();
    rutaLock_.clear();
    estado_.UltimoAtendido = 0;
    estado_.MayorAtendido = 0;
    pendientes_ = 0;

    auto falla = [this](const QString& texto) {
        prompts_.message(texto, ui::Icon::Critical, kTitulo);
        emit cambio();
        return Arranque::Falla;
    };
    Direccion d;
    QString error;
    if (!LeeDireccion(rutaDireccion_, &d, &error)) return falla(error);
    estado_.CarpetaBase = d.CarpetaBase;
    estado_.NumSucursal = d.NumSucursal;
    estado_.CarpetaSucursal.clear();
    estado_.PrefijoFact.clear();
    auto s = AbreSucursal(d, &error);
    if (!s) return falla(error);

    std::unique_ptr<QLockFile> lock;
    if (tomaBloqueo(d.CarpetaBase, d.NumSucursal, &lock) == Toma::Ocupado) return Arranque::YaAtendida;

    suc_ = std::move(s);
    lock_ = std::move(lock);
    if (lock_) rutaLock_ = lock_->fileName();
    estado_.CarpetaSucursal = suc_->CarpetaSucursal;
    estado_.PrefijoFact = suc_->PrefijoFact;
    Reanuda();
    emit cambio();
    return Arranque::Listo;
}

bool Monitor::CambiaRuta(const QString& carpeta, int numSucursal) {
    const bool estabaActivo = activo_;
    Detiene();
    auto falla = [&](const QString& texto) {
        prompts_.message(texto, ui::Icon::Critical, kTitulo);
        if (estabaActivo) Reanuda();
        return false;
    };
    Direccion d{carpeta, numSucursal};
    QString error;
    auto s = AbreSucursal(d, &error);
    if (!s) return falla(error);

    std::unique_ptr<QLockFile> lock;
    const QString nuevaRuta = sys::printServerLockPath(carpeta, numSucursal);
    const bool mismoBloqueo = lock_ && nuevaRuta == rutaLock_;
    if (!mismoBloqueo && tomaBloqueo(carpeta, numSucursal, &lock) == Toma::Ocupado)
        return falla(QStringLiteral("Otro servidor de impresión ya atiende la sucursal %1 en %2.")
                         .arg(numSucursal)
                         .arg(carpeta));
    if (!EscribeDireccion(rutaDireccion_, d, &error)) return falla(error);

    suc_ = std::move(s);
    if (!mismoBloqueo) {
        lock_ = std::move(lock);
        rutaLock_ = lock_ ? lock_->fileName() : QString();
    }
    estado_.CarpetaBase = d.CarpetaBase;
    estado_.NumSucursal = d.NumSucursal;
    estado_.CarpetaSucursal = suc_->CarpetaSucursal;
    estado_.PrefijoFact = suc_->PrefijoFact;
    estado_.UltimoAtendido = 0;
    estado_.MayorAtendido = 0;
    Reanuda();
    emit cambio();
    return true;
}

void Monitor::ArrancaTimer() {
    usaTimer_ = true;
    if (activo_) timer_.start();
}

void Monitor::Detiene() {
    activo_ = false;
    timer_.stop();
}

void Monitor::Reanuda() {
    if (!suc_) return;
    activo_ = true;
    // The timer runs only once the window has started it.
    if (!timer_.isActive() && usaTimer_) timer_.start();
}

Paso Monitor::Tick() {
    if (!activo_ || ocupado_) return Paso::Detenido;
    estado_.ContadorTicks = estado_.ContadorTicks >= 600 ? 1 : estado_.ContadorTicks + 1;
    const Paso p = Checasolicitudes();
    emit cambio();
    return p;
}

db::Rows Monitor::Folios() {
    if (!suc_) return {};
    auto filas = suc_->bd->select(
        QStringLiteral("SELECT NumeroFolio, ValorFolio, Descripcion FROM Folios ORDER BY NumeroFolio"));
    return filas ? *filas : db::Rows{};
}

void Monitor::anota(const QString& linea) { log_.append(linea); }

bool Monitor::borra(qint64 id) {
    db::LockWait espera;
    espera.timeoutMs = 10000;
    db::Error e;
    if (suc_->bd->execWait(QStringLiteral("DELETE FROM Solicitafolios WHERE rowid = ?"), {id}, espera, &e))
        return true;
    // Left in the queue the request would be printed again: stop until the operator sees to it.
    Detiene();
    prompts_.message(QStringLiteral("No se pudo borrar la solicitud de la cola de impresión; el servidor "
                                    "se detiene. ") + e.message,
                     ui::Icon::Critical, kTitulo);
    return false;
}

namespace {
// Marks the server busy for a pass: a question box or a lock wait serves the event loop, and the
// timer must find the server busy until the pass ends.
struct Ocupado {
    bool& b;
    explicit Ocupado(bool& bandera) : b(bandera) { b = true; }
    ~Ocupado() { b = false; }
};
}  // namespace

bool Monitor::leeCola(std::vector<Fila>* cola) {
    db::Error e;
    const auto filas = suc_->bd->select(
        QStringLiteral("SELECT rowid AS Id, FolioSolicita, valordev FROM Solicitafolios "
                       "ORDER BY FolioSolicita, valordev, rowid"),
        {}, &e);
    if (!filas) {
        aviso_ = QStringLiteral("No se pudo leer la cola de impresión: ") + e.message;
        return false;
    }
    cola->clear();
    cola->reserve(filas->size());
    pendientes_ = 0;
    for (const db::Row& r : *filas) {
        cola->push_back({r.integer(QStringLiteral("Id")),
                         static_cast<int>(r.integer(QStringLiteral("FolioSolicita"))),
                         r.integer(QStringLiteral("valordev"))});
        if (cola->back().codigo == kSolImprimeFactura && cola->back().numero != 0) ++pendientes_;
    }
    return true;
}

// A terminal takes an invoice number (the higher of the counter and the highest stored invoice, plus
// one), stores the invoice and queues its request in one write transaction, so invoices are committed
// in number order. Once an invoice numbered at or above the awaited one is stored, every number from
// the awaited one up to it that will ever exist is already committed: one with no request in the queue
// was printed by its terminal, or skipped when the counter was moved forward, and its request will
// never come. Then the lowest queued invoice above the last one served goes next. The invoices are
// read before the queue is read again, so a request committed in between is not passed over.
qint64 Monitor::esperado() {
    const qint64 ultimo = estado_.UltimoAtendido;
    if (estado_.MayorAtendido <= ultimo) return ultimo + 1;
    // Served below the highest one: when the number after it is stored already, that one was a
    // reprint and the run goes on after the highest; otherwise the counter was set back.
    const auto guardada = suc_->bd->selectOne(
        QStringLiteral("SELECT Numero FROM Venta WHERE Numero = ? AND Tipo = 'F' LIMIT 1"), {ultimo + 1});
    return guardada && !guardada->empty() ? estado_.MayorAtendido + 1 : ultimo + 1;
}

bool Monitor::saltaHueco(std::vector<Fila>* cola, Fila* siguiente) {
    const qint64 esperado = this->esperado();
    const qint64 tope = esperado - 1;
    auto menorArriba = [tope](const std::vector<Fila>& c) -> const Fila* {
        const Fila* menor = nullptr;
        for (const Fila& f : c)
            if (f.codigo == kSolImprimeFactura && f.numero > tope &&
                (!menor || f.numero < menor->numero))
                menor = &f;
        return menor;
    };
    const Fila* candidato = menorArriba(*cola);
    if (!candidato) return false;
    const auto guardada = suc_->bd->selectOne(
        QStringLiteral("SELECT Numero FROM Venta WHERE Numero BETWEEN ? AND ? AND Tipo = 'F' LIMIT 1"),
        {esperado, candidato->numero});
    if (!guardada || guardada->empty()) return false;  // not stored yet (or unreadable): keep waiting

    if (!leeCola(cola)) return false;
    const Fila* elegido = nullptr;
    for (const Fila& f : *cola)
        if (f.codigo == kSolImprimeFactura && f.numero == esperado) {
            elegido = &f;
            break;
        }
    if (!elegido) elegido = menorArriba(*cola);
    if (!elegido) return false;
    if (elegido->numero != esperado) {
        // Once only, while a failed print of the chosen one is retried.
        const QString linea = QStringLiteral("Sin solicitud para folio %1; se sigue con el folio %2")
                                  .arg(esperado)
                                  .arg(elegido->numero);
        if (log_.isEmpty() || log_.last() != linea) anota(linea);
    }
    *siguiente = *elegido;
    return true;
}

Paso Monitor::Checasolicitudes() {
    if (!suc_ || ocupado_) return Paso::Detenido;
    Ocupado ocupado(ocupado_);
    std::vector<Fila> cola;
    if (!leeCola(&cola)) return Paso::ErrorCola;
    if (cola.empty()) return Paso::SinSolicitudes;

    // Only invoice requests decide the order of the invoices: the other codes carry numbers of
    // other counters and stay in the queue without holding anything up.
    auto esFactura = [](const Fila& f) { return f.codigo == kSolImprimeFactura && f.numero != 0; };
    auto busca = [&](qint64 numero) {
        return std::find_if(cola.begin(), cola.end(),
                            [&](const Fila& f) { return esFactura(f) && f.numero == numero; });
    };
    // At the start the first request that is an invoice or empty goes; an empty one is deleted.
    const Fila* actual = nullptr;
    for (const Fila& f : cola)
        if (f.numero == 0 || f.codigo == kSolImprimeFactura) {
            actual = &f;
            break;
        }
    qint64& ultimo = estado_.UltimoAtendido;
    if (ultimo != 0) {
        // After serving an older number (a reprint) the run goes on after the highest one served.
        const qint64 tope = std::max(ultimo, estado_.MayorAtendido);
        auto it = busca(ultimo + 1);
        if (it == cola.end() && tope > ultimo) it = busca(tope + 1);
        if (it != cola.end()) {
            actual = &*it;
        } else {
            // Every invoice still waiting is at or below the highest one served: the counter was
            // set back (or a reprint was asked), so the run starts again from the lowest one.
            bool hayFacturas = false, todasAbajo = true;
            for (const Fila& f : cola) {
                if (!esFactura(f)) continue;
                hayFacturas = true;
                if (f.numero > tope) todasAbajo = false;
            }
            if (!(hayFacturas && todasAbajo)) {
                Fila siguiente{};
                if (!saltaHueco(&cola, &siguiente)) {
                    aviso_ = QStringLiteral("Esperando folio ") + QString::number(esperado());
                    return Paso::Esperando;
                }
                return sirveFactura(siguiente);
            }
            actual = nullptr;
            for (const Fila& f : cola)
                if (esFactura(f)) {
                    actual = &f;
                    break;
                }
        }
    }

    if (!actual) return Paso::SinAtender;  // requests of other kinds only: they stay
    if (actual->numero == 0) {
        if (!borra(actual->id)) return Paso::ErrorCola;
        anota(QStringLiteral("Solicitud para folio 0 borrada "));
        return Paso::BorradaCero;
    }
    return sirveFactura(*actual);
}

Paso Monitor::sirveFactura(const Fila& f) {
    const Impresion imp = impresor_(*suc_, f.numero);
    auto servida = [&](const QString& linea) {
        if (!borra(f.id)) return false;
        estado_.UltimoAtendido = f.numero;
        estado_.MayorAtendido = std::max(estado_.MayorAtendido, f.numero);
        --pendientes_;
        anota(linea);
        return true;
    };
    const QString atendida = QStringLiteral("Atendida la solicitud para folio %1 valor= %2")
                                 .arg(f.codigo)
                                 .arg(f.numero);
    switch (imp.resultado) {
    case ResultadoFactura::Impresa:
        return servida(atendida) ? Paso::Atendida : Paso::ErrorCola;
    case ResultadoFactura::NoEncontrada: {
        const ui::Answer a = prompts_.question(
            QStringLiteral("No se encontro la factura %1 solicitada, desea continuar o detener el servidor.")
                .arg(f.numero),
            kTitulo);
        if (a != ui::Answer::Yes) Detiene();
        return servida(atendida) ? Paso::NoEncontrada : Paso::ErrorCola;
    }
    case ResultadoFactura::Falla:
        break;
    }
    // A failed print keeps its request: the operator retries, skips it, or stops the server.
    const ui::Answer a = prompts_.question(
        QStringLiteral("Error I01. No se pudo imprimir la factura. ") + imp.mensaje +
            QStringLiteral("\n\n¿Desea reintentar? Sí: reintentar. No: omitir la factura %1. "
                           "Cancelar: detener el servidor.")
                .arg(f.numero),
        kTitulo, true);
    if (a == ui::Answer::No)
        return servida(QStringLiteral("Omitida la solicitud para folio %1 valor= %2")
                           .arg(f.codigo)
                           .arg(f.numero))
                   ? Paso::Omitida
                   : Paso::ErrorCola;
    if (a != ui::Answer::Yes) Detiene();
    return Paso::FallaImpresion;
}

}  // namespace tarvex
