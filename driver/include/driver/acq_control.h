/* Command codes and data records of AcqControl(message, parameter, data).
 *
 * Only the low 16 bits of message and parameter count. Bits 0..14 of the
 * message are the command code, bit 15 (ACQ_QUERY) asks for a report instead
 * of a change. Results: 0 success, -1 unknown code (or any code but
 * ACQCMD_HOST_SETTINGS_PATH while the driver is closed), 6 failed operation
 * or missing data; some commands return a value.
 */
#ifndef ACQ_CONTROL_H
#define ACQ_CONTROL_H

#include <stddef.h>
#include <stdint.h>

#include "driver/acq_api.h"

#ifdef __cplusplus
extern "C" {
#endif

#define ACQ_QUERY 0x8000

enum {
  ACQCMD_IMAGE_WIDTH = 0,
  ACQCMD_IMAGE_HEIGHT = 1,
  ACQCMD_DRIVER_NAME = 5,
  ACQCMD_EXTERNAL_TRIGGER = 12,
  ACQCMD_GREY_MODE = 13,
  ACQCMD_BIT_DEPTH = 14,
  ACQCMD_OPTIONS_WINDOW = 21,
  ACQCMD_OPTIONS_WINDOW_2 = 42,
  ACQCMD_SUPPORTED_COMMANDS = 25,
  ACQCMD_MULTISNAP_REPORT = 27,
  ACQCMD_HOST_WINDOW = 33,
  ACQCMD_DISPLAY_OPEN = 39,
  ACQCMD_DISPLAY_CLOSE = 40,
  ACQCMD_CAPTRECT = 48,
  ACQCMD_EXPOSURE_PREVIEW = 49,
  ACQCMD_SNAP = 50,
  ACQCMD_SNAP_STATUS = 51,
  ACQCMD_DECIMATION = 52,
  ACQCMD_GAIN_PERCENT = 53,
  ACQCMD_SETTINGS_FILE = 54,
  ACQCMD_CAPTRECT_LIMITS = 55,
  ACQCMD_EXPOSURE_RANGE_STEP10 = 65,
  ACQCMD_GAIN_RANGE_PERCENT = 67,
  ACQCMD_HOST_SETTINGS_PATH = 69,
  ACQCMD_HOST_VALUE = 74,
  ACQCMD_EXPOSURE = 84,
  ACQCMD_EXPOSURE_RANGE = 85,
  ACQCMD_AUTO_EXPOSURE = 88,
  ACQCMD_WHITE_BALANCE = 89,
  ACQCMD_COLOUR_GAIN_RANGES = 90,
  ACQCMD_ACQUIRE_RESOLUTION = 91,
  ACQCMD_PREVIEW_RESOLUTION = 92,
  ACQCMD_PIXEL_FORMAT = 93,
  ACQCMD_CUSTOM_CONTROL = 94,
  ACQCMD_BRIGHTNESS = 95,
  ACQCMD_BRIGHTNESS_RANGE = 96,
  ACQCMD_GAMMA = 97,
  ACQCMD_GAMMA_RANGE = 98,
  ACQCMD_GAIN = 106,
  ACQCMD_GAIN_RANGE = 107,
  ACQCMD_STREAM_CONTROL = 300
};

/* Sub-commands of ACQCMD_ACQUIRE_RESOLUTION / ACQCMD_PREVIEW_RESOLUTION. */
enum {
  ACQRES_SELECT = 0,
  ACQRES_COUNT = 1,
  ACQRES_NAME_SIZE = 2,
  ACQRES_LIST = 3,
  ACQRES_FOUR = 4,
  ACQRES_SOMETHING_AREA = 6,
  ACQRES_CAPTURE_AREA = 7
};

/* Sub-commands of ACQCMD_PIXEL_FORMAT. */
enum {
  ACQPIX_SELECT = 0,
  ACQPIX_BUILD = 1,
  ACQPIX_NAME_SIZE = 2,
  ACQPIX_LIST = 3,
  ACQPIX_FOUR = 4
};

/* Sub-commands of ACQCMD_STREAM_CONTROL. */
enum {
  ACQSTREAM_STOP = 7,
  ACQSTREAM_SNAPSHOT_MODE = 10,
  ACQSTREAM_STREAMING_MODE = 11
};

/* ACQCMD_DISPLAY_OPEN: the window to draw into, two unused fields and three
 * outputs. */
typedef struct AcqDisplayRecord {
  struct HWND__* window;
  int32_t unused1;
  int32_t unused2;
  int32_t displayWidth;   /* out */
  int32_t displayHeight;  /* out: display height + 20 */
  int32_t done;           /* out: 1 */
} AcqDisplayRecord;

/* ACQCMD_*_RESOLUTION list entry (44 bytes with 32-bit pointers). The host
 * fills `name` with a buffer of at least ACQ_MODE_NAME_SIZE bytes. */
#define ACQ_MODE_NAME_SIZE 60
typedef struct AcqModeRecord {
  int32_t index;
  int32_t width;
  int32_t height;
  int32_t factorX;
  int32_t factorY;
  int32_t partial;
  int32_t left;
  int32_t top;
  int32_t right;
  int32_t bottom;
  char* name;
} AcqModeRecord;

/* ACQCMD_PIXEL_FORMAT list entry. `name` is a host buffer of at least
 * ACQ_PIXEL_FORMAT_NAME_SIZE bytes. */
#define ACQ_PIXEL_FORMAT_NAME_SIZE 260
typedef struct AcqPixelFormatEntry {
  char* name;
  int32_t depth;
} AcqPixelFormatEntry;

/* ACQCMD_AUTO_EXPOSURE request; byte offsets fixed by the host interface. */
#define ACQAE_STATE 0x1
#define ACQAE_REGION 0x2
#define ACQAE_ONE_SHOT 0x8
typedef struct AcqAutoExposureRequest {
  int32_t flags;      /* 0 */
  AcqRect region;     /* 4 */
  int32_t unused;     /* 20 */
  double exposure;    /* 24 */
  int32_t failed;     /* 32 */
  int32_t padding;
} AcqAutoExposureRequest;

/* ACQCMD_WHITE_BALANCE request; byte offsets fixed by the host interface. */
#define ACQWB_RESET 0x1
#define ACQWB_REGION 0x2
#define ACQWB_ONE_SHOT 0x8
#define ACQWB_GAINS 0x10
typedef struct AcqWhiteBalanceRequest {
  int32_t flags;      /* 0 */
  AcqRect region;     /* 4 */
  int32_t unused;     /* 20 */
  double red;         /* 24 */
  double green;       /* 32 */
  double blue;        /* 40 */
  int32_t failed;     /* 48 */
  int32_t padding;
} AcqWhiteBalanceRequest;

/* ACQCMD_GAIN_RANGE record. */
typedef struct AcqGainRangeRecord {
  int32_t a, b, c, d;   /* 1, 1, 1, 0 */
  double minimum;       /* always 1.0 */
  double maximum;
  double step;          /* 0.0025 */
  double zero1, zero2;
  double resolution;    /* 0.01 */
} AcqGainRangeRecord;

/* ACQCMD_COLOUR_GAIN_RANGES: three of these, red, green, blue. */
typedef struct AcqColourGainRange {
  int32_t one;          /* 1 */
  int32_t zero;         /* 0 */
  double minimum;
  double maximum;
  double step1;         /* 0.01 */
  double step2;         /* 0.01 */
  double zeros[4];
} AcqColourGainRange;

#ifdef __cplusplus
} /* extern "C" */

static_assert(offsetof(AcqAutoExposureRequest, region) == 4);
static_assert(offsetof(AcqAutoExposureRequest, unused) == 20);
static_assert(offsetof(AcqAutoExposureRequest, exposure) == 24);
static_assert(offsetof(AcqAutoExposureRequest, failed) == 32);
static_assert(offsetof(AcqWhiteBalanceRequest, region) == 4);
static_assert(offsetof(AcqWhiteBalanceRequest, red) == 24);
static_assert(offsetof(AcqWhiteBalanceRequest, green) == 32);
static_assert(offsetof(AcqWhiteBalanceRequest, blue) == 40);
static_assert(offsetof(AcqWhiteBalanceRequest, failed) == 48);
static_assert(sizeof(AcqColourGainRange) == 72);
static_assert(sizeof(AcqModeRecord) == 40 + sizeof(char*));
#endif

#endif /* ACQ_CONTROL_H */
