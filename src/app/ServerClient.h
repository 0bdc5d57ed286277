// One PlayBack client of the data server: the channels its last channel order asked for, their
// latest values and the value block it is sent; and the ChannelInfo lists it chooses from.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace orvex {

class CBriodashDataset;

// One requested channel: 'A' analog, 'D' digital, 'R' RPM (number = channel), 'X' axis
// (number 0 = time, 1 = distance); any other kind takes a slot that is never filled.
struct ChannelEntry {
    char kind = 0;
    int32_t number = 0;
    double value = 0.0;
    bool operator==(const ChannelEntry&) const = default;
};

// Only this many characters of an order text are read.
inline constexpr std::size_t kChannelOrderLength = 255;

// The tokens of an order text as entries (values 0), without checking them against a dataset.
// A token whose number is missing or unreadable gets number -1; 'X' with neither 'T' nor 'D'
// gets -1 too.
std::vector<ChannelEntry> ParseChannelOrder(std::string_view text);

// The dataset has that channel: a setup of its number and recorded samples.
bool RpmChannelPresent(const CBriodashDataset& ds, int channel);
bool AnalogChannelPresent(const CBriodashDataset& ds, int channel);
bool DigitalChannelPresent(const CBriodashDataset& ds, int channel);
bool DatasetHasDistance(const CBriodashDataset& ds);
// An entry the dataset can serve; without a dataset only time can be served.
bool ChannelEntryValid(const CBriodashDataset* ds, const ChannelEntry& e);

// The ChannelInfo answers for the current dataset (nullptr: no data window open).
std::string XAxisListText(const CBriodashDataset* ds);
std::string RpmListText(const CBriodashDataset* ds);
std::string AnalogListText(const CBriodashDataset* ds);
std::string DigitalListText(const CBriodashDataset* ds);

class CAdvReqClient {
  public:
    static constexpr std::size_t kInitialEntries = 10;
    explicit CAdvReqClient(uint32_t conversation)
        : m_entries(kInitialEntries), m_conversation(conversation) {}

    int32_t m_nEntries = 0;
    std::string m_strOrder = "<Empty>";
    std::vector<ChannelEntry> m_entries;  // m_nEntries in use; the array doubles when full
    uint32_t m_conversation = 0;

    // A poked order: stored as given; the entries become its tokens, or none at all when one
    // token names a channel (or distance) the dataset does not have.
    void SetChannelOrder(std::string_view text, const CBriodashDataset* ds);
    // The entries' values, 8 bytes each as little-endian IEEE doubles.
    std::vector<uint8_t> ValueBlock() const;

  private:
    void Append(const ChannelEntry& e);
};

}  // namespace orvex
