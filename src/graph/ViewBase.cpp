// Registration and current-dataset following of the document views.
#include "graph/ViewBase.h"

namespace orvex {

CViewBase::CViewBase(CBriodashDoc& doc, ViewKind kind, IViewCanvas& canvas)
    : m_doc(doc), m_kind(kind), m_canvas(canvas) {
    m_doc.AddView(this);
}

CViewBase::~CViewBase() {
    m_doc.RemoveView(this);
}

void CViewBase::OnDatasetReplaced(const CBriodashDataset* old, CBriodashDataset* now) {
    if (m_pCurrent == old) m_pCurrent = now;
}

void CViewBase::Broadcast(ViewUpdate update) {
    update.sender = this;
    m_doc.UpdateAllViews(update);
}

}  // namespace orvex
