// The Qt dialogs of the session editing commands: each a form bound to its core dialog state.
#pragma once

#include <QDialog>
#include <memory>

#include "model/DeleteDataDialog.h"
#include "model/SessionEditing.h"
#include "model/TransmissionDialog.h"

namespace orvex {

std::unique_ptr<QDialog> MakeDeleteDataDialog(QWidget* parent, CDeleteDataDialog& model);
std::unique_ptr<QDialog> MakeRenameDialog(QWidget* parent, CRenameSessions& model);
std::unique_ptr<QDialog> MakeCommentsDialog(QWidget* parent, CSessionComments& model);
// Titled as the model says (" - Default Settings" on the defaults).
std::unique_ptr<QDialog> MakeTransmissionDialog(QWidget* parent, CTransmissionDialog& model);

}  // namespace orvex
