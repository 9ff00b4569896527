#include "pdftext.h"

#include <QApplication>
#include <QProcess>
#include <QProgressDialog>
#include <QRegularExpression>
#include <QTest>

namespace reporttest {
namespace {
QString run(const QString& program, const QStringList& args) {
    QProcess p;
    p.start(program, args);
    if (!p.waitForFinished(30000) || p.exitCode() != 0)
        return {};
    return QString::fromUtf8(p.readAllStandardOutput());
}
}  // namespace

QString pdfText(const QString& pdf) {
    return run(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), pdf, QStringLiteral("-")});
}

int pdfPages(const QString& pdf) {
    const auto m = QRegularExpression(QStringLiteral("Pages:\\s+(\\d+)"))
                       .match(run(QStringLiteral("pdfinfo"), {pdf}));
    return m.hasMatch() ? m.captured(1).toInt() : -1;
}

double pdfPageWidthPt(const QString& pdf) {
    const auto m = QRegularExpression(QStringLiteral("Page size:\\s+([\\d.]+) x ([\\d.]+)"))
                       .match(run(QStringLiteral("pdfinfo"), {pdf}));
    return m.hasMatch() ? m.captured(1).toDouble() : -1;
}

QString squeezed(const QString& text) {
    return text.simplified();
}

EscOnProgress::EscOnProgress(QString* label) {
    timer_.setInterval(20);
    QObject::connect(&timer_, &QTimer::timeout, [label] {
        for (QWidget* w : QApplication::topLevelWidgets())
            if (auto* d = qobject_cast<QProgressDialog*>(w); d && d->isVisible()) {
                if (label)
                    *label = d->labelText();
                QTest::keyClick(d, Qt::Key_Escape);
            }
    });
    timer_.start();
}
}  // namespace reporttest
