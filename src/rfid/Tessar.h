/* Card reader/dispenser library on a serial port: plain C interface.
 *
 * Every function blocks the calling thread until the device replies or the command's time
 * limit passes. Result codes of the command functions:
 *    0          the device reported success
 *    1 ... 255  the device reported this status
 *   -1          no open channel (or no channel with that handle); OpenConnect could not open the port
 *   -2          the reply was cut short (its length byte or body did not arrive in time)
 *   -3          no reply byte arrived in time
 *   -4          malformed reply: three leading bytes were not a reply header, a wrong checksum,
 *               a length below 3, or less reply data than the function hands back
 *   -5          the arguments cannot be sent: data longer than a frame carries, a negative
 *               count or a missing pointer; nothing was sent
 *
 * Port number N opens the device named by the printf-style pattern in the environment
 * variable TESSAR_DEVICE applied to N (for example "/dev/ttyUSB%d"), or "/dev/ttyS%d"
 * applied to N - 1 when the variable is unset. */
#ifndef TESSAR_H
#define TESSAR_H

#include <stdint.h>

#if defined(TESSAR_BUILDING_LIBRARY)
#define TESSAR_API __attribute__((visibility("default")))
#else
#define TESSAR_API
#endif

#ifdef __cplusplus
extern "C" {
#endif

enum {
    TESSAR_OK = 0,
    TESSAR_NO_CHANNEL = -1,
    TESSAR_REPLY_TRUNCATED = -2,
    TESSAR_NO_REPLY = -3,
    TESSAR_BAD_REPLY = -4,
    TESSAR_BAD_ARGUMENT = -5
};

/* The calling thread's last result code; 0 when the thread has set none. */
TESSAR_API int32_t RF_GetLastError(void);

/* Opens the port at the given line speed and makes it the current channel: 0 opened, 1 failed. */
TESSAR_API int32_t OpenConnect(int32_t port, int32_t lineSpeed);
/* Closes the current channel: 0 closed, 1 nothing to close. */
TESSAR_API int32_t CloseConnect(void);

/* The card number, least significant byte first on the wire. */
TESSAR_API int32_t ReadCardID(uint32_t* cardNumber);
TESSAR_API int32_t InitDispenser(int32_t unused, const uint8_t* sixBytes);
TESSAR_API int32_t ResetCard(void);
/* On success copies 14 version bytes. */
TESSAR_API int32_t ReaderVersion(uint8_t* fourteenBytes);

/* On the channel of the given handle, not the current one: 1 success, 0 failure. */
TESSAR_API int32_t RF_Authenticate(int32_t handle, const uint8_t* data, int32_t length);
TESSAR_API int32_t RF_WritrAuthenticate(int32_t handle, const uint8_t* data, int32_t length);

/* Up to four attempts each. ReadBlock copies byteCount reply bytes on success. */
TESSAR_API int32_t ReadBlock(int32_t block, int32_t byteCount, int32_t unused1, uint8_t* buffer,
                             int32_t unused2);
TESSAR_API int32_t WriteBlock(int32_t block, int32_t byteCount, int32_t unused1,
                              const uint8_t* data, int32_t unused2);

/* 0 success, 1 failure; leaves the last error alone. */
TESSAR_API int32_t ReaderBeep(int32_t value);
TESSAR_API int32_t ModifySectorKey(int32_t sector, int32_t unused, const uint8_t* firstKey,
                                   const uint8_t* secondKey);
/* Accepted for compatibility; sends nothing and returns 0. */
TESSAR_API int32_t ReaderLed(int32_t unused1, int32_t unused2);

#ifdef __cplusplus
}
#endif

#endif
