/* The host application's imaging libraries as the driver calls them: image
 * store, conversion, line transforms and file writers (13 functions).
 *
 * Image ids are 32-bit integers; a negative id means failure. Access handles
 * are pointer-sized; 0 means failure.
 *
 * Image type codes and their samples:
 *   1  8-bit grey, 1 byte per pixel      2  8-bit palette, 1 byte per pixel
 *   3  24-bit colour, 3 bytes (R, G, B)  4  10/12-bit grey, 2 bytes
 *   5  32-bit samples, 4 bytes           6  16-bit grey, 2 bytes
 *   8  36-bit colour, 3 x 2 bytes        9  48-bit colour, 3 x 2 bytes
 * Rows are stored top-down without padding.
 */
#ifndef HOST_IMAGING_H
#define HOST_IMAGING_H

#include <stdint.h>

#if defined(_WIN32)
#define HOSTIMG_CALL __stdcall
#if defined(HOSTIMG_BUILDING)
#define HOSTIMG_API __declspec(dllexport)
#else
#define HOSTIMG_API __declspec(dllimport)
#endif
#else
#define HOSTIMG_CALL
#define HOSTIMG_API __attribute__((visibility("default")))
#endif

#ifdef __cplusplus
extern "C" {
#endif

typedef intptr_t HostAccess; /* lock handle; 0 = failure */

enum {
  HostAccessRead = 1,
  HostAccessWrite = 2
};

enum {
  HostAttributeType = 1,       /* get: image type code */
  HostAttributeInfo = 2,       /* get: a 32-bit value the driver keeps */
  HostAttributeFinished = 24,  /* set: 1 after all rows were written */
  HostAttributePalette = 27,   /* get: 256 RGB triples (768 bytes) */
  HostAttributeSize = 17       /* get: width in the low 16 bits, height in the high */
};

/* The record passed to the file writer: pointer to the format module name
 * ("IFFTIF32.DLL"), width, height, samples per pixel (1 or 3), bits per
 * sample (8) and the constant 1. */
typedef struct HostFileDescriptor {
  const char* formatModule;
  int32_t width;
  int32_t height;
  int32_t samplesPerPixel;
  int32_t bitsPerSample;
  int32_t one;
} HostFileDescriptor;

#define HOST_TIF_FORMAT_MODULE "IFFTIF32.DLL"

/* zilimg32 */
HOSTIMG_API int32_t HOSTIMG_CALL HostImageCreate(int32_t width, int32_t height, int32_t type,
                                                 int32_t reserved);
HOSTIMG_API void HOSTIMG_CALL HostImageRelease(int32_t image);
HOSTIMG_API HostAccess HOSTIMG_CALL HostImageLock(int32_t image, int32_t mode, int32_t reserved);
HOSTIMG_API void HOSTIMG_CALL HostImageUnlock(HostAccess access);
/* Get: writes the attribute through out (its size depends on the attribute)
 * and returns 0; set (out null): stores value and returns 0. Negative on
 * failure. */
HOSTIMG_API int32_t HOSTIMG_CALL HostImageAttribute(int32_t image, int32_t attribute,
                                                    int32_t value, int32_t reserved, void* out);
HOSTIMG_API uint8_t* HOSTIMG_CALL HostImageLine(HostAccess access, int32_t row);
HOSTIMG_API int32_t HOSTIMG_CALL HostImageProbe(HostAccess access);

/* zilcnv32 */
HOSTIMG_API int32_t HOSTIMG_CALL HostImageConvert(HostAccess access, int32_t targetType,
                                                  int32_t reserved);

/* zilxfm32 */
HOSTIMG_API int32_t HOSTIMG_CALL HostImageLoadFile(const char* path, const char* formatModule,
                                                   int32_t reserved);
/* Writes count pixels to destination: pixel i is source[i * factor]. */
HOSTIMG_API void HOSTIMG_CALL HostLineReduce(uint8_t* destination, const uint8_t* source,
                                             int32_t count, uint16_t factor);

/* ziffl32: 0 on success, nonzero on failure. */
HOSTIMG_API int32_t HOSTIMG_CALL HostFileCreate(HostFileDescriptor* descriptor, const char* path,
                                                int32_t mode);
HOSTIMG_API int32_t HOSTIMG_CALL HostFileWriteLines(HostFileDescriptor* descriptor,
                                                    const uint8_t* lines, int32_t count);
HOSTIMG_API int32_t HOSTIMG_CALL HostFileClose(HostFileDescriptor* descriptor);

#ifdef __cplusplus
}
#endif

#endif /* HOST_IMAGING_H */
