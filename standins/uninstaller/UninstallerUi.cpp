#include "UninstallerUi.h"

#include "VnPlatform.h"

namespace {
constexpr int32_t kListedFiles = 10;  // a longer list is cut, with the count of the rest
}  // namespace

bool UninstallerUi::Run(const UninstallerWindow::Work& work, UninstallOutcome& outcome) {
    if (silent_) {
        outcome = work([](int, int, const VnString&) {});
        return true;
    }
    UninstallerWindow window(productName_, QuestionText(), work,
                             [this](const UninstallOutcome& done) { return SummaryText(done); });
    return window.Run(outcome);
}

bool UninstallerUi::AskToCloseProgram() {
    if (silent_) return true;
    const VnString text = VnString::Format(
        u"%s is running.\r\n\r\nDo you want to close %s and remove it? Choose No to keep it open; nothing is removed.",
        productName_, productName_);
    return VnPlatform().Shell().MessageBox(text, Title(), vnwin::kMbYesNo | vnwin::kMbIconQuestion) == vnwin::kIdYes;
}

VnString UninstallerUi::QuestionText() const {
    VnString text = VnString::Format(u"Do you want to remove %s and all of its components from this computer?\r\n\r\n",
                                     productName_);
    text += removeSettings_ ? VN_LIT(u"Your settings and the media library files are removed too.")
                            : VN_LIT(u"Your settings and your media library are kept.");
    return text;
}

VnString UninstallerUi::SummaryText(const UninstallOutcome& outcome) const {
    VnString text = VnString::Format(u"%s was removed from this computer.\r\n", productName_);
    auto list = [&text](const VnStringArray& paths) {
        for (int32_t i = 0; i < paths.GetSize() && i < kListedFiles; ++i) text += u"    " + paths[i] + u"\r\n";
        if (paths.GetSize() > kListedFiles)
            text += VnString::Format(u"    and %d more\r\n", int(paths.GetSize() - kListedFiles));
    };
    if (!removeSettings_)
        text += dataFolder_.IsEmpty()
                    ? VnString(u"\r\nYour settings and your media library are kept.\r\n")
                    : VnString::Format(u"\r\nYour settings and your media library are kept in:\r\n    %s\r\n", dataFolder_);
    if (!outcome.userFiles.IsEmpty()) {
        text += u"\r\nThese files were not made by the install; they stay, with their folders:\r\n";
        list(outcome.userFiles);
    }
    if (!outcome.atRestart.IsEmpty()) {
        text += u"\r\nSome files are in use. They are removed when Windows restarts:\r\n";
        list(outcome.atRestart);
    }
    if (!outcome.notRemoved.IsEmpty()) {
        text += u"\r\nThese files could not be removed:\r\n";
        list(outcome.notRemoved);
    }
    return text;
}

void UninstallerUi::ShowFailure(const VnString& why) {
    failures_.Add(why);
    if (silent_) return;
    VnPlatform().Shell().MessageBox(why + u"\r\n\r\nNothing was removed.\r\n", Title(),
                                    vnwin::kMbOk | vnwin::kMbIconError);
}

void UninstallerUi::WriteLog(const VnStringArray& lines) {
    const VnString folder = VnPlatform().System().GetSpecialFolder(vnwin::kCsidlLocalAppData);
    if (folder.IsEmpty()) return;
    std::string text;
    for (const VnStringArray* part : {static_cast<const VnStringArray*>(&failures_), &lines})
        for (const VnString& line : *part) text += line.ToUtf8() + "\r\n";
    VnPlatform().Files().WriteFile(folder + u"\\Temp\\VnMediaUninstall.log", text);
}
