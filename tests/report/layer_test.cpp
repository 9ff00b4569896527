#include "platform/report/formulas.h"
#include "platform/report/mustache.h"
#include "platform/report/records.h"
#include "platform/report/pages.h"
#include "platform/report/preview.h"
#include "platform/report/report.h"
#include "platform/report/totals.h"

#include "pdftext.h"

#include <QCoreApplication>
#include <QDate>
#include <QDir>
#include <QFile>
#include <QApplication>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QPointer>
#include <QPrintDialog>
#include <QPrinter>
#include <QProgressDialog>
#include <QTest>
#include <QThread>
#include <QTimer>
#include <QTemporaryDir>
#include <QTextDocument>
#include <QWindow>
#include <qpa/qwindowsysteminterface.h>

#include <gtest/gtest.h>

#include <fstream>
#include <functional>
#include <memory>
#include <random>
#include <vector>

#include <unistd.h>

using namespace report;

namespace {

db::Row row(const QStringList& names, const QVariantList& values) {
    return db::Row(names, values);
}

// Lines of three documents, the header Total repeated on every line; document 5 of type T and
// 5 of type F are different documents, and the lines of F 5 are not together.
db::Rows documentLines() {
    const QStringList n{"Numero", "Tipo", "Total", "Importe", "Iva"};
    return {row(n, {5, "F", 116.0, 50.0, 1}),  row(n, {5, "T", 10.10, 10.10, 0}),
            row(n, {5, "F", 116.0, 66.0, 0}),  row(n, {7, "F", 0.20, 0.10, 1}),
            row(n, {7, "F", 0.20, 0.10, 1}),   row(n, {8, "F", QVariant(), 1.0, 1})};
}

void writeFile(const QString& path, const QString& text) {
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(text.toUtf8());
}

}  // namespace

TEST(ReportTotals, GroupsKeepFirstAppearanceAndGatherScatteredRows) {
    const auto groups = groupBy(documentLines(), {"Numero", "Tipo"});
    ASSERT_EQ(groups.size(), 4u);
    EXPECT_EQ(groups[0].key, (QVariantList{5, "F"}));
    EXPECT_EQ(groups[0].rows.size(), 2u);
    EXPECT_EQ(groups[1].key, (QVariantList{5, "T"}));
    EXPECT_EQ(groups[2].rows.size(), 2u);
    EXPECT_DOUBLE_EQ(sum(groups[0].rows, "Importe"), 116.0);
}

TEST(ReportTotals, HeaderValueCountsOncePerDocument) {
    const auto rows = documentLines();
    // 116 + 10.10 + 0.20 + Null(0): not 116 twice, not 0.20 twice.
    EXPECT_DOUBLE_EQ(sumOncePer(rows, {"Numero", "Tipo"}, "Total"), 126.30);
    EXPECT_EQ(countDistinct(rows, {"Numero", "Tipo"}), 4);
    // Keyed on the number alone, T 5 and F 5 merge and the first line's Total wins.
    EXPECT_DOUBLE_EQ(sumOncePer(rows, {"Numero"}, "Total"), 116.20);
}

TEST(ReportTotals, ConditionalSumsAreExactToTheCent) {
    const auto rows = documentLines();
    EXPECT_DOUBLE_EQ(sumIf(rows, "Importe", [](const db::Row& r) { return r.flag("Iva"); }), 51.20);
    EXPECT_DOUBLE_EQ(sumIf(rows, "Importe", [](const db::Row& r) { return r.text("Tipo") == "T"; }),
                     10.10);
    db::Rows cents;
    for (int i = 0; i < 1000; ++i)
        cents.push_back(row({"Importe"}, {0.01}));
    EXPECT_EQ(sum(cents, "Importe"), 10.0);  // exactly, not 9.99999999
    EXPECT_EQ(sum({row({"Importe"}, {0.1}), row({"Importe"}, {0.2})}, "Importe"), 0.3);
    // each value is taken to the cent with halves away from zero on its decimal value
    EXPECT_EQ(sum({row({"Importe"}, {1.005}), row({"Importe"}, {2.675})}, "Importe"), 3.69);
    EXPECT_EQ(sum({row({"Importe"}, {-1.005}), row({"Importe"}, {-2.675})}, "Importe"), -3.69);
}

TEST(ReportTotals, AmountsAsTextAndInWords) {
    EXPECT_EQ(formatAmount(1234567.891), "1,234,567.89");
    EXPECT_EQ(formatAmount(-1234.5), "-1,234.50");
    EXPECT_EQ(formatAmount(-0.004), "0.00");
    EXPECT_EQ(formatAmount(999.999), "1,000.00");
    // 1.00499999... and 2.67499999... in binary: the decimal value decides
    EXPECT_EQ(formatAmount(1.005), "1.01");
    EXPECT_EQ(formatAmount(-2.675), "-2.68");
    EXPECT_EQ(formatAmount(1.0005, 3), "1.001");
    EXPECT_EQ(formatAmount(1234.5, 0), "1,235");

    EXPECT_EQ(amountInWords(1), "UN PESO 00/100 M.N.");
    EXPECT_EQ(amountInWords(21.5), "VEINTIUN PESOS 50/100 M.N.");
    EXPECT_EQ(amountInWords(100), "CIEN PESOS 00/100 M.N.");
    EXPECT_EQ(amountInWords(1234.56), "MIL DOSCIENTOS TREINTA Y CUATRO PESOS 56/100 M.N.");
    EXPECT_EQ(amountInWords(2000000), "DOS MILLONES DE PESOS 00/100 M.N.");
    EXPECT_EQ(amountInWords(1100100.999), "UN MILLON CIEN MIL CIENTO UN PESOS 00/100 M.N.");
    EXPECT_EQ(amountInWords(1.005), "UN PESO 01/100 M.N.");
    EXPECT_EQ(amountInWords(84.9915), "OCHENTA Y CUATRO PESOS 99/100 M.N.");
}

TEST(ReportFormulas, SlotsClearAndReadBack) {
    Formulas f;
    EXPECT_FALSE(f.set(21, "Fuera", 1));  // 21 slots: 0..20
    EXPECT_TRUE(f.set(20, "Ultima", 3));
    f.set(2, "NombreCliente", "primero");
    f.set(3, "nombrecliente", "segundo");
    f.set(1, "FechaFactura", QDate(2026, 12, 9));
    EXPECT_EQ(f.value("NOMBRECLIENTE").toString(), "primero");  // the first slot wins
    EXPECT_EQ(f.text(1), "FechaFactura=Date(2026,12,09)");
    EXPECT_EQ(f.text(20), "Ultima=3");
    f.clear();
    EXPECT_EQ(f.count(), 0);
}

// Memory a report's reading left free in the middle of the heap, below what is still in use, goes
// back to the system when the layer hands it back.
TEST(ReportMemory, WhatIsFreedGoesBackToTheSystem) {
#if defined(__SANITIZE_ADDRESS__)
    GTEST_SKIP() << "the sanitizer keeps its own heap";
#endif
    auto residentMB = [] {
        long pages = 0, resident = 0;
        std::ifstream("/proc/self/statm") >> pages >> resident;
        return double(resident) * double(sysconf(_SC_PAGESIZE)) / (1024 * 1024);
    };
    std::vector<std::unique_ptr<char[]>> lines;
    for (int i = 0; i < 400000; ++i) {
        lines.emplace_back(new char[256]);
        std::fill_n(lines.back().get(), 256, char(i));
    }
    const auto stillInUse = std::make_unique<char[]>(256);  // above them: nothing trims them away by itself
    lines.clear();
    const double before = residentMB();
    giveBackMemory();
    EXPECT_LT(residentMB(), before - 50) << before;
}

TEST(ReportFiles, TemplateFoundWhateverTheLetterCase) {
    QTemporaryDir dir;
    writeFile(dir.filePath("Reports/Factura.HTML"), "x");
    EXPECT_EQ(findFile(dir.filePath("reports/factura.html")), dir.filePath("Reports/Factura.HTML"));
    EXPECT_EQ(findFile(dir.filePath("Reports/Factura.HTML")), dir.filePath("Reports/Factura.HTML"));
    EXPECT_EQ(findFile(dir.filePath("Reports/Otro.html")), "");
    EXPECT_EQ(findFile(dir.filePath("NoHay/Factura.html")), "");
    EXPECT_EQ(findFile(dir.filePath("Reports")), "");  // a folder is not a template

    Request r;
    r.templatePath = dir.filePath("Reports/Otro.html");
    Rendered out;
    QString error;
    EXPECT_FALSE(render(r, &out, &error));
    EXPECT_EQ(error, "No se encontro el archivo: " + dir.filePath("Reports/Otro.html"));
    r.destination = Destination::Pdf;
    r.pdfPath = dir.filePath("x.pdf");
    EXPECT_FALSE(run(r, &error));
    EXPECT_FALSE(QFile::exists(r.pdfPath));
}

namespace {

// A list of maps of every kind of value a report hands over: texts (accents, empty, null), whole
// numbers of each width, reals, flags, dates, nulls of several types, a map, a list of texts,
// lists of maps inside (empty ones too), and fields some items lack while the item around them
// has them.
QVariantList randomList(std::mt19937& g, int depth) {
    static const QStringList names{"Numero", "Fecha", "Cliente", "Total", "Cancelado", "Cantidad", "Precio", "Nota", "lineas"};
    QVariantList out;
    const int count = std::uniform_int_distribution<int>(0, depth == 0 ? 25 : 6)(g);
    for (int i = 0; i < count; ++i) {
        QVariantMap m;
        for (const QString& name : names) {
            const int kind = std::uniform_int_distribution<int>(0, 15)(g);
            QVariant v;
            switch (kind) {
            case 0: continue;  // this item lacks the field
            case 1: v = QString::fromUtf8("Ñandú %1 “ó”").arg(g() % 1000); break;
            case 2: v = QString(); break;
            case 3: v = QStringLiteral(""); break;
            case 4: v = int(g() % 2000) - 1000; break;
            case 5: v = qlonglong(g()) * 100003LL; break;
            case 6: v = uint(g() % 70000); break;
            case 7: v = (int(g() % 200000) - 100000) / 100.0; break;
            case 8: v = float(g() % 1000) / 8.0f; break;
            case 9: v = g() % 2 == 0; break;
            case 10: v = QDate(2026, 1 + int(g() % 12), 1 + int(g() % 28)); break;
            case 11: v = QVariant(QMetaType(g() % 2 ? QMetaType::QString : QMetaType::Double)); break;
            case 12: v = QVariantMap{{"a", 1}, {"b", "dos"}}; break;
            case 13: v = QStringList{"x", "y"}; break;
            default: v = depth < 2 ? QVariant(randomList(g, depth + 1)) : QVariant(QVariantList{}); break;
            }
            m.insert(name, v);
        }
        out << m;
    }
    return out;
}

// Records read back as the plain maps and lists they were made of.
QVariant plain(const QVariant& v) {
    if (v.metaType() == QMetaType::fromType<Records>() || v.typeId() == QMetaType::QVariantList) {
        if (v.typeId() == QMetaType::QVariantList && listSize(v) > 0 &&
            v.toList().front().typeId() != QMetaType::QVariantMap)
            return v;
        QVariantList out;
        for (const QVariant& e : v.toList())
            out << plain(e);
        return out;
    }
    if (v.typeId() == QMetaType::QVariantMap) {
        QVariantMap out;
        const QVariantMap m = v.toMap();
        for (auto it = m.begin(); it != m.end(); ++it)
            out.insert(it.key(), plain(it.value()));
        return out;
    }
    return v;
}

}  // namespace

// Whatever a caller hands over, its records read back as the maps it was made of, of the same
// types, and fill every template into the same text: a field an item lacks is still looked for
// in the item around it, never shown as empty.
TEST(ReportRender, RecordsReadAndFillAsTheMapsTheyWereMadeOf) {
    std::mt19937 g(20261210);
    const QString tmpl = QStringLiteral(
        "{{#docs}}[{{Numero}}|{{Fecha}}|{{Cliente}}|{{Total}}|{{#Cancelado}}C{{/Cancelado}}{{^Cancelado}}A{{/Cancelado}}|"
        "{{Precio}}|{{Nota}}|{{#lineas}}({{Numero}};{{Cantidad}};{{Precio}};{{Cliente}};{{#lineas}}<{{Total}}:{{Nota}}>"
        "{{/lineas}}){{/lineas}}{{^lineas}}sin{{/lineas}}]{{/docs}}{{^docs}}vacio{{/docs}}{{Cliente}}");
    for (int round = 0; round < 150; ++round) {
        SCOPED_TRACE(round);
        const QVariantList docs = randomList(g, 0);
        const QVariantMap original{{"docs", docs}, {"Cliente", "AFUERA"}};
        QVariantMap compacted = original;
        Records::compact(compacted);
        ASSERT_EQ(listSize(compacted.value("docs")), docs.size());
        if (!docs.isEmpty())
            ASSERT_EQ(compacted.value("docs").metaType(), QMetaType::fromType<Records>());
        EXPECT_EQ(plain(compacted.value("docs")), QVariant(docs));
        // Made in parts and joined, the records are the same as made at once.
        const qsizetype cut = docs.isEmpty() ? 0 : qsizetype(g() % (docs.size() + 1));
        Records joined = Records::compact(QVariant(docs.mid(0, cut))).value<Records>();
        joined.append(Records::compact(QVariant(docs.mid(cut))).value<Records>());
        EXPECT_EQ(plain(QVariant::fromValue(joined)), QVariant(docs));
        EXPECT_EQ(detail::fill(tmpl, detail::toMap(compacted)), detail::fill(tmpl, detail::toMap(original)));
        for (int i = 0; i < docs.size(); ++i) {
            const QVariantMap m = docs[i].toMap();
            for (const QString& name : listNames(compacted.value("docs"))) {
                EXPECT_EQ(listValue(compacted.value("docs"), i, name).isValid(), m.contains(name)) << name.toStdString();
                EXPECT_EQ(listHas(compacted.value("docs"), i, name), m.contains(name)) << name.toStdString();
                EXPECT_EQ(listSizeAt(compacted.value("docs"), i, name), listSize(m.value(name))) << name.toStdString();
            }
        }
    }

    // Runs made in parts cover every item once, in order, with the template's reading in force.
    for (const auto& [count, parts] : std::vector<std::pair<int, int>>{{0, 3}, {1, 4}, {7, 3}, {4000, 4}, {10, 1}, {3, 9}}) {
        FieldsRead read;
        read.all = {"x"};
        const OnlyFields only(read);
        std::vector<std::pair<qsizetype, qsizetype>> runs(size_t(std::max(1, parts)), {-1, -1});
        std::vector<char> filtered(runs.size(), 0);
        inParts(count, parts, [&](int k, qsizetype from, qsizetype to) {
            runs[size_t(k)] = {from, to};
            filtered[size_t(k)] = detail::fieldsKept({}) != nullptr;
        });
        qsizetype next = 0;
        for (size_t k = 0; k < runs.size(); ++k) {
            if (runs[k].first < 0)
                continue;  // fewer parts than asked: too few items to share
            EXPECT_EQ(runs[k].first, next) << count << "/" << parts;
            EXPECT_TRUE(filtered[k]);
            next = runs[k].second;
        }
        EXPECT_EQ(next, count);
    }

    // A copy that grows leaves the one it was copied from as it was; so does a list taken out of
    // a record (its records are a run of a store every record shares).
    Records a;
    a.append({{"n", 1}, {"lineas", QVariantList{QVariantMap{{"x", "uno"}}, QVariantMap{{"x", "dos"}}}}});
    a.append({{"n", 2}, {"lineas", QVariantList{QVariantMap{{"x", "tres"}}}}});
    Records b = a;
    b.append({{"n", 3}, {"nuevo", "si"}});
    EXPECT_EQ(a.size(), 2);
    EXPECT_EQ(b.size(), 3);
    EXPECT_FALSE(a.value(1, "nuevo").isValid());
    EXPECT_EQ(b.value(2, "nuevo").toString(), "si");
    EXPECT_FALSE(b.value(0, "nuevo").isValid());
    Records inner = a.value(1, "lineas").value<Records>();
    ASSERT_EQ(inner.size(), 1);
    inner.append({{"x", "cuatro"}});
    EXPECT_EQ(a.value(1, "lineas").value<Records>().size(), 1);
    EXPECT_EQ(a.value(0, "lineas").toList().value(1).toMap().value("x").toString(), "dos");
    EXPECT_EQ(inner.at(0).value("x").toString(), "tres");
    EXPECT_EQ(inner.at(1).value("x").toString(), "cuatro");
    // A record holding a list of these very records' store, appended to them.
    b.append(b.at(0));
    b.append(b);
    EXPECT_EQ(b.size(), 8);
    EXPECT_EQ(b.value(3, "lineas").toList(), a.value(0, "lineas").toList());
    EXPECT_EQ(b.at(7), b.at(3));
    EXPECT_FALSE(a.value(5, "n").isValid());
    EXPECT_FALSE(a.value(-1, 0).isValid());

    // Under a template's reading, each list keeps the fields read inside its own section, and a
    // list it never shows keeps none.
    FieldsRead read;
    read.all = {"docs", "Numero", "lineas", "Cant"};
    read.in.insert("docs", {"Numero", "lineas", "Cant"});
    read.in.insert("lineas", {"Cant"});
    const OnlyFields only(read);
    QVariantMap data{{"docs", QVariantList{QVariantMap{{"Numero", 7}, {"Otro", "x"},
                                                       {"lineas", QVariantList{QVariantMap{{"Cant", 2}, {"Desc", "y"}}}}}}},
                     {"ocultas", QVariantList{QVariantMap{{"Cant", 1}}}}};
    Records::compact(data);
    const Records kept = data.value("docs").value<Records>();
    const QStringList keptNames = kept.names();
    EXPECT_EQ(QSet<QString>(keptNames.begin(), keptNames.end()), QSet<QString>({"Numero", "lineas"}));
    EXPECT_EQ(kept.value(0, "lineas").value<Records>().names(), QStringList{"Cant"});
    EXPECT_EQ(kept.value(0, "lineas").toList().value(0).toMap().value("Cant").toInt(), 2);
    EXPECT_TRUE(data.value("ocultas").value<Records>().names().isEmpty());
    EXPECT_EQ(listSize(data.value("ocultas")), 1);
}

TEST(ReportRender, ValuesRowsAndSectionsReachTheTemplate) {
    QTemporaryDir dir;
    writeFile(dir.filePath("t.html"),
              "<!--page size=\"A4\" margins=\"10,11,12,13\"-->\n"
              "<!--header-->H {{NombreEmpresa}} {{pagina}}/{{paginas}}<!--/header-->\n"
              "<p>{{NombreEmpresa}}|{{{NombreEmpresa}}}</p>"
              "{{#filas}}<p>{{Nombre}};{{Fecha}};{{Precio}};{{Cantidad}}</p>{{/filas}}"
              "{{^hay_filas}}VACIO{{/hay_filas}}{{#DesglosaIVA}}CONIVA{{/DesglosaIVA}}[{{Extra}}]");
    Request r;
    r.templatePath = dir.filePath("t.html");
    r.formulas.set(0, "NombreEmpresa", QString::fromUtf8("Ferretería <Díaz> & O'Neil"));
    r.formulas.set(6, "DesglosaIVA", 0);
    r.data.insert("Extra", "dato");
    r.rows = {row({"Nombre", "Fecha", "Precio", "Cantidad"}, {"Clavo", "2026-12-09 14:05:00", 1234.5, 3})};
    Rendered out;
    ASSERT_TRUE(render(r, &out));
    EXPECT_EQ(out.page.kind, PageKind::A4);
    EXPECT_DOUBLE_EQ(out.page.marginsMm.top(), 10);
    EXPECT_DOUBLE_EQ(out.page.marginsMm.left(), 13);
    EXPECT_FALSE(out.body().contains("<!--header-->"));
    EXPECT_FALSE(out.body().contains("H "));
    QTextDocument doc;
    doc.setHtml(out.body());
    const QString text = doc.toPlainText();
    // {{ }} escapes the markup: the name prints as typed.
    EXPECT_TRUE(text.contains(QString::fromUtf8("Ferretería <Díaz> & O'Neil|"))) << text.toStdString();
    EXPECT_TRUE(text.contains("Clavo;09/12/2026;1,234.50;3")) << text.toStdString();
    EXPECT_FALSE(text.contains("VACIO"));
    EXPECT_FALSE(text.contains("CONIVA"));
    EXPECT_TRUE(text.contains("[dato]"));
}

// A report's line maps carry the fields its template reads where the list goes: inside that
// list's section, else anywhere; nothing is kept out when no filter is in force.
TEST(ReportRender, LinesKeepOnlyTheFieldsTheirTemplateReads) {
    QTemporaryDir dir;
    writeFile(dir.filePath("t.html"), "<!--header-->{{Titulo}}<!--/header-->{{#docs}}{{Numero}}{{#Cancelado}}C{{/Cancelado}}"
                                      "{{#lineas}}{{Cant}} {{{Desc}}}{{/lineas}}{{/docs}}");
    const FieldsRead read = fieldsRead(dir.filePath("T.HTML"));
    EXPECT_EQ(read.all, QSet<QString>({"Titulo", "docs", "Numero", "Cancelado", "lineas", "Cant", "Desc"}));
    EXPECT_EQ(read.in.value("lineas"), QSet<QString>({"Cant", "Desc"}));
    EXPECT_EQ(read.in.value("docs"), QSet<QString>({"Numero", "Cancelado", "lineas", "Cant", "Desc"}));
    EXPECT_TRUE(fieldsRead(dir.filePath("no.html")).all.isEmpty());

    const db::Row r = row({"Cant", "Desc", "Numero", "Otro"}, {2, "CLAVO", 7, "x"});
    auto keys = [](const QVariantMap& m) { return QSet<QString>(m.keyBegin(), m.keyEnd()); };
    const QSet<QString> every{"Cant", "Desc", "Numero", "Otro"};
    EXPECT_EQ(keys(toVariant(r, "lineas")), every);
    {
        const OnlyFields only(read);
        EXPECT_EQ(keys(toVariant(r, "lineas")), QSet<QString>({"Cant", "Desc"}));
        EXPECT_EQ(keys(toVariant(r, "docs")), QSet<QString>({"Cant", "Desc", "Numero"}));
        EXPECT_EQ(keys(toVariant(r)), QSet<QString>({"Cant", "Desc", "Numero"}));
        EXPECT_TRUE(toVariant(r, "otra").isEmpty());  // a list the template never shows
        EXPECT_EQ(toVariant(r, "lineas").value("Desc").toString(), "CLAVO");
        // Another thread makes its maps whole.
        QSet<QString> there;
        std::unique_ptr<QThread> t(QThread::create([&] { there = keys(toVariant(r, "lineas")); }));
        t->start();
        t->wait();
        EXPECT_EQ(there, every);
    }
    EXPECT_EQ(keys(toVariant(r)), every);
}

TEST(ReportOutput, PdfRepeatsHeaderAndNumbersEveryPage) {
    QTemporaryDir dir;
    writeFile(dir.filePath("lista.html"),
              "<!--page size=\"Letter\"-->"
              "<!--header--><b>{{NombreEmpresa}}</b><!--/header-->"
              "<!--footer-->Página {{pagina}} de {{paginas}}<!--/footer-->"
              "<table>{{#filas}}<tr><td>Renglón {{N}}</td></tr>{{/filas}}</table>");
    Request r;
    r.templatePath = dir.filePath("lista.html");
    r.title = "Lista";
    r.formulas.set(0, "NombreEmpresa", QString::fromUtf8("Refaccionaria O'Brien Muñoz"));
    for (int i = 1; i <= 150; ++i)
        r.rows.push_back(row({"N"}, {i}));
    r.destination = Destination::Pdf;
    r.pdfPath = dir.filePath("lista.pdf");
    QString error;
    ASSERT_TRUE(run(r, &error)) << error.toStdString();

    const int pages = reporttest::pdfPages(r.pdfPath);
    ASSERT_GE(pages, 2);
    const QString text = reporttest::pdfText(r.pdfPath);
    EXPECT_EQ(text.count(QString::fromUtf8("Refaccionaria O'Brien Muñoz")), pages);
    for (int p = 1; p <= pages; ++p)
        EXPECT_TRUE(text.contains(QString::fromUtf8("Página %1 de %2").arg(p).arg(pages))) << p;
    EXPECT_TRUE(text.contains(QString::fromUtf8("Renglón 1\n")));
    EXPECT_TRUE(text.contains(QString::fromUtf8("Renglón 150")));
    // No line is lost or printed twice at a page break.
    EXPECT_EQ(text.count(QString::fromUtf8("Renglón 75\n")), 1);
    EXPECT_NEAR(reporttest::pdfPageWidthPt(r.pdfPath), 612, 1);
}

TEST(ReportOutput, RollTemplateIsOneNarrowPage) {
    QTemporaryDir dir;
    writeFile(dir.filePath("rollo.html"),
              "<!--page size=\"Roll76\"-->{{#filas}}<p>Art {{N}}</p>{{/filas}}<p>FIN</p>");
    Request r;
    r.templatePath = dir.filePath("rollo.html");
    for (int i = 1; i <= 60; ++i)
        r.rows.push_back(row({"N"}, {i}));
    r.destination = Destination::Pdf;
    r.pdfPath = dir.filePath("rollo.pdf");
    ASSERT_TRUE(run(r));
    EXPECT_EQ(reporttest::pdfPages(r.pdfPath), 1);
    EXPECT_NEAR(reporttest::pdfPageWidthPt(r.pdfPath), 76 / 25.4 * 72, 1.5);
    EXPECT_TRUE(reporttest::pdfText(r.pdfPath).contains("FIN"));
}

TEST(ReportOutput, UnknownPrinterIsReportedAndPreviewsStayOpenTogether) {
    QTemporaryDir dir;
    writeFile(dir.filePath("p.html"), "<p>{{titulo}}</p>");
    Request r;
    r.templatePath = dir.filePath("p.html");
    r.destination = Destination::Printer;
    r.printer = "ColaQueNoExiste";
    QString error;
    EXPECT_FALSE(run(r, &error));
    EXPECT_EQ(error, "No se encontró la impresora: ColaQueNoExiste");

    for (auto* p : openPreviews())
        p->close();
    r.destination = Destination::Preview;
    r.title = "Uno";
    ASSERT_TRUE(run(r, &error));
    r.title = "Dos";
    ASSERT_TRUE(run(r, &error));
    const auto open = openPreviews();
    ASSERT_EQ(open.size(), 2);
    EXPECT_EQ(open[0]->windowTitle(), "Uno");
    EXPECT_EQ(open[1]->windowTitle(), "Dos");
    for (auto* p : open)
        p->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(openPreviews().isEmpty());
}

namespace {

// A stock listing of `count` products: a table whose heading repeats on every page, some names
// long enough to take two lines.
Request listing(const QTemporaryDir& dir, int count) {
    writeFile(dir.filePath("stock.html"),
              "<!--header--><b>{{NombreEmpresa}}</b> {{Total}} [{{#lineas}}fila{{/lineas}}]<!--/header-->"
              "<!--footer-->Hoja {{pagina}} de {{paginas}}<!--/footer-->"
              "<p>Inicio</p><table width=\"100%\" border=\"1\" cellspacing=\"0\" cellpadding=\"3\">"
              "<thead><tr><th width=\"20%\">Clave</th><th>Nombre</th></tr></thead>"
              "{{#lineas}}<tr><td>K{{N}}</td><td>{{Nombre}}</td></tr>{{/lineas}}</table>"
              "<p>{{NumProductos}} productos.</p>");
    Request r;
    r.templatePath = dir.filePath("stock.html");
    r.formulas.set(0, "NombreEmpresa", "Papeleria");
    QVariantList lineas;
    for (int i = 1; i <= count; ++i) {
        const QString nombre = i % 7 == 0 ? QString("Producto %1 de nombre tan largo que la celda lo parte en dos "
                                                    "renglones dentro de la hoja carta")
                                                .arg(i)
                                          : QString("Producto %1").arg(i);
        lineas << QVariantMap{{"N", i}, {"Nombre", nombre}};
    }
    r.data.insert("lineas", lineas);
    r.data.insert("NumProductos", count);
    r.data.insert("Total", 10.0);
    return r;
}

Request listingToPdf(const QTemporaryDir& dir, int count) {
    Request r = listing(dir, count);
    r.destination = Destination::Pdf;
    r.pdfPath = dir.filePath("stock.pdf");
    return r;
}

}  // namespace

TEST(ReportPages, RowsSplitAcrossPagesUnderTheHeadingOnceEachInOrder) {
    QTemporaryDir dir;
    Request r = listingToPdf(dir, 1600);
    QString error;
    ASSERT_TRUE(run(r, &error)) << error.toStdString();
    const QStringList pages = reporttest::pdfText(r.pdfPath).split('\f', Qt::SkipEmptyParts);
    ASSERT_GE(pages.size(), 8);
    int next = 1;
    for (int p = 0; p < pages.size(); ++p) {
        const QString& text = pages[p];
        // The header sees the named values, not the lines.
        EXPECT_TRUE(text.contains("Papeleria 10.00 []")) << p;
        EXPECT_TRUE(text.contains(QString("Hoja %1 de %2").arg(p + 1).arg(pages.size()))) << p;
        EXPECT_TRUE(text.contains("Clave")) << p;
        static const QRegularExpression clave("\\bK(\\d+)\\b");
        for (auto it = clave.globalMatch(text); it.hasNext();)
            EXPECT_EQ(it.next().captured(1).toInt(), next++) << "page " << p + 1;
    }
    EXPECT_EQ(next, 1601);
    EXPECT_TRUE(pages.front().contains("Inicio"));
    EXPECT_TRUE(pages.back().contains("1600 productos."));
    EXPECT_FALSE(pages[1].contains("Inicio"));
}

TEST(ReportPages, FirstPagesAreReadyWhileTheRestIsLaidOut) {
    QTemporaryDir dir;
    Rendered rendered;
    ASSERT_TRUE(render(listing(dir, 20000), &rendered));
    Pages pages(rendered);
    while (pages.count() == 0)
        pages.layOut(1);
    EXPECT_FALSE(pages.finished());
    EXPECT_GT(pages.expected(), 300);
    const QImage first = pages.image(0, 50);
    EXPECT_FALSE(first.isNull());
    EXPECT_EQ(first.size(), pages.pixelSize(50));
}

TEST(ReportPages, PreviewShowsPagesAsTheyComeAndEscStopsIt) {
    QTemporaryDir dir;
    Request r = listing(dir, 20000);
    for (auto* p : openPreviews())
        p->close();
    QString error;
    ASSERT_TRUE(run(r, &error)) << error.toStdString();
    ASSERT_EQ(openPreviews().size(), 1);
    auto* preview = qobject_cast<Preview*>(openPreviews().front());
    ASSERT_NE(preview, nullptr);
    EXPECT_GE(preview->pages().count(), 1);
    EXPECT_TRUE(preview->status().startsWith(QString::fromUtf8("Generando página "))) << preview->status().toStdString();
    QTest::keyClick(preview, Qt::Key_Escape);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(openPreviews().isEmpty());
}

TEST(ReportPages, StoppingAPdfLeavesNoFile) {
    QTemporaryDir dir;
    Request r = listingToPdf(dir, 20000);
    QString label;
    QString error = "x";
    {
        // Esc on the progress dialog as soon as it shows.
        reporttest::EscOnProgress esc(&label);
        EXPECT_FALSE(run(r, &error));
    }
    EXPECT_EQ(error, "");
    EXPECT_TRUE(QRegularExpression(QString::fromUtf8("^Generando página \\d+( de \\d+)?\\.\\.\\.$")).match(label).hasMatch())
        << label.toStdString();
    EXPECT_FALSE(QFile::exists(r.pdfPath));

    // Stopped while several threads paint the pages in parts: no file, and every page still
    // paints on the window's thread.
    Rendered rendered;
    ASSERT_TRUE(render(listing(dir, 20000), &rendered));
    Pages pages(rendered);
    pages.layOut();
    ASSERT_GE(pages.count(), 100);
    bool stop = false;
    QTimer::singleShot(150, [&] { stop = true; });
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(r.pdfPath);
    error = "x";
    EXPECT_FALSE(print(pages, &printer, &error, nullptr, &stop));
    EXPECT_EQ(error, "");
    EXPECT_FALSE(QFile::exists(r.pdfPath));
    for (int p : {0, pages.count() / 2, pages.count() - 1})
        EXPECT_FALSE(pages.image(p, 20).isNull()) << p;

    // A folder that does not exist is told in Spanish, painted in one piece or in parts.
    const QString nowhere = dir.filePath("no/existe.pdf");
    printer.setOutputFileName(nowhere);
    printer.setPrintRange(QPrinter::PageRange);
    for (int last : {3, 30}) {
        printer.setFromTo(1, last);
        EXPECT_FALSE(print(pages, &printer, &error));
        EXPECT_EQ(error, "No se pudo crear el archivo PDF: " + nowhere) << last;
    }
}

namespace {

// The report window of a listing, printing to a PDF file through its print dialog.
Preview* openListing(const QTemporaryDir& dir, int count, QWidget* parent = nullptr) {
    Request r = listing(dir, count);
    if (!run(r, nullptr, parent) || openPreviews().isEmpty())
        return nullptr;
    auto* preview = qobject_cast<Preview*>(openPreviews().last());
    preview->printer()->setOutputFormat(QPrinter::PdfFormat);
    preview->printer()->setOutputFileName(dir.filePath("impreso.pdf"));
    return preview;
}

// Runs `onDialog` once the print dialog shows, then accepts it.
void whenPrintDialogShows(const std::function<void()>& onDialog) {
    auto* poll = new QTimer;
    poll->setInterval(10);
    QObject::connect(poll, &QTimer::timeout, [poll, onDialog] {
        for (QWidget* w : QApplication::topLevelWidgets())
            if (auto* d = qobject_cast<QPrintDialog*>(w); d && d->isVisible()) {
                poll->stop();
                poll->deleteLater();
                onDialog();
                d->accept();
                return;
            }
    });
    poll->start();
}

bool waitFor(const std::function<bool()>& done, int ms = 120000) {
    QElapsedTimer t;
    t.start();
    while (!done() && t.elapsed() < ms)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    return done();
}

}  // namespace

// Esc and the close box while "Imprimir..." runs stop the print; the window goes only after the
// print has returned, and a stopped print leaves it laying out every page still to come.
TEST(ReportLifecycle, WindowOutlivesItsPrintAndKeepsLayingOutAfterAStop) {
    QTemporaryDir dir;
    for (auto* p : openPreviews())
        p->close();
    for (const bool closeBox : {false, true}) {
        SCOPED_TRACE(closeBox ? "close box" : "Esc");
        QPointer<Preview> preview = openListing(dir, 20000);
        ASSERT_TRUE(preview);
        ASSERT_FALSE(preview->pages().finished());
        whenPrintDialogShows([&] {
            // What a person does in the first half second: the window is still under the dialog.
            if (closeBox)
                preview->close();
            else
                QTest::keyClick(preview, Qt::Key_Escape);
            QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        });
        preview->printPages();
        ASSERT_TRUE(preview);
        EXPECT_FALSE(preview->printing());
        EXPECT_FALSE(QFile::exists(dir.filePath("impreso.pdf")));
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        EXPECT_EQ(preview.isNull(), closeBox);
        if (preview)
            preview->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    // Stopped while it lays out the pages it needs: the window's own layout goes on to the end.
    QPointer<Preview> preview = openListing(dir, 20000);
    ASSERT_TRUE(preview);
    whenPrintDialogShows([] {});
    QTimer::singleShot(150, preview, [&] { QTest::keyClick(preview, Qt::Key_Escape); });
    preview->printPages();
    ASSERT_TRUE(preview);
    EXPECT_FALSE(QFile::exists(dir.filePath("impreso.pdf")));
    ASSERT_TRUE(waitFor([&] { return preview->pages().finished(); }));
    preview->showPage(preview->pages().count() - 1);
    EXPECT_EQ(preview->currentPage() + 1, preview->pages().expected());
    EXPECT_GT(preview->pages().count(), 300);

    // Printed to the end, it stays open on its page.
    whenPrintDialogShows([] {});
    preview->printer()->setPrintRange(QPrinter::PageRange);
    preview->printer()->setFromTo(1, 2);
    preview->printPages();
    ASSERT_TRUE(preview);
    EXPECT_EQ(reporttest::pdfText(dir.filePath("impreso.pdf")).split('\f', Qt::SkipEmptyParts).size(), 2);
    preview->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(openPreviews().isEmpty());
}

// The close box while the print's progress shows: no box holds the whole program, and the close
// request the window system hands the window stops the print as Esc does; the window goes once the
// print has returned, no file left.
TEST(ReportLifecycle, CloseBoxStopsThePrintWhileItsProgressShows) {
    QTemporaryDir dir;
    for (auto* p : openPreviews())
        p->close();
    QPointer<Preview> preview = openListing(dir, 20000);
    ASSERT_TRUE(preview);
    whenPrintDialogShows([] {});
    bool progressShown = false, modalWhileShown = true;
    QTimer poll;
    poll.setInterval(20);
    QObject::connect(&poll, &QTimer::timeout, [&] {
        for (QWidget* w : QApplication::topLevelWidgets())
            if (auto* d = qobject_cast<QProgressDialog*>(w); d && d->isVisible() && !progressShown) {
                progressShown = true;
                modalWhileShown = QApplication::activeModalWidget() != nullptr;
                // A click on the close box: the window system's close request, which the program
                // drops for a window a modal box blocks.
                QWindowSystemInterface::handleCloseEvent<QWindowSystemInterface::SynchronousDelivery>(
                    preview->windowHandle());
            }
    });
    poll.start();
    preview->printPages();
    poll.stop();
    EXPECT_TRUE(progressShown);
    EXPECT_FALSE(modalWhileShown);
    EXPECT_FALSE(QFile::exists(dir.filePath("impreso.pdf")));
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(preview.isNull());
    EXPECT_TRUE(openPreviews().isEmpty());
}

// A page painted on a thread that has ended since, or while the workers still measure the lines,
// paints the same on another thread; pages dropped while the workers run leave nothing behind.
TEST(ReportLifecycle, PagesStayPaintableWhateverThreadPaintedThemBefore) {
    QTemporaryDir dir;
    Rendered rendered;
    ASSERT_TRUE(render(listing(dir, 3000), &rendered));
    {
        Pages pages(rendered);
        ASSERT_FALSE(pages.layOut(1));  // the workers are still measuring
        while (pages.count() < 3)
            pages.layOut(5);
        std::vector<QImage> before;
        std::unique_ptr<QThread> painter(QThread::create([&] {
            for (int i = 0; i < 3; ++i)
                before.push_back(pages.image(i, 40));
        }));
        painter->start();
        painter->wait();
        painter.reset();  // its fonts go with it
        for (int i = 0; i < 3; ++i)
            EXPECT_EQ(pages.image(i, 40), before[size_t(i)]) << i;
    }
    for (int i = 0; i < 5; ++i) {
        Pages pages(rendered);
        pages.layOut(1);
        if (pages.count() > 0) {
            EXPECT_FALSE(pages.image(0, 20).isNull());
        }
    }
}

// Quitting with a window still laying out its pages closes it first, its workers stopped.
TEST(ReportLifecycle, QuitClosesTheWindowsStillLayingOut) {
    QTemporaryDir dir;
    QPointer<Preview> preview = openListing(dir, 20000);
    ASSERT_TRUE(preview);
    ASSERT_FALSE(preview->pages().finished());
    QTimer::singleShot(0, [] { QCoreApplication::exit(0); });
    QCoreApplication::exec();
    EXPECT_TRUE(preview.isNull());
    EXPECT_TRUE(openPreviews().isEmpty());
}
