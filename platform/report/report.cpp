#include "platform/report/report.h"

#include "platform/report/totals.h"

#include <mstch/mstch.hpp>

#include <QAbstractTextDocumentLayout>
#include <QDate>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPointer>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QPrinterInfo>
#include <QRegularExpression>
#include <QTextDocument>

#include <cmath>
#include <limits>

namespace report {
namespace {

QList<QPointer<QPrintPreviewDialog>>& previews() {
    static QList<QPointer<QPrintPreviewDialog>> list;
    return list;
}

// Dates as the system shows them.
QString dateText(const QString& s) {
    static const QRegularExpression iso(
        QStringLiteral("^(\\d{4})-(\\d{2})-(\\d{2})([ T]\\d{2}:\\d{2}(:\\d{2})?)?$"));
    const auto m = iso.match(s);
    if (!m.hasMatch())
        return s;
    return m.captured(3) + QLatin1Char('/') + m.captured(2) + QLatin1Char('/') + m.captured(1);
}

mstch::node toNode(const QVariant& v) {
    if (!v.isValid() || v.isNull())
        return std::string();
    switch (v.typeId()) {
    case QMetaType::QVariantMap: {
        mstch::map m;
        const QVariantMap vm = v.toMap();
        for (auto it = vm.begin(); it != vm.end(); ++it)
            m.emplace(it.key().toStdString(), toNode(it.value()));
        return m;
    }
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

QString fill(const QString& tmpl, const QVariantMap& context) {
    const mstch::node root = toNode(context);
    return QString::fromStdString(mstch::render(tmpl.toStdString(), root));
}

QString fillPage(const QString& tmpl, QVariantMap context, int page, int pages) {
    if (tmpl.trimmed().isEmpty())
        return {};
    context.insert(QStringLiteral("pagina"), page);
    context.insert(QStringLiteral("paginas"), pages);
    return fill(tmpl, context);
}

// A document laid out with the printer's resolution, so the fonts keep their point size.
void setUp(QTextDocument& doc, const QString& html, QPrinter* printer, qreal width) {
    doc.documentLayout()->setPaintDevice(printer);
    doc.setDocumentMargin(0);
    QFont f(QStringLiteral("DejaVu Sans"));
    f.setPointSizeF(9);
    doc.setDefaultFont(f);
    doc.setHtml(html);
    doc.setTextWidth(width);
}

qreal mmToDevice(qreal mm, QPrinter* printer) {
    return mm / 25.4 * printer->resolution();
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
    r.title = request.title;

    QVariantMap ctx = request.formulas.toMap();
    for (auto it = request.data.begin(); it != request.data.end(); ++it)
        ctx.insert(it.key(), it.value());
    ctx.insert(QStringLiteral("filas"), toVariant(request.rows));
    ctx.insert(QStringLiteral("hay_filas"), !request.rows.empty());
    ctx.insert(QStringLiteral("titulo"), request.title);
    r.context = ctx;
    try {
        r.body = fill(text, ctx);
        // Header and footer see the page numbers too: fill the rest now, keep the page tags.
    } catch (const std::exception& e) {
        if (error)
            *error = QStringLiteral("Error en la plantilla %1: %2").arg(path, QString::fromUtf8(e.what()));
        return false;
    }
    *out = std::move(r);
    return true;
}

void preparePrinter(const Rendered& rendered, QPrinter* printer) {
    const PageSetup& p = rendered.page;
    printer->setFullPage(false);
    switch (p.kind) {
    case PageKind::A4:
        printer->setPageSize(QPageSize(QPageSize::A4));
        break;
    case PageKind::Legal:
        printer->setPageSize(QPageSize(QPageSize::Legal));
        break;
    case PageKind::Letter:
        printer->setPageSize(QPageSize(QPageSize::Letter));
        break;
    case PageKind::Roll76: {
        // One page as long as the content: lay the content out at the roll's width first.
        const qreal widthMm = 76 - p.marginsMm.left() - p.marginsMm.right();
        auto heightMm = [&](const QString& html) {
            if (html.trimmed().isEmpty())
                return 0.0;
            QTextDocument d;
            setUp(d, html, printer, mmToDevice(widthMm, printer));
            return d.size().height() / printer->resolution() * 25.4;
        };
        const qreal content = heightMm(rendered.body) +
                              heightMm(fillPage(rendered.headerTemplate, rendered.context, 1, 1)) +
                              heightMm(fillPage(rendered.footerTemplate, rendered.context, 1, 1));
        const qreal total = std::max(50.0, std::ceil(content + p.marginsMm.top() +
                                                     p.marginsMm.bottom() + 2));
        printer->setPageSize(QPageSize(QSizeF(76, total), QPageSize::Millimeter,
                                       QStringLiteral("Rollo 76 mm"), QPageSize::ExactMatch));
        break;
    }
    }
    printer->setPageOrientation(QPageLayout::Portrait);
    printer->setPageMargins(p.marginsMm, QPageLayout::Millimeter);
}

int paint(const Rendered& rendered, QPrinter* printer) {
    const QRectF page = printer->pageRect(QPrinter::DevicePixel);
    const qreal width = page.width();
    const qreal gap = mmToDevice(2, printer);

    auto measure = [&](const QString& tmpl) {
        const QString html = fillPage(tmpl, rendered.context, 999, 999);
        if (html.isEmpty())
            return 0.0;
        QTextDocument d;
        setUp(d, html, printer, width);
        return d.size().height() + gap;
    };
    const qreal headerH = measure(rendered.headerTemplate);
    const qreal footerH = measure(rendered.footerTemplate);
    const qreal bodyH = std::max(page.height() - headerH - footerH, page.height() / 4);

    QTextDocument body;
    setUp(body, rendered.body, printer, width);
    body.setPageSize(QSizeF(width, bodyH));
    const int pages = std::max(1, body.pageCount());

    QPainter painter;
    if (!painter.begin(printer))
        return 0;
    for (int i = 0; i < pages; ++i) {
        if (i > 0)
            printer->newPage();
        const QString header = fillPage(rendered.headerTemplate, rendered.context, i + 1, pages);
        if (!header.isEmpty()) {
            QTextDocument d;
            setUp(d, header, printer, width);
            d.drawContents(&painter);
        }
        painter.save();
        painter.translate(0, headerH - i * bodyH);
        body.drawContents(&painter, QRectF(0, i * bodyH, width, bodyH));
        painter.restore();
        const QString footer = fillPage(rendered.footerTemplate, rendered.context, i + 1, pages);
        if (!footer.isEmpty()) {
            QTextDocument d;
            setUp(d, footer, printer, width);
            painter.save();
            painter.translate(0, page.height() - footerH + gap);
            d.drawContents(&painter);
            painter.restore();
        }
    }
    painter.end();
    return pages;
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
        preparePrinter(rendered, &printer);
        if (paint(rendered, &printer) == 0)
            return fail(QStringLiteral("No se pudo crear el archivo PDF: ") + request.pdfPath);
        return true;
    }
    case Destination::Printer: {
        QString name = request.printer;
        if (name.isEmpty()) {
            name = QPrinterInfo::defaultPrinterName();
            if (name.isEmpty())
                return fail(QStringLiteral("No hay una impresora predeterminada para el reporte."));
        } else if (!QPrinterInfo::availablePrinterNames().contains(name)) {
            return fail(QStringLiteral("No se encontro la impresora: ") + name);
        }
        QPrinter printer(QPrinter::HighResolution);
        printer.setPrinterName(name);
        printer.setDocName(request.title);
        printer.setCopyCount(std::max(1, request.copies));
        preparePrinter(rendered, &printer);
        if (paint(rendered, &printer) == 0 || printer.printerState() == QPrinter::Error)
            return fail(QStringLiteral("Error al imprimir el reporte en ") + name);
        return true;
    }
    case Destination::Preview: {
        auto* printer = new QPrinter(QPrinter::HighResolution);
        if (!request.printer.isEmpty() &&
            QPrinterInfo::availablePrinterNames().contains(request.printer))
            printer->setPrinterName(request.printer);
        printer->setDocName(request.title);
        preparePrinter(rendered, printer);
        auto* dlg = new QPrintPreviewDialog(printer, parent);
        dlg->setAttribute(Qt::WA_DeleteOnClose);
        dlg->setWindowTitle(request.title.isEmpty() ? QStringLiteral("Reporte") : request.title);
        QObject::connect(dlg, &QPrintPreviewDialog::paintRequested, dlg,
                         [rendered](QPrinter* p) { paint(rendered, p); });
        QObject::connect(dlg, &QObject::destroyed, [printer]() { delete printer; });
        dlg->setModal(false);
        dlg->setWindowModality(Qt::NonModal);
        dlg->show();
        previews().append(dlg);
        return true;
    }
    }
    return false;
}

QList<QPrintPreviewDialog*> openPreviews() {
    QList<QPrintPreviewDialog*> out;
    auto& list = previews();
    list.removeAll(nullptr);
    for (const auto& p : list)
        if (p && p->isVisible())
            out.append(p);
    return out;
}

}  // namespace report
