// Control interface of the stand-in host imaging library (libhostimaging),
// which implements hostlib/host_imaging.h. Tests and the host program use it
// to look into the image store, to create images with content, to save
// images as files a person can open, to read the log of the 13 Host* calls
// and to make those calls fail on purpose. The driver never includes this
// header.
//
// Behaviour of the Host* functions in this stand-in:
// - Image ids are positive and increase; access handles are nonzero and
//   unique. Neither is reused within a process, not even after reset(), so a
//   stale id or handle never reaches a newer image.
// - Images hold their samples zero-initialised, rows top-down without
//   padding; 16- and 32-bit samples are in the machine's byte order.
// - HostImageCreate accepts widths and heights of 1 to 65535 (the size
//   attribute packs each into 16 bits), the type codes 1 to 6, 8 and 9, and
//   at most 1 GiB of samples.
// - HostImageLock accepts modes 1 (read) and 2 (write). An image may hold
//   several locks at once. Every lock gives the same storage; a read lock
//   does not protect the rows from writes.
// - HostImageRelease of a locked image removes the image from the store at
//   once (its id is gone), but its storage stays valid until the last of its
//   locks is undone, so row pointers already handed out never dangle.
// - HostImageLine returns null for an unknown or undone handle and for a row
//   outside 0 .. height - 1.
// - HostImageProbe returns 1 for a live access handle (the rows are
//   contiguous, top-down, without padding) and 0 for anything else.
// - HostImageAttribute: get (out not null) 1 = type code, 2 = bits of
//   storage per pixel (8, 8, 24, 16, 32, 16, 48, 48 for types 1 to 9), both
//   as 32-bit values; 17 = width | height << 16 as a 32-bit value; 27 = the
//   768-byte palette (the image's own for a palette image loaded from a
//   file or given to createImage, a grey ramp otherwise). Set (out null) 24 =
//   the finished mark. Any other combination, or an unknown image, returns
//   a negative code and writes nothing.
// - HostImageConvert accepts target type 1 only, from an image of type 1
//   (copied), 2 (palette luminance) or 3 (RGB luminance), with weights
//   0.299, 0.587, 0.114 rounded to nearest.
// - HostImageLoadFile accepts the module name "IFFTIF32.DLL" in any letter
//   case and reads the first image of a strip-organised TIFF: 8-bit grey
//   (min-is-black or min-is-white, the latter inverted) -> 1, 8-bit palette
//   -> 2 with its palette, 8-bit RGB -> 3, 16-bit grey -> 6, 16-bit RGB -> 9.
//   Anything else is refused with ErrorUnsupported.
// - HostLineReduce writes nothing for a null pointer or a count below 1;
//   a factor of 0 is taken as 1.
// - HostFileCreate wants mode 1 and a descriptor {"IFFTIF32.DLL" (any
//   case), width and height 1 .. 65535, samples 1 or 3, bits 8, 1}. It opens
//   an uncompressed TIFF, one row per strip, grey (min-is-black) or RGB. The
//   descriptor's address names the open file until HostFileClose; its
//   fields are read only at create. A second create on a descriptor that is
//   still open fails and leaves the open file alone.
// - HostFileWriteLines writes count rows of width x samples bytes, all or
//   nothing: a call that would pass the declared height writes no row.
//   After an I/O error every further write fails.
// - HostFileClose closes the file in every case and reports failure when
//   rows are missing, a write had failed or flushing/closing failed. The
//   file stays on disk even when incomplete.
//
// Every function here and every Host* function is thread-safe.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#if defined(_WIN32)
#if defined(HOSTIMG_BUILDING)
#define HOSTIMG_CONTROL_API __declspec(dllexport)
#else
#define HOSTIMG_CONTROL_API __declspec(dllimport)
#endif
#else
#define HOSTIMG_CONTROL_API __attribute__((visibility("default")))
#endif

namespace hostimg {

// Negative results of the id-returning Host* functions.
enum ImageError : std::int32_t {
  ErrorBadArgument = -1,   // size, type, mode, attribute, module name, null pointer
  ErrorUnknown = -2,       // no such image or access handle
  ErrorNoMemory = -3,      // the samples could not be allocated
  ErrorUnsupported = -4,   // a file the loader does not take, or a conversion it does not do
  ErrorUnreadable = -5,    // the file is missing, not a TIFF, or damaged
  ErrorInjected = -9,      // failed by failNext
};

// Nonzero results of the file functions.
enum FileError : std::int32_t {
  FileOk = 0,
  FileBadArgument = 1,   // null or invalid descriptor, path or lines, wrong mode
  FileNotOpen = 2,       // no open file for this descriptor
  FileAlreadyOpen = 3,   // create on a descriptor that is still open
  FileIoError = 4,       // open, write, flush or close failed
  FileTooManyRows = 5,   // a write that would pass the declared height
  FileRowsMissing = 6,   // closed before all rows were written
  FileInjected = 9,      // failed by failNext
};

// Drops every image (and the locks on them) and closes every open file,
// clears the call log, the faults and the last error. Ids and handles keep
// increasing.
HOSTIMG_CONTROL_API void reset();

// ---- images -------------------------------------------------------------------
struct ImageInfo {
  bool exists = false;
  std::int32_t width = 0;
  std::int32_t height = 0;
  std::int32_t type = 0;
  bool finishedSet = false;   // attribute 24 was set
  std::int32_t finished = 0;  // the value it was set to
  int lockCount = 0;          // live access handles on the image
};
HOSTIMG_CONTROL_API ImageInfo imageInfo(std::int32_t image);

// The image's samples as stored: height rows of width x bytes per pixel.
// Empty for an unknown image.
HOSTIMG_CONTROL_API std::vector<std::uint8_t> imageBytes(std::int32_t image);

// The samples of one pixel (1 or 3 values, each 8, 16 or 32 bits wide as the
// type says). Empty for an unknown image or a position outside it.
HOSTIMG_CONTROL_API std::vector<std::uint32_t> pixel(std::int32_t image, std::int32_t x,
                                                     std::int32_t y);

// A new image holding the given samples (exactly height x width x bytes per
// pixel of the type) and, for type 2, optionally a 768-byte palette. Returns
// the id, or a negative ImageError when the size, type, byte count or palette
// is wrong. Not logged as a Host* call.
HOSTIMG_CONTROL_API std::int32_t createImage(std::int32_t width, std::int32_t height,
                                             std::int32_t type,
                                             const std::vector<std::uint8_t>& bytes,
                                             const std::vector<std::uint8_t>& palette = {});

HOSTIMG_CONTROL_API std::size_t liveImages();
HOSTIMG_CONTROL_API std::vector<std::int32_t> liveImageIds();  // ascending
HOSTIMG_CONTROL_API std::size_t liveLocks();

// ---- pictures --------------------------------------------------------------------
// Writes the image as an uncompressed TIFF or a PNG: types 1 and 2 (with its
// palette) and 3 as 8-bit, types 4, 6, 8 and 9 as 16-bit samples with the
// stored values (10/12-bit samples therefore look dark). Type 5 is refused.
// Returns whether the file was written completely.
HOSTIMG_CONTROL_API bool saveTiff(std::int32_t image, const std::string& path);
HOSTIMG_CONTROL_API bool savePng(std::int32_t image, const std::string& path);

// ---- files -------------------------------------------------------------------------
// Files opened by HostFileCreate and not yet closed.
HOSTIMG_CONTROL_API std::size_t openFiles();

// The last diagnostic of the TIFF/PNG libraries or of a refused load or file
// call, for test failure messages. Empty when there was none.
HOSTIMG_CONTROL_API std::string lastError();

// ---- call log ------------------------------------------------------------------------
// One call of a Host* function. Arguments as text in call order: integers in
// decimal, strings as their text, "null" for a null pointer, "ptr" for a data
// pointer (rows, out), a descriptor as "{module,width,height,samples,bits,one}".
// result: the return value; a row pointer gives 1 (non-null) or 0; void
// functions give 0.
struct CallRecord {
  std::uint64_t sequence = 0;  // increases by one per logged call
  std::string function;        // "HostImageCreate", ...
  std::vector<std::string> args;
  std::int64_t result = 0;
  bool injected = false;  // failed by failNext
};
// The log holds the last 100000 calls; sequence numbers show what was dropped.
HOSTIMG_CONTROL_API std::vector<CallRecord> callLog();
HOSTIMG_CONTROL_API void clearCallLog();
HOSTIMG_CONTROL_API void setCallLogging(bool on);  // on by default

// ---- faults --------------------------------------------------------------------------
// The next `count` calls of the named function fail the way the interface
// reports failure, without doing anything: HostImageCreate, HostImageConvert
// and HostImageLoadFile return ErrorInjected, HostImageLock returns 0,
// HostImageAttribute returns ErrorInjected, HostImageLine returns null,
// HostFileCreate and HostFileWriteLines return FileInjected, and HostFileClose
// closes the file but returns FileInjected. Counts add up. Returns false (and
// arms nothing) for any other name or a count below 1.
HOSTIMG_CONTROL_API bool failNext(const std::string& function, int count = 1);
HOSTIMG_CONTROL_API void clearFaults();

}  // namespace hostimg
