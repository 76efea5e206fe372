// Message boxes through the platform: the standard MessageBoxW, and a box with
// buttons of its own labels (the platform's own dialog, which keeps the
// standard box's keyboard); the answer is the index of the label given.
#include "ToolsLibrary.h"
#include "VnPlatform.h"

namespace {

constexpr char16_t kSource[] = u"VnTools::MessageBox";
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
    int indexes[3] = {-1, -1, -1};  // the index given of each button shown
    VnStringArray labels;
    for (int i = 0; i < 3; ++i)
        if (!given[i]->IsEmpty()) {
            indexes[labels.GetSize()] = i;
            labels.Add(*given[i]);
        }
    if (labels.IsEmpty()) labels.Add(VnString(u"OK"));  // a box needs a button to be closed with
    log_.Write(kSource, VnString::Format(u"\"%s\" (%s): %s", title, labels.Join(u"/"), text));
    log_.Flush();  // the user may end the process while the box is up
    const int pressed = VnPlatform().Shell().MessageBoxWithButtons(text, title, labels);
    const int answer = pressed >= 0 && pressed < 3 ? indexes[pressed] : -1;
    log_.Write(kSource, VnString::Format(u"\"%s\" answered %d", title, answer));
    return answer;
}
