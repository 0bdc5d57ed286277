// The "Transmission/Rear End Settings" dialog: gears, ratios and rear end on copies, a bad ratio
// refused, OK applying to the session and its lap, and the defaults form.
#include <gtest/gtest.h>

#include <memory>

#include "model/Document.h"
#include "model/TransmissionDialog.h"
#include "support/FakeHost.h"

namespace orvex {
namespace {

struct SlipCounter : IDocumentServices {
    std::vector<int> slips;
    bool ReadFile(CBriodashDoc&, const std::string&, bool, bool, DataFileContents&) override {
        return false;
    }
    bool WriteFile(CBriodashDoc&, const std::string&, const DataFileContents&) override {
        return false;
    }
    void Derive(CBriodashDoc&) override {}
    void SetLapView(CBriodashDoc&, bool) override {}
    void ReanalyseLaps(CBriodashDoc&, CBriodashDataset&) override {}
    bool ComputeDistance(CBriodashDoc&, CBriodashDataset&, int) override { return false; }
    void ComputeSlip(CBriodashDoc&, CBriodashDataset&, int channel) override {
        slips.push_back(channel);
    }
    void AssignColours(CBriodashDataset&, int) override {}
};

std::string NoPath(bool) {
    return "";
}

TEST(TransmissionDialog, RatiosReachTheSessionAndItsLapOnlyOnOk) {
    test::FakeHost host;
    SlipCounter services;
    CBriodashDoc doc(host, services, DocumentOptions{});
    auto session = std::make_unique<CBriodashDataset>();
    session->m_strName = "Pass 1";
    CFreqSetup engine = CFreqSetup::Make(1, 1, Units::Imperial);
    engine.m_nSlipPartner = 2;
    session->m_carSetup.m_rpm = {engine, CFreqSetup::Make(2, kRpmDriveShaft, Units::Imperial)};
    auto lap = std::make_unique<CBriodashDataset>(*session);
    lap->m_nLap = 1;
    CBriodashDataset& ds = *session;
    CBriodashDataset& lapDs = *lap;
    doc.m_datasets.push_back(std::move(session));
    doc.m_datasets.push_back(std::move(lap));

    {
        CTransmissionDialog dlg(doc, NoPath);
        EXPECT_EQ(dlg.Title(), "Transmission/Rear End Settings");
        EXPECT_EQ(dlg.m_gears.selected, -1);  // no gears yet
        EXPECT_FALSE(dlg.m_ratio[0].enabled);
        dlg.m_gears.selected = 2;
        dlg.Changed("gears");
        EXPECT_TRUE(dlg.m_ratio[2].enabled);
        EXPECT_FALSE(dlg.m_ratio[3].enabled);
    }  // Cancel
    EXPECT_EQ(ds.m_carSetup.m_nGears, 0);

    CTransmissionDialog dlg(doc, NoPath);
    dlg.m_gears.selected = 2;
    dlg.Changed("gears");
    dlg.m_ratio[1].Type("0");
    EXPECT_FALSE(dlg.Edited("ratio2"));
    EXPECT_EQ(host.MessageTexts().back(), "A gear ratio must be a number from 0.01 to 99.99");
    dlg.m_ratio[1].Type("2.5");
    EXPECT_TRUE(dlg.Edited("ratio2"));
    dlg.m_rearEndMode.selected = 0;
    dlg.Changed("rearEndMode");
    EXPECT_TRUE(dlg.m_driveTeeth.enabled);
    EXPECT_FALSE(dlg.m_rearEndRatio.enabled);
    dlg.m_driveTeeth.value = 9;
    dlg.Changed("driveTeeth");
    dlg.m_axleTeeth.value = 36;
    dlg.Changed("axleTeeth");
    EXPECT_EQ(dlg.m_rearEndRatio.text, "4.00");
    EXPECT_EQ(ds.m_carSetup.m_nGears, 0);

    ASSERT_TRUE(dlg.Accept());
    EXPECT_EQ(ds.m_carSetup.m_nGears, 3);
    EXPECT_FLOAT_EQ(ds.m_carSetup.m_fGearRatio[1], 2.5f);
    EXPECT_EQ(ds.m_carSetup.m_nRearEndMode, 0);
    EXPECT_FLOAT_EQ(ds.m_carSetup.m_fRearEndRatio, 4.0f);
    EXPECT_EQ(lapDs.m_carSetup.m_nGears, 3);
    EXPECT_EQ(services.slips, std::vector<int>{1});
    EXPECT_TRUE(doc.m_bModified);
}

TEST(TransmissionDialog, DefaultsFormWritesTheDefaultCarSetup) {
    test::FakeHost host;
    CCarSetup defaults;
    CTransmissionDialog dlg(defaults, Units::Imperial, host, NoPath);
    EXPECT_EQ(dlg.Title(), "Transmission/Rear End Settings - Default Settings");
    EXPECT_EQ(dlg.m_session.items, std::vector<std::string>{"Defaults"});
    dlg.m_gears.selected = 0;
    dlg.Changed("gears");
    dlg.m_rearEndRatio.Type("3.73");
    ASSERT_TRUE(dlg.Accept());
    EXPECT_EQ(defaults.m_nGears, 1);
    EXPECT_FLOAT_EQ(defaults.m_fRearEndRatio, 3.73f);
}

}  // namespace
}  // namespace orvex
