#include "VnDialogHeaderCtrl.h"

#include <algorithm>

#include "VnArray.h"
#include "VnLayout.h"

namespace {
constexpr int32_t kTextLeft = 20;      // where the title starts
constexpr int32_t kTabIndent = 16;     // one "\t" of the markup
constexpr int32_t kPadding = 10;       // above the title and below the subtitle
constexpr int32_t kLineGap = 3;        // between title and subtitle
}  // namespace

bool VnDialogHeaderCtrl::Create(VnWnd& parent, const VnRect& rect, int32_t id) {
    return CreateChild(parent, {}, rect, kVnOptWhiteBackground, id);
}

std::vector<VnDialogHeaderCtrl::Line> VnDialogHeaderCtrl::ParseMarkup(std::u16string_view markup) {
    std::vector<Line> lines;
    VnString text(markup);
    text.Replace(u"\r\n", u"\n");
    for (const VnString& raw : VnStringArray::Split(text, u"\n")) {
        Line line;
        int32_t at = 0;
        while (at < raw.GetLength() && raw[at] == u'\t') ++at;
        line.indent = at;
        line.text = raw.Mid(at);
        line.bold = line.text.Contains(u"<b>");
        line.text.Replace(u"<b>", u"");
        line.text.Replace(u"</b>", u"");
        lines.push_back(std::move(line));
    }
    return lines;
}

void VnDialogHeaderCtrl::SetMarkup(const VnString& markup) {
    markup_ = markup;
    std::vector<Line> lines = ParseMarkup(markup);
    title_ = lines.empty() ? Line{} : lines[0];
    subtitle_ = lines.size() > 1 ? lines[1] : Line{};
    for (size_t i = 2; i < lines.size(); ++i) subtitle_.text += u" " + lines[i].text;
    SetText(subtitle_.text.IsEmpty() ? title_.text : title_.text + u"\r\n" + subtitle_.text);
    ShowLines();
}

void VnDialogHeaderCtrl::ShowLines() {
    if (!IsCreated()) return;
    titleCtrl_.SetText(title_.text);
    titleCtrl_.SetBold(title_.bold);
    subtitleCtrl_.SetText(subtitle_.text);
    subtitleCtrl_.SetBold(subtitle_.bold);
    Layout();
}

bool VnDialogHeaderCtrl::SetIconFile(const VnString& path) {
    iconFile_ = path;
    if (!IsCreated()) return true;
    const bool ok = icon_.SetImageFile(path);
    icon_.Show(ok);
    return ok;
}

void VnDialogHeaderCtrl::BuildControls() {
    titleCtrl_.Create(*this, title_.text, {}, title_.bold ? kVnOptBold : kVnOptNone);
    subtitleCtrl_.Create(*this, subtitle_.text, {}, subtitle_.bold ? kVnOptBold : kVnOptNone);
    icon_.Create(*this, {});
    icon_.Show(!iconFile_.IsEmpty() && icon_.SetImageFile(iconFile_));
}

void VnDialogHeaderCtrl::Layout() {
    const VnRect area = GetClientRect();
    const int32_t iconSize = VnLayout::kIconSize;
    const int32_t textRight = area.right - VnLayout::kMargin - iconSize - VnLayout::kMargin;
    const int32_t titleHeight = VnLayout::LineHeight(title_.bold);
    int32_t top = kPadding;
    titleCtrl_.SetRect(VnRect{kTextLeft + title_.indent * kTabIndent, top, textRight, top + titleHeight});
    top += titleHeight + kLineGap;
    const int32_t subtitleLeft = kTextLeft + subtitle_.indent * kTabIndent;
    const int32_t subtitleWidth = std::max(0, textRight - subtitleLeft);
    subtitleCtrl_.SetRect(VnRect::At(subtitleLeft, top, subtitleWidth,
                                     VnLayout::TextHeight(subtitle_.text, subtitleWidth, subtitle_.bold)));
    icon_.SetRect(VnRect::At(area.right - VnLayout::kMargin - iconSize, (area.Height() - iconSize) / 2, iconSize, iconSize));
}

int32_t VnDialogHeaderCtrl::GetPreferredHeight(int32_t width) const {
    // Room for a subtitle of two lines whatever the current one needs, so
    // that a frame sized once fits every page's header.
    const int32_t textHeight = kPadding + VnLayout::LineHeight(true) + kLineGap + 2 * VnLayout::LineHeight() + kPadding;
    return std::max(textHeight, VnLayout::kIconSize + 2 * kPadding);
}
