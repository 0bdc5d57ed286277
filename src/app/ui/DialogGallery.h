// Every dialog that stands on the dialog model, by its title: how to open it on the program's
// state. The bound-names test walks it, and the screenshot option opens a dialog from it.
#pragma once

#include <QDialog>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "host/DialogModel.h"

namespace orvex {

class CBriodashDoc;
class CChartWidget;
class CDataAcqApp;
class IHostServices;

// What a dialog is opened on; `doc` is null when no document is open. `chart` is the data
// window's chart the dialog works beside: its current dataset, markers and window (without
// one, the document's first session, its markers and all of its time).
struct DialogContext {
    CDataAcqApp& app;
    IHostServices& host;
    CBriodashDoc* doc = nullptr;
    QWidget* parent = nullptr;
    CChartWidget* chart = nullptr;
};

// An opened dialog with its state; the dialog goes before the model it shows, the model before
// what it works on. `dialog` is null when the command refused to open (the user has been
// told why). `accepted`, when set, hands the result back to the chart once OK closed it.
struct OpenedDialog {
    std::shared_ptr<void> keep;
    std::unique_ptr<CDialogModel> model;
    std::unique_ptr<QDialog> dialog;
    std::function<void()> accepted = {};
};

struct GalleryEntry {
    std::string title;
    bool needsDocument = false;
    std::function<OpenedDialog(DialogContext&)> open;
    // The window's own title where it is not the command's ("Dialog").
    std::string caption = {};
};

const std::vector<GalleryEntry>& DialogGallery();
const GalleryEntry* FindDialog(const std::string& title);

// Shows the dialog's tab captioned `page`; false (the tabs listed on stderr) when it has none.
bool ShowDialogPage(QDialog& dialog, const std::string& page);

}  // namespace orvex
