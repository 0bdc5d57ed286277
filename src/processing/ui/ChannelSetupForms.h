// The Qt dialogs of the channel setups: a form per kind bound to its core dialog state, and the
// file chooser of their Import and Export buttons.
#pragma once

#include <QDialog>
#include <memory>

#include "processing/ChannelSetupDialog.h"

namespace orvex {

// The form of the model's kind, titled as the model says.
std::unique_ptr<QDialog> MakeChannelSetupDialog(QWidget* parent, CChannelSetupDialog& model);
// Asks for a car-setup file ("Car Setups (*.car)") to import or export.
CChannelSetupDialog::PathChooser CarFileChooser(QWidget* parent);

}  // namespace orvex
