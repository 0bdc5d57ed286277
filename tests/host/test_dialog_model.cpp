// Dialog fields, the names a model binds, and a sheet's validation on leaving a page.
#include <gtest/gtest.h>

#include "host/DialogModel.h"

namespace orvex {
namespace {

TEST(DialogFields, ChoiceSelectsByTextElseTheFirstEntry) {
    ChoiceField list;
    list.SelectText("x");
    EXPECT_EQ(list.selected, -1);
    EXPECT_EQ(list.Text(), nullptr);
    list.items = {"10", "20", "50"};
    list.SelectText("50");
    EXPECT_EQ(*list.Text(), "50");
    list.SelectText("33");
    EXPECT_EQ(list.selected, 0);
    list.selected = 3;
    EXPECT_EQ(list.Text(), nullptr);
}

TEST(DialogFields, TypedTextTakesTheErrorStateOfItsPattern) {
    struct Case {
        const char* typed;
        bool error;
    };
    TextField minutes;
    ASSERT_TRUE(minutes.SetPattern("[0-9]{1,3}"));
    for (Case c : {Case{"12", false}, Case{"", true}, Case{"1234", true}, Case{"1a", true},
                   Case{"999", false}}) {
        minutes.Type(c.typed);
        EXPECT_EQ(minutes.text, c.typed);
        EXPECT_EQ(minutes.error, c.error) << c.typed;
    }
    // A broken pattern keeps the old one.
    std::string reason;
    EXPECT_FALSE(minutes.SetPattern("[0-9", &reason));
    EXPECT_FALSE(reason.empty());
    EXPECT_FALSE(minutes.Matches("x"));
    EXPECT_TRUE(TextField().Matches("anything"));
}

class TwoFieldModel : public CDialogModel {
  public:
    TwoFieldModel() {
        m_trigger.options = 3;
        Bind("name", m_name);
        Bind("trigger", m_trigger);
        Bind("ok", m_ok);
    }
    TextField m_name;
    RadioField m_trigger;
    ButtonField m_ok;
};

TEST(DialogModel, RadioFieldsBindOneNamePerOption) {
    TwoFieldModel model;
    EXPECT_EQ(model.BoundNames(),
              (std::vector<std::string>{"name", "trigger_0", "trigger_1", "trigger_2", "ok"}));
    ASSERT_NE(model.Find("trigger"), nullptr);
    EXPECT_TRUE(std::holds_alternative<RadioField*>(model.Find("trigger")->field));
    EXPECT_EQ(model.Find("trigger_0"), nullptr);
}

// A page that refuses a value outside 1 to 500 and counts what it was asked.
class CountPage : public IDialogPage {
  public:
    int value = 50;
    int refreshes = 0;
    int stores = 0;
    void Refresh() override { ++refreshes; }
    bool Store(bool validate) override {
        ++stores;
        return !validate || (value >= 1 && value <= 500);
    }
};

TEST(DialogSheet, LeavingAPageStoresItAndARefusalKeepsItActive) {
    CDialogSheet sheet;
    CountPage rpm, timers;
    EXPECT_EQ(sheet.Active(), nullptr);
    EXPECT_TRUE(sheet.StoreActive());
    sheet.AddPage(rpm);
    sheet.AddPage(timers);
    EXPECT_EQ(sheet.ActivePage(), 0);
    EXPECT_EQ(rpm.refreshes, 1);  // the first page is shown at once
    EXPECT_EQ(timers.refreshes, 0);

    rpm.value = 501;
    EXPECT_FALSE(sheet.SetActivePage(1));
    EXPECT_EQ(sheet.ActivePage(), 0);
    EXPECT_EQ(timers.refreshes, 0);
    EXPECT_FALSE(sheet.StoreActive());

    rpm.value = 500;
    EXPECT_TRUE(sheet.SetActivePage(1));
    EXPECT_EQ(sheet.Active(), &timers);
    EXPECT_EQ(timers.refreshes, 1);
    const int stores = timers.stores;
    EXPECT_TRUE(sheet.SetActivePage(1));  // the page shown already: nothing stored
    EXPECT_EQ(timers.stores, stores);
    EXPECT_FALSE(sheet.SetActivePage(2));
    EXPECT_FALSE(sheet.SetActivePage(-1));
    EXPECT_EQ(sheet.ActivePage(), 1);
}

}  // namespace
}  // namespace orvex
