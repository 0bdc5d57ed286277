// The core of every document view (strip chart, track map, traction circle, reports): it
// registers with its document, follows the current dataset or lap, builds its scene for a size
// and pixel ratio, and tells the canvas that shows it which layer must be painted again.
#pragma once

#include <cstdint>

#include "graph/GraphScene.h"
#include "model/Document.h"
#include "model/ViewHints.h"

namespace orvex {

// Which part of a view's picture is out of date.
enum class ViewLayer : uint8_t {
    Overlay,  // only the overlay (markers, rubber band, race markers) moved
    All,      // the base drawing changed too
};

// Where a view's pictures are shown: the Qt scene widget, or a fake in tests.
class IViewCanvas {
  public:
    virtual ~IViewCanvas() = default;
    virtual void Invalidate(ViewLayer layer) = 0;
};

// Mouse input forwarded by the canvas, in device-independent pixels of the view.
enum class MouseButton : uint8_t { Left, Right, Middle };
struct ViewMouse {
    int x = 0, y = 0;
    MouseButton button = MouseButton::Left;
    bool ctrl = false, shift = false;
};

class CViewBase : public IDocumentView {
  public:
    CViewBase(CBriodashDoc& doc, ViewKind kind, IViewCanvas& canvas);
    ~CViewBase() override;
    CViewBase(const CViewBase&) = delete;
    CViewBase& operator=(const CViewBase&) = delete;

    ViewKind Kind() const override { return m_kind; }
    CBriodashDoc& Document() const { return m_doc; }

    // The dataset (or lap) this view shows first; follows deletions and replacements.
    const CBriodashDataset* Current() const { return m_pCurrent; }
    void SetCurrent(const CBriodashDataset* ds) { m_pCurrent = ds; }
    void OnDatasetReplaced(const CBriodashDataset* old, CBriodashDataset* now) override;

    // Everything the view draws at `width` x `height` device-independent pixels on a device
    // of `devicePixelRatio`; `onPaper` for the printer and exported pictures (no markers). The
    // scene stays valid until the next call.
    virtual const CGraphScene& BuildScene(int width, int height, double devicePixelRatio,
                                          bool onPaper) = 0;
    // Only the overlay of the screen's scene, over a base drawing kept from the last
    // BuildScene at the same size. The default builds the whole scene again.
    virtual const CGraphScene& BuildOverlay(int width, int height, double devicePixelRatio) {
        return BuildScene(width, height, devicePixelRatio, false);
    }
    // True when BuildOverlay builds the overlay alone (cheaply), so that a canvas can ask for
    // it to find which part of the screen an overlay change touches.
    virtual bool BuildsOverlayApart() const { return false; }

    // Input forwarded by the canvas; the default ignores it.
    virtual void MouseDown(const ViewMouse&) {}
    virtual void MouseMove(const ViewMouse&) {}
    virtual void MouseUp(const ViewMouse&) {}
    virtual void DoubleClick(const ViewMouse&) {}

    // Sends `update` to the document's other views, with this view as its sender.
    void Broadcast(ViewUpdate update);

  protected:
    IViewCanvas& Canvas() { return m_canvas; }

  private:
    CBriodashDoc& m_doc;
    ViewKind m_kind;
    IViewCanvas& m_canvas;
    const CBriodashDataset* m_pCurrent = nullptr;
};

}  // namespace orvex
