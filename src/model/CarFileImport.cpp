// The import of a car-setup file from a setup dialog: which kinds to take over, merged or
// replaced, as the user answers.
#include "host/HostServices.h"
#include "model/CarFile.h"

namespace orvex {

namespace {

bool AskYes(IHostServices& host, const char* text) {
    return host.Ask(text, Buttons::YesNo, Answer::No) == Answer::Yes;
}

void MergeOrReplace(CCarSetup& current, const CCarSetup& imported, SetupKind kind,
                    IHostServices& host) {
    switch (kind) {
        case SetupKind::Analog:
            if (AskYes(host, "Do you wish to Merge(Yes) or Replace(No) current Analog Setup?"))
                current.MergeAnalogSetups(imported.m_analog);
            else
                current.ReplaceAnalogSetups(imported.m_analog);
            break;
        case SetupKind::Digital:
            if (AskYes(host, "Do you wish to Merge(Yes) or Replace(No) current Digital Setup?"))
                current.MergeDigitalSetups(imported.m_digital);
            else
                current.ReplaceDigitalSetups(imported.m_digital);
            break;
        case SetupKind::Rpm:
            if (AskYes(host, "Do you wish to Merge(Yes) or Replace(No) current RPM Setup?"))
                current.MergeRpmSetups(imported.m_rpm);
            else
                current.ReplaceRpmSetups(imported.m_rpm);
            break;
        case SetupKind::Transmission:
            current.CopyTransmission(imported);
            break;
    }
}

int FlagOf(SetupKind kind) {
    switch (kind) {
        case SetupKind::Analog:
            return kCarFileAnalog;
        case SetupKind::Digital:
            return kCarFileDigital;
        case SetupKind::Rpm:
            return kCarFileRpm;
        case SetupKind::Transmission:
            return kCarFileGears;
    }
    return 0;
}

// One further kind found in the file and the question that offers it.
struct Offer {
    SetupKind kind;
    const char* question;
};

struct DialogImport {
    SetupKind kind;
    const char* nothingFound;  // nullptr: the dialog reads whatever the file holds
    Offer offers[3];
};

constexpr DialogImport kDialogImports[] = {
    {SetupKind::Analog,
     "No Analog Setup Information found in the file!",
     {{SetupKind::Rpm,
       "RPM Setup data found while loading Analog information.\nDo you wish to load this "
       "setup too?"},
      {SetupKind::Transmission,
       "Transmission/Rear End Setup found while loading Analog Setup.\nDo you wish to load "
       "this setup too?"},
      {SetupKind::Digital,
       "Digital Setup found while loading Analog Setup.\nDo you wish to load this setup "
       "too?"}}},
    {SetupKind::Digital,
     "No Digital Setup Information found in the file!",
     {{SetupKind::Rpm,
       "RPM Setup data found while loading Digital Setup.\nDo you wish to load this setup "
       "too?"},
      {SetupKind::Transmission,
       "Transmission/Rear End Setup found while loading Digital Setup.\nDo you wish to load "
       "this setup too?"},
      {SetupKind::Analog,
       "Analog Setup found while loading Digital Setup.\nDo you wish to load this setup "
       "too?"}}},
    {SetupKind::Rpm,
     "No RPM Setup Information found in the file!",
     {{SetupKind::Transmission,
       "Transmission/Rear End Setup found while loading RPM Setup.\nDo you wish to load this "
       "setup too?"},
      {SetupKind::Digital,
       "Digital Setup found while loading RPM Setup.\nDo you wish to load this setup too?"},
      {SetupKind::Analog,
       "Analog Setup found while loading RPM Setup.\nDo you wish to load this setup too?"}}},
    {SetupKind::Transmission,
     nullptr,
     {{SetupKind::Rpm,
       "RPM Setup data found while loading Gear-Setup information.\nDo you wish to load the "
       "RPM Setup data too?"},
      {SetupKind::Analog,
       "Analog Setup data found while loading Gear-Setup information.\nDo you wish to load "
       "the Analog Setup data too?"},
      {SetupKind::Digital,
       "Digital Setup data found while loading Gear-Setup information.\nDo you wish to load "
       "the Digital Setup data too?"}}},
};

}  // namespace

bool ApplyCarFileImport(CCarSetup& current, const CCarSetup& imported, int flags, SetupKind kind,
                        IHostServices& host) {
    if (flags == 0) return false;
    const DialogImport* dialog = nullptr;
    for (const DialogImport& d : kDialogImports)
        if (d.kind == kind) dialog = &d;
    if (!dialog) return false;
    if (dialog->nothingFound && !(flags & FlagOf(kind))) {
        host.Message(dialog->nothingFound, Icon::Warning);
        return false;
    }
    for (const Offer& offer : dialog->offers) {
        if (!(flags & FlagOf(offer.kind)) || !AskYes(host, offer.question)) continue;
        MergeOrReplace(current, imported, offer.kind, host);
    }
    // The dialog's own kind last. The transmission is taken over whole: without gears in the
    // file the imported copy still holds the current ones.
    MergeOrReplace(current, imported, kind, host);
    return true;
}

bool ImportCarFileForDialog(CCarSetup& current, const std::string& path, SetupKind kind,
                            Units units, IHostServices& host) {
    CCarSetup imported = current;
    imported.ClearSetups();
    const int flags = ImportCarFile(imported, path, units, host);
    return ApplyCarFileImport(current, imported, flags, kind, host);
}

}  // namespace orvex
