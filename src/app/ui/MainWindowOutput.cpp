// The main window's printing, print preview and picture export of the graph: every one of
// them paints through the chart's single painting path.
#include <QFileDialog>
#include <QFileInfo>
#include <QFont>
#include <QImage>
#include <QPageLayout>
#include <QPainter>
#include <QPdfWriter>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <algorithm>

#include "app/DataAcqApp.h"
#include "app/ui/DocumentWindow.h"
#include "app/ui/MainWindow.h"
#include "graph/GraphView.h"
#include "graph/ui/ChartPainter.h"
#include "graph/ui/ChartWidget.h"
#include "host/HostServices.h"
#include "model/Document.h"

namespace orvex {
namespace {
// Height of the printed title in layout pixels, as the chart's title font.
constexpr int kTitlePixels = 13;
}  // namespace

void PaintChartPage(CDocumentWindow& window, QPainter& p, QRect page, int dpiX, int dpiY) {
    // The page is laid out like a screen of the page's size: one layout pixel becomes
    // dpiX / 110 device pixels, so that the left margin of 55 layout pixels is half an inch
    // and every font and column keeps its screen proportion. The plot ends half an inch above
    // the page's bottom; the title is printed centred below the axis labels.
    if (page.isEmpty() || dpiX <= 0 || dpiY <= 0) return;
    const double scale = dpiX / (2.0 * kLeftMargin);
    const double plotBottom = page.height() - dpiY / 2.0;
    const QSize layout(static_cast<int>(page.width() / scale),
                       static_cast<int>(plotBottom / scale + 0.5) + kBottomMargin);
    p.save();
    p.translate(page.topLeft());
    const GraphOptions& colours = window.Chart()->Options();
    p.fillRect(QRect(QPoint(0, 0), page.size()), ToQColor(colours.background));
    p.scale(scale, scale);
    window.Chart()->PaintTo(p, layout, true);
    p.restore();

    // The title: the document title and the current dataset's name.
    CBriodashDoc& doc = window.Document();
    std::vector<CBriodashDataset*> shown = doc.ShownDatasets();
    QString title = QString::fromStdString(doc.m_strTitle);
    if (!shown.empty())
        title += QStringLiteral(" - ") + QString::fromStdString(shown.back()->m_strName);
    QFont font = p.font();
    font.setPixelSize(std::max(1, static_cast<int>(kTitlePixels * scale + 0.5)));
    p.save();
    p.setFont(font);
    p.setPen(ReadableOn(ToQColor(colours.timeLabel), ToQColor(colours.background), 4.5));
    const int top = page.top() + static_cast<int>(layout.height() * scale);
    p.drawText(QRect(page.left(), top, page.width(), page.bottom() - top),
               Qt::AlignHCenter | Qt::AlignVCenter, title);
    p.restore();
}

void CMainWindow::PrintChart(CDocumentWindow* window, QPrinter& printer) {
    if (!window) return;
    QPainter p(&printer);
    PaintChartPage(*window, p, p.viewport(), printer.logicalDpiX(), printer.logicalDpiY());
}

QPrinter& CMainWindow::Printer() {
    if (!m_printer) {
        m_printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
        m_printer->setPageOrientation(QPageLayout::Landscape);
    }
    return *m_printer;
}

void CMainWindow::PrintSetup() {
    // The printer set-up chooses printer, paper and orientation for later printing; it never
    // prints.
    QPrintDialog dlg(&Printer(), this);
    dlg.setWindowTitle(QStringLiteral("Print Setup"));
    dlg.setOptions(QAbstractPrintDialog::PrintToFile | QAbstractPrintDialog::PrintShowPageSize);
    if (dlg.exec() == QDialog::Accepted)
        m_app.SetPrinterSetupFlags(m_app.GetPrinterSetupFlags() | 0x849);
}

void CMainWindow::PrintWithDialog(bool preview) {
    if (OutputActiveView(preview ? ViewOutput::Preview : ViewOutput::Print)) return;
    CDocumentWindow* w = ActiveDocument();
    if (!w) return;
    QPrinter& printer = Printer();
    if (preview) {
        QPrintPreviewDialog dlg(&printer, this);
        connect(&dlg, &QPrintPreviewDialog::paintRequested, this,
                [this, w](QPrinter* pr) { PrintChart(w, *pr); });
        dlg.exec();
        return;
    }
    QPrintDialog dlg(&printer, this);
    if (dlg.exec() == QDialog::Accepted) PrintChart(w, printer);
}

bool CMainWindow::ExportChart(CDocumentWindow* window, const QString& path, QSize size) {
    if (!window || size.isEmpty()) return false;
    const QString suffix = QFileInfo(path).suffix().toLower();
    if (suffix == QLatin1String("pdf")) {
        QPdfWriter pdf(path);
        pdf.setPageOrientation(QPageLayout::Landscape);
        pdf.setResolution(300);
        QPainter p;
        if (!p.begin(&pdf)) {
            m_host.Message("The file " + path.toStdString() + " could not be written.",
                           Icon::Warning);
            return false;
        }
        // The same page as printed, title included.
        PaintChartPage(*window, p, p.viewport(), pdf.logicalDpiX(), pdf.logicalDpiY());
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
