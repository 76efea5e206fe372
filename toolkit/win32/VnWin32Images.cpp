// Pictures through the Windows Imaging Component: PNG, JPEG and icon files
// decoded, scaled to fit the control with their proportions kept, and laid
// on the control's background (a 24-bit bitmap, which the static control
// shows as it is).
#include "VnWin32Native.h"

#include <algorithm>
#include <vector>

#include "VnStatic.h"

namespace {
template <class T>
class ComPtr {
public:
    ComPtr() = default;
    ComPtr(const ComPtr&) = delete;
    ComPtr& operator=(const ComPtr&) = delete;
    ~ComPtr() {
        if (p_) p_->Release();
    }
    T* operator->() const { return p_; }
    T* get() const { return p_; }
    T** put() { return &p_; }
    explicit operator bool() const { return p_ != nullptr; }

private:
    T* p_ = nullptr;
};

// The frame to show: for files with several (icons) the smallest that is at
// least `wanted` pixels wide, else the largest.
bool PickFrame(IWICBitmapDecoder* decoder, int wanted, ComPtr<IWICBitmapFrameDecode>& frame) {
    UINT count = 0;
    if (FAILED(decoder->GetFrameCount(&count)) || count == 0) return false;
    UINT best = 0, bestWidth = 0;
    for (UINT i = 0; i < count && count > 1; ++i) {
        ComPtr<IWICBitmapFrameDecode> candidate;
        UINT w = 0, h = 0;
        if (FAILED(decoder->GetFrame(i, candidate.put())) || FAILED(candidate->GetSize(&w, &h))) continue;
        const bool bigEnough = int(w) >= wanted;
        const bool bestBigEnough = int(bestWidth) >= wanted;
        if (bestWidth == 0 || (bigEnough && (!bestBigEnough || w < bestWidth)) || (!bigEnough && !bestBigEnough && w > bestWidth)) {
            best = i;
            bestWidth = w;
        }
    }
    return SUCCEEDED(decoder->GetFrame(best, frame.put()));
}
}  // namespace

HRESULT VnBackend::Native::CreateInstance(REFCLSID clsid, REFIID iid, void** object) {
    HRESULT hr = CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, iid, object);
    if (hr == CO_E_NOTINITIALIZED && !comStarted && SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))) {
        comStarted = true;
        hr = CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, iid, object);
    }
    return hr;
}

HBITMAP VnBackend::Native::RenderPicture(const VnString& path, int width, int height, COLORREF background, bool& readable) {
    readable = false;
    ComPtr<IWICImagingFactory> factory;
    ComPtr<IWICBitmapDecoder> decoder;
    ComPtr<IWICBitmapFrameDecode> frame;
    if (FAILED(CreateInstance(CLSID_WICImagingFactory, IID_IWICImagingFactory, reinterpret_cast<void**>(factory.put()))) ||
        FAILED(factory->CreateDecoderFromFilename(VnWide(path), nullptr, GENERIC_READ, WICDecodeMetadataCacheOnDemand,
                                                  decoder.put())) ||
        !PickFrame(decoder.get(), std::min(width, height), frame))
        return nullptr;
    UINT frameWidth = 0, frameHeight = 0;
    if (FAILED(frame->GetSize(&frameWidth, &frameHeight)) || frameWidth == 0 || frameHeight == 0) return nullptr;
    readable = true;
    if (width <= 0 || height <= 0) return nullptr;

    const double scale = std::min(double(width) / frameWidth, double(height) / frameHeight);
    const UINT shownWidth = std::max(1u, UINT(frameWidth * scale + 0.5));
    const UINT shownHeight = std::max(1u, UINT(frameHeight * scale + 0.5));
    ComPtr<IWICFormatConverter> converter;
    ComPtr<IWICBitmapScaler> scaler;
    if (FAILED(factory->CreateFormatConverter(converter.put())) ||
        FAILED(converter->Initialize(frame.get(), GUID_WICPixelFormat32bppPBGRA, WICBitmapDitherTypeNone, nullptr, 0,
                                     WICBitmapPaletteTypeCustom)) ||
        FAILED(factory->CreateBitmapScaler(scaler.put())) ||
        FAILED(scaler->Initialize(converter.get(), shownWidth, shownHeight, WICBitmapInterpolationModeFant)))
        return nullptr;
    std::vector<BYTE> source(size_t(shownWidth) * shownHeight * 4);
    if (FAILED(scaler->CopyPixels(nullptr, shownWidth * 4, UINT(source.size()), source.data()))) return nullptr;

    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;  // top-down
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (!bitmap) return nullptr;
    const int stride = (width * 3 + 3) & ~3;
    const BYTE back[3] = {GetBValue(background), GetGValue(background), GetRValue(background)};
    const int left = (width - int(shownWidth)) / 2;
    const int top = (height - int(shownHeight)) / 2;
    auto* target = static_cast<BYTE*>(bits);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            BYTE* out = target + y * stride + x * 3;
            const int sx = x - left, sy = y - top;
            if (sx < 0 || sy < 0 || sx >= int(shownWidth) || sy >= int(shownHeight)) {
                std::copy(back, back + 3, out);
                continue;
            }
            const BYTE* in = source.data() + (size_t(sy) * shownWidth + sx) * 4;  // premultiplied BGRA
            for (int c = 0; c < 3; ++c) out[c] = BYTE(in[c] + back[c] * (255 - in[3]) / 255);
        }
    }
    return bitmap;
}

bool VnBackend::Native::ShowPicture(VnImageCtrl& image, const VnString& path) {
    bool readable = false;
    HBITMAP bitmap = RenderPicture(path, ToPixels(image.rect_.Width()), ToPixels(image.rect_.Height()), BackgroundOf(image),
                                   readable);
    if (bitmap) {
        HWND hwnd = Hwnd(image);
        if (HGDIOBJ old = reinterpret_cast<HGDIOBJ>(SendMessageW(hwnd, STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(bitmap))))
            DeleteObject(old);
        // The control takes the bitmap's size; it keeps the rectangle it was given.
        const RECT rect = PixelRect(image.rect_);
        SetWindowPos(hwnd, nullptr, rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top,
                     SWP_NOZORDER | SWP_NOACTIVATE);
    }
    return readable;
}

bool VnBackend::LoadImage(VnImageCtrl& image, const VnString& path) { return Native::ShowPicture(image, path); }
