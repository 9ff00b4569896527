#pragma once
// A cupsd of the test's own (configuration, spool and logs in a temporary folder, listening on a
// free local port) and a socket listener that plays the printer, keeping each job's bytes.

#include <QByteArray>
#include <QString>
#include <QTemporaryDir>

#include <atomic>
#include <mutex>
#include <thread>
#include <utility>
#include <vector>

class OyenteSocket {
public:
    OyenteSocket();
    ~OyenteSocket();
    int puerto() const { return puerto_; }
    // Waits until `n` connections have closed; their bytes in order of arrival.
    std::vector<QByteArray> espera(size_t n, int msMaximo = 30000);

private:
    void corre();
    int fd_ = -1;
    int puerto_ = 0;
    std::atomic<bool> alto_{false};
    std::mutex m_;
    std::vector<QByteArray> recibidos_;
    std::thread hilo_;
};

class CupsdPrueba {
public:
    ~CupsdPrueba();
    // Starts the daemon; false with the reason when it cannot run.
    bool inicia(QString* razon);
    // Raw queue (no driver) on a device URI.
    bool agregaColaCruda(const QString& nombre, const QString& dispositivo, QString* error);
    // Queue with a driver (a PPD that takes PDF pages and passes them to the device as they are).
    bool agregaColaConDriver(const QString& nombre, const QString& dispositivo, QString* error);
    // Queue with one of the spooler's own drivers: a PPD file of the system's, or a driver the
    // spooler makes ("drv:///sample.drv/generic.ppd", the generic PostScript printer).
    bool agregaColaDeDriver(const QString& nombre, const QString& dispositivo, const QString& ppd, QString* error);
    // Stops the queue (its jobs wait) or starts it again.
    bool detenCola(const QString& nombre, bool detener, QString* error);
    QString servidor() const;  // "127.0.0.1:<port>"
    QString bitacora() const;  // the error log, for failure messages
    QString carpeta() const { return dir_.path(); }

private:
    bool agregaCola(const QString& nombre, const QString& dispositivo, const QString& ppd, QString* error,
                    const QString& modelo = {});
    QTemporaryDir dir_;
    qint64 pid_ = 0;
    int puerto_ = 0;
};

// A port nobody listens on right now.
int PuertoLibre();

// The daemon and the listener a test suite shares, with raw queues made on start. In a device
// "{oyente}" stands for the listener's port and "{carpeta}" for the daemon's folder. `omision` says
// why the suite is skipped (cupsd not installed); `error` why it failed to start.
struct CupsdSuite {
    CupsdPrueba cupsd;
    OyenteSocket oyente;
    bool listo = false;
    QString omision, error;
    explicit CupsdSuite(const std::vector<std::pair<QString, QString>>& colas);
    QString ruta(const QString& archivo) const;  // a file in the daemon's folder
};
