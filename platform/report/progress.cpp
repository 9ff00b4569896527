#include "platform/report/progress.h"

#include <QApplication>
#include <QDeadlineTimer>
#include <QProgressDialog>
#include <QThread>

#include <memory>

namespace report {
namespace {

// Esc stops the work, as the button does, whichever way the key reaches the dialog.
class ProgressDialog : public QProgressDialog {
public:
    using QProgressDialog::QProgressDialog;
    void reject() override { cancel(); }
};

}  // namespace

Progress::Progress(QWidget* parent, const bool* stop, int delayMs, Qt::WindowModality modality)
    : parent_(parent), hadParent_(parent != nullptr), stop_(stop), delayMs_(delayMs), modality_(modality) {
    clock_.start();
}

Progress::~Progress() { delete dialog_; }

bool Progress::stopped() const {
    return (stop_ && *stop_) || (hadParent_ && !parent_) || (dialog_ && dialog_->wasCanceled());
}

bool Progress::show(const QString& label, int value, int maximum) {
    if (stopped())
        return false;
    if (!dialog_ && clock_.elapsed() >= delayMs_ && qobject_cast<QApplication*>(QCoreApplication::instance())) {
        dialog_ = new ProgressDialog(parent_);
        dialog_->setWindowTitle(QStringLiteral("Reporte"));
        dialog_->setCancelButtonText(QStringLiteral("Cancelar"));
        dialog_->setWindowModality(modality_);
        dialog_->setMinimumDuration(0);
        dialog_->setAutoClose(false);
        dialog_->setAutoReset(false);
        dialog_->show();
    }
    if (dialog_) {
        dialog_->setMaximum(maximum > 0 ? std::max(maximum, value) : 0);
        dialog_->setValue(maximum > 0 ? value : 0);
        dialog_->setLabelText(label);
    }
    // Until the modal dialog shows, what is clicked or typed waits: once it shows, the input meant
    // for the other windows is refused instead of running after the work.
    QCoreApplication::processEvents(dialog_ ? QEventLoop::AllEvents : QEventLoop::ExcludeUserInputEvents);
    return !stopped();
}

bool runAside(const QString& label, const std::function<void(const std::atomic<bool>& stop)>& work,
              QWidget* parent, const std::function<void()>& onStop) {
    std::atomic<bool> stop{false};
    std::unique_ptr<QThread> thread(QThread::create([&] { work(stop); }));
    thread->start();
    Progress progress(parent, nullptr, 300);
    while (!thread->wait(QDeadlineTimer(20))) {
        if (stop)
            QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
        else if (!progress.show(label, 0, 0)) {
            stop = true;
            if (onStop)
                onStop();
        }
    }
    return !stop;
}

}  // namespace report
