// The live-data sheet and its calibration wizards for `--screenshot --dialog TITLE [--page
// NAME]`: drawn on the demonstration's readings, with the page or wizard step asked for.
#pragma once

#include <QDialog>
#include <memory>
#include <string>
#include <vector>

namespace orvex {

class CDataAcqApp;
class IHostServices;

// "View Live Data from Data Logger" and the wizards' titles.
std::vector<std::string> LiveDataShotTitles();
bool IsLiveDataShot(const std::string& title);
// The window titled `title` on page `page` (a page title, a step title or "Confirm"; empty:
// the first). Null with the reason in `error` when there is no such page.
std::shared_ptr<QDialog> OpenLiveDataShot(const std::string& title, const std::string& page,
                                          CDataAcqApp& app, IHostServices& host, QWidget* parent,
                                          std::string& error);

}  // namespace orvex
