// The "COM Port" dialog's state: the eight port numbers and, beside them, the serial devices
// present or a typed device path.
#pragma once

#include <string>
#include <vector>

#include "host/DialogModel.h"
#include "host/HostServices.h"

namespace orvex {

class CComPortChoice : public CDialogModel {
  public:
    // Options 0 to 7 are "COM 1" to "COM 8"; option 8 is "Device:" with the path field.
    static constexpr int kDeviceOption = 8;

    // `port` is the stored number (outside 1 to 8: no number chosen), `path` the stored device
    // path (empty: the number is used), `present` the devices offered.
    CComPortChoice(int port, const std::string& path, std::vector<std::string> present,
                   IHostServices& host);

    RadioField m_port;
    TextField m_device;
    LabelField m_portDevice;  // which device the chosen number opens

    // The number to keep as `ComPort` (the stored one while a path is chosen) and the path to
    // keep beside it (empty while a number is chosen).
    int Port() const { return m_nPort; }
    std::string Path() const;

    void Changed(const std::string& name) override;
    bool Accept() override;

  private:
    void ShowPortDevice();

    int m_nPort;
    IHostServices& m_host;
};

}  // namespace orvex
