// The graph window of one document.
#include "app/ui/DocumentWindow.h"

#include <QCloseEvent>
#include <QSplitter>
#include <QVBoxLayout>
#include <algorithm>

#include "app/DataAcqApp.h"
#include "app/GraphSettings.h"
#include "app/MainFrameCommands.h"
#include "graph/GraphServices.h"
#include "graph/ui/ChartWidget.h"
#include "graph/ui/MarkerListWidget.h"

namespace orvex {

CDocumentWindow::CDocumentWindow(std::unique_ptr<CBriodashDoc> doc, const CDataAcqApp& app,
                                 IHostServices& host, QWidget* parent)
    : QWidget(parent), m_doc(std::move(doc)), m_app(app) {
    setAttribute(Qt::WA_DeleteOnClose);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    m_splitter = new QSplitter(app.GetMarkerViewBottom() ? Qt::Vertical : Qt::Horizontal, this);
    m_chart = new CChartWidget(*m_doc, app, host, m_splitter);
    m_list = new CMarkerListWidget(*m_doc, host, m_splitter);
    InstallGraphServices(m_chart->Navigator(), m_list->View(),
                         GraphOptionsFrom(app).voltageCorrection);
    m_list->Rebuild();
    m_splitter->setStretchFactor(0, 1);
    m_splitter->setStretchFactor(1, 0);
    m_splitter->setChildrenCollapsible(false);
    layout->addWidget(m_splitter);
    connect(m_splitter, &QSplitter::splitterMoved, this, [this] { m_bUserSized = true; });
    UpdateTitle();
}

CDocumentWindow::~CDocumentWindow() {
    // The views unregister from the document in their destructors: delete them first.
    for (QPointer<QWidget>& f : m_auxFrames) delete f.data();
    delete m_splitter;
    m_splitter = nullptr;
}

void CDocumentWindow::AddAuxFrame(QWidget* frame) {
    for (const QPointer<QWidget>& f : m_auxFrames)
        if (f == frame) return;
    m_auxFrames.emplace_back(frame);
}

bool CDocumentWindow::ListBelow() const {
    return m_splitter->orientation() == Qt::Vertical;
}

void CDocumentWindow::UpdateTitle() {
    setWindowTitle(QString::fromStdString(GraphFrameTitle(m_doc->m_strTitle)) +
                   QStringLiteral("[*]"));
    setWindowModified(m_doc->m_bModified);
}

void CDocumentWindow::DatasetsChanged() {
    m_chart->ResetDisplay();
    m_list->Rebuild();
    UpdateTitle();
}

void CDocumentWindow::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (m_bSized) return;
    m_bSized = true;
    const bool below = ListBelow();
    const int client = below ? height() : width();
    const int saved = below ? m_app.GetMarkerViewHeight() : m_app.GetMarkerViewWidth();
    SplitSizes s = GraphSplitSizes(client, below, saved);
    m_splitter->setSizes({s.chart, s.list});
    if (saved < 0)
        FitListWidth();
    else
        m_bUserSized = true;
}

void CDocumentWindow::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    if (m_bSized) FitListWidth();
}

void CDocumentWindow::FitListWidth() {
    if (m_bUserSized || ListBelow() || !m_splitter) return;
    const int client = m_splitter->width() - m_splitter->handleWidth();
    if (client <= 0) return;
    const int list = std::min(m_list->WantedWidth(), client / 2);
    if (list == m_splitter->sizes().value(1)) return;
    m_splitter->setSizes({client - list, list});
}

void CDocumentWindow::closeEvent(QCloseEvent* event) {
    if (canClose && !canClose(*this)) {
        event->ignore();
        return;
    }
    event->accept();
}

}  // namespace orvex
