#pragma once
// Waiting on long report work without freezing the program: a modal "Generando..." or "Leyendo..."
// dialog with "Cancelar" (Esc too) once the work has taken a moment, and work run on a thread of
// its own while this thread keeps painting its windows.

#include <QElapsedTimer>
#include <QPointer>
#include <QString>

#include <atomic>
#include <functional>

class QProgressDialog;
class QWidget;

namespace report {

// For work done in steps on this thread: each step calls show(), which serves pending events.
class Progress {
public:
    // `stop`: a flag the caller's window sets to stop the work (may be null). When `parent` is
    // given and goes away while the work runs, the work stops as well. `modality`: the dialog keeps
    // input from every window (the default), or from none, for a window that stays in charge of
    // its own work (its Esc and its close box set `stop`).
    explicit Progress(QWidget* parent, const bool* stop = nullptr, int delayMs = 500,
                      Qt::WindowModality modality = Qt::ApplicationModal);
    ~Progress();
    Progress(const Progress&) = delete;
    Progress& operator=(const Progress&) = delete;

    // Shows `label` with value of maximum (maximum 0: a busy bar) once the delay has passed;
    // false once the work must stop.
    bool show(const QString& label, int value, int maximum);
    bool stopped() const;

private:
    QPointer<QWidget> parent_;
    bool hadParent_ = false;
    const bool* stop_ = nullptr;
    int delayMs_;
    Qt::WindowModality modality_;
    QPointer<QProgressDialog> dialog_;
    QElapsedTimer clock_;
};

// Runs `work` on a thread of its own and waits for it while this thread serves its events (the
// windows already open keep painting and laying out). Input waits until the modal dialog with
// `label` shows (after a moment), which then keeps it from every other window, so nothing clicked
// meanwhile runs afterwards. Esc or "Cancelar" sets the flag `work` receives and calls `onStop`
// once on this thread (to break off what `work` waits on, a query); `work` is waited for either
// way. `work` must not touch widgets nor this thread's database connections. True when it was not
// stopped.
bool runAside(const QString& label, const std::function<void(const std::atomic<bool>& stop)>& work,
              QWidget* parent = nullptr, const std::function<void()>& onStop = {});

}  // namespace report
