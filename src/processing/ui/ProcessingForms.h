// The Qt dialogs of the lap and time tools: each a form bound to its core dialog state.
#pragma once

#include <QDialog>
#include <memory>

#include "host/ui/FormDialog.h"
#include "processing/EtSlipDialog.h"
#include "processing/GearSelection.h"
#include "processing/LapTimesDialog.h"
#include "processing/LapToolDialogs.h"
#include "processing/SpikeFilterDialog.h"
#include "processing/ZeroTimeDialog.h"

namespace orvex {

std::unique_ptr<QDialog> MakeZeroTimeDialog(QWidget* parent, CZeroTimeDialog& model);
// Modeless: the report stays open beside the chart.
std::unique_ptr<QDialog> MakeEtSlipDialog(QWidget* parent, CEtSlipDialog& model);
std::unique_ptr<QDialog> MakeGearDialog(QWidget* parent, CGearSelection& model);
// Modeless, like the ET slip report.
std::unique_ptr<QDialog> MakeLapTimesDialog(QWidget* parent, CLapTimesDialog& model);
// Opened for the defaults, the caption ends in " - Default Settings".
std::unique_ptr<QDialog> MakeSpikeFilterDialog(QWidget* parent, CSpikeFilterDialog& model,
                                               bool defaults);
std::unique_ptr<QDialog> MakeBeaconsDialog(QWidget* parent, CBeaconsDialog& model);
std::unique_ptr<QDialog> MakeMoveLapMarksDialog(QWidget* parent, CMoveLapMarksDialog& model);
std::unique_ptr<QDialog> MakeDataAlignmentDialog(QWidget* parent, CDataAlignmentDialog& model);
std::unique_ptr<QDialog> MakeSwitchTimerDialog(QWidget* parent, CSwitchTimerDialog& model);

}  // namespace orvex
