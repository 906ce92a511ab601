#include "platform/dialog_model.h"

#include <gtest/gtest.h>

#include <memory>

namespace sondrix {
namespace {

TEST(DialogModel, EveryObserverHearsChangesUntilItIsGone) {
    CDialogModel model("page", "Page");
    model.AddEdit(10, "Name", "Group");
    std::vector<int> first;
    std::vector<int> second;
    auto watchSecond =
        std::make_unique<CDialogObserver>(model, [&](int id) { second.push_back(id); });
    // The first observer closes the second one's view while a change is reported.
    CDialogObserver watchFirst(model, [&](int id) {
        first.push_back(id);
        watchSecond.reset();
    });
    model.SetText(10, "a");
    EXPECT_EQ(second, std::vector<int>{10}) << "registered earlier, called before the removal";
    EXPECT_EQ(first, std::vector<int>{10});
    model.SetText(10, "b");
    EXPECT_EQ(second.size(), 1u) << "a removed observer is never called again";
    EXPECT_EQ(first, (std::vector<int>{10, 10}));
}

TEST(DialogModel, ThePersonCannotActOnDisabledHiddenOrDisabledWindowControls) {
    CDialogModel model("page", "Page");
    model.AddCheck(1, "Box", "G");
    model.AddCombo(2, "List", "G", {"a", "b"});
    model.Enable(1, false);
    model.Click(1);
    EXPECT_FALSE(model.IsChecked(1));
    model.Enable(1, true);
    model.EnableWindow(false);
    model.Click(1);
    model.Select(2, 1);
    EXPECT_FALSE(model.IsChecked(1));
    EXPECT_EQ(model.Selection(2), 0);
    model.EnableWindow(true);
    model.Click(1);
    model.Select(2, 5);
    EXPECT_TRUE(model.IsChecked(1));
    EXPECT_EQ(model.Selection(2), 0) << "a row beyond the list is refused";
}

}  // namespace
}  // namespace sondrix
