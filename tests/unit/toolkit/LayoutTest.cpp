// Layout and text helpers, and the gallery's pages laid out with the
// implementation's own font metrics (both implementations): nothing
// clipped, nothing outside its parent, buttons wide enough for their labels.
#include "ToolkitTestSupport.h"

#include <functional>

#include "VnLayout.h"

namespace {

class LayoutTest : public ToolkitTest {};

// Every window on screen below `wnd`, with its parent.
void ForEachShown(VnWnd& wnd, const std::function<void(VnWnd& child, VnWnd& parent)>& visit) {
    for (VnWnd* child : wnd.GetChildren()) {
        if (!child->IsCreated() || !child->IsVisible()) continue;
        visit(*child, wnd);
        ForEachShown(*child, visit);
    }
}

std::string Name(const VnWnd& wnd) {
    std::string name(1, '"');
    name += Utf8(wnd.GetText());
    name += "\" (id ";
    name += std::to_string(wnd.GetId());
    return name + ")";
}

}  // namespace

TEST_F(LayoutTest, MnemonicsLineEndsAndHeaderMarkup) {
    EXPECT_EQ(VnWnd::StripMnemonic(u"&Next >"), u"Next >");
    EXPECT_EQ(VnWnd::StripMnemonic(u"Save && &Quit&"), u"Save & Quit");
    EXPECT_EQ(VnEditCtrl::NormalizeLineEnds(u"a\nb\r\nc\rd\n\n"), u"a\r\nb\r\nc\r\nd\r\n\r\n");

    const auto lines = VnDialogHeaderCtrl::ParseMarkup(u"<b>Setup Type</b>\r\n\tChoose one.\r\nMore");
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[0].text, u"Setup Type");
    EXPECT_TRUE(lines[0].bold);
    EXPECT_EQ(lines[0].indent, 0);
    EXPECT_EQ(lines[1].text, u"Choose one.");
    EXPECT_FALSE(lines[1].bold);
    EXPECT_EQ(lines[1].indent, 1);
    EXPECT_EQ(lines[2].text, u"More");
}

TEST_F(LayoutTest, ColumnsStackControlsAndButtonsFitTheirLabels) {
    VnColumn column(VnRect{10, 20, 210, 120});
    EXPECT_EQ(column.Take(15), (VnRect{10, 20, 210, 35}));
    column.Skip(5);
    EXPECT_EQ(column.Take(10, 18), (VnRect{28, 40, 210, 50}));
    EXPECT_EQ(column.Remaining(), 70);
    EXPECT_EQ(VnLayout::ButtonWidth(u"OK"), VnLayout::kButtonWidth);
    const VnString longLabel(u"A label much longer than any standard push button");
    EXPECT_GE(VnLayout::ButtonWidth(longLabel), VnLayout::TextWidth(longLabel) + 2 * VnLayout::kMargin);
    EXPECT_GT(VnLayout::TextHeight(longLabel, 60), VnLayout::LineHeight());
    EXPECT_EQ(VnLayout::TextHeight(u"", 60), VnLayout::LineHeight());
}

TEST_F(LayoutTest, GalleryPagesFitTheirAreaAndShowTheirTextsWhole) {
    for (int32_t page = 0; page < 5; ++page) {
        SCOPED_TRACE("page " + std::to_string(page));
        gallery::Wizard wizard;
        wizard.startPage = page;
        ASSERT_TRUE(wizard.Create());
        ASSERT_EQ(wizard.GetCurrentIndex(), page);
        wizard.Show(true);
        ForEachShown(wizard, [&](VnWnd& child, VnWnd& parent) {
            const VnRect r = child.GetRect();
            const VnRect area = parent.GetClientRect();
            EXPECT_TRUE(r.left >= 0 && r.top >= 0 && r.right <= area.right && r.bottom <= area.bottom)
                << Name(child) << " leaves its parent " << Name(parent);
            const VnWndKind kind = child.GetKind();
            if (kind == VnWndKind::Static || kind == VnWndKind::Checkbox || kind == VnWndKind::Radio ||
                kind == VnWndKind::Button) {
                EXPECT_GE(r.Height(), child.GetPreferredHeight(r.Width())) << Name(child) << " is cut off";
            }
            if (kind == VnWndKind::Button) {
                EXPECT_GE(r.Width(), VnLayout::ButtonWidth(child.GetText())) << Name(child) << " is too narrow";
            }
        });
        // Controls of one parent do not overlap.
        ForEachShown(wizard, [&](VnWnd& child, VnWnd& parent) {
            for (VnWnd* other : parent.GetChildren()) {
                if (other == &child || !other->IsVisible() || other->GetKind() == VnWndKind::Pane) continue;
                if (child.GetKind() == VnWndKind::Pane) continue;
                const VnRect a = child.GetRect(), b = other->GetRect();
                EXPECT_FALSE(a.left < b.right && b.left < a.right && a.top < b.bottom && b.top < a.bottom)
                    << Name(child) << " overlaps " << Name(*other);
            }
        });
    }
}
