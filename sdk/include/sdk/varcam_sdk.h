/* The camera maker's SDK "vividozuz" as the driver calls it: 29 functions
 * with C linkage.
 *
 * All functions but VarcamNumCameras, VarcamEnumCameras, VarcamCameraOpen
 * and VarcamGetLastError take the camera handle first. Functions that do not
 * return a count, handle, window, id, state or error code return nonzero on
 * success and 0 on failure; after a failure VarcamGetLastError (per thread)
 * gives the reason as an unsigned code.
 *
 * Callbacks run on the SDK's streaming thread, never inside the caller's own
 * call. Once VarcamRemoveStreamingCallback / VarcamRemoveRgbPreviewCallback
 * has returned, the removed callback is not running and will not be called
 * again (when called from the streaming thread itself, the running callback
 * is the caller and is not waited for).
 */
#ifndef VARCAM_SDK_H
#define VARCAM_SDK_H

#include <stdint.h>

#if defined(_WIN32)
#define VARCAM_CALL __stdcall
#if defined(VARCAM_BUILDING_SDK)
#define VARCAM_API __declspec(dllexport)
#else
#define VARCAM_API __declspec(dllimport)
#endif
#else
#define VARCAM_CALL
#define VARCAM_API __attribute__((visibility("default")))
#endif

#ifdef __cplusplus
extern "C" {
#endif

struct HWND__;
typedef struct HWND__* VarcamWindow; /* the window a display draws into */

typedef struct VarcamCamera_* VarcamHandle; /* opaque; null = no camera */

/* Six 32-bit words: firmware, FPGA, API and driver versions, serial number,
 * and one field the driver does not read. */
typedef struct CameraVersionRecord {
  uint32_t firmwareVersion;
  uint32_t fpgaVersion;
  uint32_t apiVersion;
  uint32_t driverVersion;
  uint32_t serialNumber;
  uint32_t reserved;
} CameraVersionRecord;

/* A video format. Width and height are sensor pixels before the factor; the
 * delivered frame is width / factorX by height / factorY pixels. Flags 1 =
 * the factor is applied by binning, 0 = by sub-sampling. */
typedef struct FrameFormatRecord {
  uint32_t offsetX;
  uint32_t offsetY;
  uint32_t width;
  uint32_t height;
  uint32_t pixelFormat; /* 0: 8 bits per pixel; 1: two bytes per pixel */
  uint16_t factorX;
  uint16_t flagsX;
  uint16_t factorY;
  uint16_t flagsY;
} FrameFormatRecord;

typedef struct ConversionRecord {
  uint32_t demosaicMethod; /* always 1 */
  uint32_t correctionCode; /* 1, 2, 5, 14; 15 = the custom matrix */
} ConversionRecord;

/* The video image format record of VarcamGetVideoImageFormat: thirteen
 * 32-bit words, word 0 holding the record size (52) on the call. */
#define VARCAM_VIDEO_IMAGE_FORMAT_WORDS 13
#define VARCAM_VIDEO_IMAGE_FORMAT_SIZE 52
/* Word index of the field layout: nonzero = all even lines first, then all
 * odd lines (byte offset 36). */
#define VARCAM_VIDEO_IMAGE_FORMAT_FIELD_LAYOUT 9

/* Property ids. */
enum {
  PropBrightness = 0,
  PropContrast = 1,
  PropHue = 2,
  PropSaturation = 3,
  PropGamma = 5,
  PropExposure = 20,
  PropGain = 40,
  PropGainRed = 41,
  PropGainBlue = 42,
  PropGainGreen1 = 43,
  PropGainGreen2 = 44,
  PropCorrectionMatrix = 65,
  PropFlipping = 66,
  PropColorFormat = 80,
  PropAutoExposureTarget = 103,
  PropClockSpeed = 106,
  PropAuxSwitch1 = 108,
  PropAuxSwitch2 = 118
};

/* Property flags. */
#define VARCAM_FLAG_CAMERA_AUTO_EXPOSURE 0x40000000u /* PropExposure */
#define VARCAM_FLAG_HIGH_BYTE 0x80000000u            /* PropColorFormat, 2-byte pixels */
#define VARCAM_FLAG_AUX_SWITCH_ON 0x80000000u        /* PropAuxSwitch1/2 */

/* Stream control modes (VarcamStreamVideoControl). */
enum {
  VarcamStreamStop = 0,
  VarcamStreamNoDisplay = 1,
  VarcamStreamDisplay = 2,
  VarcamStreamDisplayGdi = 5
};

/* Stream states (VarcamGetStreamState): 1 displaying, 2 streaming without
 * display, 3 displaying through GDI. Frames can be sampled only when bit 0
 * or bit 1 is set and bit 3 is clear. */
enum {
  VarcamStateStopped = 0,
  VarcamStateDisplaying = 1,
  VarcamStateStreaming = 2,
  VarcamStateDisplayingGdi = 3
};

/* RGB preview pixel formats: 0, 2, 6 = 1, 3, 4 bytes per pixel. */
enum { VarcamRgbGrey8 = 0, VarcamRgb24 = 2, VarcamRgb32 = 6 };

typedef void(VARCAM_CALL* VarcamStreamingCallback)(void* context, uint8_t* frame,
                                                   uint32_t byteCount);
typedef void(VARCAM_CALL* VarcamRgbPreviewCallback)(void* context, uint8_t* pixels,
                                                    uint32_t byteCount, uint32_t reserved);

VARCAM_API int VARCAM_CALL VarcamNumCameras(void);
VARCAM_API int VARCAM_CALL VarcamEnumCameras(CameraVersionRecord* records, int count);
VARCAM_API VarcamHandle VARCAM_CALL VarcamCameraOpen(int index); /* 1-based */
VARCAM_API int VARCAM_CALL VarcamCameraClose(VarcamHandle camera);

VARCAM_API int VARCAM_CALL VarcamGetCameraId(VarcamHandle camera, uint32_t* id);
VARCAM_API int VARCAM_CALL VarcamQueryVersion(VarcamHandle camera, CameraVersionRecord* version);

VARCAM_API int VARCAM_CALL VarcamGetProperty(VarcamHandle camera, int property, float* value,
                                             uint32_t* flags);
VARCAM_API int VARCAM_CALL VarcamSetProperty(VarcamHandle camera, int property, float value,
                                             uint32_t flags);
VARCAM_API int VARCAM_CALL VarcamPropertyRange(VarcamHandle camera, int property, float* minimum,
                                               float* maximum, float* defaultValue,
                                               uint32_t* flags);

VARCAM_API int VARCAM_CALL VarcamGetFormat(VarcamHandle camera, FrameFormatRecord* format,
                                           float* frameRate);
VARCAM_API int VARCAM_CALL VarcamSetFormat(VarcamHandle camera, const FrameFormatRecord* format,
                                           float frameRate);
/* Returns the number of rates offered for the current format, slowest first;
 * fills up to n of them when rates is not null. Negative on failure. */
VARCAM_API int VARCAM_CALL VarcamEnumAvailableFrameRates(VarcamHandle camera, int n,
                                                         float* rates);

VARCAM_API int VARCAM_CALL VarcamStreamVideoControl(VarcamHandle camera, int mode,
                                                    VarcamWindow window);
VARCAM_API int VARCAM_CALL VarcamDestroyDisplayWindow(VarcamHandle camera);
VARCAM_API int VARCAM_CALL VarcamQueryDisplayFrameRate(VarcamHandle camera, float* rate);
VARCAM_API VarcamWindow VARCAM_CALL VarcamGetDisplayWindowHwnd(VarcamHandle camera);
VARCAM_API int VARCAM_CALL VarcamGetStreamState(VarcamHandle camera, int reserved);
VARCAM_API int VARCAM_CALL VarcamGetVideoImageFormat(VarcamHandle camera, uint32_t* record);

/* n consecutive raw frames into buffer (n x frame size bytes); a null buffer
 * discards them. Needs a running stream. */
VARCAM_API int VARCAM_CALL VarcamTakeVideo(VarcamHandle camera, int n, uint8_t* buffer);
/* Demosaics width x height raw pixels into width x height x 3 bytes, blue,
 * green, red per pixel, rows bottom-up (first row in memory = bottom row). */
VARCAM_API int VARCAM_CALL VarcamConvertFrameToRgb24(VarcamHandle camera, uint8_t* destination,
                                                     const uint8_t* source, int width,
                                                     int height, int pixelFormat,
                                                     const ConversionRecord* conversion);
/* Nine coefficients, row-major, output channel (R, G, B) by input channel. */
VARCAM_API int VARCAM_CALL VarcamSetupCustomMatrix(VarcamHandle camera, const float* matrix);

VARCAM_API int VARCAM_CALL VarcamQueryRgbPreviewPixelFormat(VarcamHandle camera, int* format);
/* Return a registration id, or -1. */
VARCAM_API int VARCAM_CALL VarcamAddRgbPreviewCallback(VarcamHandle camera,
                                                       VarcamRgbPreviewCallback callback,
                                                       void* context, int format);
VARCAM_API int VARCAM_CALL VarcamAddStreamingCallback(VarcamHandle camera,
                                                      VarcamStreamingCallback callback,
                                                      void* context);
VARCAM_API int VARCAM_CALL VarcamRemoveRgbPreviewCallback(VarcamHandle camera, int id);
VARCAM_API int VARCAM_CALL VarcamRemoveStreamingCallback(VarcamHandle camera, int id);

VARCAM_API int VARCAM_CALL VarcamOneShotAutoExposure(VarcamHandle camera, int target, int x,
                                                     int y, int width, int height);
VARCAM_API int VARCAM_CALL VarcamOneShotAutoWhiteBalance(VarcamHandle camera, int x, int y,
                                                         int width, int height);

VARCAM_API uint32_t VARCAM_CALL VarcamGetLastError(void);

#ifdef __cplusplus
}
#endif

#endif /* VARCAM_SDK_H */
