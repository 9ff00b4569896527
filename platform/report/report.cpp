#include "platform/report/report.h"

#include "platform/report/mustache.h"
#include "platform/report/pages.h"
#include "platform/report/pdfjoin.h"
#include "platform/report/preview.h"
#include "platform/report/progress.h"
#include "platform/report/records.h"
#include "platform/report/totals.h"
#include "platform/print/salida.h"

#include <cups/cups.h>

#include <QCoreApplication>
#include <QDate>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QPageLayout>
#include <QPainter>
#include <QPdfWriter>
#include <QPointer>
#include <QPrinter>
#include <QPrinterInfo>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QThread>
#include <QThreadPool>

#include <algorithm>
#include <atomic>
#include <functional>
#include <limits>

#ifdef __GLIBC__
#include <malloc.h>
#endif

namespace report {
namespace detail {

namespace {

// Dates as the system shows them.
QString dateText(const QString& s) {
    static thread_local const QRegularExpression iso(
        QStringLiteral("^(\\d{4})-(\\d{2})-(\\d{2})([ T]\\d{2}:\\d{2}(:\\d{2})?)?$"));
    const auto m = iso.match(s);
    if (!m.hasMatch())
        return s;
    return m.captured(3) + QLatin1Char('/') + m.captured(2) + QLatin1Char('/') + m.captured(1);
}

}  // namespace

mstch::map toMap(const QVariantMap& vm) {
    mstch::map m;
    for (auto it = vm.begin(); it != vm.end(); ++it)
        m.emplace(it.key().toStdString(), toNode(it.value()));
    return m;
}

namespace {

std::vector<std::string> stdNames(const Records& r) {
    std::vector<std::string> out;
    for (const QString& name : r.names())
        out.push_back(name.toStdString());
    return out;
}

mstch::map recordNode(const Records& r, const std::vector<std::string>& names, qsizetype i) {
    mstch::map m;
    for (int c = 0; c < static_cast<int>(names.size()); ++c) {
        const QVariant v = r.value(i, c);
        if (v.isValid())  // a field the record lacks is looked for around it, as in a map
            m.emplace(names[static_cast<size_t>(c)], toNode(v));
    }
    return m;
}

}  // namespace

mstch::node itemNode(const QVariant& list, qsizetype i) {
    if (list.metaType() == QMetaType::fromType<Records>()) {
        const Records r = list.value<Records>();
        return recordNode(r, stdNames(r), i);
    }
    return toNode(list.toList().value(i));
}

mstch::node toNode(const QVariant& v) {
    if (v.metaType() == QMetaType::fromType<Records>()) {
        const Records r = v.value<Records>();
        const std::vector<std::string> names = stdNames(r);
        mstch::array a;
        a.reserve(static_cast<size_t>(r.size()));
        for (qsizetype i = 0; i < r.size(); ++i)
            a.push_back(recordNode(r, names, i));
        return a;
    }
    if (!v.isValid() || v.isNull())
        return std::string();
    switch (v.typeId()) {
    case QMetaType::QVariantMap:
        return toMap(v.toMap());
    case QMetaType::QVariantList:
    case QMetaType::QStringList: {
        mstch::array a;
        for (const QVariant& e : v.toList())
            a.push_back(toNode(e));
        return a;
    }
    case QMetaType::Bool:
        return v.toBool();
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::ULongLong: {
        const qint64 n = v.toLongLong();
        if (n >= std::numeric_limits<int>::min() && n <= std::numeric_limits<int>::max())
            return static_cast<int>(n);
        return v.toString().toStdString();
    }
    case QMetaType::Double:
    case QMetaType::Float:
        return formatAmount(v.toDouble()).toStdString();
    case QMetaType::QDate:
        return v.toDate().toString(QStringLiteral("dd/MM/yyyy")).toStdString();
    case QMetaType::QDateTime:
        return v.toDateTime().toString(QStringLiteral("dd/MM/yyyy")).toStdString();
    default:
        return dateText(v.toString()).toStdString();
    }
}

QString fill(const QString& tmpl, const mstch::node& root) {
    return QString::fromStdString(mstch::render(tmpl.toStdString(), root));
}

std::set<QString> namesRead(const QString& t) {
    static const QRegularExpression tag(QStringLiteral("\\{\\{\\s*[#^&/{]?\\s*([^}\\s.!>]+)"));
    std::set<QString> out;
    for (auto it = tag.globalMatch(t); it.hasNext();)
        out.insert(it.next().captured(1));
    return out;
}

}  // namespace detail

namespace {

QList<QPointer<QDialog>>& previews() {
    static QList<QPointer<QDialog>> list;
    return list;
}

// The windows still open when the program quits go first, each waiting for its layout to stop:
// one with no parent window would otherwise outlive the objects its workers use.
void closeLeftOpen() {
    const auto open = previews();
    previews().clear();
    for (const auto& p : open)
        delete p.data();
}

void watchQuit() {
    static bool watching = false;
    if (watching || !QCoreApplication::instance())
        return;
    watching = true;
    QObject::connect(QCoreApplication::instance(), &QCoreApplication::aboutToQuit, closeLeftOpen);
    qAddPostRoutine(closeLeftOpen);
}

// Cuts the <!--tag--> ... <!--/tag--> section out of the text.
QString takeSection(QString& text, const QString& tag) {
    const QString open = QStringLiteral("<!--") + tag + QStringLiteral("-->");
    const QString close = QStringLiteral("<!--/") + tag + QStringLiteral("-->");
    const qsizetype a = text.indexOf(open, 0, Qt::CaseInsensitive);
    if (a < 0)
        return {};
    const qsizetype b = text.indexOf(close, a, Qt::CaseInsensitive);
    if (b < 0)
        return {};
    const QString inner = text.mid(a + open.size(), b - a - open.size());
    text.remove(a, b + close.size() - a);
    return inner;
}

PageSetup readPageSetup(QString& text) {
    PageSetup p;
    static const QRegularExpression re(QStringLiteral("<!--\\s*page\\b([^>]*)-->"),
                                       QRegularExpression::CaseInsensitiveOption);
    const auto m = re.match(text);
    if (!m.hasMatch())
        return p;
    const QString attrs = m.captured(1);
    static const QRegularExpression attr(QStringLiteral("(\\w+)\\s*=\\s*\"([^\"]*)\""));
    for (auto it = attr.globalMatch(attrs); it.hasNext();) {
        const auto a = it.next();
        const QString name = a.captured(1).toLower();
        const QString value = a.captured(2).trimmed();
        if (name == QLatin1String("size")) {
            const QString v = value.toLower();
            if (v == QLatin1String("a4"))
                p.kind = PageKind::A4;
            else if (v == QLatin1String("legal"))
                p.kind = PageKind::Legal;
            else if (v == QLatin1String("roll76"))
                p.kind = PageKind::Roll76;
            else
                p.kind = PageKind::Letter;
            if (p.kind == PageKind::Roll76)
                p.marginsMm = QMarginsF(3, 3, 3, 3);
        } else if (name == QLatin1String("margins")) {
            const QStringList parts = value.split(QLatin1Char(','));
            if (parts.size() == 4) {
                // top, right, bottom, left as in CSS
                p.marginsMm = QMarginsF(parts[3].toDouble(), parts[0].toDouble(),
                                        parts[1].toDouble(), parts[2].toDouble());
            }
        }
    }
    text.remove(m.capturedStart(), m.capturedLength());
    return p;
}

}  // namespace

QString findFile(const QString& path) {
    if (path.isEmpty())
        return {};
    const QFileInfo direct(path);
    if (direct.isFile())
        return direct.absoluteFilePath();
    const QString clean = QDir::cleanPath(QDir::fromNativeSeparators(direct.absoluteFilePath()));
    const QStringList parts = clean.split(QLatin1Char('/'), Qt::SkipEmptyParts);
    QString current = QStringLiteral("/");
    for (int i = 0; i < parts.size(); ++i) {
        const bool last = i == parts.size() - 1;
        QDir dir(current);
        const QString exact = dir.filePath(parts[i]);
        QString next;
        if (last ? QFileInfo(exact).isFile() : QFileInfo(exact).isDir()) {
            next = exact;
        } else {
            const auto filter = last ? QDir::Files : (QDir::Dirs | QDir::NoDotAndDotDot);
            for (const QString& entry : dir.entryList(filter | QDir::Hidden)) {
                if (entry.compare(parts[i], Qt::CaseInsensitive) == 0) {
                    next = dir.filePath(entry);
                    break;
                }
            }
        }
        if (next.isEmpty())
            return {};
        current = next;
    }
    return current;
}

FieldsRead fieldsRead(const QString& path) {
    QFile f(findFile(path));
    if (!f.open(QIODevice::ReadOnly))
        return {};
    const QString text = QString::fromUtf8(f.readAll());
    static const QRegularExpression tag(QStringLiteral("\\{\\{\\s*([#^&/{]?)\\s*([^}\\s.!>]+)"));
    FieldsRead out;
    QStringList open;  // the sections around the tag
    for (auto it = tag.globalMatch(text); it.hasNext();) {
        const auto m = it.next();
        const QString kind = m.captured(1), name = m.captured(2);
        if (kind == QLatin1String("/")) {
            if (!open.isEmpty() && open.last() == name)
                open.removeLast();
            continue;
        }
        out.all.insert(name);
        for (const QString& section : std::as_const(open))
            out.in[section].insert(name);
        if (kind == QLatin1String("#") || kind == QLatin1String("^")) {
            out.in[name];  // a section that reads no name is still one
            open << name;
        }
    }
    return out;
}

void giveBackMemory() {
#ifdef __GLIBC__
    malloc_trim(0);
#endif
}

QString missingFileMessage(const QString& path) {
    return QStringLiteral("No se encontro el archivo: ") + path;
}

bool render(const Request& request, Rendered* out, QString* error) {
    const QString path = findFile(request.templatePath);
    if (path.isEmpty()) {
        if (error)
            *error = missingFileMessage(request.templatePath);
        return false;
    }
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) {
        if (error)
            *error = QStringLiteral("No se pudo leer el archivo: ") + path;
        return false;
    }
    QString text = QString::fromUtf8(f.readAll());

    Rendered r;
    r.page = readPageSetup(text);
    r.headerTemplate = takeSection(text, QStringLiteral("header"));
    r.footerTemplate = takeSection(text, QStringLiteral("footer"));
    r.bodyTemplate = text;
    r.title = request.title;

    QVariantMap values = request.formulas.toMap();
    for (auto it = request.data.begin(); it != request.data.end(); ++it) {
        if (listSize(it.value()) < 0 && it.value().typeId() != QMetaType::QVariantMap)
            values.insert(it.key(), it.value());
    }
    values.insert(QStringLiteral("hay_filas"), !request.rows.empty());
    values.insert(QStringLiteral("titulo"), request.title);
    r.values = values;

    QVariantMap ctx = request.formulas.toMap();
    for (auto it = request.data.begin(); it != request.data.end(); ++it)
        ctx.insert(it.key(), it.value());
    // The rows reach the body as maps only when it reads them; most templates read the lines the
    // caller made of them.
    static const QRegularExpression readsRows(QStringLiteral("\\{\\{\\s*[#^&{/]?\\s*filas\\b"));
    if (text.contains(readsRows))
        ctx.insert(QStringLiteral("filas"), toVariant(request.rows));
    ctx.insert(QStringLiteral("hay_filas"), !request.rows.empty());
    ctx.insert(QStringLiteral("titulo"), request.title);
    // The window keeps its lines as records, whoever made them.
    Records::compact(ctx);
    r.context = ctx;
    try {
        // Parses every part now, so a bad template fails here, before any window or job.
        mstch::render(r.bodyTemplate.toStdString(), mstch::map());
        mstch::render(r.headerTemplate.toStdString(), mstch::map());
        mstch::render(r.footerTemplate.toStdString(), mstch::map());
    } catch (const std::exception& e) {
        if (error)
            *error = QStringLiteral("Error en la plantilla %1: %2").arg(path, QString::fromUtf8(e.what()));
        return false;
    }
    *out = std::move(r);
    return true;
}

QString Rendered::body() const {
    return detail::fill(bodyTemplate, detail::toMap(context));
}

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

QString printerFor(const QString& name) {
    if (!name.isEmpty() && QPrinterInfo::availablePrinterNames().contains(name))
        return name;
    return QPrinterInfo::defaultPrinterName();
}

bool run(const Request& request, QString* error, QWidget* parent) {
    Rendered rendered;
    if (!render(request, &rendered, error))
        return false;

    auto fail = [&](const QString& message) {
        if (error)
            *error = message;
        return false;
    };

    switch (request.destination) {
    case Destination::Pdf: {
        if (request.pdfPath.isEmpty())
            return fail(QStringLiteral("No se indico el archivo PDF del reporte."));
        QPrinter printer(QPrinter::HighResolution);
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(request.pdfPath);
        printer.setDocName(request.title);
        printer.setCreator(QStringLiteral("Quorvel"));
        Pages pages(rendered);
        return print(pages, &printer, error, parent);
    }
    case Destination::Printer: {
        QString name = request.printer;
        if (name.isEmpty()) {
            name = QPrinterInfo::defaultPrinterName();
            if (name.isEmpty())
                return fail(QStringLiteral("No hay una impresora predeterminada para el reporte."));
        } else if (!QPrinterInfo::availablePrinterNames().contains(name)) {
            return fail(QStringLiteral("No se encontró la impresora: ") + name);
        }
        QPrinter printer(QPrinter::HighResolution);
        printer.setPrinterName(name);
        printer.setDocName(request.title);
        printer.setCopyCount(std::max(1, request.copies));
        Pages pages(rendered);
        return print(pages, &printer, error, parent);
    }
    case Destination::Preview: {
        watchQuit();
        const QList<QDialog*> open = openPreviews();
        auto* dlg = new Preview(std::make_unique<Pages>(rendered), printerFor(request.printer), parent);
        dlg->setWindowTitle(request.title.isEmpty() ? QStringLiteral("Reporte") : request.title);
        // Each window a step below and to the right of the last one, so none hides another.
        if (!open.isEmpty())
            dlg->move(open.last()->pos() + QPoint(32, 32));
        // Queued: after every other handler of the window's end has let go of what it kept (the
        // caller's rows and lines among them).
        QObject::connect(dlg, &QObject::destroyed, QCoreApplication::instance(), giveBackMemory, Qt::QueuedConnection);
        dlg->show();
        previews().append(dlg);
        return true;
    }
    }
    return false;
}

QList<QDialog*> openPreviews() {
    QList<QDialog*> out;
    auto& list = previews();
    list.removeAll(nullptr);
    for (const auto& p : list)
        if (p && p->isVisible())
            out.append(p);
    return out;
}

}  // namespace report
