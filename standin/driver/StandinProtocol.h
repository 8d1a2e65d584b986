/* What the stand-in driver and its users agree on: device names, control
 * codes and byte offsets. Plain C, no Windows headers, so the kernel driver
 * and the user-mode control code share it. Records are read and written at
 * these offsets, little-endian. */
#ifndef STANDIN_PROTOCOL_H
#define STANDIN_PROTOCOL_H

#define STANDIN_SERVICE_NAME L"TcStandin"

/* One device per encryption program, each with its own mount table. */
#define STANDIN_VERACRYPT_DEVICE L"\\Device\\VeraCrypt"
#define STANDIN_VERACRYPT_LINK L"\\DosDevices\\VeraCrypt"
#define STANDIN_TRUECRYPT_DEVICE L"\\Device\\TrueCrypt"
#define STANDIN_TRUECRYPT_LINK L"\\DosDevices\\TrueCrypt"

/* Mount list: device type 0x22, function 0x806, buffered, any access. */
#define STANDIN_MOUNT_LIST_CODE 0x222018u
#define STANDIN_MOUNT_LIST_TRUECRYPT_SIZE 13944u
#define STANDIN_MOUNT_LIST_VERACRYPT_OLD_SIZE 15760u
#define STANDIN_MOUNT_LIST_VERACRYPT_SIZE 17424u
#define STANDIN_FLAGS_OFFSET_OLD 15656u
#define STANDIN_FLAGS_OFFSET 17320u
#define STANDIN_BITS_OFFSET 0u
#define STANDIN_NAMES_OFFSET 4u
#define STANDIN_NAME_CHARS 260u
#define STANDIN_NAME_BYTES (STANDIN_NAME_CHARS * 2u)
#define STANDIN_LETTERS 26u

/* Private requests of the stand-in program (functions 0x900 and 0x901,
 * buffered, any access).
 * Set: ULONG letter index (0 = A) at 0, ULONG TrueCrypt-mode flag at 4, the
 * volume name (UTF-16, zero-terminated, at most 259 units) from 8.
 * Clear: ULONG letter index at 0; an empty input clears every letter. */
#define STANDIN_SET_MOUNT_CODE 0x222400u
#define STANDIN_CLEAR_MOUNT_CODE 0x222404u
#define STANDIN_SET_LETTER_OFFSET 0u
#define STANDIN_SET_FLAG_OFFSET 4u
#define STANDIN_SET_NAME_OFFSET 8u
#define STANDIN_SET_SIZE (STANDIN_SET_NAME_OFFSET + STANDIN_NAME_BYTES)

#endif
