// The options a new document copies from the application's settings.
#pragma once

#include "app/DataAcqApp.h"
#include "model/Document.h"

namespace orvex {

inline DocumentOptions DocumentOptionsFrom(const CDataAcqApp& app) {
    DocumentOptions o;
    o.openTrackMap = app.GetOpenTrackMap() ? 1 : 0;
    o.calcBanking = app.GetCalcBanking() ? 1 : 0;
    o.groundSpeedMap = static_cast<uint16_t>(app.GetGroundSpeedMap());
    o.units = app.GetUnits();
    return o;
}

}  // namespace orvex
