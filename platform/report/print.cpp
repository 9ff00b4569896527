#include "platform/report/print.h"

#include "platform/report/memory.h"
#include "platform/report/pages.h"
#include "platform/report/pdfjoin.h"
#include "platform/report/progress.h"
#include "platform/report/rendered.h"
#include "platform/print/salida.h"

#include <cups/cups.h>

#include <QFile>
#include <QPageLayout>
#include <QPainter>
#include <QPdfWriter>
#include <QPrinter>
#include <QTemporaryDir>
#include <QThread>
#include <QThreadPool>

#include <algorithm>
#include <atomic>
#include <functional>

namespace report {

void preparePrinter(const Rendered& rendered, QPrinter* printer) {
    Pages(rendered).preparePrinter(printer);
}

int paint(const Rendered& rendered, QPrinter* printer) {
    Pages pages(rendered);
    pages.layOut();
    QPainter painter;
    if (!painter.begin(printer))
        return 0;
    for (int i = 0; i < pages.count(); ++i) {
        if (i > 0)
            printer->newPage();
        pages.paint(i, &painter, printer->resolution());
    }
    painter.end();
    return pages.count();
}

namespace {

const char* mediaName(const QPageSize& size) {
    switch (size.id()) {
    case QPageSize::A4:
        return "iso_a4_210x297mm";
    case QPageSize::Legal:
        return "na_legal_8.5x14in";
    case QPageSize::Letter:
        return "na_letter_8.5x11in";
    default:
        return nullptr;
    }
}

// The finished PDF to the queue, in one job.
bool sendToQueue(const QString& queue, const QString& pdf, const QString& title, const QPrinter& printer,
                 const QPageSize& size, QString* error) {
    cups_option_t* options = nullptr;
    int count = 0;
    const int copies = std::max(1, printer.copyCount());
    count = cupsAddOption("copies", QByteArray::number(copies).constData(), count, &options);
    QByteArray media;
    if (const char* name = mediaName(size)) {
        media = name;
    } else {
        const QSizeF mmSize = size.size(QPageSize::Millimeter);
        media = QStringLiteral("Custom.%1x%2mm").arg(qRound(mmSize.width())).arg(qRound(mmSize.height())).toLatin1();
    }
    count = cupsAddOption("media", media.constData(), count, &options);
    if (printer.duplex() == QPrinter::DuplexLongSide)
        count = cupsAddOption("sides", "two-sided-long-edge", count, &options);
    else if (printer.duplex() == QPrinter::DuplexShortSide)
        count = cupsAddOption("sides", "two-sided-short-edge", count, &options);
    // The pages are painted in colour; a grey print is the queue's to make.
    if (printer.colorMode() == QPrinter::GrayScale)
        count = cupsAddOption("print-color-mode", "monochrome", count, &options);
    if (copies > 1 && printer.collateCopies())
        count = cupsAddOption("multiple-document-handling", "separate-documents-collated-copies", count, &options);
    const int job = cupsPrintFile(queue.toUtf8().constData(), QFile::encodeName(pdf).constData(),
                                  (title.isEmpty() ? QStringLiteral("Reporte") : title).toUtf8().constData(), count,
                                  options);
    cupsFreeOptions(count, options);
    if (job <= 0) {
        if (error)
            *error = QStringLiteral("La impresora %1 no aceptó el reporte. No se imprimió nada.").arg(queue);
        return false;
    }
    // A queue stopped while the pages were painted would hold the job silently.
    const print::Resultado r = print::ConfirmaTrabajo(queue, job);
    if (!r.ok && error)
        *error = r.error;
    return r.ok;
}

// From this many pages on, a report is painted by several threads at once.
std::atomic<int> paintInPartsFrom{24};

enum class Parts { Painted, Stopped, Failed };

// Pages [from, to] painted into `path` by several threads, each painting runs of pages into a PDF
// of its own, the parts joined in order at the end. `show` tells the pages painted so far and is
// false once the person stopped the work.
Parts paintInParts(const Pages& pages, int from, int to, int dpi, const QString& path, const QString& title,
                   const std::function<bool(int)>& show) {
    QTemporaryDir tmp;
    if (!tmp.isValid())
        return Parts::Failed;
    const int count = to - from + 1;
    QThreadPool painters;
    painters.setMaxThreadCount(std::clamp(QThread::idealThreadCount(), 1, 6));
    // A few runs a thread, so a thread that ends early takes the next run.
    const int runs = std::clamp(count / 8, std::min(count, 2), painters.maxThreadCount() * 3);
    QStringList parts;
    for (int k = 0; k < runs; ++k)
        parts << tmp.filePath(QStringLiteral("parte%1.pdf").arg(k));
    std::atomic<int> painted{0};
    std::atomic<bool> stopped{false}, failed{false};
    const QPageLayout layout(pages.pageSize(), QPageLayout::Portrait, pages.marginsMm(), QPageLayout::Millimeter);
    for (int k = 0; k < runs; ++k) {
        const int a = from + static_cast<int>(qint64(count) * k / runs);
        const int b = from + static_cast<int>(qint64(count) * (k + 1) / runs);
        painters.start([&, a, b, file = parts[k]] {
            {
                QPdfWriter writer(file);
                writer.setResolution(dpi);
                writer.setPageLayout(layout);
                writer.setTitle(title);
                writer.setCreator(QStringLiteral("Quorvel"));
                QPainter painter;
                if (!painter.begin(&writer)) {
                    failed = true;
                } else {
                    for (int i = a; i < b && !stopped && !failed; ++i) {
                        if (i > a)
                            writer.newPage();
                        pages.paint(i, &painter, dpi);
                        ++painted;
                    }
                    painter.end();
                }
            }
            // What this thread laid out goes before the thread may end.
            pages.releaseThread();
        });
    }
    while (!painters.waitForDone(50))
        if (!stopped && !show(painted.load()))
            stopped = true;
    if (stopped)
        return Parts::Stopped;
    if (failed)
        return Parts::Failed;
    show(count);
    return joinPdf(parts, path, title) ? Parts::Painted : Parts::Failed;
}

}  // namespace

bool print(Pages& pages, QPrinter* printer, QString* error, QWidget* parent, const bool* stop) {
    auto fail = [&](const QString& message) {
        if (error)
            *error = message;
        return false;
    };
    // A stopped queue would hold the job silently and a receipt queue would print the PDF's bytes:
    // both are asked before any page is laid out.
    if (printer->outputFormat() != QPrinter::PdfFormat)
        if (const print::Resultado r = print::AdmitePaginas(printer->printerName()); !r.ok)
            return fail(r.error);
    // What reading and laying out left free goes back first: the threads that paint take memory of
    // their own, and would otherwise add it to all that.
    giveBackMemory();
    // A window that stops its own print (Esc, Cancelar, its close box) keeps every window free.
    Progress progress(parent, stop, 500, stop ? Qt::NonModal : Qt::ApplicationModal);
    auto show = [&](int page, int of) {
        return progress.show(QStringLiteral("Generando página %1 de %2...").arg(page).arg(of), page, of);
    };
    // The page count is told once the layout knows it, never an estimate that changes.
    while (!pages.layOut(100))
        if (!progress.show(QStringLiteral("Generando página %1...").arg(pages.count() + 1), 0, 0))
            return fail(QString());

    int from = 0, to = pages.count() - 1;
    if (printer->printRange() == QPrinter::PageRange && printer->fromPage() > 0) {
        from = printer->fromPage() - 1;
        to = std::min(to, std::max(from, printer->toPage() - 1));
    }
    // A queue's job is painted into a file first and sent whole, so stopping sends nothing.
    const bool toFile = printer->outputFormat() == QPrinter::PdfFormat;
    const QString queue = toFile ? QString() : printer->printerName();
    QTemporaryDir tmp;
    QPrinter file(QPrinter::HighResolution);
    QPrinter* target = printer;
    if (!toFile) {
        if (!tmp.isValid())
            return fail(QStringLiteral("No se pudo preparar el trabajo de impresión."));
        file.setOutputFormat(QPrinter::PdfFormat);
        file.setOutputFileName(tmp.filePath(QStringLiteral("reporte.pdf")));
        file.setDocName(printer->docName());
        file.setCreator(QStringLiteral("Quorvel"));
        target = &file;
    }
    const QString cannotWrite = toFile ? QStringLiteral("No se pudo crear el archivo PDF: ") + printer->outputFileName()
                                       : QStringLiteral("Error al imprimir el reporte en ") + queue;
    const int copies = toFile ? std::max(1, printer->copyCount()) : 1;
    // The parts are plain PDF files in colour: a queue prints them grey when asked (the job says
    // so); copies and a grey PDF file go the one-thread way.
    if (copies == 1 && to - from + 1 >= paintInPartsFrom.load() && pages.paintsOnAnyThread() &&
        (printer->colorMode() == QPrinter::Color || !toFile)) {
        const QString path = target->outputFileName();
        const int count = to - from + 1;
        switch (paintInParts(pages, from, to, target->resolution(), path, printer->docName(),
                             [&](int done) { return show(std::min(done + 1, count), count); })) {
        case Parts::Painted:
            if (toFile)
                return true;
            return sendToQueue(queue, path, printer->docName(), *printer, pages.pageSize(), error);
        case Parts::Stopped:
            QFile::remove(path);
            return fail(QString());
        case Parts::Failed:
            QFile::remove(path);
            return fail(cannotWrite);
        }
    }
    pages.preparePrinter(target);
    QPainter painter;
    if (!painter.begin(target))
        return fail(cannotWrite);
    const int total = (to - from + 1) * copies;
    int done = 0;
    for (int c = 0; c < copies; ++c) {
        for (int i = from; i <= to; ++i) {
            if (done > 0)
                target->newPage();
            pages.paint(i, &painter, target->resolution());
            ++done;
            if (!show(std::min(done + 1, total), total)) {
                painter.end();
                if (toFile)
                    QFile::remove(printer->outputFileName());
                return fail(QString());
            }
        }
    }
    painter.end();
    if (toFile)
        return true;
    return sendToQueue(queue, file.outputFileName(), printer->docName(), *printer, pages.pageSize(), error);
}

void setPaintInPartsFrom(int pages) { paintInPartsFrom.store(std::max(1, pages)); }

}  // namespace report
