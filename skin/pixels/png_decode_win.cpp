// Windows side of DecodePng: the Windows Imaging Component. The header is checked before the
// decoder sees the data, so an oversized picture is refused before anything is allocated.

#include <objbase.h>
#include <wincodec.h>
#include <windows.h>

#include <cstdio>
#include <string>
#include <utility>

#include "platform/error.h"
#include "skin/pixels/png_decode.h"

namespace kestrune {

namespace {

// Owns one reference to a COM object.
template <typename T>
class ComRef {
 public:
  ComRef() = default;
  ComRef(const ComRef&) = delete;
  ComRef& operator=(const ComRef&) = delete;
  ~ComRef() {
    if (object_ != nullptr)
      object_->Release();
  }
  [[nodiscard]] T* operator->() const { return object_; }
  [[nodiscard]] T* Get() const { return object_; }
  [[nodiscard]] T** Out() { return &object_; }
  [[nodiscard]] void** OutVoid() { return reinterpret_cast<void**>(&object_); }

 private:
  T* object_ = nullptr;
};

// COM for this thread during one decode; a thread already in another apartment keeps it.
class ComScope {
 public:
  ComScope() : initialized_(SUCCEEDED(::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))) {}
  ComScope(const ComScope&) = delete;
  ComScope& operator=(const ComScope&) = delete;
  ~ComScope() {
    if (initialized_)
      ::CoUninitialize();
  }

 private:
  bool initialized_;
};

void Check(HRESULT result, const char* step) {
  if (FAILED(result)) {
    char code[16];
    std::snprintf(code, sizeof code, "0x%08lX", static_cast<unsigned long>(result));
    const bool damaged = result == WINCODEC_ERR_BADIMAGE || result == WINCODEC_ERR_BADHEADER ||
                         result == WINCODEC_ERR_UNKNOWNIMAGEFORMAT ||
                         result == WINCODEC_ERR_STREAMREAD ||
                         result == WINCODEC_ERR_STREAMNOTAVAILABLE;
    throw Error(std::string("Invalid PNG image: ") +
                (damaged ? "the data is damaged or incomplete" : "the decoder failed") + " (" +
                step + ", " + code + ")");
  }
}

}  // namespace

DecodedPng DecodePng(std::span<const std::uint8_t> bytes) {
  const PngSize size = CheckPngHeader(bytes);
  if (bytes.size() > MAXDWORD)
    throw Error("Invalid PNG image: the data is too long");

  ComScope com;
  ComRef<IWICImagingFactory> factory;
  Check(::CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER,
                           IID_IWICImagingFactory, factory.OutVoid()),
        "starting the imaging component");
  ComRef<IWICStream> stream;
  Check(factory->CreateStream(stream.Out()), "creating a stream");
  // The stream only reads; the cast is the interface's, not a write.
  Check(stream->InitializeFromMemory(const_cast<BYTE*>(bytes.data()),
                                     static_cast<DWORD>(bytes.size())),
        "reading the data");
  ComRef<IWICBitmapDecoder> decoder;
  Check(factory->CreateDecoder(GUID_ContainerFormatPng, nullptr, decoder.Out()),
        "creating the decoder");
  Check(decoder->Initialize(stream.Get(), WICDecodeMetadataCacheOnDemand), "reading the header");
  ComRef<IWICBitmapFrameDecode> frame;
  Check(decoder->GetFrame(0, frame.Out()), "reading the picture");
  UINT width = 0;
  UINT height = 0;
  Check(frame->GetSize(&width, &height), "reading the size");
  if (width != static_cast<UINT>(size.width) || height != static_cast<UINT>(size.height))
    throw Error("Invalid PNG image: the decoder disagrees about the size");

  ComRef<IWICFormatConverter> converter;
  Check(factory->CreateFormatConverter(converter.Out()), "creating the converter");
  Check(converter->Initialize(frame.Get(), GUID_WICPixelFormat32bppBGRA, WICBitmapDitherTypeNone,
                              nullptr, 0.0, WICBitmapPaletteTypeCustom),
        "converting the pixels");

  DecodedPng result;
  result.width = size.width;
  result.height = size.height;
  const UINT stride = width * 4;
  result.bgra.resize(std::size_t{stride} * height);
  Check(converter->CopyPixels(nullptr, stride, static_cast<UINT>(result.bgra.size()),
                              result.bgra.data()),
        "decoding the pixels");
  return result;
}

}  // namespace kestrune
