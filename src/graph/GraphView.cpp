// Strip-chart view state, scale factors and display-list layout.
#include "graph/GraphView.h"

namespace orvex {

struct CGraphLayout::Impl {};

CGraphLayout::CGraphLayout() : m_impl(std::make_unique<Impl>()) {}
CGraphLayout::~CGraphLayout() = default;

const CGraphScene& CGraphLayout::Build(const CBriodashDoc&, const CGraphViewState&,
                                       const GraphOptions& options, int width, int height,
                                       double devicePixelRatio) {
    m_scene.Clear();
    m_scene.background = options.background;
    m_scene.width = width;
    m_scene.height = height;
    m_scene.devicePixelRatio = devicePixelRatio;
    return m_scene;
}

}  // namespace orvex
