#include "views/ui/GenericFrame.h"

#include <QCloseEvent>
#include <QMdiArea>

#include "views/ui/ViewWidgets.h"

namespace orvex {

QString FrameTitle(const std::string& documentTitle, const QString& suffix) {
    return QString::fromStdString(documentTitle.substr(0, documentTitle.find('.'))) + suffix;
}

CGenericFrame::CGenericFrame(CViewWidget* view, QMdiSubWindow* graph)
    : m_view(view), m_graph(graph) {
    setWidget(view);
    setAttribute(Qt::WA_DeleteOnClose, false);
    UpdateTitle();
}

void CGenericFrame::UpdateTitle() {
    setWindowTitle(FrameTitle(m_view->Document().m_strTitle, m_view->TitleSuffix()));
}

void CGenericFrame::closeEvent(QCloseEvent* event) {
    // The view lives on with its selections; only the frame goes out of sight.
    event->ignore();
    hide();
    if (QMdiArea* area = mdiArea(); area && m_graph) {
        area->setActiveSubWindow(m_graph);
        m_graph->raise();
    }
    emit hiddenByClose();
}

std::vector<CGenericFrame*> AuxFrames(QMdiArea& area, const CBriodashDoc& doc) {
    std::vector<CGenericFrame*> out;
    for (QMdiSubWindow* sub : area.subWindowList())
        if (auto* f = qobject_cast<CGenericFrame*>(sub); f && &f->View()->Document() == &doc)
            out.push_back(f);
    return out;
}

CGenericFrame* ShowAuxView(QMdiArea& area, QMdiSubWindow& graph, CBriodashDoc& doc, ViewKind kind,
                           const CDataAcqApp& app, IHostServices& host) {
    CGenericFrame* frame = nullptr;
    for (CGenericFrame* f : AuxFrames(area, doc))
        if (f->View()->Kind() == kind) frame = f;
    if (!frame) {
        CViewWidget* view = nullptr;
        switch (kind) {
            case ViewKind::Histogram:
                view = new CHistogramWidget(doc, app, host);
                break;
            case ViewKind::TractionCircle:
                view = new CTractionCircleWidget(doc, app, host);
                break;
            case ViewKind::LapReport:
                view = new CLapReportWidget(doc, app, host);
                break;
            default:
                return nullptr;
        }
        frame = new CGenericFrame(view, &graph);
        area.addSubWindow(frame);
        frame->resize(640, 420);
    }
    frame->show();
    area.setActiveSubWindow(frame);
    return frame;
}

}  // namespace orvex
