// Feeds arbitrary bytes to the data server's channel-order reader as a client's poked order,
// against a session with a few channels and with no session at all, and checks what it must
// never do: read past the first 255 characters, or build a value block of another size.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "app/ServerClient.h"
#include "model/Dataset.h"

namespace {

orvex::CBriodashDataset& Session() {
    static orvex::CBriodashDataset* ds = [] {
        auto* d = new orvex::CBriodashDataset();
        d->m_carSetup.m_rpm = {
            orvex::CFreqSetup::Make(1, orvex::kRpmEightCylinder, orvex::Units::Imperial)};
        for (int ch : {1, 3}) {
            orvex::CAnalogSetup a;
            a.m_nChannel = ch;
            d->m_carSetup.m_analog.push_back(a);
        }
        orvex::CSample s;
        s.m_lTime = 0;
        s.m_lDistance = 10;
        d->m_analog[0].AddTail(s);
        d->m_analog[2].AddTail(s);
        orvex::CShaft r;
        r.m_lTime = 0;
        r.m_lDistance = 10;
        d->m_rpm[0].AddTail(r);
        return d;
    }();
    return *ds;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    for (const orvex::CBriodashDataset* ds :
         {static_cast<const orvex::CBriodashDataset*>(&Session()),
          static_cast<const orvex::CBriodashDataset*>(nullptr)}) {
        orvex::CAdvReqClient client(1);
        client.SetChannelOrder(text, ds);
        if (client.m_strOrder != text) std::abort();
        if (client.m_nEntries < 0 || client.m_nEntries > 128) std::abort();
        if (client.ValueBlock().size() != static_cast<std::size_t>(client.m_nEntries) * 8)
            std::abort();
        // Whatever follows the first 255 characters changes nothing.
        if (size > orvex::kChannelOrderLength) {
            orvex::CAdvReqClient cut(2);
            cut.SetChannelOrder(text.substr(0, orvex::kChannelOrderLength), ds);
            if (cut.m_nEntries != client.m_nEntries) std::abort();
        }
    }
    return 0;
}
