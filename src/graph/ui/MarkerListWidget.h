// The marker list beside or below the strip chart: one row per channel, the values at the
// green and red markers and their difference.
#pragma once

#include <QTreeWidget>

#include "model/Document.h"

namespace orvex {

class CMarkerListWidget : public QTreeWidget, public IDocumentView {
    Q_OBJECT
  public:
    explicit CMarkerListWidget(CBriodashDoc& doc, QWidget* parent = nullptr);
    ~CMarkerListWidget() override;

    ViewKind Kind() const override { return ViewKind::MarkerList; }
    void OnUpdate(uint32_t hint) override;
    void Rebuild();

  private:
    CBriodashDoc& m_doc;
};

}  // namespace orvex
