// The tile pictures, decoded by WIC from the program's resources.
#include "tiles.h"

#include "window/design.h"

#include <wincodec.h>

#include <string>

namespace pellorin::win32 {
namespace {

// Owns one reference to a COM object.
template <class T>
class Com {
public:
    Com() = default;
    ~Com()
    {
        if (m_p)
            m_p->Release();
    }
    Com(const Com&) = delete;
    Com& operator=(const Com&) = delete;
    Com(Com&&) = delete;
    Com& operator=(Com&&) = delete;
    T* operator->() const { return m_p; }
    T* get() const { return m_p; }
    T** put() { return &m_p; }

private:
    T* m_p = nullptr;
};

std::wstring wide(std::string_view text)
{
    return {text.begin(), text.end()}; // resource names are ASCII
}

} // namespace

Tiles::~Tiles()
{
    for (auto& scales : m_bitmaps)
        for (HBITMAP bitmap : scales)
            if (bitmap)
                DeleteObject(bitmap);
}

HBITMAP Tiles::bitmap(int picture, int scale)
{
    if (picture < 1 || picture > 6 || scale < 1 || scale > 3)
        return nullptr;
    const auto p = static_cast<std::size_t>(picture - 1);
    const auto s = static_cast<std::size_t>(scale - 1);
    if (!m_tried[p][s]) {
        m_tried[p][s] = true;
        m_bitmaps[p][s] = decode(design::renderingPath(design::Pictures[p], scale));
    }
    return m_bitmaps[p][s];
}

// A PNG resource, decoded to a top-down 32-bit bitmap.
HBITMAP Tiles::decode(std::string_view resourceName)
{
    const std::wstring name = wide(resourceName);
    HRSRC found = FindResourceW(nullptr, name.c_str(), MAKEINTRESOURCEW(10)); // RT_RCDATA
    HGLOBAL loaded = found ? LoadResource(nullptr, found) : nullptr;
    auto* data = loaded ? static_cast<BYTE*>(LockResource(loaded)) : nullptr;
    if (!data)
        return nullptr;

    Com<IWICImagingFactory> factory;
    Com<IWICStream> stream;
    Com<IWICBitmapDecoder> decoder;
    Com<IWICBitmapFrameDecode> frame;
    Com<IWICBitmapSource> converted;
    if (FAILED(CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER, IID_PPV_ARGS(factory.put())))
        || FAILED(factory->CreateStream(stream.put()))
        || FAILED(stream->InitializeFromMemory(data, SizeofResource(nullptr, found)))
        || FAILED(
            factory->CreateDecoderFromStream(stream.get(), nullptr, WICDecodeMetadataCacheOnDemand, decoder.put()))
        || FAILED(decoder->GetFrame(0, frame.put()))
        || FAILED(WICConvertBitmapSource(GUID_WICPixelFormat32bppBGR, frame.get(), converted.put())))
        return nullptr;
    UINT width = 0;
    UINT height = 0;
    converted->GetSize(&width, &height);

    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = static_cast<LONG>(width);
    info.bmiHeader.biHeight = -static_cast<LONG>(height); // top-down
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* pixels = nullptr;
    HBITMAP bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &pixels, nullptr, 0);
    if (!bitmap)
        return nullptr;
    if (FAILED(converted->CopyPixels(nullptr, width * 4, width * height * 4, static_cast<BYTE*>(pixels)))) {
        DeleteObject(bitmap);
        return nullptr;
    }
    return bitmap;
}

} // namespace pellorin::win32
