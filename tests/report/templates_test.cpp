// Every template the program ships, laid out in pages line by line (as a report of a shop's size
// is) over a small data set of each shape a shop meets: one group holding every line, ordinary
// groups of mixed sizes, one very long document.
#include "platform/report/pages.h"
#include "platform/report/report.h"

#include "pdftext.h"

#include <QDir>
#include <QPrinter>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <climits>
#include <functional>

using namespace report;

namespace {

QString mark(int i) { return QStringLiteral("L%1").arg(i, 5, 10, QLatin1Char('0')); }

// Filler for every field a line or a group may print; the case puts the line's mark in one field.
QVariantMap filler() {
    QVariantMap m;
    for (const char* f : {"Cantidad", "Codigo", "CodigodeBarras", "Descripcion", "PDescripcion", "Unidad", "PrecioUnit",
                          "Importe", "Fecha", "Numero", "Movimiento", "Docto", "Cextra1", "Descuento", "Tipo",
                          "Terminal", "ClaveProducto", "Nombre", "SumaCantidad", "SumaImporte", "NombreUsuario",
                          "ReordenTxt", "StockMaxTxt", "PrecioCosto", "ImporteCosto", "Cliente", "Producto", "Vence",
                          "Pagado", "PUnitario", "Piezas", "TipoDocto", "Total", "NumeroVenta", "Parte"})
        m.insert(QString::fromLatin1(f), QStringLiteral("x"));
    return m;
}

struct Shape {
    QVariantMap data;
    std::vector<int> groupEnds;  // the last line of each group
};

// `lines` lines in groups of the given sizes (repeated), each group with its own list.
Shape grouped(int lines, const std::vector<int>& sizes, const QString& groups, const QString& inner,
              const QString& field) {
    Shape s;
    QVariantList list;
    int line = 0;
    for (size_t g = 0; line < lines; ++g) {
        QVariantMap group = filler();
        QVariantList items;
        const int size = std::min(sizes[g % sizes.size()], lines - line);
        for (int k = 0; k < size; ++k, ++line) {
            QVariantMap m = filler();
            m.insert(field, mark(line));
            items << m;
        }
        group.insert(inner, items);
        group.insert(QStringLiteral("NumProductos"), size);
        group.insert(QStringLiteral("NumDocumentos"), size);
        list << group;
        s.groupEnds.push_back(line - 1);
    }
    s.data.insert(groups, list);
    return s;
}

Shape flat(int lines, const QString& name, const QString& field) {
    Shape s;
    QVariantList list;
    for (int i = 0; i < lines; ++i) {
        QVariantMap m = filler();
        m.insert(field, mark(i));
        list << m;
    }
    s.data.insert(name, list);
    return s;
}

struct Case {
    const char* file;
    const char* shape;
    std::function<Shape(int lines)> make;
    const char* groupTotal;  // the text that closes a group ("" when the groups have none)
};

const std::vector<int> kOne{INT_MAX};
// Short documents, one of a few lines more than fit on the rest of a page, one longer than a page.
const std::vector<int> kMixed{3, 7, 1, 15, 30, 2, 9, 70, 4};

std::vector<Case> cases() {
    auto g = [](const char* list, const char* inner, const char* field, const std::vector<int>& sizes) {
        return [=](int lines) { return grouped(lines, sizes, list, inner, field); };
    };
    auto f = [](const char* list, const char* field) { return [=](int lines) { return flat(lines, list, field); }; };
    return {
        {"existencias.html", "lista", f("lineas", "Descripcion"), ""},
        {"existencias al costo.html", "lista", f("lineas", "Descripcion"), ""},
        {"existPedidos.html", "lista", f("lineas", "Descripcion"), ""},
        {"existenciasubicacioncategoria.html", "un grupo", g("grupos", "lineas", "Descripcion", kOne),
         "productos en el grupo."},
        {"existenciasubicacioncategoria.html", "grupos", g("grupos", "lineas", "Descripcion", kMixed),
         "productos en el grupo."},
        {"Ventaxempleado.html", "un vendedor", g("vendedores", "documentos", "Numero", kOne), "documentos. Total"},
        {"Ventaxempleado.html", "vendedores", g("vendedores", "documentos", "Numero", kMixed), "documentos. Total"},
        {"Venta Mensual.html", "un documento", g("documentos", "lineas", "Cextra1", kOne), ""},
        {"Venta Mensual.html", "documentos", g("documentos", "lineas", "Cextra1", kMixed), ""},
        {"venta diaria.html", "un documento", g("documentos", "lineas", "Cextra1", kOne), ""},
        {"venta diaria.html", "documentos", g("documentos", "lineas", "Cextra1", kMixed), ""},
        {"venta diaria01.html", "documentos", g("documentos", "lineas", "Cextra1", kMixed), ""},
        {"esinventarioind.html", "un documento", g("documentos", "lineas", "PDescripcion", kOne), "Total"},
        {"esinventarioind.html", "documentos", g("documentos", "lineas", "PDescripcion", kMixed), "Total"},
        {"esinventario02.html", "lista", f("documentos", "Descripcion"), ""},
        {"VentaxperiodoImporte.html", "lista", f("productos", "Descripcion"), ""},
        {"Ventaxperiodoxproducto.html", "lista", f("productos", "Descripcion"), ""},
        {"ESxProducto.html", "lista", f("lineas", "Descripcion"), ""},
        {"ventaxProducto.html", "lista", f("lineas", "Cliente"), ""},
        {"VentaSeries.html", "documento largo", f("lineas", "Descripcion"), ""},
        {"Factura.html", "documento largo", f("lineas", "Descripcion"), ""},
        {"Cotizacion.html", "documento largo", f("lineas", "Descripcion"), ""},
        {"FacturaMP.html", "documento largo", f("lineas", "Descripcion"), ""},
        {"imprimedoctos.html", "lista", f("doctos", "Producto"), ""},
        {"imprimerecibo.html", "recibos", f("recibos", "Numero"), ""},
    };
}

struct Laid {
    QStringList pages;  // the text of each page
    qint64 work = 0;    // the layout's work
};

// The report to a PDF through its pages; `wholeUpTo` as the layout's limit for one piece.
Laid layOut(const Case& c, int lines, int wholeUpTo, const QString& pdf, Shape* shape) {
    *shape = c.make(lines);
    Request r;
    r.templatePath = QStringLiteral(QUORVEL_TEMPLATES_DIR "/") + QString::fromLatin1(c.file);
    r.formulas.set(0, QStringLiteral("NombreEmpresa"), QStringLiteral("PAPELERIA"));
    r.data = shape->data;
    Rendered rendered;
    Laid out;
    QString error;
    if (!render(r, &rendered, &error)) {
        ADD_FAILURE() << error.toStdString();
        return out;
    }
    Pages::setWholeUpTo(wholeUpTo);
    const qint64 before = Pages::layoutWork();
    {
        Pages pages(rendered);
        QPrinter printer(QPrinter::HighResolution);
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(pdf);
        EXPECT_TRUE(print(pages, &printer, &error)) << error.toStdString();
    }
    out.work = Pages::layoutWork() - before;
    Pages::setWholeUpTo(1500);
    out.pages = reporttest::pdfText(pdf).split(QLatin1Char('\f'), Qt::SkipEmptyParts);
    return out;
}

std::vector<int> marksOn(const QString& page) {
    static const QRegularExpression re(QStringLiteral("\\bL(\\d{5})\\b"));
    std::vector<int> out;
    for (auto it = re.globalMatch(page); it.hasNext();)
        out.push_back(it.next().captured(1).toInt());
    return out;
}

}  // namespace

TEST(ReportTemplates, EveryTemplateAndShapeLaysOutLineByLine) {
    QTemporaryDir dir;
    // Every report of two pages or more painted in parts and joined.
    setPaintInPartsFrom(2);
    const QString pdf = dir.filePath(QStringLiteral("r.pdf"));
    for (const Case& c : cases()) {
        SCOPED_TRACE(std::string(c.file) + " / " + c.shape);
        const int lines = 270;  // one group of them is filled a few hundred lines at a time
        Shape shape;
        const Laid split = layOut(c, lines, 0, pdf, &shape);
        ASSERT_FALSE(split.pages.isEmpty());
        const bool numbered = !QString::fromLatin1(c.file).contains(QLatin1String("MP")) &&
                              !QString::fromLatin1(c.file).contains(QLatin1String("recibo"));
        int next = 0;
        size_t group = 0;
        for (int p = 0; p < split.pages.size(); ++p) {
            const QString& text = split.pages[p];
            const std::vector<int> marks = marksOn(text);
            // Every line once, in order; no page without lines.
            EXPECT_FALSE(marks.empty()) << "page " << p + 1;
            for (int m : marks)
                EXPECT_EQ(m, next++) << "page " << p + 1;
            if (numbered)
                EXPECT_TRUE(text.contains(QString::fromUtf8("Página %1 de %2").arg(p + 1).arg(split.pages.size())))
                    << "page " << p + 1;
            // A location's lines go on under its name and the headings on every page they reach.
            if (QString::fromLatin1(c.file).startsWith(QLatin1String("existenciasubicacion")))
                EXPECT_TRUE(text.contains(QString::fromUtf8("Ubicación:")) && text.contains(QString::fromUtf8("Descripción")))
                    << "page " << p + 1;
            // A group's closing total on the page of its last lines.
            int ended = 0;
            while (group < shape.groupEnds.size() && shape.groupEnds[group] < next) {
                ++ended;
                ++group;
            }
            if (*c.groupTotal)
                EXPECT_EQ(text.count(QString::fromUtf8(c.groupTotal)), ended) << "page " << p + 1;
        }
        EXPECT_EQ(next, lines);

        // No more pages than the text layout makes of the whole body, give or take what keeping
        // short documents whole costs.
        // Receipts are blocks no page break may cut: they move whole.
        if (QString::fromLatin1(c.shape) != QLatin1String("recibos")) {
            const Laid whole = layOut(c, lines, INT_MAX, pdf, &shape);
            EXPECT_LE(split.pages.size(), whole.pages.size() * 11 / 10 + 1);
        }

        // Twice the lines, at most about twice the work.
        const Laid twice = layOut(c, 2 * lines, 0, pdf, &shape);
        EXPECT_LT(twice.work, split.work * 5 / 2) << split.work << " -> " << twice.work;
    }
    setPaintInPartsFrom(24);
}

TEST(ReportTemplates, LinesThatStopMeasuringAfterPagesAreShownGiveWholePages) {
    QTemporaryDir dir;
    // A line late in the list makes no row: its chunk fails after the first pages are painted.
    const QString path = dir.filePath(QStringLiteral("t.html"));
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("<!--footer-->P\xc3\xa1gina {{pagina}} de {{paginas}}<!--/footer-->"
            "<table width=\"100%\" border=\"1\"><thead><tr><th>Clave</th></tr></thead>"
            "{{#lineas}}{{^Oculta}}<tr><td>{{Descripcion}}</td></tr>{{/Oculta}}{{/lineas}}</table><p>Fin</p>");
    f.close();
    Shape shape = flat(8000, QStringLiteral("lineas"), QStringLiteral("Descripcion"));
    QVariantList lineas = shape.data.value(QStringLiteral("lineas")).toList();
    QVariantMap hidden = lineas[7900].toMap();
    hidden.insert(QStringLiteral("Oculta"), true);
    lineas[7900] = hidden;
    Request r;
    r.templatePath = path;
    r.data.insert(QStringLiteral("lineas"), lineas);
    Rendered rendered;
    ASSERT_TRUE(render(r, &rendered));
    Pages pages(rendered);
    while (pages.count() < 3 && !pages.finished())
        pages.layOut(1);
    ASSERT_FALSE(pages.finished());
    // The first pages shown, as the preview shows them.
    for (int p = 0; p < 3; ++p)
        pages.image(p, 20);
    pages.layOut();
    const QString pdf = dir.filePath(QStringLiteral("r.pdf"));
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(pdf);
    printer.setPrintRange(QPrinter::PageRange);
    printer.setFromTo(1, 12);
    ASSERT_TRUE(print(pages, &printer, nullptr));
    const QStringList texts = reporttest::pdfText(pdf).split(QLatin1Char('\f'), Qt::SkipEmptyParts);
    ASSERT_EQ(texts.size(), 12);
    int next = 0;
    for (int p = 0; p < texts.size(); ++p) {
        const std::vector<int> marks = marksOn(texts[p]);
        EXPECT_FALSE(marks.empty()) << "page " << p + 1;
        for (int m : marks)
            EXPECT_EQ(m, next++) << "page " << p + 1;
    }
}
