#include "platform/ui/terminacion.h"

#include <QCoreApplication>
#include <QSocketNotifier>

#include <atomic>
#include <csignal>
#include <fcntl.h>
#include <sys/socket.h>
#include <unistd.h>

namespace ui {

namespace {

int g_tubo[2] = {-1, -1};
std::atomic<bool> g_pedida{false};

// Only what a signal handler may do: the byte wakes the event loop, which ends the program.
void alRecibir(int) {
    const char c = 1;
    [[maybe_unused]] const ssize_t n = ::write(g_tubo[1], &c, 1);
}

}  // namespace

bool TerminacionPedida() { return g_pedida.load(); }

void TerminaAPeticionDelSistema() {
    if (g_tubo[0] >= 0 || !QCoreApplication::instance()) return;
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0, g_tubo) != 0) return;
    auto* aviso = new QSocketNotifier(g_tubo[0], QSocketNotifier::Read, QCoreApplication::instance());
    QObject::connect(aviso, &QSocketNotifier::activated, aviso, [] {
        char c[16];
        while (::read(g_tubo[0], c, sizeof c) > 0) {
        }
        g_pedida = true;
        // Every running event loop ends, a dialog's too; a new one ends as soon as it starts.
        QCoreApplication::exit(0);
    });
    struct sigaction sa {};
    sa.sa_handler = alRecibir;
    sigemptyset(&sa.sa_mask);
    sa.sa_flags = SA_RESTART;
    for (int s : {SIGTERM, SIGHUP, SIGINT}) ::sigaction(s, &sa, nullptr);
    // A parent may have blocked them for its children.
    sigset_t m;
    sigemptyset(&m);
    for (int s : {SIGTERM, SIGHUP, SIGINT}) sigaddset(&m, s);
    ::sigprocmask(SIG_UNBLOCK, &m, nullptr);
}

}  // namespace ui
