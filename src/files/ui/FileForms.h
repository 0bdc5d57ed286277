// The Qt side of the export: the "Select Channels to Export" form and the file dialog that
// follows it.
#pragma once

#include <QDialog>
#include <memory>

#include "files/ExportDialog.h"

namespace orvex {

std::unique_ptr<QDialog> MakeExportChannelsDialog(QWidget* parent, CExportChannelsDialog& model);
// "Save File for Exporting": an ".asc" name, asking before an old file is replaced.
CExportChannelsDialog::FileChooser ExportFileChooser(QWidget* parent);

}  // namespace orvex
