#include "system/FramePicture.h"

#include <windows.h>

#include <shlwapi.h>
#include <wincodec.h>
#include <wrl/client.h>

#include <algorithm>
#include <cstdint>

#include "rtl/Errors.h"

namespace sys {

using Microsoft::WRL::ComPtr;

namespace {

void Check(HRESULT result, const char* step) {
    if (FAILED(result))
        throw rtl::EReadError(std::string("The picture cannot be ") + step + ".");
}

} // namespace

std::string ShrunkPng(const std::string& picture, int maxSide) {
    ComPtr<IWICImagingFactory> factory;
    Check(CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER,
                           IID_PPV_ARGS(&factory)),
          "read: the imaging component is missing");
    ComPtr<IStream> in;
    in.Attach(SHCreateMemStream(reinterpret_cast<const BYTE*>(picture.data()),
                                static_cast<UINT>(picture.size())));
    if (!in)
        throw rtl::EOutOfMemory();
    ComPtr<IWICBitmapDecoder> decoder;
    Check(factory->CreateDecoderFromStream(in.Get(), nullptr, WICDecodeMetadataCacheOnDemand,
                                           &decoder),
          "read");
    ComPtr<IWICBitmapFrameDecode> frame;
    Check(decoder->GetFrame(0, &frame), "read");
    UINT width = 0, height = 0;
    Check(frame->GetSize(&width, &height), "read");
    if (width == 0 || height == 0)
        throw rtl::EReadError("The picture cannot be read.");
    const double scale = std::min(1.0, double(maxSide) / double(std::max(width, height)));
    const UINT w = std::max(1u, static_cast<UINT>(width * scale + 0.5));
    const UINT h = std::max(1u, static_cast<UINT>(height * scale + 0.5));
    ComPtr<IWICBitmapScaler> scaler;
    Check(factory->CreateBitmapScaler(&scaler), "shrunk");
    Check(scaler->Initialize(frame.Get(), w, h, WICBitmapInterpolationModeFant), "shrunk");
    ComPtr<IWICFormatConverter> opaque;
    Check(factory->CreateFormatConverter(&opaque), "shrunk");
    Check(opaque->Initialize(scaler.Get(), GUID_WICPixelFormat24bppBGR, WICBitmapDitherTypeNone,
                             nullptr, 0, WICBitmapPaletteTypeCustom),
          "shrunk");

    ComPtr<IStream> out;
    Check(CreateStreamOnHGlobal(nullptr, TRUE, &out), "written");
    ComPtr<IWICBitmapEncoder> encoder;
    Check(factory->CreateEncoder(GUID_ContainerFormatPng, nullptr, &encoder), "written");
    Check(encoder->Initialize(out.Get(), WICBitmapEncoderNoCache), "written");
    ComPtr<IWICBitmapFrameEncode> target;
    ComPtr<IPropertyBag2> options;
    Check(encoder->CreateNewFrame(&target, &options), "written");
    Check(target->Initialize(options.Get()), "written");
    Check(target->SetSize(w, h), "written");
    WICPixelFormatGUID format = GUID_WICPixelFormat24bppBGR;
    Check(target->SetPixelFormat(&format), "written");
    Check(target->WriteSource(opaque.Get(), nullptr), "written");
    Check(target->Commit(), "written");
    Check(encoder->Commit(), "written");

    STATSTG stat{};
    Check(out->Stat(&stat, STATFLAG_NONAME), "written");
    std::string png(static_cast<size_t>(stat.cbSize.QuadPart), '\0');
    ULONG read = 0;
    Check(out->Seek(LARGE_INTEGER{}, STREAM_SEEK_SET, nullptr), "written");
    Check(out->Read(png.data(), static_cast<ULONG>(png.size()), &read), "written");
    png.resize(read);
    return png;
}

} // namespace sys
