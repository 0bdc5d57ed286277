// The strip chart's options and first view state taken from the application settings.
#pragma once

#include "app/DataAcqApp.h"
#include "graph/GraphView.h"

namespace orvex {

inline GraphOptions GraphOptionsFrom(const CDataAcqApp& app) {
    GraphOptions o;
    o.background = app.GetColor(AppColor::GraphBackground);
    o.rpmLabel = app.GetColor(AppColor::GraphRpmLabel);
    o.mphLabel = app.GetColor(AppColor::GraphMphLabel);
    o.timeLabel = app.GetColor(AppColor::GraphTimeLabel);
    o.analogScales = app.GetAnalogScales();
    o.units = app.GetUnits();
    // -1.0 stands for "no channel-20 correction in the settings".
    const float correction = app.GetAnalog20Offset();
    o.voltageCorrection = correction == -1.0f ? 0.0f : correction;
    return o;
}

inline void InitViewState(CGraphViewState& state, const CDataAcqApp& app) {
    state.InitFromSettings(app.GetXAxisMode(), app.GetMphScale(), app.GetLikeAnalogs());
}

}  // namespace orvex
