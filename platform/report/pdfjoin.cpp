#include "platform/report/pdfjoin.h"

#include <QFile>
#include <QtGlobal>

#include <qpdf/QPDF.hh>
#include <qpdf/QPDFPageDocumentHelper.hh>
#include <qpdf/QPDFWriter.hh>

#include <exception>
#include <memory>
#include <vector>

namespace report {

bool joinPdf(const QStringList& parts, const QString& out, const QString& title) {
    try {
        QPDF joined;
        joined.emptyPDF();
        QPDFPageDocumentHelper joinedPages(joined);
        // The parts are read as their pages are copied, at write time: they live until then.
        std::vector<std::unique_ptr<QPDF>> read;
        for (const QString& part : parts) {
            auto pdf = std::make_unique<QPDF>();
            pdf->setSuppressWarnings(true);
            const QByteArray name = QFile::encodeName(part);
            pdf->processFile(name.constData());
            for (QPDFPageObjectHelper& page : QPDFPageDocumentHelper(*pdf).getAllPages())
                joinedPages.addPage(page, false);
            read.push_back(std::move(pdf));
        }
        QPDFObjectHandle info = QPDFObjectHandle::newDictionary();
        info.replaceKey("/Title", QPDFObjectHandle::newUnicodeString(title.toStdString()));
        info.replaceKey("/Creator", QPDFObjectHandle::newUnicodeString("Quorvel"));
        joined.getTrailer().replaceKey("/Info", joined.makeIndirectObject(info));
        // The writer keeps the name it is given until it writes.
        const QByteArray outName = QFile::encodeName(out);
        QPDFWriter writer(joined, outName.constData());
        if (!read.empty())
            writer.setMinimumPDFVersion(read.front()->getPDFVersion());
        writer.write();
        return true;
    } catch (const std::exception& e) {
        qWarning("PDF join into %s: %s", qPrintable(out), e.what());
        return false;
    }
}

}  // namespace report
