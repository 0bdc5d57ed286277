// The "COM Port" dialog's state and the serial devices it offers.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>

#include "logger/link/ComPortChoice.h"
#include "logger/link/SerialLine.h"
#include "logger/upload/Upload.h"
#include "support/FakeHost.h"

namespace orvex {
namespace {

namespace fs = std::filesystem;

class DevFolder : public ::testing::Test {
  protected:
    void SetUp() override {
        char pattern[] = "/tmp/orvex-dev-XXXXXX";
        ASSERT_NE(::mkdtemp(pattern), nullptr);
        m_root = pattern;
    }
    void TearDown() override { fs::remove_all(m_root); }
    void Touch(const std::string& name) {
        fs::create_directories((fs::path(m_root) / name).parent_path());
        std::ofstream(fs::path(m_root) / name).put('\n');
    }
    std::string m_root;
};

TEST_F(DevFolder, ListsEachKindOfSerialDeviceInNumericOrder) {
    for (const char* name : {"ttyS10", "ttyS2", "ttyUSB1", "ttyACM0", "ttyS0", "ttyUSB0", "tty0",
                             "ttyUSB", "ttySX", "ttyprintk", "null", "serial/by-id/usb-Logger-if00",
                             "serial/by-id/usb-Adapter-if00", "serial/by-path/pci-0:1"})
        Touch(name);
    const std::vector<std::string> expected{m_root + "/ttyS0",
                                            m_root + "/ttyS2",
                                            m_root + "/ttyS10",
                                            m_root + "/ttyUSB0",
                                            m_root + "/ttyUSB1",
                                            m_root + "/ttyACM0",
                                            m_root + "/serial/by-id/usb-Adapter-if00",
                                            m_root + "/serial/by-id/usb-Logger-if00"};
    EXPECT_EQ(ListSerialDevices(m_root), expected);
    EXPECT_TRUE(ListSerialDevices(m_root + "/absent").empty());
}

TEST(LoggerDevice, ATypedPathWinsOverThePortNumber) {
    ::unsetenv("ORVEX_COM3");
    EXPECT_EQ(LoggerDevicePath(3, ""), "/dev/ttyS2");
    EXPECT_EQ(LoggerDevicePath(3, "/dev/ttyUSB0"), "/dev/ttyUSB0");
}

TEST(LoggerDevice, AnUploadFromAnAbsentDeviceNamesIt) {
    test::FakeHost host;
    auto line = MakePosixSerialLine();
    CUploadOptions options;
    options.device = "/nonexistent/ttyUSB7";
    CUploadResult r = UploadFromLogger(*line, CUploadDefaults(), options, host);
    EXPECT_FALSE(r.dataset);
    ASSERT_FALSE(host.messages.empty());
    EXPECT_EQ(host.messages.back().text,
              "Unable to establish communications with Data Logger.\nDevice: /nonexistent/ttyUSB7");
    bool lineNamesIt = false;
    for (auto& [l, text] : host.statuses)
        lineNamesIt |= text.rfind("/nonexistent/ttyUSB7: ", 0) == 0;
    EXPECT_TRUE(lineNamesIt);
}

class ComPortChoiceTest : public ::testing::Test {
  protected:
    void SetUp() override { ::unsetenv("ORVEX_COM2"); }
    test::FakeHost m_host;
    const std::vector<std::string> m_present{"/dev/ttyS0", "/dev/ttyUSB0"};
};

TEST_F(ComPortChoiceTest, OpensOnTheStoredPathOrNumber) {
    struct Case {
        int port;
        const char* path;
        int option;
        const char* shown;
    };
    for (Case c : {Case{2, "", 1, "COM 2 is /dev/ttyS1"}, Case{9, "", -1, ""}, Case{0, "", -1, ""},
                   Case{2, "/dev/ttyACM0", CComPortChoice::kDeviceOption, ""}}) {
        CComPortChoice choice(c.port, c.path, m_present, m_host);
        EXPECT_EQ(choice.m_port.selected, c.option) << c.port << c.path;
        EXPECT_EQ(choice.m_portDevice.text, c.shown);
        EXPECT_EQ(choice.m_device.text, c.path);
        EXPECT_EQ(choice.m_device.suggestions, m_present);
        EXPECT_EQ(choice.Port(), c.port);
        EXPECT_EQ(choice.Path(), c.path);
    }
}

TEST_F(ComPortChoiceTest, ANumberKeepsNoPathAndAPathKeepsTheNumber) {
    CComPortChoice choice(2, "/dev/ttyUSB0", m_present, m_host);
    choice.m_port.selected = 4;  // "COM 5" clicked
    choice.Changed("port");
    EXPECT_EQ(choice.Port(), 5);
    EXPECT_EQ(choice.Path(), "");
    EXPECT_EQ(choice.m_portDevice.text, "COM 5 is /dev/ttyS4");
    EXPECT_TRUE(choice.Accept());

    choice.m_device.Type("/dev/ttyACM0");  // typing chooses the device
    choice.Changed("device");
    EXPECT_EQ(choice.m_port.selected, CComPortChoice::kDeviceOption);
    EXPECT_EQ(choice.Port(), 5);
    EXPECT_EQ(choice.Path(), "/dev/ttyACM0");
    EXPECT_EQ(choice.m_portDevice.text, "");
    EXPECT_TRUE(choice.Accept());
    EXPECT_TRUE(m_host.messages.empty());
}

TEST_F(ComPortChoiceTest, OkRefusesADeviceThatIsNoFullPath) {
    for (const char* typed : {"", "ttyUSB0"}) {
        CComPortChoice choice(1, "", m_present, m_host);
        choice.m_port.selected = CComPortChoice::kDeviceOption;
        choice.m_device.Type(typed);
        choice.Changed("device");
        EXPECT_FALSE(choice.Accept()) << typed;
    }
    ASSERT_EQ(m_host.messages.size(), 2u);
    EXPECT_EQ(m_host.messages[0].text,
              "Please enter the full path of the serial device, such as /dev/ttyUSB0.");
    EXPECT_EQ(m_host.messages[0].icon, Icon::Warning);
}

}  // namespace
}  // namespace orvex
