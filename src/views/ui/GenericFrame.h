// The child frame of the histogram, traction circle and lap segment report: titled after its
// document and view; closing it only hides it and brings the document's graph window forward.
#pragma once

#include <QMdiSubWindow>
#include <QPointer>
#include <vector>

#include "model/Document.h"

class QMdiArea;

namespace orvex {

class CViewWidget;
class CDataAcqApp;
class IHostServices;

class CGenericFrame : public QMdiSubWindow {
    Q_OBJECT
  public:
    // `graph`: the frame of the document's graph window.
    CGenericFrame(CViewWidget* view, QMdiSubWindow* graph);

    CViewWidget* View() const { return m_view; }
    QMdiSubWindow* GraphFrame() const { return m_graph; }
    void UpdateTitle();

  signals:
    void hiddenByClose();

  protected:
    void closeEvent(QCloseEvent* event) override;

  private:
    CViewWidget* m_view;
    QPointer<QMdiSubWindow> m_graph;
};

// The document title up to its first '.' followed by the view's suffix.
QString FrameTitle(const std::string& documentTitle, const QString& suffix);

// The auxiliary frames of a document in the area.
std::vector<CGenericFrame*> AuxFrames(QMdiArea& area, const CBriodashDoc& doc);
// Shows the frame of `kind` for the document, creating it the first time; returns it.
CGenericFrame* ShowAuxView(QMdiArea& area, QMdiSubWindow& graph, CBriodashDoc& doc, ViewKind kind,
                           const CDataAcqApp& app, IHostServices& host);

}  // namespace orvex
