// Where the windows put controls, with the measures of a made-up toolkit:
// nothing overlaps, every control lies in its group, spare height goes to
// the list, and the header gives way on a short screen.
#include "ui/page_layout.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

namespace sondrix {
namespace {

// Every text is 7 pixels a character and 15 high; at `scale` times 96 dpi.
class CFakeMetrics final : public ILayoutMetrics {
  public:
    explicit CFakeMetrics(double scale) : m_scale(scale) {}
    SLayoutSize ControlSize(const CDialogModel&, const SControl& control) const override {
        const int width = static_cast<int>(control.text.size()) * 7 + 20;
        if (control.kind == EControlKind::List) {
            return {S(200), S(120)};
        }
        return {std::max(S(60), width), S(23)};
    }
    bool Stretches(const CDialogModel&, const SControl&) const override { return true; }
    SLayoutSize LabelSize(const std::string& text) const override {
        return {static_cast<int>(text.size()) * 7, S(15)};
    }
    SLayoutMargins GroupFrame(const std::string&) const override {
        return {S(8), S(19), S(8), S(8)};
    }
    double Scale() const override { return m_scale; }

  private:
    int S(int length) const { return static_cast<int>(length * m_scale); }
    double m_scale;
};

bool Inside(const SLayoutRect& inner, const SLayoutRect& outer) {
    return inner.x >= outer.x && inner.y >= outer.y && inner.Right() <= outer.Right() &&
           inner.Bottom() <= outer.Bottom();
}

bool Overlap(const SLayoutRect& a, const SLayoutRect& b) {
    return a.x < b.Right() && b.x < a.Right() && a.y < b.Bottom() && b.y < a.Bottom();
}

CDialogModel& MakePage(CDialogModel& page) {
    page.AddEdit(10, "Address:", "Read", 8);
    page.AddButton(11, "Read data", "Read");
    page.AddCombo(12, "Port:", "Read", {"0", "1"});
    page.AddCheck(20, "Latent", "Options");
    page.AddCheck(21, "Relay", "Options");
    page.AddRadio(22, "All logs", "Options");
    page.AddControl(30, EControlKind::List).group = "Users";
    page.AddButton(31, "Get List", "Users");
    page.AddButton(32, "Hidden", "Users").visible = false;
    page.AddButton(IDOK, "OK", {});
    page.AddButton(IDCANCEL, "Cancel", {});
    return page;
}

TEST(PageLayoutTest, ControlsLieInTheirGroupsWithoutOverlapAtAnyScale) {
    for (double scale : {1.0, 2.0}) {
        SCOPED_TRACE(scale);
        CDialogModel page("page", "Page");
        const CFakeMetrics metrics(scale);
        const SPageLayout layout = LayOutPage(MakePage(page), metrics, {});
        EXPECT_EQ(layout.Find(32), nullptr) << "a hidden control takes no room";
        ASSERT_EQ(layout.groups.size(), 3u);
        for (const SPlacedControl& control : layout.controls) {
            const SControl& model = page.Control(control.id);
            EXPECT_TRUE(Inside(control.rect, {0, 0, layout.natural.width, layout.natural.height}))
                << control.id;
            for (const SPlacedGroup& group : layout.groups) {
                if (group.caption == model.group) {
                    EXPECT_TRUE(Inside(control.rect, group.rect)) << control.id;
                }
            }
            for (const SPlacedControl& other : layout.controls) {
                if (other.id != control.id) {
                    EXPECT_FALSE(Overlap(control.rect, other.rect))
                        << control.id << " " << other.id;
                }
            }
        }
        // The button after a field sits beside it; OK and Cancel at the bottom right.
        EXPECT_EQ(layout.Find(11)->rect.y, layout.Find(10)->rect.y);
        EXPECT_GT(layout.Find(11)->rect.x, layout.Find(10)->rect.Right());
        EXPECT_EQ(layout.Find(IDCANCEL)->rect.Right(),
                  layout.natural.width - static_cast<int>(kLayoutBoxMargin * scale));
        EXPECT_LT(layout.Find(IDOK)->rect.x, layout.Find(IDCANCEL)->rect.x);
    }
}

TEST(PageLayoutTest, SpareHeightGoesToTheList) {
    CDialogModel page("page", "Page");
    const CFakeMetrics metrics(1.0);
    MakePage(page);
    const SPageLayout natural = LayOutPage(page, metrics, {});
    const SPageLayout tall =
        LayOutPage(page, metrics, {natural.natural.width, natural.natural.height + 200});
    EXPECT_EQ(tall.Find(30)->rect.height, natural.Find(30)->rect.height + 200);
    EXPECT_EQ(tall.Find(10)->rect.height, natural.Find(10)->rect.height);
}

TEST(PageLayoutTest, TheHeaderGivesWayOnAShortScreenAndTheTracerKeepsItsRows) {
    SWindowParts parts;
    parts.header = 62;
    parts.chrome = 50;
    parts.pages = {1000, 450};
    parts.tracer = 130;
    parts.tracerMinimum = 70;
    parts.width = 600;
    const SWindowFit roomy = FitWindow(parts, {1366, 720}, false, {615, 570});
    EXPECT_TRUE(roomy.showHeader);
    EXPECT_EQ(roomy.pages, 450);
    EXPECT_EQ(roomy.tracer, 130);
    const SWindowFit laptop = FitWindow(parts, {1366, 640}, false, {615, 570});
    EXPECT_FALSE(laptop.showHeader);
    EXPECT_EQ(laptop.window.height, 630);
    const SWindowFit tiny = FitWindow(parts, {1366, 500}, false, {615, 570});
    EXPECT_EQ(tiny.tracer, 70) << "the pages give way before the tracer's minimum";
    const SWindowFit small = FitWindow(parts, {790, 560}, true, {615, 570});
    EXPECT_FALSE(small.showHeader);
    EXPECT_EQ(small.window.width, 615);
    EXPECT_EQ(small.window.height, 560);
}

}  // namespace
}  // namespace sondrix
