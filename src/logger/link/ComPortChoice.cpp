// The "COM Port" dialog's state.
#include "logger/link/ComPortChoice.h"

#include "logger/link/SerialLine.h"

namespace orvex {

CComPortChoice::CComPortChoice(int port, const std::string& path, std::vector<std::string> present,
                               IHostServices& host)
    : m_nPort(port), m_host(host) {
    m_port.options = kDeviceOption + 1;
    m_device.suggestions = std::move(present);
    m_device.text = path;
    m_device.tip = "A serial device such as /dev/ttyUSB0";
    if (!path.empty())
        m_port.selected = kDeviceOption;
    else if (port >= 1 && port <= 8)
        m_port.selected = port - 1;
    Bind("port", m_port);
    Bind("device", m_device);
    Bind("portDevice", m_portDevice);
    ShowPortDevice();
}

std::string CComPortChoice::Path() const {
    return m_port.selected == kDeviceOption ? m_device.text : std::string();
}

void CComPortChoice::ShowPortDevice() {
    if (m_port.selected >= 0 && m_port.selected < kDeviceOption)
        m_portDevice.text = "COM " + std::to_string(m_port.selected + 1) + " is " +
                            PortDevicePath(m_port.selected + 1);
    else
        m_portDevice.text.clear();
}

void CComPortChoice::Changed(const std::string& name) {
    if (name == "port") {
        if (m_port.selected < kDeviceOption) m_nPort = m_port.selected + 1;
    } else if (name == "device") {
        // Typing or picking a device chooses the device.
        m_port.selected = kDeviceOption;
    }
    ShowPortDevice();
}

bool CComPortChoice::Accept() {
    if (m_port.selected != kDeviceOption) return true;
    if (m_device.text.empty() || m_device.text[0] != '/') {
        m_host.Message("Please enter the full path of the serial device, such as /dev/ttyUSB0.",
                       Icon::Warning);
        return false;
    }
    return true;
}

}  // namespace orvex
