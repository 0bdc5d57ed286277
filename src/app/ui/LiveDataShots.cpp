// Opening the live-data windows for a screenshot: the sheet runs the demonstration for 18
// seconds (into the corner after the braking) before it is drawn; a wizard takes two readings
// far apart on its way to the step asked for.
#include "app/ui/LiveDataShots.h"

#include <QAbstractButton>
#include <algorithm>
#include <array>

#include "app/DataAcqApp.h"
#include "logger/link/SerialLine.h"
#include "logger/live/Calibration.h"
#include "logger/live/LiveData.h"
#include "logger/live/LiveDataDemo.h"
#include "logger/ui/CalibrationWizard.h"
#include "logger/ui/LiveDataSheet.h"

namespace orvex {

namespace {

constexpr const char* kSheetTitle = "View Live Data from Data Logger";
constexpr CalibrationKind kKinds[] = {CalibrationKind::Accel,    CalibrationKind::Shock,
                                      CalibrationKind::Throttle, CalibrationKind::Steering,
                                      CalibrationKind::Voltage,  CalibrationKind::Linear};

struct SheetShot {
    std::unique_ptr<ISerialLine> line;
    std::unique_ptr<CLiveDataSheet> sheet;
    std::unique_ptr<CLiveDataDialog> dialog;
};

struct WizardShot {
    CAnalogSetup setup;
    std::unique_ptr<CCalibration> cal;
    std::array<double, 3> raw{};
    std::unique_ptr<CCalibrationWizard> wizard;
};

int ChannelOf(CalibrationKind kind) {
    switch (kind) {
        case CalibrationKind::Accel:
            return 17;
        case CalibrationKind::Shock:
            return 1;
        case CalibrationKind::Throttle:
            return 7;
        case CalibrationKind::Steering:
            return 8;
        case CalibrationKind::Voltage:
            return 20;
        case CalibrationKind::Linear:
            break;
    }
    return 13;
}

}  // namespace

std::vector<std::string> LiveDataShotTitles() {
    std::vector<std::string> titles{kSheetTitle};
    for (CalibrationKind k : kKinds) titles.push_back(CCalibration::Title(k));
    return titles;
}

bool IsLiveDataShot(const std::string& title) {
    const std::vector<std::string> titles = LiveDataShotTitles();
    return std::find(titles.begin(), titles.end(), title) != titles.end();
}

std::shared_ptr<QDialog> OpenLiveDataShot(const std::string& title, const std::string& page,
                                          CDataAcqApp& app, IHostServices& host, QWidget* parent,
                                          std::string& error) {
    CCarSetup car = app.GetDefaultCarSetup();
    AddLiveDemoSetups(car, app.GetUnits());
    if (title == kSheetTitle) {
        auto shot = std::make_shared<SheetShot>();
        shot->line = MakePosixSerialLine();
        shot->sheet =
            std::make_unique<CLiveDataSheet>(*shot->line, host, CLinkOptions{}, car, app.GetUnits(),
                                             app.GetAnalog20Offset(), true, false);
        if (!shot->sheet->Start()) {
            error = "the live-data sheet does not start";
            return nullptr;
        }
        shot->dialog = std::make_unique<CLiveDataDialog>(parent, *shot->sheet, host);
        if (!page.empty() && !shot->dialog->ShowPage(QString::fromStdString(page))) {
            error = "no live-data page \"" + page + "\"";
            return nullptr;
        }
        for (int tick = 0; tick < 720; ++tick) shot->dialog->Tick();
        return std::shared_ptr<QDialog>(shot, shot->dialog.get());
    }
    for (CalibrationKind kind : kKinds) {
        if (CCalibration::Title(kind) != title) continue;
        auto shot = std::make_shared<WizardShot>();
        CCarSetup demo = LiveDemoCarSetup(app.GetUnits());
        const int channel = ChannelOf(kind);
        if (const CAnalogSetup* s = demo.FindAnalogSetup(channel)) {
            shot->setup = *s;
        } else {
            shot->setup.m_nChannel = channel;
            shot->setup.ChooseType(kAnalog2Custom);
            shot->setup.m_strDescription = "Ride Height";
        }
        shot->setup.m_nFamily = 0;
        shot->raw = kind == CalibrationKind::Voltage ? std::array<double, 3>{2900, 3350, 3350}
                    : kind == CalibrationKind::Accel ? std::array<double, 3>{2048, 2460, 2460}
                                                     : std::array<double, 3>{700, 3300, 3300};
        shot->cal = std::make_unique<CCalibration>(kind, shot->setup, app.GetUnits(),
                                                   app.GetAnalog20Offset());
        WizardShot* raw = shot.get();
        shot->wizard = std::make_unique<CCalibrationWizard>(
            parent, *shot->cal,
            [raw] {
                const int id = raw->wizard ? std::clamp(raw->wizard->currentId(), 0, 2) : 0;
                return raw->raw[static_cast<std::size_t>(id)];
            },
            host);
        CCalibrationWizard& wizard = *shot->wizard;
        wizard.restart();
        if (!page.empty()) {
            const auto at = [&] {
                const int id = wizard.currentId();
                return id == wizard.ConfirmId()
                           ? page == "Confirm"
                           : shot->cal->Steps()[static_cast<std::size_t>(id)].title == page;
            };
            while (!at() && wizard.currentId() < wizard.ConfirmId()) wizard.next();
            if (!at()) {
                error = "no step \"" + page + "\" in " + title;
                return nullptr;
            }
        }
        wizard.ShowReading();
        return std::shared_ptr<QDialog>(shot, shot->wizard.get());
    }
    error = "no dialog \"" + title + "\"";
    return nullptr;
}

}  // namespace orvex
