#include "cupsd.h"

#include <cups/cups.h>

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QThread>

#include <arpa/inet.h>
#include <csignal>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

int escuchaLocal(int puerto, int* asignado) {
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0) return -1;
    int uno = 1;
    ::setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &uno, sizeof uno);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    a.sin_port = htons(uint16_t(puerto));
    socklen_t largo = sizeof a;
    if (::bind(fd, reinterpret_cast<sockaddr*>(&a), sizeof a) != 0 || ::listen(fd, 8) != 0 ||
        ::getsockname(fd, reinterpret_cast<sockaddr*>(&a), &largo) != 0) {
        ::close(fd);
        return -1;
    }
    if (asignado) *asignado = ntohs(a.sin_port);
    return fd;
}

bool escribe(const QString& ruta, const QByteArray& texto) {
    QFile f(ruta);
    return f.open(QIODevice::WriteOnly) && f.write(texto) == texto.size();
}

}  // namespace

int PuertoLibre() {
    int p = 0;
    const int fd = escuchaLocal(0, &p);
    if (fd >= 0) ::close(fd);
    return p;
}

OyenteSocket::OyenteSocket() {
    fd_ = escuchaLocal(0, &puerto_);
    if (fd_ >= 0) hilo_ = std::thread([this] { corre(); });
}

OyenteSocket::~OyenteSocket() {
    alto_ = true;
    if (hilo_.joinable()) hilo_.join();
    if (fd_ >= 0) ::close(fd_);
}

void OyenteSocket::corre() {
    while (!alto_) {
        pollfd p{fd_, POLLIN, 0};
        if (::poll(&p, 1, 100) <= 0) continue;
        const int c = ::accept4(fd_, nullptr, nullptr, SOCK_CLOEXEC);
        if (c < 0) continue;
        QByteArray datos;
        char bufer[4096];
        while (!alto_) {
            pollfd q{c, POLLIN, 0};
            if (::poll(&q, 1, 100) <= 0) continue;
            const ssize_t n = ::read(c, bufer, sizeof bufer);
            if (n <= 0) break;
            datos.append(bufer, n);
        }
        ::close(c);
        std::lock_guard<std::mutex> l(m_);
        recibidos_.push_back(datos);
    }
}

std::vector<QByteArray> OyenteSocket::espera(size_t n, int msMaximo) {
    QDeadlineTimer limite(msMaximo);
    while (!limite.hasExpired()) {
        {
            std::lock_guard<std::mutex> l(m_);
            if (recibidos_.size() >= n) return recibidos_;
        }
        QThread::msleep(50);
    }
    std::lock_guard<std::mutex> l(m_);
    return recibidos_;
}

CupsdPrueba::~CupsdPrueba() {
    // the daemon was started detached (not our child): stop it and wait until it is gone
    if (pid_ > 0) {
        ::kill(pid_t(pid_), SIGTERM);
        for (int i = 0; i < 50 && ::kill(pid_t(pid_), 0) == 0; ++i) QThread::msleep(100);
        if (::kill(pid_t(pid_), 0) == 0) ::kill(pid_t(pid_), SIGKILL);
    }
}

QString CupsdPrueba::servidor() const { return QStringLiteral("127.0.0.1:%1").arg(puerto_); }

QString CupsdPrueba::bitacora() const {
    QFile f(QDir(dir_.path()).filePath(QStringLiteral("log/error_log")));
    return f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll().right(4000)) : QString();
}

bool CupsdPrueba::inicia(QString* razon) {
    const QString cupsd = QStandardPaths::findExecutable(
        QStringLiteral("cupsd"), {QStringLiteral("/usr/sbin"), QStringLiteral("/usr/local/sbin"),
                                  QStringLiteral("/sbin")});
    if (cupsd.isEmpty()) {
        *razon = QStringLiteral("cupsd is not installed (package cups)");
        return false;
    }
    if (!dir_.isValid()) {
        *razon = QStringLiteral("no temporary folder");
        return false;
    }
    // the backends run as another user when cupsd runs as root: they must reach the spool
    ::chmod(QFile::encodeName(dir_.path()).constData(), 0755);
    const QDir d(dir_.path());
    for (const char* sub : {"etc", "spool", "tmp", "cache", "state", "log"}) d.mkpath(QLatin1String(sub));
    ::chmod(QFile::encodeName(d.filePath("tmp")).constData(), 01777);
    puerto_ = PuertoLibre();

    const QByteArray conf = QStringLiteral(
        "LogLevel debug\n"
        "Listen 127.0.0.1:%1\n"
        "Browsing No\n"
        "WebInterface No\n"
        "DefaultAuthType None\n"
        "JobRetryLimit 0\n"
        "<Location />\n  Order allow,deny\n  Allow all\n</Location>\n"
        "<Location /admin>\n  Order allow,deny\n  Allow all\n</Location>\n"
        "<Policy default>\n  <Limit All>\n    Order deny,allow\n  </Limit>\n</Policy>\n")
                                .arg(puerto_)
                                .toUtf8();
    const QByteArray archivos = QStringLiteral(
        "ServerRoot %1/etc\n"
        "RequestRoot %1/spool\n"
        "TempDir %1/tmp\n"
        "CacheDir %1/cache\n"
        "StateDir %1/state\n"
        "ErrorLog %1/log/error_log\n"
        "AccessLog %1/log/access_log\n"
        "PageLog %1/log/page_log\n"
        "Printcap %1/etc/printcap\n"
        "FileDevice Yes\n"
        "Sandboxing Relaxed\n")
                                    .arg(dir_.path())
                                    .toUtf8();
    const QString rutaConf = d.filePath(QStringLiteral("etc/cupsd.conf"));
    const QString rutaArchivos = d.filePath(QStringLiteral("etc/cups-files.conf"));
    if (!escribe(rutaConf, conf) || !escribe(rutaArchivos, archivos)) {
        *razon = QStringLiteral("cannot write the cupsd configuration");
        return false;
    }
    QProcess p;
    p.setProgram(cupsd);
    p.setArguments({QStringLiteral("-f"), QStringLiteral("-c"), rutaConf, QStringLiteral("-s"), rutaArchivos});
    p.setStandardOutputFile(d.filePath(QStringLiteral("log/stdout")));
    p.setStandardErrorFile(d.filePath(QStringLiteral("log/stderr")));
    if (!p.startDetached(&pid_)) {
        *razon = QStringLiteral("cupsd did not start");
        return false;
    }
    const QByteArray servidor = this->servidor().toUtf8();
    cupsSetServer(servidor.constData());
    QDeadlineTimer limite(15000);
    while (!limite.hasExpired()) {
        http_t* h = httpConnect2("127.0.0.1", puerto_, nullptr, AF_INET, HTTP_ENCRYPTION_NEVER, 1, 200, nullptr);
        if (h) {
            httpClose(h);
            return true;
        }
        if (::kill(pid_t(pid_), 0) != 0) {
            pid_ = 0;
            QFile e(d.filePath(QStringLiteral("log/stderr")));
            e.open(QIODevice::ReadOnly);
            *razon = QStringLiteral("cupsd stopped: ") + QString::fromUtf8(e.readAll()) + bitacora();
            return false;
        }
        QThread::msleep(100);
    }
    *razon = QStringLiteral("cupsd does not answer: ") + bitacora();
    return false;
}

bool CupsdPrueba::agregaColaCruda(const QString& nombre, const QString& dispositivo, QString* error) {
    return agregaCola(nombre, dispositivo, QString(), error);
}

bool CupsdPrueba::agregaColaDeDriver(const QString& nombre, const QString& dispositivo, const QString& ppd,
                                     QString* error) {
    if (ppd.startsWith(QLatin1String("drv:"))) return agregaCola(nombre, dispositivo, QString(), error, ppd);
    return agregaCola(nombre, dispositivo, ppd, error);
}

bool CupsdPrueba::agregaCola(const QString& nombre, const QString& dispositivo, const QString& ppd,
                             QString* error, const QString& modelo) {
    ipp_t* p = ippNewRequest(IPP_OP_CUPS_ADD_MODIFY_PRINTER);
    const QByteArray uri = QStringLiteral("ipp://localhost/printers/%1").arg(nombre).toUtf8();
    const QByteArray disp = dispositivo.toUtf8();
    ippAddString(p, IPP_TAG_OPERATION, IPP_TAG_URI, "printer-uri", nullptr, uri.constData());
    ippAddString(p, IPP_TAG_PRINTER, IPP_TAG_URI, "device-uri", nullptr, disp.constData());
    ippAddBoolean(p, IPP_TAG_PRINTER, "printer-is-accepting-jobs", 1);
    ippAddInteger(p, IPP_TAG_PRINTER, IPP_TAG_ENUM, "printer-state", IPP_PSTATE_IDLE);
    const QByteArray nombreModelo = modelo.toUtf8();
    if (!modelo.isEmpty()) ippAddString(p, IPP_TAG_PRINTER, IPP_TAG_NAME, "ppd-name", nullptr, nombreModelo.constData());
    const QByteArray archivo = QFile::encodeName(ppd);
    ippDelete(cupsDoFileRequest(CUPS_HTTP_DEFAULT, p, "/admin/", ppd.isEmpty() ? nullptr : archivo.constData()));
    if (cupsLastError() > IPP_STATUS_OK_CONFLICTING) {
        if (error) *error = QString::fromUtf8(cupsLastErrorString()) + "\n" + bitacora();
        return false;
    }
    return true;
}

namespace {

// The least a PPD needs for CUPS to take PDF pages for the device unchanged (no filter program).
const char kPpdPaginas[] =
    "*PPD-Adobe: \"4.3\"\n*FormatVersion: \"4.3\"\n*FileVersion: \"1.0\"\n*LanguageVersion: English\n"
    "*LanguageEncoding: ISOLatin1\n*PCFileName: \"PAGINAS.PPD\"\n*Manufacturer: \"Pruebas\"\n"
    "*Product: \"(Paginas)\"\n*ModelName: \"Impresora de paginas\"\n*ShortNickName: \"Impresora de paginas\"\n"
    "*NickName: \"Impresora de paginas\"\n*PSVersion: \"(3010.000) 0\"\n*LanguageLevel: \"3\"\n"
    "*ColorDevice: False\n*DefaultColorSpace: Gray\n*FileSystem: False\n*Throughput: \"1\"\n"
    "*TTRasterizer: Type42\n*cupsVersion: 2.4\n*cupsFilter: \"application/pdf 0 -\"\n"
    "*OpenUI *PageSize/Media Size: PickOne\n*OrderDependency: 10 AnySetup *PageSize\n"
    "*DefaultPageSize: Letter\n*PageSize Letter/US Letter: \"<</PageSize[612 792]>>setpagedevice\"\n"
    "*CloseUI: *PageSize\n*OpenUI *PageRegion/Media Size: PickOne\n*OrderDependency: 10 AnySetup *PageRegion\n"
    "*DefaultPageRegion: Letter\n*PageRegion Letter/US Letter: \"<</PageSize[612 792]>>setpagedevice\"\n"
    "*CloseUI: *PageRegion\n*DefaultImageableArea: Letter\n*ImageableArea Letter/US Letter: \"0 0 612 792\"\n"
    "*DefaultPaperDimension: Letter\n*PaperDimension Letter/US Letter: \"612 792\"\n";

}  // namespace

bool CupsdPrueba::agregaColaConDriver(const QString& nombre, const QString& dispositivo, QString* error) {
    const QString ppd = QDir(dir_.path()).filePath(QStringLiteral("paginas.ppd"));
    if (!escribe(ppd, QByteArray(kPpdPaginas))) {
        if (error) *error = QStringLiteral("cannot write the PPD");
        return false;
    }
    return agregaCola(nombre, dispositivo, ppd, error);
}

bool CupsdPrueba::detenCola(const QString& nombre, bool detener, QString* error) {
    ipp_t* p = ippNewRequest(detener ? IPP_OP_PAUSE_PRINTER : IPP_OP_RESUME_PRINTER);
    const QByteArray uri = QStringLiteral("ipp://localhost/printers/%1").arg(nombre).toUtf8();
    ippAddString(p, IPP_TAG_OPERATION, IPP_TAG_URI, "printer-uri", nullptr, uri.constData());
    ippDelete(cupsDoRequest(CUPS_HTTP_DEFAULT, p, "/admin/"));
    if (cupsLastError() > IPP_STATUS_OK_CONFLICTING) {
        if (error) *error = QString::fromUtf8(cupsLastErrorString());
        return false;
    }
    return true;
}

CupsdSuite::CupsdSuite(const std::vector<std::pair<QString, QString>>& colas) {
    QString razon;
    if (!cupsd.inicia(&razon)) {
        // only a missing cupsd skips; a daemon that does not start is a failure
        if (razon.startsWith(QStringLiteral("cupsd is not installed"))) omision = razon;
        else error = razon;
        return;
    }
    for (const auto& [nombre, dispositivo] : colas) {
        QString d = dispositivo;
        d.replace(QStringLiteral("{oyente}"), QString::number(oyente.puerto()));
        d.replace(QStringLiteral("{carpeta}"), cupsd.carpeta());
        if (!cupsd.agregaColaCruda(nombre, d, &error)) return;
    }
    listo = true;
}

QString CupsdSuite::ruta(const QString& archivo) const { return QDir(cupsd.carpeta()).filePath(archivo); }
