// Message boxes through the platform's MessageBoxW. A box with buttons of its
// own is shown as the standard box with as many buttons (OK; OK and Cancel;
// Yes, No and Cancel), its own labels named under the text where they differ
// from the standard ones; the answer is the index of the button.
#include "ToolsLibrary.h"
#include "VnPlatform.h"

namespace {

constexpr char16_t kSource[] = u"VnTools::MessageBox";
constexpr uint32_t kMbYesNoCancel = 0x3;

struct StandardButtons {
    uint32_t type;
    int ids[3];
    const char16_t* labels[3];
};

const StandardButtons& ButtonsFor(int count) {
    static const StandardButtons one{vnwin::kMbOk, {vnwin::kIdOk}, {u"OK"}};
    static const StandardButtons two{vnwin::kMbOkCancel, {vnwin::kIdOk, vnwin::kIdCancel}, {u"OK", u"Cancel"}};
    static const StandardButtons three{
        kMbYesNoCancel, {vnwin::kIdYes, vnwin::kIdNo, vnwin::kIdCancel}, {u"Yes", u"No", u"Cancel"}};
    return count <= 1 ? one : count == 2 ? two : three;
}

}  // namespace

int VnToolsLibrary::ShowBox(const VnString& text, const VnString& title, uint32_t type) {
    log_.Write(kSource, VnString::Format(u"\"%s\": %s", title, text));
    log_.Flush();  // the user may end the process while the box is up
    int answer = VnPlatform().Shell().MessageBox(text, title, type);
    log_.Write(kSource, VnString::Format(u"\"%s\" answered %d", title, answer));
    return answer;
}

int VnToolsLibrary::ShowMessage(const VnString& text, const VnString& title) {
    return ShowBox(text, title, vnwin::kMbOk);
}

int VnToolsLibrary::AskQuestion(const VnString& text, const VnString& title) {
    return ShowBox(text, title, vnwin::kMbYesNo | vnwin::kMbIconQuestion);
}

int VnToolsLibrary::ShowMessageWithButtons(const VnString& text, const VnString& title, const VnString& first,
                                           const VnString& second, const VnString& third) {
    const VnString* given[3] = {&first, &second, &third};
    int indexes[3];
    int count = 0;
    for (int i = 0; i < 3; ++i)
        if (!given[i]->IsEmpty()) indexes[count++] = i;
    const StandardButtons& standard = ButtonsFor(count);
    VnString shown = text;
    VnString legend;
    for (int b = 0; b < count; ++b) {
        const VnString& label = *given[indexes[b]];
        if (label.EqualsNoCase(standard.labels[b])) continue;
        if (!legend.IsEmpty()) legend += u", ";
        legend += VnString::Format(u"%s: %s", standard.labels[b], label);
    }
    if (!legend.IsEmpty()) shown += u"\r\n\r\n(" + legend + u")";
    int answer = ShowBox(shown, title, standard.type);
    for (int b = 0; b < count; ++b)
        if (standard.ids[b] == answer) return indexes[b];
    return -1;
}
