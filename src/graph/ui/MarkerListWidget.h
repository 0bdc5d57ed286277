// The marker list beside or below the strip chart: the rows and columns of the marker-list
// core (channel values at the green and red markers and their difference) in a tree widget.
#pragma once

#include <QTreeWidget>

#include "graph/MarkerList.h"
#include "model/Document.h"

namespace orvex {

class IHostServices;

class CMarkerListWidget : public QTreeWidget, public IDocumentView {
    Q_OBJECT
  public:
    CMarkerListWidget(CBriodashDoc& doc, IHostServices& host, QWidget* parent = nullptr);
    ~CMarkerListWidget() override;

    ViewKind Kind() const override { return ViewKind::MarkerList; }
    void OnUpdate(uint32_t hint) override;
    void Rebuild();
    CMarkerView& View() { return m_view; }
    // The texts shown in row `row`, column by column.
    QStringList RowTexts(int row) const;
    // The width that shows every column whole.
    int WantedWidth() const;

  signals:
    // The columns were fitted anew (markers set or cleared, datasets changed).
    void columnsFitted();

  protected:
    // A palette change (light to dark desktop) recolours the rows.
    void changeEvent(QEvent* event) override;
    // A narrow list shortens the name column first, so that the value columns stay in view.
    void resizeEvent(QResizeEvent* event) override;

  private:
    void Fill();
    void ApplyColumnWidths();

    CBriodashDoc& m_doc;
    CMarkerView m_view;
};

}  // namespace orvex
