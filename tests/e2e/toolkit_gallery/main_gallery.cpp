// toolkit_gallery.exe: shows the toolkit gallery wizard.
//   --page N         open at page N (0 to 4)
//   --art FOLDER     folder with the pictures of the copy page ("Promo1.png")
//   --picture FILE   the copy page's picture (default FOLDER\Promo1.png)
//   --icon FILE      the window's and the header's icon
//   --close-after MS end by itself after MS milliseconds (for screenshots)
//   --describe MS    print the description of the window after MS milliseconds
#include <cstdio>
#include <cwchar>

#include "GalleryWizard.h"
#include "VnUiDriver.h"

namespace {
constexpr uint32_t kCloseTimer = 1;
constexpr uint32_t kDescribeTimer = 2;

class GalleryWindow : public gallery::Wizard {
public:
    uint32_t closeAfter = 0;
    uint32_t describeAfter = 0;

protected:
    void BuildControls() override {
        gallery::Wizard::BuildControls();
        if (closeAfter) SetTimer(kCloseTimer, closeAfter);
        if (describeAfter) SetTimer(kDescribeTimer, describeAfter);
    }
    void OnTimer(uint32_t id) override {
        KillTimer(id);
        if (id == kCloseTimer) Close(0);
        if (id == kDescribeTimer) {
            std::fputs(VnUiDriver(this).Describe().ToUtf8().c_str(), stdout);
            std::fflush(stdout);
        }
    }
};
}  // namespace

int wmain(int argc, wchar_t** argv) {
    GalleryWindow window;
    VnString art;
    VnString picture;
    for (int i = 1; i + 1 < argc; i += 2) {
        const VnString value = VnString::FromWide(argv[i + 1]);
        if (!std::wcscmp(argv[i], L"--page")) window.startPage = VnString::ParseInt(value);
        else if (!std::wcscmp(argv[i], L"--art")) art = value;
        else if (!std::wcscmp(argv[i], L"--picture")) picture = value;
        else if (!std::wcscmp(argv[i], L"--icon")) window.iconFile = value;
        else if (!std::wcscmp(argv[i], L"--close-after")) window.closeAfter = uint32_t(VnString::ParseInt(value));
        else if (!std::wcscmp(argv[i], L"--describe")) window.describeAfter = uint32_t(VnString::ParseInt(value));
    }
    if (!art.IsEmpty() && !art.EndsWith(u"\\")) art += u"\\";
    window.copy.pictureFile = !picture.IsEmpty() ? picture : art.IsEmpty() ? VnString() : art + u"Promo1.png";
    if (!VnToolkit::Initialize()) return 1;
    const int result = window.DoModal();
    VnToolkit::Shutdown();
    return result < 0 ? 1 : 0;
}
