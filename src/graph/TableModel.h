// The core of every list and report shown as a table (marker list, lap segments, lap times):
// headers, rows of texts, a text and a background colour per cell and column widths fitted to
// the texts. One Qt
// adapter shows any of them.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "graph/Color.h"

namespace orvex {

class CTableModel {
  public:
    virtual ~CTableModel() = default;

    virtual int ColumnCount() const = 0;
    virtual int RowCount() const = 0;
    virtual std::string Header(int column) const = 0;
    virtual std::string Text(int row, int column) const = 0;
    // The cell's own text colour; none: the palette's text colour.
    virtual std::optional<ColorRef> TextColour(int /*row*/, int /*column*/) const {
        return std::nullopt;
    }
    // The cell's own background; none: the view's base colour.
    virtual std::optional<ColorRef> CellBackground(int /*row*/, int /*column*/) const {
        return std::nullopt;
    }
    // Width in pixels the column is shown with (after FitColumns).
    virtual int ColumnWidth(int column) const = 0;
    // Fits the columns to their widest text by the given measure of a text in pixels.
    virtual void FitColumns(const std::function<int(const std::string&)>& textWidth) = 0;
};

}  // namespace orvex
