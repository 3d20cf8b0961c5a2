/* The capture driver's exported entry points, as a host sees them.
 *
 * A host loads the driver library and resolves these 24 names. All run on
 * the host's user-interface thread. Results: 0 for success and small positive
 * codes for refusals; image exports return host image ids or negative codes.
 * While the driver is closed (before a successful AcqOpen, after AcqClose)
 * every export except AcqOpen, AcqClearScreen, AcqStart, AcqFreeze,
 * AcqPutLine, AcqErrorMsg, AcqConfigDlgProc, AcqTimerCallBack and the
 * hardware pass-through no-ops refuses with the code given below.
 */
#ifndef ACQ_API_H
#define ACQ_API_H

#include <stdint.h>

#if defined(_WIN32)
#define ACQ_CALL __stdcall
/* The DLL's export table comes from its .def file: the plain names, each
 * bound to its stdcall function. */
#define ACQ_EXPORT
#else
#define ACQ_CALL
#define ACQ_EXPORT __attribute__((visibility("default")))
#endif

#ifdef __cplusplus
extern "C" {
#endif

struct HWND__;
struct HDC__;

/* Win32 RECT order: left, top, right, bottom. */
typedef struct AcqRect {
  int32_t left;
  int32_t top;
  int32_t right;
  int32_t bottom;
} AcqRect;

/* AcqAdd progress: called with (code, value, total, user value). Codes:
 * 0 start, 2 number of steps in `total`, 4 step done (`value` = step; a
 * result of 1 after a frame step stops the sum), 1 end. */
typedef int32_t(ACQ_CALL* AcqProgressFunction)(int32_t code, int32_t value, int32_t total,
                                               int32_t user);
typedef struct AcqProgressRecord {
  AcqProgressFunction function;
  int32_t user;
} AcqProgressRecord;

/* Time-lapse callback: (file number, phase 0 before the save / 1 after, user). */
typedef void(ACQ_CALL* AcqLapseCallback)(int32_t fileNumber, int32_t phase, int32_t user);

/* Opens the driver and the camera. 0 on success, 2 when no camera could be
 * opened (the user has been told why). */
ACQ_EXPORT int32_t ACQ_CALL AcqOpen(void);
/* Closes the camera and frees everything. Returns 1 when the driver was
 * open, 0 otherwise. */
ACQ_EXPORT int32_t ACQ_CALL AcqClose(void);
/* Log-only entry points kept for hosts that call them. */
ACQ_EXPORT void ACQ_CALL AcqStart(void);
ACQ_EXPORT void ACQ_CALL AcqFreeze(void);
/* 0 while open, 1 while closed. The palette is ignored. */
ACQ_EXPORT int32_t ACQ_CALL AcqSetPalette(void* palette);
ACQ_EXPORT void ACQ_CALL AcqPutLine(int32_t a, int32_t b, int32_t c, int32_t d);
ACQ_EXPORT void ACQ_CALL AcqClearScreen(void);
/* Writes the last error text (always empty) into `buffer` when not null and
 * returns its length (0). */
ACQ_EXPORT int32_t ACQ_CALL AcqErrorMsg(char* buffer);
/* With the external trigger on, asks the user to wait for it and returns 1;
 * otherwise 0. */
ACQ_EXPORT int32_t ACQ_CALL AcqSnap(void);
/* Copies pixels x0 .. x1-1 of the next snapshot row into `out` (3 bytes R, G,
 * B per pixel in colour mode, else 1 grey byte). Rows come bottom row of the
 * buffer first, i.e. top of the image first. 0 while closed. */
ACQ_EXPORT int32_t ACQ_CALL AcqGetLine(int32_t x0, int32_t row, int32_t x1, uint8_t* out);
/* Fills host image `image` (or a new one for -1) with the last snapshot.
 * Returns the image id; -1 closed; -999 creation failed; -998 lock failed. */
ACQ_EXPORT int32_t ACQ_CALL AcqGetImage(int32_t image);
/* Sums `frameCount` snapshots and divides by `divisor` into a new host image.
 * Returns its id; -1 closed or stopped; -6 too many frames; -999 creation
 * failed; -5 divisor 0. `progress` may be null. */
ACQ_EXPORT int32_t ACQ_CALL AcqAdd(int32_t frameCount, int32_t divisor,
                                   AcqProgressRecord* progress);
/* The numbered command interface (see acq_control.h). */
ACQ_EXPORT int32_t ACQ_CALL AcqControl(int32_t message, int32_t parameter, void* data);
/* The driver configuration dialog's procedure, run by the host with its own
 * template (check boxes 101 and 104, button 107, OK and Cancel). */
ACQ_EXPORT intptr_t ACQ_CALL AcqConfigDlgProc(struct HWND__* dialog, uint32_t message,
                                              uintptr_t wParam, intptr_t lParam);
/* Hardware pass-through is not supported: 5 while open, 1 while closed. */
ACQ_EXPORT int32_t ACQ_CALL AcqHardPassThruOpen(int32_t a, int32_t b);
ACQ_EXPORT void ACQ_CALL AcqHardPassThruClose(void);
ACQ_EXPORT void ACQ_CALL AcqHardPassThruSetWindow(int32_t a, int32_t b);
ACQ_EXPORT void ACQ_CALL AcqHardPassThruPaint(int32_t a, int32_t b, int32_t c, int32_t d,
                                              int32_t e);
/* Reduced grey preview of the last snapshot in the host's window: open
 * returns 0 (and the reduced size), 4 when memory runs out, 1 closed. */
ACQ_EXPORT int32_t ACQ_CALL AcqSoftPassThruOpen(int32_t x, int32_t y, int32_t* width,
                                                int32_t* height);
ACQ_EXPORT int32_t ACQ_CALL AcqSoftPassThru(struct HDC__* dc);
ACQ_EXPORT int32_t ACQ_CALL AcqSoftPassThruClose(void);
/* Saves `count` images, one every `interval` seconds, as prefix + number +
 * ".TIF". Returns 0 done, 1 closed, 3 a save failed, 4 no timer, 6 interval
 * below 2 s, 7 stopped by AcqTimeLapseKill. `region` may be null. */
ACQ_EXPORT int32_t ACQ_CALL AcqTimeLapse(const char* prefix, int32_t count, int32_t firstIndex,
                                         uint32_t interval, AcqRect* region,
                                         AcqLapseCallback callback, int32_t user);
/* The time-lapse timer procedure. */
ACQ_EXPORT void ACQ_CALL AcqTimerCallBack(struct HWND__* window, uint32_t message, uintptr_t id,
                                          uint32_t time);
ACQ_EXPORT int32_t ACQ_CALL AcqTimeLapseKill(void);

#ifdef __cplusplus
}
#endif

#endif /* ACQ_API_H */
