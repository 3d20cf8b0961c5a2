// Running varnex-host and reading its pictures on Windows: CreateProcess
// with its output sent to files, and the Windows Imaging Component.
#include "host_run.h"

#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
#include <objbase.h>
#include <wincodec.h>

#include <cstdio>

namespace host_test {
namespace {

// One argument as the C runtime's command-line parser reads it back:
// quoted when it holds blanks or quotes, with backslashes doubled before a
// quote.
std::string quoted(const std::string& argument) {
  if (!argument.empty() && argument.find_first_of(" \t\"") == std::string::npos) return argument;
  std::string text = "\"";
  std::size_t backslashes = 0;
  for (char c : argument) {
    if (c == '\\') {
      ++backslashes;
      continue;
    }
    if (c == '"') backslashes = backslashes * 2 + 1;
    text.append(backslashes, '\\');
    backslashes = 0;
    text += c;
  }
  text.append(backslashes * 2, '\\');
  return text + "\"";
}

// A file handle the child inherits as its stdout or stderr.
HANDLE inheritableFile(const std::string& path) {
  SECURITY_ATTRIBUTES inherit{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
  return CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inherit, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                     nullptr);
}

// The program writes its streams in text mode, each line ending in CR LF:
// the lines as a script reads them, ending in LF.
std::string asText(const std::string& written) {
  std::string text;
  text.reserve(written.size());
  for (std::size_t i = 0; i < written.size(); ++i)
    if (!(written[i] == '\r' && i + 1 < written.size() && written[i + 1] == '\n')) text += written[i];
  return text;
}

template <typename T>
struct Com {
  T* p = nullptr;
  Com() = default;
  Com(const Com&) = delete;
  Com& operator=(const Com&) = delete;
  ~Com() {
    if (p != nullptr) p->Release();
  }
  T* operator->() const { return p; }
  T** out() { return &p; }
};

} // namespace

HostRun runHost(const std::vector<std::string>& args, const std::filesystem::path& folder) {
  const std::string outPath = (folder / "stdout.txt").string();
  const std::string errPath = (folder / "stderr.txt").string();
  std::string commandLine = quoted(VX_HOST_PROGRAM);
  for (const std::string& arg : args) commandLine += " " + quoted(arg);

  HostRun run;
  HANDLE out = inheritableFile(outPath);
  HANDLE err = inheritableFile(errPath);
  if (out == INVALID_HANDLE_VALUE || err == INVALID_HANDLE_VALUE) {
    if (out != INVALID_HANDLE_VALUE) CloseHandle(out);
    if (err != INVALID_HANDLE_VALUE) CloseHandle(err);
    return run;
  }
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
  startup.hStdOutput = out;
  startup.hStdError = err;
  PROCESS_INFORMATION process{};
  std::fflush(nullptr);
  const std::string directory = folder.string();
  const BOOL started = CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, TRUE, 0, nullptr,
                                     directory.c_str(), &startup, &process);
  CloseHandle(out);
  CloseHandle(err);
  if (!started) return run;
  WaitForSingleObject(process.hProcess, INFINITE);
  DWORD code = 0;
  GetExitCodeProcess(process.hProcess, &code);
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  // Exception codes (0xC0000005 and the like) end a program that crashed.
  if (code >= 0xC0000000u) {
    run.signal = static_cast<int>(code);
  } else {
    run.status = static_cast<int>(code);
  }
  run.out = asText(readWhole(outPath));
  run.err = asText(readWhole(errPath));
  return run;
}

Picture readPng(const std::string& path) {
  const HRESULT init = CoInitializeEx(nullptr, COINIT_MULTITHREADED);
  Picture picture;
  {
    Com<IWICImagingFactory> factory;
    Com<IWICBitmapDecoder> decoder;
    Com<IWICBitmapFrameDecode> frame;
    Com<IWICFormatConverter> converter;
    const std::wstring wide(path.begin(), path.end());
    WICPixelFormatGUID format{};
    UINT width = 0;
    UINT height = 0;
    if (SUCCEEDED(CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER, IID_IWICImagingFactory,
                                   reinterpret_cast<void**>(factory.out()))) &&
        SUCCEEDED(factory->CreateDecoderFromFilename(wide.c_str(), nullptr, GENERIC_READ,
                                                     WICDecodeMetadataCacheOnDemand, decoder.out())) &&
        SUCCEEDED(decoder->GetFrame(0, frame.out())) && SUCCEEDED(frame->GetPixelFormat(&format)) &&
        SUCCEEDED(frame->GetSize(&width, &height)) && SUCCEEDED(factory->CreateFormatConverter(converter.out()))) {
      const bool grey = format == GUID_WICPixelFormat8bppGray;
      const int channels = grey ? 1 : 3;
      std::vector<std::uint8_t> samples(std::size_t{width} * height * static_cast<std::size_t>(channels));
      const UINT stride = width * static_cast<UINT>(channels);
      if (SUCCEEDED(converter->Initialize(frame.p, grey ? GUID_WICPixelFormat8bppGray : GUID_WICPixelFormat24bppRGB,
                                          WICBitmapDitherTypeNone, nullptr, 0.0, WICBitmapPaletteTypeCustom)) &&
          SUCCEEDED(converter->CopyPixels(nullptr, stride, static_cast<UINT>(samples.size()), samples.data()))) {
        picture.width = width;
        picture.height = height;
        picture.channels = channels;
        picture.samples = std::move(samples);
      }
    }
  }
  if (SUCCEEDED(init)) CoUninitialize();
  return picture;
}

} // namespace host_test
