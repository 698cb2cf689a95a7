// The PNG codec on the Windows Imaging Component, which every Windows since
// Vista ships: only PNG is accepted, decoded to 32-bit BGRA (the game's
// A8R8G8B8 words in memory order).
#include <windows.h>
#include <objbase.h>
#include <wincodec.h>

#include <cstring>

#include "platform/png_image.h"

namespace {

constexpr UINT kMaxDimension = 8192;

// Releases a COM pointer when it goes out of scope.
template <typename T>
struct Com {
  T* p = nullptr;
  ~Com() {
    if (p) p->Release();
  }
  T** operator&() { return &p; }
  T* operator->() const { return p; }
};

// WIC needs COM on the calling thread; the first call on a thread starts it
// (in whatever mode the thread already uses).
IWICImagingFactory* Factory(std::string* why) {
  thread_local bool started = false;
  if (!started) {
    const HRESULT hr = CoInitializeEx(nullptr, COINIT_MULTITHREADED);
    started = SUCCEEDED(hr) || hr == RPC_E_CHANGED_MODE;
  }
  IWICImagingFactory* factory = nullptr;
  if (FAILED(CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER,
                              IID_PPV_ARGS(&factory)))) {
    *why = "the Windows Imaging Component is not available";
    return nullptr;
  }
  return factory;
}

}  // namespace

bool DecodePng(const uint8_t* bytes, size_t size, Image* out, std::string* why) {
  static const uint8_t kSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
  if (size < 8 || std::memcmp(bytes, kSignature, 8) != 0) {
    *why = "not a PNG file";
    return false;
  }
  if (size > 0x7FFFFFFF) {
    *why = "file too large";
    return false;
  }
  Com<IWICImagingFactory> factory;
  factory.p = Factory(why);
  if (!factory.p) return false;
  Com<IWICStream> stream;
  Com<IWICBitmapDecoder> decoder;
  Com<IWICBitmapFrameDecode> frame;
  Com<IWICFormatConverter> converter;
  UINT w = 0, h = 0;
  if (FAILED(factory->CreateStream(&stream)) ||
      FAILED(stream->InitializeFromMemory(const_cast<BYTE*>(bytes), static_cast<DWORD>(size))) ||
      FAILED(factory->CreateDecoder(GUID_ContainerFormatPng, nullptr, &decoder)) ||
      FAILED(decoder->Initialize(stream.p, WICDecodeMetadataCacheOnDemand)) ||
      FAILED(decoder->GetFrame(0, &frame)) || FAILED(frame->GetSize(&w, &h))) {
    *why = "corrupt PNG";
    return false;
  }
  if (w == 0 || h == 0 || w > kMaxDimension || h > kMaxDimension) {
    *why = "image size out of range";
    return false;
  }
  std::vector<uint32_t> pixels(static_cast<size_t>(w) * h);
  if (FAILED(factory->CreateFormatConverter(&converter)) ||
      FAILED(converter->Initialize(frame.p, GUID_WICPixelFormat32bppBGRA, WICBitmapDitherTypeNone,
                                   nullptr, 0.0, WICBitmapPaletteTypeCustom)) ||
      FAILED(converter->CopyPixels(nullptr, w * 4, static_cast<UINT>(pixels.size() * 4),
                                   reinterpret_cast<BYTE*>(pixels.data())))) {
    *why = "corrupt PNG";
    return false;
  }
  out->width = static_cast<int>(w);
  out->height = static_cast<int>(h);
  out->argb = std::move(pixels);
  return true;
}

bool EncodePng(const Image& image, std::vector<uint8_t>* out, std::string* why) {
  if (image.width <= 0 || image.height <= 0 ||
      image.argb.size() != static_cast<size_t>(image.width) * image.height) {
    *why = "bad image size";
    return false;
  }
  Com<IWICImagingFactory> factory;
  factory.p = Factory(why);
  if (!factory.p) return false;
  Com<IStream> stream;
  Com<IWICBitmapEncoder> encoder;
  Com<IWICBitmapFrameEncode> frame;
  WICPixelFormatGUID format = GUID_WICPixelFormat32bppBGRA;
  const UINT stride = static_cast<UINT>(image.width) * 4;
  if (FAILED(CreateStreamOnHGlobal(nullptr, TRUE, &stream)) ||
      FAILED(factory->CreateEncoder(GUID_ContainerFormatPng, nullptr, &encoder)) ||
      FAILED(encoder->Initialize(stream.p, WICBitmapEncoderNoCache)) ||
      FAILED(encoder->CreateNewFrame(&frame, nullptr)) || FAILED(frame->Initialize(nullptr)) ||
      FAILED(frame->SetSize(image.width, image.height)) || FAILED(frame->SetPixelFormat(&format)) ||
      format != GUID_WICPixelFormat32bppBGRA ||
      FAILED(
          frame->WritePixels(image.height, stride, stride * image.height,
                             reinterpret_cast<BYTE*>(const_cast<uint32_t*>(image.argb.data())))) ||
      FAILED(frame->Commit()) || FAILED(encoder->Commit())) {
    *why = "cannot encode PNG";
    return false;
  }
  STATSTG stat{};
  LARGE_INTEGER zero{};
  if (FAILED(stream->Stat(&stat, STATFLAG_NONAME)) ||
      FAILED(stream->Seek(zero, STREAM_SEEK_SET, nullptr))) {
    *why = "cannot encode PNG";
    return false;
  }
  out->resize(static_cast<size_t>(stat.cbSize.QuadPart));
  ULONG read = 0;
  if (FAILED(stream->Read(out->data(), static_cast<ULONG>(out->size()), &read)) ||
      read != out->size()) {
    *why = "cannot encode PNG";
    return false;
  }
  return true;
}
