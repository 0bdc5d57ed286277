// The delete-data dialog's check boxes follow the one chosen group through every question.
#include <gtest/gtest.h>

#include "model/DeleteDataSelection.h"
#include "support/FakeHost.h"

namespace orvex {
namespace {

// The names of the check boxes that are checked.
std::string Checked(const CDeleteDataSelection& sel) {
    std::string out;
    for (const NamedField& f : sel.Fields())
        if (std::get<CheckField*>(f.field)->checked) out += (out.empty() ? "" : " ") + f.name;
    return out;
}

TEST(DeleteDataSelection, CheckBoxesShowTheChoiceAfterEveryClick) {
    struct Step {
        const char* click;
        Answer answer;  // to the question the click asks, if any
        const char* checked;
        std::size_t questions;
    };
    const Step steps[] = {
        {"greenBefore", Answer::No, "greenBefore", 0},
        {"greenAfter", Answer::No, "greenBefore greenAfter", 0},
        {"redBefore", Answer::No, "greenBefore greenAfter", 1},  // No keeps green
        {"redBefore", Answer::Yes, "redBefore", 2},
        {"redBefore", Answer::No, "", 2},  // clicked again: cleared
        {"lapAfter", Answer::No, "lapAfter", 2},
        {"wholeDataset", Answer::No, "lapAfter", 3},
        {"wholeDataset", Answer::Yes, "wholeDataset", 4},
        {"wholeDataset", Answer::No, "", 4},  // clicked again: cleared
        {"wholeDataset", Answer::No, "wholeDataset", 4},
        {"greenAfter", Answer::No, "greenAfter", 4},  // a marker choice replaces the data-set
    };
    test::FakeHost host;
    CDeleteDataSelection sel(host);
    EXPECT_EQ(sel.BoundNames(),
              (std::vector<std::string>{"greenBefore", "greenAfter", "redBefore", "redAfter",
                                        "lapBefore", "lapAfter", "wholeDataset"}));
    for (const Step& s : steps) {
        host.answers = {s.answer};
        // The binder writes the clicked box before it tells the model.
        auto* box = std::get<CheckField*>(sel.Find(s.click)->field);
        box->checked = !box->checked;
        sel.Changed(s.click);
        EXPECT_EQ(Checked(sel), s.checked) << s.click;
        EXPECT_EQ(host.questions.size(), s.questions) << s.click;
    }
    EXPECT_EQ(host.questions[0],
              "Red Marker selection overlaps Green Marker selection.\nRemove Green Marker "
              "selection?");
    EXPECT_EQ(host.questions[2],
              "Entire Data-Set selection overlaps other marker selection(s).\nRemove other "
              "marker selection(s)?");
}

}  // namespace
}  // namespace orvex
