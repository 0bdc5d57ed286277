// The main window's printing, print preview and picture export of the graph: every one of
// them paints through the chart's single painting path.
#include <QFileDialog>
#include <QFileInfo>
#include <QImage>
#include <QPageLayout>
#include <QPainter>
#include <QPdfWriter>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrinter>

#include "app/DataAcqApp.h"
#include "app/ui/DocumentWindow.h"
#include "app/ui/MainWindow.h"
#include "graph/ui/ChartWidget.h"
#include "host/HostServices.h"

namespace orvex {

void CMainWindow::PrintChart(CDocumentWindow* window, QPrinter& printer) {
    if (!window) return;
    printer.setPageOrientation(QPageLayout::Landscape);
    QPainter p(&printer);
    const QRect page = p.viewport();
    window->Chart()->PaintTo(p, page.size(), true);
    // The title under the graph: the document title and the current dataset's name.
    CBriodashDoc& doc = window->Document();
    std::vector<CBriodashDataset*> shown = doc.ShownDatasets();
    QString title = QString::fromStdString(doc.m_strTitle);
    if (!shown.empty())
        title += QStringLiteral(" - ") + QString::fromStdString(shown.back()->m_strName);
    p.setPen(Qt::black);
    p.drawText(
        QRect(0, page.height() - p.fontMetrics().height(), page.width(), p.fontMetrics().height()),
        Qt::AlignHCenter | Qt::AlignBottom, title);
}

void CMainWindow::PrintWithDialog(bool preview) {
    if (OutputActiveView(preview ? ViewOutput::Preview : ViewOutput::Print)) return;
    CDocumentWindow* w = ActiveDocument();
    QPrinter printer(QPrinter::HighResolution);
    if (preview) {
        if (!w) return;
        QPrintPreviewDialog dlg(&printer, this);
        connect(&dlg, &QPrintPreviewDialog::paintRequested, this,
                [this, w](QPrinter* pr) { PrintChart(w, *pr); });
        dlg.exec();
        return;
    }
    QPrintDialog dlg(&printer, this);
    if (!w) {
        // Print set-up only: remember the options chosen.
        dlg.setOptions(QAbstractPrintDialog::PrintToFile);
        if (dlg.exec() == QDialog::Accepted)
            m_app.SetPrinterSetupFlags(m_app.GetPrinterSetupFlags() | 0x849);
        return;
    }
    if (dlg.exec() == QDialog::Accepted) PrintChart(w, printer);
}

bool CMainWindow::ExportChart(CDocumentWindow* window, const QString& path, QSize size) {
    if (!window || size.isEmpty()) return false;
    const QString suffix = QFileInfo(path).suffix().toLower();
    if (suffix == QLatin1String("pdf")) {
        QPdfWriter pdf(path);
        pdf.setPageOrientation(QPageLayout::Landscape);
        pdf.setResolution(96);
        QPainter p;
        if (!p.begin(&pdf)) {
            m_host.Message("The file " + path.toStdString() + " could not be written.",
                           Icon::Warning);
            return false;
        }
        window->Chart()->PaintTo(p, p.viewport().size(), true);
        return p.end();
    }
    QImage image(size, QImage::Format_RGB32);
    {
        QPainter p(&image);
        window->Chart()->PaintTo(p, size, false);
    }
    if (!image.save(path, "PNG")) {
        m_host.Message("The file " + path.toStdString() + " could not be written.", Icon::Warning);
        return false;
    }
    return true;
}

void CMainWindow::ExportWithDialog() {
    if (OutputActiveView(ViewOutput::Export)) return;
    CDocumentWindow* w = ActiveDocument();
    if (!w) return;
    QString path =
        QFileDialog::getSaveFileName(this, QStringLiteral("Export Graph"), QString(),
                                     QStringLiteral("PDF Files (*.pdf);;PNG Pictures (*.png)"));
    if (path.isEmpty()) return;
    if (QFileInfo(path).suffix().isEmpty()) path += QStringLiteral(".png");
    ExportChart(w, path, w->Chart()->viewport()->size());
}

}  // namespace orvex
