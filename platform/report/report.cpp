#include "platform/report/report.h"

#include "platform/report/mustache.h"
#include "platform/report/pages.h"
#include "platform/report/preview.h"
#include "platform/report/records.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QPointer>
#include <QPrinter>
#include <QPrinterInfo>
#include <QRegularExpression>

#include <algorithm>

namespace report {

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
