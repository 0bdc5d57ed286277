// Feeds arbitrary bytes to the binary data file reader; every input must fail cleanly or read.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

#include "app/HostServices.h"
#include "files/DataFile.h"

namespace {

class CQuietProgress : public orvex::IProgress {
  public:
    void SetTitle(const std::string&) override {}
    void SetStatus(int, const std::string&) override {}
    bool Pump() override { return false; }
};

class CQuietHost : public orvex::IHostServices {
  public:
    void Message(const std::string&, orvex::Icon) override {}
    orvex::Answer Ask(const std::string&, orvex::Buttons, orvex::Answer a) override { return a; }
    std::unique_ptr<orvex::IProgress> OpenProgress(const std::string&) override {
        return std::make_unique<CQuietProgress>();
    }
    bool Pump() override { return false; }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    CQuietHost host;
    orvex::DataFileReadOptions options;
    options.modificationTime = 0;
    orvex::DataFileContents contents;
    if (orvex::ReadDataFileFromMemory(data, size, "/fuzz/Data.tbc", host, options, contents)) {
        // What was read must write again.
        std::vector<uint8_t> bytes;
        orvex::WriteDataFileToBuffer("/fuzz/Data.tbc", contents, host, orvex::Units::Imperial,
                                     bytes);
    }
    return 0;
}
